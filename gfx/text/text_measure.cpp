// Measuring a line of text: the font read once, the glyphs' widths summed.
#include <climits>

#include "drivers/screen_state.h"
#include "gfx/image/image.h"
#include "gfx/text/text_layout.h"
#include "gfx/text/utf8_text.h"
#include "runtime/rt_core.h"
#include "zentravolk/text.h"

int gfx_read_line_font(const ImageBuffer* font, int target_bytes, LineFont* out) {
  out->image = font;
  out->kind = FontKind::as_drawn;
  if (!font) {
    const FontDescriptor* builtin = screen_state ? screen_state->font : nullptr;
    if (!builtin || !builtin->glyphs || builtin->width <= 0 || builtin->height <= 0)
      return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no screen is open, so there is no built-in font");
    out->glyph_width = builtin->width;
    out->glyph_height = builtin->height;
    return ZQ_OK;
  }
  SourceImage& f = out->source;
  if (!gfx_source_image(font, target_bytes, &f))
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "the font image's header does not describe an image");
  if (f.height < 2)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "the font image is %d rows high: no glyph rows below its header", f.height);
  FontRange range;
  if (!gfx_font_range(f, &range))
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "the font image's first row is not a font header");
  long long total = gfx_font_glyph_table(f, range, 0, out->glyphs);
  if (total > f.width)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "the font's glyph widths add up to %lld pixels, the image is %d wide", total,
                   f.width);
  out->kind = gfx_font_kind(f, range);
  out->glyph_width = 0;
  out->glyph_height = f.height - 1;
  return ZQ_OK;
}

long long gfx_line_width(const LineFont& font, const std::string& codes) {
  const auto* chars = reinterpret_cast<const uint8_t*>(codes.data());
  if (!font.image) return (long long)codes.size() * font.glyph_width;
  return gfx_font_line_width(font.glyphs, font.glyph_height, chars, int(codes.size()));
}

std::string gfx_line_codes(const char* text, int flags) {
  return (flags & ZQ_TEXT_UTF8) ? gfx_cp437_from_utf8(text) : std::string(text);
}

int gfx_text_size_ex(const ImageBuffer* font, const char* text, int flags, int scale, int* width, int* height) {
  rt_set_error(ZQ_OK);
  if (width) *width = 0;
  if (height) *height = 0;
  if (!text) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no text to measure");
  if (scale < 1) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "scale %d: it must be 1 or more", scale);
  LineFont line_font;
  if (int error = gfx_read_line_font(font, screen_state ? screen_state->bytes_per_pixel : 4, &line_font))
    return error;
  long long w = gfx_line_width(line_font, gfx_line_codes(text, flags)) * scale;
  long long h = (long long)line_font.glyph_height * scale;
  if (w > INT_MAX || h > INT_MAX)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "the text at scale %d is larger than a size can say", scale);
  if (width) *width = int(w);
  if (height) *height = int(h);
  return ZQ_OK;
}

int gfx_text_size(const ImageBuffer* font, const char* text, int* width, int* height) {
  return gfx_text_size_ex(font, text, 0, 1, width, height);
}

int gfx_text_size_utf8(const ImageBuffer* font, const char* text, int* width, int* height) {
  return gfx_text_size_ex(font, text, ZQ_TEXT_UTF8, 1, width, height);
}
