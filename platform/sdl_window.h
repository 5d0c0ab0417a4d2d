// The SDL window behind a WsWindow, shared by the SDL parts of the window
// system (windows and messages, the renderer, OpenGL).
#pragma once
#include <SDL.h>

#include <deque>

#include "platform/window_system.h"

struct WsWindow {
  SDL_Window* window;
  Uint32 id;
  std::deque<WsMessage> messages;  // translated from SDL events, not yet taken
};

// The SDL operations that platform/sdl_renderer.cpp and platform/sdl_gl.cpp
// add to the SDL window system.
namespace sdl_ops {
bool standard_vga_mode();
WsTexture* create_texture(WsWindow* window, int width, int height, int wanted_depth, WsSurface* format);
bool lock_texture(WsTexture* texture, WsSurface* pixels);
void unlock_texture(WsTexture* texture, int first, int count);
bool present_texture(WsTexture* texture, const WsRect* place);
bool texture_lost(WsTexture* texture);
void destroy_texture(WsTexture* texture);
void scancode_state(uint8_t keys[256]);
void wait_vertical_blank(int refresh_rate);
bool gl_load();
void gl_unload();
bool gl_set_attributes(const WsGlAttributes* attributes);
WsGlContext* gl_create_context(WsWindow* window);
bool gl_make_current(WsWindow* window, WsGlContext* context);
void gl_swap(WsWindow* window);
const char* gl_extensions();
void* gl_proc(const char* name);
void gl_delete_context(WsGlContext* context);
}  // namespace sdl_ops
