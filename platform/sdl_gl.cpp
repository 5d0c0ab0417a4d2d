// OpenGL on SDL2: the library, the pixel format of the next OpenGL window,
// and the rendering context. OpenGL's own entry points are looked up by name
// through SDL, so nothing here links against the OpenGL library.
#include <SDL.h>

#include <string>

#include "platform/sdl_window.h"

namespace {

constexpr unsigned kGlExtensions = 0x1F03;
constexpr unsigned kGlNumExtensions = 0x821D;

using GetString = const unsigned char* (*)(unsigned name);
using GetStringi = const unsigned char* (*)(unsigned name, unsigned index);
using GetIntegerv = void (*)(unsigned name, int* value);

std::string extension_list;  // built from the indexed names when the plain string is refused

}  // namespace

namespace sdl_ops {

bool gl_load() { return SDL_GL_LoadLibrary(nullptr) == 0; }

void gl_unload() {
  SDL_GL_ResetAttributes();  // the next renderer or window chooses its own format
  SDL_GL_UnloadLibrary();
}

bool gl_set_attributes(const WsGlAttributes* a) {
  SDL_GL_ResetAttributes();
  const std::pair<SDL_GLattr, int> values[] = {
      {SDL_GL_BUFFER_SIZE, a->colour_bits},
      {SDL_GL_RED_SIZE, a->red_bits},
      {SDL_GL_GREEN_SIZE, a->green_bits},
      {SDL_GL_BLUE_SIZE, a->blue_bits},
      {SDL_GL_ALPHA_SIZE, a->alpha_bits},
      {SDL_GL_DEPTH_SIZE, a->depth_bits},
      {SDL_GL_STENCIL_SIZE, a->stencil_bits},
      {SDL_GL_ACCUM_RED_SIZE, a->accum_red_bits},
      {SDL_GL_ACCUM_GREEN_SIZE, a->accum_green_bits},
      {SDL_GL_ACCUM_BLUE_SIZE, a->accum_blue_bits},
      {SDL_GL_ACCUM_ALPHA_SIZE, a->accum_alpha_bits},
      {SDL_GL_MULTISAMPLEBUFFERS, a->sample_buffers},
      {SDL_GL_MULTISAMPLESAMPLES, a->samples},
      {SDL_GL_DOUBLEBUFFER, 1},
      {SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY},
  };
  bool ok = true;
  for (const auto& [attribute, value] : values) ok = SDL_GL_SetAttribute(attribute, value) == 0 && ok;
  // Left unset, any format will do; set, only fully accelerated ones.
  if (a->accelerated) ok = SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, 1) == 0 && ok;
  return ok;
}

WsGlContext* gl_create_context(WsWindow* window) {
  if (!window) return nullptr;
  return static_cast<WsGlContext*>(SDL_GL_CreateContext(window->window));
}

bool gl_make_current(WsWindow* window, WsGlContext* context) {
  return SDL_GL_MakeCurrent(window ? window->window : nullptr, context) == 0;
}

void gl_swap(WsWindow* window) {
  if (window) SDL_GL_SwapWindow(window->window);
}

const char* gl_extensions() {
  auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  if (!get_string || !SDL_GL_GetCurrentContext()) return nullptr;
  if (const unsigned char* list = get_string(kGlExtensions)) return reinterpret_cast<const char*>(list);
  // A core-profile context lists its names one by one.
  auto get_stringi = reinterpret_cast<GetStringi>(SDL_GL_GetProcAddress("glGetStringi"));
  auto get_integer = reinterpret_cast<GetIntegerv>(SDL_GL_GetProcAddress("glGetIntegerv"));
  if (!get_stringi || !get_integer) return nullptr;
  int count = 0;
  get_integer(kGlNumExtensions, &count);
  extension_list.clear();
  for (int i = 0; i < count; ++i) {
    const unsigned char* name = get_stringi(kGlExtensions, unsigned(i));
    if (!name) continue;
    if (!extension_list.empty()) extension_list += ' ';
    extension_list += reinterpret_cast<const char*>(name);
  }
  return extension_list.c_str();
}

void* gl_proc(const char* name) { return SDL_GL_GetProcAddress(name); }

void gl_delete_context(WsGlContext* context) {
  if (context) SDL_GL_DeleteContext(context);
}

}  // namespace sdl_ops
