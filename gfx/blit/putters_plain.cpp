// The plain putter routines: one pixel (or one row) at a time, written to be
// obviously right. They are the reference the fast routines must match.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>

#include "gfx/blit/putters.h"

namespace {

template <typename T>
T load(const uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <typename T>
void store(uint8_t* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

// Calls row(source row, target row) for each row; pointers are formed per
// row so none ever points past the last row.
template <typename Row>
void each_row(const uint8_t* s, uint8_t* d, int h, int sp, int dp, Row row) {
  for (int y = 0; y < h; ++y) row(s + ptrdiff_t(y) * sp, d + ptrdiff_t(y) * dp);
}

template <int B>
void copy(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int, PutterBlender, void*) {
  if (w <= 0) return;
  // memmove: a put of an image onto itself may overlap within a row.
  each_row(s, d, h, sp, dp, [n = size_t(w) * B](const uint8_t* s, uint8_t* d) { std::memmove(d, s, n); });
}

// Mask tests and the written value per depth.
inline bool opaque1(uint8_t v) { return v != 0; }
inline bool opaque2(uint16_t v) { return v != 0xF81F; }
inline bool opaque4(uint32_t v) { return (v & 0x00FFFFFFu) != 0x00FF00FFu; }

void transparent1(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int, PutterBlender, void*) {
  each_row(s, d, h, sp, dp, [w](const uint8_t* s, uint8_t* d) {
    for (int x = 0; x < w; ++x)
      if (opaque1(s[x])) d[x] = s[x];
  });
}

void transparent2(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int, PutterBlender, void*) {
  each_row(s, d, h, sp, dp, [w](const uint8_t* s, uint8_t* d) {
    for (int x = 0; x < w; ++x) {
      uint16_t v = load<uint16_t>(s + 2 * x);
      if (opaque2(v)) store(d + 2 * x, v);
    }
  });
}

void transparent4(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int, PutterBlender, void*) {
  each_row(s, d, h, sp, dp, [w](const uint8_t* s, uint8_t* d) {
    for (int x = 0; x < w; ++x) {
      uint32_t v = load<uint32_t>(s + 4 * x);
      if (opaque4(v)) store(d + 4 * x, v & 0x00FFFFFFu);
    }
  });
}

// RGB 5-6-5 blend with k in 1..32. The pixel is spread over a 32-bit word
// (green moved to bits 21..26) so that red, green and blue each have room
// for a product with k; d*(32-k) + s*k per channel, then /32, is
// d + floor((s - d) * k / 32) exactly.
inline uint16_t blend565(uint16_t s, uint16_t d, uint32_t k) {
  uint32_t ws = (s | uint32_t(s) << 16) & 0x07E0F81Fu;
  uint32_t wd = (d | uint32_t(d) << 16) & 0x07E0F81Fu;
  uint32_t w = ((wd * (32 - k) + ws * k) >> 5) & 0x07E0F81Fu;
  return uint16_t(w | w >> 16);
}

// 0xAARRGGBB blend with k in 1..256, two bytes per 32-bit product:
// d*(256-k) + s*k per byte, then /256, is d + floor((s - d) * k / 256).
inline uint32_t blend8888(uint32_t s, uint32_t d, uint32_t k) {
  uint32_t rb = (((d & 0x00FF00FFu) * (256 - k) + (s & 0x00FF00FFu) * k) >> 8) & 0x00FF00FFu;
  uint32_t ag = (((d >> 8) & 0x00FF00FFu) * (256 - k) + ((s >> 8) & 0x00FF00FFu) * k) & 0xFF00FF00u;
  return rb | ag;
}

void blend2(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p) {
  uint32_t a = uint32_t(alpha) & 0xFF;
  if (a == 0) return transparent2(s, d, w, h, sp, dp, alpha, b, p);
  uint32_t k = (a + 7) >> 3;
  each_row(s, d, h, sp, dp, [w, k](const uint8_t* s, uint8_t* d) {
    for (int x = 0; x < w; ++x) {
      uint16_t v = load<uint16_t>(s + 2 * x);
      if (opaque2(v)) store(d + 2 * x, blend565(v, load<uint16_t>(d + 2 * x), k));
    }
  });
}

void blend4(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p) {
  uint32_t a = uint32_t(alpha) & 0xFF;
  if (a == 0) return transparent4(s, d, w, h, sp, dp, alpha, b, p);
  uint32_t k = a + 1;
  each_row(s, d, h, sp, dp, [w, k](const uint8_t* s, uint8_t* d) {
    for (int x = 0; x < w; ++x) {
      uint32_t v = load<uint32_t>(s + 4 * x);
      if (opaque4(v)) store(d + 4 * x, blend8888(v, load<uint32_t>(d + 4 * x), k));
    }
  });
}

// ---- light putters: add, multiply, tint --------------------------------

// One 5-6-5 pixel's channels (red, green, blue) and their widths.
constexpr int kShift565[3] = {11, 5, 0};
constexpr uint32_t kMax565[3] = {31, 63, 31};
inline uint32_t channel565(uint16_t v, int c) { return (v >> kShift565[c]) & kMax565[c]; }

// Applies op(source, target) to every non-mask pixel.
template <int B, typename Op>
void light(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, Op op) {
  using T = std::conditional_t<B == 2, uint16_t, uint32_t>;
  each_row(s, d, h, sp, dp, [w, op](const uint8_t* s, uint8_t* d) {
    for (int x = 0; x < w; ++x) {
      T v = load<T>(s + B * x);
      if (B == 2 ? opaque2(uint16_t(v)) : opaque4(v)) store(d + B * x, T(op(v, load<T>(d + B * x))));
    }
  });
}

void add2(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender, void*) {
  const uint32_t k = uint32_t(putter_strength(2, alpha));
  light<2>(s, d, w, h, sp, dp, [k](uint16_t s, uint16_t d) {
    uint32_t r = 0;
    for (int c = 0; c < 3; ++c)
      r |= std::min(kMax565[c], channel565(d, c) + ((channel565(s, c) * k) >> 5)) << kShift565[c];
    return uint16_t(r);
  });
}

void add4(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender, void*) {
  const uint32_t k = uint32_t(putter_strength(4, alpha));
  light<4>(s, d, w, h, sp, dp, [k](uint32_t s, uint32_t d) {
    uint32_t r = 0;
    for (int shift = 0; shift < 32; shift += 8)
      r |= std::min(255u, ((d >> shift) & 255) + ((((s >> shift) & 255) * k) >> 8)) << shift;
    return r;
  });
}

void multiply2(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender, void*) {
  const uint32_t k = uint32_t(putter_strength(2, alpha));
  light<2>(s, d, w, h, sp, dp, [k](uint16_t s, uint16_t d) {
    uint32_t m = 0;
    for (int c = 0; c < 3; ++c) {
      const int bits = c == 1 ? 6 : 5;
      m |= ((channel565(d, c) * (channel565(s, c) + 1)) >> bits) << kShift565[c];
    }
    return blend565(uint16_t(m), d, k);
  });
}

void multiply4(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender, void*) {
  const uint32_t k = uint32_t(putter_strength(4, alpha));
  light<4>(s, d, w, h, sp, dp, [k](uint32_t s, uint32_t d) {
    uint32_t m = 0;
    for (int shift = 0; shift < 32; shift += 8) m |= ((((d >> shift) & 255) * (((s >> shift) & 255) + 1)) >> 8) << shift;
    return blend8888(m, d, k);
  });
}

// The colour's 8-bit red, green and blue, in the 5-6-5 channel order.
inline uint32_t colour_channel(uint32_t colour, int c) { return (colour >> (16 - 8 * c)) & 255; }

void tint2(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender, void*) {
  const uint32_t colour = uint32_t(alpha);
  light<2>(s, d, w, h, sp, dp, [colour](uint16_t s, uint16_t) {
    uint32_t r = 0;
    for (int c = 0; c < 3; ++c) r |= ((channel565(s, c) * (colour_channel(colour, c) + 1)) >> 8) << kShift565[c];
    return uint16_t(r);
  });
}

void tint4(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender, void*) {
  const uint32_t colour = uint32_t(alpha);
  light<4>(s, d, w, h, sp, dp, [colour](uint32_t s, uint32_t) {
    uint32_t r = 0;
    for (int shift = 0; shift < 24; shift += 8)
      r |= ((((s >> shift) & 255) * (((colour >> shift) & 255) + 1)) >> 8) << shift;
    return r;
  });
}

// Source: 1 byte per pixel; target: 4 bytes per pixel.
void alpha_channel4(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int, PutterBlender, void*) {
  each_row(s, d, h, sp, dp, [w](const uint8_t* s, uint8_t* d) {
    for (int x = 0; x < w; ++x) d[4 * x + 3] = s[x];
  });
}

constexpr PutterTable kCopy = {{nullptr, copy<1>, copy<2>, nullptr, copy<4>}};
constexpr PutterTable kTransparent = {{nullptr, transparent1, transparent2, nullptr, transparent4}};
constexpr PutterTable kBlend = {{nullptr, transparent1, blend2, nullptr, blend4}};
constexpr PutterTable kAlphaChannel = {{nullptr, nullptr, nullptr, nullptr, alpha_channel4}};
constexpr PutterTable kAdd = {{nullptr, transparent1, add2, nullptr, add4}};
constexpr PutterTable kMultiply = {{nullptr, transparent1, multiply2, nullptr, multiply4}};
constexpr PutterTable kTint = {{nullptr, transparent1, tint2, nullptr, tint4}};

}  // namespace

const PutterTable* putters_plain(PutterKind kind) {
  switch (kind) {
    case PutterKind::copy: return &kCopy;
    case PutterKind::transparent: return &kTransparent;
    case PutterKind::blend: return &kBlend;
    case PutterKind::alpha_channel: return &kAlphaChannel;
    case PutterKind::add: return &kAdd;
    case PutterKind::multiply: return &kMultiply;
    case PutterKind::tint: return &kTint;
  }
  return &kCopy;
}
