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

// Smallest i >= 0 with num(i) = 2 i minor + major >= 2 major m (minor > 0).
inline Wide first_step_reaching(Wide m, Wide major, Wide minor) {
  Wide need = 2 * major * m - major;
  if (need <= 0) return 0;
  return (need + 2 * minor - 1) / (2 * minor);
}

}  // namespace line_walk_detail

// Calls visit(x, y, index) for each pixel of the line a-b inside the clip.
template <typename Visit>
void gfx_walk_line(long long ax, long long ay, long long bx, long long by, const LineClip& clip, Visit visit) {
  using line_walk_detail::Wide;
  bool x_major = (bx > ax ? bx - ax : ax - bx) >= (by > ay ? by - ay : ay - by);
  bool swapped = x_major ? bx < ax : by < ay;
  if (swapped) {
    std::swap(ax, bx);
    std::swap(ay, by);
  }
  // Work in (major, minor) coordinates: major runs from 0 to n.
  long long n = x_major ? bx - ax : by - ay;
  long long d = x_major ? by - ay : bx - ax;
  int sign = d < 0 ? -1 : 1;
  long long minor_len = d < 0 ? -d : d;
  long long major0 = x_major ? ax : ay, minor0 = x_major ? ay : ax;
  long long major_lo = x_major ? clip.left : clip.top, major_hi = x_major ? clip.right : clip.bottom;
  long long minor_lo = x_major ? clip.top : clip.left, minor_hi = x_major ? clip.bottom : clip.right;

  Wide i0 = std::max<Wide>(0, Wide(major_lo) - major0);
  Wide i1 = std::min<Wide>(n, Wide(major_hi) - 1 - major0);
  // The minor offset m(i) = round(i d / n), halves rounded up, must stay in
  // the clip: m in [mlo, mhi].
  Wide mlo = sign > 0 ? Wide(minor_lo) - minor0 : Wide(minor0) - (minor_hi - 1);
  Wide mhi = sign > 0 ? Wide(minor_hi) - 1 - minor0 : Wide(minor0) - minor_lo;
  if (minor_len == 0 || n == 0) {
    if (mlo > 0 || mhi < 0) return;
  } else {
    i0 = std::max(i0, line_walk_detail::first_step_reaching(mlo, n, minor_len));
    i1 = std::min(i1, line_walk_detail::first_step_reaching(mhi + 1, n, minor_len) - 1);
  }
  if (i0 > i1) return;

  long long twice_n = 2 * n, step = 2 * minor_len;
  Wide num = n == 0 ? 0 : 2 * i0 * minor_len + n;
  long long m = n == 0 ? 0 : (long long)(num / twice_n);
  long long rem = n == 0 ? 0 : (long long)(num % twice_n);
  for (long long i = (long long)i0; i <= (long long)i1; ++i) {
    long long major = major0 + i, minor = minor0 + sign * m;
    long long index = swapped ? n - i : i;
    if (x_major)
      visit(major, minor, index);
    else
      visit(minor, major, index);
    rem += step;
    if (rem >= twice_n) {
      rem -= twice_n;
      ++m;
    }
  }
}
