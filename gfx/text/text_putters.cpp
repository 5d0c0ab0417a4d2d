// Putters that draw glyphs in the text's colour rather than their own.
#include "gfx/text/text_putters.h"

#include <cstddef>
#include <cstring>

#include "gfx/draw/context.h"
#include "gfx/draw/pixel_routines.h"
#include "gfx/image/image.h"

namespace {

// A pixel of b bytes (1, 2 or 4) as a number.
uint32_t pixel_at(const uint8_t* p, int b) {
  uint32_t v = 0;
  std::memcpy(&v, p, size_t(b));
  return v;
}

// Whether a source pixel of b bytes is not the mask colour.
bool opaque(const uint8_t* p, int b) {
  const uint32_t v = pixel_at(p, b);
  return b == 4 ? (v & 0x00FFFFFFu) != (gfx_mask_colour(4) & 0x00FFFFFFu) : v != gfx_mask_colour(b);
}

}  // namespace

void putter_text_coverage(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int colour, PutterBlender,
                          void*) {
  if (gfx_get_context()->bytes_per_pixel != 4) return;
  const uint32_t rgb = uint32_t(colour) & 0x00FFFFFFu;
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = s + ptrdiff_t(y) * sp;
    uint8_t* dst = d + ptrdiff_t(y) * dp;
    for (int x = 0; x < w; ++x) {
      uint32_t a = pixel_at(src + 4 * x, 4) >> 24;
      if (a == 0) continue;
      uint32_t t = pixel_at(dst + 4 * x, 4);
      // The target keeps its own top byte; full coverage is the colour itself.
      uint32_t v = a == 0xFF ? rgb : gfx_alpha_blend(a << 24 | rgb, t) & 0x00FFFFFFu;
      v |= t & 0xFF000000u;
      std::memcpy(dst + 4 * x, &v, 4);
    }
  }
}

void putter_text_stencil(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int colour, PutterBlender,
                         void*) {
  const int b = gfx_get_context()->bytes_per_pixel;
  if (b != 1 && b != 2 && b != 4) return;
  const uint32_t c = uint32_t(colour);
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = s + ptrdiff_t(y) * sp;
    uint8_t* dst = d + ptrdiff_t(y) * dp;
    for (int x = 0; x < w; ++x)
      if (opaque(src + x * b, b)) std::memcpy(dst + x * b, &c, size_t(b));  // little-endian: the low bytes
  }
}

Putter gfx_font_putter(FontKind kind) {
  switch (kind) {
    case FontKind::coverage: return putter_text_coverage;
    case FontKind::stencil: return putter_text_stencil;
    default: return putter_transparent;
  }
}
