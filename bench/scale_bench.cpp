// The window picture of a scaled screen on the plain-surface (GDI) path: a
// whole 640 x 480 32-bit page converted (the chosen blitter, into the
// conversion rows) and shown twice as wide and high in a 1280 x 960 32-bit
// surface by the whole-number scaler, against memcpy of the 1280 x 960 x 4
// output bytes (what any way of filling that surface must at least store).
// The fast and plain scalers are timed; each contender runs a batch in turn
// within one iteration, and the table gives the fastest batches' times and
// the scaled path's speed as a share of memcpy's (memcpy time / our time).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "bench/bench_timing.h"
#include "drivers/blitters.h"
#include "drivers/scalers.h"
#include "drivers/screen_state.h"

namespace {

constexpr int kWidth = 640, kHeight = 480, kScale = 2, kBytes = 4;
constexpr int kReps = 20;

struct Page {
  Page() {
    std::mt19937 random(3);
    state.width = kWidth;
    state.height = kHeight;
    state.depth = 32;
    state.bytes_per_pixel = kBytes;
    state.pitch = kWidth * kBytes;
    state.scanline_size = 1;
    state.flags = kScreenHasMmx;
    pixels.resize(size_t(state.pitch) * kHeight);
    for (auto& b : pixels) b = uint8_t(random());
    dirty.assign(kHeight, 1);
    state.visible_pixels = pixels.data();
    state.dirty_rows = dirty.data();
    screen_state = &state;
  }
  ~Page() { screen_state = nullptr; }
  ScreenState state{};
  std::vector<uint8_t> pixels, dirty;
};

struct Times {
  std::vector<double> fast, plain, copy;
} times;

void bm_scaled_page(benchmark::State& state) {
  Page page;
  Blitter blit = choose_blitter(32, kOrderNormal);
  Scaler fast = choose_scaler(kBytes, kScale, routine_levels());
  Scaler plain = choose_scaler(kBytes, kScale, kPlainLevelOnly);
  const int rows_pitch = kWidth * kBytes, surface_pitch = kWidth * kScale * kBytes;
  std::vector<uint8_t> rows(size_t(rows_pitch) * kHeight);
  std::vector<uint8_t> surface(size_t(surface_pitch) * kHeight * kScale), source(surface.size());
  for (auto _ : state) {
    time_iteration(state, times.fast, kReps, [&] {
      blit(rows.data(), rows_pitch);
      fast(rows.data(), rows_pitch, kWidth, kHeight, surface.data(), surface_pitch);
    });
    times.plain.push_back(timed(kReps, [&] {
      blit(rows.data(), rows_pitch);
      plain(rows.data(), rows_pitch, kWidth, kHeight, surface.data(), surface_pitch);
    }));
    times.copy.push_back(timed(kReps, [&] { std::memcpy(surface.data(), source.data(), surface.size()); }));
  }
  state.SetBytesProcessed(state.iterations() * int64_t(surface.size()) * kReps);
}

}  // namespace

int main(int argc, char** argv) {
  register_timed("scaled_page/640x480x32_to_1280x960", 0.5, bm_scaled_page);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const double f = fastest(times.fast), p = fastest(times.plain), c = fastest(times.copy);
  if (f <= 0 || p <= 0 || c <= 0) return 0;
  std::printf("\n%-28s %10s %10s\n", "640x480x32 -> 1280x960", "us", "memcpy/us");
  std::printf("%-28s %10.1f %9.2fx\n", "fast scaled path", f * 1e6, c / f);
  std::printf("%-28s %10.1f %9.2fx\n", "plain scaled path", p * 1e6, c / p);
  std::printf("%-28s %10.1f %9.2fx\n", "memcpy of the output bytes", c * 1e6, 1.0);
  return 0;
}
