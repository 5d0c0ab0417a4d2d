// gfx_load_bitmap and gfx_load_bitmap_mem: open the file under either folder
// separator, or take the block of memory, and hand it to the format table.
#include "gfx/formats/loader.h"

#include <cerrno>
#include <cstring>

#include "drivers/screen_state.h"
#include "gfx/formats/formats.h"
#include "gfx/formats/loader_internal.h"
#include "gfx/image/image.h"
#include "runtime/rt_core.h"
#include "runtime/rt_file.h"
#include "runtime/rt_string.h"

size_t bitmap_dest_room(const ImageBuffer* dest) {
  if (size_t room = gfx_image_room(dest)) return room;
  const uint8_t* b = gfx_image_bytes(dest);
  if (gfx_image_is_long(dest)) {
    uint64_t height = gfx_image_read32(dest, 12), pitch = gfx_image_read32(dest, 16);
    uint64_t bytes = kImageLongHeader + height * pitch;  // cannot wrap: both factors are below 2^32
    return bytes > SIZE_MAX ? SIZE_MAX : size_t(bytes);
  }
  size_t format = size_t(b[0]) | size_t(b[1]) << 8;
  size_t height = size_t(b[2]) | size_t(b[3]) << 8;
  return kImageShortHeader + (format >> 3) * height * (format & 7);
}

bool bitmap_file_name(const char* chars, int length, char* path) {
  // A longer name would be cut short and could name some other file.
  if (length >= kBitmapNameBuffer) return false;
  std::memcpy(path, chars, size_t(length));
  path[length] = '\0';
  rt_file_fix_name(path);
  return true;
}

std::FILE* bitmap_open(const char* chars, int length, char* path) {
  if (!bitmap_file_name(chars, length, path)) {
    rt_fail(ZQ_ERR_FILE_NOT_FOUND, "%.40s...: a name of %d characters is too long (at most %d)", chars, length,
            kBitmapNameBuffer - 1);
    return nullptr;
  }
  std::FILE* file = std::fopen(path, "rb");
  if (!file) rt_fail(ZQ_ERR_FILE_NOT_FOUND, "%s: cannot open (%s)", path, std::strerror(errno));
  return file;
}

// What both calls share once the data is at hand: the error number is 0
// from the start, and a failure's number and reason are recorded where it
// happened.
static int load_checked(ByteSource& source, ImageBuffer* dest, uint32_t* palette_dest) {
  int result = load_image_source(source, dest, palette_dest);
  if (result != ZQ_OK && rt_get_error() != result)
    source.fail(result, "cannot be loaded");  // every failing site names its cause; this is a guard
  return result;
}

int gfx_load_bitmap(StringValue* name, ImageBuffer* dest, uint32_t* palette_dest) {
  rt_set_error(ZQ_OK);
  if (!dest && !screen_state) {
    rt_str_release(name);
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no destination image and no screen open");
  }
  char path[kBitmapNameBuffer];
  std::FILE* file = bitmap_open(rt_str_chars(name), rt_str_len(name), path);
  rt_str_release(name);
  if (!file) return ZQ_ERR_FILE_NOT_FOUND;
  ByteSource source(file, path);
  int result = load_checked(source, dest, palette_dest);
  std::fclose(file);
  return result;
}

int gfx_load_bitmap_mem(const void* data, size_t size, ImageBuffer* dest, uint32_t* palette_dest) {
  rt_set_error(ZQ_OK);
  if (!data && size) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no data given for %zu bytes", size);
  if (!dest && !screen_state) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no destination image and no screen open");
  ByteSource source(data, size);
  return load_checked(source, dest, palette_dest);
}
