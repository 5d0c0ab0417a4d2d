// The short form of loading: an image file into a new image of the file's
// size and the screen's depth.
#include "gfx/formats/loader.h"
#include "gfx/formats/loader_internal.h"
#include "gfx/screen/screen.h"
#include "runtime/rt_core.h"
#include "runtime/rt_string.h"
#include "zentravolk/shortcuts.h"

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
  if (gfx_load_bitmap(rt_str_temp_c(name), image, nullptr) != 0) {
    gfx_image_destroy(image);
    return nullptr;
  }
  return image;
}
