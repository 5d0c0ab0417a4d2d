// The ground tiles, 32 x 32: earth (p2), grass (p1), the floating ledge (p6)
// and the bush (p7). Textures repeat every 32 pixels so that neighbouring
// tiles of the same kind join without seams; light comes from the top left.
#include <algorithm>
#include <array>
#include <vector>

#include "assets.h"
#include "noise.h"

namespace make_assets {
namespace {

// Earth: brown soil with soft blotches, grain and a few pebbles. Shared by the
// earth tile and the lower part of the grass tile, and periodic in y too, so
// earth joins grass and earth above or below.
Rgb earth_at(int x, int y) {
  struct Pebble {
    int x, y, rx, ry, tone;
  };
  static const std::vector<Pebble> pebbles = [] {
    std::vector<Pebble> v;
    Rng rng(0xEA27);
    for (int i = 0; i < 5; ++i)
      v.push_back({rng.range(0, 31), rng.range(0, 31), rng.range(2, 4), rng.range(2, 3),
                   rng.range(-20, 10)});
    return v;
  }();
  x &= 31;
  y &= 31;
  const Rgb base{142, 96, 60};
  const int blot = tile_noise(x, y, 16, 32, 10) * 10 / 4096 + tile_noise(x, y, 8, 32, 11) * 14 / 4096 +
                   tile_noise(x, y, 4, 32, 12) * 8 / 4096;
  Rgb c = lighten(base, blot + jitter(x, y, 13, 7));
  if (hash3(x, y, 14) % 23 == 0) c = scale(c, 170);  // dark crumbs
  if (hash3(x, y, 15) % 53 == 0) c = lighten(c, 20);  // light grains
  for (const Pebble& pb : pebbles) {
    // Wrapped distance so pebbles on an edge continue on the next tile.
    int dx = x - pb.x, dy = y - pb.y;
    dx -= 32 * floor_div(dx + 16, 32);
    dy -= 32 * floor_div(dy + 16, 32);
    const int d = dx * dx * 256 / (pb.rx * pb.rx) + dy * dy * 256 / (pb.ry * pb.ry);
    if (d < 256) {
      Rgb stone = mix(c, lighten(Rgb{150, 132, 112}, pb.tone), 170);
      if (dy < 0 && dx <= 0 && d < 200) stone = lighten(stone, 18);  // lit upper left
      if (dy > 0 && d > 90) stone = scale(stone, 215);
      c = stone;
    } else if (dy >= 0 && dy <= pb.ry && d < 420) {
      c = scale(c, 205);  // shadow under the pebble
    }
  }
  return c;
}

}  // namespace

Picture make_earth() {
  Picture p(kTile, kTile, kMask);
  for (int y = 0; y < kTile; ++y)
    for (int x = 0; x < kTile; ++x) p.set(x, y, earth_at(x, y));
  return p;
}

// Grass: a mat of grass over earth. Blade tips stand up into the top rows
// (transparent between them) and ragged tufts hang into the earth.
Picture make_grass() {
  Picture p(kTile, kTile, kMask);
  for (int x = 0; x < kTile; ++x) {
    // Height of the blade tips: most columns start at row 2 or 3, some tips
    // reach higher.
    const uint32_t h = hash3(x, 0, 21);
    int tip = 2 + static_cast<int>(h % 3 == 0);
    if (h % 7 == 0) tip = 1;
    if (h % 13 == 0) tip = 0;
    // Lower edge of the grass mat, a ragged fringe.
    int fringe = 9 + noise1(x * 4, 16, 22) * 2 / 4096 + static_cast<int>(hash3(x, 1, 23) % 3);
    if (hash3(x, 2, 24) % 5 == 0) fringe += 2;
    for (int y = tip; y < kTile; ++y) {
      if (y < fringe) {
        // Light at the top, deeper green lower down, with vertical blade streaks.
        const int t = (y - tip) * 256 / std::max(1, fringe - tip);
        Rgb c = mix(Rgb{150, 222, 84}, Rgb{52, 138, 46}, t);
        const int streak = static_cast<int>(hash3(x, 3, 25) % 5) - 2;
        c = lighten(c, streak * 7 + jitter(x, y, 26, 6));
        if (y == tip) c = lighten(c, 34);
        if ((x + y * 3 + static_cast<int>(h % 5)) % 9 == 0 && y > 3) c = scale(c, 210);
        p.set(x, y, c);
      } else {
        Rgb c = earth_at(x, y);
        if (y == fringe) c = scale(c, 150);  // shadow under the grass
        else if (y == fringe + 1) c = scale(c, 205);
        p.set(x, y, c);
      }
    }
  }
  // A couple of small flowers in the grass.
  for (const Flower& f : {Flower{7, 4, {255, 250, 240}}, Flower{23, 5, {255, 214, 64}}})
    draw_flower(p, f, Rgb{236, 120, 40}, 256);
  return p;
}

// Ledge: a floating slab, grass on top of bevelled rock with a jagged rocky
// underside; transparent below.
Picture make_ledge() {
  Picture p(kTile, kTile, kMask);
  for (int x = 0; x < kTile; ++x) {
    // Bottom of the rock: deepest in the middle of the tile.
    const int dxm = x * 2 - 31;  // -31..31
    int bottom = 24 - dxm * dxm / 100 + static_cast<int>(hash3(x, 0, 61) % 3);
    bottom = std::max(bottom, 12);
    const uint32_t h = hash3(x, 1, 62);
    int tip = 2 + static_cast<int>(h % 3 == 0);
    if (h % 6 == 0) tip = 1;
    for (int y = tip; y <= bottom; ++y) {
      Rgb c;
      if (y < 7) {
        c = mix(Rgb{156, 224, 90}, Rgb{64, 150, 52}, (y - tip) * 256 / std::max(1, 7 - tip));
        c = lighten(c, jitter(x, y, 63, 8));
        if (y == tip) c = lighten(c, 30);
      } else {
        const Rgb rock{150, 128, 104};
        c = lighten(rock, tile_noise(x, y, 8, 32, 64) * 14 / 4096 + jitter(x, y, 65, 7));
        c = scale(c, 256 - (y - 7) * 5);  // darker further down
        if (y == 7) c = Rgb{58, 110, 44};  // shadow line under the grass
        if (y == 8) c = lighten(c, 24);
        if (y == bottom) c = scale(c, 150);
        if (hash3(x, y, 66) % 19 == 0) c = scale(c, 190);
        if (y == 9 && hash3(x, y, 67) % 3 == 0) c = Rgb{76, 140, 58};  // hanging grass
        if (y == 10 && hash3(x, y, 67) % 7 == 0) c = Rgb{64, 122, 50};
      }
      p.set(x, y, c);
    }
  }
  return p;
}

// Bush: a round leafy bush with a few flowers, standing on the bottom edge of
// the tile; transparent around it.
Picture make_bush() {
  Picture p(kTile, kTile, kMask);
  struct Blob {
    int x, y, r;
  };
  const std::array<Blob, 6> blobs{{{9, 22, 8}, {22, 21, 9}, {15, 14, 9}, {5, 26, 6},
                                   {27, 26, 5}, {16, 24, 8}}};
  auto coverage = [&](int x, int y) {
    int best = -1 << 20;
    for (const Blob& b : blobs) {
      const int d = (x - b.x) * (x - b.x) + (y - b.y) * (y - b.y);
      best = std::max(best, b.r * b.r - d);
    }
    return best;
  };
  for (int y = 0; y < kTile; ++y)
    for (int x = 0; x < kTile; ++x) {
      if (coverage(x, y) + jitter(x, y, 71, 10) <= 0 || y > 30) continue;
      // Light from the upper left: brighter towards (10, 8).
      const int lx = x - 10, ly = y - 8;
      const int light = 60 - isqrt(lx * lx + ly * ly) * 3;
      Rgb c = lighten(Rgb{58, 138, 52}, light / 2 + jitter(x, y, 72, 6));
      // Leaf clusters.
      const int leaf = tile_noise(x, y, 4, 32, 73);
      if (leaf > 1600) c = lighten(c, 22);
      if (leaf < -1900) c = scale(c, 180);
      if (y >= 28) c = scale(c, 196);
      p.set(x, y, c);
    }
  // Dark rim where the bush meets the transparent surroundings.
  Picture rim = p;
  for (int y = 0; y < kTile; ++y)
    for (int x = 0; x < kTile; ++x)
      if (!p.is_mask(x, y) && beside(p, x, y, true)) rim.set(x, y, Rgb{30, 78, 34});
  p = rim;
  const std::array<Flower, 5> flowers{{{8, 17, {255, 255, 250}},
                                       {17, 10, {255, 120, 160}},
                                       {24, 17, {255, 220, 70}},
                                       {13, 24, {255, 120, 160}},
                                       {25, 25, {255, 255, 250}}}};
  for (const Flower& f : flowers) draw_flower(p, f, Rgb{250, 190, 40}, 225);
  return p;
}

}  // namespace make_assets
