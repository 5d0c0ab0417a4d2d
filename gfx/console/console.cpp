// The text console's cursor, size, font and text cells, and the cell reads.
// Writing is in console_write.cpp, line input in console_input.cpp.
#include "gfx/console/console.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "drivers/screen_state.h"
#include "gfx/draw/context.h"
#include "gfx/draw/primitives.h"
#include "gfx/screen/builtin_data.h"
#include "runtime/rt_console.h"

namespace {

const FontDescriptor* font_of_height(int height) {
  switch (height) {
    case 8: return &builtin_font_8x8;
    case 14: return &builtin_font_8x14;
    case 16: return &builtin_font_8x16;
    default: return nullptr;
  }
}

// 5-6-5 to 0xFFRRGGBB, each component's top bits repeated into its low bits.
uint32_t widen_565(uint32_t v) {
  const uint32_t r = (v >> 11) & 0x1F, g = (v >> 5) & 0x3F, b = v & 0x1F;
  return 0xFF000000u | (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

}  // namespace

size_t gfx_console_cell_count(const ScreenState* s) {
  return size_t(std::max(s->text_columns, 0)) * size_t(std::max(s->text_rows, 0));
}

TextCell& gfx_console_blank_record(const ScreenState* s, TextCell* page) { return page[gfx_console_cell_count(s)]; }

void gfx_console_forget_blank(const ScreenState* s, TextCell* page) { gfx_console_blank_record(s, page) = TextCell{}; }

void gfx_console_free_cells(ScreenState* s) {
  if (!s->text_cells) return;
  for (int i = 0; i < s->page_count; ++i) std::free(s->text_cells[i]);
  std::free(s->text_cells);
  s->text_cells = nullptr;
}

bool gfx_console_new_cells(ScreenState* s, const GfxContext* ctx, int columns, int rows) {
  const size_t cells = size_t(std::max(columns, 0)) * size_t(std::max(rows, 0));
  auto** pages = static_cast<TextCell**>(std::calloc(size_t(s->page_count), sizeof(TextCell*)));
  bool ok = pages != nullptr;
  for (int i = 0; ok && i < s->page_count; ++i) {
    pages[i] = static_cast<TextCell*>(std::calloc(cells + 1, sizeof(TextCell)));
    ok = pages[i] != nullptr;
  }
  if (!ok) {
    for (int i = 0; pages && i < s->page_count; ++i) std::free(pages[i]);
    std::free(pages);
    return false;
  }
  // The work page's cells and its blank record alike.
  std::fill_n(pages[ctx->work_page], cells + 1, TextCell{32, ctx->foreground, ctx->background});
  gfx_console_free_cells(s);
  s->text_cells = pages;
  return true;
}

void gfx_console_clear_cells(int first_row, int last_row) {
  ScreenState* s = screen_state;
  if (!s || !s->text_cells) return;
  GfxContext* ctx = gfx_get_context();
  TextCell* cells = s->text_cells[ctx->work_page];
  first_row = std::max(first_row, 0);
  last_row = std::min(last_row, s->text_rows - 1);
  if (!cells || first_row > last_row || s->text_columns <= 0) return;
  const TextCell blank{32, ctx->foreground, ctx->background};
  TextCell& record = gfx_console_blank_record(s, cells);
  if (std::memcmp(&record, &blank, sizeof blank) == 0) return;  // every cell holds it already
  size_t columns = size_t(s->text_columns);
  // One row cell by cell, then the blank part copied onto the rest, doubling
  // each time: block copies instead of a 12-byte store per cell.
  TextCell* first = cells + size_t(first_row) * columns;
  size_t total = size_t(last_row - first_row + 1) * columns, done = columns;
  std::fill(first, first + columns, blank);
  while (done < total) {
    size_t n = std::min(done, total - done);
    gfx_mem_copy(first + done, first, n * sizeof(TextCell));
    done += n;
  }
  const bool whole_page = first_row == 0 && last_row == s->text_rows - 1;
  record = whole_page ? blank : TextCell{};
}

void gfx_console_move_cursor(int row, int column) {
  ScreenState* s = screen_state;
  if (!s) return;
  s->console_row = row;
  s->console_column = column;
  s->flags &= ~kScreenPendingNewline;
}

int gfx_console_locate(int row, int column, int) {
  ScreenState* s = screen_state;
  if (!s) return 0;
  s->flags &= ~kScreenPendingNewline;
  // The cursor never leaves the cells: a write there would draw outside them.
  if (column >= 1) s->console_column = std::min(column, std::max(s->text_columns, 1)) - 1;
  if (row >= 1) s->console_row = std::min(row, std::max(s->text_rows, 1)) - 1;
  rt_set_screen_column(s->console_column);
  return int((unsigned(s->console_row) & 0xFF) << 8 | (unsigned(s->console_column) & 0xFF)) + 0x101;
}

int gfx_console_set_size(int columns, int rows) {
  ScreenState* s = screen_state;
  if (!s) return 0;
  const int previous = s->text_columns + (s->text_rows << 16);
  if (columns <= 0 && rows <= 0) return previous;
  const int cell_width = columns > 0 ? s->width / columns : s->font ? s->font->width : 8;
  const int cell_height = rows > 0 ? s->height / rows : s->font ? s->font->height : 8;
  const FontDescriptor* font = cell_width == 8 ? font_of_height(cell_height) : nullptr;
  if (!font) return previous;
  const int new_columns = columns > 0 ? columns : s->text_columns;
  const int new_rows = rows > 0 ? rows : s->text_rows;
  GfxContext* ctx = gfx_get_context();
  if (!gfx_console_new_cells(s, ctx, new_columns, new_rows)) return previous;
  s->font = font;
  s->text_columns = new_columns;
  s->text_rows = new_rows;
  gfx_view(kViewNoCoordinate, kViewNoCoordinate, kViewNoCoordinate, kViewNoCoordinate, 0, 0, 0);
  rt_set_text_view(0, 0, 0);
  gfx_cls(0);
  return previous;
}

int gfx_console_column() { return screen_state ? screen_state->console_column + 1 : 0; }

int gfx_console_row() { return screen_state ? screen_state->console_row + 1 : 0; }

void gfx_console_get_cursor(int* column, int* row) {
  if (column) *column = gfx_console_column();
  if (row) *row = gfx_console_row();
}

void gfx_console_get_size(int* columns, int* rows) {
  const ScreenState* s = screen_state;
  if (columns) *columns = s ? s->text_columns : 0;
  if (rows) *rows = s ? s->text_rows : 0;
}

int gfx_console_read_cell(int column, int row, int colour_flag) {
  const ScreenState* s = screen_state;
  if (!s || !s->text_cells || column < 1 || column > s->text_columns || row < 1 || row > s->text_rows)
    return 0;
  const TextCell& cell =
      s->text_cells[gfx_get_context()->work_page][size_t(row - 1) * size_t(s->text_columns) + size_t(column - 1)];
  if (colour_flag == 0) return int(cell.ch & 0xFFFF);
  if (s->depth <= 4) return int(cell.foreground + cell.background * 16);
  if (s->depth <= 8) return int(cell.foreground + cell.background * 256);
  const uint32_t colour = colour_flag == 2 ? cell.background : cell.foreground;
  return int(s->depth == 16 ? widen_565(colour) : colour);
}
