// What the plain and fast blitter sets share: the per-pixel conversions (the
// fast members use them for the pixels left over after their vector steps)
// and the walk over the dirty output rows of the open screen.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "drivers/blitters.h"
#include "drivers/screen_state.h"

// Destination pixels are assembled in registers and stored as little-endian
// words (two 16-bit pixels per 32-bit store, 24-bit pixels as the low three
// bytes of a word).
static_assert(std::endian::native == std::endian::little, "blitters assume a little-endian host");

namespace blit_detail {

// A per-pixel conversion: source pixel or palette entry in, output pixel out.
using PixelFn = uint32_t (*)(uint32_t);

inline uint32_t load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline uint32_t load16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline void store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
inline void store16(uint8_t* p, uint32_t v) {
  uint16_t h = uint16_t(v);
  std::memcpy(p, &h, 2);
}
// The low three bytes of v, lowest first.
inline void store24(uint8_t* p, uint32_t v) {
  store16(p, v);
  p[2] = uint8_t(v >> 16);
}

// Palette entries: red bits 0-7, green 8-15, blue 16-23. Each channel keeps
// its top 5 bits (6 for green in 5-6-5).
template <bool Swapped>
constexpr uint32_t palette_to_15(uint32_t p) {
  if constexpr (Swapped) return ((p >> 3) & 0x1F) | ((p >> 6) & 0x3E0) | ((p >> 9) & 0x7C00);
  return ((p << 7) & 0x7C00) | ((p >> 6) & 0x3E0) | ((p >> 19) & 0x1F);
}
template <bool Swapped>
constexpr uint32_t palette_to_16(uint32_t p) {
  if constexpr (Swapped) return ((p >> 3) & 0x1F) | ((p >> 5) & 0x7E0) | ((p >> 8) & 0xF800);
  return ((p << 8) & 0xF800) | ((p >> 5) & 0x7E0) | ((p >> 19) & 0x1F);
}
// 24-bit results are the three destination bytes in the low bytes of a word:
// normal order blue, green, red; swapped red, green, blue.
template <bool Swapped>
constexpr uint32_t palette_to_24(uint32_t p) {
  if constexpr (Swapped) return p & 0xFFFFFF;
  return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}
// Normal order moves red to bits 16-23; the swapped order is the entry itself.
template <bool Swapped>
constexpr uint32_t palette_to_32(uint32_t p) {
  if constexpr (Swapped) return p;
  return palette_to_24<false>(p);
}

// 5-6-5 pixels (red bits 11-15, green 5-10, blue 0-4), zero-extended.
template <bool Swapped>
constexpr uint32_t rgb16_to_15(uint32_t e) {
  if constexpr (Swapped) return ((e << 10) & 0x7C00) | ((e >> 1) & 0x3E0) | (e >> 11);
  return (e & 0x1F) | ((e >> 1) & 0x7FE0);
}
// Only the swapped order converts; the normal order is a plain copy.
constexpr uint32_t rgb16_to_16_swapped(uint32_t e) { return ((e << 11) & 0xF800) | (e & 0x7E0) | (e >> 11); }
// What the expansion table yields for e: each component at the top of its
// byte, low bits 0; red in bits 16-23 (normal) or 0-7 (swapped).
template <bool Swapped>
constexpr uint32_t rgb16_expand(uint32_t e) {
  if constexpr (Swapped) return ((e & 0x1F) << 19) | ((e & 0x7E0) << 5) | ((e & 0xF800) >> 8);
  return ((e & 0x1F) << 3) | ((e & 0x7E0) << 5) | ((e & 0xF800) << 8);
}

// 0xAARRGGBB pixels; the top byte reaches no colour field.
template <bool Swapped>
constexpr uint32_t rgb32_to_15(uint32_t e) {
  if constexpr (Swapped) return ((e >> 19) & 0x1F) | ((e >> 6) & 0x3E0) | ((e << 7) & 0x7C00);
  return ((e >> 3) & 0x1F) | ((e >> 6) & 0x3E0) | ((e >> 9) & 0x7C00);
}
template <bool Swapped>
constexpr uint32_t rgb32_to_16(uint32_t e) {
  if constexpr (Swapped) return ((e >> 19) & 0x1F) | ((e >> 5) & 0x7E0) | ((e << 8) & 0xF800);
  return ((e >> 3) & 0x1F) | ((e >> 5) & 0x7E0) | ((e >> 8) & 0xF800);
}
template <bool Swapped>
constexpr uint32_t rgb32_to_24(uint32_t e) {
  if constexpr (Swapped) return ((e >> 16) & 0xFF) | (e & 0xFF00) | ((e & 0xFF) << 16);
  return e & 0xFFFFFF;
}
// Swapped order only (normal is a plain copy): red and blue exchanged; green
// also lands in the top byte, which carries no colour.
constexpr uint32_t rgb32_to_32_swapped(uint32_t e) { return ((e >> 16) & 0xFF) | (e & 0xFF00) | (e << 16); }

// Calls row(source_row, destination_row, width) for every dirty output row of
// the open screen. Nothing happens without a screen, destination or dirty
// flags, when the screen's pixels are not pixel_bytes wide (0 accepts any
// size), or when its pitch cannot hold a row: the member would otherwise read
// outside the page.
template <typename Row>
void for_each_dirty_row(uint8_t* destination, int destination_pitch, int pixel_bytes, Row&& row) {
  const ScreenState* s = screen_state;
  if (!s || !destination || !s->visible_pixels || !s->dirty_rows) return;
  if (pixel_bytes != 0 && s->bytes_per_pixel != pixel_bytes) return;
  if (s->width < 0 || s->height < 0 || s->bytes_per_pixel <= 0 || s->scanline_size < 1) return;
  if (ptrdiff_t(s->pitch) < ptrdiff_t(s->width) * s->bytes_per_pixel) return;
  const uint8_t* pixels = s->visible_pixels;
  const uint8_t* dirty = s->dirty_rows;
  const int multiplier = s->scanline_size;
  const int width = s->width;
  const ptrdiff_t pitch = s->pitch;
  const ptrdiff_t out_height = ptrdiff_t(s->height) * multiplier;
  for (ptrdiff_t r = 0; r < out_height; ++r) {
    if (!dirty[r]) continue;
    row(pixels + (r / multiplier) * pitch, destination + r * destination_pitch, width);
  }
}

// The device palette of a palette screen, or null (then nothing is drawn).
inline const uint32_t* device_palette() { return screen_state ? screen_state->device_palette : nullptr; }

}  // namespace blit_detail
