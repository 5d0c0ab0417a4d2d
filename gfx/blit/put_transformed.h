// Transformed puts: the job one put hands to its drawing path, and the two
// path sets (plain and fast) that give the same pixels.
#pragma once
#include <cstdint>

#include "gfx/blit/put.h"
#include "gfx/blit/transform.h"

struct TransformJob {
  GfxContext* ctx;
  InverseMap map;
  TargetBox box;          // target pixels that may be drawn: the mapped corners, clipped to the view
  const uint8_t* pixels;  // the source rectangle's top-left pixel
  int pitch;
  int bytes_per_pixel;
  Putter putter;
  int alpha;
  PutterBlender blender;
  void* parameter;
};

// Draws a job with the screen lock held, marking the rows it draws on.
using TransformDrawFn = void (*)(const TransformJob& job);
TransformDrawFn gfx_transform_draw(bool fast);
