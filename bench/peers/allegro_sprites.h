// Allegro 4's sprite calls on 32-bit memory bitmaps, for the transformed-put
// benchmark to time side by side with ours. Kept behind plain functions so
// that Allegro's header and its macros stay in one file.
#pragma once
#include <cstdint>

struct AllegroSprite;

// Starts Allegro without a display and makes a width x height 32-bit target.
bool allegro_open(int width, int height);
void allegro_close();
// A sprite from 0x00RRGGBB pixels (0x00FF00FF is Allegro's mask colour too).
AllegroSprite* allegro_sprite(const uint32_t* pixels, int width, int height);
void allegro_free(AllegroSprite* sprite);

void allegro_draw_h_flip(AllegroSprite* sprite, int x, int y);
void allegro_draw(AllegroSprite* sprite, int x, int y);
void allegro_masked_stretch(AllegroSprite* sprite, int x, int y, int width, int height);
// Turned clockwise about its centre, its top-left corner (unturned) at (x, y).
void allegro_rotate(AllegroSprite* sprite, int x, int y, double degrees);
