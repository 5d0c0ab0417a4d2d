// The null driver: shows nothing and reads no input, so the whole library and
// the game run against memory alone. Use it where nothing must be shown or no
// display exists: tests, servers, tools that only draw into images. It is
// chosen by the environment's ZQGFX=null or by the null-driver open flags value,
// without an init, and is never tried in the fall-back order.
#include "drivers/driver.h"

// Nothing to take or give back: one empty operation serves as both.
static void null_lock_unlock() {}

const GfxDriver null_driver = {
    .name = "Null",
    .lock = null_lock_unlock,
    .unlock = null_lock_unlock,
};
