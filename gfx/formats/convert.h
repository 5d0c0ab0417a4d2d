// Row converters: turn one row of file pixels (palette indices, B-G-R or
// R-G-B bytes, with or without a fourth byte) into target pixels of 1, 2 or 4
// bytes. Indexed sources are coloured with the screen's device palette, so
// they need an open screen.
#pragma once
#include <cstdint>

// Writes count target pixels from count source pixels.
using RowConvertFn = void (*)(const uint8_t* src, uint8_t* dst, int count);

void convert_index_to_8(const uint8_t* src, uint8_t* dst, int count);
void convert_index_to_16(const uint8_t* src, uint8_t* dst, int count);
void convert_index_to_32(const uint8_t* src, uint8_t* dst, int count);
void convert_bgr24_to_16(const uint8_t* src, uint8_t* dst, int count);
void convert_bgr24_to_32(const uint8_t* src, uint8_t* dst, int count);
void convert_bgra32_to_16(const uint8_t* src, uint8_t* dst, int count);
void convert_bgra32_to_32(const uint8_t* src, uint8_t* dst, int count);
void convert_rgb24_to_16(const uint8_t* src, uint8_t* dst, int count);
void convert_rgb24_to_32(const uint8_t* src, uint8_t* dst, int count);
void convert_rgba32_to_16(const uint8_t* src, uint8_t* dst, int count);
void convert_rgba32_to_32(const uint8_t* src, uint8_t* dst, int count);

// The converter for a source of src_bits per pixel (8 or fewer: one index
// byte per pixel; 24: three bytes; anything else: four bytes) into targets of
// target_bytes per pixel (3 is served as 4). Null when there is none: a
// 24- or 32-bit source into 1 byte, or a target size outside 1..4.
RowConvertFn gfx_row_converter(int src_bits, int target_bytes, bool red_first);

// Converts width pixels of one row; target_bits / 8 rounded up gives the
// target's bytes per pixel. Unsupported combinations, a non-positive width,
// null rows, and indexed sources with no screen open convert nothing.
void gfx_image_convert_row(const uint8_t* src, int src_bits, uint8_t* dst, int target_bits, int width,
                           int red_first);
