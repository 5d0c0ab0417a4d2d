// TrueType (and other FreeType-readable) fonts rendered into font images:
// the 256 characters of code page 437 at one pixel height, each glyph as
// wide as its advance (or its ink, where that reaches further). On 4-byte
// targets every pixel keeps the glyph's coverage in its alpha byte and the
// font is drawn blended in the text's colour; on 1- and 2-byte targets the
// coverage is cut at a half into glyph pixels and the mask colour.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "drivers/screen_state.h"
#include "gfx/image/image.h"
#include "gfx/text/font_glyphs.h"
#include "platform/cp437.h"
#include "platform/pixel_depth.h"
#include "runtime/rt_core.h"
#include "zentravolk/text.h"

namespace {

constexpr int kMaxGlyphWidth = 255;   // a width is one byte of the header
constexpr uint8_t kHalfCoverage = 128;
// Coverage 0 on 4-byte targets: the mask colour with no alpha, so that the
// plain putters leave it out too.
constexpr uint32_t kNoCoverage = 0x00FF00FFu;
constexpr uint32_t kGlyphRgb = 0x00FFFFFFu;

struct RenderedGlyph {
  int width = 0;
  std::vector<uint8_t> coverage;  // width x glyph height
};

// Closes what FreeType opened, however the loading ends.
struct FreeType {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~FreeType() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

// The line's height above and below the baseline, in whole pixels; a font's
// own metrics are trusted only within a few times the pixel height.
void line_metrics(const FT_Size_Metrics& m, int pixel_height, int* ascent, int* height) {
  long up = (m.ascender + 63) >> 6, down = (-m.descender + 63) >> 6;
  up = std::clamp<long>(up, 0, 2L * pixel_height);
  down = std::clamp<long>(down, 0, pixel_height);
  if (up + down <= 0) up = pixel_height;
  *ascent = int(up);
  *height = int(up + down);
}

// Renders one character into a glyph cell of the line's height: the bitmap
// placed at its bearing from the pen and the baseline, cut to the cell.
RenderedGlyph render(FT_Face face, uint32_t character, int ascent, int height) {
  RenderedGlyph g;
  if (character == 0) return g;
  if (FT_Load_Char(face, character, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return g;
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& b = slot->bitmap;
  const bool mono = b.pixel_mode == FT_PIXEL_MODE_MONO;
  const bool usable = mono || b.pixel_mode == FT_PIXEL_MODE_GRAY;
  const long left = std::clamp<long>(slot->bitmap_left, 0, kMaxGlyphWidth);
  const long advance = std::clamp<long>((slot->advance.x + 32) >> 6, 0, kMaxGlyphWidth);
  const long ink = usable ? left + long(b.width) : 0;
  g.width = int(std::min<long>(std::max(advance, ink), kMaxGlyphWidth));
  g.coverage.assign(size_t(g.width) * size_t(height), 0);
  if (!usable || !b.buffer) return g;
  const long top = long(ascent) - slot->bitmap_top;
  for (long r = 0; r < long(b.rows); ++r) {
    const long y = top + r;
    if (y < 0 || y >= height) continue;
    const unsigned char* row = b.buffer + r * b.pitch;
    for (long c = 0; c < long(b.width) && left + c < g.width; ++c) {
      uint8_t v = mono ? ((row[c >> 3] >> (7 - (c & 7))) & 1 ? 0xFF : 0) : row[c];
      g.coverage[size_t(y) * size_t(g.width) + size_t(left + c)] = v;
    }
  }
  return g;
}

ImageBuffer* fail(int error, const char* reason, const char* file, int code = 0) {
  if (code)
    rt_fail(error, "%s: %s (FreeType error %d)", file, reason, code);
  else
    rt_fail(error, "%s: %s", file, reason);
  return nullptr;
}

// The font image: header row (widths and the kind tag), then the glyphs
// side by side.
ImageBuffer* build(const std::vector<RenderedGlyph>& glyphs, int height, int bytes) {
  long long total = 0;
  for (const RenderedGlyph& g : glyphs) total += g.width;
  const long long header = 3 + kFontCodes + kFontKindTagBytes;
  const long long width = std::max<long long>({total, (header + bytes - 1) / bytes, 1});
  if (width > kImageShortMaxWidth) return nullptr;
  ImageBuffer* font = gfx_image_create(int(width), height + 1, 0, bytes * 8, ZQ_IMAGE_MASK_FILL);
  if (!font) return nullptr;
  ImageInfo out = gfx_image_info(font);
  out.pixels[0] = 0;
  out.pixels[1] = 0;
  out.pixels[2] = kFontCodes - 1;
  for (int k = 0; k < kFontCodes; ++k) out.pixels[3 + k] = uint8_t(glyphs[size_t(k)].width);
  gfx_font_mark_kind(out.pixels, out.pitch, {0, kFontCodes}, bytes == 4 ? FontKind::coverage : FontKind::stencil);
  const uint32_t ink = gfx_fix_colour(bytes, kGlyphRgb), none = bytes == 4 ? kNoCoverage : gfx_mask_colour(bytes);
  int x = 0;
  for (const RenderedGlyph& g : glyphs) {
    for (int r = 0; r < height; ++r)
      for (int c = 0; c < g.width; ++c) {
        uint8_t a = g.coverage[size_t(r) * size_t(g.width) + size_t(c)];
        uint32_t v = bytes == 4 ? (a ? uint32_t(a) << 24 | kGlyphRgb : none) : (a >= kHalfCoverage ? ink : none);
        std::memcpy(out.pixels + ptrdiff_t(r + 1) * out.pitch + ptrdiff_t(x + c) * bytes, &v, size_t(bytes));
      }
    x += g.width;
  }
  return font;
}

}  // namespace

ImageBuffer* gfx_font_load_ttf(const char* file, int pixel_height, int flags) {
  rt_set_error(ZQ_OK);
  if (!screen_state) return fail(ZQ_ERR_ILLEGAL_CALL, "no screen is open", file ? file : "(no file)");
  if (!file) return fail(ZQ_ERR_ILLEGAL_CALL, "no file name given", "(no file)");
  if (pixel_height < 1 || pixel_height > ZQ_FONT_MAX_PIXEL_HEIGHT) {
    rt_fail(ZQ_ERR_ILLEGAL_CALL, "pixel height %d: it must be 1 to %d", pixel_height, ZQ_FONT_MAX_PIXEL_HEIGHT);
    return nullptr;
  }
  const int depth = ZQ_FONT_DEPTH(flags);
  const int bytes = depth ? depth_bytes_per_pixel(depth) : screen_state->bytes_per_pixel;
  if (bytes != 1 && bytes != 2 && bytes != 4) {
    rt_fail(ZQ_ERR_ILLEGAL_CALL, "depth %d bits: fonts are made for 8, 16 or 32 bits per pixel", depth);
    return nullptr;
  }
  if (FILE* f = std::fopen(file, "rb")) {
    std::fclose(f);
  } else {
    return fail(ZQ_ERR_FILE_NOT_FOUND, std::strerror(errno), file);
  }
  FreeType ft;
  if (int e = FT_Init_FreeType(&ft.library)) return fail(ZQ_ERR_FILE_IO, "FreeType could not start", file, e);
  if (int e = FT_New_Face(ft.library, file, 0, &ft.face))
    return fail(ZQ_ERR_FILE_IO, "FreeType cannot read it as a font", file, e);
  if (int e = FT_Set_Pixel_Sizes(ft.face, 0, FT_UInt(pixel_height)))
    return fail(ZQ_ERR_FILE_IO, "the font has no glyphs of that pixel height", file, e);
  int ascent, height;
  line_metrics(ft.face->size->metrics, pixel_height, &ascent, &height);
  std::vector<RenderedGlyph> glyphs;
  for (int code = 0; code < kFontCodes; ++code) glyphs.push_back(render(ft.face, cp437_to_unicode(code), ascent, height));
  ImageBuffer* font = build(glyphs, height, bytes);
  if (!font)
    rt_fail(ZQ_ERR_OUT_OF_MEMORY, "%s: the glyphs at %d pixels do not fit in one image of at most %d pixels wide",
            file, pixel_height, kImageShortMaxWidth);
  return font;
}
