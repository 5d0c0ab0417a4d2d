// An image's size and pixel rows for programs, read from either header style
// so that they need not know the header words.
#include "drivers/screen_state.h"
#include "gfx/blit/put.h"
#include "gfx/image/image.h"
#include "runtime/rt_core.h"

namespace {

// The image as a source of pixels; a short header's 0 bytes per pixel is the
// screen's. False, with the number and reason set, when there is none.
bool read_image(const ImageBuffer* image, SourceImage* out) {
  if (!image) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no image"), false;
  int screen_bytes = screen_state ? screen_state->bytes_per_pixel : 0;
  if (!gfx_source_image(image, screen_bytes, out))
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "image damaged: its header does not fit its memory"), false;
  return true;
}

}  // namespace

int gfx_image_size(const ImageBuffer* image, int* width, int* height) {
  SourceImage s;
  if (!read_image(image, &s)) return ZQ_ERR_ILLEGAL_CALL;
  if (width) *width = s.width;
  if (height) *height = s.height;
  return ZQ_OK;
}

uint8_t* gfx_image_pixels(ImageBuffer* image, int* pitch) {
  SourceImage s;
  if (!read_image(image, &s)) return nullptr;
  if (pitch) *pitch = s.pitch;
  return const_cast<uint8_t*>(s.pixels);
}
