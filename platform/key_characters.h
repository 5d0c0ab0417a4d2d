// The characters keys give on the US layout, and the messages a key sends
// the window. One translation serves both the window layer's key path (which
// asks what character a key gives with the keyboard state) and the character
// messages that follow a key press, so the two can never disagree.
#pragma once
#include <cstdint>

#include "platform/sdl_keys.h"
#include "platform/window_system.h"

// The character a virtual key maps to without any shift (letters in capitals),
// 0 when it gives none.
int virtual_key_base_character(int virtual_key);

// The character a key gives with the keyboard state (256 entries by virtual
// key, 0x80 = down; Caps Lock toggled = bit 0 of entry 0x14): Shift and Caps
// Lock, and with Ctrl the control characters (letters 1..26, [ \ ] 27..29,
// Shift+minus 31, Backspace 127, Enter 10, Escape 27); 0 when it gives none,
// as for Ctrl+Tab and anything with Ctrl and Alt together.
int virtual_key_character(int virtual_key, const uint8_t* keys);

// The messages a key press or release sends the window, into `out`; returns
// how many (1 or 2). First the key message: a system key while Alt is held
// without Ctrl, and always for F10 and Alt itself. Then, for a press that is
// no system key, the character message of the control character the key
// gives (below 32, or 127): text input reports only printable characters.
// With `printable`, for keys played where no text input reports them, the
// printable character too.
int key_messages(const KeyIdentity& key, bool pressed, bool repeat, bool shift, bool ctrl, bool alt, WsMessage out[2],
                 bool printable = false);
