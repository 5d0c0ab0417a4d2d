// Line input: the runtime's line editor, the sized assignment that stores a
// line into a string value or a character array, and the line input entries
// built on both (hook slots 20 and 21, or the runtime's own versions).
#pragma once
#include <cstdint>

#include "zentravolk/runtime.h"  // rt_input

// The most characters one line input keeps; further keys are not taken.
constexpr int kLineInputLimit = 1024;

// Reads one line from the console: through hook slot 13 while a graphics
// screen fills it, else from standard input. Returns the line without its
// Enter, zero-terminated, in memory from malloc that the caller frees, and
// its length in *length; null when the line could not be made (no memory,
// or the console could not read).
char* rt_line_edit(int* length);

// Stores length bytes of chars into destination. size -1: destination is a
// StringValue. size > 0: a character array of size bytes; the text is cut to
// size - 1 bytes and zero-terminated, and with fill set the rest of the array
// is zeroed too. Returns the error number: 0, 1 for a null destination, a
// size of 0 or below other than -1, or the shared empty value, 4 when there
// is no memory for the text.
int rt_str_assign_sized(void* destination, int size, const char* chars, int length, int fill);

// The steps of a line input: print the prompt (when given; a temporary is
// released), "? " when question_mark is set, read a line, end the line on the
// screen when line_end is set, store it. Returns and records the error number
// of the store, or 4 when no line could be read.
int rt_console_input(StringValue* prompt, void* destination, int destination_size, int assign_flag,
                     int question_mark, int line_end);
// The same for 16-bit text: prompt zero-terminated (or null), destination
// destination_size characters with the terminating zero.
int rt_console_input_wide(const uint16_t* prompt, uint16_t* destination, int destination_size,
                          int question_mark, int line_end);

// The program's entries: slot 20 / 21, or the runtime's own version above
// (rt_input is declared in the public header).
int rt_input_wide(const uint16_t* prompt, uint16_t* destination, int destination_size, int question_mark,
                  int line_end);
