// What the asset generator makes: one function per picture the game loads,
// and the level file. Each lives in the file of its job (font.cpp,
// tiles_*.cpp, sprites.cpp, background.cpp, level.cpp); main.cpp writes
// them all.
#pragma once

#include <cstdint>
#include <vector>

#include "game/level_format.h"
#include "picture.h"

namespace make_assets {

// fonts/fnt32c.bmp: the status-line font.
Picture make_font();

// gfx/p1.bmp .. gfx/p9.bmp: the tiles, in the order of their numbers, each
// kTile x kTile (the game places tiles that far apart).
constexpr int kTile = TILE_SIZE;
Picture make_grass();
Picture make_earth();
Picture make_stone();
Picture make_brick();
Picture make_planks();
Picture make_ledge();
Picture make_bush();
Picture make_crate();
Picture make_metal();

// gfx/bck.bmp: the background behind the tiles.
Picture make_background();

// sprites/vw1.bmp, vw2.bmp, vj1.bmp, vj2.bmp: the player walking, rising and
// falling.
enum class Pose { kWalk1, kWalk2, kJump, kFall };
Picture make_sprite(Pose pose);

// maps/mapa1.map: the level's cells as the map file holds them.
std::vector<uint8_t> make_level_file();

}  // namespace make_assets
