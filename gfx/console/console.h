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
#include <cstddef>
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

// Each page's text cells are followed by one more, the page's blank record:
// a space in the colours every cell of the page holds when the page is known
// to be all such spaces, and a cell of character 0 otherwise. A clear of a
// page already blank in its colours then writes nothing, so a page cleared
// every frame costs its pixels alone. Whatever writes a page's cells forgets
// its record; a page copy copies the record with the cells.
struct ScreenState;
struct GfxContext;
struct TextCell;

// The cells of one page, without the blank record.
size_t gfx_console_cell_count(const ScreenState* s);
// The blank record of a page's cells.
TextCell& gfx_console_blank_record(const ScreenState* s, TextCell* page);
// Forgets that a page's cells are blank: for whatever writes them.
void gfx_console_forget_blank(const ScreenState* s, TextCell* page);

// New text cells (and blank records) for every page at columns x rows,
// replacing the screen's; the work page's hold spaces in the context's
// colours, the others zeros. On failure nothing is changed.
bool gfx_console_new_cells(ScreenState* s, const GfxContext* ctx, int columns, int rows);
// Frees the text cells of every page.
void gfx_console_free_cells(ScreenState* s);

// Fills the work page's text cells of rows first_row..last_row (0-based,
// limited to the console) with spaces in the drawing context's colours.
void gfx_console_clear_cells(int first_row, int last_row);

// Puts the console cursor at a 0-based row and column and drops a pending
// newline, so the next character is written exactly there.
void gfx_console_move_cursor(int row, int column);
