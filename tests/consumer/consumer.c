/* A program outside the source tree, built against an installed library:
 * opens a screen, draws a pixel, loads and puts images and writes text with
 * the short calls, reads events, checks what landed in the framebuffer and
 * ends with status 0 when all of it did.
 *
 *   consumer [data folder]   (the installed game data) */
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
  check(gfx_put_image(NULL, 20, 20, square, putter_copy) == ZQ_OK, "put failed");
  check((gfx_point(NULL, 23, 23) & 0xFFFFFF) == 0xABCDEF && (gfx_point(NULL, 24, 24) & 0xFFFFFF) != 0xABCDEF,
        "image not put");
  gfx_image_destroy(square);
  check(gfx_put_image(NULL, 0, 0, NULL, putter_copy) == ZQ_ERR_ILLEGAL_CALL && rt_get_error() == ZQ_ERR_ILLEGAL_CALL,
        "a put without a source was not refused");
  check(strcmp(rt_error_text(ZQ_ERR_FILE_NOT_FOUND), "file not found") == 0, "no error text");

  /* A tile of the installed game data, of the file's own size. */
  char path[512];
  snprintf(path, sizeof path, "%s/gfx/p1.bmp", argc > 1 ? argv[1] : ".");
  ImageBuffer* tile = gfx_load_image(path);
  check(tile != NULL, "tile not loaded");
  check(gfx_put_image(NULL, 32, 0, tile, putter_copy) == ZQ_OK &&
            gfx_point(NULL, 63, 31) == gfx_point(tile, 31, 31) && gfx_point(NULL, 32, 32) != gfx_point(tile, 0, 0),
        "tile not put at its size");
  gfx_image_destroy(tile);
  check(gfx_load_image("no such file.bmp") == NULL && rt_get_error() == ZQ_ERR_FILE_NOT_FOUND,
        "a missing file was loaded");

  check(gfx_draw_text(NULL, 0, 30, "Hi", 0xFFFFFF, NULL) == ZQ_OK, "text not drawn");

  /* Events of the program's own come out in order; then the queue is empty. */
  InputEvent event;
  memset(&event, 0, sizeof event);
  event.type = ZQ_EVENT_KEY_PRESS;
  event.key.scancode = ZQ_SC_SPACE;
  check(gfx_push_event(&event) == ZQ_OK, "event not pushed");
  event.type = ZQ_EVENT_CLOSE;
  gfx_push_event(&event);
  check(gfx_poll_event(&event) == ZQ_OK && event.type == ZQ_EVENT_KEY_PRESS && event.key.scancode == ZQ_SC_SPACE,
        "key event not read");
  check(gfx_wait_event(&event, 1000) == ZQ_OK && event.type == ZQ_EVENT_CLOSE, "close event not read");
  check(gfx_wait_event(&event, 10) == ZQ_NO_EVENT && event.type == ZQ_EVENT_NONE, "an empty queue gave an event");
  check(gfx_set_pages(1, 0) == 0, "pages not switched");
  check(rt_str_pool_in_use() == 0, "temporaries left");
  if (failures == 0) printf("consumer: ok\n");
  rt_end(failures == 0 ? 0 : 1);
}
