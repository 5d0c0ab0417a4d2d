// gfx_put_transformed: the put's shared start and clip step, then each
// target row's span of pixels whose centres map into the source rectangle,
// sampled into a row and handed to the putter.
//
// The routine levels' paths give the same pixels: the plain one maps every
// pixel on its own, the SSE2 level's (taken through the screen's routine
// levels, as the putters choose theirs) works from per-put tables of the
// columns' products, copies or reverses whole rows where the mapping keeps
// the axes, repeats a row the scale repeats, hands the putter bands of rows
// at once, and where the AVX2 level is in use too maps four pixels at a
// time. A library putter
// is looked up in its table once per put, not once per row.
#include "gfx/blit/put_transformed.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "drivers/screen_state.h"
#include "gfx/draw/context.h"
#include "gfx/draw/pixel_routines.h"
#include "runtime/rt_core.h"

namespace {

// Gathered rows handed to the putter at once, at most this many bytes.
constexpr size_t kBandBytes = 64 * 1024;
// Target pixels added around the mapped corners before the exact test per
// row decides.
constexpr double kBoxMargin = 2.0;
// Far beyond any view, so that conversions to integers stay defined.
constexpr double kFarAway = double(1LL << 40);

// Per-thread buffers that grow and are kept, so that a put allocates nothing
// once they are large enough.
template <typename T, int Which = 0>
T* scratch(size_t count) {
  static thread_local std::vector<T> buffer;
  if (buffer.size() < count) buffer.resize(count);
  return buffer.data();
}

// The target rows and columns the rectangle's mapped corners span, widened
// by a margin; NaN-free and within kFarAway.
TargetBox mapped_box(const GfxTransform& t, const InverseMap& m) {
  const double c = m.cos, s = m.sin;
  double lo_x = INFINITY, hi_x = -INFINITY, lo_y = INFINITY, hi_y = -INFINITY;
  for (int corner = 0; corner < 4; ++corner) {
    double qx = (corner & 1) ? m.width : 0, qy = (corner & 2) ? m.height : 0;
    double ax = t.scale_x * (qx - t.pivot_x), ay = t.scale_y * (qy - t.pivot_y);
    double x = m.tx + (c * ax - s * ay), y = m.ty + (s * ax + c * ay);
    if (!(x == x) || !(y == y)) return {-(1LL << 40), -(1LL << 40), 1LL << 41, 1LL << 41};
    lo_x = std::min(lo_x, x);
    hi_x = std::max(hi_x, x);
    lo_y = std::min(lo_y, y);
    hi_y = std::max(hi_y, y);
  }
  auto fix = [](double v) { return (long long)std::clamp(v, -kFarAway, kFarAway); };
  long long x0 = fix(std::floor(lo_x - kBoxMargin)), x1 = fix(std::ceil(hi_x + kBoxMargin));
  long long y0 = fix(std::floor(lo_y - kBoxMargin)), y1 = fix(std::ceil(hi_y + kBoxMargin));
  return {x0, y0, x1 - x0, y1 - y0};
}

// The source pixel a sample falls in, flips applied; u and v lie in
// [0, width) and [0, height), so truncation is floor.
inline int column_of(const InverseMap& m, double u) { return m.flip_h ? m.width - 1 - int(u) : int(u); }
inline int row_of(const InverseMap& m, double v) { return m.flip_v ? m.height - 1 - int(v) : int(v); }

inline void hand_over(const TransformJob& job, const uint8_t* rows, long long x, long long y, long long width,
                      long long height, int row_bytes) {
  uint8_t* to = job.ctx->line_table[y] + ptrdiff_t(x) * job.bytes_per_pixel;
  job.putter(rows, to, int(width), int(height), row_bytes, job.ctx->pitch, job.alpha, job.blender, job.parameter);
  gfx_mark_dirty(job.ctx, int(y), int(height));
}

// Rows y .. y + h - 1 of n pixels from column x, made by make_row(to, k,
// in_band) for row y + k into a per-thread buffer and handed to the putter
// a band (at most kBandBytes) at a time; in_band counts the rows already
// made in the current band, so a row may copy the one above it.
template <int B, typename MakeRow>
void hand_over_in_bands(const TransformJob& job, long long x, long long y, long long n, long long h, MakeRow make_row) {
  const int row_bytes = int(n * B);
  const long long band = std::max<long long>(1, (long long)(kBandBytes / size_t(row_bytes)));
  uint8_t* buffer = scratch<uint8_t>(size_t(std::min(band, h)) * size_t(row_bytes));
  for (long long k0 = 0; k0 < h; k0 += band) {
    const long long count = std::min(band, h - k0);
    for (long long r = 0; r < count; ++r) make_row(buffer + r * row_bytes, k0 + r, r);
    hand_over(job, buffer, x, y + k0, n, count, row_bytes);
  }
}

// ---- plain: every pixel mapped on its own, one row at a time ----------------

void draw_plain(const TransformJob& job) {
  const InverseMap& m = job.map;
  const int b = job.bytes_per_pixel;
  for (long long y = job.box.y; y < job.box.y + job.box.height; ++y) {
    RowSpan span = gfx_row_span(m, y, job.box.x, job.box.x + job.box.width);
    long long n = span.last - span.first;
    if (n <= 0) continue;
    uint8_t* row = scratch<uint8_t>(size_t(n) * size_t(b));
    const double py = gfx_centre_offset(y, m.ty);
    const double ru = m.m01 * py, rv = m.m11 * py;
    for (long long x = span.first; x < span.last; ++x) {
      const double px = gfx_centre_offset(x, m.tx);
      int i = column_of(m, gfx_sample(m.m00 * px, ru, m.pivot_x));
      int j = row_of(m, gfx_sample(m.m10 * px, rv, m.pivot_y));
      std::memcpy(row + (x - span.first) * b, job.pixels + ptrdiff_t(j) * job.pitch + ptrdiff_t(i) * b, size_t(b));
    }
    hand_over(job, row, span.first, y, n, 1, int(n * b));
  }
}

// ---- fast -------------------------------------------------------------------

template <int B>
inline void copy_pixel(uint8_t* to, const uint8_t* from) {
  std::memcpy(to, from, B);
}

// Row gathers by the target pixel's source column.
template <int B>
void gather_columns(uint8_t* to, const uint8_t* row, const int* columns, long long n) {
  for (long long k = 0; k < n; ++k) copy_pixel<B>(to + k * B, row + ptrdiff_t(columns[k]) * B);
}

// n pixels taken right to left from `from` (its last pixel first).
template <int B>
void reverse_row(uint8_t* to, const uint8_t* from_end, long long n);

template <>
void reverse_row<1>(uint8_t* to, const uint8_t* from_end, long long n) {
  for (long long k = 0; k < n; ++k) to[k] = from_end[-1 - k];
}

template <>
void reverse_row<2>(uint8_t* to, const uint8_t* from_end, long long n) {
  long long k = 0;
#if defined(__SSE2__)
  for (; k + 8 <= n; k += 8) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from_end - 2 * (k + 8)));
    v = _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3));
    v = _mm_shufflelo_epi16(_mm_shufflehi_epi16(v, _MM_SHUFFLE(2, 3, 0, 1)), _MM_SHUFFLE(2, 3, 0, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 2 * k), v);
  }
#endif
  for (; k < n; ++k) copy_pixel<2>(to + 2 * k, from_end - 2 * (k + 1));
}

template <>
void reverse_row<4>(uint8_t* to, const uint8_t* from_end, long long n) {
  long long k = 0;
#if defined(__SSE2__)
  for (; k + 4 <= n; k += 4) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from_end - 4 * (k + 4)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 4 * k), _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3)));
  }
#endif
  for (; k < n; ++k) copy_pixel<4>(to + 4 * k, from_end - 4 * (k + 1));
}

enum class ColumnRun { forward, backward, table };

// Scale +-1 with no rotation maps the columns onto consecutive source
// columns, left to right or right to left; any other scale needs the table.
ColumnRun column_run(const int* columns, long long n) {
  bool forward = true, backward = true;
  for (long long k = 1; k < n; ++k) {
    forward = forward && columns[k] == columns[0] + int(k);
    backward = backward && columns[k] == columns[0] - int(k);
  }
  return forward ? ColumnRun::forward : backward ? ColumnRun::backward : ColumnRun::table;
}

// The mapping keeps the axes (angle a multiple of 180 degrees): each source
// column depends on the target column alone and each source row on the
// target row alone, so the columns are one table and equal rows are copied.
template <int B>
void draw_axis_aligned(const TransformJob& job) {
  const InverseMap& m = job.map;
  const TargetBox& box = job.box;
  // The other axis' term is a signed zero here, which changes no sample.
  RowSpan cols = gfx_axis_span(m.m00, m.i00, 0.0, m.pivot_x, m.width, m.tx, box.x, box.x + box.width);
  RowSpan rows = gfx_axis_span(m.m11, 1.0 / m.m11, 0.0, m.pivot_y, m.height, m.ty, box.y, box.y + box.height);
  const long long n = cols.last - cols.first;
  if (n <= 0 || rows.first >= rows.last) return;
  int* columns = scratch<int>(size_t(n));
  for (long long k = 0; k < n; ++k)
    columns[k] = column_of(m, gfx_sample(m.m00 * gfx_centre_offset(cols.first + k, m.tx), 0.0, m.pivot_x));
  auto source_row = [&](long long y) {
    return row_of(m, gfx_sample(m.m11 * gfx_centre_offset(y, m.ty), 0.0, m.pivot_y));
  };
  const ColumnRun run = column_run(columns, n);

  // Scale 1 both ways, unflipped: the source rows as they are, one call.
  if (run == ColumnRun::forward) {
    int j0 = source_row(rows.first);
    bool consecutive = true;
    for (long long y = rows.first + 1; y < rows.last && consecutive; ++y)
      consecutive = source_row(y) == j0 + int(y - rows.first);
    if (consecutive) {
      const uint8_t* from = job.pixels + ptrdiff_t(j0) * job.pitch + ptrdiff_t(columns[0]) * B;
      uint8_t* to = job.ctx->line_table[rows.first] + ptrdiff_t(cols.first) * B;
      job.putter(from, to, int(n), int(rows.last - rows.first), job.pitch, job.ctx->pitch, job.alpha, job.blender,
                 job.parameter);
      gfx_mark_dirty(job.ctx, int(rows.first), int(rows.last - rows.first));
      return;
    }
  }

  const size_t row_bytes = size_t(n * B);
  int last_j = -1;
  hand_over_in_bands<B>(job, cols.first, rows.first, n, rows.last - rows.first,
                        [&](uint8_t* to, long long k, long long in_band) {
                          const int j = source_row(rows.first + k);
                          if (j == last_j && in_band > 0) {  // the row above in the band is the same
                            std::memcpy(to, to - row_bytes, row_bytes);
                            return;
                          }
                          last_j = j;
                          const uint8_t* src = job.pixels + ptrdiff_t(j) * job.pitch;
                          switch (run) {
                            case ColumnRun::forward: std::memcpy(to, src + ptrdiff_t(columns[0]) * B, row_bytes); break;
                            case ColumnRun::backward: reverse_row<B>(to, src + ptrdiff_t(columns[0] + 1) * B, n); break;
                            case ColumnRun::table: gather_columns<B>(to, src, columns, n); break;
                          }
                        });
}

// The samples of one row span: u[k] and v[k] are the columns' products, ru
// and rv the row's.
template <int B>
void gather_samples(uint8_t* row, const double* u, const double* v, long long n, double ru, double rv,
                    const TransformJob& job) {
  const InverseMap& m = job.map;
  for (long long k = 0; k < n; ++k) {
    int i = column_of(m, gfx_sample(u[k], ru, m.pivot_x));
    int j = row_of(m, gfx_sample(v[k], rv, m.pivot_y));
    copy_pixel<B>(row + k * B, job.pixels + ptrdiff_t(j) * job.pitch + ptrdiff_t(i) * B);
  }
}

#if defined(__x86_64__)
// Four samples at a time in 4-wide doubles (the same sums, so the same
// pixels), the source pixels fetched by one gather. 4 bytes per pixel.
__attribute__((target("avx2"))) void gather_samples4_avx2(uint8_t* row, const double* u, const double* v,
                                                          long long n, double ru, double rv, const TransformJob& job) {
  const InverseMap& m = job.map;
  const __m256d vru = _mm256_set1_pd(ru), vrv = _mm256_set1_pd(rv);
  const __m256d pu = _mm256_set1_pd(m.pivot_x), pv = _mm256_set1_pd(m.pivot_y);
  const __m128i last_i = _mm_set1_epi32(m.width - 1), last_j = _mm_set1_epi32(m.height - 1);
  const __m256i pitch = _mm256_set1_epi64x(job.pitch);
  const auto* base = reinterpret_cast<const int*>(job.pixels);
  long long k = 0;
  for (; k + 4 <= n; k += 4) {
    __m128i i = _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_add_pd(_mm256_loadu_pd(u + k), vru), pu));
    __m128i j = _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_add_pd(_mm256_loadu_pd(v + k), vrv), pv));
    if (m.flip_h) i = _mm_sub_epi32(last_i, i);
    if (m.flip_v) j = _mm_sub_epi32(last_j, j);
    __m256i at = _mm256_add_epi64(_mm256_mul_epi32(_mm256_cvtepi32_epi64(j), pitch),
                                  _mm256_slli_epi64(_mm256_cvtepi32_epi64(i), 2));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + 4 * k), _mm256_i64gather_epi32(base, at, 1));
  }
  gather_samples<4>(row + 4 * k, u + k, v + k, n - k, ru, rv, job);
}
#endif

using GatherFn = void (*)(uint8_t*, const double*, const double*, long long, double, double, const TransformJob&);

// The row gather of the highest level in use: AVX2 speeds up the 4-byte one.
template <int B>
GatherFn choose_gather(const RoutineLevels& levels) {
  GatherFn avx2 = nullptr;
#if defined(__x86_64__)
  if (B == 4) avx2 = gather_samples4_avx2;
#endif
  return level_member<GatherFn>(levels, {gather_samples<B>, nullptr, avx2});
}

// Any other angle: each row's span, its samples from the columns' products
// computed once per put.
template <int B>
void draw_rotated(const TransformJob& job) {
  const InverseMap& m = job.map;
  const TargetBox& box = job.box;
  const GatherFn gather = choose_gather<B>(job.levels);
  double* cu = scratch<double, 0>(size_t(box.width));
  double* cv = scratch<double, 1>(size_t(box.width));
  for (long long k = 0; k < box.width; ++k) {
    const double px = gfx_centre_offset(box.x + k, m.tx);
    cu[k] = m.m00 * px;
    cv[k] = m.m10 * px;
  }
  uint8_t* row = scratch<uint8_t>(size_t(box.width) * B);
  for (long long y = box.y; y < box.y + box.height; ++y) {
    RowSpan span = gfx_row_span(m, y, box.x, box.x + box.width);
    const long long n = span.last - span.first;
    if (n <= 0) continue;
    const double py = gfx_centre_offset(y, m.ty);
    gather(row, cu + (span.first - box.x), cv + (span.first - box.x), n, m.m01 * py, m.m11 * py, job);
    hand_over(job, row, span.first, y, n, 1, int(n * B));
  }
}

// Scale +-1 on both axes, angle 0 or 180, whole-pixel pivot: every sum of
// the rule is a half-integer of modest size, held exactly, so the source
// pixels follow by integer arithmetic. One axis of it: the first target
// pixel (a) and count within [lo, hi), and the source index of a, stepping
// by +1 (dir > 0) or -1.
struct UnitAxis {
  long long first, last;
  long long start;  // source index at first, flips applied
  int step;
};

bool unit_axis(double coefficient, double pivot, int size, int t, bool flip, long long lo, long long hi,
               UnitAxis* out) {
  const long long p = (long long)pivot;
  long long a, b;  // target range whose u lies in [0, size)
  if (coefficient > 0) {  // u = X + 0.5 - t + p: index X - t + p
    a = t - p;
    b = t - p + size;
  } else {  // u = p + t - X - 0.5: index p + t - X - 1
    a = p + t - size;
    b = p + t;
  }
  a = std::max(a, lo);
  b = std::min(b, hi);
  if (a >= b) return false;
  long long index = coefficient > 0 ? a - t + p : p + t - a - 1;
  int step = coefficient > 0 ? 1 : -1;
  if (flip) {
    index = size - 1 - index;
    step = -step;
  }
  *out = {a, b, index, step};
  return true;
}

bool is_unit(const InverseMap& m) {
  constexpr double kExactRange = double(1 << 30);
  auto whole = [&](double v) { return v == std::trunc(v) && std::fabs(v) < kExactRange; };
  return m.m01 == 0.0 && m.m10 == 0.0 && std::fabs(m.m00) == 1.0 && std::fabs(m.m11) == 1.0 && whole(m.pivot_x) &&
         whole(m.pivot_y);
}

template <int B>
void draw_unit(const TransformJob& job) {
  const InverseMap& m = job.map;
  const TargetBox& box = job.box;
  UnitAxis cols, rows;
  if (!unit_axis(m.m00, m.pivot_x, m.width, m.tx, m.flip_h, box.x, box.x + box.width, &cols) ||
      !unit_axis(m.m11, m.pivot_y, m.height, m.ty, m.flip_v, box.y, box.y + box.height, &rows))
    return;
  const long long n = cols.last - cols.first, h = rows.last - rows.first;
  // The source column where the gathered row starts: the leftmost one read.
  const long long left = cols.step > 0 ? cols.start : cols.start - (n - 1);
  if (cols.step > 0 && rows.step > 0) {
    const uint8_t* from = job.pixels + ptrdiff_t(rows.start) * job.pitch + ptrdiff_t(left) * B;
    hand_over(job, from, cols.first, rows.first, n, h, job.pitch);
    return;
  }
  hand_over_in_bands<B>(job, cols.first, rows.first, n, h, [&](uint8_t* to, long long k, long long) {
    const uint8_t* src = job.pixels + ptrdiff_t(rows.start + rows.step * k) * job.pitch;
    if (cols.step > 0)
      std::memcpy(to, src + ptrdiff_t(left) * B, size_t(n * B));
    else
      reverse_row<B>(to, src + ptrdiff_t(cols.start + 1) * B, n);
  });
}

template <int B>
void draw_fast_at(const TransformJob& job) {
  if (is_unit(job.map))
    draw_unit<B>(job);
  else if (job.map.m01 == 0.0 && job.map.m10 == 0.0)
    draw_axis_aligned<B>(job);
  else
    draw_rotated<B>(job);
}

void draw_fast(const TransformJob& job) {
  switch (job.bytes_per_pixel) {
    case 1: return draw_fast_at<1>(job);
    case 2: return draw_fast_at<2>(job);
    case 4: return draw_fast_at<4>(job);
  }
}

}  // namespace

TransformDrawFn gfx_transform_draw(const RoutineLevels& levels) {
  return level_member<TransformDrawFn>(levels, {draw_plain, draw_fast, nullptr});
}

int gfx_put_transformed(ImageBuffer* target, float x, float y, const ImageBuffer* source, const GfxRect* source_rect,
                        const GfxTransform* transform, Putter putter, int alpha, PutterBlender blender,
                        void* parameter) {
  return gfx_put_transformed_with(screen_routine_levels(screen_state), target, x, y, source, source_rect, transform, putter,
                                  alpha, blender, parameter);
}

int gfx_put_transformed_with(const RoutineLevels& levels, ImageBuffer* target, float x, float y,
                             const ImageBuffer* source, const GfxRect* source_rect, const GfxTransform* transform,
                             Putter putter, int alpha, PutterBlender blender, void* parameter) {
  PutStart start;
  if (int error = gfx_put_start(target, x, y, source, 0, 0, putter, &start)) return error;
  const SourceImage& src = start.src;
  GfxRect rect = source_rect ? *source_rect : GfxRect{0, 0, src.width, src.height};
  if (!source_rect && (rect.width == 0 || rect.height == 0)) return rt_set_error(ZQ_OK);
  if (rect.width <= 0 || rect.height <= 0 || rect.x < 0 || rect.y < 0 ||
      (long long)rect.x + rect.width > src.width || (long long)rect.y + rect.height > src.height)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "source rectangle (%d, %d) %d x %d is empty or outside the %d x %d image",
                   rect.x, rect.y, rect.width, rect.height, src.width, src.height);
  const GfxTransform plain{1.0, 1.0, 0.0, 0.0, 0.0, 0};
  const GfxTransform& t = transform ? *transform : plain;

  TransformJob job;
  const char* why = "";
  if (!gfx_inverse_map(t, rect.width, rect.height, start.dx, start.dy, &job.map, &why))
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s", why);
  job.ctx = start.ctx;
  job.bytes_per_pixel = src.bytes_per_pixel;
  job.pixels = src.pixels + ptrdiff_t(rect.y) * src.pitch + ptrdiff_t(rect.x) * src.bytes_per_pixel;
  job.pitch = src.pitch;
  job.putter = gfx_putter_routine(start.putter);
  job.levels = levels;
  job.alpha = alpha;
  job.blender = blender;
  job.parameter = parameter;
  job.box = mapped_box(t, job.map);
  long long unused_x = 0, unused_y = 0;
  if (!gfx_clip_to_view(gfx_view_clip(job.ctx), &job.box, &unused_x, &unused_y)) return rt_set_error(ZQ_OK);

  {
    GfxScreenLock lock;
    gfx_transform_draw(levels)(job);
  }
  return rt_set_error(ZQ_OK);
}
