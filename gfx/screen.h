// Opening, re-opening and closing the graphics screen, the window title and
// the screen-information query.
#pragma once
#include <cstdint>
#include <climits>

#include "drivers/screen_state.h"

struct StringValue;

struct ModeDescription {
  uint16_t width, height;
  uint8_t depth;
  uint8_t scanline_size;
  const PaletteDescriptor* palette;
  const FontDescriptor* font;
  int text_columns, text_rows;
};

// Open flag used internally when closing at program exit.
constexpr int kOpenAtExit = INT32_MIN;

int gfx_screen_res(int width, int height, int depth, int page_count, int flags, int refresh_rate);
int gfx_screen(int mode, int depth, int page_count, int flags, int refresh_rate);
int gfx_set_mode(const ModeDescription* desc, int mode, int depth, int page_count, int refresh_rate, int flags);
void gfx_close_at_exit();

// Copies at most 127 characters; releases the title if it is a temporary.
void gfx_set_window_title(StringValue* title);
// The current title, or null before one is set or a screen opens.
const char* gfx_window_title();

void gfx_screen_info(int* width, int* height, int* depth, int* bytes_per_pixel, int* pitch,
                     int* refresh_rate, StringValue* driver_name);

// The legacy mode table row for mode 1..21, or null for an empty row.
const ModeDescription* gfx_legacy_mode(int mode);
