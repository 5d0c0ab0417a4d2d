// The background, 640 x 480: sky, sun, clouds and three layers of hills
// that grow nearer, darker and greener towards the bottom. The game draws it
// fixed behind the scrolling tiles.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>
#include <vector>

#include "assets.h"
#include "noise.h"

namespace make_assets {
namespace {

constexpr int kBackgroundW = 640, kBackgroundH = 480;

Rgb sky_at(int y) {
  const Rgb top{86, 150, 226}, mid{140, 194, 240}, low{222, 236, 242};
  if (y < 210) return mix(top, mid, y * 256 / 210);
  return mix(mid, low, std::min(256, (y - 210) * 256 / 140));
}

// Outline of a hill layer: the screen row of its ridge at column x.
int ridge(int x, int base, int amp, uint32_t seed) {
  const int n = noise1(x, 170, seed) * 5 + noise1(x, 61, seed + 1) * 2 + noise1(x, 23, seed + 2);
  return base + n * amp / (8 * 4096);
}

void draw_cloud(Picture& p, int cx, int cy, int w, Rng& rng) {
  struct Puff {
    int x, y, r;
  };
  std::vector<Puff> puffs;
  const int n = w / 14 + 2;
  for (int i = 0; i < n; ++i) {
    const int px = cx - w / 2 + w * i / (n - 1);
    const int centre = 256 - std::abs(px - cx) * 512 / w;  // 256 in the middle
    const int r = 9 + centre * (w / 6) / 256 + rng.range(-3, 3);
    puffs.push_back({px + rng.range(-4, 4), cy - r / 2 + rng.range(-2, 2), r});
  }
  const int bottom = cy + 8;
  int top = bottom;
  for (const Puff& f : puffs) top = std::min(top, f.y - f.r);
  for (int y = top - 1; y <= bottom; ++y)
    for (int x = cx - w / 2 - 40; x <= cx + w / 2 + 40; ++x) {
      int best = -1 << 20, br = 1, by = 0;
      for (const Puff& f : puffs) {
        const int v = f.r * f.r - ((x - f.x) * (x - f.x) + (y - f.y) * (y - f.y));
        if (v > best) best = v, br = f.r, by = f.y;
      }
      if (best <= 0) continue;
      // Soft edge about three pixels wide: r^2 - d^2 is about 2r(r - d).
      int a = best * 256 / (br * 6);
      a = std::min(a, 256);
      if (y > bottom - 3) a = a * (bottom + 1 - y) / 4;
      // Lit from above: white tops, blue-grey undersides and puff bottoms.
      int shade = (y - top) * 256 / std::max(1, bottom - top);
      shade = std::max(shade, (y - by + br / 3) * 256 / std::max(1, br * 2));
      const Rgb c = mix(Rgb{255, 255, 255}, Rgb{198, 212, 234}, std::clamp(shade, 0, 256));
      p.blend(x, y, c, a);
    }
}

void draw_tree(Picture& p, int x, int ground, int r, Rgb leaf, Rgb trunk) {
  for (int y = ground - r; y <= ground + 3; ++y) {
    p.set(x, y, trunk);
    if (r > 4) p.set(x + 1, y, scale(trunk, 190));
  }
  const int cy = ground - r - r / 3;
  for (int y = cy - r - 1; y <= cy + r + 1; ++y)
    for (int xx = x - r - 1; xx <= x + r + 1; ++xx) {
      const int d2 = (xx - x) * (xx - x) + (y - cy) * (y - cy) * 5 / 4;
      const int v = r * r - d2;
      if (v <= 0) continue;
      const int a = std::min(256, v * 256 / (r * 3));
      // Lit from the upper left.
      const int lx = xx - (x - r / 2), ly = y - (cy - r / 2);
      const int light = 40 - isqrt(lx * lx + ly * ly) * 50 / std::max(1, r);
      p.blend(xx, y, lighten(leaf, light + jitter(xx, y, 201, 5)), a);
    }
}

// Sun with a soft glow, upper right.
void draw_sun(Picture& p) {
  const int sx = 540, sy = 92;
  for (int y = sy - 110; y <= sy + 110; ++y)
    for (int x = sx - 110; x <= sx + 110; ++x) {
      const int d2 = (x - sx) * (x - sx) + (y - sy) * (y - sy);
      if (d2 < 110 * 110) {
        const int g = (110 * 110 - d2) / 110;  // 0..110
        p.blend(x, y, Rgb{255, 246, 214}, g * g / 64);
      }
      if (d2 < 22 * 22) {
        p.set(x, y, mix(Rgb{255, 252, 230}, Rgb{255, 238, 176}, d2 * 256 / (22 * 22)));
      } else if (d2 < 24 * 24) {
        p.blend(x, y, Rgb{255, 240, 186}, (24 * 24 - d2) * 256 / (24 * 24 - 22 * 22));
      }
    }
}

// Clouds, small and high or larger and lower, and a few birds.
void draw_clouds_and_birds(Picture& p) {
  Rng rng(0xC10D5);
  const std::array<std::array<int, 3>, 7> clouds{{{70, 64, 96},
                                                  {300, 110, 130},
                                                  {470, 52, 70},
                                                  {610, 150, 110},
                                                  {160, 176, 150},
                                                  {420, 206, 120},
                                                  {-20, 230, 90}}};
  for (const auto& c : clouds) draw_cloud(p, c[0], c[1], c[2], rng);

  // Birds: small dark ticks.
  for (auto [bx, by] : {std::pair{250, 70}, {262, 78}, {244, 84}}) {
    for (int i = 0; i < 3; ++i) {
      p.set(bx - i, by - i / 2, Rgb{60, 70, 96});
      p.set(bx + i, by - i / 2, Rgb{60, 70, 96});
    }
  }
}

// Three hill layers, far to near. Each fades into the sky near its ridge's
// bottom (haze) and has a lit rim along the ridge; the two nearer ones carry
// trees.
void draw_hills(Picture& p) {
  constexpr int W = kBackgroundW, H = kBackgroundH;
  struct Layer {
    int base, amp;
    uint32_t seed;
    Rgb top, bottom;
    int haze;  // 0..256, how much of the sky colour is mixed in
  };
  const std::array<Layer, 3> layers{{{236, 70, 301, {150, 178, 214}, {128, 162, 196}, 110},
                                     {300, 46, 302, {108, 164, 140}, {82, 138, 112}, 50},
                                     {352, 34, 303, {100, 172, 74}, {58, 126, 50}, 0}}};
  for (size_t li = 0; li < layers.size(); ++li) {
    const Layer& l = layers[li];
    for (int x = 0; x < W; ++x) {
      const int top = ridge(x, l.base, l.amp, l.seed);
      for (int y = std::max(0, top); y < H; ++y) {
        const int depth = y - top;
        Rgb c = mix(l.top, l.bottom, std::min(256, depth * 256 / 140));
        c = mix(c, sky_at(top), l.haze);
        if (depth < 2) c = lighten(c, 26 - depth * 10);
        if (li == 2) {
          // Meadow texture on the nearest layer.
          c = lighten(c, tile_noise(x, y, 8, 640, 310) * 8 / 4096 + jitter(x, y, 311, 3));
        }
        p.set(x, y, c);
      }
    }
    // Trees on the two nearer layers.
    if (li >= 1) {
      Rng trees(0x7E3 + li);
      int x = trees.range(5, 40);
      while (x < W) {
        const int r = li == 1 ? trees.range(3, 5) : trees.range(6, 10);
        const Rgb leaf = li == 1 ? Rgb{76, 140, 112} : Rgb{50, 118, 54};
        const Rgb trunk = li == 1 ? Rgb{84, 104, 96} : Rgb{84, 58, 40};
        draw_tree(p, x, ridge(x, l.base, l.amp, l.seed) + 2, r, leaf, trunk);
        if (trees.range(0, 2) == 0) x += r * 2 + 2;  // small clumps
        else x += li == 1 ? trees.range(24, 80) : trees.range(40, 120);
      }
    }
  }
}

}  // namespace

Picture make_background() {
  Picture p(kBackgroundW, kBackgroundH, Rgb{0, 0, 0});
  for (int y = 0; y < kBackgroundH; ++y)
    for (int x = 0; x < kBackgroundW; ++x) p.set(x, y, sky_at(y));
  draw_sun(p);
  draw_clouds_and_birds(p);
  draw_hills(p);
  return p;
}

}  // namespace make_assets
