// The runtime's own console: what the console entries do while no graphics
// screen fills their hook slots. Output goes to standard output (with ANSI
// cursor control only when it is a terminal), keys come from standard input
// only when it is a terminal; the size is a fixed 80 x 25 unless changed.
#pragma once
#include <cstdint>

struct StringValue;

// Keyboard (rt_term_keys.cpp). Key codes: 1..255 a character, (scancode << 8)
// + 255 an extended key, 0 no key.
StringValue* term_inkey();  // never waits
int term_wait_key();        // 0 at once when there is no keyboard
int term_key_waiting();     // -1 or 0
void term_sleep(int milliseconds);

// Screen (rt_terminal.cpp).
void term_cls(int how);
int term_locate(int row, int column, int cursor);
int term_set_size(int columns, int rows);
int term_column();
void term_get_cursor(int* column, int* row);
void term_get_size(int* columns, int* rows);
void term_write(const uint8_t* bytes, int count, int flags);
void term_write_wide(const uint16_t* chars, int count, int flags);
int term_set_pages(int work, int visible);
