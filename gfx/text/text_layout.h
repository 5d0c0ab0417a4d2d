// What a line of text is measured and drawn with: a font image read once per
// call (its glyph table, height and kind) or the screen's built-in font.
#pragma once
#include <string>

#include "gfx/text/font_glyphs.h"

struct ImageBuffer;

struct LineFont {
  const ImageBuffer* image;  // null: the built-in font
  SourceImage source;
  FontKind kind;
  int glyph_width;           // the built-in font's; 0 for a font image
  int glyph_height;
  FontGlyph glyphs[kFontCodes];
};

// Reads font (null: the screen's built-in font) for a target of
// target_bytes per pixel; on failure returns the error number with its
// reason set.
int gfx_read_line_font(const ImageBuffer* font, int target_bytes, LineFont* out);

// The width of a line of code page 437 codes at scale 1.
long long gfx_line_width(const LineFont& font, const std::string& codes);

// The codes of text: its bytes, or with ZQ_TEXT_UTF8 its UTF-8 characters
// mapped to code page 437.
std::string gfx_line_codes(const char* text, int flags);
