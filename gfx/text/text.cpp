// gfx_draw_string: font-image text through a putter, built-in font text a
// glyph row at a time (pixel by pixel where the colour blends). Clipping
// drops whole rows and whole characters before any pixel work; the screen
// lock is held from the first look at the font to the marking of dirty rows.
#include "gfx/text/text.h"

#include "gfx/text/font_glyphs.h"

#include <algorithm>
#include <cstddef>

#include "gfx/blit/put.h"
#include "gfx/draw/context.h"
#include "gfx/image/image.h"
#include "gfx/image/palette.h"
#include "runtime/rt_core.h"
#include "runtime/rt_string.h"

namespace {

struct Line {
  GfxContext* ctx;
  ViewClip view;
  long long x, y;  // target pixel of the line's top-left corner
  const uint8_t* chars;
  int length;
};

// What a drawing loop covered, for the dirty rows.
struct Drawn {
  bool ran = false;
  long long first_row = 0, rows = 0;
};

struct FontCall {
  const ImageBuffer* image;
  uint32_t alpha;
  Putter putter;
  PutterBlender blender;
  void* parameter;
};

int draw_with_font_image(const Line& line, const FontCall& font, Drawn* drawn) {
  GfxContext* ctx = line.ctx;
  const ViewClip& v = line.view;
  ImageInfo header = gfx_image_info(font.image);
  long long glyph_height = (long long)header.height - 1;
  long long y = line.y;
  // A line above or below the view draws nothing, whatever its font.
  if (y + glyph_height <= v.top || y >= v.bottom) return 0;

  SourceImage f;
  if (!font.putter) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no putter");
  if (!gfx_source_image(font.image, ctx->bytes_per_pixel, &f)) return gfx_fail_bad_source();
  if (f.bytes_per_pixel != ctx->bytes_per_pixel)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "font image of %d bytes per pixel onto a target of %d", f.bytes_per_pixel,
                   ctx->bytes_per_pixel);
  FontRange range;
  if (glyph_height <= 0 || !gfx_font_range(f, &range))
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "font image without a font header row");

  long long skipped = y < v.top ? v.top - y : 0;
  long long rows = glyph_height - skipped;
  y += skipped;
  if (y + rows > v.bottom) rows = v.bottom - y;

  FontGlyph glyphs[kFontCodes];
  long long offset = gfx_font_glyph_table(f, range, skipped, glyphs);
  if (offset > f.width)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "font image's glyphs (%lld pixels) wider than the image (%d)", offset, f.width);

  const int bpp = ctx->bytes_per_pixel;
  uint8_t* target_row = ctx->line_table[y];
  long long pen = line.x;
  for (int i = 0; i < line.length; ++i) {
    if (pen >= v.right) break;
    const FontGlyph& g = glyphs[line.chars[i]];
    if (!g.pixels) {
      // No glyph: a gap as wide as the font is high.
      pen += glyph_height;
      continue;
    }
    if (pen + g.width < v.left) {
      pen += g.width;
      continue;
    }
    long long start = std::max(pen, v.left), end = std::min(pen + g.width, v.right);
    if (end > start)
      font.putter(g.pixels + ptrdiff_t(start - pen) * bpp, target_row + ptrdiff_t(start) * bpp, int(end - start),
                  int(rows), f.pitch, ctx->pitch, int(font.alpha), font.blender, font.parameter);
    pen += g.width;
  }
  *drawn = {true, y, rows};
  return 0;
}

// One built-in glyph, cut to the view's columns: a glyph row at a time with
// plain stores, else pixel by pixel.
void draw_cut_glyph(GfxContext* ctx, const ViewClip& v, const FontDescriptor* font, uint8_t ch, long long pen,
                    long long y, long long skipped, long long rows, uint32_t colour, bool by_rows) {
  const long long fw = font->width, row_bytes = (fw + 7) / 8;
  const uint8_t* glyph = font->glyphs + ptrdiff_t((ch * font->height + skipped) * row_bytes);
  const long long from = std::max(0LL, v.left - pen), to = std::min(fw, v.right - pen);
  const int bpp = ctx->bytes_per_pixel;
  for (long long r = 0; r < rows; ++r) {
    const uint8_t* bits = glyph + r * row_bytes;
    if (by_rows) {
      uint8_t* target_row = ctx->line_table[y + r];
      // Each glyph byte holds eight columns; the drawn part [lo, hi) of it
      // is shifted down so that bit 0 is the first drawn column.
      for (long long k = from >> 3; k < row_bytes && k * 8 < to; ++k) {
        long long lo = std::max(from, k * 8), hi = std::min(to, k * 8 + 8);
        uint32_t cut = (uint32_t(bits[k]) >> (lo - k * 8)) & ((1u << (hi - lo)) - 1);
        if (cut) gfx_routines.glyph_row(target_row + ptrdiff_t(pen + lo) * bpp, cut, colour);
      }
    } else {
      for (long long b = from; b < to; ++b)
        if ((bits[b >> 3] >> (b & 7)) & 1) ctx->put_pixel(ctx, int(pen + b), int(y + r), colour);
    }
  }
}

int draw_with_builtin_font(const Line& line, uint32_t colour, Drawn* drawn) {
  GfxContext* ctx = line.ctx;
  const ViewClip& v = line.view;
  const FontDescriptor* font = screen_state->font;
  if (!font || !font->glyphs || font->width <= 0 || font->height <= 0)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "the screen has no built-in font");
  const long long fw = font->width, fh = font->height;
  const long long n = line.length;
  long long x = line.x, y = line.y;
  if (x + n * fw <= v.left || x >= v.right || y + fh <= v.top || y >= v.bottom) return 0;

  long long skipped = y < v.top ? v.top - y : 0;
  long long rows = fh - skipped;
  y += skipped;
  if (y + rows > v.bottom) rows = v.bottom - y;

  // Whole characters left and right of the view are never looked at.
  long long first = x < v.left ? (v.left - x) / fw : 0;
  long long end = std::min(n, (v.right - x + fw - 1) / fw);
  // Characters [first_whole, last_whole) lie wholly inside the view's
  // columns; at most one either side of them is cut.
  long long first_whole = std::max(first, (v.left - x + fw - 1) / fw);
  long long last_whole = std::max(first_whole, std::min(end, (v.right - x) / fw));

  // Plain stores go a glyph row at a time, and the whole 8-pixel glyphs of
  // the line through one call; a blending colour (alpha targets) goes pixel
  // by pixel.
  const bool by_rows = ctx->put_pixel == gfx_routines.put;
  long long whole_from = first_whole, whole_to = first_whole;
  if (by_rows && fw == 8) {
    whole_to = last_whole;
    if (whole_to > whole_from)
      gfx_routines.glyph_line(ctx->line_table + y, size_t(x + whole_from * fw) * size_t(ctx->bytes_per_pixel),
                              font->glyphs + skipped, ptrdiff_t(fh), line.chars + whole_from,
                              int(whole_to - whole_from), int(rows), colour);
  }
  for (long long i = first; i < end; ++i)
    if (i < whole_from || i >= whole_to)
      draw_cut_glyph(ctx, v, font, line.chars[i], x + i * fw, y, skipped, rows, colour, by_rows);
  *drawn = {true, y, rows};
  return 0;
}

}  // namespace

int gfx_draw_string(ImageBuffer* target, float x, float y, int flags, StringValue* text, uint32_t colour,
                    const ImageBuffer* font, int mode, Putter putter, PutterBlender blender, void* parameter) {
  // Each failure stores its number and reason where it is found.
  rt_set_error(ZQ_OK);
  int result = 0;
  if (!text) {
    result = rt_fail(ZQ_ERR_ILLEGAL_CALL, "no text");
  } else if (screen_state && text->data) {
    GfxContext* ctx = gfx_get_context();
    gfx_set_target(ctx, target);
    if (mode != ZQ_PUT_ALPHA_MODE)
      colour = (flags & ZQ_TEXT_USE_FOREGROUND) ? ctx->foreground : gfx_fix_colour(ctx->bytes_per_pixel, colour);
    gfx_select_colour_routines(ctx, colour);
    gfx_step_coords(ctx, flags, &x, &y, nullptr, nullptr);
    int px, py;
    gfx_to_view(ctx, x, y, &px, &py);
    if (!gfx_target_fits(ctx)) {
      result = gfx_fail_bad_target();
    } else {
      Line line{ctx, gfx_view_clip(ctx), px, py, reinterpret_cast<const uint8_t*>(text->data), rt_str_len(text)};
      GfxScreenLock lock;
      Drawn drawn;
      result = font ? draw_with_font_image(line, {font, colour, putter, blender, parameter}, &drawn)
                    : draw_with_builtin_font(line, colour, &drawn);
      if (drawn.ran) gfx_mark_dirty(ctx, int(drawn.first_row), int(drawn.rows));
    }
  }
  rt_str_release(text);
  return result;
}
