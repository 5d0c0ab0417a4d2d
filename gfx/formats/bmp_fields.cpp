// Bit-field pixels: 32-bit words whose colour channels sit wherever the
// file's masks say, with any number of bits each. A channel of n bits is
// scaled to 8 bits as round(value x 255 / (2^n - 1)), so its lowest value
// gives 0 and its highest 255 whatever its width; an absent channel gives 0.
#include <cstring>

#include "gfx/formats/bmp.h"

namespace {

inline uint8_t scaled(const BmpChannel& c, uint32_t pixel) {
  if (c.max == 0) return 0;
  uint32_t v = (pixel & c.mask) >> c.shift;
  if (c.max == 0xFF) return uint8_t(v);
  return uint8_t((uint64_t(v) * 255 + c.max / 2) / c.max);
}

}  // namespace

void bmp_unpack_fields(const BmpInfo& info, uint8_t* row, int count) {
  const BmpChannel* c = info.channels;
  const bool has_alpha = c[3].max != 0;
  for (int x = 0; x < count; ++x) {
    uint8_t* p = row + 4 * x;
    uint32_t pixel;
    std::memcpy(&pixel, p, 4);
    p[0] = scaled(c[2], pixel);
    p[1] = scaled(c[1], pixel);
    p[2] = scaled(c[0], pixel);
    p[3] = has_alpha ? scaled(c[3], pixel) : 0xFF;
  }
}
