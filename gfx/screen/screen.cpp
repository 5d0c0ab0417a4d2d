// Opening and closing the graphics screen: the framebuffer record, the hooks,
// the choice of display driver, the window title and the screen query.
#include "gfx/screen/screen.h"

#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "drivers/driver.h"
#include "drivers/simulated_input.h"
#include "drivers/refusal.h"
#include "gfx/console/console.h"
#include "gfx/draw/context.h"
#include "gfx/image/palette.h"
#include "gfx/screen/builtin_data.h"
#include "gfx/screen/hooks.h"
#include "platform/pixel_depth.h"
#include "platform/platform.h"
#include "runtime/runtime.h"
#include "zentravolk/shortcuts.h"

constexpr int kTitleSize = 128;
constexpr int kMaxScreenSide = 0xFFFF;  // sides are stored in 16 bits

static int next_screen_id = 1;
static bool exit_handler_registered = false;
static char title_buffer[kTitleSize];
static const char* title = nullptr;

static const ModeDescription* legacy_modes() {
  static const ModeDescription table[kLastLegacyMode + 1] = {
      {},
      {320, 200, 2, 1, &builtin_palette_16, &builtin_font_8x8, 40, 25},
      {640, 200, 1, 2, &builtin_palette_16, &builtin_font_8x8, 80, 25},
      {}, {}, {}, {},
      {320, 200, 4, 1, &builtin_palette_16, &builtin_font_8x8, 40, 25},
      {640, 200, 4, 2, &builtin_palette_16, &builtin_font_8x8, 80, 25},
      {640, 350, 4, 1, &builtin_palette_64, &builtin_font_8x14, 80, 25},
      {640, 350, 1, 1, &builtin_palette_2, &builtin_font_8x14, 80, 25},
      {640, 480, 1, 1, &builtin_palette_2, &builtin_font_8x16, 80, 30},
      {640, 480, 4, 1, &builtin_palette_256, &builtin_font_8x16, 80, 30},
      {320, 200, 8, 1, &builtin_palette_256, &builtin_font_8x8, 40, 25},
      {320, 240, 8, 1, &builtin_palette_256, &builtin_font_8x8, 40, 30},
      {400, 300, 8, 1, &builtin_palette_256, &builtin_font_8x8, 50, 37},
      {512, 384, 8, 1, &builtin_palette_256, &builtin_font_8x16, 64, 24},
      {640, 400, 8, 1, &builtin_palette_256, &builtin_font_8x16, 80, 25},
      {640, 480, 8, 1, &builtin_palette_256, &builtin_font_8x16, 80, 30},
      {800, 600, 8, 1, &builtin_palette_256, &builtin_font_8x16, 100, 37},
      {1024, 768, 8, 1, &builtin_palette_256, &builtin_font_8x16, 128, 48},
      {1280, 1024, 8, 1, &builtin_palette_256, &builtin_font_8x16, 160, 64},
  };
  return table;
}

const ModeDescription* gfx_legacy_mode(int mode) {
  if (mode < 1 || mode > kLastLegacyMode) return nullptr;
  const ModeDescription* row = &legacy_modes()[mode];
  return row->width ? row : nullptr;
}

static bool is_screen_depth(int depth) {
  switch (depth) {
    case 1: case 2: case 4: case 8: case 15: case 16: case 24: case 32: return true;
    default: return false;
  }
}

// Frees everything an open (or half-built) screen holds, after its driver
// has stopped reading it.
static void tear_down_screen() {
  ScreenState* s = screen_state;
  if (!s) return;
  if (s->driver && s->driver->exit) s->driver->exit();
  gfx_console_free_cells(s);
  if (s->page_buffers) {
    for (int i = 0; i < s->page_count; ++i) std::free(s->page_buffers[i]);
    std::free(s->page_buffers);
  }
  std::free(s->device_palette);
  std::free(s->mode_palette);
  std::free(s->colour_map);
  std::free(s->dirty_rows);
  std::free(s->key_state);
  std::free(s->event_queue);
  delete s->event_lock;
  std::free(s);
  screen_state = nullptr;
}

static void set_title(const char* text, size_t length) {
  std::memset(title_buffer, 0, sizeof title_buffer);
  std::memcpy(title_buffer, text, std::min(length, size_t(kTitleSize - 1)));
  title = title_buffer;
}

// The program's own file name without folder and extension.
static void title_from_program_name() {
  char path[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n < 0) n = 0;
  path[n] = '\0';
  const char* base = std::strrchr(path, '/');
  base = base ? base + 1 : path;
  set_title(base, std::strlen(base));
  if (char* dot = std::strrchr(title_buffer, '.')) *dot = '\0';
}

// Offers one driver init with the refresh rate asked for, then with 0, also
// when 0 was asked for; a failed init is followed by the same driver's exit.
static bool try_driver(const GfxDriver* d, int refresh_rate, int flags) {
  ScreenState* s = screen_state;
  int height = s->height * s->scanline_size;
  for (int rate : {refresh_rate, 0}) {
    if (d->init && d->init(title, s->width, height, s->depth, rate, flags) == 0) return true;
    if (d->exit) d->exit();
  }
  return false;
}

// Why each driver tried refused, in the order first tried; a later try's
// reason replaces an earlier one (the last try is the windowed one).
class Refusals {
 public:
  void note(const char* driver, std::string reason) {
    if (reason.empty()) reason = "refused";
    for (auto& entry : entries_)
      if (entry.first == driver) {
        entry.second = std::move(reason);
        return;
      }
    entries_.emplace_back(driver, std::move(reason));
  }
  // "DirectX: <reason>; GDI: <reason>; ...".
  std::string joined() const {
    std::string text;
    for (const auto& [driver, reason] : entries_) text += (text.empty() ? "" : "; ") + std::string(driver) + ": " + reason;
    return text.empty() ? "no driver in the list" : text;
  }

 private:
  std::vector<std::pair<const char*, std::string>> entries_;
};

static const GfxDriver* choose_driver(int refresh_rate, int flags, Refusals* refusals) {
  const char* wanted = std::getenv("ZQGFX");
  if (wanted && !*wanted) wanted = nullptr;
  if (flags == ZQ_OPEN_NULL_DRIVER || (wanted && strcasecmp(wanted, "null") == 0)) return &null_driver;
  for (int pass = wanted ? 4 : 2; pass >= 1; --pass) {
    bool named_only = wanted && pass % 2 == 0;
    for (const GfxDriver* const* d = driver_list(); *d; ++d) {
      if (named_only && strcasecmp((*d)->name, wanted) != 0) continue;
      driver_clear_refusal();
      if (try_driver(*d, refresh_rate, flags)) return *d;
      refusals->note((*d)->name, driver_refusal());
    }
    if (!wanted || pass == 2) flags ^= ZQ_OPEN_FULLSCREEN;
  }
  return nullptr;
}

template <typename T>
static T* alloc_zeroed(size_t count) {
  return static_cast<T*>(std::calloc(count, sizeof(T)));
}

// Allocates the record's buffers; false when memory runs out (the caller
// tears the half-built record down).
static bool allocate_buffers(ScreenState* s) {
  s->page_buffers = alloc_zeroed<uint8_t*>(size_t(s->page_count));
  if (!s->page_buffers) return false;
  size_t page_bytes = size_t(s->pitch) * size_t(s->height);
  for (int i = 0; i < s->page_count; ++i)
    if (!(s->page_buffers[i] = static_cast<uint8_t*>(std::malloc(page_bytes)))) return false;
  s->visible_pixels = s->page_buffers[0];
  s->dirty_rows = alloc_zeroed<uint8_t>(size_t(s->height) * size_t(s->scanline_size));
  s->device_palette = alloc_zeroed<uint32_t>(256);
  s->mode_palette = alloc_zeroed<uint32_t>(256);
  s->colour_map = static_cast<uint8_t*>(std::malloc(16));
  s->key_state = alloc_zeroed<uint8_t>(kKeyStateSize);
  s->event_queue = static_cast<GfxEvent*>(std::malloc(kEventQueueSize * sizeof(GfxEvent)));
  s->event_lock = new (std::nothrow) std::binary_semaphore(1);
  if (!screen_conversion_table) screen_conversion_table = alloc_zeroed<uint32_t>(512);
  return s->dirty_rows && s->device_palette && s->mode_palette && s->colour_map && s->key_state &&
         s->event_queue && s->event_lock && screen_conversion_table;
}

static void clear_pages(ScreenState* s, const GfxContext* ctx) {
  for (int p = 0; p < s->page_count; ++p)
    for (int y = 0; y < s->height; ++y)
      ctx->fill_span(s->page_buffers[p] + size_t(y) * size_t(s->pitch), ctx->background, s->width);
}

static int normalise_depth(ScreenState* s, int depth) {
  if (depth == 15 || depth == 16) {
    s->colour_mask = 0xFFFF;
    return 16;
  }
  if (depth == 24 || depth == 32) {
    s->colour_mask = 0xFFFFFFFFu;
    return 32;
  }
  s->colour_mask = (1u << depth) - 1;
  return depth;
}

// Builds the record for an opening; returns false when the screen could not
// be made (no memory or no driver), leaving the half-built record in place
// and the reason in `why`.
static bool fill_screen(const ModeDescription* desc, int mode, int depth, int page_count, int refresh_rate,
                        int flags, std::string* why) {
  ScreenState* s = screen_state;
  s->screen_id = next_screen_id++;
  s->mode = mode;
  s->width = desc->width;
  s->height = desc->height;
  s->page_count = page_count;
  int d = desc->depth;
  if (mode > kLastFixedDepthMode && (depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32)) d = depth;
  if (flags >= 0 && (flags & ZQ_OPEN_OPENGL) && d < 16) d = 16;
  s->default_palette = desc->palette;
  s->scanline_size = desc->scanline_size ? desc->scanline_size : 1;
  s->font = desc->font;
  s->depth = normalise_depth(s, d);
  s->bytes_per_pixel = depth_bytes_per_pixel(s->depth);
  s->pitch = s->bytes_per_pixel * s->width;
  if (!allocate_buffers(s)) {
    *why = "no memory for " + std::to_string(page_count) + " pages of " + std::to_string(s->width) + " x " +
           std::to_string(s->height) + " pixels";
    return false;
  }
  if (flags != ZQ_OPEN_NULL_DRIVER) {
    if (flags & ZQ_OPEN_ALPHA) s->flags |= kScreenAlphaPrimitives;
    if (flags & ZQ_OPEN_OPENGL) s->flags |= kScreenOpenGL;
  }
  gfx_select_routines(s->bytes_per_pixel);
  builtin_data_unpack();
  if (!title) title_from_program_name();
  Refusals refusals;
  const GfxDriver* driver = choose_driver(refresh_rate, flags, &refusals);
  if (!driver) {
    *why = "no display driver could start: " + refusals.joined();
    return false;
  }
  // A thread driver is already reading the record: the driver pointer, the
  // palette and the cleared pages reach it under the screen lock.
  driver->lock();
  s->driver = driver;
  driver->unlock();
  GfxScreenLock lock;
  gfx_palette(-1, 0, 0, 0);
  s->text_columns = desc->text_columns;
  s->text_rows = desc->text_rows;
  GfxContext* ctx = gfx_get_context();
  if (!gfx_console_new_cells(s, ctx, s->text_columns, s->text_rows)) {
    *why = "no memory for the text cells";
    return false;
  }
  clear_pages(s, ctx);
  if (!exit_handler_registered) {
    exit_handler_registered = true;
    std::atexit(gfx_close_at_exit);
  }
  return true;
}

int gfx_set_mode(const ModeDescription* desc, int mode, int depth, int page_count, int refresh_rate, int flags) {
  if (page_count < 1) page_count = 1;
  if (flags >= 0 && (flags & ZQ_OPEN_SHAPED)) flags |= ZQ_OPEN_SHAPED | ZQ_OPEN_NO_FRAME | ZQ_OPEN_NO_SWITCH;
  tear_down_screen();
  win_reset_simulated_input();  // before a driver thread of the next screen reads it
  std::free(screen_conversion_table);
  screen_conversion_table = nullptr;
  bool closing = mode == 0 || !desc || desc->width == 0;
  if (closing) {
    rt_hooks_clear();
    if (flags != kOpenAtExit) {
      rt_width(80, 25);
      rt_cls(ZQ_OMITTED);
    }
    rt_text_view_unset();
  } else {
    gfx_install_hooks();
    screen_state = alloc_zeroed<ScreenState>(1);
    if (!screen_state) {
      gfx_close_at_exit();
      return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no memory for the screen record");
    }
  }
  std::string why;
  if (screen_state && !fill_screen(desc, mode, depth, page_count, refresh_rate, flags, &why)) {
    gfx_close_at_exit();
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s", why.c_str());
  }
  if (flags != kOpenAtExit) rt_set_text_view(0, 0, screen_state != nullptr);
  return rt_set_error(ZQ_OK);
}

int gfx_fail_no_screen() { return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no screen open"); }

void gfx_close_at_exit() {
  if (screen_state) gfx_set_mode(nullptr, 0, 0, 0, 0, kOpenAtExit);
}

int gfx_screen_res(int width, int height, int depth, int page_count, int flags, int refresh_rate) {
  if (width <= 0 || height <= 0 || width > kMaxScreenSide || height > kMaxScreenSide)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "screen size %d x %d out of range (1 to %d)", width, height, kMaxScreenSide);
  if (!is_screen_depth(depth))
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "depth %d not supported (1, 2, 4, 8, 15, 16, 24 or 32)", depth);
  ModeDescription desc{uint16_t(width), uint16_t(height), uint8_t(depth), 1, &builtin_palette_256,
                       &builtin_font_8x8, width / 8, height / 8};
  int result = gfx_set_mode(&desc, -1, depth, page_count, refresh_rate, flags);
  if (result == 0) rt_set_screen_column(0);
  return result;
}

int gfx_screen(int mode, int depth, int page_count, int flags, int refresh_rate) {
  if (mode < 0 || mode > kLastLegacyMode || (mode != 0 && !gfx_legacy_mode(mode)))
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "screen mode %d does not exist", mode);
  const ModeDescription* desc = mode ? gfx_legacy_mode(mode) : nullptr;
  int result = gfx_set_mode(desc, mode, depth, page_count, refresh_rate, flags);
  if (result == 0) rt_set_screen_column(0);
  return result;
}

void gfx_set_window_title(StringValue* new_title) {
  set_title(rt_str_chars(new_title), size_t(rt_str_len(new_title)));
  if (screen_state && screen_state->driver && screen_state->driver->set_window_title)
    screen_state->driver->set_window_title(title_buffer);
  rt_str_release(new_title);
}

const char* gfx_window_title() { return title; }

void gfx_screen_info(int* width, int* height, int* depth, int* bytes_per_pixel, int* pitch, int* refresh_rate,
                     StringValue* driver_name) {
  ScreenState* s = screen_state;
  int values[6] = {};
  if (s) {
    int v[6] = {s->width, s->height, s->depth, s->bytes_per_pixel, s->pitch, s->refresh_rate};
    std::memcpy(values, v, sizeof values);
  } else {
    DesktopInfo desktop;
    platform_desktop_info(&desktop);
    int v[6] = {desktop.width, desktop.height, desktop.bits_per_pixel, 0, 0, desktop.refresh_rate};
    std::memcpy(values, v, sizeof values);
  }
  int* outs[6] = {width, height, depth, bytes_per_pixel, pitch, refresh_rate};
  for (int i = 0; i < 6; ++i)
    if (outs[i]) *outs[i] = values[i];
  if (driver_name) rt_str_assign(driver_name, gfx_driver_name(), 0);
}

const char* gfx_driver_name() {
  const ScreenState* s = screen_state;
  return s && s->driver ? s->driver->name : "";
}

void gfx_set_title(const char* new_title) {
  if (!new_title) {
    rt_fail(ZQ_ERR_ILLEGAL_CALL, "no title given");
    return;
  }
  gfx_set_window_title(rt_str_temp_c(new_title));
}
