// Colour arithmetic and the marks shared by several pictures.
#include "picture.h"

#include <algorithm>
#include <utility>

namespace make_assets {

static int clamp255(int v) { return std::clamp(v, 0, 255); }

Rgb rgb(int r, int g, int b) { return {clamp255(r), clamp255(g), clamp255(b)}; }

Rgb lighten(Rgb c, int d) { return rgb(c.r + d, c.g + d, c.b + d); }

Rgb mix(Rgb a, Rgb b, int t) {
  t = std::clamp(t, 0, 256);
  return rgb(a.r + (b.r - a.r) * t / 256, a.g + (b.g - a.g) * t / 256,
             a.b + (b.b - a.b) * t / 256);
}

Rgb scale(Rgb c, int f) { return rgb(c.r * f / 256, c.g * f / 256, c.b * f / 256); }

bool beside(const Picture& p, int x, int y, bool mask) {
  for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
    if (p.inside(x + dx, y + dy) && p.is_mask(x + dx, y + dy) == mask) return true;
  return false;
}

void draw_flower(Picture& p, const Flower& f, Rgb heart, int right_shade) {
  p.set(f.x - 1, f.y, f.petal);
  p.set(f.x + 1, f.y, scale(f.petal, right_shade));
  p.set(f.x, f.y - 1, f.petal);
  p.set(f.x, f.y + 1, scale(f.petal, 210));
  p.set(f.x, f.y, heart);
}

}  // namespace make_assets
