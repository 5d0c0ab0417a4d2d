// Row converters from file pixel layouts to the library's pixel formats.
// Rows may sit at any address, so multi-byte pixels are stored with memcpy.
#include "gfx/formats/convert.h"

#include <cstring>

#include "drivers/screen_state.h"
#include "gfx/draw/context.h"
#include "platform/pixel_depth.h"

namespace {

inline uint16_t rgb565(uint32_t r, uint32_t g, uint32_t b) {
  return uint16_t((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

inline uint32_t opaque_argb(uint32_t r, uint32_t g, uint32_t b) { return 0xFF000000u | r << 16 | g << 8 | b; }

inline void store16(uint8_t* dst, int i, uint16_t v) { std::memcpy(dst + 2 * i, &v, 2); }
inline void store32(uint8_t* dst, int i, uint32_t v) { std::memcpy(dst + 4 * i, &v, 4); }

// Source byte offsets of red, green and blue within one pixel of step bytes.
template <int Step, int R, int G, int B>
void to_16(const uint8_t* src, uint8_t* dst, int count) {
  for (int i = 0; i < count; ++i, src += Step) store16(dst, i, rgb565(src[R], src[G], src[B]));
}

template <int Step, int R, int G, int B>
void to_32(const uint8_t* src, uint8_t* dst, int count) {
  for (int i = 0; i < count; ++i, src += Step) store32(dst, i, opaque_argb(src[R], src[G], src[B]));
}

}  // namespace

void convert_index_to_8(const uint8_t* src, uint8_t* dst, int count) {
  const ScreenState* s = screen_state;
  if (!s) return;
  uint8_t mask = uint8_t(s->colour_mask & 0xFF);
  for (int i = 0; i < count; ++i) dst[i] = src[i] & mask;
}

void convert_index_to_16(const uint8_t* src, uint8_t* dst, int count) {
  const ScreenState* s = screen_state;
  if (!s) return;
  const uint32_t* pal = s->device_palette;
  for (int i = 0; i < count; ++i) {
    uint32_t c = pal[src[i]];
    store16(dst, i, rgb565(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
  }
}

void convert_index_to_32(const uint8_t* src, uint8_t* dst, int count) {
  const ScreenState* s = screen_state;
  if (!s) return;
  const uint32_t* pal = s->device_palette;
  for (int i = 0; i < count; ++i) {
    uint32_t c = pal[src[i]];
    store32(dst, i, opaque_argb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
  }
}

// Files store B, G, R (and a fourth byte); these read the three bytes of
// each pixel only, so the row needs no readable byte past its last pixel.
void convert_bgr24_to_16(const uint8_t* src, uint8_t* dst, int count) { to_16<3, 2, 1, 0>(src, dst, count); }
void convert_bgr24_to_32(const uint8_t* src, uint8_t* dst, int count) { to_32<3, 2, 1, 0>(src, dst, count); }
void convert_bgra32_to_16(const uint8_t* src, uint8_t* dst, int count) { to_16<4, 2, 1, 0>(src, dst, count); }

// B, G, R, A in memory is already 0xAARRGGBB: a plain copy keeps the alpha.
void convert_bgra32_to_32(const uint8_t* src, uint8_t* dst, int count) {
  if (count > 0) gfx_mem_copy(dst, src, size_t(count) * 4);
}

void convert_rgb24_to_16(const uint8_t* src, uint8_t* dst, int count) { to_16<3, 0, 1, 2>(src, dst, count); }
void convert_rgb24_to_32(const uint8_t* src, uint8_t* dst, int count) { to_32<3, 0, 1, 2>(src, dst, count); }
void convert_rgba32_to_16(const uint8_t* src, uint8_t* dst, int count) { to_16<4, 0, 1, 2>(src, dst, count); }

void convert_rgba32_to_32(const uint8_t* src, uint8_t* dst, int count) {
  for (int i = 0; i < count; ++i, src += 4)
    store32(dst, i, uint32_t(src[3]) << 24 | uint32_t(src[0]) << 16 | uint32_t(src[1]) << 8 | src[2]);
}

RowConvertFn gfx_row_converter(int src_bits, int target_bytes, bool red_first) {
  if (target_bytes < 1 || target_bytes > 4) return nullptr;
  bool wide = target_bytes >= 3;
  if (src_bits <= 8) {
    if (target_bytes == 1) return convert_index_to_8;
    return wide ? convert_index_to_32 : convert_index_to_16;
  }
  if (target_bytes == 1) return nullptr;
  if (src_bits == 24) {
    if (red_first) return wide ? convert_rgb24_to_32 : convert_rgb24_to_16;
    return wide ? convert_bgr24_to_32 : convert_bgr24_to_16;
  }
  if (red_first) return wide ? convert_rgba32_to_32 : convert_rgba32_to_16;
  return wide ? convert_bgra32_to_32 : convert_bgra32_to_16;
}

void gfx_image_convert_row(const uint8_t* src, int src_bits, uint8_t* dst, int target_bits, int width,
                           int red_first) {
  if (!src || !dst || width <= 0 || target_bits < 1 || target_bits > 32) return;
  if (src_bits <= 8 && !screen_state) return;
  RowConvertFn convert = gfx_row_converter(src_bits, depth_bytes_per_pixel(target_bits), red_first != 0);
  if (convert) convert(src, dst, width);
}
