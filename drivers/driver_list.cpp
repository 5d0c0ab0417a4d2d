// The driver list, the shared framebuffer record pointer and the host
// callbacks the drivers reach the graphics library through.
#include "drivers/driver.h"

ScreenState* screen_state = nullptr;
uint32_t* screen_conversion_table = nullptr;

static const GfxDriver* const default_list[] = {&directx_driver, &gdi_driver, &opengl_driver, nullptr};
static const GfxDriver* const* current_list = default_list;
static const DriverHost* current_host = nullptr;

const GfxDriver* const* driver_list() { return current_list; }
void driver_set_list(const GfxDriver* const* list) { current_list = list ? list : default_list; }

void driver_set_host(const DriverHost* host) { current_host = host; }
const DriverHost* driver_host() { return current_host; }
