// The headers of BMP files: the 14-byte file header, then an information
// header of 12 bytes (OS/2 1.x: 16-bit sides, 3-byte palette entries), 16 or
// 64 bytes (OS/2 2.x), or 40, 52, 56, 108 or 124 bytes (Windows; the larger
// ones carry the bit-field masks themselves). The masks of a 40-byte header
// follow it; the palette follows the masks.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <iterator>

#include "gfx/formats/bmp.h"
#include "gfx/formats/formats.h"

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
constexpr uint32_t kCompressionJpeg = 4;       // OS/2 2.x: 24-bit runs, not read
constexpr uint32_t kCompressionPng = 5;
constexpr uint32_t kCompressionAlphaBitFields = 6;

// What a compression number stands for, for the reason a refusal gives.
const char* compression_name(uint32_t compression, bool os2) {
  switch (compression) {
    case kCompressionRle8: return "8-bit runs";
    case kCompressionRle4: return "4-bit runs";
    case kCompressionBitFields: return os2 ? "Huffman 1D" : "bit fields";
    case kCompressionJpeg: return os2 ? "24-bit runs" : "JPEG inside BMP";
    case kCompressionPng: return "PNG inside BMP";
    case kCompressionAlphaBitFields: return "bit fields with alpha";
    default: return "unknown";
  }
}

uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t get32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

BmpChannel channel(uint32_t mask) {
  if (!mask) return {0, 0, 0};
  int shift = __builtin_ctz(mask);
  return {mask, shift, mask >> shift};
}

bool is_os2(uint32_t size) { return size == kInfoOs2v2; }

// The compressions read here: none, runs and bit fields (not those of OS/2 2.x).
int check_compression(const ByteSource& source, uint32_t size, uint32_t compression) {
  bool read = compression == kCompressionNone || compression == kCompressionRle8 ||
              compression == kCompressionRle4 ||
              (!is_os2(size) && (compression == kCompressionBitFields || compression == kCompressionAlphaBitFields));
  if (read) return ZQ_OK;
  return source.fail(ZQ_ERR_FILE_IO, "compression %u (%s) not supported", compression,
                     compression_name(compression, is_os2(size)));
}

// Sides, bit count and compression from an information header of size bytes.
int read_layout(const ByteSource& source, const uint8_t* h, uint32_t size, BmpInfo* info, uint32_t* compression) {
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
  if (bits == 15 || bits == 16)
    return source.fail(ZQ_ERR_ILLEGAL_CALL, "%d bits per pixel not supported", bits);
  // Compressed data of another format usually states 0 bits: name the compression first.
  if (int r = check_compression(source, size, *compression)) return r;
  if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
    return source.fail(ZQ_ERR_FILE_IO, "%d bits per pixel is not a BMP pixel size", bits);
  // Any size loads: only the part that fits the target is ever read.
  if (width <= 0 || height == 0 || height == INT32_MIN)
    return source.fail(ZQ_ERR_FILE_IO, "image size %lld x %lld is impossible", (long long)width, (long long)height);
  info->width = int(width);
  info->height = int(height < 0 ? -height : height);
  info->top_down = height < 0;
  info->bits = bits;
  return ZQ_OK;
}

// The coding of a compression check_compression() accepted, or ZQ_ERR_FILE_IO
// when it does not fit the bit count.
int read_coding(const ByteSource& source, uint32_t size, uint32_t compression, int bits, BmpCoding* coding) {
  int needed = 32;  // the bit count the compression needs
  switch (compression) {
    case kCompressionNone: *coding = BmpCoding::kPlain; return ZQ_OK;
    case kCompressionRle8: *coding = BmpCoding::kRle8, needed = 8; break;
    case kCompressionRle4: *coding = BmpCoding::kRle4, needed = 4; break;
    default: *coding = BmpCoding::kBitFields; break;
  }
  if (bits == needed) return ZQ_OK;
  return source.fail(ZQ_ERR_FILE_IO, "compression %u (%s) needs %d bits per pixel, not %d", compression,
                     compression_name(compression, is_os2(size)), needed, bits);
}

// The masks: inside a large Windows header, otherwise after it (three, or
// four for alpha bit fields). Returns the bytes read after the header, or -1.
int read_masks(ByteSource& source, const uint8_t* h, uint32_t size, uint32_t compression, BmpInfo* info) {
  int wanted = compression == kCompressionAlphaBitFields ? 4 : 3;
  int inside = size >= kInfoWithAlphaMask ? 4 : size >= kInfoWithColourMasks ? 3 : 0;
  if (is_os2(size)) inside = 0;
  uint8_t raw[16] = {};
  for (int i = 0; i < inside; ++i) std::copy_n(h + 40 + 4 * i, 4, raw + 4 * i);
  int outside = std::max(0, wanted - inside);
  if (outside && source.read(raw + 4 * inside, 4 * size_t(outside)) != 4 * size_t(outside)) return -1;
  // A header that holds an alpha mask uses it with either compression.
  int used = std::max(wanted, inside);
  for (int i = 0; i < 4; ++i) info->channels[i] = channel(i < used ? get32(raw + 4 * i) : 0);
  return 4 * outside;
}

// As many palette entries as fit between start and the pixels (at most
// kBmpMaxPalette); then the file is moved on to the pixels.
int read_palette(ByteSource& source, int64_t start, uint32_t pixel_offset, int entry_size, uint32_t* table) {
  int64_t room = int64_t(pixel_offset) - start;
  int count = room > 0 ? int(std::min<int64_t>(room / entry_size, kBmpMaxPalette)) : 0;
  uint8_t raw[kBmpMaxPalette * 4];
  const size_t bytes = size_t(entry_size) * size_t(count);
  if (count && source.read(raw, bytes) != bytes) return -1;
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = raw + entry_size * i;
    table[i] = uint32_t(e[0]) << 16 | uint32_t(e[1]) << 8 | e[2];
  }
  if (int64_t(pixel_offset) > start + int64_t(entry_size) * count && !source.seek(pixel_offset)) return -1;
  return count;
}

}  // namespace

int bmp_read_headers(ByteSource& source, BmpInfo* info, uint32_t* palette) {
  uint8_t head[kFileHeader + 4];
  const size_t got = source.read(head, sizeof head);
  if (got < 2 || get16(head) != kBmpType) {
    char start[64];
    describe_start(head, got, start, sizeof start);
    return source.fail(ZQ_ERR_FILE_IO, "not a BMP file: %s", start);
  }
  if (got != sizeof head) return source.fail(ZQ_ERR_FILE_IO, "file ends inside its BMP file header");
  const uint32_t pixel_offset = get32(head + 10);
  const uint32_t size = get32(head + kFileHeader);
  if (std::find(std::begin(kInfoSizes), std::end(kInfoSizes), size) == std::end(kInfoSizes))
    return source.fail(ZQ_ERR_FILE_IO, "information header of %u bytes is not a BMP header size", size);
  uint8_t h[kLargestInfo];
  if (source.read(h + 4, size - 4) != size - 4)
    return source.fail(ZQ_ERR_FILE_IO, "file ends inside its %u-byte information header", size);

  uint32_t compression;
  if (int r = read_layout(source, h, size, info, &compression)) return r;
  if (int r = read_coding(source, size, compression, info->bits, &info->coding)) return r;
  int mask_bytes = 0;
  if (info->coding == BmpCoding::kBitFields && (mask_bytes = read_masks(source, h, size, compression, info)) < 0)
    return source.fail(ZQ_ERR_FILE_IO, "file ends inside its bit-field masks");
  int64_t start = kFileHeader + int64_t(size) + mask_bytes;
  info->palette_count = read_palette(source, start, pixel_offset, size == kInfoOs2v1 ? 3 : 4, palette);
  if (info->palette_count < 0) return source.fail(ZQ_ERR_FILE_IO, "file ends inside its palette");
  return ZQ_OK;
}
