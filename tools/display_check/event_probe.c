/* Opens a 320 x 240 window on the driver ZQGFX names (on the OpenGL driver
 * with "opengl" as its argument) and prints every event it reads, one a
 * line, so tests can check what the window layer posted for the keys and
 * pointer actions they send.
 *
 *   event_probe [opengl]
 *
 * Prints "ready <driver>" once the window is open, then
 * "event <type> <value> <value> <value> <value>" per event. Ends with
 * status 0 after the release of Escape. */
#include <stdio.h>
#include <string.h>

#include <zentravolk/zentravolk.h>

int main(int argc, char** argv) {
  rt_init(argc, argv, 0);
  const int flags = argc > 1 && strcmp(argv[1], "opengl") == 0 ? ZQ_OPEN_OPENGL : ZQ_OPEN_WINDOWED;
  if (gfx_screen_res(320, 240, 32, 1, flags, 0) != ZQ_OK) {
    fprintf(stderr, "event_probe: no screen: %s\n", rt_error_text(rt_get_error()));
    return 1;
  }
  StringValue driver = {0};
  gfx_screen_info(NULL, NULL, NULL, NULL, NULL, NULL, &driver);
  printf("ready %s\n", rt_str_chars(&driver));
  fflush(stdout);
  rt_str_delete(&driver);

  for (;;) {
    InputEvent event;
    if (gfx_wait_event(&event, 100) != ZQ_OK) continue;
    printf("event %d %d %d %d %d\n", (int)event.values[0], (int)event.values[1], (int)event.values[2],
           (int)event.values[3], (int)event.values[4]);
    fflush(stdout);
    if (event.type == ZQ_EVENT_KEY_RELEASE && event.key.scancode == ZQ_SC_ESCAPE) break;
  }
  rt_end(0);
}
