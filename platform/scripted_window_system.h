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
  std::string title;
  bool cursor_shown = true;
  bool confined = false;
  bool screen_saver = true;
  std::vector<uint8_t> pixels;               // the window surface
  int pitch = 0;
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
// Waits until the condition holds (checked under the lock) or the time is up.
bool scripted_wait(const std::function<bool(ScriptedWindowSystem&)>& condition,
                   std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));
// True when some recorded call starts with the text.
bool scripted_called(const std::string& prefix);
