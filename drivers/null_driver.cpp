// The null driver: shows nothing and reads no device (only simulated input,
// drivers/simulated_input.h), so the whole library and
// the game run against memory alone. Use it where nothing must be shown or no
// display exists: tests, servers, tools that only draw into images. It is
// chosen by the environment's ZQGFX=null or by the null-driver open flags value,
// without an init, and is never tried in the fall-back order.
#include "drivers/driver.h"
#include "drivers/simulated_input.h"

// Nothing to take or give back: one empty operation serves as both.
static void null_lock_unlock() {}

const GfxDriver null_driver = {
    .name = "Null",
    .lock = null_lock_unlock,
    .unlock = null_lock_unlock,
    .get_mouse = win_simulated_get_mouse,
};
