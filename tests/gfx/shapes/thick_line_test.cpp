// Thick lines: exact small cases, the same pixels both ways round, the area
// of long lines, clipping at every side against the same line drawn on a
// screen with a guard band around, and blending each pixel once.
#include <cmath>
#include <random>
#include <set>
#include <utility>

#include "gfx/draw/pixel_routines.h"
#include "runtime/rt_core.h"
#include "tests/gfx/drawing_test_support.h"
#include "zentravolk/shapes.h"

namespace {

using ThickLines = DrawingTest;
using Pixels = std::set<std::pair<int, int>>;

void blank() { std::memset(screen_state->page_buffers[0], 0, size_t(screen_state->pitch) * screen_state->height); }

Pixels drawn(int ox = 0, int oy = 0) {
  Pixels p;
  for (int y = 0; y < screen_state->height; ++y)
    for (int x = 0; x < screen_state->width; ++x)
      if (screen_state->page_buffers[0][size_t(y) * screen_state->pitch + x]) p.insert({x - ox, y - oy});
  return p;
}

Pixels thick(float ax, float ay, float bx, float by, float w, int flags, int ox = 0, int oy = 0) {
  blank();
  EXPECT_EQ(gfx_thick_line(nullptr, ax + float(ox), ay + float(oy), bx + float(ox), by + float(oy), w, 1, flags), ZQ_OK);
  return drawn(ox, oy);
}

TEST_F(ThickLines, SmallCasesDrawExactlyThesePixels) {
  open(32, 32, 8);
  Pixels butt;
  for (int y = 4; y <= 6; ++y)
    for (int x = 2; x <= 9; ++x) butt.insert({x, y});
  EXPECT_EQ(thick(2, 5, 10, 5, 3, 0), butt);
  Pixels round = butt;
  for (int y = 4; y <= 6; ++y) round.insert({{1, y}, {10, y}, {11, y}});
  EXPECT_EQ(thick(2, 5, 10, 5, 3, ZQ_LINE_ROUND_ENDS), round);
  EXPECT_EQ(thick(10, 5, 2, 5, 3, ZQ_LINE_ROUND_ENDS), round);
  // A round line of no length is a disc; a butt one is nothing.
  EXPECT_EQ(thick(8, 8, 8, 8, 3, ZQ_LINE_ROUND_ENDS).size(), 9u);
  EXPECT_TRUE(thick(8, 8, 8, 8, 3, 0).empty());
  EXPECT_TRUE(thick(1, 1, 20, 9, 0, ZQ_LINE_ROUND_ENDS).empty());
  EXPECT_EQ(gfx_thick_line(nullptr, 0, 0, 5, 5, -1, 1, 0), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_STRNE(rt_error_detail(), "");
  EXPECT_EQ(gfx_thick_line(nullptr, 0, NAN, 5, 5, 2, 1, 0), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(gfx_thick_line(nullptr, 0, 0, 5, 5, INFINITY, 1, 0), ZQ_ERR_ILLEGAL_CALL);
}

TEST_F(ThickLines, BothWaysRoundTheSameAndTheAreaOfTheRectangle) {
  open(160, 160, 8);
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> coord(10, 150), width(0.5f, 12);
  for (int n = 0; n < 200; ++n) {
    float ax = coord(rng), ay = coord(rng), bx = coord(rng), by = coord(rng), w = width(rng);
    int flags = n % 2 ? ZQ_LINE_ROUND_ENDS : 0;
    SCOPED_TRACE(testing::Message() << ax << "," << ay << " " << bx << "," << by << " w " << w << " f " << flags);
    Pixels forward = thick(ax, ay, bx, by, w, flags);
    ASSERT_EQ(forward, thick(bx, by, ax, ay, w, flags));
    double area = std::hypot(bx - ax, by - ay) * w + (flags ? 3.14159265 * w * w / 4 : 0);
    // Centres sample the area: off by at most about the outline's length.
    double outline = 2 * (std::hypot(bx - ax, by - ay) + w) + 4;
    EXPECT_NEAR(double(forward.size()), area, outline);
  }
}

TEST_F(ThickLines, ClippedAtEverySideAsTheSameLineWithAGuardBand) {
  constexpr int kSize = 48, kGuard = 40;
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> coord(-30, kSize + 30), width(0.5f, 20);
  for (int n = 0; n < 150; ++n) {
    float ax = coord(rng), ay = coord(rng), bx = coord(rng), by = coord(rng), w = width(rng);
    int flags = n % 2 ? ZQ_LINE_ROUND_ENDS : 0;
    SCOPED_TRACE(testing::Message() << ax << "," << ay << " " << bx << "," << by << " w " << w);
    open(kSize + 2 * kGuard, kSize + 2 * kGuard, 8);
    Pixels whole = thick(ax, ay, bx, by, w, flags, kGuard, kGuard), cut;
    for (auto [x, y] : whole)
      if (x >= 0 && x < kSize && y >= 0 && y < kSize) cut.insert({x, y});
    open(kSize, kSize, 8);
    ASSERT_EQ(thick(ax, ay, bx, by, w, flags), cut);
  }
}

TEST_F(ThickLines, TranslucentLinesBlendEachPixelOnce) {
  open(64, 64, 32, 1, ZQ_OPEN_ALPHA);
  for (int flags : {0, ZQ_LINE_ROUND_ENDS}) {
    blank();
    gfx_thick_line(nullptr, 5.3f, 7.1f, 50.2f, 41.7f, 9.5f, 0x80FFFFFF, flags);
    int seen = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        uint32_t v = page_pixel32(0, x, y);
        if (!v) continue;
        ++seen;
        ASSERT_EQ(v, gfx_alpha_blend(0x80FFFFFFu, 0)) << x << "," << y;
      }
    EXPECT_GT(seen, 300);
  }
}

}  // namespace
