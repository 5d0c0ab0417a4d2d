// Stateless hashes and value noise, all in integer arithmetic.
#include "noise.h"

namespace make_assets {

uint32_t hash3(int a, int b, uint32_t seed) {
  uint32_t h = seed * 0x9E3779B1u;
  h ^= static_cast<uint32_t>(a) * 0x85EBCA77u;
  h = (h << 13) | (h >> 19);
  h ^= static_cast<uint32_t>(b) * 0xC2B2AE3Du;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

int jitter(int x, int y, uint32_t seed, int amp) {
  return static_cast<int>(hash3(x, y, seed) % static_cast<uint32_t>(2 * amp + 1)) - amp;
}

int floor_div(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Smoothstep of t in 0..4096, result in 0..4096.
static int smooth(int t) { return t * t / 4096 * (3 * 4096 - 2 * t) / 4096; }

int noise1(int x, int cell, uint32_t seed) {
  const int i = floor_div(x, cell);
  const int t = smooth((x - i * cell) * 4096 / cell);
  const int a = static_cast<int>(hash3(i, 0, seed) % 8193) - 4096;
  const int b = static_cast<int>(hash3(i + 1, 0, seed) % 8193) - 4096;
  return a + (b - a) * t / 4096;
}

int tile_noise(int x, int y, int cell, int period, uint32_t seed) {
  const int n = period / cell;
  const int ix = floor_div(x, cell), iy = floor_div(y, cell);
  const int tx = smooth((x - ix * cell) * 4096 / cell);
  const int ty = smooth((y - iy * cell) * 4096 / cell);
  auto lattice = [&](int i, int j) {
    const int wi = ((i % n) + n) % n, wj = ((j % n) + n) % n;
    return static_cast<int>(hash3(wi, wj, seed) % 8193) - 4096;
  };
  const int top = lattice(ix, iy) + (lattice(ix + 1, iy) - lattice(ix, iy)) * tx / 4096;
  const int bot =
      lattice(ix, iy + 1) + (lattice(ix + 1, iy + 1) - lattice(ix, iy + 1)) * tx / 4096;
  return top + (bot - top) * ty / 4096;
}

int isqrt(int v) {
  if (v <= 0) return 0;
  int r = 0;
  while ((r + 1) * (r + 1) <= v) ++r;
  return r;
}

}  // namespace make_assets
