/* Opens a screen of the given size on whatever driver the opening picks
 * (ZQGFX, ZQSCALE and the flags decide how it is shown), draws a picture in
 * which neighbouring pixels differ, and answers commands on standard input,
 * so tests can compare what the window shows with the page and drive the
 * pointer.
 *
 *   scale_probe <width> <height> [flags]
 *
 * Prints "ready <driver>" once the picture is drawn. Commands, one a line:
 *   dump <file>     writes the visible page as 8-bit RGB triples: "dumped"
 *   mouse           "mouse <result> <x> <y>" from gfx_get_mouse
 *   set <x> <y>     gfx_set_mouse(x, y): "set"
 *   events          every event read since the last time, one
 *                   "event <type> <value> <value> <value> <value>" line
 *                   each, then "end"
 *   focus           "focus <1 or 0> <n>": whether the window has the
 *                   keyboard focus by the last focus event, and how many
 *                   times it got the focus so far
 *   quit            closes the screen and ends with status 0 */
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <zentravolk/zentravolk.h>

/* Neighbours differ in every channel, so a block shown one pixel off fails. */
static uint32_t pattern(int x, int y) {
  return 0xFF000000u | (uint32_t)((x * 37 + y * 11) & 0xFF) << 16 | (uint32_t)((x * 5 + y * 71) & 0xFF) << 8 |
         (uint32_t)((x ^ y) * 13 & 0xFF);
}

static int dump(const char* path, int width, int height) {
  FILE* f = fopen(path, "wb");
  if (!f) return 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint32_t v = gfx_point(NULL, (float)x, (float)y);
      unsigned char rgb[3] = {(unsigned char)(v >> 16), (unsigned char)(v >> 8), (unsigned char)v};
      fwrite(rgb, 1, 3, f);
    }
  return fclose(f) == 0;
}

#define MAX_EVENTS 512
static InputEvent events[MAX_EVENTS];
static int event_count = 0;
static int focused = 0, focus_ins = 0;

static void run(const char* line, int width, int height) {
  int x = 0, y = 0;
  if (strncmp(line, "dump ", 5) == 0) {
    puts(dump(line + 5, width, height) ? "dumped" : "error");
  } else if (strcmp(line, "mouse") == 0) {
    int result = gfx_get_mouse(&x, &y, NULL, NULL, NULL);
    printf("mouse %d %d %d\n", result, x, y);
  } else if (sscanf(line, "set %d %d", &x, &y) == 2) {
    gfx_set_mouse(x, y, -1, -1);
    puts("set");
  } else if (strcmp(line, "events") == 0) {
    for (int i = 0; i < event_count; ++i)
      printf("event %d %d %d %d %d\n", (int)events[i].values[0], (int)events[i].values[1],
             (int)events[i].values[2], (int)events[i].values[3], (int)events[i].values[4]);
    event_count = 0;
    puts("end");
  } else if (strcmp(line, "focus") == 0) {
    printf("focus %d %d\n", focused, focus_ins);
  } else if (strcmp(line, "quit") == 0) {
    rt_end(0);
  }
  fflush(stdout);
}

int main(int argc, char** argv) {
  rt_init(argc, argv, 0);
  if (argc < 3) {
    fprintf(stderr, "usage: scale_probe <width> <height> [flags]\n");
    return 2;
  }
  const int width = atoi(argv[1]), height = atoi(argv[2]);
  const int flags = argc > 3 ? (int)strtol(argv[3], NULL, 0) : ZQ_OPEN_WINDOWED;
  if (gfx_screen_res(width, height, 32, 1, flags, 0) != ZQ_OK) {
    fprintf(stderr, "scale_probe: no screen: %s\n", rt_error_detail());
    return 1;
  }
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) gfx_pset(NULL, (float)x, (float)y, pattern(x, y), 0, 0);
  StringValue driver = {0};
  gfx_screen_info(NULL, NULL, NULL, NULL, NULL, NULL, &driver);
  printf("ready %s\n", rt_str_chars(&driver));
  fflush(stdout);
  rt_str_delete(&driver);

  char pending[1024];
  size_t held = 0;
  for (;;) {
    gfx_frame_sync(60);
    InputEvent event;
    while (gfx_poll_event(&event) == ZQ_OK) {
      if (event.type == ZQ_EVENT_FOCUS_IN || event.type == ZQ_EVENT_FOCUS_OUT) focused = event.type == ZQ_EVENT_FOCUS_IN;
      focus_ins += event.type == ZQ_EVENT_FOCUS_IN;
      if (event_count < MAX_EVENTS) events[event_count++] = event;
    }
    struct pollfd input = {STDIN_FILENO, POLLIN, 0};
    while (poll(&input, 1, 0) == 1 && (input.revents & POLLIN)) {
      ssize_t n = read(STDIN_FILENO, pending + held, sizeof pending - 1 - held);
      if (n <= 0) rt_end(0);
      held += (size_t)n;
      pending[held] = '\0';
      char* newline;
      while ((newline = strchr(pending, '\n')) != NULL) {
        *newline = '\0';
        run(pending, width, height);
        held -= (size_t)(newline + 1 - pending);
        memmove(pending, newline + 1, held + 1);
      }
    }
  }
}
