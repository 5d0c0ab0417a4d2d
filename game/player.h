// The player: sprites and their mirrored copies, input, motion, scrolling.
#pragma once
#include "game/game_state.h"

// Creates the eight sprite images, loads the four files and builds the
// mirrored copies through the work page.
void player_load_sprites(Game* game);
void player_reset(Game* game);

// Joystick, then the keyboard's acceleration (right, then left).
void player_read_input(Game* game);
// Joystick acceleration, move, ground probe, jump, fall, rise, scroll, friction.
void player_update(Game* game);
void player_draw(const Game* game);
