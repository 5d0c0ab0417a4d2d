// gfx_polygon and gfx_triangle: filled polygons by the centre rule, outlines
// as closed chains of lines through the rounded vertices.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "gfx/shapes/line_walk.h"
#include "gfx/shapes/polygon_scan.h"
#include "gfx/shapes/shapes.h"
#include "runtime/rt_core.h"

void gfx_fill_subpixel_polygon(const ShapeCanvas& c, const SubPoint* pts, size_t n) {
  PolygonScan scan(pts, n, c.top, c.bottom);
  scan.rows(scan.first_row(), scan.end_row(), [&](long long y, const long long* xs, size_t count) {
    for (size_t i = 0; i + 1 < count; i += 2)
      if (xs[i] < xs[i + 1]) c.span(y, xs[i], xs[i + 1] - 1);
  });
}

namespace {

// The closed chain of lines; with a blending colour every pixel once.
void draw_outline(const ShapeCanvas& c, const std::vector<std::pair<int, int>>& v) {
  size_t n = v.size();
  if (!c.blend) {
    for (size_t i = 0; i < n; ++i) {
      auto [ax, ay] = v[i];
      auto [bx, by] = v[(i + 1) % n];
      c.line(ax, ay, bx, by);
    }
    return;
  }
  std::vector<std::pair<long long, long long>> pixels;  // (y, x)
  LineClip clip{c.left, c.top, c.right, c.bottom};
  for (size_t i = 0; i < n; ++i) {
    auto [ax, ay] = v[i];
    auto [bx, by] = v[(i + 1) % n];
    gfx_walk_line(ax, ay, bx, by, clip, [&](long long x, long long y, long long) { pixels.push_back({y, x}); });
  }
  std::sort(pixels.begin(), pixels.end());
  pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
  for (auto [y, x] : pixels) c.pixel(x, y);
}

}  // namespace

int gfx_polygon(ImageBuffer* target, const float* points, int count, int64_t colour, int flags) {
  ShapeCanvas c;
  if (int error = gfx_shape_begin(target, colour, &c)) return error;
  if (!points || count < 1) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "polygon needs at least one point, got %d", count);
  for (int i = 0; i < 2 * count; ++i)
    if (!std::isfinite(points[i])) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "polygon point %d is not finite", i / 2);
  float last_x = points[2 * count - 2], last_y = points[2 * count - 1];
  gfx_step_coords(c.ctx, 0, &last_x, &last_y, nullptr, nullptr);
  if (c.empty()) return rt_set_error(ZQ_OK);
  GfxScreenLock lock;
  if (flags & ZQ_SHAPE_FILLED) {
    std::vector<SubPoint> v(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      double x, y;
      gfx_shape_point(c.ctx, points[2 * i], points[2 * i + 1], &x, &y);
      v[size_t(i)] = {gfx_subpixel(x), gfx_subpixel(y)};
    }
    gfx_fill_subpixel_polygon(c, v.data(), v.size());
  } else {
    std::vector<std::pair<int, int>> v(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) gfx_to_view(c.ctx, points[2 * i], points[2 * i + 1], &v[size_t(i)].first, &v[size_t(i)].second);
    draw_outline(c, v);
  }
  return rt_set_error(ZQ_OK);
}

int gfx_triangle(ImageBuffer* target, float x1, float y1, float x2, float y2, float x3, float y3, int64_t colour,
                 int flags) {
  const float points[] = {x1, y1, x2, y2, x3, y3};
  return gfx_polygon(target, points, 3, colour, flags);
}
