// libFuzzer target for the bitmap loader: the input bytes become a file that
// is loaded, at 8, 16 and 32 bits per pixel, into a short-style image, a
// long-style image, a block the library did not make, and the screen (with
// and without a palette destination), and finally with no screen open. The
// seeds hold one file of each header size, compression and bit count. Each
// long-style image loaded is also saved and loaded again, which must give
// the same pixels. The sanitizers turn any write outside a buffer into a
// finding.
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gfx/formats/loader.h"
#include "gfx/image/image.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"

namespace {

std::string file_path;
std::string saved_path;  // on a memory file system when there is one: saves sync their data

void remove_files() {
  unlink(file_path.c_str());
  unlink(saved_path.c_str());
}

int load_from(const std::string& path, ImageBuffer* dest, uint32_t* palette_dest) {
  return gfx_load_bitmap(rt_str_new_temp(path.c_str(), int(path.size())), dest, palette_dest);
}
int load(ImageBuffer* dest, uint32_t* palette_dest) { return load_from(file_path, dest, palette_dest); }

ImageBuffer* create(int compat_level) {
  rt_init(0, nullptr, compat_level);
  ImageBuffer* image = gfx_image_create(40, 24, 0, 0, INT_MIN);
  rt_init(0, nullptr, 1);
  if (!image) std::abort();
  return image;
}

// 16 x 8 pixels of 4 bytes behind a short header: 516 bytes, no more.
ImageBuffer* foreign_block() {
  auto* bytes = static_cast<uint8_t*>(std::calloc(4 + 16 * 8 * 4, 1));
  if (!bytes) std::abort();
  uint16_t fields[2] = {uint16_t(16 << 3 | 4), 8};
  std::memcpy(bytes, fields, sizeof fields);
  return reinterpret_cast<ImageBuffer*>(bytes);
}

// Saving an image and loading the file back gives its pixels again. (A
// block file may have put any header over the image: then it is skipped.)
void round_trip(ImageBuffer* image, int compat_level) {
  ImageBuffer* copy = create(compat_level);
  if (std::memcmp(image, copy, 20) != 0) {
    gfx_image_destroy(copy);
    return;
  }
  if (gfx_save_bitmap(rt_str_new_temp(saved_path.c_str(), int(saved_path.size())), image, 0) != 0) std::abort();
  if (load_from(saved_path, copy, nullptr) != 0) std::abort();
  ImageInfo a = gfx_image_info(image), b = gfx_image_info(copy);
  for (int y = 0; y < a.height; ++y)
    if (std::memcmp(a.pixels + size_t(y) * size_t(a.pitch), b.pixels + size_t(y) * size_t(b.pitch),
                    size_t(a.width) * size_t(a.bytes_per_pixel)) != 0)
      std::abort();
  gfx_image_destroy(copy);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("ZQGFX", "null", 1);
  rt_init(0, nullptr, 1);
  char name[] = "/tmp/zq_bitmap_fuzz_XXXXXX";
  int fd = mkstemp(name);
  if (fd < 0) std::abort();
  close(fd);
  file_path = name;
  saved_path = (access("/dev/shm", W_OK) == 0 ? "/dev/shm/zq_bitmap_saved_" : "/tmp/zq_bitmap_saved_") +
               std::to_string(getpid()) + ".bmp";
  std::atexit(remove_files);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(file_path.c_str(), "wb");
  if (!f) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);

  uint32_t palette[256];
  for (int depth : {8, 16, 32}) {
    if (gfx_screen_res(48, 32, depth, 2, 0, 0) != 0) std::abort();
    ImageBuffer* short_image = create(1);
    ImageBuffer* long_image = create(0);
    ImageBuffer* foreign = foreign_block();
    load(short_image, nullptr);
    load(long_image, palette);
    round_trip(long_image, 0);
    load(foreign, nullptr);
    load(nullptr, nullptr);
    load(nullptr, palette);
    gfx_image_destroy(short_image);
    gfx_image_destroy(long_image);
    std::free(foreign);
  }
  gfx_close_at_exit();
  ImageBuffer* foreign = foreign_block();
  load(foreign, palette);
  std::free(foreign);
  return 0;
}
