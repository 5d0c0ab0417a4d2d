// SDL's keyboard in the terms of the window layer: virtual-key codes and PC
// keyboard set-1 scancodes.
#pragma once
#include <cstdint>

struct KeyIdentity {
  int virtual_key;  // 0 for keys the layer does not know
  int scancode;     // set-1 code without the E0 prefix
  bool extended;    // E0 key: arrows, navigation block, right Ctrl/Alt, keypad Enter and divide
};

// The key at an SDL scancode. Shift, Ctrl and Alt report the generic virtual
// keys 0x10, 0x11, 0x12; the keypad reports digits while Num Lock is on and
// navigation keys otherwise.
KeyIdentity sdl_key_identity(int sdl_scancode, bool num_lock);

// Fills a 256-entry table by virtual key (0x80 = down) from SDL's key state
// (`down` indexed by SDL scancode, `count` entries): the keys' own virtual
// keys plus the left/right modifier keys 0xA0-0xA5.
void sdl_virtual_key_state(const uint8_t* down, int count, bool num_lock, uint8_t keys[256]);

// Sets the Shift, Ctrl and Alt entries of a virtual-key state (generic and
// left/right, 0x80 = down) and the Caps Lock toggle (bit 0 of 0x14) from an
// SDL modifier word, in place of what the table said before.
void sdl_apply_modifiers(int sdl_mod, uint8_t keys[256]);
