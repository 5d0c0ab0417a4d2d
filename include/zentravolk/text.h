/**
 * @file zentravolk/text.h
 * @brief Drawing text with bitmap fonts.
 */
#ifndef ZENTRAVOLK_TEXT_H
#define ZENTRAVOLK_TEXT_H

#include <stdint.h>

#include "zentravolk/common.h"
#include "zentravolk/blit.h"
#include "zentravolk/image.h"
#include "zentravolk/runtime.h"

ZQ_BEGIN_DECLS

/** @addtogroup zq_draw
 *  @{
 */

/** @name Text
 *  @{
 */

/** Flag of gfx_draw_string(): coordinates are absolute. */
#define ZQ_TEXT_ABSOLUTE 4
/** Flag of gfx_draw_string(): coordinates are relative to the graphics
 *  cursor. */
#define ZQ_TEXT_RELATIVE 5
/** Flag bit of gfx_draw_string(): draw in the default foreground colour
 *  (gfx_colour()) instead of the colour argument. */
#define ZQ_TEXT_USE_FOREGROUND ((int)0x80000000u)

/** Draws one line of text at a pixel position.
 *
 *  Without a font the screen's built-in code page 437 font (8 x 8 on screens
 *  opened by size) is drawn in @p colour. With a font image, each glyph is
 *  blitted through @p putter: the font image has the target's pixel format;
 *  its first pixel row, read as bytes, holds 0, the first and the last
 *  character code, then one width in pixels per character; the rows below
 *  hold the glyphs side by side in character order (glyph height = image
 *  height - 1). Characters outside the font are skipped.
 *  @param target the image, or null for the screen's work page.
 *  @param x,y the top-left corner of the text.
 *  @param flags ::ZQ_TEXT_ABSOLUTE or ::ZQ_TEXT_RELATIVE, optionally
 *         | ::ZQ_TEXT_USE_FOREGROUND.
 *  @param text the text (released when temporary).
 *  @param colour the built-in font's colour; with a font image, the alpha
 *         given to the putter (255 for a plain putter_blend()).
 *  @param font a font image, or null for the built-in font.
 *  @param mode 0 (6 passes the colour on unconverted).
 *  @param putter the putter for a font image (putter_transparent(),
 *         putter_blend(), ...); unused without one.
 *  @param blender,parameter handed to the putter; null for the library's.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL for no screen, a null text or a
 *          bad font image. */
ZQ_API int gfx_draw_string(ImageBuffer* target, float x, float y, int flags, StringValue* text, uint32_t colour,
                           const ImageBuffer* font, int mode, Putter putter, PutterBlender blender,
                           void* parameter);
/** @} */

/** @} */

ZQ_END_DECLS

#endif /* ZENTRAVOLK_TEXT_H */
