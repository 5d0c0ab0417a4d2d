// The simplest drawing operations and the page machinery: reading and
// writing one pixel, clearing, setting the view, copying pages and choosing
// the work and visible pages.
#pragma once
#include <cstdint>

// gfx_point, gfx_pset, gfx_cls, gfx_view, gfx_page_copy and gfx_set_pages:
// declared in the public header; the notes below add what the library
// relies on.
#include "zentravolk/draw.h"

// y of the one-argument form of gfx_point, which reads the graphics cursor.
constexpr float kPointCursorQuery = -8388607.0f;
// All four corners of gfx_view at this value: no coordinates given.
constexpr int kViewNoCoordinate = -32768;
// gfx_view flags: bit 0 makes the view absolute, bit 30 suppresses the border.
constexpr int kViewAbsolute = 0x1;
constexpr int kViewNoBorder = 0x40000000;

// Notes on the public entries:
// - gfx_point widens 16-bit pixels to 0x00RRGGBB and gives 0xFFFFFFFF outside
//   the view or with no screen; y == kPointCursorQuery asks for the graphics
//   cursor instead: x = 0 or 2 gives its x, 1 or 3 its y, anything else 0.
// - gfx_pset with step_flags < 0 has no colour: the context's background
//   (preset != 0) or foreground is used.
// - gfx_cls is the clear hook: ZQ_OMITTED clears the view if one was
//   set, else the text view (everything when that is the whole console); 0
//   clears everything, 2 the text view, anything else the view.
// - gfx_page_copy copies the view's rectangle and the text cells (negative
//   numbers: the work page / the visible page) and returns the runtime error
//   number.
// - gfx_set_pages ignores out-of-range values per argument, selects page 0
//   for both when both are negative, and returns the pages as they were,
//   work + visible x 256, or -1 with no screen.
