// The console and keyboard entries: each goes to its hook slot while a
// graphics screen fills it, else to the runtime's own terminal version. Also
// the text view (print area) and the cursor and width rules built on it.
#include "runtime/rt_console.h"

#include <initializer_list>

#include "runtime/rt_core.h"
#include "runtime/rt_file.h"
#include "runtime/rt_hooks.h"
#include "runtime/rt_internal.h"
#include "runtime/rt_string.h"
#include "runtime/rt_terminal.h"

namespace {

constexpr int kDefaultColumns = 80;
constexpr int kDefaultRows = 25;

// 0-based first and last row of the text view, -1 while not set.
int g_view_top = -1;
int g_view_bottom = -1;
int g_screen_line_width;

void console_size(int* columns, int* rows) {
  int c = 0;
  int r = 0;
  rt_get_size(&c, &r);
  *columns = c > 0 ? c : kDefaultColumns;
  *rows = r > 0 ? r : kDefaultRows;
}

// The console's size and its text view (0-based first and last row, as
// rt_text_view reports them), which placing the cursor and moving the view
// check against.
struct ConsoleFrame {
  int columns = 0, rows = 0, top = 0, bottom = 0;
};
ConsoleFrame console_frame() {
  ConsoleFrame f;
  console_size(&f.columns, &f.rows);
  rt_text_view(&f.top, &f.bottom);
  return f;
}

int locate_core(int row, int column, int cursor) {
  return rt_hooks.locate ? rt_hooks.locate(row, column, cursor) : term_locate(row, column, cursor);
}

}  // namespace

void rt_console_reset() {
  g_view_top = -1;
  g_view_bottom = -1;
  g_screen_line_width = 0;
}

int rt_screen_line_width() { return g_screen_line_width; }

StringValue* rt_inkey() { return rt_hooks.inkey ? rt_hooks.inkey() : term_inkey(); }

int rt_getkey() { return rt_hooks.wait_key ? rt_hooks.wait_key() : term_wait_key(); }

int rt_keyhit() { return rt_hooks.key_waiting ? rt_hooks.key_waiting() : term_key_waiting(); }

void rt_cls(int how) {
  if (rt_hooks.cls) {
    rt_hooks.cls(how);
  } else {
    term_cls(how);
  }
  rt_set_screen_column(0);
}

int rt_locate(int row, int column, int cursor, int, int) {
  const ConsoleFrame f = console_frame();
  const bool row_bad = row != 0 && (row < f.top + 1 || row > f.bottom + 1);
  const bool column_bad = column != 0 && (column < 1 || column > f.columns);
  if (row_bad || column_bad) {
    if (row_bad)
      rt_fail(ZQ_ERR_ILLEGAL_CALL, "row %d outside the text view (%d to %d)", row, f.top + 1, f.bottom + 1);
    else
      rt_fail(ZQ_ERR_ILLEGAL_CALL, "column %d outside the text view (1 to %d)", column, f.columns);
    // Only the cursor setting still applies.
    return locate_core(0, 0, cursor);
  }
  const int result = locate_core(row, column, cursor);
  if (column != 0) rt_set_screen_column(column - 1);
  rt_set_error(ZQ_OK);
  return result;
}

int rt_width(int columns, int rows) {
  const int result =
      rt_hooks.set_size ? rt_hooks.set_size(columns, rows) : term_set_size(columns, rows);
  if (columns > 0) g_screen_line_width = columns;
  if (columns >= 1 || rows >= 1) rt_set_text_view(0, 0, 1);
  return result;
}

void rt_get_cursor(int* column, int* row) {
  if (rt_hooks.get_cursor) {
    rt_hooks.get_cursor(column, row);
  } else {
    term_get_cursor(column, row);
  }
}

void rt_get_size(int* columns, int* rows) {
  if (rt_hooks.get_size) {
    rt_hooks.get_size(columns, rows);
  } else {
    term_get_size(columns, rows);
  }
}

void rt_write(const uint8_t* bytes, int count, int flags) {
  if (rt_hooks.write) {
    rt_hooks.write(bytes, count, flags);
  } else {
    term_write(bytes, count, flags);
  }
}

void rt_write_wide(const uint16_t* chars, int count, int flags) {
  if (rt_hooks.write_wide) {
    rt_hooks.write_wide(chars, count, flags);
  } else {
    term_write_wide(chars, count, flags);
  }
}

// A key that is down reads as -1 whatever non-zero value the hook gives. The
// terminal cannot tell which keys are held, so without a hook nothing is down.
int rt_multikey(int scancode) {
  if (!rt_hooks.multikey) return 0;
  return rt_hooks.multikey(scancode) != 0 ? -1 : 0;
}

int rt_get_mouse(int* x, int* y, int* wheel, int* buttons, int* clip) {
  if (rt_hooks.get_mouse) return rt_report(rt_hooks.get_mouse(x, y, wheel, buttons, clip));
  // The terminal has no mouse.
  for (int* out : {x, y, wheel, buttons, clip}) {
    if (out) *out = -1;
  }
  return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no screen open: the terminal has no pointer");
}

int rt_set_mouse(int x, int y, int cursor, int clip) {
  if (!rt_hooks.set_mouse) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no screen open: the terminal has no pointer");
  return rt_report(rt_hooks.set_mouse(x, y, cursor, clip));
}

void rt_sleep(int milliseconds) {
  if (rt_hooks.sleep) {
    rt_hooks.sleep(milliseconds);
  } else {
    term_sleep(milliseconds);
  }
}

int rt_page_set(int work, int visible) {
  if (rt_hooks.set_pages) return rt_hooks.set_pages(work, visible);
  if (term_set_pages(work, visible) != ZQ_OK)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "pages %d and %d: the text screen has only page 0", work, visible);
  return rt_set_error(ZQ_OK);
}

int rt_console_column() { return rt_hooks.column ? rt_hooks.column() : term_column(); }

int rt_set_text_view(int first, int last, int move_cursor) {
  const ConsoleFrame f = console_frame();
  const int new_first = first > 0 ? first : first == 0 ? 1 : f.top + 1;
  const int new_last = last > 0 ? last : last == 0 ? f.rows : f.bottom + 1;
  if (new_last < new_first || new_first <= 0 || new_last <= 0 || new_first > f.rows || new_last > f.rows) {
    return 0;
  }
  if (first >= 0 || last >= 0) {
    g_view_top = new_first - 1;
    g_view_bottom = new_last - 1;
    // Slot 19 only hears of the change; the terminal has nothing to adjust.
    if (rt_hooks.view_changed) rt_hooks.view_changed(g_view_top, g_view_bottom);
    if (move_cursor) rt_locate(new_first, 1, -1, 0, 0);
  }
  return int(unsigned(new_first) + unsigned(new_last) * 65536u);
}

void rt_text_view_unset() {
  g_view_top = -1;
  g_view_bottom = -1;
}

void rt_text_view(int* top, int* bottom) {
  int resolved_top = g_view_top >= 0 ? g_view_top : 0;
  int resolved_bottom = g_view_bottom;
  if (resolved_bottom < 0) {
    int columns = 0;
    int rows = 0;
    rt_get_size(&columns, &rows);
    resolved_bottom = rows > 0 ? rows - 1 : kDefaultRows - 1;
  }
  if (top) *top = resolved_top;
  if (bottom) *bottom = resolved_bottom;
}

void rt_set_screen_column(int column) { rt_file_entry(0)->text_column = column; }

int rt_screen_column() { return rt_file_entry(0)->text_column; }
