// PNG output through libpng: 8-bit RGB rows taken from the page's XRGB pixels.
#include "png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

bool write_png(const std::string& path, const uint8_t* pixels, int width, int height, int pitch) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<png_byte> row(size_t(width) * 3);
  bool ok = info != nullptr;
  // libpng reports its errors by jumping back here.
  if (ok && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, f);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
      const uint8_t* src = pixels + size_t(y) * size_t(pitch);
      for (int x = 0; x < width; ++x) {
        row[3 * size_t(x)] = src[4 * x + 2];
        row[3 * size_t(x) + 1] = src[4 * x + 1];
        row[3 * size_t(x) + 2] = src[4 * x];
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
  } else {
    ok = false;
  }
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0 && ok;
}
