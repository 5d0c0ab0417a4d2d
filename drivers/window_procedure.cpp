// The window procedure: what each window message does to the key buffer, the
// KeyStateTable, the EventQueue and the pointer state, and the switch between
// window and full screen.
#include <cstring>

#include "drivers/key_tables.h"
#include "drivers/window.h"
#include "zentravolk/events.h"

namespace {

// Event types, as programs read them.
enum : int {
  kEventKeyPress = ZQ_EVENT_KEY_PRESS,
  kEventKeyRelease = ZQ_EVENT_KEY_RELEASE,
  kEventKeyRepeat = ZQ_EVENT_KEY_REPEAT,
  kEventMouseMove = ZQ_EVENT_MOUSE_MOVE,
  kEventButtonPress = ZQ_EVENT_BUTTON_PRESS,
  kEventButtonRelease = ZQ_EVENT_BUTTON_RELEASE,
  kEventDoubleClick = ZQ_EVENT_DOUBLE_CLICK,
  kEventWheel = ZQ_EVENT_WHEEL,
  kEventMouseEnter = ZQ_EVENT_MOUSE_ENTER,
  kEventMouseLeave = ZQ_EVENT_MOUSE_LEAVE,
  kEventGotFocus = ZQ_EVENT_FOCUS_IN,
  kEventLostFocus = ZQ_EVENT_FOCUS_OUT,
  kEventClose = ZQ_EVENT_CLOSE,
  kEventHWheel = ZQ_EVENT_HWHEEL,
  kEventFullScreen = ZQ_EVENT_FULL_SCREEN,
};

constexpr int kCloseKeyCode = 0x6BFF;  // also Alt+F4's code
constexpr int kVkReturn = 0x0D;
constexpr int kVkAlt = 0x12;
constexpr int kVkF10 = 0x79;

void post_key(int code) {
  const DriverHost* host = driver_host();
  if (host && host->post_key) host->post_key(code);
}

void post(int type, int a = 0, int b = 0, int c = 0, int d = 0) { win_post_event(GfxEvent{type, a, b, c, d}); }

// Recomputes whether the pointer is inside the client area: from the
// message's own position when it carries one, else from the pointer's.
void update_inside(WindowState* st, const WsMessage& m) {
  if (st->simulated_keys) {
    // Simulated input has no window to ask: the client area is the screen.
    if (ws_pointer_message(m.type)) st->inside = m.x >= 0 && m.x < st->width && m.y >= 0 && m.y < st->height;
    return;
  }
  const WindowSystem* ws = window_system();
  WsRect rect;
  if (!st->window || !ws->client_rect(st->window, &rect)) {
    st->inside = 0;
    return;
  }
  int x = m.desktop_x, y = m.desktop_y;
  if (!ws_pointer_message(m.type)) ws->pointer_position(&x, &y);
  st->inside = x >= rect.x && x < rect.x + rect.width && y >= rect.y && y < rect.y + rect.height;
  // Over a scaled screen's bars the pointer is outside the screen.
  int sx, sy;
  if (st->inside && (st->flags & ZQ_OPEN_SCALED))
    st->inside = scale_window_to_screen(st->layout, x - rect.x, y - rect.y, &sx, &sy);
}

// The first move (or activation) with the pointer inside starts tracking and
// turns the pending event into a mouse enter.
void mouse_enter_check(WindowState* st, GfxEvent& event, bool& have_event) {
  if (st->tracked || !st->active) return;
  st->tracked = 1;
  event.type = kEventMouseEnter;
  have_event = true;
  if (st->clip && !st->simulated_keys) win_clip_pointer(st);
}

// The keyboard as the message saw it: the window system's, or the one
// simulated input holds.
void keyboard_state(const WindowState* st, uint8_t keys[256]) {
  if (st->simulated_keys)
    std::memcpy(keys, st->simulated_keys, 256);
  else
    window_system()->keyboard_state(keys);
}

int key_path(const WindowState* st, const WsMessage& m) {
  const int virtual_key = m.key;
  const int scancode = m.scancode;
  const bool extended = (m.flags & kWsKeyExtended) != 0;
  const bool previously_down = (m.flags & kWsKeyWasDown) != 0;
  uint8_t keys[256];
  keyboard_state(st, keys);
  int modifiers = modifier_word(keys, extended);
  int character = virtual_key_base_character(virtual_key) ? virtual_key_character(virtual_key, keys) : 0;
  int code = translate_key(character, scancode, virtual_key, modifiers);
  GfxEvent event{kEventKeyRelease, scancode_for_virtual_key(virtual_key), code >= 0 && code <= 255 ? code : 0,
                 modifiers, 0};
  if (m.type == kWsKeyDown) {
    event.type = previously_down ? kEventKeyRepeat : kEventKeyPress;
    if (code >= 256)
      for (int i = 0; i < m.repeat; ++i) post_key(code);
  }
  if (virtual_key == kVkF10 || virtual_key == kVkAlt || code == kCloseKeyCode) return 0;
  win_post_event(event);
  return 0;
}

void activate(WindowState* st, const WsMessage& m) {
  const bool state = (m.flags & kWsActive) != 0;
  const bool minimised = (m.flags & kWsMinimised) != 0;
  st->active = state && !minimised;
  if (screen_state && screen_state->key_state) std::memset(screen_state->key_state, 0, kKeyStateSize);
  st->buttons = 0;
  win_mark_all_dirty(st);
  if (!st->active && st->tracked) {
    post(kEventMouseLeave);
    st->tracked = 0;
  }
  if (!state || !minimised) post(st->active ? kEventGotFocus : kEventLostFocus);
  if (st->active && st->inside) {
    GfxEvent event{};
    bool have_event = false;
    mouse_enter_check(st, event, have_event);
    if (have_event) win_post_event(event);
  } else if (st->clip && st->window) {
    window_system()->confine_pointer(st->window, st->active != 0);
  }
}

// A pointer message with its client position in screen pixels: a scaled
// screen's picture is k x k blocks between bars (the desktop position stays).
WsMessage in_screen_pixels(const WindowState* st, const WsMessage& message) {
  WsMessage m = message;
  if ((st->flags & ZQ_OPEN_SCALED) && ws_pointer_message(m.type))
    scale_window_to_screen(st->layout, message.x, message.y, &m.x, &m.y);
  return m;
}

bool alt_down(const WindowState* st) {
  uint8_t keys[256];
  keyboard_state(st, keys);
  return (modifier_word(keys, false) & (ZQ_MOD_ALT | ZQ_MOD_RIGHT_ALT)) != 0;
}

}  // namespace

int win_window_procedure(WindowState* st, const WsMessage& message) {
  const WindowSystem* ws = window_system();
  update_inside(st, message);
  const WsMessage m = in_screen_pixels(st, message);
  GfxEvent event{};
  bool have_event = false;
  switch (m.type) {
    case kWsSize:
      if (st->active && m.size == kWsSizeMaximised) return win_toggle_full_screen(st);
      break;
    case kWsSysKeyDown:
      if (!st->active) break;
      // Simulated input leaves the window as it is (only its thread may remake it).
      if (m.key == kVkReturn && alt_down(st) && !st->simulated_keys) return win_toggle_full_screen(st);
      return key_path(st, m);
    case kWsKeyDown:
    case kWsKeyUp:
      return key_path(st, m);
    case kWsActivate:
      activate(st, m);
      return 0;
    case kWsPaint:
      if (st->paint) st->paint(st);
      break;
    case kWsClose:
      // The window stays: the program decides what closing means.
      post_key(kCloseKeyCode);
      post(kEventClose);
      return 0;
    case kWsSetCursor:
      // The window system hides the cursor only over the window, so outside
      // it the arrow shows either way.
      ws->show_cursor(st->cursor_shown != 0);
      return 1;
    case kWsDisplayChange:
      if (st->paint) st->paint(st);
      win_mark_all_dirty(st);
      break;
    case kWsChar:
      if (m.character >= 0 && m.character <= 255)
        for (int i = 0; i < m.repeat; ++i) post_key(m.character);
      break;
    case kWsMouseMove: {
      // The motion is the change of the pointer's desktop position between
      // two messages, so a window that moves under a still pointer makes
      // none, and the first move into the window measures from where the
      // pointer was last seen outside it.
      st->mouse_x = m.x;
      st->mouse_y = m.y;
      int dx = 0, dy = 0;
      if (st->last_x != kWinNoPosition) {
        dx = m.desktop_x - st->last_x;
        dy = m.desktop_y - st->last_y;
      }
      st->last_x = m.desktop_x;
      st->last_y = m.desktop_y;
      event = {kEventMouseMove, m.x, m.y, dx, dy};
      have_event = (dx || dy) && st->active;
      mouse_enter_check(st, event, have_event);
      break;
    }
    case kWsButtonDown:
    case kWsDoubleClick:
      st->buttons |= m.button;
      event = {m.type == kWsButtonDown ? kEventButtonPress : kEventDoubleClick, m.button, m.x, m.y, 0};
      have_event = true;
      break;
    case kWsButtonUp:
      st->buttons &= ~m.button;
      event = {kEventButtonRelease, m.button, m.x, m.y, 0};
      have_event = true;
      break;
    case kWsWheel:
    case kWsHWheel: {
      const int step = m.step > 0 ? 1 : -1;
      int& counter = m.type == kWsWheel ? st->wheel : st->hwheel;
      counter += step;
      event = {m.type == kWsWheel ? kEventWheel : kEventHWheel, counter, step, m.x, m.y};
      have_event = true;
      break;
    }
    case kWsMouseLeave:
      if (!st->active) break;
      post(kEventMouseLeave);
      st->tracked = 0;
      return 0;
    default:
      break;
  }
  if (have_event) win_post_event(event);
  return 0;
}

int win_toggle_full_screen(WindowState* st) {
  if (st->tracked) post(kEventMouseLeave);
  if (st->flags & ZQ_OPEN_NO_SWITCH) return 0;
  if (st->clip && st->window) window_system()->confine_pointer(st->window, false);
  const int was = st->flags & ZQ_OPEN_FULLSCREEN;
  st->window_exit(st);
  st->flags ^= ZQ_OPEN_FULLSCREEN;
  if (st->window_init(st) != 0) {
    // Back to what worked before; that must work again.
    st->window_exit(st);
    st->flags ^= ZQ_OPEN_FULLSCREEN;
    st->window_init(st);
  }
  const DriverHost* host = driver_host();
  if (host && host->send_palette) host->send_palette();
  win_mark_all_dirty(st);
  st->active = 1;
  st->tracked = 0;
  // Programs learn of a switch that happened; a failed one changed nothing.
  if ((st->flags & ZQ_OPEN_FULLSCREEN) != was) post(kEventFullScreen, was ? 0 : 1);
  return 0;
}
