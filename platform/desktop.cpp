// Desktop facts read through SDL's video subsystem.
#include <SDL.h>

#include "platform/platform.h"
#include "platform/sdl_video.h"

bool platform_desktop_info(DesktopInfo* info) {
  *info = DesktopInfo{};
  if (!sdl_video_start()) return false;
  SDL_DisplayMode mode;
  bool ok = SDL_GetDesktopDisplayMode(0, &mode) == 0;
  if (ok) {
    info->width = mode.w;
    info->height = mode.h;
    // A 32-bit desktop is reported as 32 bits even though 8 of them carry no colour.
    info->bits_per_pixel = SDL_BYTESPERPIXEL(mode.format) == 4 ? 32 : int(SDL_BITSPERPIXEL(mode.format));
    info->refresh_rate = mode.refresh_rate;
  }
  return ok;
}
