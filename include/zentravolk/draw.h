/**
 * @file zentravolk/draw.h
 * @brief Drawing: pixels, clearing, the view and pages.
 */
#ifndef ZENTRAVOLK_DRAW_H
#define ZENTRAVOLK_DRAW_H

#include <stdint.h>

#include "zentravolk/common.h"
#include "zentravolk/image.h"

ZQ_BEGIN_DECLS

/** @defgroup zq_draw Drawing
 *  @brief Pixels, clearing, views, pages, blitting (zentravolk/blit.h) and
 *         text (zentravolk/text.h).
 *
 * Every drawing call takes a target: an image, or null for the screen's
 * work page (the page chosen by gfx_set_pages(); what is drawn there shows
 * once it is the visible page). Coordinates are floats in pixels, rounded
 * half away from zero, relative to the view's corner when a relative view is
 * set (gfx_view()); pixels outside the view are not drawn. Drawing calls with
 * no screen open do nothing (or report ::ZQ_ERR_ILLEGAL_CALL).
 *  @{
 */

/** @name Pixels, clearing, view and pages
 *  @{
 */

/** Reads one pixel.
 *  @param target the image, or null for the screen's work page.
 *  @param x,y the point.
 *  @return the pixel: 0xAARRGGBB at 4 bytes per pixel, 0x00RRGGBB widened
 *          from RGB 5-6-5 at 2, the palette index at 1; 0xFFFFFFFF outside
 *          the view or with no screen open. */
ZQ_API uint32_t gfx_point(ImageBuffer* target, float x, float y);

/** Writes one pixel and moves the graphics cursor there.
 *  @param target the image, or null for the screen's work page.
 *  @param x,y the point.
 *  @param colour 0x00RRGGBB (a palette index on palette targets).
 *  @param step_flags 0 for absolute coordinates, 2 for coordinates relative
 *         to the graphics cursor; negative: no colour given, use a default
 *         colour (gfx_colour()) at absolute coordinates.
 *  @param preset with negative @p step_flags: non-zero takes the background,
 *         0 the foreground. */
ZQ_API void gfx_pset(ImageBuffer* target, float x, float y, uint32_t colour, int step_flags, int preset);

/** Clears the screen's work page, or part of it, in the background colour.
 *  @param how ::ZQ_OMITTED: the view if one was set, else the text view (the
 *         whole page when that is the whole console); 0: the whole page and
 *         all text; 2: the text view; any other value: the view. Clearing
 *         text moves the text cursor to the text view's top. */
ZQ_API void gfx_cls(int how);

/** Sets the screen's view: the rectangle drawing is clipped to, and the
 *  origin of relative coordinates.
 *  @param x1,y1,x2,y2 corners (in any order, limited to the screen); all
 *         four -32768 resets the view to the whole screen.
 *  @param fill_colour with @p view_flags 0 or above, the view is cleared in
 *         this colour.
 *  @param border_colour colour of a one-pixel border drawn around the view.
 *  @param view_flags bit 0 (1): absolute coordinates (else relative to the
 *         view's corner); bit 30 (0x40000000): no border; negative: no fill
 *         (-1 and ::ZQ_OMITTED also have bit 30 set: no border either). */
ZQ_API void gfx_view(int x1, int y1, int x2, int y2, uint32_t fill_colour, uint32_t border_colour,
                     int view_flags);

/** Copies the view's rectangle and the text of one page onto another.
 *  On an OpenGL screen it shows what the program drew with OpenGL instead
 *  (and still reports ::ZQ_ERR_ILLEGAL_CALL, as nothing is copied).
 *  @param source page number, negative for the work page.
 *  @param destination page number, negative for the visible page.
 *  @return ::ZQ_OK; ::ZQ_ERR_ILLEGAL_CALL for no screen, a page number at or
 *          above the page count, or an OpenGL screen. */
ZQ_API int gfx_page_copy(int source, int destination);

/** Chooses the work page (drawn on) and the visible page (shown): the
 *  double-buffering flip is gfx_set_pages(p, p ^ 1) once per frame.
 *  @param work page to draw on; out of range: unchanged.
 *  @param visible page to show; out of range: unchanged. Both negative:
 *         page 0 for both.
 *  @return the pages before the call, work + visible x 256, or -1 with no
 *          screen open. */
ZQ_API int gfx_set_pages(int work, int visible);
/** @} */

/** @} */

ZQ_END_DECLS

#endif /* ZENTRAVOLK_DRAW_H */
