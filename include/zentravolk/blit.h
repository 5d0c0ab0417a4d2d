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
/** @} */

/** @} */

ZQ_END_DECLS

#endif /* ZENTRAVOLK_BLIT_H */
