// The plain per-depth pixel routines.
#include "gfx/pixel_routines.h"

#include <bit>
#include <cstring>

template <typename T>
static void put_n(GfxContext* ctx, int x, int y, uint32_t colour) {
  T v = T(colour);
  std::memcpy(ctx->line_table[y] + size_t(x) * sizeof(T), &v, sizeof(T));
}

template <typename T>
static uint32_t get_n(GfxContext* ctx, int x, int y) {
  T v;
  std::memcpy(&v, ctx->line_table[y] + size_t(x) * sizeof(T), sizeof(T));
  return v;
}

static void fill_8(void* dest, uint32_t colour, int count) {
  if (count > 0) std::memset(dest, int(colour & 0xFF), size_t(count));
}

template <typename T>
static void fill_n(void* dest, uint32_t colour, int count) {
  T v = T(colour);
  uint8_t* p = static_cast<uint8_t*>(dest);
  for (int i = 0; i < count; ++i) std::memcpy(p + size_t(i) * sizeof(T), &v, sizeof(T));
}

template <typename T>
static void copy_n(void* dest, const void* src, int count) {
  if (count > 0) std::memmove(dest, src, size_t(count) * sizeof(T));
}

template <typename T>
static void glyph_row_n(uint8_t* dest, uint32_t bits, uint32_t colour) {
  T v = T(colour);
  for (; bits; bits &= bits - 1) std::memcpy(dest + size_t(std::countr_zero(bits)) * sizeof(T), &v, sizeof(T));
}

static void blend_put_32(GfxContext* ctx, int x, int y, uint32_t colour) {
  uint8_t* p = ctx->line_table[y] + size_t(x) * 4;
  uint32_t d;
  std::memcpy(&d, p, 4);
  d = gfx_alpha_blend(colour, d);
  std::memcpy(p, &d, 4);
}

static void blend_fill_32(void* dest, uint32_t colour, int count) {
  uint8_t* p = static_cast<uint8_t*>(dest);
  for (int i = 0; i < count; ++i, p += 4) {
    uint32_t d;
    std::memcpy(&d, p, 4);
    d = gfx_alpha_blend(colour, d);
    std::memcpy(p, &d, 4);
  }
}

GfxRoutineSet gfx_plain_routines(int bytes_per_pixel, bool alpha) {
  switch (bytes_per_pixel) {
    case 2:
      return {put_n<uint16_t>, fill_n<uint16_t>,  put_n<uint16_t>,
              fill_n<uint16_t>, get_n<uint16_t>, copy_n<uint16_t>, glyph_row_n<uint16_t>};
    case 4:
      return {put_n<uint32_t>,
              fill_n<uint32_t>,
              alpha ? blend_put_32 : put_n<uint32_t>,
              alpha ? blend_fill_32 : fill_n<uint32_t>,
              get_n<uint32_t>,
              copy_n<uint32_t>,
              glyph_row_n<uint32_t>};
    default:
      return {put_n<uint8_t>, fill_8, put_n<uint8_t>, fill_8, get_n<uint8_t>, copy_n<uint8_t>, glyph_row_n<uint8_t>};
  }
}
