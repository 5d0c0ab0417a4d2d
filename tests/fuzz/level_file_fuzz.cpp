// libFuzzer target for the level file: the input bytes become
// "maps\mapa1.map" in a folder of the fuzzer's own. The game starts once on
// the Null driver; for each input it reads the level again, lets the player
// run right and jump over it with the ground probe reading the cells, and
// draws the level at the left end, the middle and the right end. Any cell
// value (not a number, infinities, huge, negative, denormal) must neither
// select an image outside the tile table nor write outside a buffer.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "drivers/screen_state.h"
#include "game/game.h"
#include "game/level.h"
#include "game/player.h"
#include "runtime/runtime.h"

namespace {

std::string folder;

void remove_folder() {
  unlink((folder + "/maps/mapa1.map").c_str());
  rmdir((folder + "/maps").c_str());
  rmdir(folder.c_str());
}

Game game;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("ZQGFX", "null", 1);
  char name[] = "/tmp/zq_level_fuzz_XXXXXX";
  if (!mkdtemp(name)) std::abort();
  folder = name;
  if (mkdir((folder + "/maps").c_str(), 0700) != 0 || chdir(folder.c_str()) != 0) std::abort();
  std::atexit(remove_folder);
  if (!game_startup(&game, 0, nullptr)) std::abort();  // reads an empty level
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen("maps/mapa1.map", "wb");
  if (!f) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);

  rt_file_close(1);  // the game leaves its level file open
  game.map = TileMap{};
  level_read(&game.map);
  player_reset(&game);
  game.camera = Camera{};
  for (int step = 0; step < 40; ++step) {
    screen_state->key_state[ZQ_SC_RIGHT] = 1;
    screen_state->key_state[ZQ_SC_SPACE] = step % 10 < 5;
    player_read_input(&game);
    player_update(&game);
  }
  for (int column : {0, 80, kMapColumns - 20}) {
    game.camera.scroll_col = column;
    game.camera.scroll_px = -4;
    level_draw(&game);
  }
  for (int row = -1; row <= kMapRows; ++row)
    for (int column = -1; column <= kMapColumns; ++column) level_cell_empty(&game.map, column, row);
  return 0;
}
