// Reading the level file and drawing the visible tiles.
#include "game/level.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "game_fixture.h"
#include "gfx/draw/primitives.h"
#include "gfx/image/image.h"

namespace {

class Level : public GameFixture {
 protected:
  void SetUp() override {
    GameFixture::SetUp();
    dir = std::filesystem::temp_directory_path() / ("zq_level_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir / "maps");
    old_dir = std::filesystem::current_path();
    std::filesystem::current_path(dir);
  }
  void TearDown() override {
    rt_file_close(1);  // the game keeps its level file open to the end
    std::filesystem::current_path(old_dir);
    std::filesystem::remove_all(dir);
    GameFixture::TearDown();
  }
  void write_map(const std::vector<float>& cells) {
    FILE* f = std::fopen("maps/mapa1.map", "wb");
    for (float v : cells) {
      uint32_t bits;
      std::memcpy(&bits, &v, 4);
      uint8_t le[4] = {uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), uint8_t(bits >> 24)};
      std::fwrite(le, 1, 4, f);
    }
    std::fclose(f);
  }
  // Solid-colour 33 x 33 tiles and a black background.
  void make_images() {
    for (int n = 0; n < kLoadedTiles; ++n) game->tile_images[n] = gfx_image_create(33, 33, 0xFF000010u + n, 0, 0);
    game->background_image = gfx_image_create(640, 480, 0xFF000000u, 0, 0);
  }
  uint32_t pixel(int x, int y) { return gfx_point(nullptr, float(x), float(y)); }
  std::filesystem::path dir, old_dir;
};

TEST_F(Level, ReadsTheCellsRowByRowAndDrawsTileOneAt160x96) {
  std::vector<float> cells(kMapColumns * kMapRows, 0.0f);
  cells[180 * 3 + 5] = 1.0f;  // byte 2,180
  write_map(cells);
  TileMap map{};
  level_read(&map);
  EXPECT_EQ(map.cells[3][5], 1.0f);
  game->map = map;
  make_images();
  level_draw(game);
  // Tiles are put transparently, which writes pixels without their top byte.
  EXPECT_EQ(pixel(160, 96), 0x00000011u);
  EXPECT_EQ(pixel(192, 128), 0x00000011u);  // the 33rd column and row overlap the neighbour
  EXPECT_EQ(pixel(159, 96), 0xFF000000u);
  EXPECT_EQ(pixel(193, 129), 0xFF000000u);
}

TEST_F(Level, AShortFileFillsOnlyTheRowsItHolds) {
  write_map(std::vector<float>(kMapColumns * 7, 2.0f));  // 5,040 bytes
  TileMap map{};
  level_read(&map);
  EXPECT_EQ(map.cells[6][179], 2.0f);
  EXPECT_EQ(map.cells[7][0], 0.0f);
  EXPECT_EQ(map.cells[14][179], 0.0f);
}

TEST_F(Level, AMissingFileLeavesEveryCellEmpty) {
  std::filesystem::remove_all("maps");
  TileMap map{};
  map.cells[0][0] = 5.0f;
  level_read(&map);  // the folder is gone: the open fails and every get reads nothing
  EXPECT_EQ(map.cells[0][0], 5.0f);
}

TEST_F(Level, CellValuesChooseTilesByRoundingHalfToEven) {
  make_images();
  EXPECT_EQ(level_cell_image(game, 2.5f), game->tile_images[2]);
  EXPECT_EQ(level_cell_image(game, 3.5f), game->tile_images[4]);
  EXPECT_EQ(level_cell_image(game, 0.25f), game->tile_images[0]);  // never loaded: all mask colour
  EXPECT_EQ(level_cell_image(game, -1.0f), nullptr);
  EXPECT_EQ(level_cell_image(game, 300.4f), nullptr);  // a table entry that holds nothing
  EXPECT_EQ(level_cell_image(game, 1e30f), nullptr);   // outside the table: nothing read
  EXPECT_EQ(level_cell_image(game, std::nanf("")), nullptr);
  EXPECT_FALSE(level_cell_empty(&game->map, 0, 7));
  game->map.cells[0][0] = -1.0f;
  EXPECT_FALSE(level_cell_empty(&game->map, 0, 0));  // solid though not drawn
  game->map.cells[0][1] = -0.0f;
  EXPECT_TRUE(level_cell_empty(&game->map, 1, 0));
  EXPECT_TRUE(level_cell_empty(&game->map, -1, 7));
  EXPECT_TRUE(level_cell_empty(&game->map, 180, 7));
  EXPECT_TRUE(level_cell_empty(&game->map, 0, 15));
}

TEST_F(Level, ScreenColumnsMinusOneAndTheLastMapColumnAreClippedAway) {
  for (auto& row : game->map.cells)
    for (float& cell : row) cell = 0.0f;
  for (int r = 0; r < kMapRows; ++r) game->map.cells[r][179] = 1.0f;
  make_images();
  game->camera.scroll_col = 159;
  level_draw(game);
  for (int y = 0; y < 480; y += 37) EXPECT_EQ(pixel(639, y), 0xFF000000u);

  game->camera.scroll_col = 0;
  game->camera.scroll_px = 8;
  game->map.cells[0][0] = 1.0f;
  level_draw(game);
  EXPECT_EQ(pixel(7, 0), 0xFF000000u);  // nothing from a column -1
  EXPECT_EQ(pixel(8, 0), 0x00000011u);
}

}  // namespace
