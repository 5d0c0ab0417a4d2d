// The fast putter routines: SSE2, 16 bytes at a time, and where the
// processor has AVX2 the copies and masked copies 32 bytes at a time. Masks come from a
// compare and select between source and target bitwise; blends run in 16-bit
// lanes as d*(K-k) + s*k, then a shift, which is exactly
// d + floor((s - d) * k / K). Every routine gives the same pixels as the
// plain one.
//
// Row shape: whole 16-byte blocks from the left; the last, partial block is
// done as the 16 bytes that end the row, computed from the untouched target
// before any store, so overlapping it with the previous block writes the same
// values twice. Rows shorter than 16 bytes go through a small buffer.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "gfx/cpu_features.h"
#include "gfx/putters.h"
#include "gfx/string_moves.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#include <xmmintrin.h>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

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
bool overlaps(const uint8_t* s, const uint8_t* d, int row_bytes, int h, int sp, int dp) {
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
constexpr int kPrefetchRows = 4;
constexpr int kShortRow = 512;

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
constexpr int kLongRow = 512;

template <bool Strings>
void copy_long_row(const uint8_t* s, uint8_t* d, int n) {
  if (Strings && kBuildHasStringMoves)
    gfx_string_move(d, s, size_t(n));
  else
    std::memcpy(d, s, size_t(n));
}

template <bool Strings>
void copy_row(const uint8_t* s, uint8_t* d, int n) {
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
bool one_block(int n, int h, int sp, int dp) { return h > 1 && sp == n && dp == n; }

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

// ---- blend ----------------------------------------------------------------

// RGB 5-6-5, k in 1..32, eight pixels per block; each channel is taken into
// its own 16-bit lanes (at most 31*32 or 63*32 after the products).
struct Blend2 {
  __m128i k, ik;
  __m128i key = _mm_set1_epi16(int16_t(0xF81F));
  __m128i m5 = _mm_set1_epi16(0x1F), m6 = _mm_set1_epi16(0x3F);
  explicit Blend2(int kk) : k(_mm_set1_epi16(int16_t(kk))), ik(_mm_set1_epi16(int16_t(32 - kk))) {}
  __m128i mix(__m128i s, __m128i d) const {
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(s, k), _mm_mullo_epi16(d, ik)), 5);
  }
  __m128i operator()(__m128i s, __m128i d) const {
    __m128i r = mix(_mm_srli_epi16(s, 11), _mm_srli_epi16(d, 11));
    __m128i g = mix(_mm_and_si128(_mm_srli_epi16(s, 5), m6), _mm_and_si128(_mm_srli_epi16(d, 5), m6));
    __m128i bl = mix(_mm_and_si128(s, m5), _mm_and_si128(d, m5));
    __m128i v = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r, 11), _mm_slli_epi16(g, 5)), bl);
    return merge(_mm_cmpeq_epi16(s, key), d, v);
  }
};

// 0xAARRGGBB, k in 1..256, four pixels per block, every byte widened to a
// 16-bit lane: d*(256-k) + s*k is at most 255*256, which fits unsigned.
struct Blend4 {
  __m128i k, ik;
  __m128i low24 = _mm_set1_epi32(0x00FFFFFF);
  __m128i key = _mm_set1_epi32(0x00FF00FF);
  explicit Blend4(int kk) : k(_mm_set1_epi16(int16_t(kk))), ik(_mm_set1_epi16(int16_t(256 - kk))) {}
  __m128i mix(__m128i s, __m128i d) const {
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(s, k), _mm_mullo_epi16(d, ik)), 8);
  }
  __m128i operator()(__m128i s, __m128i d) const {
    __m128i z = _mm_setzero_si128();
    __m128i lo = mix(_mm_unpacklo_epi8(s, z), _mm_unpacklo_epi8(d, z));
    __m128i hi = mix(_mm_unpackhi_epi8(s, z), _mm_unpackhi_epi8(d, z));
    __m128i v = _mm_packus_epi16(lo, hi);
    return merge(_mm_cmpeq_epi32(_mm_and_si128(s, low24), key), d, v);
  }
};

void blend2(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p) {
  int a = alpha & 0xFF;
  if (a == 0) return transparent<2, Transparent2>(s, d, w, h, sp, dp, alpha, b, p);
  int k = (a + 7) >> 3;
  // k = 32 gives the source exactly: a masked copy.
  if (k == 32) return masked<2>(s, d, w, h, sp, dp, alpha, b, p, PutterKind::blend, Transparent2{});
  masked<2>(s, d, w, h, sp, dp, alpha, b, p, PutterKind::blend, Blend2(k));
}

void blend4(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p) {
  int a = alpha & 0xFF;
  if (a == 0) return transparent<4, Transparent4>(s, d, w, h, sp, dp, alpha, b, p);
  // k = 256 gives the source exactly, top byte included: a masked copy.
  if (a == 255) return masked<4>(s, d, w, h, sp, dp, alpha, b, p, PutterKind::blend, MaskedCopy4{});
  masked<4>(s, d, w, h, sp, dp, alpha, b, p, PutterKind::blend, Blend4(a + 1));
}

// ---- alpha channel ----------------------------------------------------------

// Four 1-byte source pixels become the top bytes of four target pixels.
inline __m128i with_alpha(const uint8_t* s4, __m128i d) {
  uint32_t a;
  std::memcpy(&a, s4, 4);
  __m128i z = _mm_setzero_si128();
  __m128i v = _mm_unpacklo_epi16(z, _mm_unpacklo_epi8(z, _mm_cvtsi32_si128(int(a))));
  return _mm_or_si128(_mm_and_si128(d, _mm_set1_epi32(0x00FFFFFF)), v);
}

void alpha_channel4(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b,
                    void* p) {
  if (w <= 0 || h <= 0) return;
  bool overlap = overlaps(s, d, w * 4, h, sp, dp);
  if (w < 4 || overlap) return putters_plain(PutterKind::alpha_channel)->by_bytes[4](s, d, w, h, sp, dp, alpha, b, p);
  for (int y = 0; y < h; ++y) {
    const uint8_t* sr = s + ptrdiff_t(y) * sp;
    uint8_t* dr = d + ptrdiff_t(y) * dp;
    int last = w - 4;
    __m128i tail = with_alpha(sr + last, load(dr + 4 * last));
    for (int x = 0; x < last; x += 4) store(dr + 4 * x, with_alpha(sr + x, load(dr + 4 * x)));
    store(dr + 4 * last, tail);
  }
}

template <bool Strings>
constexpr PutterTable kCopy = {{nullptr, copy<1, Strings>, copy<2, Strings>, nullptr, copy<4, Strings>}};
constexpr PutterTable kTransparent = {
    {nullptr, transparent<1, Transparent1>, transparent<2, Transparent2>, nullptr, transparent<4, Transparent4>}};
constexpr PutterTable kBlend = {{nullptr, transparent<1, Transparent1>, blend2, nullptr, blend4}};
constexpr PutterTable kAlphaChannel = {{nullptr, nullptr, nullptr, nullptr, alpha_channel4}};

#if defined(__x86_64__)
// ---- AVX2: copies and masked copies 32 bytes at a time ----------------------
//
// Taken only when the processor reports AVX2 at run time; each routine
// carries its own target attribute. Same row shape as above; rows shorter
// than 32 bytes, and the blends, go through the SSE2 routines.

#define ZQ_AVX2 __attribute__((target("avx2")))

ZQ_AVX2 inline __m256i load32(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
ZQ_AVX2 inline void store32(uint8_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

// Keeps the target where mask is set.
ZQ_AVX2 inline __m256i merge32(__m256i mask, __m256i d, __m256i v) { return _mm256_blendv_epi8(v, d, mask); }

// The 32-byte forms of the mask tests; Half is the 16-byte form that serves
// short rows. Constants are made in the call so that they need no AVX2
// outside it (the compiler keeps them out of the loops).
struct Transparent1x {
  using Half = Transparent1;
  ZQ_AVX2 __m256i operator()(__m256i s, __m256i d) const {
    return merge32(_mm256_cmpeq_epi8(s, _mm256_setzero_si256()), d, s);
  }
};
struct Transparent2x {
  using Half = Transparent2;
  ZQ_AVX2 __m256i operator()(__m256i s, __m256i d) const {
    return merge32(_mm256_cmpeq_epi16(s, _mm256_set1_epi16(int16_t(0xF81F))), d, s);
  }
};
struct Transparent4x {
  using Half = Transparent4;
  ZQ_AVX2 __m256i operator()(__m256i s, __m256i d) const {
    __m256i v = _mm256_and_si256(s, _mm256_set1_epi32(0x00FFFFFF));
    return merge32(_mm256_cmpeq_epi32(v, _mm256_set1_epi32(0x00FF00FF)), d, v);
  }
};
struct MaskedCopy4x {
  using Half = MaskedCopy4;
  ZQ_AVX2 __m256i operator()(__m256i s, __m256i d) const {
    __m256i v = _mm256_and_si256(s, _mm256_set1_epi32(0x00FFFFFF));
    return merge32(_mm256_cmpeq_epi32(v, _mm256_set1_epi32(0x00FF00FF)), d, s);
  }
};

template <typename Op>
ZQ_AVX2 inline void row_blocks32(const uint8_t* s, uint8_t* d, int n, Op op) {
  if (n < 32) return row_blocks(s, d, n, typename Op::Half{});
  int last = n - 32;
  __m256i tail = op(load32(s + last), load32(d + last));
  int i = 0;
  for (; i + 64 <= last; i += 64) {
    __m256i a = op(load32(s + i), load32(d + i));
    __m256i b = op(load32(s + i + 32), load32(d + i + 32));
    store32(d + i, a);
    store32(d + i + 32, b);
  }
  for (; i < last; i += 32) store32(d + i, op(load32(s + i), load32(d + i)));
  store32(d + last, tail);
}

template <int B, typename Op>
ZQ_AVX2 void masked32(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b,
                      void* p, PutterKind kind) {
  if (w <= 0 || h <= 0) return;
  int n = w * B;
  if (overlaps(s, d, n, h, sp, dp)) return putters_plain(kind)->by_bytes[B](s, d, w, h, sp, dp, alpha, b, p);
  const Op op{};
  if (n < kShortRow) {
    for (int y = 0; y < h && y < kPrefetchRows; ++y) prefetch_row(d + ptrdiff_t(y) * dp, n);
    for (int y = 0; y < h; ++y) {
      if (y + kPrefetchRows < h) prefetch_row(d + ptrdiff_t(y + kPrefetchRows) * dp, n);
      row_blocks32(s + ptrdiff_t(y) * sp, d + ptrdiff_t(y) * dp, n, op);
    }
  } else {
    for (int y = 0; y < h; ++y) row_blocks32(s + ptrdiff_t(y) * sp, d + ptrdiff_t(y) * dp, n, op);
  }
}

template <int B, typename Op>
ZQ_AVX2 void transparent32(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b,
                           void* p) {
  masked32<B, Op>(s, d, w, h, sp, dp, alpha, b, p, PutterKind::transparent);
}

template <bool Strings>
ZQ_AVX2 void copy_row32(const uint8_t* s, uint8_t* d, int n) {
  if (n < 32 || n >= kLongRow) return copy_row<Strings>(s, d, n);
  int last = n - 32;
  __m256i tail = load32(s + last);
  int i = 0;
  for (; i + 64 <= last; i += 64) {
    __m256i a = load32(s + i), c = load32(s + i + 32);
    store32(d + i, a);
    store32(d + i + 32, c);
  }
  for (; i < last; i += 32) store32(d + i, load32(s + i));
  store32(d + last, tail);
}

template <int B, bool Strings>
ZQ_AVX2 void copy32(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p) {
  if (w <= 0 || h <= 0) return;
  int n = w * B;
  if (overlaps(s, d, n, h, sp, dp)) return putters_plain(PutterKind::copy)->by_bytes[B](s, d, w, h, sp, dp, alpha, b, p);
  if (one_block(n, h, sp, dp)) return std::memcpy(d, s, size_t(n) * size_t(h)), void();
  for (int y = 0; y < h; ++y) copy_row32<Strings>(s + ptrdiff_t(y) * sp, d + ptrdiff_t(y) * dp, n);
}

// Alpha 255 at 4 bytes per pixel (the head-up line's font) is a masked copy;
// every other blend is the SSE2 one.
ZQ_AVX2 void blend4x(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p) {
  int a = alpha & 0xFF;
  if (a == 0) return transparent32<4, Transparent4x>(s, d, w, h, sp, dp, alpha, b, p);
  if (a == 255) return masked32<4, MaskedCopy4x>(s, d, w, h, sp, dp, alpha, b, p, PutterKind::blend);
  blend4(s, d, w, h, sp, dp, alpha, b, p);
}

#undef ZQ_AVX2

template <bool Strings>
constexpr PutterTable kCopyAvx2 = {{nullptr, copy32<1, Strings>, copy32<2, Strings>, nullptr, copy32<4, Strings>}};
constexpr PutterTable kTransparentAvx2 = {{nullptr, transparent32<1, Transparent1x>, transparent32<2, Transparent2x>,
                                           nullptr, transparent32<4, Transparent4x>}};
constexpr PutterTable kBlendAvx2 = {{nullptr, transparent32<1, Transparent1x>, blend2, nullptr, blend4x}};
constexpr bool kBuildHasAvx2 = true;
#else
template <bool Strings>
constexpr PutterTable kCopyAvx2 = kCopy<Strings>;
constexpr PutterTable kTransparentAvx2 = kTransparent, kBlendAvx2 = kBlend;
constexpr bool kBuildHasAvx2 = false;
#endif

}  // namespace

const PutterTable* putters_fast_for(uint32_t features, PutterKind kind) {
  bool avx2 = kBuildHasAvx2 && (features & kCpuAvx2);
  bool strings = features & kCpuFastStrings;
  switch (kind) {
    case PutterKind::copy:
      if (avx2) return strings ? &kCopyAvx2<true> : &kCopyAvx2<false>;
      return strings ? &kCopy<true> : &kCopy<false>;
    case PutterKind::transparent: return avx2 ? &kTransparentAvx2 : &kTransparent;
    case PutterKind::blend: return avx2 ? &kBlendAvx2 : &kBlend;
    case PutterKind::alpha_channel: return &kAlphaChannel;
  }
  return &kCopy<false>;
}

#else  // no vector unit in this build: the plain routines serve as the fast set

const PutterTable* putters_fast_for(uint32_t, PutterKind kind) { return putters_plain(kind); }

#endif

const PutterTable* putters_fast(PutterKind kind) { return putters_fast_for(gfx_cpu_vector_features(), kind); }
