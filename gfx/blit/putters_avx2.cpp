// The AVX2 level's putters: copies, transparent puts and the alpha-255
// masked copy 32 bytes at a time. Used only where the processor reports AVX2
// at run time; each routine carries its own target attribute. Same row shape
// as the SSE2 routines; rows shorter than 32 bytes go through them. Every
// other putter is left to the levels below. Every routine gives the same
// pixels as the plain one.
#include "gfx/blit/putters.h"
#include "gfx/blit/putters_sse2.h"

#if defined(__SSE2__)
#if defined(__x86_64__)
#include <immintrin.h>

namespace putters_sse2 {
namespace {

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
constexpr PutterTable kBlendAvx2 = {{nullptr, transparent32<1, Transparent1x>, nullptr, nullptr, blend4x}};

}  // namespace
}  // namespace putters_sse2

const PutterTable* putters_at_avx2(bool strings, PutterKind kind) {
  using namespace putters_sse2;
  switch (kind) {
    case PutterKind::copy: return strings ? &kCopyAvx2<true> : &kCopyAvx2<false>;
    case PutterKind::transparent: return &kTransparentAvx2;
    case PutterKind::blend: return &kBlendAvx2;
    case PutterKind::alpha_channel:
    case PutterKind::add:
    case PutterKind::multiply:
    case PutterKind::tint: return nullptr;
  }
  return nullptr;
}

#define ZQ_HAVE_AVX2_PUTTERS 1
#endif  // __x86_64__
#endif  // __SSE2__

#ifndef ZQ_HAVE_AVX2_PUTTERS  // no AVX2 routines in this build
const PutterTable* putters_at_avx2(bool, PutterKind) { return nullptr; }
#endif
