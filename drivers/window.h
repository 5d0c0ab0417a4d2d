// The window layer shared by the real display drivers: the one window, the
// handshake that starts a driver thread, the window procedure that turns
// window messages into key codes, key state, events and pointer state, the
// message pump, the full-screen switch, and the driver operations that do not
// depend on how pixels reach the display.
//
// A driver plugs in four hooks (window init, window exit, paint and its
// thread procedure). With a driver thread, the thread owns the window: every
// window-system call for it is made there, and requests from the program's
// thread (title, pointer, position) wait in the WindowState until the thread
// applies them in its message pump.
#pragma once
#include <atomic>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "drivers/blitters.h"
#include "drivers/driver.h"
#include "drivers/scale_layout.h"
#include "platform/window_system.h"

struct WinPaletteEntry {
  uint8_t red, green, blue, flags;  // flags is always 4 (no collapse)
};

constexpr int kWinSystemVersion = 0x0600;  // what this platform offers: every optional feature
constexpr int kWinNoPosition = INT_MIN;    // last pointer x while the pointer's place is unknown

struct WindowState {
  int version = 0;  // the system version; read by nothing, as every optional feature is present here
  WsWindow* window = nullptr;
  WinPaletteEntry palette[256] = {};
  Blitter blitter = nullptr;
  std::atomic<int> running{0};
  int palette_changed = 0;
  int active = 0;
  int width = 0, height = 0, depth = 0;  // height already times the scanline multiplier
  int flags = 0;                         // open flags; bit 0 follows the full-screen switch
  int refresh_rate = 0;
  std::string title;
  char class_name[140] = {};
  int (*window_init)(WindowState* state) = nullptr;  // 0 = ok
  void (*window_exit)(WindowState* state) = nullptr;
  void (*paint)(WindowState* state) = nullptr;
  void (*thread_proc)(WindowState* state) = nullptr;
  int clip = 0;
  void* driver_data = nullptr;  // the driver's own display objects

  // Scaled screens (open flag ZQ_OPEN_SCALED, or ZQSCALE): the factor a
  // window opens at (0: the largest that fits the usable desktop), where
  // the picture is now (written by the driver thread under the screen lock,
  // read by the window procedure), and the window's place (its frame's
  // corner) and client size to restore after full screen (width 0 until it
  // left a window).
  int open_scale = 0;
  ScaleLayout layout;
  WsRect last_window{};
  // The framebuffer is shown only once the program has marked rows itself:
  // until then the pages may still be in the making, so a whole-window
  // refresh the layer asks for waits in refresh_pending.
  int drawn = 0;
  int refresh_pending = 0;

  // Pointer state.
  int tracked = 0;       // between a mouse enter and the next mouse leave
  int cursor_shown = 1;
  int buttons = 0;       // 1 left, 2 right, 4 middle, 8 and 16 extra
  int wheel = 0, hwheel = 0;
  int mouse_x = 0, mouse_y = 0;  // client pixels
  int inside = 0;                // pointer inside the client area
  // Where the pointer was last seen, in desktop pixels: at its last message,
  // or, while it is outside the window, at the last pump.
  int last_x = kWinNoPosition, last_y = 0;
  int window_x = 0, window_y = 0;           // client area's top-left, as last seen
  // While simulated input is played (drivers/simulated_input.h): the
  // keyboard it holds, read in place of the window system's; the window
  // procedure then makes no window-system call.
  const uint8_t* simulated_keys = nullptr;

  // Requests from the program's thread, under the screen lock.
  struct {
    bool title = false;
    bool cursor = false;
    bool warp = false;
    int warp_x = 0, warp_y = 0;
    int confine = -1;  // -1 leave, 0 free, 1 confine
    bool move = false;
    int move_x = 0, move_y = 0;
  } pending;

  // The driver thread and its handshake.
  std::thread thread;
  std::mutex thread_mutex;
  std::condition_variable thread_changed;
  bool thread_started = false;   // its window exists
  bool thread_finished = false;  // it has returned
  uint64_t titles_asked = 0, titles_applied = 0;
};

// The WindowState of the screen being opened or open. A driver's init starts
// with win_clear(), which gives a fresh, zeroed one; a driver thread keeps its
// own alive until it ends, even after win_exit gave up waiting for it.
WindowState* win_state();
void win_clear();

int win_init(const char* title, int width, int height, int depth, int refresh_rate, int flags);
void win_exit();
// Makes the state's window (kWsStyle* bits; the open flags add always-on-top)
// and brings it to the front; -1 when it could not be made.
int win_create_window(WindowState* state, int style, int x, int y, int width, int height);
// The frame of a window (not full screen) for the open flags: none with
// 0x08, a maximise box unless 0x04.
int win_window_style(int flags);
// The top-left corner that centres the state's window on the desktop.
void win_centred_position(const WindowState* state, int* x, int* y);

// Scaled screens. The style, place and client size of the state's window:
// desktop full screen without a mode change, or a resizable window where
// the user last left one, else the opening factor's size centred on the
// usable desktop. Both have a high-DPI drawable.
void win_scaled_window(WindowState* state, int* style, int* x, int* y, int* width, int* height);
// Keeps a scaled window's place and size for its return from full screen.
void win_remember_window(WindowState* state);
// The layout of the picture in a drawable of that size; true when it
// differs from the one in force, which it then replaces.
bool win_update_layout(WindowState* state, int drawable_width, int drawable_height);
// A scaled screen's layout for its window's drawable as it is now; true
// when it changed (the whole window must be shown again).
bool win_follow_drawable(WindowState* state);
// Carries out the program's requests, then handles every pending message;
// while the pointer is outside the window, notes where it is, so its first
// move back in measures from there.
void win_pump_messages(WindowState* state);
void win_pump_messages();  // the current state's
void win_clip_pointer(WindowState* state);
void win_post_event(const GfxEvent& event);

// The thread procedure's side of the handshake: its window is ready.
void win_thread_started(WindowState* state);

// Handles one message; returns what the window procedure answers.
int win_window_procedure(WindowState* state, const WsMessage& message);
// Switches between window and full screen (the driver thread holds the lock).
int win_toggle_full_screen(WindowState* state);
// Marks every output row dirty (or, before the program first drew, keeps
// the request for then).
void win_mark_all_dirty(WindowState* state);
// For a driver's pass that found dirty rows: the program has drawn, so a
// refresh that was kept waiting is due now.
void win_program_drew(WindowState* state);

// Shared driver operations.
void win_lock();
void win_unlock();
void win_set_palette(int index, int red, int green, int blue);
void win_wait_vsync();
int win_get_mouse(int* x, int* y, int* wheel, int* buttons, int* clip);
// get_mouse's rule on one window state: -1 unless it is active and the
// pointer is inside.
int win_read_mouse(const WindowState* state, int* x, int* y, int* wheel, int* buttons, int* clip);
void win_set_mouse(int x, int y, int cursor, int clip);
void win_set_window_title(const char* title);
int win_set_window_pos(int x, int y);

constexpr int kWinJoinMilliseconds = 1000;
