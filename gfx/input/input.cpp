// Key buffer, key-pressed flag, the key and mouse readers and the
// keyboard-watching sleep. The EventQueue has its own module (events.cpp).
//
// The key buffer is written by the driver thread while it holds the screen
// lock and read by the program's thread under the same lock, so the lock is
// what keeps the ring consistent. Its indices, slots and flag are relaxed
// atomics only so that an access outside the lock (a driver without a real
// lock, a query with no screen open) is never a data race.
#include "gfx/input/input.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "drivers/driver.h"
#include "gfx/draw/context.h"
#include "gfx/screen/screen.h"
#include "runtime/rt_console.h"
#include "runtime/rt_core.h"
#include "runtime/rt_string.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

std::atomic<int> key_codes[kKeyBufferSize];
std::atomic<int> key_write{0};  // next slot to fill
std::atomic<int> key_read{0};   // oldest code; equal to key_write when empty
std::atomic<int> key_pressed{0};

// Scancodes of the extended keys posted as 256 + n: window close, the arrows,
// Insert, Delete, Home, End, Page Up, Page Down, then F1..F10.
constexpr unsigned char kExtendedKeys[] = {
    0x6B, 0x48, 0x50, 0x4B, 0x4D, 0x52, 0x53, 0x47, 0x4F, 0x49, 0x51,
    0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44,
};
constexpr int kLastExtendedKey = int(sizeof kExtendedKeys) - 1;

constexpr int kSleepStep = 50;
constexpr int kWaitKeyPause = 20;

void sleep_ms(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// The scancode an extended code stands for.
unsigned char extended_scancode(int code) {
  if ((code & 0xFF) == 0xFF) return static_cast<unsigned char>(code >> 8);
  return kExtendedKeys[std::min(code - 256, kLastExtendedKey)];
}

}  // namespace

void gfx_post_key(int code) {
  if (code <= 0) return;  // 0 means "no key"; negative codes are no key at all
  int write = key_write.load(kRelaxed);
  key_codes[write].store(code, kRelaxed);
  write = (write + 1) % kKeyBufferSize;
  key_write.store(write, kRelaxed);
  if (write == key_read.load(kRelaxed)) key_read.store((write + 1) % kKeyBufferSize, kRelaxed);
  key_pressed.store(1, kRelaxed);
}

int gfx_key_hit_since_check() {
  GfxScreenLock lock;
  return key_pressed.exchange(0, kRelaxed);
}

int gfx_take_key() {
  GfxScreenLock lock;
  int code = 0;
  const int read = key_read.load(kRelaxed);
  if (read != key_write.load(kRelaxed)) {
    code = key_codes[read].load(kRelaxed);
    key_read.store((read + 1) % kKeyBufferSize, kRelaxed);
  }
  gfx_key_hit_since_check();
  return code;
}

StringValue* gfx_inkey() {
  const int code = screen_state ? gfx_take_key() : 0;
  if (code == 0) return rt_str_new_temp(nullptr, 0);
  if (code < 256) {
    const char c = static_cast<char>(code);
    return rt_str_new_temp(&c, 1);
  }
  const char extended[2] = {static_cast<char>(0xFF), static_cast<char>(extended_scancode(code))};
  return rt_str_new_temp(extended, 2);
}

int gfx_wait_key() {
  if (!screen_state) return 0;
  for (;;) {
    const int code = gfx_take_key();
    rt_sleep(kWaitKeyPause);
    if (code != 0) return code;
  }
}

int gfx_key_waiting() {
  GfxScreenLock lock;
  return key_read.load(kRelaxed) != key_write.load(kRelaxed) ? 1 : 0;
}

int gfx_multikey(int scancode) {
  ScreenState* s = screen_state;
  if (!s || scancode < 0 || scancode >= kKeyStateSize) return 0;
  GfxScreenLock lock;
  return s->key_state[scancode] ? -1 : 0;
}

// For reasons: the name of the screen's driver.
static const char* driver_name(const ScreenState* s) { return s->driver && s->driver->name ? s->driver->name : "screen's"; }

int gfx_get_mouse(int* x, int* y, int* wheel, int* buttons, int* clip) {
  // The driver always gets five places to write; outputs the caller left out
  // land here and are dropped.
  int dropped[3];
  int* outputs[5] = {x, y, wheel ? wheel : &dropped[0], buttons ? buttons : &dropped[1],
                     clip ? clip : &dropped[2]};
  ScreenState* s = screen_state;
  if (x && y && s && s->driver && s->driver->get_mouse) {
    GfxScreenLock lock;
    if (s->driver->get_mouse(outputs[0], outputs[1], outputs[2], outputs[3], outputs[4]) == 0)
      return rt_set_error(ZQ_OK);
  }
  for (int* out : outputs)
    if (out) *out = -1;
  if (!x || !y) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no place for the pointer's %s", x ? "y" : "x");
  if (!s) return gfx_fail_no_screen();
  if (!s->driver || !s->driver->get_mouse) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "the %s driver has no pointer", driver_name(s));
  return rt_fail(ZQ_ERR_ILLEGAL_CALL, "the pointer is outside the window, or the window is not active");
}

int gfx_set_mouse(int x, int y, int cursor, int clip) {
  ScreenState* s = screen_state;
  if (!s) return gfx_fail_no_screen();
  if (!s->driver || !s->driver->set_mouse) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "the %s driver has no pointer", driver_name(s));
  GfxScreenLock lock;
  s->driver->set_mouse(x, y, cursor, clip);
  return rt_set_error(ZQ_OK);
}

void gfx_sleep(int milliseconds) {
  if (milliseconds == -1) {
    while (!gfx_key_hit_since_check()) sleep_ms(kSleepStep);
    return;
  }
  if (milliseconds > 99) {
    while (milliseconds > kSleepStep) {
      if (gfx_key_hit_since_check()) return;
      sleep_ms(kSleepStep);
      milliseconds -= kSleepStep;
    }
  }
  if (milliseconds > 0) sleep_ms(milliseconds);
}
