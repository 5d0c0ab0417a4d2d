/* Hello: opens a 320 x 200 screen in a window scaled to suit the desktop
 * (each pixel a sharp square, resizable, Alt+Enter for full screen),
 * writes a line of text in the built-in font and a line on the text
 * console, and waits for a key. On the Null driver, which
 * has no keyboard, it checks its text instead of waiting.
 *
 *   hello                  (ZQGFX=null hello to run without a display)
 */
#include <stdio.h>
#include <string.h>

#include <zentravolk/zentravolk.h>

static StringValue* text(const char* chars) { return rt_str_temp(chars, (int)strlen(chars)); }

int main(int argc, char** argv) {
  rt_init(argc, argv, 0);
  if (gfx_screen_res(320, 200, 32, 1, ZQ_OPEN_WINDOWED | ZQ_OPEN_SCALED, 0) != ZQ_OK) {
    fprintf(stderr, "hello: no screen: %s (%s)\n", rt_error_text(rt_get_error()), rt_error_detail());
    return 1;
  }
  gfx_set_title("Hello");
  gfx_colour(0xFFFFFF, 0x203060, 0);  /* white on dark blue */
  gfx_cls(0);

  rt_locate(12, 1, -1, 0, 0);
  rt_print(0, text("Press a key."), 1);  /* the text console, row 12 */
  gfx_draw_text(NULL, 108, 40, "Hello, world!", 0xFFFF00, NULL);

  printf("hello: driver %s\n", gfx_driver_name());
  if (strcmp(gfx_driver_name(), "Null") == 0) {
    /* No key will come: show that the text is there instead. The 'H' at
     * (108, 40) has its left column lit from its first row on. */
    int ok = (gfx_point(NULL, 108, 40) & 0xFFFFFF) == 0xFFFF00 &&
             (gfx_point(NULL, 107, 40) & 0xFFFFFF) == 0x203060 && gfx_console_read_cell(1, 12, 0) == 'P';
    printf("hello: text %s\n", ok ? "drawn" : "missing");
    rt_end(ok ? 0 : 1);
  }
  rt_sleep(-1);  /* until a key is pressed */
  rt_end(0);
}
