// Input state: the key buffer ring, extended key codes, key state, mouse
// forwarding, the keyboard-watching sleep, the EventQueue, and posting from a
// driver thread while the program reads.
#include "gfx/input/input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "drivers/driver.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"

namespace {

// A stand-in driver that counts lock calls and records mouse traffic.
int locks = 0, unlocks = 0;
int mouse_result = 0;
int mouse_calls = 0;
bool locked_during_mouse_call = false;
int set_mouse_args[4];

void counting_lock() { ++locks; }
void counting_unlock() { ++unlocks; }
int stand_in_get_mouse(int* x, int* y, int* wheel, int* buttons, int* clip) {
  ++mouse_calls;
  locked_during_mouse_call = locks > unlocks;
  *x = 10, *y = 20, *wheel = 3, *buttons = 5, *clip = 1;
  return mouse_result;
}
void stand_in_set_mouse(int x, int y, int cursor, int clip) {
  ++mouse_calls;
  locked_during_mouse_call = locks > unlocks;
  set_mouse_args[0] = x, set_mouse_args[1] = y, set_mouse_args[2] = cursor, set_mouse_args[3] = clip;
}

const GfxDriver counting_driver = {
    "Counting", nullptr, nullptr, counting_lock, counting_unlock, nullptr, nullptr,
    stand_in_get_mouse, stand_in_set_mouse, nullptr, nullptr, nullptr, nullptr, nullptr,
};

// A stand-in for a thread driver: its lock is a real mutex, which the poster
// thread holds while posting just as a driver thread does.
std::mutex driver_mutex;
void mutex_lock() { driver_mutex.lock(); }
void mutex_unlock() { driver_mutex.unlock(); }
const GfxDriver mutex_driver = {
    "Mutex", nullptr, nullptr, mutex_lock, mutex_unlock, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

std::string take_inkey() {
  StringValue* s = gfx_inkey();
  std::string text(rt_str_chars(s), size_t(rt_str_len(s)));
  rt_str_release(s);
  return text;
}

double elapsed_ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

class Input : public ::testing::Test {
 protected:
  void SetUp() override {
    rt_init(0, nullptr, 1);
    setenv("ZQGFX", "null", 1);
    ASSERT_EQ(gfx_screen_res(64, 48, 32, 1, 0, 0), 0);
    // The key buffer outlives screens: start every test from an empty one.
    while (gfx_take_key() != 0) {
    }
    locks = unlocks = mouse_calls = 0;
    mouse_result = 0;
    locked_during_mouse_call = false;
  }
  void TearDown() override {
    gfx_close_at_exit();
    unsetenv("ZQGFX");
  }
};

TEST_F(Input, DriversPostThroughTheHostAndTheRuntimeReadsThroughTheHooks) {
  ASSERT_NE(driver_host(), nullptr);
  driver_host()->post_key('q');
  driver_host()->post_key(0x4DFF);
  EXPECT_EQ(rt_keyhit(), 1);
  StringValue* s = rt_inkey();
  EXPECT_EQ(std::string(rt_str_chars(s)), "q");
  rt_str_release(s);
  EXPECT_EQ(rt_getkey(), 0x4DFF);
  screen_state->key_state[1] = 1;
  EXPECT_EQ(rt_multikey(1), -1);
  EXPECT_EQ(rt_get_mouse(nullptr, nullptr, nullptr, nullptr, nullptr), 1);
}

TEST_F(Input, FullKeyBufferKeepsTheLastFifteenCodesInOrder) {
  for (int code = 1; code <= 16; ++code) gfx_post_key(code);
  EXPECT_EQ(gfx_key_waiting(), 1);
  for (int code = 2; code <= 16; ++code) EXPECT_EQ(gfx_take_key(), code);
  EXPECT_EQ(gfx_take_key(), 0);
  EXPECT_EQ(gfx_key_waiting(), 0);

  // Wrapping around the ring many times keeps the same rule.
  for (int code = 1; code <= 40; ++code) gfx_post_key(code);
  for (int code = 26; code <= 40; ++code) EXPECT_EQ(gfx_take_key(), code);
  EXPECT_EQ(gfx_take_key(), 0);
}

TEST_F(Input, KeyPressedFlagIsSetByPostingAndClearedByChecksAndTakes) {
  EXPECT_EQ(gfx_key_hit_since_check(), 0);
  gfx_post_key('a');
  EXPECT_EQ(gfx_key_hit_since_check(), 1);
  EXPECT_EQ(gfx_key_hit_since_check(), 0);
  EXPECT_EQ(gfx_key_waiting(), 1);  // checking the flag removes nothing

  gfx_post_key('b');
  EXPECT_EQ(gfx_take_key(), 'a');
  EXPECT_EQ(gfx_key_hit_since_check(), 0);  // the take cleared it
}

TEST_F(Input, NoKeyCodesAreNotStored) {
  gfx_post_key(0);
  gfx_post_key(-5);
  EXPECT_EQ(gfx_key_waiting(), 0);
  EXPECT_EQ(gfx_key_hit_since_check(), 0);
}

TEST_F(Input, InkeyGivesCharactersAndExtendedKeys) {
  struct Case {
    int code;
    std::string text;
  };
  const Case cases[] = {
      {'A', "A"},
      {200, std::string(1, char(200))},
      {0x6BFF, "\xFF" "k"},       // window close, scancode form
      {0x3BFF, "\xFF\x3B"},       // F1
      {0x1234FF, "\xFF\x34"},     // scancode form keeps one byte
      {256, "\xFF\x6B"},          // table form: window close
      {257, "\xFF\x48"},          // up
      {266, "\xFF\x51"},          // page down
      {267, "\xFF\x3B"},          // F1
      {276, "\xFF\x44"},          // F10
      {300, "\xFF\x44"},          // beyond the table reads as F10
      {0x7FFFFF00, "\xFF\x44"},
  };
  for (const Case& c : cases) {
    gfx_post_key(c.code);
    EXPECT_EQ(take_inkey(), c.text) << "code " << c.code;
  }
  EXPECT_EQ(take_inkey(), "");
  EXPECT_EQ(rt_str_pool_in_use(), 0);
}

TEST_F(Input, KeysOutliveTheScreenButAreOnlyReadWithOne) {
  gfx_post_key('z');
  gfx_close_at_exit();
  EXPECT_EQ(take_inkey(), "");
  EXPECT_EQ(gfx_wait_key(), 0);
  EXPECT_EQ(gfx_multikey(1), 0);
  ASSERT_EQ(gfx_screen_res(64, 48, 32, 1, 0, 0), 0);
  EXPECT_EQ(take_inkey(), "z");
}

TEST_F(Input, MultikeyReadsTheKeyStateUnderTheLock) {
  screen_state->driver = &counting_driver;
  screen_state->key_state[0x48] = 1;
  screen_state->key_state[127] = 1;

  EXPECT_EQ(gfx_multikey(0x48), -1);
  EXPECT_EQ(gfx_multikey(127), -1);
  EXPECT_EQ(gfx_multikey(0x50), 0);
  EXPECT_EQ(locks, 3);
  EXPECT_EQ(unlocks, 3);

  EXPECT_EQ(gfx_multikey(128), 0);
  EXPECT_EQ(gfx_multikey(-1), 0);
  EXPECT_EQ(locks, 3);

  // Every key-buffer reader takes the lock and gives it back.
  locks = unlocks = 0;
  gfx_post_key('x');
  gfx_key_waiting();
  gfx_key_hit_since_check();
  gfx_take_key();
  EXPECT_EQ(locks, 3);  // the flag check inside the take reuses the take's lock
  EXPECT_EQ(unlocks, locks);
  EXPECT_EQ(screen_state->flags & (kScreenLocked | kScreenLockOwner), 0u);
}

TEST_F(Input, MouseOnTheNullDriverReportsNoMouse) {
  int m[5] = {0, 0, 0, 0, 0};
  EXPECT_EQ(gfx_get_mouse(&m[0], &m[1], &m[2], &m[3], &m[4]), 1);
  EXPECT_EQ(rt_get_error(), 1);
  for (int value : m) EXPECT_EQ(value, -1);
  EXPECT_EQ(gfx_set_mouse(1, 2, 1, 0), 1);

  gfx_close_at_exit();
  m[0] = 0;
  EXPECT_EQ(gfx_get_mouse(&m[0], &m[1], nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(m[0], -1);
  EXPECT_EQ(gfx_set_mouse(1, 2, 1, 0), 1);
}

TEST_F(Input, MouseForwardsToTheDriverUnderTheLock) {
  screen_state->driver = &counting_driver;
  int m[5] = {0, 0, 0, 0, 0};
  EXPECT_EQ(gfx_get_mouse(&m[0], &m[1], &m[2], &m[3], &m[4]), 0);
  EXPECT_EQ(rt_get_error(), 0);
  EXPECT_TRUE(locked_during_mouse_call);
  const int reported[5] = {10, 20, 3, 5, 1};
  EXPECT_TRUE(std::equal(m, m + 5, reported));

  // Left-out outputs are dropped, never written through.
  m[0] = m[1] = 0;
  EXPECT_EQ(gfx_get_mouse(&m[0], &m[1], nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(m[1], 20);

  // x and y are required: without them the driver is not asked.
  mouse_calls = 0;
  EXPECT_EQ(gfx_get_mouse(nullptr, &m[1], &m[2], nullptr, nullptr), 1);
  EXPECT_EQ(mouse_calls, 0);
  EXPECT_EQ(m[2], -1);

  mouse_result = -1;  // the driver knows no position
  EXPECT_EQ(gfx_get_mouse(&m[0], &m[1], &m[2], &m[3], &m[4]), 1);
  for (int value : m) EXPECT_EQ(value, -1);

  locked_during_mouse_call = false;
  EXPECT_EQ(gfx_set_mouse(7, -1, 0, -1), 0);
  EXPECT_EQ(rt_get_error(), 0);
  EXPECT_TRUE(locked_during_mouse_call);
  const int expected[4] = {7, -1, 0, -1};
  EXPECT_TRUE(std::equal(expected, expected + 4, set_mouse_args));
  EXPECT_EQ(unlocks, locks);
}

TEST_F(Input, LongSleepStopsAtAPendingKeyAndClearsTheFlag) {
  gfx_post_key('k');
  auto start = std::chrono::steady_clock::now();
  gfx_sleep(120);
  EXPECT_LT(elapsed_ms(start), 45.0);
  EXPECT_EQ(gfx_key_hit_since_check(), 0);
  EXPECT_EQ(gfx_key_waiting(), 1);  // the key itself stays buffered

  gfx_post_key('k');
  start = std::chrono::steady_clock::now();
  gfx_sleep(-1);
  EXPECT_LT(elapsed_ms(start), 45.0);
  EXPECT_EQ(gfx_key_hit_since_check(), 0);
}

TEST_F(Input, SleepsWithoutAKeyRunTheirFullLength) {
  gfx_post_key('k');
  auto start = std::chrono::steady_clock::now();
  gfx_sleep(60);  // short sleeps do not look at the keys
  EXPECT_GE(elapsed_ms(start), 55.0);
  EXPECT_EQ(gfx_key_hit_since_check(), 1);

  start = std::chrono::steady_clock::now();
  gfx_sleep(120);
  EXPECT_GE(elapsed_ms(start), 115.0);

  start = std::chrono::steady_clock::now();
  gfx_sleep(0);
  gfx_sleep(-7);
  EXPECT_LT(elapsed_ms(start), 45.0);
}

TEST_F(Input, WaitKeyReturnsTheWaitingCode) {
  gfx_post_key(0x48FF);
  gfx_post_key('n');
  EXPECT_EQ(gfx_wait_key(), 0x48FF);
  EXPECT_EQ(gfx_wait_key(), 'n');
  EXPECT_EQ(gfx_key_waiting(), 0);
}

TEST_F(Input, EventQueueDropsTheOldestWhenFull) {
  for (int i = 0; i < kEventQueueSize; ++i) {
    const GfxEvent event{i, i + 1, i + 2, i + 3, i + 4};
    gfx_post_event(&event);
  }
  ScreenState* s = screen_state;
  EXPECT_EQ(s->event_tail, 0);
  EXPECT_EQ(s->event_head, 1);  // event 0 was dropped, 127 are held
  for (int slot = 1; slot < kEventQueueSize; ++slot) {
    EXPECT_EQ(s->event_queue[slot].type, slot);
    EXPECT_EQ(s->event_queue[slot].d, slot + 4);
  }

  const GfxEvent next{500, 0, 0, 0, 0};
  gfx_post_event(&next);
  EXPECT_EQ(s->event_queue[0].type, 500);
  EXPECT_EQ(s->event_tail, 1);
  EXPECT_EQ(s->event_head, 2);

  // The lock is free again after every post, and nothing is posted without
  // a record or a screen.
  EXPECT_TRUE(s->event_lock->try_acquire());
  s->event_lock->release();
  gfx_post_event(nullptr);
  EXPECT_EQ(s->event_tail, 1);
  gfx_close_at_exit();
  gfx_post_event(&next);
}

TEST_F(Input, DriverThreadPostsWhileTheProgramReads) {
  screen_state->driver = &mutex_driver;
  ScreenState* s = screen_state;
  constexpr int kPosts = 3000;

  std::thread driver_thread([s] {
    for (int code = 1; code <= kPosts; ++code) {
      std::lock_guard<std::mutex> held(driver_mutex);
      gfx_post_key(code);
      s->key_state[0x48] = uint8_t(code & 1);  // the up arrow going up and down
      const GfxEvent event{code, 0, 0, 0, 0};
      gfx_post_event(&event);
    }
  });

  // Codes come out in posting order (some may be dropped when the buffer
  // overflows), and the last one always arrives.
  int last = 0;
  while (last != kPosts) {
    const int code = gfx_take_key();
    if (code != 0) {
      ASSERT_GT(code, last);
      ASSERT_LE(code, kPosts);
      last = code;
    }
    gfx_multikey(0x48);
    gfx_key_waiting();
  }
  driver_thread.join();

  EXPECT_EQ(gfx_take_key(), 0);
  EXPECT_EQ((s->event_tail - s->event_head + kEventQueueSize) % kEventQueueSize, kEventQueueSize - 1);
  EXPECT_EQ(s->event_queue[(s->event_tail + kEventQueueSize - 1) % kEventQueueSize].type, kPosts);
  EXPECT_EQ(s->flags & (kScreenLocked | kScreenLockOwner), 0u);
}

}  // namespace
