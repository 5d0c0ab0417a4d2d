// The header row of a font image and the glyph table built from it.
#include "gfx/text/font_glyphs.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

bool gfx_font_range(const SourceImage& f, FontRange* range) {
  if (f.pitch <= 3 || f.pixels[0] != 0) return false;
  int first = f.pixels[1], last = f.pixels[2];
  if (first > last) std::swap(first, last);
  *range = {first, last - first + 1};
  return 3 + range->count <= f.pitch;
}

long long gfx_font_glyph_table(const SourceImage& f, FontRange range, long long skipped_rows, FontGlyph* glyphs) {
  std::fill_n(glyphs, kFontCodes, FontGlyph{-1, nullptr});
  const uint8_t* row1 = f.pixels + ptrdiff_t(1 + skipped_rows) * f.pitch;
  long long offset = 0;
  for (int k = 0; k < range.count; ++k) {
    int width = f.pixels[3 + k];
    glyphs[range.first + k] = {width, row1 + ptrdiff_t(offset) * f.bytes_per_pixel};
    offset += width;
  }
  return offset;
}

long long gfx_font_line_width(const FontGlyph* glyphs, int glyph_height, const uint8_t* chars, int length) {
  long long width = 0;
  for (int i = 0; i < length; ++i) width += glyphs[chars[i]].pixels ? glyphs[chars[i]].width : glyph_height;
  return width;
}

FontKind gfx_font_kind(const SourceImage& f, FontRange range) {
  const int at = 3 + range.count;
  if (at + kFontKindTagBytes > f.pitch || std::memcmp(f.pixels + at, kFontKindTag, sizeof kFontKindTag) != 0)
    return FontKind::as_drawn;
  uint8_t kind = f.pixels[at + sizeof kFontKindTag];
  return kind == uint8_t(FontKind::coverage) || kind == uint8_t(FontKind::stencil) ? FontKind(kind)
                                                                                  : FontKind::as_drawn;
}

bool gfx_font_mark_kind(uint8_t* header_row, int pitch, FontRange range, FontKind kind) {
  const int at = 3 + range.count;
  if (at + kFontKindTagBytes > pitch) return false;
  std::memcpy(header_row + at, kFontKindTag, sizeof kFontKindTag);
  header_row[at + sizeof kFontKindTag] = uint8_t(kind);
  return true;
}
