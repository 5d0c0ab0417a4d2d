// Filled polygons against a plain reference of the centre rule in double
// precision, a tiling by random triangles that must cover every pixel once,
// and the outline, the cursor, blending and the refused arguments.
#include <cmath>
#include <random>
#include <vector>

#include "gfx/draw/pixel_routines.h"
#include "gfx/draw/primitives.h"
#include "runtime/rt_core.h"
#include "tests/gfx/drawing_test_support.h"
#include "zentravolk/shapes.h"

namespace {

using Polygons = DrawingTest;

struct Pt {
  double x, y;
};

// Whether the centre of pixel (X, Y) is inside: even-odd over the edges, each
// edge owning the rows from its upper end (included) to its lower end (not),
// a crossing counted when the centre lies on or right of it. The vertices are
// on a 1/8 grid, so every product below is exact in double precision.
bool reference_inside(const std::vector<Pt>& p, int X, int Y) {
  bool in = false;
  for (size_t i = 0; i < p.size(); ++i) {
    Pt a = p[i], b = p[(i + 1) % p.size()];
    if (a.y == b.y) continue;
    if (a.y > b.y) std::swap(a, b);
    if (!(a.y <= Y && Y < b.y)) continue;
    double side = (X - a.x) * (b.y - a.y) - (Y - a.y) * (b.x - a.x);
    if (side >= 0) in = !in;
  }
  return in;
}

std::vector<float> as_floats(const std::vector<Pt>& p) {
  std::vector<float> f;
  for (Pt q : p) f.insert(f.end(), {float(q.x), float(q.y)});
  return f;
}

uint8_t& page8(int x, int y) { return screen_state->page_buffers[0][size_t(y) * screen_state->pitch + x]; }
void blank() { std::memset(screen_state->page_buffers[0], 0, size_t(screen_state->pitch) * screen_state->height); }

double eighths(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo * 8, hi * 8)(rng) / 8.0; }

TEST_F(Polygons, FilledPolygonsAreTheCentreRuleExactly) {
  constexpr int kW = 61, kH = 47;
  open(kW, kH, 8);
  std::mt19937 rng(29);
  for (int n = 0; n < 400; ++n) {
    std::vector<Pt> p;
    int count = 3 + n % 9;
    if (n % 3 == 0) {  // convex: points around a circle, in angle order
      double cx = eighths(rng, 0, kW), cy = eighths(rng, 0, kH), r = eighths(rng, 1, 40);
      std::vector<double> angles;
      for (int i = 0; i < count; ++i) angles.push_back(std::uniform_real_distribution<double>(0, 6.283)(rng));
      std::sort(angles.begin(), angles.end());
      for (double a : angles) p.push_back({std::round((cx + r * std::cos(a)) * 8) / 8, std::round((cy + r * std::sin(a)) * 8) / 8});
    } else {  // anything, crossing itself, well past the edges
      for (int i = 0; i < count; ++i) p.push_back({eighths(rng, -20, kW + 20), eighths(rng, -20, kH + 20)});
      if (n % 5 == 0)  // whole-pixel vertices put many centres exactly on edges
        for (Pt& q : p) q = {std::round(q.x), std::round(q.y)};
    }
    blank();
    std::vector<float> f = as_floats(p);
    ASSERT_EQ(gfx_polygon(nullptr, f.data(), count, 1, ZQ_SHAPE_FILLED), ZQ_OK);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        ASSERT_EQ(page8(x, y) == 1, reference_inside(p, x, y)) << "polygon " << n << " pixel " << x << "," << y;
  }
}

TEST_F(Polygons, RandomTrianglesTilingTheScreenCoverEachPixelOnce) {
  constexpr int kW = 97, kH = 71, kCols = 9, kRows = 7;
  open(kW, kH, 8);
  std::mt19937 rng(5);
  // Grid points jittered inside, the outer ones well outside the screen.
  std::vector<Pt> grid;
  for (int j = 0; j <= kRows; ++j)
    for (int i = 0; i <= kCols; ++i) {
      double x = i == 0 ? -3 : i == kCols ? kW + 3 : i * double(kW) / kCols + eighths(rng, -3, 3);
      double y = j == 0 ? -3 : j == kRows ? kH + 3 : j * double(kH) / kRows + eighths(rng, -3, 3);
      grid.push_back({std::round(x * 8) / 8, std::round(y * 8) / 8});
    }
  auto at = [&](int i, int j) { return grid[size_t(j * (kCols + 1) + i)]; };
  std::vector<int> cover(kW * kH, 0);
  auto add = [&](Pt a, Pt b, Pt c) {
    blank();
    ASSERT_EQ(gfx_triangle(nullptr, float(a.x), float(a.y), float(b.x), float(b.y), float(c.x), float(c.y), 1,
                           ZQ_SHAPE_FILLED),
              ZQ_OK);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) cover[size_t(y * kW + x)] += page8(x, y);
  };
  for (int j = 0; j < kRows; ++j)
    for (int i = 0; i < kCols; ++i) {
      Pt a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
      if (rng() & 1) {
        add(a, b, c);
        add(c, d, a);  // the other way round: orientation does not matter
      } else {
        add(a, b, d);
        add(b, d, c);
      }
    }
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) ASSERT_EQ(cover[size_t(y * kW + x)], 1) << x << "," << y;
}

TEST_F(Polygons, SquaresOutlinesViewsAndTheCursor) {
  open(32, 32, 32, 1, ZQ_OPEN_ALPHA);
  auto count = [] {
    int n = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) n += page_pixel32(0, x, y) != 0;
    return n;
  };
  const float square[] = {2, 2, 6, 2, 6, 6, 2, 6};
  std::memset(screen_state->page_buffers[0], 0, size_t(screen_state->pitch) * 32);
  gfx_polygon(nullptr, square, 4, 0xFFFFFFFF, ZQ_SHAPE_FILLED);
  EXPECT_EQ(count(), 16);  // centres 2..5: the right and bottom edges are not the square's
  EXPECT_NE(page_pixel32(0, 2, 2), 0u);
  EXPECT_EQ(page_pixel32(0, 6, 6), 0u);
  EXPECT_EQ(gfx_point(nullptr, 2, kPointCursorQuery), 2u);  // the last vertex
  EXPECT_EQ(gfx_point(nullptr, 3, kPointCursorQuery), 6u);
  // The outline: four lines through the corners, 4 x 4 - 4 pixels.
  std::memset(screen_state->page_buffers[0], 0, size_t(screen_state->pitch) * 32);
  gfx_polygon(nullptr, square, 4, 0xFFFFFFFF, 0);
  EXPECT_EQ(count(), 16);
  EXPECT_NE(page_pixel32(0, 6, 6), 0u);
  EXPECT_EQ(page_pixel32(0, 4, 4), 0u);
  // A translucent outline that crosses itself blends each pixel once.
  std::memset(screen_state->page_buffers[0], 0, size_t(screen_state->pitch) * 32);
  const float bow[] = {1, 1, 20, 20, 20, 1, 1, 20};
  gfx_polygon(nullptr, bow, 4, 0x80FFFFFF, 0);
  gfx_polygon(nullptr, bow, 4, 0x80FFFFFF, ZQ_SHAPE_FILLED);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      uint32_t v = page_pixel32(0, x, y);
      ASSERT_TRUE(v == 0 || v == gfx_alpha_blend(0x80FFFFFFu, 0) ||
                  v == gfx_alpha_blend(0x80FFFFFFu, gfx_alpha_blend(0x80FFFFFFu, 0)))
          << x << "," << y;
    }
  // Through a relative view: moved by its origin and cut to it.
  gfx_view(10, 10, 19, 19, 0, 0, kViewNoBorder);
  std::memset(screen_state->page_buffers[0], 0, size_t(screen_state->pitch) * 32);
  const float big[] = {-5, -5, 30, -5, 30, 30, -5, 30};
  gfx_polygon(nullptr, big, 4, 0xFFFFFFFF, ZQ_SHAPE_FILLED);
  EXPECT_EQ(count(), 100);
  gfx_triangle(nullptr, 0, 0, 1, 0, 0, 1, 0xFFFFFFFF, 0);
  EXPECT_EQ(count(), 100);
  // Refused arguments, each with a reason.
  EXPECT_EQ(gfx_polygon(nullptr, nullptr, 3, 1, 0), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_STRNE(rt_error_detail(), "");
  EXPECT_EQ(gfx_polygon(nullptr, square, 0, 1, 0), ZQ_ERR_ILLEGAL_CALL);
  const float bad[] = {0, 0, NAN, 1, 2, 2};
  EXPECT_EQ(gfx_polygon(nullptr, bad, 3, 1, ZQ_SHAPE_FILLED), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(gfx_triangle(nullptr, 0, 0, 1, INFINITY, 2, 2, 1, 0), ZQ_ERR_ILLEGAL_CALL);
  gfx_close_at_exit();
  EXPECT_EQ(gfx_polygon(nullptr, square, 4, 1, 0), ZQ_ERR_ILLEGAL_CALL);
}

}  // namespace
