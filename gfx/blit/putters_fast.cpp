// The SSE2 level's putters, 16 bytes at a time. Masks come
// from a compare and select between source and target bitwise; blends run in
// 16-bit lanes as d*(K-k) + s*k, then a shift, which is exactly
// d + floor((s - d) * k / K). Every routine gives the same pixels as the
// plain one.
#include <cstdint>
#include <cstring>

#include "gfx/blit/putters.h"
#include "gfx/blit/putters_sse2.h"

#if defined(__SSE2__)

namespace putters_sse2 {
namespace {

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

}  // namespace

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

namespace {

// ---- light putters: add, multiply, tint ------------------------------------

// The red, green and blue channels of eight 5-6-5 pixels, each in its own
// 16-bit lanes, and back.
struct Channels565 {
  __m128i r, g, b;
};
inline Channels565 split565(__m128i v) {
  const __m128i m5 = _mm_set1_epi16(0x1F), m6 = _mm_set1_epi16(0x3F);
  return {_mm_srli_epi16(v, 11), _mm_and_si128(_mm_srli_epi16(v, 5), m6), _mm_and_si128(v, m5)};
}
inline __m128i join565(const Channels565& c) {
  return _mm_or_si128(_mm_or_si128(_mm_slli_epi16(c.r, 11), _mm_slli_epi16(c.g, 5)), c.b);
}
inline __m128i mask565(__m128i s) { return _mm_cmpeq_epi16(s, _mm_set1_epi16(int16_t(0xF81F))); }
inline __m128i mask8888(__m128i s) {
  return _mm_cmpeq_epi32(_mm_and_si128(s, _mm_set1_epi32(0x00FFFFFF)), _mm_set1_epi32(0x00FF00FF));
}

// Four 0xAARRGGBB pixels as two halves of 16-bit lanes, and back.
inline __m128i lo16(__m128i v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }
inline __m128i hi16(__m128i v) { return _mm_unpackhi_epi8(v, _mm_setzero_si128()); }

struct Add2 {
  __m128i k;
  explicit Add2(int kk) : k(_mm_set1_epi16(int16_t(kk))) {}
  __m128i add(__m128i s, __m128i d, __m128i max) const {
    return _mm_min_epi16(_mm_add_epi16(d, _mm_srli_epi16(_mm_mullo_epi16(s, k), 5)), max);
  }
  __m128i operator()(__m128i s, __m128i d) const {
    Channels565 a = split565(s), b = split565(d);
    const __m128i m5 = _mm_set1_epi16(0x1F), m6 = _mm_set1_epi16(0x3F);
    return merge(mask565(s), d, join565({add(a.r, b.r, m5), add(a.g, b.g, m6), add(a.b, b.b, m5)}));
  }
};

// s * k / 256 per byte (at most 255 * 256 in a lane), then a saturating add.
struct Add4 {
  __m128i k;
  explicit Add4(int kk) : k(_mm_set1_epi16(int16_t(kk))) {}
  __m128i operator()(__m128i s, __m128i d) const {
    __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(lo16(s), k), 8);
    __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(hi16(s), k), 8);
    return merge(mask8888(s), d, _mm_adds_epu8(d, _mm_packus_epi16(lo, hi)));
  }
};

// d * (s + 1) >> bits per channel, then the blend's d*(K-k) + m*k >> log K.
struct Multiply2 {
  __m128i k, ik;
  explicit Multiply2(int kk) : k(_mm_set1_epi16(int16_t(kk))), ik(_mm_set1_epi16(int16_t(32 - kk))) {}
  __m128i channel(__m128i s, __m128i d, int bits) const {
    __m128i m = _mm_srl_epi16(_mm_mullo_epi16(d, _mm_add_epi16(s, _mm_set1_epi16(1))), _mm_cvtsi32_si128(bits));
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(m, k), _mm_mullo_epi16(d, ik)), 5);
  }
  __m128i operator()(__m128i s, __m128i d) const {
    Channels565 a = split565(s), b = split565(d);
    return merge(mask565(s), d, join565({channel(a.r, b.r, 5), channel(a.g, b.g, 6), channel(a.b, b.b, 5)}));
  }
};

struct Multiply4 {
  __m128i k, ik;
  explicit Multiply4(int kk) : k(_mm_set1_epi16(int16_t(kk))), ik(_mm_set1_epi16(int16_t(256 - kk))) {}
  __m128i half(__m128i s, __m128i d) const {
    __m128i m = _mm_srli_epi16(_mm_mullo_epi16(d, _mm_add_epi16(s, _mm_set1_epi16(1))), 8);
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(m, k), _mm_mullo_epi16(d, ik)), 8);
  }
  __m128i operator()(__m128i s, __m128i d) const {
    return merge(mask8888(s), d, _mm_packus_epi16(half(lo16(s), lo16(d)), half(hi16(s), hi16(d))));
  }
};

// The colour's channels plus one, per 5-6-5 channel lane, or per byte lane
// of two pixels (the top byte's factor 0, so it is written as 0).
struct Tint2 {
  __m128i r, g, b;
  explicit Tint2(uint32_t c)
      : r(_mm_set1_epi16(int16_t(((c >> 16) & 255) + 1))), g(_mm_set1_epi16(int16_t(((c >> 8) & 255) + 1))),
        b(_mm_set1_epi16(int16_t((c & 255) + 1))) {}
  __m128i operator()(__m128i s, __m128i d) const {
    Channels565 a = split565(s);
    Channels565 t{_mm_srli_epi16(_mm_mullo_epi16(a.r, r), 8), _mm_srli_epi16(_mm_mullo_epi16(a.g, g), 8),
                  _mm_srli_epi16(_mm_mullo_epi16(a.b, b), 8)};
    return merge(mask565(s), d, join565(t));
  }
};

struct Tint4 {
  __m128i f;
  explicit Tint4(uint32_t c)
      : f(_mm_set_epi16(0, int16_t(((c >> 16) & 255) + 1), int16_t(((c >> 8) & 255) + 1), int16_t((c & 255) + 1), 0,
                        int16_t(((c >> 16) & 255) + 1), int16_t(((c >> 8) & 255) + 1), int16_t((c & 255) + 1))) {}
  __m128i operator()(__m128i s, __m128i d) const {
    __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(lo16(s), f), 8);
    __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(hi16(s), f), 8);
    return merge(mask8888(s), d, _mm_packus_epi16(lo, hi));
  }
};

template <int B, PutterKind Kind, typename Op>
void light(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p) {
  if constexpr (Kind == PutterKind::tint)
    masked<B>(s, d, w, h, sp, dp, alpha, b, p, Kind, Op(uint32_t(alpha)));
  else
    masked<B>(s, d, w, h, sp, dp, alpha, b, p, Kind, Op(putter_strength(B, alpha)));
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
constexpr PutterTable kAdd = {{nullptr, transparent<1, Transparent1>, light<2, PutterKind::add, Add2>, nullptr,
                               light<4, PutterKind::add, Add4>}};
constexpr PutterTable kMultiply = {{nullptr, transparent<1, Transparent1>, light<2, PutterKind::multiply, Multiply2>,
                                    nullptr, light<4, PutterKind::multiply, Multiply4>}};
constexpr PutterTable kTint = {{nullptr, transparent<1, Transparent1>, light<2, PutterKind::tint, Tint2>, nullptr,
                                light<4, PutterKind::tint, Tint4>}};

}  // namespace
}  // namespace putters_sse2

const PutterTable* putters_at_sse2(bool strings, PutterKind kind) {
  using namespace putters_sse2;
  switch (kind) {
    case PutterKind::copy: return strings ? &kCopy<true> : &kCopy<false>;
    case PutterKind::transparent: return &kTransparent;
    case PutterKind::blend: return &kBlend;
    case PutterKind::alpha_channel: return &kAlphaChannel;
    case PutterKind::add: return &kAdd;
    case PutterKind::multiply: return &kMultiply;
    case PutterKind::tint: return &kTint;
  }
  return &kCopy<false>;
}

#else  // no vector unit in this build: the plain level serves

const PutterTable* putters_at_sse2(bool, PutterKind) { return nullptr; }

#endif
