// The game's state: the level grid, the player, the view's scroll position,
// the frame clock and the images, one of each for the whole run.
#pragma once
#include <cstdint>

#include "game/level_format.h"
#include "runtime/rt_string.h"
#include "zentravolk/common.h"  // the scancodes the game reads, ZQ_SC_*

struct ImageBuffer;

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kScreenDepth = 32;
constexpr int kScreenPages = 2;
constexpr int SPRITE_W = 32;
constexpr int SPRITE_H = 32;
constexpr int kTileImages = 301;
constexpr int kLoadedTiles = kTileFiles + 1;  // image 0 and the tile files
constexpr int kSpriteImages = 8;

struct TileMap {
  float cells[kMapRows][kMapColumns];  // [row][column]
};

struct Player {
  int32_t x, y, ground_y;
  double vx, vy;
  int32_t facing;      // 0 facing right, 4 facing left
  int32_t anim_frame;  // 0 walk 1, 1 walk 2, 2 rising, 3 falling
};

struct Joystick {
  int result;  // 0 when joystick 0 answered
  int buttons;
  int axis_x;  // the first axis rounded to a whole number
};

struct Camera {
  int32_t scroll_col;
  int8_t scroll_px;
};

struct FrameClock {
  double frame_period;
  double last_frame_time;
  double last_fps_time;
  int32_t frame_count;
  int32_t fps_shown;
};

struct Game {
  TileMap map;
  Player player;
  Joystick joystick;
  Camera camera;
  FrameClock clock;
  int32_t work_page;
  bool close_requested;  // the window's close button was pressed
  StringValue driver_name;
  ImageBuffer* font_image;
  ImageBuffer* tile_images[kTileImages];
  ImageBuffer* background_image;
  ImageBuffer* sprite_images[kSpriteImages];
};
