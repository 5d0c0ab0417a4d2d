// Simulated input: keys and pointer played through the window layer's own
// rules, so that they reach the key state, the key buffer, the event queue
// and the pointer state exactly as the window system's messages do. The
// messages are handled on the caller's thread, under the screen lock, with
// the simulated keyboard in place of the window system's and without any
// call to the window system (which belongs to the window's own thread):
// no pointer is confined and Alt+Enter switches nothing. Drivers without a
// window (Null) play them on a window state of their own, the size of the
// screen and always active.
#pragma once
#include <cstdint>

// Forgets what was simulated: no key held, no pointer (the screen's opening
// and closing call this while no driver thread runs).
void win_reset_simulated_input();
// A key going down (again, while held: a repeat) or up; false when no key
// has this scancode. The caller holds the screen lock.
bool win_simulate_key(int scancode, bool down);
// The pointer at x, y (screen pixels, which a scaled screen's window shows
// as blocks) with these buttons held (ZQ_BUTTON_*
// bits): a move when it moved, then a press or release per changed button.
// The caller holds the screen lock.
void win_simulate_pointer(int x, int y, int buttons);
// Adds the simulated keys that are down to a KeyStateTable the driver has
// just filled from the keyboard (under the screen lock).
void win_merge_simulated_keys(uint8_t* key_state);
// The Null driver's get_mouse: the simulated pointer, as win_get_mouse
// reads a window's (-1 before the first simulated move).
int win_simulated_get_mouse(int* x, int* y, int* wheel, int* buttons, int* clip);
