// Lines, boxes, circles, ellipses and arcs: exact pixel sets for small
// cases, properties on random ones, and the drawing protocol (colours,
// steps and the cursor, dirty rows, the lock, blending).
#include "gfx/shapes/shapes.h"

#include <cmath>
#include <numbers>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "gfx/draw/pixel_routines.h"
#include "gfx/draw/primitives.h"
#include "gfx/shapes/line_walk.h"
#include "runtime/rt_core.h"
#include "tests/gfx/drawing_test_support.h"

namespace {

using Shapes = DrawingTest;
using Pixels = std::set<std::pair<int, int>>;  // (x, y)
constexpr float kPi = std::numbers::pi_v<float>;
constexpr int64_t kWhite = 0xFFFFFF;

void blank() { std::memset(screen_state->page_buffers[0], 0, size_t(screen_state->pitch) * screen_state->height); }

// The pixels of page 0 that are not 0, relative to (ox, oy).
Pixels drawn(int ox = 0, int oy = 0) {
  Pixels p;
  for (int y = 0; y < screen_state->height; ++y)
    for (int x = 0; x < screen_state->width; ++x)
      if (page_pixel32(0, x, y)) p.insert({x - ox, y - oy});
  return p;
}

Pixels line_pixels(int ax, int ay, int bx, int by) {
  blank();
  gfx_line(nullptr, float(ax), float(ay), float(bx), float(by), kWhite, 0, 0);
  return drawn();
}

Pixels circle_pixels(float radius, float start, float end, float aspect, int flags, int c = 64) {
  blank();
  EXPECT_EQ(gfx_circle(nullptr, float(c), float(c), radius, kWhite, start, end, aspect, flags), 0);
  return drawn(c, c);
}

// Whether the set is one 8-connected piece.
bool connected(const Pixels& p) {
  if (p.empty()) return true;
  Pixels seen{*p.begin()};
  std::vector<std::pair<int, int>> todo{*p.begin()};
  while (!todo.empty()) {
    auto [x, y] = todo.back();
    todo.pop_back();
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (p.count({x + dx, y + dy}) && seen.insert({x + dx, y + dy}).second) todo.push_back({x + dx, y + dy});
  }
  return seen.size() == p.size();
}

TEST_F(Shapes, SmallCasesDrawExactlyThesePixels) {
  open(128, 128, 32);
  EXPECT_EQ(line_pixels(1, 1, 5, 5), (Pixels{{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}));
  EXPECT_EQ(line_pixels(0, 0, 4, 2), (Pixels{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}));
  EXPECT_EQ(circle_pixels(0, 0, 0, 0, 0), (Pixels{{0, 0}}));
  EXPECT_EQ(circle_pixels(1, 0, 0, 0, 0), (Pixels{{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}}));
  Pixels r3{{3, 0},  {3, 1},   {2, 2},   {1, 3},  {0, 3},  {-1, 3},  {-2, 2}, {-3, 1},
            {-3, 0}, {-3, -1}, {-2, -2}, {-1, -3}, {0, -3}, {1, -3}, {2, -2}, {3, -1}};
  EXPECT_EQ(circle_pixels(3, 0, 0, 0, 0), r3);
  // The quarter from 0 to pi / 2 is the upper right part, both ends included.
  EXPECT_EQ(circle_pixels(3, 0, kPi / 2, 0, 0), (Pixels{{3, 0}, {3, -1}, {2, -2}, {1, -3}, {0, -3}}));
  // The filled circle of radius 3 is the outline and all inside it.
  Pixels disc = circle_pixels(3, 0, 0, 0, ZQ_SHAPE_FILLED);
  EXPECT_EQ(disc.size(), 37u);
  for (auto p : r3) EXPECT_TRUE(disc.count(p));

  blank();
  gfx_line(nullptr, 4, 3, 2, 2, kWhite, 0, ZQ_SHAPE_BOX | ZQ_SHAPE_FILLED);
  EXPECT_EQ(drawn(), (Pixels{{2, 2}, {3, 2}, {4, 2}, {2, 3}, {3, 3}, {4, 3}}));
  blank();
  gfx_line(nullptr, 1, 1, 4, 3, kWhite, 0, ZQ_SHAPE_BOX);
  EXPECT_EQ(drawn(), (Pixels{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {1, 2}, {4, 2}, {1, 3}, {2, 3}, {3, 3}, {4, 3}}));
  // Dashes: bit 15 first; the pattern runs from the first point.
  Pixels dashes;
  for (int x : {0, 1, 2, 3, 8, 9, 10, 11, 16, 17}) dashes.insert({x, 5});
  blank();
  gfx_line(nullptr, 0, 5, 17, 5, kWhite, 0xF0F0, 0);
  EXPECT_EQ(drawn(), dashes);
  Pixels backwards;
  for (int x : {17, 16, 15, 14, 9, 8, 7, 6, 1, 0}) backwards.insert({x, 5});
  blank();
  gfx_line(nullptr, 17, 5, 0, 5, kWhite, 0xF0F0, 0);
  EXPECT_EQ(drawn(), backwards);
}

TEST_F(Shapes, EllipsesFollowTheirAspectOnTheLongerAxis) {
  open(128, 128, 32);
  auto extent = [](const Pixels& p) {
    int w = 0, h = 0;
    for (auto [x, y] : p) w = std::max(w, std::abs(x)), h = std::max(h, std::abs(y));
    return std::pair{w, h};
  };
  EXPECT_EQ(extent(circle_pixels(20, 0, 0, 0.5f, 0)), (std::pair{20, 10}));
  EXPECT_EQ(extent(circle_pixels(20, 0, 0, 2.0f, 0)), (std::pair{10, 20}));
  EXPECT_EQ(extent(circle_pixels(20, 0, 0, ZQ_OMITTED, 0)), (std::pair{20, 20}));
  // A pie slice: the arc and both radius lines, one connected outline.
  Pixels pie = circle_pixels(20, -0.0f, -kPi / 2, 0, 0);
  EXPECT_TRUE(pie.count({0, 0}));
  for (int i = 0; i <= 20; ++i) EXPECT_TRUE(pie.count({i, 0}) && pie.count({0, -i})) << i;
  EXPECT_TRUE(connected(pie));
  for (auto [x, y] : pie) EXPECT_TRUE(x >= 0 && y <= 0) << x << "," << y;
}

TEST_F(Shapes, RandomLinesAreSymmetricConnectedAndClippedExactly) {
  open(96, 96, 32);
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> coord(-40, 135);
  for (int n = 0; n < 300; ++n) {
    int ax = coord(rng), ay = coord(rng), bx = coord(rng), by = coord(rng);
    Pixels forward = line_pixels(ax, ay, bx, by), back = line_pixels(bx, by, ax, ay);
    ASSERT_EQ(forward, back) << ax << "," << ay << " " << bx << "," << by;
    // The same line on a screen large enough for all of it, cut to this one.
    SCOPED_TRACE(testing::Message() << ax << "," << ay << " " << bx << "," << by);
    open(256, 256, 32);
    Pixels whole = line_pixels(ax + 80, ay + 80, bx + 80, by + 80), cut;
    EXPECT_EQ(whole.size(), size_t(std::max(std::abs(bx - ax), std::abs(by - ay)) + 1));
    EXPECT_TRUE(whole.count({ax + 80, ay + 80}) && whole.count({bx + 80, by + 80}));
    EXPECT_TRUE(connected(whole));
    for (auto [x, y] : whole)
      if (x >= 80 && x < 176 && y >= 80 && y < 176) cut.insert({x - 80, y - 80});
    open(96, 96, 32);
    EXPECT_EQ(line_pixels(ax, ay, bx, by), cut);
  }
}

// Solid lines are written in runs; the pixels must be the ones the line walk
// visits one by one, at every depth and slope, cut or whole.
TEST_F(Shapes, SolidLinesAreTheLineWalksPixels) {
  std::mt19937 rng(19);
  std::uniform_int_distribution<int> coord(-60, 160);
  for (int depth : {8, 16, 32}) {
    open(101, 83, depth);
    const int bytes = depth / 8;
    for (int n = 0; n < 300; ++n) {
      int ax = coord(rng), ay = coord(rng), bx = n % 7 ? coord(rng) : ax + 40, by = n % 5 ? coord(rng) : ay;
      std::memset(screen_state->page_buffers[0], 0, size_t(screen_state->pitch) * 83);
      gfx_line(nullptr, float(ax), float(ay), float(bx), float(by), 0xFFFFFF, 0, 0);
      Pixels walked, seen;
      gfx_walk_line(ax, ay, bx, by, {0, 0, 101, 83}, [&](long long x, long long y, long long) { walked.insert({int(x), int(y)}); });
      for (int y = 0; y < 83; ++y)
        for (int x = 0; x < 101; ++x)
          if (screen_state->page_buffers[0][size_t(y) * screen_state->pitch + size_t(x * bytes)]) seen.insert({x, y});
      ASSERT_EQ(seen, walked) << depth << ": " << ax << "," << ay << " " << bx << "," << by;
    }
  }
}

// Lines from far outside (whose steps cannot be carried in 32.32 fixed
// point, so the remainder steps them) and long lines across a wide screen
// (which the fixed point carries) give the line walk's pixels too.
TEST_F(Shapes, FarAndLongLinesAreTheLineWalksPixels) {
  std::mt19937 rng(23);
  open(2000, 41, 32);
  std::uniform_int_distribution<int> direction(-1000, 1000), along(-50, 2050), across(-20, 60);
  int far_drawn = 0;
  for (int n = 0; n < 200; ++n) {
    const bool far_off = n % 2 == 0;
    int ax = along(rng), ay = across(rng), bx = along(rng), by = across(rng);
    if (far_off) {  // through an on-screen pixel, the ends thousands of steps out
      const int px = int(rng() % 2000), py = int(rng() % 41), dx = direction(rng), dy = direction(rng);
      ax = px - dx * 9000;
      ay = py - dy * 9000;
      bx = px + dx * 7000;
      by = py + dy * 7000;
    }
    const Pixels seen = line_pixels(ax, ay, bx, by);
    Pixels walked;
    gfx_walk_line(ax, ay, bx, by, {0, 0, 2000, 41},
                  [&](long long x, long long y, long long) { walked.insert({int(x), int(y)}); });
    ASSERT_EQ(seen, walked) << ax << "," << ay << " " << bx << "," << by;
    far_drawn += far_off && !seen.empty();
  }
  EXPECT_GT(far_drawn, 20);  // the far lines do reach the screen
}

TEST_F(Shapes, CirclesAreSymmetricGapFreeAndFilledWithoutHoles) {
  open(4200, 4200, 8);
  std::vector<int> radii;
  for (int r = 0; r <= 40; ++r) radii.push_back(r);
  for (int r : {97, 255, 1000, 1999, 2000}) radii.push_back(r);
  auto page = [](int x, int y) { return screen_state->page_buffers[0][size_t(y) * screen_state->pitch + x]; };
  for (int r : radii) {
    SCOPED_TRACE(r);
    int c = r + 2, size = 2 * r + 5;
    std::memset(screen_state->page_buffers[0], 0, size_t(screen_state->pitch) * screen_state->height);
    gfx_circle(nullptr, float(c), float(c), float(r), 1, 0, 0, 0, 0);
    gfx_circle(nullptr, float(c), float(c), float(r), 2, 0, 0, 0, ZQ_SHAPE_FILLED);  // fills over the outline
    // Outline pixels read 1 before the fill: redraw it to count them.
    std::vector<std::pair<int, int>> outline;
    gfx_circle(nullptr, float(c), float(c), float(r), 1, 0, 0, 0, 0);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        if (page(x, y) == 1) outline.push_back({x - c, y - c});
    Pixels set(outline.begin(), outline.end());
    for (auto [x, y] : outline) {
      ASSERT_TRUE(set.count({y, x}) && set.count({-x, y}) && set.count({x, -y})) << x << "," << y;
      // Each pixel of the ring meets exactly two others, except where the
      // ring turns a corner (three); radius 0 is one pixel.
      int near = 0;
      for (auto q : {std::pair{x - 1, y - 1}, {x, y - 1}, {x + 1, y - 1}, {x - 1, y}, {x + 1, y}, {x - 1, y + 1},
                     std::pair{x, y + 1}, std::pair{x + 1, y + 1}})
        near += int(set.count(q));
      if (r > 0) {
        ASSERT_GE(near, 2) << x << "," << y;
      }
    }
    if (r > 0) {
      ASSERT_TRUE(connected(set));
    }
    // Each row of the filled disc is one run ending on the outline.
    for (int y = 0; y < size; ++y) {
      int first = -1, last = -1, runs = 0;
      for (int x = 0; x < size; ++x)
        if (page(x, y)) {
          if (last != x - 1) ++runs, first = x;
          last = x;
        }
      ASSERT_LE(runs, 1) << "row " << y;
      if (runs) {
        ASSERT_TRUE(page(first, y) == 1 && page(last, y) == 1) << "row " << y;
      }
    }
  }
}

// Translucent lines are stepped as solid ones are, with a blend for a store:
// each of the walk's pixels is blended exactly once and no other changes,
// at every slope and direction, cut or whole, and from far outside.
TEST_F(Shapes, TranslucentLinesBlendTheLineWalksPixelsOnce) {
  constexpr int kW = 101, kH = 83;
  open(kW, kH, 32, 1, ZQ_OPEN_ALPHA);
  std::mt19937 rng(29);
  std::uniform_int_distribution<int> coord(-60, 160), direction(-1000, 1000);
  const uint32_t colour = 0x80FF8040, ground = 0x00204060, blended = gfx_alpha_blend(colour, ground);
  for (int n = 0; n < 300; ++n) {
    int ax = coord(rng), ay = coord(rng), bx = coord(rng), by = coord(rng);
    if (n % 4 == 0) {  // through an on-screen pixel, the ends far out
      const int px = int(rng() % kW), py = int(rng() % kH), dx = direction(rng), dy = direction(rng);
      ax = px - dx * 5000;
      ay = py - dy * 5000;
      bx = px + dx * 3000;
      by = py + dy * 3000;
    }
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) std::memcpy(screen_state->page_buffers[0] + y * screen_state->pitch + x * 4, &ground, 4);
    gfx_line(nullptr, float(ax), float(ay), float(bx), float(by), colour, 0, 0);
    Pixels walked;
    gfx_walk_line(ax, ay, bx, by, {0, 0, kW, kH}, [&](long long x, long long y, long long) { walked.insert({int(x), int(y)}); });
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        ASSERT_EQ(page_pixel32(0, x, y), walked.count({x, y}) ? blended : ground)
            << x << "," << y << " of " << ax << "," << ay << " " << bx << "," << by;
  }
}

// Arcs and filled sectors are the whole outline's or disc's pixels whose
// offset from the centre lies between the start and end rays (inclusive, the
// centre always): here that rule is worked out per pixel in double precision
// on random arcs, clipped ones, and ones whose rays run exactly along rows,
// columns and diagonals.
TEST_F(Shapes, ArcsAreTheWholeShapesPixelsBetweenTheirRays) {
  constexpr int kSize = 260;
  open(kSize, kSize, 32);
  constexpr double kTurn = 2 * std::numbers::pi;
  struct Ray {
    double x, y;
  };
  auto ray = [&](float angle) {
    double a = std::fmod(std::fabs(double(angle)), kTurn);
    return Ray{std::cos(a), std::sin(a)};
  };
  std::mt19937 rng(29);
  std::uniform_real_distribution<float> angle(0.0f, 2 * kPi), aspect(0.3f, 2.0f);
  std::uniform_int_distribution<int> centre(-40, kSize + 40), radius(0, 150), pick(0, 3);
  const float exact[] = {0.0f, kPi / 4, kPi / 2, kPi, 3 * kPi / 2, 7 * kPi / 4};
  for (int i = 0; i < 300; ++i) {
    int cx = centre(rng), cy = centre(rng), r = radius(rng);
    float start = pick(rng) ? angle(rng) : exact[i % 6], end = pick(rng) ? angle(rng) : exact[(i / 6) % 6];
    float ratio = i % 3 ? 0.0f : aspect(rng);
    int flags = i % 2 ? ZQ_SHAPE_FILLED : 0;
    if (std::fabs(start) == std::fabs(end)) continue;  // the whole shape
    SCOPED_TRACE(::testing::Message() << "centre " << cx << "," << cy << " radius " << r << " angles " << start
                                      << ".." << end << " aspect " << ratio << " flags " << flags);
    blank();
    gfx_circle(nullptr, float(cx), float(cy), float(r), kWhite, 0, 0, ratio, flags);
    const Pixels whole = drawn(cx, cy);
    blank();
    ASSERT_EQ(gfx_circle(nullptr, float(cx), float(cy), float(r), kWhite, start, end, ratio, flags), 0);
    const Pixels arc = drawn(cx, cy);
    const Ray s = ray(start), e = ray(end);
    double sweep = std::fmod(std::fabs(double(end)), kTurn) - std::fmod(std::fabs(double(start)), kTurn);
    const bool wide = (sweep <= 0 ? sweep + kTurn : sweep) > kTurn / 2;
    Pixels want;
    for (auto [dx, dy] : whole) {
      double vx = dx, vy = -dy;
      double after_start = s.x * vy - s.y * vx, before_end = vx * e.y - vy * e.x;
      bool in = wide ? after_start >= 0 || before_end >= 0 : after_start >= 0 && before_end >= 0;
      if (in || (dx == 0 && dy == 0)) want.insert({dx, dy});
    }
    ASSERT_EQ(arc, want);
  }
}

TEST_F(Shapes, TranslucentShapesBlendEachPixelOnce) {
  open(96, 96, 32, 1, ZQ_OPEN_ALPHA);
  const int64_t half = 0x80FFFFFF;
  auto check = [](const char* what) {
    uint32_t seen = 0;
    for (int y = 0; y < 96; ++y)
      for (int x = 0; x < 96; ++x) {
        uint32_t v = page_pixel32(0, x, y);
        if (!v) continue;
        if (!seen) seen = v;
        ASSERT_EQ(v, seen) << what << " at " << x << "," << y;
      }
    EXPECT_EQ(seen, gfx_alpha_blend(0x80FFFFFFu, 0));
  };
  blank(); gfx_circle(nullptr, 48, 48, 30, half, 0, 0, 0.7f, 0); check("ellipse");
  blank(); gfx_circle(nullptr, 48, 48, 30, half, 0, 0, 0, ZQ_SHAPE_FILLED); check("disc");
  blank(); gfx_circle(nullptr, 48, 48, 30, half, -1.0f, -4.0f, 0, 0); check("pie");
  blank(); gfx_circle(nullptr, 48, 48, 30, half, 1.0f, 4.0f, 0, ZQ_SHAPE_FILLED); check("filled pie");
  blank(); gfx_line(nullptr, 5, 5, 90, 60, half, 0, ZQ_SHAPE_BOX); check("box");
  blank(); gfx_line(nullptr, 5, 5, 90, 60, half, 0xAAAA, ZQ_SHAPE_BOX); check("dashed box");
  blank(); gfx_line(nullptr, 5, 5, 90, 60, half, 0, 0); check("line");
  // An opaque colour is written as it is.
  gfx_line(nullptr, 0, 0, 3, 0, 0xFF123456, 0, 0);
  EXPECT_EQ(page_pixel32(0, 2, 0), 0xFF123456u);
}

TEST_F(Shapes, ColoursStepsAndTheCursor) {
  EXPECT_EQ(gfx_line(nullptr, 0, 0, 1, 1, kWhite, 0, 0), 1);  // no screen
  EXPECT_EQ(gfx_circle(nullptr, 0, 0, 1, kWhite, 0, 0, 0, 0), 1);
  open(64, 64, 32);
  gfx_colour(0x00ABCDEF, 0, 0);
  blank();
  EXPECT_EQ(gfx_line(nullptr, 2, 2, 2, 2, ZQ_OMITTED, 0, 0), 0);
  EXPECT_EQ(page_pixel32(0, 2, 2), 0x00ABCDEFu);
  EXPECT_EQ(gfx_line(nullptr, 2, 2, 3, 3, int64_t(1) << 32, 0, 0), 1);
  EXPECT_EQ(rt_get_error(), 1);
  EXPECT_EQ(gfx_line(nullptr, 2, 2, 3, 3, -1, 0, 0), 1);
  EXPECT_EQ(gfx_circle(nullptr, 9, 9, -1, kWhite, 0, 0, 0, 0), 1);
  EXPECT_EQ(gfx_circle(nullptr, 9, 9, NAN, kWhite, 0, 0, 0, 0), 1);
  EXPECT_EQ(gfx_circle(nullptr, 9, 9, 2, kWhite, INFINITY, 0, 0, 0), 1);

  // The second point relative to the first, the first to the cursor; the
  // cursor ends at the second point (the centre for circles).
  blank();
  gfx_pset(nullptr, 10, 10, 0x1, 0, 0);
  gfx_line(nullptr, 2, 0, 0, 3, kWhite, 0, ZQ_STEP_FIRST | ZQ_STEP_SECOND);
  EXPECT_EQ(page_pixel32(0, 12, 10), 0xFFFFFFu);
  EXPECT_EQ(page_pixel32(0, 12, 13), 0xFFFFFFu);
  EXPECT_EQ(gfx_point(nullptr, 2, kPointCursorQuery), 12u);
  EXPECT_EQ(gfx_point(nullptr, 3, kPointCursorQuery), 13u);
  gfx_circle(nullptr, 10, 0, 2, kWhite, 0, 0, 0, ZQ_STEP_FIRST);
  EXPECT_EQ(page_pixel32(0, 24, 13), 0xFFFFFFu);
  EXPECT_EQ(gfx_point(nullptr, 2, kPointCursorQuery), 22u);
  // Rounding half away from zero, through a relative view.
  gfx_view(10, 20, 40, 50, 0, 0, ZQ_OMITTED);
  blank();
  gfx_line(nullptr, -0.5f, 0.5f, 2.49f, 0.5f, kWhite, 0, 0);
  EXPECT_EQ(drawn(), (Pixels{{10, 21}, {11, 21}, {12, 21}}));  // (-1, 1) is outside the view
}

TEST_F(Shapes, DirtyRowsAreTheRowsDrawnOnTheVisiblePage) {
  open(64, 64, 32, 2);
  auto dirty = [] {
    std::set<int> rows;
    for (int y = 0; y < 64; ++y)
      if (screen_state->dirty_rows[y]) rows.insert(y);
    return rows;
  };
  auto range = [](int a, int b) {
    std::set<int> rows;
    for (int y = a; y <= b; ++y) rows.insert(y);
    return rows;
  };
  clear_dirty();
  gfx_line(nullptr, 3, 10, 40, 20, kWhite, 0, 0);
  EXPECT_EQ(dirty(), range(10, 20));
  clear_dirty();
  gfx_line(nullptr, -5, 10, 70, 20, kWhite, 0, ZQ_SHAPE_BOX);  // both sides outside the screen
  EXPECT_EQ(dirty(), (std::set<int>{10, 20}));
  clear_dirty();
  gfx_circle(nullptr, 30, 30, 10, kWhite, 0, 0, 0, 0);
  EXPECT_EQ(dirty(), range(20, 40));
  clear_dirty();
  gfx_circle(nullptr, 30, 30, 100, kWhite, 0, 0, 0, 0);  // wholly around the screen
  EXPECT_EQ(dirty(), std::set<int>{});
  // An arc that leaves the screen and comes back: the rows between are not
  // drawn on.
  blank();
  clear_dirty();
  gfx_circle(nullptr, -3, 30, 10, kWhite, 0.3f, 6.0f, 0, 0);
  std::set<int> expected;
  for (auto [x, y] : drawn()) expected.insert(y);
  EXPECT_EQ(dirty(), expected);
  EXPECT_FALSE(expected.count(30));
  EXPECT_TRUE(expected.count(21) && expected.count(39));
  // On the hidden page nothing is marked.
  gfx_set_pages(1, 0);
  clear_dirty();
  gfx_line(nullptr, 0, 0, 63, 63, kWhite, 0, ZQ_SHAPE_FILLED);
  gfx_circle(nullptr, 30, 30, 10, kWhite, 0, 0, 0, ZQ_SHAPE_FILLED);
  EXPECT_EQ(dirty_count(), 0);
}

TEST_F(Shapes, EveryCallLocksOnceAndUnlocks) {
  open(32, 32, 32);
  use_driver(counting_driver);
  gfx_line(nullptr, 0, 0, 31, 31, kWhite, 0, 0);
  gfx_line(nullptr, 0, 0, 31, 31, kWhite, 0, ZQ_SHAPE_BOX);
  gfx_circle(nullptr, 16, 16, 8, kWhite, -1, -2, 0, 0);
  gfx_flood_fill(nullptr, 1, 30, 0x123456, ZQ_OMITTED, 0);
  EXPECT_EQ(counts.locks, 4);
  EXPECT_EQ(counts.unlocks, 4);
}

}  // namespace
