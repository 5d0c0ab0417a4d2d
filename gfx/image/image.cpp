// Creating and destroying image buffers. Every image remembers the room its
// block holds, so writers that rewrite a short header into the long form (the
// bitmap loader) can stay inside it.
#include "gfx/image/image.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include "gfx/draw/context.h"
#include "gfx/draw/pixel_routines.h"
#include "platform/pixel_depth.h"
#include "runtime/rt_core.h"

static std::unordered_map<const ImageBuffer*, size_t>& rooms() {
  static auto* map = new std::unordered_map<const ImageBuffer*, size_t>;
  return *map;
}

size_t gfx_image_room(const ImageBuffer* image) {
  auto it = rooms().find(image);
  return it == rooms().end() ? 0 : it->second;
}

static size_t round16(size_t v) { return (v + 15) & ~size_t(15); }

// Bytes for a header plus rows, or 0 when the sum does not fit.
static size_t block_size(size_t header, size_t rows, size_t pitch) {
  size_t pixels;
  if (__builtin_mul_overflow(rows, pitch, &pixels) || pixels > (size_t(1) << 40)) return 0;
  return header + pixels;
}

static void put32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

ImageBuffer* gfx_image_create(int width, int height, uint32_t colour, int depth, int flags) {
  // A failure keeps the error number as it is and gives only the reason.
  ScreenState* s = screen_state;
  if (!s) {
    rt_set_error_detail("no screen open");
    return nullptr;
  }
  if (width <= 0 || height <= 0) {
    rt_set_error_detail("image size %d x %d: sides must be positive", width, height);
    return nullptr;
  }
  int bpp = depth <= 0 ? s->bytes_per_pixel : depth_bytes_per_pixel(depth);
  if (bpp != 1 && bpp != 2 && bpp != 4) {
    rt_set_error_detail("depth %d not supported", depth);
    return nullptr;
  }
  bool long_style = rt_compat_level() == 0;
  if (!long_style && (width > kImageShortMaxWidth || height > 0xFFFF)) {
    rt_set_error_detail("image size %d x %d too large for a short header (at most %d x 65535)", width, height,
                        kImageShortMaxWidth);
    return nullptr;
  }

  size_t row = size_t(width) * size_t(bpp);
  size_t long_size = block_size(kImageLongHeader, size_t(height), round16(row));
  size_t short_size = block_size(kImageShortHeader, size_t(height), row);
  if (!long_size || !short_size) {
    rt_set_error_detail("image size %d x %d too large", width, height);
    return nullptr;
  }
  // A short image is given room for the long form the loader may turn it into.
  size_t room = long_style ? long_size : std::max(short_size, long_size);
  auto* bytes = static_cast<uint8_t*>(std::malloc(room));
  if (!bytes) {
    rt_set_error_detail("no memory for a %d x %d image (%zu bytes)", width, height, room);
    return nullptr;
  }
  size_t pitch;
  if (long_style) {
    pitch = round16(row);
    put32(bytes, kImageLongType);
    put32(bytes + 4, uint32_t(bpp));
    put32(bytes + 8, uint32_t(width));
    put32(bytes + 12, uint32_t(height));
    put32(bytes + 16, uint32_t(pitch));
    std::memset(bytes + 24, 0, 8);
  } else {
    pitch = row;
    uint16_t format = uint16_t(width << 3 | bpp), h = uint16_t(height);
    std::memcpy(bytes, &format, 2);
    std::memcpy(bytes + 2, &h, 2);
  }
  auto* image = reinterpret_cast<ImageBuffer*>(bytes);
  rooms()[image] = room;

  GfxContext* ctx = gfx_get_context();
  gfx_set_target(ctx, image);
  gfx_select_colour_routines(ctx, 0xFF000000u);
  uint32_t fill = colour;
  if (flags < 0)
    fill = gfx_mask_colour(bpp);
  else if (bpp == 2)
    fill = ((colour >> 8) & 0xF800) | ((colour >> 5) & 0x7E0) | ((colour >> 3) & 0x1F);
  // Filled with the image's own pixel size: a short image drawn into takes the
  // screen's, which need not be the one its rows were sized for.
  FillSpanFn fill_span = gfx_plain_routines(bpp, false).fill;
  uint8_t* p = gfx_image_info(image).pixels;
  size_t pixels = size_t(height) * pitch / size_t(bpp);
  for (size_t done = 0; done < pixels;) {
    size_t n = std::min(pixels - done, size_t(1) << 30);
    fill_span(p + done * size_t(bpp), fill, int(n));
    done += n;
  }
  return image;
}

void gfx_image_destroy(ImageBuffer* image) {
  if (!image) return;
  GfxContext* ctx = gfx_get_context();
  if (ctx->target == image) ctx->target = nullptr;  // never mistake a later image at this address
  rooms().erase(image);
  std::free(image);
}
