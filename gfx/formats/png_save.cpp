// PNG files as written: 8 bits per channel, a 256-entry palette for indexed
// pixels, RGB or RGBA otherwise, at libpng's default compression. libpng
// reports a failed write by a jump back to png_write's start, whose frame
// holds nothing that needs destroying; the row buffer is in the state record.
#include <png.h>

#include <csetjmp>
#include <cstdlib>

#include "gfx/formats/save_internal.h"

namespace {

constexpr int kPaletteEntries = 256;

struct PngWriteState {
  png_structp png;
  png_infop info;
  uint8_t* row;
};

void on_error(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void on_warning(png_structp, png_const_charp) {}

bool write_rows(PngWriteState* state, std::FILE* file, const SaveSource* s, const SavePlan* plan) {
  png_structp png = state->png;
  png_infop info = state->info;
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  const int type = plan->layout == SaveLayout::kIndexed ? PNG_COLOR_TYPE_PALETTE
                   : plan->layout == SaveLayout::kBgr   ? PNG_COLOR_TYPE_RGB
                                                        : PNG_COLOR_TYPE_RGB_ALPHA;
  png_set_IHDR(png, info, png_uint_32(s->width), png_uint_32(s->height), 8, type, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (type == PNG_COLOR_TYPE_PALETTE) {
    png_color colours[kPaletteEntries];
    for (int i = 0; i < kPaletteEntries; ++i) {
      const uint32_t c = s->palette[i];  // red in bits 0..7
      colours[i] = {png_byte(c), png_byte(c >> 8), png_byte(c >> 16)};
    }
    png_set_PLTE(png, info, colours, kPaletteEntries);
  }
  png_write_info(png, info);
  if (type != PNG_COLOR_TYPE_PALETTE) png_set_bgr(png);  // rows are encoded B, G, R (, A)
  state->row = static_cast<uint8_t*>(std::malloc(size_t(s->width) * 4));
  if (!state->row) return false;
  for (int y = 0; y < s->height; ++y) {
    save_encode_row(*s, *plan, s->pixels + size_t(y) * s->pitch, state->row);
    png_write_row(png, state->row);
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

bool png_write(std::FILE* file, const SaveSource& s, const SavePlan& plan) {
  PngWriteState state{png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, on_warning), nullptr,
                      nullptr};
  if (state.png) state.info = png_create_info_struct(state.png);
  const bool ok = state.info && write_rows(&state, file, &s, &plan);
  png_destroy_write_struct(&state.png, &state.info);
  std::free(state.row);
  return ok;
}
