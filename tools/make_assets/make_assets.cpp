// make_assets: draws every picture and the level the game loads and writes
// them into a data folder:
//
//   make_assets <data dir>
//
// writes fonts/fnt32c.bmp, gfx/p1.bmp .. gfx/p9.bmp, gfx/bck.bmp,
// sprites/vw1.bmp, vw2.bmp, vj1.bmp, vj2.bmp and maps/mapa1.map.
//
// The output is byte-for-byte reproducible: every random choice comes from a
// fixed-seed generator and all arithmetic is integer, so any compiler and any
// optimisation level give the same files. The committed copies under data/
// are checked against a fresh run by the assets_reproducible test.
//
// Pictures are 24-bit uncompressed bottom-up BMP files with the 40-byte
// information header. Transparent parts are the mask colour magenta
// (255, 0, 255), which the game's transparent put skips.

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Colours and pictures

struct Rgb {
  int r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr Rgb kMask{255, 0, 255};

int clamp255(int v) { return std::clamp(v, 0, 255); }

Rgb rgb(int r, int g, int b) { return {clamp255(r), clamp255(g), clamp255(b)}; }

// Adds d to every component.
Rgb lighten(Rgb c, int d) { return rgb(c.r + d, c.g + d, c.b + d); }

// a + (b - a) * t / 256, t in 0..256.
Rgb mix(Rgb a, Rgb b, int t) {
  t = std::clamp(t, 0, 256);
  return rgb(a.r + (b.r - a.r) * t / 256, a.g + (b.g - a.g) * t / 256,
             a.b + (b.b - a.b) * t / 256);
}

// Component-wise scale by f / 256.
Rgb scale(Rgb c, int f) { return rgb(c.r * f / 256, c.g * f / 256, c.b * f / 256); }

class Picture {
 public:
  Picture(int w, int h, Rgb fill) : w_(w), h_(h), px_(static_cast<size_t>(w) * h, fill) {}

  int width() const { return w_; }
  int height() const { return h_; }
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
  Rgb at(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }
  bool is_mask(int x, int y) const { return at(x, y) == kMask; }

  // Writes an opaque pixel; a colour that happens to equal the mask colour is
  // nudged off it so that it never turns transparent by accident.
  void set(int x, int y, Rgb c) {
    if (!inside(x, y)) return;
    if (c == kMask) c.r = 254;
    px_[static_cast<size_t>(y) * w_ + x] = c;
  }
  void clear(int x, int y) {
    if (inside(x, y)) px_[static_cast<size_t>(y) * w_ + x] = kMask;
  }
  // Blends c over the pixel with coverage a (0..256).
  void blend(int x, int y, Rgb c, int a) {
    if (inside(x, y)) set(x, y, mix(at(x, y), c, a));
  }

 private:
  int w_, h_;
  std::vector<Rgb> px_;
};

void put_le16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void put_le32(std::vector<uint8_t>& out, uint32_t v) {
  put_le16(out, v & 0xFFFF);
  put_le16(out, v >> 16);
}

// 24-bit BMP: 14-byte file header, 40-byte information header, no palette,
// pixel rows bottom-up in blue, green, red order, each padded to 4 bytes.
std::vector<uint8_t> encode_bmp(const Picture& p) {
  const uint32_t row = (static_cast<uint32_t>(p.width()) * 3 + 3) & ~3u;
  const uint32_t data = row * static_cast<uint32_t>(p.height());
  std::vector<uint8_t> out;
  out.reserve(54 + data);
  out.push_back('B');
  out.push_back('M');
  put_le32(out, 54 + data);  // file size
  put_le32(out, 0);          // reserved
  put_le32(out, 54);         // offset of the pixels
  put_le32(out, 40);         // information header size
  put_le32(out, static_cast<uint32_t>(p.width()));
  put_le32(out, static_cast<uint32_t>(p.height()));
  put_le16(out, 1);     // planes
  put_le16(out, 24);    // bits per pixel
  put_le32(out, 0);     // no compression
  put_le32(out, data);  // image size
  put_le32(out, 2835);  // 72 dpi
  put_le32(out, 2835);
  put_le32(out, 0);  // colours used
  put_le32(out, 0);  // important colours
  for (int y = p.height() - 1; y >= 0; --y) {
    const size_t start = out.size();
    for (int x = 0; x < p.width(); ++x) {
      const Rgb c = p.at(x, y);
      out.push_back(static_cast<uint8_t>(c.b));
      out.push_back(static_cast<uint8_t>(c.g));
      out.push_back(static_cast<uint8_t>(c.r));
    }
    while (out.size() - start < row) out.push_back(0);
  }
  return out;
}

// ---------------------------------------------------------------------------
// Deterministic randomness

// SplitMix64: a small generator whose sequence depends only on the seed.
class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed) {}
  uint32_t next() {
    s_ += 0x9E3779B97F4A7C15ull;
    uint64_t z = s_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
  }
  // Uniform integer in lo..hi (inclusive).
  int range(int lo, int hi) {
    return lo + static_cast<int>(next() % static_cast<uint32_t>(hi - lo + 1));
  }

 private:
  uint64_t s_;
};

// Stateless hash of a lattice point, for noise that must not depend on the
// order in which pixels are visited.
uint32_t hash3(int a, int b, uint32_t seed) {
  uint32_t h = seed * 0x9E3779B1u;
  h ^= static_cast<uint32_t>(a) * 0x85EBCA77u;
  h = (h << 13) | (h >> 19);
  h ^= static_cast<uint32_t>(b) * 0xC2B2AE3Du;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

// White noise in -amp..amp.
int jitter(int x, int y, uint32_t seed, int amp) {
  return static_cast<int>(hash3(x, y, seed) % static_cast<uint32_t>(2 * amp + 1)) - amp;
}

int floor_div(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Smoothstep of t in 0..4096, result in 0..4096.
int smooth(int t) { return t * t / 4096 * (3 * 4096 - 2 * t) / 4096; }

// One-dimensional value noise with lattice spacing `cell`, result -4096..4096.
int noise1(int x, int cell, uint32_t seed) {
  const int i = floor_div(x, cell);
  const int t = smooth((x - i * cell) * 4096 / cell);
  const int a = static_cast<int>(hash3(i, 0, seed) % 8193) - 4096;
  const int b = static_cast<int>(hash3(i + 1, 0, seed) % 8193) - 4096;
  return a + (b - a) * t / 4096;
}

// Two-dimensional value noise that repeats every `period` pixels in both
// directions (period a multiple of cell), result -4096..4096. Used for tiles,
// which must join their neighbours without seams.
int tile_noise(int x, int y, int cell, int period, uint32_t seed) {
  const int n = period / cell;
  const int ix = floor_div(x, cell), iy = floor_div(y, cell);
  const int tx = smooth((x - ix * cell) * 4096 / cell);
  const int ty = smooth((y - iy * cell) * 4096 / cell);
  auto lattice = [&](int i, int j) {
    const int wi = ((i % n) + n) % n, wj = ((j % n) + n) % n;
    return static_cast<int>(hash3(wi, wj, seed) % 8193) - 4096;
  };
  const int top = lattice(ix, iy) + (lattice(ix + 1, iy) - lattice(ix, iy)) * tx / 4096;
  const int bot =
      lattice(ix, iy + 1) + (lattice(ix + 1, iy + 1) - lattice(ix, iy + 1)) * tx / 4096;
  return top + (bot - top) * ty / 4096;
}

int isqrt(int v) {
  if (v <= 0) return 0;
  int r = 0;
  while ((r + 1) * (r + 1) <= v) ++r;
  return r;
}

// ---------------------------------------------------------------------------
// Status-line font: 96 glyphs, codes 32..127, each 8 pixels wide from x = 0
// in an 864 x 18 picture (the game creates its font image at that size; the
// last 96 columns are unused). Row 0 is left in the mask colour: the game writes the
// font header there. Each glyph is drawn from the 5 x 11 design below
// (rows 0..7 above the baseline, 8..10 descenders) as a bright face with a
// vertical gradient and a one-pixel dark outline, so it reads on any
// background.

constexpr int kGlyphW = 5;
constexpr int kGlyphH = 11;
constexpr int kGlyphsPerBlock = 16;

// Six blocks of sixteen glyphs, one design row per line, glyphs separated by
// a blank.
constexpr std::array<std::string_view, 6 * kGlyphH> kGlyphRows = {
    //       !     "     #     $     %     &     '     (     )     *     +     ,     -     .     /
    "..... ..#.. .#.#. ..... ..#.. ..... .##.. ..#.. ...#. .#... ..... ..... ..... ..... ..... ....#",
    "..... ..#.. .#.#. .#.#. .#### ##... #..#. ..#.. ..#.. ..#.. ..... ..... ..... ..... ..... ....#",
    "..... ..#.. .#.#. ##### #.#.. ##..# #..#. .#... .#... ...#. #.#.# ..#.. ..... ..... ..... ...#.",
    "..... ..#.. ..... .#.#. #.#.. ...#. .##.. ..... .#... ...#. .###. ..#.. ..... ..... ..... ..#..",
    "..... ..#.. ..... .#.#. .###. ..#.. #.#.# ..... .#... ...#. ##### ##### ..... .###. ..... ..#..",
    "..... ..#.. ..... ##### ..#.# .#... #..#. ..... .#... ...#. .###. ..#.. ..... ..... ..... .#...",
    "..... ..... ..... .#.#. ..#.# #..## #..#. ..... ..#.. ..#.. #.#.# ..#.. .##.. ..... .##.. #....",
    "..... ..#.. ..... ..... ####. ...## .##.# ..... ...#. .#... ..... ..... .##.. ..... .##.. #....",
    "..... ..... ..... ..... ..#.. ..... ..... ..... ..... ..... ..... ..... ..#.. ..... ..... .....",
    "..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .#... ..... ..... .....",
    "..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....",
    // 0     1     2     3     4     5     6     7     8     9     :     ;     <     =     >     ?
    ".###. ..#.. .###. .###. ...#. ##### ..##. ##### .###. .###. ..... ..... ..... ..... ..... .###.",
    "#...# .##.. #...# #...# ..##. #.... .#... ....# #...# #...# ..... ..... ....# ..... #.... #...#",
    "#..## #.#.. ....# ....# .#.#. #.... #.... ...#. #...# #...# .##.. .##.. ...#. ..... .#... ....#",
    "#.#.# ..#.. ...#. ..##. #..#. ####. ####. ...#. .###. #...# .##.. .##.. ..#.. ##### ..#.. ...#.",
    "#.#.# ..#.. ..#.. ....# ##### ....# #...# ..#.. #...# .#### ..... ..... .#... ..... ...#. ..#..",
    "##..# ..#.. .#... ....# ...#. ....# #...# ..#.. #...# ....# ..... ..... ..#.. ##### ..#.. ..#..",
    "#...# ..#.. #.... #...# ...#. #...# #...# .#... #...# ...#. .##.. .##.. ...#. ..... .#... .....",
    ".###. ##### ##### .###. ...#. .###. .###. .#... .###. .##.. .##.. .##.. ....# ..... #.... ..#..",
    "..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..#.. ..... ..... ..... .....",
    "..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .#... ..... ..... ..... .....",
    "..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....",
    // @     A     B     C     D     E     F     G     H     I     J     K     L     M     N     O
    ".###. .###. ####. .###. ###.. ##### ##### .###. #...# .###. ..### #...# #.... #...# #...# .###.",
    "#...# #...# #...# #...# #..#. #.... #.... #...# #...# ..#.. ...#. #..#. #.... ##.## ##..# #...#",
    "#.### #...# #...# #.... #...# #.... #.... #.... #...# ..#.. ...#. #.#.. #.... #.#.# ##..# #...#",
    "#.#.# #...# ####. #.... #...# ####. ####. #.... ##### ..#.. ...#. ##... #.... #.#.# #.#.# #...#",
    "#.#.# ##### #...# #.... #...# #.... #.... #.### #...# ..#.. ...#. #.#.. #.... #...# #.#.# #...#",
    "#.### #...# #...# #.... #...# #.... #.... #...# #...# ..#.. ...#. #..#. #.... #...# #..## #...#",
    "#.... #...# #...# #...# #..#. #.... #.... #...# #...# ..#.. #..#. #...# #.... #...# #..## #...#",
    ".#### #...# ####. .###. ###.. ##### #.... .#### #...# .###. .##.. #...# ##### #...# #...# .###.",
    "..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....",
    "..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....",
    "..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....",
    // P     Q     R     S     T     U     V     W     X     Y     Z     [     \\    ]     ^     _
    "####. .###. ####. .###. ##### #...# #...# #...# #...# #...# ##### .###. #.... .###. ..#.. .....",
    "#...# #...# #...# #...# ..#.. #...# #...# #...# #...# #...# ....# .#... #.... ...#. .#.#. .....",
    "#...# #...# #...# #.... ..#.. #...# #...# #...# .#.#. .#.#. ...#. .#... .#... ...#. #...# .....",
    "#...# #...# #...# .###. ..#.. #...# #...# #...# ..#.. ..#.. ..#.. .#... ..#.. ...#. ..... .....",
    "####. #...# ####. ....# ..#.. #...# #...# #.#.# ..#.. ..#.. .#... .#... ..#.. ...#. ..... .....",
    "#.... #.#.# #.#.. ....# ..#.. #...# .#.#. #.#.# .#.#. ..#.. #.... .#... ...#. ...#. ..... .....",
    "#.... #..#. #..#. #...# ..#.. #...# .#.#. ##.## #...# ..#.. #.... .#... ....# ...#. ..... .....",
    "#.... .##.# #...# .###. ..#.. .###. ..#.. #...# #...# ..#.. ##### .###. ....# .###. ..... .....",
    "..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....",
    "..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... #####",
    "..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....",
    // `     a     b     c     d     e     f     g     h     i     j     k     l     m     n     o
    ".#... ..... #.... ..... ....# ..... ..##. ..... #.... ..#.. ...#. #.... .##.. ..... ..... .....",
    "..#.. ..... #.... ..... ....# ..... .#..# ..... #.... ..... ..... #.... ..#.. ..... ..... .....",
    "..... .###. ####. .###. .#### .###. .#... .#### #.##. .##.. ..##. #..#. ..#.. ##.#. #.##. .###.",
    "..... ....# #...# #...# #...# #...# ####. #...# ##..# ..#.. ...#. #.#.. ..#.. #.#.# ##..# #...#",
    "..... .#### #...# #.... #...# ##### .#... #...# #...# ..#.. ...#. ##... ..#.. #.#.# #...# #...#",
    "..... #...# #...# #.... #...# #.... .#... #...# #...# ..#.. ...#. #.#.. ..#.. #.#.# #...# #...#",
    "..... #...# #...# #...# #...# #...# .#... #...# #...# ..#.. ...#. #..#. ..#.. #.#.# #...# #...#",
    "..... .#### ####. .###. .#### .###. .#... .#### #...# .###. ...#. #...# .###. #.#.# #...# .###.",
    "..... ..... ..... ..... ..... ..... ..... ....# ..... ..... ...#. ..... ..... ..... ..... .....",
    "..... ..... ..... ..... ..... ..... ..... #...# ..... ..... #..#. ..... ..... ..... ..... .....",
    "..... ..... ..... ..... ..... ..... ..... .###. ..... ..... .##.. ..... ..... ..... ..... .....",
    // p     q     r     s     t     u     v     w     x     y     z     {     |     }     ~     DEL
    "..... ..... ..... ..... .#... ..... ..... ..... ..... ..... ..... ...## ..#.. ##... ..... #####",
    "..... ..... ..... ..... .#... ..... ..... ..... ..... ..... ..... ..#.. ..#.. ..#.. ..... #...#",
    "####. .#### #.##. .#### ####. #...# #...# #...# #...# #...# ##### ..#.. ..#.. ..#.. ..... #...#",
    "#...# #...# ##..# #.... .#... #...# #...# #...# .#.#. #...# ...#. .#... ..#.. ...#. .##.# #...#",
    "#...# #...# #.... .###. .#... #...# #...# #.#.# ..#.. #...# ..#.. ..#.. ..#.. ..#.. #..#. #...#",
    "#...# #...# #.... ....# .#... #...# .#.#. #.#.# ..#.. #...# .#... ..#.. ..#.. ..#.. ..... #...#",
    "#...# #...# #.... ....# .#..# #...# .#.#. #.#.# .#.#. #...# #.... ..#.. ..#.. ..#.. ..... #...#",
    "####. .#### #.... ####. ..##. .#### ..#.. .#.#. #...# .#### ##### ...## ..#.. ##... ..... #####",
    "#.... ....# ..... ..... ..... ..... ..... ..... ..... ....# ..... ..... ..#.. ..... ..... .....",
    "#.... ....# ..... ..... ..... ..... ..... ..... ..... #...# ..... ..... ..#.. ..... ..... .....",
    "#.... ....# ..... ..... ..... ..... ..... ..... ..... .###. ..... ..... ..... ..... ..... .....",

};

constexpr bool glyph_rows_well_formed() {
  for (std::string_view row : kGlyphRows)
    if (row.size() != kGlyphsPerBlock * (kGlyphW + 1) - 1) return false;
  return true;
}
static_assert(glyph_rows_well_formed());

bool glyph_bit(int code, int gx, int gy) {
  const int index = code - 32;
  const int block = index / kGlyphsPerBlock, slot = index % kGlyphsPerBlock;
  const std::string_view row = kGlyphRows[static_cast<size_t>(block * kGlyphH + gy)];
  return row[static_cast<size_t>(slot * (kGlyphW + 1) + gx)] == '#';
}

Picture make_font() {
  constexpr int kCellW = 8;
  constexpr int kTop = 4;  // picture row of design row 0
  Picture p(864, 18, kMask);
  const Rgb outline{28, 18, 46};
  const Rgb top{255, 255, 236}, bottom{255, 178, 30};
  for (int code = 32; code < 128; ++code) {
    const int x0 = (code - 32) * kCellW + 1;
    // Outline first: every pixel around a face pixel, diagonals included.
    for (int gy = 0; gy < kGlyphH; ++gy)
      for (int gx = 0; gx < kGlyphW; ++gx)
        if (glyph_bit(code, gx, gy))
          for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) p.set(x0 + gx + dx, kTop + gy + dy, outline);
    for (int gy = 0; gy < kGlyphH; ++gy)
      for (int gx = 0; gx < kGlyphW; ++gx)
        if (glyph_bit(code, gx, gy)) p.set(x0 + gx, kTop + gy, mix(top, bottom, gy * 256 / 9));
  }
  return p;
}

// ---------------------------------------------------------------------------
// Tiles, 32 x 32. Textures repeat every 32 pixels so that neighbouring tiles
// of the same kind join without seams; light comes from the top left.

constexpr int kTile = 32;

// Earth: brown soil with soft blotches, grain and a few pebbles. Shared by the
// earth tile and the lower part of the grass tile, and periodic in y too, so
// earth joins grass and earth above or below.
Rgb earth_at(int x, int y) {
  struct Pebble {
    int x, y, rx, ry, tone;
  };
  static const std::vector<Pebble> pebbles = [] {
    std::vector<Pebble> v;
    Rng rng(0xEA27);
    for (int i = 0; i < 5; ++i)
      v.push_back({rng.range(0, 31), rng.range(0, 31), rng.range(2, 4), rng.range(2, 3),
                   rng.range(-20, 10)});
    return v;
  }();
  x &= 31;
  y &= 31;
  const Rgb base{142, 96, 60};
  const int blot = tile_noise(x, y, 16, 32, 10) * 10 / 4096 + tile_noise(x, y, 8, 32, 11) * 14 / 4096 +
                   tile_noise(x, y, 4, 32, 12) * 8 / 4096;
  Rgb c = lighten(base, blot + jitter(x, y, 13, 7));
  if (hash3(x, y, 14) % 23 == 0) c = scale(c, 170);  // dark crumbs
  if (hash3(x, y, 15) % 53 == 0) c = lighten(c, 20);  // light grains
  for (const Pebble& pb : pebbles) {
    // Wrapped distance so pebbles on an edge continue on the next tile.
    int dx = x - pb.x, dy = y - pb.y;
    dx -= 32 * floor_div(dx + 16, 32);
    dy -= 32 * floor_div(dy + 16, 32);
    const int d = dx * dx * 256 / (pb.rx * pb.rx) + dy * dy * 256 / (pb.ry * pb.ry);
    if (d < 256) {
      Rgb stone = mix(c, lighten(Rgb{150, 132, 112}, pb.tone), 170);
      if (dy < 0 && dx <= 0 && d < 200) stone = lighten(stone, 18);  // lit upper left
      if (dy > 0 && d > 90) stone = scale(stone, 215);
      c = stone;
    } else if (dy >= 0 && dy <= pb.ry && d < 420) {
      c = scale(c, 205);  // shadow under the pebble
    }
  }
  return c;
}

Picture make_earth() {
  Picture p(kTile, kTile, kMask);
  for (int y = 0; y < kTile; ++y)
    for (int x = 0; x < kTile; ++x) p.set(x, y, earth_at(x, y));
  return p;
}

// Grass: a mat of grass over earth. Blade tips stand up into the top rows
// (transparent between them) and ragged tufts hang into the earth.
Picture make_grass() {
  Picture p(kTile, kTile, kMask);
  for (int x = 0; x < kTile; ++x) {
    // Height of the blade tips: most columns start at row 2 or 3, some tips
    // reach higher.
    const uint32_t h = hash3(x, 0, 21);
    int tip = 2 + static_cast<int>(h % 3 == 0);
    if (h % 7 == 0) tip = 1;
    if (h % 13 == 0) tip = 0;
    // Lower edge of the grass mat, a ragged fringe.
    int fringe = 9 + noise1(x * 4, 16, 22) * 2 / 4096 + static_cast<int>(hash3(x, 1, 23) % 3);
    if (hash3(x, 2, 24) % 5 == 0) fringe += 2;
    for (int y = tip; y < kTile; ++y) {
      if (y < fringe) {
        // Light at the top, deeper green lower down, with vertical blade streaks.
        const int t = (y - tip) * 256 / std::max(1, fringe - tip);
        Rgb c = mix(Rgb{150, 222, 84}, Rgb{52, 138, 46}, t);
        const int streak = static_cast<int>(hash3(x, 3, 25) % 5) - 2;
        c = lighten(c, streak * 7 + jitter(x, y, 26, 6));
        if (y == tip) c = lighten(c, 34);
        if ((x + y * 3 + static_cast<int>(h % 5)) % 9 == 0 && y > 3) c = scale(c, 210);
        p.set(x, y, c);
      } else {
        Rgb c = earth_at(x, y);
        if (y == fringe) c = scale(c, 150);  // shadow under the grass
        else if (y == fringe + 1) c = scale(c, 205);
        p.set(x, y, c);
      }
    }
  }
  // A couple of small flowers in the grass.
  const std::array<std::array<int, 2>, 2> flowers{{{7, 4}, {23, 5}}};
  const std::array<Rgb, 2> petals{{{255, 250, 240}, {255, 214, 64}}};
  for (size_t i = 0; i < flowers.size(); ++i) {
    const int fx = flowers[i][0], fy = flowers[i][1];
    p.set(fx - 1, fy, petals[i]);
    p.set(fx + 1, fy, petals[i]);
    p.set(fx, fy - 1, petals[i]);
    p.set(fx, fy + 1, scale(petals[i], 210));
    p.set(fx, fy, Rgb{236, 120, 40});
  }
  return p;
}

// Stone: a cut block with bevelled edges, speckles and a crack.
Picture make_stone() {
  Picture p(kTile, kTile, kMask);
  const Rgb base{132, 134, 146};
  for (int y = 0; y < kTile; ++y)
    for (int x = 0; x < kTile; ++x) {
      Rgb c = lighten(base, tile_noise(x, y, 8, 32, 31) * 12 / 4096 + jitter(x, y, 32, 6));
      if (hash3(x, y, 33) % 17 == 0) c = scale(c, 200);
      if (hash3(x, y, 34) % 29 == 0) c = lighten(c, 30);
      // Bevel: two light rows/columns at the top/left, two dark at the
      // bottom/right, and a dark joint on the outermost bottom/right line.
      if (x == 31 || y == 31) c = Rgb{58, 58, 70};
      else if (x == 0 || y == 0) c = lighten(c, 44);
      else if (x == 30 || y == 30) c = scale(c, 165);
      else if (x == 1 || y == 1) c = lighten(c, 22);
      else if (x == 29 || y == 29) c = scale(c, 205);
      p.set(x, y, c);
    }
  // A crack wandering down from the top edge.
  Rng rng(0x5703);
  int cx = 19;
  for (int y = 2; y < 15; ++y) {
    p.set(cx, y, Rgb{70, 70, 84});
    p.set(cx + 1, y, lighten(p.at(cx + 1, y), 18));
    const int step = rng.range(-1, 1);
    if (cx + step > 12 && cx + step < 27) cx += step;
  }
  return p;
}

// Brick: four courses of red bricks in running bond with light mortar.
Picture make_brick() {
  Picture p(kTile, kTile, kMask);
  const Rgb mortar{196, 186, 168};
  for (int y = 0; y < kTile; ++y)
    for (int x = 0; x < kTile; ++x) {
      const int course = y / 8, ry = y % 8;
      const int shifted = x + (course % 2) * 8;
      const int brick = (shifted / 16) % 2, rx = shifted % 16;
      if (ry == 7 || rx == 15) {
        p.set(x, y, lighten(mortar, jitter(x, y, 41, 8) - (ry == 7 && rx != 15 ? 0 : 6)));
        continue;
      }
      const uint32_t h = hash3(course, brick, 42);
      Rgb c = rgb(168 + static_cast<int>(h % 31) - 15, 70 + static_cast<int>((h >> 8) % 19) - 9,
                  50 + static_cast<int>((h >> 16) % 13) - 6);
      c = lighten(c, tile_noise(x, y, 4, 32, 43) * 10 / 4096 + jitter(x, y, 44, 7));
      if (ry == 0) c = lighten(c, 30);
      else if (rx == 0) c = lighten(c, 16);
      else if (ry == 6) c = scale(c, 180);
      else if (rx == 14) c = scale(c, 205);
      if (hash3(x, y, 45) % 31 == 0) c = scale(c, 190);
      p.set(x, y, c);
    }
  return p;
}

// Wood planks: four horizontal boards with grain, seams, nails and a knot.
Picture make_planks() {
  Picture p(kTile, kTile, kMask);
  const std::array<int, 4> seams{20, 6, 26, 12};
  const std::array<int, 4> tones{0, -14, 8, -6};
  for (int y = 0; y < kTile; ++y)
    for (int x = 0; x < kTile; ++x) {
      const int board = y / 8, by = y % 8;
      const size_t b = static_cast<size_t>(board);
      // Grain: noise stretched along the board, different for every row.
      const int grain = noise1(x * 3 + by * 97 + board * 311, 14, 51) * 22 / 4096;
      Rgb c = lighten(Rgb{172, 118, 66}, tones[b] + grain + jitter(x, y, 52, 4));
      if ((noise1(x * 2 + board * 57, 9, 53) + by * 900) % 2400 < 160) c = scale(c, 215);
      if (by == 0) c = lighten(c, 26);
      if (by == 6) c = scale(c, 200);
      if (by == 7) c = Rgb{74, 46, 26};
      if (x == seams[b]) c = Rgb{86, 54, 30};
      if (x == seams[b] + 1 && by != 7) c = lighten(c, 20);
      p.set(x, y, c);
    }
  // Nails beside each seam.
  for (size_t b = 0; b < 4; ++b) {
    const int y = static_cast<int>(b) * 8 + 3;
    for (int dx : {-2, 3}) {
      const int x = (seams[b] + dx + 32) % 32;
      p.set(x, y, Rgb{196, 196, 204});
      p.set(x, y + 1, Rgb{92, 92, 104});
    }
  }
  // A knot on the third board.
  for (int y = 17; y < 22; ++y)
    for (int x = 4; x < 12; ++x) {
      const int d = (x - 8) * (x - 8) + (y - 19) * (y - 19) * 3;
      if (d < 3) p.set(x, y, Rgb{92, 56, 30});
      else if (d >= 7 && d < 13) p.set(x, y, Rgb{128, 82, 44});
    }
  return p;
}

// Ledge: a floating slab, grass on top of bevelled rock with a jagged rocky
// underside; transparent below.
Picture make_ledge() {
  Picture p(kTile, kTile, kMask);
  for (int x = 0; x < kTile; ++x) {
    // Bottom of the rock: deepest in the middle of the tile.
    const int dxm = x * 2 - 31;  // -31..31
    int bottom = 24 - dxm * dxm / 100 + static_cast<int>(hash3(x, 0, 61) % 3);
    bottom = std::max(bottom, 12);
    const uint32_t h = hash3(x, 1, 62);
    int tip = 2 + static_cast<int>(h % 3 == 0);
    if (h % 6 == 0) tip = 1;
    for (int y = tip; y <= bottom; ++y) {
      Rgb c;
      if (y < 7) {
        c = mix(Rgb{156, 224, 90}, Rgb{64, 150, 52}, (y - tip) * 256 / std::max(1, 7 - tip));
        c = lighten(c, jitter(x, y, 63, 8));
        if (y == tip) c = lighten(c, 30);
      } else {
        const Rgb rock{150, 128, 104};
        c = lighten(rock, tile_noise(x, y, 8, 32, 64) * 14 / 4096 + jitter(x, y, 65, 7));
        c = scale(c, 256 - (y - 7) * 5);  // darker further down
        if (y == 7) c = Rgb{58, 110, 44};  // shadow line under the grass
        if (y == 8) c = lighten(c, 24);
        if (y == bottom) c = scale(c, 150);
        if (hash3(x, y, 66) % 19 == 0) c = scale(c, 190);
        if (y == 9 && hash3(x, y, 67) % 3 == 0) c = Rgb{76, 140, 58};  // hanging grass
        if (y == 10 && hash3(x, y, 67) % 7 == 0) c = Rgb{64, 122, 50};
      }
      p.set(x, y, c);
    }
  }
  return p;
}

// Bush: a round leafy bush with a few flowers, standing on the bottom edge of
// the tile; transparent around it.
Picture make_bush() {
  Picture p(kTile, kTile, kMask);
  struct Blob {
    int x, y, r;
  };
  const std::array<Blob, 6> blobs{{{9, 22, 8}, {22, 21, 9}, {15, 14, 9}, {5, 26, 6},
                                   {27, 26, 5}, {16, 24, 8}}};
  auto coverage = [&](int x, int y) {
    int best = -1 << 20;
    for (const Blob& b : blobs) {
      const int d = (x - b.x) * (x - b.x) + (y - b.y) * (y - b.y);
      best = std::max(best, b.r * b.r - d);
    }
    return best;
  };
  for (int y = 0; y < kTile; ++y)
    for (int x = 0; x < kTile; ++x) {
      if (coverage(x, y) + jitter(x, y, 71, 10) <= 0 || y > 30) continue;
      // Light from the upper left: brighter towards (10, 8).
      const int lx = x - 10, ly = y - 8;
      const int light = 60 - isqrt(lx * lx + ly * ly) * 3;
      Rgb c = lighten(Rgb{58, 138, 52}, light / 2 + jitter(x, y, 72, 6));
      // Leaf clusters.
      const int leaf = tile_noise(x, y, 4, 32, 73);
      if (leaf > 1600) c = lighten(c, 22);
      if (leaf < -1900) c = scale(c, 180);
      if (y >= 28) c = scale(c, 196);
      p.set(x, y, c);
    }
  // Dark rim where the bush meets the transparent surroundings.
  Picture rim = p;
  for (int y = 0; y < kTile; ++y)
    for (int x = 0; x < kTile; ++x) {
      if (p.is_mask(x, y)) continue;
      bool edge = false;
      for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
        if (p.inside(x + dx, y + dy) && p.is_mask(x + dx, y + dy)) edge = true;
      if (edge) rim.set(x, y, Rgb{30, 78, 34});
    }
  p = rim;
  const std::array<std::array<int, 2>, 5> flowers{{{8, 17}, {17, 10}, {24, 17}, {13, 24}, {25, 25}}};
  const std::array<Rgb, 5> petals{{{255, 255, 250}, {255, 120, 160}, {255, 220, 70},
                                   {255, 120, 160}, {255, 255, 250}}};
  for (size_t i = 0; i < flowers.size(); ++i) {
    const int fx = flowers[i][0], fy = flowers[i][1];
    p.set(fx - 1, fy, petals[i]);
    p.set(fx + 1, fy, scale(petals[i], 225));
    p.set(fx, fy - 1, petals[i]);
    p.set(fx, fy + 1, scale(petals[i], 210));
    p.set(fx, fy, Rgb{250, 190, 40});
  }
  return p;
}

// Crate: a wooden box with a dark frame, vertical boards and a diagonal brace.
Picture make_crate() {
  Picture p(kTile, kTile, kMask);
  const Rgb frame{150, 98, 48}, board{196, 142, 78};
  for (int y = 0; y < kTile; ++y)
    for (int x = 0; x < kTile; ++x) {
      const int grain = noise1(y * 3 + x * 131, 11, 81) * 16 / 4096;
      const bool rim = x < 5 || y < 5 || x > 26 || y > 26;
      // Brace from the lower left to the upper right, 5 pixels wide.
      const int diag = x + y - 31;
      const bool brace = !rim && diag >= -3 && diag <= 3;
      Rgb c;
      if (rim) {
        c = lighten(frame, noise1(x * 3 + y * 131, 11, 82) * 14 / 4096 + jitter(x, y, 83, 4));
        if (x == 0 || y == 0) c = lighten(c, 30);
        if (x == 31 || y == 31) c = Rgb{64, 38, 20};
        if ((x == 4 && y >= 4 && y <= 27) || (y == 4 && x >= 4 && x <= 27)) c = scale(c, 170);
        if ((x == 27 && y >= 4 && y <= 27) || (y == 27 && x >= 4 && x <= 27)) c = lighten(c, 18);
      } else if (brace) {
        c = lighten(frame, grain + jitter(x, y, 84, 4) + 8);
        if (diag == -3) c = lighten(c, 24);
        if (diag == 3) c = Rgb{92, 58, 30};
      } else {
        c = lighten(board, grain + jitter(x, y, 85, 5));
        if ((x - 5) % 7 == 6) c = Rgb{120, 80, 42};  // gaps between boards
        if (diag == 4 || diag == -4) c = scale(c, 185);  // shadow beside the brace
      }
      p.set(x, y, c);
    }
  // Nails in the corners of the frame.
  for (int cy : {2, 29})
    for (int cx : {2, 29}) {
      p.set(cx, cy, Rgb{210, 210, 218});
      p.set(cx + 1, cy, Rgb{120, 120, 132});
      p.set(cx, cy + 1, Rgb{120, 120, 132});
    }
  return p;
}

// Metal: a riveted steel plate with a bevel and a diagonal sheen.
Picture make_metal() {
  Picture p(kTile, kTile, kMask);
  for (int y = 0; y < kTile; ++y)
    for (int x = 0; x < kTile; ++x) {
      // Brushed texture: noise stretched horizontally.
      Rgb c = mix(Rgb{176, 190, 210}, Rgb{112, 124, 146}, y * 256 / 31);
      c = lighten(c, noise1(x + y * 71, 12, 91) * 6 / 4096 + jitter(x, y, 92, 3));
      const int band = (x + y) % 64;
      if (band >= 14 && band < 20) c = lighten(c, 26);
      if (band >= 22 && band < 24) c = lighten(c, 16);
      if (x == 0 || y == 0) c = Rgb{232, 240, 250};
      else if (x == 31 || y == 31) c = Rgb{56, 62, 78};
      else if (x == 1 || y == 1) c = lighten(c, 30);
      else if (x == 30 || y == 30) c = scale(c, 160);
      else if (x == 2 || y == 2) c = lighten(c, 12);
      else if (x == 29 || y == 29) c = scale(c, 210);
      p.set(x, y, c);
    }
  for (int cy : {6, 25})
    for (int cx : {6, 25}) {
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
          const int d = dx * dx + dy * dy;
          if (d > 5) continue;
          Rgb c{150, 160, 178};
          if (dx + dy <= -2) c = Rgb{236, 242, 250};
          else if (dx + dy >= 2) c = Rgb{70, 76, 94};
          p.set(cx + dx, cy + dy, c);
        }
      p.set(cx + 2, cy + 3, Rgb{90, 98, 118});  // rivet shadow
      p.set(cx + 3, cy + 2, Rgb{90, 98, 118});
    }
  return p;
}

// ---------------------------------------------------------------------------
// Player sprites: a little explorer with a sun hat and a backpack, facing
// right, feet on the bottom row. Drawn from the character maps below; a dark
// outline is added around the figure afterwards.

Rgb sprite_colour(char ch) {
  switch (ch) {
    case 'H': return {214, 168, 96};   // hat
    case 'h': return {170, 122, 64};   // hat, shaded
    case 'd': return {118, 80, 44};    // hat brim underside
    case 'B': return {110, 52, 38};    // hat band
    case 'S': return {252, 208, 168};  // skin
    case 's': return {224, 162, 124};  // skin, shaded
    case 'K': return {36, 24, 32};     // eye
    case 'D': return {96, 58, 34};     // hair
    case 'R': return {214, 58, 46};    // scarf
    case 'r': return {156, 38, 34};    // scarf, shaded
    case 'G': return {86, 164, 98};    // shirt
    case 'g': return {56, 118, 72};    // shirt, shaded
    case 'P': return {184, 102, 50};   // backpack
    case 'p': return {130, 68, 36};    // backpack, shaded
    case 'Y': return {246, 204, 76};   // buckle
    case 'L': return {94, 60, 38};     // belt
    case 'T': return {76, 96, 164};    // trousers
    case 't': return {52, 66, 118};    // trousers, shaded
    case 'O': return {120, 74, 44};    // boots
    case 'o': return {76, 46, 30};     // boot soles
    case 'W': return {255, 252, 236};  // highlight
    default: return kMask;
  }
}

using SpriteMap = std::array<std::string_view, 32>;

// Head, hat and shoulders are the same in every frame.
#define ZQ_HEAD                             \
  "................................",       \
  "................................",       \
  ".............hHHHHh.............",       \
  "...........hHHHHHWWHh...........",       \
  "..........hHHHHHHHHWHh..........",       \
  "..........hBBBBBBBBBBh..........",       \
  "........ddhhhhhhhhhhhhhh........",       \
  "..........DDDSSSSSSSS...........",       \
  "..........DDSSSSSSKSS...........",       \
  "..........DDSSSSSSKSSS..........",       \
  "..........DSSSSSSSSSSSs.........",       \
  "..........DsSSSSSSSSSs..........",       \
  "...........ssSSSSsss............",       \
  "............rRRRRRRr............"

// Walking, stride: front leg reaching forward, back leg pushing off, arm
// swinging forward.
constexpr SpriteMap kWalk1 = {ZQ_HEAD,
  ".........pPPPGGGGGGg............",
  "........pPPPPGGGGGGGg...........",
  "........pPYPPgGGGGGGGg..........",
  "........pPPPPgGGgGGGGGS.........",
  "........pPPPPgGGGgGGSSS.........",
  "........pPPPPgGGGGgGSS..........",
  ".........pppggGGGGGGg...........",
  "............LLLYLLLL............",
  "............TTTTTTTT............",
  "...........TTTTtTTTTT...........",
  "..........tTTT...TTTTT..........",
  ".........tTTT.....TTTT..........",
  "........tTTT.......TTTT.........",
  ".......tTTT.........TTT.........",
  "......OOOO..........OOOOO.......",
  ".....OOOOO..........OOOOOO......",
  ".....ooooo..........oooooo......",
  "................................"};

// Walking, passing: legs together, arm at the side.
constexpr SpriteMap kWalk2 = {ZQ_HEAD,
  ".........pPPPGGGGGGg............",
  "........pPPPPGGGGGGGg...........",
  "........pPYPPgGGGGGGGg..........",
  "........pPPPPgGGGgGGGg..........",
  "........pPPPPgGGGgGGGg..........",
  "........pPPPPgGGGSSGg...........",
  ".........pppggGGGSSGg...........",
  "............LLLYLLLL............",
  "............TTTTTTTT............",
  "............TTTTTTTT............",
  "............tTTTTTTT............",
  "............ttTTTTTT............",
  ".............tTTTTT.............",
  ".............tTTTTT.............",
  "............oOOOOOOOO...........",
  "............OOOOOOOOOO..........",
  "............oooooooooo..........",
  "................................"};

// Rising: fist raised, front knee pulled up, back leg trailing.
constexpr SpriteMap kJump = {
  "................................",
  "................................",
  ".............hHHHHh.............",
  "...........hHHHHHWWHh...........",
  "..........hHHHHHHHHWHh..........",
  "..........hBBBBBBBBBBh....SS....",
  "........ddhhhhhhhhhhhhhh.SSS....",
  "..........DDDSSSSSSSS....SSs....",
  "..........DDSSSSSSKSS....GG.....",
  "..........DDSSSSSSKSSS..GGg.....",
  "..........DSSSSSSSSSSSsGGg......",
  "..........DsSSSSSSSSSsGGg.......",
  "...........ssSSSSsss.GGg........",
  "............rRRRRRRrGGg.........",
  ".........pPPPGGGGGGGGg..........",
  "........pPPPPGGGGGGGg...........",
  "........pPYPPgGGGGGGg...........",
  "........pPPPPgGGGGGGg...........",
  "........pPPPPgGGGGGGg...........",
  "........pPPPPgGGGGGGg...........",
  ".........pppggGGGGGGg...........",
  "............LLLYLLLL............",
  "...........tTTTTTTTTTTTT........",
  "..........tTTTTTTTTTTTTTT.......",
  ".........tTTT........TTTT.......",
  "........tTTT.........OOOOO......",
  ".......OOOO..........OOOOOO.....",
  "......OOOOO..........oooooo.....",
  "......ooooo.....................",
  "................................",
  "................................",
  "................................"};

// Falling: arms thrown up, legs stretched down and apart.
constexpr SpriteMap kFall = {
  "................................",
  "................................",
  ".............hHHHHh.............",
  "...........hHHHHHWWHh...........",
  "..........hHHHHHHHHWHh..........",
  "..........hBBBBBBBBBBh..........",
  "........ddhhhhhhhhhhhhhh........",
  "..........DDDSSSSSSSS...........",
  "..........DDSSSSSSKSS.....SS....",
  "..........DDSSSSSSKSSS...SSS....",
  "..........DSSSSSSSSSSSs..GGs....",
  "..........DsSSSSSSSSSs..GGg.....",
  "...........ssSSSSsss...GGg......",
  "............rRRRRRRr..GGg.......",
  ".........pPPPGGGGGGGGGGg........",
  "........pPPPPGGGGGGGGg..........",
  "........pPYPPgGGGGGGg...........",
  "........pPPPPgGGGGGGg...........",
  "........pPPPPgGGGGGGg...........",
  "........pPPPPgGGGGGGg...........",
  ".........pppggGGGGGGg...........",
  "............LLLYLLLL............",
  "............TTTTTTTT............",
  "...........tTTTTtTTTT...........",
  "..........tTTT...TTTT...........",
  "..........tTT.....TTT...........",
  ".........tTTT.....TTTT..........",
  ".........tTT.......TTT..........",
  "........OOOO.......OOOOO........",
  "........OOOOO......OOOOOO.......",
  "........ooooo......oooooo.......",
  "................................"};

#undef ZQ_HEAD

constexpr bool well_formed(const SpriteMap& map) {
  for (std::string_view row : map)
    if (row.size() != 32) return false;
  return true;
}
static_assert(well_formed(kWalk1) && well_formed(kWalk2) && well_formed(kJump) &&
              well_formed(kFall));

Picture make_sprite(const SpriteMap& map) {
  Picture p(32, 32, kMask);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const Rgb c = sprite_colour(map[static_cast<size_t>(y)][static_cast<size_t>(x)]);
      if (c != kMask) p.set(x, y, c);
    }
  // Outline: every transparent pixel next to the figure (not diagonally).
  Picture out = p;
  const Rgb dark{40, 26, 30};
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      if (!p.is_mask(x, y)) continue;
      for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
        if (p.inside(x + dx, y + dy) && !p.is_mask(x + dx, y + dy)) out.set(x, y, dark);
    }
  return out;
}

// ---------------------------------------------------------------------------
// Background, 640 x 480: sky, sun, clouds and three layers of hills that grow
// nearer, darker and greener towards the bottom. The game draws it fixed
// behind the scrolling tiles.

Rgb sky_at(int y) {
  const Rgb top{86, 150, 226}, mid{140, 194, 240}, low{222, 236, 242};
  if (y < 210) return mix(top, mid, y * 256 / 210);
  return mix(mid, low, std::min(256, (y - 210) * 256 / 140));
}

// Outline of a hill layer: the screen row of its ridge at column x.
int ridge(int x, int base, int amp, uint32_t seed) {
  const int n = noise1(x, 170, seed) * 5 + noise1(x, 61, seed + 1) * 2 + noise1(x, 23, seed + 2);
  return base + n * amp / (8 * 4096);
}

void draw_cloud(Picture& p, int cx, int cy, int w, Rng& rng) {
  struct Puff {
    int x, y, r;
  };
  std::vector<Puff> puffs;
  const int n = w / 14 + 2;
  for (int i = 0; i < n; ++i) {
    const int px = cx - w / 2 + w * i / (n - 1);
    const int centre = 256 - std::abs(px - cx) * 512 / w;  // 256 in the middle
    const int r = 9 + centre * (w / 6) / 256 + rng.range(-3, 3);
    puffs.push_back({px + rng.range(-4, 4), cy - r / 2 + rng.range(-2, 2), r});
  }
  const int bottom = cy + 8;
  int top = bottom;
  for (const Puff& f : puffs) top = std::min(top, f.y - f.r);
  for (int y = top - 1; y <= bottom; ++y)
    for (int x = cx - w / 2 - 40; x <= cx + w / 2 + 40; ++x) {
      int best = -1 << 20, br = 1, by = 0;
      for (const Puff& f : puffs) {
        const int v = f.r * f.r - ((x - f.x) * (x - f.x) + (y - f.y) * (y - f.y));
        if (v > best) best = v, br = f.r, by = f.y;
      }
      if (best <= 0) continue;
      // Soft edge about three pixels wide: r^2 - d^2 is about 2r(r - d).
      int a = best * 256 / (br * 6);
      a = std::min(a, 256);
      if (y > bottom - 3) a = a * (bottom + 1 - y) / 4;
      // Lit from above: white tops, blue-grey undersides and puff bottoms.
      int shade = (y - top) * 256 / std::max(1, bottom - top);
      shade = std::max(shade, (y - by + br / 3) * 256 / std::max(1, br * 2));
      const Rgb c = mix(Rgb{255, 255, 255}, Rgb{198, 212, 234}, std::clamp(shade, 0, 256));
      p.blend(x, y, c, a);
    }
}

void draw_tree(Picture& p, int x, int ground, int r, Rgb leaf, Rgb trunk) {
  for (int y = ground - r; y <= ground + 3; ++y) {
    p.set(x, y, trunk);
    if (r > 4) p.set(x + 1, y, scale(trunk, 190));
  }
  const int cy = ground - r - r / 3;
  for (int y = cy - r - 1; y <= cy + r + 1; ++y)
    for (int xx = x - r - 1; xx <= x + r + 1; ++xx) {
      const int d2 = (xx - x) * (xx - x) + (y - cy) * (y - cy) * 5 / 4;
      const int v = r * r - d2;
      if (v <= 0) continue;
      const int a = std::min(256, v * 256 / (r * 3));
      // Lit from the upper left.
      const int lx = xx - (x - r / 2), ly = y - (cy - r / 2);
      const int light = 40 - isqrt(lx * lx + ly * ly) * 50 / std::max(1, r);
      p.blend(xx, y, lighten(leaf, light + jitter(xx, y, 201, 5)), a);
    }
}

Picture make_background() {
  constexpr int W = 640, H = 480;
  Picture p(W, H, Rgb{0, 0, 0});
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) p.set(x, y, sky_at(y));

  // Sun with a soft glow, upper right.
  const int sx = 540, sy = 92;
  for (int y = sy - 110; y <= sy + 110; ++y)
    for (int x = sx - 110; x <= sx + 110; ++x) {
      const int d2 = (x - sx) * (x - sx) + (y - sy) * (y - sy);
      if (d2 < 110 * 110) {
        const int g = (110 * 110 - d2) / 110;  // 0..110
        p.blend(x, y, Rgb{255, 246, 214}, g * g / 64);
      }
      if (d2 < 22 * 22) {
        p.set(x, y, mix(Rgb{255, 252, 230}, Rgb{255, 238, 176}, d2 * 256 / (22 * 22)));
      } else if (d2 < 24 * 24) {
        p.blend(x, y, Rgb{255, 240, 186}, (24 * 24 - d2) * 256 / (24 * 24 - 22 * 22));
      }
    }

  // Clouds: small and high, larger and lower.
  Rng rng(0xC10D5);
  const std::array<std::array<int, 3>, 7> clouds{{{70, 64, 96},
                                                  {300, 110, 130},
                                                  {470, 52, 70},
                                                  {610, 150, 110},
                                                  {160, 176, 150},
                                                  {420, 206, 120},
                                                  {-20, 230, 90}}};
  for (const auto& c : clouds) draw_cloud(p, c[0], c[1], c[2], rng);

  // Birds: small dark ticks.
  for (auto [bx, by] : {std::pair{250, 70}, {262, 78}, {244, 84}}) {
    for (int i = 0; i < 3; ++i) {
      p.set(bx - i, by - i / 2, Rgb{60, 70, 96});
      p.set(bx + i, by - i / 2, Rgb{60, 70, 96});
    }
  }

  // Three hill layers, far to near. Each fades into the sky near its ridge's
  // bottom (haze) and has a lit rim along the ridge.
  struct Layer {
    int base, amp;
    uint32_t seed;
    Rgb top, bottom;
    int haze;  // 0..256, how much of the sky colour is mixed in
  };
  const std::array<Layer, 3> layers{{{236, 70, 301, {150, 178, 214}, {128, 162, 196}, 110},
                                     {300, 46, 302, {108, 164, 140}, {82, 138, 112}, 50},
                                     {352, 34, 303, {100, 172, 74}, {58, 126, 50}, 0}}};
  for (size_t li = 0; li < layers.size(); ++li) {
    const Layer& l = layers[li];
    for (int x = 0; x < W; ++x) {
      const int top = ridge(x, l.base, l.amp, l.seed);
      for (int y = std::max(0, top); y < H; ++y) {
        const int depth = y - top;
        Rgb c = mix(l.top, l.bottom, std::min(256, depth * 256 / 140));
        c = mix(c, sky_at(top), l.haze);
        if (depth < 2) c = lighten(c, 26 - depth * 10);
        if (li == 2) {
          // Meadow texture on the nearest layer.
          c = lighten(c, tile_noise(x, y, 8, 640, 310) * 8 / 4096 + jitter(x, y, 311, 3));
        }
        p.set(x, y, c);
      }
    }
    // Trees on the two nearer layers.
    if (li >= 1) {
      Rng trees(0x7E3 + li);
      int x = trees.range(5, 40);
      while (x < W) {
        const int r = li == 1 ? trees.range(3, 5) : trees.range(6, 10);
        const Rgb leaf = li == 1 ? Rgb{76, 140, 112} : Rgb{50, 118, 54};
        const Rgb trunk = li == 1 ? Rgb{84, 104, 96} : Rgb{84, 58, 40};
        draw_tree(p, x, ridge(x, l.base, l.amp, l.seed) + 2, r, leaf, trunk);
        if (trees.range(0, 2) == 0) x += r * 2 + 2;  // small clumps
        else x += li == 1 ? trees.range(24, 80) : trees.range(40, 120);
      }
    }
  }
  return p;
}

// ---------------------------------------------------------------------------
// The level: 180 x 15 cells, 0 = empty, 1..9 = tile. The player starts at
// column 3, row 6 and drops onto the ground, whose surface is row 12; row 14
// is solid all the way so nobody falls out of the world. There is no wall
// collision in the game: the player walks through raised blocks and jumps on
// top of them (a jump reaches 4 rows higher), so every step up is at most 4
// rows and every pit at most 2 deep. Rows 0..3 stay empty under the status
// text.

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

constexpr int kCols = 180, kRows = 15;

class Level {
 public:
  void set(int c, int r, Tile t) { cells_[static_cast<size_t>(r)][static_cast<size_t>(c)] = t; }
  // Ground in columns c0..c1 with its grass surface at row `top`.
  void ground(int c0, int c1, int top) {
    for (int c = c0; c <= c1; ++c)
      for (int r = 0; r < kRows; ++r) set(c, r, r < top ? kEmpty : r == top ? kGrass : kEarth);
  }
  // Fills rows r0..r1 of columns c0..c1 with tile t.
  void block(int c0, int c1, int r0, int r1, Tile t) {
    for (int c = c0; c <= c1; ++c)
      for (int r = r0; r <= r1; ++r) set(c, r, t);
  }
  std::vector<uint8_t> encode() const {
    std::vector<uint8_t> out;
    for (const auto& row : cells_)
      for (uint8_t t : row) put_le32(out, std::bit_cast<uint32_t>(static_cast<float>(t)));
    return out;
  }

 private:
  std::array<std::array<Tile, kCols>, kRows> cells_{};
};

Level make_level() {
  Level L;
  L.ground(0, kCols - 1, 12);

  // Start meadow: a bush, a low plank platform, a shallow dip, a crate pile.
  L.set(7, 11, kBush);
  L.block(10, 12, 9, 9, kPlanks);
  L.ground(15, 16, 13);
  L.set(19, 11, kCrate);
  L.block(20, 20, 10, 11, kCrate);
  L.set(21, 11, kCrate);

  // A grassy hill in steps, a bush and a ledge above it.
  L.ground(24, 24, 11);
  L.ground(25, 25, 10);
  L.ground(26, 33, 9);
  L.ground(34, 34, 10);
  L.ground(35, 35, 11);
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
  L.set(62, 11, kCrate);
  L.block(63, 63, 10, 11, kCrate);
  L.block(64, 64, 9, 11, kCrate);
  L.block(65, 65, 10, 11, kCrate);
  L.set(66, 11, kCrate);
  L.ground(68, 72, 14);
  L.block(69, 71, 10, 10, kPlanks);

  // A long hill with a ledge and a metal perch above it.
  L.ground(74, 74, 11);
  L.ground(75, 83, 10);
  L.ground(84, 84, 11);
  L.set(77, 9, kBush);
  L.block(78, 80, 7, 7, kLedge);
  L.block(81, 83, 5, 5, kMetal);

  // A stepped stone pyramid and a pit behind it.
  L.block(87, 87, 11, 11, kStone);
  L.block(88, 88, 10, 11, kStone);
  L.block(89, 89, 9, 11, kStone);
  L.block(90, 91, 8, 11, kStone);
  L.block(92, 92, 9, 11, kStone);
  L.block(93, 93, 10, 11, kStone);
  L.block(94, 94, 11, 11, kStone);
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
  L.block(122, 122, 10, 11, kBrick);
  L.block(123, 123, 9, 11, kBrick);
  L.block(124, 124, 10, 11, kBrick);
  L.ground(128, 131, 14);
  L.block(129, 130, 10, 10, kLedge);

  // Rolling hills with a dip between them.
  L.ground(135, 135, 11);
  L.ground(136, 137, 10);
  L.ground(138, 138, 11);
  L.ground(140, 141, 13);
  L.ground(143, 145, 11);
  L.set(137, 9, kBush);

  // A staircase of floating planks.
  L.block(147, 148, 10, 10, kPlanks);
  L.block(150, 151, 8, 8, kPlanks);
  L.block(153, 154, 6, 6, kPlanks);

  // Crates, a last pit and a bush.
  L.set(158, 11, kCrate);
  L.block(159, 159, 10, 11, kCrate);
  L.ground(162, 163, 14);
  L.set(165, 11, kBush);

  // The castle at the end: stone steps up to a brick keep with battlements.
  L.block(167, 167, 11, 11, kStone);
  L.block(168, 168, 10, 11, kStone);
  L.block(169, 169, 9, 11, kStone);
  L.block(170, kCols - 1, 9, 11, kBrick);
  for (int c = 170; c < kCols; c += 2) L.set(c, 8, kStone);
  return L;
}

// ---------------------------------------------------------------------------

bool write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  f.close();
  if (!f) {
    std::fprintf(stderr, "make_assets: cannot write %s\n", path.string().c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_assets <output data dir>\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  bool ok = true;
  auto bmp = [&](const char* name, const Picture& p) { ok = write_file(dir / name, encode_bmp(p)) && ok; };
  bmp("fonts/fnt32c.bmp", make_font());
  bmp("gfx/p1.bmp", make_grass());
  bmp("gfx/p2.bmp", make_earth());
  bmp("gfx/p3.bmp", make_stone());
  bmp("gfx/p4.bmp", make_brick());
  bmp("gfx/p5.bmp", make_planks());
  bmp("gfx/p6.bmp", make_ledge());
  bmp("gfx/p7.bmp", make_bush());
  bmp("gfx/p8.bmp", make_crate());
  bmp("gfx/p9.bmp", make_metal());
  bmp("gfx/bck.bmp", make_background());
  bmp("sprites/vw1.bmp", make_sprite(kWalk1));
  bmp("sprites/vw2.bmp", make_sprite(kWalk2));
  bmp("sprites/vj1.bmp", make_sprite(kJump));
  bmp("sprites/vj2.bmp", make_sprite(kFall));
  ok = write_file(dir / "maps/mapa1.map", make_level().encode()) && ok;
  return ok ? 0 : 1;
}
