// gfx_get and gfx_get_image: copy a rectangle of the screen's work page or
// of an image into an image, the counterpart of gfx_put with putter_copy.
#include <algorithm>
#include <string>

#include "gfx/blit/put.h"
#include "gfx/image/image.h"
#include "gfx/screen/screen.h"
#include "gfx/shapes/shapes.h"
#include "runtime/rt_core.h"

namespace {

struct Rect {
  long long left, top, right, bottom;  // target pixels, all included
  long long width() const { return right - left + 1; }
  long long height() const { return bottom - top + 1; }
};

// The drawing protocol's opening for a capture: target, plain routines,
// coordinates (the cursor moves to the second corner), corners in order.
int resolve(ImageBuffer* source, float x1, float y1, float x2, float y2, int flags, GfxContext** out, Rect* rect) {
  if (!screen_state) return gfx_fail_no_screen();
  GfxContext* ctx = gfx_get_context();
  gfx_set_target(ctx, source);
  gfx_select_colour_routines(ctx, 0xFF000000u);
  if (!gfx_target_fits(ctx)) return gfx_fail_bad_target();
  gfx_step_coords(ctx, flags & kStepMask, &x1, &y1, &x2, &y2);
  int ax, ay, bx, by;
  gfx_to_view(ctx, x1, y1, &ax, &ay);
  gfx_to_view(ctx, x2, y2, &bx, &by);
  *rect = {std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)};
  *out = ctx;
  return ZQ_OK;
}

// Copies the part of the rectangle inside the view into the image's
// top-left part; the image must hold the whole rectangle. A failure is
// stored with its reason.
int copy_rect(GfxContext* ctx, const Rect& rect, ImageBuffer* image) {
  SourceImage into;
  if (!gfx_source_image(image, ctx->bytes_per_pixel, &into))
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "image to fill damaged: its header does not fit its memory");
  if (into.bytes_per_pixel != ctx->bytes_per_pixel)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "image to fill has %d bytes per pixel, the source %d", into.bytes_per_pixel,
                   ctx->bytes_per_pixel);
  if (rect.width() > into.width || rect.height() > into.height)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "rectangle %lld x %lld larger than the image to fill (%d x %d)", rect.width(),
                   rect.height(), into.width, into.height);
  ViewClip v = gfx_view_clip(ctx);
  long long l = std::max(rect.left, v.left), r = std::min(rect.right, v.right - 1);
  long long t = std::max(rect.top, v.top), b = std::min(rect.bottom, v.bottom - 1);
  if (l > r || t > b) return ZQ_OK;
  int bpp = ctx->bytes_per_pixel;
  auto* pixels = const_cast<uint8_t*>(into.pixels);
  GfxScreenLock lock;
  for (long long y = t; y <= b; ++y) {
    uint8_t* to = pixels + (y - rect.top) * into.pitch + (l - rect.left) * bpp;
    gfx_routines.copy_span(to, ctx->line_table[y] + l * bpp, int(r - l + 1));
  }
  return ZQ_OK;
}

}  // namespace

int gfx_get(ImageBuffer* source, float x1, float y1, float x2, float y2, ImageBuffer* image, int flags) {
  if (!image) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no image to fill");
  GfxContext* ctx = nullptr;
  Rect rect{};
  if (int error = resolve(source, x1, y1, x2, y2, flags, &ctx, &rect)) return error;
  if (int error = copy_rect(ctx, rect, image)) return error;
  return rt_set_error(ZQ_OK);
}

ImageBuffer* gfx_get_image(ImageBuffer* source, float x1, float y1, float x2, float y2, int flags) {
  GfxContext* ctx = nullptr;
  Rect rect{};
  if (resolve(source, x1, y1, x2, y2, flags, &ctx, &rect)) return nullptr;
  if (rect.width() > INT32_MAX || rect.height() > INT32_MAX) {
    rt_fail(ZQ_ERR_ILLEGAL_CALL, "rectangle %lld x %lld too large", rect.width(), rect.height());
    return nullptr;
  }
  ImageBuffer* image = gfx_image_create(int(rect.width()), int(rect.height()), 0, ctx->bytes_per_pixel * 8, -1);
  if (!image) {
    // The reason gfx_image_create gave stays.
    std::string why = rt_error_detail();
    rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s", why.c_str());
    return nullptr;
  }
  gfx_set_target(ctx, source);  // creating the image made it the target
  gfx_select_colour_routines(ctx, 0xFF000000u);
  if (copy_rect(ctx, rect, image)) {
    std::string why = rt_error_detail();
    gfx_image_destroy(image);
    rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s", why.c_str());
    return nullptr;
  }
  rt_set_error(ZQ_OK);
  return image;
}
