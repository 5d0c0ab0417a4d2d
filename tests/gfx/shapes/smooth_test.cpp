// Anti-aliased lines and ellipses: coverage adding up to the band's exact
// area, the same pixels both ways round, mirror symmetry, clipping at every
// side against the same shape drawn with a guard band, and the plain
// drawing of 8- and 16-bit targets.
#include <cmath>
#include <random>
#include <vector>

#include "runtime/rt_core.h"
#include "tests/gfx/drawing_test_support.h"
#include "zentravolk/shapes.h"

namespace {

using Smooth = DrawingTest;

void blank() { std::memset(screen_state->page_buffers[0], 0, size_t(screen_state->pitch) * screen_state->height); }

// The blue bytes of a 32-bit page from (ox, oy) on, w x h of them.
std::vector<int> blues(int ox, int oy, int w, int h) {
  std::vector<int> v;
  for (int y = oy; y < oy + h; ++y)
    for (int x = ox; x < ox + w; ++x) v.push_back(int(page_pixel32(0, x, y) & 0xFF));
  return v;
}

// A coordinate on a 1/64 grid, so moving it by whole pixels is exact.
float grid(std::mt19937& rng, float lo, float hi) {
  return float(std::uniform_int_distribution<int>(int(lo * 64), int(hi * 64))(rng)) / 64;
}

TEST_F(Smooth, LineCoverageAddsUpToTheBandsAreaBothWaysRound) {
  open(200, 200, 32);
  std::mt19937 rng(41);
  for (int n = 0; n < 200; ++n) {
    float ax = grid(rng, 5, 195), ay = grid(rng, 5, 195), bx = grid(rng, 5, 195), by = grid(rng, 5, 195);
    double major = std::max(std::fabs(bx - ax), std::fabs(by - ay));
    if (major < 40) continue;
    SCOPED_TRACE(testing::Message() << ax << "," << ay << " " << bx << "," << by);
    blank();
    ASSERT_EQ(gfx_smooth_line(nullptr, ax, ay, bx, by, 0xFFFFFF, 0), ZQ_OK);
    std::vector<int> forward = blues(0, 0, 200, 200);
    double sum = 0;
    for (int b : forward) sum += b;
    EXPECT_LE(std::fabs(sum / 255 - major), 1.0 / 255 + 1e-9);
    blank();
    gfx_smooth_line(nullptr, bx, by, ax, ay, 0xFFFFFF, 0);
    ASSERT_EQ(blues(0, 0, 200, 200), forward);
  }
  // A line along a row of centres covers those pixels fully, half a pixel
  // at each end.
  blank();
  gfx_smooth_line(nullptr, 10, 20, 30, 20, 0xFFFFFF, 0);
  EXPECT_EQ(page_pixel32(0, 20, 20) & 0xFF, 255u);
  EXPECT_EQ(page_pixel32(0, 20, 21) & 0xFF, 0u);
  EXPECT_EQ(page_pixel32(0, 10, 20) & 0xFF, 128u);
  EXPECT_EQ(page_pixel32(0, 30, 20) & 0xFF, 128u);
  EXPECT_EQ(page_pixel32(0, 9, 20), 0u);
  // Halfway between two rows: each gets half.
  blank();
  gfx_smooth_line(nullptr, 10, 20.5f, 30, 20.5f, 0xFFFFFF, 0);
  EXPECT_EQ(page_pixel32(0, 20, 20) & 0xFF, 128u);
  EXPECT_EQ(page_pixel32(0, 20, 21) & 0xFF, 127u);
}

TEST_F(Smooth, ClippedAtEverySideAsWithAGuardBand) {
  constexpr int kSize = 40, kGuard = 30;
  std::mt19937 rng(8);
  for (int n = 0; n < 150; ++n) {
    float ax = grid(rng, -25, kSize + 25), ay = grid(rng, -25, kSize + 25);
    float bx = grid(rng, -25, kSize + 25), by = grid(rng, -25, kSize + 25), r = grid(rng, 0, 40);
    SCOPED_TRACE(testing::Message() << ax << "," << ay << " " << bx << "," << by << " r " << r);
    open(kSize + 2 * kGuard, kSize + 2 * kGuard, 32);
    if (n % 2) {
      gfx_smooth_line(nullptr, ax + kGuard, ay + kGuard, bx + kGuard, by + kGuard, 0xFFFFFF, 0);
    } else {
      gfx_smooth_ellipse(nullptr, ax + kGuard, ay + kGuard, r, r * 0.6f, 0xFFFFFF, 0);
    }
    std::vector<int> whole = blues(kGuard, kGuard, kSize, kSize);
    open(kSize, kSize, 32);
    if (n % 2) {
      gfx_smooth_line(nullptr, ax, ay, bx, by, 0xFFFFFF, 0);
    } else {
      gfx_smooth_ellipse(nullptr, ax, ay, r, r * 0.6f, 0xFFFFFF, 0);
    }
    ASSERT_EQ(blues(0, 0, kSize, kSize), whole);
  }
}

TEST_F(Smooth, EllipsesAreMirrorSymmetricAndCloseAllRound) {
  open(128, 128, 32);
  for (float rx : {3.0f, 10.5f, 40.0f, 60.0f})
    for (float ry : {2.0f, 17.25f, 40.0f}) {
      SCOPED_TRACE(testing::Message() << rx << " x " << ry);
      blank();
      ASSERT_EQ(gfx_smooth_ellipse(nullptr, 64, 64, rx, ry, 0xFFFFFF, 0), ZQ_OK);
      for (int y = 1; y < 128; ++y)
        for (int x = 1; x < 128; ++x) {
          int v = int(page_pixel32(0, x, y) & 0xFF);
          ASSERT_NEAR(v, int(page_pixel32(0, 128 - x, y) & 0xFF), 1) << x << "," << y;
          ASSERT_NEAR(v, int(page_pixel32(0, x, 128 - y) & 0xFF), 1) << x << "," << y;
        }
      // Where the outline is flatter than 45 degrees each column holds a
      // whole pixel's coverage above the centre; where it is steeper each
      // row does, left of it: no gaps where the two ways of stepping meet.
      double diag = std::hypot(rx, ry);
      for (int d = 0; d <= int(rx * rx / diag); ++d) {
        int top = 0;
        for (int y = 0; y <= 64; ++y) top += int(page_pixel32(0, 64 + d, y) & 0xFF);
        ASSERT_GE(top, 255) << "column " << d;
      }
      for (int d = 0; d <= int(ry * ry / diag); ++d) {
        int left = 0;
        for (int x = 0; x <= 64; ++x) left += int(page_pixel32(0, x, 64 + d) & 0xFF);
        ASSERT_GE(left, 255) << "row " << d;
      }
    }
}

TEST_F(Smooth, PalettesAndSixteenBitsDrawPlainlyAndTranslucentColoursScale) {
  for (int depth : {8, 16}) {
    open(64, 64, depth);
    blank();
    gfx_smooth_line(nullptr, 2, 3.3f, 60, 40.9f, depth == 8 ? 15 : 0xFFFFFF, 0);
    int bytes = depth / 8;
    for (int x = 3; x < 60; ++x) {
      int drawn = 0;
      for (int y = 0; y < 64; ++y) {
        uint8_t* p = screen_state->page_buffers[0] + y * screen_state->pitch + x * bytes;
        drawn += p[0] != 0;
      }
      ASSERT_EQ(drawn, 1) << "column " << x << " at depth " << depth;
    }
  }
  open(64, 64, 32, 1, ZQ_OPEN_ALPHA);
  blank();
  gfx_smooth_line(nullptr, 10, 20, 30, 20, 0x80FFFFFF, 0);
  EXPECT_EQ(page_pixel32(0, 20, 20) & 0xFFFFFF, 0x808080u);  // full coverage at the colour's own half strength
  EXPECT_EQ(gfx_smooth_line(nullptr, NAN, 0, 1, 1, 1, 0), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_STRNE(rt_error_detail(), "");
  EXPECT_EQ(gfx_smooth_ellipse(nullptr, 1, 1, -1, 2, 1, 0), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(gfx_smooth_ellipse(nullptr, 1, INFINITY, 1, 2, 1, 0), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(gfx_smooth_ellipse(nullptr, 1, 1, 0, 0, 1, 0), ZQ_OK);
}

}  // namespace
