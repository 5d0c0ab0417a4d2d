// Simulated keys and pointer for programs' own tests: they go through the
// display driver's window layer as the window system's messages do.
#include "drivers/simulated_input.h"
#include "gfx/draw/context.h"
#include "gfx/input/input.h"
#include "runtime/rt_core.h"

int gfx_simulate_key(int scancode, int down) {
  if (!screen_state) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "gfx_simulate_key: no screen is open");
  GfxScreenLock lock;
  if (!win_simulate_key(scancode, down != 0))
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "gfx_simulate_key: no key has scancode %d", scancode);
  return rt_set_error(ZQ_OK);
}

int gfx_simulate_pointer(int x, int y, int buttons) {
  if (!screen_state) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "gfx_simulate_pointer: no screen is open");
  GfxScreenLock lock;
  win_simulate_pointer(x, y, buttons);
  return rt_set_error(ZQ_OK);
}
