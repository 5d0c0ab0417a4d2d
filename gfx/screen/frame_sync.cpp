// Frame pacing: a steady clock of frame times, start + n x (1 / fps), that
// the program waits on once per frame. The wait sleeps until shortly before
// the frame time and spends only the last fraction of a millisecond
// watching the clock, so a loop that draws nothing costs next to no
// processor time. Frame times follow from the start, not from the end of the
// last wait, so late wake-ups never add up to drift; a program that comes
// late to a frame time gets it at once, and learns of those it missed.
#include <sched.h>
#include <time.h>

#include <cstdint>

#include "runtime/rt_core.h"
#include "zentravolk/screen.h"

namespace {

constexpr int64_t kNanosPerSecond = 1'000'000'000;
// Woken this long before the frame time, the wait watches the clock for the
// rest: a sleeping thread may wake a little late, the clock never does.
constexpr int64_t kWatchNanos = 500'000;

struct FrameClock {
  int fps = 0;          // the rate the clock runs at; 0 before the first wait
  int64_t start = 0;    // monotonic nanoseconds of frame time 0
  int64_t next = 0;     // number of the frame time the next wait is for
} frame_clock;

int64_t now_nanos() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return int64_t(t.tv_sec) * kNanosPerSecond + t.tv_nsec;
}

int64_t frame_time(const FrameClock& c, int64_t n) { return c.start + n * kNanosPerSecond / c.fps; }

void sleep_until(int64_t deadline) {
  const int64_t wake = deadline - kWatchNanos;
  if (wake > now_nanos()) {
    timespec t{time_t(wake / kNanosPerSecond), long(wake % kNanosPerSecond)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) != 0) {
    }
  }
  while (now_nanos() < deadline) sched_yield();
}

}  // namespace

int gfx_frame_sync(int fps) {
  if (fps <= 0 || fps > ZQ_FRAME_SYNC_MAX_FPS) {
    rt_fail(ZQ_ERR_ILLEGAL_CALL, "frame rate %d outside 1..%d", fps, ZQ_FRAME_SYNC_MAX_FPS);
    return -1;
  }
  const int64_t now = now_nanos();
  FrameClock& c = frame_clock;
  if (c.fps != fps) {
    // A new rate starts a new clock: its first frame time is one frame away.
    c.fps = fps;
    c.start = now;
    c.next = 1;
  }
  rt_set_error(ZQ_OK);
  if (frame_time(c, c.next) > now) {
    sleep_until(frame_time(c, c.next));
    ++c.next;
    return 0;
  }
  // The frame time waited for has passed: the program is late, and the
  // latest frame time at or before now is due at once. The ones between
  // went by without a frame.
  const int64_t due = (now - c.start) * fps / kNanosPerSecond;
  const int64_t missed = due - c.next;
  c.next = due + 1;
  return missed > INT32_MAX ? INT32_MAX : int(missed);
}
