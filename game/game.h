// The game's start-up and its frame loop.
#pragma once
#include "game/game_state.h"

// Start-up in the fixed order; false when no screen could be opened.
bool game_startup(Game* game, int argc, char** argv);
bool game_escape_held();
// True when the frame limit lets the next frame start now.
bool game_frame_due(const Game* game);
// One drawn frame: flip, clear, level, input, player, frame count, text.
void game_frame(Game* game);
// Runs frames until Escape is held or the window's close button was
// pressed; returns how many were drawn.
int game_run(Game* game);
// The whole program: start-up, the loop, then the end with status 0.
[[noreturn]] void game_main(int argc, char** argv);
