// Filling by the centre rule: a pixel belongs to a polygon when its centre
// lies inside it (even-odd), and a centre exactly on an edge belongs to the
// polygon only where that edge is a left or a top edge. Polygons that share
// an edge then neither overlap nor leave a gap between them.
//
// Vertices are target coordinates in 1/kSubpixelScale of a pixel, pixel
// (X, Y) has its centre at (X, Y) x kSubpixelScale. Every decision is made in
// integers, so it is exact: an edge crossing row Y is found as the first
// centre at or right of the crossing, stepped from row to row by a whole and
// a remainder, with no rounding anywhere.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// Sub-pixel steps per pixel of polygon vertices.
constexpr int kSubpixelScale = 256;
// Vertices are limited to this many pixels either side of the target's
// origin, which keeps the row stepping within 64 bits.
constexpr double kSubpixelLimit = double(1LL << 30);

struct SubPoint {
  long long x, y;  // in 1/kSubpixelScale pixel
};

// A target coordinate (pixels, with fractions) as a sub-pixel coordinate,
// rounded half away from zero and limited to kSubpixelLimit pixels.
inline long long gfx_subpixel(double v) {
  v = std::clamp(v, -kSubpixelLimit, kSubpixelLimit);
  return std::llround(v * kSubpixelScale);
}

class PolygonScan {
 public:
  // The polygon with vertices pts[0..n-1] (closed), scanned over pixel rows
  // first..last_excl - 1 only.
  PolygonScan(const SubPoint* pts, size_t n, long long first, long long last_excl);

  // The rows the polygon's centres can lie in, within the asked range.
  long long first_row() const { return first_; }
  long long end_row() const { return end_; }

  // Calls each(y, xs, count) for every row from `from` to `to` - 1 (rows of
  // the asked range, ascending) with the crossings of that row in ascending
  // order: xs[i] is the first pixel centre at or right of crossing i. Pixels
  // xs[0]..xs[1] - 1, xs[2]..xs[3] - 1, ... are inside. count is even (0 on
  // rows the polygon does not reach).
  template <typename Each>
  void rows(long long from, long long to, Each each) {
    std::vector<long long> xs(edges_.size());
    size_t next = 0;  // edges_ are sorted by first row
    for (long long y = from; y < to; ++y) {
      while (next < edges_.size() && edges_[next].first_row <= y) start(edges_[next++], y);
      Edge* active = active_.data();
      const size_t n = active_.size();
      size_t count = 0;
      for (size_t i = 0; i < n; ++i) {
        Edge& e = active[i];
        if (e.end_row <= y) continue;  // past its lower end: dropped
        xs[count] = e.q;
        e.step();
        if (count != i) active[count] = e;
        ++count;
      }
      active_.resize(count);
      // Crossings move little from row to row: insertion sort, each one held
      // while the larger ones before it move up.
      for (size_t i = 1; i < count; ++i) {
        const long long x = xs[i];
        size_t j = i;
        for (; j > 0 && xs[j - 1] > x; --j) xs[j] = xs[j - 1];
        xs[j] = x;
      }
      each(y, xs.data(), count);
    }
  }

 private:
  // An edge from its upper vertex (x0, y0) to its lower one, dy > 0. At row
  // Y its crossing's numerator is N = x0 dy + (Y s - y0) dx over D = s dy
  // (s the sub-pixel scale), and q = ceil(N / D) with N = q D - e,
  // 0 <= e < D. One row down N grows by s dx = a D + b.
  struct Edge {
    long long first_row, end_row;
    long long x0, y0, dx, dy;
    long long q, e, a, b, d;
    void step() {  // without a branch: the carry's direction is not predictable
      q += a;
      e -= b;
      const long long carry = e >> 63;  // -1 where e went below 0, else 0
      e += d & carry;
      q -= carry;
    }
  };
  void start(Edge e, long long y);

  std::vector<Edge> edges_, active_;
  long long first_ = 0, end_ = 0;
};

inline PolygonScan::PolygonScan(const SubPoint* pts, size_t n, long long first, long long last_excl) {
  long long lo = INT64_MAX, hi = INT64_MIN;
  for (size_t i = 0; i < n; ++i) {
    SubPoint p = pts[i], q = pts[(i + 1) % n];
    if (p.y == q.y) continue;  // horizontal edges cross no row
    if (p.y > q.y) std::swap(p, q);
    Edge e{};
    e.x0 = p.x;
    e.y0 = p.y;
    e.dx = q.x - p.x;
    e.dy = q.y - p.y;
    // Rows whose centre y satisfies y0 <= Y s < y1: the top end belongs to
    // the edge, the bottom one does not.
    auto ceil_div = [](long long v) {
      return v >= 0 ? (v + kSubpixelScale - 1) / kSubpixelScale : -((-v) / kSubpixelScale);
    };
    e.first_row = ceil_div(p.y);
    e.end_row = ceil_div(q.y);
    if (e.first_row >= e.end_row) continue;
    lo = std::min(lo, e.first_row);
    hi = std::max(hi, e.end_row);
    e.first_row = std::max(e.first_row, first);
    e.end_row = std::min(e.end_row, last_excl);
    if (e.first_row < e.end_row) edges_.push_back(e);
  }
  first_ = std::max(lo, first);
  end_ = std::min(hi, last_excl);
  std::sort(edges_.begin(), edges_.end(), [](const Edge& a, const Edge& b) { return a.first_row < b.first_row; });
  active_.reserve(edges_.size());
}

inline void PolygonScan::start(Edge e, long long y) {
  using Wide = __int128;
  e.d = e.dy * kSubpixelScale;
  Wide num = Wide(e.x0) * e.dy + (Wide(y) * kSubpixelScale - e.y0) * e.dx;
  Wide q = num / e.d;
  if (q * e.d < num) ++q;  // ceiling, for either sign
  e.q = (long long)q;
  e.e = (long long)(q * e.d - num);
  long long s = e.dx * kSubpixelScale;
  e.a = s / e.d;
  if (e.a * e.d > s) --e.a;  // floor, for either sign
  e.b = s - e.a * e.d;
  active_.push_back(e);
}
