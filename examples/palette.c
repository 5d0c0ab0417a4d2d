/* Palette: the 320 x 200, 256-colour legacy mode 13 filled with bands of
 * every colour, then cycled by reading and rewriting the palette through
 * the emulated VGA ports (0x3C7 / 0x3C8 choose an entry, 0x3C9 gives or takes
 * its red, green and blue, 6 bits each). Escape ends it; on the Null driver
 * it cycles 10 times and checks that the colours moved.
 */
#include <stdio.h>
#include <string.h>

#include <zentravolk/zentravolk.h>

static int palette[256][3];

static void read_palette(void) {
  gfx_port_write(0x3C7, 0);
  for (int i = 0; i < 256; ++i)
    for (int c = 0; c < 3; ++c) palette[i][c] = gfx_port_read(0x3C9);
}

/* Entries 1..255 move down by one; entry 0 (the border) stays. */
static void cycle_palette(void) {
  read_palette();
  gfx_port_write(0x3C8, 1);
  for (int i = 1; i < 256; ++i) {
    int from = i == 255 ? 1 : i + 1;
    for (int c = 0; c < 3; ++c) gfx_port_write(0x3C9, palette[from][c]);
  }
}

int main(int argc, char** argv) {
  rt_init(argc, argv, 0);
  if (gfx_screen(13, 0, 1, ZQ_OPEN_WINDOWED, 0) != ZQ_OK) {
    fprintf(stderr, "palette: no screen: %s\n", rt_error_detail());
    return 1;
  }
  int null_driver = strcmp(gfx_driver_name(), "Null") == 0;

  gfx_palette(0, 0, 0, 0); /* entry 0 black, as red, green, blue 0..255 */
  for (int y = 20; y < 200; ++y)
    for (int x = 0; x < 320; ++x) gfx_pset(NULL, (float)x, (float)y, 1 + (x + y) % 255, 0, 0);
  gfx_draw_text(NULL, 4, 6, "Palette cycling", 15, NULL);

  read_palette();
  int first[3] = {palette[11][0], palette[11][1], palette[11][2]};
  for (int n = 0; !rt_multikey(ZQ_SC_ESCAPE) && !(null_driver && n == 10); ++n) {
    gfx_port_read(0x3DA); /* waits for the vertical retrace where the driver can */
    cycle_palette();
    if (!null_driver) gfx_frame_sync(30); /* a step every 1/30 s */
  }

  if (null_driver) {
    read_palette();
    int ok = palette[1][0] == first[0] && palette[1][1] == first[1] && palette[1][2] == first[2] &&
             gfx_point(NULL, 0, 20) == 1 + 20 % 255;
    printf("palette: entry 1 is now %d %d %d, %s\n", palette[1][0], palette[1][1], palette[1][2],
           ok ? "cycled" : "wrong");
    rt_end(ok ? 0 : 1);
  }
  rt_end(0);
}
