// The gamepad query over the platform's gamepads, and the watch that posts
// their coming and going to the screen's event queue. Called from the
// program's thread only.
#include <algorithm>

#include "gfx/input/input.h"
#include "platform/gamepad.h"
#include "runtime/rt_core.h"
#include "zentravolk/events.h"

static_assert(ZQ_GAMEPADS == kGamepadSlots, "one public number per slot");
static_assert(ZQ_PAD_A == kPadA && ZQ_PAD_B == kPadB && ZQ_PAD_X == kPadX && ZQ_PAD_Y == kPadY &&
                  ZQ_PAD_BACK == kPadBack && ZQ_PAD_GUIDE == kPadGuide && ZQ_PAD_START == kPadStart &&
                  ZQ_PAD_LEFT_STICK == kPadLeftStick && ZQ_PAD_RIGHT_STICK == kPadRightStick &&
                  ZQ_PAD_LEFT_SHOULDER == kPadLeftShoulder && ZQ_PAD_RIGHT_SHOULDER == kPadRightShoulder &&
                  ZQ_PAD_DPAD_UP == kPadDpadUp && ZQ_PAD_DPAD_DOWN == kPadDpadDown &&
                  ZQ_PAD_DPAD_LEFT == kPadDpadLeft && ZQ_PAD_DPAD_RIGHT == kPadDpadRight,
              "the public button bits are the platform's");

namespace {

constexpr float kAxisFull = 32767.0f;

// Posts a pad's coming or going (the queue takes it only while a screen is
// open; without one the change is only seen in the readings).
void post_change(int slot, bool connected, void*) {
  const GfxEvent event{connected ? ZQ_EVENT_GAMEPAD_CONNECTED : ZQ_EVENT_GAMEPAD_DISCONNECTED, slot, 0, 0, 0};
  gfx_post_event(&event);
}

// -32768..32767 onto -1..1, both ends reached.
float stick(int value) { return std::max(-1.0f, float(value) / kAxisFull); }

}  // namespace

void gfx_watch_gamepads() {
  if (platform_gamepads_started()) platform_gamepads_refresh(post_change, nullptr);
}

bool gfx_gamepads_watched() { return platform_gamepads_started(); }

int gfx_get_gamepad(int index, GamepadState* state) {
  if (!state) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no gamepad record");
  *state = GamepadState{};
  if (index < 0 || index >= ZQ_GAMEPADS)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "gamepad %d out of range (0 to %d)", index, ZQ_GAMEPADS - 1);
  if (!platform_gamepads_refresh(post_change, nullptr))
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no gamepads: the controller system could not start");
  GamepadReading reading;
  if (!platform_gamepad_read(index, &reading)) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "gamepad %d not connected", index);
  state->buttons = int32_t(reading.buttons);
  state->left_x = stick(reading.axes[kPadLeftX]);
  state->left_y = stick(reading.axes[kPadLeftY]);
  state->right_x = stick(reading.axes[kPadRightX]);
  state->right_y = stick(reading.axes[kPadRightY]);
  state->left_trigger = stick(reading.axes[kPadLeftTrigger]);
  state->right_trigger = stick(reading.axes[kPadRightTrigger]);
  return rt_set_error(ZQ_OK);
}
