// Events from a real window (Xvfb, started here), on each of the three real
// drivers: keys, pointer motion, buttons, the wheel and the close request
// sent with xdotool come out of the event queue in order with their
// fields, as the event probe prints them. xdotool places the pointer
// absolutely, as a tablet or a remote desktop does, which moves it without
// any device motion.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <string>

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

// Where the pointer waits, outside the window, while the probe starts.
constexpr int kParkX = 10, kParkY = 10;

// The probe on the driver, its window found and given the focus, with the
// pointer parked outside the window beforehand.
struct ProbeWindow {
  std::unique_ptr<Child> probe;
  std::string id;
  int x = 0, y = 0;  // the client area's corner on the desktop
};

ProbeWindow open_probe(const Driver& driver) {
  ProbeWindow w;
  shell("xdotool mousemove " + std::to_string(kParkX) + " " + std::to_string(kParkY));
  w.probe = std::make_unique<Child>(
      std::vector<std::string>{build_dir() + "/tools/display_check/event_probe", driver.argument}, "", true);
  EXPECT_EQ(w.probe->read_line(std::chrono::milliseconds(15000)), std::string("ready ") + driver.name)
      << w.probe->errors();
  w.id = visible_window("event_probe");
  if (w.id.empty()) return w;
  shell("xdotool windowfocus --sync " + w.id);
  w.x = shell_number("xdotool getwindowgeometry --shell " + w.id, "X=");
  w.y = shell_number("xdotool getwindowgeometry --shell " + w.id, "Y=");
  return w;
}

std::string listed(const std::vector<Event>& events) {
  std::string all;
  for (const Event& e : events)
    all += std::to_string(e[0]) + ":" + std::to_string(e[1]) + "," + std::to_string(e[2]) + "," +
           std::to_string(e[3]) + "," + std::to_string(e[4]) + " ";
  return all;
}

// Every move is an event with exactly its motion: the one that brings the
// pointer in is the enter, measured from where it was parked; then 20 moves
// of many sizes and directions; then a drag with the left button held to 3
// pixels left of the window, which keeps the pointer, so the position goes
// negative.
TEST_P(WindowEventsThreads, EveryPointerMoveComesOutWithItsMotion) {
  ProbeWindow w = open_probe(GetParam());
  ASSERT_FALSE(w.id.empty()) << w.probe->errors();

  const int steps[20][2] = {{1, 0},   {0, 1},  {-1, -1}, {5, 3},   {-7, 2}, {12, -9}, {0, 20},
                            {-20, 0}, {33, 17}, {-2, -30}, {40, 1},  {1, 40}, {-45, -3}, {3, -44},
                            {9, 9},   {-9, 9}, {9, -9},  {-9, -9}, {64, 0}, {-64, 1}};
  int x = 100, y = 80;  // window pixels
  std::string moves = "mousemove " + std::to_string(w.x + x) + " " + std::to_string(w.y + y) + " sleep 0.05";
  std::vector<Event> expected{{ZQ_EVENT_MOUSE_ENTER, x, y, w.x + x - kParkX, w.y + y - kParkY}};
  for (const auto& step : steps) {
    x += step[0];
    y += step[1];
    moves += " mousemove " + std::to_string(w.x + x) + " " + std::to_string(w.y + y) + " sleep 0.05";
    expected.push_back({ZQ_EVENT_MOUSE_MOVE, x, y, step[0], step[1]});
  }
  xdotool(moves);
  // The drag: in at 5 pixels from the left edge, out to 3 pixels past it.
  const int row = y;
  xdotool("mousemove " + std::to_string(w.x + 5) + " " + std::to_string(w.y + row) +
          " sleep 0.05 mousedown 1 sleep 0.05 mousemove " + std::to_string(w.x - 3) + " " +
          std::to_string(w.y + row) + " sleep 0.05 mouseup 1");
  expected.push_back({ZQ_EVENT_MOUSE_MOVE, 5, row, 5 - x, 0});
  expected.push_back({ZQ_EVENT_BUTTON_PRESS, ZQ_BUTTON_LEFT, 5, row, 0});
  expected.push_back({ZQ_EVENT_MOUSE_MOVE, -3, row, -8, 0});
  expected.push_back({ZQ_EVENT_BUTTON_RELEASE, ZQ_BUTTON_LEFT, -3, row, 0});
  xdotool("key Escape");

  const std::vector<Event> events = read_events(*w.probe);
  EXPECT_EQ(w.probe->wait_exit(std::chrono::milliseconds(5000)), 0) << w.probe->errors();
  SCOPED_TRACE("events: " + listed(events));
  std::vector<Event> pointer;
  for (const Event& e : events)
    if (e[0] == ZQ_EVENT_MOUSE_ENTER || e[0] == ZQ_EVENT_MOUSE_MOVE || e[0] == ZQ_EVENT_BUTTON_PRESS ||
        e[0] == ZQ_EVENT_BUTTON_RELEASE)
      pointer.push_back(e);
  EXPECT_EQ(pointer, expected);
}

TEST_P(WindowEventsThreads, KeysButtonsWheelAndCloseComeOutInOrderWithTheirValues) {
  ProbeWindow w = open_probe(GetParam());
  ASSERT_FALSE(w.id.empty()) << w.probe->errors();
  xdotool("mousemove " + std::to_string(w.x + 160) + " " + std::to_string(w.y + 120));
  xdotool("key a");
  xdotool("key shift+a");
  xdotool("key ctrl+Right");
  xdotool("click 1");
  xdotool("click 3");
  xdotool("click 4");
  xdotool("click 5");
  ASSERT_EQ(std::system(("'" + build_dir() + "/tools/display_check/x_close' " + w.id).c_str()), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  xdotool("key Escape");

  const std::vector<Event> events = read_events(*w.probe);
  EXPECT_EQ(w.probe->wait_exit(std::chrono::milliseconds(5000)), 0) << w.probe->errors();
  SCOPED_TRACE("events: " + listed(events));

  // Keys, buttons, the wheel and the close request, each once and in the
  // order they were sent. Key events carry the scancode, the character and
  // the modifiers; buttons and the wheel where the pointer was.
  const int shift = ZQ_MOD_SHIFT, ctrl_extended = ZQ_MOD_CTRL | ZQ_MOD_EXTENDED;
  const std::vector<Event> expected = {
      {ZQ_EVENT_KEY_PRESS, 0x1E, 'a', 0, 0},
      {ZQ_EVENT_KEY_RELEASE, 0x1E, 'a', 0, 0},
      {ZQ_EVENT_KEY_PRESS, ZQ_SC_LSHIFT, 0, shift, 0},
      {ZQ_EVENT_KEY_PRESS, 0x1E, 'A', shift, 0},
      {ZQ_EVENT_KEY_RELEASE, ZQ_SC_LSHIFT, 0, 0, 0},  // xdotool lets the modifiers go first
      {ZQ_EVENT_KEY_RELEASE, 0x1E, 'a', 0, 0},
      {ZQ_EVENT_KEY_PRESS, ZQ_SC_CONTROL, 0, ZQ_MOD_CTRL, 0},
      {ZQ_EVENT_KEY_PRESS, ZQ_SC_RIGHT, 0, ctrl_extended, 0},
      {ZQ_EVENT_KEY_RELEASE, ZQ_SC_CONTROL, 0, 0, 0},
      {ZQ_EVENT_KEY_RELEASE, ZQ_SC_RIGHT, 0, ZQ_MOD_EXTENDED, 0},
      {ZQ_EVENT_BUTTON_PRESS, ZQ_BUTTON_LEFT, 160, 120, 0},
      {ZQ_EVENT_BUTTON_RELEASE, ZQ_BUTTON_LEFT, 160, 120, 0},
      {ZQ_EVENT_BUTTON_PRESS, ZQ_BUTTON_RIGHT, 160, 120, 0},
      {ZQ_EVENT_BUTTON_RELEASE, ZQ_BUTTON_RIGHT, 160, 120, 0},
      {ZQ_EVENT_WHEEL, 1, 1, 160, 120},
      {ZQ_EVENT_WHEEL, 0, -1, 160, 120},
      {ZQ_EVENT_CLOSE, 0, 0, 0, 0},
      {ZQ_EVENT_KEY_PRESS, ZQ_SC_ESCAPE, 27, 0, 0},
      {ZQ_EVENT_KEY_RELEASE, ZQ_SC_ESCAPE, 27, 0, 0},
  };
  std::vector<Event> kept;
  for (const Event& e : events)
    if (e[0] != ZQ_EVENT_MOUSE_MOVE && e[0] != ZQ_EVENT_MOUSE_ENTER && e[0] != ZQ_EVENT_FOCUS_IN) kept.push_back(e);
  EXPECT_EQ(kept, expected);
}

// A flood of moves without pause: every one is posted, in order, with its
// exact position and motion. The queue keeps the last 127 events, so a
// reader that falls behind may miss the oldest, never a later one: what
// comes out is an in-order run of the moves sent, ending with the last.
TEST_P(WindowEventsThreads, AFloodOfMovesComesOutInOrder) {
  ProbeWindow w = open_probe(GetParam());
  ASSERT_FALSE(w.id.empty()) << w.probe->errors();
  constexpr int kMoves = 300, kKeptEvents = 127;
  std::vector<std::array<int, 2>> path;
  std::string moves;
  for (int i = 0; i < kMoves; ++i) {
    path.push_back({20 + (i * 37) % 280, 20 + (i * 53) % 200});  // every step moves on both axes
    moves += " mousemove " + std::to_string(w.x + path.back()[0]) + " " + std::to_string(w.y + path.back()[1]);
  }
  xdotool(moves);
  xdotool("key Escape");
  const std::vector<Event> events = read_events(*w.probe);
  EXPECT_EQ(w.probe->wait_exit(std::chrono::milliseconds(5000)), 0) << w.probe->errors();
  SCOPED_TRACE("events: " + listed(events));
  size_t next = 1, seen = 0;  // the first move is the enter
  for (const Event& e : events) {
    if (e[0] != ZQ_EVENT_MOUSE_MOVE) continue;
    while (next < path.size() && (path[next][0] != e[1] || path[next][1] != e[2])) ++next;
    ASSERT_LT(next, path.size()) << "a move out of order or not sent: " << e[1] << "," << e[2];
    EXPECT_EQ(e[3], path[next][0] - path[next - 1][0]) << "move " << next;
    EXPECT_EQ(e[4], path[next][1] - path[next - 1][1]) << "move " << next;
    ++next;
    ++seen;
  }
  EXPECT_EQ(next, path.size()) << "the last move is missing";
  // However far behind the reader fell, the queue kept its last 127
  // events: at most the two of Escape are not moves.
  EXPECT_GE(seen, size_t(kKeptEvents - 2));
}


INSTANTIATE_TEST_SUITE_P(Drivers, WindowEventsThreads,
                         ::testing::Values(Driver{"gdi", "", "GDI"}, Driver{"directx", "", "DirectX"},
                                           Driver{"opengl", "opengl", "OpenGL"}),
                         [](const ::testing::TestParamInfo<Driver>& info) { return std::string(info.param.name); });

}  // namespace
