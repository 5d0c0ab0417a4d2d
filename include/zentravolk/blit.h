/**
 * @file zentravolk/blit.h
 * @brief Blitting images through putters.
 */
#ifndef ZENTRAVOLK_BLIT_H
#define ZENTRAVOLK_BLIT_H

#include <stdint.h>

#include "zentravolk/common.h"
#include "zentravolk/image.h"
#include "zentravolk/runtime.h"

ZQ_BEGIN_DECLS

/** @addtogroup zq_draw
 *  @{
 */

/** @name Putters
 *  A putter combines rows of source pixels with target rows; gfx_put() and
 *  gfx_draw_string() hand it the clipped rectangle. The library's putters
 *  work on targets of 1, 2 and 4 bytes per pixel.
 *  @{
 */

/** A per-pixel combiner a program may pass through a putter of its own; the
 *  library's putters pass it on untouched. */
typedef uint32_t (*PutterBlender)(uint32_t source, uint32_t target, void* parameter);

/** A putter: combines @p height rows of @p width pixels, advancing both
 *  pointers by their pitch after each row.
 *  @param source the first source pixel.
 *  @param target the first target pixel.
 *  @param width pixels per row; @param height rows.
 *  @param source_pitch,target_pitch bytes from one row to the next.
 *  @param alpha the blend's strength (the alpha of gfx_put(), the colour of
 *         gfx_draw_string()).
 *  @param blender,parameter those given to gfx_put() or gfx_draw_string(). */
typedef void (*Putter)(const uint8_t* source, uint8_t* target, int width, int height, int source_pitch,
                       int target_pitch, int alpha, PutterBlender blender, void* parameter);

/** Copies the source rows as they are.
 *  @copydetails Putter */
ZQ_API void putter_copy(const uint8_t* source, uint8_t* target, int width, int height, int source_pitch,
                        int target_pitch, int alpha, PutterBlender blender, void* parameter);

/** Copies every source pixel that is not the mask colour (index 0, 0xF81F,
 *  or 0x00FF00FF in the low 24 bits); at 4 bytes per pixel the written top
 *  byte is 0.
 *  @copydetails Putter */
ZQ_API void putter_transparent(const uint8_t* source, uint8_t* target, int width, int height,
                               int source_pitch, int target_pitch, int alpha, PutterBlender blender,
                               void* parameter);

/** Blends every source pixel that is not the mask colour over the target
 *  with strength alpha & 0xFF, 1 (faint) to 255 (the source itself, alpha
 *  byte included). Alpha 0, and any alpha at 1 byte per pixel, puts like
 *  putter_transparent().
 *  @copydetails Putter */
ZQ_API void putter_blend(const uint8_t* source, uint8_t* target, int width, int height, int source_pitch,
                         int target_pitch, int alpha, PutterBlender blender, void* parameter);

/** Writes each 1-byte source pixel into the top (alpha) byte of a 4-byte
 *  target pixel; gfx_put() uses it by itself in ::ZQ_PUT_ALPHA_MODE.
 *  @copydetails Putter */
ZQ_API void putter_alpha_channel(const uint8_t* source, uint8_t* target, int width, int height,
                                 int source_pitch, int target_pitch, int alpha, PutterBlender blender,
                                 void* parameter);

/** Light: adds each non-mask source pixel, scaled by the strength alpha &
 *  0xFF (1 faint to 255 the whole source; 0 is 255, as for putter_blend()),
 *  to the target pixel, channel by channel (5-6-5 channels, or each of the
 *  four bytes), saturating at the channel's maximum. For fire, glow and
 *  light. At 1 byte per pixel it puts like putter_transparent().
 *  @copydetails Putter */
ZQ_API void putter_add(const uint8_t* source, uint8_t* target, int width, int height, int source_pitch,
                       int target_pitch, int alpha, PutterBlender blender, void* parameter);

/** Shadow: multiplies the target pixel by each non-mask source pixel,
 *  channel by channel (target x (source + 1) / 2^bits: white keeps the
 *  target, black gives black), and blends that over the target with the
 *  strength alpha & 0xFF as putter_blend() does (0 is full strength). At 1
 *  byte per pixel it puts like putter_transparent().
 *  @copydetails Putter */
ZQ_API void putter_multiply(const uint8_t* source, uint8_t* target, int width, int height, int source_pitch,
                            int target_pitch, int alpha, PutterBlender blender, void* parameter);

/** Tint: writes each non-mask source pixel multiplied, channel by channel,
 *  by the colour given as @p alpha = 0x00RRGGBB (source x (colour channel +
 *  1) / 256: 0xFFFFFF writes the source's colour, 0xFF0000 its red only);
 *  at 4 bytes per pixel the written top byte is 0. For hit flashes and day
 *  and night. At 1 byte per pixel it puts like putter_transparent().
 *  @copydetails Putter */
ZQ_API void putter_tint(const uint8_t* source, uint8_t* target, int width, int height, int source_pitch,
                        int target_pitch, int alpha, PutterBlender blender, void* parameter);
/** @} */

/** @name Blitting
 *  @{
 */

/** Source rectangle x1 of gfx_put() meaning "the whole image". */
#define ZQ_PUT_WHOLE_IMAGE ZQ_OMITTED
/** Coordinate flag of gfx_put(): (x2, y2) is relative to (x1, y1). */
#define ZQ_PUT_RECT_RELATIVE 1
/** Coordinate flag of gfx_put(): the destination point is relative to the
 *  graphics cursor (the last point drawn). */
#define ZQ_PUT_POINT_RELATIVE 2
/** The put mode that writes a 1-byte source into the alpha bytes of a
 *  4-byte target with putter_alpha_channel(), whatever putter is given. */
#define ZQ_PUT_ALPHA_MODE 6

/** Blits an image, or a rectangle of it, onto an image or the screen
 *  through a putter, clipped to the target's view.
 *  @param target the target image, or null for the screen's work page.
 *  @param x,y where the rectangle's top-left pixel goes.
 *  @param source the source image; it must have the target's bytes per
 *         pixel (1-byte sources into 4-byte targets in ::ZQ_PUT_ALPHA_MODE).
 *  @param x1,y1,x2,y2 the source rectangle, corners in any order, clamped to
 *         the image; x1 = ::ZQ_PUT_WHOLE_IMAGE for the whole image.
 *  @param coord_flags 0, or ::ZQ_PUT_RECT_RELATIVE | ::ZQ_PUT_POINT_RELATIVE.
 *  @param mode the put mode; only ::ZQ_PUT_ALPHA_MODE changes anything
 *         (pass 0).
 *  @param putter putter_copy(), putter_transparent(), putter_blend(),
 *         putter_alpha_channel() or the program's own.
 *  @param alpha handed to the putter (the strength of putter_blend()).
 *  @param blender,parameter handed to the putter; null for the library's.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL for no screen open, no source
 *          or putter, differing pixel sizes, or an image whose header does
 *          not fit its block. */
ZQ_API int gfx_put(ImageBuffer* target, float x, float y, const ImageBuffer* source, int x1, int y1, int x2,
                   int y2, int coord_flags, int mode, Putter putter, int alpha, PutterBlender blender,
                   void* parameter);

/** @name Transformed puts
 *  Mirrored, stretched and rotated sprites through the same putters.
 *  @{
 */

/** Flip flag of ::GfxTransform: mirror left and right within the source
 *  rectangle. */
#define ZQ_FLIP_H 1
/** Flip flag of ::GfxTransform: mirror top and bottom within the source
 *  rectangle. */
#define ZQ_FLIP_V 2

/** A rectangle of an image's pixels: its top-left pixel and its size. */
typedef struct GfxRect {
  int x;      /**< the left column */
  int y;      /**< the top row */
  int width;  /**< the width in pixels, above 0 */
  int height; /**< the height in pixels, above 0 */
} GfxRect;

/** How gfx_put_transformed() maps the source rectangle onto the target.
 *  The flips are applied within the source rectangle first; the flipped
 *  picture is then scaled and rotated about the pivot, which lands on the
 *  put's point. {1, 1, 0, 0, 0, 0} is a plain put. */
typedef struct GfxTransform {
  double scale_x; /**< width factor, finite and not 0; negative mirrors about the pivot */
  double scale_y; /**< height factor, finite and not 0; negative mirrors about the pivot */
  double angle;   /**< degrees, clockwise on the screen; finite */
  double pivot_x; /**< the pivot's column, in source pixels from the rectangle's left edge */
  double pivot_y; /**< the pivot's row, in source pixels from the rectangle's top edge */
  int flip;                /**< 0, ::ZQ_FLIP_H, ::ZQ_FLIP_V or both */
} GfxTransform;

/** Puts a rectangle of an image mirrored, scaled and rotated, through any
 *  putter, clipped to the target's view.
 *
 *  The rule, exactly: source pixel (i, j) of the rectangle covers
 *  [i, i + 1) x [j, j + 1). With (tx, ty) the target pixel of the point
 *  (rounded as gfx_put() rounds it), c and s the cosine and sine of the
 *  angle (exactly 0 and +-1 at multiples of 90 degrees), a target pixel
 *  (X, Y) is drawn if and only if its centre, mapped back in double
 *  precision as
 *  @code
 *  px = (X + 0.5) - tx;   py = (Y + 0.5) - ty;
 *  u  = ((c / scale_x) * px + (s / scale_x) * py) + pivot_x;
 *  v  = ((-s / scale_y) * px + (c / scale_y) * py) + pivot_y;
 *  @endcode
 *  falls inside the rectangle (0 <= u < width, 0 <= v < height), and it
 *  takes the pixel (floor(u), floor(v)) of the flipped rectangle. So scale
 *  1, angle 0 and no flip give exactly gfx_put()'s pixels, and integer
 *  scales repeat each pixel exactly.
 *
 *  The sampled pixels of each target row are gathered into a row and handed
 *  to the putter, so mask colours, strengths and blenders work as with
 *  gfx_put(). The screen's rows drawn on are marked for display.
 *  @param target the target image, or null for the screen's work page.
 *  @param x,y where the pivot goes.
 *  @param source the source image, of the target's bytes per pixel.
 *  @param source_rect the rectangle to put, wholly inside the image; null
 *         for the whole image.
 *  @param transform the mapping; null for a plain put.
 *  @param putter any putter, the library's or the program's own.
 *  @param alpha,blender,parameter handed to the putter.
 *  @return ::ZQ_OK (also when nothing is inside the view), or
 *          ::ZQ_ERR_ILLEGAL_CALL, with a reason (rt_error_detail()) and
 *          nothing drawn, for no screen open, no source or putter, differing
 *          pixel sizes, an image whose header does not fit its block, a
 *          rectangle that is empty or reaches outside the image, a scale
 *          that is 0, not finite or too small to invert, an angle or pivot
 *          that is not finite, or unknown flip flags. */
ZQ_API int gfx_put_transformed(ImageBuffer* target, float x, float y, const ImageBuffer* source,
                               const GfxRect* source_rect, const GfxTransform* transform, Putter putter,
                               int alpha, PutterBlender blender, void* parameter);
/** @} */
/** @} */

/** @} */

ZQ_END_DECLS

#endif /* ZENTRAVOLK_BLIT_H */
