// Drawing a line of text at a pixel position, with a font image through a
// putter or with the screen's built-in font pixel by pixel.
//
// A font image's first pixel row, read as bytes, is its header: 0, the first
// and last character codes, then one width per character. The glyphs sit
// side by side in the rows below it, in character order.
#pragma once
#include <cstdint>

#include "gfx/blit/putters.h"
#include "zentravolk/text.h"  // gfx_draw_string

struct ImageBuffer;
struct StringValue;

// gfx_draw_string (declared in the public header) draws text at (x, y) of
// target (null: the screen's work page); flags are the coordinate step flags
// (ZQ_TEXT_ABSOLUTE, or ZQ_TEXT_RELATIVE to the graphics cursor).
// With a font image the putter gets colour as its alpha; without one the
// built-in font is drawn in colour. Returns 0, or 1 for a null text or a bad
// font image (checked only when the line reaches the view vertically); the
// result is also the runtime's last error. A temporary text is released.
