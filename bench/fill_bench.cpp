// Span fill and whole-page clear (640 x 480) at 1, 2 and 4 bytes per pixel:
// the plain set, the fast set and the C library's memset over the same bytes;
// and the fast set's clear of a 1920 x 1080 32-bit page, larger than the
// second-level cache.
// Each plain or fast run times memset on the same buffer in between its own
// batches, so the counter "per_memset" (fill throughput / memset throughput)
// compares the two under the same conditions; it is taken from the fastest
// batch of each, which a busy machine disturbs least.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "gfx/draw/pixel_routines.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr int kWideWidth = 1920, kWideHeight = 1080;
constexpr size_t kBatchBytes = size_t(1) << 20;  // bytes written per timed batch

enum class Kind { Plain, Fast, Memset };

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

// One timed batch of `reps` fills of `pixels` pixels.
double time_fill(FillSpanFn fill, uint8_t* buf, uint32_t colour, int pixels, int reps) {
  auto t0 = Clock::now();
  for (int r = 0; r < reps; ++r) {
    fill(buf, colour, pixels);
    benchmark::ClobberMemory();
  }
  return seconds_since(t0);
}

double time_memset(uint8_t* buf, size_t bytes, int reps) {
  auto t0 = Clock::now();
  for (int r = 0; r < reps; ++r) {
    std::memset(buf, 0x5A, bytes);
    benchmark::ClobberMemory();
  }
  return seconds_since(t0);
}

void fill_bench(benchmark::State& state, Kind kind, int bpp, int pixels) {
  size_t bytes = size_t(pixels) * size_t(bpp);
  // Page-aligned like the screen's page buffers.
  auto* buf = static_cast<uint8_t*>(std::aligned_alloc(4096, (bytes + 4095) / 4096 * 4096));
  std::memset(buf, 0, bytes);
  benchmark::DoNotOptimize(buf);
  FillSpanFn fill = kind == Kind::Plain ? gfx_plain_routines(bpp, false).fill : gfx_level_set(routine_levels(), bpp, false).routines.fill;
  benchmark::DoNotOptimize(fill);
  int reps = bytes >= kBatchBytes ? 1 : int(kBatchBytes / bytes);
  uint32_t colour = 0x11223344u;
  double best_fill = 1e30, best_memset = 1e30;
  for (auto _ : state) {
    double t = kind == Kind::Memset ? time_memset(buf, bytes, reps) : time_fill(fill, buf, colour, pixels, reps);
    state.SetIterationTime(t);
    if (kind != Kind::Memset) {
      best_fill = std::min(best_fill, t);
      best_memset = std::min(best_memset, time_memset(buf, bytes, reps));
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * reps * int64_t(bytes));
  if (kind != Kind::Memset) {
    double batch_gb = double(reps) * double(bytes) / 1e9;
    state.counters["per_memset"] = best_memset / best_fill;
    state.counters["best_GBps"] = batch_gb / best_fill;
    state.counters["memset_best_GBps"] = batch_gb / best_memset;
  }
  std::free(buf);
}

void span_plain(benchmark::State& s, int bpp) { fill_bench(s, Kind::Plain, bpp, kWidth); }
void span_fast(benchmark::State& s, int bpp) { fill_bench(s, Kind::Fast, bpp, kWidth); }
void span_memset(benchmark::State& s, int bpp) { fill_bench(s, Kind::Memset, bpp, kWidth); }
void page_plain(benchmark::State& s, int bpp) { fill_bench(s, Kind::Plain, bpp, kWidth * kHeight); }
void page_fast(benchmark::State& s, int bpp) { fill_bench(s, Kind::Fast, bpp, kWidth * kHeight); }
void page_memset(benchmark::State& s, int bpp) { fill_bench(s, Kind::Memset, bpp, kWidth * kHeight); }
void wide_page_fast(benchmark::State& s, int bpp) { fill_bench(s, Kind::Fast, bpp, kWideWidth * kWideHeight); }

#define FILL_BENCH(fn)                                     \
  BENCHMARK_CAPTURE(fn, 8bpp, 1)->UseManualTime();  \
  BENCHMARK_CAPTURE(fn, 16bpp, 2)->UseManualTime(); \
  BENCHMARK_CAPTURE(fn, 32bpp, 4)->UseManualTime()

FILL_BENCH(span_plain);
FILL_BENCH(span_fast);
FILL_BENCH(span_memset);
FILL_BENCH(page_plain);
FILL_BENCH(page_fast);
FILL_BENCH(page_memset);
BENCHMARK_CAPTURE(wide_page_fast, 32bpp, 4)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
