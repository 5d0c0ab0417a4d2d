/**
 * @file zentravolk/image.h
 * @brief Image buffers, colours and palettes, and loading and saving image files.
 */
#ifndef ZENTRAVOLK_IMAGE_H
#define ZENTRAVOLK_IMAGE_H

#include <stddef.h>
#include <stdint.h>

#include "zentravolk/common.h"
#include "zentravolk/runtime.h"

ZQ_BEGIN_DECLS

/** @defgroup zq_image Images, colours and palettes
 *  @brief Off-screen images, pixel formats, palettes and the BMP loader.
 *
 * Pixel formats by bytes per pixel: 1 = a palette index; 2 = RGB 5-6-5 with
 * red in the top bits; 4 = 0xAARRGGBB. Drawing colours are always given as
 * 32-bit 0x00RRGGBB values (palette indices on palette screens) and
 * converted to the target's format. The mask (transparent) colour of a
 * source image is index 0, 0xF81F, or 0x00FF00FF in the low 24 bits.
 *  @{
 */

/** An image: a header followed directly by its pixel rows, in one block.
 *
 * The header style follows the compatibility level given to rt_init():
 * - long style (level 0): eight 32-bit words: 7, bytes per pixel, width,
 *   height, pitch (row length in bytes, rounded up to 16), then three
 *   reserved words; the pixels start at byte 32.
 * - short style (any other level): two 16-bit words: bytes per pixel in
 *   bits 0..2 and width in bits 3..15, then height; rows are width x bytes
 *   per pixel long without padding; the pixels start at byte 4.
 *
 * Images are made by gfx_image_create() and belong to the program until
 * gfx_image_destroy().
 */
typedef struct ImageBuffer ImageBuffer;

/** The fill colour of gfx_image_create() that means "the mask colour"
 *  (pass any negative @p flags). */
#define ZQ_IMAGE_MASK_FILL (-1)

/** Makes an image filled with one colour. The new image becomes the
 *  drawing target of the plain drawing calls until another target is used.
 *  @param width,height size in pixels, above 0 (short style: width at most
 *         8191).
 *  @param colour fill colour as 0x00RRGGBB (a palette index for 1 byte per
 *         pixel); converted to RGB 5-6-5 for 2 bytes per pixel.
 *  @param depth bits per pixel (1..16 or 25..32: 1, 2 or 4 bytes per pixel);
 *         0 or less: the screen's.
 *  @param flags negative: fill with the mask colour instead of @p colour
 *         (0xFFFF00FF, 0xF81F or 0); otherwise 0.
 *  @return the image, or null when no screen is open, the size is 0 or less,
 *          the depth cannot be made, or memory ran out. */
ZQ_API ImageBuffer* gfx_image_create(int width, int height, uint32_t colour, int depth, int flags);

/** Releases an image.
 *  @param image the image, or null (nothing happens). */
ZQ_API void gfx_image_destroy(ImageBuffer* image);

/** An image's size, read from either header style.
 *  @param image the image.
 *  @param width,height receive the size in pixels; either may be null.
 *  @return ::ZQ_OK, or ::ZQ_ERR_ILLEGAL_CALL (with a reason, see
 *          rt_error_detail()) for a null image or a header that does not
 *          describe an image; the outputs are then left as they were. */
ZQ_API int gfx_image_size(const ImageBuffer* image, int* width, int* height);

/** An image's pixel rows, for reading or writing them directly. Row y
 *  starts @p pitch x y bytes after the returned pixel; a pixel is 1, 2 or
 *  4 bytes as described above (a short-style image whose pixel size is 0
 *  has the screen's).
 *  @param image the image.
 *  @param pitch receives the bytes from one row to the next; may be null.
 *  @return the image's first (top-left) pixel, or null with
 *          ::ZQ_ERR_ILLEGAL_CALL as the last error (and a reason) for a null
 *          image, a header that does not describe an image, or a short-style
 *          image of pixel size 0 with no screen open. */
ZQ_API uint8_t* gfx_image_pixels(ImageBuffer* image, int* pitch);

/** A 32-bit colour in a pixel format: RGB 5-6-5 for 2 bytes per pixel,
 *  masked to 0xFF for 1 byte, unchanged for 4.
 *  @param bytes_per_pixel 1, 2 or 4.
 *  @param colour 0x00RRGGBB (or 0xAARRGGBB).
 *  @return the pixel value. */
ZQ_API uint32_t gfx_fix_colour(int bytes_per_pixel, uint32_t colour);

/** Sets one palette entry, or resets the palette to the mode's default.
 *  Does nothing with no screen open or at depths above 8.
 *  @param index entry to set (taken modulo the palette's size); negative:
 *         reset every entry.
 *  @param colour with @p green and @p blue 0 or above: the red component
 *         0..255; otherwise a packed colour: 6-bit red + green x 256 +
 *         blue x 65536 (each 0..63) on 256-colour palettes, an index of the
 *         mode's colour table on the legacy 2-, 16- and 64-colour ones.
 *  @param green,blue components 0..255, or -1 when @p colour is packed. */
ZQ_API void gfx_palette(int index, int colour, int green, int blue);

/** Sets palette entries from an array: entry i takes values[i] (packed as
 *  for gfx_palette()) for every i below 2^depth whose value is 0 or above.
 *  Does nothing with no screen open or at depths above 8.
 *  @param values at least 2^depth entries. */
ZQ_API void gfx_palette_using(const int* values);

/** Sets the default foreground and background colours of the drawing calls
 *  and the text console. (On legacy modes 1, 7, 8 and 9 the background
 *  changes palette entry 0 instead.)
 *  @param foreground,background colours as 0x00RRGGBB (palette indices on
 *         palette screens).
 *  @param omitted bit 0 set: no foreground given; bit 1 set: no background
 *         given.
 *  @return the colours before the call: foreground + background x 65536 at
 *          depth 8 or less; the foreground widened to 0xFFRRGGBB at depth 16;
 *          the foreground as stored at depth 32. */
ZQ_API int gfx_colour(int foreground, int background, int omitted);

/** Reads an emulated VGA port.
 *  @param port 0x3C9: the next 6-bit component (red, green, blue) of the
 *         palette entry chosen by a write to 0x3C7, then of the next
 *         entry; 0x3DA: waits for the vertical retrace when the driver can
 *         and returns 8.
 *  @return the value; -1 with no screen open, for another port, or for
 *          0x3C9 on a screen deeper than 8 bits. */
ZQ_API int gfx_port_read(int port);

/** Writes an emulated VGA palette port: 0x3C7 or 0x3C8 chooses the palette
 *  entry; three writes to 0x3C9 give its red, green and blue (6 bits each)
 *  and move on to the next entry. Screens of depth 8 or less.
 *  @param port 0x3C7, 0x3C8 or 0x3C9.
 *  @param value the byte.
 *  @return 0, or -1 with no screen open or for another port. */
ZQ_API int gfx_port_write(int port, int value);

/** Loads a PNG file, a BMP file or a raw block file into an image or the
 *  screen, converting PNG and BMP pixels to the target's format (the file's
 *  first bytes say which it is).
 *
 *  PNG files of every colour type and bit depth (grey, grey with alpha,
 *  RGB, RGBA, palette; transparency chunks; interlaced or not; an animated
 *  file gives its first frame): into 4 bytes per pixel as 0xAARRGGBB with
 *  the file's alpha, a pixel of alpha 0 becoming 0x00FF00FF so that
 *  putter_transparent() skips it; into 2 bytes as RGB 5-6-5, alpha 0
 *  becoming 0xF81F; into 1 byte only a palette file, whose indices are kept
 *  and whose palette goes where a BMP file's goes. 16-bit channels are
 *  scaled exactly to 8 bits.
 *
 *  BMP files may have any of
 *  the OS/2 (12, 16, 64 bytes) or Windows (40, 52, 56, 108, 124 bytes)
 *  information headers; 1, 2, 4 or 8 bits per pixel through a palette
 *  (uncompressed, or run-length coded at 8 and 4 bits: pixels the runs never
 *  reach get the target's mask colour), 24 bits, or 32 bits (B-G-R-A bytes,
 *  or bit fields with any masks, each channel scaled exactly to 8 bits; no
 *  alpha mask gives opaque pixels). Files of any size load: only the part
 *  that fits the target is read. Without @p palette_dest, the palette of a 1- to 8-bit
 *  file becomes the screen palette (so indexed files drawn into 16- or
 *  32-bit targets take their colours from it).
 *  @param name file name; folders may be separated by "/" or "\" (released
 *         when temporary).
 *  @param dest the image to load into, or null for the screen's work page.
 *         A long-style image keeps its size and format: the file fills its
 *         top-left part. A short-style image is turned into a long-style
 *         image of the file's size in the screen's pixel format, cut to what
 *         its block holds (so make it at least as large as the file).
 *  @param palette_dest null, or 256 entries that receive the file's palette
 *         as packed 6-bit RGB (red + green x 256 + blue x 65536).
 *  @return ::ZQ_OK; ::ZQ_ERR_ILLEGAL_CALL for no screen, 15- or 16-bit
 *          files, a 24- or 32-bit BMP file or a grey or true-colour PNG file
 *          into 1 byte per pixel, or a destination too small for one row; ::ZQ_ERR_FILE_NOT_FOUND when
 *          the file cannot be opened; ::ZQ_ERR_FILE_IO for bad or short file
 *          data (what a short file holds is loaded), and for JPEG or PNG
 *          inside a BMP and other compressions. Every failure also sets a
 *          short reason naming the file and what was wrong with it, read
 *          with rt_error_detail(), for instance
 *          `gfx/p1.bmp: compression 4 (JPEG inside BMP) not supported`. */
ZQ_API int gfx_load_bitmap(StringValue* name, ImageBuffer* dest, uint32_t* palette_dest);

/** Loads an image file's bytes from memory (a program's embedded art), as
 *  gfx_load_bitmap() loads a file: the same formats, targets, palette rules
 *  and results; reasons name the data "data in memory".
 *  @param data the file's bytes (not kept after the call).
 *  @param size how many bytes @p data holds.
 *  @param dest the image to load into, or null for the screen's work page.
 *  @param palette_dest null, or 256 entries for the file's palette.
 *  @return as gfx_load_bitmap(), without ::ZQ_ERR_FILE_NOT_FOUND;
 *          ::ZQ_ERR_ILLEGAL_CALL also for a null @p data with a size. */
ZQ_API int gfx_load_bitmap_mem(const void* data, size_t size, ImageBuffer* dest, uint32_t* palette_dest);

/** Saves an image or a screen page as a BMP file with the standard 40-byte
 *  information header and bottom-up rows: 8 bits per pixel with the screen
 *  palette from 1-byte pixels, 24 bits (opaque, as the pixels look on the
 *  screen) from RGB 5-6-5 and from 0xAARRGGBB. gfx_save_image() with a .bmp
 *  name and no flags; gfx_save_image() with ::ZQ_SAVE_ALPHA keeps alpha.
 *  Files that gfx_load_bitmap() reads back give the same pixels. The file is written under a temporary name in the
 *  same folder and renamed when complete, so a failed save leaves no file
 *  (and an older file of that name as it was).
 *  @param name file name; folders may be separated by "/" or "" (released
 *         when temporary).
 *  @param source the image to save (either header style), or null for a
 *         page of the screen.
 *  @param page with a null @p source: the page to save, or a negative value
 *         (such as ::ZQ_OMITTED) for the work page; ignored otherwise.
 *  @return ::ZQ_OK; ::ZQ_ERR_ILLEGAL_CALL for no screen (needed for a screen
 *          page and for the palette of 1-byte images), a page that does not
 *          exist or an image with an impossible header; ::ZQ_ERR_FILE_NOT_FOUND
 *          when the file cannot be created; ::ZQ_ERR_FILE_IO when writing
 *          it fails (a full disk). */
ZQ_API int gfx_save_bitmap(StringValue* name, const ImageBuffer* source, int page);

/** @name Flags of gfx_save_image()
 *  @{ */
/** Keep a 32-bit source's alpha byte: an RGBA PNG, a 32-bit BMP. */
#define ZQ_SAVE_ALPHA 1
/** Write mask-colour pixels (index 0, 0xF81F, 0x??FF00FF) fully transparent
 *  and all others opaque (or with their alpha, with ::ZQ_SAVE_ALPHA): for
 *  sprites taken to a picture editor. */
#define ZQ_SAVE_MASK_AS_ALPHA 2
/** @} */

/** Saves an image or a screen page as a PNG or BMP file, the format chosen
 *  by the name's extension (.png or .bmp, any letter case). By default the
 *  pixels are saved opaque, as they look on the screen: a 1-byte source as a
 *  palette file with the screen's palette, a 2- or 4-byte source as RGB
 *  (24-bit BMP). Files that gfx_load_bitmap() reads back give the same
 *  pixels (alpha aside). Written under a temporary name and renamed when
 *  complete, as gfx_save_bitmap() does.
 *  @param name the file name, zero-terminated; folders may be separated by
 *         "/" or "\".
 *  @param source the image to save, or null for a page of the screen.
 *  @param page with a null @p source: the page, or a negative value for the
 *         work page; ignored otherwise.
 *  @param flags 0, or ::ZQ_SAVE_ALPHA and ::ZQ_SAVE_MASK_AS_ALPHA (either or
 *         both): the file then holds RGBA (a 32-bit BMP).
 *  @return as gfx_save_bitmap(), and ::ZQ_ERR_ILLEGAL_CALL for a null
 *          @p name or an extension other than .png and .bmp; every failure
 *          sets its reason (rt_error_detail()). */
ZQ_API int gfx_save_image(const char* name, const ImageBuffer* source, int page, int flags);

/** @} */

ZQ_END_DECLS

#endif /* ZENTRAVOLK_IMAGE_H */
