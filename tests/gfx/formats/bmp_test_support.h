// Shared by the bitmap loader tests: a BMP file writer, a fixture with a
// temporary folder and null-driver screens, and pixel readers.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "gfx/formats/loader.h"
#include "gfx/image/image.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"

namespace bmp_test {

// Stores the low `bytes` bytes of x at `at`, least significant first. A field
// past the end of the file is a fault in the test's description: it throws
// instead of writing, and the check lets the optimiser see every write in
// bounds.
inline void put_le(std::vector<uint8_t>& v, size_t at, uint32_t x, size_t bytes) {
  if (at > v.size() || bytes > v.size() - at) throw std::out_of_range("BMP field past the end of the file");
  for (size_t i = 0; i < bytes; ++i) v[at + i] = uint8_t(x >> (8 * i));
}
inline void put16(std::vector<uint8_t>& v, size_t at, uint32_t x) { put_le(v, at, x, 2); }
inline void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) { put_le(v, at, x, 4); }

// A BMP file as another program would write it. Pixels are given top row
// first: palette indices for 1, 2, 4 and 8 bits, 0xAARRGGBB otherwise (bit
// fields: the 32-bit word as stored).
struct BmpDesc {
  int width = 1;
  int height = 1;  // negative: stored top-down
  int bits = 24;
  std::vector<uint32_t> palette = {};  // 0x00RRGGBB
  std::function<uint32_t(int x, int y)> pixel = [](int, int) { return 0u; };
  uint32_t compression = 0;
  std::vector<uint32_t> masks = {};  // bit-field masks: inside a header of 52 bytes or more, else after it
  int gap = 0;                       // bytes between the palette and the pixels
  uint32_t info_size = 40;           // 12 (16-bit sides, 3-byte palette entries), 16, 40, 52, 56, 64, 108, 124
  std::vector<uint8_t> data = {};    // pixel bytes as stored (run-length codes), instead of pixel()
};

inline std::vector<uint8_t> make_bmp(const BmpDesc& s) {
  const bool os2_v1 = s.info_size == 12;
  const size_t entry = os2_v1 ? 3 : 4;
  const bool masks_inside = s.info_size >= 52 && s.info_size != 64;
  size_t head = 14 + s.info_size + (masks_inside ? 0 : 4 * s.masks.size()) + entry * s.palette.size();
  size_t offset = head + size_t(s.gap);
  int rows = s.height < 0 ? -s.height : s.height;
  size_t row_bytes = ((size_t(s.width) * size_t(s.bits) + 31) / 32) * 4;
  size_t data_size = s.data.empty() ? row_bytes * size_t(rows) : s.data.size();
  std::vector<uint8_t> f(offset + data_size, 0);
  f[0] = 'B';
  f[1] = 'M';
  put32(f, 2, uint32_t(f.size()));
  put32(f, 10, uint32_t(offset));
  put32(f, 14, s.info_size);
  if (os2_v1) {
    put16(f, 18, uint32_t(s.width));
    put16(f, 20, uint32_t(s.height));
    put16(f, 22, 1);
    put16(f, 24, uint32_t(s.bits));
  } else {
    put32(f, 18, uint32_t(s.width));
    put32(f, 22, uint32_t(s.height));
    put16(f, 26, 1);
    put16(f, 28, uint32_t(s.bits));
  }
  if (s.info_size >= 40) {
    put32(f, 30, s.compression);
    put32(f, 34, uint32_t(data_size));
    put32(f, 46, uint32_t(s.palette.size()));
  }
  size_t at = 14 + s.info_size;
  if (masks_inside)
    for (size_t i = 0; i < s.masks.size() && 40 + 4 * i < s.info_size; ++i) put32(f, 54 + 4 * i, s.masks[i]);
  else
    for (uint32_t m : s.masks) put32(f, at, m), at += 4;
  if (s.info_size >= 108) put32(f, 70, 0x73524742);  // colour space "sRGB"
  for (uint32_t c : s.palette) {
    f[at] = uint8_t(c);  // blue
    f[at + 1] = uint8_t(c >> 8);
    f[at + 2] = uint8_t(c >> 16);
    at += entry;
  }
  if (!s.data.empty()) {
    std::copy(s.data.begin(), s.data.end(), f.begin() + long(offset));
    return f;
  }
  for (int r = 0; r < rows; ++r) {
    int y = s.height < 0 ? r : rows - 1 - r;
    uint8_t* p = f.data() + offset + size_t(r) * row_bytes;
    for (int x = 0; x < s.width; ++x) {
      uint32_t v = s.pixel(x, y);
      switch (s.bits) {
        case 1: p[x / 8] |= uint8_t((v & 1) << (7 - x % 8)); break;
        case 2: p[x / 4] |= uint8_t((v & 3) << (6 - 2 * (x % 4))); break;
        case 4: p[x / 2] |= uint8_t((v & 15) << (x % 2 ? 0 : 4)); break;
        case 8: p[x] = uint8_t(v); break;
        case 16: p[2 * x] = uint8_t(v), p[2 * x + 1] = uint8_t(v >> 8); break;
        case 24: p[3 * x] = uint8_t(v), p[3 * x + 1] = uint8_t(v >> 8), p[3 * x + 2] = uint8_t(v >> 16); break;
        case 32:
          for (int i = 0; i < 4; ++i) p[4 * x + i] = uint8_t(v >> (8 * i));
          break;
        default: break;  // no pixels of other sizes
      }
    }
  }
  return f;
}

// A colour that differs for every pixel of a small picture, alpha included.
inline uint32_t pattern(int x, int y) {
  return uint32_t(0x11 * (x + 1)) << 16 ^ uint32_t(0x1D * (y + 3)) << 8 ^ uint32_t(x * 7 + y * 13) ^
         uint32_t(x * 31 + y * 17 + 5) << 24;
}

inline uint32_t read_pixel(const uint8_t* row, int x, int bytes_per_pixel) {
  uint32_t v = 0;
  std::memcpy(&v, row + size_t(x) * size_t(bytes_per_pixel), size_t(bytes_per_pixel));
  return v;
}

inline uint32_t image_pixel(const ImageBuffer* image, int x, int y) {
  ImageInfo info = gfx_image_info(image);
  return read_pixel(info.pixels + size_t(y) * size_t(info.pitch), x, info.bytes_per_pixel);
}

inline uint32_t screen_pixel(int page, int x, int y) {
  const ScreenState* s = screen_state;
  return read_pixel(s->page_buffers[page] + size_t(y) * size_t(s->pitch), x, s->bytes_per_pixel);
}

inline uint16_t to565(uint32_t argb) {
  return uint16_t(((argb >> 19) & 0x1F) << 11 | ((argb >> 10) & 0x3F) << 5 | ((argb >> 3) & 0x1F));
}

class BitmapFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    rt_init(0, nullptr, 1);
    setenv("ZQGFX", "null", 1);
    char tmpl[] = "/tmp/zq_bitmap_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    gfx_close_at_exit();
    for (ImageBuffer* image : images_) gfx_image_destroy(image);
    std::filesystem::remove_all(dir_);
  }

  void open_screen(int width, int height, int depth, int pages = 1) {
    ASSERT_EQ(gfx_screen_res(width, height, depth, pages, 0, 0), 0);
  }

  // compat_level 0 makes long-style images, 1 short-style ones.
  ImageBuffer* image(int width, int height, int depth, int compat_level) {
    rt_init(0, nullptr, compat_level);
    ImageBuffer* image = gfx_image_create(width, height, 0, depth, INT32_MIN);
    rt_init(0, nullptr, 1);
    if (image) images_.push_back(image);
    return image;
  }

  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                std::streamsize(bytes.size()));
    return path;
  }

  static int load(const std::string& path, ImageBuffer* dest, uint32_t* palette_dest = nullptr) {
    return gfx_load_bitmap(rt_str_new_temp(path.c_str(), int(path.size())), dest, palette_dest);
  }

  std::string dir_;
  std::vector<ImageBuffer*> images_;
};

}  // namespace bmp_test
