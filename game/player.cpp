// The player: a 32 x 32 sprite that walks, jumps and falls over the tile
// grid, and the scrolling that keeps it near the middle of the screen.
#include "game/player.h"

#include <cmath>
#include <cstring>

#include "game/level.h"
#include "game/put_image.h"
#include "gfx/blit/putters.h"
#include "gfx/draw/primitives.h"
#include "gfx/formats/loader.h"
#include "gfx/image/image.h"
#include "gfx/input/joystick.h"
#include "runtime/runtime.h"

constexpr double kAcceleration = 1.0;
constexpr double kSpeedLimit = 4.0;
constexpr double kFriction = 0.25;
constexpr double kJumpSpeed = -16.0;
constexpr double kRiseDeceleration = 1.0;
constexpr int kFallSpeed = 8;
constexpr int kScrollStep = 4;
constexpr int kScrollRightAt = kScreenWidth / 2 + SPRITE_W / 2;  // 336
constexpr int kScrollLeftAt = kScreenWidth / 2 - SPRITE_W / 2;   // 304
constexpr int kLastScrollColumn = kMapColumns - kScreenWidth / TILE_SIZE - 1;  // 159

// Far enough from the int range that a player who walks or falls forever off
// the map never overflows; the deepest ground is a multiple of the tile size.
constexpr int32_t kPositionLimit = 1 << 30;

void player_load_sprites(Game* game) {
  for (ImageBuffer*& sprite : game->sprite_images)
    sprite = gfx_image_create(SPRITE_W + 1, SPRITE_H + 1, 0, 0, INT32_MIN);
  static const char* const files[4] = {"sprites\\vw1.bmp", "sprites\\vw2.bmp", "sprites\\vj1.bmp",
                                       "sprites\\vj2.bmp"};
  for (int k = 0; k < 4; ++k)
    gfx_load_bitmap(rt_str_temp(files[k], int(std::strlen(files[k]))), game->sprite_images[k], nullptr);
  // Each mirror image is read back pixel by pixel from the work page, where
  // the sprite has just been copied.
  for (int k = 0; k < 4; ++k) {
    game_put_image(game->sprite_images[k], 0.0f, 0.0f, 1, putter_copy);
    for (int yy = 0; yy < SPRITE_H; ++yy)
      for (int xx = 0; xx < SPRITE_W; ++xx) {
        uint32_t pixel = gfx_point(nullptr, float(SPRITE_W - 1 - xx), float(yy));
        gfx_pset(game->sprite_images[k + 4], float(xx), float(yy), pixel, 4 /* absolute */, 0);
      }
  }
}

void player_reset(Game* game) {
  Player& p = game->player;
  p.anim_frame = 0;
  p.vy = 0.0;
  p.facing = 0;
  game->joystick = Joystick{};
  p.x = 96;
  p.ground_y = 192;
  p.y = p.ground_y;
}

static int32_t clamp_position(double v) {
  if (v > kPositionLimit) return kPositionLimit;
  if (v < -kPositionLimit) return -kPositionLimit;
  return int32_t(v);
}

void player_read_input(Game* game) {
  Joystick& joy = game->joystick;
  float axes[8];
  joy.result = gfx_get_joystick(0, &joy.buttons, &axes[0], &axes[1], &axes[2], &axes[3], &axes[4], &axes[5],
                                &axes[6], &axes[7]);
  joy.axis_x = int(std::nearbyint(axes[0]));
  Player& p = game->player;
  if (rt_multikey(ZQ_SC_RIGHT) && p.vx < kSpeedLimit) p.vx += kAcceleration;
  if (rt_multikey(ZQ_SC_LEFT) && p.vx > -kSpeedLimit) p.vx -= kAcceleration;
}

// Moves ground_y down to the row below the sprite's top row when both probe
// points there are empty; cells outside the map read as empty.
static void probe_ground(Game* game) {
  Player& p = game->player;
  const Camera& cam = game->camera;
  long long level_x = (long long)p.x + 32LL * cam.scroll_col - cam.scroll_px;
  long long left = (long long)std::floor(double(level_x + SPRITE_W / 4) / TILE_SIZE);
  long long right = (long long)std::floor(double(level_x + 3 * SPRITE_W / 4) / TILE_SIZE);
  long long row = (long long)std::floor(double(p.y) / TILE_SIZE) + 1;
  if (row < 0 || (left < 0 && right < 0)) return;
  if (!level_cell_empty(&game->map, left, row) || !level_cell_empty(&game->map, right, row)) return;
  long long ground = TILE_SIZE * row + TILE_SIZE - SPRITE_H;
  if (ground <= kPositionLimit) p.ground_y = int32_t(ground);
}

void player_update(Game* game) {
  Player& p = game->player;
  Camera& cam = game->camera;
  const Joystick& joy = game->joystick;
  if (joy.result == 0) {
    if (joy.axis_x > 0 && p.vx < kSpeedLimit) p.vx += kAcceleration;
    if (joy.axis_x < 0 && p.vx > -kSpeedLimit) p.vx -= kAcceleration;
  }
  if (p.vx != 0.0) {
    if (p.vx < 0) p.facing = 4;
    if (p.vx > 0) p.facing = 0;
    p.x = clamp_position(std::nearbyint(p.x + p.vx));
    if (p.vy == 0.0) p.anim_frame = int32_t(std::nearbyint(std::fabs(p.vx))) % 2;
  }
  probe_ground(game);
  if (p.ground_y == p.y && p.vx == 0.0) p.anim_frame = 0;
  if (joy.result == 0 && (joy.buttons & 1) && p.y == p.ground_y) p.vy = kJumpSpeed;
  if (rt_multikey(ZQ_SC_SPACE) && p.y == p.ground_y) p.vy = kJumpSpeed;
  if (p.y < p.ground_y && p.vy == 0.0) {
    p.y += kFallSpeed;
    p.anim_frame = 3;
  }
  if (p.y <= p.ground_y && p.vy < 0.0) {
    p.y = int32_t(std::nearbyint(p.y + p.vy));
    p.vy += kRiseDeceleration;
    p.anim_frame = 2;
  }
  if (p.x > kScrollRightAt && cam.scroll_col < kLastScrollColumn) {
    cam.scroll_px = int8_t(cam.scroll_px - kScrollStep);
    p.x -= kScrollStep;
  }
  if (cam.scroll_px == -TILE_SIZE) {
    cam.scroll_col += 1;
    cam.scroll_px = 0;
  }
  if (p.x < kScrollLeftAt && cam.scroll_col > 0) {
    cam.scroll_px = int8_t(cam.scroll_px + kScrollStep);
    p.x += kScrollStep;
  }
  if (cam.scroll_px == TILE_SIZE) {
    cam.scroll_col -= 1;
    cam.scroll_px = 0;
  }
  if (p.vx > 0.0) p.vx -= kFriction;
  if (p.vx < 0.0) p.vx += kFriction;
}

void player_draw(const Game* game) {
  const Player& p = game->player;
  game_put_image(game->sprite_images[p.anim_frame + p.facing], float(p.x), float(p.y), 0, putter_transparent);
}
