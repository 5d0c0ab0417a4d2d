// Starting and stopping on a real X server (Xvfb, started here): the game
// started again and again while both cores are busy, on a server that
// resets itself whenever its last client leaves; screens opened and closed
// in one process on every driver; no display at all; and the game soaked
// in a flood of keys and pointer motion on each thread driver.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "display_support.h"
#include "drivers/driver.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"

namespace {

using namespace display_test;

const std::string kNoDisplayLine = "zentravolk: no display driver could start";

std::string game_program() { return build_dir() + "/game/zentravolk"; }

// The visible window with exactly this title, looked for every 250 ms (each
// look is a client of the server too, so looking less often leaves the
// game alone with the server more of the time).
std::string window_id(const std::string& title, std::chrono::milliseconds limit = kPatience) {
  return visible_window(title, limit, "", 250ms);
}

// Holds Escape in the window until the program ends; its exit status.
int end_on_held_escape(Child& program, const std::string& id) {
  shell("xdotool windowfocus --sync " + id + " keydown Escape");
  int status = program.wait_exit(kPatience);
  shell("xdotool keyup Escape");
  return status;
}

class StartupDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    if (find_program("Xvfb").empty() || find_program("xdotool").empty()) GTEST_SKIP() << "no Xvfb or xdotool";
    unsetenv("ZQGFX");
  }
};

// Every start gets the X server, even when the driver tries before it left
// the server with no client for an instant: a start that lost it runs on an
// invisible back-end and never shows a window. How long a start takes is no
// part of it (the machine may be busier than the two loops here make it),
// so each start is given the patience of the other waits, and the first
// start without a window ends the run.
TEST_F(StartupDisplay, EveryStartUnderLoadShowsTheWindowAndEndsOnEscape) {
  XvfbServer server;
  ASSERT_TRUE(server.start("1024x768x24", true));
  const int starts = kSanitized ? 8 : 30;
  Child busy1({"/bin/sh", "-c", "while :; do :; done"}, "", false);
  Child busy2({"/bin/sh", "-c", "while :; do :; done"}, "", false);
  int shown = 0, ended = 0;
  std::string failures;
  for (int i = 1; i <= starts; ++i) {
    Child game({game_program()}, data_dir(), false);
    std::string id = window_id("Zentravolk");
    if (id.empty()) {
      failures += "start " + std::to_string(i) + ": no window\n" + game.errors();
      break;
    }
    ++shown;
    int status = end_on_held_escape(game, id);
    if (status == 0)
      ++ended;
    else
      failures += "start " + std::to_string(i) + ": status " + std::to_string(status) + "\n" + game.errors();
  }
  EXPECT_EQ(shown, starts) << failures;
  EXPECT_EQ(ended, starts) << failures;
}

// Without a display every driver refuses: no back-end that shows nothing
// is taken behind the player's back.
TEST_F(StartupDisplay, WithoutADisplayTheGameEndsWithItsOneLineWithinTwoSeconds) {
  const char* display = std::getenv("DISPLAY");
  std::string saved = display ? display : "";
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  unsetenv("SDL_VIDEODRIVER");
  auto started = Clock::now();
  Child game({game_program()}, data_dir(), false);
  int status = game.wait_exit(kSanitized ? 10000ms : 2000ms);
  auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
  EXPECT_EQ(status, 1) << game.errors();
  EXPECT_LT(took.count(), kSanitized ? 10000 : 2000);
  std::string errors = game.errors();
  // Each driver says why it refused.
  EXPECT_NE(errors.find(kNoDisplayLine + ": DirectX: no display (DISPLAY unset); GDI: no display (DISPLAY unset); "
                                         "OpenGL: only for screens opened with ZQ_OPEN_OPENGL\n"),
            std::string::npos)
      << errors;
  // What the user names is still taken: the screen opens on SDL's
  // invisible back-end.
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  Child probe({build_dir() + "/tools/display_check/display_probe", data_dir()}, "", true);
  std::string ready = probe.read_line(kSanitized ? 20000ms : 5000ms);
  EXPECT_EQ(ready.rfind("ready ", 0), 0u) << ready << probe.errors();
  unsetenv("SDL_VIDEODRIVER");
  if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1);
}

int thread_count() {
  int count = 0;
  if (DIR* d = opendir("/proc/self/task")) {
    while (dirent* e = readdir(d)) {
      if (e->d_name[0] != '.') ++count;
    }
    closedir(d);
  }
  return count;
}

// Screens opened and closed in one process, cycling DirectX, GDI and
// OpenGL, each opening first refused full screen (the server has no
// 640 x 480 mode) and then given a window: every window shows and goes
// again, no driver thread stays behind, and the sanitizer build finds
// nothing leaked at the end.
TEST_F(StartupDisplay, HundredScreenCyclesOnEveryDriverLoseNoWindowAndLeaveNoThread) {
  // The process keeps its connection to the server until it ends, so the
  // server must outlive it: it ends with the process.
  static XvfbServer* server = new XvfbServer;
  ASSERT_TRUE(server->start("1024x768x24", true));
  rt_init(0, nullptr, 1);
  gfx_set_window_title(rt_str_temp("Cycling", 7));
  const GfxDriver* drivers[3];
  std::copy(driver_list(), driver_list() + 3, drivers);
  int baseline = -1;
  for (int cycle = 0; cycle < 100; ++cycle) {
    // The screen opening is offered this one driver.
    const GfxDriver* only[] = {drivers[cycle % 3], nullptr};
    driver_set_list(only);
    const char* wanted = only[0]->name;
    int flags = std::strcmp(wanted, "OpenGL") == 0 ? 3 : 1;
    ASSERT_EQ(gfx_screen_res(640, 480, 32, 2, flags, 0), 0) << "cycle " << cycle;
    StringValue name{};
    gfx_screen_info(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &name);
    EXPECT_STREQ(rt_str_chars(&name), wanted) << "cycle " << cycle;
    rt_str_delete(&name);
    ASSERT_FALSE(window_id("Cycling").empty()) << "cycle " << cycle << " on " << wanted;
    gfx_screen(0, 0, 0, 0, 0);
    EXPECT_EQ(shell("xdotool search --onlyvisible --name '^Cycling$' 2>/dev/null"), "") << "cycle " << cycle;
    // The first round of all three may leave the system's own helpers
    // (the software OpenGL's workers); later ones add nothing.
    if (cycle == 2) baseline = thread_count();
    if (cycle > 2) {
      ASSERT_LE(thread_count(), baseline) << "cycle " << cycle << " on " << wanted;
    }
  }
  driver_set_list(nullptr);
}

// How long each driver is soaked: ZQ_SOAK_SECONDS, else long enough under
// ThreadSanitizer to cross many passes of the driver thread, and short in
// the other builds.
double soak_seconds() {
  const char* asked = std::getenv("ZQ_SOAK_SECONDS");
  if (asked && std::atof(asked) > 0) return std::atof(asked);
#if defined(__SANITIZE_THREAD__)
  return 15;
#else
  return 3;
#endif
}

// One xdotool command of random key taps and pointer moves in the window.
// Never Escape, and no modifier held, so nothing but the flood's end quits.
std::string flood_command(std::mt19937& random, const std::string& id) {
  static const char* keys[] = {"a",     "s",    "d",     "f",     "j",  "k",         "x",  "1",  "2",
                               "Left",  "Right", "Up",   "Down",  "space", "Return", "Tab", "BackSpace",
                               "Home",  "End",  "F1",    "F5",    "KP_5", "Insert",  "Delete"};
  std::string command = "xdotool";
  for (int i = 0; i < 40; ++i) {
    if (random() % 2) {
      command += std::string(" key --delay 1 ") + keys[random() % (sizeof keys / sizeof *keys)];
    } else {
      command += " mousemove --window " + id + " " + std::to_string(random() % 640) + " " +
                 std::to_string(random() % 480);
    }
  }
  return command + " 2>/dev/null";
}

class SoakThreads : public StartupDisplay {
 protected:
  static void soak(const char* driver) {
    XvfbServer server;
    ASSERT_TRUE(server.start());
    Child game({build_dir() + "/tools/display_check/display_probe", "--only", driver, "--main", data_dir()}, "",
               false);
    std::string id = window_id("Zentravolk");
    ASSERT_FALSE(id.empty()) << game.errors();
    shell("xdotool windowfocus --sync " + id);
    std::mt19937 random(20261207);
    auto end = Clock::now() + std::chrono::milliseconds(long(soak_seconds() * 1000));
    long floods = 0;
    while (Clock::now() < end && game.running()) {
      shell(flood_command(random, id));
      ++floods;
    }
    ASSERT_TRUE(game.running()) << "ended in the flood\n" << game.errors();
    EXPECT_EQ(end_on_held_escape(game, id), 0) << "after " << floods << " floods\n" << game.errors();
    std::string errors = game.errors();
    EXPECT_EQ(errors.find("ThreadSanitizer"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("runtime error"), std::string::npos) << errors;
  }
};

TEST_F(SoakThreads, DirectxTakesAFloodOfKeysAndMotionAndStillEndsOnEscape) { soak("DirectX"); }
TEST_F(SoakThreads, GdiTakesAFloodOfKeysAndMotionAndStillEndsOnEscape) { soak("GDI"); }

}  // namespace
