// Runs the game on whatever display driver the screen opening picks, and
// answers questions about it on standard input/output, so tests can compare
// what the window shows with what the game drew.
//
//   display_probe [--only <driver>] <data dir>            run until Escape, reading commands
//   display_probe [--only <driver>] <data dir> <seconds>  run that long, then print the frames
//
//   display_probe [--only <driver>] --main <data dir>     the game's own entry, as the program runs it
//
// --only offers the screen opening just that driver (by name), so the game
// runs on it or not at all.
// It prints "ready" and the driver's name once the game has started.
// Commands, one a line: "state" prints the player's level position, the
// frame limit and the frames-per-second figure of the head-up line; "freeze
// <file>" stops drawing and writes the visible page to the file as 8-bit
// RGB triples; "thaw" draws again; "mode" tells whether the screen is a
// "window" or "full screen"; "focus" prints "focus <1 or 0> <n>": whether
// the window has the keyboard focus by the last focus event, and how many
// times it got the focus so far. After Escape it closes the screen and
// prints the threads the process still has, and those it had at start.
#include <poll.h>
#include <strings.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "drivers/driver.h"
#include "drivers/window.h"
#include "game/game.h"
#include "gfx/draw/context.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "zentravolk/events.h"

namespace {

bool frozen = false;
std::string pending_input;
// The focus as the window's events told it (the game reads no events).
int focused = 0, focus_ins = 0;

void reply(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

void print_state(const Game& game) {
  const Player& p = game.player;
  long long level_x = (long long)p.x + 32LL * game.camera.scroll_col - game.camera.scroll_px;
  char line[160];
  std::snprintf(line, sizeof line, "state x=%lld y=%d ground=%d period=%.2f fps=%d", level_x, p.y, p.ground_y,
                game.clock.frame_period, game.clock.fps_shown);
  reply(line);
}

// The visible page as RGB bytes, read under the screen lock.
bool dump_visible_page(const std::string& path) {
  ScreenState* s = screen_state;
  std::vector<uint8_t> rgb(size_t(s->width) * size_t(s->height) * 3);
  {
    GfxScreenLock lock;
    for (int y = 0; y < s->height; ++y) {
      const uint8_t* row = s->visible_pixels + size_t(y) * size_t(s->pitch);
      for (int x = 0; x < s->width; ++x) {
        uint32_t v;
        std::memcpy(&v, row + 4 * x, 4);
        uint8_t* out = &rgb[(size_t(y) * size_t(s->width) + size_t(x)) * 3];
        out[0] = uint8_t(v >> 16);
        out[1] = uint8_t(v >> 8);
        out[2] = uint8_t(v);
      }
    }
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(rgb.data(), 1, rgb.size(), f) == rgb.size();
  return std::fclose(f) == 0 && ok;
}

void run_command(const Game& game, const std::string& line) {
  if (line == "state") {
    print_state(game);
  } else if (line.rfind("freeze ", 0) == 0) {
    frozen = true;
    reply(dump_visible_page(line.substr(7)) ? "frozen" : "error");
  } else if (line == "mode") {
    // Whether the window layer's screen is full screen or a window.
    const WindowState* window = win_state();
    bool full_screen = screen_state->driver != &null_driver && window && (window->flags & ZQ_OPEN_FULLSCREEN);
    reply(full_screen ? "mode full screen" : "mode window");
  } else if (line == "focus") {
    reply("focus " + std::to_string(focused) + " " + std::to_string(focus_ins));
  } else if (line == "thaw") {
    frozen = false;
    reply("thawed");
  }
}

// Takes whatever commands and focus events have arrived, without waiting.
void read_commands(const Game& game) {
  InputEvent event;
  while (gfx_poll_event(&event) == ZQ_OK) {
    if (event.type == ZQ_EVENT_FOCUS_IN || event.type == ZQ_EVENT_FOCUS_OUT) focused = event.type == ZQ_EVENT_FOCUS_IN;
    focus_ins += event.type == ZQ_EVENT_FOCUS_IN;
  }
  pollfd input{STDIN_FILENO, POLLIN, 0};
  while (poll(&input, 1, 0) == 1 && (input.revents & POLLIN)) {
    char buffer[256];
    ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) break;
    pending_input.append(buffer, size_t(n));
  }
  size_t end;
  while ((end = pending_input.find('\n')) != std::string::npos) {
    std::string line = pending_input.substr(0, end);
    pending_input.erase(0, end + 1);
    run_command(game, line);
  }
}

// Threads of the process, by name.
std::string thread_names() {
  std::string names;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(entry.path() / "comm");
    std::string name;
    std::getline(comm, name);
    names += (names.empty() ? "" : ",") + name;
  }
  return names;
}

}  // namespace

// Leaves only the named driver in the list the screen opening tries.
bool offer_only(const char* name) {
  static const GfxDriver* only[2] = {};
  for (const GfxDriver* const* d = driver_list(); *d; ++d)
    if (strcasecmp((*d)->name, name) == 0) only[0] = *d;
  if (!only[0]) return false;
  driver_set_list(only);
  return true;
}

int main(int argc, char** argv) {
  if (argc > 2 && std::strcmp(argv[1], "--only") == 0) {
    if (!offer_only(argv[2])) {
      std::fprintf(stderr, "display_probe: no driver %s\n", argv[2]);
      return 2;
    }
    argv += 2;
    argc -= 2;
  }
  bool whole_game = argc > 1 && std::strcmp(argv[1], "--main") == 0;
  if (whole_game) {
    ++argv;
    --argc;
  }
  if (argc < 2 || chdir(argv[1]) != 0) {
    std::fprintf(stderr, "usage: display_probe [--only <driver>] [--main] <data dir> [seconds]\n");
    return 2;
  }
  if (whole_game) game_main(1, argv);
  // ThreadSanitizer starts a helper thread with the program's first thread;
  // start one now so the count taken here already includes it.
  std::thread([] {}).join();
  std::string threads_before = thread_names();
  static Game game;
  if (!game_startup(&game, 1, argv)) {
    std::fprintf(stderr, "display_probe: no display driver could start\n");
    return 1;
  }
  if (argc > 2) {
    // Frames per second of the unlimited loop, as the head-up line counts them.
    double seconds = std::atof(argv[2]);
    long frames = 0;
    double start = rt_timer();
    while (rt_timer() - start < seconds) {
      game_frame(&game);
      ++frames;
    }
    reply("frames " + std::to_string(frames) + " seconds " + std::to_string(rt_timer() - start));
    gfx_screen(0, 0, 0, 0, 0);
    return 0;
  }
  reply(std::string("ready ") + screen_state->driver->name);
  while (!game_escape_held()) {
    read_commands(game);
    if (!frozen && game_frame_due(&game)) game_frame(&game);
  }
  reply("escape");
  gfx_screen(0, 0, 0, 0, 0);
  reply("threads " + thread_names() + " of " + threads_before);
  rt_end(0);
}
