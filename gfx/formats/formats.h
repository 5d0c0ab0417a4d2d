// The table of image file formats the loader reads. Each entry names its
// format, recognises it by the file's first bytes, and reads it from a byte
// source; the loader asks the entries in order and hands the source to the
// first that accepts it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "gfx/formats/byte_source.h"

struct ImageBuffer;

// How many first bytes an entry may look at.
constexpr size_t kFormatProbeBytes = 8;

struct ImageFormat {
  const char* name;
  // Whether start (count bytes, fewer than kFormatProbeBytes only when the
  // data is that short) begins a file of this format.
  bool (*accepts)(const uint8_t* start, size_t count);
  // The pixel size the file's headers give, from the source's start:
  // ZQ_OK, or a failure with its reason recorded. Null for a format whose
  // files have no size of their own (the raw block).
  int (*size)(ByteSource& source, int* width, int* height);
  // Loads from the source's start into dest (null: the screen's work page),
  // the palette into palette_dest when given. ZQ_OK, or a failure with its
  // reason recorded.
  int (*load)(ByteSource& source, ImageBuffer* dest, uint32_t* palette_dest);
};

// The entry that accepts the source, with the source back at its start; null
// when none does, after recording ZQ_ERR_FILE_IO with a reason that says
// what the first bytes look like.
const ImageFormat* image_format_of(ByteSource& source);

// Writes "starts with 89 50 4E 47 (a PNG file)" (the first four bytes, and
// what they look like when they are a well-known signature) for reasons;
// "is empty" for no bytes.
void describe_start(const uint8_t* start, size_t count, char* text, size_t size);

// Loads through the source's entry (the whole of gfx_load_bitmap after the
// file is open).
int load_image_source(ByteSource& source, ImageBuffer* dest, uint32_t* palette_dest);

// A new image of the source's size in the screen's format, filled with the
// mask colour first, then loaded; null with the error and its reason.
ImageBuffer* load_new_image(ByteSource& source);
