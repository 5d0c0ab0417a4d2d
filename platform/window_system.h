// The window system as the window layer and the drivers see it: one window,
// its messages, the keyboard by virtual key, the pointer, display modes, the
// desktop and the window's pixel surface. It is a record of operations, so a
// scripted stand-in can take the real one's place in tests.
//
// Messages follow the desktop message model the window layer was written
// for, each a typed record rather than words to unpack: keys carry their
// virtual-key code, set-1 scancode, repeat count and flags; characters are
// code page 437 bytes; pointer messages carry where the pointer was when the
// message was made, both in client pixels and in desktop pixels. Positions
// are signed: while a button is held the window keeps the pointer (capture),
// so a drag past its left or top edge reports negative client positions.
#pragma once
#include <cstdint>

#include "platform/platform.h"

struct WsWindow;  // one window of the window system
struct WsTexture;    // a streaming texture and the accelerated renderer that shows it
struct WsGlContext;  // an OpenGL rendering context

enum WsMessageType : int {
  kWsNone = 0,
  kWsKeyDown,       // key, scancode, repeat, flags (kWsKey*)
  kWsKeyUp,
  kWsSysKeyDown,    // a key pressed while Alt is held, or F10
  kWsSysKeyUp,
  kWsChar,          // character (code page 437), repeat
  kWsMouseMove,     // x, y, desktop_x, desktop_y
  kWsButtonDown,    // button (1 left, 2 right, 4 middle, 8, 16 extra) and the pointer's position
  kWsButtonUp,
  kWsDoubleClick,
  kWsWheel,         // step (+1 away from the user, -1 towards) and the pointer's position
  kWsHWheel,        // step (+1 to the right, -1 to the left) and the pointer's position
  kWsMouseLeave,    // the pointer left the window
  kWsActivate,      // flags: kWsActive, kWsMinimised
  kWsClose,         // the user asked to close the window
  kWsSize,          // size: kWsSize* kind
  kWsMoving,        // the window is being moved
  kWsPaint,         // part of the window must be drawn again
  kWsDisplayChange, // the display's mode or layout changed
  kWsSetCursor,     // show or hide the cursor as the layer wants it now
};

// Flags of key messages.
constexpr int kWsKeyExtended = 0x1;  // an E0 key: arrows, navigation block, right Ctrl and Alt, ...
constexpr int kWsKeyWasDown = 0x2;   // the key was down before this message (a repeat, or a release)

// Flags of kWsActivate.
constexpr int kWsActive = 0x1;     // the window has the keyboard focus
constexpr int kWsMinimised = 0x2;  // the window is minimised

// Kinds of kWsSize.
constexpr int kWsSizeRestored = 0;
constexpr int kWsSizeMinimised = 1;
constexpr int kWsSizeMaximised = 2;

struct WsMessage {
  int type = kWsNone;
  int key = 0;        // key messages: the virtual key
  int scancode = 0;   // key messages: the set-1 scancode without the E0 prefix
  int character = 0;  // kWsChar: the character, code page 437
  int repeat = 0;     // key and character messages: how many times it came (1 and up)
  int flags = 0;      // key messages: kWsKey*; kWsActivate: kWsActive, kWsMinimised
  int button = 0;     // button messages: the button bit
  int step = 0;       // wheel messages: +1 or -1
  int size = 0;       // kWsSize: the kWsSize* kind
  // Pointer messages (move, buttons, wheels): the pointer's position.
  int x = 0, y = 0;                  // client pixels
  int desktop_x = 0, desktop_y = 0;  // desktop pixels
};

// Whether a message carries the pointer's position.
constexpr bool ws_pointer_message(int type) { return type >= kWsMouseMove && type <= kWsHWheel; }

// A key message (kWsKeyDown, kWsKeyUp, kWsSysKeyDown, kWsSysKeyUp), once.
constexpr WsMessage ws_key_message(int type, int virtual_key, int scancode, bool extended, bool was_down) {
  WsMessage m;
  m.type = type;
  m.key = virtual_key;
  m.scancode = scancode & 0xFF;
  m.repeat = 1;
  m.flags = (extended ? kWsKeyExtended : 0) | (was_down ? kWsKeyWasDown : 0);
  return m;
}

// Window styles.
constexpr int kWsStyleFullScreen = 0x01;   // covers the display, no frame
constexpr int kWsStyleNoFrame = 0x02;      // pop-up window without frame
constexpr int kWsStyleMaximiseBox = 0x04;  // frame offers maximise
constexpr int kWsStyleOnTop = 0x08;        // stays above other windows
constexpr int kWsStyleShaped = 0x10;       // parts of it can be see-through
constexpr int kWsStyleOpenGL = 0x20;       // can carry an OpenGL context (pixel format from gl_set_attributes)
constexpr int kWsStyleResizable = 0x40;    // the user can change its size
constexpr int kWsStyleDesktopFullScreen = 0x80;  // covers the display at the desktop's own mode (no mode change)
constexpr int kWsStyleHighDpi = 0x100;     // its drawable has the display's own pixels (drawable_size)

struct WsWindowDesc {
  const char* title;
  int x, y, width, height;  // client area, desktop pixels
  int style;                // kWsStyle* bits
};

struct WsRect {
  int x, y, width, height;
};

struct WsDisplayMode {
  int width, height, bits_per_pixel, refresh_rate;
};

// A window's pixels: rows of `pitch` bytes; depth 15, 16, 24 or 32; order 0
// puts red in the highest field (24-bit bytes blue, green, red), order 1
// exchanges red and blue.
struct WsSurface {
  uint8_t* pixels;
  int pitch, width, height;
  int depth;
  int order;
};

// The pixel format an OpenGL window asks for: least bits per field, 0 for
// none; sample_buffers 1 with `samples` asks for multisampling; accelerated
// 1 accepts only fully accelerated formats, 0 any. Always double-buffered,
// with a compatibility-profile context.
struct WsGlAttributes {
  int colour_bits, red_bits, green_bits, blue_bits, alpha_bits;
  int depth_bits, stencil_bits;
  int accum_red_bits, accum_green_bits, accum_blue_bits, accum_alpha_bits;
  int sample_buffers, samples;
  int accelerated;
};

struct WindowSystem {
  const char* name;
  // Video for the calling thread's windows: the process's first start brings
  // it up, on a back-end that shows something (or the one the user named),
  // and it may stay up after stop_video until the process ends. Every call
  // for a window is made on the thread that made the window, between its
  // start_video and stop_video.
  bool (*start_video)();
  void (*stop_video)();
  bool (*desktop_info)(DesktopInfo* info);
  // The part of the desktop windows may use (without panels and docks), in
  // desktop pixels.
  bool (*usable_desktop)(WsRect* area);
  // Full-screen modes of the display, from index 0 up; false past the last.
  bool (*display_mode)(int index, WsDisplayMode* mode);
  // Switches the display to exactly this mode for the next full-screen
  // window (false when the display has no such mode); null restores it.
  bool (*change_display_mode)(const WsDisplayMode* mode);
  WsWindow* (*create_window)(const WsWindowDesc* desc);
  void (*destroy_window)(WsWindow* window);
  void (*raise_window)(WsWindow* window);
  void (*set_title)(WsWindow* window, const char* title);
  // The client area in desktop pixels.
  bool (*client_rect)(WsWindow* window, WsRect* rect);
  // The top-left corner of the window's frame on the desktop (the client
  // area's when it has none, or when the system cannot tell): the corner a
  // new window is asked for to come back to the same place, since window
  // managers put the frame there.
  bool (*frame_origin)(WsWindow* window, int* x, int* y);
  void (*move_window)(WsWindow* window, int x, int y);
  // The size of the window's drawable in pixels: the client area's, or
  // more on a high-DPI display (kWsStyleHighDpi).
  bool (*drawable_size)(WsWindow* window, int* width, int* height);
  // Removes the next pending message without waiting; false when none.
  bool (*next_message)(WsWindow* window, WsMessage* message);
  // 256 entries by virtual key, bit 0x80 set while the key is down; Shift,
  // Ctrl, Alt and the Caps Lock toggle (bit 0 of 0x14) as of the last key
  // message taken, so a key's messages are read with the modifiers it was
  // pressed with, however late the queue is emptied.
  void (*keyboard_state)(uint8_t keys[256]);
  // The pointer in desktop pixels, as of the messages taken so far.
  void (*pointer_position)(int* x, int* y);
  void (*warp_pointer)(WsWindow* window, int client_x, int client_y);
  void (*show_cursor)(bool shown);
  void (*confine_pointer)(WsWindow* window, bool confined);
  bool (*screen_saver_enabled)();
  void (*set_screen_saver)(bool enabled);
  // Vertical refresh of the display that shows the window; 0 unknown.
  int (*refresh_rate)(WsWindow* window);
  // The window's pixels; valid until the next call on the window.
  bool (*surface)(WsWindow* window, WsSurface* surface);
  // Shows rows first..first+count-1 of the surface.
  bool (*upload_rows)(WsWindow* window, int first, int count);
  // Shaped windows: pixels of the surface equal to the key colour (0xRRGGBB)
  // become see-through.
  bool (*apply_shape)(WsWindow* window, uint32_t key_rgb);

  // Switches the display to the standard VGA mode (320 x 200, 8 bits) for
  // the next full-screen window; false when the display offers none.
  bool (*standard_vga_mode)();
  // An accelerated renderer for the window and a streaming texture of
  // width x height in the format nearest `wanted_depth` that the renderer
  // takes; `format` gets its size, depth and order (pixels null). Null when
  // only a software renderer is offered. Every texture call is made on the
  // window's thread.
  WsTexture* (*create_texture)(WsWindow* window, int width, int height, int wanted_depth, WsSurface* format);
  // The texture's pixels to write; they keep what was written until the
  // texture is destroyed (unlike a plain streaming lock's).
  bool (*lock_texture)(WsTexture* texture, WsSurface* pixels);
  // Hands rows first..first+count-1 to the renderer (count 0: none).
  void (*unlock_texture)(WsTexture* texture, int first, int count);
  // Clears the window to black and shows the texture in it at `place`
  // (drawable pixels), stretched to its size by nearest sampling.
  bool (*present_texture)(WsTexture* texture, const WsRect* place);
  // True once after the renderer lost its targets or its device: the
  // texture must be made again and filled whole.
  bool (*texture_lost)(WsTexture* texture);
  void (*destroy_texture)(WsTexture* texture);
  // 256 entries by set-1 scancode, extended keys at scancode + 128, bit 0x80
  // set while the key is down.
  void (*scancode_state)(uint8_t keys[256]);
  // Blocks until the display's next refresh begins; where that cannot be
  // seen, until the next multiple of the refresh period (refresh_rate Hz,
  // 60 when 0). Any thread.
  void (*wait_vertical_blank)(int refresh_rate);

  // OpenGL, all on the thread that started video: the library is loaded
  // (counted) by gl_load; gl_set_attributes chooses the pixel format of the
  // next window made with kWsStyleOpenGL (its creation fails when no format
  // fits); a context made for one such window can be made current with any
  // later one of the same attributes.
  bool (*gl_load)();
  void (*gl_unload)();
  bool (*gl_set_attributes)(const WsGlAttributes* attributes);
  WsGlContext* (*gl_create_context)(WsWindow* window);
  // Null window and context: no context current.
  bool (*gl_make_current)(WsWindow* window, WsGlContext* context);
  void (*gl_swap)(WsWindow* window);
  // The current context's extension names separated by spaces.
  const char* (*gl_extensions)();
  void* (*gl_proc)(const char* name);
  void (*gl_delete_context)(WsGlContext* context);

  // Why the calling thread's last failed call failed, in the system's words
  // ("" or null when it said nothing); read right after the failure.
  const char* (*last_error)();
};

// The window system in use; SDL unless a test replaced it.
const WindowSystem* window_system();
// Replaces the window system (null restores SDL). Not while a window exists.
void set_window_system(const WindowSystem* system);

extern const WindowSystem sdl_window_system;
