// Joystick devices as the graphics library sees them: per-device axis ranges
// and capability bits, and a position record with every axis, the
// point-of-view hat and the button bits. Works without any screen; the
// joystick system is started on the first query.
#pragma once
#include <cstdint>

constexpr int kJoystickDevices = 16;  // device indices 0..15
constexpr int kJoystickAxes = 6;      // X, Y, Z, R, U, V

// Capability bits: which axes beyond X and Y the device has, and whether it
// has a point-of-view hat.
constexpr uint32_t kJoyHasZ = 1;
constexpr uint32_t kJoyHasR = 2;
constexpr uint32_t kJoyHasU = 4;
constexpr uint32_t kJoyHasV = 8;
constexpr uint32_t kJoyHasPov = 16;

// Hat position meaning "no direction".
constexpr int kJoyPovCentred = 0xFFFF;

struct JoystickCaps {
  int axis_min[kJoystickAxes];  // X, Y, Z, R, U, V
  int axis_max[kJoystickAxes];
  uint32_t capabilities;        // kJoyHas* bits
  int button_count;
};

struct JoystickPosition {
  int axis[kJoystickAxes];  // X, Y, Z, R, U, V; 0 for axes the device lacks
  int pov;                  // hundredths of a degree clockwise from forward, or kJoyPovCentred
  uint32_t buttons;         // bit i set while button i is down (first 32 buttons)
};

// Opens device `index` and reports what it offers; false when the index is
// outside 0..15, no such device exists or the joystick system cannot start.
bool platform_joystick_caps(int index, JoystickCaps* caps);
// Reads the current position of a device opened by platform_joystick_caps;
// false when it was never opened or is no longer attached.
bool platform_joystick_position(int index, JoystickPosition* position);
