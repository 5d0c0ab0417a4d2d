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
#include "gfx/input/joystick.h"
// The readers a program calls (gfx_inkey, gfx_wait_key, gfx_key_waiting,
// gfx_multikey, gfx_get_mouse, gfx_set_mouse, gfx_sleep) are declared in the
// public header.
#include "zentravolk/input.h"

constexpr int kKeyBufferSize = 16;

// Called by the driver side while it holds the screen lock (or on the
// program's thread for drivers without a thread). A full key buffer or
// EventQueue drops its oldest entry.
void gfx_post_key(int code);
void gfx_post_event(const GfxEvent* event);

// Once the program has asked for a gamepad: looks for pads that came and
// went and posts their events (the event readers call it).
void gfx_watch_gamepads();
bool gfx_gamepads_watched();

// Readers; each takes the screen lock around the key buffer or key state.
int gfx_key_hit_since_check();  // the key-pressed flag, cleared
int gfx_take_key();             // oldest code, removed; 0 when empty
