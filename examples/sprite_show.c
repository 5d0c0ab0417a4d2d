/* Sprite show: sprites as games draw them. A hero walks to and fro and
 * turns round at each end (a mirrored put), a shadow darkens the ground
 * under him (putter_multiply), a coin spins (its width scaled by the cosine
 * of its turn) beside a star that rotates, a glow lights the sky
 * (putter_add), the title zooms in and out (a stretched put), and a hit
 * flash tints a second hero red (putter_tint). Escape ends it.
 *
 * On the Null driver it draws frame 40 alone, prints a fingerprint of it
 * (the tests compare it with the frame recorded when the picture was right)
 * and, given a file name, saves the frame there as a BMP file.
 *
 *   sprite_show [frame.bmp]     (ZQGFX=null sprite_show to run without a display)
 */
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <zentravolk/zentravolk.h>

#include "example_frame.h"

#define WIDTH 320
#define HEIGHT 200
#define GROUND 150
#define MASK 0xFF00FF
#define NULL_FRAME 40
#define PI 3.14159265358979323846

static StringValue* text(const char* chars) { return rt_str_temp(chars, (int)strlen(chars)); }

/* A new image filled with the mask colour, drawn into by draw(). */
static ImageBuffer* sprite(int width, int height, void (*draw)(ImageBuffer*)) {
  ImageBuffer* image = gfx_image_create(width, height, 0, 32, ZQ_IMAGE_MASK_FILL);
  if (image) draw(image);
  return image;
}

/* A hero facing right: head, body, an arm, legs, an eye on the right. */
static void draw_hero(ImageBuffer* s) {
  gfx_circle(s, 8, 5, 4, 0xF0C090, 0, 0, 0, ZQ_SHAPE_FILLED);
  gfx_pset(s, 10, 4, 0x000000, 0, 0);
  gfx_line(s, 4, 10, 12, 19, 0x2060D0, 0, ZQ_SHAPE_FILLED);
  gfx_line(s, 12, 11, 15, 13, 0xF0C090, 0, ZQ_SHAPE_FILLED);
  gfx_line(s, 4, 20, 7, 25, 0x503020, 0, ZQ_SHAPE_FILLED);
  gfx_line(s, 9, 20, 12, 25, 0x503020, 0, ZQ_SHAPE_FILLED);
}

/* A coin: a golden disc with a darker rim and a mark. */
static void draw_coin(ImageBuffer* s) {
  gfx_circle(s, 8, 8, 7, 0xB08010, 0, 0, 0, ZQ_SHAPE_FILLED);
  gfx_circle(s, 8, 8, 5, 0xFFD040, 0, 0, 0, ZQ_SHAPE_FILLED);
  gfx_line(s, 7, 4, 9, 12, 0xB08010, 0, ZQ_SHAPE_FILLED);
}

/* A star: a square and its corners' rays. */
static void draw_star(ImageBuffer* s) {
  gfx_line(s, 5, 5, 14, 14, 0xFFFFA0, 0, ZQ_SHAPE_FILLED);
  gfx_line(s, 9, 0, 10, 19, 0xFFFFA0, 0, ZQ_SHAPE_FILLED);
  gfx_line(s, 0, 9, 19, 10, 0xFFFFA0, 0, ZQ_SHAPE_FILLED);
}

/* A glow: grey rings brighter towards the middle, to be added. */
static void draw_glow(ImageBuffer* s) {
  for (int r = 20; r > 0; r -= 4) {
    unsigned v = (unsigned)(120 - r * 5);
    gfx_circle(s, 20, 20, (float)r, v << 16 | v << 8 | v / 2, 0, 0, 0, ZQ_SHAPE_FILLED);
  }
}

/* A shadow: a dark ellipse, to be multiplied into the ground. */
static void draw_shadow(ImageBuffer* s) { gfx_circle(s, 10, 3, 9, 0x404040, 0, 0, 0.3f, ZQ_SHAPE_FILLED); }

static void draw_title(ImageBuffer* s) { gfx_draw_text(s, 0, 0, "SPRITE SHOW", 0xFFFFFF, NULL); }

struct Sprites {
  ImageBuffer *hero, *coin, *star, *glow, *shadow, *title;
};

static void draw_frame(const struct Sprites* s, int frame) {
  gfx_line(NULL, 0, 0, WIDTH - 1, GROUND - 1, 0x203060, 0, ZQ_SHAPE_FILLED); /* night sky */
  gfx_line(NULL, 0, GROUND, WIDTH - 1, HEIGHT - 1, 0x60A040, 0, ZQ_SHAPE_FILLED);

  /* A glow round the moon, added to the sky. */
  gfx_put_image(NULL, 250, 10, s->glow, putter_add);
  gfx_circle(NULL, 270, 30, 6, 0xF0F0E0, 0, 0, 0, ZQ_SHAPE_FILLED);

  /* The title zooms between its own size and three times it. */
  double zoom = 2.0 + sin(frame * 0.15);
  int tw = 0, th = 0;
  gfx_image_size(s->title, &tw, &th);
  gfx_put_scaled(NULL, (float)(WIDTH / 2 - tw * zoom / 2), 8, (int)(tw * zoom), (int)(th * zoom), s->title,
                 putter_transparent);

  /* The hero walks 4 pixels a frame between x = 20 and x = 200, and faces
   * the way he walks: mirrored on the way back. */
  int step = frame * 4 % 360;
  int back = step >= 180;
  int x = 20 + (back ? 360 - step : step);
  gfx_put_image(NULL, (float)x - 2, GROUND - 3, s->shadow, putter_multiply);
  gfx_put_flipped(NULL, (float)x, GROUND - 25, s->hero, back ? ZQ_FLIP_H : 0, putter_transparent);

  /* A second hero, hit: flashing red every other 4 frames. */
  gfx_put_flipped(NULL, 270, GROUND - 25, s->hero, ZQ_FLIP_H, putter_transparent);
  /* putter_tint takes its colour where the other putters take strength: the
   * full call gives it. */
  GfxTransform mirror = {1, 1, 0, 0, 0, ZQ_FLIP_H};
  if (frame / 4 % 2 == 0)
    gfx_put_transformed(NULL, 270, GROUND - 25, s->hero, NULL, &mirror, putter_tint, 0xFF4040, NULL, NULL);

  /* The coin spins: its width follows the cosine of its turn, the far side
   * mirrored; centred on (80, 100). */
  double turn = frame * 0.2;
  double width = cos(turn);
  if (fabs(width) < 0.1) width = width < 0 ? -0.1 : 0.1;
  GfxTransform spin = {width, 1.0, 0.0, 8.0, 8.0, 0};
  gfx_put_transformed(NULL, 80, 100, s->coin, NULL, &spin, putter_transparent, 255, NULL, NULL);

  /* The star turns 9 degrees a frame about its centre, at twice its size. */
  gfx_put_rotated(NULL, 130, 100, s->star, frame * 9.0, 2.0, putter_transparent);
}

int main(int argc, char** argv) {
  rt_init(argc, argv, 0);
  if (gfx_screen_res(WIDTH, HEIGHT, 32, 2, ZQ_OPEN_WINDOWED, 0) != ZQ_OK) {
    fprintf(stderr, "sprite_show: no screen could be opened: %s\n", rt_error_detail());
    return 1;
  }
  struct Sprites s = {sprite(16, 26, draw_hero), sprite(17, 17, draw_coin), sprite(20, 20, draw_star),
                      sprite(41, 41, draw_glow), sprite(21, 7, draw_shadow), sprite(88, 8, draw_title)};
  if (!s.hero || !s.coin || !s.star || !s.glow || !s.shadow || !s.title) {
    fprintf(stderr, "sprite_show: no memory for the sprites\n");
    rt_end(1);
  }
  int null_driver = strcmp(gfx_driver_name(), "Null") == 0;

  if (null_driver) {
    draw_frame(&s, NULL_FRAME);
    printf("sprite_show: frame %08x\n", (unsigned)example_frame_fingerprint(WIDTH, HEIGHT));
    if (argc > 1 && gfx_save_bitmap(text(argv[1]), NULL, ZQ_OMITTED) != ZQ_OK) {
      fprintf(stderr, "sprite_show: %s: %s\n", argv[1], rt_error_detail());
      rt_end(1);
    }
    rt_end(0);
  }
  for (int frame = 0, page = 0; !rt_multikey(ZQ_SC_ESCAPE); ++frame) {
    gfx_set_pages(page, page ^ 1); /* show last frame's page, draw on the other */
    page ^= 1;
    draw_frame(&s, frame);
    rt_sleep(30);
  }
  rt_end(0);
}
