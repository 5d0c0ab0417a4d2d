// libFuzzer target for the PNG reader, through the memory source: the input
// bytes are loaded, at 8, 16 and 32 bits per pixel, into a short-style
// image, a long-style image, a block the library did not make and the
// screen (with and without a palette destination), and into a new image of
// their own size. Every refusal must come with its number and a reason;
// every image that loads is saved as PNG with its alpha and loaded again,
// which must give the same pixels. The seeds hold one file of each colour
// type and bit depth. The sanitizers turn any write outside a buffer, and
// any leak, into a finding.
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gfx/image/image.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "tests/fuzz/image_fuzz_support.h"
#include "zentravolk/shortcuts.h"

namespace {

using namespace image_fuzz;

std::string saved_path;

// Saving a long-style image as PNG, alpha kept, and loading it back gives
// its pixels again.
void round_trip(ImageBuffer* image) {
  ImageInfo a = gfx_image_info(image);
  if (!a.long_style || a.width <= 0 || a.height <= 0) return;
  if (gfx_save_image(saved_path.c_str(), image, 0, ZQ_SAVE_ALPHA) != 0) std::abort();
  ImageBuffer* copy = gfx_load_image(saved_path.c_str());
  if (!copy) std::abort();
  ImageInfo b = gfx_image_info(copy);
  if (b.width != a.width || b.height != a.height || b.bytes_per_pixel != a.bytes_per_pixel) std::abort();
  expect_same_pixels(image, copy);
  gfx_image_destroy(copy);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  start();
  saved_path = saved_name("zq_png_saved_", ".png");
  std::atexit([] { unlink(saved_path.c_str()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Other formats' data loads too (a raw block may write any header over the
  // image): only what loads as PNG goes round.
  static const uint8_t kPng[] = {0x89, 'P', 'N', 'G'};
  const bool png = size >= sizeof kPng && std::memcmp(data, kPng, sizeof kPng) == 0;
  load_everywhere(
      data, size,
      [png](ImageBuffer* image, int result) {
        if (png && result == 0) round_trip(image);
      },
      [&] {
        ImageBuffer* own = gfx_load_image_mem(data, size);
        checked(own ? 0 : rt_get_error());
        if (own && png) round_trip(own);
        gfx_image_destroy(own);
      });
  return 0;
}
