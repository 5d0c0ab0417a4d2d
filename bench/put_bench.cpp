// gfx_put through putter_copy, putter_transparent and putter_blend at 16 and
// 32 bits per pixel, on the game's two shapes of work:
//   tiles: 330 puts of a 33 x 33 tile spread over a 640 x 480 page;
//   page:  one put of a whole 640 x 480 image.
// Each iteration times the put, then memcpy of the same bytes, then SDL2
// doing the same job on SDL surfaces (a plain blit, a colour-key blit, a
// colour-key blit with surface alpha modulation), once as plain surfaces and
// once RLE-accelerated (SDL_RLEACCEL, SDL2's fastest way with colour keys),
// so all share the machine's state. The counters give the medians of those
// per-iteration times in microseconds and the ratios memcpy/put, SDL/put and
// SDL-RLE/put (above 1: the put is faster). Transparent puts also time the
// write floor: memcpy of only the non-mask runs, the bytes that any
// transparent put must store however it skips the rest. Also times one
// 30-character line of font-image text.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "bench/bench_timing.h"
#include "gfx/blit/put.h"
#include "gfx/draw/context.h"
#include "gfx/image/image.h"
#include "gfx/screen/screen.h"
#include "gfx/text/text.h"
#include "runtime/runtime.h"

namespace {

constexpr int kWidth = 640, kHeight = 480, kTile = 33, kTiles = 330;

enum class Job { copy, transparent, blend };
enum class Shape { tiles, page };
enum class Set { fast, plain };

struct Spot {
  int x, y;
};

// Where the 330 tiles go: 22 columns, 15 rows, the last column cut by the edge.
const std::vector<Spot>& spots() {
  static std::vector<Spot> s = [] {
    std::vector<Spot> v;
    for (int i = 0; i < kTiles; ++i) v.push_back({(i % 22) * 29, (i / 22) * 31});
    return v;
  }();
  return s;
}

// Pixels of a game-like picture: coloured blobs on the mask colour (about a
// third of the pixels are mask).
std::vector<uint32_t> picture(int w, int h, int bpp, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<uint32_t> px(size_t(w) * size_t(h));
  const uint32_t mask = bpp == 2 ? 0xF81Fu : 0x00FF00FFu;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int cx = x % kTile - 16, cy = y % kTile - 16;
      uint32_t colour = bpp == 2 ? rng() & 0xFFFF : rng() & 0x00FFFFFF;
      if (colour == mask) colour ^= 1;
      px[size_t(y) * size_t(w) + size_t(x)] = cx * cx + cy * cy < 230 ? colour : mask;
    }
  return px;
}

// A run of non-mask pixels in one row of an image.
struct Run {
  int y, x, n;
};

// The non-mask runs of an image, row by row.
std::vector<Run> opaque_runs(const ImageBuffer* img) {
  const ImageInfo info = gfx_image_info(img);
  const int bpp = info.bytes_per_pixel;
  const uint32_t key = bpp == 2 ? 0xF81Fu : 0x00FF00FFu, low = bpp == 2 ? 0xFFFFu : 0x00FFFFFFu;
  std::vector<Run> runs;
  for (int y = 0; y < info.height; ++y)
    for (int x = 0; x < info.width;) {
      auto opaque = [&](int at) {
        uint32_t v = 0;
        std::memcpy(&v, info.pixels + y * info.pitch + at * bpp, size_t(bpp));
        return (v & low) != key;
      };
      int start = x;
      while (x < info.width && opaque(x)) ++x;
      if (x > start) runs.push_back({y, start, x - start});
      while (x < info.width && !opaque(x)) ++x;
    }
  return runs;
}

// The screen, the two source images and their SDL twins for one depth.
struct World {
  int bpp = 0;
  ImageBuffer* tile = nullptr;
  ImageBuffer* page = nullptr;
  SDL_Surface* sdl_tile = nullptr;
  SDL_Surface* sdl_page = nullptr;
  SDL_Surface* sdl_target = nullptr;
  SDL_Surface* sdl_tile_rle = nullptr;
  SDL_Surface* sdl_page_rle = nullptr;
  std::vector<Run> tile_runs, page_runs;

  static ImageBuffer* image(const std::vector<uint32_t>& px, int w, int h, int bpp) {
    ImageBuffer* img = gfx_image_create(w, h, 0, bpp * 8, 0);
    uint8_t* p = gfx_image_info(img).pixels;
    for (size_t i = 0; i < px.size(); ++i) std::memcpy(p + i * size_t(bpp), &px[i], size_t(bpp));
    return img;
  }
  static SDL_Surface* surface(const std::vector<uint32_t>& px, int w, int h, int bpp) {
    Uint32 format = bpp == 2 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, bpp * 8, format);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        std::memcpy(static_cast<uint8_t*>(s->pixels) + y * s->pitch + x * bpp, &px[size_t(y * w + x)],
                    size_t(bpp));
    return s;
  }

  void open(int bytes) {
    if (bpp == bytes) return;
    close();
    bpp = bytes;
    rt_init(0, nullptr, 1);
    setenv("ZQGFX", "null", 1);
    gfx_screen_res(kWidth, kHeight, bpp * 8, 2, 0, 0);
    auto tile_px = picture(kTile, kTile, bpp, 1);
    auto page_px = picture(kWidth, kHeight, bpp, 2);
    tile = image(tile_px, kTile, kTile, bpp);
    page = image(page_px, kWidth, kHeight, bpp);
    tile_runs = opaque_runs(tile);
    page_runs = opaque_runs(page);
    sdl_tile = surface(tile_px, kTile, kTile, bpp);
    sdl_page = surface(page_px, kWidth, kHeight, bpp);
    sdl_tile_rle = surface(tile_px, kTile, kTile, bpp);
    sdl_page_rle = surface(page_px, kWidth, kHeight, bpp);
    SDL_SetSurfaceRLE(sdl_tile_rle, 1);
    SDL_SetSurfaceRLE(sdl_page_rle, 1);
    sdl_target = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, bpp * 8,
                                                bpp == 2 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888);
  }
  void close() {
    if (!bpp) return;
    gfx_image_destroy(tile);
    gfx_image_destroy(page);
    SDL_FreeSurface(sdl_tile);
    SDL_FreeSurface(sdl_page);
    SDL_FreeSurface(sdl_target);
    SDL_FreeSurface(sdl_tile_rle);
    SDL_FreeSurface(sdl_page_rle);
    gfx_close_at_exit();
    bpp = 0;
  }
} world;

Putter putter_for(Job job) {
  return job == Job::copy ? putter_copy : job == Job::transparent ? putter_transparent : putter_blend;
}

void use_set(Set set) {
  GfxContext* ctx = gfx_get_context();
  auto table = [set](PutterKind kind) {
    return putters_for(set == Set::fast ? routine_levels() : kPlainLevelOnly, kind);
  };
  ctx->putters_copy = table(PutterKind::copy);
  ctx->putters_transparent = table(PutterKind::transparent);
  ctx->putters_blend = table(PutterKind::blend);
}

void sdl_set_job(SDL_Surface* s, Job job) {
  Uint32 key = world.bpp == 2 ? 0xF81Fu : 0x00FF00FFu;
  SDL_SetColorKey(s, job == Job::copy ? SDL_FALSE : SDL_TRUE, key);
  SDL_SetSurfaceAlphaMod(s, job == Job::blend ? 128 : 255);
  SDL_SetSurfaceBlendMode(s, job == Job::blend ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
}

void run_put(Job job, Shape shape) {
  Putter p = putter_for(job);
  if (shape == Shape::page) {
    gfx_put(nullptr, 0, 0, world.page, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 1, p, 127, nullptr, nullptr);
  } else {
    for (const Spot& s : spots())
      gfx_put(nullptr, float(s.x), float(s.y), world.tile, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, p, 127, nullptr, nullptr);
  }
}

void run_memcpy(Shape shape) {
  uint8_t* page = screen_state->page_buffers[0];
  const int bpp = world.bpp, pitch = screen_state->pitch;
  if (shape == Shape::page) {
    std::memcpy(page, gfx_image_info(world.page).pixels, size_t(kWidth) * kHeight * size_t(bpp));
    return;
  }
  const uint8_t* src = gfx_image_info(world.tile).pixels;
  for (const Spot& s : spots()) {
    int w = std::min(kTile, kWidth - s.x);
    for (int y = 0; y < kTile; ++y)
      std::memcpy(page + (s.y + y) * pitch + s.x * bpp, src + y * kTile * bpp, size_t(w) * size_t(bpp));
  }
}

// The write floor of a transparent put: memcpy of the non-mask runs only.
void run_opaque_floor(Shape shape) {
  uint8_t* page = screen_state->page_buffers[0];
  const int bpp = world.bpp, pitch = screen_state->pitch;
  const ImageInfo src = gfx_image_info(shape == Shape::page ? world.page : world.tile);
  auto copy = [&](const Run& r, int x, int y, int n) {
    std::memcpy(page + (y + r.y) * pitch + (x + r.x) * bpp, src.pixels + r.y * src.pitch + r.x * bpp,
                size_t(n) * size_t(bpp));
  };
  if (shape == Shape::page) {
    for (const Run& r : world.page_runs) copy(r, 0, 0, r.n);
    return;
  }
  for (const Spot& s : spots())
    for (const Run& r : world.tile_runs) {
      int n = std::min(r.n, kWidth - s.x - r.x);
      if (n > 0) copy(r, s.x, s.y, n);
    }
}

void run_sdl(Shape shape, bool rle) {
  if (shape == Shape::page) {
    SDL_Rect at{0, 0, 0, 0};
    SDL_BlitSurface(rle ? world.sdl_page_rle : world.sdl_page, nullptr, world.sdl_target, &at);
    return;
  }
  SDL_Surface* tile = rle ? world.sdl_tile_rle : world.sdl_tile;
  for (const Spot& s : spots()) {
    SDL_Rect at{s.x, s.y, 0, 0};
    SDL_BlitSurface(tile, nullptr, world.sdl_target, &at);
  }
}

void put_bench(benchmark::State& state, Job job, Shape shape, int bpp, Set set) {
  world.open(bpp);
  use_set(set);
  sdl_set_job(world.sdl_tile, job);
  sdl_set_job(world.sdl_page, job);
  sdl_set_job(world.sdl_tile_rle, job);
  sdl_set_job(world.sdl_page_rle, job);
  run_sdl(shape, true);  // RLE surfaces are encoded on their first blit after a change
  const int reps = 8;
  std::vector<double> ours, mem, sdl, sdl_rle, floor;
  for (auto _ : state) {
    time_iteration(state, ours, reps, [&] { run_put(job, shape); });
    mem.push_back(timed(reps, [&] { run_memcpy(shape); }));
    sdl.push_back(timed(reps, [&] { run_sdl(shape, false); }));
    sdl_rle.push_back(timed(reps, [&] { run_sdl(shape, true); }));
    if (job == Job::transparent) floor.push_back(timed(reps, [&] { run_opaque_floor(shape); }));
  }
  double o = median(ours), m = median(mem), s = median(sdl), r = median(sdl_rle);
  state.counters["put_us"] = o * 1e6;
  state.counters["memcpy_us"] = m * 1e6;
  state.counters["sdl_us"] = s * 1e6;
  state.counters["x_memcpy"] = m / o;  // put speed as a share of memcpy's
  state.counters["sdl_rle_us"] = r * 1e6;
  state.counters["x_sdl"] = s / o;     // how many times faster than SDL
  state.counters["x_sdl_rle"] = r / o;
  if (job == Job::transparent) {
    double f = median(floor);
    state.counters["floor_us"] = f * 1e6;
    state.counters["x_floor"] = f / o;       // put speed as a share of the write floor's
    state.counters["rle_x_floor"] = f / r;   // SDL's RLE blit as a share of the floor
  }
}

// One 30-character line through the game's kind of font image (864 x 18,
// characters 32..127 of width 8) and putter_blend at alpha 255.
void text_bench(benchmark::State& state, Set set) {
  world.open(4);
  use_set(set);
  ImageBuffer* font = gfx_image_create(864, 18, 0, 32, -1);
  ImageInfo info = gfx_image_info(font);
  std::mt19937 rng(5);
  for (int y = 1; y < 18; ++y)
    for (int x = 0; x < 864; ++x) {
      uint32_t v = rng() % 3 ? 0xFF000000u | (rng() & 0xFFFFFF) : 0xFFFF00FFu;
      std::memcpy(info.pixels + y * info.pitch + x * 4, &v, 4);
    }
  info.pixels[0] = 0;
  info.pixels[1] = 32;
  info.pixels[2] = 127;
  std::memset(info.pixels + 3, 8, 96);
  gfx_set_target(gfx_get_context(), nullptr);
  StringValue line{};
  rt_str_assign(&line, "Frames: 60  Driver: Null  x=12", 0);
  std::vector<double> times;
  for (auto _ : state) {
    time_iteration(state, times, 64, [&] {
      gfx_draw_string(nullptr, 10, 10, ZQ_TEXT_ABSOLUTE, &line, 0xFF, font, 9, putter_blend, nullptr, nullptr);
    });
  }
  state.counters["text_us"] = median(times) * 1e6;
  rt_str_delete(&line);
  gfx_image_destroy(font);
}

// The game's three fixed head-up lines in the built-in 8 x 8 font, colour 0,
// on the 32-bit screen.
void builtin_text_bench(benchmark::State& state) {
  world.open(4);
  const char* lines[] = {"     Pritisni F za FPS limit ", "      Rana test verzija 0.1 ",
                         " Zentravolk - zentravolk@example.org "};
  StringValue text[3] = {};
  for (int i = 0; i < 3; ++i) rt_str_assign(&text[i], lines[i], 0);
  std::vector<double> times;
  for (auto _ : state) {
    time_iteration(state, times, 64, [&] {
      for (int i = 0; i < 3; ++i)
        gfx_draw_string(nullptr, 200, float(30 + 10 * i), 4, &text[i], 0, nullptr, 0, nullptr, nullptr, nullptr);
    });
  }
  state.counters["text_us"] = median(times) * 1e6;
  for (StringValue& t : text) rt_str_delete(&t);
}

void register_all() {
  const char* job_names[] = {"copy", "transparent", "blend"};
  for (int bpp : {2, 4})
    for (Shape shape : {Shape::tiles, Shape::page})
      for (Job job : {Job::copy, Job::transparent, Job::blend})
        for (Set set : {Set::fast, Set::plain}) {
          std::string name = std::string("put/") + job_names[int(job)] + "/" + std::to_string(bpp * 8) + "bpp/" +
                             (shape == Shape::tiles ? "330_tiles" : "full_page") + "/" +
                             (set == Set::fast ? "fast" : "plain");
          register_timed(name, 0.3, put_bench, job, shape, bpp, set);
        }
  for (Set set : {Set::fast, Set::plain})
    register_timed(set == Set::fast ? "text/30_chars/fast" : "text/30_chars/plain", 0.3, text_bench, set);
  register_timed("text/builtin_3_lines", 0.3, builtin_text_bench);
}

}  // namespace

int main(int argc, char** argv) {
  register_all();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  world.close();
  return 0;
}
