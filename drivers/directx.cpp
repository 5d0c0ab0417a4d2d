// The DirectX back-end: shows the framebuffer through an accelerated
// renderer's streaming texture, in a window or in an exclusive full-screen
// mode it switches the display to (letterboxed when the mode is taller than
// the screen), and reads the keyboard by scancode. Its driver thread follows
// the GDI pattern: every 10 ms it takes the screen lock, follows a pending
// vertical-blank wait, converts the dirty rows into the texture, samples
// the keys and handles the window's messages; then, with the lock let go,
// it uploads those rows and presents.
//
// It is tried first and opens every screen except OpenGL and shaped ones:
// the one to use for full screen and wherever an accelerated renderer
// exists.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <thread>

#include "drivers/display_modes.h"
#include "drivers/refusal.h"
#include "drivers/simulated_input.h"
#include "drivers/window.h"
#include "platform/pixel_depth.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kPassPause = 10ms;
constexpr auto kVsyncLimit = 20ms;   // longest a pass waits for a requested refresh
constexpr auto kRemakePause = 300ms;
constexpr int kTallerHeights[] = {240, 480, 600, 768, 1024};

// What the window init hook makes beside the window.
struct DxDisplay {
  WsTexture* texture = nullptr;
  bool mode_changed = false;
  int picture_offset = 0;  // rows of black above the picture in a taller mode
  // Passes that still present after a scaled screen's new layout: the
  // renderer learns the window's new size from its own event, which may
  // come a pass after the window system reports the size.
  int presents_after_layout = 0;
};

constexpr int kPresentsAfterLayout = 5;

DxDisplay* display_of(WindowState* st) { return static_cast<DxDisplay*>(st->driver_data); }

// Where the next window goes: centred on the desktop at init, then where
// the user left the last one.
std::atomic<bool> centre_next_window{true};
std::atomic<int> window_x{0}, window_y{0};

// The vertical-blank handshake: the program's thread requests under the
// screen lock and signals the event after the refresh; a pass that sees
// the request waits for the event (at most kVsyncLimit).
bool vsync_requested = false;  // under the screen lock
std::mutex vsync_mutex;
std::condition_variable vsync_changed;
bool vsync_event = false;  // manual reset

// Switches the display for a full-screen picture of width x height: that
// height, then taller standard heights, each at the depth and then its twin.
// The mode's height, or 0 when no allowed height can be set.
int switch_display_mode(const WindowSystem* ws, int width, int height, int depth, int refresh_rate) {
  for (int h = height;;) {
    bool ok;
    if (width == 320 && h == 200 && depth == 8) {
      ok = ws->standard_vga_mode();
    } else {
      WsDisplayMode mode{width, h, depth, refresh_rate};
      ok = ws->change_display_mode(&mode);
    }
    if (!ok && depth_twin(depth)) {
      WsDisplayMode twin{width, h, depth_twin(depth), refresh_rate};
      ok = ws->change_display_mode(&twin);
    }
    if (ok) return h;
    const int* next = std::find_if(std::begin(kTallerHeights), std::end(kTallerHeights), [h](int t) { return t > h; });
    if (next == std::end(kTallerHeights)) return 0;
    h = *next;
  }
}

// A new texture and the blitter for its format. The texture holds nothing
// yet: every row is marked for the next pass.
bool make_texture(WindowState* st, DxDisplay* d) {
  WsSurface format{};
  d->texture = window_system()->create_texture(st->window, st->width, st->height, st->depth, &format);
  if (!d->texture) {
    driver_refuse("no accelerated renderer: %s", driver_system_reason());
    return false;
  }
  st->blitter = choose_blitter(format.depth, format.order);
  win_mark_all_dirty(st);
  if (!st->blitter) driver_refuse("no converter to the renderer's %d-bit pixels", format.depth);
  return st->blitter != nullptr;
}

int dx_window_init(WindowState* st) {
  const WindowSystem* ws = window_system();
  auto* d = new (std::nothrow) DxDisplay;
  if (!d) {
    driver_refuse("out of memory");
    return -1;
  }
  st->driver_data = d;
  int style = 0, x = 0, y = 0, window_width = st->width, window_height = st->height;
  if (st->flags & ZQ_OPEN_SCALED) {
    win_scaled_window(st, &style, &x, &y, &window_width, &window_height);
  } else if (st->flags & ZQ_OPEN_FULLSCREEN) {
    int mode_height = switch_display_mode(ws, st->width, st->height, st->depth, st->refresh_rate);
    if (!mode_height) {
      driver_refuse("no %d x %d x %d display mode", st->width, st->height, st->depth);
      return -1;
    }
    d->mode_changed = true;
    d->picture_offset = (mode_height - st->height) >> 1;
    window_height = mode_height;
    style = kWsStyleFullScreen;
  } else {
    style = win_window_style(st->flags);
    if (centre_next_window.exchange(false)) {
      int cx, cy;
      win_centred_position(st, &cx, &cy);
      window_x = cx;
      window_y = cy;
    }
    x = window_x;
    y = window_y;
  }
  if (win_create_window(st, style, x, y, window_width, window_height) != 0) return -1;
  if (!make_texture(st, d)) return -1;
  win_follow_drawable(st);
  if (screen_state) screen_state->refresh_rate = ws->refresh_rate(st->window);
  return 0;
}

void dx_window_exit(WindowState* st) {
  const WindowSystem* ws = window_system();
  DxDisplay* d = display_of(st);
  WsRect rect;
  win_remember_window(st);
  if (st->window && !(st->flags & ZQ_OPEN_FULLSCREEN) && ws->client_rect(st->window, &rect)) {
    window_x = rect.x;
    window_y = rect.y;
  }
  if (d && d->texture) ws->destroy_texture(d->texture);
  if (st->window) ws->destroy_window(st->window);
  st->window = nullptr;
  if (d && d->mode_changed) ws->change_display_mode(nullptr);
  st->blitter = nullptr;
  delete d;
  st->driver_data = nullptr;
}

// Where the texture goes: scaled, the picture of the layout; else at the
// top-left corner, the picture offset down.
WsRect picture_place(const WindowState* st, const DxDisplay* d) {
  if (!(st->flags & ZQ_OPEN_SCALED)) return {0, d->picture_offset, st->width, st->height};
  const ScaleLayout& l = st->layout;
  return {l.left, l.top, st->width * l.factor, st->height * l.factor};
}

// Paint hook: the texture holds the last picture.
void dx_present(WindowState* st) {
  DxDisplay* d = display_of(st);
  if (!d || !d->texture) return;
  // A new layout met here is shown again by the passes after this one too
  // (see presents_after_layout).
  if (win_follow_drawable(st)) d->presents_after_layout = kPresentsAfterLayout;
  const WsRect place = picture_place(st, d);
  window_system()->present_texture(d->texture, &place);
}

// Before the texture is written: a renderer that lost its targets gets a
// new texture, filled whole by this pass. When none can be made, everything
// is made again, every 300 ms, for as long as the screen stays open; the
// screen lock is let go while waiting so the program can draw and close.
bool restore(WindowState* st) {
  const WindowSystem* ws = window_system();
  DxDisplay* d = display_of(st);
  if (d && d->texture && !ws->texture_lost(d->texture)) return true;
  if (d && st->window) {
    if (d->texture) ws->destroy_texture(d->texture);
    d->texture = nullptr;
    if (make_texture(st, d)) return true;
  }
  for (;;) {
    dx_window_exit(st);
    if (dx_window_init(st) == 0) return true;
    win_unlock();
    std::this_thread::sleep_for(kRemakePause);
    win_lock();
    if (!st->running) {
      dx_window_exit(st);
      return false;
    }
  }
}

// First and last dirty output row; first = rows when none is dirty.
void dirty_span(const ScreenState* s, int rows, int* first, int* last) {
  int y0 = 0;
  while (y0 < rows && !s->dirty_rows[y0]) ++y0;
  int y1 = rows - 1;
  while (y1 > y0 && !s->dirty_rows[y1]) --y1;
  *first = y0;
  *last = y1;
}

// A key is down when its plain or its extended code is.
void read_keys(ScreenState* s) {
  uint8_t state[256];
  window_system()->scancode_state(state);
  for (int i = 0; i < kKeyStateSize; ++i) s->key_state[i] = ((state[i] | state[i + 128]) & 0x80) ? 1 : 0;
  win_merge_simulated_keys(s->key_state);
}

// What a pass leaves for after the screen lock is let go: the rows it
// converted into the texture, to hand to the renderer, and the present.
// Neither reads anything the program draws.
struct PassResult {
  WsTexture* texture = nullptr;
  int first = 0, count = 0;
  bool present = false;
  WsRect place{};
};

// One pass of the update thread, under the screen lock.
PassResult update_pass(WindowState* st) {
  const WindowSystem* ws = window_system();
  ScreenState* s = screen_state;
  PassResult result;
  bool follow_refresh = vsync_requested;
  if (vsync_requested) {
    std::unique_lock<std::mutex> lock(vsync_mutex);
    vsync_changed.wait_for(lock, kVsyncLimit, [] { return vsync_event; });
    vsync_requested = false;
  }
  if (s && (st->active || !(st->flags & ZQ_OPEN_FULLSCREEN)) && display_of(st)) {
    if (st->palette_changed) {
      // Palette screens are converted through the new palette.
      win_mark_all_dirty(st);
      st->palette_changed = 0;
    }
    if (restore(st)) {
      DxDisplay* d = display_of(st);
      int first, last;
      dirty_span(s, st->height, &first, &last);
      if (first < st->height && !st->drawn) {
        // The program's first marks: a refresh kept waiting is due now.
        win_program_drew(st);
        dirty_span(s, st->height, &first, &last);
      }
      WsSurface pixels;
      bool changed = first < st->height;
      if (changed && ws->lock_texture(d->texture, &pixels)) {
        st->blitter(pixels.pixels, pixels.pitch);
        std::memset(s->dirty_rows, 0, size_t(st->height));
        result.first = first;
        result.count = last - first + 1;
      }
      result.texture = d->texture;
      // A resized scaled window shows the picture in its new place at once,
      // and again while the renderer catches up with the size.
      if (win_follow_drawable(st)) d->presents_after_layout = kPresentsAfterLayout;
      const bool settling = d->presents_after_layout > 0;
      if (settling) --d->presents_after_layout;
      result.present = changed || follow_refresh || settling;
      result.place = picture_place(st, d);
    }
    if (st->active) read_keys(s);
  }
  win_pump_messages(st);
  return result;
}

// After the pass, without the screen lock: upload and present. A texture
// made again by the messages meanwhile is filled whole by the next pass.
void show(WindowState* st, const PassResult& pass) {
  const WindowSystem* ws = window_system();
  DxDisplay* d = display_of(st);
  if (!d || !d->texture || d->texture != pass.texture) return;
  ws->unlock_texture(d->texture, pass.first, pass.count);
  if (pass.present) ws->present_texture(d->texture, &pass.place);
}

void dx_thread(WindowState* st) {
  if (dx_window_init(st) != 0) {
    dx_window_exit(st);
    return;
  }
  st->active = 1;
  win_thread_started(st);
  while (st->running) {
    std::this_thread::sleep_for(kPassPause);
    win_lock();
    if (!st->running) {  // stopped while this thread slept or waited
      win_unlock();
      break;
    }
    PassResult pass = update_pass(st);
    win_unlock();
    show(st, pass);
  }
  dx_window_exit(st);
}

int dx_init(const char* title, int width, int height, int depth, int refresh_rate, int flags) {
  win_clear();
  if (flags & (ZQ_OPEN_OPENGL | ZQ_OPEN_SHAPED)) {
    driver_refuse("draws neither OpenGL nor shaped windows");
    return -1;
  }
  WindowState* st = win_state();
  st->window_init = dx_window_init;
  st->window_exit = dx_window_exit;
  st->paint = dx_present;
  st->thread_proc = dx_thread;
  centre_next_window = true;
  win_lock();
  vsync_requested = false;  // a request no pass took up before the last screen closed
  win_unlock();
  {
    std::lock_guard<std::mutex> guard(vsync_mutex);
    vsync_event = false;
  }
  return win_init(title, width, height, std::max(depth, 8), refresh_rate, flags);
}

// Blocks until the display's next refresh; the driver thread's next pass
// follows it.
void dx_wait_vsync() {
  {
    std::lock_guard<std::mutex> guard(vsync_mutex);
    vsync_event = false;
  }
  bool held = screen_state && (screen_state->flags & kScreenLocked);
  if (!held) win_lock();
  vsync_requested = true;
  int rate = screen_state ? screen_state->refresh_rate : 0;
  if (!held) win_unlock();
  window_system()->wait_vertical_blank(rate);
  {
    std::lock_guard<std::mutex> guard(vsync_mutex);
    vsync_event = true;
  }
  vsync_changed.notify_all();
}

}  // namespace

const GfxDriver directx_driver = {
    .name = "DirectX",
    .init = dx_init,
    .exit = win_exit,
    .lock = win_lock,
    .unlock = win_unlock,
    .set_palette = win_set_palette,
    .wait_vsync = dx_wait_vsync,
    .get_mouse = win_get_mouse,
    .set_mouse = win_set_mouse,
    .set_window_title = win_set_window_title,
    .set_window_pos = win_set_window_pos,
    .fetch_modes = list_display_modes,
};
