#include "platform/sdl_devices.h"

#include <SDL.h>

bool sdl_start_devices(uint32_t subsystem) {
  // Read devices whether or not one of our windows has the focus, like a
  // direct device query would.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  // The device subsystems start SDL's events, which would otherwise take
  // over SIGINT and SIGTERM and leave the program unable to be stopped.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(subsystem) != 0) return false;
  // Positions are polled: the devices' events would only fill SDL's queue.
  if (subsystem & SDL_INIT_JOYSTICK) SDL_JoystickEventState(SDL_IGNORE);
  if (subsystem & SDL_INIT_GAMECONTROLLER) SDL_GameControllerEventState(SDL_IGNORE);
  return true;
}
