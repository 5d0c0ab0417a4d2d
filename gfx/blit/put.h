// Image blitting: copying an image, or a rectangle of it, onto an image or
// the screen's work page through a putter.
#pragma once
#include <algorithm>
#include <cstdint>

#include "drivers/screen_state.h"
#include "gfx/blit/putters.h"
#include "gfx/draw/context.h"
#include "zentravolk/blit.h"  // gfx_put and its ZQ_PUT_* flags

struct ImageBuffer;
struct GfxContext;

// gfx_put (declared in the public header) puts source (or its rectangle
// (x1, y1)-(x2, y2), corners in any order and clamped to the image) at (x, y)
// of target (null: the screen's work page), clipped to the view. Returns 0, or 1 for no screen, no source or putter,
// depths that differ, or an image whose header does not fit its block; the
// result is also the runtime's last error.

// An image read as a source of pixels (a blit source or a font).
struct SourceImage {
  int bytes_per_pixel;
  int width, height;
  int pitch;
  const uint8_t* pixels;
};

// Reads either header style; a short header's 0 bytes per pixel means
// target_bytes. False when the header cannot describe an image: bytes per
// pixel other than 1, 2 or 4, negative sizes, rows shorter than their
// pixels, or rows reaching past the block the image was made in.
bool gfx_source_image(const ImageBuffer* image, int target_bytes, SourceImage* out);

// Whether the context's rows for its image target lie inside the image's
// block (always true for the screen). A short image made with fewer bytes per
// pixel than the screen's would otherwise be drawn past its end.
bool gfx_target_fits(const GfxContext* ctx);

// The failures of the two checks above: store ZQ_ERR_ILLEGAL_CALL with the
// reason and return the number.
int gfx_fail_bad_source();
int gfx_fail_bad_target();

// The context's view as 64-bit edges (right and bottom exclusive), limited
// to the screen's pixels when the screen is the target.
// Inline: every shape and put starts with it, and a returned record read
// back from memory would stall the caller.
struct ViewClip {
  long long left, top, right, bottom;
};
inline ViewClip gfx_view_clip(const GfxContext* ctx) {
  ViewClip c{ctx->view.x, ctx->view.y, (long long)ctx->view.x + ctx->view.width,
             (long long)ctx->view.y + ctx->view.height};
  if (!ctx->target && screen_state) {
    // The screen's rows end where its line table ends, whatever the view says.
    c.left = std::max(c.left, 0LL);
    c.top = std::max(c.top, 0LL);
    c.right = std::min(c.right, (long long)screen_state->width);
    c.bottom = std::min(c.bottom, (long long)screen_state->height);
  }
  return c;
}

// The start every put shares: a screen open, a source and a putter given,
// the target set, the point stepped (ZQ_PUT_POINT_RELATIVE) and turned into
// the target pixel (dx, dy), the source header read and its pixel size
// matched to the target's (ZQ_PUT_ALPHA_MODE swaps in putter_alpha_channel).
struct PutStart {
  GfxContext* ctx;
  SourceImage src;
  int dx, dy;
  Putter putter;
};
// ZQ_OK, or ZQ_ERR_ILLEGAL_CALL with its reason.
int gfx_put_start(ImageBuffer* target, float x, float y, const ImageBuffer* source, int coord_flags, int mode,
                  Putter putter, PutStart* out);

// A rectangle of target pixels, 64-bit so that no sum overflows.
struct TargetBox {
  long long x, y, width, height;
};
// The one clip step of every put: cuts box to the view, moving the source
// offset (sx, sy) by what is cut on the top and left. False when nothing of
// it is inside.
bool gfx_clip_to_view(const ViewClip& view, TargetBox* box, long long* sx, long long* sy);
