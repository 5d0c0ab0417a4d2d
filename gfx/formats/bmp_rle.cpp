// Run-length coded BMP pixels (8 or 4 bits). Each code is two bytes: a count
// above 0 repeats the next byte (4 bits: its two pixels in turn); a count of
// 0 is an escape: 0 ends the line, 1 ends the bitmap, 2 moves right and up by
// the next two bytes, and 3..255 give that many pixels as they are, padded to
// a whole number of 16-bit words. Rows are decoded one at a time into index
// bytes for the target's width; pixels past it are dropped.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "gfx/formats/bmp.h"
#include "gfx/image/image.h"

namespace {

constexpr int kEndOfLine = 0;
constexpr int kEndOfBitmap = 1;
constexpr int kMove = 2;

class RleRows {
 public:
  RleRows(const BmpInfo& info, const LoadTarget& t, RowConvertFn convert, uint8_t* buffer)
      : info_(info), t_(t), convert_(convert), index_(buffer), written_(buffer + t.width) {
    first_ = info.top_down ? 0 : int64_t(info.height) - t.height;
    last_ = info.top_down ? t.height : info.height;
  }

  bool done() const { return row_ >= info_.height; }

  void put(uint8_t index) {
    if (x_ >= 0 && x_ < t_.width) {
      index_[x_] = index;
      written_[x_] = 1;
    }
    ++x_;
  }
  void move_right(int dx) { x_ += dx; }

  // Converts the current row (unwritten pixels in the mask colour) and
  // passes on to the start of the next one.
  void end_row() {
    if (row_ >= first_ && row_ < last_) store_row();
    std::memset(written_, 0, size_t(t_.width));
    ++row_;
    x_ = 0;
  }

  // Ends the current row and leaves the next rows - 1 rows unwritten; the
  // column stays, as a move asks.
  void skip_rows(int64_t rows) {
    int64_t x = x_;
    end_row();
    int64_t stop = std::min<int64_t>(row_ + rows - 1, info_.height);
    for (int64_t r = std::max(row_, first_); r < std::min(stop, last_); ++r) {
      row_ = r;
      store_row();
    }
    row_ = std::max(row_, stop);
    x_ = x;
  }

 private:
  void store_row() {
    int64_t y = info_.top_down ? row_ : info_.height - 1 - row_;
    uint8_t* out = t_.pixels + size_t(y) * t_.pitch;
    convert_(index_, out, t_.width);
    const uint32_t mask = gfx_mask_colour(t_.bytes_per_pixel);
    const size_t bpp = size_t(t_.bytes_per_pixel);
    for (int x = 0; x < t_.width; ++x)
      if (!written_[x]) std::memcpy(out + size_t(x) * bpp, &mask, bpp);
  }

  const BmpInfo& info_;
  const LoadTarget& t_;
  RowConvertFn convert_;
  uint8_t* index_;
  uint8_t* written_;
  int64_t first_, last_;  // file rows that land in the target
  int64_t row_ = 0;       // file row being decoded
  int64_t x_ = 0;
};

// Pixels of one code: count of them from the bytes in data (4 bits: two per byte).
void put_pixels(RleRows& rows, bool four_bits, const uint8_t* data, int count, bool repeat) {
  for (int i = 0; i < count; ++i) {
    uint8_t byte = repeat ? data[0] : data[four_bits ? i / 2 : i];
    rows.put(four_bits ? uint8_t(i % 2 ? byte & 15 : byte >> 4) : byte);
  }
}

}  // namespace

int bmp_read_rle_rows(ByteSource& source, const BmpInfo& info, const LoadTarget& t, RowConvertFn convert) {
  auto* buffer = static_cast<uint8_t*>(std::calloc(2 * size_t(t.width) + 1, 1));
  if (!buffer) return source.fail(ZQ_ERR_FILE_IO, "out of memory for a row of %d pixels", t.width);
  const bool four_bits = info.coding == BmpCoding::kRle4;
  RleRows rows(info, t, convert, buffer);
  int result = ZQ_ERR_FILE_IO;  // until the bitmap ends or every row is decoded
  uint8_t code[2], data[256];
  while (!rows.done()) {
    if (source.read(code, 2) != 2) break;
    if (code[0] > 0) {
      put_pixels(rows, four_bits, code + 1, code[0], true);
    } else if (code[1] == kEndOfLine) {
      rows.end_row();
    } else if (code[1] == kEndOfBitmap) {
      rows.skip_rows(info.height);
      result = ZQ_OK;
      break;
    } else if (code[1] == kMove) {
      uint8_t move[2];
      if (source.read(move, 2) != 2) break;
      if (move[1]) rows.skip_rows(move[1]);
      rows.move_right(move[0]);
    } else {
      size_t bytes = four_bits ? (code[1] + 1u) / 2 : code[1];
      size_t padded = (bytes + 1) & ~size_t(1);
      size_t got = source.read(data, padded);
      if (got < bytes) {
        put_pixels(rows, four_bits, data, int(four_bits ? 2 * got : got), false);
        break;
      }
      put_pixels(rows, four_bits, data, code[1], false);
      if (got < padded) break;
    }
  }
  if (rows.done()) {
    result = ZQ_OK;
  } else if (result) {
    rows.end_row();  // the data ended: keep the row begun
    source.fail(result, "run-length data ends before the end of the bitmap");
  }
  std::free(buffer);
  return result;
}
