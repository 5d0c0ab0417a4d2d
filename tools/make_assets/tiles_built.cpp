// The built tiles, 32 x 32: stone (p3), brick (p4), planks (p5), the crate
// (p8) and metal (p9). Textures repeat every 32 pixels so that neighbouring
// tiles of the same kind join without seams; light comes from the top left.
#include <array>

#include "assets.h"
#include "noise.h"

namespace make_assets {

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

}  // namespace make_assets
