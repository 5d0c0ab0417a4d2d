// Opens a 640 x 480 x 32 screen with two pages on the null driver, prints
// what the screen query reports, sets the window title and ends through the
// runtime, which closes the screen on its way out.
#include <cstdio>

#include "gfx/screen/screen.h"
#include "runtime/runtime.h"

int main(int argc, char** argv) {
  rt_init(argc, argv, 1);
  if (gfx_screen_res(640, 480, 32, 2, -1, 0) != 0) {
    std::fprintf(stderr, "screen_probe: the screen could not be opened\n");
    rt_end(1);
  }
  gfx_set_window_title(rt_str_temp("Zentravolk", 10));
  int width, height, depth, bytes_per_pixel, pitch, refresh;
  StringValue name{};
  gfx_screen_info(&width, &height, &depth, &bytes_per_pixel, &pitch, &refresh, &name);
  std::printf("%dx%d depth %d, %d bytes per pixel, pitch %d, refresh %d, driver %s, title %s\n", width, height,
              depth, bytes_per_pixel, pitch, refresh, rt_str_chars(&name), gfx_window_title());
  rt_str_delete(&name);
  rt_end(0);
}
