// The scripted stand-in for the window system.
#include "tests/support/scripted_window_system.h"

#include <algorithm>
#include <thread>
#include <utility>

struct WsWindow {
  int unused;
};

namespace {

std::mutex state_lock;
ScriptedWindowSystem state;
WsWindow the_window{0};
// Handles of the one texture and the one context; never looked into.
int texture_token = 0, context_token = 0;
WsTexture* const the_texture = reinterpret_cast<WsTexture*>(&texture_token);
WsGlContext* const the_context = reinterpret_cast<WsGlContext*>(&context_token);

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
    std::string line = "mode " + std::to_string(mode->width) + "x" + std::to_string(mode->height) + "x" +
                       std::to_string(mode->bits_per_pixel);
    if (mode->refresh_rate) {
      line += '@';
      line += std::to_string(mode->refresh_rate);
    }
    record(s, std::move(line));
    return std::any_of(s.modes.begin(), s.modes.end(), [mode](const WsDisplayMode& m) {
      return m.width == mode->width && m.height == mode->height && m.bits_per_pixel == mode->bits_per_pixel &&
             (mode->refresh_rate == 0 || m.refresh_rate == mode->refresh_rate);
    });
  });
}

// A surface of the drawable's size, black.
void make_surface(ScriptedWindowSystem& s) {
  int bytes = s.surface_depth == 15 ? 2 : s.surface_depth / 8;
  const int scale = (s.window_style & kWsStyleHighDpi) ? s.drawable_scale : 1;
  s.pitch = (s.client.width * scale * bytes + 3) & ~3;
  s.pixels.assign(size_t(s.pitch) * size_t(s.client.height * scale), 0);
}

WsWindow* create_window(const WsWindowDesc* desc) {
  return locked([desc](ScriptedWindowSystem& s) -> WsWindow* {
    record(s, "create " + std::to_string(desc->width) + "x" + std::to_string(desc->height) + " at " +
                  std::to_string(desc->x) + "," + std::to_string(desc->y) + " style " + std::to_string(desc->style));
    if (s.create_failures > 0) {
      --s.create_failures;
      return nullptr;
    }
    if ((desc->style & kWsStyleShaped) && !s.shapes_supported) return nullptr;
    if (desc->style & kWsStyleOpenGL) {
      s.gl_windows.push_back(s.gl_attributes);
      bool multisampled = s.gl_attributes.sample_buffers > 0 || s.gl_attributes.samples > 0;
      if (s.gl_loads <= 0 || !s.gl_formats || (multisampled && !s.gl_multisample)) return nullptr;
    }
    s.window_open = true;
    s.client = {desc->x, desc->y, desc->width, desc->height};
    if (desc->style & kWsStyleDesktopFullScreen) s.client = {0, 0, s.desktop.width, s.desktop.height};
    s.title = desc->title ? desc->title : "";
    s.window_style = desc->style;
    make_surface(s);
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

bool usable_desktop(WsRect* area) {
  return locked([area](ScriptedWindowSystem& s) {
    *area = s.usable;
    return true;
  });
}

bool drawable_size(WsWindow*, int* width, int* height) {
  return locked([width, height](ScriptedWindowSystem& s) {
    *width = s.client.width * s.drawable_scale;
    *height = s.client.height * s.drawable_scale;
    return s.window_open;
  });
}

// The stand-in's windows have no frame.
bool frame_origin(WsWindow*, int* x, int* y) {
  return locked([x, y](ScriptedWindowSystem& s) {
    *x = s.client.x;
    *y = s.client.y;
    return s.window_open;
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
    const int scale = (s.window_style & kWsStyleHighDpi) ? s.drawable_scale : 1;
    *out = {s.pixels.data(), s.pitch, s.client.width * scale, s.client.height * scale, s.surface_depth,
            s.surface_order};
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

bool standard_vga_mode() {
  return locked([](ScriptedWindowSystem& s) {
    record(s, "vga mode");
    return s.vga_mode;
  });
}

WsTexture* create_texture(WsWindow*, int width, int height, int wanted_depth, WsSurface* format) {
  return locked([=](ScriptedWindowSystem& s) -> WsTexture* {
    record(s, "texture " + std::to_string(width) + "x" + std::to_string(height));
    s.texture_wanted_depth = wanted_depth;
    if (!s.accelerated || !s.window_open) return nullptr;
    if (s.texture_failures > 0) {
      --s.texture_failures;
      return nullptr;
    }
    int bytes = s.texture_depth == 15 ? 2 : s.texture_depth / 8;
    s.texture_open = true;
    ++s.textures_made;
    s.texture_width = width;
    s.texture_height = height;
    s.texture_pitch = (width * bytes + 3) & ~3;
    // Fresh video memory holds whatever was there.
    s.texture_pixels.assign(size_t(s.texture_pitch) * size_t(height), 0xA5);
    *format = {nullptr, s.texture_pitch, width, height, s.texture_depth, s.texture_order};
    return the_texture;
  });
}

bool lock_texture(WsTexture*, WsSurface* out) {
  return locked([out](ScriptedWindowSystem& s) {
    if (!s.texture_open) return false;
    *out = {s.texture_pixels.data(), s.texture_pitch, s.texture_width, s.texture_height, s.texture_depth,
            s.texture_order};
    return true;
  });
}

void unlock_texture(WsTexture*, int first, int count) {
  locked([first, count](ScriptedWindowSystem& s) {
    if (count > 0) s.texture_uploads.emplace_back(first, count);
  });
}

bool present_texture(WsTexture*, const WsRect* place) {
  return locked([place](ScriptedWindowSystem& s) {
    s.presents.push_back(place->y);
    s.present_places.push_back(*place);
    return s.texture_open;
  });
}

bool texture_lost(WsTexture*) {
  return locked([](ScriptedWindowSystem& s) { return std::exchange(s.texture_lost, false); });
}

void destroy_texture(WsTexture*) {
  locked([](ScriptedWindowSystem& s) {
    record(s, "destroy texture");
    s.texture_open = false;
  });
}

void scancode_state(uint8_t keys[256]) {
  locked([keys](ScriptedWindowSystem& s) { std::copy(s.scancodes, s.scancodes + 256, keys); });
}

void wait_vertical_blank(int) {
  locked([](ScriptedWindowSystem& s) { ++s.vsync_waits; });
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

bool gl_load() {
  return locked([](ScriptedWindowSystem& s) {
    record(s, "gl load");
    if (!s.gl_library) return false;
    ++s.gl_loads;
    return true;
  });
}

void gl_unload() {
  locked([](ScriptedWindowSystem& s) {
    record(s, "gl unload");
    --s.gl_loads;
  });
}

bool gl_set_attributes(const WsGlAttributes* attributes) {
  return locked([attributes](ScriptedWindowSystem& s) {
    s.gl_attributes = *attributes;
    return true;
  });
}

WsGlContext* gl_create_context(WsWindow*) {
  return locked([](ScriptedWindowSystem& s) -> WsGlContext* {
    record(s, "gl context");
    if (s.gl_context_fails || !s.window_open) return nullptr;
    s.gl_context = s.gl_current = true;
    return the_context;
  });
}

bool gl_make_current(WsWindow* window, WsGlContext* context) {
  return locked([window, context](ScriptedWindowSystem& s) {
    if (!window || !context) {
      s.gl_current = false;
      return true;
    }
    s.gl_current = s.gl_context && s.window_open;
    return s.gl_current;
  });
}

void gl_swap(WsWindow*) {
  locked([](ScriptedWindowSystem& s) { ++s.swaps; });
}

const char* gl_extensions() {
  return locked([](ScriptedWindowSystem& s) { return s.gl_current ? s.gl_extension_list.c_str() : nullptr; });
}

void fake_gl_enable(unsigned capability) {
  locked([capability](ScriptedWindowSystem& s) { s.gl_enabled.push_back(capability); });
}
void fake_gl_function() {}

void* gl_proc(const char* name) {
  return locked([name](ScriptedWindowSystem& s) -> void* {
    std::string n = name;
    if (std::find(s.gl_missing_procs.begin(), s.gl_missing_procs.end(), n) != s.gl_missing_procs.end())
      return nullptr;
    if (n == "glEnable") return reinterpret_cast<void*>(&fake_gl_enable);
    return n.rfind("gl", 0) == 0 ? reinterpret_cast<void*>(&fake_gl_function) : nullptr;
  });
}

void gl_delete_context(WsGlContext*) {
  locked([](ScriptedWindowSystem& s) {
    record(s, "gl delete context");
    s.gl_context = s.gl_current = false;
  });
}

}  // namespace

// Named fields: operations the stand-in does not play stay empty.
const WindowSystem scripted_window_system = {
    .name = "Scripted",
    .start_video = start_video,
    .stop_video = stop_video,
    .desktop_info = desktop_info,
    .usable_desktop = usable_desktop,
    .display_mode = display_mode,
    .change_display_mode = change_display_mode,
    .create_window = create_window,
    .destroy_window = destroy_window,
    .raise_window = raise_window,
    .set_title = set_title,
    .client_rect = client_rect,
    .frame_origin = frame_origin,
    .move_window = move_window,
    .drawable_size = drawable_size,
    .next_message = next_message,
    .keyboard_state = keyboard_state,
    .pointer_position = pointer_position,
    .warp_pointer = warp_pointer,
    .show_cursor = show_cursor,
    .confine_pointer = confine_pointer,
    .screen_saver_enabled = screen_saver_enabled,
    .set_screen_saver = set_screen_saver,
    .refresh_rate = refresh_rate,
    .surface = surface,
    .upload_rows = upload_rows,
    .apply_shape = apply_shape,
    .standard_vga_mode = standard_vga_mode,
    .create_texture = create_texture,
    .lock_texture = lock_texture,
    .unlock_texture = unlock_texture,
    .present_texture = present_texture,
    .texture_lost = texture_lost,
    .destroy_texture = destroy_texture,
    .scancode_state = scancode_state,
    .wait_vertical_blank = wait_vertical_blank,
    .gl_load = gl_load,
    .gl_unload = gl_unload,
    .gl_set_attributes = gl_set_attributes,
    .gl_create_context = gl_create_context,
    .gl_make_current = gl_make_current,
    .gl_swap = gl_swap,
    .gl_extensions = gl_extensions,
    .gl_proc = gl_proc,
    .gl_delete_context = gl_delete_context,
    .last_error = nullptr,  // the drivers then give "unknown cause"
};

std::mutex& scripted_lock() { return state_lock; }
ScriptedWindowSystem& scripted_state() { return state; }

void scripted_reset() {
  locked([](ScriptedWindowSystem& s) { s = ScriptedWindowSystem{}; });
}

void scripted_push(const WsMessage& message) {
  locked([&message](ScriptedWindowSystem& s) { s.messages.push_back(message); });
}

WsMessage scripted_pointer(int type, int x, int y) {
  return locked([=](ScriptedWindowSystem& s) {
    WsMessage m{.type = type};
    m.x = x;
    m.y = y;
    m.desktop_x = s.pointer_x = s.client.x + x;
    m.desktop_y = s.pointer_y = s.client.y + y;
    return m;
  });
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

void scripted_resize(int width, int height) {
  locked([width, height](ScriptedWindowSystem& s) {
    s.client.width = width;
    s.client.height = height;
    make_surface(s);
    WsMessage size;
    size.type = kWsSize;
    size.size = kWsSizeRestored;
    s.messages.push_back(size);
  });
}
