// Loading an image buffer or the screen's work page from a file: a Windows
// BMP file (first byte "B"), converted into the target's pixel format, or a
// raw block file (first byte 0xFD or 0xFE), copied byte for byte.
#pragma once
#include <cstdint>

struct ImageBuffer;
struct StringValue;

// dest null loads onto the screen's work page. palette_dest, when given,
// receives the file's palette as 256 entries at most, 6 bits per component
// (red in bits 0..5, green 8..13, blue 16..21), and the screen palette is left
// alone. The name may separate folders with "\" or "/"; it is released when it
// is a temporary. Returns (and records as the last error) 0 on success, 1 for
// an illegal call (no screen where one is needed, 15- or 16-bit files, a 24-
// or 32-bit file into 1 byte per pixel, a destination too small to hold one
// row), 2 when the file cannot be opened and 3 for bad or short file data.
int gfx_load_bitmap(StringValue* name, ImageBuffer* dest, uint32_t* palette_dest);
