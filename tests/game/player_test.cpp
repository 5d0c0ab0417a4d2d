// Player motion, probing and scrolling, frame by frame.
#include "game/player.h"

#include <vector>

#include "game_fixture.h"

namespace {

class PlayerMotion : public GameFixture {
 protected:
  void step() {
    player_read_input(game);
    player_update(game);
  }
};

TEST_F(PlayerMotion, HoldingRightAcceleratesToTheLimitWithWalkFrames) {
  // Positions round half to even, so the .5 steps alternate up and down.
  hold(ZQ_SC_RIGHT);
  std::vector<int> moves, frames;
  for (int i = 0; i < 14; ++i) {
    int x = game->player.x;
    step();
    moves.push_back(game->player.x - x);
    frames.push_back(game->player.anim_frame);
  }
  EXPECT_EQ(moves, (std::vector<int>{1, 2, 3, 3, 4, 5, 4, 4, 4, 5, 5, 4, 4, 5}));
  EXPECT_EQ(frames, (std::vector<int>{1, 0, 0, 1, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1}));
  EXPECT_LE(game->player.vx, 4.5);  // 4.75 at most after accelerating, less friction
}

TEST_F(PlayerMotion, FrictionAloneStopsFromFullSpeedIn16Frames) {
  game->player.vx = 4.0;
  int frames = 0;
  while (game->player.vx != 0.0 && frames < 100) {
    step();
    ++frames;
  }
  EXPECT_EQ(frames, 16);
  EXPECT_EQ(game->player.anim_frame, 0);
}

TEST_F(PlayerMotion, JumpRises136PixelsAndLandsAfter17FallingFrames) {
  hold(ZQ_SC_SPACE);
  step();
  release_all();
  int rise = 1;
  while (game->player.vy < 0.0) {
    EXPECT_EQ(game->player.anim_frame, 2);
    step();
    ++rise;
  }
  EXPECT_EQ(rise, 16);
  EXPECT_EQ(game->player.y, 192 - 136);
  int fall = 0;
  while (game->player.y != 192 && fall < 100) {
    step();
    EXPECT_EQ(game->player.anim_frame, 3);
    ++fall;
  }
  EXPECT_EQ(fall, 17);
  EXPECT_EQ(game->player.ground_y, 192);
}

TEST_F(PlayerMotion, SpaceInTheAirDoesNothingAndHeldSpaceJumpsAfterLanding) {
  hold(ZQ_SC_SPACE);
  int frames = 0, jumps = 0;
  double last_vy = 0.0;
  while (frames < 40) {
    step();
    if (game->player.vy == -15.0 && last_vy == 0.0) ++jumps;  // a jump started this frame
    last_vy = game->player.vy;
    ++frames;
  }
  // 16 rising + 17 falling frames, then the next jump starts the frame after landing.
  EXPECT_EQ(jumps, 2);
  EXPECT_EQ(game->player.y, 192 - (16 + 15 + 14 + 13 + 12 + 11 + 10));
}

TEST_F(PlayerMotion, LeftAndRightTogetherCancel) {
  hold(ZQ_SC_RIGHT);
  hold(ZQ_SC_LEFT);
  for (int i = 0; i < 10; ++i) step();
  EXPECT_EQ(game->player.x, 96);
  EXPECT_EQ(game->player.vx, 0.0);
}

TEST_F(PlayerMotion, ScrollRightMovesTheGridAndCarriesAt32) {
  game->player.x = 337;
  step();
  EXPECT_EQ(game->camera.scroll_px, -4);
  EXPECT_EQ(game->player.x, 333);
  step();
  EXPECT_EQ(game->camera.scroll_px, -4);  // 333 is not right of 336: no more scrolling

  game->camera.scroll_px = -28;
  game->player.x = 340;
  step();
  EXPECT_EQ(game->camera.scroll_px, 0);
  EXPECT_EQ(game->camera.scroll_col, 1);
  EXPECT_EQ(game->player.x, 336);
}

TEST_F(PlayerMotion, NoScrollPastEitherEnd) {
  game->camera.scroll_px = -8;
  game->player.x = 200;
  step();
  EXPECT_EQ(game->camera.scroll_px, -8);
  EXPECT_EQ(game->camera.scroll_col, 0);

  game->camera.scroll_col = 159;
  game->camera.scroll_px = 0;
  game->player.x = 400;
  step();
  EXPECT_EQ(game->camera.scroll_col, 159);
  EXPECT_EQ(game->player.x, 400);
}

TEST_F(PlayerMotion, FallsRowByRowIntoAGapAndStopsOnTheFirstSolidRow) {
  for (int c = 0; c < 6; ++c) game->map.cells[7][c] = 0.0f;
  game->map.cells[10][3] = -1.0f;  // solid but invisible
  game->map.cells[10][4] = -1.0f;
  for (int i = 0; i < 40; ++i) step();
  EXPECT_EQ(game->player.ground_y, 288);
  EXPECT_EQ(game->player.y, 288);
}

TEST_F(PlayerMotion, OffTheMapReadsAsEmptyAndStaysDefined) {
  for (auto& row : game->map.cells)
    for (float& cell : row) cell = 0.0f;
  game->player.x = -200;  // both probe columns left of the map
  for (int i = 0; i < 5; ++i) step();
  EXPECT_EQ(game->player.ground_y, 192);  // the probe is skipped left of the map
  game->player.x = 100;
  for (int i = 0; i < 20000; ++i) step();  // falls below the map for good
  EXPECT_GT(game->player.y, 192 + 8 * 10000);
  EXPECT_EQ(game->player.ground_y % 32, 0);
  EXPECT_LE(game->player.y, game->player.ground_y);
}

}  // namespace
