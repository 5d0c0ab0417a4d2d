// The one doorway to the window system (SDL2). Nothing outside this folder
// includes SDL; the window layer and drivers call these operations instead.
#pragma once

struct DesktopInfo {
  int width, height, bits_per_pixel, refresh_rate;
};

// The desktop's size, depth and refresh rate; false (and all zeros) when no
// display can be reached.
bool platform_desktop_info(DesktopInfo* info);
