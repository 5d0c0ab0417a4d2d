// Flood fill (a maze, regions touching every edge, random regions against a
// plain breadth-first fill, blending) and capture with gfx_get (round trips
// through gfx_put at every pixel size and header style, refusals).
#include <deque>
#include <random>
#include <vector>

#include "gfx/draw/pixel_routines.h"
#include "gfx/draw/primitives.h"
#include "gfx/image/image.h"
#include "runtime/rt_core.h"
#include "tests/gfx/drawing_test_support.h"
#include "zentravolk/blit.h"
#include "zentravolk/shapes.h"

namespace {

using FloodFill = DrawingTest;
using Capture = DrawingTest;

uint8_t* image_row(ImageBuffer* image, int y) {
  ImageInfo info = gfx_image_info(image);
  int pitch = info.long_style ? info.pitch : info.width * screen_state->bytes_per_pixel;
  return info.pixels + size_t(y) * size_t(pitch);
}

// A perfect maze of 1-pixel passages (0) between walls (1), carved by a
// depth-first walk with its own stack: every passage pixel is reachable.
void carve_maze(ImageBuffer* image, int size) {
  for (int y = 0; y < size; ++y) std::memset(image_row(image, y), 1, size_t(size));
  int cells = (size - 1) / 2;
  std::vector<uint8_t> seen(size_t(cells) * cells);
  std::vector<std::pair<int, int>> stack{{0, 0}};
  seen[0] = 1;
  image_row(image, 1)[1] = 0;
  std::mt19937 rng(3);
  const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
  while (!stack.empty()) {
    auto [cx, cy] = stack.back();
    int options[4], n = 0;
    for (int d = 0; d < 4; ++d) {
      int nx = cx + dx[d], ny = cy + dy[d];
      if (nx >= 0 && ny >= 0 && nx < cells && ny < cells && !seen[size_t(ny) * cells + nx]) options[n++] = d;
    }
    if (!n) {
      stack.pop_back();
      continue;
    }
    int d = options[rng() % n], nx = cx + dx[d], ny = cy + dy[d];
    seen[size_t(ny) * cells + nx] = 1;
    image_row(image, 2 * cy + 1 + dy[d])[2 * cx + 1 + dx[d]] = 0;
    image_row(image, 2 * ny + 1)[2 * nx + 1] = 0;
    stack.push_back({nx, ny});
  }
}

size_t count_value(ImageBuffer* image, int size, uint8_t v) {
  size_t n = 0;
  for (int y = 0; y < size; ++y) n += size_t(std::count(image_row(image, y), image_row(image, y) + size, v));
  return n;
}

TEST_F(FloodFill, FillsAWholeMazeOfSixteenMillionPixels) {
  open(16, 16, 8);
  const int size = 4095;
  ImageBuffer* maze = gfx_image_create(size, size, 0, 8, 0);
  ASSERT_NE(maze, nullptr);
  carve_maze(maze, size);
  size_t walls = count_value(maze, size, 1);
  EXPECT_EQ(gfx_flood_fill(maze, 1, 1, 2, ZQ_OMITTED, 0), 0);
  EXPECT_EQ(count_value(maze, size, 0), 0u);
  EXPECT_EQ(count_value(maze, size, 1), walls);
  // Bounded by the walls' colour instead, from the far corner.
  EXPECT_EQ(gfx_flood_fill(maze, size - 2, size - 2, 3, 1, 0), 0);
  EXPECT_EQ(count_value(maze, size, 3), size_t(size) * size - walls);
  gfx_image_destroy(maze);
}

TEST_F(FloodFill, RegionsTouchingEveryEdgeStopAtTheView) {
  open(64, 48, 32, 1);
  std::memset(screen_state->page_buffers[0], 0, size_t(screen_state->pitch) * 48);
  gfx_view(10, 8, 49, 39, 0, 0, ZQ_OMITTED);
  clear_dirty();
  EXPECT_EQ(gfx_flood_fill(nullptr, 5, 5, 0xFF00FF00, ZQ_OMITTED, 0), 0);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      bool in_view = x >= 10 && x < 50 && y >= 8 && y < 40;
      ASSERT_EQ(page_pixel32(0, x, y), in_view ? 0xFF00FF00u : 0u) << x << "," << y;
    }
  EXPECT_EQ(dirty_count(), 32);
  EXPECT_EQ(screen_state->dirty_rows[8] + screen_state->dirty_rows[39], 2);
  // The cursor is left at the starting point; starting on the border or
  // outside the view draws nothing.
  EXPECT_EQ(gfx_point(nullptr, 2, kPointCursorQuery), 5u);
  EXPECT_EQ(gfx_flood_fill(nullptr, 5, 5, 0x0000FF, 0x00FF00, 0), 0);
  EXPECT_EQ(gfx_flood_fill(nullptr, -1, 5, 0x0000FF, ZQ_OMITTED, 0), 0);
  EXPECT_EQ(page_pixel32(0, 15, 13), 0xFF00FF00u);
  EXPECT_EQ(gfx_flood_fill(nullptr, 5, 5, 0x0000FF, int64_t(1) << 40, 0), 1);

  // The same in an image: a ring of border with gaps on every side.
  ImageBuffer* image = gfx_image_create(20, 20, 0, 32, 0);
  gfx_line(image, 3, 3, 16, 16, 0xFF0000, 0, ZQ_SHAPE_BOX);
  gfx_line(image, 9, 3, 10, 16, 0, 0, ZQ_SHAPE_FILLED);
  EXPECT_EQ(gfx_flood_fill(image, 0, 0, 0x00FF00, 0xFF0000, 0), 0);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      bool ring = (x == 3 || x == 16 || y == 3 || y == 16) && x >= 3 && x <= 16 && y >= 3 && y <= 16 &&
                  !(x == 9 || x == 10);
      ASSERT_EQ(gfx_point(image, float(x), float(y)), ring ? 0xFF0000u : 0x00FF00u) << x << "," << y;
    }
  gfx_image_destroy(image);
}

// A plain breadth-first fill of the region of (sx, sy), colours compared as
// the fill compares them.
std::vector<uint8_t> reference_region(ImageBuffer* image, int w, int h, int sx, int sy, uint32_t mask) {
  std::vector<uint8_t> in(size_t(w) * h);
  uint32_t key = gfx_point(image, float(sx), float(sy)) & mask;
  std::deque<std::pair<int, int>> todo{{sx, sy}};
  in[size_t(sy) * w + sx] = 1;
  while (!todo.empty()) {
    auto [x, y] = todo.front();
    todo.pop_front();
    const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
    for (int d = 0; d < 4; ++d) {
      int nx = x + dx[d], ny = y + dy[d];
      if (nx < 0 || ny < 0 || nx >= w || ny >= h || in[size_t(ny) * w + nx]) continue;
      if ((gfx_point(image, float(nx), float(ny)) & mask) != key) continue;
      in[size_t(ny) * w + nx] = 1;
      todo.push_back({nx, ny});
    }
  }
  return in;
}

TEST_F(FloodFill, RandomRegionsMatchABreadthFirstFill) {
  std::mt19937 rng(11);
  for (int depth : {8, 16, 32}) {
    open(8, 8, depth);
    for (int round = 0; round < 20; ++round) {
      int w = 1 + int(rng() % 70), h = 1 + int(rng() % 40);
      ImageBuffer* image = gfx_image_create(w, h, 0, depth, 0);
      // Two colours; at 32 bits with random alpha bytes, which do not count.
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          uint32_t v = (rng() % 3 == 0) ? 0x00123456u : 0x00FFFFFFu;
          if (depth == 32) v |= (rng() & 0xFF) << 24;
          gfx_pset(image, float(x), float(y), v, 0, 0);
        }
      int sx = int(rng() % w), sy = int(rng() % h);
      uint32_t mask = depth == 32 ? 0x00FFFFFFu : 0xFFFFFFFFu;
      std::vector<uint8_t> in = reference_region(image, w, h, sx, sy, mask);
      std::vector<uint32_t> before;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) before.push_back(gfx_point(image, float(x), float(y)));
      ASSERT_EQ(gfx_flood_fill(image, float(sx), float(sy), 0x00FF0000, ZQ_OMITTED, 0), 0);
      uint32_t red = gfx_point(image, float(sx), float(sy));
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          ASSERT_EQ(gfx_point(image, float(x), float(y)), in[size_t(y) * w + x] ? red : before[size_t(y) * w + x])
              << depth << " bits, " << w << "x" << h << " at " << x << "," << y;
      gfx_image_destroy(image);
    }
  }
}

TEST_F(FloodFill, TranslucentFillBlendsEachPixelOnceEvenOverItsOwnColour) {
  open(32, 32, 32, 1, ZQ_OPEN_ALPHA);
  std::memset(screen_state->page_buffers[0], 0, size_t(screen_state->pitch) * 32);
  gfx_line(nullptr, 4, 4, 20, 20, 0xFFFFFFFF, 0, ZQ_SHAPE_BOX);
  EXPECT_EQ(gfx_flood_fill(nullptr, 10, 10, 0x80FFFFFF, 0xFFFFFF, 0), 0);
  uint32_t once = gfx_alpha_blend(0x80FFFFFFu, 0);
  for (int y = 5; y < 20; ++y)
    for (int x = 5; x < 20; ++x) ASSERT_EQ(page_pixel32(0, x, y), once) << x << "," << y;
  EXPECT_EQ(page_pixel32(0, 21, 10), 0u);
}

// A screen of distinct pixels at each pixel size.
void scribble_page(int page, uint32_t seed) {
  std::mt19937 rng(seed);
  uint8_t* p = screen_state->page_buffers[page];
  for (size_t i = 0; i < size_t(screen_state->pitch) * screen_state->height; ++i) p[i] = uint8_t(rng());
}

TEST_F(Capture, GetThenPutGivesBackThePixels) {
  std::mt19937 rng(5);
  for (int level : {0, 1})
    for (int depth : {8, 16, 32}) {
      SCOPED_TRACE(testing::Message() << "level " << level << ", " << depth << " bits");
      open(40, 30, depth);
      rt_init(0, nullptr, level);
      for (int round = 0; round < 20; ++round) {
        int x1 = int(rng() % 60) - 10, y1 = int(rng() % 50) - 10, x2 = int(rng() % 60) - 10, y2 = int(rng() % 50) - 10;
        scribble_page(0, rng());
        std::vector<uint8_t> original(screen_state->page_buffers[0],
                                      screen_state->page_buffers[0] + size_t(screen_state->pitch) * 30);
        ImageBuffer* image = gfx_get_image(nullptr, float(x1), float(y1), float(x2), float(y2), 0);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(gfx_image_is_long(image), level == 0);
        scribble_page(0, rng());
        std::vector<uint8_t> other(screen_state->page_buffers[0],
                                   screen_state->page_buffers[0] + size_t(screen_state->pitch) * 30);
        gfx_put(nullptr, float(std::min(x1, x2)), float(std::min(y1, y2)), image, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0,
                putter_copy, 0, nullptr, nullptr);
        int bpp = screen_state->bytes_per_pixel;
        for (int y = 0; y < 30; ++y)
          for (int x = 0; x < 40; ++x) {
            bool in = x >= std::min(x1, x2) && x <= std::max(x1, x2) && y >= std::min(y1, y2) && y <= std::max(y1, y2);
            size_t at = size_t(y) * screen_state->pitch + size_t(x) * bpp;
            const auto& want = in ? original : other;
            ASSERT_EQ(std::memcmp(screen_state->page_buffers[0] + at, want.data() + at, size_t(bpp)), 0)
                << x << "," << y;
          }
        gfx_image_destroy(image);
      }
    }
}

TEST_F(Capture, GetFitsTheImageOrRefuses) {
  EXPECT_EQ(gfx_get(nullptr, 0, 0, 1, 1, nullptr, 0), 1);
  EXPECT_EQ(gfx_get_image(nullptr, 0, 0, 1, 1, 0), nullptr);
  open(32, 32, 32);
  scribble_page(0, 1);
  ImageBuffer* small = gfx_image_create(4, 3, 0x00ABCDEF, 32, 0);
  EXPECT_EQ(gfx_get(nullptr, 0, 0, 4, 2, small, 0), 1);  // five pixels wide
  EXPECT_EQ(rt_get_error(), 1);
  EXPECT_EQ(gfx_point(small, 0, 0), 0x00ABCDEFu);
  EXPECT_EQ(gfx_get(nullptr, 0, 0, 4, 2, nullptr, 0), 1);
  // A smaller rectangle fills the top-left part; the cursor ends at the
  // second corner, which may be relative to the first.
  EXPECT_EQ(gfx_get(nullptr, 5, 6, 1, 1, small, ZQ_STEP_SECOND), 0);
  EXPECT_EQ(gfx_point(small, 0, 0), page_pixel32(0, 5, 6));
  EXPECT_EQ(gfx_point(small, 1, 1), page_pixel32(0, 6, 7));
  EXPECT_EQ(gfx_point(small, 2, 0), 0x00ABCDEFu);
  EXPECT_EQ(gfx_point(nullptr, 2, kPointCursorQuery), 6u);
  gfx_image_destroy(small);

  rt_init(0, nullptr, 0);
  ImageBuffer* other_depth = gfx_image_create(8, 8, 0, 16, 0);
  EXPECT_EQ(gfx_get(nullptr, 0, 0, 1, 1, other_depth, 0), 1);
  // From one image into another; a source rectangle beyond the image's edge
  // leaves those pixels alone.
  ImageBuffer* source = gfx_image_create(6, 6, 0x111111, 32, 0);
  ImageBuffer* into = gfx_image_create(4, 4, 0x222222, 32, 0);
  EXPECT_EQ(gfx_get(source, 3, 3, 6, 6, into, 0), 0);
  EXPECT_EQ(gfx_point(into, 2, 2), 0x111111u);
  EXPECT_EQ(gfx_point(into, 3, 3), 0x222222u);
  EXPECT_EQ(gfx_get_image(nullptr, -2e9f, 0, 2e9f, 1, 0), nullptr);
  gfx_image_destroy(source);
  gfx_image_destroy(into);
  gfx_image_destroy(other_depth);
}

}  // namespace
