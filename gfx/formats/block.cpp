// Raw block files: a length, then that many bytes copied unconverted into a
// destination block or onto the screen's work page; on the screen a palette of
// 6-bit red, green, blue triples may follow.
//   0xFD, 4 ignored bytes, u16 length, data
//   0xFE, u32 length, data
#include <algorithm>
#include <cstring>

#include "gfx/draw/context.h"
#include "gfx/formats/loader_internal.h"
#include "gfx/image/image.h"
#include "gfx/image/palette.h"

namespace {

constexpr int kBlockShort = 0xFD;

// Reads count bytes; a short read is an error unless the file simply ended.
int read_data(ByteSource& source, void* dest, size_t count) {
  if (count == 0) return ZQ_OK;
  size_t got = source.read(dest, count);
  if (got < count && !source.ended())
    return source.fail(ZQ_ERR_FILE_IO, "read error after %zu of the block's %zu bytes", got, count);
  return ZQ_OK;
}

bool read_length(ByteSource& source, int first_byte, uint32_t* length) {
  uint8_t b[6];
  if (first_byte == kBlockShort) {
    if (source.read(b, 6) != 6) return false;
    *length = uint32_t(b[4]) | uint32_t(b[5]) << 8;
  } else {
    if (source.read(b, 4) != 4) return false;
    *length = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
  }
  return true;
}

// The palette after a block, for palette screens only: 2^depth triples at
// most 256 of them. Stops quietly at the end of the file.
void read_palette(ByteSource& source, ScreenState* s, uint32_t* palette_dest) {
  if (s->depth > 8) return;
  int entries = 1 << s->depth;
  bool changed = false;
  for (int i = 0; i < entries; ++i) {
    uint8_t rgb[3];
    if (source.read(rgb, 3) != 3) break;
    uint32_t value = uint32_t(rgb[0]) | uint32_t(rgb[1]) << 8 | uint32_t(rgb[2]) << 16;
    if (palette_dest) {
      palette_dest[i] = value;
    } else {
      s->device_palette[i] = (value << 2) & 0xFCFCFCu;
      changed = true;
    }
  }
  if (!changed) return;
  gfx_send_palette();
  std::fill_n(s->dirty_rows, s->height, uint8_t(1));  // every pixel may look different now
}

int load_into_block(ByteSource& source, uint32_t length, ImageBuffer* dest) {
  size_t count = std::min(size_t(length), bitmap_dest_room(dest));
  return read_data(source, gfx_image_bytes(dest), count);
}

int load_onto_screen(ByteSource& source, uint32_t length, uint32_t* palette_dest) {
  ScreenState* s = screen_state;
  GfxContext* ctx = gfx_get_context();
  GfxScreenLock lock;
  size_t page_bytes = size_t(s->height) * size_t(s->pitch);
  size_t count = std::min(size_t(length), page_bytes);
  int result = read_data(source, s->page_buffers[ctx->work_page], count);
  gfx_mark_dirty(ctx, 0, s->height);
  // Data beyond the page is passed over so the palette is read from its place.
  if (result == 0 && count < length && !source.ended() && !source.skip(length - count))
    result = source.fail(ZQ_ERR_FILE_IO, "cannot pass over the block's data beyond the page");
  if (!source.ended()) read_palette(source, s, palette_dest);
  return result;
}

}  // namespace

int bitmap_load_block(ByteSource& source, ImageBuffer* dest, uint32_t* palette_dest) {
  const int first_byte = source.get();
  uint32_t length;
  if (!read_length(source, first_byte, &length))
    return source.fail(ZQ_ERR_FILE_IO, "file ends inside its raw block header");
  if (dest) return load_into_block(source, length, dest);
  return load_onto_screen(source, length, palette_dest);
}
