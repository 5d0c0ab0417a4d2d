/* Snapshot: draws a picture on the screen, saves the screen's work page as a
 * BMP file, loads the file back into an image and checks that every pixel
 * came back. The file stays for a look (any BMP viewer opens it).
 *
 *   snapshot [file]        (default snapshot.bmp; ZQGFX=null runs it without a display)
 */
#include <stdio.h>
#include <string.h>

#include <zentravolk/zentravolk.h>

static StringValue* text(const char* chars) { return rt_str_temp(chars, (int)strlen(chars)); }

int main(int argc, char** argv) {
  const char* file = argc > 1 ? argv[1] : "snapshot.bmp";
  rt_init(argc, argv, 0);
  if (gfx_screen_res(160, 100, 32, 1, ZQ_OPEN_WINDOWED, 0) != ZQ_OK) {
    fprintf(stderr, "snapshot: no screen: %s\n", rt_error_detail());
    return 1;
  }
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 160; ++x) gfx_pset(NULL, (float)x, (float)y, (uint32_t)(x * 0x010000 + y * 0x200 + 0x40), 0, 0);
  gfx_draw_string(NULL, 8, 8, ZQ_TEXT_ABSOLUTE, text("Snapshot"), 0xFFFFFF, NULL, 0, NULL, NULL, NULL);

  /* A negative page means the work page. */
  int result = gfx_save_bitmap(text(file), NULL, ZQ_OMITTED);
  if (result != ZQ_OK) {
    fprintf(stderr, "snapshot: saving %s failed with error %d: %s\n", file, result, rt_error_detail());
    rt_end(1);
  }
  ImageBuffer* copy = gfx_image_create(160, 100, 0, 32, ZQ_IMAGE_MASK_FILL);
  result = copy ? gfx_load_bitmap(text(file), copy, NULL) : ZQ_ERR_ILLEGAL_CALL;
  int same = result == ZQ_OK;
  for (int y = 0; y < 100 && same; ++y)
    for (int x = 0; x < 160 && same; ++x)
      same = gfx_point(copy, (float)x, (float)y) == gfx_point(NULL, (float)x, (float)y);
  printf("snapshot: %s %s\n", file, same ? "saved and read back" : "differs");
  gfx_image_destroy(copy);
  rt_end(same ? 0 : 1);
}
