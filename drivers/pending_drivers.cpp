// Records of the window-system drivers whose back-ends are not built yet:
// each refuses in init, so a screen opening falls through to the next one.
#include "drivers/driver.h"

static int refuse_init(const char*, int, int, int, int, int) { return -1; }
static void no_exit() {}
static void no_lock() {}

const GfxDriver directx_driver = {"DirectX", refuse_init, no_exit, no_lock, no_lock, nullptr, nullptr,
                                  nullptr,   nullptr,     nullptr, nullptr, nullptr, nullptr, nullptr};
const GfxDriver opengl_driver = {"OpenGL", refuse_init, no_exit, no_lock, no_lock, nullptr, nullptr,
                                 nullptr,  nullptr,     nullptr, nullptr, nullptr, nullptr, nullptr};
