// The short forms against the full calls they stand for: the same pixels on
// random targets at every depth, the same results and errors, and the texts
// of the error numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "gfx/image/image.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "zentravolk/zentravolk.h"

namespace {

std::string data_file(const char* name) {
  const char* source = std::getenv("ZQ_SOURCE_DIR");
  return std::string(source ? source : ".") + "/data/" + name;
}

StringValue* text(const std::string& chars) { return rt_str_new_temp(chars.data(), int(chars.size())); }

class Shortcuts : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    rt_init(0, nullptr, 0);
    setenv("ZQGFX", "null", 1);
    ASSERT_EQ(gfx_screen_res(96, 64, GetParam(), 1, 0, 0), 0);
  }
  void TearDown() override {
    gfx_close_at_exit();
    unsetenv("ZQGFX");
    EXPECT_EQ(rt_str_pool_in_use(), 0);
  }
  // Two images of the screen's depth holding the same noise.
  void make_twins(int width, int height) {
    a = gfx_image_create(width, height, 0, 0, 0);
    b = gfx_image_create(width, height, 0, 0, 0);
    ASSERT_TRUE(a && b);
    const ImageInfo info = gfx_image_info(a);
    for (int i = 0; i < info.pitch * height; ++i) info.pixels[i] = uint8_t(noise());
    std::memcpy(gfx_image_info(b).pixels, info.pixels, size_t(info.pitch) * size_t(height));
  }
  static bool same_pixels(const ImageBuffer* x, const ImageBuffer* y) {
    const ImageInfo i = gfx_image_info(x), j = gfx_image_info(y);
    return i.width == j.width && i.height == j.height && i.pitch == j.pitch &&
           i.bytes_per_pixel == j.bytes_per_pixel &&
           std::memcmp(i.pixels, j.pixels, size_t(i.pitch) * size_t(i.height)) == 0;
  }
  void TearDownTwins() {
    gfx_image_destroy(a);
    gfx_image_destroy(b);
  }
  std::mt19937 noise{unsigned(GetParam())};
  ImageBuffer* a = nullptr;
  ImageBuffer* b = nullptr;
};

TEST_P(Shortcuts, TextIsTheFullCallsText) {
  make_twins(61, 27);
  const std::string line = "Zentravolk \x01\xDB\xFE!";
  const float places[][2] = {{3, 2}, {-5, 17}, {40.5f, -3.5f}, {0, 0}};
  for (const auto& p : places) {
    const uint32_t colour = noise() & 0xFFFFFF;
    EXPECT_EQ(gfx_draw_text(a, p[0], p[1], line.c_str(), colour, nullptr), ZQ_OK);
    EXPECT_EQ(gfx_draw_string(b, p[0], p[1], ZQ_TEXT_ABSOLUTE, text(line), colour, nullptr, 0, nullptr, nullptr,
                              nullptr),
              ZQ_OK);
  }
  EXPECT_TRUE(same_pixels(a, b));
  // The screen's work page is the target without one.
  EXPECT_EQ(gfx_draw_text(nullptr, 1, 1, "Hi", 0xFF, nullptr), ZQ_OK);
  EXPECT_EQ(gfx_draw_text(a, 0, 0, nullptr, 0, nullptr), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_ILLEGAL_CALL);
  TearDownTwins();
}

TEST_P(Shortcuts, FontImageTextIsTheFullCallsText) {
  if (GetParam() == 8) GTEST_SKIP() << "the font file has 24-bit pixels";
  ImageBuffer* font = gfx_load_image(data_file("fonts/fnt32c.bmp").c_str());
  ASSERT_NE(font, nullptr);
  // The header row: 0, the first and last characters (A..Z), their widths.
  uint8_t* header = gfx_image_info(font).pixels;
  header[0] = 0, header[1] = 'A', header[2] = 'Z';
  for (int c = 0; c < 26; ++c) header[3 + c] = uint8_t(9 + c % 8);
  make_twins(150, 40);
  EXPECT_EQ(gfx_draw_text(a, -7, 5, "FRAMES 123", 0, font), ZQ_OK);  // the digits are not in the font
  EXPECT_EQ(gfx_draw_string(b, -7, 5, ZQ_TEXT_ABSOLUTE, text("FRAMES 123"), 0, font, 0, putter_transparent, nullptr,
                            nullptr),
            ZQ_OK);
  EXPECT_TRUE(same_pixels(a, b));
  gfx_image_destroy(font);
  TearDownTwins();
}

TEST_P(Shortcuts, PutIsTheFullCallsPutWithEveryPutter) {
  make_twins(53, 37);
  ImageBuffer* sprite = gfx_image_create(19, 13, 0, 0, ZQ_IMAGE_MASK_FILL);
  const ImageInfo info = gfx_image_info(sprite);
  for (int i = 0; i < info.pitch * info.height; i += 3) info.pixels[i] = uint8_t(noise());  // some stay masked
  const Putter putters[] = {putter_copy, putter_transparent, putter_blend};
  const float places[][2] = {{4, 4}, {-6, 30.4f}, {45, -2}};
  for (Putter putter : putters)
    for (const auto& p : places) {
      EXPECT_EQ(gfx_put_image(a, p[0], p[1], sprite, putter), ZQ_OK);
      EXPECT_EQ(gfx_put(b, p[0], p[1], sprite, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter, 255, nullptr, nullptr),
                ZQ_OK);
    }
  EXPECT_TRUE(same_pixels(a, b));
  EXPECT_EQ(gfx_put_image(a, 0, 0, sprite, nullptr), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(gfx_put_image(a, 0, 0, nullptr, putter_copy), ZQ_ERR_ILLEGAL_CALL);
  gfx_image_destroy(sprite);
  TearDownTwins();
}

TEST_P(Shortcuts, SimpleFormsAreTheFullShapeCalls) {
  make_twins(41, 29);
  const float places[][2] = {{3, 4}, {-6, 20.5f}, {35.4f, -2}, {-0.5f, 2.5f}};
  for (const auto& p : places) {
    float x = p[0], y = p[1];
    uint32_t c = noise() & 0xFFFFFF;
    EXPECT_EQ(gfx_fill_rect(a, x, y, 9, 5, c), ZQ_OK);
    EXPECT_EQ(gfx_line(b, std::round(x), std::round(y), std::round(x) + 8, std::round(y) + 4, c, 0, ZQ_SHAPE_FILLED),
              ZQ_OK);
    EXPECT_EQ(gfx_draw_rect(a, y, x, 1, 7, c ^ 1), ZQ_OK);
    EXPECT_EQ(gfx_line(b, std::round(y), std::round(x), std::round(y), std::round(x) + 6, c ^ 1, 0, ZQ_SHAPE_BOX),
              ZQ_OK);
    EXPECT_EQ(gfx_fill_circle(a, x, y, 6.5f, c ^ 2), ZQ_OK);
    EXPECT_EQ(gfx_circle(b, x, y, 6.5f, c ^ 2, 0, 0, 0, ZQ_SHAPE_FILLED), ZQ_OK);
    EXPECT_EQ(gfx_draw_circle(a, y, x, 11, c ^ 3), ZQ_OK);
    EXPECT_EQ(gfx_circle(b, y, x, 11, c ^ 3, 0, 0, 0, 0), ZQ_OK);
  }
  EXPECT_TRUE(same_pixels(a, b));
  // The size is exact wherever the corner falls between pixels.
  ImageBuffer* blank = gfx_image_create(16, 16, 0, 0, 0);
  for (float x : {-0.5f, 0.5f, 1.49f, 2.5f}) {
    std::memset(gfx_image_info(blank).pixels, 0, size_t(gfx_image_info(blank).pitch) * 16);
    ASSERT_EQ(gfx_fill_rect(blank, x, x, 4, 3, GetParam() == 8 ? 1 : 0xFFFFFF), ZQ_OK);
    int count = 0;
    for (int i = 0; i < 16 * 16; ++i) count += gfx_point(blank, float(i % 16), float(i / 16)) != 0;
    EXPECT_EQ(count, x < 0 ? 3 * 2 : 12) << x;  // at -1 one column and one row fall outside
  }
  gfx_image_destroy(blank);
  EXPECT_EQ(gfx_fill_rect(a, 0, 0, 0, 5, 1), ZQ_OK);
  EXPECT_EQ(gfx_fill_rect(a, 0, 0, -1, 5, 1), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_STRNE(rt_error_detail(), "");
  EXPECT_EQ(gfx_draw_rect(a, 0, 0, 3, -2, 1), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(gfx_fill_circle(a, 0, 0, -1, 1), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_TRUE(same_pixels(a, b));
  TearDownTwins();
}

TEST_P(Shortcuts, LoadedImagesAreTheFullCallsImages) {
  const char* files[] = {"gfx/p1.bmp", "sprites/vw1.bmp", "gfx/bck.bmp"};
  const int sizes[][2] = {{32, 32}, {32, 32}, {640, 480}};
  for (int i = 0; i < 3; ++i) {
    if (GetParam() == 8) break;  // 24-bit files do not go into palette images
    ImageBuffer* loaded = gfx_load_image(data_file(files[i]).c_str());
    ASSERT_NE(loaded, nullptr) << files[i];
    EXPECT_EQ(rt_get_error(), ZQ_OK);
    ImageBuffer* made = gfx_image_create(sizes[i][0], sizes[i][1], 0, 0, ZQ_IMAGE_MASK_FILL);
    ASSERT_EQ(gfx_load_bitmap(text(data_file(files[i])), made, nullptr), ZQ_OK);
    EXPECT_TRUE(same_pixels(loaded, made)) << files[i];
    gfx_image_destroy(loaded);
    gfx_image_destroy(made);
  }
}

TEST_P(Shortcuts, RefusedLoadsGiveNoImageAndTheirErrorNumber) {
  EXPECT_EQ(gfx_load_image(data_file("gfx/missing.bmp").c_str()), nullptr);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_FILE_NOT_FOUND);
  EXPECT_EQ(gfx_load_image(data_file("maps/mapa1.map").c_str()), nullptr);  // not a bitmap
  EXPECT_EQ(rt_get_error(), ZQ_ERR_FILE_IO);
  EXPECT_EQ(gfx_load_image(nullptr), nullptr);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_ILLEGAL_CALL);
  if (GetParam() == 8) {
    // What the full call refuses (a 24-bit file into palette pixels) the
    // short form refuses the same way.
    EXPECT_EQ(gfx_load_image(data_file("gfx/p1.bmp").c_str()), nullptr);
    EXPECT_EQ(rt_get_error(), ZQ_ERR_ILLEGAL_CALL);
  }
  gfx_close_at_exit();
  EXPECT_EQ(gfx_load_image(data_file("gfx/p1.bmp").c_str()), nullptr);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_ILLEGAL_CALL);
  // With no screen the text call answers as the full call does.
  EXPECT_EQ(gfx_draw_text(nullptr, 0, 0, "x", 0, nullptr),
            gfx_draw_string(nullptr, 0, 0, ZQ_TEXT_ABSOLUTE, text("x"), 0, nullptr, 0, nullptr, nullptr, nullptr));
}

INSTANTIATE_TEST_SUITE_P(Depths, Shortcuts, ::testing::Values(8, 16, 32));

TEST(ErrorText, EveryErrorNumberHasItsText) {
  EXPECT_STREQ(rt_error_text(ZQ_OK), "no error");
  EXPECT_STREQ(rt_error_text(ZQ_ERR_ILLEGAL_CALL), "illegal call");
  EXPECT_STREQ(rt_error_text(ZQ_ERR_FILE_NOT_FOUND), "file not found");
  EXPECT_STREQ(rt_error_text(ZQ_ERR_FILE_IO), "file input/output error");
  EXPECT_STREQ(rt_error_text(ZQ_ERR_OUT_OF_MEMORY), "out of memory");
  EXPECT_STREQ(rt_error_text(5), "unknown error");
  EXPECT_STREQ(rt_error_text(-1), "unknown error");
}

}  // namespace
