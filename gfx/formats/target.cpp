// Where a loaded file's pixels go, and where its palette goes: the rules
// every format follows.
#include <algorithm>
#include <cstring>

#include "gfx/draw/context.h"
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
bool long_image_target(const ByteSource& source, ImageBuffer* dest, int width, int height, LoadTarget* t) {
  ImageInfo img = gfx_image_info(dest);
  if (img.bytes_per_pixel != 1 && img.bytes_per_pixel != 2 && img.bytes_per_pixel != 4) {
    source.fail(ZQ_ERR_ILLEGAL_CALL, "destination image has %d bytes per pixel (1, 2 or 4 can be loaded)",
                img.bytes_per_pixel);
    return false;
  }
  if (img.width < 0 || img.height < 0 || int64_t(img.pitch) < int64_t(img.width) * img.bytes_per_pixel) {
    source.fail(ZQ_ERR_ILLEGAL_CALL, "destination image header is impossible (%d x %d pixels, pitch %d)",
                img.width, img.height, img.pitch);
    return false;
  }
  if (size_t room = gfx_image_room(dest);
      room && uint64_t(kImageLongHeader) + uint64_t(img.height) * uint64_t(img.pitch) > room) {
    source.fail(ZQ_ERR_ILLEGAL_CALL, "destination image header claims %d rows, more than its block holds",
                img.height);
    return false;
  }
  *t = {img.pixels, size_t(img.pitch), img.bytes_per_pixel, std::min(width, img.width), std::min(height, img.height)};
  return true;
}

// Any other destination becomes a long-style image of the file's size in the
// screen's pixel format, cut down to what its block holds: first the width to
// one row's room, then the rows.
bool rewritten_target(const ByteSource& source, ImageBuffer* dest, int width, int height, LoadTarget* t) {
  int bpp = screen_state->bytes_per_pixel;
  size_t room = bitmap_dest_room(dest);
  if (room < size_t(kImageLongHeader) + 16) {
    source.fail(ZQ_ERR_ILLEGAL_CALL, "destination block of %zu bytes is too small for one row", room);
    return false;
  }
  size_t space = room - kImageLongHeader;
  size_t pitch = round16(size_t(width) * size_t(bpp));
  if (pitch > space) {
    pitch = space & ~size_t(15);
    width = int(pitch / size_t(bpp));
  }
  height = int(std::min<size_t>(size_t(height), space / pitch));
  uint8_t* b = gfx_image_bytes(dest);
  put32(b, kImageLongType);
  put32(b + 4, uint32_t(bpp));
  put32(b + 8, uint32_t(width));
  put32(b + 12, uint32_t(height));
  put32(b + 16, uint32_t(pitch));
  *t = {b + kImageLongHeader, pitch, bpp, width, height};
  return true;
}

}  // namespace

bool load_target(const ByteSource& source, ImageBuffer* dest, int width, int height, LoadTarget* t) {
  if (dest) {
    return gfx_image_is_long(dest) ? long_image_target(source, dest, width, height, t)
                                   : rewritten_target(source, dest, width, height, t);
  }
  const ScreenState* s = screen_state;
  *t = {s->page_buffers[gfx_get_context()->work_page], size_t(s->pitch), s->bytes_per_pixel,
        std::min(width, s->width), std::min(height, s->height)};
  return true;
}

void load_palette(const uint32_t* entries, int count, uint32_t* palette_dest) {
  if (palette_dest) {
    for (int i = 0; i < count; ++i) palette_dest[i] = (entries[i] >> 2) & 0x3F3F3Fu;
    return;
  }
  ScreenState* s = screen_state;
  if (count) gfx_mem_copy(s->device_palette, entries, size_t(count) * 4);
  gfx_send_palette();
  // On palette screens every shown pixel may now look different.
  if (count && s->depth <= 8) std::fill_n(s->dirty_rows, s->height, uint8_t(1));
}
