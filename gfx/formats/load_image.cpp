// The short form of loading: an image file, or an image file's bytes in
// memory, into a new image of the file's size and the screen's depth.
#include <cstdio>
#include <cstring>

#include "drivers/screen_state.h"
#include "gfx/formats/formats.h"
#include "gfx/formats/loader_internal.h"
#include "runtime/rt_core.h"
#include "zentravolk/shortcuts.h"

ImageBuffer* gfx_load_image(const char* name) {
  rt_set_error(ZQ_OK);
  if (!name) {
    rt_fail(ZQ_ERR_ILLEGAL_CALL, "no file name given");
    return nullptr;
  }
  if (!screen_state) {
    rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s: no screen open (a new image takes the screen's pixel format)", name);
    return nullptr;
  }
  char path[kBitmapNameBuffer];
  std::FILE* file = bitmap_open(name, int(std::strlen(name)), path);
  if (!file) return nullptr;
  ByteSource source(file, path);
  ImageBuffer* image = load_new_image(source);
  std::fclose(file);
  return image;
}

ImageBuffer* gfx_load_image_mem(const void* data, size_t size) {
  rt_set_error(ZQ_OK);
  if (!data && size) {
    rt_fail(ZQ_ERR_ILLEGAL_CALL, "no data given for %zu bytes", size);
    return nullptr;
  }
  ByteSource source(data, size);
  return load_new_image(source);
}
