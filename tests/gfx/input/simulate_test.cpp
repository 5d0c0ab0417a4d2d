// Simulated keys and pointer on the Null driver, which has no window: they
// reach the key state, the key buffer, the event queue and the pointer
// state as the window layer's messages do, and wrong calls say why.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/input/input.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "zentravolk/events.h"

namespace {

using Values = std::vector<int>;

class Simulated : public ::testing::Test {
 protected:
  void SetUp() override {
    rt_init(0, nullptr, 1);
    setenv("ZQGFX", "null", 1);
    ASSERT_EQ(gfx_screen_res(320, 200, 32, 1, 0, 0), 0);
  }
  void TearDown() override {
    gfx_close_at_exit();
    unsetenv("ZQGFX");
  }
  static std::vector<Values> events() {
    std::vector<Values> all;
    InputEvent e;
    while (gfx_poll_event(&e) == ZQ_OK) all.push_back(Values(e.values, e.values + 5));
    return all;
  }
  static Values keys() {
    Values all;
    while (int code = gfx_take_key()) all.push_back(code);
    return all;
  }
};

TEST_F(Simulated, KeysReachTheKeyStateTheKeyBufferAndTheEvents) {
  ASSERT_EQ(gfx_simulate_key(ZQ_SC_LSHIFT, 1), ZQ_OK);
  ASSERT_EQ(gfx_simulate_key(ZQ_SC_A, 1), ZQ_OK);
  EXPECT_EQ(gfx_multikey(ZQ_SC_A), ZQ_TRUE);
  EXPECT_EQ(gfx_multikey(ZQ_SC_LSHIFT), ZQ_TRUE);
  EXPECT_EQ(gfx_multikey(ZQ_SC_RSHIFT), ZQ_TRUE);  // as a keyboard's: either shift holds both
  ASSERT_EQ(gfx_simulate_key(ZQ_SC_A, 1), ZQ_OK);  // still held: a repeat
  ASSERT_EQ(gfx_simulate_key(ZQ_SC_A, 0), ZQ_OK);
  ASSERT_EQ(gfx_simulate_key(ZQ_SC_LSHIFT, 0), ZQ_OK);
  EXPECT_EQ(gfx_multikey(ZQ_SC_A), 0);
  EXPECT_EQ(gfx_multikey(ZQ_SC_RSHIFT), 0);
  ASSERT_EQ(gfx_simulate_key(ZQ_SC_CONTROL, 1), ZQ_OK);
  ASSERT_EQ(gfx_simulate_key(ZQ_SC_RIGHT, 1), ZQ_OK);
  ASSERT_EQ(gfx_simulate_key(ZQ_SC_RIGHT, 0), ZQ_OK);
  ASSERT_EQ(gfx_simulate_key(ZQ_SC_C, 1), ZQ_OK);  // Ctrl+C types character 3
  ASSERT_EQ(gfx_simulate_key(ZQ_SC_C, 0), ZQ_OK);
  ASSERT_EQ(gfx_simulate_key(ZQ_SC_CONTROL, 0), ZQ_OK);
  ASSERT_EQ(gfx_simulate_key(ZQ_SC_F1, 1), ZQ_OK);

  EXPECT_EQ(keys(), (Values{'A', 'A', 0x74FF, 3, 0x3BFF}));  // Ctrl+Right is extended code 0x74
  const int shift = ZQ_MOD_SHIFT, ctrl = ZQ_MOD_CTRL, right = ZQ_MOD_CTRL | ZQ_MOD_EXTENDED;
  EXPECT_EQ(events(), (std::vector<Values>{
                          {ZQ_EVENT_KEY_PRESS, ZQ_SC_LSHIFT, 0, shift, 0},
                          {ZQ_EVENT_KEY_PRESS, ZQ_SC_A, 'A', shift, 0},
                          {ZQ_EVENT_KEY_REPEAT, ZQ_SC_A, 'A', shift, 0},
                          {ZQ_EVENT_KEY_RELEASE, ZQ_SC_A, 'A', shift, 0},
                          {ZQ_EVENT_KEY_RELEASE, ZQ_SC_LSHIFT, 0, 0, 0},
                          {ZQ_EVENT_KEY_PRESS, ZQ_SC_CONTROL, 0, ctrl, 0},
                          {ZQ_EVENT_KEY_PRESS, ZQ_SC_RIGHT, 0, right, 0},
                          {ZQ_EVENT_KEY_RELEASE, ZQ_SC_RIGHT, 0, right, 0},
                          {ZQ_EVENT_KEY_PRESS, ZQ_SC_C, 3, ctrl, 0},
                          {ZQ_EVENT_KEY_RELEASE, ZQ_SC_C, 3, ctrl, 0},
                          {ZQ_EVENT_KEY_RELEASE, ZQ_SC_CONTROL, 0, 0, 0},
                          {ZQ_EVENT_KEY_PRESS, ZQ_SC_F1, 0, 0, 0},
                      }));
}

TEST_F(Simulated, ThePointerReachesThePointerStateAndTheEvents) {
  int x, y, wheel, buttons;
  EXPECT_EQ(gfx_get_mouse(&x, &y, &wheel, &buttons, nullptr), ZQ_ERR_ILLEGAL_CALL);  // none yet
  ASSERT_EQ(gfx_simulate_pointer(10, 20, 0), ZQ_OK);
  ASSERT_EQ(gfx_simulate_pointer(15, 18, ZQ_BUTTON_LEFT), ZQ_OK);
  ASSERT_EQ(gfx_get_mouse(&x, &y, &wheel, &buttons, nullptr), ZQ_OK);
  EXPECT_EQ((Values{x, y, wheel, buttons}), (Values{15, 18, 0, ZQ_BUTTON_LEFT}));
  ASSERT_EQ(gfx_simulate_pointer(15, 18, ZQ_BUTTON_LEFT), ZQ_OK);  // nothing changed: nothing posted
  ASSERT_EQ(gfx_simulate_pointer(-3, 18, ZQ_BUTTON_LEFT), ZQ_OK);  // dragged past the left edge
  EXPECT_EQ(gfx_get_mouse(&x, &y, &wheel, &buttons, nullptr), ZQ_ERR_ILLEGAL_CALL);
  ASSERT_EQ(gfx_simulate_pointer(-3, 18, 0), ZQ_OK);
  EXPECT_EQ(events(), (std::vector<Values>{
                          {ZQ_EVENT_MOUSE_ENTER, 10, 20, 0, 0},
                          {ZQ_EVENT_MOUSE_MOVE, 15, 18, 5, -2},
                          {ZQ_EVENT_BUTTON_PRESS, ZQ_BUTTON_LEFT, 15, 18, 0},
                          {ZQ_EVENT_MOUSE_MOVE, -3, 18, -18, 0},
                          {ZQ_EVENT_BUTTON_RELEASE, ZQ_BUTTON_LEFT, -3, 18, 0},
                      }));
}

TEST_F(Simulated, WrongCallsFailWithAReason) {
  for (int scancode : {0, -1, 128, 0x4C /* keypad 5: no key of the table */}) {
    EXPECT_EQ(gfx_simulate_key(scancode, 1), ZQ_ERR_ILLEGAL_CALL) << scancode;
    EXPECT_NE(std::string(rt_error_detail()).find("scancode"), std::string::npos) << rt_error_detail();
  }
  EXPECT_EQ(gfx_multikey(0x4C), 0);
  gfx_close_at_exit();
  EXPECT_EQ(gfx_simulate_key(ZQ_SC_A, 1), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(gfx_simulate_pointer(1, 1, 0), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_NE(std::string(rt_error_detail()).find("no screen"), std::string::npos);
}

// A new screen starts with no simulated key held and no pointer.
TEST_F(Simulated, ANewScreenForgetsWhatWasSimulated) {
  ASSERT_EQ(gfx_simulate_key(ZQ_SC_SPACE, 1), ZQ_OK);
  ASSERT_EQ(gfx_simulate_pointer(5, 5, ZQ_BUTTON_RIGHT), ZQ_OK);
  ASSERT_EQ(gfx_screen_res(320, 200, 32, 1, 0, 0), 0);
  int x, y;
  EXPECT_EQ(gfx_multikey(ZQ_SC_SPACE), 0);
  EXPECT_EQ(gfx_get_mouse(&x, &y, nullptr, nullptr, nullptr), ZQ_ERR_ILLEGAL_CALL);
}

}  // namespace
