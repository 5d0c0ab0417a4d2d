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
//
// One file per job: picture.* (colours, pictures, shared marks), bmp_file.*
// (BMP and file writing), noise.* (deterministic randomness), font.cpp,
// tiles_ground.cpp and tiles_built.cpp, sprites.cpp, background.cpp and
// level.cpp (the map file, whose format game/level_format.h fixes).
#include <cstdio>
#include <filesystem>

#include "assets.h"
#include "bmp_file.h"

using namespace make_assets;

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
  bmp("sprites/vw1.bmp", make_sprite(Pose::kWalk1));
  bmp("sprites/vw2.bmp", make_sprite(Pose::kWalk2));
  bmp("sprites/vj1.bmp", make_sprite(Pose::kJump));
  bmp("sprites/vj2.bmp", make_sprite(Pose::kFall));
  ok = write_file(dir / "maps/mapa1.map", make_level_file()) && ok;
  return ok ? 0 : 1;
}
