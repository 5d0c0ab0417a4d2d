// Allegro 4's sprite calls on memory bitmaps (see allegro_sprites.h).
#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>

#include <cerrno>
#include <cstdlib>

#include "bench/peers/allegro_sprites.h"

namespace {
BITMAP* target = nullptr;
constexpr double kAllegroTurn = 256.0;  // Allegro's angles: 256 to the full turn
}  // namespace

struct AllegroSprite {
  BITMAP* bitmap;
};

bool allegro_open(int width, int height) {
  if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return false;
  set_color_depth(32);
  target = create_bitmap_ex(32, width, height);
  return target != nullptr;
}

void allegro_close() {
  if (target) destroy_bitmap(target);
  target = nullptr;
  allegro_exit();
}

AllegroSprite* allegro_sprite(const uint32_t* pixels, int width, int height) {
  BITMAP* b = create_bitmap_ex(32, width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) reinterpret_cast<uint32_t*>(b->line[y])[x] = pixels[y * width + x];
  return new AllegroSprite{b};
}

void allegro_free(AllegroSprite* sprite) {
  destroy_bitmap(sprite->bitmap);
  delete sprite;
}

void allegro_draw_h_flip(AllegroSprite* s, int x, int y) { draw_sprite_h_flip(target, s->bitmap, x, y); }
void allegro_draw(AllegroSprite* s, int x, int y) { draw_sprite(target, s->bitmap, x, y); }
void allegro_masked_stretch(AllegroSprite* s, int x, int y, int width, int height) {
  masked_stretch_blit(s->bitmap, target, 0, 0, s->bitmap->w, s->bitmap->h, x, y, width, height);
}
void allegro_rotate(AllegroSprite* s, int x, int y, double degrees) {
  rotate_sprite(target, s->bitmap, x, y, ftofix(degrees * kAllegroTurn / 360.0));
}
