// The window layer: WindowState, the driver-thread handshake, the pump, the
// requests the program's thread leaves for the window's thread, and the
// shared driver operations. The message rules are in window_procedure.cpp.
#include "drivers/window.h"

#include "drivers/refusal.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

// The screen lock: the program's drawing and one pass of the driver thread
// exclude each other.
std::mutex screen_mutex;

// The state of the screen being opened or open. A driver thread holds its
// own reference, so a thread that outlives win_exit's wait keeps its state.
std::shared_ptr<WindowState> current;

void thread_main(std::shared_ptr<WindowState> state) {
  // Above normal priority where the system allows it; refused is fine.
  setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), -1);
  const WindowSystem* ws = window_system();
  if (!ws->start_video()) {
    driver_refuse("%s", driver_system_reason());
  } else {
    bool screen_saver = ws->screen_saver_enabled();
    ws->set_screen_saver(false);
    state->thread_proc(state.get());
    ws->set_screen_saver(screen_saver);
    ws->stop_video();
  }
  {
    std::lock_guard<std::mutex> guard(state->thread_mutex);
    state->thread_finished = true;
  }
  state->thread_changed.notify_all();
}

bool caller_holds_lock() { return screen_state && (screen_state->flags & kScreenLocked); }

// Carries out what the program's thread asked for since the last pump.
void apply_requests(WindowState* st) {
  const WindowSystem* ws = window_system();
  auto& p = st->pending;
  if (p.title) {
    ws->set_title(st->window, st->title.c_str());
    p.title = false;
    {
      std::lock_guard<std::mutex> guard(st->thread_mutex);
      st->titles_applied = st->titles_asked;
    }
    st->thread_changed.notify_all();
  }
  if (p.cursor) {
    p.cursor = false;
    win_window_procedure(st, WsMessage{.type = kWsSetCursor});
  }
  if (p.warp) {
    int x = p.warp_x, y = p.warp_y;  // screen pixels: a scaled screen's are blocks of the window's
    if (st->flags & ZQ_OPEN_SCALED) scale_screen_to_window(st->layout, x, y, &x, &y);
    ws->warp_pointer(st->window, x, y);
    p.warp = false;
  }
  if (p.confine >= 0) {
    ws->confine_pointer(st->window, p.confine == 1);
    p.confine = -1;
  }
  if (p.move) {
    ws->move_window(st->window, p.move_x, p.move_y);
    p.move = false;
  }
}

}  // namespace

WindowState* win_state() { return current.get(); }

void win_clear() {
  // A state whose thread was never stopped is stopped first: a running
  // thread must not lose the state it works on.
  if (current && current->thread.joinable()) win_exit();
  current = std::make_shared<WindowState>();
}

int win_init(const char* title, int width, int height, int depth, int refresh_rate, int flags) {
  if (!current) win_clear();
  WindowState* st = current.get();
  st->version = kWinSystemVersion;
  st->title = title ? title : "";
  std::snprintf(st->class_name, sizeof st->class_name, "zqgfxclass_%.128s", st->title.c_str());
  st->width = width;
  st->height = height;
  st->depth = depth;
  st->refresh_rate = refresh_rate;
  // ZQSCALE makes every screen a scaled one; shaped screens are shown as
  // they are.
  const int scale = scale_from_environment();
  if (scale >= 0) {
    flags |= ZQ_OPEN_SCALED;
    st->open_scale = scale;
  }
  if (flags & ZQ_OPEN_SHAPED) flags &= ~ZQ_OPEN_SCALED;
  st->flags = flags;
  st->cursor_shown = 1;
  st->last_x = kWinNoPosition;
  st->clip = 0;
  st->wheel = st->hwheel = 0;
  st->buttons = 0;
  st->running = 1;
  if (flags & ZQ_OPEN_OPENGL) return 0;  // the program's thread owns the window
  if (!st->thread_proc) {
    st->running = 0;
    return -1;
  }
  st->thread = std::thread(thread_main, current);
  std::unique_lock<std::mutex> lock(st->thread_mutex);
  st->thread_changed.wait(lock, [st] { return st->thread_started || st->thread_finished; });
  bool started = st->thread_started;
  lock.unlock();
  if (!started) {
    st->thread.join();
    st->running = 0;
    return -1;
  }
  return 0;
}

void win_thread_started(WindowState* st) {
  {
    std::lock_guard<std::mutex> guard(st->thread_mutex);
    st->thread_started = true;
  }
  st->thread_changed.notify_all();
}

void win_exit() {
  WindowState* st = current.get();
  if (!st || !st->running) return;
  {
    // Under the lock: once this is stored, no pass of the driver thread is
    // under way and none will start, so the thread reads the screen no more.
    std::lock_guard<std::mutex> guard(screen_mutex);
    st->running = 0;
  }
  if (st->thread.joinable()) {
    std::unique_lock<std::mutex> lock(st->thread_mutex);
    bool finished = st->thread_changed.wait_for(lock, std::chrono::milliseconds(kWinJoinMilliseconds),
                                                [st] { return st->thread_finished; });
    lock.unlock();
    if (finished) {
      st->thread.join();
    } else {
      // Still closing its window: it keeps its own reference to the state
      // and ends by itself; the next screen gets a new state.
      st->thread.detach();
      current = std::make_shared<WindowState>();
    }
  }
  st = current.get();
  st->clip = 0;
}

int win_window_style(int flags) {
  if (flags & ZQ_OPEN_NO_FRAME) return kWsStyleNoFrame;
  return flags & ZQ_OPEN_NO_SWITCH ? 0 : kWsStyleMaximiseBox;
}

void win_centred_position(const WindowState* st, int* x, int* y) {
  DesktopInfo desktop{};
  window_system()->desktop_info(&desktop);
  *x = (desktop.width - st->width) >> 1;
  *y = (desktop.height - st->height) >> 1;
}

void win_scaled_window(WindowState* st, int* style, int* x, int* y, int* width, int* height) {
  const WindowSystem* ws = window_system();
  if (st->flags & ZQ_OPEN_FULLSCREEN) {
    DesktopInfo desktop{};
    ws->desktop_info(&desktop);
    *style = kWsStyleDesktopFullScreen | kWsStyleHighDpi;
    *x = *y = 0;
    *width = desktop.width;
    *height = desktop.height;
    return;
  }
  *style = win_window_style(st->flags) | kWsStyleHighDpi;
  if (!(st->flags & ZQ_OPEN_NO_FRAME)) *style |= kWsStyleResizable;
  if (st->last_window.width > 0) {
    *x = st->last_window.x;
    *y = st->last_window.y;
    *width = st->last_window.width;
    *height = st->last_window.height;
    return;
  }
  WsRect usable{};
  if (!ws->usable_desktop(&usable)) {
    DesktopInfo desktop{};
    ws->desktop_info(&desktop);
    usable = {0, 0, desktop.width, desktop.height};
  }
  const int k = scale_open_factor(st->width, st->height, usable.width, usable.height, st->open_scale);
  *width = k * st->width;
  *height = k * st->height;
  *x = usable.x + ((usable.width - *width) >> 1);
  *y = usable.y + ((usable.height - *height) >> 1);
}

void win_remember_window(WindowState* st) {
  WsRect rect;
  const WindowSystem* ws = window_system();
  if ((st->flags & ZQ_OPEN_SCALED) && !(st->flags & ZQ_OPEN_FULLSCREEN) && st->window &&
      ws->client_rect(st->window, &rect) && rect.width > 0 && ws->frame_origin(st->window, &rect.x, &rect.y))
    st->last_window = rect;
}

bool win_update_layout(WindowState* st, int drawable_width, int drawable_height) {
  WsRect client{0, 0, drawable_width, drawable_height};
  if (st->window) window_system()->client_rect(st->window, &client);
  ScaleLayout layout = scale_layout(st->width, st->height, drawable_width, drawable_height, client.width,
                                    client.height);
  const ScaleLayout& old = st->layout;
  bool changed = layout.drawable_width != old.drawable_width || layout.drawable_height != old.drawable_height ||
                 layout.window_width != old.window_width || layout.window_height != old.window_height;
  st->layout = layout;
  return changed;
}

bool win_follow_drawable(WindowState* st) {
  int width = 0, height = 0;
  if (!(st->flags & ZQ_OPEN_SCALED) || !st->window || !window_system()->drawable_size(st->window, &width, &height))
    return false;
  return win_update_layout(st, width, height);
}

int win_create_window(WindowState* st, int style, int x, int y, int width, int height) {
  const WindowSystem* ws = window_system();
  if (st->flags & ZQ_OPEN_ON_TOP) style |= kWsStyleOnTop;
  WsWindowDesc desc{st->title.c_str(), x, y, width, height, style};
  st->window = ws->create_window(&desc);
  if (!st->window) {
    driver_refuse("no %d x %d window: %s", width, height, driver_system_reason());
    return -1;
  }
  ws->raise_window(st->window);
  WsRect rect;
  if (ws->client_rect(st->window, &rect)) {
    st->window_x = rect.x;
    st->window_y = rect.y;
  }
  ws->pointer_position(&st->last_x, &st->last_y);
  return 0;
}

void win_pump_messages(WindowState* st) {
  if (!st->window) return;
  const WindowSystem* ws = window_system();
  apply_requests(st);
  WsMessage message;
  while (st->window && ws->next_message(st->window, &message)) win_window_procedure(st, message);
  WsRect rect;
  if (st->window && ws->client_rect(st->window, &rect)) {
    st->window_x = rect.x;
    st->window_y = rect.y;
  }
  if (st->window && !st->tracked) ws->pointer_position(&st->last_x, &st->last_y);
}

void win_pump_messages() {
  if (current) win_pump_messages(current.get());
}

void win_clip_pointer(WindowState* st) {
  if (st->window) window_system()->confine_pointer(st->window, true);
}

void win_post_event(const GfxEvent& event) {
  const DriverHost* host = driver_host();
  if (host && host->post_event) host->post_event(&event);
}

void win_mark_all_dirty(WindowState* st) {
  if (!st->drawn) {
    st->refresh_pending = 1;
    return;
  }
  if (screen_state && screen_state->dirty_rows) std::memset(screen_state->dirty_rows, 1, size_t(st->height));
}

void win_program_drew(WindowState* st) {
  if (st->drawn) return;
  st->drawn = 1;
  if (st->refresh_pending) win_mark_all_dirty(st);
  st->refresh_pending = 0;
}

void win_lock() { screen_mutex.lock(); }
void win_unlock() { screen_mutex.unlock(); }

void win_set_palette(int index, int red, int green, int blue) {
  WindowState* st = current.get();
  if (!st || index < 0 || index > 255) return;
  st->palette[index] = {uint8_t(red), uint8_t(green), uint8_t(blue), 4};
  st->palette_changed = 1;
}

void win_wait_vsync() {
  int rate = screen_state ? screen_state->refresh_rate : 0;
  std::this_thread::sleep_for(std::chrono::milliseconds(rate > 0 ? 1000 / rate : 16));
}

int win_get_mouse(int* x, int* y, int* wheel, int* buttons, int* clip) {
  return win_read_mouse(current.get(), x, y, wheel, buttons, clip);
}

int win_read_mouse(const WindowState* st, int* x, int* y, int* wheel, int* buttons, int* clip) {
  if (!st || !st->active || !st->inside) return -1;
  *x = st->mouse_x;
  *y = st->mouse_y;
  if (wheel) *wheel = st->wheel;
  if (buttons) *buttons = st->buttons;
  if (clip) *clip = st->clip;
  return 0;
}

void win_set_mouse(int x, int y, int cursor, int clip) {
  WindowState* st = current.get();
  if (!st) return;
  if (x >= 0) {
    st->pending.warp = true;
    st->pending.warp_x = std::min(x, st->width - 1);
    st->pending.warp_y = std::min(std::max(y, 0), st->height - 1);
    st->mouse_x = x;
    st->mouse_y = y;
  }
  if ((cursor == 0 && st->cursor_shown) || (cursor > 0 && !st->cursor_shown)) {
    st->cursor_shown ^= 1;
    st->pending.cursor = true;
  }
  if (clip >= 0) {
    st->clip = clip > 0 ? 1 : 0;
    st->pending.confine = st->clip;
  }
}

void win_set_window_title(const char* title) {
  WindowState* st = current.get();
  if (!st || !title) return;
  bool held = caller_holds_lock();
  if (!held) win_lock();
  st->title = title;
  bool threaded = st->thread.joinable();
  uint64_t ticket = 0;
  if (threaded) {
    st->pending.title = true;
    std::lock_guard<std::mutex> guard(st->thread_mutex);
    ticket = ++st->titles_asked;
  } else if (st->window) {
    window_system()->set_title(st->window, title);  // this thread owns the window
  }
  // The window's own thread makes the change: let it have the lock meanwhile.
  win_unlock();
  if (threaded) {
    std::unique_lock<std::mutex> lock(st->thread_mutex);
    st->thread_changed.wait_for(lock, std::chrono::milliseconds(kWinJoinMilliseconds),
                                [st, ticket] { return st->titles_applied >= ticket || st->thread_finished; });
  }
  if (held) win_lock();
}

int win_set_window_pos(int x, int y) {
  WindowState* st = current.get();
  if (!st || (st->flags & ZQ_OPEN_FULLSCREEN)) return 0;
  bool held = caller_holds_lock();
  if (!held) win_lock();
  int old_x = st->window_x, old_y = st->window_y;
  st->pending.move = true;
  st->pending.move_x = x == INT_MIN ? old_x : x;
  st->pending.move_y = y == INT_MIN ? old_y : y;
  if (!held) win_unlock();
  return int((uint32_t(old_x) & 0xFFFFu) | uint32_t(old_y) << 16);
}
