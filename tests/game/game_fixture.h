// A null-driver screen and a fresh game state on a flat test level, with
// keys held through the key state table.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>

#include "drivers/screen_state.h"
#include "game/game_state.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"

class GameFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    rt_init(0, nullptr, 1);
    setenv("ZQGFX", "null", 1);
    ASSERT_EQ(gfx_screen_res(kScreenWidth, kScreenHeight, kScreenDepth, kScreenPages, 1, 0), 0);
    game = new Game{};
    game->player = {96, 192, 192, 0.0, 0.0, 0, 0};
    game->joystick.result = 1;  // no joystick
    for (int c = 0; c < kMapColumns; ++c) game->map.cells[7][c] = 1.0f;  // ground under the start
  }
  void TearDown() override {
    delete game;
    gfx_close_at_exit();
  }
  void hold(int scancode, bool down = true) { screen_state->key_state[scancode] = down ? 1 : 0; }
  void release_all() {
    for (int i = 0; i < kKeyStateSize; ++i) screen_state->key_state[i] = 0;
  }
  Game* game = nullptr;
};
