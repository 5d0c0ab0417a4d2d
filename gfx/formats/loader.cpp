// gfx_load_bitmap: opens the file under either folder separator and hands it
// to the branch its first byte names.
#include "gfx/formats/loader.h"

#include <cstring>

#include "gfx/draw/context.h"
#include "gfx/formats/loader_internal.h"
#include "gfx/image/image.h"
#include "runtime/rt_core.h"
#include "runtime/rt_file.h"
#include "runtime/rt_string.h"

namespace {

constexpr int kBlockShort = 0xFD;
constexpr int kBlockLong = 0xFE;
constexpr int kBmpFirstByte = 'B';

}  // namespace

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

// Opens a file by name under either folder separator; null with the error
// number when it cannot.
std::FILE* bitmap_open(const char* chars, int length, int* error) {
  char path[kBitmapNameBuffer];
  if (!bitmap_file_name(chars, length, path)) {
    *error = ZQ_ERR_FILE_NOT_FOUND;
    return nullptr;
  }
  std::FILE* file = std::fopen(path, "rb");
  *error = file ? ZQ_OK : ZQ_ERR_FILE_NOT_FOUND;
  return file;
}

int bitmap_file_size(const char* name, int* width, int* height) {
  int error = ZQ_OK;
  std::FILE* file = bitmap_open(name, int(std::strlen(name)), &error);
  if (!file) return error;
  const int first = std::fgetc(file);
  if (first == kBmpFirstByte)
    error = bitmap_bmp_size(file, width, height);
  else
    error = first == kBlockShort || first == kBlockLong ? ZQ_ERR_ILLEGAL_CALL : ZQ_ERR_FILE_IO;
  std::fclose(file);
  return error;
}

int gfx_load_bitmap(StringValue* name, ImageBuffer* dest, uint32_t* palette_dest) {
  rt_set_error(ZQ_OK);
  if (!dest && !screen_state) {
    rt_str_release(name);
    return rt_set_error(ZQ_ERR_ILLEGAL_CALL);
  }
  int error = ZQ_OK;
  std::FILE* file = bitmap_open(rt_str_chars(name), rt_str_len(name), &error);
  rt_str_release(name);
  if (!file) return rt_set_error(error);
  if (screen_state) {
    GfxContext* ctx = gfx_get_context();
    gfx_set_target(ctx, nullptr);
    gfx_select_colour_routines(ctx, 0xFF000000u);
  }
  int first = std::fgetc(file);
  int result;
  if (first == kBlockShort || first == kBlockLong)
    result = bitmap_load_block(file, first, dest, palette_dest);
  else if (first == kBmpFirstByte)
    result = bitmap_load_bmp(file, dest, palette_dest);
  else
    result = ZQ_ERR_FILE_IO;
  std::fclose(file);
  return rt_set_error(result);
}
