// The graphics library's answers to the runtime's console and keyboard
// services, installed into the hook table by every screen opening.
#include "gfx/screen/hooks.h"

#include "drivers/driver.h"
#include "gfx/console/console.h"
#include "gfx/draw/primitives.h"
#include "gfx/image/palette.h"
#include "gfx/input/input.h"
#include "runtime/rt_hooks.h"

static void view_changed(int, int) {}
static int reserved() { return 0; }

// What the drivers post input and resend the palette through.
static const DriverHost driver_host_ops = {
    .post_key = gfx_post_key,
    .post_event = gfx_post_event,
    .send_palette = gfx_send_palette,
};

// All 27 slots, in the table's order: while a screen is open every console
// and keyboard service of the runtime is the graphics library's.
static const RuntimeHooks graphics_hooks = {
    .inkey = gfx_inkey,
    .wait_key = gfx_wait_key,
    .key_waiting = gfx_key_waiting,
    .cls = gfx_cls,
    .colour = gfx_colour,
    .locate = gfx_console_locate,
    .set_size = gfx_console_set_size,
    .column = gfx_console_column,
    .row = gfx_console_row,
    .get_cursor = gfx_console_get_cursor,
    .get_size = gfx_console_get_size,
    .write = gfx_console_write,
    .write_wide = gfx_console_write_wide,
    .read_line = gfx_console_read_line,
    .multikey = gfx_multikey,
    .get_mouse = gfx_get_mouse,
    .set_mouse = gfx_set_mouse,
    .port_read = gfx_port_read,
    .port_write = gfx_port_write,
    .view_changed = view_changed,
    .input = gfx_console_input,
    .input_wide = gfx_console_input_wide,
    .read_cell = gfx_console_read_cell,
    .sleep = gfx_sleep,
    .reserved = reserved,
    .page_copy = gfx_page_copy,
    .set_pages = gfx_set_pages,
};

void gfx_install_hooks() {
  rt_hooks = graphics_hooks;
  driver_set_host(&driver_host_ops);
}
