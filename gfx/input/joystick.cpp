// The joystick query over the platform's joystick devices. The table of what
// each id offers is process-wide and filled on the first query of each id; a
// device that is absent at its first query stays absent for the process.
// Called from the program's thread only.
#include "gfx/input/joystick.h"

#include "platform/joystick.h"
#include "runtime/rt_core.h"

namespace {

struct JoystickEntry {
  bool queried;
  bool present;
  JoystickCaps caps;
};

JoystickEntry joystick_table[kJoystickDevices];

// Hat thresholds, in hundredths of a degree clockwise from forward.
float pov_horizontal(int pov) {
  if (pov >= 2251 && pov <= 15749) return 1.0f;
  if (pov >= 20251 && pov <= 33749) return -1.0f;
  return 0.0f;
}

float pov_vertical(int pov) {
  if (pov >= 11251 && pov <= 24749) return 1.0f;
  if ((pov >= 0 && pov <= 6749) || (pov >= 29251 && pov <= 35999)) return -1.0f;
  return 0.0f;
}

// Maps min..max onto -1 up to just below 1; an empty range gives no axis.
float axis_value(int position, int min, int max) {
  const long double span = static_cast<long double>(max) - min + 1;
  if (span <= 0) return ZQ_JOYSTICK_NO_AXIS;
  return static_cast<float>(2.0L * (static_cast<long double>(position) - min) / span - 1.0L);
}

}  // namespace

int gfx_get_joystick(int id, int* buttons, float* axis1, float* axis2, float* axis3, float* axis4,
                     float* axis5, float* axis6, float* axis7, float* axis8) {
  float* axes[8] = {axis1, axis2, axis3, axis4, axis5, axis6, axis7, axis8};
  if (buttons) *buttons = -1;
  for (float* axis : axes)
    if (axis) *axis = ZQ_JOYSTICK_NO_AXIS;

  if (id < 0 || id >= kJoystickDevices)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "joystick %d out of range (0 to %d)", id, kJoystickDevices - 1);
  JoystickEntry& entry = joystick_table[id];
  if (!entry.queried) {
    entry.queried = true;
    entry.present = platform_joystick_caps(id, &entry.caps);
  }
  if (!entry.present) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "joystick %d not connected", id);

  JoystickPosition position;
  if (!platform_joystick_position(id, &position)) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "joystick %d could not be read", id);

  // X and Y always; Z, R, U and V when the device has them.
  static constexpr uint32_t kAxisCaps[kJoystickAxes] = {0, 0, kJoyHasZ, kJoyHasR, kJoyHasU, kJoyHasV};
  for (int i = 0; i < kJoystickAxes; ++i) {
    if (kAxisCaps[i] && !(entry.caps.capabilities & kAxisCaps[i])) continue;
    if (axes[i])
      *axes[i] = axis_value(position.axis[i], entry.caps.axis_min[i], entry.caps.axis_max[i]);
  }
  if (entry.caps.capabilities & kJoyHasPov) {
    if (axis7) *axis7 = pov_horizontal(position.pov);
    if (axis8) *axis8 = pov_vertical(position.pov);
  }
  if (buttons) *buttons = static_cast<int>(position.buttons);
  return rt_set_error(ZQ_OK);
}
