// BMP files as written: the 40-byte information header and bottom-up rows,
// 8 bits with a 256-entry palette, 24 bits, or 32 bits of B, G, R, A.
#include <cstdlib>
#include <cstring>

#include "gfx/formats/save_internal.h"

namespace {

constexpr int kFileHeader = 14;
constexpr int kInfoHeader = 40;
constexpr int kPaletteEntries = 256;
constexpr uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch

void put16(uint8_t* p, uint32_t v) { p[0] = uint8_t(v), p[1] = uint8_t(v >> 8); }
void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

}  // namespace

bool bmp_write(std::FILE* file, const SaveSource& s, const SavePlan& plan) {
  const int bytes = save_layout_bytes(plan.layout);
  const int bits = 8 * bytes;
  const size_t stride = (size_t(s.width) * size_t(bytes) + 3) & ~size_t(3);
  const uint32_t palette_bytes = bits == 8 ? kPaletteEntries * 4 : 0;
  const uint32_t offset = kFileHeader + kInfoHeader + palette_bytes;
  const uint64_t data = uint64_t(stride) * uint64_t(s.height);

  uint8_t head[kFileHeader + kInfoHeader] = {'B', 'M'};
  put32(head + 2, uint32_t(offset + data));
  put32(head + 10, offset);
  put32(head + 14, kInfoHeader);
  put32(head + 18, uint32_t(s.width));
  put32(head + 22, uint32_t(s.height));  // positive: bottom-up rows
  put16(head + 26, 1);
  put16(head + 28, uint32_t(bits));
  put32(head + 34, uint32_t(data));
  put32(head + 38, kPixelsPerMetre);
  put32(head + 42, kPixelsPerMetre);
  put32(head + 46, bits == 8 ? kPaletteEntries : 0);
  if (std::fwrite(head, 1, sizeof head, file) != sizeof head) return false;
  if (bits == 8) {
    uint8_t entries[kPaletteEntries * 4];
    for (int i = 0; i < kPaletteEntries; ++i) {
      uint32_t c = s.palette[i];  // red in bits 0..7
      uint8_t* e = entries + 4 * i;
      e[0] = uint8_t(c >> 16), e[1] = uint8_t(c >> 8), e[2] = uint8_t(c), e[3] = 0;
    }
    if (std::fwrite(entries, 1, sizeof entries, file) != sizeof entries) return false;
  }
  auto* row = static_cast<uint8_t*>(std::calloc(stride, 1));
  if (!row) return false;
  bool ok = true;
  for (int y = s.height - 1; y >= 0 && ok; --y) {
    save_encode_row(s, plan, s.pixels + size_t(y) * s.pitch, row);
    ok = std::fwrite(row, 1, stride, file) == stride;
  }
  std::free(row);
  return ok;
}
