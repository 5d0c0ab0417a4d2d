// Shared by the text tests: an image to draw into that reads its pixels back
// and finds the box of what was drawn, and a small font image.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <ostream>
#include <vector>

#include "gfx/image/image.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "zentravolk/image.h"
#include "zentravolk/text.h"

struct Box {
  int x, y, width, height;
  bool operator==(const Box&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << b.width << "x" << b.height << " at " << b.x << "," << b.y;
}

// A 320 x 200 screen on the null driver, 32-bit unless reopened; the images
// kept are released before it closes.
class TextScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    rt_init(0, nullptr, 1);
    setenv("ZQGFX", "null", 1);
    reopen(32);
  }
  void TearDown() override {
    for (ImageBuffer* i : kept) gfx_image_destroy(i);
    gfx_close_at_exit();
  }
  static void reopen(int depth) {
    gfx_close_at_exit();
    ASSERT_EQ(gfx_screen_res(320, 200, depth, 1, 0, 0), 0);
  }
  ImageBuffer* keep(ImageBuffer* image) {
    if (image) kept.push_back(image);
    return image;
  }
  std::vector<ImageBuffer*> kept;
};

// An image of the given depth filled with one colour, freed at the end.
struct TestImage {
  ImageBuffer* image;
  ImageInfo info;
  uint32_t background;

  TestImage(int width, int height, int depth, uint32_t colour)
      : image(gfx_image_create(width, height, colour, depth, 0)), info(gfx_image_info(image)) {
    background = pixel(0, 0);
  }
  ~TestImage() { gfx_image_destroy(image); }
  TestImage(const TestImage&) = delete;
  TestImage& operator=(const TestImage&) = delete;

  uint32_t pixel(int x, int y) const {
    uint32_t v = 0;
    std::memcpy(&v, info.pixels + y * info.pitch + x * info.bytes_per_pixel, size_t(info.bytes_per_pixel));
    return v;
  }
  // The smallest box holding every pixel that is not the background.
  Box box() const {
    int x0 = info.width, y0 = info.height, x1 = -1, y1 = -1;
    for (int y = 0; y < info.height; ++y)
      for (int x = 0; x < info.width; ++x)
        if (pixel(x, y) != background) {
          x0 = std::min(x0, x), y0 = std::min(y0, y);
          x1 = std::max(x1, x), y1 = std::max(y1, y);
        }
    return x1 < 0 ? Box{0, 0, 0, 0} : Box{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
  }
};

// A 32-bit font image of 'A', 'B', 'C', 3, 4 and 5 pixels wide and 17 rows
// high: every glyph pixel differs from its neighbours, and each glyph's
// top-left pixel is the mask colour.
inline ImageBuffer* abc_font() {
  ImageBuffer* img = gfx_image_create(16, 18, 0, 32, ZQ_IMAGE_MASK_FILL);
  ImageInfo info = gfx_image_info(img);
  const uint8_t header[] = {0, 'A', 'C', 3, 4, 5};
  std::memcpy(info.pixels, header, sizeof header);
  for (int r = 0; r < 17; ++r)
    for (int x = 0, k = 0, c = 0; x < 12; ++x, ++c) {
      if (c == 3 + k) ++k, c = 0;
      uint32_t v = c == 0 && r == 0 ? 0x33FF00FFu : 0x40000000u | uint32_t(k) << 16 | uint32_t(c) << 8 | uint32_t(r);
      std::memcpy(info.pixels + (r + 1) * info.pitch + x * 4, &v, 4);
    }
  return img;
}

// The line drawn at scale 1 and magnified by the test itself must equal the
// line drawn at the scale, wherever it stands against the image's edges.
inline void expect_magnified_line(const ImageBuffer* font, const char* text, uint32_t colour, Putter putter, int depth) {
  int w = 0, h = 0;
  ASSERT_EQ(gfx_text_size(font, text, &w, &h), ZQ_OK);
  for (int scale : {2, 3, 5})
    for (int x : {4, -7, 2 * w + 11}) {
      TestImage once(w, h, depth, 0x3);
      ASSERT_EQ(gfx_draw_text_ex(once.image, 0, 0, text, colour, font, ZQ_ALIGN_LEFT, 1, putter), ZQ_OK);
      const int big_w = 3 * w + 20, big_h = 4 * h;
      TestImage big(big_w, big_h, depth, 0x3);
      ASSERT_EQ(gfx_draw_text_ex(big.image, float(x), -scale, text, colour, font, ZQ_ALIGN_LEFT, scale, putter), ZQ_OK);
      for (int y = 0; y < big_h; ++y)
        for (int tx = 0; tx < big_w; ++tx) {
          int sx = (tx - x) / scale, sy = (y + scale) / scale;
          uint32_t want = tx >= x && sx < w && sy < h ? once.pixel(sx, sy) : big.background;
          ASSERT_EQ(big.pixel(tx, y), want) << "scale " << scale << " at " << x << ": pixel " << tx << "," << y;
        }
    }
}
