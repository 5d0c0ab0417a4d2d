// libFuzzer target for fonts from outside data. The first four bytes choose
// the parameters (pixel height; picture width; first code and glyph count;
// separators or fixed cells of a size); the rest is read twice: as a font
// file handed to FreeType, and as the pixels of a picture cut into a strip
// font (each byte one of four colours, so that separator lines and boxes
// turn up). Every font made is measured and drawn, all 256 codes and the
// bytes as UTF-8, at scales 1 and 3, partly outside the target. The seed is
// a real TrueType file that tools/run_fuzz.sh puts behind four parameter
// bytes; the sanitizers turn any fault into a finding, and leaks fail too.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gfx/image/image.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "zentravolk/text.h"

namespace {

std::string font_path;

void remove_file() { unlink(font_path.c_str()); }

constexpr uint32_t kColours[4] = {0xFFFF00, 0x000000, 0xFFFFFF, 0xFF0000};

// Measures and draws a font with every code, and with the bytes as UTF-8.
void exercise(const ImageBuffer* font, const uint8_t* data, size_t size) {
  char codes[256];
  for (int i = 0; i < 255; ++i) codes[i] = char(i + 1);
  codes[255] = 0;
  std::string utf8(reinterpret_cast<const char*>(data), std::min<size_t>(size, 64));
  int w, h;
  gfx_text_size(font, codes, &w, &h);
  gfx_text_size_utf8(font, utf8.c_str(), &w, &h);
  ImageBuffer* target = gfx_image_create(37, 23, 0x123456, 0, 0);
  if (!target) std::abort();
  for (int scale : {1, 3}) {
    gfx_draw_text_ex(target, 30, -5, codes, 0xFFFFFF, font, ZQ_ALIGN_CENTRE, scale, nullptr);
    gfx_draw_text_ex(nullptr, -3, 40, utf8.c_str(), 0x80FF80, font, ZQ_ALIGN_LEFT | ZQ_TEXT_UTF8, scale, nullptr);
    gfx_draw_text_ex(target, 36, 20, codes + 60, 0xFF, font, ZQ_ALIGN_RIGHT, scale, putter_blend);
  }
  gfx_image_destroy(target);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("ZQGFX", "null", 1);
  rt_init(0, nullptr, 1);
  char name[] = "/tmp/zq_font_fuzz_XXXXXX";
  int fd = mkstemp(name);
  if (fd < 0) std::abort();
  close(fd);
  font_path = name;
  std::atexit(remove_file);
  if (gfx_screen_res(64, 48, 32, 1, 0, 0) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const int pixel_height = 1 + data[0] % 40, picture_width = 1 + data[1] % 24;
  const int first = data[2], last = std::min(255, first + (data[2] >> 4));
  const int flags = (data[3] & 0x80) ? ZQ_FONT_CELLS(data[3] & 7, (data[3] >> 3) & 7) : 0;
  data += 4;
  size -= 4;

  std::FILE* f = std::fopen(font_path.c_str(), "wb");
  if (!f) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
  if (ImageBuffer* font = gfx_font_load_ttf(font_path.c_str(), pixel_height, 0)) {
    exercise(font, data, size);
    gfx_image_destroy(font);
  }

  const int picture_height = std::max<int>(1, int(std::min<size_t>(size, 24 * 24) / size_t(picture_width)));
  ImageBuffer* picture = gfx_image_create(picture_width, picture_height, 0, 32, 0);
  if (!picture) std::abort();
  ImageInfo info = gfx_image_info(picture);
  for (int y = 0; y < picture_height; ++y)
    for (int x = 0; x < picture_width; ++x) {
      size_t at = size_t(y) * size_t(picture_width) + size_t(x);
      uint32_t colour = kColours[at < size ? data[at] & 3 : 0];
      std::memcpy(info.pixels + y * info.pitch + x * 4, &colour, 4);
    }
  if (ImageBuffer* font = gfx_font_from_strip(picture, first, last, flags)) {
    exercise(font, data, size);
    gfx_image_destroy(font);
  }
  gfx_image_destroy(picture);
  return 0;
}
