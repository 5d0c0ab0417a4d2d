// What the image loaders' fuzz targets share: the input kept for loading
// from memory, the check that every result is recorded with its reason, the
// targets loads go into, and a saved file's name.
#pragma once
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gfx/image/image.h"
#include "runtime/runtime.h"
#include "zentravolk/shortcuts.h"

namespace image_fuzz {

inline const uint8_t* input;
inline size_t input_size;

// A load's result must be recorded, and a failure must say why.
inline int checked(int result) {
  if (rt_get_error() != result) std::abort();
  if (result != 0 && rt_error_detail()[0] == '\0') std::abort();
  return result;
}

// The input loaded from memory.
inline int load(ImageBuffer* dest, uint32_t* palette_dest) {
  return checked(gfx_load_bitmap_mem(input, input_size, dest, palette_dest));
}

// A 40 x 24 image of the screen's depth in the header style of compat_level.
inline ImageBuffer* create(int compat_level) {
  rt_init(0, nullptr, compat_level);
  ImageBuffer* image = gfx_image_create(40, 24, 0, 0, INT_MIN);
  rt_init(0, nullptr, 1);
  if (!image) std::abort();
  return image;
}

// 16 x 8 pixels of 4 bytes behind a short header: 516 bytes, no more.
inline ImageBuffer* foreign_block() {
  auto* bytes = static_cast<uint8_t*>(std::calloc(4 + 16 * 8 * 4, 1));
  if (!bytes) std::abort();
  uint16_t fields[2] = {uint16_t(16 << 3 | 4), 8};
  std::memcpy(bytes, fields, sizeof fields);
  return reinterpret_cast<ImageBuffer*>(bytes);
}

// A file name on a memory file system when there is one (saves sync their data).
inline std::string saved_name(const char* stem, const char* extension) {
  return (access("/dev/shm", W_OK) == 0 ? "/dev/shm/" : "/tmp/") + std::string(stem) + std::to_string(getpid()) +
         extension;
}

// Aborts unless two images hold the same pixels (x's size is compared).
inline void expect_same_pixels(const ImageBuffer* x, const ImageBuffer* y) {
  ImageInfo a = gfx_image_info(x), b = gfx_image_info(y);
  for (int row = 0; row < a.height; ++row)
    if (std::memcmp(a.pixels + size_t(row) * size_t(a.pitch), b.pixels + size_t(row) * size_t(b.pitch),
                    size_t(a.width) * size_t(a.bytes_per_pixel)) != 0)
      std::abort();
}

// The null driver and short-style images, for every target.
inline void start() {
  setenv("ZQGFX", "null", 1);
  rt_init(0, nullptr, 1);
}

// Loads the input on screens of 8, 16 and 32 bits into a short-style image,
// a long-style image (handed with the result to after_long), a foreign block
// and the screen with and without a palette destination; then runs
// per_screen on each screen.
template <typename AfterLong, typename PerScreen>
void load_everywhere(const uint8_t* data, size_t size, AfterLong after_long, PerScreen per_screen) {
  input = data;
  input_size = size;
  uint32_t palette[256];
  for (int depth : {8, 16, 32}) {
    if (gfx_screen_res(48, 32, depth, 2, 0, 0) != 0) std::abort();
    ImageBuffer* short_image = create(1);
    ImageBuffer* long_image = create(0);
    ImageBuffer* foreign = foreign_block();
    load(short_image, nullptr);
    after_long(long_image, load(long_image, palette));
    load(foreign, nullptr);
    load(nullptr, nullptr);
    load(nullptr, palette);
    gfx_image_destroy(short_image);
    gfx_image_destroy(long_image);
    std::free(foreign);
    per_screen();
  }
  gfx_close_at_exit();
}

}  // namespace image_fuzz
