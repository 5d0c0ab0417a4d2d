// gfx_thick_line: a line of any width, the quadrilateral around the segment
// filled by the centre rule, with butt ends or round ones (a disc of the
// line's width at each end).
#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "gfx/shapes/polygon_scan.h"
#include "gfx/shapes/shapes.h"
#include "runtime/rt_core.h"

namespace {

// Centres of row y inside the disc of radius r around (cx, cy), as lo..hi;
// false when none. A centre on the circle belongs to it on the left only.
bool disc_row(double cx, double cy, double r, long long y, long long* lo, long long* hi) {
  double dy = double(y) - cy, rest = r * r - dy * dy;
  if (rest <= 0) return false;
  double h = std::sqrt(rest);
  *lo = (long long)std::ceil(cx - h);
  *hi = (long long)std::ceil(cx + h) - 1;
  return *lo <= *hi;
}

long long row_limit(double v, long long lo, long long hi) {
  return (long long)std::clamp(v, double(lo), double(hi));
}

}  // namespace

int gfx_thick_line(ImageBuffer* target, float x1, float y1, float x2, float y2, float width, int64_t colour,
                   int flags) {
  ShapeCanvas c;
  if (int error = gfx_shape_begin(target, colour, &c)) return error;
  for (float v : {x1, y1, x2, y2})
    if (!std::isfinite(v)) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "thick line end point is not finite");
  if (!std::isfinite(width) || width < 0) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "line width %g is not 0 or more", double(width));
  gfx_step_coords(c.ctx, flags & kStepMask, &x1, &y1, &x2, &y2);
  if (c.empty()) return rt_set_error(ZQ_OK);
  double ax, ay, bx, by;
  gfx_shape_point(c.ctx, x1, y1, &ax, &ay);
  gfx_shape_point(c.ctx, x2, y2, &bx, &by);
  ax = std::clamp(ax, -kSubpixelLimit, kSubpixelLimit);
  ay = std::clamp(ay, -kSubpixelLimit, kSubpixelLimit);
  bx = std::clamp(bx, -kSubpixelLimit, kSubpixelLimit);
  by = std::clamp(by, -kSubpixelLimit, kSubpixelLimit);
  // One order of the ends whichever way the caller gave them: a to b and b
  // to a are the same shape to the last pixel.
  if (std::tie(bx, by) < std::tie(ax, ay)) {
    std::swap(ax, bx);
    std::swap(ay, by);
  }
  const double r = std::min(double(width), kSubpixelLimit) / 2;
  const double dx = bx - ax, dy = by - ay, len = std::hypot(dx, dy);
  SubPoint quad[4];
  size_t corners = 0;
  if (len > 0 && r > 0) {
    double nx = -dy / len * r, ny = dx / len * r;
    quad[0] = {gfx_subpixel(ax + nx), gfx_subpixel(ay + ny)};
    quad[1] = {gfx_subpixel(bx + nx), gfx_subpixel(by + ny)};
    quad[2] = {gfx_subpixel(bx - nx), gfx_subpixel(by - ny)};
    quad[3] = {gfx_subpixel(ax - nx), gfx_subpixel(ay - ny)};
    corners = 4;
  }
  GfxScreenLock lock;
  if (!(flags & ZQ_LINE_ROUND_ENDS)) {
    if (corners) gfx_fill_subpixel_polygon(c, quad, corners);
    return rt_set_error(ZQ_OK);
  }
  // Round ends: the shape is convex, so each row is one run, the hull of
  // the quadrilateral's run and the two discs' runs.
  long long first = row_limit(std::ceil(std::min(ay, by) - r), c.top, c.bottom);
  long long end = row_limit(std::floor(std::max(ay, by) + r) + 1, c.top, c.bottom);
  PolygonScan scan(quad, corners, first, end);
  scan.rows(first, end, [&](long long y, const long long* xs, size_t count) {
    long long lo = INT64_MAX, hi = INT64_MIN, l, h;
    if (count >= 2 && xs[0] < xs[count - 1]) lo = xs[0], hi = xs[count - 1] - 1;
    if (disc_row(ax, ay, r, y, &l, &h)) lo = std::min(lo, l), hi = std::max(hi, h);
    if (disc_row(bx, by, r, y, &l, &h)) lo = std::min(lo, l), hi = std::max(hi, h);
    if (lo <= hi) c.span(y, lo, hi);
  });
  return rt_set_error(ZQ_OK);
}
