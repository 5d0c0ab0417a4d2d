// The level: a grid of 180 x 15 cells read from a file of little-endian
// floats, drawn over the background at the scroll position.
#include "game/level.h"

#include <cmath>
#include <cstring>

#include "game/put_image.h"
#include "gfx/blit/putters.h"
#include "gfx/formats/loader.h"
#include "gfx/image/image.h"
#include "runtime/runtime.h"

static StringValue* literal(const char* text) { return rt_str_temp(text, int(std::strlen(text))); }

void level_read(TileMap* map) {
  rt_file_open(literal("maps\\mapa1.map"), ZQ_FILE_BINARY, ZQ_ACCESS_ANY, 0, 1, 0);
  for (int row = 0; row < kMapRows; ++row) {
    for (int column = 0; column < kMapColumns; ++column) {
      // The cell's own bytes, little-endian, so a get that reads nothing
      // leaves the cell as it was.
      uint32_t bits;
      std::memcpy(&bits, &map->cells[row][column], 4);
      uint8_t bytes[4] = {uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), uint8_t(bits >> 24)};
      rt_file_get(1, 0, bytes, kMapCellBytes);
      bits = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
      std::memcpy(&map->cells[row][column], &bits, 4);
    }
    rt_print(0, literal("\r"), 1);
  }
}

void level_load_tiles(Game* game) {
  for (int n = 0; n < kLoadedTiles; ++n)
    game->tile_images[n] = gfx_image_create(TILE_SIZE + 1, TILE_SIZE + 1, 0, 0, INT32_MIN);
  char name[] = "gfx\\p0.bmp";
  for (int n = 1; n < kLoadedTiles; ++n) {
    name[5] = char('0' + n);
    gfx_load_bitmap(rt_str_new_temp(name, int(sizeof name - 1)), game->tile_images[n], nullptr);
  }
}

void level_load_background(Game* game) {
  game->background_image = gfx_image_create(kScreenWidth + 1, kScreenHeight + 1, 0, 0, INT32_MIN);
  gfx_load_bitmap(literal("gfx\\bck.bmp"), game->background_image, nullptr);
}

bool level_cell_empty(const TileMap* map, long long column, long long row) {
  if (column < 0 || column >= kMapColumns || row < 0 || row >= kMapRows) return true;
  float v = map->cells[row][column];
  return v == 0.0f || std::isnan(v);
}

ImageBuffer* level_cell_image(const Game* game, float cell) {
  // Only values that round (half to even) into the table select an image.
  if (!(cell > 0.0f) || cell > float(kTileImages - 1) + 0.5f) return nullptr;
  long index = std::lrint(cell);
  return index < kTileImages ? game->tile_images[index] : nullptr;
}

void level_draw(const Game* game) {
  game_put_image(game->background_image, 0.0f, 0.0f, 1, putter_copy);
  const Camera& cam = game->camera;
  for (int i = -1; i <= 20; ++i) {
    long long column = (long long)cam.scroll_col + i;
    if (column < 0 || column >= kMapColumns) continue;
    for (int j = 0; j < kMapRows; ++j) {
      ImageBuffer* tile = level_cell_image(game, game->map.cells[j][column]);
      if (!tile) continue;
      game_put_image(tile, float(TILE_SIZE * i + cam.scroll_px), float(TILE_SIZE * j), 0, putter_transparent);
    }
  }
}
