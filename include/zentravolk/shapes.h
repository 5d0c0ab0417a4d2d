/**
 * @file zentravolk/shapes.h
 * @brief Shapes and capture: lines, boxes, circles, ellipses, arcs,
 *        polygons, thick and smooth lines, flood fill, and copying part of a
 *        target into an image.
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

/** Draws a polygon, filled or outlined.
 *
 *  Filled, a pixel is drawn when its centre lies inside the polygon by the
 *  even-odd rule (so self-crossing polygons have holes where they overlap
 *  themselves); a centre exactly on an edge counts as inside only on the
 *  polygon's left and top edges. Polygons that share an edge therefore
 *  neither overlap nor leave a gap, and a tiling of the target by polygons
 *  covers each pixel exactly once. Pixel (x, y) has its centre at the point
 *  (x, y); vertices keep their fractions to 1/256 of a pixel and are limited
 *  to 2^30 pixels either side of the view's origin.
 *
 *  Outlined, the polygon is the closed chain of gfx_line() lines through its
 *  vertices, each rounded to a pixel as gfx_line() rounds its points.
 *  @param target the image, or null for the screen's work page.
 *  @param points @p count vertices as x, y pairs; the graphics cursor is
 *         left at the last one.
 *  @param count the number of vertices, 1 or more.
 *  @param colour the colour, or ::ZQ_OMITTED for the foreground.
 *  @param flags ::ZQ_SHAPE_FILLED, or 0 for the outline.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL also for no points, a count
 *          below 1 or a coordinate that is not finite. */
ZQ_API int gfx_polygon(ImageBuffer* target, const float* points, int count, int64_t colour, int flags);

/** Draws a triangle: gfx_polygon() with three vertices.
 *  @param target the image, or null for the screen's work page.
 *  @param x1,y1,x2,y2,x3,y3 the vertices; the graphics cursor is left at
 *         the third.
 *  @param colour the colour, or ::ZQ_OMITTED for the foreground.
 *  @param flags ::ZQ_SHAPE_FILLED, or 0 for the outline.
 *  @return as gfx_polygon(). */
ZQ_API int gfx_triangle(ImageBuffer* target, float x1, float y1, float x2, float y2, float x3, float y3,
                        int64_t colour, int flags);

/** Flag of gfx_thick_line(): round ends (a disc of the line's width around
 *  each end point) instead of butt ends. */
#define ZQ_LINE_ROUND_ENDS 0x40

/** Draws a line of any width: the rectangle around the segment from the
 *  first point to the second, @p width wide, filled by the centre rule of
 *  gfx_polygon() (a pixel is drawn when its centre is inside). The ends are
 *  cut square at the end points (butt ends), or with ::ZQ_LINE_ROUND_ENDS
 *  rounded by a disc of the line's width around each end point. A line from
 *  a to b draws the same pixels as from b to a, and no pixel twice. The end
 *  points keep their fractions.
 *  @param target the image, or null for the screen's work page.
 *  @param x1,y1,x2,y2 the end points; the graphics cursor is left at the
 *         second.
 *  @param width the width in pixels, 0 or more (0, and a butt line whose
 *         ends are the same point, draw nothing).
 *  @param colour the colour, or ::ZQ_OMITTED for the foreground.
 *  @param flags ::ZQ_STEP_FIRST, ::ZQ_STEP_SECOND and ::ZQ_LINE_ROUND_ENDS,
 *         or-ed.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL also for a negative or
 *          non-finite width or a non-finite point. */
ZQ_API int gfx_thick_line(ImageBuffer* target, float x1, float y1, float x2, float y2, float width, int64_t colour,
                          int flags);

/** Draws an anti-aliased line (Wu's method). The line is a band one pixel
 *  thick across its longer axis, from end point to end point (which keep
 *  their fractions); in each column (each row, for a steep line) it covers
 *  two pixels, shared by where it passes between their centres, so the
 *  coverage of a column adds up to the band's share of it (1 inside, less
 *  at the ends). On a 32-bit target each pixel's four bytes are moved
 *  toward the colour's by its coverage (times the colour's alpha where the
 *  screen blends, see ::ZQ_OPEN_ALPHA); on 8- and 16-bit targets a pixel is
 *  drawn plainly when it is at least half covered. A line from a to b draws
 *  the same as from b to a, no pixel twice.
 *  @param target the image, or null for the screen's work page.
 *  @param x1,y1,x2,y2 the end points; the graphics cursor is left at the
 *         second.
 *  @param colour the colour, or ::ZQ_OMITTED for the foreground.
 *  @param flags ::ZQ_STEP_FIRST and ::ZQ_STEP_SECOND, or-ed; or 0.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL also for a point that is not
 *          finite. */
ZQ_API int gfx_smooth_line(ImageBuffer* target, float x1, float y1, float x2, float y2, int64_t colour, int flags);

/** Draws an anti-aliased ellipse outline with axes along x and y (Wu's
 *  method): stepped across columns where the outline is flatter than 45
 *  degrees and across rows where it is steeper, each step covering two
 *  pixels as gfx_smooth_line() does; where the two meet a pixel takes the
 *  larger coverage and is written once. Written as gfx_smooth_line() writes.
 *  @param target the image, or null for the screen's work page.
 *  @param x,y the centre (fractions kept); the graphics cursor is left there.
 *  @param radius_x,radius_y the half-width and the half-height, 0 or more.
 *  @param colour the colour, or ::ZQ_OMITTED for the foreground.
 *  @param flags ::ZQ_STEP_FIRST, or 0.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL also for a centre that is not
 *          finite or a negative or non-finite radius. */
ZQ_API int gfx_smooth_ellipse(ImageBuffer* target, float x, float y, float radius_x, float radius_y, int64_t colour,
                              int flags);

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
