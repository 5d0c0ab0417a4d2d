// Measuring, aligning and magnifying text: measured sizes are the bounding
// box of what is drawn, alignment moves that box, and a magnified line is the
// line drawn at scale 1 with every pixel made a block, also where the view
// cuts it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gfx/draw/context.h"
#include "gfx/image/image.h"
#include "gfx/screen/builtin_data.h"
#include "gfx/screen/screen.h"
#include "gfx/text/text.h"
#include "runtime/runtime.h"
#include "text_test_support.h"

namespace {

using TextLayout = TextScreen;

TEST_F(TextLayout, MeasuredSizeIsTheBoxOfTheDrawnPixels) {
  // Full blocks fill their cells, so the drawn box is the measured one.
  const std::string blocks = "\xDB\xDB\xDB";
  for (const FontDescriptor* f : {&builtin_font_8x8, &builtin_font_8x14, &builtin_font_8x16}) {
    screen_state->font = f;
    int w = 0, h = 0;
    ASSERT_EQ(gfx_text_size(nullptr, blocks.c_str(), &w, &h), ZQ_OK);
    EXPECT_EQ(w, 24);
    EXPECT_EQ(h, f->height);
    TestImage img(100, 40, 32, 0);
    ASSERT_EQ(gfx_draw_text_aligned(img.image, 10, 5, blocks.c_str(), 0xFFFFFF, nullptr, ZQ_ALIGN_LEFT), ZQ_OK);
    EXPECT_EQ(img.box(), (Box{10, 5, w, h}));
  }
  // A font image drawn with putter_copy writes its whole cells.
  ImageBuffer* f = abc_font();
  int w = 0, h = 0;
  ASSERT_EQ(gfx_text_size(f, "CAB", &w, &h), ZQ_OK);
  EXPECT_EQ(w, 12);
  EXPECT_EQ(h, 17);
  TestImage img(100, 40, 32, 0);
  ASSERT_EQ(gfx_draw_text_ex(img.image, 20, 3, "CAB", 0xFF, f, ZQ_ALIGN_LEFT, 1, putter_copy), ZQ_OK);
  EXPECT_EQ(img.box(), (Box{20, 3, 12, 17}));
  // A code without a glyph is a gap as wide as the glyphs are high.
  ASSERT_EQ(gfx_text_size(f, "A#B", &w, &h), ZQ_OK);
  EXPECT_EQ(w, 3 + 17 + 4);
  ASSERT_EQ(gfx_text_size_ex(f, "A#B", 0, 3, &w, &h), ZQ_OK);
  EXPECT_EQ(w, 3 * 24);
  EXPECT_EQ(h, 3 * 17);
  gfx_image_destroy(f);
}

TEST_F(TextLayout, AlignmentPutsTheBoxLeftOfRightOrAroundThePoint) {
  ImageBuffer* f = abc_font();
  struct Case {
    int align, scale, left;
  } cases[] = {{ZQ_ALIGN_LEFT, 1, 50},      {ZQ_ALIGN_CENTRE, 1, 50 - 6},  {ZQ_ALIGN_RIGHT, 1, 50 - 12},
               {ZQ_ALIGN_CENTRE, 3, 50 - 18}, {ZQ_ALIGN_RIGHT, 2, 50 - 24}, {ZQ_ALIGN_CENTRE, 1, 50 - 6}};
  for (const Case& c : cases) {
    TestImage img(120, 60, 32, 0);
    ASSERT_EQ(gfx_draw_text_ex(img.image, 50, 2, "CAB", 0xFF, f, c.align, c.scale, putter_copy), ZQ_OK);
    EXPECT_EQ(img.box(), (Box{c.left, 2, 12 * c.scale, 17 * c.scale})) << c.align << " " << c.scale;
  }
  // An odd width leaves the extra pixel right of the point.
  TestImage img(120, 60, 32, 0);
  ASSERT_EQ(gfx_draw_text_ex(img.image, 50, 2, "A", 0xFF, f, ZQ_ALIGN_CENTRE, 1, putter_copy), ZQ_OK);
  EXPECT_EQ(img.box(), (Box{49, 2, 3, 17}));
  gfx_image_destroy(f);
}

TEST_F(TextLayout, MagnifiedLineIsTheLineWithEveryPixelMadeABlock) {
  expect_magnified_line(nullptr, "Hi! \x01\xDB", 0xFFCC00, nullptr, 32);
  ImageBuffer* f = abc_font();
  expect_magnified_line(f, "CA#B", 0xFF, nullptr, 32);           // masked, the font's own putter
  expect_magnified_line(f, "CA#B", 0x80, putter_blend, 32);      // blended
  gfx_image_destroy(f);
  for (int depth : {8, 16}) {
    reopen(depth);
    expect_magnified_line(nullptr, "Zq~", 0x7, nullptr, depth);
  }
}

TEST_F(TextLayout, MagnifiedLineMarksOnlyTheRowsItReaches) {
  std::memset(screen_state->dirty_rows, 0, size_t(screen_state->height));
  ASSERT_EQ(gfx_draw_text_ex(nullptr, 10, 190, "ab", 0xFFFFFF, nullptr, ZQ_ALIGN_LEFT, 4, nullptr), ZQ_OK);
  for (int y = 0; y < 200; ++y) EXPECT_EQ(screen_state->dirty_rows[y] != 0, y >= 190) << y;
}

TEST_F(TextLayout, RefusalsSayWhy) {
  ImageBuffer* f = abc_font();
  int w = 7, h = 7;
  auto refused = [](int result) {
    return result == ZQ_ERR_ILLEGAL_CALL && rt_get_error() == ZQ_ERR_ILLEGAL_CALL && rt_error_detail()[0] != 0;
  };
  EXPECT_TRUE(refused(gfx_text_size(f, nullptr, &w, &h)));
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
  EXPECT_TRUE(refused(gfx_text_size_ex(f, "A", 0, 0, &w, &h)));
  EXPECT_TRUE(refused(gfx_draw_text_ex(nullptr, 0, 0, "A", 0, f, 3, 1, nullptr)));
  EXPECT_TRUE(refused(gfx_draw_text_ex(nullptr, 0, 0, "A", 0, f, ZQ_ALIGN_LEFT, -2, nullptr)));
  EXPECT_TRUE(refused(gfx_draw_text_aligned(nullptr, 0, 0, nullptr, 0, f, ZQ_ALIGN_LEFT)));
  gfx_image_info(f).pixels[0] = 1;  // not a font header
  EXPECT_TRUE(refused(gfx_text_size(f, "A", &w, &h)));
  gfx_image_destroy(f);
  EXPECT_EQ(gfx_text_size(nullptr, "", &w, &h), ZQ_OK);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 8);
  // A 32-bit font on a 16-bit screen.
  reopen(16);
  f = abc_font();
  EXPECT_TRUE(refused(gfx_draw_text_aligned(nullptr, 0, 0, "A", 0, f, ZQ_ALIGN_LEFT)));
  EXPECT_NE(std::string(rt_error_detail()).find("bytes per pixel"), std::string::npos) << rt_error_detail();
  gfx_image_destroy(f);
  gfx_close_at_exit();
  EXPECT_TRUE(refused(gfx_text_size(nullptr, "A", &w, &h)));  // the built-in font comes with a screen
  EXPECT_TRUE(refused(gfx_draw_text_aligned(nullptr, 0, 0, "A", 0, nullptr, ZQ_ALIGN_LEFT)));
}

}  // namespace
