// The input state the display drivers fill and the program reads: the key
// buffer (a process-wide ring of 16 codes, 15 usable) with its key-pressed
// flag, the screen's EventQueue and KeyStateTable, the mouse operations that
// forward to the driver, and the sleep that watches the keyboard.
//
// Key codes: 1..255 are characters; 256 and above are extended keys, either
// (scancode << 8) | 0xFF or 256 + n with n an index into the extended-key
// table. 0 means "no key" and is never stored.
#pragma once

#include "drivers/screen_state.h"
#include "gfx/joystick.h"

struct StringValue;

constexpr int kKeyBufferSize = 16;

// Called by the driver side while it holds the screen lock (or on the
// program's thread for drivers without a thread). A full key buffer or
// EventQueue drops its oldest entry.
void gfx_post_key(int code);
void gfx_post_event(const GfxEvent* event);

// Readers; each takes the screen lock around the key buffer or key state.
int gfx_key_hit_since_check();  // the key-pressed flag, cleared
int gfx_take_key();             // oldest code, removed; 0 when empty
StringValue* gfx_inkey();       // temporary: "", one character, or 255 + scancode
int gfx_wait_key();             // 0 without a screen
int gfx_key_waiting();          // 1 when a code is waiting, else 0
int gfx_multikey(int scancode); // -1 while the key is down, else 0

// Mouse through the driver; runtime error 0 or 1. x and y are required by
// gfx_get_mouse; wheel, buttons and clip may be null.
int gfx_get_mouse(int* x, int* y, int* wheel, int* buttons, int* clip);
int gfx_set_mouse(int x, int y, int cursor, int clip);

// -1: until a key is pressed; 100 and more: in 50 ms steps, ending early at a
// key; 1..99: plainly; anything else returns at once.
void gfx_sleep(int milliseconds);
