// The scripted stand-in for the window system.
#include "platform/scripted_window_system.h"

#include <algorithm>
#include <thread>

struct WsWindow {
  int unused;
};

namespace {

std::mutex state_lock;
ScriptedWindowSystem state;
WsWindow the_window{0};

void record(ScriptedWindowSystem& s, std::string line) { s.calls.push_back(std::move(line)); }

template <typename F>
auto locked(F&& f) {
  std::lock_guard<std::mutex> guard(state_lock);
  return f(state);
}

bool start_video() {
  return locked([](ScriptedWindowSystem& s) {
    record(s, "start video");
    s.video_started = !s.video_fails;
    return s.video_started;
  });
}

void stop_video() {
  locked([](ScriptedWindowSystem& s) {
    record(s, "stop video");
    s.video_started = false;
  });
}

bool desktop_info(DesktopInfo* info) {
  return locked([info](ScriptedWindowSystem& s) {
    *info = s.desktop;
    return true;
  });
}

bool display_mode(int index, WsDisplayMode* mode) {
  return locked([index, mode](ScriptedWindowSystem& s) {
    if (index < 0 || size_t(index) >= s.modes.size()) return false;
    *mode = s.modes[size_t(index)];
    return true;
  });
}

bool change_display_mode(const WsDisplayMode* mode) {
  return locked([mode](ScriptedWindowSystem& s) {
    if (!mode) {
      record(s, "restore mode");
      return true;
    }
    record(s, "mode " + std::to_string(mode->width) + "x" + std::to_string(mode->height) + "x" +
                  std::to_string(mode->bits_per_pixel));
    return std::any_of(s.modes.begin(), s.modes.end(), [mode](const WsDisplayMode& m) {
      return m.width == mode->width && m.height == mode->height && m.bits_per_pixel == mode->bits_per_pixel;
    });
  });
}

WsWindow* create_window(const WsWindowSpec* spec) {
  return locked([spec](ScriptedWindowSystem& s) -> WsWindow* {
    record(s, "create " + std::to_string(spec->width) + "x" + std::to_string(spec->height) + " at " +
                  std::to_string(spec->x) + "," + std::to_string(spec->y) + " style " + std::to_string(spec->style));
    if (s.create_failures > 0) {
      --s.create_failures;
      return nullptr;
    }
    if ((spec->style & kWsStyleShaped) && !s.shapes_supported) return nullptr;
    s.window_open = true;
    s.client = {spec->x, spec->y, spec->width, spec->height};
    s.title = spec->title ? spec->title : "";
    int bytes = s.surface_depth == 15 ? 2 : s.surface_depth / 8;
    s.pitch = (spec->width * bytes + 3) & ~3;
    s.pixels.assign(size_t(s.pitch) * size_t(spec->height), 0);
    return &the_window;
  });
}

void destroy_window(WsWindow*) {
  locked([](ScriptedWindowSystem& s) {
    record(s, "destroy");
    s.window_open = false;
  });
}

void raise_window(WsWindow*) {
  locked([](ScriptedWindowSystem& s) { record(s, "raise"); });
}

void set_title(WsWindow*, const char* title) {
  locked([title](ScriptedWindowSystem& s) {
    s.title = title;
    record(s, std::string("title ") + title);
  });
}

bool client_rect(WsWindow*, WsRect* rect) {
  return locked([rect](ScriptedWindowSystem& s) {
    *rect = s.client;
    return true;
  });
}

void move_window(WsWindow*, int x, int y) {
  locked([x, y](ScriptedWindowSystem& s) {
    s.client.x = x;
    s.client.y = y;
    record(s, "move " + std::to_string(x) + "," + std::to_string(y));
  });
}

bool next_message(WsWindow*, WsMessage* message) {
  return locked([message](ScriptedWindowSystem& s) {
    if (s.messages.empty()) return false;
    *message = s.messages.front();
    s.messages.pop_front();
    return true;
  });
}

void keyboard_state(uint8_t keys[256]) {
  locked([keys](ScriptedWindowSystem& s) { std::copy(s.keys, s.keys + 256, keys); });
}

void pointer_position(int* x, int* y) {
  locked([x, y](ScriptedWindowSystem& s) {
    *x = s.pointer_x;
    *y = s.pointer_y;
  });
}

void warp_pointer(WsWindow*, int x, int y) {
  locked([x, y](ScriptedWindowSystem& s) {
    s.pointer_x = s.client.x + x;
    s.pointer_y = s.client.y + y;
    record(s, "warp " + std::to_string(x) + "," + std::to_string(y));
  });
}

void show_cursor(bool shown) {
  locked([shown](ScriptedWindowSystem& s) {
    s.cursor_shown = shown;
    record(s, shown ? "cursor on" : "cursor off");
  });
}

void confine_pointer(WsWindow*, bool confined) {
  locked([confined](ScriptedWindowSystem& s) {
    s.confined = confined;
    record(s, confined ? "confine on" : "confine off");
  });
}

bool screen_saver_enabled() {
  return locked([](ScriptedWindowSystem& s) { return s.screen_saver; });
}

void set_screen_saver(bool enabled) {
  locked([enabled](ScriptedWindowSystem& s) { s.screen_saver = enabled; });
}

int refresh_rate(WsWindow*) {
  return locked([](ScriptedWindowSystem& s) { return s.desktop.refresh_rate; });
}

bool surface(WsWindow*, WsSurface* out) {
  return locked([out](ScriptedWindowSystem& s) {
    if (!s.window_open) return false;
    *out = {s.pixels.data(), s.pitch, s.client.width, s.client.height, s.surface_depth, s.surface_order};
    return true;
  });
}

bool upload_rows(WsWindow*, int first, int count) {
  return locked([first, count](ScriptedWindowSystem& s) {
    s.uploads.emplace_back(first, count);
    return true;
  });
}

bool apply_shape(WsWindow*, uint32_t key_rgb) {
  return locked([key_rgb](ScriptedWindowSystem& s) {
    record(s, "shape " + std::to_string(key_rgb));
    return s.shapes_supported;
  });
}

}  // namespace

const WindowSystem scripted_window_system = {
    "Scripted",     start_video,       stop_video,      desktop_info,  display_mode,
    change_display_mode, create_window, destroy_window, raise_window,  set_title,
    client_rect,    move_window,       next_message,    keyboard_state, pointer_position,
    warp_pointer,   show_cursor,       confine_pointer, screen_saver_enabled, set_screen_saver,
    refresh_rate,   surface,           upload_rows,     apply_shape,
};

std::mutex& scripted_lock() { return state_lock; }
ScriptedWindowSystem& scripted_state() { return state; }

void scripted_reset() {
  locked([](ScriptedWindowSystem& s) { s = ScriptedWindowSystem{}; });
}

void scripted_push(const WsMessage& message) {
  locked([&message](ScriptedWindowSystem& s) { s.messages.push_back(message); });
}

bool scripted_wait(const std::function<bool(ScriptedWindowSystem&)>& condition, std::chrono::milliseconds timeout) {
  auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (locked(condition)) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

bool scripted_called(const std::string& prefix) {
  return locked([&prefix](ScriptedWindowSystem& s) {
    return std::any_of(s.calls.begin(), s.calls.end(),
                       [&prefix](const std::string& c) { return c.rfind(prefix, 0) == 0; });
  });
}
