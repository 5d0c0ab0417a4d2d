// The simplest drawing operations and the page machinery: reading and
// writing one pixel, clearing, setting the view, copying pages and choosing
// the work and visible pages.
#pragma once
#include <cstdint>

struct ImageBuffer;

// y of the one-argument form of gfx_point, which reads the graphics cursor.
constexpr float kPointCursorQuery = -8388607.0f;
// The "argument not given" value of the clear and other hooks.
constexpr int kArgumentOmitted = -65536;
// All four corners of gfx_view at this value: no coordinates given.
constexpr int kViewNoCoordinate = -32768;
// gfx_view flags: bit 0 makes the view absolute, bit 30 suppresses the border.
constexpr int kViewAbsolute = 0x1;
constexpr int kViewNoBorder = 0x40000000;

// The pixel at (x, y) of target (null: the screen's work page), widened to
// 0x00RRGGBB for 16-bit pixels; 0xFFFFFFFF outside the view or with no
// screen. y == kPointCursorQuery asks for the graphics cursor instead: x = 0
// or 2 gives its x, 1 or 3 its y, anything else 0.
uint32_t gfx_point(ImageBuffer* target, float x, float y);

// Writes one pixel. step_flags < 0: no colour given, the context's
// background (preset != 0) or foreground is used.
void gfx_pset(ImageBuffer* target, float x, float y, uint32_t colour, int step_flags, int preset);

// The clear hook: kArgumentOmitted clears the view if one was set, else the
// text view (everything when that is the whole console); 0 clears
// everything, 2 the text view, anything else the view.
void gfx_cls(int how);

// Sets the screen's view and optionally draws its border and fills it.
void gfx_view(int x1, int y1, int x2, int y2, uint32_t fill_colour, uint32_t border_colour, int view_flags);

// Copies the view's rectangle and the text cells of page source onto page
// destination (negative: the work page / the visible page). Returns the
// runtime error number.
int gfx_page_copy(int source, int destination);

// Chooses the work and the visible page (out-of-range values leave that one
// unchanged; both negative selects page 0 for both). Returns the pages as
// they were, work + visible x 256, or -1 with no screen.
int gfx_set_pages(int work, int visible);
