// Opening, re-opening and closing the graphics screen, the window title and
// the screen-information query.
#pragma once
#include <cstdint>
#include <climits>

#include "drivers/screen_state.h"
// gfx_screen_res, gfx_screen, gfx_set_window_title, gfx_window_title and
// gfx_screen_info: declared in the public header.
#include "zentravolk/screen.h"

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

int gfx_set_mode(const ModeDescription* desc, int mode, int depth, int page_count, int refresh_rate, int flags);
void gfx_close_at_exit();
// The failure of a call that needs an open screen and found none: stores
// ZQ_ERR_ILLEGAL_CALL with its reason and returns the number.
int gfx_fail_no_screen();

// The legacy modes are numbered 1 to kLastLegacyMode; those up to
// kLastFixedDepthMode have their table depth, the later ones take the depth
// the opening asks for (8, 15, 16, 24 or 32).
constexpr int kLastLegacyMode = 21;
constexpr int kLastFixedDepthMode = 13;

// The legacy mode table row for mode 1..kLastLegacyMode, or null for an empty
// row.
const ModeDescription* gfx_legacy_mode(int mode);
