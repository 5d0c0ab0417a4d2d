// TrueType fonts through FreeType: sizes and advance widths, the coverage of
// a glyph against FreeType's own rendering of it, drawing by the rules of
// each depth, magnified lines, and the files that are refused.
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/image/image.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "text_test_support.h"
#include "zentravolk/text.h"

namespace {

const char* const kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The font as FreeType itself renders it, for comparison.
struct Reference {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  explicit Reference(int pixel_height) {
    EXPECT_EQ(FT_Init_FreeType(&library), 0);
    EXPECT_EQ(FT_New_Face(library, kDejaVu, 0, &face), 0);
    EXPECT_EQ(FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixel_height)), 0);
  }
  ~Reference() {
    FT_Done_Face(face);
    FT_Done_FreeType(library);
  }
  int advance(char c) {
    EXPECT_EQ(FT_Load_Char(face, FT_ULong(c), FT_LOAD_DEFAULT), 0);
    return int((face->glyph->advance.x + 32) >> 6);
  }
};

class TrueType : public TextScreen {
 protected:
  void SetUp() override {
    if (FILE* f = std::fopen(kDejaVu, "rb"))
      std::fclose(f);
    else
      GTEST_SKIP() << kDejaVu << " is missing (Debian's fonts-dejavu-core)";
    TextScreen::SetUp();
  }
  ImageBuffer* load(int pixel_height, int flags = 0) {
    ImageBuffer* f = keep(gfx_font_load_ttf(kDejaVu, pixel_height, flags));
    EXPECT_NE(f, nullptr) << rt_error_detail();
    return f;
  }
};

TEST_F(TrueType, RendersAtTwelveAndThirtyTwoPixelsWithTheFontsAdvances) {
  for (int size : {12, 32}) {
    ImageBuffer* f = load(size);
    ASSERT_NE(f, nullptr);
    Reference ref(size);
    int w = 0, h = 0;
    ASSERT_EQ(gfx_text_size(f, "Wave, 1!", &w, &h), ZQ_OK);
    int advances = 0;
    for (char c : std::string("Wave, 1!")) advances += ref.advance(c);
    EXPECT_EQ(w, advances) << size;
    EXPECT_GE(h, size);
    EXPECT_LE(h, 2 * size);
    // Drawn whole with putter_copy, the cells are exactly the measured box.
    TestImage img(w + 10, h + 10, 32, 0);
    ASSERT_EQ(gfx_draw_text_ex(img.image, 5, 5, "Wave, 1!", 0, f, ZQ_ALIGN_LEFT, 1, putter_copy), ZQ_OK);
    EXPECT_EQ(img.box(), (Box{5, 5, w, h}));
  }
}

TEST_F(TrueType, GlyphCoverageIsWhatFreeTypeRenders) {
  ImageBuffer* f = load(32);
  ASSERT_NE(f, nullptr);
  ImageInfo info = gfx_image_info(f);
  const int height = info.height - 1;
  int x0 = 0;
  for (int k = 0; k < 'A'; ++k) x0 += info.pixels[3 + k];
  const int width = info.pixels[3 + 'A'];
  auto alpha = [&](int c, int r) { return info.pixels[(r + 1) * info.pitch + (x0 + c) * 4 + 3]; };

  Reference ref(32);
  ASSERT_EQ(FT_Load_Char(ref.face, 'A', FT_LOAD_RENDER), 0);
  const FT_Bitmap& b = ref.face->glyph->bitmap;
  ASSERT_GT(b.width, 0u);
  // Somewhere in the glyph's cell the alpha bytes are FreeType's bitmap,
  // and everywhere else 0.
  int matches = 0;
  for (int dy = 0; dy + int(b.rows) <= height; ++dy)
    for (int dx = 0; dx + int(b.width) <= width; ++dx) {
      bool same = true;
      for (int r = 0; r < height && same; ++r)
        for (int c = 0; c < width && same; ++c) {
          bool inside = r >= dy && r < dy + int(b.rows) && c >= dx && c < dx + int(b.width);
          same = alpha(c, r) == (inside ? b.buffer[(r - dy) * b.pitch + (c - dx)] : 0);
        }
      matches += same;
    }
  EXPECT_EQ(matches, 1);
}

TEST_F(TrueType, DrawnBlendedOn32BitsAndThroughTheMaskOn8And16) {
  ImageBuffer* f32 = load(20);
  ASSERT_NE(f32, nullptr);
  TestImage coverage(40, 40, 32, 0);
  ASSERT_EQ(gfx_draw_text_ex(coverage.image, 0, 0, "g", 0, f32, ZQ_ALIGN_LEFT, 1, putter_copy), ZQ_OK);
  auto cover = [&](int x, int y) { return coverage.pixel(x, y) >> 24; };

  // 32 bits: the colour over the target in proportion to the coverage.
  TestImage blended(40, 40, 32, 0);
  ASSERT_EQ(gfx_draw_text_aligned(blended.image, 0, 0, "g", 0x0000FF, f32, ZQ_ALIGN_LEFT), ZQ_OK);
  int partial = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      uint32_t a = cover(x, y), v = blended.pixel(x, y);
      EXPECT_EQ(v & 0xFFFF00u, 0u);
      EXPECT_NEAR(double(v & 0xFF), double(a), 1.0) << x << "," << y;
      if (a == 255) {
        EXPECT_EQ(v, 0xFFu);
      }
      partial += a > 0 && a < 255;
    }
  EXPECT_GT(partial, 0);

  // 16 and 8 bits: the colour where the coverage is at least half.
  for (int depth : {16, 8}) {
    reopen(depth);
    ImageBuffer* f = load(20);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(gfx_image_info(f).bytes_per_pixel, depth / 8);
    TestImage img(40, 40, depth, 0);
    ASSERT_EQ(gfx_draw_text_aligned(img.image, 0, 0, "g", 0xFF0000, f, ZQ_ALIGN_LEFT), ZQ_OK);
    const uint32_t red = depth == 16 ? 0xF800u : 0x00u;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x)
        EXPECT_EQ(img.pixel(x, y), cover(x, y) >= 128 ? red : img.background) << depth << ": " << x << "," << y;
  }
}

TEST_F(TrueType, MagnifiedLinesAreTheLineMagnified) {
  ImageBuffer* f = load(12);
  ASSERT_NE(f, nullptr);
  expect_magnified_line(f, "Ag,", 0x20C0FF, nullptr, 32);
  reopen(16);
  ImageBuffer* f16 = load(12);
  ASSERT_NE(f16, nullptr);
  expect_magnified_line(f16, "Ag,", 0x20C0FF, nullptr, 16);
}

TEST_F(TrueType, MissingAndRefusedFilesSayWhy) {
  EXPECT_EQ(gfx_font_load_ttf("/no/such/font.ttf", 12, 0), nullptr);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_FILE_NOT_FOUND);
  EXPECT_NE(std::string(rt_error_detail()).find("/no/such/font.ttf"), std::string::npos);

  const std::string junk = ::testing::TempDir() + "zq_not_a_font.ttf";
  FILE* out = std::fopen(junk.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fputs("this is not a font at all", out);
  std::fclose(out);
  EXPECT_EQ(gfx_font_load_ttf(junk.c_str(), 12, 0), nullptr);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_FILE_IO);
  EXPECT_NE(std::string(rt_error_detail()).find("FreeType"), std::string::npos) << rt_error_detail();

  for (int size : {0, -3, ZQ_FONT_MAX_PIXEL_HEIGHT + 1}) {
    EXPECT_EQ(gfx_font_load_ttf(kDejaVu, size, 0), nullptr);
    EXPECT_EQ(rt_get_error(), ZQ_ERR_ILLEGAL_CALL);
  }
  EXPECT_EQ(gfx_font_load_ttf(kDejaVu, 12, ZQ_FONT_DEPTH(24)), nullptr);
  ImageBuffer* sixteen = load(12, ZQ_FONT_DEPTH(16));
  ASSERT_NE(sixteen, nullptr);
  EXPECT_EQ(gfx_image_info(sixteen).bytes_per_pixel, 2);
  EXPECT_EQ(gfx_font_load_ttf(nullptr, 12, 0), nullptr);
  EXPECT_NE(rt_error_detail()[0], 0);
}

}  // namespace
