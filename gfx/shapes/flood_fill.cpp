// gfx_flood_fill: fills a 4-connected region, bounded by a border colour or
// made of the starting pixel's colour, within the view.
//
// A scanline fill with an explicit stack of spans: each popped span of a row
// is searched for pixels of the region not yet filled; each one found grows
// to the whole run of the row, which is filled and whose rows above and below
// are pushed as new spans. A bitmap of the view (one bit per pixel) records
// what was filled, so the fill ends whatever the colours (a fill colour equal
// to the region's, blending targets) and rescanning filled rows skips 64
// pixels at a time.
#include <bit>
#include <cstdlib>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "gfx/shapes/shapes.h"
#include "runtime/rt_core.h"

namespace {

struct Seed {
  long long x0, x1, y;
};

// The pending spans: a growing array on the C heap.
struct SeedStack {
  Seed* items = nullptr;
  size_t count = 0, capacity = 0;
  bool failed = false;
  ~SeedStack() { std::free(items); }
  void push(const Seed& s) {
    if (count == capacity) {
      size_t grown = capacity ? capacity * 2 : 256;
      void* p = std::realloc(items, grown * sizeof(Seed));
      if (!p) {
        failed = true;
        return;
      }
      items = static_cast<Seed*>(p);
      capacity = grown;
    }
    items[count++] = s;
  }
};

// One bit per pixel of the clip: set once the pixel is filled.
struct Visited {
  uint64_t* bits = nullptr;
  size_t stride = 0;
  long long left = 0, top = 0;
  ~Visited() { std::free(bits); }
  uint64_t* row(long long y) const { return bits + size_t(y - top) * stride; }
  static bool test(const uint64_t* r, long long i) { return (r[i >> 6] >> (i & 63)) & 1; }
  // First index in [i, end) whose bit equals `set`, else end.
  static long long next(const uint64_t* r, long long i, long long end, bool set) {
    while (i < end) {
      uint64_t w = set ? r[i >> 6] : ~r[i >> 6];
      w >>= (i & 63);
      if (w) return std::min(end, i + std::countr_zero(w));
      i = (i | 63) + 1;
    }
    return end;
  }
  static void set_range(uint64_t* r, long long i0, long long i1) {  // both included
    for (long long i = i0; i <= i1;) {
      long long word = i >> 6, bit = i & 63, n = std::min<long long>(64 - bit, i1 - i + 1);
      uint64_t m = n == 64 ? ~uint64_t(0) : ((uint64_t(1) << n) - 1) << bit;
      r[word] |= m;
      i += n;
    }
  }
};

template <typename T>
T load(const uint8_t* row, long long x) {
  T v;
  std::memcpy(&v, row + x * (long long)sizeof(T), sizeof(T));
  return v;
}

// Whether a pixel belongs to the region; 32-bit pixels compare their colour,
// not their alpha byte.
template <typename T, bool Border>
struct Member {
  uint32_t key;
  bool operator()(const uint8_t* row, long long x) const {
    uint32_t v = load<T>(row, x);
    if constexpr (sizeof(T) == 4) v &= 0x00FFFFFFu;
    return Border ? v != key : v == key;
  }
  // The first x in [x, limit) that is not in the region, else limit; 16
  // bytes of pixels (8 without SSE2) are compared at a time.
  long long run_end(const uint8_t* row, long long x, long long limit) const {
#ifdef __SSE2__
    constexpr long long per = 16 / sizeof(T);
    const __m128i wide_keys = sizeof(T) == 1   ? _mm_set1_epi8(char(key))
                         : sizeof(T) == 2 ? _mm_set1_epi16(short(key))
                                          : _mm_set1_epi32(int(key));
    const __m128i wide_colour = _mm_set1_epi32(sizeof(T) == 4 ? 0x00FFFFFF : -1);
    for (; x + per <= limit; x += per) {
      __m128i w = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x * (long long)sizeof(T))), wide_colour);
      __m128i eq = sizeof(T) == 1 ? _mm_cmpeq_epi8(w, wide_keys) : sizeof(T) == 2 ? _mm_cmpeq_epi16(w, wide_keys) : _mm_cmpeq_epi32(w, wide_keys);
      int equal = _mm_movemask_epi8(eq);
      if (Border ? equal != 0 : equal != 0xFFFF) break;
    }
#endif
    constexpr long long lanes = 8 / sizeof(T);
    constexpr uint64_t ones = ~uint64_t(0) / ((uint64_t(1) << (8 * sizeof(T) - 1) << 1) - 1);  // 1 per lane
    constexpr uint64_t highs = ones << (8 * sizeof(T) - 1);
    constexpr uint64_t colour = sizeof(T) == 4 ? 0x00FFFFFF00FFFFFFull : ~uint64_t(0);
    const uint64_t keys = uint64_t(key) * ones;
    for (; x + lanes <= limit; x += lanes) {
      uint64_t w;
      std::memcpy(&w, row + x * (long long)sizeof(T), 8);
      uint64_t diff = (w ^ keys) & colour;
      // Border: a lane equal to the border is a zero lane of diff.
      bool all_in = Border ? ((diff - ones) & ~diff & highs) == 0 : diff == 0;
      if (!all_in) break;
    }
    while (x < limit && (*this)(row, x)) ++x;
    return x;
  }
};

template <typename T, bool Border>
bool fill_region(const ShapeCanvas& c, Visited& seen, long long sx, long long sy, uint32_t key) {
  Member<T, Border> member{sizeof(T) == 4 ? key & 0x00FFFFFFu : key};
  GfxContext* ctx = c.ctx;
  SeedStack stack;
  stack.push({sx, sx, sy});
  while (stack.count && !stack.failed) {
    Seed s = stack.items[--stack.count];
    const uint8_t* pixels = ctx->line_table[s.y];
    uint64_t* bits = seen.row(s.y);
    long long base = seen.left, end = c.right - base;
    for (long long i = s.x0 - base; i <= s.x1 - base;) {
      i = Visited::next(bits, i, s.x1 - base + 1, false);
      if (i > s.x1 - base) break;
      if (!member(pixels, i + base)) {
        ++i;
        continue;
      }
      long long l = i, r = i;
      while (l > 0 && !Visited::test(bits, l - 1) && member(pixels, l - 1 + base)) --l;
      long long stop = Visited::next(bits, i, end, true);
      r = member.run_end(pixels, i + base, stop + base) - 1 - base;
      ctx->fill_span(ctx->line_table[s.y] + (l + base) * ctx->bytes_per_pixel, c.colour, int(r - l + 1));
      Visited::set_range(bits, l, r);
      if (c.dirty) c.dirty[s.y] = 1;
      if (s.y > c.top) stack.push({l + base, r + base, s.y - 1});
      if (s.y + 1 < c.bottom) stack.push({l + base, r + base, s.y + 1});
      i = r + 2;
    }
  }
  return !stack.failed;
}

using FillFn = bool (*)(const ShapeCanvas&, Visited&, long long, long long, uint32_t);

template <typename T>
FillFn fill_for(bool border) {
  return border ? fill_region<T, true> : fill_region<T, false>;
}

FillFn choose_fill(int bytes_per_pixel, bool border) {
  switch (bytes_per_pixel) {
    case 2: return fill_for<uint16_t>(border);
    case 4: return fill_for<uint32_t>(border);
    default: return fill_for<uint8_t>(border);
  }
}

}  // namespace

int gfx_flood_fill(ImageBuffer* target, float x, float y, int64_t colour, int64_t border, int flags) {
  ShapeCanvas c;
  if (int error = gfx_shape_begin(target, colour, &c)) return error;
  uint32_t key = 0;
  bool by_border = border != kNoColour;
  if (by_border && !gfx_shape_colour(c.ctx, border, &key)) return gfx_fail_bad_colour(border);
  gfx_step_coords(c.ctx, flags & ZQ_STEP_FIRST, &x, &y, nullptr, nullptr);
  int px, py;
  gfx_to_view(c.ctx, x, y, &px, &py);
  if (!c.inside(px, py)) return rt_set_error(ZQ_OK);

  Visited seen;
  seen.left = c.left;
  seen.top = c.top;
  seen.stride = size_t((c.right - c.left + 63) / 64);
  seen.bits = static_cast<uint64_t*>(std::calloc(seen.stride * size_t(c.bottom - c.top), sizeof(uint64_t)));
  if (!seen.bits)
    return rt_fail(ZQ_ERR_OUT_OF_MEMORY, "no memory to mark a %lld x %lld fill", c.right - c.left, c.bottom - c.top);
  GfxScreenLock lock;
  if (!by_border) key = c.ctx->get_pixel(c.ctx, px, py);
  bool done = choose_fill(c.ctx->bytes_per_pixel, by_border)(c, seen, px, py, key);
  if (!done) return rt_fail(ZQ_ERR_OUT_OF_MEMORY, "no memory for the fill's list of runs");
  return rt_set_error(ZQ_OK);
}
