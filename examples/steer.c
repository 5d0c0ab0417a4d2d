/* Steer: a walker over the game's background, steered with the arrow keys
 * through the window's events. A left click drops a ball where the pointer
 * is; Escape or the window's close button ends it.
 *
 *   steer [data folder] [close|escape]   (default: the current folder; e.g. data/)
 *
 * The Null driver has no window and so no input: there the program plays a
 * short input script of its own through gfx_push_event() (ending with the
 * close button, or with Escape when asked), then checks what it drew and
 * ends with status 0 when all of it is there. */
#include <stdio.h>
#include <string.h>

#include <zentravolk/zentravolk.h>

#define WIDTH 640
#define HEIGHT 480
#define STEP 4 /* pixels per frame while an arrow is held */
#define BALL_RADIUS 6
#define BALL_COLOUR 0x30C0FF
#define MAX_BALLS 64

static const char* folder = ".";

static ImageBuffer* load(const char* name) {
  char path[512];
  snprintf(path, sizeof path, "%s/%s", folder, name);
  ImageBuffer* image = gfx_load_image(path);
  if (!image) fprintf(stderr, "steer: %s: %s (%s)\n", path, rt_error_text(rt_get_error()), rt_error_detail());
  return image;
}

/* The arrows held down, by what the key events said. */
typedef struct {
  int left, right, up, down;
} Arrows;

static void set_arrow(Arrows* arrows, int scancode, int down) {
  if (scancode == ZQ_SC_LEFT) arrows->left = down;
  if (scancode == ZQ_SC_RIGHT) arrows->right = down;
  if (scancode == ZQ_SC_UP) arrows->up = down;
  if (scancode == ZQ_SC_DOWN) arrows->down = down;
}

static int clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

/* The Null driver's stand-in for a player: at each frame, what happens. */
typedef struct {
  int frame;
  int type, a, b;
} Step;

static const Step script[] = {
    {2, ZQ_EVENT_KEY_PRESS, ZQ_SC_RIGHT, 0}, {12, ZQ_EVENT_KEY_RELEASE, ZQ_SC_RIGHT, 0},
    {13, ZQ_EVENT_KEY_PRESS, ZQ_SC_UP, 0},   {18, ZQ_EVENT_KEY_RELEASE, ZQ_SC_UP, 0},
    {20, ZQ_EVENT_MOUSE_MOVE, 500, 100},     {20, ZQ_EVENT_BUTTON_PRESS, ZQ_BUTTON_LEFT, 0},
    {21, ZQ_EVENT_BUTTON_RELEASE, ZQ_BUTTON_LEFT, 0},
};
#define LAST_FRAME 25

static void play_script(int frame, int end_with_escape) {
  InputEvent event;
  for (size_t i = 0; i < sizeof script / sizeof script[0]; ++i)
    if (script[i].frame == frame) {
      memset(&event, 0, sizeof event);
      event.values[0] = script[i].type;
      event.values[1] = script[i].a;
      event.values[2] = script[i].b;
      gfx_push_event(&event);
    }
  if (frame == LAST_FRAME) {
    memset(&event, 0, sizeof event);
    event.type = end_with_escape ? ZQ_EVENT_KEY_PRESS : ZQ_EVENT_CLOSE;
    event.key.scancode = end_with_escape ? ZQ_SC_ESCAPE : 0;
    gfx_push_event(&event);
  }
}

/* After the script: the walker 40 pixels right and 20 up of its start, on
 * the background, and a ball at the click. */
static int drawn_as_scripted(int x, int y, const ImageBuffer* walker, const ImageBuffer* background) {
  int ok = x == 304 + 10 * STEP && y == 400 - 5 * STEP;
  ok = ok && (gfx_point(NULL, 500, 100) & 0xFFFFFF) == BALL_COLOUR &&
       (gfx_point(NULL, 500 + BALL_RADIUS, 100) & 0xFFFFFF) == BALL_COLOUR &&
       (gfx_point(NULL, 500 + BALL_RADIUS + 1, 100) & 0xFFFFFF) != BALL_COLOUR;
  ok = ok && gfx_point(NULL, 100, 100) == gfx_point((ImageBuffer*)background, 100, 100);
  for (int v = 0; v < 32; ++v)
    for (int u = 0; u < 32; ++u) {
      uint32_t pixel = gfx_point((ImageBuffer*)walker, (float)u, (float)v) & 0xFFFFFF;
      if (pixel != 0xFF00FF) ok = ok && (gfx_point(NULL, (float)(x + u), (float)(y + v)) & 0xFFFFFF) == pixel;
    }
  return ok;
}

int main(int argc, char** argv) {
  rt_init(argc, argv, 0);
  if (argc > 1) folder = argv[1];
  const int end_with_escape = argc > 2 && strcmp(argv[2], "escape") == 0;
  if (gfx_screen_res(WIDTH, HEIGHT, 32, 2, ZQ_OPEN_WINDOWED, 0) != ZQ_OK) {
    fprintf(stderr, "steer: no screen: %s (%s)\n", rt_error_text(rt_get_error()), rt_error_detail());
    return 1;
  }
  const int null_driver = strcmp(gfx_driver_name(), "Null") == 0;

  ImageBuffer* background = load("gfx/bck.bmp");
  ImageBuffer* walker = load("sprites/vw1.bmp");
  if (!background || !walker) rt_end(1);

  int x = 304, y = 400;             /* the walker's top-left corner */
  int pointer_x = 0, pointer_y = 0; /* where the pointer was last seen */
  int balls[MAX_BALLS][2], ball_count = 0;
  Arrows arrows = {0, 0, 0, 0};
  const char* ended_by = NULL;
  int frame = 0, page = 0;
  while (!ended_by) {
    if (null_driver) play_script(frame, end_with_escape);
    InputEvent event;
    while (gfx_poll_event(&event) == ZQ_OK) {
      switch (event.type) {
        case ZQ_EVENT_KEY_PRESS:
          if (event.key.scancode == ZQ_SC_ESCAPE) ended_by = "Escape";
          set_arrow(&arrows, event.key.scancode, 1);
          break;
        case ZQ_EVENT_KEY_RELEASE:
          set_arrow(&arrows, event.key.scancode, 0);
          break;
        case ZQ_EVENT_FOCUS_OUT: /* keys let go elsewhere send no release here */
          memset(&arrows, 0, sizeof arrows);
          break;
        case ZQ_EVENT_MOUSE_MOVE:
        case ZQ_EVENT_MOUSE_ENTER:
          pointer_x = event.mouse.x;
          pointer_y = event.mouse.y;
          break;
        case ZQ_EVENT_BUTTON_PRESS:
          if (event.button.bit == ZQ_BUTTON_LEFT && ball_count < MAX_BALLS) {
            balls[ball_count][0] = pointer_x;
            balls[ball_count][1] = pointer_y;
            ++ball_count;
          }
          break;
        case ZQ_EVENT_CLOSE:
          ended_by = "the close button";
          break;
      }
    }
    if (ended_by) break;

    x = clamp(x + STEP * (arrows.right - arrows.left), 0, WIDTH - 32);
    y = clamp(y + STEP * (arrows.down - arrows.up), 0, HEIGHT - 32);
    gfx_set_pages(page, page ^ 1); /* show last frame's page, draw on the other */
    page ^= 1;
    gfx_put_image(NULL, 0, 0, background, putter_copy);
    for (int i = 0; i < ball_count; ++i)
      gfx_circle(NULL, (float)balls[i][0], (float)balls[i][1], BALL_RADIUS, BALL_COLOUR, 0, 0, 0, ZQ_SHAPE_FILLED);
    gfx_put_image(NULL, (float)x, (float)y, walker, putter_transparent);
    gfx_draw_text(NULL, 8, 8, "Arrows steer, a click drops a ball, Esc ends", 0xFFFFFF, NULL);
    char status[64];
    snprintf(status, sizeof status, "at %d,%d  balls %d", x, y, ball_count);
    gfx_draw_text(NULL, 8, 20, status, 0xFFFF00, NULL);
    ++frame;
    if (!null_driver) gfx_frame_sync(60); /* 60 frames a second */
  }

  int ok = 1;
  if (null_driver) {
    ok = frame == LAST_FRAME && drawn_as_scripted(x, y, walker, background);
    printf("steer: ended by %s after %d frames at %d,%d with %d balls, pixels %s\n", ended_by, frame, x, y,
           ball_count, ok ? "as drawn" : "wrong");
  }
  gfx_image_destroy(walker);
  gfx_image_destroy(background);
  rt_end(ok ? 0 : 1);
}
