// Console and keyboard entries: each goes to its RuntimeHooks slot when a
// graphics screen fills it, else to the runtime's terminal version.
#pragma once
#include <cstdint>

struct StringValue;

StringValue* rt_inkey();
int rt_getkey();
int rt_keyhit();
void rt_cls(int how);
int rt_locate(int row, int column, int cursor, int unused1, int unused2);
int rt_width(int columns, int rows);
void rt_get_cursor(int* column, int* row);
void rt_get_size(int* columns, int* rows);
void rt_write(const uint8_t* bytes, int count, int flags);
void rt_write_wide(const uint16_t* chars, int count, int flags);
int rt_multikey(int scancode);
int rt_get_mouse(int* x, int* y, int* wheel, int* buttons, int* clip);
int rt_set_mouse(int x, int y, int cursor, int clip);
void rt_sleep(int milliseconds);
int rt_page_set(int work, int visible);
int rt_console_column();  // 1-based cursor column (slot 7 or the terminal)

// The text view (print area), 0-based rows, -1 while unset.
int rt_set_text_view(int first, int last, int move_cursor);
void rt_text_view_unset();
// The view's first and last row, resolved (unset reads as the whole console).
void rt_text_view(int* top, int* bottom);

// The screen entry's remembered text column (used by print zones).
void rt_set_screen_column(int column);
int rt_screen_column();
