/**
 * @file zentravolk/console.h
 * @brief The text console on the graphics screen.
 *
 * While a screen is open, the runtime's console calls (rt_print() to file 0,
 * rt_locate(), rt_width(), rt_input(), ...) draw here; these are the
 * console's own entries, for programs that want them directly.
 */
#ifndef ZENTRAVOLK_CONSOLE_H
#define ZENTRAVOLK_CONSOLE_H

#include <stdint.h>

#include "zentravolk/common.h"
#include "zentravolk/runtime.h"

ZQ_BEGIN_DECLS

/** @defgroup zq_console Text console
 *  @brief A character-cell console drawn into the work page.
 *
 * The console draws with the screen's built-in font (8 x 8, 8 x 14 or
 * 8 x 16 cells) in the default colours of gfx_colour(). It has a cursor,
 * wraps and scrolls inside the runtime's text view (rt_set_text_view()),
 * remembers each cell's character and colours per page, and reads lines
 * with an on-screen block cursor. Rows and columns are 1-based here. With no
 * screen open these entries do nothing and return 0 (null for
 * gfx_console_read_line()).
 *  @{
 */

/** Moves the text cursor.
 *  @param row,column 1-based; below 1 keeps the current one; past the
 *         console stops at its last row or column.
 *  @param cursor_visibility ignored.
 *  @return the new position as (row - 1) x 256 + (column - 1) + 0x101. */
ZQ_API int gfx_console_locate(int row, int column, int cursor_visibility);

/** Changes the console's size in cells. Accepted when the cells come out 8
 *  pixels wide and 8, 14 or 16 pixels high, which chooses the font; the
 *  screen is then cleared and the text view reset.
 *  @param columns,rows new size; 0 or less keeps that one.
 *  @return the size before the call, columns + rows x 65536. */
ZQ_API int gfx_console_set_size(int columns, int rows);

/** The cursor's column.
 *  @return the column, 1-based. */
ZQ_API int gfx_console_column(void);

/** The cursor's row.
 *  @return the row, 1-based. */
ZQ_API int gfx_console_row(void);

/** The cursor, 1-based.
 *  @param column,row receive it; either may be null. */
ZQ_API void gfx_console_get_cursor(int* column, int* row);

/** The console's size in cells.
 *  @param columns,rows receive it; either may be null. */
ZQ_API void gfx_console_get_size(int* columns, int* rows);

/** Writes bytes as text at the cursor: 7 rings the bell, 8 moves left, 9
 *  tabs to the next multiple of 8, 10 starts the next row, 13 returns to
 *  column 1; every other byte is drawn with its code page 437 glyph. Text
 *  wraps at the right edge and scrolls at the bottom of the text view.
 *  @param bytes the text; @param count number of bytes.
 *  @param flags 0, or 8 to make an empty write carry out a pending new line. */
ZQ_API void gfx_console_write(const uint8_t* bytes, int count, int flags);

/** Writes 16-bit text: codes below 256 as they are, anything else as "?"
 *  (a surrogate pair as one "?").
 *  @param chars the text; @param count number of 16-bit characters.
 *  @param flags as for gfx_console_write(). */
ZQ_API void gfx_console_write_wide(const uint16_t* chars, int count, int flags);

/** Reads keys into a buffer until Enter, echoing them with a block cursor
 *  (Backspace edits).
 *  @param buffer receives the line, zero-terminated; the Enter is stored as
 *         13 when there is room.
 *  @param size the buffer's size in bytes.
 *  @return @p buffer, or null with no screen open or no room at all. */
ZQ_API char* gfx_console_read_line(char* buffer, int size);

/** Line input with a prompt (what rt_input() does while a screen is open).
 *  @param prompt the prompt (released when temporary), or null.
 *  @param destination a StringValue (with @p destination_size -1) or a
 *         character array of @p destination_size bytes.
 *  @param destination_size -1 or the array's size.
 *  @param assign_flag non-zero zero-fills the rest of a character array.
 *  @param question_mark non-zero prints "? " after the prompt.
 *  @param line_end non-zero ends the line on the screen after Enter.
 *  @return ::ZQ_OK, ::ZQ_ERR_OUT_OF_MEMORY when no line could be read, or
 *          ::ZQ_ERR_ILLEGAL_CALL for a destination that cannot be written. */
ZQ_API int gfx_console_input(StringValue* prompt, void* destination, int destination_size, int assign_flag,
                             int question_mark, int line_end);

/** Line input of 16-bit text.
 *  @param prompt zero-terminated 16-bit prompt, or null.
 *  @param destination receives the line, zero-terminated.
 *  @param destination_size its size in 16-bit characters.
 *  @param question_mark non-zero prints "? " after the prompt.
 *  @param line_end non-zero ends the line on the screen after Enter.
 *  @return as gfx_console_input(). */
ZQ_API int gfx_console_input_wide(const uint16_t* prompt, uint16_t* destination, int destination_size,
                                  int question_mark, int line_end);

/** Reads a cell of the work page's console.
 *  @param column,row 1-based.
 *  @param colour_flag 0: the character; otherwise the cell's colours: at
 *         depth 8 or less foreground + background x 256 (x 16 at depth 4 or
 *         less); above, the foreground as 0xAARRGGBB, or the background with
 *         @p colour_flag 2.
 *  @return the character code or the colour; 0 outside the console or with
 *          no screen open. */
ZQ_API int gfx_console_read_cell(int column, int row, int colour_flag);

/** @} */

ZQ_END_DECLS

#endif /* ZENTRAVOLK_CONSOLE_H */
