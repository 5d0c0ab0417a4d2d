// Windows and OS/2 BMP files: 1, 2, 4 and 8 bits per pixel through a
// palette (uncompressed or run-length coded), 24-bit B-G-R, 32-bit B-G-R-A
// or 32-bit bit fields with any masks, bottom-up or top-down. Pixels are
// converted into the target's format; an image with a short header is
// turned into a long-style image of the file's size.
#include <algorithm>
#include <cstring>

#include "gfx/draw/context.h"
#include "gfx/formats/bmp.h"
#include "gfx/formats/loader_internal.h"
#include "gfx/image/image.h"
#include "gfx/image/palette.h"

namespace {

void put32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

size_t round16(size_t v) { return (v + 15) & ~size_t(15); }

// An image with a long header keeps its size; the file fills its top-left
// part. Headers that could lead a row outside the block are refused: a pixel
// size that does not exist, rows longer than the pitch, or (for blocks this
// library made) more rows than the block holds.
bool long_image_target(ImageBuffer* dest, const BmpInfo& info, BmpTarget* t) {
  ImageInfo img = gfx_image_info(dest);
  if (img.bytes_per_pixel != 1 && img.bytes_per_pixel != 2 && img.bytes_per_pixel != 4) return false;
  if (img.width < 0 || img.height < 0 || int64_t(img.pitch) < int64_t(img.width) * img.bytes_per_pixel) return false;
  if (size_t room = gfx_image_room(dest);
      room && uint64_t(kImageLongHeader) + uint64_t(img.height) * uint64_t(img.pitch) > room)
    return false;
  *t = {img.pixels, size_t(img.pitch), img.bytes_per_pixel, std::min(info.width, img.width),
        std::min(info.height, img.height)};
  return true;
}

// Any other destination becomes a long-style image of the file's size in the
// screen's pixel format, cut down to what its block holds: first the width to
// one row's room, then the rows.
bool rewritten_target(ImageBuffer* dest, const BmpInfo& info, BmpTarget* t) {
  int bpp = screen_state->bytes_per_pixel;
  size_t room = bitmap_dest_room(dest);
  if (room < size_t(kImageLongHeader) + 16) return false;
  size_t space = room - kImageLongHeader;
  int width = info.width;
  size_t pitch = round16(size_t(width) * size_t(bpp));
  if (pitch > space) {
    pitch = space & ~size_t(15);
    width = int(pitch / size_t(bpp));
  }
  int height = int(std::min<size_t>(size_t(info.height), space / pitch));
  uint8_t* b = gfx_image_bytes(dest);
  put32(b, kImageLongType);
  put32(b + 4, uint32_t(bpp));
  put32(b + 8, uint32_t(width));
  put32(b + 12, uint32_t(height));
  put32(b + 16, uint32_t(pitch));
  *t = {b + kImageLongHeader, pitch, bpp, width, height};
  return true;
}

void screen_target(GfxContext* ctx, const BmpInfo& info, BmpTarget* t) {
  const ScreenState* s = screen_state;
  *t = {s->page_buffers[ctx->work_page], size_t(s->pitch), s->bytes_per_pixel, std::min(info.width, s->width),
        std::min(info.height, s->height)};
}

}  // namespace

int bitmap_bmp_size(std::FILE* file, int* width, int* height) {
  std::rewind(file);
  BmpInfo info{};
  uint32_t palette[kBmpMaxPalette];
  if (int r = bmp_read_headers(file, &info, palette)) return r;
  *width = info.width;
  *height = info.height;
  return ZQ_OK;
}

int bitmap_load_bmp(std::FILE* file, ImageBuffer* dest, uint32_t* palette_dest) {
  std::rewind(file);
  ScreenState* s = screen_state;
  if (!s) return ZQ_ERR_ILLEGAL_CALL;
  BmpInfo info{};
  uint32_t palette[kBmpMaxPalette];
  if (int r = bmp_read_headers(file, &info, palette)) return r;
  const int palette_count = info.palette_count;
  if (palette_dest)
    for (int i = 0; i < palette_count; ++i) palette[i] = (palette[i] >> 2) & 0x3F3F3Fu;

  GfxContext* ctx = gfx_get_context();
  BmpTarget t;
  bool ok = true;
  if (!dest)
    screen_target(ctx, info, &t);
  else if (gfx_image_is_long(dest))
    ok = long_image_target(dest, info, &t);
  else
    ok = rewritten_target(dest, info, &t);
  RowConvertFn convert = nullptr;
  if (ok) {
    gfx_set_target(ctx, dest);
    // Bit fields arrive at the converter as B, G, R, A bytes.
    int source_bits = info.coding == BmpCoding::kBitFields ? 32 : info.bits;
    convert = gfx_row_converter(source_bits, t.bytes_per_pixel, false);
  }
  if (!convert) return ZQ_ERR_ILLEGAL_CALL;

  int result = ZQ_OK;
  {
    GfxScreenLock lock;
    if (palette_dest) {
      if (palette_count) gfx_mem_copy(palette_dest, palette, size_t(palette_count) * 4);
    } else {
      if (palette_count) gfx_mem_copy(s->device_palette, palette, size_t(palette_count) * 4);
      gfx_send_palette();
      // On palette screens every shown pixel may now look different.
      if (palette_count && s->depth <= 8) std::fill_n(s->dirty_rows, s->height, uint8_t(1));
    }
    bool runs = info.coding == BmpCoding::kRle8 || info.coding == BmpCoding::kRle4;
    result = runs ? bmp_read_rle_rows(file, info, t, convert) : bmp_read_plain_rows(file, info, t, convert);
    if (!dest) gfx_mark_dirty(ctx, 0, s->height);
  }
  return result;
}
