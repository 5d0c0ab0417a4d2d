// The screen's EventQueue: posting (the window layer, on the driver thread or
// the program's), and taking the oldest event out, with or without waiting.
//
// The ring itself is guarded by the queue's semaphore. A reader that waits
// sleeps on a process-wide condition variable that every post wakes; the
// post count it watches closes the gap between finding the ring empty and
// starting to sleep. Drivers that handle their window on the program's own
// thread (those with poll_events) post only while the program lets them, so
// a wait there pumps the window in short steps instead of sleeping through;
// so does a wait while gamepads are watched, since their coming and going is
// found only by looking.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

#include "drivers/driver.h"
#include "gfx/draw/context.h"
#include "gfx/input/input.h"
#include "gfx/screen/screen.h"
#include "runtime/rt_core.h"
#include "zentravolk/events.h"

namespace {

static_assert(sizeof(InputEvent) == sizeof(GfxEvent), "the public event is the queue's record");

using Clock = std::chrono::steady_clock;
constexpr auto kPumpStep = std::chrono::milliseconds(5);

std::mutex wake_mutex;
std::condition_variable wake;
unsigned long long posts = 0;  // guarded by wake_mutex

unsigned long long post_count() {
  std::lock_guard<std::mutex> held(wake_mutex);
  return posts;
}

// Takes the oldest record under the queue's semaphore.
bool take(ScreenState* s, InputEvent* event) {
  s->event_lock->acquire();
  const bool any = s->event_head != s->event_tail;
  if (any) {
    std::memcpy(event, &s->event_queue[s->event_head], sizeof *event);
    s->event_head = (s->event_head + 1) % kEventQueueSize;
  }
  s->event_lock->release();
  return any;
}

// Lets a driver without a thread handle its window's messages now, and
// looks for gamepads that came and went.
void pump(ScreenState* s) {
  gfx_watch_gamepads();
  if (!s->driver || !s->driver->poll_events) return;
  GfxScreenLock lock;
  s->driver->poll_events();
}

bool queue_ready(const ScreenState* s) { return s && s->event_queue && s->event_lock; }

// The checks both readers start with; clears the caller's record.
int begin_read(InputEvent* event) {
  if (!event) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no event record");
  std::memset(event, 0, sizeof *event);
  if (!queue_ready(screen_state)) return gfx_fail_no_screen();
  return rt_set_error(ZQ_OK);
}

int no_event() {
  rt_set_error(ZQ_OK);
  return ZQ_NO_EVENT;
}

}  // namespace

void gfx_post_event(const GfxEvent* event) {
  ScreenState* s = screen_state;
  if (!queue_ready(s) || !event) return;
  s->event_lock->acquire();
  s->event_queue[s->event_tail] = *event;
  s->event_tail = (s->event_tail + 1) % kEventQueueSize;
  if (s->event_tail == s->event_head) s->event_head = (s->event_head + 1) % kEventQueueSize;
  s->event_lock->release();
  {
    std::lock_guard<std::mutex> held(wake_mutex);
    ++posts;
  }
  wake.notify_all();
}

int gfx_push_event(const InputEvent* event) {
  if (!event) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no event record");
  if (!queue_ready(screen_state)) return gfx_fail_no_screen();
  GfxEvent record;
  std::memcpy(&record, event, sizeof record);
  gfx_post_event(&record);
  return rt_set_error(ZQ_OK);
}

int gfx_poll_event(InputEvent* event) {
  if (begin_read(event) != ZQ_OK) return ZQ_ERR_ILLEGAL_CALL;
  ScreenState* s = screen_state;
  pump(s);
  return take(s, event) ? ZQ_OK : no_event();
}

int gfx_wait_event(InputEvent* event, int timeout_ms) {
  if (begin_read(event) != ZQ_OK) return ZQ_ERR_ILLEGAL_CALL;
  ScreenState* s = screen_state;
  // Windows handled on this thread and gamepads are looked at in short
  // steps; everything else wakes the wait by posting.
  const bool pumping = (s->driver && s->driver->poll_events) || gfx_gamepads_watched();
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    const unsigned long long seen = post_count();
    pump(s);
    if (take(s, event)) return ZQ_OK;
    const auto now = Clock::now();
    if (timeout_ms >= 0 && now >= deadline) return no_event();
    std::unique_lock<std::mutex> held(wake_mutex);
    const auto posted = [&] { return posts != seen; };
    if (pumping)
      wake.wait_until(held, timeout_ms >= 0 ? std::min(deadline, now + kPumpStep) : now + kPumpStep, posted);
    else if (timeout_ms >= 0)
      wake.wait_until(held, deadline, posted);
    else
      wake.wait(held, posted);
  }
}
