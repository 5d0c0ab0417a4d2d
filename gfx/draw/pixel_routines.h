// Per-depth pixel routines: the plain set, written for clarity and used as
// the reference every faster set must match.
#pragma once
#include <cstring>

#include "gfx/draw/context.h"
#include "gfx/screen/cpu_features.h"

// Routine set for 1, 2 or 4 bytes per pixel; alpha selects the blending
// members for 4 bytes per pixel.
GfxRoutineSet gfx_plain_routines(int bytes_per_pixel, bool alpha);

// The fast set, taken when the processor has MMX: the same members and the
// same pixels as the plain set, with the span fills, the blend fill and the
// span copies done 16 bytes at a time (SSE2 on x86-64), 32 bytes at a time
// with AVX2, or with long runs left to the fast string instructions, as the
// feature mask given says. Any destination alignment and any count work;
// counts of 0 or less write nothing. The memory fill and copy keep the
// contract of memset and memmove (overlapping copies are allowed).
struct GfxFastSet {
  GfxRoutineSet routines;
  MemFillFn mem_fill;
  MemCopyFn mem_copy;
};
// The kCpu* features a fast set is built from.
constexpr uint32_t kCpuFastSetFeatures = kCpuSse2 | kCpuAvx2 | kCpuFastStrings;
// The features of this processor that the fast sets use; every subset of it
// that keeps kCpuSse2 names a set the processor can run, all with the same
// pixels.
uint32_t gfx_fast_features();
GfxFastSet gfx_fast_set(uint32_t features, int bytes_per_pixel, bool alpha);

// The fast set for this processor's features, and its memory routines.
GfxRoutineSet gfx_fast_routines(int bytes_per_pixel, bool alpha);
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
