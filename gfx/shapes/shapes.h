// What the shape and capture operations share: the drawing protocol's
// opening steps (target, colour, routines) and a canvas that writes pixels
// and spans clipped to the view, marking dirty rows only on the visible page.
#pragma once
#include <cstddef>
#include <cstdint>

#include "gfx/draw/context.h"
#include "zentravolk/shapes.h"

// The step flags of a two-point shape call, as gfx_step_coords reads them.
constexpr int kStepMask = ZQ_STEP_FIRST | ZQ_STEP_SECOND;
// A colour argument that was not given.
constexpr int64_t kNoColour = ZQ_OMITTED;

// A pixel value for the current target from a caller's colour: the
// foreground for kNoColour, else the colour converted to the target's format.
// False for a value that is no 32-bit colour.
bool gfx_shape_colour(const GfxContext* ctx, int64_t colour, uint32_t* out);
// The failure for a colour gfx_shape_colour refused: stores
// ZQ_ERR_ILLEGAL_CALL with the reason and returns the number.
int gfx_fail_bad_colour(int64_t colour);

// Writes pixels and spans of one colour into the current target, clipped to
// the view (and the screen's rows); rows written are marked dirty when the
// target is the visible page. Coordinates are target pixels.
struct ShapeCanvas {
  GfxContext* ctx;
  uint32_t colour;
  long long left, top, right, bottom;  // the clip; right and bottom exclusive
  uint8_t* dirty;                      // the dirty-row flags, or null off the visible page
  bool blend;                          // the colour is blended over the target

  bool inside(long long x, long long y) const { return x >= left && x < right && y >= top && y < bottom; }
  void pixel(long long x, long long y) const {
    if (!inside(x, y)) return;
    ctx->put_pixel(ctx, int(x), int(y), colour);
    if (dirty) dirty[y] = 1;
  }
  // Pixels x0..x1 (both included) of row y.
  void span(long long y, long long x0, long long x1) const;
  // A solid straight line, both ends included.
  void line(long long ax, long long ay, long long bx, long long by) const;
  void mark_rows(long long first, long long last) const;  // both included, inside the clip
  bool empty() const { return left >= right || top >= bottom; }
};

// A caller's point in target pixels with its fractions kept (gfx_to_view
// without the rounding): the view's origin is added unless the view is
// absolute. Pixel (X, Y) has its centre at (X, Y).
void gfx_shape_point(const GfxContext* ctx, float x, float y, double* tx, double* ty);

// Opening steps of every shape call: context, target, colour, routines.
// Returns 0, or 1 (also stored as the runtime's error) for no screen, a bad
// colour or an image that cannot be drawn on; the canvas is then unusable.
int gfx_shape_begin(ImageBuffer* target, int64_t colour, ShapeCanvas* canvas);

struct SubPoint;
// Fills the polygon with these sub-pixel vertices (closed, even-odd) by the
// centre rule, clipped to the canvas.
void gfx_fill_subpixel_polygon(const ShapeCanvas& c, const SubPoint* pts, size_t n);
