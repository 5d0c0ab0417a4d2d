// Gamepads through SDL's game-controller subsystem, which maps each known
// device (its built-in database and the SDL_GAMECONTROLLERCONFIG variable,
// read when the subsystem starts) onto the standard layout. Pads are found
// by polling the device list, not through SDL's events, so the slots change
// only when the program asks.
#include "platform/gamepad.h"

#include <SDL.h>

#include "platform/sdl_devices.h"

namespace {

enum class Start { not_tried, running, failed };
Start start_state = Start::not_tried;

struct Slot {
  SDL_GameController* pad;
  SDL_JoystickID id;
};
Slot slots[kGamepadSlots] = {};

// The layout's buttons, in the order of the reading's bits.
constexpr SDL_GameControllerButton kButtons[] = {
    SDL_CONTROLLER_BUTTON_A,          SDL_CONTROLLER_BUTTON_B,           SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,          SDL_CONTROLLER_BUTTON_BACK,        SDL_CONTROLLER_BUTTON_GUIDE,
    SDL_CONTROLLER_BUTTON_START,      SDL_CONTROLLER_BUTTON_LEFTSTICK,   SDL_CONTROLLER_BUTTON_RIGHTSTICK,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, SDL_CONTROLLER_BUTTON_DPAD_UP,
    SDL_CONTROLLER_BUTTON_DPAD_DOWN,  SDL_CONTROLLER_BUTTON_DPAD_LEFT,   SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
};
static_assert(sizeof kButtons / sizeof kButtons[0] == 15 && kPadDpadRight == 1u << 14,
              "one button per reading bit");

// The layout's axes, in the order of GamepadAxis.
constexpr SDL_GameControllerAxis kAxes[kPadAxes] = {
    SDL_CONTROLLER_AXIS_LEFTX,  SDL_CONTROLLER_AXIS_LEFTY,        SDL_CONTROLLER_AXIS_RIGHTX,
    SDL_CONTROLLER_AXIS_RIGHTY, SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_CONTROLLER_AXIS_TRIGGERRIGHT,
};

bool taken(SDL_JoystickID id) {
  for (const Slot& slot : slots)
    if (slot.pad && slot.id == id) return true;
  return false;
}

int free_slot() {
  for (int i = 0; i < kGamepadSlots; ++i)
    if (!slots[i].pad) return i;
  return -1;
}

}  // namespace

bool platform_gamepads_started() { return start_state == Start::running; }

bool platform_gamepads_refresh(GamepadChange changed, void* context) {
  if (start_state == Start::not_tried)
    start_state = sdl_start_devices(SDL_INIT_GAMECONTROLLER) ? Start::running : Start::failed;
  if (start_state != Start::running) return false;
  // With the subsystem's events off, this is what looks for devices that
  // came and went.
  SDL_GameControllerUpdate();
  for (int i = 0; i < kGamepadSlots; ++i) {
    Slot& slot = slots[i];
    if (!slot.pad || SDL_GameControllerGetAttached(slot.pad)) continue;
    SDL_GameControllerClose(slot.pad);
    slot = Slot{};
    changed(i, false, context);
  }
  const int devices = SDL_NumJoysticks();
  for (int device = 0; device < devices; ++device) {
    if (!SDL_IsGameController(device) || taken(SDL_JoystickGetDeviceInstanceID(device))) continue;
    const int i = free_slot();
    if (i < 0) break;
    SDL_GameController* pad = SDL_GameControllerOpen(device);
    if (!pad) continue;  // tried again at the next refresh
    slots[i] = Slot{pad, SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad))};
    changed(i, true, context);
  }
  return true;
}

bool platform_gamepad_read(int slot, GamepadReading* reading) {
  *reading = GamepadReading{};
  if (slot < 0 || slot >= kGamepadSlots || !slots[slot].pad) return false;
  SDL_GameController* pad = slots[slot].pad;
  for (size_t i = 0; i < sizeof kButtons / sizeof kButtons[0]; ++i)
    if (SDL_GameControllerGetButton(pad, kButtons[i])) reading->buttons |= 1u << i;
  for (int i = 0; i < kPadAxes; ++i) reading->axes[i] = SDL_GameControllerGetAxis(pad, kAxes[i]);
  return true;
}
