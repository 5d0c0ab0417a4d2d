// Per-depth pixel routines: the plain set, written for clarity and used as
// the reference every faster set must match.
#pragma once
#include <cstring>

#include "drivers/routine_levels.h"
#include "gfx/draw/context.h"

// Routine set for 1, 2 or 4 bytes per pixel; alpha selects the blending
// members for 4 bytes per pixel.
GfxRoutineSet gfx_plain_routines(int bytes_per_pixel, bool alpha);

// A level's routine set with its memory fill and copy. The memory fill and
// copy keep the contract of memset and memmove (overlapping copies are
// allowed); the span members take any destination alignment and any count,
// and write nothing for counts of 0 or less.
struct GfxLevelSet {
  GfxRoutineSet routines;
  MemFillFn mem_fill;
  MemCopyFn mem_copy;
};

// The plain level: gfx_plain_routines with the C library's fill and copy.
GfxLevelSet gfx_plain_set(int bytes_per_pixel, bool alpha);

// The set for a list of routine levels: the plain set with what each level
// in use speeds up put over it, lowest first, so every member comes from the
// highest level in use that has one. SSE2 speeds up the span fills, the blend
// fill, the span copies and the memory fill and copy (16 bytes at a time,
// long runs through the string instructions where the levels say they are
// fast); AVX2 the same but the blend fill (32 bytes at a time). The single
// pixel members are the plain level's at every level. Every list gives the
// same pixels.
GfxLevelSet gfx_level_set(const RoutineLevels& levels, int bytes_per_pixel, bool alpha);

// 32-bit alpha blend of colour s over pixel d; the result takes s's alpha.
inline uint32_t gfx_alpha_blend(uint32_t s, uint32_t d) {
  uint32_t a = s >> 24;
  uint32_t rb = d & 0x00FF00FFu;
  rb = (rb + (((s & 0x00FF00FFu) - rb) * a >> 8)) & 0x00FF00FFu;
  uint32_t g = d & 0x0000FF00u;
  g = (g + (((s & 0x0000FF00u) - g) * a >> 8)) & 0x0000FF00u;
  return rb | g | (s & 0xFF000000u);
}

// gfx_alpha_blend of colour over the 32-bit pixel at p (any alignment), and
// over count such pixels from p on (none for a count of 0 or less).
inline void gfx_blend_into_32(uint8_t* p, uint32_t colour) {
  uint32_t d;
  std::memcpy(&d, p, 4);
  d = gfx_alpha_blend(colour, d);
  std::memcpy(p, &d, 4);
}
inline void gfx_blend_span_32(uint8_t* p, uint32_t colour, int count) {
  for (; count > 0; --count, p += 4) gfx_blend_into_32(p, colour);
}
