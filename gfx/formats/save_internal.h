// What the image writers share: the pixels to save, the layout they are
// saved in, and the row encoder that turns source pixels into file bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

struct SaveSource {
  const uint8_t* pixels;
  size_t pitch;
  int bytes_per_pixel;  // 1 (palette indices), 2 (RGB 5-6-5) or 4 (0xAARRGGBB)
  int width, height;
  const uint32_t* palette;  // 256 entries, red in bits 0..7; for 1-byte pixels
};

enum class SaveLayout {
  kIndexed,  // one palette index per pixel and a 256-entry palette
  kBgr,      // B, G, R bytes: opaque
  kBgra,     // B, G, R, A bytes
};

struct SavePlan {
  SaveLayout layout;
  bool keep_alpha;    // a 32-bit source's alpha byte goes to the file
  bool mask_clears;   // mask-colour pixels get alpha 0, all others 255
};

// The layout for a source of bytes_per_pixel and the ZQ_SAVE_* flags: by
// default opaque (indices for 1 byte, B, G, R otherwise); with alpha kept or
// the mask as alpha, B, G, R, A.
SavePlan save_plan(int bytes_per_pixel, int flags);

// Bytes per pixel of a layout in the file.
int save_layout_bytes(SaveLayout layout);

// Encodes one source row (width pixels) into out as the plan's layout:
// indices as they are, 5-6-5 widened with each channel scaled exactly,
// palette indices through the palette.
void save_encode_row(const SaveSource& s, const SavePlan& plan, const uint8_t* row, uint8_t* out);

// The writers: the whole file to an open file; false when writing fails.
bool bmp_write(std::FILE* file, const SaveSource& s, const SavePlan& plan);
bool png_write(std::FILE* file, const SaveSource& s, const SavePlan& plan);
