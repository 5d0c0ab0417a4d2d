// The pixels of a straight line between two target pixels, both included.
// The line is always walked from the same end (the one with the smaller
// coordinate along the longer axis), so a to b and b to a give the same
// pixels; each pixel is handed over with its index counted from a, which a
// dash pattern reads. Only pixels inside the clip are visited, found by
// arithmetic rather than by stepping, so far-off end points cost nothing.
#pragma once
#include <algorithm>
#include <cstdint>
#include <utility>

// Clip rectangle of the walk: right and bottom exclusive.
struct LineClip {
  long long left, top, right, bottom;
};

namespace line_walk_detail {

using Wide = __int128;

// a / b and a % b for a >= 0, b > 0: in 64 bits when they fit (128-bit
// division is a slow library call; far-off end points are rare).
inline Wide quotient(Wide a, Wide b) {
  if (a <= INT64_MAX && b <= INT64_MAX) return (long long)a / (long long)b;
  return a / b;
}
inline Wide remainder(Wide a, Wide b) {
  if (a <= INT64_MAX && b <= INT64_MAX) return (long long)a % (long long)b;
  return a % b;
}

// Smallest i >= 0 with num(i) = 2 i minor + major >= 2 major m (minor > 0).
inline Wide first_step_reaching(Wide m, Wide major, Wide minor) {
  Wide need = 2 * major * m - major;
  if (need <= 0) return 0;
  return quotient(need + 2 * minor - 1, 2 * minor);
}

}  // namespace line_walk_detail

// A line cut to the clip, as steps along its longer (major) axis: steps i0
// to i1 of 0..n are inside; at step i the minor coordinate is minor0 + sign
// x m, where m grows by one whenever rem reaches twice_n (rem grows by step).
struct LineSteps {
  bool x_major, swapped;
  int sign;
  long long n, i0, i1;
  long long major0, minor0;
  long long m, rem, step, twice_n;
  long long x_at_i0() const { return x_major ? major0 + i0 : minor0 + sign * m; }
  long long y_at_i0() const { return x_major ? minor0 + sign * m : major0 + i0; }
};

// False when no pixel of the line a-b is inside the clip.
inline bool gfx_clip_line(long long ax, long long ay, long long bx, long long by, const LineClip& clip,
                          LineSteps* out) {
  using line_walk_detail::Wide;
  LineSteps L{};
  L.x_major = (bx > ax ? bx - ax : ax - bx) >= (by > ay ? by - ay : ay - by);
  L.swapped = L.x_major ? bx < ax : by < ay;
  if (L.swapped) {
    std::swap(ax, bx);
    std::swap(ay, by);
  }
  // Work in (major, minor) coordinates: major runs from 0 to n.
  L.n = L.x_major ? bx - ax : by - ay;
  long long d = L.x_major ? by - ay : bx - ax;
  L.sign = d < 0 ? -1 : 1;
  long long minor_len = d < 0 ? -d : d;
  L.major0 = L.x_major ? ax : ay;
  L.minor0 = L.x_major ? ay : ax;
  L.twice_n = 2 * L.n;
  L.step = 2 * minor_len;
  if (std::min(ax, bx) >= clip.left && std::max(ax, bx) < clip.right && std::min(ay, by) >= clip.top &&
      std::max(ay, by) < clip.bottom) {
    // Wholly inside: every step, from the start (m 0, the remainder the
    // half step), with no cutting arithmetic.
    L.i1 = L.n;
    L.rem = L.n;
    *out = L;
    return true;
  }
  long long major_lo = L.x_major ? clip.left : clip.top, major_hi = L.x_major ? clip.right : clip.bottom;
  long long minor_lo = L.x_major ? clip.top : clip.left, minor_hi = L.x_major ? clip.bottom : clip.right;

  Wide i0 = std::max<Wide>(0, Wide(major_lo) - L.major0);
  Wide i1 = std::min<Wide>(L.n, Wide(major_hi) - 1 - L.major0);
  // The minor offset m(i) = round(i d / n), halves rounded up, must stay in
  // the clip: m in [mlo, mhi].
  Wide mlo = L.sign > 0 ? Wide(minor_lo) - L.minor0 : Wide(L.minor0) - (minor_hi - 1);
  Wide mhi = L.sign > 0 ? Wide(minor_hi) - 1 - L.minor0 : Wide(L.minor0) - minor_lo;
  if (minor_len == 0 || L.n == 0) {
    if (mlo > 0 || mhi < 0) return false;
  } else {
    // m runs from 0 to minor_len: a bound it never passes needs no division.
    if (mlo > 0) i0 = std::max(i0, line_walk_detail::first_step_reaching(mlo, L.n, minor_len));
    if (mhi < minor_len) i1 = std::min(i1, line_walk_detail::first_step_reaching(mhi + 1, L.n, minor_len) - 1);
  }
  if (i0 > i1) return false;
  L.i0 = (long long)i0;
  L.i1 = (long long)i1;
  if (L.n > 0 && i0 == 0) {  // from the start: m 0, the remainder the half step
    L.m = 0;
    L.rem = L.n;
  } else if (L.n > 0) {
    Wide num = 2 * i0 * minor_len + L.n;
    L.m = (long long)line_walk_detail::quotient(num, L.twice_n);
    L.rem = (long long)line_walk_detail::remainder(num, L.twice_n);
  }
  *out = L;
  return true;
}

// Calls visit(x, y, index) for each pixel of the line a-b inside the clip.
template <typename Visit>
void gfx_walk_line(long long ax, long long ay, long long bx, long long by, const LineClip& clip, Visit visit) {
  LineSteps L;
  if (!gfx_clip_line(ax, ay, bx, by, clip, &L)) return;
  long long m = L.m, rem = L.rem;
  for (long long i = L.i0; i <= L.i1; ++i) {
    long long major = L.major0 + i, minor = L.minor0 + L.sign * m;
    long long index = L.swapped ? L.n - i : i;
    if (L.x_major)
      visit(major, minor, index);
    else
      visit(minor, major, index);
    rem += L.step;
    if (rem >= L.twice_n) {
      rem -= L.twice_n;
      ++m;
    }
  }
}
