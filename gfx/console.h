// The text console on the graphics screen: its cursor and the text cells
// that remember what each character cell of a page shows.
#pragma once

// Fills the work page's text cells of rows first_row..last_row (0-based,
// limited to the console) with spaces in the drawing context's colours.
void gfx_console_clear_cells(int first_row, int last_row);

// Puts the console cursor at a 0-based row and column and drops a pending
// newline, so the next character is written exactly there.
void gfx_console_move_cursor(int row, int column);
