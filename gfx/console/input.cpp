// Reading lines on the console: the line reader with its block cursor, and
// the line input entries, which print their prompt and store the line
// through the runtime.
#include "drivers/screen_state.h"
#include "gfx/console/console.h"
#include "runtime/rt_console.h"
#include "runtime/rt_input.h"

namespace {

constexpr int kBackspace = 8;
constexpr int kBell = 7;
constexpr int kEnter = 13;

void print_bytes(const uint8_t* bytes, int count) { gfx_console_write(bytes, count, 0); }

void print_byte(uint8_t byte) { print_bytes(&byte, 1); }

// Moves the cursor back onto the cell written last, across the start of a
// row; false (the cursor stays) at the top-left cell. A pending newline
// means the cursor already stands on the bottom-right cell just written.
bool step_back() {
  ScreenState* s = screen_state;
  if (s->flags & kScreenPendingNewline) {
    s->flags &= ~kScreenPendingNewline;
    return true;
  }
  if (s->console_column > 0) {
    --s->console_column;
    return true;
  }
  if (s->console_row > 0) {
    --s->console_row;
    s->console_column = s->text_columns - 1;
    return true;
  }
  return false;
}

// The block cursor on the current cell, the cursor staying on it.
void show_block() {
  print_byte(kConsoleBlock);
  step_back();
}

// Takes back the character before the block: the block moves onto it and a
// space replaces the old block.
void erase_previous() {
  if (!step_back()) {
    show_block();
    return;
  }
  static const uint8_t kBlockThenSpace[2] = {kConsoleBlock, ' '};
  print_bytes(kBlockThenSpace, 2);
  step_back();
  step_back();
}

}  // namespace

char* gfx_console_read_line(char* buffer, int size) {
  if (!screen_state || !buffer || size < 1) return nullptr;
  int used = 0;
  bool block_shown = false;
  for (;;) {
    if (!block_shown) show_block();
    block_shown = true;
    const int code = rt_getkey();
    if (code == 0) break;  // the keyboard is gone
    if (code > 255 || code == kBell) continue;
    if (code == kBackspace) {
      if (used > 0) {
        --used;
        erase_previous();
      }
      continue;
    }
    if (code == kEnter) {
      // The block is erased even when the buffer is full; the Enter itself
      // is kept only when there is room for it.
      print_byte(' ');
      step_back();
      if (used < size - 1) buffer[used++] = char(kEnter);
      print_byte(kEnter);
      break;
    }
    if (used >= size - 1) continue;  // full: nothing more is taken
    buffer[used++] = char(code);
    print_byte(uint8_t(code));
    block_shown = false;
  }
  buffer[used] = '\0';
  return buffer;
}

int gfx_console_input(StringValue* prompt, void* destination, int destination_size, int assign_flag,
                      int question_mark, int line_end) {
  gfx_console_write(nullptr, 0, kConsoleWriteFlush);
  return rt_console_input(prompt, destination, destination_size, assign_flag, question_mark, line_end);
}

int gfx_console_input_wide(const uint16_t* prompt, uint16_t* destination, int destination_size,
                           int question_mark, int line_end) {
  gfx_console_write(nullptr, 0, kConsoleWriteFlush);
  return rt_console_input_wide(prompt, destination, destination_size, question_mark, line_end);
}
