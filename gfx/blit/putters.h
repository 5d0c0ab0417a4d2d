// Putters: the routines that combine a clipped rectangle of source pixels
// with the target rows, called by gfx_put and by font text drawing.
//
// Each public putter is a dispatcher over a table of per-depth routines
// indexed by the target's bytes per pixel, made from the routine levels'
// tables (drivers/routine_levels.h): the plain table, the SSE2 ones and the
// AVX2 ones, each entry from the highest level in use that has it. The first
// call after a screen opening takes the table for the screen's levels and
// stores it in the drawing context; later calls jump straight through it.
#pragma once
#include <cstdint>

#include "drivers/routine_levels.h"

// PutterBlender (a per-pixel combiner the putters pass along untouched),
// Putter (combines height rows of width pixels; both pointers advance by
// their pitch in bytes after each row), the four putters below and gfx_put
// are declared in the public header.
#include "zentravolk/blit.h"

// Routines by the target's bytes per pixel; entries other than 1, 2 and 4
// are empty. The index is taken modulo 8.
struct PutterTable {
  Putter by_bytes[8];
};

// The putters: putter_copy copies the source rows. putter_transparent copies
// every pixel that is not the mask colour (0, 0xF81F, or 0x00FF00FF in the
// low 24 bits); at 4 bytes per pixel the written top byte is 0. putter_blend
// blends non-mask pixels by alpha & 0xFF: 2 bytes per pixel k = (a + 7) >> 3
// over 32 per channel, 4 bytes per pixel k = a + 1 over 256 per byte (the top
// byte too); alpha 0, and every alpha at 1 byte per pixel, is a transparent
// put. putter_alpha_channel writes each 1-byte source pixel into the top byte
// of a 4-byte target pixel.
//
// The light putters skip mask pixels and at 1 byte per pixel put like
// putter_transparent; their strength k is the blend's (2 bytes per pixel
// (a + 7) >> 3 of 32, 4 bytes a + 1 of 256, with a = alpha & 0xFF), and
// alpha 0 is full strength as it is for putter_blend. Per channel (5-6-5, or
// each of the four bytes): putter_add adds floor(s * k / K) to the target,
// saturating; putter_multiply takes m = floor(d * (s + 1) / 2^bits) and
// blends it over the target as putter_blend blends a source; putter_tint
// writes floor(s * (c + 1) / 256) with c the 8-bit channel of the colour
// alpha gives as 0x00RRGGBB (at 4 bytes per pixel the top byte written is 0).

enum class PutterKind { copy, transparent, blend, alpha_channel, add, multiply, tint };

// The light putters' strength: k of K (32 at 2 bytes per pixel, 256 at 4).
inline int putter_strength(int bytes_per_pixel, int alpha) {
  int a = alpha & 0xFF;
  if (bytes_per_pixel == 2) return a == 0 ? 32 : (a + 7) >> 3;
  return a == 0 ? 256 : a + 1;
}

// The level tables of a kind. The plain table is complete; the SSE2 and AVX2
// tables list only what they speed up (null entries, or null for a kind the
// level does not speed up, or where the build has no such routines). With
// `strings` long copied rows go to the fast string moves. All give the same
// pixels.
const PutterTable* putters_plain(PutterKind kind);
const PutterTable* putters_at_sse2(bool strings, PutterKind kind);
const PutterTable* putters_at_avx2(bool strings, PutterKind kind);

// The complete table for a list of levels: each entry from the highest level
// in use that has one (the AVX2 copies and masked copies, for example, over
// the SSE2 blends). Made once per list and kind; the pointer stays valid.
const PutterTable* putters_for(const RoutineLevels& levels, PutterKind kind);

// For a library putter, the routine its dispatcher would jump to now (the
// table chosen as the dispatcher chooses it); any other putter as it is. A
// caller that hands many rows to one putter looks it up once.
Putter gfx_putter_routine(Putter putter);
