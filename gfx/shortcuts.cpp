// The short forms of the common calls. Each hands its arguments to the full
// call, which does the work and sets the last error.
#include <climits>
#include <cstring>

#include "gfx/bitmap_loader.h"
#include "gfx/bitmap_loader_internal.h"
#include "gfx/put.h"
#include "gfx/screen.h"
#include "gfx/text.h"
#include "runtime/rt_core.h"
#include "runtime/rt_string.h"
#include "zentravolk/shortcuts.h"

namespace {

constexpr int kFullStrength = 255;

// A temporary over a C string; null (which the full calls refuse) for a
// null or over-long text.
StringValue* temporary(const char* chars) {
  if (!chars) return nullptr;
  const size_t length = std::strlen(chars);
  return length <= size_t(INT_MAX) ? rt_str_temp(chars, int(length)) : nullptr;
}

}  // namespace

int gfx_draw_text(ImageBuffer* target, float x, float y, const char* text, uint32_t colour,
                  const ImageBuffer* font) {
  return gfx_draw_string(target, x, y, ZQ_TEXT_ABSOLUTE, temporary(text), colour, font, 0,
                         font ? putter_transparent : nullptr, nullptr, nullptr);
}

int gfx_put_image(ImageBuffer* target, float x, float y, const ImageBuffer* image, Putter putter) {
  return gfx_put(target, x, y, image, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter, kFullStrength, nullptr, nullptr);
}

ImageBuffer* gfx_load_image(const char* name) {
  if (!name || !screen_state) {
    rt_set_error(ZQ_ERR_ILLEGAL_CALL);
    return nullptr;
  }
  int width = 0, height = 0;
  if (int error = bitmap_file_size(name, &width, &height)) {
    rt_set_error(error);
    return nullptr;
  }
  ImageBuffer* image = gfx_image_create(width, height, 0, 0, ZQ_IMAGE_MASK_FILL);
  if (!image) {
    rt_set_error(ZQ_ERR_ILLEGAL_CALL);
    return nullptr;
  }
  if (gfx_load_bitmap(temporary(name), image, nullptr) != 0) {
    gfx_image_destroy(image);
    return nullptr;
  }
  return image;
}
