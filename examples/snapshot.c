/* Snapshot: draws a picture on the screen, saves the screen's work page as a
 * PNG (or BMP) file, reads the file's bytes into memory, makes an image from
 * them and checks that every pixel came back. The file stays for a look.
 *
 *   snapshot [file]        (default snapshot.png; a .bmp name saves BMP;
 *                           ZQGFX=null runs it without a display)
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <zentravolk/zentravolk.h>

static StringValue* text(const char* chars) { return rt_str_temp(chars, (int)strlen(chars)); }

/* The whole file in a block of memory, as a program holds its embedded art. */
static unsigned char* read_all(const char* file, size_t* size) {
  FILE* f = fopen(file, "rb");
  unsigned char* bytes = NULL;
  long length = f && fseek(f, 0, SEEK_END) == 0 ? ftell(f) : -1;
  if (length > 0 && fseek(f, 0, SEEK_SET) == 0 && (bytes = malloc((size_t)length)) != NULL &&
      fread(bytes, 1, (size_t)length, f) != (size_t)length) {
    free(bytes);
    bytes = NULL;
  }
  if (f) fclose(f);
  *size = length > 0 ? (size_t)length : 0;
  return bytes;
}

int main(int argc, char** argv) {
  const char* file = argc > 1 ? argv[1] : "snapshot.png";
  rt_init(argc, argv, 0);
  if (gfx_screen_res(160, 100, 32, 1, ZQ_OPEN_WINDOWED, 0) != ZQ_OK) {
    fprintf(stderr, "snapshot: no screen could be opened: %s\n", rt_error_detail());
    return 1;
  }
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 160; ++x) gfx_pset(NULL, (float)x, (float)y, (uint32_t)(x * 0x010000 + y * 0x200 + 0x40), 0, 0);
  gfx_draw_string(NULL, 8, 8, ZQ_TEXT_ABSOLUTE, text("Snapshot"), 0xFFFFFF, NULL, 0, NULL, NULL, NULL);

  /* A negative page means the work page; the file is opaque, as the screen looks. */
  if (gfx_save_image(file, NULL, ZQ_OMITTED, 0) != ZQ_OK) {
    fprintf(stderr, "snapshot: %s\n", rt_error_detail());
    rt_end(1);
  }
  size_t size;
  unsigned char* bytes = read_all(file, &size);
  ImageBuffer* copy = bytes ? gfx_load_image_mem(bytes, size) : NULL;
  free(bytes);
  if (!copy) {
    fprintf(stderr, "snapshot: %s cannot be read back: %s\n", file, rt_error_detail());
    rt_end(1);
  }
  int same = 1;
  for (int y = 0; y < 100 && same; ++y)
    for (int x = 0; x < 160 && same; ++x)
      same = (gfx_point(copy, (float)x, (float)y) & 0xFFFFFF) == (gfx_point(NULL, (float)x, (float)y) & 0xFFFFFF);
  printf("snapshot: %s %s\n", file, same ? "saved and read back" : "differs");
  gfx_image_destroy(copy);
  rt_end(same ? 0 : 1);
}
