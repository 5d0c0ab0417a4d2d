// What the BMP loader's parts share: the file's description taken from its
// headers, the part of the target that receives pixels, and the row readers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "zentravolk/common.h"  // the error numbers, ZQ_ERR_*

#include "gfx/formats/byte_source.h"
#include "gfx/formats/convert.h"
#include "gfx/formats/loader_internal.h"

constexpr int kBmpMaxPalette = 256;

// How the pixel data is stored.
enum class BmpCoding { kPlain, kRle8, kRle4, kBitFields };

// One colour channel of a bit-field pixel: (pixel & mask) >> shift gives a
// value of 0..max (max 0: the channel is absent).
struct BmpChannel {
  uint32_t mask;
  int shift;
  uint32_t max;
};

struct BmpInfo {
  int width;
  int height;     // rows, always positive
  bool top_down;  // the first row in the file is the top row
  int bits;       // 1, 2, 4, 8, 24 or 32
  BmpCoding coding;
  BmpChannel channels[4];  // bit fields: red, green, blue, alpha
  int palette_count;       // entries read into the palette table
};

// Reads the file and information headers (any of the OS/2 and Windows
// sizes), the bit-field masks and the palette (red in bits 0..7, green
// 8..15, blue 16..23, at most kBmpMaxPalette entries), from the source's
// start, and leaves the source at the first pixel. Returns ZQ_OK,
// ZQ_ERR_ILLEGAL_CALL for 15- and 16-bit files, or ZQ_ERR_FILE_IO for
// anything that cannot be read, each failure with its reason recorded;
// nothing is written anywhere else.
int bmp_read_headers(ByteSource& source, BmpInfo* info, uint32_t* palette);

// Reads the rows of an uncompressed or bit-field file that starts its pixels
// at the file's current position, converting the part that falls inside the
// target. Rows outside the target are passed over unread, so the work and
// the memory are bounded by the target, never by the file's size. Returns
// ZQ_OK, or ZQ_ERR_FILE_IO when the file ends before its last row (the rows it holds are
// converted), or when memory runs out; a failure records its reason.
int bmp_read_plain_rows(ByteSource& source, const BmpInfo& info, const LoadTarget& target, RowConvertFn convert);

// Turns count 32-bit bit-field pixels in place into B, G, R, A bytes, each
// channel scaled exactly to 8 bits; no alpha channel gives 0xFF.
void bmp_unpack_fields(const BmpInfo& info, uint8_t* row, int count);

// Decodes run-length rows (8 or 4 bits) from the current position. Pixels the
// file never writes, because of moves or an early end of the bitmap, get the
// target's mask colour. Returns ZQ_OK, or ZQ_ERR_FILE_IO when the data ends before the end of
// the bitmap (what was decoded stays) or memory runs out; a failure records its reason.
int bmp_read_rle_rows(ByteSource& source, const BmpInfo& info, const LoadTarget& target, RowConvertFn convert);
