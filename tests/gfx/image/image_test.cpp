// Image buffers: both header styles, depths, fill colours, the room kept for
// the long form, and how the drawing context treats images as targets.
#include "gfx/image/image.h"

#include <vector>

#include "gfx/draw/primitives.h"
#include "tests/gfx/drawing_test_support.h"

namespace {

using Image = DrawingTest;

std::vector<uint32_t> pixels32(const ImageBuffer* image, int offset, size_t count) {
  std::vector<uint32_t> v(count);
  std::memcpy(v.data(), gfx_image_bytes(image) + offset, count * 4);
  return v;
}

TEST_F(Image, ShortHeaderPacksWidthAndPixelSize) {
  open(64, 48, 32);
  ImageBuffer* font = gfx_image_create(864, 18, 0, 0, INT32_MIN);
  ASSERT_NE(font, nullptr);
  const uint8_t* b = gfx_image_bytes(font);
  EXPECT_EQ(b[0], 4);
  EXPECT_EQ(b[1], 27);
  EXPECT_EQ(b[2], 18);
  EXPECT_EQ(b[3], 0);
  EXPECT_EQ(pixels32(font, 4, 864 * 18), std::vector<uint32_t>(864 * 18, 0xFFFF00FFu));
  gfx_image_destroy(font);
}

TEST_F(Image, LongHeaderRowsArePaddedTo16Bytes) {
  open(64, 48, 32);
  rt_init(0, nullptr, 0);
  ImageBuffer* image = gfx_image_create(33, 3, 0x11223344u, 32, 0);
  ASSERT_NE(image, nullptr);
  ImageInfo info = gfx_image_info(image);
  EXPECT_TRUE(info.long_style);
  EXPECT_EQ(gfx_image_read32(image, 0), 7u);
  EXPECT_EQ(info.bytes_per_pixel, 4);
  EXPECT_EQ(info.width, 33);
  EXPECT_EQ(info.height, 3);
  EXPECT_EQ(info.pitch, 144);
  EXPECT_EQ(info.pixels, gfx_image_bytes(image) + 32);
  EXPECT_EQ(gfx_image_read32(image, 24), 0u);
  EXPECT_EQ(gfx_image_read32(image, 28), 0u);
  EXPECT_EQ(pixels32(image, 32, 3 * 36), std::vector<uint32_t>(3 * 36, 0x11223344u));  // padding too
  // Drawing reaches row 2 through the padded pitch.
  gfx_pset(image, 32, 2, 0xFFABCDEFu, 0, 0);
  EXPECT_EQ(gfx_image_read32(image, 32 + 2 * 144 + 32 * 4), 0xFFABCDEFu);
  gfx_image_destroy(image);
}

TEST_F(Image, DepthChoosesThePixelSize) {
  open(16, 16, 16);
  struct Case {
    int depth, bytes;
  } cases[] = {{0, 2}, {-3, 2}, {1, 1}, {8, 1}, {15, 2}, {16, 2}, {25, 4}, {32, 4}};
  for (const Case& c : cases) {
    ImageBuffer* image = gfx_image_create(5, 2, 0, c.depth, -1);
    ASSERT_NE(image, nullptr) << c.depth;
    EXPECT_EQ(gfx_image_info(image).bytes_per_pixel, c.bytes) << c.depth;
    gfx_image_destroy(image);
  }
  for (int depth : {17, 24, 33}) EXPECT_EQ(gfx_image_create(5, 2, 0, depth, -1), nullptr) << depth;
  EXPECT_EQ(gfx_image_create(0, 2, 0, 0, -1), nullptr);
  EXPECT_EQ(gfx_image_create(5, -1, 0, 0, -1), nullptr);
  EXPECT_EQ(gfx_image_create(8192, 1, 0, 0, -1), nullptr);  // the short header holds 13 bits
}

TEST_F(Image, FillColourFollowsThePixelFormat) {
  open(16, 16, 32);
  ImageBuffer* rgb565 = gfx_image_create(3, 1, 0x00FF8040u, 16, 0);
  uint16_t v16;
  std::memcpy(&v16, gfx_image_bytes(rgb565) + 4, 2);
  EXPECT_EQ(v16, 0xFC08);
  ImageBuffer* masked = gfx_image_create(3, 1, 0x00FF8040u, 16, -1);
  std::memcpy(&v16, gfx_image_bytes(masked) + 4, 2);
  EXPECT_EQ(v16, 0xF81F);
  ImageBuffer* indexed = gfx_image_create(3, 1, 0x12345678u, 8, 0);
  EXPECT_EQ(gfx_image_bytes(indexed)[4 + 2], 0x78);
  ImageBuffer* indexed_mask = gfx_image_create(3, 1, 7, 8, -1);
  EXPECT_EQ(gfx_image_bytes(indexed_mask)[4], 0);
  for (ImageBuffer* i : {rgb565, masked, indexed, indexed_mask}) gfx_image_destroy(i);
}

TEST_F(Image, NothingIsMadeWithoutAScreen) { EXPECT_EQ(gfx_image_create(4, 4, 0, 32, -1), nullptr); }

TEST_F(Image, ShortImagesHaveRoomForTheLongForm) {
  open(64, 48, 32);
  ImageBuffer* sprite = gfx_image_create(33, 33, 0, 0, -1);
  EXPECT_GE(gfx_image_room(sprite), size_t(32 + 33 * 144));
  EXPECT_EQ(gfx_image_room(nullptr), 0u);
  gfx_image_destroy(sprite);
}

TEST_F(Image, DestroyingTheTargetMakesTheContextForgetIt) {
  open(64, 48, 32);
  gfx_view(10, 10, 49, 39, 0, 0, kViewNoBorder | INT32_MIN);
  GfxContext* ctx = gfx_get_context();
  ImageBuffer* a = gfx_image_create(8, 8, 0, 0, -1);
  gfx_image_destroy(a);
  EXPECT_EQ(ctx->target, nullptr);
  // A later image, perhaps at the same address, is taken up afresh and the
  // screen's view saved before the first image is not lost.
  ImageBuffer* b = gfx_image_create(16, 4, 0, 0, -1);
  EXPECT_EQ(ctx->target, b);
  EXPECT_EQ(ctx->view.width, 16);
  EXPECT_EQ(ctx->view.height, 4);
  gfx_set_target(ctx, nullptr);
  EXPECT_EQ(ctx->view.x, 10);
  EXPECT_EQ(ctx->view.width, 40);
  EXPECT_EQ(ctx->line_table[0], screen_state->page_buffers[0]);
  gfx_image_destroy(b);
}

// A short image takes the screen's pixel size as a target. One made with
// fewer bytes per pixel (or before a re-opening at a larger size) is drawn
// into only as far as its block reaches.
TEST_F(Image, ShortImagesTakeTheScreensPixelSizeWithinTheirBlock) {
  open(16, 16, 16);
  ImageBuffer* image = gfx_image_create(10, 10, 0, 0, -1);
  open(16, 16, 32);
  GfxContext* ctx = gfx_get_context();
  gfx_set_target(ctx, image);
  EXPECT_EQ(ctx->bytes_per_pixel, 4);
  EXPECT_EQ(ctx->pitch, 40);
  EXPECT_EQ(ctx->view.height, int((gfx_image_room(image) - 4) / 40));
  EXPECT_LT(ctx->view.height, 10);
  gfx_pset(image, 9, 9, 0xFFFFFFFFu, 0, 0);  // beyond the block: not drawn
  EXPECT_EQ(gfx_point(image, 9, 9), 0xFFFFFFFFu);
  gfx_pset(image, 9, 0, 0xFF00FF00u, 0, 0);
  EXPECT_EQ(gfx_point(image, 9, 0), 0xFF00FF00u);
  gfx_image_destroy(image);
}

}  // namespace
