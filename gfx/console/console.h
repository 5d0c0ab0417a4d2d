// The text console on the graphics screen: a character-cell console drawn
// into the work page with the screen's built-in font. It has a cursor,
// wraps and scrolls inside the runtime's text view, remembers each cell's
// character and colours per page, and reads lines with an on-screen block
// cursor. These are the graphics library's answers to the runtime's console
// hook slots 5-13 and 20-22.
//
// Rows and columns are 0-based inside the console and 1-based wherever they
// meet the runtime (locate, the cursor queries, cell reads).
#pragma once
#include <cstdint>

// The slot entries (5 gfx_console_locate, 6 gfx_console_set_size, 7-10 the
// cursor and size queries, 11-12 the writers, 13 gfx_console_read_line,
// 20-21 the line inputs, 22 gfx_console_read_cell) are declared and described
// in the public header.
#include "zentravolk/console.h"

// Write flag: carry out a pending newline even when there is nothing to write.
constexpr int kConsoleWriteFlush = 0x8;
// The cursor block the line reader shows, and the character that is drawn as
// an underline when printed on its own.
constexpr uint8_t kConsoleBlock = 219;
constexpr uint8_t kConsoleUnderline = 255;
// Printable bytes are drawn in runs of at most this many.
constexpr int kConsoleRunLength = 1024;

// Fills the work page's text cells of rows first_row..last_row (0-based,
// limited to the console) with spaces in the drawing context's colours.
void gfx_console_clear_cells(int first_row, int last_row);

// Puts the console cursor at a 0-based row and column and drops a pending
// newline, so the next character is written exactly there.
void gfx_console_move_cursor(int row, int column);
