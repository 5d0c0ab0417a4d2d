// The program clock: seconds on a monotonic counter, or on the millisecond
// tick count when no counter frequency can be had.
#include <ctime>

#include "runtime/rt_core.h"
#include "runtime/rt_internal.h"

namespace {

constexpr int64_t kNanosecondsPerSecond = 1000000000;

int64_t monotonic_nanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
}

int64_t real_frequency() { return kNanosecondsPerSecond; }
int64_t real_counter() { return monotonic_nanoseconds(); }
uint32_t real_tick_count() {
  // Wraps at 2^32 milliseconds, like the tick count it stands for.
  return uint32_t(uint64_t(monotonic_nanoseconds() / 1000000));
}

constexpr RtClockSource kRealClock = {real_frequency, real_counter, real_tick_count};

enum ClockMode { kClockUnset = 0, kClockTicks = 1, kClockCounter = 2 };

RtClockSource g_source = kRealClock;
int g_mode = kClockUnset;
double g_seconds_per_count;

}  // namespace

void rt_timer_reset() {
  g_source = kRealClock;
  g_mode = kClockUnset;
  g_seconds_per_count = 0.0;
}

void rt_set_clock_source(const RtClockSource* source) {
  g_source = kRealClock;
  if (source) {
    // A missing operation falls back to the real clock's.
    if (source->frequency) g_source.frequency = source->frequency;
    if (source->counter) g_source.counter = source->counter;
    if (source->tick_count) g_source.tick_count = source->tick_count;
  }
  g_mode = kClockUnset;
  g_seconds_per_count = 0.0;
}

double rt_timer() {
  if (g_mode == kClockUnset) {
    const int64_t frequency = g_source.frequency();
    if (frequency <= 0) {
      g_mode = kClockTicks;
    } else {
      g_seconds_per_count = 1.0 / double(frequency);
      g_mode = kClockCounter;
    }
  }
  if (g_mode == kClockTicks) return double(g_source.tick_count()) * 0.001;
  return double(g_source.counter()) * g_seconds_per_count;
}
