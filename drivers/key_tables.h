// The window layer's key tables: virtual key to PC scancode and the console
// key codes by scancode and shift state.
#pragma once
#include <cstdint>

#include "platform/key_characters.h"  // the characters keys give
#include "zentravolk/events.h"

// The modifier word of the key path is the public ZQ_MOD_* set.

// The scancode of the first table row whose first or second virtual key is
// `virtual_key`; 0 when no row has it.
int scancode_for_virtual_key(int virtual_key);

// The first virtual key of the first table row with this scancode; 0 when
// no row has it.
int virtual_key_for_scancode(int scancode);

// Fills the 128-entry KeyStateTable from a 256-entry virtual-key state (0x80 =
// down): each scancode of the table is 1 while its first or second virtual key
// is down. Both shift scancodes follow the generic shift key.
void fill_key_state(uint8_t* key_state, const uint8_t* keys);

// The modifier word for a keyboard state and a key's extended bit.
int modifier_word(const uint8_t* keys, bool extended);

// The key code of a key: a character (1..255), an extended key as
// (code & 0xFF00) | 0xFF, or -1 when the key gives nothing.
int translate_key(int character, int scancode, int virtual_key, int modifiers);
