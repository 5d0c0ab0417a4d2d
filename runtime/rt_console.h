// Console and keyboard entries: each goes to its RuntimeHooks slot when a
// graphics screen fills it, else to the runtime's terminal version.
#pragma once
#include <cstdint>

// The entries a program calls (rt_inkey, rt_getkey, rt_keyhit, rt_cls,
// rt_locate, rt_width, rt_get_cursor, rt_get_size, rt_write, rt_multikey,
// rt_get_mouse, rt_set_mouse, rt_sleep, rt_page_set, rt_set_text_view) are
// declared in the public header.
#include "zentravolk/runtime.h"

void rt_write_wide(const uint16_t* chars, int count, int flags);
int rt_console_column();  // 1-based cursor column (slot 7 or the terminal)

// The text view (print area), 0-based rows, -1 while unset.
void rt_text_view_unset();
// The view's first and last row, resolved (unset reads as the whole console).
void rt_text_view(int* top, int* bottom);

// The screen entry's remembered text column (used by print zones).
void rt_set_screen_column(int column);
int rt_screen_column();
