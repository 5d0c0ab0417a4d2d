// The level, written as the map file the game reads (game/level_format.h):
// kMapColumns x kMapRows cells, 0 = empty, 1..9 = tile. The player starts at
// column 3, row 6 and drops onto the ground, whose surface is row 12; row 14
// is solid all the way so nobody falls out of the world. There is no wall
// collision in the game: the player walks through raised blocks and jumps on
// top of them (a jump reaches 4 rows higher), so every step up is at most 4
// rows and every pit at most 2 deep. Rows 0..3 stay empty under the status
// text.
#include <algorithm>
#include <array>
#include <initializer_list>
#include <bit>

#include "assets.h"
#include "bmp_file.h"

namespace make_assets {
namespace {

// The plain's grass row: the ground's surface where nothing is raised or dug.
constexpr int kPlainTop = 12;

enum Tile : uint8_t {
  kEmpty = 0,
  kGrass = 1,
  kEarth = 2,
  kStone = 3,
  kBrick = 4,
  kPlanks = 5,
  kLedge = 6,
  kBush = 7,
  kCrate = 8,
  kMetal = 9,
};
static_assert(kMetal == kTileFiles, "every tile picture has a number");

class Level {
 public:
  void set(int c, int r, Tile t) { cells_[static_cast<size_t>(r)][static_cast<size_t>(c)] = t; }
  // Ground in columns c0..c1 with its grass surface at row `top`.
  void ground(int c0, int c1, int top) {
    for (int c = c0; c <= c1; ++c)
      for (int r = 0; r < kMapRows; ++r) set(c, r, r < top ? kEmpty : r == top ? kGrass : kEarth);
  }
  // Fills rows r0..r1 of columns c0..c1 with tile t.
  void block(int c0, int c1, int r0, int r1, Tile t) {
    for (int c = c0; c <= c1; ++c)
      for (int r = r0; r <= r1; ++r) set(c, r, t);
  }
  // A hill of ground over columns c0..c1: one row higher per column from
  // either edge (the edges one row above the plain) up to a top at row `top`.
  void hill(int c0, int c1, int top) {
    for (int c = c0; c <= c1; ++c) ground(c, c, std::max(top, kPlainTop - 1 - std::min(c - c0, c1 - c)));
  }
  // Piles of tile t standing on the plain, one per column from c0 on; each
  // number is the row of its pile's top.
  void piles(int c0, std::initializer_list<int> tops, Tile t) {
    int c = c0;
    for (int top : tops) {
      block(c, c, top, kPlainTop - 1, t);
      ++c;
    }
  }
  std::vector<uint8_t> encode() const {
    std::vector<uint8_t> out;
    static_assert(kMapCellBytes == sizeof(uint32_t), "one 32-bit float per cell");
    out.reserve(kMapFileBytes);
    for (const auto& row : cells_)
      for (uint8_t t : row) put_le32(out, std::bit_cast<uint32_t>(static_cast<float>(t)));
    return out;
  }

 private:
  std::array<std::array<Tile, kMapColumns>, kMapRows> cells_{};
};

Level make_level() {
  Level L;
  L.ground(0, kMapColumns - 1, kPlainTop);

  // Start meadow: a bush, a low plank platform, a shallow dip, a crate pile.
  L.set(7, 11, kBush);
  L.block(10, 12, 9, 9, kPlanks);
  L.ground(15, 16, 13);
  L.piles(19, {11, 10, 11}, kCrate);

  // A grassy hill in steps, a bush and a ledge above it.
  L.hill(24, 35, 9);
  L.set(28, 8, kBush);
  L.block(30, 32, 6, 6, kLedge);

  // A pit two deep with a stepping ledge; metal and a ledge climbing up.
  L.ground(37, 40, 14);
  L.block(38, 39, 10, 10, kLedge);
  L.block(43, 45, 9, 9, kMetal);
  L.block(46, 48, 6, 6, kLedge);

  // A one-wide dip and a brick gate.
  L.ground(51, 51, 13);
  L.block(54, 54, 10, 11, kBrick);
  L.block(57, 57, 10, 11, kBrick);
  L.block(54, 57, 9, 9, kBrick);
  L.set(59, 11, kBush);

  // A crate pyramid, then a wide pit with a plank bridge.
  L.piles(62, {11, 10, 9, 10, 11}, kCrate);
  L.ground(68, 72, 14);
  L.block(69, 71, 10, 10, kPlanks);

  // A long hill with a ledge and a metal perch above it.
  L.hill(74, 84, 10);
  L.set(77, 9, kBush);
  L.block(78, 80, 7, 7, kLedge);
  L.block(81, 83, 5, 5, kMetal);

  // A stepped stone pyramid and a pit behind it.
  L.piles(87, {11, 10, 9, 8, 8, 9, 10, 11}, kStone);
  L.ground(96, 98, 14);

  // Floating metal blocks over shallow dips.
  L.block(101, 103, 9, 9, kMetal);
  L.ground(104, 105, 13);
  L.block(106, 108, 7, 7, kMetal);
  L.ground(109, 110, 13);
  L.block(111, 113, 9, 9, kMetal);
  L.set(116, 11, kBush);
  L.set(118, 11, kCrate);

  // A ruined brick wall and a pit with a ledge in it.
  L.piles(122, {10, 9, 10}, kBrick);
  L.ground(128, 131, 14);
  L.block(129, 130, 10, 10, kLedge);

  // Rolling hills with a dip between them.
  L.hill(135, 138, 10);
  L.ground(140, 141, 13);
  L.ground(143, 145, 11);
  L.set(137, 9, kBush);

  // A staircase of floating planks.
  L.block(147, 148, 10, 10, kPlanks);
  L.block(150, 151, 8, 8, kPlanks);
  L.block(153, 154, 6, 6, kPlanks);

  // Crates, a last pit and a bush.
  L.piles(158, {11, 10}, kCrate);
  L.ground(162, 163, 14);
  L.set(165, 11, kBush);

  // The castle at the end: stone steps up to a brick keep with battlements.
  L.piles(167, {11, 10, 9}, kStone);
  L.block(170, kMapColumns - 1, 9, 11, kBrick);
  for (int c = 170; c < kMapColumns; c += 2) L.set(c, 8, kStone);
  return L;
}

}  // namespace

std::vector<uint8_t> make_level_file() { return make_level().encode(); }

}  // namespace make_assets
