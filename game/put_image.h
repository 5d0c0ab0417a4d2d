// The one way the game blits: a whole image onto the screen's work page, the
// source rectangle not given.
#pragma once
#include "gfx/blit/put.h"

inline void game_put_image(const ImageBuffer* image, float x, float y, int mode, Putter putter) {
  gfx_put(nullptr, x, y, image, ZQ_PUT_WHOLE_IMAGE, ZQ_OMITTED, ZQ_OMITTED, ZQ_OMITTED, 0, mode, putter, -1,
          nullptr, nullptr);
}
