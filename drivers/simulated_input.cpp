// Simulated input through the window procedure.
#include "drivers/simulated_input.h"

#include <cstring>

#include "drivers/key_tables.h"
#include "drivers/window.h"

namespace {

constexpr int kKeyDown = 0x80;

// The keys the simulation holds, by scancode and as the virtual-key state
// the key path reads; both belong to one screen and start empty with the
// next.
uint8_t held[kKeyStateSize];
uint8_t keyboard[256];

// The window state of a driver without a window.
WindowState headless;

// The open screen's window state, or the headless one, the size of the
// screen.
WindowState* target() {
  WindowState* st = win_state();
  if (st && st->running) return st;
  headless.width = screen_state ? screen_state->width : 0;
  headless.height = screen_state ? screen_state->height * screen_state->scanline_size : 0;
  return &headless;
}

// The side-specific virtual keys of the modifier scancodes.
int side_key(int scancode) {
  switch (scancode) {
    case ZQ_SC_LSHIFT: return 0xA0;
    case ZQ_SC_RSHIFT: return 0xA1;
    case ZQ_SC_CONTROL: return 0xA2;
    case ZQ_SC_ALT: return 0xA4;
    default: return 0;
  }
}

// The navigation block sends its keys with the extended prefix (the keypad
// twins of the same scancodes without it); the simulation plays the block.
bool extended_key(int scancode) {
  switch (scancode) {
    case ZQ_SC_HOME: case ZQ_SC_UP: case ZQ_SC_PAGEUP: case ZQ_SC_LEFT: case ZQ_SC_RIGHT: case ZQ_SC_END:
    case ZQ_SC_DOWN: case ZQ_SC_PAGEDOWN: case ZQ_SC_INSERT: case ZQ_SC_DELETE: case ZQ_SC_LWIN:
    case ZQ_SC_RWIN: case ZQ_SC_MENU:
      return true;
    default:
      return false;
  }
}

// The virtual-key state of the held keys.
void rebuild_keyboard() {
  std::memset(keyboard, 0, sizeof keyboard);
  for (int sc = 1; sc < kKeyStateSize; ++sc) {
    if (!held[sc]) continue;
    keyboard[virtual_key_for_scancode(sc)] = kKeyDown;
    if (int side = side_key(sc)) keyboard[side] = kKeyDown;
  }
}

void play(WindowState* st, const WsMessage& m) {
  st->simulated_keys = keyboard;
  win_window_procedure(st, m);
  st->simulated_keys = nullptr;
}

}  // namespace

void win_reset_simulated_input() {
  std::memset(held, 0, sizeof held);
  std::memset(keyboard, 0, sizeof keyboard);
  headless.active = 1;
  headless.tracked = headless.inside = headless.buttons = headless.wheel = headless.hwheel = 0;
  headless.mouse_x = headless.mouse_y = 0;
  headless.last_x = kWinNoPosition;
  headless.last_y = 0;
}

bool win_simulate_key(int scancode, bool down) {
  const int virtual_key = scancode > 0 && scancode < kKeyStateSize ? virtual_key_for_scancode(scancode) : 0;
  if (!virtual_key) return false;
  const bool was_down = held[scancode] != 0;
  uint8_t before[kKeyStateSize] = {}, after[kKeyStateSize] = {};
  fill_key_state(before, keyboard);
  held[scancode] = down;
  rebuild_keyboard();
  fill_key_state(after, keyboard);
  // The key state changes now, as the keyboard's would at the driver's next
  // pass (both shift scancodes follow either shift key); keys the simulation
  // left alone keep what the keyboard gave them.
  if (screen_state && screen_state->key_state)
    for (int sc = 0; sc < kKeyStateSize; ++sc)
      if (before[sc] != after[sc]) screen_state->key_state[sc] = after[sc];
  const auto modifier = [](int vk) { return (keyboard[vk] & kKeyDown) != 0; };
  WsMessage messages[2];
  const int count = key_messages(KeyIdentity{virtual_key, scancode, extended_key(scancode)}, down, down && was_down,
                                 modifier(0x10), modifier(0x11), modifier(0x12), messages, true);
  WindowState* st = target();
  for (int i = 0; i < count; ++i) play(st, messages[i]);
  return true;
}

void win_simulate_pointer(int x, int y, int buttons) {
  WindowState* st = target();
  WsMessage m{.type = kWsMouseMove};
  // The position is in screen pixels; a scaled screen's window shows each
  // as a block, and the window procedure maps the block's middle back.
  if (st->flags & ZQ_OPEN_SCALED) scale_screen_to_window(st->layout, x, y, &x, &y);
  m.x = x;
  m.y = y;
  m.desktop_x = st->window_x + x;
  m.desktop_y = st->window_y + y;
  if (m.desktop_x != st->last_x || m.desktop_y != st->last_y) play(st, m);
  for (int bit = 1; bit <= ZQ_BUTTON_X2; bit <<= 1) {
    if ((st->buttons & bit) == (buttons & bit)) continue;
    m.type = (buttons & bit) ? kWsButtonDown : kWsButtonUp;
    m.button = bit;
    play(st, m);
  }
}

void win_merge_simulated_keys(uint8_t* key_state) {
  uint8_t simulated[kKeyStateSize] = {};
  fill_key_state(simulated, keyboard);
  for (int sc = 0; sc < kKeyStateSize; ++sc) key_state[sc] |= simulated[sc];
}

int win_simulated_get_mouse(int* x, int* y, int* wheel, int* buttons, int* clip) {
  return win_read_mouse(&headless, x, y, wheel, buttons, clip);
}
