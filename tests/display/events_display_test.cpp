// Events from a real window (Xvfb, started here), on each of the three real
// drivers: keys, pointer motion, buttons, the wheel and the close request
// sent with xdotool come out of the event queue in order with their
// fields, as the event probe prints them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <tuple>

#include "display_support.h"
#include "zentravolk/events.h"

namespace {

using namespace display_test;
using Event = std::array<int, 5>;

struct Driver {
  const char* zqgfx;     // the driver tried first
  const char* argument;  // the probe's argument
  const char* name;      // the driver the probe must be on
};

class WindowEventsThreads : public ::testing::TestWithParam<Driver> {
 protected:
  static void SetUpTestSuite() { server.reset(start_suite_server()); }
  static void TearDownTestSuite() { server.reset(); }
  void SetUp() override {
    if (find_program("Xvfb").empty() || find_program("xdotool").empty())
      GTEST_SKIP() << "Xvfb or xdotool is not installed";
    ASSERT_NE(server, nullptr) << "Xvfb did not start";
    setenv("ZQGFX", GetParam().zqgfx, 1);
    // As for the other display tests: Mesa's exit-time leftovers cannot be
    // told from the library's in a sanitized child.
    const char* lsan = std::getenv("LSAN_OPTIONS");
    setenv("LSAN_OPTIONS", (std::string(lsan ? lsan : "") + (lsan ? ":" : "") + "detect_leaks=0").c_str(), 1);
  }
  void TearDown() override { unsetenv("ZQGFX"); }

  static void xdotool(const std::string& arguments) {
    shell("xdotool " + arguments);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));  // one driver pass and more
  }
  // The probe's lines up to the release of Escape.
  static std::vector<Event> read_events(Child& probe) {
    std::vector<Event> events;
    for (;;) {
      std::string line = probe.read_until("event ", std::chrono::milliseconds(8000));
      Event e{};
      if (std::sscanf(line.c_str(), "event %d %d %d %d %d", &e[0], &e[1], &e[2], &e[3], &e[4]) != 5) break;
      events.push_back(e);
      if (e[0] == ZQ_EVENT_KEY_RELEASE && e[1] == ZQ_SC_ESCAPE) break;
    }
    return events;
  }

  static inline std::unique_ptr<XvfbServer> server;
};

void PrintTo(const Driver& driver, std::ostream* out) { *out << driver.name; }

// The number after the key in a shell command's "KEY=value" lines.
int shell_number(const std::string& command, const std::string& key) {
  const std::string out = "\n" + shell(command);
  const size_t at = out.find("\n" + key);
  return at == std::string::npos ? -1 : std::atoi(out.c_str() + at + 1 + key.size());
}

// The events of the given types, their type and first two values.
std::vector<std::tuple<int, int, int>> only(const std::vector<Event>& events, std::initializer_list<int> types) {
  std::vector<std::tuple<int, int, int>> kept;
  for (const Event& e : events)
    if (std::find(types.begin(), types.end(), e[0]) != types.end()) kept.emplace_back(e[0], e[1], e[2]);
  return kept;
}

TEST_P(WindowEventsThreads, KeysPointerButtonsWheelAndCloseComeOutInOrder) {
  Child probe({build_dir() + "/tools/display_check/event_probe", GetParam().argument}, "", true);
  ASSERT_EQ(probe.read_line(std::chrono::milliseconds(15000)), std::string("ready ") + GetParam().name)
      << probe.errors();
  const std::string id = visible_window("event_probe");
  ASSERT_FALSE(id.empty()) << probe.errors();

  // The pointer starts in the middle of the window and moves as a device
  // moves it; the second move has a last position to measure from.
  shell("xdotool mousemove --window " + id + " 160 120");
  shell("xdotool windowfocus --sync " + id);
  xdotool("mousemove_relative -- 7 5");
  xdotool("mousemove_relative -- 20 -10");
  const int pointer_x = shell_number("xdotool getmouselocation --shell", "X=");
  const int pointer_y = shell_number("xdotool getmouselocation --shell", "Y=");
  const int window_x = shell_number("xdotool getwindowgeometry --shell " + id, "X=");
  const int window_y = shell_number("xdotool getwindowgeometry --shell " + id, "Y=");
  xdotool("key a");
  xdotool("key Right");
  xdotool("click 1");
  xdotool("click 3");
  xdotool("click 4");
  xdotool("click 5");
  ASSERT_EQ(std::system(("'" + build_dir() + "/tools/display_check/x_close' " + id).c_str()), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  xdotool("key Escape");

  const std::vector<Event> events = read_events(probe);
  EXPECT_EQ(probe.wait_exit(std::chrono::milliseconds(5000)), 0) << probe.errors();
  std::string all;
  for (const Event& e : events)
    all += std::to_string(e[0]) + ":" + std::to_string(e[1]) + "," + std::to_string(e[2]) + " ";
  SCOPED_TRACE("events: " + all);

  // Keys, buttons, the wheel and the close request, each once and in the
  // order they were sent. Key events carry the scancode; a letter's press
  // its character, an arrow's none.
  const std::vector<std::tuple<int, int, int>> expected = {
      {ZQ_EVENT_KEY_PRESS, 0x1E, 'a'},          {ZQ_EVENT_KEY_RELEASE, 0x1E, 'a'},
      {ZQ_EVENT_KEY_PRESS, ZQ_SC_RIGHT, 0},     {ZQ_EVENT_KEY_RELEASE, ZQ_SC_RIGHT, 0},
      {ZQ_EVENT_BUTTON_PRESS, ZQ_BUTTON_LEFT, 0}, {ZQ_EVENT_BUTTON_RELEASE, ZQ_BUTTON_LEFT, 0},
      {ZQ_EVENT_BUTTON_PRESS, ZQ_BUTTON_RIGHT, 0}, {ZQ_EVENT_BUTTON_RELEASE, ZQ_BUTTON_RIGHT, 0},
      {ZQ_EVENT_WHEEL, 1, 0},                   {ZQ_EVENT_WHEEL, 0, 0},
      {ZQ_EVENT_CLOSE, 0, 0},                   {ZQ_EVENT_KEY_PRESS, ZQ_SC_ESCAPE, 27},
      {ZQ_EVENT_KEY_RELEASE, ZQ_SC_ESCAPE, 27},
  };
  EXPECT_EQ(only(events, {ZQ_EVENT_KEY_PRESS, ZQ_EVENT_KEY_RELEASE, ZQ_EVENT_KEY_REPEAT, ZQ_EVENT_BUTTON_PRESS,
                          ZQ_EVENT_BUTTON_RELEASE, ZQ_EVENT_WHEEL, ZQ_EVENT_CLOSE}),
            expected);

  // Before the first key: the focus, the pointer coming in, then the last
  // move, in window pixels, 20 desktop pixels right and 10 up.
  const auto first_key = std::find_if(events.begin(), events.end(),
                                      [](const Event& e) { return e[0] == ZQ_EVENT_KEY_PRESS; });
  const std::vector<Event> before(events.begin(), first_key);
  const auto position = [&](int type) {
    return std::find_if(before.begin(), before.end(), [&](const Event& e) { return e[0] == type; }) -
           before.begin();
  };
  const auto focus = position(ZQ_EVENT_FOCUS_IN), enter = position(ZQ_EVENT_MOUSE_ENTER);
  EXPECT_LT(focus, std::ssize(before));
  EXPECT_LT(enter, std::ssize(before));
  ASSERT_FALSE(before.empty());
  // A loaded server may fold the two moves into one report, whose motion is
  // then both moves together.
  const Event& last = before.back();
  const bool apart = last == Event{ZQ_EVENT_MOUSE_MOVE, pointer_x - window_x, pointer_y - window_y, 20, -10};
  const bool folded = last[0] == ZQ_EVENT_MOUSE_MOVE && last[3] == 27 && last[4] == -5;
  EXPECT_TRUE(apart || folded) << last[0] << " " << last[1] << "," << last[2] << " " << last[3] << "," << last[4];
}

INSTANTIATE_TEST_SUITE_P(Drivers, WindowEventsThreads,
                         ::testing::Values(Driver{"gdi", "", "GDI"}, Driver{"directx", "", "DirectX"},
                                           Driver{"opengl", "opengl", "OpenGL"}),
                         [](const ::testing::TestParamInfo<Driver>& info) { return std::string(info.param.name); });

}  // namespace
