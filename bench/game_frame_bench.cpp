// One whole game frame on the null driver (flip, clear, background, visible
// tiles, player, head-up text) against the same picture built with SDL2
// software surfaces (fill, background blit, colour-key tile and sprite blits).
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "drivers/screen_state.h"
#include "game/game.h"
#include "gfx/image.h"
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

void BM_GameFrame(benchmark::State& state) {
  Game* game = started_game();
  for (auto _ : state) {
    game_frame(game);
    benchmark::ClobberMemory();
  }
  state.counters["frames_per_second"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMicrosecond);

// An SDL surface holding a copy of one of the game's loaded images.
SDL_Surface* surface_of(const ImageBuffer* image) {
  ImageInfo info = gfx_image_info(image);
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, info.width, info.height, 32, SDL_PIXELFORMAT_ARGB8888);
  SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_NONE);  // a copy, as the game's puts are
  for (int y = 0; y < info.height; ++y)
    std::memcpy(static_cast<uint8_t*>(s->pixels) + y * s->pitch, info.pixels + y * info.pitch, size_t(info.width) * 4);
  return s;
}

void BM_Sdl2Frame(benchmark::State& state) {
  Game* game = started_game();
  SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 32, SDL_PIXELFORMAT_ARGB8888);
  SDL_Surface* background = surface_of(game->background_image);
  std::vector<SDL_Surface*> tiles(kLoadedTiles);
  for (int n = 0; n < kLoadedTiles; ++n) {
    tiles[n] = surface_of(game->tile_images[n]);
    SDL_SetColorKey(tiles[n], SDL_TRUE, SDL_MapRGB(tiles[n]->format, 255, 0, 255));
  }
  SDL_Surface* sprite = surface_of(game->sprite_images[0]);
  SDL_SetColorKey(sprite, SDL_TRUE, SDL_MapRGB(sprite->format, 255, 0, 255));
  for (auto _ : state) {
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
        SDL_BlitSurface(tiles[std::lrint(cell)], nullptr, screen, &to);
      }
    }
    SDL_Rect to{game->player.x, game->player.y, 0, 0};
    SDL_BlitSurface(sprite, nullptr, screen, &to);
    benchmark::DoNotOptimize(screen->pixels);
    benchmark::ClobberMemory();
  }
  state.counters["frames_per_second"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  for (SDL_Surface* t : tiles) SDL_FreeSurface(t);
  SDL_FreeSurface(sprite);
  SDL_FreeSurface(background);
  SDL_FreeSurface(screen);
}
BENCHMARK(BM_Sdl2Frame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
