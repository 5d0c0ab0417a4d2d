// The graphics library's answers to the runtime's console and keyboard
// services, installed into the hook table by every screen opening.
#include "gfx/hooks.h"

#include "drivers/driver.h"
#include "gfx/console.h"
#include "gfx/input.h"
#include "gfx/palette.h"
#include "gfx/primitives.h"
#include "runtime/rt_hooks.h"

static void view_changed(int, int) {}
static int reserved() { return 0; }

// What the drivers post input and resend the palette through.
static const DriverHost driver_host_ops = {gfx_post_key, gfx_post_event, gfx_send_palette};

void gfx_install_hooks() {
  rt_hooks_clear();
  rt_hooks.view_changed = view_changed;
  rt_hooks.reserved = reserved;
  rt_hooks.inkey = gfx_inkey;
  rt_hooks.wait_key = gfx_wait_key;
  rt_hooks.key_waiting = gfx_key_waiting;
  rt_hooks.multikey = gfx_multikey;
  rt_hooks.get_mouse = gfx_get_mouse;
  rt_hooks.set_mouse = gfx_set_mouse;
  rt_hooks.sleep = gfx_sleep;
  rt_hooks.cls = gfx_cls;
  rt_hooks.colour = gfx_colour;
  rt_hooks.port_read = gfx_port_read;
  rt_hooks.port_write = gfx_port_write;
  rt_hooks.page_copy = gfx_page_copy;
  rt_hooks.set_pages = gfx_set_pages;
  rt_hooks.locate = gfx_console_locate;
  rt_hooks.set_size = gfx_console_set_size;
  rt_hooks.column = gfx_console_column;
  rt_hooks.row = gfx_console_row;
  rt_hooks.get_cursor = gfx_console_get_cursor;
  rt_hooks.get_size = gfx_console_get_size;
  rt_hooks.write = gfx_console_write;
  rt_hooks.write_wide = gfx_console_write_wide;
  rt_hooks.read_line = gfx_console_read_line;
  rt_hooks.input = gfx_console_input;
  rt_hooks.input_wide = gfx_console_input_wide;
  rt_hooks.read_cell = gfx_console_read_cell;
  driver_set_host(&driver_host_ops);
}
