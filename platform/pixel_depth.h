// Screen depths in bits per pixel, as every layer reads them: the bytes one
// pixel of a depth takes, and the twin depths a display shows alike (5-5-5
// with 5-6-5, 24-bit with 32-bit).
#pragma once

// 8 -> 1, 15 and 16 -> 2, 24 -> 3, 32 -> 4 (and any depth rounded up to whole
// bytes).
constexpr int depth_bytes_per_pixel(int depth) { return (depth + 7) / 8; }

// 15 <-> 16 and 24 <-> 32; 0 for a depth without a twin.
constexpr int depth_twin(int depth) {
  switch (depth) {
    case 15: return 16;
    case 16: return 15;
    case 24: return 32;
    case 32: return 24;
    default: return 0;
  }
}

// The depth itself or its twin.
constexpr bool depth_matches_or_twin(int depth, int wanted) {
  return depth == wanted || (depth_twin(wanted) != 0 && depth == depth_twin(wanted));
}
