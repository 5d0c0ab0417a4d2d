// PNG files through libpng. libpng reports errors by a jump back to the
// decoder's start: the frames it jumps over (the read callback, libpng's
// own) hold nothing that needs destroying, and what the decoder allocates is
// kept in its state record, so everything is released on either road.
// Files that are not interlaced are decoded a row at a time, each row that
// reaches the target converted as it comes; interlaced ones are decoded
// whole into a buffer first. Either way the whole file is read to its end
// chunk, so damage anywhere in it is found. Sizes that could not be decoded
// in reasonable memory, or that the data is far too short to hold, are
// refused before anything is allocated.
#include "gfx/formats/png.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>

#include "gfx/draw/context.h"
#include "gfx/formats/convert.h"
#include "gfx/formats/loader_internal.h"
#include "gfx/image/image.h"
#include "runtime/rt_core.h"

namespace {

constexpr uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kSignatureTest = 4;  // bytes a file must share with the signature to be taken as PNG

// The largest decoded picture: 256 MiB (64 M pixels of 4 bytes).
constexpr uint64_t kMaxDecodedBytes = uint64_t(1) << 28;
// Deflate cannot expand its data more than about 1032 times; a file whose
// pixels need more bytes than that from its whole length is cut short.
constexpr uint64_t kDeflateMaxRatio = 1032;
constexpr uint64_t kDeflateSlack = 1024;

constexpr uint32_t kClear32 = 0x00FF00FFu;  // 32-bit pixels of alpha 0
constexpr uint16_t kClear16 = 0xF81Fu;      // 16-bit pixels of alpha 0
constexpr int kMaxPalette = 256;

// What one decoding holds, reachable from libpng's callbacks.
struct PngState {
  ByteSource* source;
  png_structp png;
  png_infop info;
  uint8_t* pixels;        // the decoded rows, or one row
  png_bytep* row_list;    // interlaced files: where each row goes
  char message[160];      // libpng's complaint
};

void read_bytes(png_structp png, png_bytep out, size_t count) {
  auto* state = static_cast<PngState*>(png_get_io_ptr(png));
  if (state->source->read(out, count) != count) png_error(png, "file ends early");
}

void on_error(png_structp png, png_const_charp message) {
  auto* state = static_cast<PngState*>(png_get_error_ptr(png));
  std::snprintf(state->message, sizeof state->message, "%s", message);
  png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}  // damaged extra chunks are passed over

void release(PngState* state) {
  std::free(state->pixels);
  std::free(state->row_list);
  png_destroy_read_struct(&state->png, &state->info, nullptr);
}

// Starts libpng on the source; false (with the reason recorded) when it cannot.
bool begin(PngState* state, ByteSource& source) {
  *state = {&source, nullptr, nullptr, nullptr, nullptr, {}};
  state->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, state, on_error, on_warning);
  if (state->png) state->info = png_create_info_struct(state->png);
  if (!state->info) {
    release(state);
    source.fail(ZQ_ERR_FILE_IO, "out of memory for the PNG decoder");
    return false;
  }
  png_set_read_fn(state->png, state, read_bytes);
  return true;
}

int bad_data(PngState* state) {
  release(state);
  return state->source->fail(ZQ_ERR_FILE_IO, "bad PNG data: %s", state->message);
}

// The fewest bits a pixel of the file can take: its bit depth times its samples.
int bits_per_pixel(png_structp png, png_infop info) {
  return png_get_bit_depth(png, info) * png_get_channels(png, info);
}

// Refuses sizes too large to decode, or that the data cannot hold.
int check_size(PngState* state) {
  png_structp png = state->png;
  const uint64_t w = png_get_image_width(png, state->info), h = png_get_image_height(png, state->info);
  ByteSource& source = *state->source;
  if (w * h * 4 > kMaxDecodedBytes)
    return source.fail(ZQ_ERR_FILE_IO, "image size %llu x %llu too large (at most %llu MiB decoded)",
                       (unsigned long long)w, (unsigned long long)h, (unsigned long long)(kMaxDecodedBytes >> 20));
  const int64_t length = source.length();
  const uint64_t least = h * (1 + (w * uint64_t(bits_per_pixel(png, state->info)) + 7) / 8);
  if (length >= 0 && least > uint64_t(length) * kDeflateMaxRatio + kDeflateSlack)
    return source.fail(ZQ_ERR_FILE_IO, "image size %llu x %llu needs more data than the %lld bytes of the file hold",
                       (unsigned long long)w, (unsigned long long)h, (long long)length);
  return ZQ_OK;
}

// B, G, R, A rows into target rows, alpha 0 becoming the clear colour.
void keyed_to_32(const uint8_t* src, uint8_t* dst, int count) {
  for (int i = 0; i < count; ++i) {
    uint32_t v;
    std::memcpy(&v, src + 4 * i, 4);
    if ((v >> 24) == 0) v = kClear32;
    std::memcpy(dst + 4 * i, &v, 4);
  }
}

void keyed_to_16(const uint8_t* src, uint8_t* dst, int count) {
  convert_bgra32_to_16(src, dst, count);
  for (int i = 0; i < count; ++i)
    if (src[4 * i + 3] == 0) std::memcpy(dst + 2 * i, &kClear16, 2);
}

// The reading itself, in frames libpng may jump back to: each returns
// ZQ_ERR_FILE_IO with state->message set when libpng gives up, and holds
// nothing that would need destroying on the way.
int read_header(PngState* state) {
  if (setjmp(png_jmpbuf(state->png))) return ZQ_ERR_FILE_IO;
  png_read_info(state->png, state->info);
  return ZQ_OK;
}

// Decodes into the target as far as it reaches: palette indices as they are
// (indices), or B, G, R, A pixels turned into the target's format. A failure
// is recorded with its reason: damaged data, or no memory for the rows.
int read_pixels(PngState* state, const LoadTarget* t, bool indices) {
  png_structp png = state->png;
  png_infop info = state->info;
  if (setjmp(png_jmpbuf(png))) return state->source->fail(ZQ_ERR_FILE_IO, "bad PNG data: %s", state->message);
  if (indices) {
    png_set_packing(png);  // 1, 2 and 4 bits to one byte each
  } else {
    png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, the transparency chunk to alpha
    png_set_scale_16(png);  // round(v x 255 / 65535)
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);  // opaque where the file has no alpha
  }
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const size_t row_bytes = png_get_rowbytes(png, info);
  const size_t rows = png_get_image_height(png, info);
  const RowConvertFn convert = indices ? convert_index_to_8 : t->bytes_per_pixel == 4 ? keyed_to_32 : keyed_to_16;
  if (passes == 1) {
    // One row at a time; rows below the target are decoded too, so that
    // damage anywhere in the file is found.
    state->pixels = static_cast<uint8_t*>(std::malloc(row_bytes));
    if (!state->pixels)
      return state->source->fail(ZQ_ERR_FILE_IO, "out of memory for a decoded row of %zu bytes", row_bytes);
    for (size_t y = 0; y < rows; ++y) {
      png_read_row(png, state->pixels, nullptr);
      if (y < size_t(t->height)) convert(state->pixels, t->pixels + y * t->pitch, t->width);
    }
    png_read_end(png, nullptr);
    return ZQ_OK;
  }
  // Interlaced: every pass covers the whole picture.
  state->pixels = static_cast<uint8_t*>(std::malloc(row_bytes * rows));
  state->row_list = static_cast<png_bytep*>(std::malloc(rows * sizeof(png_bytep)));
  if (!state->pixels || !state->row_list)
    return state->source->fail(ZQ_ERR_FILE_IO, "out of memory for a decoded picture of %zu rows of %zu bytes", rows,
                               row_bytes);
  for (size_t y = 0; y < rows; ++y) state->row_list[y] = state->pixels + y * row_bytes;
  png_read_image(png, state->row_list);
  png_read_end(png, nullptr);
  for (int y = 0; y < t->height; ++y) convert(state->row_list[y], t->pixels + size_t(y) * t->pitch, t->width);
  return ZQ_OK;
}

// Opens the file and reads its headers; false with the reason recorded.
bool open_png(PngState* state, ByteSource& source) {
  if (!begin(state, source)) return false;
  if (read_header(state) != ZQ_OK) {
    bad_data(state);
    return false;
  }
  if (check_size(state) != ZQ_OK) {
    release(state);
    return false;
  }
  return true;
}

// The file's palette, red in bits 0..7; its entry count.
int file_palette(const PngState* state, uint32_t* entries) {
  png_colorp colours = nullptr;
  int count = 0;
  if (!png_get_PLTE(state->png, state->info, &colours, &count)) return 0;
  count = std::min(count, kMaxPalette);
  for (int i = 0; i < count; ++i)
    entries[i] = uint32_t(colours[i].red) | uint32_t(colours[i].green) << 8 | uint32_t(colours[i].blue) << 16;
  return count;
}

}  // namespace

bool png_file_accepts(const uint8_t* start, size_t count) {
  return count >= kSignatureTest && std::memcmp(start, kSignature, kSignatureTest) == 0;
}

int png_file_size(ByteSource& source, int* width, int* height) {
  PngState state;
  if (!open_png(&state, source)) return rt_get_error();
  *width = int(png_get_image_width(state.png, state.info));
  *height = int(png_get_image_height(state.png, state.info));
  release(&state);
  return ZQ_OK;
}

int png_file_load(ByteSource& source, ImageBuffer* dest, uint32_t* palette_dest) {
  ScreenState* s = screen_state;
  if (!s) return source.fail(ZQ_ERR_ILLEGAL_CALL, "no screen open (PNG pixels take the screen's format)");
  PngState state;
  if (!open_png(&state, source)) return rt_get_error();
  const int width = int(png_get_image_width(state.png, state.info));
  const int height = int(png_get_image_height(state.png, state.info));
  const bool palette_file = png_get_color_type(state.png, state.info) == PNG_COLOR_TYPE_PALETTE;
  GfxContext* ctx = gfx_get_context();
  LoadTarget t;
  int result = ZQ_OK;
  if (!load_target(source, dest, width, height, &t)) {
    result = ZQ_ERR_ILLEGAL_CALL;
  } else {
    gfx_set_target(ctx, dest);
    if (t.bytes_per_pixel == 1 && !palette_file)
      result = source.fail(ZQ_ERR_ILLEGAL_CALL,
                           "a grey or true-colour PNG cannot load into an image of 1 byte per pixel (a palette PNG can)");
  }
  if (result != ZQ_OK) {
    release(&state);
    return result;
  }
  {
    GfxScreenLock lock;
    const bool indices = t.bytes_per_pixel == 1;
    if (indices) {
      uint32_t entries[kMaxPalette];
      load_palette(entries, file_palette(&state, entries), palette_dest);
    }
    result = read_pixels(&state, &t, indices);
    if (!dest) gfx_mark_dirty(ctx, 0, s->height);
  }
  release(&state);
  return result;
}
