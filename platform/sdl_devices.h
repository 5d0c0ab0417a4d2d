// Starting SDL's device subsystems (joysticks, game controllers) the way
// this library reads them: polled, never through SDL's event queue.
#pragma once
#include <cstdint>

// Starts the subsystem (an SDL_INIT_* value), with devices read whether or
// not one of our windows has the focus and with SDL's own signal handlers
// left out, then switches the subsystem's events off; false when it cannot
// start. Each reader calls it once and keeps the answer.
bool sdl_start_devices(uint32_t subsystem);
