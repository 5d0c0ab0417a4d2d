// Scaled screens in a real X server: a 1920 x 1080 Xvfb of the suite's own
// with a window manager (openbox), on the DirectX and GDI drivers. With
// ZQSCALE=auto a screen's window opens at the largest whole factor that fits,
// every k x k block of what the window shows is the page pixel it stands for,
// resizes keep whole factors between black bars, Alt+Enter is the desktop's
// full screen without a mode change and back, and the pointer is mapped
// through the scale both ways. The game, which asks for full screen first,
// opens the desktop's full screen with its picture centred. On OpenGL the
// demo's picture is drawn sharp (every k x k block one colour) in the same
// places.
//
// With ZQ_SCALE_SHOTS naming a folder, the window is saved there as a PNG
// after each resize (for a reader to look at).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>

#include "display_support.h"

namespace {

using namespace display_test;

constexpr int kDesktopWidth = 1920, kDesktopHeight = 1080;

struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;
};

// The window's client area on the desktop.
Geometry geometry(const std::string& id) {
  std::string info = shell("xwininfo -id " + id);
  Geometry g;
  std::smatch m;
  if (std::regex_search(info, m, std::regex("Absolute upper-left X: +(-?\\d+)"))) g.x = std::stoi(m[1]);
  if (std::regex_search(info, m, std::regex("Absolute upper-left Y: +(-?\\d+)"))) g.y = std::stoi(m[1]);
  if (std::regex_search(info, m, std::regex("Width: +(\\d+)"))) g.width = std::stoi(m[1]);
  if (std::regex_search(info, m, std::regex("Height: +(\\d+)"))) g.height = std::stoi(m[1]);
  return g;
}

std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// A picture of the page (RGB triples, width x height) shown at factor k with
// its top-left corner at (left, top) of the window.
struct Expected {
  const std::string& page;
  int width, height, k, left, top;
};

// Pixels of the window's client area (the part on the desktop) that differ
// from the picture expected: the page's pixel inside the picture, black on
// the bars.
size_t differences(const std::string& root, const Geometry& window, const Expected& e) {
  size_t differing = 0;
  for (int y = 0; y < window.height; ++y) {
    const int ry = window.y + y;
    if (ry < 0 || ry >= kDesktopHeight) continue;
    for (int x = 0; x < window.width; ++x) {
      const int rx = window.x + x;
      if (rx < 0 || rx >= kDesktopWidth) continue;
      const char* shown = &root[(size_t(ry) * kDesktopWidth + size_t(rx)) * 3];
      const int px = x - e.left, py = y - e.top;
      static const char black[3] = {0, 0, 0};
      const char* want = black;
      if (px >= 0 && py >= 0 && px < e.width * e.k && py < e.height * e.k)
        want = &e.page[(size_t(py / e.k) * size_t(e.width) + size_t(px / e.k)) * 3];
      if (std::memcmp(shown, want, 3) != 0) ++differing;
    }
  }
  return differing;
}

class ScaledDisplay : public ::testing::TestWithParam<const char*> {
 protected:
  static void SetUpTestSuite() {
    if (find_program("Xvfb").empty() || find_program("openbox").empty()) return;
    server = new XvfbServer;
    if (!server->start(std::to_string(kDesktopWidth) + "x" + std::to_string(kDesktopHeight) + "x24")) {
      delete server;
      server = nullptr;
      return;
    }
    // The manager is ready once it runs its start-up command: it has then
    // taken the root window and gone through the windows already there. A
    // window mapped while it is still starting may never be shown, and the
    // program mapping it then waits for ever.
    char ready[] = "/tmp/zq_openbox_ready_XXXXXX";
    close(mkstemp(ready));
    std::remove(ready);
    window_manager = new Child({find_program("openbox"), "--startup", "touch " + std::string(ready)}, "", false);
    wait_until([&ready] { return file_exists(ready); });
    std::remove(ready);
  }
  static void TearDownTestSuite() {
    delete window_manager;
    window_manager = nullptr;
    delete server;
    server = nullptr;
  }
  void SetUp() override {
    if (find_program("Xvfb").empty()) GTEST_SKIP() << "Xvfb is not installed";
    if (find_program("openbox").empty()) GTEST_SKIP() << "openbox is not installed";
    ASSERT_NE(server, nullptr) << "Xvfb did not start";
    setenv("DISPLAY", server->display().c_str(), 1);
    setenv("ZQSCALE", "auto", 1);
    setenv("ZQGFX", GetParam(), 1);
  }
  void TearDown() override {
    unsetenv("ZQSCALE");
    unsetenv("ZQGFX");
  }

  // The probe with a screen of that size, ready (its window: `id`).
  std::unique_ptr<Child> start_probe(int width, int height, std::string* id) {
    auto probe = std::make_unique<Child>(
        std::vector<std::string>{build_dir() + "/tools/display_check/scale_probe", std::to_string(width),
                                 std::to_string(height)},
        "", true);
    EXPECT_EQ(probe->read_line(kPatience), std::string("ready ") + GetParam()) << probe->errors();
    *id = visible_window("scale_probe");
    return probe;
  }
  // Whether the probe's window has the focus, got for the time after the
  // `before`th.
  static bool focused(Child& probe, int before = 0) {
    int focused = 0, focus_ins = 0;
    const std::string answer = ask(probe, "focus", "focus ");
    return std::sscanf(answer.c_str(), "focus %d %d", &focused, &focus_ins) == 2 && focused && focus_ins > before;
  }
  // Waits until the probe's window has the focus (the window manager gives
  // a new window the focus, and the driver takes it in a while after the
  // server): keys and pointer moves before then may be lost. Whether it
  // came.
  static bool wait_for_focus(Child& probe) {
    return wait_until([&probe] { return focused(probe); });
  }
  // Alt+Enter in the program's window once the driver has its focus; the
  // window it is made anew as (titled `title`), once that has the focus.
  // The driver may show a window and make it again at once when its
  // renderer wants another kind, so the one found is also the one the
  // server gives the focus to.
  static std::string after_alt_enter(Child& probe, const std::string& id, const std::string& title) {
    shell("xdotool windowfocus --sync " + id);
    if (!wait_for_focus(probe)) return "";
    const int before = focus_count(probe);
    shell("xdotool key alt+Return");
    std::string remade;
    wait_until([&] {
      if (!focused(probe, before)) return false;
      const std::string focus = shell("xdotool getwindowfocus 2>/dev/null");
      remade = visible_window(title, 0ms, id);
      return !remade.empty() && focus == remade + "\n";
    });
    return remade;
  }
  // How many times the probe's window got the focus so far.
  static int focus_count(Child& probe) {
    int focused = 0, focus_ins = 0;
    std::sscanf(ask(probe, "focus", "focus ").c_str(), "focus %d %d", &focused, &focus_ins);
    return focus_ins;
  }
  static void quit(Child& probe) {
    probe.send("quit");
    EXPECT_EQ(probe.wait_exit(kPatience), 0) << probe.errors();
  }
  // The page as the probe reads it back.
  static std::string page(Child& probe) {
    char path[] = "/tmp/zq_scaled_page_XXXXXX";
    close(mkstemp(path));
    probe.send(std::string("dump ") + path);
    EXPECT_EQ(probe.read_line(), "dumped") << probe.errors();
    std::string rgb = read_file(path);
    std::remove(path);
    return rgb;
  }
  // Waits until the window shows the picture expected (the window manager
  // and the driver may be slow on a loaded machine) and, when `place` is
  // given, stands there at that size too; the differences left.
  static size_t settle(const std::string& id, const Expected& e, Geometry* seen = nullptr,
                       const Geometry* place = nullptr) {
    size_t left = 0;
    wait_until(
        [&] {
          const Geometry g = geometry(id);
          if (seen) *seen = g;
          left = differences(shell("import -window root -depth 8 rgb:- 2>/dev/null"), g, e);
          // A window elsewhere or gone counts as one difference at least.
          if (place && !(g.x == place->x && g.y == place->y && g.width == place->width && g.height == place->height))
            left = std::max<size_t>(left, 1);
          return left == 0;
        },
        kPatience, 100ms);
    return left;
  }
  static void keep_shot(const std::string& id, const std::string& name) {
    const char* folder = std::getenv("ZQ_SCALE_SHOTS");
    if (!folder) return;
    const Geometry g = geometry(id);
    shell("import -window root -crop " + std::to_string(g.width) + "x" + std::to_string(g.height) + "+" +
          std::to_string(g.x) + "+" + std::to_string(g.y) + " +repage '" + folder + "/" + name + ".png'");
  }
  static void resize(const std::string& id, int width, int height) {
    shell("xdotool windowmove --sync " + id + " 0 0 windowsize --sync " + id + " " + std::to_string(width) + " " +
          std::to_string(height));
  }
  static std::string ask(Child& probe, const std::string& command, const std::string& answer) {
    probe.send(command);
    return probe.read_until(answer);
  }
  // The probe's "event ..." lines since it was last asked.
  static std::vector<std::string> events(Child& probe) {
    probe.send("events");
    std::vector<std::string> lines;
    for (std::string line; !(line = probe.read_line()).empty() && line != "end";) lines.push_back(line);
    return lines;
  }
  // The events as a failing check's message shows them.
  static std::string listed(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    return all;
  }

  static inline XvfbServer* server = nullptr;
  static inline Child* window_manager = nullptr;
};

TEST_P(ScaledDisplay, WindowsOpenAtTheLargestFactorAndEachBlockIsItsPagePixel) {
  const struct {
    int width, height, k;
  } cases[] = {{640, 480, 2}, {320, 200, 4}};
  for (const auto& c : cases) {
    std::string id;
    auto started = start_probe(c.width, c.height, &id);
    Child& probe = *started;
    ASSERT_FALSE(id.empty()) << probe.errors();
    const std::string rgb = page(probe);
    ASSERT_EQ(rgb.size(), size_t(c.width) * size_t(c.height) * 3);
    Geometry g;
    EXPECT_EQ(settle(id, {rgb, c.width, c.height, c.k, 0, 0}, &g), 0u) << c.width << " x " << c.height;
    EXPECT_EQ(g.width, c.width * c.k);
    EXPECT_EQ(g.height, c.height * c.k);
    quit(probe);
  }
}

TEST_P(ScaledDisplay, ResizesShowTheLargestWholeFactorCentredBetweenBlackBars) {
  std::string id;
  auto started = start_probe(640, 480, &id);
  Child& probe = *started;
  ASSERT_FALSE(id.empty()) << probe.errors();
  const std::string rgb = page(probe);
  EXPECT_EQ(settle(id, {rgb, 640, 480, 2, 0, 0}), 0u);
  keep_shot(id, std::string(GetParam()) + "-1280x960");
  resize(id, 1000, 900);
  Geometry g;
  EXPECT_EQ(settle(id, {rgb, 640, 480, 1, 180, 210}, &g), 0u);
  EXPECT_EQ(g.width, 1000);
  EXPECT_EQ(g.height, 900);
  keep_shot(id, std::string(GetParam()) + "-1000x900");
  resize(id, 1920, 1000);
  EXPECT_EQ(settle(id, {rgb, 640, 480, 2, 320, 20}, &g), 0u);
  EXPECT_EQ(g.width, 1920);
  EXPECT_EQ(g.height, 1000);
  keep_shot(id, std::string(GetParam()) + "-1920x1000");
  quit(probe);
}

TEST_P(ScaledDisplay, AltEnterIsTheDesktopsFullScreenWithoutAModeChangeAndBack) {
  std::string id;
  auto started = start_probe(640, 480, &id);
  Child& probe = *started;
  ASSERT_FALSE(id.empty()) << probe.errors();
  const std::string rgb = page(probe);
  resize(id, 1000, 900);
  Geometry before;
  ASSERT_EQ(settle(id, {rgb, 640, 480, 1, 180, 210}, &before), 0u);
  id = after_alt_enter(probe, id, "scale_probe");
  ASSERT_FALSE(id.empty()) << probe.errors();
  Geometry g;
  const Geometry desktop{0, 0, kDesktopWidth, kDesktopHeight};
  EXPECT_EQ(settle(id, {rgb, 640, 480, 2, 320, 60}, &g, &desktop), 0u) << listed(events(probe));
  EXPECT_EQ(g.x, 0);
  EXPECT_EQ(g.y, 0);
  EXPECT_EQ(g.width, kDesktopWidth);
  EXPECT_EQ(g.height, kDesktopHeight);
  EXPECT_NE(shell("xdpyinfo").find("dimensions:    1920x1080 pixels"), std::string::npos);
  keep_shot(id, std::string(GetParam()) + "-full-screen");
  // Back: the window at its last size and place.
  id = after_alt_enter(probe, id, "scale_probe");
  ASSERT_FALSE(id.empty()) << probe.errors();
  EXPECT_EQ(settle(id, {rgb, 640, 480, 1, 180, 210}, &g, &before), 0u) << listed(events(probe));
  EXPECT_EQ(g.width, 1000);
  EXPECT_EQ(g.height, 900);
  EXPECT_EQ(g.x, before.x);
  EXPECT_EQ(g.y, before.y);
  quit(probe);
}

TEST_P(ScaledDisplay, PointerIsMappedThroughTheScaleAndBarsAreOutside) {
  std::string id;
  auto started = start_probe(640, 480, &id);
  Child& probe = *started;
  ASSERT_FALSE(id.empty()) << probe.errors();
  resize(id, 1920, 1000);  // 2 x at (320, 20)
  const std::string rgb = page(probe);
  ASSERT_EQ(settle(id, {rgb, 640, 480, 2, 320, 20}), 0u);
  // Motion counts only while the window has the focus.
  shell("xdotool windowfocus --sync " + id);
  ASSERT_TRUE(wait_for_focus(probe)) << probe.errors();
  const struct {
    int window_x, window_y;
    std::string answer;
  } points[] = {{320, 20, "mouse 0 0 0"},       {325, 23, "mouse 0 2 1"},     {1599, 979, "mouse 0 639 479"},
                {1000, 500, "mouse 0 340 240"}, {319, 500, "mouse 1 -1 -1"},  {1600, 500, "mouse 1 -1 -1"},
                {800, 10, "mouse 1 -1 -1"}};
  for (const auto& p : points) {
    shell("xdotool mousemove --window " + id + " " + std::to_string(p.window_x) + " " + std::to_string(p.window_y));
    std::string answer;
    wait_until([&] { return (answer = ask(probe, "mouse", "mouse ")) == p.answer; });
    EXPECT_EQ(answer, p.answer) << "window point " << p.window_x << "," << p.window_y;
  }
  // The last move came as a mouse event in screen pixels. Its point reads
  // as the one before it did (both are off the picture), so the event is
  // waited for.
  std::string last_move;
  wait_until([&] {
    for (const std::string& line : events(probe))
      if (line.rfind("event 4 ", 0) == 0 || line.rfind("event 9 ", 0) == 0) last_move = line;
    return last_move.rfind("event 4 240 -5 ", 0) == 0;
  });
  EXPECT_EQ(last_move.substr(0, 14), "event 4 240 -5"); // (800, 10): above the picture
  // Setting the pointer puts it on the middle of the pixel's block.
  EXPECT_EQ(ask(probe, "set 10 20", "set"), "set");
  const Geometry g = geometry(id);
  std::string expected = "x:" + std::to_string(g.x + 320 + 21) + " y:" + std::to_string(g.y + 20 + 41);
  std::string location;
  wait_until([&] { return (location = shell("xdotool getmouselocation")).rfind(expected, 0) == 0; });
  EXPECT_EQ(location.substr(0, expected.size()), expected);
  quit(probe);
}

TEST_P(ScaledDisplay, GameOpensTheDesktopsFullScreenWithItsPictureCentred) {
  Child game({build_dir() + "/tools/display_check/display_probe", "--only", GetParam(), data_dir()}, "", true);
  ASSERT_EQ(game.read_line(kPatience), std::string("ready ") + GetParam()) << game.errors();
  std::string id = visible_window("Zentravolk");
  ASSERT_FALSE(id.empty());
  EXPECT_EQ(ask(game, "mode", "mode "), "mode full screen");
  std::this_thread::sleep_for(300ms);
  char path[] = "/tmp/zq_scaled_game_XXXXXX";
  close(mkstemp(path));
  game.send(std::string("freeze ") + path);
  ASSERT_EQ(game.read_line(), "frozen") << game.errors();
  const std::string rgb = read_file(path);
  std::remove(path);
  Geometry g;
  EXPECT_EQ(settle(id, {rgb, 640, 480, 2, 320, 60}, &g), 0u);
  EXPECT_EQ(g.width, kDesktopWidth);
  EXPECT_EQ(g.height, kDesktopHeight);
  // Alt+Enter: a 1280 x 960 window.
  id = after_alt_enter(game, id, "Zentravolk");
  ASSERT_FALSE(id.empty()) << game.errors();
  EXPECT_EQ(ask(game, "mode", "mode "), "mode window");
  EXPECT_EQ(settle(id, {rgb, 640, 480, 2, 0, 0}, &g), 0u);
  EXPECT_EQ(g.width, 1280);
  EXPECT_EQ(g.height, 960);
  shell("xdotool windowfocus --sync " + id + " keydown Escape");
  EXPECT_EQ(game.read_until("escape"), "escape");
  shell("xdotool keyup Escape");
  EXPECT_EQ(game.wait_exit(kPatience), 0) << game.errors();
}

INSTANTIATE_TEST_SUITE_P(Drivers, ScaledDisplay, ::testing::Values("DirectX", "GDI"));

// Pixels of a window showing a picture drawn with OpenGL (640 x 480, a dark
// blue ground) at factor k from (left, top) that break the rules: a k x k
// block not of one colour, the picture's corner not the ground's colour, a
// bar pixel not black.
size_t unsharp(const std::string& root, const Geometry& window, int k, int left, int top) {
  const auto at = [&root, &window](int x, int y) -> const char* {
    const int rx = window.x + x, ry = window.y + y;
    if (rx < 0 || ry < 0 || rx >= kDesktopWidth || ry >= kDesktopHeight) return nullptr;
    return &root[(size_t(ry) * kDesktopWidth + size_t(rx)) * 3];
  };
  size_t wrong = 0;
  static const char black[3] = {0, 0, 0};
  for (int y = 0; y < window.height; ++y)
    for (int x = 0; x < window.width; ++x) {
      const char* shown = at(x, y);
      if (!shown) continue;
      const int px = x - left, py = y - top;
      if (px < 0 || py < 0 || px >= 640 * k || py >= 480 * k) {
        wrong += std::memcmp(shown, black, 3) != 0;
      } else if (const char* block = at(left + px / k * k, top + py / k * k)) {
        wrong += std::memcmp(shown, block, 3) != 0;
      }
    }
  const char* corner = at(left, top);
  const unsigned char ground[3] = {26, 51, 102};
  for (int c = 0; corner && c < 3; ++c) wrong += std::abs(int(uint8_t(corner[c])) - int(ground[c])) > 2;
  return wrong;
}

class ScaledOpenGl : public ScaledDisplay {
 protected:
  // Waits for the window to show the picture that way.
  static size_t settle_sharp(const std::string& id, int k, int left, int top, Geometry* seen) {
    size_t left_over = 0;
    wait_until(
        [&] {
          *seen = geometry(id);
          left_over = unsharp(shell("import -window root -depth 8 rgb:- 2>/dev/null"), *seen, k, left, top);
          return left_over == 0;
        },
        kPatience, 100ms);
    return left_over;
  }
};

TEST_P(ScaledOpenGl, PictureIsDrawnSharpAtWholeFactorsBetweenBarsAndInTheDesktopsFullScreen) {
  Child demo({build_dir() + "/examples/opengl_demo"}, "", false);
  std::string id = visible_window("opengl_demo");
  ASSERT_FALSE(id.empty()) << demo.errors();
  Geometry g;
  EXPECT_EQ(settle_sharp(id, 2, 0, 0, &g), 0u);
  EXPECT_EQ(g.width, 1280);
  EXPECT_EQ(g.height, 960);
  resize(id, 1000, 900);
  EXPECT_EQ(settle_sharp(id, 1, 180, 210, &g), 0u);
  EXPECT_EQ(g.width, 1000);
  resize(id, 1920, 1000);
  EXPECT_EQ(settle_sharp(id, 2, 320, 20, &g), 0u);
  EXPECT_EQ(g.width, 1920);
  shell("xdotool windowfocus --sync " + id + " key alt+Return");
  id = visible_window("opengl_demo", kPatience, id);  // the window is made anew
  ASSERT_FALSE(id.empty());
  EXPECT_EQ(settle_sharp(id, 2, 320, 60, &g), 0u);
  EXPECT_EQ(g.width, kDesktopWidth);
  EXPECT_EQ(g.height, kDesktopHeight);
  shell("xdotool windowfocus --sync " + id + " keydown Escape");
  EXPECT_EQ(demo.wait_exit(kPatience), 0) << demo.errors();
  shell("xdotool keyup Escape");
}

INSTANTIATE_TEST_SUITE_P(Drivers, ScaledOpenGl, ::testing::Values("OpenGL"));

}  // namespace
