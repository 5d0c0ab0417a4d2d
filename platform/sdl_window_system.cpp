// The window system on SDL2. SDL's events become the layer's messages here:
// keys with virtual-key codes and set-1 scancodes, text input as code page
// 437 characters (plus the control characters text input never reports),
// pointer and buttons, window focus, size, close and exposure.
//
// Pointer messages carry their own desktop position: the window's position
// plus the event's client position. SDL's global pointer query is no
// measure of motion: on X11 it answers from a cache that SDL refreshes only
// when an input-extension raw event arrives (device motion, a button), so a
// pointer moved by a warp or by an absolute test pointer leaves it where it
// was.
#include <SDL.h>
#include <SDL_shape.h>

#include <deque>
#include <utility>

#include "platform/cp437.h"
#include "platform/key_characters.h"
#include "platform/sdl_keys.h"
#include "platform/sdl_video.h"
#include "platform/sdl_window.h"

namespace {

// The mode the next full-screen window switches the display to.
bool full_screen_mode_set = false;
SDL_DisplayMode full_screen_mode;

int mode_bits(Uint32 format) { return SDL_BYTESPERPIXEL(format) == 4 ? 32 : int(SDL_BITSPERPIXEL(format)); }

bool start_video() {
  if (!sdl_video_start()) return false;
  SDL_StartTextInput();
  return true;
}

// Video stays up for the process's next screen or try.
void stop_video() {}

bool desktop_info(DesktopInfo* info) { return platform_desktop_info(info); }

bool display_mode(int index, WsDisplayMode* mode) {
  SDL_DisplayMode m;
  if (index < 0 || index >= SDL_GetNumDisplayModes(0) || SDL_GetDisplayMode(0, index, &m) != 0) return false;
  *mode = {m.w, m.h, mode_bits(m.format), m.refresh_rate};
  return true;
}

bool change_display_mode(const WsDisplayMode* mode) {
  full_screen_mode_set = false;
  if (!mode) return true;  // the display returns to the desktop mode with the full-screen window
  SDL_DisplayMode m;
  int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count && SDL_GetDisplayMode(0, i, &m) == 0; ++i) {
    if (m.w == mode->width && m.h == mode->height && mode_bits(m.format) == mode->bits_per_pixel &&
        (mode->refresh_rate == 0 || m.refresh_rate == mode->refresh_rate)) {
      full_screen_mode = m;
      full_screen_mode_set = true;
      return true;
    }
  }
  return false;
}

WsWindow* create_window(const WsWindowDesc* desc) {
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if (desc->style & kWsStyleFullScreen) flags |= SDL_WINDOW_FULLSCREEN;
  if (desc->style & kWsStyleNoFrame) flags |= SDL_WINDOW_BORDERLESS;
  if (desc->style & kWsStyleMaximiseBox) flags |= SDL_WINDOW_RESIZABLE;
  if (desc->style & kWsStyleOnTop) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  if (desc->style & kWsStyleOpenGL) flags |= SDL_WINDOW_OPENGL;
  if (desc->style & kWsStyleResizable) flags |= SDL_WINDOW_RESIZABLE;
  if (desc->style & kWsStyleDesktopFullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  if (desc->style & kWsStyleHighDpi) flags |= SDL_WINDOW_ALLOW_HIGHDPI;
  if ((desc->style & kWsStyleFullScreen) && !full_screen_mode_set) return nullptr;
  // Video outlives each window: input still queued for an earlier one is
  // no input for this one.
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  SDL_Window* window;
  if (desc->style & kWsStyleShaped)
    window = SDL_CreateShapedWindow(desc->title, unsigned(desc->x), unsigned(desc->y), unsigned(desc->width),
                                    unsigned(desc->height), flags & ~Uint32(SDL_WINDOW_FULLSCREEN));
  else
    window = SDL_CreateWindow(desc->title, desc->x, desc->y, desc->width, desc->height, flags);
  if (!window) return nullptr;
  if ((desc->style & kWsStyleFullScreen) && SDL_SetWindowDisplayMode(window, &full_screen_mode) != 0) {
    SDL_DestroyWindow(window);
    return nullptr;
  }
  SDL_ShowWindow(window);
  return new WsWindow{window, SDL_GetWindowID(window), {}};
}

void destroy_window(WsWindow* w) {
  if (!w) return;
  SDL_DestroyWindow(w->window);
  delete w;
}

void raise_window(WsWindow* w) { SDL_RaiseWindow(w->window); }
void set_title(WsWindow* w, const char* title) { SDL_SetWindowTitle(w->window, title); }

bool client_rect(WsWindow* w, WsRect* rect) {
  SDL_GetWindowPosition(w->window, &rect->x, &rect->y);
  SDL_GetWindowSize(w->window, &rect->width, &rect->height);
  return true;
}

void move_window(WsWindow* w, int x, int y) { SDL_SetWindowPosition(w->window, x, y); }

bool frame_origin(WsWindow* w, int* x, int* y) {
  int top = 0, left = 0;
  SDL_GetWindowPosition(w->window, x, y);
  if (SDL_GetWindowBordersSize(w->window, &top, &left, nullptr, nullptr) == 0) {
    *x -= left;
    *y -= top;
  }
  return true;
}

bool usable_desktop(WsRect* area) {
  SDL_Rect r;
  if (!sdl_video_start() || SDL_GetDisplayUsableBounds(0, &r) != 0) return false;
  *area = {r.x, r.y, r.w, r.h};
  return true;
}

bool drawable_size(WsWindow* w, int* width, int* height) {
  SDL_GetWindowSizeInPixels(w->window, width, height);
  return *width > 0 && *height > 0;
}

void push(WsWindow* w, const WsMessage& message) { w->messages.push_back(message); }
void push(WsWindow* w, int type) { push(w, WsMessage{.type = type}); }

// The modifiers of the last key event translated. SDL events are translated
// one at a time, and only once the window's queue is empty, so while the
// window layer handles a key's messages this is the keyboard as that key saw
// it; SDL's own key array already holds every event pumped since.
SDL_Keymod key_event_mod = KMOD_NONE;

void translate_key(WsWindow* w, const SDL_KeyboardEvent& e) {
  key_event_mod = SDL_Keymod(e.keysym.mod);
  KeyIdentity key = sdl_key_identity(e.keysym.scancode, (e.keysym.mod & KMOD_NUM) != 0);
  if (!key.virtual_key) return;
  WsMessage messages[2];
  const int count = key_messages(key, e.state == SDL_PRESSED, e.repeat != 0, (e.keysym.mod & KMOD_SHIFT) != 0,
                                 (e.keysym.mod & KMOD_CTRL) != 0, (e.keysym.mod & KMOD_ALT) != 0, messages);
  for (int i = 0; i < count; ++i) w->messages.push_back(messages[i]);
}

void translate_text(WsWindow* w, const char* text) {
  SDL_Keymod mod = SDL_GetModState();
  if ((mod & KMOD_LALT) && !(mod & KMOD_CTRL)) return;  // system characters: not typed text
  uint32_t code_point;
  while (int n = utf8_next(text, &code_point)) {
    text += n;
    int c = cp437_from_unicode(code_point);
    if (c >= 0) push(w, WsMessage{.type = kWsChar, .character = c, .repeat = 1});
  }
}

int button_bit(Uint8 button) {
  switch (button) {
    case SDL_BUTTON_LEFT: return 1;
    case SDL_BUTTON_RIGHT: return 2;
    case SDL_BUTTON_MIDDLE: return 4;
    case SDL_BUTTON_X1: return 8;
    case SDL_BUTTON_X2: return 16;
    default: return 0;
  }
}

// A pointer message at client position x, y.
WsMessage pointer_message(WsWindow* w, int type, int x, int y) {
  int left = 0, top = 0;
  SDL_GetWindowPosition(w->window, &left, &top);
  WsMessage m{.type = type};
  m.x = x;
  m.y = y;
  m.desktop_x = left + x;
  m.desktop_y = top + y;
  return m;
}

void translate_window_event(WsWindow* w, const SDL_WindowEvent& e) {
  Uint32 flags = SDL_GetWindowFlags(w->window);
  const int focused = (flags & SDL_WINDOW_INPUT_FOCUS) ? kWsActive : 0;
  const auto activate = [w](int activation) { push(w, WsMessage{.type = kWsActivate, .flags = activation}); };
  const auto size = [w](int kind) { push(w, WsMessage{.type = kWsSize, .size = kind}); };
  switch (e.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED: activate(kWsActive | ((flags & SDL_WINDOW_MINIMIZED) ? kWsMinimised : 0)); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: activate(0); break;
    case SDL_WINDOWEVENT_MINIMIZED: activate(focused | kWsMinimised); break;
    case SDL_WINDOWEVENT_RESTORED:
      if (focused) activate(kWsActive);
      size(kWsSizeRestored);
      break;
    case SDL_WINDOWEVENT_MAXIMIZED: size(kWsSizeMaximised); break;
    case SDL_WINDOWEVENT_SIZE_CHANGED: size(kWsSizeRestored); break;
    case SDL_WINDOWEVENT_CLOSE: push(w, kWsClose); break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED: push(w, kWsPaint); break;
    // The pointer coming in needs no message of its own: SDL reports the
    // crossing point as a motion, which the layer's first-move rule turns
    // into the mouse enter.
    case SDL_WINDOWEVENT_LEAVE: push(w, kWsMouseLeave); break;
    case SDL_WINDOWEVENT_MOVED: push(w, kWsMoving); break;
    default: break;
  }
}

int sign(int v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

void translate_wheel(WsWindow* w, const SDL_MouseWheelEvent& e) {
  const int flip = e.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
  for (const auto& [type, amount] : {std::pair{kWsWheel, e.y}, std::pair{kWsHWheel, e.x}}) {
    if (!amount) continue;
    WsMessage m = pointer_message(w, type, e.mouseX, e.mouseY);
    m.step = sign(amount) * flip;
    push(w, m);
  }
}

void translate_event(WsWindow* w, const SDL_Event& e) {
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: translate_key(w, e.key); break;
    case SDL_TEXTINPUT: translate_text(w, e.text.text); break;
    case SDL_MOUSEMOTION: push(w, pointer_message(w, kWsMouseMove, e.motion.x, e.motion.y)); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (int bit = button_bit(e.button.button)) {
        const bool twice = e.button.clicks >= 2 && e.button.clicks % 2 == 0;
        const int type = e.type == SDL_MOUSEBUTTONUP ? kWsButtonUp : twice ? kWsDoubleClick : kWsButtonDown;
        WsMessage m = pointer_message(w, type, e.button.x, e.button.y);
        m.button = bit;
        push(w, m);
      }
      break;
    case SDL_MOUSEWHEEL: translate_wheel(w, e.wheel); break;
    case SDL_WINDOWEVENT:
      if (e.window.windowID == w->id) translate_window_event(w, e.window);
      break;
    case SDL_DISPLAYEVENT: push(w, kWsDisplayChange); break;
    default: break;
  }
}

bool next_message(WsWindow* w, WsMessage* message) {
  SDL_Event e;
  while (w->messages.empty() && SDL_PollEvent(&e)) translate_event(w, e);
  if (w->messages.empty()) return false;
  *message = w->messages.front();
  w->messages.pop_front();
  return true;
}

void keyboard_state(uint8_t keys[256]) {
  int count = 0;
  const Uint8* down = SDL_GetKeyboardState(&count);
  sdl_virtual_key_state(down, count, (SDL_GetModState() & KMOD_NUM) != 0, keys);
  sdl_apply_modifiers(key_event_mod, keys);
}

// Over one of the process's windows, the position SDL's events last gave
// there; elsewhere the global query, the best there is for a pointer
// outside (it follows device motion).
void pointer_position(int* x, int* y) {
  if (SDL_Window* focus = SDL_GetMouseFocus()) {
    int left = 0, top = 0, client_x = 0, client_y = 0;
    SDL_GetWindowPosition(focus, &left, &top);
    SDL_GetMouseState(&client_x, &client_y);
    *x = left + client_x;
    *y = top + client_y;
    return;
  }
  SDL_GetGlobalMouseState(x, y);
}
void warp_pointer(WsWindow* w, int x, int y) { SDL_WarpMouseInWindow(w->window, x, y); }
void show_cursor(bool shown) { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }
void confine_pointer(WsWindow* w, bool confined) { SDL_SetWindowMouseGrab(w->window, confined ? SDL_TRUE : SDL_FALSE); }
bool screen_saver_enabled() { return SDL_IsScreenSaverEnabled() == SDL_TRUE; }
void set_screen_saver(bool enabled) { enabled ? SDL_EnableScreenSaver() : SDL_DisableScreenSaver(); }

int refresh_rate(WsWindow* w) {
  SDL_DisplayMode m;
  int display = w ? SDL_GetWindowDisplayIndex(w->window) : 0;
  if (display < 0 || SDL_GetCurrentDisplayMode(display, &m) != 0) return 0;
  return m.refresh_rate;
}

// Depth and pixel order of the surface formats the blitters can write.
bool surface_format(Uint32 format, int* depth, int* order) {
  switch (format) {
    case SDL_PIXELFORMAT_XRGB8888: case SDL_PIXELFORMAT_ARGB8888: *depth = 32; *order = 0; return true;
    case SDL_PIXELFORMAT_XBGR8888: case SDL_PIXELFORMAT_ABGR8888: *depth = 32; *order = 1; return true;
    case SDL_PIXELFORMAT_BGR24: *depth = 24; *order = 0; return true;
    case SDL_PIXELFORMAT_RGB24: *depth = 24; *order = 1; return true;
    case SDL_PIXELFORMAT_RGB565: *depth = 16; *order = 0; return true;
    case SDL_PIXELFORMAT_BGR565: *depth = 16; *order = 1; return true;
    case SDL_PIXELFORMAT_XRGB1555: *depth = 15; *order = 0; return true;
    case SDL_PIXELFORMAT_XBGR1555: *depth = 15; *order = 1; return true;
    default: return false;
  }
}

bool surface(WsWindow* w, WsSurface* out) {
  SDL_Surface* s = SDL_GetWindowSurface(w->window);
  if (!s || !surface_format(s->format->format, &out->depth, &out->order)) return false;
  out->pixels = static_cast<uint8_t*>(s->pixels);
  out->pitch = s->pitch;
  out->width = s->w;
  out->height = s->h;
  return true;
}

bool upload_rows(WsWindow* w, int first, int count) {
  SDL_Surface* s = SDL_GetWindowSurface(w->window);
  if (!s) return false;
  SDL_Rect rect{0, first, s->w, count};
  return SDL_UpdateWindowSurfaceRects(w->window, &rect, 1) == 0;
}

bool apply_shape(WsWindow* w, uint32_t key_rgb) {
  SDL_Surface* s = SDL_GetWindowSurface(w->window);
  if (!s) return false;
  SDL_WindowShapeMode mode;
  mode.mode = ShapeModeColorKey;
  mode.parameters.colorKey = {Uint8(key_rgb >> 16), Uint8(key_rgb >> 8), Uint8(key_rgb), 255};
  return SDL_SetWindowShape(w->window, s, &mode) == 0;
}

}  // namespace

const WindowSystem sdl_window_system = {
    .name = "SDL",
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
    // Accelerated drawing and the scancode keyboard (sdl_renderer.cpp).
    .standard_vga_mode = sdl_ops::standard_vga_mode,
    .create_texture = sdl_ops::create_texture,
    .lock_texture = sdl_ops::lock_texture,
    .unlock_texture = sdl_ops::unlock_texture,
    .present_texture = sdl_ops::present_texture,
    .texture_lost = sdl_ops::texture_lost,
    .destroy_texture = sdl_ops::destroy_texture,
    .scancode_state = sdl_ops::scancode_state,
    .wait_vertical_blank = sdl_ops::wait_vertical_blank,
    // OpenGL (sdl_gl.cpp).
    .gl_load = sdl_ops::gl_load,
    .gl_unload = sdl_ops::gl_unload,
    .gl_set_attributes = sdl_ops::gl_set_attributes,
    .gl_create_context = sdl_ops::gl_create_context,
    .gl_make_current = sdl_ops::gl_make_current,
    .gl_swap = sdl_ops::gl_swap,
    .gl_extensions = sdl_ops::gl_extensions,
    .gl_proc = sdl_ops::gl_proc,
    .gl_delete_context = sdl_ops::gl_delete_context,
    .last_error = SDL_GetError,
};
