// The 16-byte building blocks of the fast putters, shared by the SSE2
// routines (putters_fast.cpp) and the AVX2 ones (putters_avx2.cpp), which
// fall back on them for short rows and blends.
//
// Row shape: whole 16-byte blocks from the left; the last, partial block is
// done as the 16 bytes that end the row, computed from the untouched target
// before any store, so overlapping it with the previous block writes the same
// values twice. Rows shorter than 16 bytes go through a small buffer.
#pragma once
#if defined(__SSE2__)
#include <emmintrin.h>
#include <xmmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "gfx/blit/putters.h"
#include "gfx/draw/string_moves.h"

namespace putters_sse2 {

inline __m128i load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void store(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// (mask & d) | (~mask & v), as v ^ ((v ^ d) & mask): keeps the target where
// mask is set.
inline __m128i merge(__m128i mask, __m128i d, __m128i v) {
  return _mm_xor_si128(v, _mm_and_si128(mask, _mm_xor_si128(v, d)));
}

// Whether the source and target rectangles may share bytes. Such calls (an
// image put onto itself) go to the plain routine, whose pixel order defines
// the result.
inline bool overlaps(const uint8_t* s, const uint8_t* d, int row_bytes, int h, int sp, int dp) {
  auto span = [&](const uint8_t* p, int pitch, uintptr_t* lo, uintptr_t* hi) {
    intptr_t last = intptr_t(h - 1) * pitch;
    uintptr_t a = reinterpret_cast<uintptr_t>(p);
    *lo = last < 0 ? a + uintptr_t(last) : a;
    *hi = (last < 0 ? a : a + uintptr_t(last)) + uintptr_t(row_bytes);
  };
  uintptr_t slo, shi, dlo, dhi;
  span(s, sp, &slo, &shi);
  span(d, dp, &dlo, &dhi);
  return slo < dhi && dlo < shi;
}

// Applies op (source block, target block) -> new target block over one row
// of n bytes, two blocks per step.
template <typename Op>
inline void row_blocks(const uint8_t* s, uint8_t* d, int n, Op op) {
  if (n >= 16) {
    int last = n - 16;
    __m128i tail = op(load(s + last), load(d + last));
    int i = 0;
    for (; i + 32 <= last; i += 32) {
      __m128i a = op(load(s + i), load(d + i));
      __m128i b = op(load(s + i + 16), load(d + i + 16));
      store(d + i, a);
      store(d + i + 16, b);
    }
    for (; i < last; i += 16) store(d + i, op(load(s + i), load(d + i)));
    store(d + last, tail);
  } else {
    alignas(16) uint8_t bs[16] = {}, bd[16] = {};
    std::memcpy(bs, s, size_t(n));
    std::memcpy(bd, d, size_t(n));
    store(bd, op(load(bs), load(bd)));
    std::memcpy(d, bd, size_t(n));
  }
}

// Short rows lie a whole target pitch apart, too far apart for the
// processor's own stream detection; the target rows a few rows ahead are
// asked for early so that merging does not wait on each one in turn. Long
// rows are left to the hardware.
inline constexpr int kPrefetchRows = 4;
inline constexpr int kShortRow = 512;

inline void prefetch_row(const uint8_t* d, int n) {
  for (int i = 0; i < n; i += 64) _mm_prefetch(reinterpret_cast<const char*>(d + i), _MM_HINT_T0);
  _mm_prefetch(reinterpret_cast<const char*>(d + n - 1), _MM_HINT_T0);
}

template <typename Op>
inline void rows(const uint8_t* s, uint8_t* d, int n, int h, int sp, int dp, Op op) {
  if (n < kShortRow) {
    for (int y = 0; y < h && y < kPrefetchRows; ++y) prefetch_row(d + ptrdiff_t(y) * dp, n);
    for (int y = 0; y < h; ++y) {
      if (y + kPrefetchRows < h) prefetch_row(d + ptrdiff_t(y + kPrefetchRows) * dp, n);
      row_blocks(s + ptrdiff_t(y) * sp, d + ptrdiff_t(y) * dp, n, op);
    }
  } else {
    for (int y = 0; y < h; ++y) row_blocks(s + ptrdiff_t(y) * sp, d + ptrdiff_t(y) * dp, n, op);
  }
}

// ---- copy -------------------------------------------------------------

// Rows of this many bytes or more are left to the processor's fast string
// moves where it has them (Strings), else to the C library's copy, which
// picks the widest moves the processor has.
inline constexpr int kLongRow = 512;

template <bool Strings>
inline void copy_long_row(const uint8_t* s, uint8_t* d, int n) {
  if (Strings && kBuildHasStringMoves)
    gfx_string_move(d, s, size_t(n));
  else
    std::memcpy(d, s, size_t(n));
}

template <bool Strings>
inline void copy_row(const uint8_t* s, uint8_t* d, int n) {
  if (n >= kLongRow) {
    copy_long_row<Strings>(s, d, n);
  } else if (n >= 16) {
    int last = n - 16;
    __m128i tail = load(s + last);
    int i = 0;
    for (; i + 32 <= last; i += 32) {
      __m128i a = load(s + i), b = load(s + i + 16);
      store(d + i, a);
      store(d + i + 16, b);
    }
    for (; i < last; i += 16) store(d + i, load(s + i));
    store(d + last, tail);
  } else {
    // 8, 4, 2 and 1-byte pieces.
    if (n & 8) { std::memcpy(d, s, 8); s += 8; d += 8; }
    if (n & 4) { std::memcpy(d, s, 4); s += 4; d += 4; }
    if (n & 2) { std::memcpy(d, s, 2); s += 2; d += 2; }
    if (n & 1) *d = *s;
  }
}

// Rows that follow each other without a gap on both sides (a whole image
// onto a whole page of its width) are one block, which the C library moves
// faster than row by row.
inline bool one_block(int n, int h, int sp, int dp) { return h > 1 && sp == n && dp == n; }

template <int B, bool Strings>
void copy(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p) {
  if (w <= 0 || h <= 0) return;
  int n = w * B;
  if (overlaps(s, d, n, h, sp, dp)) return putters_plain(PutterKind::copy)->by_bytes[B](s, d, w, h, sp, dp, alpha, b, p);
  if (one_block(n, h, sp, dp)) return std::memcpy(d, s, size_t(n) * size_t(h)), void();
  for (int y = 0; y < h; ++y) copy_row<Strings>(s + ptrdiff_t(y) * sp, d + ptrdiff_t(y) * dp, n);
}

// ---- transparent --------------------------------------------------------

// Compare and merge, with no branch on the pixels: testing for wholly opaque
// or wholly transparent blocks cost more in mispredictions and store misses
// than it saved.
struct Transparent1 {
  __m128i operator()(__m128i s, __m128i d) const { return merge(_mm_cmpeq_epi8(s, _mm_setzero_si128()), d, s); }
};

struct Transparent2 {
  __m128i key = _mm_set1_epi16(int16_t(0xF81F));
  __m128i operator()(__m128i s, __m128i d) const { return merge(_mm_cmpeq_epi16(s, key), d, s); }
};

struct Transparent4 {
  __m128i low24 = _mm_set1_epi32(0x00FFFFFF);
  __m128i key = _mm_set1_epi32(0x00FF00FF);
  __m128i operator()(__m128i s, __m128i d) const {
    __m128i v = _mm_and_si128(s, low24);
    return merge(_mm_cmpeq_epi32(v, key), d, v);
  }
};

// Non-mask pixels copied whole, top byte included.
struct MaskedCopy4 {
  __m128i low24 = _mm_set1_epi32(0x00FFFFFF);
  __m128i key = _mm_set1_epi32(0x00FF00FF);
  __m128i operator()(__m128i s, __m128i d) const {
    return merge(_mm_cmpeq_epi32(_mm_and_si128(s, low24), key), d, s);
  }
};

template <int B, typename Op>
void masked(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p,
            PutterKind kind, Op op) {
  if (w <= 0 || h <= 0) return;
  int n = w * B;
  if (overlaps(s, d, n, h, sp, dp)) return putters_plain(kind)->by_bytes[B](s, d, w, h, sp, dp, alpha, b, p);
  rows(s, d, n, h, sp, dp, op);
}

template <int B, typename Op>
void transparent(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p) {
  masked<B>(s, d, w, h, sp, dp, alpha, b, p, PutterKind::transparent, Op{});
}

// The SSE2 blends (putters_fast.cpp): 5-6-5 at 2 bytes, 0xAARRGGBB at 4.
void blend2(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p);
void blend4(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p);

}  // namespace putters_sse2

#endif  // __SSE2__
