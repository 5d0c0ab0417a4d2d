// Fonts cut from pictures made by ImageMagick: glyphs between separator
// lines in a row and in a grid, glyphs in fixed cells (the game's own font
// picture), and the pictures that are refused.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/image/image.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "text_test_support.h"
#include "zentravolk/shortcuts.h"
#include "zentravolk/text.h"

namespace {

struct Glyph {
  int x, y, width, height;  // its box in the picture
};

class FontFromStrip : public TextScreen {
 protected:
  void SetUp() override {
    if (std::system("command -v convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick's convert is missing";
    TextScreen::SetUp();
  }

  // A picture drawn by ImageMagick: a yellow canvas, black glyph boxes, and
  // white and red ink points in them; loaded in the screen's format.
  ImageBuffer* picture(const std::string& name, int width, int height, const std::vector<Glyph>& boxes,
                       const std::string& ink, const char* canvas = "yellow") {
    std::string path = ::testing::TempDir() + "zq_strip_" + name + ".bmp";
    std::string cmd = "convert -size " + std::to_string(width) + "x" + std::to_string(height) + " xc:" + canvas +
                      " +antialias -fill black";
    for (const Glyph& g : boxes)
      cmd += " -draw 'rectangle " + std::to_string(g.x) + "," + std::to_string(g.y) + " " +
             std::to_string(g.x + g.width - 1) + "," + std::to_string(g.y + g.height - 1) + "'";
    cmd += " " + ink + " -type TrueColor BMP3:" + path;
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    ImageBuffer* image = keep(gfx_load_image(path.c_str()));
    EXPECT_NE(image, nullptr) << path;
    return image;
  }

  // The font has the boxes' widths in order, glyphs as high as the tallest
  // box, and each glyph's pixels are the box's, black turned into the mask.
  void expect_font(ImageBuffer* font, ImageBuffer* pic, int first, const std::vector<Glyph>& boxes) {
    ASSERT_NE(keep(font), nullptr) << rt_error_detail();
    ImageInfo f = gfx_image_info(font), p = gfx_image_info(pic);
    int height = 0;
    for (const Glyph& g : boxes) height = std::max(height, g.height);
    EXPECT_EQ(f.height, height + 1);
    EXPECT_EQ(f.pixels[0], 0);
    EXPECT_EQ(f.pixels[1], first);
    EXPECT_EQ(f.pixels[2], first + int(boxes.size()) - 1);
    auto at = [](const ImageInfo& i, int x, int y) {
      uint32_t v;
      std::memcpy(&v, i.pixels + y * i.pitch + x * 4, 4);
      return v;
    };
    const uint32_t black = at(p, boxes[0].x, boxes[0].y);
    int x = 0, inked = 0;
    for (size_t k = 0; k < boxes.size(); ++k) {
      const Glyph& g = boxes[k];
      EXPECT_EQ(f.pixels[3 + k], g.width) << "glyph " << k;
      for (int r = 0; r < height; ++r)
        for (int c = 0; c < g.width; ++c) {
          uint32_t want = r >= g.height ? 0xFFFF00FFu : at(p, g.x + c, g.y + r);
          if (want == black) want = 0xFFFF00FFu;
          inked += want != 0xFFFF00FFu;
          ASSERT_EQ(at(f, x + c, r + 1), want) << "glyph " << k << " column " << c << " row " << r;
        }
      x += g.width;
    }
    EXPECT_GT(inked, 0);
  }
};

const std::vector<Glyph> kRow = {{1, 1, 3, 7}, {5, 1, 5, 7}, {11, 1, 2, 7}, {14, 1, 4, 7}};
const char* kRowInk = "-fill white -draw 'point 2,2' -draw 'point 9,7' -draw 'point 11,4' -fill red "
                      "-draw 'point 15,3' -draw 'line 6,5 8,5'";

TEST_F(FontFromStrip, RowOfGlyphsOfVariedWidths) {
  ImageBuffer* pic = picture("row", 19, 9, kRow, kRowInk);
  expect_font(gfx_font_from_strip(pic, 'a', 'd', 0), pic, 'a', kRow);
  // More glyphs than the range needs: the first ones are taken.
  expect_font(gfx_font_from_strip(pic, 'x', 'y', 0), pic, 'x', {kRow[0], kRow[1]});
}

TEST_F(FontFromStrip, GridOfGlyphsInBandsOfTheirOwnHeight) {
  const std::vector<Glyph> grid = {{1, 1, 2, 5}, {4, 1, 3, 5}, {1, 7, 4, 7}, {6, 7, 1, 7}, {8, 7, 3, 7}};
  ImageBuffer* pic = picture("grid", 12, 15, grid,
                             "-fill white -draw 'point 2,3' -draw 'point 6,5' -draw 'line 1,8 4,12' "
                             "-draw 'point 6,13' -fill red -draw 'point 9,9'");
  expect_font(gfx_font_from_strip(pic, 0x80, 0x84, 0), pic, 0x80, grid);
}

TEST_F(FontFromStrip, DrawnTextLeavesTheGlyphBackgroundOut) {
  ImageBuffer* pic = picture("draw", 19, 9, kRow, kRowInk);
  ImageBuffer* font = keep(gfx_font_from_strip(pic, 'a', 'd', 0));
  ASSERT_NE(font, nullptr);
  TestImage target(40, 20, 32, 0x123456);
  ASSERT_EQ(gfx_draw_text_aligned(target.image, 2, 3, "ab", 0, font, ZQ_ALIGN_LEFT), ZQ_OK);
  // Only the ink: white at (2,2) of the picture is column 1, row 1 of 'a'.
  // 'b' starts at x = 5: its ink at columns 1 to 4, rows 4 and 6.
  EXPECT_EQ(target.box(), (Box{3, 4, 7, 6}));
  EXPECT_EQ(target.pixel(3, 4) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(FontFromStrip, GameFontLoadsInFixedCells) {
  const char* source = std::getenv("ZQ_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  ImageBuffer* pic = keep(gfx_load_image((std::string(source) + "/data/fonts/fnt32c.bmp").c_str()));
  ASSERT_NE(pic, nullptr);
  std::vector<Glyph> cells;
  for (int k = 0; k < 96; ++k) cells.push_back({8 * k, 0, 8, 18});
  expect_font(gfx_font_from_strip(pic, 32, 127, ZQ_FONT_CELLS(8, 0)), pic, 32, cells);
  // Its glyphs stand on the mask colour with no lines between them.
  EXPECT_EQ(gfx_font_from_strip(pic, 32, 127, 0), nullptr);
  EXPECT_NE(std::string(rt_error_detail()).find("separator"), std::string::npos) << rt_error_detail();
}

TEST_F(FontFromStrip, PicturesThatAreNotFontsAreRefusedWithAReason) {
  ImageBuffer* row = picture("refused", 19, 9, kRow, kRowInk);
  struct Case {
    ImageBuffer* image;
    int first, last, flags;
    const char* reason;
  } cases[] = {
      {row, 'a', 'e', 0, "holds 4 glyphs"},
      {row, 'a', 'z', ZQ_FONT_CELLS(8, 0), "holds 2 glyphs"},
      {row, 'a', 'b', ZQ_FONT_FIXED_CELLS, "cell width"},
      {row, 'd', 'a', 0, "range"},
      {row, 250, 256, 0, "range"},
      {nullptr, 'a', 'a', 0, "no picture"},
      // Boxes side by side, no separator lines between them.
      {picture("unseparated", 12, 7, {{0, 0, 4, 7}, {4, 0, 8, 7}}, "-fill white -draw 'line 1,1 3,3' -draw 'line 6,2 8,4'"),
       'a', 'b', 0, "runs into"},
      {picture("blank", 8, 8, {}, "", "yellow"), 'a', 'a', 0, "no glyphs"},
      {picture("framed", 8, 8, {{0, 1, 8, 7}}, ""), 'a', 'a', 0, "top row and left column"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(gfx_font_from_strip(c.image, c.first, c.last, c.flags), nullptr) << c.reason;
    EXPECT_EQ(rt_get_error(), ZQ_ERR_ILLEGAL_CALL) << c.reason;
    EXPECT_NE(std::string(rt_error_detail()).find(c.reason), std::string::npos)
        << "wanted '" << c.reason << "', got '" << rt_error_detail() << "'";
  }
}

}  // namespace
