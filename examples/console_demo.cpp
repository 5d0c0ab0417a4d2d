// A text console on the graphics screen. On a real display it waits for a
// key before leaving; on the null driver it types a name itself and prints
// the console's rows to standard output instead.
#include <cstdio>
#include <cstring>

#include "examples/console_demo.h"
#include "gfx/input/input.h"
#include "gfx/screen/screen.h"

int main(int argc, char** argv) {
  rt_init(argc, argv, 1);
  if (gfx_screen_res(640, 480, 32, 1, 0, 0) != 0) {
    std::fprintf(stderr, "console_demo: no screen: %s\n", rt_error_detail());
    return 1;
  }
  gfx_set_window_title(console_demo::text("Console demo"));
  const bool scripted = std::strcmp(gfx_driver_name(), "Null") == 0;
  if (scripted) {
    for (const char* key = "Nulm\bl\r"; *key; ++key) gfx_post_key(static_cast<unsigned char>(*key));
  }
  console_demo::run();
  if (scripted) {
    for (int row = 1; row <= console_demo::kRows; ++row) std::printf("%s\n", console_demo::screen_row(row).c_str());
  } else {
    console_demo::say("Press a key to leave.");
    rt_getkey();
  }
  rt_end(0);
}
