// Conversion blitters against SDL's own pixel conversion on a fully dirty
// 640 x 480 frame: 32 to 16 (5-6-5), 32 to 15 (5-5-5), 32 to 24 (bytes blue,
// green, red), 16 to 32 and 8 (palette) to 32. Each conversion is timed for
// the member the chooser picks on a processor with the fast set, for the
// plain member, and for SDL (SDL_ConvertPixels; for the palette source a
// blit between a paletted surface and a 32-bit one, both made beforehand).
// After the runs a table gives the median CPU times, the throughput and the
// speed-up over SDL (SDL time / our time).
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "drivers/blitters.h"
#include "drivers/screen_state.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr int64_t kPixels = int64_t(kWidth) * kHeight;

struct Conversion {
  const char* name;
  int source_depth, destination_depth;
  uint32_t sdl_source, sdl_destination;
};

const Conversion kConversions[] = {
    {"32to16", 32, 16, SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_RGB565},
    {"32to15", 32, 15, SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_RGB555},
    {"32to24", 32, 24, SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_BGR24},
    {"16to32", 16, 32, SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_ARGB8888},
    {"8to32", 8, 32, SDL_PIXELFORMAT_INDEX8, SDL_PIXELFORMAT_ARGB8888},
};

int bytes_of(int depth) { return depth <= 8 ? 1 : depth <= 16 ? 2 : depth == 24 ? 3 : 4; }

// A random, fully dirty screen of the source depth, published as the open
// screen for the blitters.
struct Frame {
  explicit Frame(int depth, bool fast) {
    std::mt19937 rng(1);
    state.width = kWidth;
    state.height = kHeight;
    state.depth = depth;
    state.bytes_per_pixel = bytes_of(depth);
    state.pitch = kWidth * state.bytes_per_pixel;
    state.scanline_size = 1;
    state.flags = fast ? kScreenHasMmx : 0;
    pixels.resize(size_t(state.pitch) * kHeight);
    for (auto& b : pixels) b = uint8_t(rng());
    dirty.assign(kHeight, 1);
    palette.resize(256);
    for (auto& p : palette) p = rng() & 0xFFFFFF;
    table.resize(512);
    state.visible_pixels = pixels.data();
    state.dirty_rows = dirty.data();
    state.device_palette = palette.data();
    screen_state = &state;
    screen_conversion_table = table.data();
  }
  ~Frame() {
    screen_state = nullptr;
    screen_conversion_table = nullptr;
  }
  ScreenState state{};
  std::vector<uint8_t> pixels, dirty;
  std::vector<uint32_t> palette, table;
};

void finish(benchmark::State& state, const Conversion& c) {
  state.SetItemsProcessed(state.iterations() * kPixels);
  state.SetBytesProcessed(state.iterations() * kPixels * bytes_of(c.destination_depth));
}

void bm_ours(benchmark::State& state, const Conversion& c, bool fast) {
  Frame frame(c.source_depth, fast);
  Blitter blit = choose_blitter(c.destination_depth, kOrderNormal);
  if (!blit) {
    state.SkipWithError("no blitter");
    return;
  }
  const int pitch = kWidth * bytes_of(c.destination_depth);
  std::vector<uint8_t> out(size_t(pitch) * kHeight);
  for (auto _ : state) {
    blit(out.data(), pitch);
    benchmark::ClobberMemory();
  }
  finish(state, c);
}

void bm_sdl(benchmark::State& state, const Conversion& c) {
  Frame frame(c.source_depth, false);
  const int pitch = kWidth * bytes_of(c.destination_depth);
  std::vector<uint8_t> out(size_t(pitch) * kHeight);
  if (c.sdl_source != SDL_PIXELFORMAT_INDEX8) {
    for (auto _ : state) {
      if (SDL_ConvertPixels(kWidth, kHeight, c.sdl_source, frame.pixels.data(), frame.state.pitch, c.sdl_destination,
                            out.data(), pitch) != 0) {
        state.SkipWithError(SDL_GetError());
        return;
      }
      benchmark::ClobberMemory();
    }
    finish(state, c);
    return;
  }
  SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(frame.pixels.data(), kWidth, kHeight, 8, frame.state.pitch,
                                                        SDL_PIXELFORMAT_INDEX8);
  SDL_Surface* dst =
      SDL_CreateRGBSurfaceWithFormatFrom(out.data(), kWidth, kHeight, 32, pitch, c.sdl_destination);
  if (!src || !dst) {
    state.SkipWithError(SDL_GetError());
  } else {
    std::vector<SDL_Color> colours(256);
    for (int i = 0; i < 256; ++i) {
      uint32_t p = frame.palette[i];
      colours[i] = SDL_Color{uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16), 255};
    }
    SDL_SetPaletteColors(src->format->palette, colours.data(), 0, 256);
    SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_NONE);
    for (auto _ : state) {
      if (SDL_BlitSurface(src, nullptr, dst, nullptr) != 0) {
        state.SkipWithError(SDL_GetError());
        break;
      }
      benchmark::ClobberMemory();
    }
    finish(state, c);
  }
  SDL_FreeSurface(dst);
  SDL_FreeSurface(src);
}

// Keeps the median CPU time (microseconds) of every benchmark by name: the
// conversions are single-threaded, and CPU time is steadier than wall time
// on a shared machine.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        medians[run.run_name.function_name] = run.GetAdjustedCPUTime();
  }
  std::map<std::string, double> medians;
};

}  // namespace

int main(int argc, char** argv) {
  for (const Conversion& c : kConversions) {
    const std::string n = c.name;
    // Five repetitions each; the table below uses their medians.
    for (auto* b : {benchmark::RegisterBenchmark(("fast/" + n).c_str(), bm_ours, c, true),
                    benchmark::RegisterBenchmark(("plain/" + n).c_str(), bm_ours, c, false),
                    benchmark::RegisterBenchmark(("sdl/" + n).c_str(), bm_sdl, c)})
      b->Unit(benchmark::kMicrosecond)->MinTime(0.1)->Repetitions(5)->ReportAggregatesOnly(true);
  }
  benchmark::Initialize(&argc, argv);
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\n%-8s %10s %10s %10s %12s %12s %10s %10s\n", "640x480", "fast us", "plain us", "SDL us", "fast Mpx/s",
              "SDL Mpx/s", "SDL/fast", "SDL/plain");
  for (const Conversion& c : kConversions) {
    const std::string n = c.name;
    auto& m = reporter.medians;
    if (!m.count("fast/" + n) || !m.count("plain/" + n) || !m.count("sdl/" + n)) continue;
    double f = m["fast/" + n], p = m["plain/" + n], s = m["sdl/" + n];
    std::printf("%-8s %10.1f %10.1f %10.1f %12.0f %12.0f %9.2fx %9.2fx\n", c.name, f, p, s, kPixels / f, kPixels / s,
                s / f, s / p);
  }
  return 0;
}
