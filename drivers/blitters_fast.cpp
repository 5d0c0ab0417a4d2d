// The SSE2 level's blitters (the copies are the plain level's, so their
// slots are empty here). Palette members convert the 256 palette entries once
// per call and then only look pixels up, four per step; with SSE2 the 16-bit
// and 32-bit members convert four to eight pixels per vector step. Pixels
// left over after the last whole step go through the same per-pixel
// conversions as the plain set, so the output equals the plain set's for any
// width and scanline multiplier (the chooser still takes this set only for
// widths that are a multiple of 4 and a multiplier of 1).
#include <cstring>

#include "drivers/blitters.h"
#include "drivers/blitters_detail.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

using namespace blit_detail;

namespace {

// ---- palette sources: a per-call table of converted entries ----

// Converted device palette, built at the first dirty row so that a pass with
// nothing to copy costs no more than the flag tests.
template <typename T, PixelFn Px>
class PaletteLut {
 public:
  explicit PaletteLut(const uint32_t* palette) : palette_(palette) {}
  const T* get() {
    if (!built_) {
      for (int i = 0; i < 256; ++i) lut_[i] = T(Px(palette_[i]));
      built_ = true;
    }
    return lut_;
  }

 private:
  const uint32_t* palette_;
  bool built_ = false;
  T lut_[256] = {};
};

template <PixelFn Px>
void palette_to_16bit(uint8_t* destination, int destination_pitch) {
  const uint32_t* pal = device_palette();
  if (!pal) return;
  PaletteLut<uint16_t, Px> table(pal);
  for_each_dirty_row(destination, destination_pitch, 1, [&table](const uint8_t* src, uint8_t* dst, int width) {
    const uint16_t* lut = table.get();
    int x = 0;
    for (; x + 4 <= width; x += 4) {
      uint32_t i = load32(src + x);
      uint64_t v = uint64_t(lut[i & 0xFF]) | (uint64_t(lut[(i >> 8) & 0xFF]) << 16) |
                   (uint64_t(lut[(i >> 16) & 0xFF]) << 32) | (uint64_t(lut[i >> 24]) << 48);
      std::memcpy(dst + 2 * x, &v, 8);
    }
    for (; x < width; ++x) store16(dst + 2 * x, lut[src[x]]);
  });
}

template <bool Swapped>
void palette_24_fast(uint8_t* destination, int destination_pitch) {
  const uint32_t* pal = device_palette();
  if (!pal) return;
  PaletteLut<uint32_t, palette_to_24<Swapped>> table(pal);
  for_each_dirty_row(destination, destination_pitch, 1, [&table](const uint8_t* src, uint8_t* dst, int width) {
    const uint32_t* lut = table.get();
    int x = 0;
    for (; x + 4 <= width; x += 4, dst += 12) {
      uint32_t i = load32(src + x);
      uint32_t c0 = lut[i & 0xFF], c1 = lut[(i >> 8) & 0xFF], c2 = lut[(i >> 16) & 0xFF], c3 = lut[i >> 24];
      store32(dst, c0 | (c1 << 24));
      store32(dst + 4, (c1 >> 8) | (c2 << 16));
      store32(dst + 8, (c2 >> 16) | (c3 << 8));
    }
    for (; x < width; ++x, dst += 3) store24(dst, lut[src[x]]);
  });
}

template <bool Swapped>
void palette_32_fast(uint8_t* destination, int destination_pitch) {
  const uint32_t* pal = device_palette();
  if (!pal) return;
  PaletteLut<uint32_t, palette_to_32<Swapped>> table(pal);
  for_each_dirty_row(destination, destination_pitch, 1, [&table](const uint8_t* src, uint8_t* dst, int width) {
    const uint32_t* lut = table.get();
    int x = 0;
    for (; x + 8 <= width; x += 8) {
      uint64_t i;
      std::memcpy(&i, src + x, 8);
      uint32_t out[8];
      for (int k = 0; k < 8; ++k) out[k] = lut[(i >> (8 * k)) & 0xFF];
      std::memcpy(dst + 4 * x, out, sizeof out);
    }
    for (; x < width; ++x) store32(dst + 4 * x, lut[src[x]]);
  });
}

#ifdef __SSE2__

__m128i vload(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
__m128i vload8(const uint8_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }
void vstore(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
void vstore8(uint8_t* p, __m128i v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v); }
__m128i splat32(uint32_t v) { return _mm_set1_epi32(int(v)); }
__m128i splat16(uint16_t v) { return _mm_set1_epi16(static_cast<short>(v)); }
__m128i or3(__m128i a, __m128i b, __m128i c) { return _mm_or_si128(_mm_or_si128(a, b), c); }

using VecFn = __m128i (*)(__m128i);

// ---- 32-bit sources, four pixels per lane vector ----

template <bool Swapped>
__m128i vec32_to_15(__m128i e) {
  if constexpr (Swapped)
    return or3(_mm_and_si128(_mm_srli_epi32(e, 19), splat32(0x1F)), _mm_and_si128(_mm_srli_epi32(e, 6), splat32(0x3E0)),
               _mm_and_si128(_mm_slli_epi32(e, 7), splat32(0x7C00)));
  return or3(_mm_and_si128(_mm_srli_epi32(e, 3), splat32(0x1F)), _mm_and_si128(_mm_srli_epi32(e, 6), splat32(0x3E0)),
             _mm_and_si128(_mm_srli_epi32(e, 9), splat32(0x7C00)));
}

template <bool Swapped>
__m128i vec32_to_16(__m128i e) {
  if constexpr (Swapped)
    return or3(_mm_and_si128(_mm_srli_epi32(e, 19), splat32(0x1F)), _mm_and_si128(_mm_srli_epi32(e, 5), splat32(0x7E0)),
               _mm_and_si128(_mm_slli_epi32(e, 8), splat32(0xF800)));
  return or3(_mm_and_si128(_mm_srli_epi32(e, 3), splat32(0x1F)), _mm_and_si128(_mm_srli_epi32(e, 5), splat32(0x7E0)),
             _mm_and_si128(_mm_srli_epi32(e, 8), splat32(0xF800)));
}

// Red and blue exchanged; green is copied into the top byte as well, which
// the 32-bit swapped member keeps and the 24-bit members drop.
__m128i vec32_swap_red_blue(__m128i e) {
  return or3(_mm_and_si128(_mm_srli_epi32(e, 16), splat32(0xFF)), _mm_and_si128(e, splat32(0xFF00)),
             _mm_slli_epi32(e, 16));
}

// Four 16-bit results in 32-bit lanes, sign-extended so that the signed
// saturating pack keeps all 16 bits of each.
__m128i narrow(__m128i v) { return _mm_srai_epi32(_mm_slli_epi32(v, 16), 16); }

template <VecFn Vec, PixelFn Px>
void row_32_to_16bit(const uint8_t* src, uint8_t* dst, int width) {
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    __m128i a = narrow(Vec(vload(src + 4 * x)));
    __m128i b = narrow(Vec(vload(src + 4 * x + 16)));
    vstore(dst + 2 * x, _mm_packs_epi32(a, b));
  }
  if (x + 4 <= width) {
    __m128i a = narrow(Vec(vload(src + 4 * x)));
    vstore8(dst + 2 * x, _mm_packs_epi32(a, a));
    x += 4;
  }
  for (; x < width; ++x) store16(dst + 2 * x, Px(load32(src + 4 * x)));
}

template <VecFn Vec, PixelFn Px>
void rgb32_to_16bit(uint8_t* destination, int destination_pitch) {
  for_each_dirty_row(destination, destination_pitch, 4, row_32_to_16bit<Vec, Px>);
}

// Four pixels whose three destination bytes sit in the low bytes of each lane
// (the top bytes are ignored) packed into bytes 0-11; bytes 12-15 are zero.
__m128i pack24(__m128i v) {
  const __m128i even = _mm_set_epi32(0, 0xFFFFFF, 0, 0xFFFFFF);
  const __m128i odd = _mm_set_epi32(0xFFFFFF, 0, 0xFFFFFF, 0);
  // Per 64-bit half: pixel 2k in bytes 0-2, pixel 2k+1 in bytes 3-5.
  __m128i pairs = _mm_or_si128(_mm_and_si128(v, even), _mm_srli_epi64(_mm_and_si128(v, odd), 8));
  return _mm_or_si128(_mm_move_epi64(pairs), _mm_slli_si128(_mm_srli_si128(pairs, 8), 6));
}

// Stores the 12 bytes of four 24-bit pixels starting at pixel x. A 16-byte
// store also writes 4 bytes of pixels x + 4 and x + 5; it is used only when
// both exist, since the row's later steps then overwrite those bytes.
void store_four24(uint8_t* row, int x, int width, __m128i packed) {
  uint8_t* dst = row + 3 * x;
  if (x + 6 <= width) {
    vstore(dst, packed);
  } else {
    vstore8(dst, packed);
    store32(dst + 8, uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(packed, 8))));
  }
}

template <bool Swapped>
void rgb32_24_fast(uint8_t* destination, int destination_pitch) {
  for_each_dirty_row(destination, destination_pitch, 4, [](const uint8_t* src, uint8_t* dst, int width) {
    int x = 0;
    for (; x + 4 <= width; x += 4) {
      __m128i v = vload(src + 4 * x);
      if constexpr (Swapped) v = vec32_swap_red_blue(v);
      store_four24(dst, x, width, pack24(v));
    }
    for (; x < width; ++x) store24(dst + 3 * x, rgb32_to_24<Swapped>(load32(src + 4 * x)));
  });
}

void rgb32_32_swapped_fast(uint8_t* destination, int destination_pitch) {
  for_each_dirty_row(destination, destination_pitch, 4, [](const uint8_t* src, uint8_t* dst, int width) {
    int x = 0;
    for (; x + 8 <= width; x += 8) {
      vstore(dst + 4 * x, vec32_swap_red_blue(vload(src + 4 * x)));
      vstore(dst + 4 * x + 16, vec32_swap_red_blue(vload(src + 4 * x + 16)));
    }
    if (x + 4 <= width) {
      vstore(dst + 4 * x, vec32_swap_red_blue(vload(src + 4 * x)));
      x += 4;
    }
    for (; x < width; ++x) store32(dst + 4 * x, rgb32_to_32_swapped(load32(src + 4 * x)));
  });
}

// ---- 16-bit sources, eight pixels per lane vector ----

template <bool Swapped>
__m128i vec16_to_15(__m128i e) {
  if constexpr (Swapped)
    return or3(_mm_and_si128(_mm_slli_epi16(e, 10), splat16(0x7C00)), _mm_and_si128(_mm_srli_epi16(e, 1), splat16(0x3E0)),
               _mm_srli_epi16(e, 11));
  return _mm_or_si128(_mm_and_si128(e, splat16(0x1F)), _mm_and_si128(_mm_srli_epi16(e, 1), splat16(0x7FE0)));
}

__m128i vec16_to_16_swapped(__m128i e) {
  return or3(_mm_slli_epi16(e, 11), _mm_and_si128(e, splat16(0x7E0)), _mm_srli_epi16(e, 11));
}

template <VecFn Vec, PixelFn Px>
void rgb16_to_16bit(uint8_t* destination, int destination_pitch) {
  for_each_dirty_row(destination, destination_pitch, 2, [](const uint8_t* src, uint8_t* dst, int width) {
    int x = 0;
    for (; x + 8 <= width; x += 8) vstore(dst + 2 * x, Vec(vload(src + 2 * x)));
    if (x + 4 <= width) {
      vstore8(dst + 2 * x, Vec(vload8(src + 2 * x)));
      x += 4;
    }
    for (; x < width; ++x) store16(dst + 2 * x, Px(load16(src + 2 * x)));
  });
}

// Eight 5-6-5 pixels widened to 32 bits as the expansion table would (each
// component at the top of its byte): pixels 0-3 in `first`, 4-7 in `second`.
// Per pixel the low 16-bit half holds blue (or red) and green, the high half
// the other outer component.
template <bool Swapped>
void vec16_expand(__m128i e, __m128i& first, __m128i& second) {
  const __m128i top5 = splat16(0xF8);
  __m128i blue = _mm_and_si128(_mm_slli_epi16(e, 3), top5);
  __m128i red = _mm_and_si128(_mm_srli_epi16(e, 8), top5);
  __m128i green = _mm_slli_epi16(_mm_srli_epi16(e, 5), 10);
  __m128i low = _mm_or_si128(green, Swapped ? red : blue);
  __m128i high = Swapped ? blue : red;
  first = _mm_unpacklo_epi16(low, high);
  second = _mm_unpackhi_epi16(low, high);
}

template <bool Swapped>
void rgb16_32_fast(uint8_t* destination, int destination_pitch) {
  for_each_dirty_row(destination, destination_pitch, 2, [](const uint8_t* src, uint8_t* dst, int width) {
    int x = 0;
    __m128i first, second;
    for (; x + 8 <= width; x += 8) {
      vec16_expand<Swapped>(vload(src + 2 * x), first, second);
      vstore(dst + 4 * x, first);
      vstore(dst + 4 * x + 16, second);
    }
    if (x + 4 <= width) {
      vec16_expand<Swapped>(vload8(src + 2 * x), first, second);
      vstore(dst + 4 * x, first);
      x += 4;
    }
    for (; x < width; ++x) store32(dst + 4 * x, rgb16_expand<Swapped>(load16(src + 2 * x)));
  });
}

template <bool Swapped>
void rgb16_24_fast(uint8_t* destination, int destination_pitch) {
  for_each_dirty_row(destination, destination_pitch, 2, [](const uint8_t* src, uint8_t* dst, int width) {
    int x = 0;
    __m128i first, second;
    for (; x + 8 <= width; x += 8) {
      vec16_expand<Swapped>(vload(src + 2 * x), first, second);
      store_four24(dst, x, width, pack24(first));
      store_four24(dst, x + 4, width, pack24(second));
    }
    if (x + 4 <= width) {
      vec16_expand<Swapped>(vload8(src + 2 * x), first, second);
      store_four24(dst, x, width, pack24(first));
      x += 4;
    }
    for (; x < width; ++x) store24(dst + 3 * x, rgb16_expand<Swapped>(load16(src + 2 * x)));
  });
}

#endif  // __SSE2__

}  // namespace

#ifdef __SSE2__
const Blitter sse2_blitters[2][kBlitterSlots] = {
    {palette_to_16bit<palette_to_15<false>>, palette_to_16bit<palette_to_16<false>>, palette_24_fast<false>,
     palette_32_fast<false>, rgb16_to_16bit<vec16_to_15<false>, rgb16_to_15<false>>, nullptr,
     rgb16_24_fast<false>, rgb16_32_fast<false>, rgb32_to_16bit<vec32_to_15<false>, rgb32_to_15<false>>,
     rgb32_to_16bit<vec32_to_16<false>, rgb32_to_16<false>>, rgb32_24_fast<false>, nullptr},
    {palette_to_16bit<palette_to_15<true>>, palette_to_16bit<palette_to_16<true>>, palette_24_fast<true>,
     palette_32_fast<true>, rgb16_to_16bit<vec16_to_15<true>, rgb16_to_15<true>>,
     rgb16_to_16bit<vec16_to_16_swapped, rgb16_to_16_swapped>, rgb16_24_fast<true>, rgb16_32_fast<true>,
     rgb32_to_16bit<vec32_to_15<true>, rgb32_to_15<true>>, rgb32_to_16bit<vec32_to_16<true>, rgb32_to_16<true>>,
     rgb32_24_fast<true>, rgb32_32_swapped_fast},
};
#else
// Without SSE2 in the build only the palette members have faster versions;
// the other slots fall back to the plain members.
const Blitter sse2_blitters[2][kBlitterSlots] = {
    {palette_to_16bit<palette_to_15<false>>, palette_to_16bit<palette_to_16<false>>, palette_24_fast<false>,
     palette_32_fast<false>, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    {palette_to_16bit<palette_to_15<true>>, palette_to_16bit<palette_to_16<true>>, palette_24_fast<true>,
     palette_32_fast<true>, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
};
#endif
