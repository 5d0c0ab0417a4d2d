// An OpenGL screen: a 640 x 480 window whose picture the program draws with
// OpenGL itself (a turning triangle with a colour at each corner over a
// dark blue ground), shown by the page copy, until Escape is held.
//
//   opengl_demo           run until Escape
//   opengl_demo report    also print, after the first frame, the driver's
//                         name and the pixels OpenGL holds at the centre and
//                         a corner ("centre R G B", "corner R G B")
#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "gfx/draw/primitives.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

void draw(float degrees) {
  glViewport(0, 0, kWidth, kHeight);
  glClearColor(0.1f, 0.2f, 0.4f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-4.0 / 3.0, 4.0 / 3.0, -1.0, 1.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glRotatef(degrees, 0.0f, 0.0f, 1.0f);
  // Turning about its centre, which stays at the middle of the window.
  glBegin(GL_TRIANGLES);
  glColor3f(1.0f, 0.0f, 0.0f);
  glVertex2f(0.0f, 0.8f);
  glColor3f(0.0f, 1.0f, 0.0f);
  glVertex2f(-0.6928f, -0.4f);
  glColor3f(0.0f, 0.0f, 1.0f);
  glVertex2f(0.6928f, -0.4f);
  glEnd();
}

void report_pixel(const char* name, int x, int y) {
  unsigned char rgba[4] = {};
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  std::printf("%s %d %d %d\n", name, rgba[0], rgba[1], rgba[2]);
}

}  // namespace

int main(int argc, char** argv) {
  rt_init(argc, argv, 1);
  const bool report = argc > 1 && std::strcmp(argv[1], "report") == 0;
  if (gfx_screen_res(kWidth, kHeight, 32, 1, 2, 0) != 0) {
    std::fprintf(stderr, "opengl_demo: no OpenGL screen: %s\n", rt_error_detail());
    return 1;
  }
  StringValue driver{};
  gfx_screen_info(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &driver);
  const bool opengl = std::strcmp(rt_str_chars(&driver), "OpenGL") == 0;
  if (report) std::printf("driver %s\n", rt_str_chars(&driver));
  std::fflush(stdout);
  rt_str_delete(&driver);
  if (!opengl) rt_end(1);  // nothing to draw with

  const auto start = std::chrono::steady_clock::now();
  for (bool first = true; !rt_multikey(1); first = false) {
    std::chrono::duration<float> seconds = std::chrono::steady_clock::now() - start;
    draw(seconds.count() * 90.0f);
    if (report && first) {
      report_pixel("centre", kWidth / 2, kHeight / 2);
      report_pixel("corner", 2, 2);
      std::fflush(stdout);
    }
    gfx_page_copy(-1, -1);
    gfx_frame_sync(60);
  }
  rt_end(0);
}
