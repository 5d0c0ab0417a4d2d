// The inverse mapping of a transformed put and the spans of target pixels
// it draws in each row.
#include "gfx/blit/transform.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFullTurn = 360.0;
constexpr double kQuarterTurn = 90.0;
constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

// The first x in [left, right) for which pred holds, right when none does.
// pred must be monotone (false up to some x, true from there on); the search
// starts at guess and widens its steps, so a good guess costs a few tests.
template <typename Pred>
long long first_true(Pred pred, long long guess, long long left, long long right) {
  if (left >= right) return right;
  guess = std::clamp(guess, left, right - 1);
  long long no, yes;  // pred(no) is false (or no = left - 1), pred(yes) true (or yes = right)
  if (pred(guess)) {
    yes = guess;
    for (long long step = 1;; step *= 2) {
      long long c = yes - step;
      if (c < left) {
        no = left - 1;
        break;
      }
      if (!pred(c)) {
        no = c;
        break;
      }
      yes = c;
    }
  } else {
    no = guess;
    for (long long step = 1;; step *= 2) {
      long long c = no + step;
      if (c >= right) {
        yes = right;
        break;
      }
      if (pred(c)) {
        yes = c;
        break;
      }
      no = c;
    }
  }
  while (yes - no > 1) {
    long long mid = no + (yes - no) / 2;
    (pred(mid) ? yes : no) = mid;
  }
  return yes;
}

// The column where coefficient * px + row_term + pivot reaches bound, as a
// starting guess for the exact search (clamped so it converts safely).
long long guess_column(double inverse, double row_term, double pivot, double bound, int t, long long left,
                       long long right) {
  double px = (bound - row_term - pivot) * inverse;
  double x = px + double(t) - 0.5;
  if (!(x == x)) return left;
  return (long long)std::clamp(x, double(left) - 1.0, double(right) + 1.0);
}

// The columns of a row for which one source coordinate lies in [0, size):
// the coordinate is monotone in the column, so each bound is one search.
}  // namespace

RowSpan gfx_axis_span(double coefficient, double inverse, double row_term, double pivot, int size, int t,
                      long long left, long long right) {
  auto coord = [&](long long x) { return gfx_sample(coefficient * gfx_centre_offset(x, t), row_term, pivot); };
  const double limit = double(size);
  if (coefficient == 0.0) {
    double v = coord(left);
    return v >= 0.0 && v < limit ? RowSpan{left, right} : RowSpan{left, left};
  }
  long long at_zero = guess_column(inverse, row_term, pivot, 0.0, t, left, right);
  long long at_size = guess_column(inverse, row_term, pivot, limit, t, left, right);
  if (coefficient > 0) {
    long long first = first_true([&](long long x) { return coord(x) >= 0.0; }, at_zero, left, right);
    long long last = first_true([&](long long x) { return coord(x) >= limit; }, at_size, left, right);
    return {first, last};
  }
  long long first = first_true([&](long long x) { return coord(x) < limit; }, at_size, left, right);
  long long last = first_true([&](long long x) { return coord(x) < 0.0; }, at_zero, left, right);
  return {first, last};
}

void gfx_turn(double degrees, double* c, double* s) {
  double r = std::fmod(degrees, kFullTurn);  // exact
  double quarters = r / kQuarterTurn;
  if (quarters == std::trunc(quarters)) {
    static constexpr double kCos[] = {1, 0, -1, 0}, kSin[] = {0, 1, 0, -1};
    int q = int(quarters) & 3;  // -1 is 3 quarters, and so on
    *c = kCos[q];
    *s = kSin[q];
    return;
  }
  *c = std::cos(r * kRadiansPerDegree);
  *s = std::sin(r * kRadiansPerDegree);
}

bool gfx_inverse_map(const GfxTransform& t, int width, int height, int tx, int ty, InverseMap* out,
                     const char** why) {
  if (!std::isfinite(t.scale_x) || !std::isfinite(t.scale_y) || t.scale_x == 0.0 || t.scale_y == 0.0)
    return *why = "scale is 0 or not finite", false;
  if (!std::isfinite(t.angle)) return *why = "angle is not finite", false;
  if (!std::isfinite(t.pivot_x) || !std::isfinite(t.pivot_y)) return *why = "pivot is not finite", false;
  if (t.flip & ~(ZQ_FLIP_H | ZQ_FLIP_V)) return *why = "unknown flip flags", false;
  double c, s;
  gfx_turn(t.angle, &c, &s);
  InverseMap m{c / t.scale_x, s / t.scale_x, -s / t.scale_y, c / t.scale_y, t.pivot_x, t.pivot_y, c, s, 0, 0,
               tx, ty, width, height, (t.flip & ZQ_FLIP_H) != 0, (t.flip & ZQ_FLIP_V) != 0};
  if (!std::isfinite(m.m00) || !std::isfinite(m.m01) || !std::isfinite(m.m10) || !std::isfinite(m.m11))
    return *why = "scale too small to invert", false;
  m.i00 = m.m00 != 0.0 ? 1.0 / m.m00 : 0.0;
  m.i10 = m.m10 != 0.0 ? 1.0 / m.m10 : 0.0;
  *out = m;
  return true;
}

RowSpan gfx_row_span(const InverseMap& m, long long y, long long left, long long right) {
  const double py = gfx_centre_offset(y, m.ty);
  RowSpan u = gfx_axis_span(m.m00, m.i00, m.m01 * py, m.pivot_x, m.width, m.tx, left, right);
  if (u.first >= u.last) return {left, left};
  RowSpan v = gfx_axis_span(m.m10, m.i10, m.m11 * py, m.pivot_y, m.height, m.tx, u.first, u.last);
  if (v.first >= v.last) return {left, left};
  return v;
}
