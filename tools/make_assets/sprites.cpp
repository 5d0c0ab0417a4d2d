// The player's sprites: a little explorer with a sun hat and a backpack,
// facing right, feet on the bottom row, kSprite x kSprite pixels. Drawn from
// the character maps below; a dark outline is added around the figure
// afterwards.
#include <array>
#include <string_view>

#include "assets.h"

namespace make_assets {
namespace {

constexpr int kSprite = 32;

// The colour of each character of the maps; any other character is transparent.
struct SpriteColour {
  char ch;
  Rgb colour;
};
constexpr SpriteColour kSpriteColours[] = {
    {'H', {214, 168, 96}},  // hat
    {'h', {170, 122, 64}},  // hat, shaded
    {'d', {118, 80, 44}},  // hat brim underside
    {'B', {110, 52, 38}},  // hat band
    {'S', {252, 208, 168}},  // skin
    {'s', {224, 162, 124}},  // skin, shaded
    {'K', {36, 24, 32}},  // eye
    {'D', {96, 58, 34}},  // hair
    {'R', {214, 58, 46}},  // scarf
    {'r', {156, 38, 34}},  // scarf, shaded
    {'G', {86, 164, 98}},  // shirt
    {'g', {56, 118, 72}},  // shirt, shaded
    {'P', {184, 102, 50}},  // backpack
    {'p', {130, 68, 36}},  // backpack, shaded
    {'Y', {246, 204, 76}},  // buckle
    {'L', {94, 60, 38}},  // belt
    {'T', {76, 96, 164}},  // trousers
    {'t', {52, 66, 118}},  // trousers, shaded
    {'O', {120, 74, 44}},  // boots
    {'o', {76, 46, 30}},  // boot soles
    {'W', {255, 252, 236}},  // highlight
};

Rgb sprite_colour(char ch) {
  for (const SpriteColour& entry : kSpriteColours)
    if (entry.ch == ch) return entry.colour;
  return kMask;
}

using SpriteMap = std::array<std::string_view, kSprite>;

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
    if (row.size() != kSprite) return false;
  return true;
}
static_assert(well_formed(kWalk1) && well_formed(kWalk2) && well_formed(kJump) &&
              well_formed(kFall));

}  // namespace

Picture make_sprite(Pose pose) {
  const SpriteMap& map = pose == Pose::kWalk1   ? kWalk1
                         : pose == Pose::kWalk2 ? kWalk2
                         : pose == Pose::kJump  ? kJump
                                                : kFall;
  Picture p(kSprite, kSprite, kMask);
  for (int y = 0; y < kSprite; ++y)
    for (int x = 0; x < kSprite; ++x) {
      const Rgb c = sprite_colour(map[static_cast<size_t>(y)][static_cast<size_t>(x)]);
      if (c != kMask) p.set(x, y, c);
    }
  // Outline: every transparent pixel next to the figure (not diagonally).
  Picture out = p;
  const Rgb dark{40, 26, 30};
  for (int y = 0; y < kSprite; ++y)
    for (int x = 0; x < kSprite; ++x)
      if (p.is_mask(x, y) && beside(p, x, y, false)) out.set(x, y, dark);
  return out;
}

}  // namespace make_assets
