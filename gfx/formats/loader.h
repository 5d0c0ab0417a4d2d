// Loading an image buffer or the screen's work page from a file or from a
// block of memory, in any format of the format table (formats.h): a Windows
// BMP file (first byte "B"), converted into the target's pixel format, or a
// raw block file (first byte 0xFD or 0xFE), copied byte for byte.
#pragma once
#include <cstdint>

#include "zentravolk/image.h"  // gfx_load_bitmap, described in full there

// dest null loads onto the screen's work page; palette_dest, when given,
// receives the file's palette (6 bits per component) and the screen palette
// is left alone. Returns and records ZQ_OK or a ZQ_ERR_* number.
