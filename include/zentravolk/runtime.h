/**
 * @file zentravolk/runtime.h
 * @brief Runtime services: start and end, the clock, the last error,
 *        keyboard polling and the console, numbered files, printing and
 *        string values.
 *
 * The console and keyboard calls here (rt_inkey(), rt_multikey(), rt_cls(),
 * rt_locate(), rt_print() to file 0, ...) work with or without a graphics
 * screen: while a screen is open they are answered by the graphics library
 * (the text console on the screen, the keys the display driver saw); with no
 * screen open they fall back to the terminal.
 */
#ifndef ZENTRAVOLK_RUNTIME_H
#define ZENTRAVOLK_RUNTIME_H

#include <stddef.h>
#include <stdint.h>

#include "zentravolk/common.h"

ZQ_BEGIN_DECLS

/** @defgroup zq_runtime Runtime services
 *  @brief Start and end, clock, keyboard and console, files, printing and
 *         strings.
 *  @{
 */

/** @name String values
 *
 * Text travels through the library as string values: counted byte strings
 * whose characters are kept followed by a zero byte. A StringValue that the
 * program declares itself (zero-initialised: the empty string) is a
 * variable; the program frees its characters with rt_str_delete(). Results
 * such as rt_int_to_str() or rt_str_temp() are temporaries taken from a pool
 * of 256; every call that takes a temporary as an argument releases it when
 * done, so a temporary made for one call must not be used again.
 *
 * Calls that take text as an untyped pointer with a "mark" accept either a
 * string value (mark ::ZQ_STR_VALUE) or a plain character array (any other
 * mark: the array's size in bytes, or 0 for a zero-terminated array of
 * unknown size).
 * @{
 */

/** A string value: counted bytes followed by a zero byte. */
typedef struct StringValue {
  /** The characters, followed by a zero byte; null for the empty string. */
  char* data;
  /** Length in bytes in bits 0..30; bit 31 is set while the characters were
   *  allocated for a temporary. Read it with rt_str_len(). */
  uint32_t length;
  /** Bytes allocated for the characters. */
  uint32_t size;
} StringValue;

/** The mark that says "this text argument is a StringValue". */
#define ZQ_STR_VALUE (-1)
/** Bit 31 of StringValue::length: the characters belong to a temporary. */
#define ZQ_STR_TEMP_CHARS 0x80000000u

/** Length of a string value in bytes.
 *  @param s the string value, or null.
 *  @return the length; 0 for null. */
static inline int rt_str_len(const StringValue* s) {
  return s ? (int)(s->length & ~ZQ_STR_TEMP_CHARS) : 0;
}

/** The characters of a string value, zero-terminated.
 *  @param s the string value, or null.
 *  @return the characters; "" for null or the empty string. Valid until the
 *          value changes or, for a temporary, until it is released. */
static inline const char* rt_str_chars(const StringValue* s) {
  return s && s->data ? s->data : "";
}

/** A temporary that refers to @p chars without copying them: the cheap way
 *  to hand a literal to calls that take a string value (they release it).
 *  @param chars the characters; they must outlive the temporary.
 *  @param length number of bytes.
 *  @return the temporary, or the shared empty value when the pool of 256 is
 *          exhausted. */
ZQ_API StringValue* rt_str_temp(const char* chars, int length);

/** A temporary holding a copy of @p length bytes of @p chars.
 *  @param chars the characters; @param length number of bytes.
 *  @return the temporary, or the shared empty value when the pool is
 *          exhausted or there is no memory (never null). */
ZQ_API StringValue* rt_str_new_temp(const char* chars, int length);

/** Returns a temporary to the pool, freeing characters allocated for it.
 *  Does nothing for a value that is not a temporary.
 *  @param s the value, or null. */
ZQ_API void rt_str_release(StringValue* s);

/** Frees the characters of a string variable; pointer, length and size
 *  become 0 (the empty string).
 *  @param s the variable. */
ZQ_API void rt_str_delete(StringValue* s);

/** Stores a copy of a text in a string variable.
 *  @param dest the variable.
 *  @param text a StringValue (mark ::ZQ_STR_VALUE; released when it is a
 *         temporary) or a character array.
 *  @param mark ::ZQ_STR_VALUE, the array's size, or 0 for a zero-terminated
 *         array. */
ZQ_API void rt_str_assign(StringValue* dest, const void* text, int mark);

/** Decimal text of a number, with a minus sign when negative.
 *  @param value the number.
 *  @return a temporary (12 bytes at most, "-2147483648" included). */
ZQ_API StringValue* rt_int_to_str(int32_t value);

/** Joins two texts.
 *  @param dest the variable that receives a then b, or null for a new
 *         temporary. An empty result empties the destination.
 *  @param a first text; @param a_mark its mark (see the group's notes).
 *  @param b second text; @param b_mark its mark.
 *  @return the destination (the shared empty value when @p dest is null and
 *          the pool is exhausted). Temporary arguments are released. */
ZQ_API StringValue* rt_str_concat(StringValue* dest, const void* a, int a_mark, const void* b,
                                  int b_mark);

/** A lower-case copy: every byte the C library classes as an upper-case
 *  letter is replaced by its lower-case form.
 *  @param s the text; released when it is a temporary.
 *  @return a temporary of the same length. */
ZQ_API StringValue* rt_str_lcase(StringValue* s);

/** Compares two texts byte by byte as unsigned values; when the common part
 *  is equal the shorter text is the smaller. Temporary arguments are
 *  released.
 *  @param a first text; @param a_mark its mark.
 *  @param b second text; @param b_mark its mark.
 *  @return -1, 0 or 1. */
ZQ_API int rt_str_compare(const void* a, int a_mark, const void* b, int b_mark);

/** Counts the pool's temporaries in use.
 *  @return the number in use: a program that releases every temporary it
 *          makes sees 0 between calls. */
ZQ_API int rt_str_pool_in_use(void);
/** @} */

/** @name Start, end, errors and the clock
 *  @{
 */

/** Starts the runtime for a program: stores the command line and the
 *  compatibility level. Call it first, before any other call.
 *  @param argc argument count; @param argv argument vector (kept, not
 *         copied).
 *  @param compat_level 0: images get the 32-byte long header; any other
 *         value: the 4-byte short header (see ImageBuffer). Level 2 also puts
 *         a blank before non-negative numbers in rt_int_to_str(). */
ZQ_API void rt_init(int argc, char** argv, int compat_level);

/** Ends the program through the C library's exit(): the open screen is
 *  closed and every open numbered file is closed on the way out.
 *  @param status the process's exit status. Does not return. */
ZQ_NORETURN ZQ_API void rt_end(int status);

/** The runtime's last error number.
 *  @return ::ZQ_OK or one of the ZQ_ERR_ values, as stored by the last call
 *          that reports one. */
ZQ_API int rt_get_error(void);

/** Stores an error number as the last error. A number other than ::ZQ_OK
 *  also empties the reason rt_error_detail() gives, since an earlier reason
 *  does not describe it.
 *  @param error the number. @return @p error. */
ZQ_API int rt_set_error(int error);

/** Why the last failing call failed, in a few words set where it failed:
 *  the argument and what was wrong with it, the file and what its data held,
 *  or the driver and why it refused, e.g. "depth 7 not supported". A call
 *  that succeeds leaves it as it is, as it leaves rt_get_error().
 *  @return a text valid until the next failing call on any thread; "" when
 *          no reason was given. Never null. */
ZQ_API const char* rt_error_detail(void);

/** The clock: cheap enough to poll in a frame loop.
 *  @return seconds on a monotonic clock from an arbitrary origin; only
 *          differences are meaningful. */
ZQ_API double rt_timer(void);

/** Sleeps. With a graphics screen open, a key press ends the longer waits
 *  early.
 *  @param milliseconds -1: until a key is pressed (checked every 50 ms);
 *         100 and more: in 50 ms steps, returning early when a key has been
 *         pressed; 1..99: plainly, without looking at the keys; 0 or less:
 *         returns at once. */
ZQ_API void rt_sleep(int milliseconds);
/** @} */

/** @name Keyboard and mouse
 *  Scancodes are the PC keyboard's set-1 codes 0..127 (1 Escape, 28 Enter,
 *  57 Space, 72 Up, 75 Left, 77 Right, 80 Down; see ZQ_SC_ESCAPE and its
 *  neighbours).
 *  @{
 */

/** Takes one key from the key buffer without waiting.
 *  @return a temporary: empty when no key is waiting; one character for a
 *          plain key; two characters, 255 and the scancode, for an extended
 *          key (arrows, function keys, ...). */
ZQ_API StringValue* rt_inkey(void);

/** Waits for a key and takes it. With a screen open on the Null driver no
 *  key ever comes, so this waits for ever: poll rt_inkey() there instead.
 *  @return the key code: 1..255 for characters, 256 and above for extended
 *          keys; 0 at once when no screen is open and the terminal has no
 *          keyboard. */
ZQ_API int rt_getkey(void);

/** Whether a key is waiting in the key buffer (nothing is taken).
 *  @return non-zero when a key is waiting (1 on the graphics screen, -1 on
 *          the terminal), else 0. */
ZQ_API int rt_keyhit(void);

/** Whether the key with a scancode is down right now.
 *  @param scancode set-1 scancode 0..127.
 *  @return -1 (::ZQ_TRUE) when the key is down, else 0 (also for a
 *          scancode out of range). */
ZQ_API int rt_multikey(int scancode);

/** Reads the mouse. With a screen open this is gfx_get_mouse().
 *  @param x,y position in screen pixels (required).
 *  @param wheel,buttons,clip wheel position, button bits (1 left, 2 right,
 *         4 middle) and whether the pointer is confined; each may be null.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL (all outputs -1) when no mouse
 *          can be read. */
ZQ_API int rt_get_mouse(int* x, int* y, int* wheel, int* buttons, int* clip);

/** Moves the mouse pointer, shows or hides it, confines it. With a screen
 *  open this is gfx_set_mouse().
 *  @param x,y new position (negative: unchanged).
 *  @param cursor 1 show, 0 hide (negative: unchanged).
 *  @param clip 1 confine to the window, 0 free (negative: unchanged).
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL with no screen open or a driver
 *          without a pointer. */
ZQ_API int rt_set_mouse(int x, int y, int cursor, int clip);
/** @} */

/** @name Console
 *  The text console: the graphics screen's text console while a screen is
 *  open (see zentravolk/console.h), otherwise the terminal. Rows and columns
 *  are 1-based.
 *  @{
 */

/** Clears the screen.
 *  @param how ::ZQ_OMITTED: the view if one was set, else the text view
 *         (the whole screen when that is the whole console); 0: everything;
 *         2: the text view; 1 or any other value: the view. */
ZQ_API void rt_cls(int how);

/** Moves the text cursor.
 *  @param row 1-based row inside the text view, 0 to keep the current one.
 *  @param column 1-based column, 0 to keep the current one.
 *  @param cursor cursor visibility, -1 to keep it.
 *  @param unused1,unused2 pass 0.
 *  @return the console's answer: the new position as (row - 1) x 256 +
 *          (column - 1) + 0x101 on the graphics screen. A row or column out of
 *          range stores ::ZQ_ERR_ILLEGAL_CALL and moves nothing. */
ZQ_API int rt_locate(int row, int column, int cursor, int unused1, int unused2);

/** Sets the console's size in text cells and resets the text view to the
 *  whole console with the cursor at its top. On the graphics screen the size
 *  chooses the font: the cells must come out 8 pixels wide and 8, 14 or 16
 *  pixels high, else the size is kept.
 *  @param columns,rows new size; 0 or less keeps that one.
 *  @return the size before the call, columns + rows x 65536. */
ZQ_API int rt_width(int columns, int rows);

/** The text cursor, 1-based.
 *  @param column,row receive the cursor; either may be null. */
ZQ_API void rt_get_cursor(int* column, int* row);

/** The console's size in text cells.
 *  @param columns,rows receive the size; either may be null. */
ZQ_API void rt_get_size(int* columns, int* rows);

/** Writes bytes as text at the cursor (7 bell, 8 back, 9 tab, 10 new line
 *  and 13 carriage return are obeyed; other bytes are drawn with their code
 *  page 437 glyph on the graphics screen).
 *  @param bytes the text; @param count number of bytes.
 *  @param flags 0 (8 makes an empty write carry out a pending new line). */
ZQ_API void rt_write(const uint8_t* bytes, int count, int flags);

/** Sets the text view (the rows that printing and scrolling use).
 *  @param first first row, 1-based; 0: row 1; negative: keep.
 *  @param last last row, 1-based; 0: the console's last row; negative: keep.
 *  @param move_cursor non-zero moves the cursor to the view's first row.
 *  @return first + last x 65536, or 0 when refused (last before first, or a
 *          row outside the console). */
ZQ_API int rt_set_text_view(int first, int last, int move_cursor);

/** Line input: prints the prompt (and "? "), reads a line with an on-screen
 *  cursor until Enter and stores it.
 *  @param prompt the prompt (released when temporary), or null.
 *  @param destination a StringValue (with @p destination_size -1) or a
 *         character array of @p destination_size bytes.
 *  @param destination_size -1 or the array's size.
 *  @param assign_flag non-zero zero-fills the rest of a character array.
 *  @param question_mark non-zero prints "? " after the prompt.
 *  @param line_end non-zero ends the line on the screen after Enter.
 *  @return ::ZQ_OK; ::ZQ_ERR_OUT_OF_MEMORY when no line could be read;
 *          ::ZQ_ERR_ILLEGAL_CALL for a destination that cannot be written. */
ZQ_API int rt_input(StringValue* prompt, void* destination, int destination_size, int assign_flag,
                    int question_mark, int line_end);

/** Selects the work page (drawn on) and the visible page (shown); with a
 *  screen open this is gfx_set_pages().
 *  @param work page to draw on; out of range: unchanged.
 *  @param visible page to show; out of range: unchanged.
 *  @return the pages before the call, work + visible x 256, or -1 with no
 *          screen open. */
ZQ_API int rt_page_set(int work, int visible);
/** @} */

/** @name Numbered files and printing
 *  Files are known by numbers 1..254; number 0 is the screen (the console).
 *  @{
 */

/** File modes of rt_file_open(). */
enum {
  ZQ_FILE_BINARY = 0, /**< binary: bytes at any position */
  ZQ_FILE_RANDOM = 1, /**< random: fixed-length records */
  ZQ_FILE_INPUT = 2,  /**< text input */
  ZQ_FILE_OUTPUT = 3, /**< text output (the file is emptied) */
  ZQ_FILE_APPEND = 4  /**< text output at the end */
};

/** Access values of rt_file_open(). */
enum {
  ZQ_ACCESS_ANY = 0,       /**< not given: read and write, else create, else read only */
  ZQ_ACCESS_READ = 1,      /**< read only */
  ZQ_ACCESS_WRITE = 2,     /**< write only */
  ZQ_ACCESS_READ_WRITE = 3 /**< read and write */
};

/** Opens a numbered file.
 *  In binary and random mode with access ::ZQ_ACCESS_ANY or
 *  ::ZQ_ACCESS_READ_WRITE a missing file is created; with ::ZQ_ACCESS_ANY a
 *  read-only file opens for reading. Folders may be separated by "/" or "\".
 *  @param name the file name (released when temporary).
 *  @param mode one of ::ZQ_FILE_BINARY ... ::ZQ_FILE_APPEND.
 *  @param access one of ::ZQ_ACCESS_ANY ... ::ZQ_ACCESS_READ_WRITE.
 *  @param lock lock mode (stored, not otherwise used); pass 0.
 *  @param number the file number, 1..254.
 *  @param record_length record length for random and text modes (less
 *         than 1: 128).
 *  @return ::ZQ_OK; ::ZQ_ERR_ILLEGAL_CALL for a number outside 1..254 or
 *          already open, or a file whose size cannot be found;
 *          ::ZQ_ERR_FILE_NOT_FOUND when the file cannot be opened. */
ZQ_API int rt_file_open(StringValue* name, int mode, int access, int lock, int number,
                        int record_length);

/** Reads bytes from a numbered file. A read past the end is no failure: the
 *  missing bytes come out as zeros.
 *  @param number the file number.
 *  @param position 0: the current position; otherwise the 1-based byte
 *         position (the record number in random mode).
 *  @param buffer receives @p count bytes.
 *  @param count number of bytes.
 *  @return ::ZQ_OK; ::ZQ_ERR_ILLEGAL_CALL when the number is not open (the
 *          buffer is left alone); ::ZQ_ERR_FILE_IO when the file cannot seek
 *          or read. */
ZQ_API int rt_file_get(int number, int64_t position, void* buffer, int count);

/** Closes a numbered file.
 *  @param number the file number.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL when it is not open. */
ZQ_API int rt_file_close(int number);

/** Prints a text to the screen (number 0: the console, on the graphics
 *  screen while one is open) or to a numbered file.
 *  @param number 0 or an open file number.
 *  @param s the text (released when temporary); null or empty prints only
 *         the line end.
 *  @param flags bit 0 (1): end the line; bit 1 (2): pad with blanks to the
 *         next 14-column print zone instead; 0: leave the cursor after the
 *         text.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL when the file is not open, or
 *          ::ZQ_ERR_FILE_IO when it cannot be written. */
ZQ_API int rt_print(int number, StringValue* s, int flags);
/** @} */

/** @} */

ZQ_END_DECLS

#endif /* ZENTRAVOLK_RUNTIME_H */
