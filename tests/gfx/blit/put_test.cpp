// gfx_put: source headers, rectangle ordering and clamping, coordinate
// flags, clipping against the view, dirty rows, the lock and the results.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "gfx/blit/put.h"
#include "gfx/draw/context.h"
#include "gfx/image/image.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "tests/gfx/drawing_test_support.h"

namespace {

constexpr uint32_t kBack = 0xFF000000u;  // the cleared screen

class Put : public ::testing::Test {
 protected:
  void SetUp() override {
    rt_init(0, nullptr, 1);
    setenv("ZQGFX", "null", 1);
    open(32, 2);
  }
  void TearDown() override { gfx_close_at_exit(); }

  void open(int depth, int pages) {
    ASSERT_EQ(gfx_screen_res(640, 480, depth, pages, 0, 0), 0);
    clear_dirty_rows();
  }
  // Shows page 1 while drawing goes on to page 0.
  static void hide_work_page() {
    screen_state->visible_page = 1;
    screen_state->visible_pixels = screen_state->page_buffers[1];
  }
  // A 32-bit image whose pixel (x, y) is 0x01000000 | x << 8 | y.
  static ImageBuffer* numbered(int w, int h) {
    ImageBuffer* img = gfx_image_create(w, h, 0, 32, 0);
    ImageInfo info = gfx_image_info(img);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint32_t v = 0x01000000u | uint32_t(x) << 8 | uint32_t(y);
        std::memcpy(info.pixels + y * info.pitch + x * 4, &v, 4);
      }
    gfx_set_target(gfx_get_context(), nullptr);
    return img;
  }
  static int put(ImageBuffer* src, float x, float y, int x1 = ZQ_PUT_WHOLE_IMAGE, int y1 = 0, int x2 = 0, int y2 = 0,
                 int flags = 0) {
    return gfx_put(nullptr, x, y, src, x1, y1, x2, y2, flags, 1, putter_copy, -1, nullptr, nullptr);
  }
  // Whether screen rectangle (x, y, w, h) shows source pixels from (sx, sy)
  // and everything else on the screen is untouched.
  static void expect_blit(int x, int y, int w, int h, int sx, int sy) {
    for (int ty = 0; ty < 480; ++ty)
      for (int tx = 0; tx < 640; ++tx) {
        bool inside = tx >= x && tx < x + w && ty >= y && ty < y + h;
        uint32_t want = inside ? 0x01000000u | uint32_t(tx - x + sx) << 8 | uint32_t(ty - y + sy) : kBack;
        if (page_pixel32(0, tx, ty) != want) {
          ADD_FAILURE() << "pixel (" << tx << ", " << ty << ") is " << std::hex << page_pixel32(0, tx, ty) << ", want " << want;
          return;
        }
      }
  }
};

TEST_F(Put, SpriteCutAtTheLeftEdgeMarksItsRowsOnlyWhenVisible) {
  ImageBuffer* sprite = numbered(33, 33);
  EXPECT_EQ(put(sprite, -10, 5), 0);
  EXPECT_EQ(rt_get_error(), 0);
  expect_blit(0, 5, 23, 33, 10, 0);
  EXPECT_EQ(dirty_rows(), row_range(5, 37));

  clear_dirty_rows();
  hide_work_page();
  EXPECT_EQ(put(sprite, 100, 100), 0);
  EXPECT_EQ(page_pixel32(0, 100, 100), 0x01000000u);
  EXPECT_TRUE(dirty_rows().empty());
  gfx_image_destroy(sprite);
}

TEST_F(Put, ClippedOnEverySideOfAView) {
  ImageBuffer* sprite = numbered(33, 33);
  GfxContext* ctx = gfx_get_context();
  ctx->view.x = 100;
  ctx->view.y = 200;
  ctx->view.width = 20;
  ctx->view.height = 10;
  // Coordinates are relative to the view's origin: the sprite covers the view.
  EXPECT_EQ(put(sprite, -5, -7), 0);
  expect_blit(100, 200, 20, 10, 5, 7);
  EXPECT_EQ(dirty_rows(), row_range(200, 209));
  gfx_image_destroy(sprite);
}

TEST_F(Put, WhollyOutsideDrawsAndMarksNothing) {
  ImageBuffer* sprite = numbered(33, 33);
  rt_set_error(1);
  for (auto [x, y] : {std::pair{640.f, 0.f}, {-33.f, 0.f}, {0.f, 480.f}, {0.f, -33.f}, {-1e30f, 0.f}, {0.f, 3e9f}}) {
    EXPECT_EQ(put(sprite, x, y), 0);
    EXPECT_EQ(rt_get_error(), 0);
  }
  expect_blit(0, 0, 0, 0, 0, 0);
  EXPECT_TRUE(dirty_rows().empty());
  gfx_image_destroy(sprite);
}

TEST_F(Put, SourceRectangleIsOrderedAndClamped) {
  ImageBuffer* sprite = numbered(33, 33);
  EXPECT_EQ(put(sprite, 0, 0, 40, 40, 10, 10), 0);
  expect_blit(0, 0, 23, 23, 10, 10);
  gfx_image_destroy(sprite);
}

TEST_F(Put, NegativeRectangleCornersClampToZero) {
  ImageBuffer* sprite = numbered(33, 33);
  EXPECT_EQ(put(sprite, 50, 60, 2, -5, -9, 3), 0);
  expect_blit(50, 60, 3, 4, 0, 0);
  gfx_image_destroy(sprite);
}

TEST_F(Put, CoordinateFlags) {
  ImageBuffer* sprite = numbered(33, 33);
  // Flag 1: (7, 7) is the size of the step from (4, 4), so the corners are (4, 4) and (11, 11).
  EXPECT_EQ(put(sprite, 20, 30, 4, 4, 7, 7, ZQ_PUT_RECT_RELATIVE), 0);
  expect_blit(20, 30, 8, 8, 4, 4);

  // Flag 2: the point is relative to the graphics cursor, which the last put left at (20, 30).
  EXPECT_EQ(put(sprite, 100, 10, 0, 0, 1, 1, ZQ_PUT_POINT_RELATIVE), 0);
  EXPECT_EQ(page_pixel32(0, 120, 40), 0x01000000u);
  EXPECT_EQ(page_pixel32(0, 121, 41), 0x01000101u);
  GfxContext* ctx = gfx_get_context();
  EXPECT_EQ(ctx->last_x, 120.f);
  EXPECT_EQ(ctx->last_y, 40.f);
  gfx_image_destroy(sprite);
}

TEST_F(Put, PutterGetsRowsPitchesAndPassesArgumentsThroughUnderTheLock) {
  struct Seen {
    const uint8_t *source, *target;
    int w, h, sp, dp, alpha;
    PutterBlender blender;
    void* parameter;
    uint32_t lock_flags;
  };
  static Seen seen;
  Putter spy = [](const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p) {
    seen = {s, d, w, h, sp, dp, alpha, b, p, screen_state->flags & (kScreenLocked | kScreenLockOwner)};
  };
  PutterBlender blender = [](uint32_t s, uint32_t, void*) { return s; };
  int parameter = 0;
  ImageBuffer* sprite = numbered(33, 33);
  EXPECT_EQ(gfx_put(nullptr, 600, -3, sprite, 1, 2, 32, 32, 0, 0, spy, 77, blender, &parameter), 0);
  ImageInfo info = gfx_image_info(sprite);
  EXPECT_EQ(seen.source, info.pixels + (2 + 3) * 132 + 1 * 4);
  EXPECT_EQ(seen.target, screen_state->page_buffers[0] + 600 * 4);
  EXPECT_EQ(seen.w, 32);
  EXPECT_EQ(seen.h, 31 - 3);
  EXPECT_EQ(seen.sp, 132);
  EXPECT_EQ(seen.dp, 640 * 4);
  EXPECT_EQ(seen.alpha, 77);
  EXPECT_EQ(seen.blender, blender);
  EXPECT_EQ(seen.parameter, &parameter);
  EXPECT_EQ(seen.lock_flags, kScreenLocked | kScreenLockOwner);
  EXPECT_EQ(screen_state->flags & (kScreenLocked | kScreenLockOwner), 0u);

  // Inside an operation that holds the lock, the put neither takes nor releases it.
  screen_state->flags |= kScreenLocked | kScreenLockOwner;
  EXPECT_EQ(gfx_put(nullptr, 0, 0, sprite, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, spy, 0, nullptr, nullptr), 0);
  EXPECT_EQ(screen_state->flags & (kScreenLocked | kScreenLockOwner), kScreenLocked | kScreenLockOwner);
  screen_state->flags &= ~(kScreenLocked | kScreenLockOwner);
  gfx_image_destroy(sprite);
}

TEST_F(Put, TransparentPutOntoAnImageTarget) {
  ImageBuffer* tile = gfx_image_create(4, 1, 0, 32, 0);
  uint32_t px[4] = {0x12FF00FF, 0x80102030, 0xFFFF00FF, 0x00000001};
  std::memcpy(gfx_image_info(tile).pixels, px, 16);
  ImageBuffer* canvas = gfx_image_create(3, 2, 0xAABBCCDD, 32, 0);
  EXPECT_EQ(gfx_put(canvas, -1, 1, tile, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter_transparent, -1, nullptr, nullptr), 0);
  uint32_t out[6];
  std::memcpy(out, gfx_image_info(canvas).pixels, sizeof out);
  EXPECT_EQ(out[0], 0xAABBCCDDu);
  EXPECT_EQ(out[3], 0x00102030u);
  EXPECT_EQ(out[4], 0xAABBCCDDu);
  EXPECT_EQ(out[5], 0x00000001u);
  EXPECT_TRUE(dirty_rows().empty());
  gfx_image_destroy(tile);
  gfx_image_destroy(canvas);
}

TEST_F(Put, SourceHeaders) {
  // A long header: rows padded to 16 bytes.
  rt_init(0, nullptr, 0);
  ImageBuffer* wide = numbered(5, 3);
  ASSERT_TRUE(gfx_image_is_long(wide));
  EXPECT_EQ(put(wide, 10, 10), 0);
  expect_blit(10, 10, 5, 3, 0, 0);

  // A short header whose bytes per pixel is 0 takes the target's.
  alignas(4) uint8_t block[4 + 2 * 4] = {};
  uint16_t format = 2 << 3, height = 1;
  std::memcpy(block, &format, 2);
  std::memcpy(block + 2, &height, 2);
  uint32_t pixels[2] = {0x11111111, 0x22222222};
  std::memcpy(block + 4, pixels, 8);
  EXPECT_EQ(put(reinterpret_cast<ImageBuffer*>(block), 300, 300), 0);
  EXPECT_EQ(page_pixel32(0, 300, 300), 0x11111111u);
  EXPECT_EQ(page_pixel32(0, 301, 300), 0x22222222u);
  gfx_image_destroy(wide);
}

TEST_F(Put, ZeroSizedSourceDrawsNothing) {
  alignas(4) uint8_t block[8] = {};
  uint16_t format = 4, height = 1;  // width 0
  std::memcpy(block, &format, 2);
  std::memcpy(block + 2, &height, 2);
  EXPECT_EQ(put(reinterpret_cast<ImageBuffer*>(block), 0, 0), 0);
  EXPECT_EQ(put(reinterpret_cast<ImageBuffer*>(block), 0, 0, 0, 0, 5, 5), 0);
  EXPECT_TRUE(dirty_rows().empty());
}

TEST_F(Put, Refusals) {
  ImageBuffer* sprite = numbered(33, 33);
  EXPECT_EQ(put(nullptr, 0, 0), 1);
  EXPECT_EQ(rt_get_error(), 1);
  EXPECT_EQ(gfx_put(nullptr, 0, 0, sprite, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, nullptr, 0, nullptr, nullptr), 1);

  // A header that claims more rows than its block holds.
  ImageBuffer* liar = numbered(33, 33);
  uint16_t rows = 1000;
  std::memcpy(gfx_image_bytes(liar) + 2, &rows, 2);
  EXPECT_EQ(put(liar, 0, 0), 1);

  // A short 8-bit image as the target of a 32-bit screen takes 4 bytes per
  // pixel for its rows, which its block does not hold.
  ImageBuffer* small = gfx_image_create(33, 33, 0, 8, 0);
  EXPECT_EQ(gfx_put(small, 0, 0, sprite, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter_copy, 0, nullptr, nullptr), 1);

  expect_blit(0, 0, 0, 0, 0, 0);
  EXPECT_EQ(screen_state->flags & (kScreenLocked | kScreenLockOwner), 0u);
  gfx_image_destroy(sprite);
  gfx_image_destroy(liar);
  gfx_image_destroy(small);

  gfx_close_at_exit();
  rt_set_error(0);
  EXPECT_EQ(put(reinterpret_cast<ImageBuffer*>(&rows), 0, 0), 1);
  EXPECT_EQ(rt_get_error(), 1);
}

TEST_F(Put, DepthMismatchAndTheAlphaMode) {
  ImageBuffer* alpha = gfx_image_create(3, 1, 0, 8, 0);
  uint8_t a[3] = {0x00, 0x80, 0xFF};
  std::memcpy(gfx_image_info(alpha).pixels, a, 3);
  ImageBuffer* colour = numbered(3, 1);

  EXPECT_EQ(put(alpha, 0, 0), 1);  // not the alpha mode
  EXPECT_EQ(gfx_put(nullptr, 0, 0, alpha, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, ZQ_PUT_ALPHA_MODE, putter_copy, 0, nullptr, nullptr), 0);
  EXPECT_EQ(page_pixel32(0, 0, 0), 0x00000000u);
  EXPECT_EQ(page_pixel32(0, 1, 0), 0x80000000u);
  EXPECT_EQ(page_pixel32(0, 2, 0), 0xFF000000u);
  EXPECT_EQ(page_pixel32(0, 3, 0), kBack);

  open(16, 1);
  // A 32-bit source onto a 16-bit screen, in any mode.
  EXPECT_EQ(gfx_put(nullptr, 0, 0, colour, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter_copy, 0, nullptr, nullptr), 1);
  EXPECT_EQ(gfx_put(nullptr, 0, 0, colour, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, ZQ_PUT_ALPHA_MODE, putter_copy, 0, nullptr, nullptr), 1);
  // The alpha mode needs a 4-byte target.
  EXPECT_EQ(gfx_put(nullptr, 0, 0, alpha, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, ZQ_PUT_ALPHA_MODE, putter_copy, 0, nullptr, nullptr), 1);
  EXPECT_EQ(rt_get_error(), 1);
  EXPECT_TRUE(dirty_rows().empty());
  gfx_image_destroy(alpha);
  gfx_image_destroy(colour);
}

}  // namespace
