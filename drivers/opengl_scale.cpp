// A scaled OpenGL screen's picture: the corner the program drew copied into
// a texture and drawn back k times larger, sharp, between black bars.
#include "drivers/opengl_scale.h"

#include <algorithm>
#include <new>

#include "drivers/refusal.h"

namespace {

// OpenGL numbers the drawing uses.
constexpr unsigned kTexture2d = 0x0DE1, kTextureMagFilter = 0x2800, kTextureMinFilter = 0x2801,
                   kNearest = 0x2600, kTextureWrapS = 0x2802, kTextureWrapT = 0x2803, kClampToEdge = 0x812F,
                   kRgb = 0x1907, kUnsignedByte = 0x1401, kAllAttribBits = 0x000FFFFF, kModelview = 0x1700,
                   kProjection = 0x1701, kTexture = 0x1702, kColourBufferBit = 0x4000, kTextureEnv = 0x2300,
                   kTextureEnvMode = 0x2200, kReplace = 0x1E01, kQuads = 0x0007;
// What the program may have switched on that would change the copy drawn.
constexpr unsigned kDisabledForTheCopy[] = {0x0C11 /* scissor */, 0x0B71 /* depth */, 0x0BE2 /* blend */,
                                            0x0B50 /* lighting */, 0x0BC0 /* alpha test */, 0x0B44 /* cull */,
                                            0x0B90 /* stencil */, 0x0B60 /* fog */};

}  // namespace

struct GlScaler {
  void (*viewport)(int, int, int, int);
  void (*push_attrib)(unsigned);
  void (*pop_attrib)();
  void (*matrix_mode)(unsigned);
  void (*push_matrix)();
  void (*pop_matrix)();
  void (*load_identity)();
  void (*ortho)(double, double, double, double, double, double);
  void (*enable)(unsigned);
  void (*disable)(unsigned);
  void (*clear_colour)(float, float, float, float);
  void (*clear)(unsigned);
  void (*gen_textures)(int, unsigned*);
  void (*delete_textures)(int, const unsigned*);
  void (*bind_texture)(unsigned, unsigned);
  void (*tex_image)(unsigned, int, int, int, int, int, unsigned, unsigned, const void*);
  void (*tex_parameter)(unsigned, unsigned, int);
  void (*tex_env)(unsigned, unsigned, int);
  void (*copy_tex_sub_image)(unsigned, int, int, int, int, int, int, int);
  void (*begin)(unsigned);
  void (*end)();
  void (*tex_coord)(float, float);
  void (*vertex)(float, float);
  unsigned texture = 0;
  int texture_width = 0, texture_height = 0;
};

namespace {

template <typename F>
bool find(const WindowSystem* ws, F*& f, const char* name) {
  f = reinterpret_cast<F*>(ws->gl_proc(name));
  if (!f) driver_refuse("OpenGL lacks %s for scaled screens", name);
  return f != nullptr;
}

// The texture the picture is copied into, of the screen's size, sampled
// nearest; made anew when the size changes.
void make_texture(GlScaler* g, int width, int height) {
  if (g->texture && g->texture_width == width && g->texture_height == height) return;
  if (g->texture) g->delete_textures(1, &g->texture);
  g->gen_textures(1, &g->texture);
  g->bind_texture(kTexture2d, g->texture);
  g->tex_image(kTexture2d, 0, int(kRgb), width, height, 0, kRgb, kUnsignedByte, nullptr);
  g->tex_parameter(kTexture2d, kTextureMinFilter, int(kNearest));
  g->tex_parameter(kTexture2d, kTextureMagFilter, int(kNearest));
  g->tex_parameter(kTexture2d, kTextureWrapS, int(kClampToEdge));
  g->tex_parameter(kTexture2d, kTextureWrapT, int(kClampToEdge));
  g->texture_width = width;
  g->texture_height = height;
}

void push_identity(GlScaler* g, unsigned matrix) {
  g->matrix_mode(matrix);
  g->push_matrix();
  g->load_identity();
}

void pop(GlScaler* g, unsigned matrix) {
  g->matrix_mode(matrix);
  g->pop_matrix();
}

}  // namespace

GlScaler* gl_scaler_create(const WindowSystem* ws) {
  auto* g = new (std::nothrow) GlScaler{};
  if (!g) return nullptr;
  const bool found =
      find(ws, g->viewport, "glViewport") && find(ws, g->push_attrib, "glPushAttrib") &&
      find(ws, g->pop_attrib, "glPopAttrib") && find(ws, g->matrix_mode, "glMatrixMode") &&
      find(ws, g->push_matrix, "glPushMatrix") && find(ws, g->pop_matrix, "glPopMatrix") &&
      find(ws, g->load_identity, "glLoadIdentity") && find(ws, g->ortho, "glOrtho") &&
      find(ws, g->enable, "glEnable") && find(ws, g->disable, "glDisable") &&
      find(ws, g->clear_colour, "glClearColor") && find(ws, g->clear, "glClear") &&
      find(ws, g->gen_textures, "glGenTextures") && find(ws, g->delete_textures, "glDeleteTextures") &&
      find(ws, g->bind_texture, "glBindTexture") && find(ws, g->tex_image, "glTexImage2D") &&
      find(ws, g->tex_parameter, "glTexParameteri") && find(ws, g->tex_env, "glTexEnvi") &&
      find(ws, g->copy_tex_sub_image, "glCopyTexSubImage2D") && find(ws, g->begin, "glBegin") &&
      find(ws, g->end, "glEnd") && find(ws, g->tex_coord, "glTexCoord2f") && find(ws, g->vertex, "glVertex2f");
  if (found) return g;
  delete g;
  return nullptr;
}

void gl_scaler_destroy(GlScaler* g) {
  if (!g) return;
  if (g->texture) g->delete_textures(1, &g->texture);
  delete g;
}

void gl_scaler_set_viewport(GlScaler* g, int width, int height) { g->viewport(0, 0, width, height); }

void gl_scaler_show(GlScaler* g, const ScaleLayout& l, int width, int height) {
  if (l.drawable_width <= 0 || l.drawable_height <= 0) return;
  g->push_attrib(kAllAttribBits);  // the program's viewport, switches, clear colour, texture binding
  push_identity(g, kTexture);
  push_identity(g, kModelview);
  push_identity(g, kProjection);  // left current for the ortho below
  make_texture(g, width, height);
  g->bind_texture(kTexture2d, g->texture);
  // The corner the program drew, as much of it as the drawable holds.
  g->copy_tex_sub_image(kTexture2d, 0, 0, 0, 0, 0, std::min(width, l.drawable_width),
                        std::min(height, l.drawable_height));
  for (unsigned capability : kDisabledForTheCopy) g->disable(capability);
  g->viewport(0, 0, l.drawable_width, l.drawable_height);
  g->clear_colour(0.0f, 0.0f, 0.0f, 1.0f);
  g->clear(kColourBufferBit);
  // The picture's place counted from the drawable's bottom edge, as OpenGL
  // counts rows.
  const int shown_height = height * l.factor;
  g->viewport(l.left, l.drawable_height - l.top - shown_height, width * l.factor, shown_height);
  g->ortho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
  g->enable(kTexture2d);
  g->tex_env(kTextureEnv, kTextureEnvMode, int(kReplace));
  g->begin(kQuads);
  g->tex_coord(0.0f, 0.0f);
  g->vertex(0.0f, 0.0f);
  g->tex_coord(1.0f, 0.0f);
  g->vertex(1.0f, 0.0f);
  g->tex_coord(1.0f, 1.0f);
  g->vertex(1.0f, 1.0f);
  g->tex_coord(0.0f, 1.0f);
  g->vertex(0.0f, 1.0f);
  g->end();
  pop(g, kTexture);
  pop(g, kModelview);
  pop(g, kProjection);
  g->pop_attrib();
}
