// gfx_line: a line, a box outline or a filled box between two points, solid
// or dashed by a 16-bit mask, clipped to the view.
#include <algorithm>

#include "gfx/shapes/line_walk.h"
#include "gfx/shapes/shapes.h"
#include "runtime/rt_core.h"

namespace {

constexpr int kSolid = 0xFFFF;

// The dash mask's low 16 bits; 0 (ZQ_OMITTED included) is solid.
int dash_mask(int style) { return (style & 0xFFFF) ? style & 0xFFFF : kSolid; }

bool dash_draws(int mask, long long index) { return (mask >> (15 - (index & 15))) & 1; }

LineClip clip_of(const ShapeCanvas& c) { return {c.left, c.top, c.right, c.bottom}; }

void draw_segment(const ShapeCanvas& c, long long ax, long long ay, long long bx, long long by, int mask) {
  if (mask == kSolid) {
    c.line(ax, ay, bx, by);
    return;
  }
  gfx_walk_line(ax, ay, bx, by, clip_of(c), [&](long long x, long long y, long long index) {
    if (dash_draws(mask, index)) c.pixel(x, y);
  });
}

// One straight edge of a dashed box outline: pixels from (x, y) on in
// direction (step_x, step_y), count of them, the first at perimeter index
// `index`. Only the edge's pixels inside the clip are visited.
void dashed_edge(const ShapeCanvas& c, long long x, long long y, int step_x, int step_y, long long count,
                 long long index, long long perimeter, int mask) {
  if (count <= 0) return;
  LineClip clip = clip_of(c);
  long long ex = x + step_x * (count - 1), ey = y + step_y * (count - 1);
  gfx_walk_line(x, y, ex, ey, clip, [&](long long px, long long py, long long k) {
    if (dash_draws(mask, (index + k) % perimeter)) c.pixel(px, py);
  });
}

// The outline clockwise from the top-left corner: top edge, right edge,
// bottom edge leftwards, left edge upwards; the dash pattern starts at the
// caller's first corner.
void draw_dashed_box(const ShapeCanvas& c, long long l, long long t, long long r, long long b, long long first_x,
                     long long first_y, int mask) {
  long long w = r - l, h = b - t;
  if (w == 0 || h == 0) {  // a box one pixel thin is a line from the first corner
    draw_segment(c, first_x, first_y, first_x == l ? r : l, first_y == t ? b : t, mask);
    return;
  }
  long long perimeter = 2 * (w + h);
  long long start = first_y == t ? (first_x == l ? 0 : w) : (first_x == r ? w + h : 2 * w + h);
  auto at = [&](long long position) { return ((position - start) % perimeter + perimeter) % perimeter; };
  dashed_edge(c, l, t, 1, 0, w + 1, at(0), perimeter, mask);
  dashed_edge(c, r, t + 1, 0, 1, h, at(w + 1), perimeter, mask);
  dashed_edge(c, r - 1, b, -1, 0, w, at(w + h + 1), perimeter, mask);
  dashed_edge(c, l, b - 1, 0, -1, h - 1, at(2 * w + h + 1), perimeter, mask);
}

void draw_box(const ShapeCanvas& c, long long l, long long t, long long r, long long b) {
  c.span(t, l, r);
  if (b > t) c.span(b, l, r);
  if (b - t < 2) return;
  c.line(l, t + 1, l, b - 1);
  if (r > l) c.line(r, t + 1, r, b - 1);
}

// Clipped once; then one span-fill call per row, as a clear does.
void fill_box(const ShapeCanvas& c, long long l, long long t, long long r, long long b) {
  long long first = std::max(t, c.top), last = std::min(b, c.bottom - 1);
  l = std::max(l, c.left);
  r = std::min(r, c.right - 1);
  if (l > r || first > last) return;
  GfxContext* ctx = c.ctx;
  FillSpanFn fill = ctx->fill_span;
  uint8_t** rows = ctx->line_table;
  const long long offset = l * ctx->bytes_per_pixel;
  const int count = int(r - l + 1);
  for (long long y = first; y <= last; ++y) fill(rows[y] + offset, c.colour, count);
  c.mark_rows(first, last);
}

}  // namespace

int gfx_line(ImageBuffer* target, float x1, float y1, float x2, float y2, int64_t colour, int style, int flags) {
  ShapeCanvas c;
  if (int error = gfx_shape_begin(target, colour, &c)) return error;
  gfx_step_coords(c.ctx, flags & kStepMask, &x1, &y1, &x2, &y2);
  int ax, ay, bx, by;
  gfx_to_view(c.ctx, x1, y1, &ax, &ay);
  gfx_to_view(c.ctx, x2, y2, &bx, &by);
  if (c.empty()) return rt_set_error(ZQ_OK);
  int mask = dash_mask(style);
  long long l = std::min(ax, bx), r = std::max(ax, bx), t = std::min(ay, by), b = std::max(ay, by);
  GfxScreenLock lock;
  if (flags & ZQ_SHAPE_FILLED)
    fill_box(c, l, t, r, b);
  else if (!(flags & ZQ_SHAPE_BOX))
    draw_segment(c, ax, ay, bx, by, mask);
  else if (mask == kSolid)
    draw_box(c, l, t, r, b);
  else
    draw_dashed_box(c, l, t, r, b, ax, ay, mask);
  return rt_set_error(ZQ_OK);
}
