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
  uint32_t features;  // kCpu* of the path set: 0 plain, kCpuSse2 fast, with kCpuAvx2 the 32-byte paths too
};

// Draws a job with the screen lock held, marking the rows it draws on.
using TransformDrawFn = void (*)(const TransformJob& job);
TransformDrawFn gfx_transform_draw(uint32_t features);

// gfx_put_transformed with the path set given by a kCpu* feature mask
// instead of the screen's choice; every mask the processor can run gives the
// same pixels.
int gfx_put_transformed_with(uint32_t features, ImageBuffer* target, float x, float y, const ImageBuffer* source,
                             const GfxRect* source_rect, const GfxTransform* transform, Putter putter, int alpha,
                             PutterBlender blender, void* parameter);
