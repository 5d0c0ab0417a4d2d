/* The frame fingerprint of the examples that draw one fixed picture: on the
 * Null driver they print it, and their test compares it with the
 * fingerprint recorded when the picture was right. */
#ifndef ZQ_EXAMPLE_FRAME_H
#define ZQ_EXAMPLE_FRAME_H

#include <stdint.h>

#include <zentravolk/zentravolk.h>

/* FNV-1a over the top-left width x height pixels as gfx_point() reads them. */
static uint32_t example_frame_fingerprint(int width, int height) {
  uint32_t h = 2166136261u;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint32_t v = gfx_point(NULL, (float)x, (float)y);
      for (int i = 0; i < 4; ++i) h = (h ^ ((v >> (8 * i)) & 0xFF)) * 16777619u;
    }
  return h;
}

#endif
