// Runs the game headless on the null driver with a clock that advances one
// sixtieth of a second per frame and scripted keys, and saves chosen frames
// as PNG and BMP files through the library's own gfx_save_image.
//
//   frame_tool <data dir> <output dir> <script> [simulated]
//
// With "simulated", the keys are played through gfx_simulate_key, as the
// display driver's window layer would take them from a keyboard, instead of
// being set in the key state directly; the frames must be the same.
//
// The script is a list of words: "R", "L", "J" (Space) and "F" hold those
// keys for one frame ("RJ" holds both, "." holds none); "*N" after a word
// repeats it N frames; "@name" saves the last frame drawn as name.png and
// name.bmp.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "drivers/screen_state.h"
#include "game/game.h"
#include "gfx/input/input.h"
#include "runtime/runtime.h"
#include "zentravolk/image.h"

static int64_t frame_clock = 0;

static const RtClockSource kFrameClock = {
    [] { return int64_t(60); },
    [] { return frame_clock; },
    [] { return uint32_t(frame_clock * 1000 / 60); },
};

static bool simulated = false;

static void hold_keys(const std::string& keys) {
  struct {
    char name;
    int scancode;
  } const map[] = {{'R', ZQ_SC_RIGHT}, {'L', ZQ_SC_LEFT}, {'J', ZQ_SC_SPACE}};
  for (auto [name, scancode] : map) {
    const bool held = keys.find(name) != std::string::npos;
    if (!simulated)
      screen_state->key_state[scancode] = held ? 1 : 0;
    else if (held != (gfx_multikey(scancode) != 0))
      gfx_simulate_key(scancode, held);
  }
  if (keys.find('F') == std::string::npos) return;
  if (!simulated) {
    gfx_post_key('f');
    return;
  }
  gfx_simulate_key(ZQ_SC_F, 1);  // types the f
  gfx_simulate_key(ZQ_SC_F, 0);
}

int main(int argc, char** argv) {
  simulated = argc == 5 && std::string(argv[4]) == "simulated";
  if (argc != 4 && !simulated) {
    std::fprintf(stderr, "usage: frame_tool <data dir> <output dir> <script> [simulated]\n");
    return 2;
  }
  std::string out_dir = argv[2];
  if (out_dir[0] != '/') {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd)) out_dir = std::string(cwd) + "/" + out_dir;
  }
  if (chdir(argv[1]) != 0) {
    std::fprintf(stderr, "frame_tool: cannot enter %s\n", argv[1]);
    return 2;
  }
  setenv("ZQGFX", "null", 1);
  rt_set_clock_source(&kFrameClock);
  static Game game;
  if (!game_startup(&game, 1, argv)) {
    std::fprintf(stderr, "frame_tool: the screen could not be opened\n");
    return 1;
  }
  std::istringstream words(argv[3]);
  std::string word;
  while (words >> word) {
    if (word[0] == '@') {
      const int shown = game.work_page ^ 1;
      const std::string base = out_dir + "/" + word.substr(1);
      for (const char* extension : {".png", ".bmp"})
        if (gfx_save_image((base + extension).c_str(), nullptr, shown, 0) != 0) {
          std::fprintf(stderr, "frame_tool: %s\n", rt_error_detail());
          return 1;
        }
      continue;
    }
    size_t star = word.find('*');
    int count = star == std::string::npos ? 1 : std::atoi(word.c_str() + star + 1);
    std::string keys = word.substr(0, star);
    for (int i = 0; i < count; ++i) {
      ++frame_clock;
      hold_keys(keys);
      game_frame(&game);
    }
  }
  rt_end(0);
}
