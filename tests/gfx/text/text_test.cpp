// gfx_draw_string: font images (header, glyph table, clipping, checks and
// when they apply) and the built-in font (whole-character clipping, bit
// order), dirty rows, results and temporaries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "drivers/driver.h"
#include "gfx/draw/context.h"
#include "gfx/draw/pixel_routines.h"
#include "gfx/draw/primitives.h"
#include "gfx/image/image.h"
#include "gfx/screen/screen.h"
#include "gfx/text/text.h"
#include "runtime/runtime.h"
#include "tests/gfx/drawing_test_support.h"

namespace {

constexpr uint32_t kBack = 0xFF000000u;
constexpr uint32_t kMaskPixel = 0x33FF00FFu;

class Text : public ::testing::Test {
 protected:
  void SetUp() override {
    rt_init(0, nullptr, 1);
    setenv("ZQGFX", "null", 1);
    ASSERT_EQ(gfx_screen_res(640, 480, 32, 2, 0, 0), 0);
    clear_dirty_rows();
  }
  void TearDown() override {
    for (StringValue* s : held) rt_str_delete(s), delete s;
    gfx_close_at_exit();
  }

  static int untouched_outside(int x0, int y0, int x1, int y1) {
    int changed = 0;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x)
        if ((x < x0 || x >= x1 || y < y0 || y >= y1) && page_pixel32(0, x, y) != kBack) ++changed;
    return changed;
  }

  // A string variable (not a temporary) holding text.
  StringValue* str(const std::string& text) {
    auto* s = new StringValue{};
    rt_str_assign(s, text.c_str(), 0);
    held.push_back(s);
    return s;
  }

  // Glyph pixel: 0x40000000 | character index << 16 | column << 8 | glyph row;
  // the first pixel of every glyph is the mask colour.
  static uint32_t glyph_pixel(int index, int column, int row) {
    if (column == 0 && row == 0) return kMaskPixel;
    return 0x40000000u | uint32_t(index) << 16 | uint32_t(column) << 8 | uint32_t(row);
  }

  // A 32-bit font image with glyphs height - 1 rows high.
  static ImageBuffer* font(int width, int height, int first, int last, const std::vector<int>& widths) {
    ImageBuffer* img = gfx_image_create(width, height, 0, 32, -1);
    ImageInfo info = gfx_image_info(img);
    info.pixels[0] = 0;
    info.pixels[1] = uint8_t(first);
    info.pixels[2] = uint8_t(last);
    for (size_t k = 0; k < widths.size(); ++k) info.pixels[3 + k] = uint8_t(widths[k]);
    int x = 0;
    for (size_t k = 0; k < widths.size(); ++k)
      for (int c = 0; c < widths[k]; ++c, ++x)
        for (int r = 0; r < height - 1 && x < width; ++r) {
          uint32_t v = glyph_pixel(int(k), c, r);
          std::memcpy(info.pixels + (r + 1) * info.pitch + x * 4, &v, 4);
        }
    gfx_set_target(gfx_get_context(), nullptr);
    return img;
  }
  // Characters 'A', 'B', 'C' of widths 3, 4, 5 in 17 glyph rows, as the game's.
  static ImageBuffer* abc() { return font(16, 18, 'A', 'C', {3, 4, 5}); }

  int draw(StringValue* text, float x, float y, const ImageBuffer* f, Putter putter = putter_copy,
           uint32_t colour = 0xFF, int mode = 9) {
    return gfx_draw_string(nullptr, x, y, 4, text, colour, f, mode, putter, nullptr, nullptr);
  }

  // Whether glyph index k, columns from..to-1, rows r0.. appear at (x, y).
  static void expect_glyph(int k, int x, int y, int from, int to, int r0, int rows) {
    for (int r = 0; r < rows; ++r)
      for (int c = from; c < to; ++c) {
        uint32_t want = glyph_pixel(k, c, r0 + r);
        EXPECT_EQ(page_pixel32(0, x + c - from, y + r), want) << "glyph " << k << " column " << c << " row " << r0 + r;
      }
  }

  std::vector<StringValue*> held;
};

TEST_F(Text, FontImageGlyphsSideBySide) {
  ImageBuffer* f = abc();
  EXPECT_EQ(draw(str("CAB"), 100, 50, f), 0);
  expect_glyph(2, 100, 50, 0, 5, 0, 17);
  expect_glyph(0, 105, 50, 0, 3, 0, 17);
  expect_glyph(1, 108, 50, 0, 4, 0, 17);
  EXPECT_EQ(untouched_outside(100, 50, 112, 67), 0);
  EXPECT_EQ(dirty_rows(), row_range(50, 66));
  gfx_image_destroy(f);
}

TEST_F(Text, VersionByteIsCheckedOnlyWhenTheLineReachesTheView) {
  ImageBuffer* f = abc();
  gfx_image_info(f).pixels[0] = 1;
  EXPECT_EQ(draw(str("A"), 10, 10, f), 1);
  EXPECT_EQ(rt_get_error(), 1);
  EXPECT_EQ(draw(str("A"), 10, 480, f), 0);
  EXPECT_EQ(rt_get_error(), 0);
  EXPECT_EQ(draw(str("A"), 10, -17, f), 0);
  EXPECT_EQ(untouched_outside(0, 0, 0, 0), 0);
  EXPECT_TRUE(dirty_rows().empty());
  EXPECT_EQ(screen_state->flags & (kScreenLocked | kScreenLockOwner), 0u);
  gfx_image_destroy(f);
}

TEST_F(Text, CharactersWithoutAGlyphAdvanceByTheGlyphHeight) {
  ImageBuffer* f = abc();
  EXPECT_EQ(draw(str("A#B"), 10, 10, f), 0);
  expect_glyph(0, 10, 10, 0, 3, 0, 17);
  expect_glyph(1, 10 + 3 + 17, 10, 0, 4, 0, 17);
  EXPECT_EQ(untouched_outside(10, 10, 13, 27) - 4 * 17, 0);
  gfx_image_destroy(f);
}

TEST_F(Text, FirstAndLastAreExchangedWhenReversed) {
  ImageBuffer* f = font(200, 18, 127, 32, std::vector<int>(96, 2));
  EXPECT_EQ(draw(str("!"), 10, 10, f), 0);  // code 33: the second glyph, columns 2 and 3
  expect_glyph(1, 10, 10, 0, 2, 0, 17);
  gfx_image_destroy(f);
}

TEST_F(Text, GlyphsAreCutAtTheViewsEdges) {
  ImageBuffer* f = abc();
  // B straddles the right edge, C starts beyond it.
  EXPECT_EQ(draw(str("ABC"), 635, 100, f), 0);
  expect_glyph(0, 635, 100, 0, 3, 0, 17);
  expect_glyph(1, 638, 100, 0, 2, 0, 17);
  EXPECT_EQ(untouched_outside(635, 100, 640, 117), 0);
  EXPECT_EQ(dirty_rows(), row_range(100, 116));
  clear_dirty_rows();

  // A straddles the left edge; the line also runs over the top.
  EXPECT_EQ(draw(str("AB"), -2, -5, f), 0);
  expect_glyph(0, 0, 0, 2, 3, 5, 12);
  expect_glyph(1, 1, 0, 0, 4, 5, 12);
  EXPECT_EQ(dirty_rows(), row_range(0, 11));
  clear_dirty_rows();

  // And over the bottom.
  EXPECT_EQ(draw(str("A"), 300, 470, f), 0);
  expect_glyph(0, 300, 470, 0, 3, 0, 10);
  EXPECT_EQ(dirty_rows(), row_range(470, 479));
  gfx_image_destroy(f);
}

TEST_F(Text, HeadUpLineThroughFullAlphaBlendCopiesGlyphPixelsExactly) {
  ImageBuffer* f = abc();
  screen_state->flags |= kScreenHasMmx;
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(draw(str("ABC"), 20, 30, f, putter_blend, 0xFF, 9), 0);
    for (int k = 0, x = 20; k < 3; x += 3 + k, ++k)
      for (int c = 0; c < 3 + k; ++c)
        for (int r = 0; r < 17; ++r) {
          uint32_t g = glyph_pixel(k, c, r);
          EXPECT_EQ(page_pixel32(0, x + c, 30 + r), g == kMaskPixel ? kBack : g);
        }
    // Once more through the plain routines, chosen afresh for a new screen.
    gfx_close_at_exit();
    ASSERT_EQ(gfx_screen_res(640, 480, 32, 2, 0, 0), 0);
    screen_state->flags &= ~kScreenHasMmx;
  }
  gfx_image_destroy(f);
}

TEST_F(Text, BadFontImages) {
  ImageBuffer* widths_too_wide = font(11, 18, 'A', 'C', {3, 4, 5});
  EXPECT_EQ(draw(str("A"), 0, 10, widths_too_wide), 1);
  ImageBuffer* flat = font(16, 1, 'A', 'C', {3, 4, 5});
  EXPECT_EQ(draw(str("A"), 0, 10, flat), 1);
  ImageBuffer* other_depth = gfx_image_create(16, 18, 0, 16, -1);
  std::memset(gfx_image_info(other_depth).pixels, 0, 4);
  EXPECT_EQ(draw(str("A"), 0, 10, other_depth), 1);
  // 256 widths cannot lie in a header row of 12 bytes.
  ImageBuffer* short_header = font(3, 18, 0, 255, {1, 1, 1, 1, 1, 1, 1, 1, 1});
  EXPECT_EQ(draw(str("A"), 0, 10, short_header), 1);
  ImageBuffer* good = abc();
  EXPECT_EQ(gfx_draw_string(nullptr, 0, 10, 4, str("A"), 0xFF, good, 9, nullptr, nullptr, nullptr), 1);

  EXPECT_EQ(untouched_outside(0, 0, 0, 0), 0);
  EXPECT_TRUE(dirty_rows().empty());
  EXPECT_EQ(screen_state->flags & (kScreenLocked | kScreenLockOwner), 0u);
  for (ImageBuffer* i : {widths_too_wide, flat, other_depth, short_header, good}) gfx_image_destroy(i);
}

// The built-in 8 x 8 font: one byte per row, bit 0 leftmost.
bool font_bit(unsigned char c, int row, int column) {
  return (screen_state->font->glyphs[c * 8 + row] >> column) & 1;
}

// A character whose top-left pixel is set.
std::string corner_character() {
  for (int c = 1; c < 256; ++c)
    if (font_bit(uint8_t(c), 0, 0)) return std::string(1, char(c));
  return "";
}

TEST_F(Text, BuiltInFontStartsWithTheFirstCharacterReachingTheView) {
  const uint32_t colour = 0x00ABCDEF;
  EXPECT_EQ(draw(str("0123456789"), -20, 100, nullptr, nullptr, colour, 0), 0);
  // '2' at x = -4 shows its four rightmost columns; '3' follows at 4.
  for (int r = 0; r < 8; ++r) {
    for (int b = 4; b < 8; ++b) EXPECT_EQ(page_pixel32(0, b - 4, 100 + r), font_bit('2', r, b) ? colour : kBack);
    for (int b = 0; b < 8; ++b) EXPECT_EQ(page_pixel32(0, 4 + b, 100 + r), font_bit('3', r, b) ? colour : kBack);
  }
  EXPECT_EQ(untouched_outside(0, 100, 60, 108), 0);
  EXPECT_EQ(dirty_rows(), row_range(100, 107));
}

TEST_F(Text, BuiltInFontIsCutAtTheRightAndTopEdges) {
  const uint32_t colour = 0x00FFFFFF;
  EXPECT_EQ(draw(str("WWWW"), 636, -3, nullptr, nullptr, colour, 0), 0);
  for (int r = 3; r < 8; ++r)
    for (int b = 0; b < 4; ++b) EXPECT_EQ(page_pixel32(0, 636 + b, r - 3), font_bit('W', r, b) ? colour : kBack);
  EXPECT_EQ(untouched_outside(636, 0, 640, 5), 0);
  EXPECT_EQ(dirty_rows(), row_range(0, 4));
}

TEST_F(Text, BuiltInFontColours) {
  // Bit 31 of the flags: the context's foreground, whatever the colour argument.
  const std::string c = corner_character();
  ASSERT_FALSE(c.empty());
  EXPECT_EQ(gfx_draw_string(nullptr, 0, 0, ZQ_TEXT_ABSOLUTE | ZQ_TEXT_USE_FOREGROUND, str(c), 0x123, nullptr, 0, nullptr, nullptr,
                            nullptr),
            0);
  EXPECT_EQ(page_pixel32(0, 0, 0), gfx_get_context()->foreground);

  // On a 16-bit screen the colour is fitted to RGB 5-6-5.
  gfx_close_at_exit();
  ASSERT_EQ(gfx_screen_res(64, 16, 16, 1, 0, 0), 0);
  EXPECT_EQ(draw(str(c), 0, 0, nullptr, nullptr, 0x00FF0000, 0), 0);
  uint16_t v;
  std::memcpy(&v, screen_state->page_buffers[0], 2);
  EXPECT_EQ(v, 0xF800);
}

// Every glyph row at once and pixel by pixel must agree: a line of all 255
// characters at 8, 16 and 32 bits per pixel, cut at odd columns by the
// screen's left and right edges and by a view, compared with a picture made
// from the glyph bits. With alpha primitives and a translucent colour each
// set pixel is the blend of the colour over the page.
TEST_F(Text, BuiltInFontRowsMatchTheGlyphBitsAtEveryDepthAndCut) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += char(c);
  struct Case {
    int depth;
    bool alpha;
    int x, y, view_left, view_right;
  };
  const Case cases[] = {{8, false, -13, 3, 0, 640},   {16, false, -5, 20, 0, 640},  {32, false, -1021, 40, 0, 640},
                        {32, false, 3, 60, 37, 603},  {16, false, 1, 70, 5, 11},    {8, false, -2000, 90, 0, 640},
                        {32, true, -9, 100, 0, 640},  {32, true, 2, 110, 21, 333}};
  for (const Case& k : cases) {
    SCOPED_TRACE(::testing::Message() << "depth " << k.depth << " alpha " << k.alpha << " x " << k.x);
    gfx_close_at_exit();
    ASSERT_EQ(gfx_screen_res(640, 480, k.depth, 1, k.alpha ? ZQ_OPEN_ALPHA : 0, 0), 0);
    const int bpp = k.depth / 8;
    const int view_w = k.view_right - k.view_left;
    // Absolute, no border, no fill (a negative flag word).
    if (k.view_left != 0 || k.view_right != 640)
      gfx_view(k.view_left, 0, k.view_right - 1, 479, 0, 0, int(0x80000000u | kViewNoBorder | kViewAbsolute));
    uint8_t* page = screen_state->page_buffers[0];
    const size_t bytes = size_t(screen_state->pitch) * 480;
    for (size_t i = 0; i < bytes; ++i) page[i] = uint8_t(i * 131 + i / 640);
    std::vector<uint8_t> want(page, page + bytes);
    const uint32_t colour = k.alpha ? 0x80336699u : bpp == 1 ? 0xA5u : bpp == 2 ? 0x00FF8040u : 0x00ABCDEFu;
    const uint32_t stored = bpp == 2 ? 0xFC08u : colour;  // 0x00FF8040 in RGB 5-6-5
    EXPECT_EQ(draw(str(all), float(k.x), float(k.y), nullptr, nullptr, colour, 0), 0);
    for (int i = 0; i < 255; ++i)
      for (int r = 0; r < 8; ++r)
        for (int b = 0; b < 8; ++b) {
          long long px = k.x + 8LL * i + b;
          if (px < k.view_left || px >= k.view_left + view_w || !font_bit(uint8_t(i + 1), r, b)) continue;
          uint8_t* at = want.data() + size_t(k.y + r) * size_t(screen_state->pitch) + size_t(px) * size_t(bpp);
          uint32_t v = stored;
          if (k.alpha) {
            uint32_t d;
            std::memcpy(&d, at, 4);
            v = gfx_alpha_blend(colour, d);
          }
          std::memcpy(at, &v, size_t(bpp));
        }
    ASSERT_TRUE(std::equal(want.begin(), want.end(), page));
  }
}

TEST_F(Text, HiddenPageMarksNothing) {
  screen_state->visible_page = 1;
  screen_state->visible_pixels = screen_state->page_buffers[1];
  ImageBuffer* f = abc();
  EXPECT_EQ(draw(str("A"), 0, 0, f), 0);
  EXPECT_EQ(draw(str("A"), 0, 0, nullptr, nullptr, 1, 0), 0);
  EXPECT_TRUE(dirty_rows().empty());
  gfx_image_destroy(f);
}

TEST_F(Text, ResultsAndTemporaries) {
  ImageBuffer* f = abc();
  EXPECT_EQ(draw(nullptr, 0, 0, f), 1);
  EXPECT_EQ(rt_get_error(), 1);
  StringValue empty{};
  EXPECT_EQ(draw(&empty, 0, 0, f), 0);
  EXPECT_EQ(rt_get_error(), 0);
  EXPECT_EQ(draw(&empty, 0, 0, nullptr), 0);

  int in_use = rt_str_pool_in_use();
  EXPECT_EQ(draw(rt_str_new_temp("AB", 2), 0, 0, f), 0);
  EXPECT_EQ(draw(rt_str_new_temp("AB", 2), 0, 0, nullptr), 0);
  EXPECT_EQ(rt_str_pool_in_use(), in_use);
  // A temporary is released on the error path too.
  gfx_image_info(f).pixels[0] = 1;
  EXPECT_EQ(draw(rt_str_new_temp("AB", 2), 0, 0, f), 1);
  EXPECT_EQ(rt_str_pool_in_use(), in_use);

  // With no screen the text is still released and the result is 0.
  gfx_image_destroy(f);
  gfx_close_at_exit();
  EXPECT_EQ(draw(rt_str_new_temp("AB", 2), 0, 0, nullptr), 0);
  EXPECT_EQ(rt_str_pool_in_use(), in_use);
}

}  // namespace
