// SDL scancodes (USB usage numbers) to virtual keys and set-1 scancodes.
#include "platform/sdl_keys.h"

#include <SDL.h>

namespace {

struct KeyRow {
  SDL_Scancode sdl;
  uint8_t virtual_key;
  uint8_t scancode;
  bool extended;
};

// Keys that do not depend on Num Lock.
constexpr KeyRow kKeys[] = {
    {SDL_SCANCODE_A, 0x41, 0x1E, false}, {SDL_SCANCODE_B, 0x42, 0x30, false}, {SDL_SCANCODE_C, 0x43, 0x2E, false},
    {SDL_SCANCODE_D, 0x44, 0x20, false}, {SDL_SCANCODE_E, 0x45, 0x12, false}, {SDL_SCANCODE_F, 0x46, 0x21, false},
    {SDL_SCANCODE_G, 0x47, 0x22, false}, {SDL_SCANCODE_H, 0x48, 0x23, false}, {SDL_SCANCODE_I, 0x49, 0x17, false},
    {SDL_SCANCODE_J, 0x4A, 0x24, false}, {SDL_SCANCODE_K, 0x4B, 0x25, false}, {SDL_SCANCODE_L, 0x4C, 0x26, false},
    {SDL_SCANCODE_M, 0x4D, 0x32, false}, {SDL_SCANCODE_N, 0x4E, 0x31, false}, {SDL_SCANCODE_O, 0x4F, 0x18, false},
    {SDL_SCANCODE_P, 0x50, 0x19, false}, {SDL_SCANCODE_Q, 0x51, 0x10, false}, {SDL_SCANCODE_R, 0x52, 0x13, false},
    {SDL_SCANCODE_S, 0x53, 0x1F, false}, {SDL_SCANCODE_T, 0x54, 0x14, false}, {SDL_SCANCODE_U, 0x55, 0x16, false},
    {SDL_SCANCODE_V, 0x56, 0x2F, false}, {SDL_SCANCODE_W, 0x57, 0x11, false}, {SDL_SCANCODE_X, 0x58, 0x2D, false},
    {SDL_SCANCODE_Y, 0x59, 0x15, false}, {SDL_SCANCODE_Z, 0x5A, 0x2C, false},
    {SDL_SCANCODE_1, 0x31, 0x02, false}, {SDL_SCANCODE_2, 0x32, 0x03, false}, {SDL_SCANCODE_3, 0x33, 0x04, false},
    {SDL_SCANCODE_4, 0x34, 0x05, false}, {SDL_SCANCODE_5, 0x35, 0x06, false}, {SDL_SCANCODE_6, 0x36, 0x07, false},
    {SDL_SCANCODE_7, 0x37, 0x08, false}, {SDL_SCANCODE_8, 0x38, 0x09, false}, {SDL_SCANCODE_9, 0x39, 0x0A, false},
    {SDL_SCANCODE_0, 0x30, 0x0B, false},
    {SDL_SCANCODE_RETURN, 0x0D, 0x1C, false}, {SDL_SCANCODE_ESCAPE, 0x1B, 0x01, false},
    {SDL_SCANCODE_BACKSPACE, 0x08, 0x0E, false}, {SDL_SCANCODE_TAB, 0x09, 0x0F, false},
    {SDL_SCANCODE_SPACE, 0x20, 0x39, false}, {SDL_SCANCODE_MINUS, 0xBD, 0x0C, false},
    {SDL_SCANCODE_EQUALS, 0xBB, 0x0D, false}, {SDL_SCANCODE_LEFTBRACKET, 0xDB, 0x1A, false},
    {SDL_SCANCODE_RIGHTBRACKET, 0xDD, 0x1B, false}, {SDL_SCANCODE_BACKSLASH, 0xDC, 0x2B, false},
    {SDL_SCANCODE_NONUSHASH, 0xDC, 0x2B, false}, {SDL_SCANCODE_SEMICOLON, 0xBA, 0x27, false},
    {SDL_SCANCODE_APOSTROPHE, 0xDE, 0x28, false}, {SDL_SCANCODE_GRAVE, 0xC0, 0x29, false},
    {SDL_SCANCODE_COMMA, 0xBC, 0x33, false}, {SDL_SCANCODE_PERIOD, 0xBE, 0x34, false},
    {SDL_SCANCODE_SLASH, 0xBF, 0x35, false}, {SDL_SCANCODE_CAPSLOCK, 0x14, 0x3A, false},
    {SDL_SCANCODE_F1, 0x70, 0x3B, false}, {SDL_SCANCODE_F2, 0x71, 0x3C, false}, {SDL_SCANCODE_F3, 0x72, 0x3D, false},
    {SDL_SCANCODE_F4, 0x73, 0x3E, false}, {SDL_SCANCODE_F5, 0x74, 0x3F, false}, {SDL_SCANCODE_F6, 0x75, 0x40, false},
    {SDL_SCANCODE_F7, 0x76, 0x41, false}, {SDL_SCANCODE_F8, 0x77, 0x42, false}, {SDL_SCANCODE_F9, 0x78, 0x43, false},
    {SDL_SCANCODE_F10, 0x79, 0x44, false}, {SDL_SCANCODE_F11, 0x7A, 0x57, false},
    {SDL_SCANCODE_F12, 0x7B, 0x58, false},
    {SDL_SCANCODE_PRINTSCREEN, 0x2C, 0x37, true}, {SDL_SCANCODE_SCROLLLOCK, 0x91, 0x46, false},
    {SDL_SCANCODE_PAUSE, 0x13, 0x45, false}, {SDL_SCANCODE_INSERT, 0x2D, 0x52, true},
    {SDL_SCANCODE_HOME, 0x24, 0x47, true}, {SDL_SCANCODE_PAGEUP, 0x21, 0x49, true},
    {SDL_SCANCODE_DELETE, 0x2E, 0x53, true}, {SDL_SCANCODE_END, 0x23, 0x4F, true},
    {SDL_SCANCODE_PAGEDOWN, 0x22, 0x51, true}, {SDL_SCANCODE_RIGHT, 0x27, 0x4D, true},
    {SDL_SCANCODE_LEFT, 0x25, 0x4B, true}, {SDL_SCANCODE_DOWN, 0x28, 0x50, true},
    {SDL_SCANCODE_UP, 0x26, 0x48, true}, {SDL_SCANCODE_NUMLOCKCLEAR, 0x90, 0x45, true},
    {SDL_SCANCODE_KP_DIVIDE, 0x6F, 0x35, true}, {SDL_SCANCODE_KP_MULTIPLY, 0x6A, 0x37, false},
    {SDL_SCANCODE_KP_MINUS, 0x6D, 0x4A, false}, {SDL_SCANCODE_KP_PLUS, 0x6B, 0x4E, false},
    {SDL_SCANCODE_KP_ENTER, 0x0D, 0x1C, true}, {SDL_SCANCODE_NONUSBACKSLASH, 0xE2, 0x56, false},
    {SDL_SCANCODE_APPLICATION, 0x5D, 0x5D, true},
    {SDL_SCANCODE_LCTRL, 0x11, 0x1D, false}, {SDL_SCANCODE_LSHIFT, 0x10, 0x2A, false},
    {SDL_SCANCODE_LALT, 0x12, 0x38, false}, {SDL_SCANCODE_LGUI, 0x5B, 0x5B, true},
    {SDL_SCANCODE_RCTRL, 0x11, 0x1D, true}, {SDL_SCANCODE_RSHIFT, 0x10, 0x36, false},
    {SDL_SCANCODE_RALT, 0x12, 0x38, true}, {SDL_SCANCODE_RGUI, 0x5C, 0x5C, true},
};

// The keypad's digit keys: {key, digit virtual key, navigation virtual key,
// scancode}. Keypad 5 without Num Lock is the Clear key.
struct KeypadRow {
  SDL_Scancode sdl;
  uint8_t digit_key, navigation_key, scancode;
};
constexpr KeypadRow kKeypad[] = {
    {SDL_SCANCODE_KP_1, 0x61, 0x23, 0x4F}, {SDL_SCANCODE_KP_2, 0x62, 0x28, 0x50},
    {SDL_SCANCODE_KP_3, 0x63, 0x22, 0x51}, {SDL_SCANCODE_KP_4, 0x64, 0x25, 0x4B},
    {SDL_SCANCODE_KP_5, 0x65, 0x0C, 0x4C}, {SDL_SCANCODE_KP_6, 0x66, 0x27, 0x4D},
    {SDL_SCANCODE_KP_7, 0x67, 0x24, 0x47}, {SDL_SCANCODE_KP_8, 0x68, 0x26, 0x48},
    {SDL_SCANCODE_KP_9, 0x69, 0x21, 0x49}, {SDL_SCANCODE_KP_0, 0x60, 0x2D, 0x52},
    {SDL_SCANCODE_KP_PERIOD, 0x6E, 0x2E, 0x53},
};

// Left/right modifier keys: SDL scancode and its own virtual key.
constexpr struct {
  SDL_Scancode sdl;
  uint8_t virtual_key;
} kSidedModifiers[] = {
    {SDL_SCANCODE_LSHIFT, 0xA0}, {SDL_SCANCODE_RSHIFT, 0xA1}, {SDL_SCANCODE_LCTRL, 0xA2},
    {SDL_SCANCODE_RCTRL, 0xA3},  {SDL_SCANCODE_LALT, 0xA4},   {SDL_SCANCODE_RALT, 0xA5},
};

}  // namespace

KeyIdentity sdl_key_identity(int sdl_scancode, bool num_lock) {
  for (const KeyRow& row : kKeys)
    if (row.sdl == sdl_scancode) return {row.virtual_key, row.scancode, row.extended};
  for (const KeypadRow& row : kKeypad)
    if (row.sdl == sdl_scancode) return {num_lock ? row.digit_key : row.navigation_key, row.scancode, false};
  return {0, 0, false};
}

void sdl_virtual_key_state(const uint8_t* down, int count, bool num_lock, uint8_t keys[256]) {
  for (int i = 0; i < 256; ++i) keys[i] = 0;
  for (int sc = 0; sc < count; ++sc) {
    if (!down[sc]) continue;
    KeyIdentity key = sdl_key_identity(sc, num_lock);
    if (key.virtual_key) keys[key.virtual_key] = 0x80;
  }
  for (const auto& m : kSidedModifiers)
    if (m.sdl < count && down[m.sdl]) keys[m.virtual_key] = 0x80;
}

void sdl_apply_modifiers(int sdl_mod, uint8_t keys[256]) {
  constexpr struct {
    int mod, generic, sided;
  } kModifiers[] = {
      {KMOD_LSHIFT, 0x10, 0xA0}, {KMOD_RSHIFT, 0x10, 0xA1}, {KMOD_LCTRL, 0x11, 0xA2},
      {KMOD_RCTRL, 0x11, 0xA3},  {KMOD_LALT, 0x12, 0xA4},   {KMOD_RALT, 0x12, 0xA5},
  };
  for (const auto& m : kModifiers) keys[m.generic] = keys[m.sided] = 0;
  for (const auto& m : kModifiers)
    if (sdl_mod & m.mod) keys[m.generic] = keys[m.sided] = 0x80;
  keys[0x14] = uint8_t((keys[0x14] & ~1) | ((sdl_mod & KMOD_CAPS) ? 1 : 0));
}
