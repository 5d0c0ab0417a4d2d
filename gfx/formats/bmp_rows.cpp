// Uncompressed and bit-field BMP rows: each padded to a multiple of four
// bytes, packed pixels of fewer than 8 bits most significant bits first. Only the bytes
// that reach the target are read; the rest of a row, and rows outside the
// target, are passed over by seeking.
#include <algorithm>
#include <cstdlib>

#include "gfx/formats/bmp.h"

namespace {

// Spreads count packed pixels of bits each into one index byte per pixel.
void unpack(const uint8_t* packed, int bits, int count, uint8_t* out) {
  const int per_byte = 8 / bits;
  const unsigned mask = (1u << bits) - 1;
  for (int x = 0; x < count; ++x) {
    int shift = 8 - bits * (x % per_byte + 1);
    out[x] = uint8_t((packed[x / per_byte] >> shift) & mask);
  }
}

}  // namespace

int bmp_read_plain_rows(ByteSource& source, const BmpInfo& info, const LoadTarget& t, RowConvertFn convert) {
  const int64_t start = int64_t(source.tell());
  const int64_t end = source.length();
  if (end < 0) return source.fail(ZQ_ERR_FILE_IO, "the file's length cannot be read");
  const uint64_t rows = uint64_t(info.height);
  const uint64_t row_bits = uint64_t(info.width) * uint64_t(info.bits);
  const uint64_t row_stride = (row_bits + 31) / 32 * 4;
  const uint64_t row_data = (row_bits + 7) / 8;  // a last row needs no padding
  const uint64_t room = uint64_t(end > start ? end - start : 0);
  const uint64_t present = room < row_data ? 0 : std::min(rows, (room - row_data) / row_stride + 1);

  // The bytes of a row that reach the target, one spare byte, and the
  // unpacked indices of packed rows.
  const bool packed = info.bits < 8;
  const size_t take = (size_t(t.width) * size_t(info.bits) + 7) / 8;
  auto* buffer = static_cast<uint8_t*>(std::calloc(take + 1 + (packed ? size_t(t.width) : 0), 1));
  if (!buffer) return source.fail(ZQ_ERR_FILE_IO, "out of memory for a row of %d pixels", t.width);
  uint8_t* pixels = packed ? buffer + take + 1 : buffer;

  // File rows i that land on target rows y < t.height.
  uint64_t first = info.top_down ? 0 : rows - uint64_t(t.height);
  uint64_t last = std::min(present, info.top_down ? uint64_t(t.height) : rows);
  int result = ZQ_OK;
  if (present < rows)
    result = source.fail(ZQ_ERR_FILE_IO, "pixel data ends after %llu of %llu rows", (unsigned long long)present,
                         (unsigned long long)rows);
  uint64_t at = uint64_t(start);
  for (uint64_t i = first; i < last && t.width > 0; ++i) {
    uint64_t row_start = uint64_t(start) + i * row_stride;
    if ((row_start != at && !source.seek(row_start)) || source.read(buffer, take) != take) {
      result = source.fail(ZQ_ERR_FILE_IO, "pixel row %llu cannot be read", (unsigned long long)i);
      break;
    }
    at = row_start + take;
    if (packed) unpack(buffer, info.bits, t.width, pixels);
    if (info.coding == BmpCoding::kBitFields) bmp_unpack_fields(info, pixels, t.width);
    int y = int(info.top_down ? i : rows - 1 - i);
    convert(pixels, t.pixels + size_t(y) * t.pitch, t.width);
  }
  std::free(buffer);
  return result;
}
