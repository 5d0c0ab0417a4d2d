// The frame loop: pages, pacing, the frame limit key and the status line.
#include "game/game.h"

#include <cstring>
#include <string>

#include "game/hud.h"
#include "game_fixture.h"
#include "gfx/input/input.h"

namespace {

int64_t fake_ticks = 0;  // milliseconds
const RtClockSource kFakeClock = {[] { return int64_t(1000); }, [] { return fake_ticks; },
                                  [] { return uint32_t(fake_ticks); }};

class Loop : public GameFixture {
 protected:
  void SetUp() override {
    fake_ticks = 5000;
    rt_set_clock_source(&kFakeClock);
    GameFixture::SetUp();
    gfx_close_at_exit();
    ASSERT_TRUE(game_startup(game, 0, nullptr));  // no assets here: images stay mask-coloured
  }
  void TearDown() override {
    rt_str_delete(&game->driver_name);
    GameFixture::TearDown();
    rt_set_clock_source(nullptr);
  }
  std::string status() {
    StringValue* s = hud_status_text(game);
    std::string text = rt_str_chars(s);
    rt_str_release(s);
    return text;
  }
};

TEST_F(Loop, EscapeHeldBeforeTheFirstFrameDrawsNothing) {
  hold(ZQ_SC_ESCAPE);
  EXPECT_EQ(game_run(game), 0);
  EXPECT_EQ(screen_state->visible_page, 0);
}

TEST_F(Loop, TheFirstFrameIsDrawnOnPageZeroWhilePageOneShows) {
  game_frame(game);
  EXPECT_EQ(screen_state->visible_page, 1);
  EXPECT_EQ(game->work_page, 1);
  uint32_t corner;
  std::memcpy(&corner, screen_state->page_buffers[0], 4);
  EXPECT_EQ(corner, 0xFFFF00FFu);  // the missing background's magenta
  std::memcpy(&corner, screen_state->page_buffers[1], 4);
  EXPECT_EQ(corner, 0xFF000000u);  // still blank from the opening
  game_frame(game);
  EXPECT_EQ(screen_state->visible_page, 0);
}

TEST_F(Loop, FramesPerSecondShowsZeroUntilASecondHasPassed) {
  EXPECT_EQ(status(), "FPS: 0 Drajver: Null");
  for (int i = 0; i < 59; ++i) {
    fake_ticks += 16;
    game_frame(game);
  }
  EXPECT_EQ(game->clock.fps_shown, 0);
  fake_ticks = 6000;
  game_frame(game);
  EXPECT_EQ(game->clock.fps_shown, 60);
  EXPECT_EQ(status(), "FPS: 60 Drajver: Null");
}

TEST_F(Loop, FTogglesTheLimitOneKeyPerFrame) {
  gfx_post_key('x');
  gfx_post_key('F');  // Shift+F acts as f
  game_frame(game);
  EXPECT_EQ(game->clock.frame_period, 0.0);
  game_frame(game);
  EXPECT_EQ(game->clock.frame_period, 0.03);
  gfx_post_key('f');
  game_frame(game);
  EXPECT_EQ(game->clock.frame_period, 0.0);
}

// The close button's code, 255 then "k", ends the loop in the frame that
// takes it; the left arrow, 255 then "K", does not, though it lower-cases
// to the same text.
TEST_F(Loop, TheCloseCodeEndsTheLoopInTheFrameThatTakesIt) {
  EXPECT_EXIT(
      {
        gfx_post_key(0x6BFF);
        game_run(game);
        rt_end(0);
      },
      ::testing::ExitedWithCode(0), "");
  gfx_post_key(0x4BFF);
  gfx_post_key('x');
  gfx_post_key(0x6BFF);
  gfx_post_key('f');
  EXPECT_EQ(game_run(game), 3);
  EXPECT_EQ(game->clock.frame_period, 0.0);  // the F behind it was never taken
}

TEST_F(Loop, TheLimitHoldsFramesBackUntilThePeriodHasPassed) {
  game->clock.frame_period = 0.03;
  game_frame(game);
  fake_ticks += 29;
  EXPECT_FALSE(game_frame_due(game));
  fake_ticks += 2;
  EXPECT_TRUE(game_frame_due(game));
}

TEST_F(Loop, TheGameEndsWithStatusZeroOnEscape) {
  EXPECT_EXIT(
      {
        hold(ZQ_SC_ESCAPE);
        game_run(game);
        rt_end(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
