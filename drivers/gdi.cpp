// The GDI back-end: shows the framebuffer in a plain window through the
// window system's pixel surface. Its driver thread owns the window; about
// every 10 ms it takes the screen lock, converts the span between the first
// and the last dirty row into the surface, shows those rows, clears the dirty
// flags, samples the keyboard and handles the window's messages.
//
// It is tried after DirectX and opens every screen except OpenGL ones: it is
// the one for shaped windows and for displays without an accelerated
// renderer, and ZQGFX=gdi chooses it where plain window pixels are wanted.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

#include "drivers/display_modes.h"
#include "drivers/key_tables.h"
#include "drivers/refusal.h"
#include "drivers/scalers.h"
#include "drivers/simulated_input.h"
#include "drivers/window.h"
#include "platform/pixel_depth.h"

namespace {

constexpr auto kPassPause = std::chrono::milliseconds(10);

// What the window init hook makes beside the window.
struct GdiDisplay {
  bool mode_changed = false;  // the display was switched for full screen
  int surface_depth = 0;      // the surface format the blitter writes
  int surface_order = 0;
  bool shaped = false;
  uint32_t shape_key = 0;     // see-through colour, 0xRRGGBB as shown
  std::vector<uint8_t> conversion;  // for a surface that is not the screen's size
  int conversion_pitch = 0;
  const uint8_t* surface_pixels = nullptr;  // the surface that holds the last picture
  // A scaled screen converts into `conversion` and scales from there into
  // the surface; after a new layout the whole surface (bars too) is shown.
  Scaler scaler = nullptr;
  bool show_whole = false;
};

bool scaled(const WindowState* st) { return (st->flags & ZQ_OPEN_SCALED) != 0; }

GdiDisplay* display_of(WindowState* st) { return static_cast<GdiDisplay*>(st->driver_data); }

// The blitter from the screen to the surface's format. Palette screens are
// always converted through the palette: there is no 8-bit surface.
bool choose_conversion(WindowState* st, GdiDisplay* d, const WsSurface& surface) {
  d->surface_depth = surface.depth;
  d->surface_order = surface.order;
  st->blitter = choose_blitter(surface.depth, surface.order);
  if (d->shaped && screen_state->depth == 32 && surface.depth == 32 && surface.order == kOrderNormal)
    st->blitter = blitter_shaped_copy;
  d->conversion_pitch = (st->width * depth_bytes_per_pixel(surface.depth) + 3) & ~3;
  d->conversion.clear();
  d->surface_pixels = surface.pixels;
  if (scaled(st)) {
    // A new layout: the bars are black, the picture is drawn whole.
    win_update_layout(st, surface.width, surface.height);
    d->scaler = choose_scaler(depth_bytes_per_pixel(surface.depth), st->layout.factor,
                              screen_routine_levels(screen_state));
    for (int y = 0; y < surface.height; ++y)
      std::memset(surface.pixels + size_t(y) * size_t(surface.pitch), 0,
                  size_t(surface.width) * size_t(depth_bytes_per_pixel(surface.depth)));
    d->show_whole = true;
    win_mark_all_dirty(st);
    if (!d->scaler) return false;
  }
  return st->blitter != nullptr;
}

int gdi_window_init(WindowState* st) {
  const WindowSystem* ws = window_system();
  auto* d = new (std::nothrow) GdiDisplay;
  if (!d) {
    driver_refuse("out of memory");
    return -1;
  }
  st->driver_data = d;
  int style = 0, x = 0, y = 0, width = st->width, height = st->height;
  if (scaled(st)) {
    win_scaled_window(st, &style, &x, &y, &width, &height);
  } else if (st->flags & ZQ_OPEN_FULLSCREEN) {
    WsDisplayMode mode{st->width, st->height, st->depth, 0};  // any refresh rate
    if (!ws->change_display_mode(&mode)) {
      driver_refuse("no %d x %d x %d display mode", st->width, st->height, st->depth);
      return -1;
    }
    d->mode_changed = true;
    style = kWsStyleFullScreen;
  } else {
    style = win_window_style(st->flags);
    if (st->flags & ZQ_OPEN_SHAPED) style |= kWsStyleShaped;
    win_centred_position(st, &x, &y);
  }
  if (win_create_window(st, style, x, y, width, height) != 0) return -1;
  if (style & kWsStyleShaped) {
    d->shaped = true;
    d->shape_key = st->depth <= 8 ? 0 : st->depth == 16 ? 0xF800F8u : 0xFF00FFu;
  }
  WsSurface surface;
  if (!ws->surface(st->window, &surface)) {
    driver_refuse("no window surface: %s", driver_system_reason());
    return -1;
  }
  if (!choose_conversion(st, d, surface)) {
    driver_refuse("no converter to the window's %d-bit pixels", surface.depth);
    return -1;
  }
  screen_state->refresh_rate = ws->refresh_rate(st->window);
  return 0;
}

void gdi_window_exit(WindowState* st) {
  const WindowSystem* ws = window_system();
  GdiDisplay* d = display_of(st);
  win_remember_window(st);
  if (d && d->mode_changed) ws->change_display_mode(nullptr);
  if (st->window) ws->destroy_window(st->window);
  st->window = nullptr;
  st->blitter = nullptr;
  delete d;
  st->driver_data = nullptr;
}

// The surface holds the last converted picture: show all of it again. A
// surface the window system has replaced holds nothing yet, so then the next
// pass converts every row.
void gdi_paint(WindowState* st) {
  const WindowSystem* ws = window_system();
  GdiDisplay* d = display_of(st);
  WsSurface surface;
  if (!st->window || !d || !ws->surface(st->window, &surface)) return;
  if (surface.pixels != d->surface_pixels) {
    d->surface_pixels = surface.pixels;
    win_mark_all_dirty(st);
    return;
  }
  ws->upload_rows(st->window, 0, scaled(st) ? surface.height : std::min(st->height, surface.height));
}

// Rows converted into the surface and not yet shown.
struct Span {
  int first = 0, count = 0;
};

// A scaled screen: the dirty rows converted aside, then the span between
// the first and the last of them scaled into the surface. Returns the
// surface rows to show: the whole surface after a new layout.
Span scale_dirty_span(WindowState* st, GdiDisplay* d, const WsSurface& surface, int y0, int y1) {
  if (d->conversion.empty()) d->conversion.resize(size_t(d->conversion_pitch) * size_t(st->height));
  st->blitter(d->conversion.data(), d->conversion_pitch);
  const ScaleLayout& l = st->layout;
  const int k = l.factor, bytes = depth_bytes_per_pixel(surface.depth);
  const int count = std::min(y1, l.rows - 1) - y0 + 1;
  Span span;
  if (count > 0 && l.columns > 0) {
    d->scaler(d->conversion.data() + size_t(y0) * size_t(d->conversion_pitch), d->conversion_pitch, l.columns,
              count, surface.pixels + size_t(l.top + y0 * k) * size_t(surface.pitch) + size_t(l.left) * size_t(bytes),
              surface.pitch);
    span = {l.top + y0 * k, count * k};
  }
  if (d->show_whole) {
    d->show_whole = false;
    span = {0, surface.height};
  }
  return span;
}

// Converts the rows from the first to the last dirty one into the surface.
Span copy_dirty_span(WindowState* st, GdiDisplay* d, const ScreenState* s) {
  const WindowSystem* ws = window_system();
  WsSurface surface;
  if (!ws->surface(st->window, &surface)) return {};
  const bool resized = scaled(st) && (surface.width != st->layout.drawable_width ||
                                      surface.height != st->layout.drawable_height);
  if (surface.pixels != d->surface_pixels || resized) {  // a new surface: nothing on it yet
    d->surface_pixels = surface.pixels;
    win_mark_all_dirty(st);
    // A scaled screen lays its picture out afresh in the new surface (the
    // window was resized or switched).
    if (scaled(st) && !choose_conversion(st, d, surface)) return {};
  }
  int rows = st->height;
  int y0 = 0;
  while (y0 < rows && !s->dirty_rows[y0]) ++y0;
  if (y0 == rows) return {};
  if (!st->drawn) {
    win_program_drew(st);
    y0 = 0;
    while (!s->dirty_rows[y0]) ++y0;
  }
  int y1 = rows - 1;
  while (!s->dirty_rows[y1]) --y1;
  if ((surface.depth != d->surface_depth || surface.order != d->surface_order) &&
      !choose_conversion(st, d, surface))
    return {};
  if (scaled(st)) return scale_dirty_span(st, d, surface, y0, y1);
  int count = y1 - y0 + 1;
  if (surface.width >= st->width && surface.height >= st->height) {
    st->blitter(surface.pixels, surface.pitch);
  } else {
    // The window is not the screen's size (the user resized it): convert
    // aside and show what fits.
    if (d->conversion.empty()) d->conversion.resize(size_t(d->conversion_pitch) * size_t(rows));
    st->blitter(d->conversion.data(), d->conversion_pitch);
    size_t row_bytes = size_t(std::min(st->width, surface.width)) * size_t(depth_bytes_per_pixel(surface.depth));
    count = std::min(y1, surface.height - 1) - y0 + 1;
    for (int y = y0; y < y0 + count; ++y)
      std::memcpy(surface.pixels + size_t(y) * size_t(surface.pitch),
                  d->conversion.data() + size_t(y) * size_t(d->conversion_pitch), row_bytes);
  }
  return {y0, std::max(count, 0)};
}

// One pass of the update thread, under the screen lock; returns the rows
// the thread shows after letting the lock go (they are in the surface,
// which only this thread touches).
Span update_pass(WindowState* st) {
  ScreenState* s = screen_state;
  GdiDisplay* d = display_of(st);
  Span span;
  if (s && d && st->window) {
    if (st->palette_changed) {
      win_mark_all_dirty(st);  // palette screens are converted through the new palette
      st->palette_changed = 0;
    }
    span = copy_dirty_span(st, d, s);
  }
  if (s) std::memset(s->dirty_rows, 0, size_t(st->height));
  if (s && st->active) {
    uint8_t keys[256];
    window_system()->keyboard_state(keys);
    fill_key_state(s->key_state, keys);
    win_merge_simulated_keys(s->key_state);
  }
  win_pump_messages(st);
  return span;
}

// Shows converted rows; a full-screen switch in the pump may have replaced
// the window since, and then its own first pass shows everything.
void show_span(WindowState* st, const GdiDisplay* converted_for, Span span) {
  GdiDisplay* d = display_of(st);
  if (span.count == 0 || !st->window || d != converted_for) return;
  const WindowSystem* ws = window_system();
  if (d->shaped) ws->apply_shape(st->window, d->shape_key);
  ws->upload_rows(st->window, span.first, span.count);
}

void gdi_thread(WindowState* st) {
  if (gdi_window_init(st) != 0) {
    gdi_window_exit(st);
    return;
  }
  st->active = 1;
  win_thread_started(st);
  while (st->running) {
    win_lock();
    if (!st->running) {  // stopped while this thread waited for the lock
      win_unlock();
      break;
    }
    const GdiDisplay* converted_for = display_of(st);
    Span span = update_pass(st);
    win_unlock();
    show_span(st, converted_for, span);
    std::this_thread::sleep_for(kPassPause);
  }
  gdi_window_exit(st);
}

int gdi_init(const char* title, int width, int height, int depth, int refresh_rate, int flags) {
  win_clear();
  if (flags & ZQ_OPEN_OPENGL) {
    driver_refuse("draws no OpenGL windows");
    return -1;
  }
  WindowState* st = win_state();
  st->window_init = gdi_window_init;
  st->window_exit = gdi_window_exit;
  st->paint = gdi_paint;
  st->thread_proc = gdi_thread;
  return win_init(title, width, height, std::max(depth, 8), refresh_rate, flags);
}

}  // namespace

const GfxDriver gdi_driver = {
    .name = "GDI",
    .init = gdi_init,
    .exit = win_exit,
    .lock = win_lock,
    .unlock = win_unlock,
    .set_palette = win_set_palette,
    .wait_vsync = win_wait_vsync,
    .get_mouse = win_get_mouse,
    .set_mouse = win_set_mouse,
    .set_window_title = win_set_window_title,
    .set_window_pos = win_set_window_pos,
    .fetch_modes = list_display_modes_with_twins,
};
