// The plain per-depth pixel routines.
#include "gfx/draw/pixel_routines.h"

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

// For each glyph byte, the bytes of eight pixels of T: 0xFF where the byte's
// bit for that pixel is set, else 0. Byte for byte, so the same on any byte
// order.
template <typename T>
struct GlyphMasks {
  uint8_t bytes[256][8 * sizeof(T)];
  constexpr GlyphMasks() : bytes{} {
    for (int b = 0; b < 256; ++b)
      for (size_t i = 0; i < 8 * sizeof(T); ++i) bytes[b][i] = ((b >> (i / sizeof(T))) & 1) ? 0xFF : 0;
  }
};
template <typename T>
constexpr GlyphMasks<T> kGlyphMasks{};

// Each glyph row is eight pixels: sizeof(T) 64-bit words, each merged with
// the colour under the row's mask, so no pixel is looked at one by one.
template <typename T>
static void glyph_line_n(uint8_t* const* lines, size_t offset, const uint8_t* glyphs, ptrdiff_t glyph_bytes,
                         const uint8_t* chars, int count, int rows, uint32_t colour) {
  constexpr size_t kWords = sizeof(T);
  uint64_t pattern[kWords];
  const T v = T(colour);
  for (size_t i = 0; i < 8; ++i) std::memcpy(reinterpret_cast<uint8_t*>(pattern) + i * sizeof(T), &v, sizeof(T));
  for (int r = 0; r < rows; ++r) {
    uint8_t* d = lines[r] + offset;
    for (int k = 0; k < count; ++k, d += 8 * sizeof(T)) {
      const uint8_t bits = glyphs[chars[k] * glyph_bytes + r];
      if (!bits) continue;
      const uint8_t* mask = kGlyphMasks<T>.bytes[bits];
      for (size_t w = 0; w < kWords; ++w) {
        uint64_t dw, mw;
        std::memcpy(&dw, d + 8 * w, 8);
        std::memcpy(&mw, mask + 8 * w, 8);
        dw = (dw & ~mw) | (pattern[w] & mw);
        std::memcpy(d + 8 * w, &dw, 8);
      }
    }
  }
}

static void blend_put_32(GfxContext* ctx, int x, int y, uint32_t colour) {
  gfx_blend_into_32(ctx->line_table[y] + size_t(x) * 4, colour);
}

static void blend_fill_32(void* dest, uint32_t colour, int count) {
  gfx_blend_span_32(static_cast<uint8_t*>(dest), colour, count);
}

template <typename T>
static GfxRoutineSet plain_set(FillSpanFn fill) {
  return {.put = put_n<T>,
          .fill = fill,
          .blend_put = put_n<T>,
          .blend_fill = fill,
          .get = get_n<T>,
          .copy_span = copy_n<T>,
          .glyph_row = glyph_row_n<T>,
          .glyph_line = glyph_line_n<T>};
}

GfxRoutineSet gfx_plain_routines(int bytes_per_pixel, bool alpha) {
  switch (bytes_per_pixel) {
    case 2:
      return plain_set<uint16_t>(fill_n<uint16_t>);
    case 4: {
      GfxRoutineSet set = plain_set<uint32_t>(fill_n<uint32_t>);
      if (alpha) {
        set.blend_put = blend_put_32;
        set.blend_fill = blend_fill_32;
      }
      return set;
    }
    default:
      return plain_set<uint8_t>(fill_8);
  }
}

namespace {
void c_mem_fill(void* d, int b, size_t n) { std::memset(d, b, n); }
void c_mem_copy(void* d, const void* s, size_t n) { std::memmove(d, s, n); }
}  // namespace

GfxLevelSet gfx_plain_set(int bytes_per_pixel, bool alpha) {
  return {gfx_plain_routines(bytes_per_pixel, alpha), c_mem_fill, c_mem_copy};
}
