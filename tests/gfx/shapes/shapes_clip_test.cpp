// Every shape call at and beyond every edge: views inside, at and past the
// screen's edges, images of both header styles (and short images made at a
// smaller pixel size than the screen's), at 8, 16 and 32 bits. Nothing may be
// written outside the view; the sanitizer build watches the buffers.
#include <random>
#include <tuple>
#include <vector>

#include "gfx/draw/primitives.h"
#include "gfx/image/image.h"
#include "runtime/rt_core.h"
#include "tests/gfx/drawing_test_support.h"
#include "zentravolk/shapes.h"

namespace {

struct Clipping : DrawingTest, ::testing::WithParamInterface<std::tuple<int, int>> {};

// Random shapes of every kind, with points and sizes well past the target.
void draw_random_shapes(ImageBuffer* target, std::mt19937& rng, int expected = 0) {
  std::uniform_real_distribution<float> coord(-120, 170), radius(0, 150), angle(-7, 7);
  auto colour = [&] { return int64_t(rng() & 0xFFFFFF); };
  for (int n = 0; n < 60; ++n) {
    float x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
    int flags[] = {0, ZQ_SHAPE_BOX, ZQ_SHAPE_FILLED, ZQ_SHAPE_BOX | ZQ_STEP_FIRST | ZQ_STEP_SECOND};
    ASSERT_EQ(gfx_line(target, x1, y1, x2, y2, colour(), n % 3 ? 0 : int(rng() & 0xFFFF), flags[n % 4]), expected);
    ASSERT_EQ(gfx_circle(target, x1, y1, radius(rng), colour(), n % 2 ? angle(rng) : 0, n % 2 ? angle(rng) : 0,
                         n % 5 ? 0 : 0.3f, n % 3 ? 0 : ZQ_SHAPE_FILLED),
              expected);
  }
  ASSERT_EQ(gfx_circle(target, 20, 20, 1e9f, colour(), 0, 0, 0, 0), expected);
  ASSERT_EQ(gfx_circle(target, 20, 20, 1e9f, colour(), -1, -2, 0.001f, ZQ_SHAPE_FILLED), expected);
  ASSERT_EQ(gfx_line(target, -3e9f, -2e9f, 3e9f, 2.5e9f, colour(), 0, 0), expected);
  for (int n = 0; n < 8; ++n) {
    int64_t border = n % 2 ? ZQ_OMITTED : colour();
    ASSERT_EQ(gfx_flood_fill(target, coord(rng), coord(rng), colour(), border, 0), expected);
  }
}

// Snapshot of a screen page; compared afterwards outside the view.
std::vector<uint8_t> page_copy() {
  return {screen_state->page_buffers[0], screen_state->page_buffers[0] + size_t(screen_state->pitch) * screen_state->height};
}

TEST_P(Clipping, ScreenViewsAtAndBeyondEveryEdge) {
  auto [depth, level] = GetParam();
  open(48, 40, depth);
  rt_init(0, nullptr, level);
  std::mt19937 rng(unsigned(depth + level));
  struct View {
    int x1, y1, x2, y2, flags;
  } views[] = {{0, 0, 47, 39, 0},   {5, 6, 30, 20, 0},      {5, 6, 30, 20, 1},  {-10, -10, 60, 60, 0},
               {0, 0, 0, 39, 0},    {47, 0, 47, 39, 1},     {0, 39, 47, 39, 0}, {40, 30, 90, 90, 1},
               {-30, -30, 2, 2, 0}, {60, 60, 80, 80, 0}};
  for (const View& v : views) {
    SCOPED_TRACE(testing::Message() << "view " << v.x1 << "," << v.y1 << " " << v.x2 << "," << v.y2);
    gfx_view(kViewNoCoordinate, kViewNoCoordinate, kViewNoCoordinate, kViewNoCoordinate, 0, 0, -1);
    for (size_t i = 0; i < size_t(screen_state->pitch) * 40; ++i) screen_state->page_buffers[0][i] = uint8_t(rng());
    gfx_view(v.x1, v.y1, v.x2, v.y2, 0, 0, v.flags | kViewNoBorder);
    GfxContext* ctx = gfx_get_context();
    int vx = ctx->view.x, vy = ctx->view.y, vw = ctx->view.width, vh = ctx->view.height;
    std::vector<uint8_t> before = page_copy();
    draw_random_shapes(nullptr, rng);
    ImageBuffer* piece = gfx_get_image(nullptr, -5, -5, 60, 50, 0);
    ASSERT_NE(piece, nullptr);
    gfx_image_destroy(piece);
    int bpp = screen_state->bytes_per_pixel;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 48; ++x) {
        if (x >= vx && x < vx + vw && y >= vy && y < vy + vh) continue;
        size_t at = size_t(y) * screen_state->pitch + size_t(x) * bpp;
        ASSERT_EQ(std::memcmp(screen_state->page_buffers[0] + at, before.data() + at, size_t(bpp)), 0)
            << "pixel " << x << "," << y << " outside the view changed";
      }
  }
}

TEST_P(Clipping, ImagesOfEitherStyleAndSize) {
  auto [depth, level] = GetParam();
  open(48, 40, depth);
  rt_init(0, nullptr, level);
  std::mt19937 rng(unsigned(depth * 7 + level));
  for (int image_depth : {0, 8, 16, 32}) {
    SCOPED_TRACE(image_depth);
    ImageBuffer* image = gfx_image_create(37, 29, 0x55, image_depth, 0);
    ASSERT_NE(image, nullptr);
    // A long image of another pixel size is drawn at its own. A short one is
    // drawn at the screen's: one made at a smaller size is refused, as
    // gfx_put refuses it, rather than drawn past its rows.
    bool smaller = level == 1 && image_depth != 0 && image_depth / 8 < screen_state->bytes_per_pixel;
    draw_random_shapes(image, rng, smaller ? 1 : 0);
    ImageBuffer* into = gfx_image_create(37, 29, 0, image_depth, 0);
    int result = gfx_get(image, 0, 0, 36, 28, into, 0);
    // Short images are drawn at the screen's pixel size but read as a
    // destination at their own: a capture between them is refused then.
    bool same_size = image_depth == 0 || image_depth / 8 == screen_state->bytes_per_pixel || level == 0;
    EXPECT_EQ(result, same_size ? 0 : 1);
    gfx_image_destroy(into);
    gfx_image_destroy(image);
  }
}

INSTANTIATE_TEST_SUITE_P(DepthsAndHeaders, Clipping,
                         ::testing::Combine(::testing::Values(8, 16, 32), ::testing::Values(0, 1)));

}  // namespace
