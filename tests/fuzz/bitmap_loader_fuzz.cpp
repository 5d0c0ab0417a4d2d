// libFuzzer target for the bitmap loader: the input bytes are loaded from
// memory, at 8, 16 and 32 bits per pixel, into a short-style image, a
// long-style image, a block the library did not make, and the screen (with
// and without a palette destination), and finally with no screen open. The
// seeds hold one file of each header size, compression and bit count. Each
// long-style image loaded is also saved (alpha kept) and loaded again, which
// must give the same pixels. Every refusal must come with its number and a
// reason. The sanitizers turn any write outside a buffer into a finding.
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
#include "tests/fuzz/image_fuzz_support.h"

namespace {

using namespace image_fuzz;

std::string saved_path;

void remove_files() { unlink(saved_path.c_str()); }

int load_from(const std::string& path, ImageBuffer* dest, uint32_t* palette_dest) {
  return checked(gfx_load_bitmap(rt_str_new_temp(path.c_str(), int(path.size())), dest, palette_dest));
}

// Saving an image and loading the file back gives its pixels again. (A
// block file may have put any header over the image: then it is skipped.)
void round_trip(ImageBuffer* image, int compat_level) {
  ImageBuffer* copy = create(compat_level);
  if (std::memcmp(image, copy, 20) != 0) {
    gfx_image_destroy(copy);
    return;
  }
  if (gfx_save_image(saved_path.c_str(), image, 0, ZQ_SAVE_ALPHA) != 0) std::abort();
  if (load_from(saved_path, copy, nullptr) != 0) std::abort();
  expect_same_pixels(image, copy);
  gfx_image_destroy(copy);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  start();
  saved_path = saved_name("zq_bitmap_saved_", ".bmp");
  std::atexit(remove_files);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  load_everywhere(
      data, size, [](ImageBuffer* image, int) { round_trip(image, 0); }, [] {});
  // With no screen open, into a block.
  uint32_t palette[256];
  ImageBuffer* foreign = foreign_block();
  load(foreign, palette);
  std::free(foreign);
  return 0;
}
