// gfx_put_transformed and its short forms: the mapping rule against a
// per-pixel reference on thousands of random transforms at every depth and
// through every library putter, for both path sets, with the screen outside
// the view as a guard band; equality with gfx_put; bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "gfx/blit/put.h"
#include "gfx/blit/put_transformed.h"
#include "gfx/draw/context.h"
#include "gfx/draw/pixel_routines.h"
#include "gfx/image/image.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "tests/gfx/drawing_test_support.h"
#include "tests/gfx/fast_sets_test_support.h"
#include "zentravolk/shortcuts.h"

namespace {

constexpr int kScreenW = 160, kScreenH = 120;

// The rule as the public header states it, pixel by pixel, in double
// precision: the target pixel's centre mapped back, inside or not, and the
// pixel of the flipped rectangle it falls in.
struct ReferenceMap {
  double m00, m01, m10, m11;
  const GfxTransform* t;
  int tx, ty, w, h;

  ReferenceMap(const GfxTransform& tr, int tx_, int ty_, int w_, int h_) : t(&tr), tx(tx_), ty(ty_), w(w_), h(h_) {
    double r = std::fmod(tr.angle, 360.0), c, s;
    double q = r / 90.0;
    if (q == std::trunc(q)) {
      int k = ((int(q) % 4) + 4) % 4;
      c = k == 0 ? 1 : k == 2 ? -1 : 0;
      s = k == 1 ? 1 : k == 3 ? -1 : 0;
    } else {
      c = std::cos(r * (M_PI / 180.0));
      s = std::sin(r * (M_PI / 180.0));
    }
    m00 = c / tr.scale_x;
    m01 = s / tr.scale_x;
    m10 = -s / tr.scale_y;
    m11 = c / tr.scale_y;
  }
  // False when the pixel is not drawn; else the source pixel (i, j) of the
  // rectangle.
  bool sample(int X, int Y, int* i, int* j) const {
    double px = (X + 0.5) - tx, py = (Y + 0.5) - ty;
    double u = (m00 * px + m01 * py) + t->pivot_x;
    double v = (m10 * px + m11 * py) + t->pivot_y;
    if (!(u >= 0 && u < w && v >= 0 && v < h)) return false;
    *i = int(std::floor(u));
    *j = int(std::floor(v));
    if (t->flip & ZQ_FLIP_H) *i = w - 1 - *i;
    if (t->flip & ZQ_FLIP_V) *j = h - 1 - *j;
    return true;
  }
};

class PutTransformed : public ::testing::Test {
 protected:
  void SetUp() override {
    rt_init(0, nullptr, 1);
    setenv("ZQGFX", "null", 1);
  }
  void TearDown() override { gfx_close_at_exit(); }

  static void open(int depth) {
    ASSERT_EQ(gfx_screen_res(kScreenW, kScreenH, depth, 1, 0, 0), 0);
    clear_dirty_rows();
  }
  static std::vector<uint8_t> page() {
    const uint8_t* p = screen_state->page_buffers[0];
    return std::vector<uint8_t>(p, p + size_t(screen_state->pitch) * size_t(screen_state->height));
  }
  static void set_page(const std::vector<uint8_t>& bytes) {
    std::memcpy(screen_state->page_buffers[0], bytes.data(), bytes.size());
  }
  static void clear_page() {
    std::memset(screen_state->page_buffers[0], 0, size_t(screen_state->pitch) * size_t(screen_state->height));
  }
  static std::vector<uint8_t> dirty_rows() {
    return std::vector<uint8_t>(screen_state->dirty_rows, screen_state->dirty_rows + screen_state->height);
  }
  static void use_fast_paths(bool fast) {
    if (fast)
      screen_state->flags |= kScreenHasMmx;
    else
      screen_state->flags &= ~kScreenHasMmx;
  }
  // An image of random pixels, about a quarter of them the mask colour.
  static ImageBuffer* random_image(int w, int h, int depth, std::mt19937& rng) {
    ImageBuffer* image = gfx_image_create(w, h, 0, depth, 0);
    int pitch = 0;
    uint8_t* pixels = gfx_image_pixels(image, &pitch);
    const int b = depth / 8;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint32_t v = rng() % 4 == 0 ? gfx_mask_colour(b) : uint32_t(rng());
        std::memcpy(pixels + y * pitch + x * b, &v, size_t(b));
      }
    return image;
  }
};

// What the put must leave on the page: each drawn pixel is the putter's
// result for its sample over the pixel that was there, and every other
// byte is as it was.
std::vector<uint8_t> expected_page(const std::vector<uint8_t>& before, const ViewRect& view, const ReferenceMap& m,
                                   const uint8_t* rect_pixels, int src_pitch, int b, Putter putter, int alpha,
                                   std::vector<uint8_t>* rows) {
  std::vector<uint8_t> out = before;
  const int pitch = screen_state->pitch;
  for (int Y = view.y; Y < view.y + view.height; ++Y)
    for (int X = view.x; X < view.x + view.width; ++X) {
      int i, j;
      if (!m.sample(X, Y, &i, &j)) continue;
      putter(rect_pixels + j * src_pitch + i * b, &out[size_t(Y * pitch + X * b)], 1, 1, b, pitch, alpha, nullptr,
             nullptr);
      (*rows)[size_t(Y)] = 1;
    }
  return out;
}

double pick(std::mt19937& rng, std::initializer_list<double> fixed, double lo, double hi) {
  if (rng() % 2) return fixed.begin()[rng() % fixed.size()];
  return std::uniform_real_distribution<double>(lo, hi)(rng);
}

// The level lists to compare: plain, SSE2, and SSE2 with AVX2, each where
// this run uses its levels.
std::vector<RoutineLevels> path_sets() {
  std::vector<RoutineLevels> sets{kPlainLevelOnly};
  for (uint32_t bits : {kSse2Bit, kSse2Bit | kAvx2Bit})
    if (((bits | 1u) & ~routine_levels().in_use) == 0) sets.push_back({bits | 1u, false});
  return sets;
}

// A program's own putter: exclusive or of every byte, mask pixels included.
void xor_putter(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int, PutterBlender, void*) {
  const int n = w * gfx_get_context()->bytes_per_pixel;
  for (int y = 0; y < h; ++y)
    for (int i = 0; i < n; ++i) d[y * dp + i] ^= s[y * sp + i];
}

struct PutterCase {
  Putter putter;
  int alpha;
};

// Thousands of random transforms: quarter turns and tiny angles, mirrored,
// fractional and large scales, pivots inside and outside, source
// rectangles, views cut on every side; both path sets give the reference's
// pixels, write nothing outside the view and mark exactly the rows drawn.
TEST_F(PutTransformed, MatchesThePerPixelRuleOnRandomTransforms) {
  std::mt19937 rng(2025);
  const PutterCase putters[] = {{putter_copy, 255},     {putter_transparent, 255}, {putter_blend, 100},
                                {putter_blend, 255},    {putter_blend, 0},         {putter_add, 160},
                                {putter_multiply, 255}, {putter_tint, 0x80FF40},   {xor_putter, 0}};
  int drawn_cases = 0;
  for (int depth : {8, 16, 32}) {
    open(depth);
    const int b = depth / 8;
    GfxContext* ctx = gfx_get_context();
    for (int n = 0; n < 1000; ++n) {
      const int w = 1 + int(rng() % 24), h = 1 + int(rng() % 24);
      ImageBuffer* image = random_image(w, h, depth, rng);
      gfx_set_target(ctx, nullptr);
      GfxRect rect{0, 0, w, h};
      const bool whole = rng() % 3 == 0;
      if (!whole) {
        rect.x = int(rng() % unsigned(w));
        rect.y = int(rng() % unsigned(h));
        rect.width = 1 + int(rng() % unsigned(w - rect.x));
        rect.height = 1 + int(rng() % unsigned(h - rect.y));
      }
      GfxTransform t{};
      t.scale_x = pick(rng, {1, -1, 2, 3, 0.5, -2, 0.25, 7, 1.0 / 3}, -5, 5);
      t.scale_y = rng() % 2 ? t.scale_x : pick(rng, {1, -1, 2, 3, 0.5, -3}, -5, 5);
      if (std::fabs(t.scale_x) < 0.05) t.scale_x = 0.05;
      if (std::fabs(t.scale_y) < 0.05) t.scale_y = -0.05;
      t.angle = pick(rng, {0, 90, 180, 270, -90, 360, 450, 1e-9, -1e-7, 45, 30}, -720, 720);
      t.pivot_x = pick(rng, {0, rect.width / 2.0, double(rect.width), 0.5}, -10, rect.width + 10);
      t.pivot_y = pick(rng, {0, rect.height / 2.0, double(rect.height), 0.5}, -10, rect.height + 10);
      t.flip = int(rng() % 4);
      ViewRect view{int(rng() % 40), int(rng() % 30), 0, 0};
      view.width = 1 + int(rng() % unsigned(kScreenW - view.x));
      view.height = 1 + int(rng() % unsigned(kScreenH - view.y));
      // Relative to the view's corner: mostly over it, often across an edge.
      const int x = int(rng() % unsigned(view.width + 40)) - 20, y = int(rng() % unsigned(view.height + 40)) - 20;
      const PutterCase pc = putters[rng() % (sizeof putters / sizeof putters[0])];

      std::vector<uint8_t> before(size_t(screen_state->pitch) * kScreenH);
      for (auto& v : before) v = uint8_t(rng());
      int src_pitch = 0;
      const uint8_t* src = gfx_image_pixels(image, &src_pitch);
      const ReferenceMap m(t, view.x + x, view.y + y, rect.width, rect.height);
      std::vector<uint8_t> rows(kScreenH, 0);
      const std::vector<uint8_t> want = expected_page(before, view, m, src + rect.y * src_pitch + rect.x * b,
                                                      src_pitch, b, pc.putter, pc.alpha, &rows);
      drawn_cases += want != before;
      for (const RoutineLevels& levels : path_sets()) {
        SCOPED_TRACE(::testing::Message()
                     << "depth " << depth << " case " << n << " levels " << level_list_name(levels) << " scale " << t.scale_x
                     << "," << t.scale_y << " angle " << t.angle << " pivot " << t.pivot_x << "," << t.pivot_y
                     << " flip " << t.flip << " at " << x << "," << y);
        set_page(before);
        clear_dirty_rows();
        ctx->view = view;
        ASSERT_EQ(gfx_put_transformed_with(levels, nullptr, float(x), float(y), image, whole ? nullptr : &rect, &t,
                                           pc.putter, pc.alpha, nullptr, nullptr),
                  ZQ_OK);
        ASSERT_EQ(page(), want);
        ASSERT_EQ(dirty_rows(), rows);
      }
      gfx_image_destroy(image);
    }
    gfx_close_at_exit();
  }
  // The random cases must mostly draw something, or they prove little.
  EXPECT_GT(drawn_cases, 1000);
}

// Scale 1, angle 0, no flip: gfx_put's pixels, also from points between
// pixels and rectangles cut by the view.
TEST_F(PutTransformed, PlainTransformIsGfxPut) {
  std::mt19937 rng(9);
  open(32);
  ImageBuffer* image = random_image(33, 21, 32, rng);
  gfx_set_target(gfx_get_context(), nullptr);
  const GfxTransform identity{1, 1, 0, 0, 0, 0};
  for (int n = 0; n < 200; ++n) {
    const float x = float(int(rng() % 220) - 40) + float(rng() % 8) / 8, y = float(int(rng() % 160) - 30) + 0.25f;
    GfxRect rect{int(rng() % 10), int(rng() % 10), 1 + int(rng() % 23), 1 + int(rng() % 11)};
    for (bool fast : {false, true}) {
      use_fast_paths(fast);
      std::vector<uint8_t> before(size_t(screen_state->pitch) * kScreenH, 0x5A);
      set_page(before);
      ASSERT_EQ(gfx_put(nullptr, x, y, image, rect.x, rect.y, rect.x + rect.width - 1, rect.y + rect.height - 1, 0, 0,
                        putter_transparent, 255, nullptr, nullptr),
                ZQ_OK);
      const std::vector<uint8_t> want = page();
      set_page(before);
      ASSERT_EQ(gfx_put_transformed(nullptr, x, y, image, &rect, n % 2 ? &identity : nullptr, putter_transparent, 255,
                                    nullptr, nullptr),
                ZQ_OK);
      ASSERT_EQ(page(), want) << "at " << x << "," << y;
    }
  }
  gfx_image_destroy(image);
}

uint32_t pixel32(int x, int y) {
  uint32_t v;
  std::memcpy(&v, screen_state->page_buffers[0] + y * screen_state->pitch + x * 4, 4);
  return v;
}

// The short forms: a mirror is the image read right to left, a stretch
// covers exactly the size asked with whole pixels repeated, a quarter turn
// about the centre moves the top row to the right column.
TEST_F(PutTransformed, ShortForms) {
  open(32);
  ImageBuffer* image = gfx_image_create(4, 2, 0, 32, 0);
  int pitch = 0;
  uint8_t* pixels = gfx_image_pixels(image, &pitch);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) {
      uint32_t v = 0x00010000u * uint32_t(y + 1) + uint32_t(x + 1);
      std::memcpy(pixels + y * pitch + x * 4, &v, 4);
    }
  gfx_set_target(gfx_get_context(), nullptr);
  auto source = [](int x, int y) { return 0x00010000u * uint32_t(y + 1) + uint32_t(x + 1); };
  for (bool fast : {false, true}) {
    use_fast_paths(fast);
    clear_page();
    ASSERT_EQ(gfx_put_flipped(nullptr, 10, 10, image, ZQ_FLIP_H | ZQ_FLIP_V, putter_copy), ZQ_OK);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) EXPECT_EQ(pixel32(10 + x, 10 + y), source(3 - x, 1 - y));
    EXPECT_EQ(pixel32(14, 10), 0u);

    clear_page();
    ASSERT_EQ(gfx_put_scaled(nullptr, 20, 30, 12, 6, image, putter_copy), ZQ_OK);
    for (int y = 29; y <= 36; ++y)
      for (int x = 19; x <= 32; ++x) {
        bool inside = x >= 20 && x < 32 && y >= 30 && y < 36;
        EXPECT_EQ(pixel32(x, y), inside ? source((x - 20) / 3, (y - 30) / 3) : 0u) << x << "," << y;
      }

    clear_page();
    ASSERT_EQ(gfx_put_rotated(nullptr, 50, 50, image, 90, 1, putter_copy), ZQ_OK);
    // Turned clockwise: 2 wide and 4 high, centred on (50, 50); the source's
    // top row is the right column, read downwards.
    for (int y = 48; y < 52; ++y) {
      EXPECT_EQ(pixel32(50, y), source(y - 48, 0));
      EXPECT_EQ(pixel32(49, y), source(y - 48, 1));
    }
    EXPECT_EQ(pixel32(48, 50), 0u);
    EXPECT_EQ(pixel32(51, 50), 0u);
  }
  gfx_image_destroy(image);
}

// Every refusal: the number, a reason, nothing drawn and no row marked.
TEST_F(PutTransformed, BadInputDrawsNothing) {
  open(32);
  std::mt19937 rng(3);
  ImageBuffer* image = random_image(8, 8, 32, rng);
  ImageBuffer* image16 = random_image(8, 8, 16, rng);
  gfx_set_target(gfx_get_context(), nullptr);
  const double inf = INFINITY, nan = NAN;
  const GfxTransform ok{1, 1, 0, 0, 0, 0};
  struct Case {
    const char* what;
    const ImageBuffer* source;
    GfxRect rect;
    GfxTransform t;
    Putter putter;
  } cases[] = {
      {"null source", nullptr, {0, 0, 8, 8}, ok, putter_copy},
      {"null putter", image, {0, 0, 8, 8}, ok, nullptr},
      {"depth mismatch", image16, {0, 0, 8, 8}, ok, putter_copy},
      {"zero scale", image, {0, 0, 8, 8}, {0, 1, 0, 0, 0, 0}, putter_copy},
      {"zero scale y", image, {0, 0, 8, 8}, {1, 0, 0, 0, 0, 0}, putter_copy},
      {"infinite scale", image, {0, 0, 8, 8}, {inf, 1, 0, 0, 0, 0}, putter_copy},
      {"scale not a number", image, {0, 0, 8, 8}, {1, nan, 0, 0, 0, 0}, putter_copy},
      {"scale too small", image, {0, 0, 8, 8}, {1e-310, 1, 0, 0, 0, 0}, putter_copy},
      {"infinite angle", image, {0, 0, 8, 8}, {1, 1, inf, 0, 0, 0}, putter_copy},
      {"angle not a number", image, {0, 0, 8, 8}, {1, 1, nan, 0, 0, 0}, putter_copy},
      {"pivot not a number", image, {0, 0, 8, 8}, {1, 1, 0, nan, 0, 0}, putter_copy},
      {"unknown flip", image, {0, 0, 8, 8}, {1, 1, 0, 0, 0, 4}, putter_copy},
      {"rectangle past the right", image, {4, 0, 5, 8}, ok, putter_copy},
      {"rectangle above", image, {0, -1, 8, 8}, ok, putter_copy},
      {"empty rectangle", image, {0, 0, 0, 8}, ok, putter_copy},
      {"negative rectangle", image, {2, 2, 3, -1}, ok, putter_copy},
  };
  const std::vector<uint8_t> before = page();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    clear_dirty_rows();
    rt_set_error(ZQ_OK);
    EXPECT_EQ(gfx_put_transformed(nullptr, 5, 5, c.source, &c.rect, &c.t, c.putter, 255, nullptr, nullptr),
              ZQ_ERR_ILLEGAL_CALL);
    EXPECT_EQ(rt_get_error(), ZQ_ERR_ILLEGAL_CALL);
    EXPECT_STRNE(rt_error_detail(), "");
    EXPECT_EQ(page(), before);
    EXPECT_EQ(dirty_rows(), std::vector<uint8_t>(kScreenH, 0));
  }
  // The short forms refuse through the full call.
  EXPECT_EQ(gfx_put_scaled(nullptr, 0, 0, 0, 5, image, putter_copy), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(gfx_put_rotated(nullptr, 0, 0, nullptr, 30, 1, putter_copy), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(gfx_put_flipped(nullptr, 0, 0, image16, ZQ_FLIP_H, putter_copy), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(page(), before);
  gfx_image_destroy(image);
  gfx_image_destroy(image16);

  gfx_close_at_exit();
  EXPECT_EQ(gfx_put_transformed(nullptr, 0, 0, nullptr, nullptr, nullptr, putter_copy, 255, nullptr, nullptr),
            ZQ_ERR_ILLEGAL_CALL);
  EXPECT_STRNE(rt_error_detail(), "");
}

}  // namespace
