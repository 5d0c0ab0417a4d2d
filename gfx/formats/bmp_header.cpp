// The headers of BMP files: the 14-byte file header, then an information
// header of 12 bytes (OS/2 1.x: 16-bit sides, 3-byte palette entries), 16 or
// 64 bytes (OS/2 2.x), or 40, 52, 56, 108 or 124 bytes (Windows; the larger
// ones carry the bit-field masks themselves). The masks of a 40-byte header
// follow it; the palette follows the masks.
#include <sys/types.h>

#include <algorithm>
#include <climits>
#include <iterator>

#include "gfx/formats/bmp.h"

namespace {

constexpr uint16_t kBmpType = 0x4D42;  // "BM"
constexpr int kFileHeader = 14;
constexpr int kLargestInfo = 124;

constexpr uint32_t kInfoOs2v1 = 12;
constexpr uint32_t kInfoOs2Short = 16;
constexpr uint32_t kInfoOs2v2 = 64;
constexpr uint32_t kInfoSizes[] = {kInfoOs2v1, kInfoOs2Short, 40, 52, 56, kInfoOs2v2, 108, 124};
// Windows headers of at least these sizes hold the colour masks and the alpha mask.
constexpr uint32_t kInfoWithColourMasks = 52;
constexpr uint32_t kInfoWithAlphaMask = 56;

constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitFields = 3;  // OS/2 2.x: Huffman 1D, not read
constexpr uint32_t kCompressionAlphaBitFields = 6;

uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t get32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

BmpChannel channel(uint32_t mask) {
  if (!mask) return {0, 0, 0};
  int shift = __builtin_ctz(mask);
  return {mask, shift, mask >> shift};
}

// Sides, bit count and compression from an information header of size bytes.
int read_layout(const uint8_t* h, uint32_t size, BmpInfo* info, uint32_t* compression) {
  int64_t width, height;
  int bits;
  if (size == kInfoOs2v1) {
    width = get16(h + 4);
    height = get16(h + 6);
    bits = get16(h + 10);
  } else {
    width = int32_t(get32(h + 4));
    height = int32_t(get32(h + 8));
    bits = get16(h + 14);
  }
  *compression = size >= 20 ? get32(h + 16) : kCompressionNone;
  if (bits == 15 || bits == 16) return ZQ_ERR_ILLEGAL_CALL;
  if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return ZQ_ERR_FILE_IO;
  // Any size loads: only the part that fits the target is ever read.
  if (width <= 0 || height == 0 || height == INT32_MIN) return ZQ_ERR_FILE_IO;
  info->width = int(width);
  info->height = int(height < 0 ? -height : height);
  info->top_down = height < 0;
  info->bits = bits;
  return ZQ_OK;
}

// The coding the compression names, or ZQ_ERR_FILE_IO for one that is not read here
// (JPEG, PNG, Huffman 1D, 24-bit runs) or does not fit the bit count.
int read_coding(uint32_t size, uint32_t compression, int bits, BmpCoding* coding) {
  bool os2 = size == kInfoOs2v2;
  switch (compression) {
    case kCompressionNone: *coding = BmpCoding::kPlain; return ZQ_OK;
    case kCompressionRle8: *coding = BmpCoding::kRle8; return bits == 8 ? ZQ_OK : ZQ_ERR_FILE_IO;
    case kCompressionRle4: *coding = BmpCoding::kRle4; return bits == 4 ? ZQ_OK : ZQ_ERR_FILE_IO;
    case kCompressionBitFields:
    case kCompressionAlphaBitFields:
      *coding = BmpCoding::kBitFields;
      return !os2 && bits == 32 ? ZQ_OK : ZQ_ERR_FILE_IO;
    default: return ZQ_ERR_FILE_IO;
  }
}

// The masks: inside a large Windows header, otherwise after it (three, or
// four for alpha bit fields). Returns the bytes read after the header, or -1.
int read_masks(std::FILE* file, const uint8_t* h, uint32_t size, uint32_t compression, BmpInfo* info) {
  int wanted = compression == kCompressionAlphaBitFields ? 4 : 3;
  int inside = size >= kInfoWithAlphaMask ? 4 : size >= kInfoWithColourMasks ? 3 : 0;
  if (size == kInfoOs2v2) inside = 0;
  uint8_t raw[16] = {};
  for (int i = 0; i < inside; ++i) std::copy_n(h + 40 + 4 * i, 4, raw + 4 * i);
  int outside = std::max(0, wanted - inside);
  if (outside && std::fread(raw + 4 * inside, 4, size_t(outside), file) != size_t(outside)) return -1;
  // A header that holds an alpha mask uses it with either compression.
  int used = std::max(wanted, inside);
  for (int i = 0; i < 4; ++i) info->channels[i] = channel(i < used ? get32(raw + 4 * i) : 0);
  return 4 * outside;
}

// As many palette entries as fit between start and the pixels (at most
// kBmpMaxPalette); then the file is moved on to the pixels.
int read_palette(std::FILE* file, int64_t start, uint32_t pixel_offset, int entry_size, uint32_t* table) {
  int64_t room = int64_t(pixel_offset) - start;
  int count = room > 0 ? int(std::min<int64_t>(room / entry_size, kBmpMaxPalette)) : 0;
  uint8_t raw[kBmpMaxPalette * 4];
  if (count && std::fread(raw, size_t(entry_size), size_t(count), file) != size_t(count)) return -1;
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = raw + entry_size * i;
    table[i] = uint32_t(e[0]) << 16 | uint32_t(e[1]) << 8 | e[2];
  }
  if (int64_t(pixel_offset) > start + int64_t(entry_size) * count && fseeko(file, off_t(pixel_offset), SEEK_SET) != 0)
    return -1;
  return count;
}

}  // namespace

int bmp_read_headers(std::FILE* file, BmpInfo* info, uint32_t* palette) {
  uint8_t head[kFileHeader + 4];
  if (std::fread(head, 1, sizeof head, file) != sizeof head || get16(head) != kBmpType) return ZQ_ERR_FILE_IO;
  const uint32_t pixel_offset = get32(head + 10);
  const uint32_t size = get32(head + kFileHeader);
  if (std::find(std::begin(kInfoSizes), std::end(kInfoSizes), size) == std::end(kInfoSizes)) return ZQ_ERR_FILE_IO;
  uint8_t h[kLargestInfo];
  if (std::fread(h + 4, 1, size - 4, file) != size - 4) return ZQ_ERR_FILE_IO;

  uint32_t compression;
  if (int r = read_layout(h, size, info, &compression)) return r;
  if (int r = read_coding(size, compression, info->bits, &info->coding)) return r;
  int mask_bytes = 0;
  if (info->coding == BmpCoding::kBitFields && (mask_bytes = read_masks(file, h, size, compression, info)) < 0)
    return ZQ_ERR_FILE_IO;
  int64_t start = kFileHeader + int64_t(size) + mask_bytes;
  info->palette_count = read_palette(file, start, pixel_offset, size == kInfoOs2v1 ? 3 : 4, palette);
  return info->palette_count < 0 ? ZQ_ERR_FILE_IO : ZQ_OK;
}
