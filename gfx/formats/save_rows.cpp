// The layouts images are saved in and the row encoder both writers use.
#include <cstring>

#include "gfx/formats/save_internal.h"
#include "zentravolk/image.h"  // ZQ_SAVE_*

namespace {

constexpr uint8_t kOpaque = 0xFF;
constexpr uint16_t kMask16 = 0xF81F;
constexpr uint32_t kMask32 = 0xFF00FF;  // the low 24 bits of a 32-bit mask pixel
constexpr uint8_t kMask8 = 0;

// Exact widening of 5- and 6-bit channels: the largest value gives 255.
uint8_t widen5(unsigned v) { return uint8_t((v * 255 + 15) / 31); }
uint8_t widen6(unsigned v) { return uint8_t((v * 255 + 31) / 63); }

}  // namespace

SavePlan save_plan(int bytes_per_pixel, int flags) {
  const bool keep_alpha = (flags & ZQ_SAVE_ALPHA) && bytes_per_pixel == 4;
  const bool mask_clears = (flags & ZQ_SAVE_MASK_AS_ALPHA) != 0;
  SaveLayout layout = keep_alpha || mask_clears ? SaveLayout::kBgra
                      : bytes_per_pixel == 1    ? SaveLayout::kIndexed
                                                : SaveLayout::kBgr;
  return {layout, keep_alpha, mask_clears};
}

int save_layout_bytes(SaveLayout layout) {
  return layout == SaveLayout::kIndexed ? 1 : layout == SaveLayout::kBgr ? 3 : 4;
}

void save_encode_row(const SaveSource& s, const SavePlan& plan, const uint8_t* row, uint8_t* out) {
  if (plan.layout == SaveLayout::kIndexed) {
    std::memcpy(out, row, size_t(s.width));
    return;
  }
  const int step = save_layout_bytes(plan.layout);
  for (int x = 0; x < s.width; ++x, out += step) {
    uint8_t alpha = kOpaque;
    bool mask;
    if (s.bytes_per_pixel == 1) {
      const uint32_t c = s.palette[row[x]];  // red in bits 0..7
      out[0] = uint8_t(c >> 16), out[1] = uint8_t(c >> 8), out[2] = uint8_t(c);
      mask = row[x] == kMask8;
    } else if (s.bytes_per_pixel == 2) {
      const unsigned v = unsigned(row[2 * x]) | unsigned(row[2 * x + 1]) << 8;
      out[0] = widen5(v & 31), out[1] = widen6(v >> 5 & 63), out[2] = widen5(v >> 11);
      mask = v == kMask16;
    } else {
      uint32_t v;
      std::memcpy(&v, row + 4 * x, 4);
      out[0] = uint8_t(v), out[1] = uint8_t(v >> 8), out[2] = uint8_t(v >> 16);
      if (plan.keep_alpha) alpha = uint8_t(v >> 24);
      mask = (v & 0xFFFFFF) == kMask32;
    }
    if (step == 4) out[3] = plan.mask_clears && mask ? 0 : alpha;
  }
}
