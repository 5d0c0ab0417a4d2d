// The shape calls on a 640 x 480 32-bit screen beside the same jobs done by
// Allegro 4 on a 640 x 480 32-bit memory bitmap and by SDL2_gfx on a 640 x
// 480 32-bit SDL surface through SDL's software renderer:
//   circles:          200 random circle outlines, radius 5 to 104 (circle,
//                     circleColor), and filled (circlefill,
//                     filledCircleColor);
//   ellipses:         200 random ellipse outlines (ellipse, ellipseColor);
//   lines:            1000 random lines (line, lineColor);
//   smooth lines:     1000 random anti-aliased lines (aalineRGBA);
//   polygons:         200 random filled 8-vertex polygons (polygon,
//                     filledPolygonRGBA);
//   boxes:            1000 random box outlines and filled boxes (rect,
//                     rectfill; rectangleColor, boxColor);
//   arcs:             1000 random arcs (arc, arcColor);
//   flood fill:       the page around 20 circles (floodfill);
//   clear:            the whole page (clear_to_color; SDL_FillRect), also
//                     against memset of the same bytes.
// Each iteration times ours, then Allegro's, then SDL2_gfx's (then memset),
// so they share the machine's state; the counters are the fastest batches in
// microseconds (the ones a busy machine disturbed least) and the ratios
// x_allegro and x_sdl: how many times faster ours is (x_memset: our speed as
// a share of memset's).
#include <SDL.h>
#include <SDL2_gfxPrimitives.h>
#include <allegro.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>
#include <random>
#include <vector>

#include "bench/bench_timing.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "zentravolk/draw.h"
#include "zentravolk/screen.h"
#include "zentravolk/shapes.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

struct Shape {
  int x1, y1, x2, y2, radius;
  float aspect, start, end;  // aspect: height over width; angles in radians
};

std::vector<Shape> random_shapes(int count, int min_radius, int max_radius) {
  std::mt19937 rng(17);
  std::uniform_int_distribution<int> x(0, kWidth - 1), y(0, kHeight - 1), r(min_radius, max_radius);
  std::uniform_real_distribution<float> aspect(0.3f, 1.0f), angle(0, 2 * std::numbers::pi_v<float>);
  std::vector<Shape> shapes;
  for (int i = 0; i < count; ++i) shapes.push_back({x(rng), y(rng), x(rng), y(rng), r(rng), aspect(rng), angle(rng), angle(rng)});
  return shapes;
}

struct World {
  SDL_Surface* surface = nullptr;
  SDL_Renderer* renderer = nullptr;
  BITMAP* bitmap = nullptr;
  void open() {
    if (surface) return;
    rt_init(0, nullptr, 0);
    gfx_screen_res(kWidth, kHeight, 32, 1, ZQ_OPEN_NULL_DRIVER, 0);
    surface = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    renderer = SDL_CreateSoftwareRenderer(surface);
    install_allegro(SYSTEM_NONE, &errno, atexit);
    bitmap = create_bitmap_ex(32, kWidth, kHeight);
  }
} world;

using Job = std::function<void()>;

// Times ours, Allegro's, SDL2_gfx's and memset's versions of one job (the
// ones given).
void compare(benchmark::State& state, const Job& ours, const Job& allegro, const Job& sdl, const Job& memset_job,
             int reps) {
  world.open();
  std::vector<double> o, a, s, m;
  for (auto _ : state) {
    time_iteration(state, o, reps, ours);
    if (allegro) a.push_back(timed(reps, allegro));
    if (sdl) s.push_back(timed(reps, [&] {
      sdl();
      SDL_RenderFlush(world.renderer);
    }));
    if (memset_job) m.push_back(timed(reps, memset_job));
  }
  state.counters["ours_us"] = fastest(o) * 1e6;
  auto peer = [&](const char* name, const char* ratio, const std::vector<double>& t) {
    if (t.empty()) return;
    state.counters[name] = fastest(t) * 1e6;
    state.counters[ratio] = fastest(t) / fastest(o);
  };
  peer("allegro_us", "x_allegro", a);
  peer("sdl_gfx_us", "x_sdl", s);
  peer("memset_us", "x_memset", m);
}

constexpr int64_t kColour = 0x00FFC040;
constexpr Uint32 kSdlColour = 0xFF40C0FF;  // the same colour as SDL2_gfx's 0xAABBGGRR
int allegro_colour() { return makecol32(0xFF, 0xC0, 0x40); }

Sint16 s16(int v) { return Sint16(v); }

void circles(benchmark::State& state, bool filled) {
  static const auto shapes = random_shapes(200, 5, 104);
  compare(
      state,
      [filled] {
        for (const Shape& s : shapes)
          gfx_circle(nullptr, float(s.x1), float(s.y1), float(s.radius), kColour, 0, 0, 0, filled ? ZQ_SHAPE_FILLED : 0);
      },
      [filled] {
        for (const Shape& s : shapes) (filled ? circlefill : circle)(world.bitmap, s.x1, s.y1, s.radius, allegro_colour());
      },
      [filled] {
        for (const Shape& s : shapes)
          (filled ? filledCircleColor : circleColor)(world.renderer, s16(s.x1), s16(s.y1), s16(s.radius), kSdlColour);
      },
      nullptr, 4);
}

void ellipses(benchmark::State& state) {
  static const auto shapes = random_shapes(200, 5, 104);
  auto height = [](const Shape& s) { return int(std::lround(s.radius * s.aspect)); };
  compare(
      state,
      [] {
        for (const Shape& s : shapes) gfx_circle(nullptr, float(s.x1), float(s.y1), float(s.radius), kColour, 0, 0, s.aspect, 0);
      },
      [height] {
        for (const Shape& s : shapes) ellipse(world.bitmap, s.x1, s.y1, s.radius, height(s), allegro_colour());
      },
      [height] {
        for (const Shape& s : shapes)
          ellipseColor(world.renderer, s16(s.x1), s16(s.y1), s16(s.radius), s16(height(s)), kSdlColour);
      },
      nullptr, 4);
}

void lines(benchmark::State& state) {
  static const auto shapes = random_shapes(1000, 2, 2);
  compare(
      state,
      [] {
        for (const Shape& s : shapes) gfx_line(nullptr, float(s.x1), float(s.y1), float(s.x2), float(s.y2), kColour, 0, 0);
      },
      [] {
        for (const Shape& s : shapes) line(world.bitmap, s.x1, s.y1, s.x2, s.y2, allegro_colour());
      },
      [] {
        for (const Shape& s : shapes) lineColor(world.renderer, s16(s.x1), s16(s.y1), s16(s.x2), s16(s.y2), kSdlColour);
      },
      nullptr, 4);
}

void smooth_lines(benchmark::State& state) {
  static const auto shapes = random_shapes(1000, 2, 2);
  compare(
      state,
      [] {
        for (const Shape& s : shapes)
          gfx_smooth_line(nullptr, float(s.x1), float(s.y1), float(s.x2), float(s.y2), kColour, 0);
      },
      nullptr,
      [] {
        for (const Shape& s : shapes)
          aalineRGBA(world.renderer, s16(s.x1), s16(s.y1), s16(s.x2), s16(s.y2), 0xFF, 0xC0, 0x40, 0xFF);
      },
      nullptr, 1);
}

// 8 vertices each within 100 pixels of a random centre, in random order (so
// most cross themselves).
struct Polygon {
  float f[16];
  int i[16];
  Sint16 x[8], y[8];
};

std::vector<Polygon> random_polygons(int count) {
  std::mt19937 rng(23);
  std::uniform_int_distribution<int> cx(0, kWidth - 1), cy(0, kHeight - 1), d(-100, 100);
  std::vector<Polygon> out(static_cast<size_t>(count));
  for (Polygon& p : out) {
    int x0 = cx(rng), y0 = cy(rng);
    for (int k = 0; k < 8; ++k) {
      int x = x0 + d(rng), y = y0 + d(rng);
      p.f[2 * k] = float(x);
      p.f[2 * k + 1] = float(y);
      p.i[2 * k] = x;
      p.i[2 * k + 1] = y;
      p.x[k] = s16(x);
      p.y[k] = s16(y);
    }
  }
  return out;
}

void polygons(benchmark::State& state) {
  static const auto shapes = random_polygons(200);
  compare(
      state,
      [] {
        for (const Polygon& p : shapes) gfx_polygon(nullptr, p.f, 8, kColour, ZQ_SHAPE_FILLED);
      },
      [] {
        for (const Polygon& p : shapes) polygon(world.bitmap, 8, p.i, allegro_colour());
      },
      [] {
        for (const Polygon& p : shapes) filledPolygonRGBA(world.renderer, p.x, p.y, 8, 0xFF, 0xC0, 0x40, 0xFF);
      },
      nullptr, 1);
}

void boxes(benchmark::State& state, bool filled) {
  static const auto shapes = random_shapes(1000, 2, 2);
  int flags = filled ? ZQ_SHAPE_FILLED : ZQ_SHAPE_BOX;
  compare(
      state,
      [flags] {
        for (const Shape& s : shapes) gfx_line(nullptr, float(s.x1), float(s.y1), float(s.x2), float(s.y2), kColour, 0, flags);
      },
      [filled] {
        for (const Shape& s : shapes) (filled ? rectfill : rect)(world.bitmap, s.x1, s.y1, s.x2, s.y2, allegro_colour());
      },
      [filled] {
        for (const Shape& s : shapes)
          (filled ? boxColor : rectangleColor)(world.renderer, s16(s.x1), s16(s.y1), s16(s.x2), s16(s.y2), kSdlColour);
      },
      nullptr, 1);
}

// SDL2_gfx's arcs run clockwise on the screen in degrees from the x axis;
// ours counterclockwise in radians: the same arc is ours from -end to
// -start. Allegro's angles are in 1/256 of a turn, counterclockwise.
void arcs(benchmark::State& state) {
  static const auto shapes = random_shapes(1000, 2, 120);
  constexpr float kTurn = 2 * std::numbers::pi_v<float>, kDegrees = 360 / kTurn, kBinary = 256 / kTurn;
  compare(
      state,
      [] {
        for (const Shape& s : shapes)
          gfx_circle(nullptr, float(s.x1), float(s.y1), float(s.radius), kColour, kTurn - s.end, kTurn - s.start, 0, 0);
      },
      [] {
        for (const Shape& s : shapes)
          arc(world.bitmap, s.x1, s.y1, itofix(int((kTurn - s.end) * kBinary)), itofix(int((kTurn - s.start) * kBinary)),
              s.radius, allegro_colour());
      },
      [] {
        for (const Shape& s : shapes)
          arcColor(world.renderer, s16(s.x1), s16(s.y1), s16(s.radius), s16(std::lround(s.start * kDegrees)),
                   s16(std::lround(s.end * kDegrees)), kSdlColour);
      },
      nullptr, 1);
}

// The page (and the Allegro bitmap) around 20 circle outlines, filled in
// alternating colours so each fill covers the whole region.
void flood(benchmark::State& state) {
  static const auto shapes = random_shapes(20, 10, 60);
  static int64_t colours[2] = {0x102030, 0x302010};
  static int turn = 0, allegro_turn = 0;
  world.open();
  std::memset(screen_state->page_buffers[0], 0, size_t(screen_state->pitch) * kHeight);
  clear_to_color(world.bitmap, 0);
  for (const Shape& s : shapes) {
    gfx_circle(nullptr, float(s.x1), float(s.y1), float(s.radius), kColour, 0, 0, 0, 0);
    circle(world.bitmap, s.x1, s.y1, s.radius, allegro_colour());
  }
  compare(
      state, [] { gfx_flood_fill(nullptr, 0, 0, colours[turn ^= 1], kColour, 0); },
      [] { floodfill(world.bitmap, 0, 0, int(colours[allegro_turn ^= 1])); }, nullptr, nullptr, 4);
}

void clear(benchmark::State& state) {
  compare(
      state, [] { gfx_cls(0); }, [] { clear_to_color(world.bitmap, makecol32(0x10, 0x20, 0x30)); },
      [] { SDL_FillRect(world.surface, nullptr, 0xFF102030); },
      [] { std::memset(screen_state->page_buffers[0], 0x40, size_t(screen_state->pitch) * kHeight); }, 16);
}

void register_all() {
  auto add = [](const char* name, auto fn) { register_timed(name, 0.2, fn); };
  add("shapes/circles_200", [](benchmark::State& s) { circles(s, false); });
  add("shapes/filled_circles_200", [](benchmark::State& s) { circles(s, true); });
  add("shapes/ellipses_200", ellipses);
  add("shapes/lines_1000", lines);
  add("shapes/smooth_lines_1000", smooth_lines);
  add("shapes/filled_polygons_200", polygons);
  add("shapes/box_outlines_1000", [](benchmark::State& s) { boxes(s, false); });
  add("shapes/filled_boxes_1000", [](benchmark::State& s) { boxes(s, true); });
  add("shapes/arcs_1000", arcs);
  add("shapes/flood_fill_around_20_circles", flood);
  add("shapes/page_clear", clear);
}

}  // namespace

int main(int argc, char** argv) {
  register_all();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
