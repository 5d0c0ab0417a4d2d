// The OpenGL back-end: a window with an OpenGL context current on the
// program's thread, for programs that draw with OpenGL themselves. It has
// no driver thread and does not show the software framebuffer: the page
// copy presents (a buffer swap) and then handles the window's messages and
// samples the keyboard. The pixel format comes from the program's requests
// with defaults filled in; multisampled formats are tried with fewer
// samples before an ordinary one.
//
// It opens only when the OpenGL open flag is given, and not together with
// the no-frame flag; the other drivers refuse the OpenGL flag.
#include "drivers/opengl.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "drivers/display_modes.h"
#include "drivers/key_tables.h"
#include "drivers/opengl_scale.h"
#include "drivers/refusal.h"
#include "drivers/simulated_input.h"
#include "drivers/window.h"
#include "platform/pixel_depth.h"

namespace {

constexpr unsigned kGlMultisample = 0x809D;

// The entry points the driver needs to find before it takes the screen.
constexpr const char* kGlFunctions[] = {
    "glEnable",    "glDisable",    "glGetString",   "glViewport",       "glMatrixMode",
    "glLoadIdentity", "glOrtho",   "glShadeModel",  "glDepthMask",      "glClearColor",
    "glClear",     "glGenTextures", "glDeleteTextures", "glBindTexture", "glTexImage2D",
};

int requests[kGlAttributeCount] = {};  // the program's; 0 = the driver's choice

struct GlDriverState {
  bool video = false;   // video started on this thread
  bool loaded = false;  // the OpenGL library
  bool screen_saver = true;
  WsGlContext* context = nullptr;
  WsGlAttributes format{};  // what the window was made with
  bool mode_changed = false;
  bool mode_failed = false;  // the last window set-up could not switch the display
  GlScaler* scaler = nullptr;  // a scaled screen's: draws the picture at its factor and place
  std::string extensions;
} gl;

// Channel bits by the bytes of a total: red, green and blue, then alpha.
void fill_channels(int total, int* red, int* green, int* blue, int* alpha) {
  static constexpr int kColour[] = {0, 5, 8, 8}, kAlpha[] = {0, 0, 0, 8};
  int index = std::clamp(depth_bytes_per_pixel(total), 1, 4) - 1;
  for (int* c : {red, green, blue})
    if (!*c) *c = kColour[index];
  if (!*alpha) *alpha = kAlpha[index];
}

// The program's requests with the defaults filled in. The requests stay as
// the program set them: the next screen gets its own defaults.
WsGlAttributes pixel_request(int flags, int screen_depth) {
  int r[kGlAttributeCount];
  std::copy(std::begin(requests), std::end(requests), r);
  WsGlAttributes a{};
  a.red_bits = r[kGlRedBits];
  a.green_bits = r[kGlGreenBits];
  a.blue_bits = r[kGlBlueBits];
  a.alpha_bits = r[kGlAlphaBits];
  a.colour_bits = r[kGlColourBits];
  if (!a.colour_bits) a.colour_bits = a.red_bits + a.green_bits + a.blue_bits + a.alpha_bits;
  if (!a.colour_bits) a.colour_bits = screen_depth;
  fill_channels(a.colour_bits, &a.red_bits, &a.green_bits, &a.blue_bits, &a.alpha_bits);
  a.accum_red_bits = r[kGlAccumRedBits];
  a.accum_green_bits = r[kGlAccumGreenBits];
  a.accum_blue_bits = r[kGlAccumBlueBits];
  a.accum_alpha_bits = r[kGlAccumAlphaBits];
  int accum = r[kGlAccumBits];
  if (!accum) accum = a.accum_red_bits + a.accum_green_bits + a.accum_blue_bits + a.accum_alpha_bits;
  if (!accum && (flags & 0x20000)) accum = 32;
  if (accum > 0) fill_channels(accum, &a.accum_red_bits, &a.accum_green_bits, &a.accum_blue_bits, &a.accum_alpha_bits);
  a.depth_bits = r[kGlDepthBits] ? r[kGlDepthBits] : 16;
  a.stencil_bits = r[kGlStencilBits] ? r[kGlStencilBits] : (flags & 0x10000) ? 8 : 0;
  a.samples = r[kGlSamples] ? r[kGlSamples] : (flags & 0x40000) ? 4 : 0;
  return a;
}

// Window init hook, also the second half of a full-screen switch: the
// window in the format chosen, the context (when there is one already)
// current in it.
int gl_window_setup(WindowState* st) {
  const WindowSystem* ws = window_system();
  gl.mode_failed = false;
  int style = 0, x = 0, y = 0, width = st->width, height = st->height;
  if (st->flags & ZQ_OPEN_SCALED) {
    win_scaled_window(st, &style, &x, &y, &width, &height);
  } else if (st->flags & ZQ_OPEN_FULLSCREEN) {
    WsDisplayMode mode{st->width, st->height, st->depth, 0};  // any refresh rate
    if (!ws->change_display_mode(&mode)) {
      driver_refuse("no %d x %d x %d display mode", st->width, st->height, st->depth);
      gl.mode_failed = true;
      return -1;
    }
    gl.mode_changed = true;
    style = kWsStyleFullScreen;
  } else {
    style = win_window_style(st->flags);
    win_centred_position(st, &x, &y);
  }
  if (!ws->gl_set_attributes(&gl.format)) {
    driver_refuse("pixel format not offered: %s", driver_system_reason());
    return -1;
  }
  if (win_create_window(st, style | kWsStyleOpenGL, x, y, width, height) != 0) return -1;
  win_follow_drawable(st);
  if (gl.context && !ws->gl_make_current(st->window, gl.context)) {
    driver_refuse("context not usable in the new window: %s", driver_system_reason());
    return -1;
  }
  st->active = 1;
  if (screen_state) screen_state->refresh_rate = ws->refresh_rate(st->window);
  return 0;
}

// Window exit hook, also the first half of a full-screen switch: the
// context stays, without a window to draw in.
void gl_window_hide(WindowState* st) {
  const WindowSystem* ws = window_system();
  win_remember_window(st);
  if (st->window) {
    if (gl.context) ws->gl_make_current(nullptr, nullptr);
    ws->destroy_window(st->window);
    st->window = nullptr;
  }
  if (gl.mode_changed) ws->change_display_mode(nullptr);
  gl.mode_changed = false;
}

// Makes the window in the first format that fits: fully accelerated with
// the samples asked for, then with 2 fewer down to 0, then any ordinary
// format.
bool choose_format(WindowState* st, WsGlAttributes request) {
  request.accelerated = 1;
  auto attempt = [st](const WsGlAttributes& format) {
    gl.format = format;
    if (gl_window_setup(st) == 0) return true;
    gl_window_hide(st);
    return false;
  };
  if (request.samples > 0) {
    request.sample_buffers = 1;
    for (int samples = request.samples; samples >= 0; samples -= 2) {
      request.samples = samples;
      if (attempt(request)) return true;
      if (gl.mode_failed) return false;
    }
  } else {
    if (attempt(request)) return true;
    if (gl.mode_failed) return false;
  }
  request.sample_buffers = request.samples = 0;
  request.accelerated = 0;
  return attempt(request);
}

int gl_init(const char* title, int width, int height, int depth, int refresh_rate, int flags) {
  win_clear();
  gl = GlDriverState{};
  if (!(flags & ZQ_OPEN_OPENGL)) {
    driver_refuse("only for screens opened with ZQ_OPEN_OPENGL");
    return -1;
  }
  if (flags & ZQ_OPEN_NO_FRAME) {
    driver_refuse("draws no frameless windows");
    return -1;
  }
  const WindowSystem* ws = window_system();
  if (!ws->start_video()) {
    driver_refuse("%s", driver_system_reason());
    return -1;
  }
  gl.video = true;
  gl.screen_saver = ws->screen_saver_enabled();
  ws->set_screen_saver(false);
  if (!ws->gl_load()) {
    driver_refuse("no OpenGL library: %s", driver_system_reason());
    return -1;
  }
  gl.loaded = true;
  WindowState* st = win_state();
  st->window_init = gl_window_setup;
  st->window_exit = gl_window_hide;
  st->paint = nullptr;
  st->thread_proc = nullptr;  // the layer starts no thread for OpenGL screens
  if (win_init(title, width, height, std::max(depth, 8), refresh_rate, flags) != 0) return -1;
  if (!choose_format(st, pixel_request(flags, screen_state ? screen_state->depth : depth))) return -1;
  gl.context = ws->gl_create_context(st->window);
  if (!gl.context || !ws->gl_make_current(st->window, gl.context)) {
    driver_refuse("no OpenGL context: %s", driver_system_reason());
    return -1;
  }
  const char* list = ws->gl_extensions();
  gl.extensions = list ? list : "";
  if (!opengl_has_extension(gl.extensions.c_str(), "GL_EXT_bgra")) {
    driver_refuse("OpenGL lacks GL_EXT_bgra");
    return -1;
  }
  for (const char* name : kGlFunctions)
    if (!ws->gl_proc(name)) {
      driver_refuse("OpenGL lacks %s", name);
      return -1;
    }
  if (gl.format.samples > 0) {
    auto enable = reinterpret_cast<void (*)(unsigned)>(ws->gl_proc("glEnable"));
    enable(kGlMultisample);
  }
  if (st->flags & ZQ_OPEN_SCALED) {
    gl.scaler = gl_scaler_create(ws);
    if (!gl.scaler) return -1;
    gl_scaler_set_viewport(gl.scaler, st->width, st->height);
  }
  return 0;
}

void gl_exit() {
  const WindowSystem* ws = window_system();
  if (gl.loaded) {
    if (gl.context) {
      gl_scaler_destroy(gl.scaler);  // its texture belongs to the context
      gl.scaler = nullptr;
      ws->gl_make_current(nullptr, nullptr);
      ws->gl_delete_context(gl.context);
      gl.context = nullptr;
    }
    if (WindowState* st = win_state()) gl_window_hide(st);
    ws->gl_unload();
    gl.loaded = false;
  }
  if (gl.video) {
    ws->set_screen_saver(gl.screen_saver);
    ws->stop_video();
    gl.video = false;
  }
  win_exit();
}

void gl_lock() {}

void gl_flip() {
  WindowState* st = win_state();
  if (!st || !st->window) return;
  const WindowSystem* ws = window_system();
  if (gl.scaler) {
    win_follow_drawable(st);
    gl_scaler_show(gl.scaler, st->layout, st->width, st->height);
  }
  ws->gl_swap(st->window);
}

void gl_poll_events() {
  WindowState* st = win_state();
  if (!st || !st->window) return;
  if (st->active && screen_state && screen_state->key_state) {
    uint8_t keys[256];
    window_system()->keyboard_state(keys);
    fill_key_state(screen_state->key_state, keys);
    win_merge_simulated_keys(screen_state->key_state);
  }
  win_pump_messages(st);
}

}  // namespace

int opengl_set_attribute(int attribute, int value) {
  if (attribute < 0 || attribute >= kGlAttributeCount || value < 0) return 1;
  requests[attribute] = value;
  return 0;
}

bool opengl_has_extension(const char* list, const char* name) {
  if (!list || !name || !*name) return false;
  size_t length = std::strlen(name);
  for (const char* at = list; (at = std::strstr(at, name)) != nullptr; at += length) {
    bool starts = at == list || at[-1] == ' ';
    bool ends = at[length] == ' ' || at[length] == '\0';
    if (starts && ends) return true;
  }
  return false;
}

const GfxDriver opengl_driver = {
    .name = "OpenGL",
    .init = gl_init,
    .exit = gl_exit,
    .lock = gl_lock,
    .unlock = gl_lock,  // one do-nothing routine: no driver thread to lock out
    .wait_vsync = win_wait_vsync,
    .get_mouse = win_get_mouse,
    .set_mouse = win_set_mouse,
    .set_window_title = win_set_window_title,
    .set_window_pos = win_set_window_pos,
    .fetch_modes = list_display_modes,
    .flip = gl_flip,
    .poll_events = gl_poll_events,
};
