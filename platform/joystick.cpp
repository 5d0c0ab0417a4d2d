// Joystick devices through SDL's joystick subsystem. Devices stay open for the
// life of the process once queried; positions are polled, so SDL's joystick
// events are switched off and the state is refreshed on every read.
#include "platform/joystick.h"

#include <SDL.h>

#include <algorithm>

#include "platform/sdl_devices.h"

namespace {

enum class Start { not_tried, running, failed };
Start start_state = Start::not_tried;
SDL_Joystick* devices[kJoystickDevices] = {};

bool start_joysticks() {
  if (start_state == Start::not_tried)
    start_state = sdl_start_devices(SDL_INIT_JOYSTICK) ? Start::running : Start::failed;
  return start_state == Start::running;
}

// SDL hat bits to hundredths of a degree, clockwise from forward.
int hat_to_pov(Uint8 hat) {
  switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return kJoyPovCentred;  // centred, or contradictory bits
  }
}

}  // namespace

bool platform_joystick_caps(int index, JoystickCaps* caps) {
  *caps = JoystickCaps{};
  if (index < 0 || index >= kJoystickDevices || !start_joysticks()) return false;
  SDL_Joystick*& device = devices[index];
  if (!device) {
    if (index >= SDL_NumJoysticks()) return false;
    device = SDL_JoystickOpen(index);
    if (!device) return false;
  }
  const int axes = SDL_JoystickNumAxes(device);
  for (int i = 0; i < kJoystickAxes; ++i) {
    caps->axis_min[i] = SDL_JOYSTICK_AXIS_MIN;
    caps->axis_max[i] = SDL_JOYSTICK_AXIS_MAX;
  }
  if (axes >= 3) caps->capabilities |= kJoyHasZ;
  if (axes >= 4) caps->capabilities |= kJoyHasR;
  if (axes >= 5) caps->capabilities |= kJoyHasU;
  if (axes >= 6) caps->capabilities |= kJoyHasV;
  if (SDL_JoystickNumHats(device) > 0) caps->capabilities |= kJoyHasPov;
  caps->button_count = std::max(0, SDL_JoystickNumButtons(device));
  return true;
}

bool platform_joystick_position(int index, JoystickPosition* position) {
  *position = JoystickPosition{};
  position->pov = kJoyPovCentred;
  if (index < 0 || index >= kJoystickDevices || !devices[index]) return false;
  SDL_Joystick* device = devices[index];
  SDL_JoystickUpdate();
  if (!SDL_JoystickGetAttached(device)) return false;
  const int axes = std::min(SDL_JoystickNumAxes(device), kJoystickAxes);
  for (int i = 0; i < axes; ++i) position->axis[i] = SDL_JoystickGetAxis(device, i);
  if (SDL_JoystickNumHats(device) > 0) position->pov = hat_to_pov(SDL_JoystickGetHat(device, 0));
  const int buttons = std::min(SDL_JoystickNumButtons(device), 32);
  for (int i = 0; i < buttons; ++i)
    if (SDL_JoystickGetButton(device, i)) position->buttons |= uint32_t(1) << i;
  return true;
}
