// Taking events out of the screen's EventQueue: order and fields, the full
// queue, waiting with and without a limit, drivers that pump their window on
// the program's thread, no screen, and a driver thread posting while the
// program reads.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "drivers/driver.h"
#include "gfx/input/input.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "zentravolk/events.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double elapsed_ms(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

void post(int type, int a = 0, int b = 0, int c = 0, int d = 0) {
  const GfxEvent event{type, a, b, c, d};
  driver_host()->post_event(&event);
}

// A driver without a thread: its window posts only when it is pumped. The
// third pump brings a key press.
int pumps = 0;
const GfxDriver pumping_driver = {
    "Pumping", nullptr, nullptr, [] {}, [] {}, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    [] {
      if (++pumps == 3) post(ZQ_EVENT_KEY_PRESS, ZQ_SC_SPACE, ' ');
    },
};

// A thread driver's lock: a real mutex, held by the poster as a driver
// thread holds it while it pumps its window.
std::mutex driver_mutex;
const GfxDriver mutex_driver = {
    "Mutex", nullptr, nullptr, [] { driver_mutex.lock(); }, [] { driver_mutex.unlock(); }, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

class Events : public ::testing::Test {
 protected:
  void SetUp() override {
    rt_init(0, nullptr, 1);
    setenv("ZQGFX", "null", 1);
    ASSERT_EQ(gfx_screen_res(64, 48, 32, 1, 0, 0), 0);
    pumps = 0;
  }
  void TearDown() override {
    gfx_close_at_exit();
    unsetenv("ZQGFX");
  }
  InputEvent event{};
};
using EventsThreads = Events;

TEST_F(Events, ComeOutOldestFirstWithTheirFields) {
  post(ZQ_EVENT_KEY_PRESS, 0x1E, 'a');
  post(ZQ_EVENT_MOUSE_MOVE, 10, 20, -3, 4);
  post(ZQ_EVENT_BUTTON_RELEASE, ZQ_BUTTON_RIGHT);
  post(ZQ_EVENT_FULL_SCREEN, 1);

  ASSERT_EQ(gfx_poll_event(&event), ZQ_OK);
  EXPECT_EQ(event.type, ZQ_EVENT_KEY_PRESS);
  EXPECT_EQ(event.key.scancode, 0x1E);
  EXPECT_EQ(event.key.character, 'a');
  ASSERT_EQ(gfx_wait_event(&event, 0), ZQ_OK);
  EXPECT_EQ(event.type, ZQ_EVENT_MOUSE_MOVE);
  EXPECT_EQ(event.mouse.x, 10);
  EXPECT_EQ(event.mouse.y, 20);
  EXPECT_EQ(event.mouse.dx, -3);
  EXPECT_EQ(event.mouse.dy, 4);
  ASSERT_EQ(gfx_wait_event(&event, -1), ZQ_OK);
  EXPECT_EQ(event.type, ZQ_EVENT_BUTTON_RELEASE);
  EXPECT_EQ(event.button.bit, ZQ_BUTTON_RIGHT);
  ASSERT_EQ(gfx_poll_event(&event), ZQ_OK);
  EXPECT_EQ(event.display.full_screen, 1);
  EXPECT_EQ(rt_get_error(), ZQ_OK);

  // An empty queue is not an error, and leaves no stale event behind.
  rt_set_error(3);
  EXPECT_EQ(gfx_poll_event(&event), ZQ_NO_EVENT);
  EXPECT_EQ(event.type, ZQ_EVENT_NONE);
  EXPECT_EQ(event.values[4], 0);
  EXPECT_EQ(rt_get_error(), ZQ_OK);
}

TEST_F(Events, AFullQueueKeepsTheLast127) {
  for (int n = 1; n <= 200; ++n) post(1000 + n, n);
  int taken = 0, expected = 200 - 127 + 1;
  while (gfx_poll_event(&event) == ZQ_OK) {
    ASSERT_EQ(event.type, 1000 + expected);
    ASSERT_EQ(event.values[1], expected);
    ++expected;
    ++taken;
  }
  EXPECT_EQ(taken, 127);
  EXPECT_EQ(expected, 201);
}

TEST_F(Events, ProgramEventsJoinTheQueueInOrder) {
  post(ZQ_EVENT_FOCUS_IN);
  InputEvent own{};
  own.values[0] = 0x100;  // a type of the program's own
  own.values[4] = -7;
  EXPECT_EQ(gfx_push_event(&own), ZQ_OK);
  EXPECT_EQ(gfx_push_event(nullptr), ZQ_ERR_ILLEGAL_CALL);
  ASSERT_EQ(gfx_poll_event(&event), ZQ_OK);
  EXPECT_EQ(event.type, ZQ_EVENT_FOCUS_IN);
  ASSERT_EQ(gfx_poll_event(&event), ZQ_OK);
  EXPECT_EQ(event.type, 0x100);
  EXPECT_EQ(event.values[4], -7);
  EXPECT_EQ(gfx_poll_event(&event), ZQ_NO_EVENT);
}

TEST_F(Events, WithoutAScreenEveryCallIsIllegalAndReturnsAtOnce) {
  gfx_close_at_exit();
  event.type = 99;
  const auto start = Clock::now();
  EXPECT_EQ(gfx_poll_event(&event), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(event.type, ZQ_EVENT_NONE);
  EXPECT_EQ(gfx_wait_event(&event, -1), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(gfx_wait_event(&event, 5000), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_LT(elapsed_ms(start), 1000.0);
  EXPECT_EQ(gfx_push_event(&event), ZQ_ERR_ILLEGAL_CALL);
  // A new screen starts with an empty queue.
  ASSERT_EQ(gfx_screen_res(64, 48, 32, 1, 0, 0), 0);
  EXPECT_EQ(gfx_poll_event(nullptr), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(gfx_wait_event(nullptr, -1), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(gfx_poll_event(&event), ZQ_NO_EVENT);
}

TEST_F(Events, WaitEndsAtItsLimitWithoutAnEventAndAtOnceWithOne) {
  auto start = Clock::now();
  EXPECT_EQ(gfx_wait_event(&event, 120), ZQ_NO_EVENT);
  const double waited = elapsed_ms(start);
  EXPECT_GE(waited, 120.0);
  EXPECT_LT(waited, 1000.0);
  EXPECT_EQ(event.type, ZQ_EVENT_NONE);

  post(ZQ_EVENT_CLOSE);
  start = Clock::now();
  EXPECT_EQ(gfx_wait_event(&event, 5000), ZQ_OK);
  EXPECT_LT(elapsed_ms(start), 100.0);
  EXPECT_EQ(event.type, ZQ_EVENT_CLOSE);
}

TEST_F(Events, PumpingDriversAreHandledWhileTheProgramWaitsOrPolls) {
  screen_state->driver = &pumping_driver;
  EXPECT_EQ(gfx_poll_event(&event), ZQ_NO_EVENT);
  EXPECT_EQ(pumps, 1);
  ASSERT_EQ(gfx_wait_event(&event, 5000), ZQ_OK);
  EXPECT_EQ(pumps, 3);
  EXPECT_EQ(event.key.scancode, ZQ_SC_SPACE);
  EXPECT_EQ(event.key.character, ' ');
  // Pumped in steps, a wait with no limit still ends when an event comes.
  pumps = 2;
  ASSERT_EQ(gfx_wait_event(&event, -1), ZQ_OK);
  EXPECT_EQ(event.type, ZQ_EVENT_KEY_PRESS);
}

TEST_F(EventsThreads, AWaitingProgramWakesForAnEventFromTheDriverThread) {
  screen_state->driver = &mutex_driver;
  std::thread driver_thread([] {
    std::this_thread::sleep_for(50ms);
    std::lock_guard<std::mutex> held(driver_mutex);
    post(ZQ_EVENT_BUTTON_PRESS, ZQ_BUTTON_LEFT);
  });
  const auto start = Clock::now();
  EXPECT_EQ(gfx_wait_event(&event, -1), ZQ_OK);
  EXPECT_LT(elapsed_ms(start), 5000.0);
  EXPECT_EQ(event.button.bit, ZQ_BUTTON_LEFT);
  driver_thread.join();
}

TEST_F(EventsThreads, TheDriverThreadPostsWhileTheProgramReads) {
  screen_state->driver = &mutex_driver;
  constexpr int kPosts = 5000;
  std::thread driver_thread([] {
    for (int n = 1; n <= kPosts; ++n) {
      std::lock_guard<std::mutex> held(driver_mutex);
      post(ZQ_EVENT_MOUSE_MOVE, n, -n, n, -n);
    }
  });
  // Events come out in posting order with their fields whole (some may be
  // dropped while the queue is full), and the last one always arrives.
  int last = 0;
  for (int reads = 0; last != kPosts; ++reads) {
    const int result = reads % 2 ? gfx_poll_event(&event) : gfx_wait_event(&event, 1000);
    if (result != ZQ_OK) continue;
    ASSERT_GT(event.mouse.x, last);
    ASSERT_EQ(event.mouse.y, -event.mouse.x);
    ASSERT_EQ(event.mouse.dy, -event.mouse.x);
    last = event.mouse.x;
  }
  driver_thread.join();
  EXPECT_EQ(gfx_poll_event(&event), ZQ_NO_EVENT);
}

}  // namespace
