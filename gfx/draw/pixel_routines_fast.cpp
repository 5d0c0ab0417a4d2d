// The SSE2 and AVX2 levels of the per-depth pixel routines and the memory
// fill and copy. The AVX2 level writes spans 32 bytes at a time (used only
// where the processor has AVX2; the routines carry their own target
// attribute); the SSE2 level 16 bytes at a time where the compiler offers
// SSE2, long runs then with the processor's fast string stores when it has
// them, and with plain loops elsewhere. Every level gives the pixels of the
// plain set.
#include <bit>
#include <cstdint>
#include <cstring>

#include "gfx/draw/pixel_routines.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#define ZQ_HAVE_AVX2_ROUTINES 1
#endif

#include "gfx/draw/string_moves.h"

namespace {

// A 4-byte pattern (one 32-bit pixel, two 16-bit pixels or four bytes) as it
// reads from an address `offset` bytes past the pattern's start.
uint32_t pattern_at(uint32_t pattern, size_t offset) { return std::rotr(pattern, int(8 * (offset & 3))); }

#ifdef __SSE2__

__m128i* vec(uint8_t* p) { return reinterpret_cast<__m128i*>(p); }
const __m128i* vec(const uint8_t* p) { return reinterpret_cast<const __m128i*>(p); }
__m128i splat(uint32_t pattern) { return _mm_set1_epi32(int(pattern)); }

// From this many bytes on, the aligned middle of a fill or copy is left to
// the string instructions when the processor runs them fast (ERMS): then they
// move a cache line per cycle or so, twice what 16-byte stores reach; below
// it their start-up cost outweighs the gain. They run at full speed only when
// the run starts and ends on a 32-byte boundary, so runs are cut to that.
constexpr size_t kStringRunMin = 2048;
constexpr size_t kStringRunAlign = 32;

// Writes n bytes from p with the repeating 4-byte pattern, its byte 0 at p;
// n is a whole number of pixels, so the pattern ends in phase. The first and
// last 16 bytes are written unaligned (the last store may overlap the one
// before it); everything between with aligned stores, the long middle of a
// long fill with one string store.
template <bool StringRuns>
void fill_pattern(uint8_t* p, size_t n, uint32_t pattern) {
  constexpr bool kHaveStringRuns = StringRuns && kBuildHasStringMoves;
  if (n < 16) {
    for (size_t i = 0; i < n; ++i) p[i] = uint8_t(pattern_at(pattern, i));
    return;
  }
  const __m128i in_phase = splat(pattern);
  _mm_storeu_si128(vec(p), in_phase);
  size_t done = 16 - (reinterpret_cast<uintptr_t>(p) & 15);
  uint8_t* q = p + done;
  size_t left = n - done;
  // q is 16-byte aligned and `done` bytes in, a multiple of 16 past the
  // pattern phase at q, so one vector serves every aligned store.
  const __m128i v = splat(pattern_at(pattern, done));
  if (kHaveStringRuns && left >= kStringRunMin) {
    if (reinterpret_cast<uintptr_t>(q) & (kStringRunAlign - 1)) {
      _mm_store_si128(vec(q), v);
      q += 16;
      left -= 16;
    }
    size_t run = left & ~(kStringRunAlign - 1);
    gfx_string_store(q, uint64_t(pattern_at(pattern, done)) * 0x100000001u, run / 8);
    q += run;
    left -= run;
  }
  for (; left >= 64; left -= 64, q += 64) {
    _mm_store_si128(vec(q), v);
    _mm_store_si128(vec(q + 16), v);
    _mm_store_si128(vec(q + 32), v);
    _mm_store_si128(vec(q + 48), v);
  }
  for (; left >= 16; left -= 16, q += 16) _mm_store_si128(vec(q), v);
  if (left) _mm_storeu_si128(vec(p + n - 16), in_phase);
}

// Copies n >= 16 bytes between regions that do not overlap: unaligned loads,
// aligned stores (or a string move for a long middle), unaligned first and
// last 16 bytes.
template <bool StringRuns>
void copy_disjoint(uint8_t* d, const uint8_t* s, size_t n) {
  constexpr bool kHaveStringRuns = StringRuns && kBuildHasStringMoves;
  _mm_storeu_si128(vec(d), _mm_loadu_si128(vec(s)));
  size_t done = 16 - (reinterpret_cast<uintptr_t>(d) & 15);
  uint8_t* q = d + done;
  const uint8_t* r = s + done;
  size_t left = n - done;
  if (kHaveStringRuns && left >= kStringRunMin) {
    if (reinterpret_cast<uintptr_t>(q) & (kStringRunAlign - 1)) {
      _mm_store_si128(vec(q), _mm_loadu_si128(vec(r)));
      q += 16;
      r += 16;
      left -= 16;
    }
    size_t run = left & ~(kStringRunAlign - 1);
    gfx_string_move(q, r, run);
    q += run;
    r += run;
    left -= run;
  }
  for (; left >= 64; left -= 64, q += 64, r += 64) {
    __m128i a = _mm_loadu_si128(vec(r));
    __m128i b = _mm_loadu_si128(vec(r + 16));
    __m128i c = _mm_loadu_si128(vec(r + 32));
    __m128i e = _mm_loadu_si128(vec(r + 48));
    _mm_store_si128(vec(q), a);
    _mm_store_si128(vec(q + 16), b);
    _mm_store_si128(vec(q + 32), c);
    _mm_store_si128(vec(q + 48), e);
  }
  for (; left >= 16; left -= 16, q += 16, r += 16) _mm_store_si128(vec(q), _mm_loadu_si128(vec(r)));
  if (left) _mm_storeu_si128(vec(d + n - 16), _mm_loadu_si128(vec(s + n - 16)));
}

bool overlaps(const uint8_t* d, const uint8_t* s, size_t n) {
  uintptr_t a = reinterpret_cast<uintptr_t>(d), b = reinterpret_cast<uintptr_t>(s);
  return a < b ? b - a < n : a - b < n;
}

template <bool StringRuns>
void copy_bytes(uint8_t* d, const uint8_t* s, size_t n) {
  if (n >= 16 && !overlaps(d, s, n))
    copy_disjoint<StringRuns>(d, s, n);
  else if (n)
    std::memmove(d, s, n);
}

#if ZQ_HAVE_AVX2_ROUTINES
#define ZQ_AVX2 __attribute__((target("avx2")))

// From this many bytes on, the AVX2 fill leaves the aligned middle to the
// string stores where the processor runs them fast: they write whole cache
// lines without reading them first, which a vector store cannot, and so keep
// the C library's fill speed on runs beyond the second-level cache (a full
// page of a large screen), where 32-byte stores fall 15 to 25% behind.
// Shorter runs are no faster that way, and rows are quicker with vectors.
constexpr size_t kAvx2StringRunMin = size_t(64) << 10;

// The AVX2 fill: the SSE2 fill's shape with 32-byte stores. Below 32 bytes
// the SSE2 fill serves.
template <bool StringRuns>
ZQ_AVX2 void fill_pattern_avx2(uint8_t* p, size_t n, uint32_t pattern) {
  if (n < 32) return fill_pattern<false>(p, n, pattern);
  const __m256i in_phase = _mm256_set1_epi32(int(pattern));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), in_phase);
  size_t done = 32 - (reinterpret_cast<uintptr_t>(p) & 31);
  uint8_t* q = p + done;
  size_t left = n - done;
  if (StringRuns && kBuildHasStringMoves && left >= kAvx2StringRunMin) {
    size_t run = left & ~(kStringRunAlign - 1);
    gfx_string_store(q, uint64_t(pattern_at(pattern, done)) * 0x100000001u, run / 8);
    q += run;
    left -= run;
  }
  const __m256i v = _mm256_set1_epi32(int(pattern_at(pattern, done)));
  for (; left >= 128; left -= 128, q += 128) {
    _mm256_store_si256(reinterpret_cast<__m256i*>(q), v);
    _mm256_store_si256(reinterpret_cast<__m256i*>(q + 32), v);
    _mm256_store_si256(reinterpret_cast<__m256i*>(q + 64), v);
    _mm256_store_si256(reinterpret_cast<__m256i*>(q + 96), v);
  }
  for (; left >= 32; left -= 32, q += 32) _mm256_store_si256(reinterpret_cast<__m256i*>(q), v);
  if (left) _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + n - 32), in_phase);
}

ZQ_AVX2 inline __m256i load32(const uint8_t* a) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a)); }

// The AVX2 copy of n >= 32 bytes between regions that do not overlap.
ZQ_AVX2 void copy_disjoint_avx2(uint8_t* d, const uint8_t* s, size_t n) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), load32(s));
  const __m256i last = load32(s + n - 32);
  size_t done = 32 - (reinterpret_cast<uintptr_t>(d) & 31);
  uint8_t* q = d + done;
  const uint8_t* r = s + done;
  size_t left = n - done;
  for (; left >= 128; left -= 128, q += 128, r += 128) {
    __m256i a = load32(r), b = load32(r + 32), c = load32(r + 64), e = load32(r + 96);
    _mm256_store_si256(reinterpret_cast<__m256i*>(q), a);
    _mm256_store_si256(reinterpret_cast<__m256i*>(q + 32), b);
    _mm256_store_si256(reinterpret_cast<__m256i*>(q + 64), c);
    _mm256_store_si256(reinterpret_cast<__m256i*>(q + 96), e);
  }
  for (; left >= 32; left -= 32, q += 32, r += 32) _mm256_store_si256(reinterpret_cast<__m256i*>(q), load32(r));
  if (left) _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + n - 32), last);
}

void copy_bytes_avx2(uint8_t* d, const uint8_t* s, size_t n) {
  if (n >= 32 && !overlaps(d, s, n))
    copy_disjoint_avx2(d, s, n);
  else
    copy_bytes<false>(d, s, n);
}
#undef ZQ_AVX2
#endif

// The low 32 bits of x times a in every lane, with a the same in every lane
// (SSE2 multiplies only the even lanes to 64 bits at once).
__m128i mul_lo32(__m128i x, __m128i a) {
  const __m128i low_halves = _mm_set_epi32(0, -1, 0, -1);
  __m128i even = _mm_mul_epu32(x, a);
  __m128i odd = _mm_mul_epu32(_mm_srli_epi64(x, 32), a);
  return _mm_or_si128(_mm_and_si128(even, low_halves), _mm_slli_epi64(odd, 32));
}

// gfx_alpha_blend on four pixels at once, lane for lane the same 32-bit
// wrap-around arithmetic.
void blend_fill_32(void* dest, uint32_t colour, int count) {
  if (count <= 0) return;
  uint8_t* p = static_cast<uint8_t*>(dest);
  size_t n = size_t(count);
  const __m128i rb_mask = splat(0x00FF00FFu), g_mask = splat(0x0000FF00u);
  const __m128i a = splat(colour >> 24);
  const __m128i s_rb = splat(colour & 0x00FF00FFu), s_g = splat(colour & 0x0000FF00u);
  const __m128i s_alpha = splat(colour & 0xFF000000u);
  for (; n >= 4; n -= 4, p += 16) {
    __m128i d = _mm_loadu_si128(vec(p));
    __m128i rb = _mm_and_si128(d, rb_mask);
    rb = _mm_add_epi32(rb, _mm_srli_epi32(mul_lo32(_mm_sub_epi32(s_rb, rb), a), 8));
    __m128i g = _mm_and_si128(d, g_mask);
    g = _mm_add_epi32(g, _mm_srli_epi32(mul_lo32(_mm_sub_epi32(s_g, g), a), 8));
    d = _mm_or_si128(_mm_or_si128(_mm_and_si128(rb, rb_mask), _mm_and_si128(g, g_mask)), s_alpha);
    _mm_storeu_si128(vec(p), d);
  }
  gfx_blend_span_32(p, colour, int(n));
}

#else  // no SSE2: the same results with plain loops

template <bool>
void fill_pattern(uint8_t* p, size_t n, uint32_t pattern) {
  for (size_t i = 0; i < n; ++i) p[i] = uint8_t(pattern_at(pattern, i));
}

template <bool>
void copy_bytes(uint8_t* d, const uint8_t* s, size_t n) {
  if (n) std::memmove(d, s, n);
}

void blend_fill_32(void* dest, uint32_t colour, int count) {
  gfx_blend_span_32(static_cast<uint8_t*>(dest), colour, count);
}

#endif

// The kinds of fill and copy a level is built from.
enum class Way { sse2, sse2_strings, avx2, avx2_strings };

using PatternFill = void (*)(uint8_t* p, size_t n, uint32_t pattern);
using ByteCopy = void (*)(uint8_t* d, const uint8_t* s, size_t n);

template <Way W>
constexpr PatternFill kFill = W == Way::sse2 ? fill_pattern<false> : fill_pattern<true>;
template <Way W>
constexpr ByteCopy kCopy = W == Way::sse2 ? copy_bytes<false> : copy_bytes<true>;
#if ZQ_HAVE_AVX2_ROUTINES
template <>
constexpr PatternFill kFill<Way::avx2> = fill_pattern_avx2<false>;
template <>
constexpr PatternFill kFill<Way::avx2_strings> = fill_pattern_avx2<true>;
template <>
constexpr ByteCopy kCopy<Way::avx2> = copy_bytes_avx2;
template <>
constexpr ByteCopy kCopy<Way::avx2_strings> = copy_bytes_avx2;
#endif

// Span fills: the colour is cut to the pixel size exactly as the plain set
// stores it, then repeated to a 4-byte pattern.
template <Way W>
void fill_8(void* dest, uint32_t colour, int count) {
  if (count > 0) kFill<W>(static_cast<uint8_t*>(dest), size_t(count), (colour & 0xFFu) * 0x01010101u);
}
template <Way W>
void fill_16(void* dest, uint32_t colour, int count) {
  if (count > 0) kFill<W>(static_cast<uint8_t*>(dest), size_t(count) * 2, (colour & 0xFFFFu) * 0x00010001u);
}
template <Way W>
void fill_32(void* dest, uint32_t colour, int count) {
  if (count > 0) kFill<W>(static_cast<uint8_t*>(dest), size_t(count) * 4, colour);
}

template <Way W, size_t B>
void copy_span(void* dest, const void* src, int count) {
  if (count > 0) kCopy<W>(static_cast<uint8_t*>(dest), static_cast<const uint8_t*>(src), size_t(count) * B);
}

template <Way W>
void mem_fill(void* dest, int byte, size_t count) {
  kFill<W>(static_cast<uint8_t*>(dest), count, uint32_t(byte & 0xFF) * 0x01010101u);
}

template <Way W>
void mem_copy(void* dest, const void* src, size_t count) {
  kCopy<W>(static_cast<uint8_t*>(dest), static_cast<const uint8_t*>(src), count);
}

// What a level speeds up, put over the set of the levels below it. Without
// blending the blend fill is the span fill; the blending one (4 bytes with
// alpha primitives) is the SSE2 level's and the AVX2 level leaves it.
template <Way W>
void speed_up(GfxLevelSet& set, int bytes_per_pixel, bool alpha) {
  GfxRoutineSet& r = set.routines;
  switch (bytes_per_pixel) {
    case 2:
      r.fill = fill_16<W>;
      r.copy_span = copy_span<W, 2>;
      break;
    case 4:
      r.fill = fill_32<W>;
      r.copy_span = copy_span<W, 4>;
      break;
    default:
      r.fill = fill_8<W>;
      r.copy_span = copy_span<W, 1>;
      break;
  }
  if (!alpha || bytes_per_pixel != 4)
    r.blend_fill = r.fill;
  else if constexpr (W != Way::avx2 && W != Way::avx2_strings)
    r.blend_fill = blend_fill_32;
  set.mem_fill = mem_fill<W>;
  set.mem_copy = mem_copy<W>;
}

}  // namespace

GfxLevelSet gfx_level_set(const RoutineLevels& levels, int bytes_per_pixel, bool alpha) {
  GfxLevelSet set = gfx_plain_set(bytes_per_pixel, alpha);
  if (levels.uses(RoutineLevel::sse2)) {
    if (levels.fast_strings)
      speed_up<Way::sse2_strings>(set, bytes_per_pixel, alpha);
    else
      speed_up<Way::sse2>(set, bytes_per_pixel, alpha);
  }
#if ZQ_HAVE_AVX2_ROUTINES
  if (levels.uses(RoutineLevel::avx2)) {
    if (levels.fast_strings)
      speed_up<Way::avx2_strings>(set, bytes_per_pixel, alpha);
    else
      speed_up<Way::avx2>(set, bytes_per_pixel, alpha);
  }
#endif
  return set;
}
