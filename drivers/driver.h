// The display driver record: what a back-end offers the graphics library.
// Empty operations (null) mean "not supported" and are tested before use,
// except lock and unlock, which every driver has. Drivers fill their record
// by field name; an operation left out is empty.
#pragma once
#include "drivers/screen_state.h"
#include "zentravolk/screen.h"  // the open flags, ZQ_OPEN_*, as the drivers read them

struct GfxDriver {
  const char* name = nullptr;
  int (*init)(const char* title, int width, int height, int depth, int refresh_rate, int flags) = nullptr;
  void (*exit)() = nullptr;
  void (*lock)() = nullptr;
  void (*unlock)() = nullptr;
  void (*set_palette)(int index, int red, int green, int blue) = nullptr;
  void (*wait_vsync)() = nullptr;
  int (*get_mouse)(int* x, int* y, int* wheel, int* buttons, int* clip) = nullptr;
  void (*set_mouse)(int x, int y, int cursor, int clip) = nullptr;
  void (*set_window_title)(const char* title) = nullptr;
  int (*set_window_pos)(int x, int y) = nullptr;
  int* (*fetch_modes)(int depth, int* count) = nullptr;
  void (*flip)() = nullptr;
  void (*poll_events)() = nullptr;
};

// What the drivers call back into the graphics library for: the input state
// they fill and the palette they resend after a display switch.
struct DriverHost {
  void (*post_key)(int code);
  void (*post_event)(const GfxEvent* event);
  void (*send_palette)();
};
void driver_set_host(const DriverHost* host);
const DriverHost* driver_host();

extern const GfxDriver null_driver;
extern const GfxDriver directx_driver;
extern const GfxDriver gdi_driver;
extern const GfxDriver opengl_driver;

// The null-terminated list of real drivers in the order they are tried:
// DirectX, GDI, OpenGL. Tests replace it with stand-ins; null restores it.
const GfxDriver* const* driver_list();
void driver_set_list(const GfxDriver* const* list);
