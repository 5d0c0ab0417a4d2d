/* Forms: the simple forms and the newer shapes side by side: a framed
 * panel (gfx_fill_rect, gfx_draw_rect), a filled and an outlined circle
 * (gfx_fill_circle, gfx_draw_circle), a star (gfx_polygon, even-odd, so its
 * middle stays open) beside two triangles sharing an edge (gfx_triangle),
 * thick lines with butt and round ends (gfx_thick_line), and a fan of
 * smooth lines round a smooth ellipse (gfx_smooth_line, gfx_smooth_ellipse).
 * Any key ends it. On the Null driver it checks a few pixels instead of
 * waiting and ends with status 1 when one is wrong.
 *
 *   forms                  (ZQGFX=null forms to run without a display)
 */
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <zentravolk/zentravolk.h>

#define WIDTH 320
#define HEIGHT 200
#define PANEL 0x203040u
#define SUN 0xFFD040u
#define RED 0xC03030u
#define BLUE 0x3050D0u

static void draw_scene(void) {
  gfx_fill_rect(NULL, 0, 0, WIDTH, HEIGHT, 0x000000);
  gfx_fill_rect(NULL, 10, 10, 140, 80, PANEL);
  gfx_draw_rect(NULL, 10, 10, 140, 80, 0xFFFFFF);
  gfx_fill_circle(NULL, 50, 50, 25, SUN);
  gfx_draw_circle(NULL, 110, 50, 25, SUN);

  /* A five-pointed star drawn as one crossing outline: the pentagon in
   * its middle is inside twice, so it is left open. */
  float star[10];
  for (int i = 0; i < 5; ++i) {
    double a = -1.5707963 + i * 2 * 2 * 3.14159265 / 5;
    star[2 * i] = (float)(230 + 40 * cos(a));
    star[2 * i + 1] = (float)(50 + 40 * sin(a));
  }
  gfx_polygon(NULL, star, 5, RED, ZQ_SHAPE_FILLED);

  /* Two triangles sharing their long edge: no gap and no overlap. */
  gfx_triangle(NULL, 20.5f, 110, 140, 110.25f, 20.5f, 180.75f, RED, ZQ_SHAPE_FILLED);
  gfx_triangle(NULL, 140, 110.25f, 140, 180.75f, 20.5f, 180.75f, BLUE, ZQ_SHAPE_FILLED);

  gfx_thick_line(NULL, 160, 120, 220, 180, 9, SUN, 0);
  gfx_thick_line(NULL, 180, 120, 240, 180, 9, SUN, ZQ_LINE_ROUND_ENDS);

  gfx_smooth_ellipse(NULL, 280, 150, 30, 18.5f, 0xFFFFFF, 0);
  for (int i = 0; i < 8; ++i) {
    double a = i * 3.14159265 / 8;
    gfx_smooth_line(NULL, 280, 150, (float)(280 + 38 * cos(a)), (float)(150 - 38 * sin(a)), 0x80FF80, 0);
  }
}

/* The pixels a correct drawing has, as gfx_point() reads them. */
static int pixels_as_drawn(void) {
  int ok = 1;
  ok &= (gfx_point(NULL, 20, 80) & 0xFFFFFF) == PANEL;
  ok &= (gfx_point(NULL, 10, 10) & 0xFFFFFF) == 0xFFFFFF;
  ok &= (gfx_point(NULL, 50, 50) & 0xFFFFFF) == SUN;
  ok &= (gfx_point(NULL, 110, 50) & 0xFFFFFF) == PANEL;  /* the outlined circle's inside */
  ok &= (gfx_point(NULL, 230, 50) & 0xFFFFFF) == 0;      /* the star's open middle */
  ok &= (gfx_point(NULL, 230, 15) & 0xFFFFFF) == RED;    /* its top point */
  /* Every pixel under the triangles is one of the two colours. */
  for (int y = 111; y < 180; ++y)
    for (int x = 21; x < 140; ++x) {
      uint32_t v = gfx_point(NULL, (float)x, (float)y) & 0xFFFFFF;
      ok &= v == RED || v == BLUE;
    }
  ok &= (gfx_point(NULL, 157, 117) & 0xFFFFFF) == 0;     /* butt end: nothing behind the end point */
  ok &= (gfx_point(NULL, 177, 117) & 0xFFFFFF) == SUN;   /* round end: the disc behind it */
  ok &= (gfx_point(NULL, 242, 182) & 0xFFFFFF) == SUN;
  ok &= (gfx_point(NULL, 280, 168) & 0xFF) > 0;          /* the ellipse's bottom, partly covered */
  ok &= (gfx_point(NULL, 280, 160) & 0xFFFFFF) == 0;     /* and nothing inside it below the fan */
  return ok;
}

int main(int argc, char** argv) {
  rt_init(argc, argv, 0);
  if (gfx_screen_res(WIDTH, HEIGHT, 32, 1, ZQ_OPEN_WINDOWED, 0) != ZQ_OK) {
    fprintf(stderr, "forms: no screen could be opened\n");
    return 1;
  }
  draw_scene();
  int null_driver = strcmp(gfx_driver_name(), "Null") == 0;
  if (null_driver) {
    int ok = pixels_as_drawn();
    printf("forms: %s\n", ok ? "pixels as drawn" : "pixels wrong");
    rt_end(ok ? 0 : 1);
  }
  rt_sleep(-1); /* until a key is pressed */
  rt_end(0);
}
