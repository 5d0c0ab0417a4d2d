// The mapping of a transformed put, from target pixels back to source
// pixels, and the target pixels of one row that it draws.
//
// Every value here is computed in double precision in the order the public
// header gives, so that each path (the per-pixel plain one and the table
// paths of the fast set) finds bit for bit the same source pixel for a
// target pixel. The processor's fused multiply-add is never used for them:
// a fused product and sum rounds once where the rule rounds twice.
#pragma once
#include <cstdint>

#include "zentravolk/blit.h"

// Source pixels per target pixel, the pivot, the put's target pixel and the
// size and flips of the source rectangle.
struct InverseMap {
  double m00, m01, m10, m11;
  double pivot_x, pivot_y;
  double cos, sin;     // of the angle, as gfx_turn gives them
  double i00, i10;     // 1 / m00 and 1 / m10 (0 where those are 0): guesses only
  int tx, ty;
  int width, height;
  bool flip_h, flip_v;
};

// The cosine and sine of an angle in degrees, clockwise on the screen;
// exactly 0 and +-1 at whole quarter turns.
void gfx_turn(double degrees, double* c, double* s);

// The map of a transform for a width x height rectangle put at (tx, ty);
// null when the transform cannot be used, with *why set to the reason.
bool gfx_inverse_map(const GfxTransform& t, int width, int height, int tx, int ty, InverseMap* out,
                     const char** why);

// px (or py) of a target column (or row): its centre less the put's point.
inline double gfx_centre_offset(long long x, int t) { return (double(x) + 0.5) - double(t); }

// The source coordinate along one axis for a target pixel: the column's
// product plus the row's product, then the pivot.
inline double gfx_sample(double column_term, double row_term, double pivot) {
  return (column_term + row_term) + pivot;
}

// The first and one-past-last target column of row y, within [left, right),
// whose centres map inside the source rectangle; empty when first == last.
struct RowSpan {
  long long first, last;
};
RowSpan gfx_row_span(const InverseMap& m, long long y, long long left, long long right);

// The target columns (or rows) in [left, right) where coefficient x centre
// offset, plus row_term, plus pivot lies in [0, size): one source axis when
// the other one's term is the same for the whole line.
// inverse is 1 / coefficient (any value when coefficient is 0); it only
// speeds up the search.
RowSpan gfx_axis_span(double coefficient, double inverse, double row_term, double pivot, int size, int t,
                      long long left, long long right);
