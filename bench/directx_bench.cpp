// The DirectX driver on a real X server (the one in DISPLAY, else an Xvfb
// started here, with Mesa's OpenGL behind the renderer):
//
// - game_fps: the game's frames per second on DirectX and on the null
//   driver in the same run (display_probe, four alternating rounds of
//   1.5 s, the best of each); the ratio says what showing the frames costs
//   the game.
// - driver_pass: one pass of the driver thread for a 640 x 480 x 32 screen
//   whose rows are all dirty, DirectX against GDI: from the first touch of
//   the display's pixels to the end of the present (DirectX) or of the
//   upload (GDI), timed inside the window system.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "drivers/driver.h"
#include "gfx/screen/screen.h"
#include "platform/window_system.h"
#include "tests/display/display_support.h"

namespace {

using namespace display_test;
using Ns = std::chrono::nanoseconds;

bool have_display() {
  if (std::getenv("DISPLAY")) return true;
  static XvfbServer server;
  static bool started = server.start();
  return started;
}

// ---- the game, on DirectX and on Null ----

// Frames the probe draws in `seconds` on the driver ZQGFX names (none:
// the screen opening's own choice); 0 when it did not run.
double probe_fps(const char* wanted, double seconds, std::string* driver) {
  if (wanted)
    setenv("ZQGFX", wanted, 1);
  else
    unsetenv("ZQGFX");
  std::string probe = build_dir() + "/tools/display_check/display_probe";
  Child child({probe, ZQ_DATA_DIR, std::to_string(seconds)}, "", true);
  std::string line = child.read_until("frames ", std::chrono::milliseconds(int(seconds * 1000) + 20000));
  child.wait_exit(5000ms);
  unsetenv("ZQGFX");
  long frames = 0;
  double took = 0;
  if (std::sscanf(line.c_str(), "frames %ld seconds %lf", &frames, &took) != 2 || took <= 0) return 0;
  *driver = wanted ? wanted : "DirectX";
  return double(frames) / took;
}

void game_fps(benchmark::State& state) {
  if (!have_display()) {
    state.SkipWithError("no X server");
    return;
  }
  for (auto _ : state) {
    // Alternating rounds, the best of each: a machine whose load changes
    // during the run slows both alike.
    std::string a, b;
    double directx = 0, null = 0;
    for (int round = 0; round < 4; ++round) {
      directx = std::max(directx, probe_fps(nullptr, 1.5, &a));
      null = std::max(null, probe_fps("null", 1.5, &b));
    }
    if (directx <= 0 || null <= 0) {
      state.SkipWithError("display_probe did not run");
      return;
    }
    state.counters["fps_directx"] = directx;
    state.counters["fps_null"] = null;
    state.counters["directx_per_null"] = directx / null;
  }
}
BENCHMARK(game_fps)->Iterations(1)->Unit(benchmark::kSecond);

// ---- one driver pass, timed inside the window system ----

WindowSystem timed;
std::atomic<int64_t> pass_started{0};
std::atomic<int64_t> pass_took{0};
std::atomic<int> passes{0};
std::atomic<bool> pass_open{false};

int64_t now_ns() { return std::chrono::duration_cast<Ns>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

void pass_begins() {
  pass_started = now_ns();
  pass_open = true;
}
void pass_ends() {
  if (!pass_open.exchange(false)) return;  // a repaint, not a pass
  pass_took = now_ns() - pass_started;
  ++passes;
}

// DirectX: texture lock .. present.
bool timed_lock_texture(WsTexture* t, WsSurface* p) {
  pass_begins();
  return sdl_window_system.lock_texture(t, p);
}
bool timed_present(WsTexture* t, const WsRect* place) {
  bool ok = sdl_window_system.present_texture(t, place);
  pass_ends();
  return ok;
}
// GDI: surface .. upload.
bool timed_surface(WsWindow* w, WsSurface* s) {
  pass_begins();
  return sdl_window_system.surface(w, s);
}
bool timed_upload(WsWindow* w, int first, int count) {
  bool ok = sdl_window_system.upload_rows(w, first, count);
  pass_ends();
  return ok;
}

void driver_pass(benchmark::State& state, const GfxDriver* driver) {
  if (!have_display()) {
    state.SkipWithError("no X server");
    return;
  }
  timed = sdl_window_system;
  timed.lock_texture = timed_lock_texture;
  timed.present_texture = timed_present;
  timed.surface = timed_surface;
  timed.upload_rows = timed_upload;
  set_window_system(&timed);
  const GfxDriver* only[] = {driver, nullptr};
  driver_set_list(only);
  unsetenv("ZQGFX");
  if (gfx_screen_res(640, 480, 32, 2, 0, 0) != 0) {
    state.SkipWithError("the driver did not start");
    return;
  }
  ScreenState* s = screen_state;
  driver->lock();
  for (int y = 0; y < s->height; ++y)
    for (int x = 0; x < s->width; ++x) {
      uint32_t v = 0xFF000000u | uint32_t(x * 0x10101 ^ y * 0x3F);
      std::memcpy(s->visible_pixels + size_t(y) * size_t(s->pitch) + size_t(x) * 4, &v, 4);
    }
  driver->unlock();
  for (auto _ : state) {
    int before = passes;
    driver->lock();
    std::memset(s->dirty_rows, 1, size_t(s->height));
    driver->unlock();
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (passes == before && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(200us);
    if (passes == before) {
      state.SkipWithError("no pass came");
      break;
    }
    state.SetIterationTime(double(pass_took) * 1e-9);
  }
  gfx_screen(0, 0, 0, 0, 0);
  driver_set_list(nullptr);
  set_window_system(nullptr);
}
BENCHMARK_CAPTURE(driver_pass, directx, &directx_driver)->UseManualTime()->Iterations(300)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(driver_pass, gdi, &gdi_driver)->UseManualTime()->Iterations(300)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
