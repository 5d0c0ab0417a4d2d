// gfx_put: reads the source header, orders and clamps the source rectangle,
// clips once against the view and hands the visible rectangle to the putter
// with the screen lock held.
#include "gfx/blit/put.h"

#include <algorithm>
#include <cstddef>

#include "gfx/draw/context.h"
#include "gfx/image/image.h"
#include "gfx/screen/screen.h"
#include "gfx/shapes/shapes.h"
#include "runtime/rt_core.h"

namespace {

bool valid_bytes(int b) { return b == 1 || b == 2 || b == 4; }

// Whether header + rows x pitch bytes fit in the image's block; blocks this
// library did not make have no recorded size and are taken as they come.
bool rows_fit(const ImageBuffer* image, int header, int rows, int pitch) {
  size_t room = gfx_image_room(image);
  if (room == 0) return true;
  if (room < size_t(header)) return false;
  return rows == 0 || size_t(pitch) <= (room - size_t(header)) / size_t(rows);
}

}  // namespace

bool gfx_source_image(const ImageBuffer* image, int target_bytes, SourceImage* out) {
  ImageInfo info = gfx_image_info(image);
  SourceImage s{info.bytes_per_pixel, info.width, info.height, info.pitch, info.pixels};
  if (!info.long_style) {
    if (s.bytes_per_pixel == 0) s.bytes_per_pixel = target_bytes;
    s.pitch = s.width * s.bytes_per_pixel;
  }
  if (!valid_bytes(s.bytes_per_pixel) || s.width < 0 || s.height < 0) return false;
  if ((long long)s.pitch < (long long)s.width * s.bytes_per_pixel) return false;
  if (!rows_fit(image, info.long_style ? kImageLongHeader : kImageShortHeader, s.height, s.pitch)) return false;
  *out = s;
  return true;
}

bool gfx_target_fits(const GfxContext* ctx) {
  if (!ctx->target) return true;
  ImageInfo info = gfx_image_info(ctx->target);
  if (!valid_bytes(ctx->bytes_per_pixel) || ctx->pitch < 0) return false;
  return rows_fit(ctx->target, info.long_style ? kImageLongHeader : kImageShortHeader, info.height, ctx->pitch);
}

int gfx_fail_bad_source() {
  return rt_fail(ZQ_ERR_ILLEGAL_CALL, "source image damaged: its header does not fit its memory");
}

int gfx_fail_bad_target() {
  return rt_fail(ZQ_ERR_ILLEGAL_CALL, "target image damaged or deeper than its memory allows");
}

int gfx_put_start(ImageBuffer* target, float x, float y, const ImageBuffer* source, int coord_flags, int mode,
                  Putter putter, PutStart* out) {
  if (!screen_state) return gfx_fail_no_screen();
  if (!source) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no source image");
  if (!putter) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no putter");
  GfxContext* ctx = gfx_get_context();
  gfx_set_target(ctx, target);
  gfx_select_colour_routines(ctx, 0xFF000000u);

  gfx_step_coords(ctx, (coord_flags & ZQ_PUT_POINT_RELATIVE) ? ZQ_STEP_FIRST : 0, &x, &y, nullptr, nullptr);
  PutStart s{ctx, {}, 0, 0, putter};
  gfx_to_view(ctx, x, y, &s.dx, &s.dy);

  if (!gfx_source_image(source, ctx->bytes_per_pixel, &s.src)) return gfx_fail_bad_source();
  if (!gfx_target_fits(ctx)) return gfx_fail_bad_target();
  if (s.src.bytes_per_pixel != ctx->bytes_per_pixel) {
    if (mode != ZQ_PUT_ALPHA_MODE || s.src.bytes_per_pixel != 1 || ctx->bytes_per_pixel != 4)
      return rt_fail(ZQ_ERR_ILLEGAL_CALL, "source of %d bytes per pixel onto a target of %d", s.src.bytes_per_pixel,
                     ctx->bytes_per_pixel);
    s.putter = putter_alpha_channel;
  }
  *out = s;
  return ZQ_OK;
}

bool gfx_clip_to_view(const ViewClip& v, TargetBox* box, long long* sx, long long* sy) {
  long long& px = box->x;
  long long& py = box->y;
  long long& w = box->width;
  long long& h = box->height;
  if (w <= 0 || h <= 0 || px + w <= v.left || px >= v.right || py + h <= v.top || py >= v.bottom) return false;
  if (py < v.top) {
    *sy += v.top - py;
    h -= v.top - py;
    py = v.top;
  }
  if (py + h > v.bottom) h = v.bottom - py;
  if (px < v.left) {
    *sx += v.left - px;
    w -= v.left - px;
    px = v.left;
  }
  if (px + w > v.right) w = v.right - px;
  return true;
}

int gfx_put(ImageBuffer* target, float x, float y, const ImageBuffer* source, int x1, int y1, int x2, int y2,
            int coord_flags, int mode, Putter putter, int alpha, PutterBlender blender, void* parameter) {
  PutStart start;
  if (int error = gfx_put_start(target, x, y, source, coord_flags, mode, putter, &start)) return error;
  GfxContext* ctx = start.ctx;
  const SourceImage& src = start.src;
  long long rx2 = x2, ry2 = y2;
  if (coord_flags & ZQ_PUT_RECT_RELATIVE) {
    rx2 += x1;
    ry2 += y1;
  }

  long long sx = 0, sy = 0, w = src.width, h = src.height;
  if (w == 0 || h == 0) return rt_set_error(ZQ_OK);
  if (x1 != ZQ_PUT_WHOLE_IMAGE) {
    long long left = x1, top = y1, right = rx2, bottom = ry2;
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    left = std::clamp(left, 0LL, w - 1);
    right = std::clamp(right, 0LL, w - 1);
    top = std::clamp(top, 0LL, h - 1);
    bottom = std::clamp(bottom, 0LL, h - 1);
    sx = left;
    sy = top;
    w = right - left + 1;
    h = bottom - top + 1;
  }

  TargetBox box{start.dx, start.dy, w, h};
  if (!gfx_clip_to_view(gfx_view_clip(ctx), &box, &sx, &sy)) return rt_set_error(ZQ_OK);

  const uint8_t* from = src.pixels + ptrdiff_t(sy) * src.pitch + ptrdiff_t(sx) * src.bytes_per_pixel;
  {
    GfxScreenLock lock;
    uint8_t* to = ctx->line_table[box.y] + ptrdiff_t(box.x) * ctx->bytes_per_pixel;
    start.putter(from, to, int(box.width), int(box.height), src.pitch, ctx->pitch, alpha, blender, parameter);
    gfx_mark_dirty(ctx, int(box.y), int(box.height));
  }
  return rt_set_error(ZQ_OK);
}
