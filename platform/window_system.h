// The window system as the window layer and the drivers see it: one window,
// its messages, the keyboard by virtual key, the pointer, display modes, the
// desktop and the window's pixel surface. It is a record of operations, so a
// scripted stand-in can take the real one's place in tests.
//
// Messages follow the desktop message model the window layer was written
// for: keys carry a virtual-key code (wparam) and the packed key data
// (lparam: repeat count in bits 0-15, set-1 scancode in bits 16-23, the
// extended bit 24, previously-down bit 30, released bit 31); characters are
// code page 437 bytes; pointer positions are client pixels packed as
// x | y << 16.
#pragma once
#include <cstdint>

#include "platform/platform.h"

struct WsWindow;  // one window of the window system

enum WsMessageType : int {
  kWsNone = 0,
  kWsKeyDown,       // wparam virtual key, lparam key data
  kWsKeyUp,
  kWsSysKeyDown,    // a key pressed while Alt is held, or F10
  kWsSysKeyUp,
  kWsChar,          // wparam code page 437 byte, lparam repeat count
  kWsMouseMove,     // lparam client x | y << 16
  kWsButtonDown,    // wparam button bit: 1 left, 2 right, 4 middle, 8, 16 extra
  kWsButtonUp,
  kWsDoubleClick,
  kWsWheel,         // wparam signed step: > 0 away from the user
  kWsHWheel,        // wparam signed step: > 0 to the right
  kWsMouseEnter,    // the pointer came into the window
  kWsMouseLeave,    // the pointer left the window
  kWsActivate,      // wparam: state (0 inactive, 1 active) | minimised << 16
  kWsClose,         // the user asked to close the window
  kWsSize,          // wparam kWsSize* kind
  kWsMoving,        // the window is being moved
  kWsPaint,         // part of the window must be drawn again
  kWsDisplayChange, // the display's mode or layout changed
  kWsSetCursor,     // show or hide the cursor as the layer wants it now
};

constexpr uint32_t kWsSizeRestored = 0;
constexpr uint32_t kWsSizeMinimised = 1;
constexpr uint32_t kWsSizeMaximised = 2;

struct WsMessage {
  int type;
  uint32_t wparam;
  uint32_t lparam;
};

// Key data of a key message.
constexpr uint32_t ws_key_data(int scancode, bool extended, bool previously_down, bool released) {
  return 1u | uint32_t(scancode & 0xFF) << 16 | (extended ? 1u << 24 : 0u) | (previously_down ? 1u << 30 : 0u) |
         (released ? 1u << 31 : 0u);
}

// Window styles.
constexpr int kWsStyleFullScreen = 0x01;   // covers the display, no frame
constexpr int kWsStyleNoFrame = 0x02;      // pop-up window without frame
constexpr int kWsStyleMaximiseBox = 0x04;  // frame offers maximise
constexpr int kWsStyleOnTop = 0x08;        // stays above other windows
constexpr int kWsStyleShaped = 0x10;       // parts of it can be see-through

struct WsWindowSpec {
  const char* title;
  int x, y, width, height;  // client area, desktop pixels
  int style;                // kWsStyle* bits
};

struct WsRect {
  int x, y, width, height;
};

struct WsDisplayMode {
  int width, height, bits_per_pixel, refresh_rate;
};

// A window's pixels: rows of `pitch` bytes; depth 15, 16, 24 or 32; order 0
// puts red in the highest field (24-bit bytes blue, green, red), order 1
// exchanges red and blue.
struct WsSurface {
  uint8_t* pixels;
  int pitch, width, height;
  int depth;
  int order;
};

struct WindowSystem {
  const char* name;
  // Video on the calling thread: every later call for a window is made on
  // the thread that started video and made the window.
  bool (*start_video)();
  void (*stop_video)();
  bool (*desktop_info)(DesktopInfo* info);
  // Full-screen modes of the display, from index 0 up; false past the last.
  bool (*display_mode)(int index, WsDisplayMode* mode);
  // Switches the display to exactly this mode for the next full-screen
  // window (false when the display has no such mode); null restores it.
  bool (*change_display_mode)(const WsDisplayMode* mode);
  WsWindow* (*create_window)(const WsWindowSpec* spec);
  void (*destroy_window)(WsWindow* window);
  void (*raise_window)(WsWindow* window);
  void (*set_title)(WsWindow* window, const char* title);
  // The client area in desktop pixels.
  bool (*client_rect)(WsWindow* window, WsRect* rect);
  void (*move_window)(WsWindow* window, int x, int y);
  // Removes the next pending message without waiting; false when none.
  bool (*next_message)(WsWindow* window, WsMessage* message);
  // 256 entries by virtual key, bit 0x80 set while the key is down.
  void (*keyboard_state)(uint8_t keys[256]);
  // The pointer in desktop pixels.
  void (*pointer_position)(int* x, int* y);
  void (*warp_pointer)(WsWindow* window, int client_x, int client_y);
  void (*show_cursor)(bool shown);
  void (*confine_pointer)(WsWindow* window, bool confined);
  bool (*screen_saver_enabled)();
  void (*set_screen_saver)(bool enabled);
  // Vertical refresh of the display that shows the window; 0 unknown.
  int (*refresh_rate)(WsWindow* window);
  // The window's pixels; valid until the next call on the window.
  bool (*surface)(WsWindow* window, WsSurface* surface);
  // Shows rows first..first+count-1 of the surface.
  bool (*upload_rows)(WsWindow* window, int first, int count);
  // Shaped windows: pixels of the surface equal to the key colour (0xRRGGBB)
  // become see-through.
  bool (*apply_shape)(WsWindow* window, uint32_t key_rgb);
};

// The window system in use; SDL unless a test replaced it.
const WindowSystem* window_system();
// Replaces the window system (null restores SDL). Not while a window exists.
void set_window_system(const WindowSystem* system);

extern const WindowSystem sdl_window_system;
