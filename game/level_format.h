// The level file's format, shared by the game, which reads it, and the asset
// generator, which writes it: no header, no separators, no trailer, just the
// cells row by row (row 0 from column 0 to the last column, then row 1, ...),
// each a little-endian IEEE-754 single-precision float. A cell greater than 0
// shows the tile image its value rounds to; values 1 .. kTileFiles show the
// tiles loaded from "gfx\p1.bmp" onwards. Tiles are TILE_SIZE pixels apart.
#pragma once

constexpr int kMapColumns = 180;
constexpr int kMapRows = 15;
constexpr int kMapCellBytes = 4;
constexpr int kMapFileBytes = kMapColumns * kMapRows * kMapCellBytes;  // 10,800
constexpr int kTileFiles = 9;
constexpr int TILE_SIZE = 32;
