// gfx_circle: circles, ellipses, arcs and pie slices, outlined or filled.
//
// The ellipse with semi-axes a and b is the set D of pixels (x, y) around
// the centre with (x / (a + 1/2))^2 + (y / (b + 1/2))^2 <= 1, found row by row
// from its half-width. The filled shape is D; the outline is every pixel of D
// with a horizontal or vertical neighbour, away from the centre, outside D.
// That outline is 8-connected, symmetric like D itself (8-fold for circles),
// and is drawn as at most two spans per row, each pixel once.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "gfx/shapes/line_walk.h"
#include "gfx/shapes/shapes.h"
#include "runtime/rt_core.h"

namespace {

using Wide = __int128;
constexpr long long kMaxAxis = 1LL << 30;  // keeps the row arithmetic within 128 bits
constexpr double kTurn = 2 * std::numbers::pi;

long long isqrt(long long q) {
  auto r = (long long)std::sqrt(double(q));
  while (r > 0 && Wide(r) * r > q) --r;
  while (Wide(r + 1) * (r + 1) <= q) ++r;
  return r;
}

// Half-widths of D's rows, with the last two answers kept: neighbouring rows
// ask for each other's.
class Ellipse {
 public:
  Ellipse(long long a, long long b) : a_(a), b_(b), wa_(Wide(2 * a + 1) * (2 * a + 1)), wb_(Wide(2 * b + 1) * (2 * b + 1)) {}
  long long a() const { return a_; }
  long long b() const { return b_; }
  // Largest x >= 0 with (x, dy) in D, or -1 when row dy is outside it.
  long long half_width(long long dy) {
    if (dy < 0) dy = -dy;
    if (dy > b_) return -1;
    for (const Row& c : cache_)
      if (c.dy == dy) return c.w;
    Wide rest = wa_ * (wb_ - Wide(4) * dy * dy);
    long long w = isqrt((long long)(rest / (4 * wb_)));
    cache_[next_] = {dy, w};
    next_ ^= 1;
    return w;
  }

 private:
  long long a_, b_;
  Wide wa_, wb_;
  struct Row {
    long long dy, w;
  };
  Row cache_[2] = {{-1, 0}, {-1, 0}};
  int next_ = 0;
};

// How many pixels of a run a wedge holds.
enum class Cover { none, all, some };

// The arc between two angles (radians, counterclockwise, up is positive y),
// tested by the sides of its end rays rather than by angles per pixel.
struct Wedge {
  bool whole;
  double sx, sy, ex, ey;  // unit vectors of the start and the end
  bool wide;              // sweeps more than half a turn
  // Whether the offset (dx, dy) from the centre is on the inner side of the
  // start ray and of the end ray.
  void sides(long long dx, long long dy, bool* after_start, bool* before_end) const {
    double vx = double(dx), vy = double(-dy);
    *after_start = sx * vy - sy * vx >= 0;
    *before_end = vx * ey - vy * ex >= 0;
  }
  bool holds(bool after_start, bool before_end) const {
    return wide ? after_start || before_end : after_start && before_end;
  }
  bool contains(long long dx, long long dy) const {
    if (whole || (dx == 0 && dy == 0)) return true;
    bool a, b;
    sides(dx, dy, &a, &b);
    return holds(a, b);
  }
  // Offsets dx0..dx1 of row dy. Along a row each side's test changes at most
  // once (both differences move one way as dx grows, and rounding keeps
  // their order), so the run's ends decide unless the run holds the centre.
  Cover covers(long long dx0, long long dx1, long long dy) const {
    if (whole) return Cover::all;
    if (dy == 0 && dx0 <= 0 && dx1 >= 0) return Cover::some;
    bool a0, b0, a1, b1;
    sides(dx0, dy, &a0, &b0);
    sides(dx1, dy, &a1, &b1);
    if (a0 != a1 || b0 != b1) return Cover::some;
    return holds(a0, b0) ? Cover::all : Cover::none;
  }
};

double normal_angle(float angle) { return std::fmod(std::fabs(double(angle)), kTurn); }

Wedge wedge_of(float start, float end) {
  if (std::fabs(start) == std::fabs(end)) return {true, 0, 0, 0, 0, true};
  double s = normal_angle(start), e = normal_angle(end);
  double sweep = e - s;
  if (sweep <= 0) sweep += kTurn;
  return {false, std::cos(s), std::sin(s), std::cos(e), std::sin(e), sweep > kTurn / 2};
}

// Pixel offsets of row dy's outline: lo..w on either side (lo 0: one span).
void outline_row(Ellipse& e, long long dy, long long* lo, long long* w) {
  *w = e.half_width(dy);
  long long next = e.half_width(std::abs(dy) + 1);
  *lo = next < *w ? next + 1 : *w;
}

// Calls each(y, x0, x1) for the spans of the shape in rows inside the clip.
template <typename Each>
void for_each_span(const ShapeCanvas& c, Ellipse& e, long long cx, long long cy, bool filled, Each each) {
  long long first = std::max(c.top, cy - e.b()), last = std::min(c.bottom - 1, cy + e.b());
  for (long long y = first; y <= last; ++y) {
    long long lo, w;
    if (filled) {
      w = e.half_width(y - cy);
      lo = 0;
    } else {
      outline_row(e, y - cy, &lo, &w);
    }
    if (lo == 0) {
      each(y, cx - w, cx + w);
    } else {
      each(y, cx - w, cx - lo);
      each(y, cx + lo, cx + w);
    }
  }
}

// Axes up to this length let the rows be stepped in 64-bit integers.
constexpr long long kSteppedAxisMax = 16383;

// D's half-widths stepped from row to row away from the centre: w for row
// distance t and next for t + 1, each found from the one before by whole
// steps inward ((x, t) is in D when 4 x^2 (2b+1)^2 + 4 t^2 (2a+1)^2 <=
// (2a+1)^2 (2b+1)^2), the same answers as Ellipse::half_width without a
// square root per row.
class RowStepper {
 public:
  RowStepper(Ellipse& e, long long t)
      : wa_((2 * e.a() + 1) * (2 * e.a() + 1)), wb_((2 * e.b() + 1) * (2 * e.b() + 1)), t(t), w(e.half_width(t)),
        next(inward(w, t + 1)) {}
  void advance() {
    ++t;
    w = next;
    next = inward(next, t + 1);
  }

 private:
  long long wa_, wb_;

 public:
  long long t, w, next;

 private:
  long long inward(long long x, long long row) const {
    while (x >= 0 && 4 * x * x * wb_ + 4 * row * row * wa_ > wa_ * wb_) --x;
    return x;
  }
};

bool stepped(const Ellipse& e) { return e.a() <= kSteppedAxisMax && e.b() <= kSteppedAxisMax; }

// The whole shape's spans, as for_each_span gives them, with the rows
// stepped: from the visible row nearest the centre outward to the farthest.
template <typename Each>
void whole_spans(const ShapeCanvas& c, Ellipse& e, long long cx, long long cy, bool filled, Each each) {
  if (!stepped(e)) {
    for_each_span(c, e, cx, cy, filled, each);
    return;
  }
  long long t_first = cy < c.top ? c.top - cy : cy >= c.bottom ? cy - (c.bottom - 1) : 0;
  long long t_last = std::min(e.b(), std::max(std::abs(c.top - cy), std::abs(c.bottom - 1 - cy)));
  if (t_first > t_last) return;
  for (RowStepper s(e, t_first); s.t <= t_last; s.advance()) {
    long long lo = filled ? 0 : s.next < s.w ? s.next + 1 : s.w;
    for (long long y : {cy - s.t, cy + s.t}) {
      if (y >= c.top && y < c.bottom) {
        if (lo == 0) {
          each(y, cx - s.w, cx + s.w);
        } else {
          each(y, cx - s.w, cx - lo);
          each(y, cx + lo, cx + s.w);
        }
      }
      if (s.t == 0) break;
    }
  }
}

// Spans up to this many pixels are stored in place; longer ones go to the
// routine set's span fill, whose start-up only pays off on longer runs.
constexpr long long kInlineSpanMax = 8;

// Writes pixels x0..x1 of row y (a row inside the clip) with plain stores:
// the short runs (most of an outline's) here, the long ones by the span fill.
template <typename T>
struct PlainSpans {
  const ShapeCanvas& c;
  T v;
  void operator()(long long y, long long x0, long long x1) const {
    x0 = std::max(x0, c.left);
    x1 = std::min(x1, c.right - 1);
    if (x0 > x1) return;
    uint8_t* p = c.ctx->line_table[y] + x0 * (long long)sizeof(T);
    if (x1 - x0 >= kInlineSpanMax) {
      c.ctx->fill_span(p, c.colour, int(x1 - x0 + 1));
    } else {
      for (long long x = x0; x <= x1; ++x, p += sizeof(T)) std::memcpy(p, &v, sizeof(T));
    }
    if (c.dirty) c.dirty[y] = 1;
  }
};

// Calls draw(write), where write(y, x0, x1) puts pixels x0..x1 of row y in
// the canvas's colour: blended through the canvas, or plain stores chosen
// once for the target's pixel size.
template <typename Draw>
void with_span_writer(const ShapeCanvas& c, Draw draw) {
  if (c.blend) {
    draw([&](long long y, long long x0, long long x1) { c.span(y, x0, x1); });
    return;
  }
  switch (c.ctx->bytes_per_pixel) {
    case 1: draw(PlainSpans<uint8_t>{c, uint8_t(c.colour)}); break;
    case 2: draw(PlainSpans<uint16_t>{c, uint16_t(c.colour)}); break;
    default: draw(PlainSpans<uint32_t>{c, c.colour}); break;
  }
}

void draw_whole(const ShapeCanvas& c, Ellipse& e, long long cx, long long cy, bool filled) {
  with_span_writer(c, [&](auto write) { whole_spans(c, e, cx, cy, filled, write); });
}

// A circle's outline, symmetric under swapping x and y as well as under
// mirroring: the eighth from the x axis to the diagonal is stepped by rows,
// and each of its pixels stored eight times over (the same pixel more than
// once on the axes and the diagonal, which a plain store does not mind).
template <typename T, bool Clip>
void circle_eighths(const ShapeCanvas& c, Ellipse& e, long long cx, long long cy) {
  uint8_t* const* rows = c.ctx->line_table;
  const T v = T(c.colour);
  auto put = [&](long long x, long long y) {
    if (Clip && !c.inside(x, y)) return;
    std::memcpy(rows[y] + x * (long long)sizeof(T), &v, sizeof(T));
    if (Clip && c.dirty) c.dirty[y] = 1;
  };
  for (RowStepper s(e, 0); s.w >= s.t; s.advance()) {
    long long lo = std::max(s.next < s.w ? s.next + 1 : s.w, s.t);
    for (long long x = lo; x <= s.w; ++x) {
      put(cx + x, cy + s.t);
      put(cx + x, cy - s.t);
      put(cx - x, cy + s.t);
      put(cx - x, cy - s.t);
      put(cx + s.t, cy + x);
      put(cx + s.t, cy - x);
      put(cx - s.t, cy + x);
      put(cx - s.t, cy - x);
    }
  }
  if (!Clip) c.mark_rows(cy - e.b(), cy + e.b());
}

// The circle outline by eighths where that is the quicker way: plain
// stores, a radius the rows can be stepped for, and not so large against
// the view that stepping its unseen part costs more than the rows seen.
bool draw_circle_eighths(const ShapeCanvas& c, Ellipse& e, long long cx, long long cy) {
  if (c.blend || e.a() != e.b() || !stepped(e)) return false;
  long long r = e.a();
  if (r > 2 * std::max(c.right - c.left, c.bottom - c.top)) return false;
  bool inside = cx - r >= c.left && cx + r < c.right && cy - r >= c.top && cy + r < c.bottom;
  switch (c.ctx->bytes_per_pixel) {
    case 1: inside ? circle_eighths<uint8_t, false>(c, e, cx, cy) : circle_eighths<uint8_t, true>(c, e, cx, cy); break;
    case 2: inside ? circle_eighths<uint16_t, false>(c, e, cx, cy) : circle_eighths<uint16_t, true>(c, e, cx, cy); break;
    default: inside ? circle_eighths<uint32_t, false>(c, e, cx, cy) : circle_eighths<uint32_t, true>(c, e, cx, cy); break;
  }
  return true;
}

// The outline pixel where the ray at this angle leaves the ellipse.
void ray_end(const Ellipse& e, double angle, long long* dx, long long* dy) {
  double a = double(e.a()), b = double(e.b()), c = std::cos(angle), s = std::sin(angle);
  double len = std::hypot(b * c, a * s);
  double r = len > 0 ? a * b / len : 0;
  *dx = std::llround(r * c);
  *dy = -std::llround(r * s);
}

using Pixel = std::pair<long long, long long>;  // (y, x), sorted by rows

// The rows the wedge's part of the shape can reach, first..last: the extent
// of the wedge's sector of the ellipse with semi-axes half a pixel longer
// (which holds every pixel of D), a row to spare on each side for the
// rounding of the wedge's test. The sector reaches the centre, both rays'
// ends, and the top or bottom of the ellipse where the wedge holds straight
// up or down.
void sector_rows(const Ellipse& e, const Wedge& w, long long cy, long long* first, long long* last) {
  const double a = double(e.a()) + 0.5, b = double(e.b()) + 0.5;
  auto ray_end_up = [&](double ux, double uy) { return a * b / std::hypot(b * ux, a * uy) * uy; };
  double up_max = std::max({0.0, ray_end_up(w.sx, w.sy), ray_end_up(w.ex, w.ey)});
  double up_min = std::min({0.0, ray_end_up(w.sx, w.sy), ray_end_up(w.ex, w.ey)});
  if (w.holds(w.sx >= 0, -w.ex >= 0)) up_max = b;  // straight up
  if (w.holds(-w.sx >= 0, w.ex >= 0)) up_min = -b;  // straight down
  *first = cy - (long long)std::ceil(up_max) - 1;
  *last = cy - (long long)std::floor(up_min) + 1;
}

// Spans of the shape limited to the wedge, as runs of pixels inside it,
// leaving out pixels listed in `skip` (sorted). A run the wedge holds whole
// or not at all is decided by its ends; only runs a ray crosses, and runs
// with skipped pixels, are tested pixel by pixel.
void draw_wedge(const ShapeCanvas& c, Ellipse& e, long long cx, long long cy, bool filled, const Wedge& wedge,
                const std::vector<Pixel>& skip) {
  ShapeCanvas rows = c;  // the rows visited: the clip's that the sector reaches
  if (!wedge.whole) {
    long long first, last;
    sector_rows(e, wedge, cy, &first, &last);
    rows.top = std::max(c.top, first);
    rows.bottom = std::min(c.bottom, last + 1);
    if (rows.top >= rows.bottom) return;
  }
  with_span_writer(c, [&](auto write) {
    whole_spans(rows, e, cx, cy, filled, [&](long long y, long long x0, long long x1) {
      x0 = std::max(x0, c.left);
      x1 = std::min(x1, c.right - 1);
      if (x0 > x1) return;
      if (skip.empty()) {
        Cover cover = wedge.covers(x0 - cx, x1 - cx, y - cy);
        if (cover == Cover::none) return;
        if (cover == Cover::all) return write(y, x0, x1);
      }
      long long run = x0;
      for (long long x = x0; x <= x1 + 1; ++x) {
        bool in = x <= x1 && wedge.contains(x - cx, y - cy) &&
                  !std::binary_search(skip.begin(), skip.end(), Pixel{y, x});
        if (in) continue;
        if (x > run) write(y, run, x - 1);
        run = x + 1;
      }
    });
  });
}

int check_arguments(float radius, float start, float end, float aspect) {
  const struct {
    const char* name;
    float value;
  } arguments[] = {{"radius", radius}, {"start angle", start}, {"end angle", end}, {"aspect", aspect}};
  for (const auto& a : arguments)
    if (!std::isfinite(a.value)) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s %g is not a finite number", a.name, double(a.value));
  if (radius < 0) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "radius %g is negative", double(radius));
  return ZQ_OK;
}

long long axis(double length) { return std::min<long long>(std::llround(length), kMaxAxis); }

}  // namespace

int gfx_circle(ImageBuffer* target, float x, float y, float radius, int64_t colour, float start, float end,
               float aspect, int flags) {
  ShapeCanvas c;
  if (int error = gfx_shape_begin(target, colour, &c)) return error;
  if (int error = check_arguments(radius, start, end, aspect)) return error;
  gfx_step_coords(c.ctx, flags & ZQ_STEP_FIRST, &x, &y, nullptr, nullptr);
  int px, py;
  gfx_to_view(c.ctx, x, y, &px, &py);
  if (c.empty()) return rt_set_error(ZQ_OK);
  double r = std::min(double(radius), double(kMaxAxis));
  double ratio = aspect > 0 ? double(aspect) : 1.0;
  Ellipse e(ratio <= 1 ? axis(r) : axis(r / ratio), ratio <= 1 ? axis(r * ratio) : axis(r));
  bool filled = flags & ZQ_SHAPE_FILLED;
  Wedge wedge = wedge_of(start, end);
  bool lines = !filled && (std::signbit(start) || std::signbit(end));

  GfxScreenLock lock;
  if (wedge.whole && !lines) {
    if (filled || !draw_circle_eighths(c, e, px, py))
      draw_whole(c, e, px, py, filled);
    return rt_set_error(ZQ_OK);
  }
  // The radius lines go first; the arc then leaves out their pixels, so a
  // blending colour covers every pixel once.
  std::vector<Pixel> line_pixels;
  LineClip clip{c.left, c.top, c.right, c.bottom};
  for (float angle : {start, end}) {
    if (!lines || !std::signbit(angle)) continue;
    long long dx, dy;
    ray_end(e, normal_angle(angle), &dx, &dy);
    gfx_walk_line(px, py, px + dx, py + dy, clip,
                  [&](long long lx, long long ly, long long) { line_pixels.push_back({ly, lx}); });
  }
  std::sort(line_pixels.begin(), line_pixels.end());
  line_pixels.erase(std::unique(line_pixels.begin(), line_pixels.end()), line_pixels.end());
  for (const Pixel& p : line_pixels) c.pixel(p.second, p.first);
  draw_wedge(c, e, px, py, filled, wedge, line_pixels);
  return rt_set_error(ZQ_OK);
}
