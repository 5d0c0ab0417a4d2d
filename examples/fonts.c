/* Fonts: text as a game draws it. A title in a TrueType font, centred and
 * magnified; a score line in the game's own font art, cut from its picture
 * of glyphs, one text left-aligned and one right-aligned; a UTF-8 line with
 * accents in the built-in font; and a box drawn round a measured text. Any
 * key ends it. On the Null driver it prints a fingerprint of the frame
 * instead of waiting (the tests compare it with the frame recorded when the
 * picture was right) and, given a file name, saves the frame there.
 *
 *   fonts <data folder> [font.ttf] [frame.bmp]
 *   (ZQGFX=null fonts data to run without a display)
 */
#include <stdio.h>
#include <string.h>

#include <zentravolk/zentravolk.h>

#include "example_frame.h"

#define WIDTH 320
#define HEIGHT 200
#define DEFAULT_TTF "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"

static StringValue* text(const char* chars) { return rt_str_temp(chars, (int)strlen(chars)); }

static int fail(const char* what) {
  fprintf(stderr, "fonts: %s: %s (error %d)\n", what, rt_error_detail(), rt_get_error());
  return 1;
}

static int draw_scene(const char* data, const char* ttf_file) {
  gfx_line(NULL, 0, 0, WIDTH - 1, HEIGHT - 1, 0x182848, 0, ZQ_SHAPE_FILLED);

  /* The title: 20 pixels of TrueType, twice as large, centred on the screen. */
  ImageBuffer* title = gfx_font_load_ttf(ttf_file, 20, 0);
  if (!title) return fail(ttf_file);
  gfx_draw_text_ex(NULL, WIDTH / 2, 12, "Zentravolk", 0xFFD040, title, ZQ_ALIGN_CENTRE, 2, NULL);
  gfx_draw_text_utf8(NULL, WIDTH / 2, 70, "Déjà vu? Ça marche!", 0xE0E0FF, title, ZQ_ALIGN_CENTRE);

  /* The game's font art: 96 glyphs of 8 x 18 pixels for codes 32 to 127. */
  char path[512];
  snprintf(path, sizeof path, "%s/fonts/fnt32c.bmp", data);
  ImageBuffer* picture = gfx_load_image(path);
  if (!picture) {
    gfx_image_destroy(title);
    return fail(path);
  }
  ImageBuffer* art = gfx_font_from_strip(picture, 32, 127, ZQ_FONT_CELLS(8, 0));
  gfx_image_destroy(picture);
  if (!art) {
    gfx_image_destroy(title);
    return fail("fnt32c.bmp as a font");
  }
  gfx_draw_text_aligned(NULL, 8, 110, "SCORE 001250", 0, art, ZQ_ALIGN_LEFT);
  gfx_draw_text_aligned(NULL, WIDTH - 8, 110, "LIVES 3", 0, art, ZQ_ALIGN_RIGHT);

  /* UTF-8 with accents in the built-in font (code page 437). */
  gfx_draw_text_utf8(NULL, WIDTH / 2, 145, "Grüße, señor! Café crème, naïve élan.", 0xFFFFFF, NULL, ZQ_ALIGN_CENTRE);

  /* A measured text with a box round it. */
  const char* boxed = "PRESS ANY KEY";
  int w = 0, h = 0;
  gfx_text_size(art, boxed, &w, &h);
  int x = (WIDTH - w) / 2, y = 168;
  gfx_line(NULL, (float)(x - 3), (float)(y - 3), (float)(x + w + 2), (float)(y + h + 2), 0x80C0FF, 0, ZQ_SHAPE_BOX);
  gfx_draw_text_aligned(NULL, (float)x, (float)y, boxed, 0, art, ZQ_ALIGN_LEFT);

  gfx_image_destroy(art);
  gfx_image_destroy(title);
  return 0;
}

int main(int argc, char** argv) {
  rt_init(argc, argv, 0);
  const char* data = argc > 1 ? argv[1] : "data";
  const char* ttf_file = argc > 2 ? argv[2] : DEFAULT_TTF;
  if (gfx_screen_res(WIDTH, HEIGHT, 32, 1, ZQ_OPEN_WINDOWED, 0) != ZQ_OK) {
    fprintf(stderr, "fonts: no screen could be opened\n");
    return 1;
  }
  if (draw_scene(data, ttf_file) != 0) rt_end(1);
  int null_driver = strcmp(gfx_driver_name(), "Null") == 0;
  if (null_driver) {
    if (argc > 3 && gfx_save_bitmap(text(argv[3]), NULL, ZQ_OMITTED) != ZQ_OK) rt_end(fail(argv[3]));
    printf("fonts: frame %08x\n", (unsigned)example_frame_fingerprint(WIDTH, HEIGHT));
    rt_end(0);
  }
  rt_sleep(-1); /* until a key is pressed */
  rt_end(0);
}
