// What the loader's entries share: file names, the destination's room, the
// part of a target that receives pixels, and the raw block and BMP entries.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "gfx/formats/byte_source.h"
#include "zentravolk/common.h"  // the error numbers, ZQ_ERR_*

struct ImageBuffer;

constexpr int kBitmapNameBuffer = 260;  // longest file name: 259 characters

// Copies a name of length characters into path (kBitmapNameBuffer bytes)
// with the folder separators this system uses. False when the name is too
// long to copy whole.
bool bitmap_file_name(const char* chars, int length, char* path);

// Bytes of dest that may be written: the room of a block this library made,
// otherwise the size the block's own header describes (it is never grown).
size_t bitmap_dest_room(const ImageBuffer* dest);

// Opens a file by name (folders separated by "/" or "\\") into path
// (kBitmapNameBuffer bytes, the name as opened, for reasons); null with the
// error number (2) recorded with its reason when it cannot. The name need
// not end in a zero.
std::FILE* bitmap_open(const char* chars, int length, char* path);

// The part of a target that receives pixels: the rows from pixels on, pitch
// bytes apart, and the top-left width x height of the file that lands there.
struct LoadTarget {
  uint8_t* pixels;
  size_t pitch;
  int bytes_per_pixel;
  int width, height;
};

// Chooses the target for a file of width x height pixels, as every format
// does: null dest is the screen's work page (the file clipped to it); a
// long-style image keeps its size and format (the file fills its top-left
// part); any other block becomes a long-style image of the file's size in
// the screen's format, cut to what the block holds. Needs an open screen.
// False, with ZQ_ERR_ILLEGAL_CALL and its reason recorded, for a
// destination whose header could lead a row outside its block.
bool load_target(const ByteSource& source, ImageBuffer* dest, int width, int height, LoadTarget* target);

// The palette of a 1- to 8-bit file (count entries, red in bits 0..7, green
// 8..15, blue 16..23): into palette_dest as 6-bit components when given,
// otherwise into the screen palette, which is sent to the driver (palette
// screens then redraw every row). Call under the screen lock.
void load_palette(const uint32_t* entries, int count, uint32_t* palette_dest);

// The format table's raw block and BMP entries (see formats.h).
int bitmap_load_block(ByteSource& source, ImageBuffer* dest, uint32_t* palette_dest);
int bitmap_bmp_size(ByteSource& source, int* width, int* height);
int bitmap_load_bmp(ByteSource& source, ImageBuffer* dest, uint32_t* palette_dest);
