// The simple forms: a rectangle by its corner and size, a circle by its
// centre and radius, filled or outlined. Each is gfx_line or gfx_circle with
// the arguments they take; only the size check is their own.
#include <cmath>

#include "runtime/rt_core.h"
#include "zentravolk/shapes.h"
#include "zentravolk/shortcuts.h"

namespace {

// The box from (x, y) covering width x height pixels, through gfx_line. The
// corner is rounded first, as the view rounds points, so the far corner is
// whole pixels away from it and the box is always exactly that size.
int rect(ImageBuffer* target, float x, float y, int width, int height, uint32_t colour, int flags) {
  if (width < 0 || height < 0) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "rectangle size %d x %d is negative", width, height);
  if (width == 0 || height == 0) return rt_set_error(ZQ_OK);
  float left = std::round(x), top = std::round(y);
  return gfx_line(target, left, top, left + float(width - 1), top + float(height - 1), colour, 0, flags);
}

}  // namespace

int gfx_fill_rect(ImageBuffer* target, float x, float y, int width, int height, uint32_t colour) {
  return rect(target, x, y, width, height, colour, ZQ_SHAPE_FILLED);
}

int gfx_draw_rect(ImageBuffer* target, float x, float y, int width, int height, uint32_t colour) {
  return rect(target, x, y, width, height, colour, ZQ_SHAPE_BOX);
}

int gfx_fill_circle(ImageBuffer* target, float x, float y, float radius, uint32_t colour) {
  return gfx_circle(target, x, y, radius, colour, 0, 0, 0, ZQ_SHAPE_FILLED);
}

int gfx_draw_circle(ImageBuffer* target, float x, float y, float radius, uint32_t colour) {
  return gfx_circle(target, x, y, radius, colour, 0, 0, 0, 0);
}
