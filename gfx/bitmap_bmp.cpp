// Windows BMP files with the 40-byte information header: 1, 4 and 8 bits per
// pixel through a palette, 24-bit B-G-R and 32-bit B-G-R-A, uncompressed (or
// 32-bit bit fields with the standard masks), bottom-up or top-down. Pixels
// are converted into the target's format; an image with a short header is
// turned into a long-style image of the file's size.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "gfx/bitmap_bmp.h"
#include "gfx/bitmap_loader_internal.h"
#include "gfx/context.h"
#include "gfx/image.h"
#include "gfx/palette.h"

namespace {

constexpr int kHeadersSize = 54;  // file header (14) + information header (40)
constexpr uint16_t kBmpType = 0x4D42;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionBitFields = 3;
constexpr int kBitFieldMasksSize = 12;
constexpr int kMaxPaletteEntries = 256;

uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t get32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
void put32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

// Reads and checks the headers; everything is refused before anything is
// written, so a refused file leaves the destination as it was.
int read_headers(std::FILE* file, BmpInfo* info, uint32_t* pixel_offset) {
  uint8_t h[kHeadersSize];
  if (std::fread(h, 1, kHeadersSize, file) != size_t(kHeadersSize)) return 3;
  if (get16(h) != kBmpType || get32(h + 14) != kInfoHeaderSize) return 3;
  int bits = get16(h + 28);
  if (bits == 15 || bits == 16) return 1;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return 3;
  int64_t width = int32_t(get32(h + 18));
  int64_t height = int32_t(get32(h + 22));
  // Any size loads: only the part that fits the target is ever read.
  if (width <= 0 || height == 0 || height == INT32_MIN) return 3;
  *pixel_offset = get32(h + 10);
  info->width = int(width);
  info->height = int(height < 0 ? -height : height);
  info->top_down = height < 0;
  info->bits = bits;
  info->compression = get32(h + 30);
  return 0;
}

// Bit fields are accepted for 32-bit files whose masks say plain B-G-R-A
// bytes; the masks sit between the headers and the palette.
int read_bit_fields(std::FILE* file, const BmpInfo& info) {
  if (info.compression == kCompressionNone) return 0;
  if (info.compression != kCompressionBitFields || info.bits != 32) return 3;
  uint8_t m[kBitFieldMasksSize];
  if (std::fread(m, 1, sizeof m, file) != sizeof m) return 3;
  if (get32(m) != 0x00FF0000u || get32(m + 4) != 0x0000FF00u || get32(m + 8) != 0x000000FFu) return 3;
  return 0;
}

// Reads the palette (at most 256 entries, as many as fit before the pixels)
// into table as red bits 0..7, green 8..15, blue 16..23, and leaves the file
// at the first pixel row. Returns the entry count or -1 when the file ends.
int read_palette(std::FILE* file, const BmpInfo& info, uint32_t pixel_offset, uint32_t* table) {
  int64_t start = kHeadersSize + (info.compression == kCompressionBitFields ? kBitFieldMasksSize : 0);
  int64_t room = int64_t(pixel_offset) - start;
  int count = room > 0 ? int(std::min<int64_t>(room / 4, kMaxPaletteEntries)) : 0;
  uint8_t raw[kMaxPaletteEntries * 4];
  if (count && std::fread(raw, 4, size_t(count), file) != size_t(count)) return -1;
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = raw + 4 * i;
    table[i] = uint32_t(e[0]) << 16 | uint32_t(e[1]) << 8 | e[2];
  }
  if (int64_t(pixel_offset) > start + 4 * count && std::fseek(file, long(pixel_offset), SEEK_SET) != 0)
    return -1;
  return count;
}

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
  BmpInfo info;
  uint32_t pixel_offset;
  if (int r = read_headers(file, &info, &pixel_offset)) return r;
  *width = info.width;
  *height = info.height;
  return 0;
}

int bitmap_load_bmp(std::FILE* file, ImageBuffer* dest, uint32_t* palette_dest) {
  std::rewind(file);
  ScreenState* s = screen_state;
  if (!s) return 1;
  BmpInfo info;
  uint32_t pixel_offset;
  if (int r = read_headers(file, &info, &pixel_offset)) return r;
  if (int r = read_bit_fields(file, info)) return r;
  uint32_t palette[kMaxPaletteEntries];
  int palette_count = read_palette(file, info, pixel_offset, palette);
  if (palette_count < 0) return 3;
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
    convert = gfx_row_converter(info.bits, t.bytes_per_pixel, false);
  }
  if (!convert) return 1;

  int result = 0;
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
    result = bmp_read_plain_rows(file, info, t, convert);
    if (!dest) gfx_mark_dirty(ctx, 0, s->height);
  }
  return result;
}
