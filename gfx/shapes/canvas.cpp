// The opening steps shared by the shape calls and their clipped canvas.
#include "gfx/shapes/shapes.h"

#include <algorithm>
#include <cstring>

#include "gfx/blit/put.h"
#include "gfx/draw/pixel_routines.h"
#include "gfx/image/palette.h"
#include "gfx/screen/screen.h"
#include "gfx/shapes/line_walk.h"
#include "runtime/rt_core.h"

bool gfx_shape_colour(const GfxContext* ctx, int64_t colour, uint32_t* out) {
  if (colour == kNoColour) {
    *out = ctx->foreground;
    return true;
  }
  if (colour < 0 || colour > int64_t(UINT32_MAX)) return false;
  *out = gfx_fix_colour(ctx->bytes_per_pixel, uint32_t(colour));
  return true;
}

int gfx_fail_bad_colour(int64_t colour) {
  return rt_fail(ZQ_ERR_ILLEGAL_CALL, "colour %lld out of range (0 to 0xFFFFFFFF)", static_cast<long long>(colour));
}

void ShapeCanvas::span(long long y, long long x0, long long x1) const {
  if (y < top || y >= bottom) return;
  if (x0 < left) x0 = left;
  if (x1 >= right) x1 = right - 1;
  if (x0 > x1) return;
  ctx->fill_span(ctx->line_table[y] + x0 * ctx->bytes_per_pixel, colour, int(x1 - x0 + 1));
  if (dirty) dirty[y] = 1;
}

void ShapeCanvas::mark_rows(long long first, long long last) const {
  if (dirty && first <= last) std::memset(dirty + first, 1, size_t(last - first + 1));
}

namespace {

// The pixels of a clipped line, stepped through by address: one store (or
// one blend) per pixel. Rows are evenly spaced by the target's pitch.
//
// The minor steps taken k pixels after the first are floor((rem + k step) /
// twice_n). Where count x twice_n < 2^32 they come exactly from 32.32 fixed
// point: start and increment rounded up, the overestimate after k steps is
// below k + 1 units, less than the distance 2^32 / twice_n from any value
// short of a whole step to the next whole step. Then each pixel costs an add
// and a shift with no branch on the line's slope; other lines step by the
// remainder.
//
// Each pixel of a steep line also asks for the row a few rows further on to
// be fetched for writing: a steep line stores to a new row, and so to a
// cache line not yet at hand, every pixel, and the stores wait in turn for
// each unless it is on its way already. A few rows ahead measured fastest
// (farther ones arrive too early and are pushed out again). Rows past the
// image's end are only asked for, never touched: such a fetch is dropped
// without a fault.
constexpr ptrdiff_t kPrefetchRows = 3;

template <typename T, bool Blend>
void step_line(const ShapeCanvas& c, const LineSteps& L) {
  GfxContext* ctx = c.ctx;
  long long x = L.x_at_i0(), y = L.y_at_i0();
  uint8_t* p = ctx->line_table[y] + x * (long long)sizeof(T);
  ptrdiff_t pitch = ctx->pitch, size = sizeof(T);
  ptrdiff_t major = L.x_major ? size : pitch, minor = L.sign * (L.x_major ? pitch : size);
  const T v = T(c.colour);
  const uint32_t colour = c.colour;
  auto put = [&](uint8_t* at) {
    if constexpr (Blend) {
      gfx_blend_into_32(at, colour);
    } else {
      std::memcpy(at, &v, sizeof(T));
    }
  };
  // Kept in locals: the stores through p could otherwise alias them.
  const long long step = L.step, twice_n = L.twice_n;
  long long rem = L.rem, count = L.i1 - L.i0 + 1;
  constexpr unsigned kFraction = 32;
  if (twice_n > 0 && (unsigned __int128)count * (unsigned long long)twice_n < ((unsigned __int128)1 << kFraction)) {
    const uint64_t whole = uint64_t(twice_n);
    const uint64_t increment = ((uint64_t(step) << kFraction) + whole - 1) / whole;
    // From a pixel the line starts or restarts on, the remainder is often
    // the half step: exactly half a unit, no division.
    uint64_t at = 2 * rem == twice_n ? uint64_t(1) << (kFraction - 1) : ((uint64_t(rem) << kFraction) + whole - 1) / whole;
    auto to_row = [&](uint64_t a) { return ptrdiff_t(a >> kFraction) * minor; };
    if (L.x_major) {
      // Shallow: four pixels a round, their row offsets from the running
      // fixed point and their columns from one pointer, so each pixel is
      // little more than its store (no fetching ahead: one cache line holds
      // several pixels of a row).
      for (; count >= 4; count -= 4, p += 4 * size) {
        put(p + to_row(at));
        put(p + size + to_row(at += increment));
        put(p + 2 * size + to_row(at += increment));
        put(p + 3 * size + to_row(at += increment));
        at += increment;
      }
      for (; count > 0; --count, p += size, at += increment) put(p + to_row(at));
      return;
    }
    const ptrdiff_t ahead = kPrefetchRows * pitch;
    for (; count > 0; --count, p += pitch, at += increment) {
      uint8_t* q = p + to_row(at);
      __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(q) + ahead), 1);
      put(q);
    }
    return;
  }
  for (; count > 0; --count) {
    put(p);
    p += major;
    rem += step;
    if (rem >= twice_n) {
      rem -= twice_n;
      p += minor;
    }
  }
}

// The rows between the first and the last pixel drawn are all drawn on.
void mark_line_rows(const ShapeCanvas& c, const LineSteps& L) {
  long long last_m = L.m;
  if (L.i1 == L.n)  // to the far end: the whole minor length
    last_m = L.step / 2;
  else if (L.twice_n > 0)
    last_m += (long long)line_walk_detail::quotient(__int128(L.i1 - L.i0) * L.step + L.rem, L.twice_n);
  long long y_first = L.y_at_i0(), y_last = L.x_major ? L.minor0 + L.sign * last_m : L.major0 + L.i1;
  c.mark_rows(std::min(y_first, y_last), std::max(y_first, y_last));
}

// Cut, stepped and marked in one routine per pixel format, the steps kept
// in registers rather than handed over in memory.
template <typename T, bool Blend>
void draw_line(const ShapeCanvas& c, long long ax, long long ay, long long bx, long long by) {
  LineSteps L;
  if (!gfx_clip_line(ax, ay, bx, by, {c.left, c.top, c.right, c.bottom}, &L)) return;
  step_line<T, Blend>(c, L);
  mark_line_rows(c, L);
}

using DrawLineFn = void (*)(const ShapeCanvas&, long long, long long, long long, long long);

DrawLineFn draw_line_for(int bytes_per_pixel, bool blend) {
  switch (bytes_per_pixel) {
    case 2: return draw_line<uint16_t, false>;
    case 4: return blend ? draw_line<uint32_t, true> : draw_line<uint32_t, false>;
    default: return draw_line<uint8_t, false>;
  }
}

}  // namespace

void ShapeCanvas::line(long long ax, long long ay, long long bx, long long by) const {
  draw_line_for(ctx->bytes_per_pixel, blend)(*this, ax, ay, bx, by);
}

void gfx_shape_point(const GfxContext* ctx, float x, float y, double* tx, double* ty) {
  bool relative = !(ctx->flags & kCtxViewAbsolute);
  *tx = double(x) + (relative ? ctx->view.x : 0);
  *ty = double(y) + (relative ? ctx->view.y : 0);
}

int gfx_shape_begin(ImageBuffer* target, int64_t colour, ShapeCanvas* canvas) {
  if (!screen_state) return gfx_fail_no_screen();
  GfxContext* ctx = gfx_get_context();
  gfx_set_target(ctx, target);
  uint32_t c;
  if (!gfx_shape_colour(ctx, colour, &c)) return gfx_fail_bad_colour(colour);
  if (!gfx_target_fits(ctx)) return gfx_fail_bad_target();
  gfx_select_colour_routines(ctx, c);
  ViewClip v = gfx_view_clip(ctx);
  *canvas = {ctx, c, v.left, v.top, v.right, v.bottom,
             gfx_target_is_visible(ctx) ? screen_state->dirty_rows : nullptr, gfx_colour_blends(ctx, c)};
  return ZQ_OK;
}
