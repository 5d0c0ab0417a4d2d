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

struct StringValue;

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

// Slot 5. Moves the cursor to row, column (1-based; values below 1 keep the
// current one, values past the console stop at its last row and column) and
// drops a pending newline. Returns the new position as
// ((row - 1) & 0xFF) << 8 | ((column - 1) & 0xFF), plus 0x101.
int gfx_console_locate(int row, int column, int cursor_visibility);

// Slot 6. Changes the console to columns x rows (0 or less: keep that one)
// when that gives 8-pixel-wide cells 8, 14 or 16 pixels high; then the font,
// cells, view and print area are reset and the screen cleared. Returns the
// size before the call as columns + (rows << 16).
int gfx_console_set_size(int columns, int rows);

// Slots 7 to 10: the cursor (1-based) and the console's size in cells.
// Pointers may be null.
int gfx_console_column();
int gfx_console_row();
void gfx_console_get_cursor(int* column, int* row);
void gfx_console_get_size(int* columns, int* rows);

// Slot 11. Writes bytes as text at the cursor: 7 rings the bell, 8 moves
// left, 9 tabs to the next multiple of 8, 10 starts the next row, 13 returns
// to column 0; every other byte is drawn with its glyph. flags
// kConsoleWriteFlush makes an empty write carry out a pending newline.
void gfx_console_write(const uint8_t* bytes, int count, int flags);

// Slot 12. 16-bit text: codes below 256 as they are, anything else "?", a
// surrogate pair giving one "?".
void gfx_console_write_wide(const uint16_t* chars, int count, int flags);

// Slot 13. Reads keys into buffer (size bytes with the terminating zero)
// until Enter, echoing them with a block cursor; the Enter is stored as 13
// when there is room for it. Returns buffer, or null with no screen or no
// room at all.
char* gfx_console_read_line(char* buffer, int size);

// Slots 20 and 21: line input with an optional prompt and "? ". Return the
// runtime error number (0, 4 when no line could be read, 1 for a
// destination that cannot be written).
int gfx_console_input(StringValue* prompt, void* destination, int destination_size, int assign_flag,
                      int question_mark, int line_end);
int gfx_console_input_wide(const uint16_t* prompt, uint16_t* destination, int destination_size,
                           int question_mark, int line_end);

// Slot 22. The character (colour_flag 0) or the colour of the work page's
// cell at column, row (1-based); 0 outside the console or with no screen.
int gfx_console_read_cell(int column, int row, int colour_flag);
