// Drawing a line of text aligned on a point and magnified by a whole number.
// At scale 1 the line goes to gfx_draw_string moved by the alignment; a
// larger scale draws the part of the line that reaches the view at scale 1
// into an image of its own and puts every pixel of it as a block, so the
// result is exactly the magnified line.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "gfx/blit/put.h"
#include "gfx/draw/context.h"
#include "gfx/image/image.h"
#include "gfx/text/text.h"
#include "gfx/text/text_layout.h"
#include "gfx/text/text_putters.h"
#include "runtime/rt_core.h"
#include "runtime/rt_string.h"

namespace {

// The built-in font's pixels in a line image: not 0 at every depth.
constexpr uint32_t kLineInk = 0xFFFFFF;

struct Magnified {
  GfxContext* ctx;
  const LineFont* font;
  SourceImage line;    // the line at scale 1
  long long x, y;      // target pixel of its top-left corner
  long long scale;
  uint32_t colour;     // in the target's format
  Putter putter;       // font images only
};

// Whether pixel x of a built-in font's line row is set (not 0).
bool set_at(const uint8_t* row, long long x, int bytes) {
  for (int i = 0; i < bytes; ++i)
    if (row[x * bytes + i]) return true;
  return false;
}

// Built-in glyphs: each run of set pixels of a line row becomes one span per
// target row, in the colour through the context's span routine (which blends
// where the colour does).
void put_runs(const Magnified& m, const uint8_t* row, long long c0, long long c1, long long t0, long long t1) {
  const int bpp = m.ctx->bytes_per_pixel;
  for (long long sx = (c0 - m.x) / m.scale; sx < m.line.width && m.x + sx * m.scale < c1;) {
    if (!set_at(row, sx, bpp)) {
      ++sx;
      continue;
    }
    long long end = sx;
    while (end < m.line.width && set_at(row, end, bpp)) ++end;
    long long a = std::max(c0, m.x + sx * m.scale), b = std::min(c1, m.x + end * m.scale);
    for (long long ty = t0; ty < t1; ++ty) m.ctx->fill_span(m.ctx->line_table[ty] + a * bpp, m.colour, int(b - a));
    sx = end;
  }
}

void put_magnified(const Magnified& m, const ViewClip& v) {
  const long long w = m.line.width * m.scale, h = m.line.height * m.scale;
  const long long c0 = std::max(m.x, v.left), c1 = std::min(m.x + w, v.right);
  const long long r0 = std::max(m.y, v.top), r1 = std::min(m.y + h, v.bottom);
  if (c0 >= c1 || r0 >= r1) return;
  const int bpp = m.ctx->bytes_per_pixel, sb = m.line.bytes_per_pixel;
  // A font's row, widened once into the visible columns, is put for all the
  // target rows it covers with a source pitch of 0.
  std::vector<uint8_t> wide(m.font->image ? size_t(c1 - c0) * size_t(sb) : 0);
  for (long long sy = (r0 - m.y) / m.scale; sy < m.line.height && m.y + sy * m.scale < r1; ++sy) {
    const long long t0 = std::max(r0, m.y + sy * m.scale), t1 = std::min(r1, m.y + (sy + 1) * m.scale);
    const uint8_t* row = m.line.pixels + ptrdiff_t(sy) * m.line.pitch;
    if (!m.font->image) {
      put_runs(m, row, c0, c1, t0, t1);
      continue;
    }
    for (long long tx = c0; tx < c1; ++tx)
      std::memcpy(&wide[size_t(tx - c0) * size_t(sb)], row + ptrdiff_t((tx - m.x) / m.scale) * sb, size_t(sb));
    m.putter(wide.data(), m.ctx->line_table[t0] + c0 * bpp, int(c1 - c0), int(t1 - t0), 0, m.ctx->pitch,
             int(m.colour), nullptr, nullptr);
  }
  gfx_mark_dirty(m.ctx, int(r0), int(r1 - r0));
}

int draw_magnified(float x, float y, const std::string& codes, uint32_t colour, const LineFont& font, int scale,
                   Putter putter) {
  GfxContext* ctx = gfx_get_context();
  if (!gfx_target_fits(ctx)) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "the target image's rows reach past its block");
  gfx_step_coords(ctx, ZQ_TEXT_ABSOLUTE, &x, &y, nullptr, nullptr);
  int px, py;
  gfx_to_view(ctx, x, y, &px, &py);
  const ViewClip v = gfx_view_clip(ctx);
  const long long s = scale, width = gfx_line_width(font, codes), height = font.glyph_height;
  const long long c0 = std::max<long long>(px, v.left), c1 = std::min(px + width * s, v.right);
  if (c0 >= c1 || std::max<long long>(py, v.top) >= std::min(py + height * s, v.bottom)) return ZQ_OK;
  // Only the line's columns that reach the view are drawn at scale 1: the
  // line image holds source columns [first, last).
  const long long first = (c0 - px) / s, last = (c1 - 1 - px) / s + 1;

  // The line in the target's pixel size (which short-style images take from
  // the screen): built-in glyphs in white over 0; a font's glyph pixels as
  // they are, over its background (the mask colour, or no coverage at all
  // for a coverage font).
  ImageBuffer* const target = ctx->target;
  const int bytes = ctx->bytes_per_pixel;
  const bool mask_fill = font.image && font.kind != FontKind::coverage;
  ImageBuffer* line = gfx_image_create(int(last - first), int(height), 0, bytes * 8, mask_fill ? ZQ_IMAGE_MASK_FILL : 0);
  if (!line)
    return rt_fail(ZQ_ERR_OUT_OF_MEMORY, "no memory for a line of %lld x %lld pixels", last - first, height);
  gfx_draw_string(line, float(-first), 0, ZQ_TEXT_ABSOLUTE, rt_str_temp_c(codes.c_str()), kLineInk, font.image, 0,
                  putter_copy, nullptr, nullptr);

  Magnified m{ctx, &font, {}, px + first * s, py, s, 0, putter};
  gfx_source_image(line, bytes, &m.line);
  gfx_set_target(ctx, target);
  m.colour = gfx_fix_colour(ctx->bytes_per_pixel, colour);
  gfx_select_colour_routines(ctx, m.colour);
  {
    GfxScreenLock lock;
    put_magnified(m, gfx_view_clip(ctx));
  }
  gfx_image_destroy(line);
  return ZQ_OK;
}

}  // namespace

int gfx_draw_text_ex(ImageBuffer* target, float x, float y, const char* text, uint32_t colour,
                     const ImageBuffer* font, int flags, int scale, Putter putter) {
  rt_set_error(ZQ_OK);
  if (!screen_state) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no screen is open");
  if (!text) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no text to draw");
  if (scale < 1) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "scale %d: it must be 1 or more", scale);
  const int align = flags & 0xFF;
  if (align > ZQ_ALIGN_RIGHT)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "alignment %d is none of left (0), centre (1) and right (2)", align);
  GfxContext* ctx = gfx_get_context();
  gfx_set_target(ctx, target);
  LineFont line_font;
  if (int error = gfx_read_line_font(font, ctx->bytes_per_pixel, &line_font)) return error;
  if (font && line_font.source.bytes_per_pixel != ctx->bytes_per_pixel)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "the font has %d bytes per pixel, the target %d",
                   line_font.source.bytes_per_pixel, ctx->bytes_per_pixel);
  const std::string codes = gfx_line_codes(text, flags);
  const long long width = gfx_line_width(line_font, codes) * scale;
  const long long shift = align == ZQ_ALIGN_RIGHT ? width : align == ZQ_ALIGN_CENTRE ? width / 2 : 0;
  // The anchor's pixel column first, so that the shift is whole pixels.
  const float left = float(std::round(x) - double(shift));
  if (font && !putter) putter = gfx_font_putter(line_font.kind);
  if (scale > 1) return draw_magnified(left, y, codes, colour, line_font, scale, putter);
  int result = gfx_draw_string(target, left, y, ZQ_TEXT_ABSOLUTE, rt_str_temp_c(codes.c_str()), colour, font, 0,
                               putter, nullptr, nullptr);
  return result ? rt_fail(result, "the text could not be drawn on the target") : ZQ_OK;
}

int gfx_draw_text_aligned(ImageBuffer* target, float x, float y, const char* text, uint32_t colour,
                          const ImageBuffer* font, int align) {
  return gfx_draw_text_ex(target, x, y, text, colour, font, align, 1, nullptr);
}

int gfx_draw_text_utf8(ImageBuffer* target, float x, float y, const char* text, uint32_t colour,
                       const ImageBuffer* font, int align) {
  return gfx_draw_text_ex(target, x, y, text, colour, font, align | ZQ_TEXT_UTF8, 1, nullptr);
}
