// The text console's cursor and text cells.
#include "gfx/console.h"

#include <algorithm>
#include <cstddef>

#include "drivers/screen_state.h"
#include "gfx/context.h"

void gfx_console_clear_cells(int first_row, int last_row) {
  ScreenState* s = screen_state;
  if (!s || !s->text_cells) return;
  GfxContext* ctx = gfx_get_context();
  TextCell* cells = s->text_cells[ctx->work_page];
  first_row = std::max(first_row, 0);
  last_row = std::min(last_row, s->text_rows - 1);
  if (!cells || first_row > last_row || s->text_columns <= 0) return;
  const TextCell blank{32, ctx->foreground, ctx->background};
  size_t columns = size_t(s->text_columns);
  std::fill(cells + size_t(first_row) * columns, cells + size_t(last_row + 1) * columns, blank);
}

void gfx_console_move_cursor(int row, int column) {
  ScreenState* s = screen_state;
  if (!s) return;
  s->console_row = row;
  s->console_column = column;
  s->flags &= ~kScreenPendingNewline;
}
