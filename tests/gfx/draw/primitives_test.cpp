// Pixel read and write, the clears with their cursor and text-cell effects,
// the view, page copies and page switching.
#include "gfx/draw/primitives.h"

#include <vector>

#include "gfx/console/console.h"
#include "gfx/image/image.h"
#include "gfx/image/palette.h"
#include "tests/gfx/drawing_test_support.h"

namespace {

using Primitives = DrawingTest;

// Makes the runtime's text view cover the rows given (1-based), reading the
// console's size from the screen as the console's size hook will.
void set_text_view(int first, int last) {
  if (!rt_hooks.get_size)
    rt_hooks.get_size = [](int* columns, int* rows) {
      if (columns) *columns = screen_state->text_columns;
      if (rows) *rows = screen_state->text_rows;
    };
  rt_set_text_view(first, last, 0);
}

void scribble(int page) {
  std::memset(screen_state->page_buffers[page], 0x5A, size_t(screen_state->pitch) * screen_state->height);
  size_t cells = size_t(screen_state->text_columns) * screen_state->text_rows;
  std::fill_n(screen_state->text_cells[page], cells, TextCell{'x', 1, 2});
  gfx_console_forget_blank(screen_state, screen_state->text_cells[page]);
}

bool row_is(int page, int y, int x0, int x1, uint32_t v) {
  for (int x = x0; x < x1; ++x)
    if (page_pixel32(page, x, y) != v) return false;
  return true;
}

const TextCell& cell(int page, int column, int row) {
  return screen_state->text_cells[page][row * screen_state->text_columns + column];
}

TEST_F(Primitives, PointReadsPixelsInsideTheView) {
  EXPECT_EQ(gfx_point(nullptr, 0, 0), 0xFFFFFFFFu);  // no screen
  open(640, 8, 32);
  gfx_pset(nullptr, 639, 0, 0x80123456u, 0, 0);
  EXPECT_EQ(gfx_point(nullptr, 639.4f, 0), 0x80123456u);
  EXPECT_EQ(gfx_point(nullptr, 640, 0), 0xFFFFFFFFu);
  EXPECT_EQ(gfx_point(nullptr, 0, -0.6f), 0xFFFFFFFFu);

  open(16, 8, 16);
  gfx_pset(nullptr, 1, 1, 0x00FFFFFFu, 0, 0);
  gfx_pset(nullptr, 2, 1, 0x00FF0000u, 0, 0);
  EXPECT_EQ(gfx_point(nullptr, 1, 1), 0x00FFFFFFu);
  EXPECT_EQ(gfx_point(nullptr, 2, 1), 0x00FF0000u);
  uint16_t stored;
  std::memcpy(&stored, screen_state->page_buffers[0] + screen_state->pitch + 4, 2);
  EXPECT_EQ(stored, 0xF800);
}

TEST_F(Primitives, PointWithoutYReadsTheGraphicsCursor) {
  open(64, 48, 32);
  gfx_pset(nullptr, 12.7f, -30.2f, 0xFFFFFFFFu, 0, 0);
  ImageBuffer* image = gfx_image_create(4, 4, 0, 0, -1);
  EXPECT_EQ(gfx_point(nullptr, 2, kPointCursorQuery), 12u);
  EXPECT_EQ(gfx_get_context()->target, image);  // 2 and 3 leave the target
  EXPECT_EQ(int(gfx_point(nullptr, 3, kPointCursorQuery)), -30);
  EXPECT_EQ(gfx_point(nullptr, 0, kPointCursorQuery), 12u);
  EXPECT_EQ(gfx_get_context()->target, nullptr);
  EXPECT_EQ(int(gfx_point(nullptr, 1.9f, kPointCursorQuery)), -30);
  EXPECT_EQ(gfx_point(nullptr, 4, kPointCursorQuery), 0u);
  EXPECT_EQ(gfx_point(nullptr, 1e20f, kPointCursorQuery), 0u);
  gfx_image_destroy(image);
}

TEST_F(Primitives, PsetColoursAndRelativeSteps) {
  open(16, 16, 32);
  gfx_colour(0xFF0000FF, 0xFF00FF00, 0);
  gfx_pset(nullptr, 1, 1, 0, -1, 1);
  gfx_pset(nullptr, 2, 1, 0, -1, 0);
  EXPECT_EQ(page_pixel32(0, 1, 1), 0xFF00FF00u);
  EXPECT_EQ(page_pixel32(0, 2, 1), 0xFF0000FFu);
  gfx_pset(nullptr, 3, 4, 0xFFABCDEFu, 2, 0);  // relative to the cursor at (2, 1)
  EXPECT_EQ(page_pixel32(0, 5, 5), 0xFFABCDEFu);
  gfx_pset(nullptr, -1, 0, 0xFFFFFFFFu, 0, 0);  // outside: nothing, no fault
  gfx_pset(nullptr, 16, 15, 0xFFFFFFFFu, 0, 0);
  EXPECT_FALSE(row_is(0, 15, 15, 16, 0xFFFFFFFFu));
}

TEST_F(Primitives, SetPagesReturnsThePreviousPages) {
  EXPECT_EQ(gfx_set_pages(0, 0), -1);
  open(32, 8, 32, 2);
  clear_dirty();
  EXPECT_EQ(gfx_set_pages(1, 0), 0);
  EXPECT_EQ(dirty_count(), 0);
  EXPECT_EQ(gfx_get_context()->line_table[0], screen_state->page_buffers[1]);

  EXPECT_EQ(gfx_set_pages(-1, 1), 1);  // only the visible page changes
  EXPECT_EQ(dirty_count(), 8);
  EXPECT_EQ(screen_state->visible_pixels, screen_state->page_buffers[1]);
  EXPECT_EQ(gfx_get_context()->work_page, 1);

  EXPECT_EQ(gfx_set_pages(5, 9), 1 + 256);  // out of range: unchanged
  EXPECT_EQ(gfx_set_pages(-1, -1), 1 + 256);
  EXPECT_EQ(gfx_set_pages(0, -1), 0);
  EXPECT_EQ(screen_state->visible_page, 0);
  EXPECT_EQ(rt_page_set(0, 1), 0);  // through the hook
  EXPECT_EQ(screen_state->visible_page, 1);
}

TEST_F(Primitives, ClearWithoutViewsClearsEverything) {
  open(640, 480, 32);
  set_text_view(0, 0);
  scribble(0);
  clear_dirty();
  screen_state->console_row = 7;
  screen_state->console_column = 9;
  screen_state->flags |= kScreenPendingNewline;
  rt_cls(ZQ_OMITTED);
  for (int y = 0; y < 480; ++y) ASSERT_TRUE(row_is(0, y, 0, 640, 0xFF000000u)) << y;
  EXPECT_EQ(dirty_count(), 480);
  EXPECT_EQ(gfx_point(nullptr, 0, kPointCursorQuery), 320u);
  EXPECT_EQ(gfx_point(nullptr, 1, kPointCursorQuery), 240u);
  EXPECT_EQ(screen_state->console_row, 0);
  EXPECT_EQ(screen_state->console_column, 0);
  EXPECT_EQ(screen_state->flags & kScreenPendingNewline, 0u);
  EXPECT_EQ(cell(0, 79, 59).ch, 32u);
  EXPECT_EQ(cell(0, 0, 0).foreground, 0xFFFFFFFFu);
  EXPECT_EQ(cell(0, 0, 0).background, 0xFF000000u);
}

TEST_F(Primitives, ClearWithAViewClearsOnlyTheView) {
  open(64, 48, 32);
  gfx_view(8, 8, 23, 15, 0, 0, kViewNoBorder | INT32_MIN);
  scribble(0);
  screen_state->console_row = 3;
  gfx_cls(ZQ_OMITTED);
  EXPECT_TRUE(row_is(0, 8, 8, 24, 0xFF000000u));
  EXPECT_TRUE(row_is(0, 15, 8, 24, 0xFF000000u));
  EXPECT_TRUE(row_is(0, 16, 8, 24, 0x5A5A5A5Au));
  EXPECT_TRUE(row_is(0, 8, 24, 25, 0x5A5A5A5Au));
  EXPECT_EQ(gfx_point(nullptr, 0, kPointCursorQuery), 16u);
  EXPECT_EQ(gfx_point(nullptr, 1, kPointCursorQuery), 12u);
  EXPECT_EQ(screen_state->console_row, 3);
  EXPECT_EQ(cell(0, 0, 0).ch, uint32_t('x'));
}

TEST_F(Primitives, ClearOfTheTextViewClearsItsRowsAndCells) {
  open(64, 48, 32, 2);
  gfx_set_pages(1, 0);  // the text cells and pixels of the work page
  set_text_view(3, 4);  // rows 2 and 3
  scribble(1);
  gfx_pset(nullptr, 5, 5, 0xFFFFFFFFu, 0, 0);
  clear_dirty();
  rt_cls(ZQ_OMITTED);
  EXPECT_TRUE(row_is(1, 15, 0, 64, 0x5A5A5A5Au));
  for (int y = 16; y < 32; ++y) EXPECT_TRUE(row_is(1, y, 0, 64, 0xFF000000u)) << y;
  EXPECT_TRUE(row_is(1, 32, 0, 64, 0x5A5A5A5Au));
  EXPECT_EQ(dirty_count(), 0);  // a hidden page
  EXPECT_EQ(cell(1, 0, 1).ch, uint32_t('x'));
  EXPECT_EQ(cell(1, 7, 3).ch, 32u);
  EXPECT_EQ(cell(1, 0, 4).ch, uint32_t('x'));
  EXPECT_EQ(screen_state->console_row, 2);
  EXPECT_EQ(gfx_point(nullptr, 0, kPointCursorQuery), 5u);  // the graphics cursor stays
  gfx_cls(0);  // everything, whatever the text view
  EXPECT_TRUE(row_is(1, 0, 0, 64, 0xFF000000u));
  EXPECT_EQ(screen_state->console_row, 2);  // the text view's top row
}

TEST_F(Primitives, ViewDrawsItsBorderAndFill) {
  open(16, 16, 32);
  gfx_view(2, 3, 5, 6, 0xFF0000FFu, 0xFFFF0000u, 0);
  GfxContext* ctx = gfx_get_context();
  EXPECT_EQ(std::vector<int>({ctx->view.x, ctx->view.y, ctx->view.width, ctx->view.height}),
            (std::vector<int>{2, 3, 4, 4}));
  EXPECT_TRUE(row_is(0, 2, 1, 7, 0xFFFF0000u));
  EXPECT_TRUE(row_is(0, 7, 1, 7, 0xFFFF0000u));
  EXPECT_EQ(page_pixel32(0, 1, 4), 0xFFFF0000u);
  EXPECT_EQ(page_pixel32(0, 6, 4), 0xFFFF0000u);
  EXPECT_TRUE(row_is(0, 4, 2, 6, 0xFF0000FFu));
  EXPECT_EQ(page_pixel32(0, 7, 4), 0xFF000000u);
  EXPECT_EQ(ctx->background, 0xFF000000u);  // the fill colour was for this call only

  gfx_pset(nullptr, 0, 0, 0xFFFFFFFFu, 0, 0);  // relative view: (0, 0) is the view's corner
  EXPECT_EQ(page_pixel32(0, 2, 3), 0xFFFFFFFFu);
  gfx_view(2, 3, 5, 6, 0, 0, kViewAbsolute | kViewNoBorder | INT32_MIN);
  EXPECT_EQ(gfx_point(nullptr, 0, 0), 0xFFFFFFFFu);  // absolute: outside the view

  gfx_view(10, -40, 99, 12, 0, 0xFFFFFFFFu, INT32_MIN);  // clipped border, no fill
  EXPECT_TRUE(row_is(0, 13, 9, 16, 0xFFFFFFFFu));
  EXPECT_EQ(std::vector<int>({ctx->view.x, ctx->view.y, ctx->view.width, ctx->view.height}),
            (std::vector<int>{10, 0, 6, 13}));
  gfx_view(INT32_MIN, INT32_MIN, -20, -20, 0, 0, INT32_MIN);  // wholly off the screen
  EXPECT_EQ(ctx->view.width, 0);
  EXPECT_EQ(ctx->view.height, 0);
  gfx_view(-32768, -32768, -32768, -32768, 0, 0, 0);
  EXPECT_EQ(std::vector<int>({ctx->view.x, ctx->view.y, ctx->view.width, ctx->view.height}),
            (std::vector<int>{0, 0, 16, 16}));
  EXPECT_EQ(ctx->flags & kCtxViewSet, 0u);
}

TEST_F(Primitives, PageCopyCopiesTheViewAndTheTextCells) {
  EXPECT_EQ(gfx_page_copy(0, 1), 1);
  open(32, 16, 32, 3);
  scribble(2);
  gfx_view(4, 4, 11, 7, 0, 0, kViewNoBorder | INT32_MIN);
  clear_dirty();
  EXPECT_EQ(gfx_page_copy(2, 1), 0);  // onto a hidden page
  EXPECT_EQ(dirty_count(), 0);
  EXPECT_TRUE(row_is(1, 4, 4, 12, 0x5A5A5A5Au));
  EXPECT_TRUE(row_is(1, 4, 12, 13, 0xFF000000u));
  EXPECT_TRUE(row_is(1, 3, 4, 12, 0xFF000000u));
  EXPECT_EQ(cell(1, 3, 1).ch, uint32_t('x'));

  EXPECT_EQ(gfx_page_copy(2, -1), 0);  // onto the visible page
  EXPECT_EQ(dirty_count(), 4);
  EXPECT_EQ(screen_state->dirty_rows[4], 1);
  EXPECT_TRUE(row_is(0, 7, 4, 12, 0x5A5A5A5Au));

  EXPECT_EQ(gfx_page_copy(1, 1), 0);
  EXPECT_EQ(gfx_page_copy(3, 0), 1);
  EXPECT_EQ(rt_get_error(), 1);
  EXPECT_EQ(gfx_page_copy(0, 3), 1);

  use_driver(flipping_driver);
  EXPECT_EQ(gfx_page_copy(2, 0), 1);
  EXPECT_EQ(counts.flips, 1);
  EXPECT_EQ(counts.polls, 1);
  screen_state->driver = &null_driver;
}

}  // namespace
