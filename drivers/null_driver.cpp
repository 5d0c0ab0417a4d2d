// The null driver: shows nothing and reads no input, so the whole library and
// the game run against memory alone. It is chosen without an init.
#include "drivers/driver.h"

static void null_lock() {}
static void null_unlock() {}

const GfxDriver null_driver = {
    "Null",      nullptr, nullptr, null_lock, null_unlock, nullptr, nullptr,
    nullptr,     nullptr, nullptr, nullptr,   nullptr,     nullptr, nullptr,
};
