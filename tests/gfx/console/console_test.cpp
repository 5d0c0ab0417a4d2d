// The graphics text console: layout, wrapping and scrolling, cells and their
// read-back, size changes, locate, and line input from posted keys.
#include "gfx/console/console.h"

#include <string>

#include "gfx/draw/primitives.h"
#include "gfx/input/input.h"
#include "gfx/screen/builtin_data.h"
#include "runtime/rt_input.h"
#include "tests/gfx/drawing_test_support.h"

namespace {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

class Console : public DrawingTest {
 protected:
  void SetUp() override {
    DrawingTest::SetUp();
    open(640, 480, 32);
  }
};

void write(const std::string& text) {
  rt_write(reinterpret_cast<const uint8_t*>(text.data()), int(text.size()), 0);
}

void post_keys(const std::string& keys) {
  for (unsigned char key : keys) gfx_post_key(key);
}

std::pair<int, int> cursor() {
  int column = 0, row = 0;
  rt_get_cursor(&column, &row);
  return {column, row};
}

uint32_t ch(int column, int row) { return uint32_t(gfx_console_read_cell(column, row, 0)); }

// The console's characters from column 1 of a row (1-based), count of them.
std::string row_text(int row, int count) {
  std::string text;
  for (int column = 1; column <= count; ++column) text += char(ch(column, row));
  return text;
}

// Whether the cell (1-based) shows the glyph of code in white on black.
bool shows_glyph(int column, int row, uint8_t code) {
  const FontDescriptor* font = screen_state->font;
  for (int gy = 0; gy < font->height; ++gy) {
    const uint8_t bits = font->glyphs[code * font->height + gy];
    for (int bit = 0; bit < 8; ++bit) {
      const uint32_t want = (bits >> bit) & 1 ? kWhite : kBlack;
      if (page_pixel32(0, (column - 1) * 8 + bit, (row - 1) * font->height + gy) != want) return false;
    }
  }
  return true;
}

bool page_is_blank(int page) {
  for (int y = 0; y < screen_state->height; ++y)
    for (int x = 0; x < screen_state->width; ++x)
      if (page_pixel32(page, x, y) != kBlack) return false;
  return true;
}

TEST_F(Console, FullBottomRowWaitsAndTheNextCharacterScrolls) {
  rt_locate(60, 1, -1, 0, 0);
  clear_dirty();
  write(std::string(80, 'A'));
  EXPECT_EQ(cursor(), std::make_pair(80, 60));
  EXPECT_TRUE(shows_glyph(80, 60, 'A'));
  EXPECT_EQ(ch(1, 59), 32u);
  EXPECT_EQ(dirty_count(), 8);  // just the bottom row's pixels

  clear_dirty();
  write("B");
  EXPECT_EQ(cursor(), std::make_pair(2, 60));
  EXPECT_TRUE(shows_glyph(1, 59, 'A'));
  EXPECT_TRUE(shows_glyph(80, 59, 'A'));
  EXPECT_TRUE(shows_glyph(1, 60, 'B'));
  EXPECT_EQ(ch(1, 59), uint32_t('A'));
  EXPECT_EQ(dirty_count(), 480);  // one range over the scrolled window
}

TEST_F(Console, TabAfterAPendingNewlineStartsTheNewRow) {
  rt_locate(60, 1, -1, 0, 0);
  write(std::string(80, 'A'));
  ASSERT_NE(screen_state->flags & kScreenPendingNewline, 0u);
  write("\tX");
  EXPECT_EQ(row_text(59, 3), "AAA");  // scrolled up
  EXPECT_EQ(row_text(60, 10), "        X ");
  EXPECT_TRUE(shows_glyph(9, 60, 'X'));  // pixel column 64: 0-based cell column 8
  EXPECT_EQ(cursor(), std::make_pair(10, 60));
}

TEST_F(Console, LineEndOnTheBottomRowScrollsAtOnce) {
  rt_locate(60, 1, -1, 0, 0);
  write("X\r\n");
  EXPECT_EQ(cursor(), std::make_pair(1, 60));
  EXPECT_EQ(screen_state->flags & kScreenPendingNewline, 0u);
  EXPECT_TRUE(shows_glyph(1, 59, 'X'));
  EXPECT_TRUE(shows_glyph(1, 60, ' '));
}

TEST_F(Console, ScrollingStaysInsideTheTextView) {
  rt_locate(9, 1, -1, 0, 0);
  write("row 9\r\nrow 10\r\nrow 11\r\nrow 12\r\nrow 13");
  ASSERT_NE(rt_set_text_view(10, 12, 0), 0);
  rt_locate(12, 1, -1, 0, 0);
  write("\n");
  EXPECT_EQ(cursor(), std::make_pair(1, 12));
  EXPECT_EQ(row_text(9, 5), "row 9");
  EXPECT_EQ(row_text(10, 6), "row 11");
  EXPECT_EQ(row_text(11, 6), "row 12");
  EXPECT_EQ(row_text(13, 6), "row 13");
  EXPECT_TRUE(shows_glyph(1, 9, 'r'));
  EXPECT_TRUE(shows_glyph(1, 12, ' '));
}

TEST_F(Console, TabsBackspacesAndBell) {
  write(std::string(20, 'x'));
  rt_locate(1, 4, -1, 0, 0);
  write("\t");
  EXPECT_EQ(row_text(1, 10), "xxx     xx");
  EXPECT_EQ(cursor().first, 9);
  write("\t");
  EXPECT_EQ(cursor().first, 17);
  EXPECT_EQ(row_text(1, 20), "xxx" + std::string(13, ' ') + "xxxx");
  rt_locate(3, 1, -1, 0, 0);
  write("ab\tc\td");  // tab stops counted from the text still to be drawn
  EXPECT_EQ(row_text(3, 17), "ab      c       d");

  rt_locate(2, 1, -1, 0, 0);
  write("\b");
  EXPECT_EQ(cursor(), std::make_pair(1, 2));
  write("ab\bc");
  EXPECT_EQ(row_text(2, 3), "ac ");
  write("d\b");
  EXPECT_EQ(cursor().first, 3);
  EXPECT_EQ(ch(3, 2), uint32_t('d'));  // not erased

  clear_dirty();
  write("\a");
  EXPECT_EQ(cursor().first, 3);
  EXPECT_EQ(dirty_count(), 0);
}

TEST_F(Console, LoneCharacter255IsAnUnderline) {
  write("\xFF");
  for (int y = 0; y < 7; ++y) EXPECT_EQ(page_pixel32(0, 3, y), kBlack) << y;
  for (int x = 0; x < 8; ++x) EXPECT_EQ(page_pixel32(0, x, 7), kWhite) << x;
  EXPECT_EQ(ch(1, 1), 255u);
  write("a\xFF");  // inside a run it is an ordinary glyph
  EXPECT_TRUE(shows_glyph(3, 1, 255));
  EXPECT_EQ(ch(3, 1), 255u);
}

TEST_F(Console, WideTextNarrowsToBytes) {
  const uint16_t text[] = {'A', 0x263A, 0xD83D, 0xDE00, 0xE9, 'B', 0xD800};
  rt_write_wide(text, 7, 0);
  EXPECT_EQ(row_text(1, 6), "A??\xE9" "B?");
}

TEST_F(Console, CellsReadBackCharactersAndColours) {
  write("\xE9");
  EXPECT_EQ(gfx_console_read_cell(1, 1, 0), 233);
  EXPECT_EQ(rt_hooks.read_cell(1, 1, 0), 233);
  EXPECT_EQ(uint32_t(gfx_console_read_cell(1, 1, 1)), kWhite);
  EXPECT_EQ(uint32_t(gfx_console_read_cell(1, 1, 2)), kBlack);
  EXPECT_EQ(gfx_console_read_cell(0, 1, 0), 0);
  EXPECT_EQ(gfx_console_read_cell(81, 1, 0), 0);
  EXPECT_EQ(gfx_console_read_cell(1, 61, 0), 0);

  open(640, 480, 16);
  GfxContext* ctx = gfx_get_context();
  ctx->foreground = 0xF800;
  ctx->background = 0x07E0;
  write("z");
  EXPECT_EQ(uint32_t(gfx_console_read_cell(1, 1, 1)), 0xFFFF0000u);
  EXPECT_EQ(uint32_t(gfx_console_read_cell(1, 1, 2)), 0xFF00FF00u);

  open(320, 200, 8);
  ctx = gfx_get_context();
  ctx->foreground = 14;
  ctx->background = 3;
  write("z");
  EXPECT_EQ(gfx_console_read_cell(1, 1, 1), 14 + 3 * 256);

  open(4, 4, 32);  // no room for a single cell: nothing is written anywhere
  write("x");
  EXPECT_EQ(gfx_console_read_cell(1, 1, 0), 0);
}

TEST_F(Console, SetSizeSwitchesFontAndRebuildsTheCells) {
  open(640, 480, 32, 2);
  write("old text");
  EXPECT_EQ(gfx_console_set_size(80, 30), 80 + (60 << 16));
  EXPECT_EQ(screen_state->font, &builtin_font_8x16);
  int columns = 0, rows = 0;
  rt_get_size(&columns, &rows);
  EXPECT_EQ(std::make_pair(columns, rows), std::make_pair(80, 30));
  EXPECT_EQ(ch(1, 1), 32u);
  EXPECT_TRUE(page_is_blank(0));
  EXPECT_EQ(cursor(), std::make_pair(1, 1));
  int top = 0, bottom = 0;
  rt_text_view(&top, &bottom);
  EXPECT_EQ(std::make_pair(top, bottom), std::make_pair(0, 29));

  rt_locate(30, 80, -1, 0, 0);
  write("Q");  // the bottom-right cell of the 8 x 16 console
  EXPECT_TRUE(shows_glyph(80, 30, 'Q'));

  EXPECT_EQ(gfx_console_set_size(0, 0), 80 + (30 << 16));
  EXPECT_EQ(gfx_console_set_size(0, 35), 80 + (30 << 16));  // 480 / 35 = 13
  EXPECT_EQ(gfx_console_set_size(81, 0), 80 + (30 << 16));  // 640 / 81 = 7
  EXPECT_EQ(screen_state->font, &builtin_font_8x16);
  EXPECT_EQ(rt_width(0, 60), 80 + (30 << 16));
  EXPECT_EQ(screen_state->font, &builtin_font_8x8);
  EXPECT_EQ(gfx_page_copy(0, 1), 0);  // every page's cells have the new size

  open(640, 480, 32);
  EXPECT_EQ(gfx_console_set_size(80, 35), 80 + (60 << 16));
  EXPECT_EQ(screen_state->font, &builtin_font_8x8);
  EXPECT_EQ(screen_state->text_rows, 60);
}

TEST_F(Console, LocateMovesStaysInsideAndCancelsAPendingNewline) {
  EXPECT_EQ(gfx_console_locate(3, 5, -1), (2 << 8 | 4) + 0x101);
  EXPECT_EQ(gfx_console_locate(0, 7, -1), (2 << 8 | 6) + 0x101);  // 0 keeps the row
  rt_locate(60, 1, -1, 0, 0);
  write(std::string(80, 'A'));
  EXPECT_NE(screen_state->flags & kScreenPendingNewline, 0u);
  EXPECT_EQ(gfx_console_locate(1, 1, -1), 0x101);
  EXPECT_EQ(screen_state->flags & kScreenPendingNewline, 0u);
  write("Z");
  EXPECT_EQ(ch(1, 1), uint32_t('Z'));
  EXPECT_EQ(ch(1, 60), uint32_t('A'));  // no scroll

  gfx_console_locate(500, 500, -1);  // past the console: its last cell
  EXPECT_EQ(cursor(), std::make_pair(80, 60));
  write("end");
  EXPECT_EQ(ch(1, 60), uint32_t('n'));
}

TEST_F(Console, LevelReadingMovesDownWithoutDrawing) {
  rt_locate(1, 1, -1, 0, 0);
  clear_dirty();
  for (int row = 0; row < 15; ++row) rt_print(0, rt_str_temp("\r", 1), 1);
  EXPECT_EQ(cursor(), std::make_pair(1, 16));
  EXPECT_EQ(dirty_count(), 0);
  EXPECT_TRUE(page_is_blank(0));
}

TEST_F(Console, EveryHookSlotIsFilled) {
  auto** slots = reinterpret_cast<void**>(&rt_hooks);
  for (int i = 0; i < kRuntimeHookCount; ++i) EXPECT_NE(slots[i], nullptr) << i;
}

TEST_F(Console, PrintZonesAndClearReachTheWholeConsole) {
  rt_print(0, rt_str_temp("ab", 2), 2);
  EXPECT_EQ(cursor().first, 15);
  rt_locate(60, 1, -1, 0, 0);
  write("bottom");
  clear_dirty();
  rt_cls(ZQ_OMITTED);
  EXPECT_TRUE(page_is_blank(0));
  EXPECT_EQ(dirty_count(), 480);
  EXPECT_EQ(ch(1, 60), 32u);
  EXPECT_EQ(cursor(), std::make_pair(1, 1));
}

// A clear skips a page its last clear left blank in the same colours; every
// way the cells can change since must make the next clear write them again.
TEST_F(Console, ClearsRewriteCellsChangedSinceThePageWasLastBlank) {
  open(640, 480, 32, 2);
  GfxContext* ctx = gfx_get_context();
  auto background = [](int column, int row) { return uint32_t(gfx_console_read_cell(column, row, 2)); };
  gfx_cls(0);
  write("written");
  gfx_cls(0);
  EXPECT_EQ(row_text(1, 7), std::string(7, ' '));

  ctx->background = 0xFF800000u;  // the same spaces in a new colour
  gfx_cls(0);
  EXPECT_EQ(background(80, 60), 0xFF800000u);

  ASSERT_NE(rt_set_text_view(2, 3, 0), 0);  // part of the page in another colour
  ctx->background = 0xFF000080u;
  gfx_cls(2);
  EXPECT_EQ(background(1, 2), 0xFF000080u);
  EXPECT_EQ(background(1, 1), 0xFF800000u);
  ctx->background = 0xFF800000u;
  gfx_cls(0);
  EXPECT_EQ(background(1, 2), 0xFF800000u);
  rt_set_text_view(0, 0, 0);
  rt_locate(1, 1, -1, 0, 0);

  gfx_set_pages(1, 0);  // text copied onto the blank page comes with its record
  write("copied");
  gfx_page_copy(1, 0);
  gfx_set_pages(0, 0);
  EXPECT_EQ(row_text(1, 6), "copied");
  gfx_cls(0);
  EXPECT_EQ(row_text(1, 6), std::string(6, ' '));

  gfx_cls(0);  // the console's size rebuilt: its cells are spaces again
  ASSERT_NE(gfx_console_set_size(80, 30), 0);
  write("resized");
  gfx_cls(0);
  EXPECT_EQ(row_text(1, 7), std::string(7, ' '));
}

TEST_F(Console, HiddenWorkPageTakesTheTextAndMarksNothing) {
  open(640, 480, 32, 2);
  gfx_set_pages(1, 0);
  clear_dirty();
  write("hidden");
  EXPECT_EQ(dirty_count(), 0);
  EXPECT_EQ(ch(1, 1), uint32_t('h'));
  EXPECT_EQ(screen_state->text_cells[0][0].ch, 32u);
  EXPECT_TRUE(page_is_blank(0));
}

TEST_F(Console, ReadLineEchoesEditsAndEndsOnEnter) {
  char line[16];
  post_keys("ab");
  gfx_post_key(0x4BFF);  // an extended key is ignored
  post_keys("c\bd\r");
  ASSERT_EQ(gfx_console_read_line(line, sizeof line), line);
  EXPECT_STREQ(line, "abd\r");
  EXPECT_EQ(row_text(1, 4), "abd ");  // the block is gone
  EXPECT_EQ(cursor(), std::make_pair(1, 1));

  rt_locate(2, 1, -1, 0, 0);
  post_keys("\bxyz!\r");  // backspace with nothing typed does nothing
  ASSERT_EQ(gfx_console_read_line(line, 4), line);
  EXPECT_STREQ(line, "xyz");  // full: no more keys, not even the Enter
  EXPECT_EQ(row_text(2, 4), "xyz ");
  EXPECT_EQ(gfx_console_read_line(line, 0), nullptr);
}

TEST_F(Console, ReadLineBlockFollowsWrapsAndScrolls) {
  char line[16];
  rt_locate(1, 79, -1, 0, 0);
  post_keys("ab\b\b\r");  // back across the start of row 2
  gfx_console_read_line(line, sizeof line);
  EXPECT_STREQ(line, "\r");
  EXPECT_EQ(ch(79, 1), 32u);
  EXPECT_EQ(ch(80, 1), 32u);
  EXPECT_EQ(ch(1, 2), 32u);
  EXPECT_EQ(cursor(), std::make_pair(1, 1));

  rt_locate(60, 79, -1, 0, 0);
  post_keys("ab\b\r");  // "b" fills the bottom-right cell; the block scrolls
  gfx_console_read_line(line, sizeof line);
  EXPECT_STREQ(line, "a\r");
  EXPECT_EQ(ch(79, 59), uint32_t('a'));
  EXPECT_EQ(ch(80, 59), 32u);
  EXPECT_EQ(ch(1, 60), 32u);
  EXPECT_EQ(cursor(), std::make_pair(1, 59));
}

TEST_F(Console, LineInputPrintsPromptAndStoresTheLine) {
  StringValue name{};
  post_keys("Bo\r");
  EXPECT_EQ(rt_input(rt_str_temp("Name", 4), &name, -1, 0, 1, 1), 0);
  EXPECT_EQ(std::string(rt_str_chars(&name), size_t(rt_str_len(&name))), "Bo");
  EXPECT_EQ(row_text(1, 9), "Name? Bo ");
  EXPECT_EQ(cursor(), std::make_pair(1, 2));
  rt_str_delete(&name);

  char fixed[4];
  std::memset(fixed, 'x', sizeof fixed);
  post_keys("Bobby\r");
  EXPECT_EQ(rt_input(nullptr, fixed, sizeof fixed, 1, 0, 0), 0);
  EXPECT_EQ(std::string(fixed, 4), std::string("Bob\0", 4));
  EXPECT_EQ(cursor(), std::make_pair(1, 2));  // no line end asked for

  uint16_t wide[3];
  const uint16_t prompt[] = {'W', ':', 0};
  post_keys("\rhey\r");
  rt_locate(3, 1, -1, 0, 0);
  EXPECT_EQ(rt_input_wide(prompt, wide, 3, 0, 1), 0);  // an empty line
  EXPECT_EQ(wide[0], 0);
  EXPECT_EQ(rt_input_wide(nullptr, wide, 3, 0, 1), 0);
  EXPECT_EQ(wide[0], 'h');
  EXPECT_EQ(wide[1], 'e');
  EXPECT_EQ(wide[2], 0);
  EXPECT_EQ(row_text(3, 2), "W:");

  post_keys("no\r");
  EXPECT_EQ(rt_input(nullptr, fixed, 0, 0, 0, 0), 1);  // no size: nothing is written
  rt_hooks.read_line = [](char*, int) -> char* { return nullptr; };
  EXPECT_EQ(rt_input(nullptr, &name, -1, 0, 0, 0), 4);
  EXPECT_EQ(rt_get_error(), 4);
}

TEST_F(Console, PendingNewlineIsCarriedOutBeforeInput) {
  rt_locate(60, 1, -1, 0, 0);
  write(std::string(80, '='));
  post_keys("\r");
  StringValue line{};
  rt_input(nullptr, &line, -1, 0, 1, 0);
  EXPECT_EQ(row_text(59, 1), "=");
  EXPECT_EQ(row_text(60, 3), "?  ");
  rt_str_delete(&line);
}

}  // namespace
