/**
 * @file zentravolk/events.h
 * @brief Reading the window's events: keys pressed and released, the mouse,
 *        focus, the close button and the full-screen switch.
 */
#ifndef ZENTRAVOLK_EVENTS_H
#define ZENTRAVOLK_EVENTS_H

#include <stdint.h>

#include "zentravolk/common.h"

ZQ_BEGIN_DECLS

/** @defgroup zq_events Events
 *  @brief What happened to the window, oldest first.
 *
 * While a screen is open the display driver records what happens to its
 * window in an event queue of the screen: every key press, repeat and
 * release, pointer motion, button and wheel, the pointer entering and
 * leaving the window, the focus coming and going, the close button and the
 * switch between window and full screen; and, once the program has asked
 * for a gamepad (gfx_get_gamepad()), gamepads coming and going.
 * gfx_poll_event() takes the oldest
 * event without waiting, gfx_wait_event() waits for one. The queue holds
 * the last 127 events: when it is full the oldest is dropped. It starts
 * empty with every screen. The "Null" driver has no window: there only
 * simulated input (gfx_simulate_key(), gfx_simulate_pointer()), gamepads
 * and gfx_push_event() post events.
 *
 * A typical frame loop:
 * @code
 * InputEvent event;
 * while (gfx_poll_event(&event) == ZQ_OK) {
 *   if (event.type == ZQ_EVENT_CLOSE) running = 0;
 *   if (event.type == ZQ_EVENT_KEY_PRESS && event.key.scancode == ZQ_SC_ESCAPE) running = 0;
 * }
 * @endcode
 *
 * Events and the key state (gfx_multikey()) come from the same window; the
 * key buffer (gfx_inkey()) is filled independently of the queue, so a
 * program may use both.
 *  @{
 */

/** @name Event types
 *  The @c type of an ::InputEvent.
 *  @{
 */
#define ZQ_EVENT_NONE 0           /**< no event (what a call that took none leaves) */
#define ZQ_EVENT_KEY_PRESS 1      /**< a key went down: @c key */
#define ZQ_EVENT_KEY_RELEASE 2    /**< a key went up: @c key */
#define ZQ_EVENT_KEY_REPEAT 3     /**< a held key repeats: @c key */
#define ZQ_EVENT_MOUSE_MOVE 4     /**< the pointer moved inside the window: @c mouse */
#define ZQ_EVENT_BUTTON_PRESS 5   /**< a mouse button went down: @c button */
#define ZQ_EVENT_BUTTON_RELEASE 6 /**< a mouse button went up: @c button */
#define ZQ_EVENT_DOUBLE_CLICK 7   /**< a second press soon after the first: @c button */
#define ZQ_EVENT_WHEEL 8          /**< the wheel turned: @c wheel */
#define ZQ_EVENT_MOUSE_ENTER 9    /**< the pointer came into the window: @c mouse (the move that brought it,
                                       or meaningless values when the window's activation did) */
#define ZQ_EVENT_MOUSE_LEAVE 10   /**< the pointer left the window (or the window lost the focus) */
#define ZQ_EVENT_FOCUS_IN 11      /**< the window got the keyboard focus */
#define ZQ_EVENT_FOCUS_OUT 12     /**< the window lost the keyboard focus */
#define ZQ_EVENT_CLOSE 13         /**< the window's close button; the window stays open until the program
                                       closes the screen */
#define ZQ_EVENT_HWHEEL 14        /**< the horizontal wheel turned: @c wheel */
#define ZQ_EVENT_FULL_SCREEN 15   /**< the screen switched between window and full screen (Alt+Enter or the
                                       maximise button): @c display */
#define ZQ_EVENT_GAMEPAD_CONNECTED 16    /**< a gamepad came and took a number: @c gamepad */
#define ZQ_EVENT_GAMEPAD_DISCONNECTED 17 /**< a gamepad went and freed its number: @c gamepad */
/** @} */

/** @name Mouse buttons
 *  The @c button.bit of a button event, and the button bits of
 *  gfx_get_mouse().
 *  @{
 */
#define ZQ_BUTTON_LEFT 1   /**< left button */
#define ZQ_BUTTON_RIGHT 2  /**< right button */
#define ZQ_BUTTON_MIDDLE 4 /**< middle button */
#define ZQ_BUTTON_X1 8     /**< first extra button */
#define ZQ_BUTTON_X2 16    /**< second extra button */
/** @} */

/** @name Key modifiers
 *  The bits of @c key.modifiers: the keyboard as the key saw it.
 *  @{
 */
#define ZQ_MOD_RIGHT_ALT 0x01   /**< right Alt (AltGr) */
#define ZQ_MOD_ALT 0x02         /**< Alt, either (the left one alone sets only this) */
#define ZQ_MOD_RIGHT_CTRL 0x04  /**< right Ctrl */
#define ZQ_MOD_CTRL 0x08        /**< Ctrl, either (the left one alone sets only this) */
#define ZQ_MOD_SHIFT 0x10       /**< either Shift */
#define ZQ_MOD_EXTENDED 0x100   /**< the key is one of the extended block (arrows, navigation keys, right Ctrl
                                     and Alt, keypad Enter and divide), not its keypad twin */
/** @} */

/** The result of gfx_poll_event() and gfx_wait_event() when no event came
 *  (it is not an error: the last error is ::ZQ_OK). */
#define ZQ_NO_EVENT (-1)

/** One event. Read @c type first; it tells which of the other members holds
 *  the values (all members begin with the same @c type).
 *
 *  On a scaled screen (::ZQ_OPEN_SCALED, or the environment's @c ZQSCALE)
 *  the "window pixels" of the positions are the screen's own: the window's
 *  position mapped back through the scale k and the bars,
 *  x = floor((window x - left bar) / k), so a position over a bar lies
 *  outside the screen as one outside the window does. The motion @c dx,
 *  @c dy stays in desktop pixels; the motion in screen pixels is the change
 *  of @c x, @c y from one event to the next (the move's four values are all
 *  taken, so the record has no word left to carry it). */
typedef union InputEvent {
  int32_t type; /**< ZQ_EVENT_... */
  /** ::ZQ_EVENT_KEY_PRESS, ::ZQ_EVENT_KEY_RELEASE, ::ZQ_EVENT_KEY_REPEAT. */
  struct {
    int32_t type;      /**< the event type */
    int32_t scancode;  /**< set-1 scancode (ZQ_SC_ESCAPE, ...); 0 for a key the table does not know */
    int32_t character; /**< the character typed, code page 437, 1..255; 0 for keys that type none
                            (arrows, function keys, keys pressed with Ctrl or Alt) */
    int32_t modifiers; /**< ::ZQ_MOD_SHIFT, ::ZQ_MOD_CTRL, ... held with the key, and ::ZQ_MOD_EXTENDED */
  } key;
  /** ::ZQ_EVENT_MOUSE_MOVE, ::ZQ_EVENT_MOUSE_ENTER. */
  struct {
    int32_t type;   /**< the event type */
    int32_t x, y;   /**< the pointer in window pixels; negative left of or above the window (while a button is
                         held the window keeps the pointer, so a drag reports positions outside it) */
    int32_t dx, dy; /**< the motion in desktop pixels since the pointer was last seen: its last move, or, for
                         the move that brings it in, where it was outside (0, 0 when that is unknown) */
  } mouse;
  /** ::ZQ_EVENT_BUTTON_PRESS, ::ZQ_EVENT_BUTTON_RELEASE, ::ZQ_EVENT_DOUBLE_CLICK. */
  struct {
    int32_t type; /**< the event type */
    int32_t bit;  /**< the button: ::ZQ_BUTTON_LEFT, ... */
    int32_t x, y; /**< where the pointer was, in window pixels (negative left of or above the window) */
  } button;
  /** ::ZQ_EVENT_WHEEL, ::ZQ_EVENT_HWHEEL. */
  struct {
    int32_t type;     /**< the event type */
    int32_t position; /**< the wheel's counter after the turn: one step up (right) adds 1, down (left)
                           subtracts 1 */
    int32_t step;     /**< this turn: +1 up (right) or -1 down (left) */
    int32_t x, y;     /**< where the pointer was, in window pixels */
  } wheel;
  /** ::ZQ_EVENT_GAMEPAD_CONNECTED, ::ZQ_EVENT_GAMEPAD_DISCONNECTED. */
  struct {
    int32_t type;  /**< the event type */
    int32_t index; /**< the pad's number for gfx_get_gamepad(), 0..::ZQ_GAMEPADS - 1 */
  } gamepad;
  /** ::ZQ_EVENT_FULL_SCREEN. */
  struct {
    int32_t type;        /**< the event type */
    int32_t full_screen; /**< 1 when the screen is now full screen, 0 when it is a window */
  } display;
  int32_t values[5]; /**< the record as stored: the type and four values */
} InputEvent;

/** Takes the oldest event from the queue, without waiting. On drivers that
 *  draw on the program's thread ("OpenGL") it first lets the window handle
 *  what the system sent it.
 *  @param event receives the event; on any result but ::ZQ_OK its type is
 *         ::ZQ_EVENT_NONE.
 *  @return ::ZQ_OK when an event was taken; ::ZQ_NO_EVENT when the queue
 *          was empty; ::ZQ_ERR_ILLEGAL_CALL with no screen open or a null
 *          @p event. */
ZQ_API int gfx_poll_event(InputEvent* event);

/** Waits for the next event and takes it; returns at once when one is
 *  waiting.
 *  @param event receives the event; on any result but ::ZQ_OK its type is
 *         ::ZQ_EVENT_NONE.
 *  @param timeout_ms the longest wait in milliseconds; 0: do not wait (as
 *         gfx_poll_event()); negative: no limit (on the "Null" driver, with
 *         nothing posting, that is for ever).
 *  @return ::ZQ_OK when an event was taken; ::ZQ_NO_EVENT when the time
 *          limit passed without one; ::ZQ_ERR_ILLEGAL_CALL at once with no
 *          screen open or a null @p event. */
ZQ_API int gfx_wait_event(InputEvent* event, int timeout_ms);

/** Adds an event of the program's own to the end of the queue, as if the
 *  window had posted it: to replay recorded input, or to hand the frame loop
 *  a message of a type of the program's choosing. A full queue drops its
 *  oldest event. Only the queue sees the record: the key state, the key
 *  buffer and the pointer stay as they are. To play a key or the pointer as
 *  if it were real, everywhere at once, use gfx_simulate_key() and
 *  gfx_simulate_pointer().
 *  @param event the event; any type.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL with no screen open or a null
 *          @p event. */
ZQ_API int gfx_push_event(const InputEvent* event);

/** @} */

ZQ_END_DECLS

#endif /* ZENTRAVOLK_EVENTS_H */
