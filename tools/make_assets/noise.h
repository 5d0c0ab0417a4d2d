// Deterministic randomness for the asset generator: a seeded generator for
// choices made in order, and stateless hashes and value noise for textures
// that must not depend on the order in which pixels are visited. Noise
// values are fixed point with 4096 standing for one.
#pragma once

#include <cstdint>

namespace make_assets {

// SplitMix64: a small generator whose sequence depends only on the seed.
class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed) {}
  uint32_t next() {
    s_ += 0x9E3779B97F4A7C15ull;
    uint64_t z = s_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
  }
  // Uniform integer in lo..hi (inclusive).
  int range(int lo, int hi) {
    return lo + static_cast<int>(next() % static_cast<uint32_t>(hi - lo + 1));
  }

 private:
  uint64_t s_;
};

// Stateless hash of a lattice point.
uint32_t hash3(int a, int b, uint32_t seed);

// White noise in -amp..amp.
int jitter(int x, int y, uint32_t seed, int amp);

// a / b rounded towards minus infinity (b > 0).
int floor_div(int a, int b);

// One-dimensional value noise with lattice spacing `cell`, result -4096..4096.
int noise1(int x, int cell, uint32_t seed);

// Two-dimensional value noise that repeats every `period` pixels in both
// directions (period a multiple of cell), result -4096..4096. Used for tiles,
// which must join their neighbours without seams.
int tile_noise(int x, int y, int cell, int period, uint32_t seed);

// The integer square root, 0 for v <= 0.
int isqrt(int v);

}  // namespace make_assets
