// Font images cut from a picture of glyphs: found between separator lines of
// the picture's top-left colour, or in cells of one size. The glyphs are
// laid side by side under a header row in the order found (left to right,
// then row by row), and their background colour becomes the mask colour.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "drivers/screen_state.h"
#include "gfx/blit/put.h"
#include "gfx/image/image.h"
#include "gfx/text/font_glyphs.h"
#include "runtime/rt_core.h"
#include "zentravolk/text.h"

namespace {

struct Cell {
  int x, y, width, height;
};

struct Picture {
  SourceImage s;
  uint32_t at(int x, int y) const {
    uint32_t v = 0;
    std::memcpy(&v, s.pixels + ptrdiff_t(y) * s.pitch + ptrdiff_t(x) * s.bytes_per_pixel, size_t(s.bytes_per_pixel));
    return v;
  }
  bool row_is(int y, uint32_t colour, int x0, int x1) const {
    for (int x = x0; x < x1; ++x)
      if (at(x, y) != colour) return false;
    return true;
  }
  bool column_is(int x, uint32_t colour, int y0, int y1) const {
    for (int y = y0; y < y1; ++y)
      if (at(x, y) != colour) return false;
    return true;
  }
};

// Cells between separator lines: bands of rows that are not wholly the
// separator colour, and in each band the runs of columns that are not. A
// cell must be a rectangle free of the separator colour, or the picture has
// no separator lines between its glyphs.
int separated_cells(const Picture& p, int wanted, std::vector<Cell>* cells) {
  const uint32_t separator = p.at(0, 0);
  const int w = p.s.width, h = p.s.height;
  if (!p.row_is(0, separator, 0, w) || !p.column_is(0, separator, 0, h))
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no separator lines: the picture's top row and left column are not all "
                                        "of its top-left colour");
  for (int y = 0; y < h && int(cells->size()) < wanted;) {
    if (p.row_is(y, separator, 0, w)) {
      ++y;
      continue;
    }
    int band_end = y;
    while (band_end < h && !p.row_is(band_end, separator, 0, w)) ++band_end;
    for (int x = 0; x < w && int(cells->size()) < wanted;) {
      if (p.column_is(x, separator, y, band_end)) {
        ++x;
        continue;
      }
      int run_end = x;
      while (run_end < w && !p.column_is(run_end, separator, y, band_end)) ++run_end;
      for (int cy = y; cy < band_end; ++cy)
        for (int cx = x; cx < run_end; ++cx)
          if (p.at(cx, cy) == separator)
            return rt_fail(ZQ_ERR_ILLEGAL_CALL, "the glyph at %d,%d is not a box of its own: the separator colour "
                                                "runs into it at %d,%d; no separator lines between the glyphs?",
                           x, y, cx, cy);
      cells->push_back({x, y, run_end - x, band_end - y});
      x = run_end;
    }
    y = band_end;
  }
  if (cells->empty()) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no glyphs: the picture is all of its top-left colour");
  return ZQ_OK;
}

// Cells of one size, left to right and row by row; a cell height of 0 is
// the picture's height.
int fixed_cells(const Picture& p, int cell_width, int cell_height, int wanted, std::vector<Cell>* cells) {
  if (cell_height == 0) cell_height = p.s.height;
  if (cell_width <= 0)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "fixed cells need a cell width (ZQ_FONT_CELLS(width, height))");
  for (int y = 0; y + cell_height <= p.s.height && int(cells->size()) < wanted; y += cell_height)
    for (int x = 0; x + cell_width <= p.s.width && int(cells->size()) < wanted; x += cell_width)
      cells->push_back({x, y, cell_width, cell_height});
  return ZQ_OK;
}

// The font image: header row, then each glyph copied with the background
// colour turned into the mask colour.
ImageBuffer* build_font(const Picture& p, int first, int last, const std::vector<Cell>& cells) {
  const int count = last - first + 1, bpp = p.s.bytes_per_pixel;
  int glyph_height = 0;
  long long total = 0;
  for (const Cell& c : cells) {
    glyph_height = std::max(glyph_height, c.height);
    total += c.width;
  }
  // The header row holds 3 + count bytes.
  const long long width = std::max<long long>(total, (3 + count + bpp - 1) / bpp);
  if (width > kImageShortMaxWidth) {
    rt_fail(ZQ_ERR_ILLEGAL_CALL, "the glyphs are %lld pixels wide together, more than an image can be", width);
    return nullptr;
  }
  ImageBuffer* font = gfx_image_create(int(width), glyph_height + 1, 0, bpp * 8, ZQ_IMAGE_MASK_FILL);
  if (!font) {
    rt_fail(ZQ_ERR_OUT_OF_MEMORY, "no memory for a font image of %lld x %d pixels", width, glyph_height + 1);
    return nullptr;
  }
  ImageInfo out = gfx_image_info(font);
  out.pixels[0] = 0;
  out.pixels[1] = uint8_t(first);
  out.pixels[2] = uint8_t(last);
  const uint32_t background = p.at(cells[0].x, cells[0].y), mask = gfx_mask_colour(bpp);
  int x = 0;
  for (int k = 0; k < count; ++k) {
    const Cell& c = cells[size_t(k)];
    out.pixels[3 + k] = uint8_t(c.width);
    for (int r = 0; r < c.height; ++r)
      for (int i = 0; i < c.width; ++i) {
        uint32_t v = p.at(c.x + i, c.y + r);
        if (v == background) v = mask;
        std::memcpy(out.pixels + ptrdiff_t(r + 1) * out.pitch + ptrdiff_t(x + i) * bpp, &v, size_t(bpp));
      }
    x += c.width;
  }
  return font;
}

}  // namespace

ImageBuffer* gfx_font_from_strip(const ImageBuffer* image, int first, int last, int flags) {
  rt_set_error(ZQ_OK);
  if (!screen_state) {
    rt_fail(ZQ_ERR_ILLEGAL_CALL, "no screen is open");
    return nullptr;
  }
  Picture p;
  if (!image || !gfx_source_image(image, screen_state->bytes_per_pixel, &p.s) || p.s.width <= 0 ||
      p.s.height <= 0) {
    rt_fail(ZQ_ERR_ILLEGAL_CALL, image ? "the picture's header does not describe an image" : "no picture given");
    return nullptr;
  }
  if (first < 0 || last > 255 || first > last) {
    rt_fail(ZQ_ERR_ILLEGAL_CALL, "the range %d..%d is not one of codes 0 to 255, first to last", first, last);
    return nullptr;
  }
  const int count = last - first + 1;
  std::vector<Cell> cells;
  int error = (flags & ZQ_FONT_FIXED_CELLS)
                  ? fixed_cells(p, flags & 0xFF, (flags >> 8) & 0xFF, count, &cells)
                  : separated_cells(p, count, &cells);
  if (error) return nullptr;
  if (int(cells.size()) < count) {
    rt_fail(ZQ_ERR_ILLEGAL_CALL, "the picture holds %d glyphs, the range %d..%d needs %d", int(cells.size()), first,
            last, count);
    return nullptr;
  }
  for (const Cell& c : cells)
    if (c.width > 255) {
      rt_fail(ZQ_ERR_ILLEGAL_CALL, "the glyph at %d,%d is %d pixels wide, more than 255", c.x, c.y, c.width);
      return nullptr;
    }
  return build_font(p, first, last, cells);
}
