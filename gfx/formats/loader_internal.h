// The two branches of gfx_load_bitmap and what they share.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

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

// Opens a file by name (folders separated by "/" or "\\"); null with the error
// number (2) when it cannot. The name need not end in a zero.
std::FILE* bitmap_open(const char* chars, int length, int* error);

// The pixel size a BMP file describes; ZQ_OK, or ZQ_ERR_ILLEGAL_CALL for a
// block file (its size is not read here), ZQ_ERR_FILE_NOT_FOUND when the file
// cannot be opened, ZQ_ERR_FILE_IO for bad headers.
int bitmap_file_size(const char* name, int* width, int* height);

// The size in a BMP file's headers, read from its start.
int bitmap_bmp_size(std::FILE* file, int* width, int* height);

// Both take the open file positioned after its first byte and return the
// result code; neither closes the file.
int bitmap_load_block(std::FILE* file, int first_byte, ImageBuffer* dest, uint32_t* palette_dest);
int bitmap_load_bmp(std::FILE* file, ImageBuffer* dest, uint32_t* palette_dest);
