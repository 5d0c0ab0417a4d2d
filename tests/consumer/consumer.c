/* A program outside the source tree, built against an installed library:
 * opens a screen, draws a pixel, blits an image and writes text, checks what
 * landed in the framebuffer and ends with status 0 when all of it did. */
#include <stdio.h>
#include <string.h>

#include <zentravolk/zentravolk.h>

static int failures;

static void check(int ok, const char* what) {
  if (!ok) {
    fprintf(stderr, "consumer: %s\n", what);
    ++failures;
  }
}

int main(int argc, char** argv) {
  rt_init(argc, argv, 0);
  check(gfx_screen_res(64, 48, 32, 2, ZQ_OPEN_WINDOWED, 0) == ZQ_OK, "no screen");
  StringValue driver = {0};
  gfx_screen_info(NULL, NULL, NULL, NULL, NULL, NULL, &driver);
  check(strcmp(rt_str_chars(&driver), "Null") == 0, "not on the Null driver");
  rt_str_delete(&driver);

  gfx_pset(NULL, 10, 10, 0x123456, 0, 0);
  check((gfx_point(NULL, 10, 10) & 0xFFFFFF) == 0x123456, "pixel not set");
  check(gfx_point(NULL, 64, 0) == 0xFFFFFFFFu, "pixel outside the screen read");

  ImageBuffer* square = gfx_image_create(4, 4, 0xABCDEF, 32, 0);
  check(square != NULL, "no image");
  check(gfx_put(NULL, 20, 20, square, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter_copy, 0, NULL, NULL) == ZQ_OK,
        "put failed");
  check((gfx_point(NULL, 23, 23) & 0xFFFFFF) == 0xABCDEF && (gfx_point(NULL, 24, 24) & 0xFFFFFF) != 0xABCDEF,
        "image not put");
  gfx_image_destroy(square);
  check(gfx_put(NULL, 0, 0, NULL, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter_copy, 0, NULL, NULL) ==
                ZQ_ERR_ILLEGAL_CALL &&
            rt_get_error() == ZQ_ERR_ILLEGAL_CALL,
        "a put without a source was not refused");

  check(gfx_draw_string(NULL, 0, 30, ZQ_TEXT_ABSOLUTE, rt_str_temp("Hi", 2), 0xFFFFFF, NULL, 0, NULL, NULL, NULL) ==
            ZQ_OK,
        "text not drawn");
  check(gfx_set_pages(1, 0) == 0, "pages not switched");
  check(rt_str_pool_in_use() == 0, "temporaries left");
  if (failures == 0) printf("consumer: ok\n");
  rt_end(failures == 0 ? 0 : 1);
}
