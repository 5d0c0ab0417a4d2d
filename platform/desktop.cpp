// Desktop facts read through SDL's video subsystem.
#include <SDL.h>

#include "platform/platform.h"

bool platform_desktop_info(DesktopInfo* info) {
  *info = DesktopInfo{};
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // SIGINT and SIGTERM stay the program's
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  SDL_DisplayMode mode;
  bool ok = SDL_GetDesktopDisplayMode(0, &mode) == 0;
  if (ok) {
    info->width = mode.w;
    info->height = mode.h;
    // A 32-bit desktop is reported as 32 bits even though 8 of them carry no colour.
    info->bits_per_pixel = SDL_BYTESPERPIXEL(mode.format) == 4 ? 32 : int(SDL_BITSPERPIXEL(mode.format));
    info->refresh_rate = mode.refresh_rate;
  }
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return ok;
}
