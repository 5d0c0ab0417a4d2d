// Real keys typed with xdotool into a window of a private Xvfb server, on
// each driver in turn: what the key buffer hands the program. Ctrl+Tab types
// nothing, Tab is the tab character, Shift+Tab its extended code and then the tab character,
// also on OpenGL, whose window messages wait until the program copies a
// page: by then Shift is up again, and the key is still read with the
// modifiers it was pressed with.
#include <gtest/gtest.h>
#include <strings.h>

#include <cstring>

#include "display_support.h"
#include "zentravolk/events.h"
#include "drivers/driver.h"
#include "gfx/draw/primitives.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"

// As for the other display tests: Mesa (under the OpenGL driver and the
// DirectX driver's accelerated renderer) unloads its driver when the display
// closes, before the exit-time leak check, leaving blocks that cannot be told
// from the library's; the scripted driver tests check the library's own.
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

using namespace display_test;

struct DriverCase {
  const char* name;
  int flags;
};

class KeyPathsDisplay : public ::testing::TestWithParam<DriverCase> {
 protected:
  static void SetUpTestSuite() { server = start_suite_server(); }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }
  void SetUp() override {
    if (find_program("Xvfb").empty() || find_program("xdotool").empty()) GTEST_SKIP() << "Xvfb or xdotool missing";
    ASSERT_NE(server, nullptr) << "Xvfb did not start";
    for (const GfxDriver* const* d = driver_list(); *d; ++d)
      if (strcasecmp((*d)->name, GetParam().name) == 0) only[0] = *d;
    ASSERT_NE(only[0], nullptr);
    driver_set_list(only);
    rt_init(0, nullptr, 1);
    ASSERT_EQ(gfx_screen_res(320, 200, 32, 2, GetParam().flags, 0), 0) << GetParam().name << " did not start";
    gfx_set_window_title(rt_str_temp(kTitle, int(std::strlen(kTitle))));
    window = visible_window(kTitle);
    ASSERT_FALSE(window.empty()) << "no window";
    shell("xdotool windowfocus --sync " + window);
    // The server gives the focus at once, the driver takes it in later;
    // taking it in starts the key state afresh, so keys typed before then
    // could lose a modifier held down.
    ASSERT_TRUE(wait_until([this] { return focused(); }, kPatience, 5ms)) << "the window never got the focus";
  }
  void TearDown() override {
    gfx_close_at_exit();
    driver_set_list(nullptr);
  }
  static bool opengl() { return (GetParam().flags & ZQ_OPEN_OPENGL) != 0; }

  // Takes the window's events waiting now; whether the last focus event
  // said the window has the focus.
  bool focused() {
    if (opengl()) gfx_page_copy(0, 1);  // lets the window's messages in
    InputEvent event;
    while (gfx_poll_event(&event) == ZQ_OK)
      if (event.type == ZQ_EVENT_FOCUS_IN || event.type == ZQ_EVENT_FOCUS_OUT)
        has_focus = event.type == ZQ_EVENT_FOCUS_IN;
    return has_focus;
  }

  // Types the keys and then the marker key, and collects what the key
  // buffer hands out before the marker; an extended key reads as
  // 0xFF00 | code. Keys arrive in the order typed, so by the marker
  // everything the keys typed is in, however long that took.
  std::vector<int> type(const std::string& keys) {
    shell("xdotool key --delay 30 " + keys + " " + kMarkerKey);
    std::vector<int> got;
    bool marked = wait_until(
        [&got] {
          if (opengl()) gfx_page_copy(0, 1);  // lets the window's messages in
          for (;;) {
            StringValue* key = rt_inkey();
            const auto* k = reinterpret_cast<const unsigned char*>(rt_str_chars(key));
            const int length = rt_str_len(key);
            const int code = length == 1 ? k[0] : length == 2 ? 0xFF00 | k[1] : -1;
            rt_str_release(key);
            if (code == kMarkerCharacter) return true;
            if (code < 0) return false;
            got.push_back(code);
          }
        },
        kPatience, 5ms);
    EXPECT_TRUE(marked) << "the marker key after " << keys << " never came";
    return got;
  }

  static constexpr const char* kMarkerKey = "z";
  static constexpr int kMarkerCharacter = 'z';
  static constexpr const char* kTitle = "KeyPaths";
  static inline XvfbServer* server = nullptr;
  const GfxDriver* only[2] = {};
  std::string window;
  bool has_focus = false;
};

TEST_P(KeyPathsDisplay, CtrlTabTypesNothingAndTheOtherTabsAgree) {
  EXPECT_EQ(type("ctrl+Tab Tab"), std::vector<int>{9});
  EXPECT_EQ(type("shift+Tab"), (std::vector<int>{0xFF0F, 9}));
  EXPECT_EQ(type("ctrl+i"), std::vector<int>{9});
}

INSTANTIATE_TEST_SUITE_P(Drivers, KeyPathsDisplay,
                         ::testing::Values(DriverCase{"GDI", ZQ_OPEN_WINDOWED}, DriverCase{"DirectX", ZQ_OPEN_WINDOWED},
                                           DriverCase{"OpenGL", ZQ_OPEN_OPENGL}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
