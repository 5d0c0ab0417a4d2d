/**
 * @file zentravolk/screen.h
 * @brief Opening and closing the graphics screen, choosing the display
 *        driver, the window title and the screen information.
 */
#ifndef ZENTRAVOLK_SCREEN_H
#define ZENTRAVOLK_SCREEN_H

#include "zentravolk/common.h"
#include "zentravolk/runtime.h"

ZQ_BEGIN_DECLS

/** @defgroup zq_screen Screen and display drivers
 *  @brief The one graphics screen of the process and the driver that shows
 *         it.
 *
 * The screen is a software framebuffer of one or more pages drawn in memory;
 * a display driver shows the visible page and feeds keys and mouse back.
 * The drivers are tried in the order "DirectX" (an accelerated renderer),
 * "GDI" (a plain window surface), "OpenGL" (a GL context the program draws
 * into itself), first in full screen when ::ZQ_OPEN_FULLSCREEN is given,
 * then in a window. The environment variable `ZQGFX` names the driver to
 * try first, in any letter case; `ZQGFX=null` selects the "Null" driver,
 * which shows nothing and sees no input (every drawing call still works, on
 * memory alone), as does the open flag ::ZQ_OPEN_NULL_DRIVER.
 *
 * Opening a screen also redirects the runtime's console and keyboard calls
 * (rt_print() to file 0, rt_inkey(), rt_multikey(), rt_cls(), ...) to the
 * screen. The screen is closed by gfx_screen() with mode 0, by opening
 * another, or at exit.
 *  @{
 */

/** @name Open flags
 *  The @p flags argument of gfx_screen_res() and gfx_screen(); combine with |.
 *  @{
 */
#define ZQ_OPEN_WINDOWED 0x00    /**< a window (the default) */
#define ZQ_OPEN_FULLSCREEN 0x01  /**< full screen first, a window when that fails */
#define ZQ_OPEN_OPENGL 0x02      /**< an OpenGL screen: only the "OpenGL" driver takes it; depths below 16 become 16 */
#define ZQ_OPEN_NO_SWITCH 0x04   /**< no switching between full screen and window (Alt+Enter, maximise) */
#define ZQ_OPEN_NO_FRAME 0x08    /**< a window without frame or title bar */
#define ZQ_OPEN_SHAPED 0x10      /**< a shaped window (implies ::ZQ_OPEN_NO_SWITCH and ::ZQ_OPEN_NO_FRAME) */
#define ZQ_OPEN_ON_TOP 0x20      /**< a window that stays above the others */
#define ZQ_OPEN_ALPHA 0x40       /**< alpha primitives: 32-bit drawing colours whose top byte is not 0xFF blend */
/** a scaled screen: the window opens at the largest whole multiple of the
 *  screen that fits 90% of the usable desktop, can be resized, and shows
 *  the picture at the largest whole multiple that fits, centred between
 *  black bars, each pixel a sharp square; full screen is the desktop's own,
 *  without a display-mode change. Pointer positions stay in screen pixels.
 *  The environment variable `ZQSCALE` ("auto", or a factor 1..16 to open
 *  the window at) makes every screen a scaled one. An OpenGL screen draws
 *  its picture with the viewport the driver sets (the screen's size) and is
 *  shown the same way. Shaped screens are never scaled. */
#define ZQ_OPEN_SCALED 0x80
#define ZQ_OPEN_NULL_DRIVER (-1) /**< the "Null" driver, without trying any real one */
/** @} */

/** Opens a screen of any size, closing the one open before.
 *  @param width,height size in pixels, 1..65535.
 *  @param depth bits per pixel: 1, 2, 4 or 8 (palette screens, one byte per
 *         pixel), 15 or 16 (RGB 5-6-5), 24 or 32 (0xAARRGGBB).
 *  @param page_count number of pages (less than 1: 1). Pages are selected
 *         with gfx_set_pages().
 *  @param flags open flags (ZQ_OPEN_...), 0 for a window.
 *  @param refresh_rate wanted refresh rate in Hz for full screen, 0 for any.
 *  @return ::ZQ_OK; ::ZQ_ERR_ILLEGAL_CALL for a bad size or depth (nothing
 *          else happens), or when no driver could be started or memory ran
 *          out (the screen is then closed). */
ZQ_API int gfx_screen_res(int width, int height, int depth, int page_count, int flags, int refresh_rate);

/** Opens a legacy screen mode from the mode table, or closes the screen.
 *
 *  | mode | size | depth | text |
 *  |---|---|---|---|
 *  | 1 | 320 x 200 | 2 | 40 x 25 |
 *  | 2 | 640 x 200 | 1 | 80 x 25 |
 *  | 7 | 320 x 200 | 4 | 40 x 25 |
 *  | 8 | 640 x 200 | 4 | 80 x 25 |
 *  | 9 | 640 x 350 | 4 (64 colours) | 80 x 25 |
 *  | 10 | 640 x 350 | 1 | 80 x 25 |
 *  | 11 | 640 x 480 | 1 | 80 x 30 |
 *  | 12 | 640 x 480 | 4 | 80 x 30 |
 *  | 13 | 320 x 200 | 8 | 40 x 25 |
 *  | 14 | 320 x 240 | 8 | 40 x 30 |
 *  | 15 | 400 x 300 | 8 | 50 x 37 |
 *  | 16 | 512 x 384 | 8 | 64 x 24 |
 *  | 17 | 640 x 400 | 8 | 80 x 25 |
 *  | 18 | 640 x 480 | 8 | 80 x 30 |
 *  | 19 | 800 x 600 | 8 | 100 x 37 |
 *  | 20 | 1024 x 768 | 8 | 128 x 48 |
 *  | 21 | 1280 x 1024 | 8 | 160 x 64 |
 *
 *  @param mode 0 closes the screen; 1, 2 and 7..21 open that mode.
 *  @param depth for modes 14 and above, 8, 15, 16, 24 or 32 replaces the
 *         table's depth; otherwise ignored.
 *  @param page_count number of pages (less than 1: 1).
 *  @param flags open flags (ZQ_OPEN_...).
 *  @param refresh_rate wanted refresh rate, 0 for any.
 *  @return ::ZQ_OK; ::ZQ_ERR_ILLEGAL_CALL for a mode outside 0..21 or an
 *          empty row (3 to 6), or when the screen could not be opened. */
ZQ_API int gfx_screen(int mode, int depth, int page_count, int flags, int refresh_rate);

/** Sets the window title: at most 127 characters are kept; the open
 *  screen's window shows it at once, a later one when it opens.
 *  @param title the title (released when temporary). */
ZQ_API void gfx_set_window_title(StringValue* title);

/** The current window title.
 *  @return the title, or null before one is set or a screen opens (an
 *          opening without a title uses the program's file name). */
ZQ_API const char* gfx_window_title(void);

/** Describes the open screen, or the desktop when none is open.
 *  Every output may be null.
 *  @param width,height size in pixels.
 *  @param depth bits per pixel (1, 2, 4, 8, 16 or 32 once open).
 *  @param bytes_per_pixel 1, 2 or 4; 0 with no screen open.
 *  @param pitch bytes per framebuffer row; 0 with no screen open.
 *  @param refresh_rate refresh rate in Hz as the driver reports it.
 *  @param driver_name receives the driver's name ("DirectX", "GDI",
 *         "OpenGL" or "Null"), empty with no screen open; free it with
 *         rt_str_delete(). */
ZQ_API void gfx_screen_info(int* width, int* height, int* depth, int* bytes_per_pixel, int* pitch,
                            int* refresh_rate, StringValue* driver_name);

/** The open screen's driver name, for a program that behaves differently
 *  where nothing is shown (the Null driver has no window and no input):
 *  @code
 *  if (strcmp(gfx_driver_name(), "Null") == 0) check_the_frame();
 *  @endcode
 *  The short form of the name gfx_screen_info() gives.
 *  @return "DirectX", "GDI", "OpenGL" or "Null"; "" with no screen open.
 *          The text stays valid while the program runs. */
ZQ_API const char* gfx_driver_name(void);

/** The highest rate gfx_frame_sync() takes. */
#define ZQ_FRAME_SYNC_MAX_FPS 1000

/** Waits for the next frame time of a steady clock of @p fps frames a
 *  second, for a loop that draws one frame per call:
 *  @code
 *  while (running) { draw(); gfx_frame_sync(60); }
 *  @endcode
 *  The frame times are start + n / @p fps seconds from the first call (or
 *  the first with a new rate), so waking late never shifts the frames that
 *  follow. The wait sleeps until just before the frame time rather than
 *  spinning. A call made after its frame time has passed returns at once
 *  (the latest frame time passed is the frame now due); the frame times
 *  before that one went by without a frame and are not made up.
 *  @param fps frames a second, 1..::ZQ_FRAME_SYNC_MAX_FPS.
 *  @return how many frame times were missed since the last call (0 when the
 *          frame was on time); -1 with ::ZQ_ERR_ILLEGAL_CALL for a rate out
 *          of range, without waiting. */
ZQ_API int gfx_frame_sync(int fps);

/** @} */

ZQ_END_DECLS

#endif /* ZENTRAVOLK_SCREEN_H */
