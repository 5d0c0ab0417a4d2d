// The PNG entry of the format table: every colour type and bit depth
// (grey 1/2/4/8/16, grey with alpha, RGB and RGBA 8/16, palette 1/2/4/8),
// transparency chunks and interlacing, read through libpng. An animated PNG
// gives its still image, the first frame.
//
// Into targets of 4 bytes per pixel: 0xAARRGGBB with the file's alpha, a
// pixel of alpha 0 becoming 0x00FF00FF so transparent puts skip it as they
// skip the mask colour; 2 bytes: alpha 0 becomes 0xF81F, any other pixel its
// 5-6-5 colour; 1 byte: a palette file's indices as they are, its palette
// set as a BMP file's is, while a grey or true-colour file is refused as a
// 24-bit BMP is. 16-bit channels are scaled exactly to 8 bits.
#pragma once
#include <cstddef>
#include <cstdint>

#include "gfx/formats/byte_source.h"

struct ImageBuffer;

bool png_file_accepts(const uint8_t* start, size_t count);
int png_file_size(ByteSource& source, int* width, int* height);
int png_file_load(ByteSource& source, ImageBuffer* dest, uint32_t* palette_dest);
