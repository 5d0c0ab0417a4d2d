// The joystick query against SDL's virtual joysticks: axis mapping over the
// full range, absent axes, the hat's directions, buttons and the failures.
#include "gfx/input/joystick.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "runtime/runtime.h"

namespace {

struct Reading {
  int result;
  int buttons;
  float axis[8];
};

Reading query(int id) {
  Reading r{};
  r.result = gfx_get_joystick(id, &r.buttons, &r.axis[0], &r.axis[1], &r.axis[2], &r.axis[3], &r.axis[4],
                              &r.axis[5], &r.axis[6], &r.axis[7]);
  return r;
}

void expect_failure(const Reading& r) {
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(r.buttons, -1);
  for (float axis : r.axis) EXPECT_EQ(axis, ZQ_JOYSTICK_NO_AXIS);
}

class Joystick : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
  }
  void SetUp() override { rt_init(0, nullptr, 1); }

  // Attaches a fresh virtual device (each test its own, since a device index
  // is remembered for the whole process) and opens it to drive its controls.
  int attach(int axes, int buttons, int hats) {
    index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, axes, buttons, hats);
    EXPECT_GE(index_, 0) << SDL_GetError();
    EXPECT_LT(index_, 16);
    device_ = SDL_JoystickOpen(index_);
    EXPECT_NE(device_, nullptr) << SDL_GetError();
    return index_;
  }

  int index_ = -1;
  SDL_Joystick* device_ = nullptr;
};

TEST_F(Joystick, AxesMapTheirFullRangeOntoMinusOneToJustBelowOne) {
  const int id = attach(6, 4, 1);
  const Sint16 positions[6] = {-32768, 32767, 0, 16384, -16384, 1};
  for (int i = 0; i < 6; ++i) SDL_JoystickSetVirtualAxis(device_, i, positions[i]);
  const Reading r = query(id);
  ASSERT_EQ(r.result, 0);
  EXPECT_EQ(rt_get_error(), 0);
  EXPECT_EQ(r.axis[0], -1.0f);
  EXPECT_EQ(r.axis[1], float(2.0L * 65535 / 65536 - 1));
  EXPECT_LT(r.axis[1], 1.0f);
  EXPECT_EQ(r.axis[2], 0.0f);
  EXPECT_EQ(r.axis[3], 0.5f);
  EXPECT_EQ(r.axis[4], -0.5f);
  EXPECT_EQ(r.axis[5], float(2.0L * 32769 / 65536 - 1));
  EXPECT_EQ(r.axis[6], 0.0f);  // hat centred
  EXPECT_EQ(r.axis[7], 0.0f);

  // A later query sees the device's new position.
  SDL_JoystickSetVirtualAxis(device_, 0, 32767);
  EXPECT_EQ(query(id).axis[0], float(2.0L * 65535 / 65536 - 1));
}

TEST_F(Joystick, AxesAndHatTheDeviceLacksStayAbsent) {
  const int two_axes = attach(2, 1, 0);
  Reading r = query(two_axes);
  ASSERT_EQ(r.result, 0);
  for (int i = 2; i < 8; ++i) EXPECT_EQ(r.axis[i], ZQ_JOYSTICK_NO_AXIS) << "axis " << i + 1;

  const int four_axes = attach(4, 1, 0);
  SDL_JoystickSetVirtualAxis(device_, 3, -32768);
  r = query(four_axes);
  ASSERT_EQ(r.result, 0);
  EXPECT_EQ(r.axis[3], -1.0f);
  for (int i = 4; i < 8; ++i) EXPECT_EQ(r.axis[i], ZQ_JOYSTICK_NO_AXIS) << "axis " << i + 1;
}

TEST_F(Joystick, HatDirectionsGiveHorizontalAndVerticalAxes) {
  const int id = attach(2, 0, 2);
  struct Case {
    Uint8 hat;
    float horizontal, vertical;
  };
  const Case cases[] = {
      {SDL_HAT_CENTERED, 0.0f, 0.0f},   {SDL_HAT_UP, 0.0f, -1.0f},      {SDL_HAT_RIGHTUP, 1.0f, -1.0f},
      {SDL_HAT_RIGHT, 1.0f, 0.0f},      {SDL_HAT_RIGHTDOWN, 1.0f, 1.0f}, {SDL_HAT_DOWN, 0.0f, 1.0f},
      {SDL_HAT_LEFTDOWN, -1.0f, 1.0f},  {SDL_HAT_LEFT, -1.0f, 0.0f},    {SDL_HAT_LEFTUP, -1.0f, -1.0f},
  };
  for (const Case& c : cases) {
    SDL_JoystickSetVirtualHat(device_, 0, c.hat);
    SDL_JoystickSetVirtualHat(device_, 1, SDL_HAT_DOWN);  // only the first hat counts
    const Reading r = query(id);
    ASSERT_EQ(r.result, 0);
    EXPECT_EQ(r.axis[6], c.horizontal) << "hat " << int(c.hat);
    EXPECT_EQ(r.axis[7], c.vertical) << "hat " << int(c.hat);
  }
}

TEST_F(Joystick, ButtonsAreTheFirstThirtyTwoBits) {
  const int id = attach(2, 40, 0);
  EXPECT_EQ(query(id).buttons, 0);
  for (int button : {0, 5, 31, 32, 39}) SDL_JoystickSetVirtualButton(device_, button, SDL_PRESSED);
  EXPECT_EQ(query(id).buttons, int(0x80000021u));
}

TEST_F(Joystick, BadIdsAndMissingDevicesFail) {
  expect_failure(query(16));
  EXPECT_EQ(rt_get_error(), 1);
  expect_failure(query(-1));

  // Null outputs are skipped rather than written.
  EXPECT_EQ(gfx_get_joystick(16, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr),
            1);

  // An id without a device at its first query stays absent, even once a
  // device appears there.
  const int next = SDL_NumJoysticks();
  ASSERT_LT(next, 16);
  expect_failure(query(next));
  ASSERT_EQ(attach(2, 1, 0), next);
  expect_failure(query(next));
}

// Kept last: detaching renumbers the devices after it, which would move a
// later test's device onto an id already remembered for this one.
TEST_F(Joystick, UnpluggedDeviceFailsToRead) {
  const int id = attach(2, 1, 0);
  ASSERT_EQ(query(id).result, 0);
  SDL_JoystickDetachVirtual(id);
  expect_failure(query(id));
}

}  // namespace
