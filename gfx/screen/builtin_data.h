// The built-in fonts and palettes: one LZW-packed block unpacked on first use.
#pragma once
#include <cstddef>
#include <cstdint>

#include "drivers/screen_state.h"

constexpr int kBuiltinDataSize = 10742;
constexpr int kFont8x8Offset = 0;       // 2048 bytes
constexpr int kFont8x14Offset = 2048;   // 3584 bytes
constexpr int kFont8x16Offset = 5632;   // 4096 bytes
constexpr int kPalette2Offset = 9728;   // 2 RGB triples
constexpr int kPalette16Offset = 9734;  // 16 triples
constexpr int kPalette64Offset = 9782;  // 64 triples
constexpr int kPalette256Offset = 9974; // 256 triples

// The packed block as committed (gfx/screen/builtin_data_block.cpp, written by
// tools/make_builtin_data), and the CRC-32 of the unpacked block.
extern const uint8_t builtin_data_packed[];
extern const size_t builtin_data_packed_size;
extern const uint32_t builtin_data_crc32;

// Decodes 12-bit LZW codes (two per three bytes, 4095 ends) into out, writing
// at most capacity bytes. Returns 0 on the end code, -1 on anything else
// (input ends first, a code not yet defined, output would pass capacity).
// When written is given it receives the number of bytes stored.
int lzw_unpack(const uint8_t* in, size_t in_size, uint8_t* out, size_t capacity,
               size_t* written = nullptr);

// Unpacks the block once per process (thread-safe); the descriptors point into
// it. builtin_data() unpacks first if needed.
void builtin_data_unpack();
const uint8_t* builtin_data();
extern const FontDescriptor builtin_font_8x8, builtin_font_8x14, builtin_font_8x16;
extern const PaletteDescriptor builtin_palette_2, builtin_palette_16, builtin_palette_64, builtin_palette_256;
