#include <chrono>
#include <thread>

#include "rt_test_support.h"

namespace {

int g_frequency_calls;
int64_t g_frequency;
int64_t g_counter;
uint32_t g_ticks;

int64_t fake_frequency() {
  ++g_frequency_calls;
  return g_frequency;
}
int64_t fake_counter() { return g_counter; }
uint32_t fake_ticks() { return g_ticks; }
const RtClockSource kFakeClock = {fake_frequency, fake_counter, fake_ticks};

using RtTimer = RuntimeTest;

TEST_F(RtTimer, RealClockIsMonotonicAndCountsSeconds) {
  double previous = rt_timer();
  const double start = previous;
  for (int i = 0; i < 10000; ++i) {
    const double now = rt_timer();
    ASSERT_GE(now, previous);
    previous = now;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const double elapsed = rt_timer() - start;
  EXPECT_GE(elapsed, 0.045);
  EXPECT_LT(elapsed, 5.0);  // seconds, not milliseconds or counts
}

TEST_F(RtTimer, WithoutCounterFrequencyItFollowsTheTickCount) {
  g_frequency_calls = 0;
  g_frequency = 0;
  g_counter = 999999;
  g_ticks = 123456;
  rt_set_clock_source(&kFakeClock);
  EXPECT_DOUBLE_EQ(rt_timer(), 123.456);  // from the tick count, not from zero
  g_ticks = 123457;
  EXPECT_DOUBLE_EQ(rt_timer(), 123.457);
  EXPECT_EQ(g_frequency_calls, 1);  // the mode is chosen once

  // A new source chooses again: with a frequency, the counter is scaled by it.
  g_frequency = 1000;
  g_counter = -2500;
  rt_set_clock_source(&kFakeClock);
  EXPECT_DOUBLE_EQ(rt_timer(), -2.5);
  EXPECT_EQ(g_frequency_calls, 2);
}

}  // namespace
