// Reading a font image: the character range and widths of its header row,
// the table of glyphs a line is drawn from, a line's width, and the kind of
// font a maker marked it as.
//
// The header row, read as bytes: 0, the first and last character codes (in
// either order), one width per character. A maker may follow the widths
// with the four bytes 'Z', 'Q', 'f', kind (FontKind) to say how the glyphs
// are meant to be drawn; a font without them is drawn as it is.
#pragma once
#include <cstdint>

#include "gfx/blit/put.h"  // SourceImage

constexpr int kFontCodes = 256;

struct FontGlyph {
  int width;
  const uint8_t* pixels;  // null: no glyph for this code
};

struct FontRange {
  int first, count;
};

enum class FontKind : uint8_t {
  as_drawn = 0,   // glyph pixels are the colours drawn (masked where the mask colour)
  coverage = 1,   // 4 bytes per pixel: the alpha byte is how much of the text colour covers the pixel
  stencil = 2,    // every pixel that is not the mask colour is drawn in the text colour
};
constexpr uint8_t kFontKindTag[3] = {'Z', 'Q', 'f'};
constexpr int kFontKindTagBytes = 4;

// The character range of the header row; false when the row does not hold a
// header: pitch 3 bytes or less, version byte not 0, or widths past the row.
bool gfx_font_range(const SourceImage& f, FontRange* range);

// Fills the 256 entries of glyphs (codes outside the range: no glyph), each
// glyph's pixels starting skipped_rows below row 1. Returns the sum of the
// widths, which must not exceed the image's width for the table to be used.
long long gfx_font_glyph_table(const SourceImage& f, FontRange range, long long skipped_rows, FontGlyph* glyphs);

// The width of a line: each glyph's width, and for a code without a glyph a
// gap as wide as the glyphs are high.
long long gfx_font_line_width(const FontGlyph* glyphs, int glyph_height, const uint8_t* chars, int length);

// The kind the header row's tag names, as_drawn without one.
FontKind gfx_font_kind(const SourceImage& f, FontRange range);

// Writes the tag for kind after the widths of a header row of pitch bytes;
// false when the row has no room for it.
bool gfx_font_mark_kind(uint8_t* header_row, int pitch, FontRange range, FontKind kind);
