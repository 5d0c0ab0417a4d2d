// Image buffers: a header followed directly by the pixel rows, in one block.
// Long style: a 32-byte header whose first word is 7 (type, bytes per pixel,
// width, height, pitch rounded to 16, reserved). Short style: a 4-byte header
// (u16 bytes-per-pixel in bits 0..2 and width in bits 3..15, u16 height),
// rows without padding.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

// ImageBuffer (the block's bytes, read through the accessors below),
// gfx_image_create and gfx_image_destroy: declared in the public header.
#include "zentravolk/image.h"

constexpr uint32_t kImageLongType = 7;
constexpr int kImageLongHeader = 32;
constexpr int kImageShortHeader = 4;
constexpr int kImageShortMaxWidth = 8191;

// Fill colours of new images when none is given, by bytes per pixel.
constexpr uint32_t gfx_mask_colour(int bytes_per_pixel) {
  return bytes_per_pixel == 2 ? 0xF81Fu : bytes_per_pixel == 4 ? 0xFFFF00FFu : 0u;
}

struct ImageInfo {
  bool long_style;
  int bytes_per_pixel;  // short style: the 3-bit field as stored (0 = the target's)
  int width, height;
  int pitch;            // short style: width x bytes_per_pixel as stored
  uint8_t* pixels;
};

inline uint8_t* gfx_image_bytes(const ImageBuffer* image) {
  return reinterpret_cast<uint8_t*>(const_cast<ImageBuffer*>(image));
}

inline uint32_t gfx_image_read32(const ImageBuffer* image, int offset) {
  uint32_t v;
  std::memcpy(&v, gfx_image_bytes(image) + offset, 4);
  return v;
}

inline bool gfx_image_is_long(const ImageBuffer* image) {
  return gfx_image_read32(image, 0) == kImageLongType;
}

// The header as stored, for either style.
inline ImageInfo gfx_image_info(const ImageBuffer* image) {
  ImageInfo info{};
  uint8_t* b = gfx_image_bytes(image);
  if (gfx_image_is_long(image)) {
    info.long_style = true;
    info.bytes_per_pixel = int(gfx_image_read32(image, 4));
    info.width = int(gfx_image_read32(image, 8));
    info.height = int(gfx_image_read32(image, 12));
    info.pitch = int(gfx_image_read32(image, 16));
    info.pixels = b + kImageLongHeader;
  } else {
    unsigned format = unsigned(b[0]) | unsigned(b[1]) << 8;
    info.bytes_per_pixel = int(format & 7);
    info.width = int(format >> 3);
    info.height = int(unsigned(b[2]) | unsigned(b[3]) << 8);
    info.pitch = info.width * info.bytes_per_pixel;
    info.pixels = b + kImageShortHeader;
  }
  return info;
}

// Bytes the block of an image made by gfx_image_create holds from its start
// (room for the long form included); 0 for blocks this library did not make.
size_t gfx_image_room(const ImageBuffer* image);
