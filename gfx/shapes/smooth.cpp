// gfx_smooth_line and gfx_smooth_ellipse: anti-aliased shapes by Wu's
// method. The line is a band one pixel thick across its longer axis; in each
// column (row, for steep lines) that band covers two pixels, the split given
// by where the line passes between their centres, and the column's share of
// the band (less than 1 only at the ends) is what the pair receives. On
// 32-bit targets each pixel is blended toward the colour by its coverage; on
// 8- and 16-bit ones a pixel is drawn plainly when at least half covered.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "gfx/shapes/shapes.h"
#include "runtime/rt_core.h"

namespace {

constexpr unsigned kFull = 255;        // full coverage
constexpr unsigned kPlainAtLeast = 128;  // coverage at which 8- and 16-bit targets draw the pixel

// round(v / 255) for 0 <= v <= 255 x 255.
inline unsigned div255(unsigned v) {
  v += 128;
  return (v + (v >> 8)) >> 8;
}

// Each byte of the pixel moved toward the colour's by weight / 255, rounded.
inline uint32_t blend_bytes(uint32_t d, uint32_t s, unsigned weight) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    unsigned db = (d >> shift) & 0xFF, sb = (s >> shift) & 0xFF;
    out |= uint32_t(div255(db * (kFull - weight) + sb * weight)) << shift;
  }
  return out;
}

// Writes pixels by their coverage (0..255), clipped to the canvas.
struct CoveragePen {
  const ShapeCanvas& c;
  unsigned strength;  // the colour's own alpha where it blends, else full

  explicit CoveragePen(const ShapeCanvas& canvas) : c(canvas), strength(canvas.blend ? canvas.colour >> 24 : kFull) {}

  void put(long long x, long long y, unsigned coverage) const {
    if (!coverage || !c.inside(x, y)) return;
    GfxContext* ctx = c.ctx;
    if (ctx->bytes_per_pixel == 4) {
      uint8_t* p = ctx->line_table[y] + x * 4;
      uint32_t d;
      std::memcpy(&d, p, 4);
      d = blend_bytes(d, c.colour, strength == kFull ? coverage : div255(coverage * strength));
      std::memcpy(p, &d, 4);
    } else if (coverage >= kPlainAtLeast) {
      ctx->put_pixel(ctx, int(x), int(y), c.colour);
    } else {
      return;
    }
    if (c.dirty) c.dirty[y] = 1;
  }
};

// A share of the band (0..1) as coverage, split between the pixel whose
// centre is `frac` (0..1) before the line and the next one.
inline void split(double share, double frac, unsigned* first, unsigned* second) {
  unsigned total = unsigned(std::lround(share * kFull));
  *first = unsigned(std::lround(total * (1 - frac)));
  *second = total - *first;
}

// Wu's line from (a0, b0) to (a1, b1) in (major, minor) coordinates,
// a0 <= a1, |b1 - b0| <= a1 - a0; plot(major, minor, coverage). Only the
// columns between lo and hi_excl are visited.
template <typename Plot>
void wu_line(double a0, double b0, double a1, double b1, long long lo, long long hi_excl, Plot plot) {
  double len = a1 - a0;
  if (len <= 0) return;
  double slope = (b1 - b0) / len;
  double first = std::max(std::floor(a0 + 0.5), double(lo)), last = std::min(std::floor(a1 + 0.5), double(hi_excl - 1));
  for (double col = first; col <= last; ++col) {
    double share = std::min(a1, col + 0.5) - std::max(a0, col - 0.5);
    if (share <= 0) continue;
    double b = b0 + (col - a0) * slope, row = std::floor(b);
    unsigned near, far;
    split(share, b - row, &near, &far);
    auto major = (long long)col, minor = (long long)row;
    plot(major, minor, near);
    plot(major, minor + 1, far);
  }
}

struct Covered {
  long long y, x;
  unsigned coverage;
};

}  // namespace

int gfx_smooth_line(ImageBuffer* target, float x1, float y1, float x2, float y2, int64_t colour, int flags) {
  ShapeCanvas c;
  if (int error = gfx_shape_begin(target, colour, &c)) return error;
  for (float v : {x1, y1, x2, y2})
    if (!std::isfinite(v)) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "smooth line end point is not finite");
  gfx_step_coords(c.ctx, flags & kStepMask, &x1, &y1, &x2, &y2);
  if (c.empty()) return rt_set_error(ZQ_OK);
  double ax, ay, bx, by;
  gfx_shape_point(c.ctx, x1, y1, &ax, &ay);
  gfx_shape_point(c.ctx, x2, y2, &bx, &by);
  bool x_major = std::fabs(bx - ax) >= std::fabs(by - ay);
  // One order of the ends whichever way they came: a to b equals b to a.
  if (x_major ? std::tie(bx, by) < std::tie(ax, ay) : std::tie(by, bx) < std::tie(ay, ax)) {
    std::swap(ax, bx);
    std::swap(ay, by);
  }
  CoveragePen pen(c);
  GfxScreenLock lock;
  if (x_major)
    wu_line(ax, ay, bx, by, c.left, c.right, [&](long long x, long long y, unsigned a) { pen.put(x, y, a); });
  else
    wu_line(ay, ax, by, bx, c.top, c.bottom, [&](long long y, long long x, unsigned a) { pen.put(x, y, a); });
  return rt_set_error(ZQ_OK);
}

int gfx_smooth_ellipse(ImageBuffer* target, float x, float y, float radius_x, float radius_y, int64_t colour,
                       int flags) {
  ShapeCanvas c;
  if (int error = gfx_shape_begin(target, colour, &c)) return error;
  if (!std::isfinite(x) || !std::isfinite(y)) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "smooth ellipse centre is not finite");
  if (!std::isfinite(radius_x) || !std::isfinite(radius_y) || radius_x < 0 || radius_y < 0)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "smooth ellipse radii %g, %g are not 0 or more", double(radius_x), double(radius_y));
  gfx_step_coords(c.ctx, flags & ZQ_STEP_FIRST, &x, &y, nullptr, nullptr);
  if (c.empty()) return rt_set_error(ZQ_OK);
  double cx, cy;
  gfx_shape_point(c.ctx, x, y, &cx, &cy);
  const double rx = radius_x, ry = radius_y, diag = std::hypot(rx, ry);
  if (diag == 0) return rt_set_error(ZQ_OK);
  // Where the slope is 45 degrees: columns within xt of the centre are
  // stepped across (top and bottom arcs), rows within yt along (the sides).
  const double xt = rx * rx / diag, yt = ry * ry / diag;
  std::vector<Covered> cover;
  auto keep = [&](long long px, long long py, unsigned a) {
    if (a && c.inside(px, py)) cover.push_back({py, px, a});
  };
  // Steps (columns, or rows when swapped) within `reach` of the centre: at
  // each, the two crossings of the outline, each shared between two pixels.
  auto arcs = [&](double along, double across, double r_along, double r_across, double reach, long long lo,
                  long long hi_excl, bool swapped) {
    long long first = (long long)std::max(std::ceil(along - reach), double(lo));
    long long last = (long long)std::min(std::floor(along + reach), double(hi_excl - 1));
    for (long long step = first; step <= last; ++step) {
      double t = (double(step) - along) / r_along, off = r_across * std::sqrt(std::max(0.0, 1 - t * t));
      for (double b : {across - off, across + off}) {
        double at = std::floor(b);
        unsigned near, far;
        split(1, b - at, &near, &far);
        for (auto [k, a] : {std::pair{(long long)at, near}, std::pair{(long long)at + 1, far}})
          swapped ? keep(k, step, a) : keep(step, k, a);
      }
    }
  };
  arcs(cx, cy, rx, ry, xt, c.left, c.right, false);
  arcs(cy, cx, ry, rx, yt, c.top, c.bottom, true);
  // Where the arcs meet (and where a thin ellipse's sides touch) a pixel is
  // reached twice: it takes the larger coverage, and is written once.
  std::sort(cover.begin(), cover.end(), [](const Covered& a, const Covered& b) { return std::tie(a.y, a.x) < std::tie(b.y, b.x); });
  CoveragePen pen(c);
  GfxScreenLock lock;
  for (size_t i = 0; i < cover.size();) {
    size_t j = i;
    unsigned a = 0;
    for (; j < cover.size() && cover[j].y == cover[i].y && cover[j].x == cover[i].x; ++j) a = std::max(a, cover[j].coverage);
    pen.put(cover[i].x, cover[i].y, a);
    i = j;
  }
  return rt_set_error(ZQ_OK);
}
