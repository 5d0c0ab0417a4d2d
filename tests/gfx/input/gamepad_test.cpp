// Gamepads from SDL's virtual joysticks made pads by a mapping in
// SDL_GAMECONTROLLERCONFIG: the mapping decides which control is which, pads
// keep their numbers while others come and go, and their coming and going
// reaches the event queue.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/input/input.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "zentravolk/events.h"

namespace {

constexpr int kAxes = 6, kButtons = 15;

// A mapping that scrambles the device's controls, so a reading that follows
// it proves the mapping was used: button i of the device is the layout's
// button 14 - i, axis i the layout's axis 5 - i.
std::string scrambled_mapping(const char* guid) {
  static const char* const buttons[kButtons] = {"a",          "b",           "x",           "y",
                                                "back",       "guide",       "start",       "leftstick",
                                                "rightstick", "leftshoulder", "rightshoulder", "dpup",
                                                "dpdown",     "dpleft",      "dpright"};
  static const char* const axes[kAxes] = {"leftx", "lefty", "rightx", "righty", "lefttrigger", "righttrigger"};
  std::string line = std::string(guid) + ",Scrambled Pad,";
  for (int i = 0; i < kButtons; ++i) line += std::string(buttons[i]) + ":b" + std::to_string(kButtons - 1 - i) + ",";
  for (int i = 0; i < kAxes; ++i) line += std::string(axes[i]) + ":a" + std::to_string(kAxes - 1 - i) + ",";
  return line;
}

// A virtual device, held open so the test can move its controls.
struct Device {
  SDL_Joystick* joystick = nullptr;
  SDL_JoystickID id = -1;
};

// A device made by a made-up vendor; the product tells pads from plain
// sticks (SDL's GUID of a virtual device holds both).
constexpr Uint16 kVendor = 0x1234, kPadProduct = 0x5678, kStickProduct = 0x5679;

Device attach(const char* name, Uint16 product = kPadProduct) {
  SDL_VirtualJoystickDesc desc{};
  desc.vendor_id = kVendor;
  desc.product_id = product;
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;
  desc.naxes = kAxes;
  desc.nbuttons = kButtons;
  desc.name = name;
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  EXPECT_GE(index, 0) << SDL_GetError();
  Device device;
  device.joystick = SDL_JoystickOpen(index);
  EXPECT_NE(device.joystick, nullptr) << SDL_GetError();
  device.id = SDL_JoystickInstanceID(device.joystick);
  return device;
}

void detach(Device& device) {
  for (int i = 0; i < SDL_NumJoysticks(); ++i)
    if (SDL_JoystickGetDeviceInstanceID(i) == device.id) SDL_JoystickDetachVirtual(i);
  SDL_JoystickClose(device.joystick);
  device = Device{};
}

std::vector<std::vector<int>> events() {
  std::vector<std::vector<int>> all;
  InputEvent e;
  while (gfx_poll_event(&e) == ZQ_OK) all.push_back({e.values[0], e.values[1]});
  return all;
}

using Events = std::vector<std::vector<int>>;

TEST(Gamepad, AVirtualPadReadsThroughItsMappingAndKeepsItsNumberWhileOthersComeAndGo) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("ZQGFX", "null", 1);
  rt_init(0, nullptr, 1);
  ASSERT_EQ(gfx_screen_res(64, 48, 32, 1, 0, 0), 0);
  // The mappings are read when the device system starts: learn the pad's
  // GUID from a first device, then start again with its mapping.
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
  Device probe = attach("Pad One");
  char guid[33];
  SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(probe.joystick), guid, sizeof guid);
  detach(probe);
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  setenv("SDL_GAMECONTROLLERCONFIG", scrambled_mapping(guid).c_str(), 1);
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
  Device first = attach("Pad One");
  Device plain = attach("Plain Stick", kStickProduct);  // another GUID, no mapping: no pad

  // The mapping reads a whole axis onto a trigger: -32768 is released.
  SDL_JoystickSetVirtualAxis(first.joystick, 0, -32768);
  SDL_JoystickSetVirtualAxis(first.joystick, 1, -32768);
  GamepadState pad;
  ASSERT_EQ(gfx_get_gamepad(0, &pad), ZQ_OK) << rt_error_detail();
  EXPECT_EQ(pad.buttons, 0);
  EXPECT_EQ(pad.left_trigger, 0.0f);

  SDL_JoystickSetVirtualButton(first.joystick, 14, 1);    // the layout's A
  SDL_JoystickSetVirtualButton(first.joystick, 0, 1);     // d-pad right
  SDL_JoystickSetVirtualButton(first.joystick, 4, 1);     // right shoulder
  SDL_JoystickSetVirtualAxis(first.joystick, 5, -32768);  // left x, fully left
  SDL_JoystickSetVirtualAxis(first.joystick, 4, 32767);   // left y, fully down
  SDL_JoystickSetVirtualAxis(first.joystick, 2, -16384);  // right y, half up
  SDL_JoystickSetVirtualAxis(first.joystick, 1, 32767);   // left trigger, fully pressed
  SDL_JoystickSetVirtualAxis(first.joystick, 0, 0);       // right trigger, half pressed
  ASSERT_EQ(gfx_get_gamepad(0, &pad), ZQ_OK) << rt_error_detail();
  EXPECT_EQ(pad.buttons, ZQ_PAD_A | ZQ_PAD_DPAD_RIGHT | ZQ_PAD_RIGHT_SHOULDER);
  EXPECT_EQ(pad.left_x, -1.0f);
  EXPECT_EQ(pad.left_y, 1.0f);
  EXPECT_EQ(pad.right_x, 0.0f);  // never moved
  EXPECT_NEAR(pad.right_y, -0.5f, 1e-4);
  EXPECT_EQ(pad.left_trigger, 1.0f);
  EXPECT_NEAR(pad.right_trigger, 0.5f, 1e-4);
  EXPECT_EQ(events(), (Events{{ZQ_EVENT_GAMEPAD_CONNECTED, 0}}));  // the stick without a mapping is none
  EXPECT_EQ(gfx_get_gamepad(1, &pad), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_STREQ(rt_error_detail(), "gamepad 1 not connected");
  EXPECT_EQ(pad.buttons, 0);

  // From now on reading events finds pads coming and going.
  Device second = attach("Pad One");
  EXPECT_EQ(events(), (Events{{ZQ_EVENT_GAMEPAD_CONNECTED, 1}}));
  SDL_JoystickSetVirtualButton(second.joystick, 8, 1);  // the layout's start
  detach(first);
  EXPECT_EQ(events(), (Events{{ZQ_EVENT_GAMEPAD_DISCONNECTED, 0}}));
  EXPECT_EQ(gfx_get_gamepad(0, &pad), ZQ_ERR_ILLEGAL_CALL);
  ASSERT_EQ(gfx_get_gamepad(1, &pad), ZQ_OK);  // the second pad keeps its number
  EXPECT_EQ(pad.buttons, ZQ_PAD_START);
  Device third = attach("Pad One");
  InputEvent event;
  ASSERT_EQ(gfx_wait_event(&event, 2000), ZQ_OK);  // a wait looks too
  EXPECT_EQ(event.type, ZQ_EVENT_GAMEPAD_CONNECTED);
  EXPECT_EQ(event.gamepad.index, 0);  // the lowest free number
  ASSERT_EQ(gfx_get_gamepad(0, &pad), ZQ_OK);

  detach(third);
  detach(second);
  detach(plain);
  EXPECT_EQ(events(), (Events{{ZQ_EVENT_GAMEPAD_DISCONNECTED, 0}, {ZQ_EVENT_GAMEPAD_DISCONNECTED, 1}}));
  gfx_close_at_exit();
}

TEST(Gamepad, WrongCallsFailWithAReasonAndAnEmptyRecord) {
  GamepadState pad;
  pad.buttons = 7;
  EXPECT_EQ(gfx_get_gamepad(-1, &pad), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_STREQ(rt_error_detail(), "gamepad -1 out of range (0 to 15)");
  EXPECT_EQ(pad.buttons, 0);
  EXPECT_EQ(gfx_get_gamepad(ZQ_GAMEPADS, &pad), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(gfx_get_gamepad(0, nullptr), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_STREQ(rt_error_detail(), "no gamepad record");
}

}  // namespace
