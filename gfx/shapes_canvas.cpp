// The opening steps shared by the shape calls and their clipped canvas.
#include "gfx/shapes.h"

#include "gfx/palette.h"
#include "gfx/put.h"
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

void ShapeCanvas::span(long long y, long long x0, long long x1) const {
  if (y < top || y >= bottom) return;
  if (x0 < left) x0 = left;
  if (x1 >= right) x1 = right - 1;
  if (x0 > x1) return;
  ctx->fill_span(ctx->line_table[y] + x0 * ctx->bytes_per_pixel, colour, int(x1 - x0 + 1));
  if (dirty) dirty[y] = 1;
}

int gfx_shape_begin(ImageBuffer* target, int64_t colour, ShapeCanvas* canvas) {
  if (!screen_state) return rt_set_error(1);
  GfxContext* ctx = gfx_get_context();
  gfx_set_target(ctx, target);
  uint32_t c;
  if (!gfx_shape_colour(ctx, colour, &c) || !gfx_target_fits(ctx)) return rt_set_error(1);
  gfx_select_colour_routines(ctx, c);
  ViewClip v = gfx_view_clip(ctx);
  *canvas = {ctx, c, v.left, v.top, v.right, v.bottom,
             gfx_target_is_visible(ctx) ? screen_state->dirty_rows : nullptr};
  return 0;
}
