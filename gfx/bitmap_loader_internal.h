// The two branches of gfx_load_bitmap and what they share.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

struct ImageBuffer;

// Bytes of dest that may be written: the room of a block this library made,
// otherwise the size the block's own header describes (it is never grown).
size_t bitmap_dest_room(const ImageBuffer* dest);

// Both take the open file positioned after its first byte and return the
// result code; neither closes the file.
int bitmap_load_block(std::FILE* file, int first_byte, ImageBuffer* dest, uint32_t* palette_dest);
int bitmap_load_bmp(std::FILE* file, ImageBuffer* dest, uint32_t* palette_dest);
