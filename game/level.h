// The level: the map file, the tile and background images, and drawing them.
#pragma once
#include "game/game_state.h"

// Reads "maps\mapa1.map" as file number 1 into the map, one carriage return
// printed per row; the file is left open.
void level_read(TileMap* map);
void level_load_tiles(Game* game);
void level_load_background(Game* game);

// A cell with nothing in it (0.0, -0.0, not a number, or outside the map).
bool level_cell_empty(const TileMap* map, long long column, long long row);

// The tile image a cell shows, or null when it shows none.
ImageBuffer* level_cell_image(const Game* game, float cell);

// Background, then the tiles of screen columns -1..20 at the scroll position.
void level_draw(const Game* game);
