// Checks of the committed game data written by make_assets: the BMP headers
// the game's loader relies on, transparency where the game's transparent put
// needs it, the status-line font layout, and the level: its file format, a
// solid floor, a standable start and, with the game's own motion rules
// replayed, that every surface of the level can be reached.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <queue>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

std::vector<uint8_t> read_data(const std::string& name) {
  std::ifstream f(std::string(ZQ_DATA_DIR) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint32_t le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};
constexpr Rgb kMask{255, 0, 255};

// A decoded 24-bit bottom-up BMP; header problems are reported as test
// failures and leave the picture empty.
struct Picture {
  int w = 0, h = 0;
  std::vector<Rgb> px;
  Rgb at(int x, int y) const { return px[static_cast<size_t>(y * w + x)]; }
  bool mask(int x, int y) const { return at(x, y) == kMask; }
  int luma(int x, int y) const {
    const Rgb c = at(x, y);
    return (c.r * 77 + c.g * 150 + c.b * 29) / 256;
  }
};

Picture load(const std::string& name, int w, int h) {
  SCOPED_TRACE(name);
  Picture p;
  const std::vector<uint8_t> b = read_data(name);
  EXPECT_GE(b.size(), 54u);
  if (b.size() < 54) return p;
  const uint32_t row = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(le32(b, 2), b.size());     // file size
  EXPECT_EQ(le32(b, 10), 54u);         // pixels right after the headers: no palette
  EXPECT_EQ(le32(b, 14), 40u);         // information header size
  EXPECT_EQ(le32(b, 18), static_cast<uint32_t>(w));
  EXPECT_EQ(le32(b, 22), static_cast<uint32_t>(h));  // positive: bottom-up
  EXPECT_EQ(le16(b, 26), 1u);          // planes
  EXPECT_EQ(le16(b, 28), 24u);         // bits per pixel
  EXPECT_EQ(le32(b, 30), 0u);          // no compression
  EXPECT_EQ(b.size(), 54 + row * static_cast<uint32_t>(h));
  if (testing::Test::HasFailure()) return p;
  p.w = w;
  p.h = h;
  p.px.resize(static_cast<size_t>(w * h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const size_t at = 54 + static_cast<size_t>(h - 1 - y) * row + static_cast<size_t>(x) * 3;
      p.px[static_cast<size_t>(y * w + x)] = {b[at + 2], b[at + 1], b[at]};
    }
  return p;
}

int count_mask(const Picture& p, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += p.mask(x, y);
  return n;
}

// ---------------------------------------------------------------------------
// Pictures

TEST(AssetPictures, TilesAreSolidBlocksExceptLedgeBushAndGrassTips) {
  for (int n = 1; n <= 9; ++n) {
    const std::string name = "gfx/p" + std::to_string(n) + ".bmp";
    SCOPED_TRACE(name);
    const Picture p = load(name, 32, 32);
    ASSERT_FALSE(p.px.empty());
    const int masked = count_mask(p, 0, 0, 32, 32);
    if (n == 6 || n == 7) {
      // Ledge and bush are shapes with see-through surroundings.
      EXPECT_GT(masked, 100);
      EXPECT_LT(masked, 32 * 32 - 200);
    } else if (n == 1) {
      // Grass: blade tips in the top rows only, solid below.
      EXPECT_GT(count_mask(p, 0, 0, 32, 3), 0);
      EXPECT_EQ(count_mask(p, 0, 3, 32, 32), 0);
    } else {
      EXPECT_EQ(masked, 0);
    }
  }
}

TEST(AssetPictures, LedgeIsOpaqueAlongItsTopSurface) {
  const Picture p = load("gfx/p6.bmp", 32, 32);
  ASSERT_FALSE(p.px.empty());
  // The player stands on the tile's top edge: the slab must be there.
  EXPECT_EQ(count_mask(p, 0, 4, 32, 12), 0);
  EXPECT_EQ(count_mask(p, 0, 30, 32, 32), 64);  // hangs free below
}

TEST(AssetPictures, EarthJoinsGrassAndItselfWithoutASeam) {
  const Picture grass = load("gfx/p1.bmp", 32, 32);
  const Picture earth = load("gfx/p2.bmp", 32, 32);
  ASSERT_FALSE(grass.px.empty());
  ASSERT_FALSE(earth.px.empty());
  // Earth stacked under grass or under earth, and side by side: the mean
  // brightness step across the joint is no larger than inside the tile.
  auto step = [](const Picture& a, int ya, const Picture& b, int yb) {
    int sum = 0;
    for (int x = 0; x < 32; ++x) sum += std::abs(a.luma(x, ya) - b.luma(x, yb));
    return sum / 32;
  };
  const int inside = step(earth, 15, earth, 16);
  EXPECT_LE(step(grass, 31, earth, 0), inside + 12);
  EXPECT_LE(step(earth, 31, earth, 0), inside + 12);
  int side = 0;
  for (int y = 0; y < 32; ++y) side += std::abs(earth.luma(31, y) - earth.luma(0, y));
  EXPECT_LE(side / 32, inside + 12);
}

TEST(AssetPictures, SpritesStandOnTheirBottomRowWithHeadroom) {
  std::vector<Picture> frames;
  for (const char* name : {"sprites/vw1.bmp", "sprites/vw2.bmp", "sprites/vj1.bmp", "sprites/vj2.bmp"}) {
    SCOPED_TRACE(name);
    Picture p = load(name, 32, 32);
    ASSERT_FALSE(p.px.empty());
    EXPECT_TRUE(p.mask(0, 0) && p.mask(31, 0) && p.mask(0, 31) && p.mask(31, 31));
    EXPECT_EQ(count_mask(p, 0, 0, 32, 1), 32);  // nothing cut off at the top
    const int figure = 32 * 32 - count_mask(p, 0, 0, 32, 32);
    EXPECT_GT(figure, 250);
    EXPECT_LT(figure, 700);
    frames.push_back(std::move(p));
  }
  // Walking frames put the feet on the ground (the bottom row of the sprite).
  EXPECT_LT(count_mask(frames[0], 0, 31, 32, 32), 32);
  EXPECT_LT(count_mask(frames[1], 0, 31, 32, 32), 32);
  // Every frame is a different pose, and the two walking frames differ in the legs.
  for (size_t i = 0; i < frames.size(); ++i)
    for (size_t j = i + 1; j < frames.size(); ++j) EXPECT_NE(frames[i].px, frames[j].px) << i << j;
  int legs = 0;
  for (int y = 22; y < 32; ++y)
    for (int x = 0; x < 32; ++x) legs += frames[0].mask(x, y) != frames[1].mask(x, y);
  EXPECT_GT(legs, 20);
}

TEST(AssetPictures, BackgroundIsOpaqueAndLightBehindTheBlackTextLines) {
  const Picture p = load("gfx/bck.bmp", 640, 480);
  ASSERT_FALSE(p.px.empty());
  EXPECT_EQ(count_mask(p, 0, 0, 640, 480), 0);  // drawn with a copy put: magenta would show
  // The three fixed lines are black 8 x 8 text at x 200.., y 30..57.
  int darkest = 255;
  for (int y = 30; y < 58; ++y)
    for (int x = 200; x < 440; ++x) darkest = std::min(darkest, p.luma(x, y));
  EXPECT_GT(darkest, 110);
}

// ---------------------------------------------------------------------------
// Font

TEST(AssetFont, HeaderRowIsFreeAndEveryGlyphStaysInItsCell) {
  const Picture p = load("fonts/fnt32c.bmp", 864, 18);
  ASSERT_FALSE(p.px.empty());
  EXPECT_EQ(count_mask(p, 0, 0, 864, 1), 864);  // the game writes the font header here
  EXPECT_EQ(count_mask(p, 0, 1, 8, 18), 8 * 17);  // space draws nothing
  for (int code = 33; code < 128; ++code) {
    SCOPED_TRACE(code);
    const int x0 = (code - 32) * 8;
    // Something bright (the face) and something dark (the outline).
    int bright = 0, dark = 0;
    for (int y = 1; y < 18; ++y)
      for (int x = x0; x < x0 + 8; ++x) {
        if (p.mask(x, y)) continue;
        (p.luma(x, y) > 180 ? bright : dark) += 1;
        if (p.luma(x, y) < 60) ++dark;
      }
    EXPECT_GE(bright, 2);
    EXPECT_GT(dark, bright);
    // The last column is kept free so that neighbouring glyphs never touch.
    EXPECT_EQ(count_mask(p, x0 + 7, 1, x0 + 8, 18), 17);
  }
}

TEST(AssetFont, GlyphsAreAllDifferent) {
  const Picture p = load("fonts/fnt32c.bmp", 864, 18);
  ASSERT_FALSE(p.px.empty());
  // Compared as mask / outline / face, since the outline alone fills the
  // holes of small letters.
  std::set<std::vector<int>> shapes;
  for (int code = 32; code < 128; ++code) {
    std::vector<int> shape;
    for (int y = 1; y < 18; ++y)
      for (int x = (code - 32) * 8; x < (code - 32) * 8 + 8; ++x)
        shape.push_back(p.mask(x, y) ? 0 : p.luma(x, y) > 120 ? 2 : 1);
    EXPECT_TRUE(shapes.insert(shape).second) << "glyph " << code << " repeats an earlier one";
  }
}

// ---------------------------------------------------------------------------
// Level

constexpr int kCols = 180, kRows = 15;

struct Level {
  std::array<float, kCols * kRows> cell{};
  // Solidity as the game sees it; below the map counts as solid, beside it
  // as empty.
  bool solid(int c, int r) const {
    if (r >= kRows) return true;
    if (c < 0 || c >= kCols || r < 0) return false;
    const float v = cell[static_cast<size_t>(r * kCols + c)];
    return v != 0.0f && !std::isnan(v);
  }
};

Level load_level() {
  Level l;
  const std::vector<uint8_t> b = read_data("maps/mapa1.map");
  EXPECT_EQ(b.size(), 4u * kCols * kRows);
  if (b.size() == 4u * kCols * kRows)
    for (size_t i = 0; i < l.cell.size(); ++i) {
      const uint32_t bits = le32(b, i * 4);
      std::memcpy(&l.cell[i], &bits, 4);
    }
  return l;
}

int floor_div(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// The player's motion rules, keyboard only, positions in level pixels (the
// scroll never changes the position in the level). Speeds are kept in
// quarter pixels, which is exact for the game's 1.0 and 0.25 steps.
struct Player {
  int x = 96, y = 192, ground_y = 192;
  int vx4 = 0, vy = 0;
  bool resting() const { return y == ground_y && vy == 0 && vx4 == 0; }

  void frame(const Level& l, int dir, bool jump) {
    if (dir > 0 && vx4 < 16) vx4 += 4;
    if (dir < 0 && vx4 > -16) vx4 -= 4;
    if (vx4 != 0) {
      // x = round(x + vx), ties to even.
      const int sum = 4 * x + vx4;
      int q = floor_div(sum, 4);
      const int rem = sum - 4 * q;
      if (rem > 2 || (rem == 2 && (q & 1))) ++q;
      x = q;
    }
    const int row = floor_div(y, 32) + 1;
    const int left = floor_div(x + 8, 32), right = floor_div(x + 24, 32);
    if (row >= 0 && (left >= 0 || right >= 0) && !l.solid(left, row) && !l.solid(right, row))
      ground_y = 32 * row;
    if (jump && y == ground_y) vy = -16;
    if (y < ground_y && vy == 0) y += 8;
    if (y <= ground_y && vy < 0) {
      y += vy;
      vy += 1;
    }
    if (vx4 > 0) vx4 -= 1;
    if (vx4 < 0) vx4 += 1;
  }
  bool operator==(const Player&) const = default;

  // Lets go of every key until a whole frame changes nothing. (Standing at
  // ground_y is not enough: the ground probe runs before the fall step, so a
  // falling player meets ground_y one frame before the next row is probed.)
  bool settle(const Level& l) {
    for (int i = 0; i < 400; ++i) {
      const Player before = *this;
      frame(l, 0, false);
      if (resting() && *this == before) return true;
    }
    return false;
  }
};

TEST(AssetLevel, FileHoldsTileNumbersWithASolidFloorAndAClearTop) {
  const Level l = load_level();
  for (float v : l.cell) {
    EXPECT_EQ(v, std::floor(v));
    EXPECT_GE(v, 0.0f);
    EXPECT_LE(v, 9.0f);
  }
  for (int c = 0; c < kCols; ++c) {
    EXPECT_TRUE(l.solid(c, kRows - 1)) << "hole in the bottom row at column " << c;
    for (int r = 0; r < 4; ++r) EXPECT_FALSE(l.solid(c, r)) << "under the status text: " << c;
  }
}

TEST(AssetLevel, PlayerDropsOntoTheGroundAtTheStart) {
  const Level l = load_level();
  Player p;  // x 96, y 192 at scroll 0
  ASSERT_TRUE(p.settle(l));
  EXPECT_EQ(p.y, 352);  // standing on the ground row 12
  EXPECT_EQ(p.x, 96);
}

TEST(AssetLevel, GroundNeverStepsMoreThanThreeRows) {
  const Level l = load_level();
  // Height of the solid stack that rises from the bottom row in each column.
  std::vector<int> top(kCols);
  for (int c = 0; c < kCols; ++c) {
    int r = kRows - 1;
    while (r > 0 && l.solid(c, r - 1)) --r;
    top[static_cast<size_t>(c)] = r;
  }
  for (int c = 0; c + 1 < kCols; ++c) {
    const int a = top[static_cast<size_t>(c)], b = top[static_cast<size_t>(c + 1)];
    EXPECT_LE(std::abs(a - b), 3) << "columns " << c << " and " << c + 1;
  }
}

// Replays the game's motion from the start with every move a player has:
// small steps either way, and standing or running jumps left, right or
// straight up. Every tile top with room above it must be stood on by some
// reachable resting position.
TEST(AssetLevel, EverySurfaceCanBeReached) {
  const Level l = load_level();
  Player start;
  ASSERT_TRUE(start.settle(l));

  auto key = [](const Player& p) { return (p.x + 64) * 32 + p.y / 32; };
  std::unordered_set<int> seen{key(start)};
  std::queue<Player> todo;
  todo.push(start);
  std::set<std::pair<int, int>> stood;  // (column, row) of tiles stood on

  auto visit = [&](Player p) {
    if (!p.settle(l) || p.x < -16 || p.x > 32 * kCols - 16) return;
    if (seen.insert(key(p)).second) todo.push(p);
  };
  while (!todo.empty()) {
    const Player p = todo.front();
    todo.pop();
    const int row = p.y / 32 + 1;
    for (int c : {floor_div(p.x + 8, 32), floor_div(p.x + 24, 32)})
      if (l.solid(c, row)) stood.insert({c, row});
    for (int dir : {-1, 1}) {
      Player q = p;
      q.frame(l, dir, false);
      visit(q);
    }
    for (int dir : {-1, 0, 1})
      for (int run : {0, 6}) {
        if (dir == 0 && run) continue;
        Player q = p;
        for (int i = 0; i < run; ++i) q.frame(l, dir, false);
        if (q.y != q.ground_y || q.vy != 0) continue;  // ran off an edge
        q.frame(l, dir, true);
        for (int i = 0; i < 200 && !(q.y == q.ground_y && q.vy == 0); ++i) q.frame(l, dir, false);
        visit(q);
      }
  }

  int missing = 0;
  for (int r = 1; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c)
      if (l.solid(c, r) && !l.solid(c, r - 1) && !stood.count({c, r})) {
        ADD_FAILURE() << "cannot stand on the tile at column " << c << ", row " << r;
        if (++missing > 10) return;
      }
}

}  // namespace
