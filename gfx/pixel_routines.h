// Per-depth pixel routines: the plain set, written for clarity and used as
// the reference every faster set must match.
#pragma once
#include "gfx/context.h"

// Routine set for 1, 2 or 4 bytes per pixel; alpha selects the blending
// members for 4 bytes per pixel.
GfxRoutineSet gfx_plain_routines(int bytes_per_pixel, bool alpha);

// The fast set, taken when the processor has MMX: the same members and the
// same pixels as the plain set, with the span fills, the blend fill and the
// span copies done 16 bytes at a time (SSE2 on x86-64). Any destination
// alignment and any count work; counts of 0 or less write nothing.
GfxRoutineSet gfx_fast_routines(int bytes_per_pixel, bool alpha);
// The fast memory fill and copy: the contract of memset and memmove
// (overlapping copies are allowed).
void gfx_fast_mem_fill(void* dest, int byte, size_t count);
void gfx_fast_mem_copy(void* dest, const void* src, size_t count);

// 32-bit alpha blend of colour s over pixel d; the result takes s's alpha.
inline uint32_t gfx_alpha_blend(uint32_t s, uint32_t d) {
  uint32_t a = s >> 24;
  uint32_t rb = d & 0x00FF00FFu;
  rb = (rb + (((s & 0x00FF00FFu) - rb) * a >> 8)) & 0x00FF00FFu;
  uint32_t g = d & 0x0000FF00u;
  g = (g + (((s & 0x0000FF00u) - g) * a >> 8)) & 0x0000FF00u;
  return rb | g | (s & 0xFF000000u);
}
