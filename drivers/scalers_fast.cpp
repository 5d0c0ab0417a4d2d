// The SSE2 level's scalers. With SSE2, 4-byte pixels are widened four at a time for
// factors 2 and 3 (the pixels spread over two or three 16-byte stores by
// shuffles) and one block row per 16-byte stores of the repeated pixel for
// larger factors; 2-byte pixels likewise eight at a time for factor 2 and
// by stores of eight repeated pixels otherwise. Factor 1 is a row copy for
// every pixel size. Pixels after the last whole step are copied one by
// one, so the bytes equal the plain set's for any width.
#include <cstring>

#include "drivers/scalers.h"
#include "drivers/scalers_detail.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Copies the pixel's Bytes bytes into Count places from dst on.
template <int Bytes>
inline void repeat_pixel(const uint8_t* src, uint8_t* dst, int count) {
  for (int i = 0; i < count; ++i, dst += Bytes) std::memcpy(dst, src, Bytes);
}

template <int Bytes, int Factor>
void widen_row(const uint8_t* src, uint8_t* dst, int width);

template <int Bytes, int Factor>
struct FastMember {
  static void scale(const uint8_t* source, int source_pitch, int width, int rows, uint8_t* destination,
                    int destination_pitch) {
    scaler_detail::for_each_row<Bytes, Factor>(source, source_pitch, width, rows, destination, destination_pitch,
                                               widen_row<Bytes, Factor>);
  }
};

#ifdef __SSE2__

inline __m128i load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void store(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// A 2- or 4-byte pixel repeated across 16 bytes.
template <int Bytes>
inline __m128i repeated(const uint8_t* p) {
  if constexpr (Bytes == 4) {
    uint32_t pixel;
    std::memcpy(&pixel, p, 4);
    return _mm_set1_epi32(int(pixel));
  } else {
    uint16_t pixel;
    std::memcpy(&pixel, p, 2);
    return _mm_set1_epi16(short(pixel));
  }
}

template <int Bytes, int Factor>
void widen_row(const uint8_t* src, uint8_t* dst, int width) {
  int x = 0;
  if constexpr (Factor == 1) {
    std::memcpy(dst, src, size_t(width) * Bytes);
    return;
  } else if constexpr (Bytes == 4 && Factor == 2) {
    for (; x + 4 <= width; x += 4, src += 16, dst += 32) {
      __m128i v = load(src);
      store(dst, _mm_unpacklo_epi32(v, v));
      store(dst + 16, _mm_unpackhi_epi32(v, v));
    }
  } else if constexpr (Bytes == 4 && Factor == 3) {
    for (; x + 4 <= width; x += 4, src += 16, dst += 48) {
      __m128i v = load(src);  // a b c d
      store(dst, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 0, 0)));       // a a a b
      store(dst + 16, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 1, 1)));  // b b c c
      store(dst + 32, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 2)));  // c d d d
    }
  } else if constexpr (Bytes == 2 && Factor == 2) {
    for (; x + 8 <= width; x += 8, src += 16, dst += 32) {
      __m128i v = load(src);
      store(dst, _mm_unpacklo_epi16(v, v));
      store(dst + 16, _mm_unpackhi_epi16(v, v));
    }
  } else if constexpr (Bytes == 2 || Bytes == 4) {
    // Each block row as 16-byte stores of the repeated pixel, the rest of
    // it pixel by pixel.
    constexpr int kPerStore = 16 / Bytes;
    for (; x < width; ++x, src += Bytes) {
      const __m128i v = repeated<Bytes>(src);
      int i = 0;
      for (; i + kPerStore <= Factor; i += kPerStore, dst += 16) store(dst, v);
      for (; i < Factor; ++i, dst += Bytes) std::memcpy(dst, src, Bytes);
    }
  }
  for (; x < width; ++x, src += Bytes, dst += Factor * Bytes) repeat_pixel<Bytes>(src, dst, Factor);
}

#else

template <int Bytes, int Factor>
void widen_row(const uint8_t* src, uint8_t* dst, int width) {
  if constexpr (Factor == 1) {
    std::memcpy(dst, src, size_t(width) * Bytes);
  } else {
    for (int x = 0; x < width; ++x, src += Bytes, dst += Factor * Bytes) repeat_pixel<Bytes>(src, dst, Factor);
  }
}

#endif

// 3-byte pixels have no wide member but the row copy: the plain set serves
// the other factors.
ScalerSet fast_set() {
  ScalerSet set = scaler_detail::make_set<FastMember>();
  for (size_t f = 2; f <= size_t(kMaxScale); ++f) set[1][f] = nullptr;
  return set;
}

}  // namespace

const ScalerSet sse2_scalers = fast_set();
