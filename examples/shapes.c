/* Shapes: a small scene drawn with the shape calls: a filled sky and
 * ground, a dashed horizon, a sun with rays, an elliptic lake, a pie-slice
 * and an arc, a house whose window is flood-filled, and a copy of the house
 * captured with gfx_get_image() and put beside it. Any key ends it. On the
 * Null driver it prints a fingerprint of the frame instead of waiting; the
 * tests compare it with the frame recorded when the picture was right.
 *
 *   shapes                 (ZQGFX=null shapes to run without a display)
 */
#include <stdio.h>
#include <string.h>

#include <zentravolk/zentravolk.h>

#include "example_frame.h"

#define WIDTH 320
#define HEIGHT 200

static void draw_scene(void) {
  gfx_line(NULL, 0, 0, WIDTH - 1, 129, 0x5080C0, 0, ZQ_SHAPE_BOX | ZQ_SHAPE_FILLED);     /* sky */
  gfx_line(NULL, 0, 130, WIDTH - 1, HEIGHT - 1, 0x306020, 0, ZQ_SHAPE_FILLED);           /* ground */
  gfx_line(NULL, 0, 130, WIDTH - 1, 130, 0xE0E0E0, 0xF0F0, 0);                             /* dashed horizon */

  /* The sun and twelve rays, each ray relative to the sun's centre. */
  gfx_circle(NULL, 260, 40, 18, 0xFFD040, 0, 0, 0, ZQ_SHAPE_FILLED);
  static const float cosines[12] = {1, 0.866f, 0.5f, 0, -0.5f, -0.866f, -1, -0.866f, -0.5f, 0, 0.5f, 0.866f};
  for (int i = 0; i < 12; ++i) {
    float c = cosines[i], s = cosines[(i + 9) % 12]; /* sin(a) = cos(a - 90 degrees) */
    gfx_line(NULL, 260 + 22 * c, 40 - 22 * s, 10 * c, -10 * s, 0xFFD040, 0, ZQ_STEP_SECOND);
  }

  /* A lake: an ellipse half as high as wide, filled, with an outline. */
  gfx_circle(NULL, 90, 165, 50, 0x2050A0, 0, 0, 0.3f, ZQ_SHAPE_FILLED);
  gfx_circle(NULL, 90, 165, 50, 0xA0C0FF, 0, 0, 0.3f, 0);

  /* A pie slice (both angles negative) and an arc. */
  gfx_circle(NULL, 40, 40, 20, 0xFFFFFF, -0.5f, -5.8f, 0, 0);
  gfx_circle(NULL, 40, 40, 26, 0xC0C0C0, 0.5f, 2.6f, 0, 0);

  /* A house: walls, roof, a door and a window flood-filled inside its frame. */
  gfx_line(NULL, 170, 95, 230, 140, 0xC08040, 0, ZQ_SHAPE_FILLED);
  gfx_line(NULL, 170, 95, 230, 140, 0x000000, 0, ZQ_SHAPE_BOX);
  gfx_line(NULL, 165, 95, 200, 70, 0x802020, 0, 0);
  gfx_line(NULL, 200, 70, 235, 95, 0x802020, 0, 0);
  gfx_line(NULL, 165, 95, 235, 95, 0x802020, 0, 0);
  gfx_flood_fill(NULL, 200, 85, 0xA03030, 0x802020, 0);
  gfx_line(NULL, 190, 115, 205, 140, 0x604020, 0, ZQ_SHAPE_FILLED);
  gfx_line(NULL, 212, 105, 224, 117, 0x000000, 0, ZQ_SHAPE_BOX);
  gfx_flood_fill(NULL, 218, 111, 0xFFFF80, 0x000000, 0);

  /* A second house: the first one captured and put further left. */
  ImageBuffer* house = gfx_get_image(NULL, 165, 70, 235, 140, 0);
  if (house) {
    gfx_put(NULL, 90, 70, house, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter_copy, 0, NULL, NULL);
    gfx_image_destroy(house);
  }
}

int main(int argc, char** argv) {
  rt_init(argc, argv, 0);
  if (gfx_screen_res(WIDTH, HEIGHT, 32, 1, ZQ_OPEN_WINDOWED, 0) != ZQ_OK) {
    fprintf(stderr, "shapes: no screen: %s\n", rt_error_detail());
    return 1;
  }
  draw_scene();
  int null_driver = strcmp(gfx_driver_name(), "Null") == 0;
  if (null_driver) {
    printf("shapes: frame %08x\n", (unsigned)example_frame_fingerprint(WIDTH, HEIGHT));
    rt_end(0);
  }
  rt_sleep(-1); /* until a key is pressed */
  rt_end(0);
}
