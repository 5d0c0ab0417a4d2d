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

/** Alignment of gfx_draw_text_ex(): the text starts at x. */
#define ZQ_ALIGN_LEFT 0
/** Alignment of gfx_draw_text_ex(): the text's middle is at x (its width
 *  halved, rounded down, lies left of x). */
#define ZQ_ALIGN_CENTRE 1
/** Alignment of gfx_draw_text_ex(): the text ends just left of x. */
#define ZQ_ALIGN_RIGHT 2
/** Flag of gfx_draw_text_ex() and gfx_text_size_ex(): the text is UTF-8,
 *  each character drawn as its code page 437 glyph ('?' for a character the
 *  code page lacks and for a sequence that is not UTF-8). Without it the
 *  text's bytes are code page 437 codes. */
#define ZQ_TEXT_UTF8 0x100

/** Flag of gfx_font_from_strip(): the glyphs are in cells of one size, left
 *  to right and row by row (use ::ZQ_FONT_CELLS). */
#define ZQ_FONT_FIXED_CELLS 0x10000
/** Flags of gfx_font_from_strip() for glyphs in cells of @p width x
 *  @p height pixels (each 1 to 255; a height of 0 is the picture's height). */
#define ZQ_FONT_CELLS(width, height) (ZQ_FONT_FIXED_CELLS | ((width) & 0xFF) | ((height) & 0xFF) << 8)

/** Makes a font image from a picture of glyphs.
 *
 *  Without ::ZQ_FONT_FIXED_CELLS the glyphs are boxes in a row or a grid,
 *  separated by lines of the colour of the picture's top-left pixel: the
 *  picture's top row and left column are of that colour, and so is every
 *  line between two glyphs or two rows of glyphs; each glyph is as wide as
 *  its box, and no separator pixel lies inside a box. With
 *  ::ZQ_FONT_CELLS(width, height) the glyphs are in cells of that size
 *  instead. Glyphs are taken in reading order, for the codes @p first to
 *  @p last; the first glyph's top-left pixel gives the glyphs' background
 *  colour, which becomes the mask colour (so the text is drawn without it).
 *  The font image has the picture's pixel format and is as high as the
 *  tallest glyph plus its header row.
 *  @param image the picture (for instance from gfx_load_image()).
 *  @param first,last the character codes of the first and last glyph, 0 to
 *         255, first not after last.
 *  @param flags 0, or ::ZQ_FONT_CELLS(width, height).
 *  @return the font image (release it with gfx_image_destroy()), or null
 *          with ::ZQ_ERR_ILLEGAL_CALL and a reason (rt_error_detail()) for no
 *          screen, no picture, a bad range, a picture without separator
 *          lines, fewer glyphs than the range needs, or a glyph wider than
 *          255 pixels; ::ZQ_ERR_OUT_OF_MEMORY when memory ran out. */
ZQ_API ImageBuffer* gfx_font_from_strip(const ImageBuffer* image, int first, int last, int flags);

/** The largest pixel height gfx_font_load_ttf() renders. */
#define ZQ_FONT_MAX_PIXEL_HEIGHT 255
/** Flags of gfx_font_load_ttf(): make the font for a depth of @p bits (8, 16
 *  or 32) instead of the screen's. */
#define ZQ_FONT_DEPTH(bits) ((bits) & 0x3F)

/** Renders a TrueType font (or any font file FreeType reads) into a font
 *  image.
 *
 *  All 256 characters of code page 437 (the library's text encoding) are
 *  rendered at @p pixel_height (the font's em), in a line as high as the
 *  font's ascent and descent at that size; each glyph is as wide as its
 *  advance (no kerning), or as its ink where that reaches further, at most
 *  255 pixels. A character the font lacks is its missing-glyph shape; code
 *  0 is empty. For 32 bits per pixel each pixel's alpha byte is the glyph's
 *  coverage (0 to 255) and the text is drawn blended in its colour; for 8
 *  and 16 bits a pixel is part of the glyph where the coverage is at least
 *  half, and the text is drawn in its colour with the mask. Draw it with
 *  gfx_draw_text_aligned() or gfx_draw_text_ex().
 *  @param file the font file's name.
 *  @param pixel_height the size in pixels, 1 to ::ZQ_FONT_MAX_PIXEL_HEIGHT.
 *  @param flags 0 (the screen's depth), or ::ZQ_FONT_DEPTH(bits).
 *  @return the font image (release it with gfx_image_destroy()), or null:
 *          ::ZQ_ERR_FILE_NOT_FOUND when the file cannot be opened;
 *          ::ZQ_ERR_FILE_IO when FreeType refuses the file or its size;
 *          ::ZQ_ERR_ILLEGAL_CALL for no screen, no name, a size or depth out
 *          of range; ::ZQ_ERR_OUT_OF_MEMORY when the glyphs do not fit in an
 *          image. Each with a reason in rt_error_detail(). */
ZQ_API ImageBuffer* gfx_font_load_ttf(const char* file, int pixel_height, int flags);

/** Measures a line of text as gfx_draw_text_ex() would draw it.
 *
 *  The width is the sum of the glyphs' widths (with a font image, a
 *  character it has no glyph for takes a gap as wide as its glyphs are
 *  high); the height is the glyphs' height. Both are multiplied by @p scale.
 *  @param font a font image, or null for the screen's built-in font (a
 *         screen must then be open).
 *  @param text the text, zero-terminated.
 *  @param flags 0 or ::ZQ_TEXT_UTF8 (alignment bits are ignored).
 *  @param scale the whole-number magnification, 1 or more.
 *  @param[out] width,height the size in pixels (either may be null); 0 x 0
 *         on failure.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL (with a reason in
 *          rt_error_detail()) for a null text, a scale below 1, no screen
 *          without a font, or a font image whose header is not a font's. */
ZQ_API int gfx_text_size_ex(const ImageBuffer* font, const char* text, int flags, int scale, int* width,
                            int* height);

/** gfx_text_size_ex() of code page 437 text at scale 1.
 *  @param font a font image, or null for the built-in font.
 *  @param text the text, zero-terminated.
 *  @param[out] width,height the size in pixels (either may be null).
 *  @return as gfx_text_size_ex(). */
ZQ_API int gfx_text_size(const ImageBuffer* font, const char* text, int* width, int* height);

/** gfx_text_size_ex() of UTF-8 text at scale 1.
 *  @param font a font image, or null for the built-in font.
 *  @param text the UTF-8 text, zero-terminated.
 *  @param[out] width,height the size in pixels (either may be null).
 *  @return as gfx_text_size_ex(). */
ZQ_API int gfx_text_size_utf8(const ImageBuffer* font, const char* text, int* width, int* height);

/** Draws a line of text aligned on a point, magnified by a whole number.
 *
 *  The line is drawn as gfx_draw_string() draws it, then every pixel of it
 *  becomes a @p scale x @p scale block: the pixels are exactly those of the
 *  line drawn at scale 1 and magnified. Without a font the built-in font is
 *  drawn in @p colour. A font image made from a picture is drawn as it is,
 *  its mask colour left out; a TrueType font (gfx_font_load_ttf()) is drawn
 *  in @p colour, blended by its coverage on 4-byte targets.
 *  @param target the image, or null for the screen's work page.
 *  @param x,y the anchor: the top of the line, and its left end, middle or
 *         right end by the alignment.
 *  @param text the text, zero-terminated.
 *  @param colour the text's colour as 0x00RRGGBB (a palette index on 1-byte
 *         targets); with a picture's font, handed to @p putter as its alpha.
 *  @param font a font image, or null for the built-in font.
 *  @param flags ::ZQ_ALIGN_LEFT, ::ZQ_ALIGN_CENTRE or ::ZQ_ALIGN_RIGHT,
 *         optionally | ::ZQ_TEXT_UTF8.
 *  @param scale the whole-number magnification, 1 or more.
 *  @param putter the putter for a font image, or null for the one the font
 *         is meant for; unused without a font.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL (with a reason) for no screen,
 *          a null text, a scale below 1, an unknown alignment, or a font
 *          image that cannot be drawn on the target. */
ZQ_API int gfx_draw_text_ex(ImageBuffer* target, float x, float y, const char* text, uint32_t colour,
                            const ImageBuffer* font, int flags, int scale, Putter putter);

/** gfx_draw_text_ex() of code page 437 text at scale 1 with the font's own
 *  putter.
 *  @param target the image, or null for the screen's work page.
 *  @param x,y the anchor (see gfx_draw_text_ex()).
 *  @param text the text, zero-terminated.
 *  @param colour the text's colour.
 *  @param font a font image, or null for the built-in font.
 *  @param align ::ZQ_ALIGN_LEFT, ::ZQ_ALIGN_CENTRE or ::ZQ_ALIGN_RIGHT.
 *  @return as gfx_draw_text_ex(). */
ZQ_API int gfx_draw_text_aligned(ImageBuffer* target, float x, float y, const char* text, uint32_t colour,
                                 const ImageBuffer* font, int align);

/** gfx_draw_text_ex() of UTF-8 text at scale 1 with the font's own putter.
 *  @param target the image, or null for the screen's work page.
 *  @param x,y the anchor (see gfx_draw_text_ex()).
 *  @param text the UTF-8 text, zero-terminated.
 *  @param colour the text's colour.
 *  @param font a font image, or null for the built-in font.
 *  @param align ::ZQ_ALIGN_LEFT, ::ZQ_ALIGN_CENTRE or ::ZQ_ALIGN_RIGHT.
 *  @return as gfx_draw_text_ex(). */
ZQ_API int gfx_draw_text_utf8(ImageBuffer* target, float x, float y, const char* text, uint32_t colour,
                              const ImageBuffer* font, int align);
/** @} */

/** @} */

ZQ_END_DECLS

#endif /* ZENTRAVOLK_TEXT_H */
