/**
 * @file zentravolk/shapes.h
 * @brief Shapes and capture: lines, boxes, circles, ellipses, arcs, flood
 *        fill, and copying part of a target into an image.
 */
#ifndef ZENTRAVOLK_SHAPES_H
#define ZENTRAVOLK_SHAPES_H

#include <stdint.h>

#include "zentravolk/common.h"
#include "zentravolk/image.h"

ZQ_BEGIN_DECLS

/** @addtogroup zq_draw
 *  @{
 */

/** @name Shapes and capture
 *
 * Every call here draws like gfx_pset(): on an image or the screen's work
 * page (null target), with float coordinates rounded half away from zero
 * through the view, clipped to the view, and with the graphics cursor left
 * at the last point given. Colours are 0x00RRGGBB (a palette index on
 * palette targets), converted to the target's format; ::ZQ_OMITTED takes the
 * default foreground colour (gfx_colour()). On a 32-bit screen opened with
 * ::ZQ_OPEN_ALPHA, a colour whose alpha byte is not 0xFF is blended over the
 * target, and no pixel of one shape is blended twice.
 *
 * Each call returns ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL for no screen open, a
 * colour outside 0..0xFFFFFFFF (other than ::ZQ_OMITTED), or a bad size,
 * and stores the result as the runtime's last error. Drawing that falls
 * wholly outside the view is not an error.
 *  @{
 */

/** Flag of the shape calls: the first point is relative to the graphics
 *  cursor (the last point drawn). */
#define ZQ_STEP_FIRST 2
/** Flag of gfx_line() and gfx_get(): the second point is relative to the
 *  first (after ::ZQ_STEP_FIRST has moved it). */
#define ZQ_STEP_SECOND 1
/** Flag of gfx_line(): draw the outline of the box with the two points as
 *  opposite corners instead of the line between them. */
#define ZQ_SHAPE_BOX 0x10
/** Flag of gfx_line() (with or without ::ZQ_SHAPE_BOX) and gfx_circle():
 *  fill the box, the ellipse or the pie slice. */
#define ZQ_SHAPE_FILLED 0x20

/** Draws a line, a box outline or a filled box.
 *  @param target the image, or null for the screen's work page.
 *  @param x1,y1 the first point (a corner of the box).
 *  @param x2,y2 the second point (the opposite corner); the graphics
 *         cursor is left there.
 *  @param colour the colour, or ::ZQ_OMITTED for the foreground.
 *  @param style a 16-bit dash mask for lines and box outlines: bit 15 says
 *         whether the first pixel is drawn, bit 14 the next, repeating every
 *         16 pixels (a box outline runs clockwise from the first corner).
 *         0 and ::ZQ_OMITTED draw solid. Filled boxes ignore it.
 *  @param flags ::ZQ_STEP_FIRST, ::ZQ_STEP_SECOND, ::ZQ_SHAPE_BOX and
 *         ::ZQ_SHAPE_FILLED, or-ed; 0 for a solid line between absolute
 *         points.
 *  @return ::ZQ_OK or ::ZQ_ERR_ILLEGAL_CALL. Both end points are drawn; a
 *          line from a to b draws the same pixels as from b to a. */
ZQ_API int gfx_line(ImageBuffer* target, float x1, float y1, float x2, float y2, int64_t colour, int style,
                    int flags);

/** Draws a circle, an ellipse, an arc or a pie slice, outlined or filled.
 *
 *  Angles are in radians, counterclockwise from the positive x direction
 *  with up on the screen as positive y, and taken modulo 2 pi. The arc runs
 *  counterclockwise from @p start to @p end; a negative angle (-0.0 too)
 *  also draws the radius line from the centre to that end, so both
 *  negative make a pie slice. Equal magnitudes draw the whole ellipse.
 *  @param target the image, or null for the screen's work page.
 *  @param x,y the centre; the graphics cursor is left there.
 *  @param radius the radius along the longer axis, 0 or more (0 is one
 *         pixel).
 *  @param colour the colour, or ::ZQ_OMITTED for the foreground.
 *  @param start,end the arc's angles; 0 and 0 for the whole ellipse.
 *  @param aspect the ellipse's height over its width; 0 or less (or
 *         ::ZQ_OMITTED) means 1, a circle.
 *  @param flags ::ZQ_STEP_FIRST and ::ZQ_SHAPE_FILLED, or-ed.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL also for a negative or
 *          non-finite radius, aspect or angle. */
ZQ_API int gfx_circle(ImageBuffer* target, float x, float y, float radius, int64_t colour, float start, float end,
                      float aspect, int flags);

/** Fills the region around a point with a colour: every pixel reached from
 *  it through horizontal and vertical neighbours of the region, within the
 *  view. Works on regions of any shape and size with memory for the view's
 *  pixels (one bit each) and the pending spans.
 *  @param target the image, or null for the screen's work page.
 *  @param x,y the starting point; the graphics cursor is left there.
 *  @param colour the fill colour, or ::ZQ_OMITTED for the foreground.
 *  @param border the colour that bounds the region (converted like
 *         @p colour); ::ZQ_OMITTED: the region is the pixels of the
 *         starting pixel's colour.
 *  @param flags ::ZQ_STEP_FIRST, or 0.
 *  @return ::ZQ_OK (also when the starting point is outside the view or on
 *          the border), ::ZQ_ERR_ILLEGAL_CALL, or ::ZQ_ERR_OUT_OF_MEMORY
 *          when the memory for the fill cannot be had (the region may then
 *          be filled only in part). At 4 bytes per pixel pixels are
 *          compared by colour, without their alpha byte. */
ZQ_API int gfx_flood_fill(ImageBuffer* target, float x, float y, int64_t colour, int64_t border, int flags);

/** Copies a rectangle of a target into an image: the counterpart of
 *  gfx_put() with putter_copy(), so putting the image back at the
 *  rectangle's top-left corner restores the pixels. The rectangle fills the
 *  image's top-left part; parts of it outside the view are not read and
 *  leave the image's pixels as they were.
 *  @param source the image to copy from, or null for the screen's work page.
 *  @param x1,y1,x2,y2 corners of the rectangle (both included, any order);
 *         the graphics cursor is left at the second.
 *  @param image the image to copy into, of either header style, with the
 *         source's bytes per pixel and at least the rectangle's size.
 *  @param flags ::ZQ_STEP_FIRST and ::ZQ_STEP_SECOND, or-ed; or 0.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL for no screen, no image, an
 *          image smaller than the rectangle, of other bytes per pixel, or
 *          whose header does not fit its block (nothing is copied). */
ZQ_API int gfx_get(ImageBuffer* source, float x1, float y1, float x2, float y2, ImageBuffer* image, int flags);

/** Makes an image of the rectangle's size in the source's pixel format
 *  (filled with the mask colour) and copies the rectangle into it with
 *  gfx_get(). Release it with gfx_image_destroy().
 *  @param source the image to copy from, or null for the screen's work page.
 *  @param x1,y1,x2,y2 corners of the rectangle (both included, any order).
 *  @param flags as for gfx_get().
 *  @return the image, or null when no screen is open, the rectangle is too
 *          large for an image, or memory ran out (the runtime's last error
 *          is then ::ZQ_ERR_ILLEGAL_CALL). */
ZQ_API ImageBuffer* gfx_get_image(ImageBuffer* source, float x1, float y1, float x2, float y2, int flags);
/** @} */

/** @} */

ZQ_END_DECLS

#endif /* ZENTRAVOLK_SHAPES_H */
