// What the BMP loader's parts share: the file's description taken from its
// headers, the part of the target that receives pixels, and the row readers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "gfx/bitmap_convert.h"

struct BmpInfo {
  int width;
  int height;     // rows, always positive
  bool top_down;  // the first row in the file is the top row
  int bits;
  uint32_t compression;
};

struct BmpTarget {
  uint8_t* pixels;
  size_t pitch;
  int bytes_per_pixel;
  int width, height;  // the part of the file that is converted
};

// Reads the rows of an uncompressed file that starts its pixels at the
// file's current position, converting the part that falls inside the
// target. Rows outside the target are passed over unread, so the work and
// the memory are bounded by the target, never by the file's size. Returns
// 0, or 3 when the file ends before its last row (the rows it holds are
// converted), or when memory runs out.
int bmp_read_plain_rows(std::FILE* file, const BmpInfo& info, const BmpTarget& target, RowConvertFn convert);
