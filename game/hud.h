// The head-up display: the status line in the game's font and three fixed
// lines in the screen's built-in font.
#pragma once
#include "game/game_state.h"

extern const char kHudLine2[];
extern const char kHudLine3[];
extern const char kHudCredit[];

// Writes the font header (version 0, characters 32..127, all 8 wide) into the
// first pixel row of the loaded font image.
void hud_write_font_header(ImageBuffer* font);
// The status line as a temporary: "FPS: ", the count, " Drajver: ", the driver.
StringValue* hud_status_text(const Game* game);
void hud_draw(const Game* game);
