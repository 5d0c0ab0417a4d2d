// Colour conversion and the palettes of palette screens.
#include "gfx/image/palette.h"

#include <algorithm>

#include "drivers/driver.h"
#include "gfx/draw/context.h"

uint32_t gfx_rgb_for_depth(int bytes_per_pixel, uint32_t colour, int red, int green, int blue) {
  if (bytes_per_pixel != 2) return colour;
  return ((uint32_t(red) << 8) & 0xF800u) | ((uint32_t(green) << 3) & 0x7E0u) | ((uint32_t(blue) & 0xFFu) >> 3);
}

uint32_t gfx_fix_colour(int bytes_per_pixel, uint32_t colour) {
  uint32_t v = gfx_rgb_for_depth(bytes_per_pixel, colour, int((colour >> 16) & 0xFF), int((colour >> 8) & 0xFF),
                                 int(colour & 0xFF));
  return bytes_per_pixel == 1 ? v & 0xFF : bytes_per_pixel == 2 ? v & 0xFFFF : v;
}

static int palette_size(const ScreenState* s) { return s->default_palette ? s->default_palette->count : 256; }

static void tell_driver(int index, uint32_t rgb) {
  const GfxDriver* d = screen_state->driver;
  if (d && d->set_palette) d->set_palette(index, int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

static uint32_t widen_6bit(uint32_t c) { return uint32_t(c * 255.0 / 63.0); }

void gfx_set_palette_entry(int index, int value) {
  ScreenState* s = screen_state;
  int n = palette_size(s);
  index &= n - 1;
  if (n == 256) {
    uint32_t v = uint32_t(value);
    s->device_palette[index] =
        widen_6bit(v & 0x3F) | widen_6bit((v >> 8) & 0x3F) << 8 | widen_6bit((v >> 16) & 0x3F) << 16;
  } else {
    int k = value & (n - 1);
    if (index < 16) s->colour_map[index] = uint8_t(k);
    s->device_palette[index] = s->mode_palette[k];
  }
  tell_driver(index, s->device_palette[index]);
}

// The default colour map of a legacy palette mode, or null.
static const uint8_t* default_colour_map(int mode, int index) {
  static const uint8_t cga[4][4] = {{0, 2, 4, 6}, {0, 3, 5, 7}, {0, 10, 12, 14}, {0, 11, 13, 15}};
  static const uint8_t mono[2] = {0, 15};
  static const uint8_t ega16[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  static const uint8_t ega64[16] = {0, 1, 2, 3, 4, 5, 20, 7, 56, 57, 58, 59, 60, 61, 62, 63};
  switch (mode) {
    case 1: return cga[index <= -4 ? 0 : 4 + index];
    case 2: return mono;
    case 7: case 8: return ega16;
    case 9: return ega64;
    default: return nullptr;
  }
}

static void reset_palette(ScreenState* s, int index) {
  const PaletteDescriptor* p = s->default_palette;
  if (!p) return;
  const uint8_t* map = default_colour_map(s->mode, index);
  auto rgb = [p](int i) {
    const uint8_t* t = p->rgb + 3 * i;
    return uint32_t(t[0]) | uint32_t(t[1]) << 8 | uint32_t(t[2]) << 16;
  };
  int pixel_values = s->depth >= 8 ? 256 : 1 << s->depth;
  for (int i = 0; i < p->count && i < 256; ++i) {
    s->mode_palette[i] = rgb(i);
    if (i >= pixel_values) continue;
    uint32_t colour;
    if (map) {
      s->colour_map[i] = map[i];
      colour = rgb(map[i]);
    } else {
      colour = rgb(i);
    }
    s->device_palette[i] = colour;
    tell_driver(i, colour);
  }
}

void gfx_palette(int index, int colour, int green, int blue) {
  ScreenState* s = screen_state;
  if (!s || s->depth > 8) return;
  GfxScreenLock lock;
  if (index >= 0) {
    int value = colour;
    if (green >= 0 && blue >= 0)
      value = ((colour & 0xFF) >> 2) | ((green & 0xFF) >> 2) << 8 | ((blue & 0xFF) >> 2) << 16;
    gfx_set_palette_entry(index, value);
  } else {
    reset_palette(s, index);
  }
  std::fill_n(s->dirty_rows, s->height, uint8_t(1));
}

void gfx_send_palette() {
  ScreenState* s = screen_state;
  if (!s) return;
  for (int i = 0; i < 256; ++i) tell_driver(i, s->device_palette[i]);
}

uint32_t gfx_widen_565(uint32_t v) {
  uint32_t blue = ((v & 0x1Fu) << 3) | ((v >> 2) & 7u);
  uint32_t green = ((v & 0x7E0u) << 5) | ((v >> 1) & 0x300u);
  uint32_t red = ((v & 0xF800u) << 8) | ((v << 3) & 0x70000u);
  return blue | green | red;
}

void gfx_palette_using(const int* values) {
  ScreenState* s = screen_state;
  if (!s || s->depth > 8 || !values) return;
  GfxScreenLock lock;
  int pixel_values = 1 << s->depth;
  for (int i = 0; i < pixel_values; ++i)
    if (values[i] >= 0) gfx_set_palette_entry(i, values[i]);
  std::fill_n(s->dirty_rows, s->height, uint8_t(1));
}

// The colour hook's answer: the colours in force before the call.
static int previous_colours(const ScreenState* s, const GfxContext* ctx) {
  if (s->depth <= 8) return int(ctx->foreground + ctx->background * 65536u);
  if (s->depth == 16) return int(gfx_widen_565(ctx->foreground) | 0xFF000000u);
  return int(ctx->foreground);
}

int gfx_colour(int foreground, int background, int omitted) {
  ScreenState* s = screen_state;
  if (!s) return 0;
  GfxContext* ctx = gfx_get_context();
  int result = previous_colours(s, ctx);
  bool has_foreground = !(omitted & 1), has_background = !(omitted & 2);
  switch (s->mode) {
    case 1:
      // The background picks one of the four CGA colour maps; the foreground
      // is the mode-palette colour shown for pixel value 0.
      if (has_background) gfx_palette(int(uint32_t(background) | 0xFFFFFFFCu), 0, 0, 0);
      if (has_foreground) gfx_palette(0, foreground, -1, -1);
      break;
    case 7:
    case 8:
    case 9:
      if (has_foreground) ctx->foreground = uint32_t(foreground) & 15u;
      if (has_background) gfx_palette(0, background, -1, -1);
      break;
    default:
      if (has_foreground) ctx->foreground = gfx_fix_colour(ctx->bytes_per_pixel, uint32_t(foreground));
      if (has_background) ctx->background = gfx_fix_colour(ctx->bytes_per_pixel, uint32_t(background));
      break;
  }
  return result;
}

// The VGA palette registers' state: which entry the next data access goes
// to, which component comes next (as a bit shift) and the colour written so
// far. Process-wide, it survives screen openings as the hardware's would.
static struct {
  int index = 0;
  int shift = 2;
  uint32_t colour = 0;
} ports;

static void restart_port_colour() {
  ports.colour = 0;
  ports.shift = 2;
}

// A complete colour written through the data port, components at bits 2..7
// of their bytes.
static void store_port_colour(ScreenState* s, int n) {
  int index = ports.index & (n - 1);  // the index may come from an earlier screen
  if (n == 256) {
    gfx_palette(index, int((ports.colour >> 2) & 0x3F3F3Fu), -1, -1);
  } else if (s->depth <= 8) {
    GfxScreenLock lock;
    s->mode_palette[index] = ports.colour;
    // Every pixel value that shows this mode-palette entry changes colour.
    int pixel_values = std::min(1 << s->depth, 16);
    for (int i = 0; i < pixel_values; ++i) {
      if (s->colour_map[i] != index) continue;
      s->device_palette[i] = ports.colour;
      tell_driver(i, ports.colour);
    }
    std::fill_n(s->dirty_rows, s->height, uint8_t(1));
  }
}

int gfx_port_write(int port, int value) {
  ScreenState* s = screen_state;
  if (!s) return -1;
  int n = palette_size(s);
  uint32_t byte = uint32_t(value) & 0xFFu;
  switch (port) {
    case 0x3C7:
    case 0x3C8:
      ports.index = int(byte) & (n - 1);
      restart_port_colour();
      return 0;
    case 0x3C9:
      ports.colour |= (byte & 0x3Fu) << ports.shift;
      ports.shift += 8;
      if (ports.shift > 18) {
        store_port_colour(s, n);
        restart_port_colour();
        ports.index = (ports.index + 1) & (n - 1);
      }
      return 0;
    default:
      return -1;
  }
}

int gfx_port_read(int port) {
  ScreenState* s = screen_state;
  if (!s) return -1;
  if (port == 0x3DA) {
    if (s->driver && s->driver->wait_vsync) s->driver->wait_vsync();
    return 8;  // the vertical retrace bit, always set
  }
  if (port != 0x3C9 || s->depth > 8) return -1;
  int n = palette_size(s);
  int result = int((s->device_palette[ports.index & (n - 1)] >> ports.shift) & 0x3Fu);
  ports.shift += 8;
  if (ports.shift > 18) {
    ports.shift = 2;
    ports.index = (ports.index + 1) & (n - 1);
  }
  return result;
}
