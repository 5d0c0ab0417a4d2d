/* Input: shows what the keyboard, the mouse, joystick 0 and gamepad 0
 * report, every frame, until Escape. On the Null driver, which has no
 * keyboard or mouse, it plays a simulated Right arrow and pointer, prints
 * one read-out to standard output and ends.
 */
#include <stdio.h>
#include <string.h>

#include <zentravolk/zentravolk.h>

static int null_driver;

static void show(int row, const char* text) {
  gfx_draw_text(NULL, 8, (float)(8 + 12 * row), text, 0xFFFFFF, NULL);
  if (null_driver) printf("input: %s\n", text);
}

int main(int argc, char** argv) {
  rt_init(argc, argv, 0);
  if (gfx_screen_res(400, 100, 32, 2, ZQ_OPEN_WINDOWED, 0) != ZQ_OK) {
    fprintf(stderr, "input: no screen: %s\n", rt_error_detail());
    return 1;
  }
  null_driver = strcmp(gfx_driver_name(), "Null") == 0;
  if (null_driver) { /* what a program's own tests can do on any driver */
    gfx_simulate_key(ZQ_SC_RIGHT, 1);
    gfx_simulate_pointer(40, 30, ZQ_BUTTON_LEFT);
  }

  char text[128], last_key[32] = "none";
  int page = 0;
  do {
    StringValue* key = rt_inkey(); /* "", a character, or 255 and a scancode */
    const unsigned char* k = (const unsigned char*)rt_str_chars(key);
    if (rt_str_len(key) == 1) snprintf(last_key, sizeof last_key, "'%c' (%d)", k[0], k[0]);
    if (rt_str_len(key) == 2) snprintf(last_key, sizeof last_key, "extended, scancode %d", k[1]);
    rt_str_release(key);

    gfx_set_pages(page, page ^ 1); /* draw on one page while the other shows */
    page ^= 1;
    gfx_cls(0);
    snprintf(text, sizeof text, "Arrows down: %s%s%s%s Space: %s", rt_multikey(ZQ_SC_LEFT) ? "left " : "",
             rt_multikey(ZQ_SC_RIGHT) ? "right " : "", rt_multikey(ZQ_SC_UP) ? "up " : "",
             rt_multikey(ZQ_SC_DOWN) ? "down " : "", rt_multikey(ZQ_SC_SPACE) ? "down" : "up");
    show(0, text);
    snprintf(text, sizeof text, "Last key: %s", last_key);
    show(1, text);

    int x, y, wheel, buttons;
    if (gfx_get_mouse(&x, &y, &wheel, &buttons, NULL) == ZQ_OK)
      snprintf(text, sizeof text, "Mouse: %d, %d wheel %d buttons %d", x, y, wheel, buttons);
    else
      snprintf(text, sizeof text, "Mouse: not available (error %d: %s)", rt_get_error(), rt_error_detail());
    show(2, text);

    float ax, ay, hat_x, hat_y;
    if (gfx_get_joystick(0, &buttons, &ax, &ay, NULL, NULL, NULL, NULL, &hat_x, &hat_y) == ZQ_OK)
      snprintf(text, sizeof text, "Joystick 0: %.2f, %.2f hat %.0f, %.0f buttons %d", ax, ay, hat_x, hat_y,
               buttons);
    else
      snprintf(text, sizeof text, "Joystick 0: not connected (error %d: %s)", rt_get_error(), rt_error_detail());
    show(3, text);

    GamepadState pad;
    if (gfx_get_gamepad(0, &pad) == ZQ_OK)
      snprintf(text, sizeof text, "Gamepad 0: left %.2f, %.2f right %.2f, %.2f triggers %.2f, %.2f buttons %d",
               pad.left_x, pad.left_y, pad.right_x, pad.right_y, pad.left_trigger, pad.right_trigger, pad.buttons);
    else
      snprintf(text, sizeof text, "Gamepad 0: not connected (error %d: %s)", rt_get_error(), rt_error_detail());
    show(4, text);
    show(5, "Escape ends.");
    if (!null_driver) gfx_frame_sync(60);
  } while (!null_driver && !rt_multikey(ZQ_SC_ESCAPE));
  rt_end(0);
}
