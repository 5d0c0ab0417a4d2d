// Transformed puts at 32 bits per pixel on a 640 x 480 page, each timed in
// the same iteration as its peers:
//   mirrored:  330 32 x 32 sprites with ZQ_FLIP_H, against Allegro 4's
//              draw_sprite_h_flip and our own unmirrored putter_transparent put;
//   stretched: 100 sprites 32 x 32 to 96 x 96 with the mask, against Allegro's
//              masked_stretch_blit and SDL_BlitScaled with a colour key;
//   rotated:   100 sprites turned 30 degrees with the mask, against Allegro's
//              rotate_sprite and SDL2_gfx rotozoomSurface plus its blit.
// Counters: the medians of the iterations' times in microseconds, and the
// ratios peer / ours (above 1: ours is faster); for the mirror also ours /
// unmirrored (the mirror's cost over a plain put).
#include <SDL.h>
#include <SDL2_rotozoom.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "bench/bench_timing.h"
#include "bench/peers/allegro_sprites.h"
#include "gfx/blit/put.h"
#include "gfx/draw/context.h"
#include "gfx/image/image.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "zentravolk/shortcuts.h"

namespace {

constexpr int kWidth = 640, kHeight = 480, kSprite = 32, kStretched = 96;
constexpr int kMirrored = 330, kScaledCount = 100, kRotatedCount = 100;
constexpr double kAngle = 30.0;
constexpr uint32_t kMask = 0x00FF00FFu;
constexpr int kReps = 4;
constexpr int kIterations = 15;  // the medians are of at least this many batches

struct Spot {
  int x, y;
};

std::vector<Spot> grid(int count, int columns, int dx, int dy) {
  std::vector<Spot> v;
  for (int i = 0; i < count; ++i) v.push_back({(i % columns) * dx, (i / columns) * dy});
  return v;
}

// A coloured disc on the mask colour, as a game's sprite.
std::vector<uint32_t> sprite_pixels() {
  std::mt19937 rng(5);
  std::vector<uint32_t> px(size_t(kSprite) * kSprite);
  for (int y = 0; y < kSprite; ++y)
    for (int x = 0; x < kSprite; ++x) {
      int cx = x - 16, cy = y - 16;
      uint32_t c = rng() & 0x00FFFFFF;
      if (c == kMask) c ^= 1;
      px[size_t(y * kSprite + x)] = cx * cx + cy * cy < 230 ? c : kMask;
    }
  return px;
}

struct World {
  ImageBuffer* sprite = nullptr;
  AllegroSprite* allegro = nullptr;
  SDL_Surface* sdl_sprite = nullptr;
  SDL_Surface* sdl_target = nullptr;

  World() {
    rt_init(0, nullptr, 1);
    setenv("ZQGFX", "null", 1);
    gfx_screen_res(kWidth, kHeight, 32, 2, 0, 0);
    const std::vector<uint32_t> px = sprite_pixels();
    sprite = gfx_image_create(kSprite, kSprite, 0, 32, 0);
    int pitch = 0;
    uint8_t* p = gfx_image_pixels(sprite, &pitch);
    for (int y = 0; y < kSprite; ++y) std::memcpy(p + y * pitch, &px[size_t(y * kSprite)], kSprite * 4);
    gfx_set_target(gfx_get_context(), nullptr);
    if (!allegro_open(kWidth, kHeight)) std::abort();
    allegro = allegro_sprite(px.data(), kSprite, kSprite);
    sdl_sprite = SDL_CreateRGBSurfaceWithFormat(0, kSprite, kSprite, 32, SDL_PIXELFORMAT_RGB888);
    for (int y = 0; y < kSprite; ++y)
      std::memcpy(static_cast<uint8_t*>(sdl_sprite->pixels) + y * sdl_sprite->pitch, &px[size_t(y * kSprite)],
                  kSprite * 4);
    SDL_SetColorKey(sdl_sprite, SDL_TRUE, kMask);
    sdl_target = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_RGB888);
  }
};

World& world() {
  static World w;
  return w;
}

void report(benchmark::State& state, const char* peer, double ours, double theirs) {
  state.counters[std::string(peer) + "_us"] = theirs * 1e6;
  state.counters[std::string("x_") + peer] = theirs / ours;
}

void mirrored(benchmark::State& state) {
  World& w = world();
  const auto spots = grid(kMirrored, 22, 29, 31);
  std::vector<double> ours, plain, unflipped, allegro;
  for (auto _ : state) {
    time_iteration(state, ours, kReps, [&] {
      for (const Spot& s : spots) gfx_put_flipped(nullptr, float(s.x), float(s.y), w.sprite, ZQ_FLIP_H, putter_transparent);
    });
    plain.push_back(timed(kReps, [&] {
      for (const Spot& s : spots) gfx_put_image(nullptr, float(s.x), float(s.y), w.sprite, putter_transparent);
    }));
    unflipped.push_back(timed(kReps, [&] {
      for (const Spot& s : spots) gfx_put_flipped(nullptr, float(s.x), float(s.y), w.sprite, 0, putter_transparent);
    }));
    allegro.push_back(timed(kReps, [&] {
      for (const Spot& s : spots) allegro_draw_h_flip(w.allegro, s.x, s.y);
    }));
  }
  const double o = median(ours), p = median(plain);
  state.counters["ours_us"] = o * 1e6;
  state.counters["unmirrored_us"] = p * 1e6;
  state.counters["unflipped_us"] = median(unflipped) * 1e6;  // the transformed put's own cost, no mirror
  state.counters["mirror_cost"] = o / p;  // goal: at most 1.2
  report(state, "allegro", o, median(allegro));  // goal: at least 1.5
}

void stretched(benchmark::State& state) {
  World& w = world();
  const auto spots = grid(kScaledCount, 10, 54, 38);
  std::vector<double> ours, allegro, sdl;
  for (auto _ : state) {
    time_iteration(state, ours, kReps, [&] {
      for (const Spot& s : spots)
        gfx_put_scaled(nullptr, float(s.x), float(s.y), kStretched, kStretched, w.sprite, putter_transparent);
    });
    allegro.push_back(timed(kReps, [&] {
      for (const Spot& s : spots) allegro_masked_stretch(w.allegro, s.x, s.y, kStretched, kStretched);
    }));
    sdl.push_back(timed(kReps, [&] {
      for (const Spot& s : spots) {
        SDL_Rect at{s.x, s.y, kStretched, kStretched};
        SDL_BlitScaled(w.sdl_sprite, nullptr, w.sdl_target, &at);
      }
    }));
  }
  const double o = median(ours);
  state.counters["ours_us"] = o * 1e6;
  report(state, "allegro", o, median(allegro));  // goal: at least 1.5
  report(state, "sdl", o, median(sdl));          // goal: at least 5
}

void rotated(benchmark::State& state) {
  World& w = world();
  const auto spots = grid(kRotatedCount, 10, 60, 45);
  std::vector<double> ours, allegro, sdl;
  for (auto _ : state) {
    time_iteration(state, ours, kReps, [&] {
      for (const Spot& s : spots)
        gfx_put_rotated(nullptr, float(s.x + kSprite / 2), float(s.y + kSprite / 2), w.sprite, kAngle, 1.0,
                        putter_transparent);
    });
    allegro.push_back(timed(kReps, [&] {
      for (const Spot& s : spots) allegro_rotate(w.allegro, s.x, s.y, kAngle);
    }));
    sdl.push_back(timed(kReps, [&] {
      for (const Spot& s : spots) {
        // rotozoomSurface turns counter-clockwise for positive angles.
        SDL_Surface* turned = rotozoomSurface(w.sdl_sprite, -kAngle, 1.0, SMOOTHING_OFF);
        SDL_SetColorKey(turned, SDL_TRUE, kMask);
        SDL_Rect at{s.x + kSprite / 2 - turned->w / 2, s.y + kSprite / 2 - turned->h / 2, 0, 0};
        SDL_BlitSurface(turned, nullptr, w.sdl_target, &at);
        SDL_FreeSurface(turned);
      }
    }));
  }
  const double o = median(ours);
  state.counters["ours_us"] = o * 1e6;
  report(state, "allegro", o, median(allegro));  // goal: at least 1.5
  report(state, "sdl_gfx", o, median(sdl));      // goal: at least 3
}

void register_all() {
  using Fn = void (*)(benchmark::State&);
  const std::pair<const char*, Fn> all[] = {{"transform/mirrored_330x32", mirrored},
                                            {"transform/stretched_100x32to96", stretched},
                                            {"transform/rotated_100x32_30deg", rotated}};
  for (auto [name, fn] : all)
    benchmark::RegisterBenchmark(name, fn)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(kIterations);
}

}  // namespace

int main(int argc, char** argv) {
  register_all();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
