// The game's frames per second on the GDI driver against the null driver,
// in the same run: both play the unlimited frame loop for the same time in
// an Xvfb server started here. The GDI driver's thread copies the dirty rows
// every 10 ms under the screen lock; the figure to watch is gdi_over_null.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/display/display_support.h"

namespace {

using namespace display_test;

constexpr const char* kSeconds = "1.5";
constexpr int kRounds = 4;

// Frames per second of one timed run of the game: on the null driver, or
// with the screen opening offered the named driver only.
double game_fps(const std::string& driver) {
  std::vector<std::string> command = {build_dir() + "/tools/display_check/display_probe"};
  if (driver == "null") {
    setenv("ZQGFX", "null", 1);
  } else {
    unsetenv("ZQGFX");
    command.insert(command.end(), {"--only", driver});
  }
  command.insert(command.end(), {data_dir(), kSeconds});
  Child probe(command, "", true);
  std::string line = probe.read_until("frames ", std::chrono::milliseconds(30000));
  probe.wait_exit(std::chrono::milliseconds(5000));
  long frames = 0;
  double seconds = 0;
  if (std::sscanf(line.c_str(), "frames %ld seconds %lf", &frames, &seconds) != 2 || seconds <= 0) return 0;
  return double(frames) / seconds;
}

void BM_GameFpsGdiAgainstNull(benchmark::State& state) {
  XvfbServer server;
  if (!server.start()) {
    state.SkipWithError("Xvfb did not start");
    return;
  }
  double null_fps = 0, gdi_fps = 0;
  for (auto _ : state) {
    // Alternated, so both see the same machine load.
    for (int round = 0; round < kRounds; ++round) {
      null_fps += game_fps("null") / kRounds;
      gdi_fps += game_fps("GDI") / kRounds;
    }
  }
  unsetenv("ZQGFX");
  state.counters["null_fps"] = null_fps;
  state.counters["gdi_fps"] = gdi_fps;
  state.counters["gdi_over_null"] = null_fps > 0 ? gdi_fps / null_fps : 0;
}
BENCHMARK(BM_GameFpsGdiAgainstNull)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
