// The shape calls on a 640 x 480 32-bit screen against SDL2_gfx doing the
// same job on a 640 x 480 32-bit SDL surface through SDL's software renderer:
//   lines:    10,000 random lines (lineColor);
//   boxes:    1,000 random box outlines (rectangleColor);
//   filled:   1,000 random filled boxes (boxColor), also against memset of
//             the same rows' bytes;
//   circles:  1,000 random circles, outline and filled (circleColor,
//             filledCircleColor);
//   ellipses: 1,000 random ellipses (ellipseColor);
//   arcs:     1,000 random arcs (arcColor);
//   flood:    one flood fill of the whole screen, against memset of the page.
// Each iteration times ours, then SDL2_gfx, then memset, so they share the
// machine's state; the counters are the fastest batches in microseconds (the ones a
// busy machine disturbed least) and the
// ratios (x_sdl: how many times faster than SDL2_gfx; x_memset: our speed
// as a share of memset's).
#include <SDL.h>
#include <SDL2_gfxPrimitives.h>
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
#include "zentravolk/screen.h"
#include "zentravolk/shapes.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

struct Shape {
  int x1, y1, x2, y2, radius;
  float aspect, start, end;  // aspect: height over width; angles in radians
};

std::vector<Shape> random_shapes(int count, int max_radius) {
  std::mt19937 rng(17);
  std::uniform_int_distribution<int> x(0, kWidth - 1), y(0, kHeight - 1), r(2, max_radius);
  std::uniform_real_distribution<float> aspect(0.3f, 1.0f), angle(0, 2 * std::numbers::pi_v<float>);
  std::vector<Shape> shapes;
  for (int i = 0; i < count; ++i) shapes.push_back({x(rng), y(rng), x(rng), y(rng), r(rng), aspect(rng), angle(rng), angle(rng)});
  return shapes;
}

struct World {
  SDL_Surface* surface = nullptr;
  SDL_Renderer* renderer = nullptr;
  void open() {
    if (surface) return;
    rt_init(0, nullptr, 0);
    gfx_screen_res(kWidth, kHeight, 32, 1, ZQ_OPEN_NULL_DRIVER, 0);
    surface = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    renderer = SDL_CreateSoftwareRenderer(surface);
  }
} world;

// Times ours, SDL2_gfx's and (when given) memset's versions of one job.
void compare(benchmark::State& state, const std::function<void()>& ours, const std::function<void()>& sdl,
             const std::function<void()>& memset_job, int reps) {
  world.open();
  std::vector<double> o, s, m;
  for (auto _ : state) {
    time_iteration(state, o, reps, ours);
    if (sdl) s.push_back(timed(reps, [&] {
      sdl();
      SDL_RenderFlush(world.renderer);
    }));
    if (memset_job) m.push_back(timed(reps, memset_job));
  }
  state.counters["ours_us"] = fastest(o) * 1e6;
  if (sdl) {
    state.counters["sdl_gfx_us"] = fastest(s) * 1e6;
    state.counters["x_sdl"] = fastest(s) / fastest(o);
  }
  if (memset_job) {
    state.counters["memset_us"] = fastest(m) * 1e6;
    state.counters["x_memset"] = fastest(m) / fastest(o);
  }
}

constexpr int64_t kColour = 0x00FFC040;
constexpr Uint32 kSdlColour = 0xFF40C0FF;  // the same colour as SDL2_gfx's 0xAABBGGRR

Sint16 s16(int v) { return Sint16(v); }

void lines(benchmark::State& state) {
  static const auto shapes = random_shapes(10000, 2);
  compare(
      state,
      [] {
        for (const Shape& s : shapes) gfx_line(nullptr, float(s.x1), float(s.y1), float(s.x2), float(s.y2), kColour, 0, 0);
      },
      [] {
        for (const Shape& s : shapes) lineColor(world.renderer, s16(s.x1), s16(s.y1), s16(s.x2), s16(s.y2), kSdlColour);
      },
      nullptr, 2);
}

void boxes(benchmark::State& state, bool filled) {
  static const auto shapes = random_shapes(1000, 2);
  int flags = filled ? ZQ_SHAPE_FILLED : ZQ_SHAPE_BOX;
  auto fill_rows = [] {
    uint8_t* page = screen_state->page_buffers[0];
    for (const Shape& s : shapes) {
      int l = std::min(s.x1, s.x2), r = std::max(s.x1, s.x2), t = std::min(s.y1, s.y2), b = std::max(s.y1, s.y2);
      for (int y = t; y <= b; ++y) std::memset(page + size_t(y) * screen_state->pitch + size_t(l) * 4, 0x40, size_t(r - l + 1) * 4);
    }
  };
  compare(
      state,
      [flags] {
        for (const Shape& s : shapes) gfx_line(nullptr, float(s.x1), float(s.y1), float(s.x2), float(s.y2), kColour, 0, flags);
      },
      [filled] {
        for (const Shape& s : shapes)
          (filled ? boxColor : rectangleColor)(world.renderer, s16(s.x1), s16(s.y1), s16(s.x2), s16(s.y2), kSdlColour);
      },
      filled ? std::function<void()>(fill_rows) : nullptr, 1);
}

void circles(benchmark::State& state, bool filled) {
  static const auto shapes = random_shapes(1000, 120);
  compare(
      state,
      [filled] {
        for (const Shape& s : shapes)
          gfx_circle(nullptr, float(s.x1), float(s.y1), float(s.radius), kColour, 0, 0, 0, filled ? ZQ_SHAPE_FILLED : 0);
      },
      [filled] {
        for (const Shape& s : shapes)
          (filled ? filledCircleColor : circleColor)(world.renderer, s16(s.x1), s16(s.y1), s16(s.radius), kSdlColour);
      },
      nullptr, 1);
}

void ellipses(benchmark::State& state) {
  static const auto shapes = random_shapes(1000, 120);
  compare(
      state,
      [] {
        for (const Shape& s : shapes) gfx_circle(nullptr, float(s.x1), float(s.y1), float(s.radius), kColour, 0, 0, s.aspect, 0);
      },
      [] {
        for (const Shape& s : shapes)
          ellipseColor(world.renderer, s16(s.x1), s16(s.y1), s16(s.radius), s16(std::lround(s.radius * s.aspect)), kSdlColour);
      },
      nullptr, 1);
}

// SDL2_gfx's arcs run clockwise on the screen in degrees from the x axis;
// ours counterclockwise in radians: the same arc is ours from -end to -start.
void arcs(benchmark::State& state) {
  static const auto shapes = random_shapes(1000, 120);
  constexpr float kDegrees = 180 / std::numbers::pi_v<float>;
  compare(
      state,
      [] {
        for (const Shape& s : shapes)
          gfx_circle(nullptr, float(s.x1), float(s.y1), float(s.radius), kColour, 2 * std::numbers::pi_v<float> - s.end,
                     2 * std::numbers::pi_v<float> - s.start, 0, 0);
      },
      [] {
        for (const Shape& s : shapes)
          arcColor(world.renderer, s16(s.x1), s16(s.y1), s16(s.radius), s16(std::lround(s.start * kDegrees)),
                   s16(std::lround(s.end * kDegrees)), kSdlColour);
      },
      nullptr, 1);
}

// Alternating colours, so each fill covers the whole screen.
void flood(benchmark::State& state) {
  static int64_t colours[2] = {0x102030, 0x302010};
  static int turn = 0;
  compare(
      state, [] { gfx_flood_fill(nullptr, 320, 240, colours[turn ^= 1], ZQ_OMITTED, 0); }, nullptr,
      [] { std::memset(screen_state->page_buffers[0], 0x40, size_t(screen_state->pitch) * kHeight); }, 4);
}

void register_all() {
  auto add = [](const char* name, auto fn) {
    register_timed(name, 0.2, fn);
  };
  add("shapes/lines_10000", lines);
  add("shapes/box_outlines_1000", [](benchmark::State& s) { boxes(s, false); });
  add("shapes/filled_boxes_1000", [](benchmark::State& s) { boxes(s, true); });
  add("shapes/circles_1000", [](benchmark::State& s) { circles(s, false); });
  add("shapes/filled_circles_1000", [](benchmark::State& s) { circles(s, true); });
  add("shapes/ellipses_1000", ellipses);
  add("shapes/arcs_1000", arcs);
  add("shapes/flood_fill_whole_screen", flood);
}

}  // namespace

int main(int argc, char** argv) {
  register_all();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
