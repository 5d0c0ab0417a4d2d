// One whole game frame on the null driver (flip, clear, background, visible
// tiles, player, head-up text) against:
//   floor:    the memory traffic no frame can avoid: a memset of the page, a
//             memcpy of the background page and a memcpy of the visible tiles'
//             clipped rows;
//   sdl2:     the same picture from SDL2 software surfaces (fill, background
//             blit, colour-key tile and sprite blits);
//   sdl2_rle: the same with RLE-accelerated colour keys (SDL_RLEACCEL), the
//             strongest SDL2 set-up for keyed tiles.
// BM_FrameSideBySide times all four in turn within each iteration, so they
// share the machine's state, and prints the medians in microseconds and the
// ratios frame/floor, sdl2/frame and sdl2_rle/frame.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/bench_timing.h"
#include "drivers/screen_state.h"
#include "game/game.h"
#include "game/level.h"
#include "gfx/image/image.h"
#include "runtime/runtime.h"

namespace {

Game* started_game() {
  static Game* game = [] {
    if (chdir(ZQ_DATA_DIR) != 0) std::abort();
    setenv("ZQGFX", "null", 1);
    static Game g;
    if (!game_startup(&g, 0, nullptr)) std::abort();
    return &g;
  }();
  return game;
}

// A tile the frame draws, at its screen position.
struct Placed {
  const ImageBuffer* image;
  int x, y;
};

// The visible tiles of the game's current scroll position, as level_draw
// places them.
std::vector<Placed> visible_tiles(const Game* game) {
  std::vector<Placed> out;
  for (int i = -1; i <= 20; ++i) {
    int column = game->camera.scroll_col + i;
    if (column < 0 || column >= kMapColumns) continue;
    for (int j = 0; j < kMapRows; ++j)
      if (const ImageBuffer* tile = level_cell_image(game, game->map.cells[j][column]))
        out.push_back({tile, TILE_SIZE * i + game->camera.scroll_px, TILE_SIZE * j});
  }
  return out;
}

// The floor: the bytes of the frame moved at memset and memcpy speed.
struct Floor {
  uint8_t* page;
  const uint8_t* background;
  size_t page_bytes;
  int pitch, width, height;
  std::vector<Placed> tiles;

  explicit Floor(Game* game) : tiles(visible_tiles(game)) {
    page = screen_state->page_buffers[0];
    width = screen_state->width;
    height = screen_state->height;
    pitch = screen_state->pitch;
    page_bytes = size_t(pitch) * size_t(height);
    background = gfx_image_info(game->background_image).pixels;
  }
  void run() const {
    std::memset(page, 0, page_bytes);
    std::memcpy(page, background, page_bytes);
    for (const Placed& t : tiles) {
      ImageInfo info = gfx_image_info(t.image);
      int x0 = std::max(t.x, 0), x1 = std::min(t.x + info.width, width);
      int y0 = std::max(t.y, 0), y1 = std::min(t.y + info.height, height);
      if (x1 <= x0) continue;
      for (int y = y0; y < y1; ++y)
        std::memcpy(page + size_t(y) * size_t(pitch) + size_t(x0) * 4,
                    info.pixels + size_t(y - t.y) * size_t(info.pitch) + size_t(x0 - t.x) * 4, size_t(x1 - x0) * 4);
    }
  }
};

// An SDL surface holding a copy of one of the game's loaded images.
SDL_Surface* surface_of(const ImageBuffer* image, bool keyed, bool rle) {
  ImageInfo info = gfx_image_info(image);
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, info.width, info.height, 32, SDL_PIXELFORMAT_ARGB8888);
  SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_NONE);  // a copy, as the game's puts are
  for (int y = 0; y < info.height; ++y)
    std::memcpy(static_cast<uint8_t*>(s->pixels) + y * s->pitch, info.pixels + y * info.pitch, size_t(info.width) * 4);
  if (keyed) SDL_SetColorKey(s, SDL_TRUE, SDL_MapRGB(s->format, 255, 0, 255));
  if (rle) SDL_SetSurfaceRLE(s, 1);
  return s;
}

// The game's picture drawn with SDL2 surfaces.
struct SdlFrame {
  const Game* game;
  SDL_Surface* screen;
  SDL_Surface* background;
  std::vector<SDL_Surface*> tiles;
  SDL_Surface* sprite;

  SdlFrame(const Game* g, bool rle) : game(g) {
    screen = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 32, SDL_PIXELFORMAT_ARGB8888);
    background = surface_of(game->background_image, false, false);
    for (int n = 0; n < kLoadedTiles; ++n) tiles.push_back(surface_of(game->tile_images[n], true, rle));
    sprite = surface_of(game->sprite_images[0], true, rle);
    run();  // RLE surfaces are encoded on their first blit
  }
  ~SdlFrame() {
    for (SDL_Surface* t : tiles) SDL_FreeSurface(t);
    SDL_FreeSurface(sprite);
    SDL_FreeSurface(background);
    SDL_FreeSurface(screen);
  }
  SdlFrame(const SdlFrame&) = delete;
  SdlFrame& operator=(const SdlFrame&) = delete;

  void run() {
    SDL_FillRect(screen, nullptr, 0xFF000000u);
    SDL_Rect at{0, 0, 0, 0};
    SDL_BlitSurface(background, nullptr, screen, &at);
    for (int i = -1; i <= 20; ++i) {
      int column = game->camera.scroll_col + i;
      if (column < 0 || column >= kMapColumns) continue;
      for (int j = 0; j < kMapRows; ++j) {
        float cell = game->map.cells[j][column];
        if (!(cell > 0.0f) || cell > 9.5f) continue;
        SDL_Rect to{32 * i + game->camera.scroll_px, 32 * j, 0, 0};
        SDL_BlitSurface(tiles[size_t(std::lrint(cell))], nullptr, screen, &to);
      }
    }
    SDL_Rect to{game->player.x, game->player.y, 0, 0};
    SDL_BlitSurface(sprite, nullptr, screen, &to);
    benchmark::DoNotOptimize(screen->pixels);
    benchmark::ClobberMemory();
  }
};

void BM_GameFrame(benchmark::State& state) {
  Game* game = started_game();
  for (auto _ : state) {
    game_frame(game);
    benchmark::ClobberMemory();
  }
  state.counters["frames_per_second"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMicrosecond);

void BM_FrameFloor(benchmark::State& state) {
  Floor floor(started_game());
  for (auto _ : state) {
    floor.run();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FrameFloor)->Unit(benchmark::kMicrosecond);

void sdl_frame_bench(benchmark::State& state, bool rle) {
  SdlFrame frame(started_game(), rle);
  for (auto _ : state) frame.run();
  state.counters["frames_per_second"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(sdl_frame_bench, Sdl2Frame, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(sdl_frame_bench, Sdl2FrameRle, true)->Unit(benchmark::kMicrosecond);

void BM_FrameSideBySide(benchmark::State& state) {
  Game* game = started_game();
  Floor floor(game);
  SdlFrame sdl(game, false), sdl_rle(game, true);
  const int reps = 8;
  std::vector<double> ours, low, plain, rle;
  for (auto _ : state) {
    time_iteration(state, ours, reps, [&] { game_frame(game); });
    low.push_back(timed(reps, [&] { floor.run(); }));
    plain.push_back(timed(reps, [&] { sdl.run(); }));
    rle.push_back(timed(reps, [&] { sdl_rle.run(); }));
  }
  double o = median(ours), f = median(low), p = median(plain), r = median(rle);
  state.counters["frame_us"] = o * 1e6;
  state.counters["floor_us"] = f * 1e6;
  state.counters["sdl2_us"] = p * 1e6;
  state.counters["sdl2_rle_us"] = r * 1e6;
  state.counters["frame_per_floor"] = o / f;  // 1.0 is the floor
  state.counters["x_sdl2"] = p / o;           // how many times faster than SDL2
  state.counters["x_sdl2_rle"] = r / o;
}
BENCHMARK(BM_FrameSideBySide)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(0.5);

}  // namespace

BENCHMARK_MAIN();
