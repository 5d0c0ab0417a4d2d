// The built-in fonts and palettes: the LZW decoder and the one unpacked copy
// of the block that the font and palette descriptors point into.
#include "gfx/screen/builtin_data.h"

#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

constexpr unsigned kFirstFreeCode = 256;
constexpr unsigned kEndCode = 4095;  // also the dictionary's limit: 4094 is the last entry
constexpr unsigned kMaxLinks = 4095;

uint8_t block[kBuiltinDataSize];
std::once_flag unpack_once;

// Reads code number index (two codes per three bytes, low bits first).
// Returns false when the input ends before the code is complete.
bool read_code(const uint8_t* in, size_t in_size, size_t index, unsigned* code) {
  const size_t pos = index / 2 * 3;
  if (index % 2 == 0) {
    if (pos + 1 >= in_size) return false;
    *code = in[pos] | (in[pos + 1] & 0x0Fu) << 8;
  } else {
    if (pos + 2 >= in_size) return false;
    *code = in[pos + 1] >> 4 | unsigned{in[pos + 2]} << 4;
  }
  return true;
}

}  // namespace

int lzw_unpack(const uint8_t* in, size_t in_size, uint8_t* out, size_t capacity, size_t* written) {
  // Dictionary entry c (256 and up) is the string of prefix[c] followed by suffix[c].
  uint16_t prefix[kEndCode];
  uint8_t suffix[kEndCode];
  // One decoded string, filled from the back: at most kMaxLinks suffixes, the
  // root byte and the extra byte of a code that is being defined.
  uint8_t string[kMaxLinks + 2];

  size_t count = 0;
  unsigned next_code = kFirstFreeCode;
  unsigned previous = 0;
  uint8_t previous_first = 0;
  int result = -1;

  for (size_t index = 0;; ++index) {
    unsigned code;
    if (!read_code(in, in_size, index, &code)) break;
    if (code == kEndCode) {
      result = 0;
      break;
    }
    if (index == 0) {
      if (code >= kFirstFreeCode || count == capacity) break;
      out[count++] = static_cast<uint8_t>(code);
      previous = code;
      previous_first = static_cast<uint8_t>(code);
      continue;
    }

    size_t start = sizeof string;
    unsigned c = code;
    if (code == next_code) {
      // The code being defined: previous string plus its own first byte.
      string[--start] = previous_first;
      c = previous;
    } else if (code > next_code) {
      break;
    }
    unsigned links = 0;
    bool too_long = false;
    while (c >= kFirstFreeCode) {
      if (links++ == kMaxLinks) {
        too_long = true;
        break;
      }
      string[--start] = suffix[c];
      c = prefix[c];
    }
    if (too_long) break;
    string[--start] = static_cast<uint8_t>(c);

    const size_t length = sizeof string - start;
    if (length > capacity - count) break;
    std::memcpy(out + count, string + start, length);
    count += length;

    if (next_code < kEndCode) {
      prefix[next_code] = static_cast<uint16_t>(previous);
      suffix[next_code] = string[start];
      ++next_code;
    }
    previous = code;
    previous_first = string[start];
  }

  if (written != nullptr) *written = count;
  return result;
}

void builtin_data_unpack() {
  std::call_once(unpack_once, [] {
    size_t size = 0;
    if (lzw_unpack(builtin_data_packed, builtin_data_packed_size, block, sizeof block, &size) != 0 ||
        size != sizeof block) {
      // Never leave a half-decoded block behind: blank glyphs and black
      // palettes are harmless, stray bytes are not.
      std::memset(block, 0, sizeof block);
      std::fputs("zq_gfx: the built-in font and palette data is damaged\n", stderr);
    }
  });
}

const uint8_t* builtin_data() {
  builtin_data_unpack();
  return block;
}

constinit const FontDescriptor builtin_font_8x8{8, 8, block + kFont8x8Offset};
constinit const FontDescriptor builtin_font_8x14{8, 14, block + kFont8x14Offset};
constinit const FontDescriptor builtin_font_8x16{8, 16, block + kFont8x16Offset};
constinit const PaletteDescriptor builtin_palette_2{2, block + kPalette2Offset};
constinit const PaletteDescriptor builtin_palette_16{16, block + kPalette16Offset};
constinit const PaletteDescriptor builtin_palette_64{64, block + kPalette64Offset};
constinit const PaletteDescriptor builtin_palette_256{256, block + kPalette256Offset};
