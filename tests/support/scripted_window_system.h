// A window system that plays a script instead of talking to a display, for
// tests of the window layer and the drivers: tests queue messages, set the
// keyboard and pointer, and read back what was asked of it (window made,
// title, pointer, rows shown). Every operation may run on a driver thread;
// the state is reached only under its lock, through scripted().
#pragma once
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/window_system.h"

struct ScriptedWindowSystem {
  // What the script offers.
  DesktopInfo desktop{1024, 768, 32, 60};
  WsRect usable{0, 0, 1024, 740};  // the desktop without its panel
  int drawable_scale = 1;          // drawable pixels per window unit of a high-DPI window
  std::vector<WsDisplayMode> modes;  // full-screen modes
  bool video_fails = false;
  int create_failures = 0;   // the next creations that fail
  int surface_depth = 32;    // the window surface's format
  int surface_order = 0;
  std::deque<WsMessage> messages;
  uint8_t keys[256] = {};
  int pointer_x = 0, pointer_y = 0;  // desktop pixels
  bool shapes_supported = true;

  // What was asked of it.
  std::vector<std::string> calls;             // one line per operation, e.g. "create 640x480 style 4"
  std::vector<std::pair<int, int>> uploads;   // (first row, count)
  bool video_started = false;
  bool window_open = false;
  WsRect client{0, 0, 0, 0};                 // the open window's client area
  int window_style = 0;                      // the open window's kWsStyle* bits
  std::string title;
  bool cursor_shown = true;
  bool confined = false;
  bool screen_saver = true;
  std::vector<uint8_t> pixels;               // the window surface
  int pitch = 0;

  // Accelerated drawing: what the script offers.
  bool vga_mode = false;     // the display has the standard VGA mode
  bool accelerated = true;   // an accelerated renderer exists
  int texture_failures = 0;  // the next texture creations that fail
  int texture_depth = 32;    // the texture's format
  int texture_order = 0;
  uint8_t scancodes[256] = {};  // by scancode, extended keys + 128
  // What was asked of it.
  bool texture_open = false;
  int textures_made = 0;
  int texture_wanted_depth = 0;
  std::vector<uint8_t> texture_pixels;
  int texture_pitch = 0, texture_width = 0, texture_height = 0;
  std::vector<std::pair<int, int>> texture_uploads;  // (first row, count)
  std::vector<int> presents;                         // the y offset of each present
  std::vector<WsRect> present_places;                // where each present put the picture
  bool texture_lost = false;  // set by a test: the renderer lost its targets
  int vsync_waits = 0;

  // OpenGL: what the script offers.
  bool gl_library = true;
  bool gl_formats = true;           // some pixel format fits plain requests
  bool gl_multisample = true;       // formats with sample buffers exist
  bool gl_context_fails = false;
  std::string gl_extension_list = "GL_ARB_multitexture GL_EXT_bgra GL_EXT_texture3D";
  std::vector<std::string> gl_missing_procs;  // names gl_proc does not find
  // What was asked of it.
  int gl_loads = 0;                          // loaded minus unloaded
  WsGlAttributes gl_attributes{};            // the last format asked for
  std::vector<WsGlAttributes> gl_windows;    // the format of each OpenGL window tried
  bool gl_context = false;
  bool gl_current = false;                   // a context is current on a window
  int swaps = 0;
  std::vector<unsigned> gl_enabled;          // glEnable arguments
};

extern const WindowSystem scripted_window_system;

// Runs f on the stand-in's state under its lock and returns what f returns.
std::mutex& scripted_lock();
ScriptedWindowSystem& scripted_state();
template <typename F>
auto scripted(F&& f) {
  std::lock_guard<std::mutex> guard(scripted_lock());
  return f(scripted_state());
}

// Back to the initial state (nothing asked, no window, empty script).
void scripted_reset();
void scripted_push(const WsMessage& message);
// A pointer message at a client position of the open window, as the window
// system makes one: its desktop position is the client area's corner plus
// the client position, and the pointer is there from now on.
WsMessage scripted_pointer(int type, int x, int y);
// Waits until the condition holds (checked under the lock) or the time is up.
bool scripted_wait(const std::function<bool(ScriptedWindowSystem&)>& condition,
                   std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));
// The user gives the window a new client size: a new surface and a size
// message.
void scripted_resize(int width, int height);
// True when some recorded call starts with the text.
bool scripted_called(const std::string& prefix);
