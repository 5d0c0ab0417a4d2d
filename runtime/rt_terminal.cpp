// The runtime's own text screen: standard output, with the cursor tracked so
// that column queries and print zones work without a graphics screen.
#include "runtime/rt_terminal.h"

#include <unistd.h>

#include <cstdio>

#include "runtime/rt_internal.h"

namespace {

struct TerminalState {
  int columns = 80;
  int rows = 25;
  int column = 1;  // 1-based cursor
  int row = 1;
};

TerminalState g_term;

bool output_is_terminal() { return isatty(STDOUT_FILENO) == 1; }

void emit(const char* bytes, size_t count) {
  std::fwrite(bytes, 1, count, stdout);
  std::fflush(stdout);
}

void next_row() {
  if (g_term.row < g_term.rows) ++g_term.row;
}

void track(uint8_t byte) {
  switch (byte) {
    case '\n':
      next_row();
      g_term.column = 1;
      break;
    case '\r':
      g_term.column = 1;
      break;
    case '\b':
      if (g_term.column > 1) --g_term.column;
      break;
    case '\t':
      g_term.column = ((g_term.column - 1) / 8 + 1) * 8 + 1;
      break;
    case 7:
      break;
    default:
      ++g_term.column;
      break;
  }
  if (g_term.column > g_term.columns) {
    g_term.column = 1;
    next_row();
  }
}

}  // namespace

void rt_terminal_reset() { g_term = TerminalState{}; }

void term_cls(int) {
  if (output_is_terminal()) {
    static const char kClear[] = "\x1b[2J\x1b[H";
    emit(kClear, sizeof kClear - 1);
  }
  g_term.column = 1;
  g_term.row = 1;
}

int term_locate(int row, int column, int cursor) {
  if (row > 0) g_term.row = row;
  if (column > 0) g_term.column = column;
  if (output_is_terminal()) {
    char text[48];
    int length = std::snprintf(text, sizeof text, "\x1b[%d;%dH", g_term.row, g_term.column);
    if (cursor == 0) {
      length += std::snprintf(text + length, sizeof text - size_t(length), "\x1b[?25l");
    } else if (cursor > 0) {
      length += std::snprintf(text + length, sizeof text - size_t(length), "\x1b[?25h");
    }
    emit(text, size_t(length));
  }
  // Same packing as the graphics console: 1-based row and column, 8 bits each.
  return int(((unsigned(g_term.row - 1) & 0xFF) << 8 | (unsigned(g_term.column - 1) & 0xFF)) +
             0x101);
}

int term_set_size(int columns, int rows) {
  const int previous = int(unsigned(g_term.columns) & 0xFFFF) | int((unsigned(g_term.rows) & 0xFFFF) << 16);
  if (columns > 0 && columns <= 0xFFFF) g_term.columns = columns;
  if (rows > 0 && rows <= 0xFFFF) g_term.rows = rows;
  if (g_term.column > g_term.columns) g_term.column = g_term.columns;
  if (g_term.row > g_term.rows) g_term.row = g_term.rows;
  return previous;
}

int term_column() { return g_term.column; }

void term_get_cursor(int* column, int* row) {
  if (column) *column = g_term.column;
  if (row) *row = g_term.row;
}

void term_get_size(int* columns, int* rows) {
  if (columns) *columns = g_term.columns;
  if (rows) *rows = g_term.rows;
}

void term_write(const uint8_t* bytes, int count, int) {
  if (!bytes || count <= 0) return;
  emit(reinterpret_cast<const char*>(bytes), size_t(count));
  for (int i = 0; i < count; ++i) track(bytes[i]);
}

// 16-bit text becomes bytes: codes below 256 as they are, anything else "?",
// a surrogate pair giving a single "?".
void term_write_wide(const uint16_t* chars, int count, int flags) {
  if (!chars || count <= 0) return;
  uint8_t piece[256];
  int used = 0;
  for (int i = 0; i < count; ++i) {
    const uint16_t c = chars[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count) ++i;
    piece[used++] = c < 256 ? uint8_t(c) : uint8_t('?');
    if (used == int(sizeof piece)) {
      term_write(piece, used, flags);
      used = 0;
    }
  }
  term_write(piece, used, flags);
}

// The text screen has one page.
int term_set_pages(int work, int visible) {
  const bool valid = (work == -1 || work == 0) && (visible == -1 || visible == 0);
  return valid ? 0 : 1;
}
