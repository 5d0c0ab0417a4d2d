// Transformed puts: the job one put hands to its drawing path, and the
// paths of the routine levels, which give the same pixels: the plain level
// maps every pixel on its own; the SSE2 level's path works from per-put
// tables, with the AVX2 level's gather under it (gfx/blit/put_transformed.cpp
// says how).
#pragma once
#include <cstdint>

#include "drivers/routine_levels.h"

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
  RoutineLevels levels;  // the levels whose paths draw the job
};

// Draws a job with the screen lock held, marking the rows it draws on.
using TransformDrawFn = void (*)(const TransformJob& job);
// The path of the highest of `levels` that has one.
TransformDrawFn gfx_transform_draw(const RoutineLevels& levels);

// gfx_put_transformed with the paths of the routine levels given instead of
// the screen's; every list the processor can run gives the same pixels.
int gfx_put_transformed_with(const RoutineLevels& levels, ImageBuffer* target, float x, float y,
                             const ImageBuffer* source, const GfxRect* source_rect, const GfxTransform* transform,
                             Putter putter, int alpha, PutterBlender blender, void* parameter);
