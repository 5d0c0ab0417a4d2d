/* Sprites: a background, a row of tiles and two walkers loaded from the
 * game's BMP files, drawn on two pages that are flipped every frame. One
 * walker is put transparently, the other blended at half strength over the
 * tiles. Escape ends it; on the Null driver it draws 120 frames and checks
 * a few pixels.
 *
 *   sprites [data folder]      (default: the current folder; e.g. data/)
 */
#include <stdio.h>
#include <string.h>

#include <zentravolk/zentravolk.h>

static const char* folder = ".";

/* A new image of the file's size with the file loaded into it. */
static ImageBuffer* load(const char* name) {
  char path[512];
  snprintf(path, sizeof path, "%s/%s", folder, name);
  ImageBuffer* image = gfx_load_image(path);
  if (!image) fprintf(stderr, "sprites: %s: %s (%s)\n", path, rt_error_text(rt_get_error()), rt_error_detail());
  return image;
}

int main(int argc, char** argv) {
  rt_init(argc, argv, 0); /* level 0: images keep their size when loaded */
  if (argc > 1) folder = argv[1];
  if (gfx_screen_res(640, 480, 32, 2, ZQ_OPEN_WINDOWED, 0) != ZQ_OK) {
    fprintf(stderr, "sprites: no screen: %s\n", rt_error_detail());
    return 1;
  }
  int null_driver = strcmp(gfx_driver_name(), "Null") == 0;

  ImageBuffer* background = load("gfx/bck.bmp");
  ImageBuffer* tile = load("gfx/p1.bmp");
  ImageBuffer* walker = load("sprites/vw1.bmp");
  if (!background || !tile || !walker) rt_end(1);

  int frame = 0, page = 0;
  while (!rt_multikey(ZQ_SC_ESCAPE) && !(null_driver && frame == 120)) {
    gfx_set_pages(page, page ^ 1); /* show last frame's page, draw on the other */
    page ^= 1;
    gfx_put_image(NULL, 0, 0, background, putter_copy);
    for (int x = 0; x < 640; x += 32)
      gfx_put_image(NULL, (float)x, 400, tile, putter_transparent);
    float x = (float)(frame * 4 % 672 - 32); /* walks in from the left edge */
    gfx_put_image(NULL, x, 368, walker, putter_transparent);
    /* The full call for what the short one does not offer: half strength. */
    gfx_put(NULL, 600 - x, 400, walker, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter_blend, 128, NULL, NULL);
    gfx_draw_string(NULL, 8, 8, ZQ_TEXT_ABSOLUTE, rt_str_concat(NULL, "Frame ", 0, rt_int_to_str(frame), ZQ_STR_VALUE),
                    0xFFFFFF, NULL, 0, NULL, NULL, NULL);
    ++frame;
    if (!null_driver) gfx_frame_sync(60); /* 60 frames a second */
  }

  if (null_driver) {
    /* The work page holds frame 119: the background where nothing covers
     * it, a tile's own pixel under the row of tiles. */
    int ok = gfx_point(NULL, 320, 100) == gfx_point(background, 320, 100) &&
             gfx_point(NULL, 16, 416) == (gfx_point(tile, 16, 16) & 0xFFFFFF);
    printf("sprites: %d frames, pixels %s\n", frame, ok ? "as drawn" : "wrong");
    rt_end(ok ? 0 : 1);
  }
  rt_end(0);
}
