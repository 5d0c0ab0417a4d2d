/**
 * @file zentravolk/shortcuts.h
 * @brief Short forms of the common calls, with plain C arguments: text from
 *        a C string, a whole image put at a point (mirrored, stretched or
 *        turned), a BMP file loaded into an image of its own size,
 *        rectangles and circles by their size, and error numbers as text.
 *
 * Each one hands its arguments to the full call it names, which does the
 * work; results, error numbers and pixels are that call's.
 */
#ifndef ZENTRAVOLK_SHORTCUTS_H
#define ZENTRAVOLK_SHORTCUTS_H

#include <stddef.h>
#include <stdint.h>

#include "zentravolk/common.h"
#include "zentravolk/blit.h"
#include "zentravolk/image.h"
#include "zentravolk/shapes.h"

ZQ_BEGIN_DECLS

/** @defgroup zq_shortcuts Shortcuts
 *  @brief The common calls with fewer, plainer arguments.
 *
 * @code
 * ImageBuffer* sprite = gfx_load_image("sprites/vw1.bmp");
 * if (!sprite) fprintf(stderr, "vw1.bmp: %s\n", rt_error_text(rt_get_error()));
 * gfx_put_image(NULL, 100, 80, sprite, putter_transparent);
 * gfx_draw_text(NULL, 8, 8, "Hello", 0xFFFF00, NULL);
 * gfx_image_destroy(sprite);
 * @endcode
 *  @{
 */

/** Draws a line of text at a point: gfx_draw_string() with absolute
 *  coordinates.
 *  @param target the image, or null for the screen's work page.
 *  @param x,y the top-left corner of the text.
 *  @param text the characters (code page 437), zero-terminated.
 *  @param colour the colour of the built-in font, as 0x00RRGGBB (a palette
 *         index on palette screens); unused with a font image.
 *  @param font null for the screen's built-in font, or a font image
 *         (see gfx_draw_string()), whose glyphs keep their own colours and
 *         are put with putter_transparent().
 *  @return as gfx_draw_string(): ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL for no
 *          screen, a null @p text or a bad font image. */
ZQ_API int gfx_draw_text(ImageBuffer* target, float x, float y, const char* text, uint32_t colour,
                         const ImageBuffer* font);

/** Puts a whole image with its top-left pixel at a point: gfx_put() of the
 *  whole image at full strength (alpha 255).
 *  @param target the image, or null for the screen's work page.
 *  @param x,y where the image's top-left pixel goes.
 *  @param image the image to put.
 *  @param putter putter_copy(), putter_transparent(), putter_blend() (at
 *         full strength: the source's pixels, alpha byte included) or the
 *         program's own.
 *  @return as gfx_put(). */
ZQ_API int gfx_put_image(ImageBuffer* target, float x, float y, const ImageBuffer* image, Putter putter);

/** Puts a whole image mirrored: gfx_put_transformed() with only flips, at
 *  full strength (alpha 255).
 *  @param target the image, or null for the screen's work page.
 *  @param x,y where the image's top-left corner goes.
 *  @param image the image to put.
 *  @param flip ::ZQ_FLIP_H, ::ZQ_FLIP_V, both, or 0.
 *  @param putter any putter.
 *  @return as gfx_put_transformed(). */
ZQ_API int gfx_put_flipped(ImageBuffer* target, float x, float y, const ImageBuffer* image, int flip,
                           Putter putter);

/** Puts a whole image stretched to a size: gfx_put_transformed() with the
 *  scales width / image width and height / image height, the image's
 *  top-left corner at (x, y), at full strength (alpha 255).
 *  @param target the image, or null for the screen's work page.
 *  @param x,y where the image's top-left corner goes.
 *  @param width,height the size drawn, in target pixels; a negative one
 *         mirrors the image to the left of (or above) the point; 0 is
 *         refused.
 *  @param image the image to put.
 *  @param putter any putter.
 *  @return as gfx_put_transformed(). */
ZQ_API int gfx_put_scaled(ImageBuffer* target, float x, float y, int width, int height, const ImageBuffer* image,
                          Putter putter);

/** Puts a whole image turned about its centre: gfx_put_transformed() with
 *  the pivot at the image's centre, at full strength (alpha 255).
 *  @param target the image, or null for the screen's work page.
 *  @param x,y where the image's centre goes.
 *  @param image the image to put.
 *  @param angle degrees, clockwise on the screen.
 *  @param scale the size factor on both axes (1: the image's own size).
 *  @param putter any putter.
 *  @return as gfx_put_transformed(). */
ZQ_API int gfx_put_rotated(ImageBuffer* target, float x, float y, const ImageBuffer* image, double angle,
                           double scale, Putter putter);

/** Loads a BMP file into a new image of the file's size in the screen's
 *  pixel format, filled first with the mask colour: gfx_image_create() and
 *  gfx_load_bitmap(). Release it with gfx_image_destroy().
 *  @param name the file name; folders may be separated by "/" or "\".
 *  @return the image, or null with the error number as the last error
 *          (rt_get_error()): ::ZQ_ERR_ILLEGAL_CALL for no screen, a null
 *          @p name, a raw block file or what gfx_load_bitmap() refuses;
 *          ::ZQ_ERR_FILE_NOT_FOUND when the file cannot be opened;
 *          ::ZQ_ERR_FILE_IO for bad or short file data. */
ZQ_API ImageBuffer* gfx_load_image(const char* name);

/** Loads an image file's bytes from memory into a new image of the file's
 *  size, as gfx_load_image() loads a file (gfx_image_create() and
 *  gfx_load_bitmap_mem()).
 *  @param data the file's bytes (not kept after the call).
 *  @param size how many bytes @p data holds.
 *  @return the image, or null with the error number as the last error and
 *          its reason (rt_error_detail()): as gfx_load_image(), without
 *          ::ZQ_ERR_FILE_NOT_FOUND. */
ZQ_API ImageBuffer* gfx_load_image_mem(const void* data, size_t size);

/** Fills a rectangle of @p width x @p height pixels whose top-left pixel is
 *  at a point: gfx_line() with ::ZQ_SHAPE_FILLED between that pixel and the
 *  one @p width - 1 and @p height - 1 pixels further (the point is rounded
 *  first, so the size is always exact).
 *  @param target the image, or null for the screen's work page.
 *  @param x,y the top-left pixel.
 *  @param width,height the size in pixels; 0 draws nothing.
 *  @param colour the colour, as for gfx_line().
 *  @return as gfx_line(), and ::ZQ_ERR_ILLEGAL_CALL for a negative size. */
ZQ_API int gfx_fill_rect(ImageBuffer* target, float x, float y, int width, int height, uint32_t colour);

/** Draws the one-pixel outline of the rectangle gfx_fill_rect() fills:
 *  gfx_line() with ::ZQ_SHAPE_BOX.
 *  @param target the image, or null for the screen's work page.
 *  @param x,y the top-left pixel.
 *  @param width,height the size in pixels; 0 draws nothing.
 *  @param colour the colour, as for gfx_line().
 *  @return as gfx_fill_rect(). */
ZQ_API int gfx_draw_rect(ImageBuffer* target, float x, float y, int width, int height, uint32_t colour);

/** Fills a circle: gfx_circle() of the whole circle with ::ZQ_SHAPE_FILLED.
 *  @param target the image, or null for the screen's work page.
 *  @param x,y the centre.
 *  @param radius the radius, 0 or more (0 is one pixel).
 *  @param colour the colour, as for gfx_circle().
 *  @return as gfx_circle(). */
ZQ_API int gfx_fill_circle(ImageBuffer* target, float x, float y, float radius, uint32_t colour);

/** Draws a circle's outline: gfx_circle() of the whole circle.
 *  @param target the image, or null for the screen's work page.
 *  @param x,y the centre.
 *  @param radius the radius, 0 or more (0 is one pixel).
 *  @param colour the colour, as for gfx_circle().
 *  @return as gfx_fill_circle(). */
ZQ_API int gfx_draw_circle(ImageBuffer* target, float x, float y, float radius, uint32_t colour);

/** Sets the window title from a C string: gfx_set_window_title() with a
 *  temporary string of its characters (at most 127 are kept).
 *  @param title the title, zero-terminated; null leaves the title as it is
 *         and sets ::ZQ_ERR_ILLEGAL_CALL. */
ZQ_API void gfx_set_title(const char* title);

/** The meaning of an error number, for messages (the library itself never
 *  prints).
 *  @param error an error number (::ZQ_OK, ::ZQ_ERR_ILLEGAL_CALL, ...).
 *  @return a short English text that lives as long as the program, such as
 *          "file not found"; "unknown error" for a number the library does
 *          not use. */
ZQ_API const char* rt_error_text(int error);

/** @} */

ZQ_END_DECLS

#endif /* ZENTRAVOLK_SHORTCUTS_H */
