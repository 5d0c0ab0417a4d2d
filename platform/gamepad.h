// Gamepads with the standard controller layout: the devices the window
// system's controller database (its built-in mappings plus the user's, from
// the SDL_GAMECONTROLLERCONFIG variable) describes as a pad with face
// buttons, shoulders, two sticks, triggers and a d-pad. Each pad takes a
// slot 0..15 when it is first seen, the lowest free one, and keeps it until
// it is gone. Works without any screen; the controller system starts on the
// first refresh. Called from the program's thread only.
#pragma once
#include <cstdint>

constexpr int kGamepadSlots = 16;

// The axes of a reading, in this order.
enum GamepadAxis : int {
  kPadLeftX,
  kPadLeftY,
  kPadRightX,
  kPadRightY,
  kPadLeftTrigger,
  kPadRightTrigger,
  kPadAxes
};

// The button bits of a reading (the library's public pad bits are these).
enum GamepadButton : uint32_t {
  kPadA = 1u << 0,
  kPadB = 1u << 1,
  kPadX = 1u << 2,
  kPadY = 1u << 3,
  kPadBack = 1u << 4,
  kPadGuide = 1u << 5,
  kPadStart = 1u << 6,
  kPadLeftStick = 1u << 7,
  kPadRightStick = 1u << 8,
  kPadLeftShoulder = 1u << 9,
  kPadRightShoulder = 1u << 10,
  kPadDpadUp = 1u << 11,
  kPadDpadDown = 1u << 12,
  kPadDpadLeft = 1u << 13,
  kPadDpadRight = 1u << 14,
};

struct GamepadReading {
  uint32_t buttons;         // GamepadButton bits
  int axes[kPadAxes];       // sticks -32768..32767 (down and right positive), triggers 0..32767
};

// What a refresh found: a pad in `slot` came (connected) or went.
using GamepadChange = void (*)(int slot, bool connected, void* context);

// Starts the controller system if need be, then looks for pads that came
// and went since the last refresh, reporting each through `changed` (pads
// that went first, so a pad unplugged and plugged in again may take its
// old slot). False when the controller system cannot start.
bool platform_gamepads_refresh(GamepadChange changed, void* context);
// Whether a refresh has started the controller system, so that there are
// pads to watch.
bool platform_gamepads_started();
// Reads the pad in `slot` as the last refresh found it (all zeros when the
// slot is empty); false when the slot is empty.
bool platform_gamepad_read(int slot, GamepadReading* reading);
