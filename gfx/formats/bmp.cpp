// Windows and OS/2 BMP files: 1, 2, 4 and 8 bits per pixel through a
// palette (uncompressed or run-length coded), 24-bit B-G-R, 32-bit B-G-R-A
// or 32-bit bit fields with any masks, bottom-up or top-down. Pixels are
// converted into the target's format; an image with a short header is
// turned into a long-style image of the file's size.
#include "gfx/draw/context.h"
#include "gfx/formats/bmp.h"
#include "gfx/formats/loader_internal.h"
#include "gfx/image/image.h"

int bitmap_bmp_size(ByteSource& source, int* width, int* height) {
  BmpInfo info{};
  uint32_t palette[kBmpMaxPalette];
  if (int r = bmp_read_headers(source, &info, palette)) return r;
  *width = info.width;
  *height = info.height;
  return ZQ_OK;
}

int bitmap_load_bmp(ByteSource& source, ImageBuffer* dest, uint32_t* palette_dest) {
  ScreenState* s = screen_state;
  if (!s) return source.fail(ZQ_ERR_ILLEGAL_CALL, "no screen open (BMP pixels take the screen's palette)");
  BmpInfo info{};
  uint32_t palette[kBmpMaxPalette];
  if (int r = bmp_read_headers(source, &info, palette)) return r;

  GfxContext* ctx = gfx_get_context();
  LoadTarget t;
  if (!load_target(source, dest, info.width, info.height, &t)) return ZQ_ERR_ILLEGAL_CALL;
  gfx_set_target(ctx, dest);
  // Bit fields arrive at the converter as B, G, R, A bytes.
  int source_bits = info.coding == BmpCoding::kBitFields ? 32 : info.bits;
  RowConvertFn convert = gfx_row_converter(source_bits, t.bytes_per_pixel, false);
  if (!convert)
    return source.fail(ZQ_ERR_ILLEGAL_CALL, "a %d-bit BMP cannot load into an image of 1 byte per pixel",
                       info.bits);

  int result = ZQ_OK;
  {
    GfxScreenLock lock;
    load_palette(palette, info.palette_count, palette_dest);
    bool runs = info.coding == BmpCoding::kRle8 || info.coding == BmpCoding::kRle4;
    result = runs ? bmp_read_rle_rows(source, info, t, convert) : bmp_read_plain_rows(source, info, t, convert);
    if (!dest) gfx_mark_dirty(ctx, 0, s->height);
  }
  return result;
}
