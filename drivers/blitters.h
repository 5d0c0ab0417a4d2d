// Conversion blitters: routines that copy the open screen's visible page into
// display memory (or a driver's buffer) in the display's pixel format.
//
// A blitter walks the whole screen, output row by output row (each framebuffer
// row fills scanline_size output rows), converts every output row whose dirty
// flag is set into destination row r = destination + r x destination_pitch and
// leaves the destination rows of clean rows untouched. Everything but the
// destination comes from `screen_state`; a blitter writes nothing when no
// screen is open or the screen's pixels are not the size the member reads.
//
// Source classes by screen depth: palette (1, 2, 4, 8; one byte per pixel,
// shown through device_palette), 16-bit (15, 16; stored 5-6-5) and 32-bit
// (24, 32; 0xAARRGGBB words). Destination formats: 8 (palette indices), 15
// (5-5-5), 16 (5-6-5), 24 (three bytes) and 32. In the normal order (order
// flag 0) red takes the highest field (24-bit bytes blue, green, red); in the
// swapped order (order flag 1) red and blue change places.
#pragma once
#include <cstdint>

#include "drivers/routine_levels.h"

using Blitter = void (*)(uint8_t* destination, int destination_pitch);

constexpr int kOrderNormal = 0;
constexpr int kOrderSwapped = 1;

// Slots of a member group: source class x destination format.
enum BlitterSlot : int {
  kPaletteTo15, kPaletteTo16, kPaletteTo24, kPaletteTo32,
  k16To15, k16To16, k16To24, k16To32,
  k32To15, k32To16, k32To24, k32To32,
  kBlitterSlots
};

// Fills the 16-bit expansion table (512 entries) for a pixel order: entry
// [p & 0xFF] or'ed with entry [256 + (p >> 8)] is the 5-6-5 pixel p as a
// 32-bit pixel of that order, each component at the top of its byte and the
// low bits 0. The plain 16-to-24 and 16-to-32 members read it from
// `screen_conversion_table`.
void fill_expansion_table(uint32_t* table, int order_flag);

// Picks the member that converts the open screen to a destination depth
// (8, 15, 16, 24, 32) in a pixel order (0 or 1), after refilling
// `screen_conversion_table` (when there is one) for that order. The member
// comes from the screen's routine levels (screen_routine_levels) when the
// scanline multiplier is 1 and the width a multiple of 4, else from the plain
// level. Null for any other depth or order flag,
// with no screen open, for a screen depth outside the three source classes,
// and for 16-bit to 24 or 32 without an expansion table.
Blitter choose_blitter(int destination_depth, int order_flag);

// The member of the highest of `levels` that has one for an order flag and
// slot. Null for an order flag or slot out of range.
Blitter blitter_member(const RoutineLevels& levels, int order_flag, int slot);

// Copies width x bytes_per_pixel bytes of every dirty output row unchanged:
// palette to 8, 16-bit to 16 and 32-bit to 32 in the normal order.
void blitter_copy(uint8_t* destination, int destination_pitch);

// For shaped windows: copies the 32-bit pixels of every dirty output row with
// the top byte cleared. Writes nothing unless the screen has 4-byte pixels.
void blitter_shaped_copy(uint8_t* destination, int destination_pitch);

// The level tables, [order flag][slot]. Every plain slot is filled; a null
// SSE2 slot is served by the plain member. The SSE2 members convert four to
// sixteen pixels per step (the palette ones look pixels up two at a time and
// run without vectors too); their output equals the plain members' for any
// width and scanline multiplier. The AVX2 level speeds up no blitter.
extern const Blitter plain_blitters[2][kBlitterSlots];
extern const Blitter sse2_blitters[2][kBlitterSlots];
