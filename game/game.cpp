// The game's entry routine: start-up in a fixed order, then a busy frame
// loop until Escape is held.
#include "game/game.h"

#include <cstdio>
#include <cstring>

#include "game/hud.h"
#include "game/level.h"
#include "game/player.h"
#include "gfx/draw/primitives.h"
#include "gfx/formats/loader.h"
#include "gfx/image/image.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"

static StringValue* literal(const char* text) { return rt_str_temp(text, int(std::strlen(text))); }

bool game_startup(Game* game, int argc, char** argv) {
  rt_init(argc, argv, 1);
  if (gfx_screen_res(kScreenWidth, kScreenHeight, kScreenDepth, kScreenPages, 1, 0) != 0) return false;
  game->font_image = gfx_image_create(864, 18, 0, 0, INT32_MIN);
  gfx_load_bitmap(literal("fonts\\fnt32c.bmp"), game->font_image, nullptr);
  hud_write_font_header(game->font_image);
  gfx_set_window_title(literal("Zentravolk"));
  gfx_screen_info(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &game->driver_name);
  for (ImageBuffer*& tile : game->tile_images) tile = nullptr;
  game->map = TileMap{};
  game->camera.scroll_col = 0;
  game->clock.frame_count = 0;
  game->work_page = 0;
  game->clock.last_frame_time = rt_timer();
  game->clock.last_fps_time = rt_timer();
  game->camera.scroll_px = 0;
  game->player.vx = 0.0;
  level_read(&game->map);
  level_load_tiles(game);
  player_load_sprites(game);
  player_reset(game);
  level_load_background(game);
  rt_set_mouse(-1, -1, 0, -1);
  game->clock.frame_period = 0.0;
  return true;
}

bool game_escape_held() { return ~rt_multikey(ZQ_SC_ESCAPE) == 0; }

bool game_frame_due(const Game* game) {
  // Compared in extended precision; an unordered comparison is not yet due.
  long double due = (long double)game->clock.last_frame_time + (long double)game->clock.frame_period;
  return (long double)rt_timer() >= due;
}

// The window's close button arrives in the key buffer as 255 followed by
// "k"; it ends the game as Escape does.
static bool is_close_key(const StringValue* key) {
  return rt_str_len(key) == 2 && std::memcmp(rt_str_chars(key), "\xFFk", 2) == 0;
}

// The frame's one key: F toggles the frame limit, the close code ends the
// loop. The close code is matched before lower-casing, which would make
// the left arrow's 255 "K" look like it.
static void take_frame_key(Game* game) {
  StringValue* key = rt_inkey();
  if (is_close_key(key)) game->close_requested = true;
  key = rt_str_lcase(key);
  if (rt_str_compare(key, -1, "f", 2) == 0)
    game->clock.frame_period = game->clock.frame_period == 0.03 ? 0.0 : 0.03;
}

void game_frame(Game* game) {
  FrameClock& clock = game->clock;
  clock.last_frame_time = rt_timer();
  clock.frame_count += 1;
  gfx_set_pages(game->work_page, game->work_page ^ 1);
  rt_cls(ZQ_OMITTED);
  level_draw(game);
  player_read_input(game);
  take_frame_key(game);
  rt_locate(1, 1, -1, 0, 0);
  player_update(game);
  player_draw(game);
  game->work_page ^= 1;
  if (rt_timer() >= clock.last_fps_time + 1.0) {
    clock.last_fps_time = rt_timer();
    clock.fps_shown = clock.frame_count;
    clock.frame_count = 0;
  }
  rt_locate(1, 1, -1, 0, 0);
  hud_draw(game);
}

int game_run(Game* game) {
  int frames = 0;
  while (!game_escape_held() && !game->close_requested) {
    if (!game_frame_due(game)) continue;
    game_frame(game);
    ++frames;
  }
  return frames;
}

void game_main(int argc, char** argv) {
  static Game game;
  if (!game_startup(&game, argc, argv)) {
    // The reason names every driver tried and why it refused.
    std::fprintf(stderr, "zentravolk: %s\n", rt_error_detail());
    rt_end(1);
  }
  game_run(&game);
  rt_str_delete(&game.driver_name);
  rt_end(0);
}
