/**
 * @file zentravolk/input.h
 * @brief Keyboard, mouse, joystick and gamepads on the graphics screen.
 */
#ifndef ZENTRAVOLK_INPUT_H
#define ZENTRAVOLK_INPUT_H

#include "zentravolk/common.h"
#include "zentravolk/runtime.h"

ZQ_BEGIN_DECLS

/** @defgroup zq_input Input
 *  @brief Keys, mouse and joystick.
 *
 * The display driver keeps two kinds of key input current while a screen is
 * open: the key-down state of every scancode (gfx_multikey()), and a key
 * buffer of the last 15 keys typed (gfx_inkey(), gfx_wait_key(); the oldest
 * key is dropped when it is full). Key codes 1..255 are characters; codes
 * of 256 and above are extended keys (arrows, function keys, ...), which
 * gfx_inkey() gives as the two characters 255 and the key's scancode. The
 * "Null" driver has no keyboard or mouse: only simulated input
 * (gfx_simulate_key(), gfx_simulate_pointer()) reaches it.
 *
 * The runtime's rt_inkey(), rt_getkey(), rt_keyhit(), rt_multikey(),
 * rt_get_mouse(), rt_set_mouse() and rt_sleep() reach these while a screen
 * is open.
 *  @{
 */

/** Takes the oldest key from the key buffer, without waiting.
 *  @return a temporary: empty with no screen open or no key waiting; one
 *          character for a code below 256; two characters, 255 and the
 *          scancode, for an extended key. */
ZQ_API StringValue* gfx_inkey(void);

/** Waits for a key (looking every 20 ms) and takes it. On the "Null" driver
 *  this waits for ever.
 *  @return the key code, or 0 at once with no screen open. */
ZQ_API int gfx_wait_key(void);

/** Whether a key is waiting in the key buffer; nothing is taken.
 *  @return 1 or 0. */
ZQ_API int gfx_key_waiting(void);

/** Whether a key is down right now.
 *  @param scancode set-1 scancode 0..127 (ZQ_SC_ESCAPE, ...).
 *  @return -1 (::ZQ_TRUE) when it is down; 0 when it is up, with no screen
 *          open, or for a scancode outside 0..127. */
ZQ_API int gfx_multikey(int scancode);

/** Reads the mouse.
 *  @param x,y position in screen pixels (required).
 *  @param wheel wheel position, or null.
 *  @param buttons button bits: 1 left, 2 right, 4 middle; or null.
 *  @param clip 1 while the pointer is confined to the window; or null.
 *  @return ::ZQ_OK; ::ZQ_ERR_ILLEGAL_CALL (all outputs -1) with no screen
 *          open, or while the pointer is outside the window (on a scaled
 *          screen: also over the black bars) or the window is not active
 *          (on the "Null" driver: until gfx_simulate_pointer() puts it
 *          inside). */
ZQ_API int gfx_get_mouse(int* x, int* y, int* wheel, int* buttons, int* clip);

/** Moves, shows or hides and confines the mouse pointer.
 *  @param x,y new position in screen pixels; negative: unchanged. On a
 *         scaled screen the pointer goes to the middle of the pixel's block.
 *  @param cursor 1 show, 0 hide; negative: unchanged.
 *  @param clip 1 confine to the window, 0 free; negative: unchanged.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL with no screen open or a driver
 *          without a mouse. */
ZQ_API int gfx_set_mouse(int x, int y, int cursor, int clip);

/** Sleeps, watching the keyboard.
 *  @param milliseconds -1: until a key is pressed (on the "Null" driver: for
 *         ever); 100 and more: in 50 ms steps, ending early when a key has
 *         been pressed since the last look; 1..99: plainly; 0 or less:
 *         returns at once. */
ZQ_API void gfx_sleep(int milliseconds);

/** Plays a key going down or up, as if the keyboard had sent it to the
 *  screen's window: the key state (gfx_multikey()), the key buffer (the
 *  character the key types with the simulated keys held, or its extended
 *  code) and the event queue (press, repeat while held, release, with the
 *  modifier word) change exactly as for a real key, on every driver,
 *  "Null" included, so a program's tests can play keys without a display.
 *  This differs from gfx_push_event(), which only queues a record: nothing
 *  else sees it. Simulated Shift, Ctrl and Alt count for the simulated
 *  keys only; a simulated Alt+Enter does not switch to full screen.
 *  @code
 *  gfx_simulate_key(ZQ_SC_RIGHT, 1);  // held from now on: gfx_multikey(ZQ_SC_RIGHT) is -1
 *  gfx_simulate_key(ZQ_SC_RIGHT, 0);
 *  @endcode
 *  @param scancode a named key (ZQ_SC_A, ...).
 *  @param down non-zero: pressed (again while held: a repeat); 0: released.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL with no screen open or a
 *          scancode no key has. */
ZQ_API int gfx_simulate_key(int scancode, int down);

/** Plays the pointer at a position with some buttons held, as if the mouse
 *  had moved there: a move (or, the first time, the pointer entering) when
 *  the position changed, then a press or release per changed button, which
 *  gfx_get_mouse() and the event queue show as they would a real pointer's
 *  (on "Null" too). Positions outside the window are allowed, as a drag
 *  with a button held gives them.
 *  @param x,y the position in window pixels (a scaled screen's own pixels,
 *         each shown as a block of the window).
 *  @param buttons the buttons held: ::ZQ_BUTTON_LEFT, ... bits.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL with no screen open. */
ZQ_API int gfx_simulate_pointer(int x, int y, int buttons);

/** The value of an axis the joystick does not have. */
#define ZQ_JOYSTICK_NO_AXIS (-1000.0f)

/** Reads a joystick; works with or without a screen open. Null outputs are
 *  skipped.
 *  @param id device 0..15.
 *  @param buttons the first 32 button bits (bit 0: button 1).
 *  @param axis1,axis2 X and Y, -1 (left, up) to 1 (right, down).
 *  @param axis3,axis4,axis5,axis6 the Z, R, U and V axes, -1 to 1, or
 *         ::ZQ_JOYSTICK_NO_AXIS when the device lacks one.
 *  @param axis7,axis8 the hat's horizontal and vertical direction (-1, 0,
 *         1), or ::ZQ_JOYSTICK_NO_AXIS without a hat.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL for an id outside 0..15, an
 *          absent device or a failed read (buttons -1 and every axis
 *          ::ZQ_JOYSTICK_NO_AXIS). */
ZQ_API int gfx_get_joystick(int id, int* buttons, float* axis1, float* axis2, float* axis3, float* axis4,
                            float* axis5, float* axis6, float* axis7, float* axis8);

/** The number of gamepads that can be connected at once (numbers
 *  0..ZQ_GAMEPADS - 1). */
#define ZQ_GAMEPADS 16

/** @name Gamepad buttons
 *  The bits of GamepadState::buttons: the standard controller layout, by
 *  position (A is the bottom face button, B the right, X the left, Y the
 *  top), whatever the pad prints on them.
 *  @{
 */
#define ZQ_PAD_A 0x0001              /**< bottom face button */
#define ZQ_PAD_B 0x0002              /**< right face button */
#define ZQ_PAD_X 0x0004              /**< left face button */
#define ZQ_PAD_Y 0x0008              /**< top face button */
#define ZQ_PAD_BACK 0x0010           /**< back (select, view) */
#define ZQ_PAD_GUIDE 0x0020          /**< guide (the pad's home button) */
#define ZQ_PAD_START 0x0040          /**< start (menu) */
#define ZQ_PAD_LEFT_STICK 0x0080     /**< left stick pressed in */
#define ZQ_PAD_RIGHT_STICK 0x0100    /**< right stick pressed in */
#define ZQ_PAD_LEFT_SHOULDER 0x0200  /**< left shoulder button */
#define ZQ_PAD_RIGHT_SHOULDER 0x0400 /**< right shoulder button */
#define ZQ_PAD_DPAD_UP 0x0800        /**< d-pad up */
#define ZQ_PAD_DPAD_DOWN 0x1000      /**< d-pad down */
#define ZQ_PAD_DPAD_LEFT 0x2000      /**< d-pad left */
#define ZQ_PAD_DPAD_RIGHT 0x4000     /**< d-pad right */
/** @} */

/** A gamepad's buttons and axes, as gfx_get_gamepad() reads them. */
typedef struct GamepadState {
  int32_t buttons;     /**< the ::ZQ_PAD_A, ... bits of the buttons held */
  float left_x;        /**< the left stick across, -1 (left) to 1 (right); 0 at rest */
  float left_y;        /**< the left stick up and down, -1 (up) to 1 (down); 0 at rest */
  float right_x;       /**< the right stick across, likewise */
  float right_y;       /**< the right stick up and down, likewise */
  float left_trigger;  /**< the left trigger, 0 (released) to 1 (fully pressed) */
  float right_trigger; /**< the right trigger, likewise */
} GamepadState;

/** Reads a gamepad in the standard controller layout; works with or
 *  without a screen open. A pad is a device the controller database knows:
 *  the one built into SDL, plus the mappings in the environment variable
 *  @c SDL_GAMECONTROLLERCONFIG (lines in SDL's mapping format, read when
 *  the first joystick or gamepad is asked for). Each pad takes the lowest free number when
 *  it is found and keeps it until it goes, so a second player's pad stays
 *  number 1 while the first is unplugged.
 *
 *  Every call looks for pads that came and went; from the first call on,
 *  gfx_poll_event() and gfx_wait_event() look too, and each pad found or
 *  gone posts ::ZQ_EVENT_GAMEPAD_CONNECTED or ::ZQ_EVENT_GAMEPAD_DISCONNECTED
 *  with its number (pads already there at the first call post theirs then).
 *  A device that is a pad is also a joystick for gfx_get_joystick(), with
 *  its own numbering.
 *  @code
 *  GamepadState pad;
 *  if (gfx_get_gamepad(0, &pad) == ZQ_OK && (pad.buttons & ZQ_PAD_A)) jump();
 *  @endcode
 *  @param index the pad's number, 0..::ZQ_GAMEPADS - 1.
 *  @param state receives the reading; all zeros on failure.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL for a null @p state, a number
 *          outside 0..::ZQ_GAMEPADS - 1, no pad with that number, or no
 *          controller system. */
ZQ_API int gfx_get_gamepad(int index, GamepadState* state);

/** @} */

ZQ_END_DECLS

#endif /* ZENTRAVOLK_INPUT_H */
