// The drawing context: coordinates, targets and the saved screen view, dirty
// rows, alpha primitives, re-opening, and the screen lock protocol.
#include "gfx/draw/context.h"

#include <functional>
#include <utility>
#include <vector>

#include "gfx/draw/primitives.h"
#include "gfx/image/image.h"
#include "gfx/image/palette.h"
#include "tests/gfx/drawing_test_support.h"

namespace {

using Context = DrawingTest;

void expect_view(const GfxContext* ctx, int x, int y, int w, int h) {
  EXPECT_EQ(ctx->view.x, x);
  EXPECT_EQ(ctx->view.y, y);
  EXPECT_EQ(ctx->view.width, w);
  EXPECT_EQ(ctx->view.height, h);
}

TEST_F(Context, CoordinatesRoundHalfAwayFromZero) {
  open(64, 48, 32);
  GfxContext* ctx = gfx_get_context();
  int px, py;
  gfx_to_view(ctx, -0.5f, 2.5f, &px, &py);
  EXPECT_EQ(std::pair(px, py), std::pair(-1, 3));
  gfx_to_view(ctx, 0.49f, -0.49f, &px, &py);
  EXPECT_EQ(std::pair(px, py), std::pair(0, 0));
  gfx_to_view(ctx, 1e30f, -1e30f, &px, &py);  // far off stays far off
  EXPECT_EQ(std::pair(px, py), std::pair(INT32_MAX, INT32_MIN));

  gfx_pset(nullptr, 2.5f, 2.5f, 0xFF00FF00u, 0, 0);
  EXPECT_EQ(page_pixel32(0, 3, 3), 0xFF00FF00u);
  EXPECT_EQ(gfx_point(nullptr, -0.5f, 0), 0xFFFFFFFFu);  // pixel -1 is outside
}

TEST_F(Context, ScreenViewSurvivesImageTargets) {
  open(64, 48, 32);
  gfx_view(10, 10, 49, 39, 0, 0, kViewNoBorder | INT32_MIN);
  GfxContext* ctx = gfx_get_context();
  ImageBuffer* a = gfx_image_create(8, 8, 0, 0, -1);
  expect_view(ctx, 0, 0, 8, 8);
  ImageBuffer* b = gfx_image_create(16, 4, 0, 0, -1);  // image to image
  expect_view(ctx, 0, 0, 16, 4);
  gfx_set_target(ctx, nullptr);
  expect_view(ctx, 10, 10, 40, 30);
  gfx_image_destroy(a);
  gfx_image_destroy(b);
}

TEST_F(Context, OnlyTheVisiblePageMarksRows) {
  open(64, 48, 32, 2);
  gfx_set_pages(1, 0);
  clear_dirty();
  gfx_pset(nullptr, 5, 7, 0xFFFFFFFFu, 0, 0);
  EXPECT_EQ(dirty_count(), 0);
  EXPECT_EQ(page_pixel32(1, 5, 7), 0xFFFFFFFFu);

  gfx_set_pages(0, 0);
  clear_dirty();
  gfx_pset(nullptr, 5, 7, 0xFFFFFFFFu, 0, 0);
  EXPECT_EQ(dirty_count(), 1);
  EXPECT_EQ(screen_state->dirty_rows[7], 1);

  ImageBuffer* image = gfx_image_create(8, 8, 0, 0, -1);
  clear_dirty();
  gfx_pset(image, 1, 1, 0xFFFFFFFFu, 0, 0);
  EXPECT_EQ(dirty_count(), 0);
  gfx_image_destroy(image);
}

TEST_F(Context, AlphaPrimitivesBlendOnlyTranslucentColours) {
  open(16, 16, 32, 1, ZQ_OPEN_ALPHA);
  gfx_pset(nullptr, 1, 1, 0xFFFFFFFFu, 0, 0);
  gfx_pset(nullptr, 1, 1, 0x80FF0000u, 0, 0);
  uint32_t v = gfx_point(nullptr, 1, 1);
  EXPECT_EQ(v >> 24, 0x80u);  // the colour's alpha is taken
  EXPECT_EQ((v >> 16) & 0xFF, 0xFFu);
  EXPECT_NEAR(double((v >> 8) & 0xFF), 127.5, 1.0);
  EXPECT_NEAR(double(v & 0xFF), 127.5, 1.0);
  gfx_pset(nullptr, 2, 1, 0xFF123456u, 0, 0);
  EXPECT_EQ(gfx_point(nullptr, 2, 1), 0xFF123456u);

  open(16, 16, 32);  // without the flag nothing blends
  gfx_pset(nullptr, 1, 1, 0x80FF0000u, 0, 0);
  EXPECT_EQ(gfx_point(nullptr, 1, 1), 0x80FF0000u);
}

TEST_F(Context, ReopeningResetsPagesViewAndColours) {
  open(64, 48, 32, 2);
  gfx_set_pages(1, 1);
  gfx_view(4, 4, 20, 20, 0, 0, kViewAbsolute | kViewNoBorder | INT32_MIN);
  gfx_colour(0x123456, 0x654321, 0);
  open(32, 24, 16, 2);
  GfxContext* ctx = gfx_get_context();
  EXPECT_EQ(ctx->work_page, 0);
  EXPECT_EQ(ctx->line_table[0], screen_state->page_buffers[0]);
  expect_view(ctx, 0, 0, 32, 24);
  EXPECT_EQ(ctx->flags & (kCtxViewSet | kCtxViewAbsolute), 0u);
  EXPECT_EQ(ctx->foreground, 0xFFFFu);
  EXPECT_EQ(ctx->background, 0u);
  EXPECT_EQ(ctx->target, nullptr);
}

TEST_F(Context, ShortImageTargetUsesTheScreensRoutinesAfterALongImage) {
  open(16, 16, 32);
  rt_init(0, nullptr, 0);
  ImageBuffer* wide = gfx_image_create(8, 8, 0, 16, -1);  // long, 2 bytes per pixel
  rt_init(0, nullptr, 1);
  ImageBuffer* image = gfx_image_create(4, 4, 0, 0, -1);  // short, the screen's 4
  gfx_pset(image, 3, 3, 0xFF123456u, 0, 0);
  uint32_t stored;
  std::memcpy(&stored, gfx_image_bytes(image) + kImageShortHeader + (3 * 4 + 3) * 4, 4);
  EXPECT_EQ(stored, 0xFF123456u);
  EXPECT_EQ(gfx_point(image, 3, 3), 0xFF123456u);
  gfx_image_destroy(image);
  gfx_image_destroy(wide);
}

// Every operation locks at most once and releases what it took, whichever
// way it returns; inside an enclosing lock nothing locks again.
TEST_F(Context, OperationsLockOnceAndAlwaysUnlock) {
  open(32, 32, 8, 2);
  use_driver(counting_driver);
  struct Case {
    const char* name;
    std::function<void()> run;
    int locks;
  };
  std::vector<Case> cases = {
      {"pset", [] { gfx_pset(nullptr, 1, 1, 3, 0, 0); }, 1},
      {"pset outside", [] { gfx_pset(nullptr, -5, 1, 3, 0, 0); }, 0},
      {"point", [] { gfx_point(nullptr, 1, 1); }, 1},
      {"point outside", [] { gfx_point(nullptr, 1, 99); }, 0},
      {"cls", [] { gfx_cls(0); }, 1},
      {"view with border and fill", [] { gfx_view(2, 2, 9, 9, 1, 2, 0); }, 1},
      {"view reset", [] { gfx_view(-32768, -32768, -32768, -32768, 0, 0, 0); }, 0},
      {"palette", [] { gfx_palette(1, 63, -1, -1); }, 1},
      {"palette reset", [] { gfx_palette(-1, 0, 0, 0); }, 1},
      {"port colour",
       [] {
         gfx_port_write(0x3C8, 0);
         for (int v : {63, 0, 0}) gfx_port_write(0x3C9, v);
       },
       1},
      {"page copy to hidden", [] { gfx_page_copy(0, 1); }, 0},
      {"page copy to visible", [] { gfx_page_copy(1, 0); }, 1},
      {"page copy bad page", [] { gfx_page_copy(0, 7); }, 0},
      {"show page 1", [] { gfx_set_pages(0, 1); }, 1},
      {"show page 1 again", [] { gfx_set_pages(0, 1); }, 0},
  };
  for (const Case& c : cases) {
    counts = {};
    c.run();
    EXPECT_EQ(counts.locks, c.locks) << c.name;
    EXPECT_EQ(counts.unlocks, c.locks) << c.name;
    EXPECT_EQ(screen_state->flags & (kScreenLocked | kScreenLockOwner), 0u) << c.name;
  }

  counts = {};
  {
    GfxScreenLock outer;
    gfx_pset(nullptr, 1, 1, 3, 0, 0);
    gfx_cls(0);
    gfx_page_copy(1, 1 - screen_state->visible_page);
    EXPECT_EQ(counts.locks, 1);
    EXPECT_EQ(counts.unlocks, 0);
  }
  EXPECT_EQ(counts.unlocks, 1);
}

}  // namespace
