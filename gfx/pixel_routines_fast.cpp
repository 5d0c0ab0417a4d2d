// The fast per-depth pixel routines and memory fill and copy. Spans are
// written 16 bytes at a time with SSE2 where the compiler offers it, long runs
// on x86-64 with the processor's string stores, and with plain loops
// elsewhere; either way the pixels are those of the plain set.
#include <bit>
#include <cstdint>
#include <cstring>

#include "gfx/pixel_routines.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// A 4-byte pattern (one 32-bit pixel, two 16-bit pixels or four bytes) as it
// reads from an address `offset` bytes past the pattern's start.
uint32_t pattern_at(uint32_t pattern, size_t offset) { return std::rotr(pattern, int(8 * (offset & 3))); }

#ifdef __SSE2__

__m128i* vec(uint8_t* p) { return reinterpret_cast<__m128i*>(p); }
const __m128i* vec(const uint8_t* p) { return reinterpret_cast<const __m128i*>(p); }
__m128i splat(uint32_t pattern) { return _mm_set1_epi32(int(pattern)); }

// From this many bytes on, the aligned middle of a fill or copy is left to
// the string instructions: current processors run them a cache line per
// cycle or so, twice what 16-byte stores reach; below it their start-up cost
// outweighs the gain. They run at full speed only when the run starts and
// ends on a 32-byte boundary, so runs are cut to that.
constexpr size_t kStringRunMin = 2048;
constexpr size_t kStringRunAlign = 32;

#if defined(__x86_64__)
constexpr bool kHaveStringRuns = true;
// Stores `count` copies of the 8-byte pattern from q on.
void store_run(uint8_t* q, uint64_t pattern, size_t count) {
  asm volatile("rep stosq" : "+D"(q), "+c"(count) : "a"(pattern) : "memory");
}
// Copies n bytes between regions that do not overlap.
void move_run(uint8_t* d, const uint8_t* s, size_t n) {
  asm volatile("rep movsb" : "+D"(d), "+S"(s), "+c"(n) : : "memory");
}
#else
constexpr bool kHaveStringRuns = false;
void store_run(uint8_t*, uint64_t, size_t) {}
void move_run(uint8_t*, const uint8_t*, size_t) {}
#endif

// Writes n bytes from p with the repeating 4-byte pattern, its byte 0 at p;
// n is a whole number of pixels, so the pattern ends in phase. The first and
// last 16 bytes are written unaligned (the last store may overlap the one
// before it); everything between with aligned stores, the long middle of a
// long fill with one string store.
void fill_pattern(uint8_t* p, size_t n, uint32_t pattern) {
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
    store_run(q, uint64_t(pattern_at(pattern, done)) * 0x100000001u, run / 8);
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
void copy_disjoint(uint8_t* d, const uint8_t* s, size_t n) {
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
    move_run(q, r, run);
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

void copy_bytes(uint8_t* d, const uint8_t* s, size_t n) {
  if (n >= 16 && !overlaps(d, s, n))
    copy_disjoint(d, s, n);
  else if (n)
    std::memmove(d, s, n);
}

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
  for (; n > 0; --n, p += 4) {
    uint32_t d;
    std::memcpy(&d, p, 4);
    d = gfx_alpha_blend(colour, d);
    std::memcpy(p, &d, 4);
  }
}

#else  // no SSE2: the same results with plain loops

void fill_pattern(uint8_t* p, size_t n, uint32_t pattern) {
  for (size_t i = 0; i < n; ++i) p[i] = uint8_t(pattern_at(pattern, i));
}

void copy_bytes(uint8_t* d, const uint8_t* s, size_t n) {
  if (n) std::memmove(d, s, n);
}

void blend_fill_32(void* dest, uint32_t colour, int count) {
  uint8_t* p = static_cast<uint8_t*>(dest);
  for (int i = 0; i < count; ++i, p += 4) {
    uint32_t d;
    std::memcpy(&d, p, 4);
    d = gfx_alpha_blend(colour, d);
    std::memcpy(p, &d, 4);
  }
}

#endif

// Span fills: the colour is cut to the pixel size exactly as the plain set
// stores it, then repeated to a 4-byte pattern.
void fill_8(void* dest, uint32_t colour, int count) {
  if (count > 0) fill_pattern(static_cast<uint8_t*>(dest), size_t(count), (colour & 0xFFu) * 0x01010101u);
}
void fill_16(void* dest, uint32_t colour, int count) {
  if (count > 0) fill_pattern(static_cast<uint8_t*>(dest), size_t(count) * 2, (colour & 0xFFFFu) * 0x00010001u);
}
void fill_32(void* dest, uint32_t colour, int count) {
  if (count > 0) fill_pattern(static_cast<uint8_t*>(dest), size_t(count) * 4, colour);
}

template <size_t B>
void copy_span(void* dest, const void* src, int count) {
  if (count > 0) copy_bytes(static_cast<uint8_t*>(dest), static_cast<const uint8_t*>(src), size_t(count) * B);
}

}  // namespace

void gfx_fast_mem_fill(void* dest, int byte, size_t count) {
  fill_pattern(static_cast<uint8_t*>(dest), count, uint32_t(byte & 0xFF) * 0x01010101u);
}

void gfx_fast_mem_copy(void* dest, const void* src, size_t count) {
  copy_bytes(static_cast<uint8_t*>(dest), static_cast<const uint8_t*>(src), count);
}

GfxRoutineSet gfx_fast_routines(int bytes_per_pixel, bool alpha) {
  // Single-pixel put and get, and the blending put, stay the plain ones.
  GfxRoutineSet set = gfx_plain_routines(bytes_per_pixel, alpha);
  switch (bytes_per_pixel) {
    case 2:
      set.fill = set.blend_fill = fill_16;
      set.copy_span = copy_span<2>;
      break;
    case 4:
      set.fill = fill_32;
      set.blend_fill = alpha ? blend_fill_32 : fill_32;
      set.copy_span = copy_span<4>;
      break;
    default:
      set.fill = set.blend_fill = fill_8;
      set.copy_span = copy_span<1>;
      break;
  }
  return set;
}
