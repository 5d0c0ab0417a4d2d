// gfx_save_bitmap: writes an image or a screen page as a bottom-up BMP file
// with the 40-byte information header: 8 bits with the screen's palette from
// 1-byte pixels, 24 bits from RGB 5-6-5, 32 bits (alpha kept) from
// 0xAARRGGBB. The file is written under a temporary name in the same folder
// and renamed when complete, so a failed save never leaves a half file; a
// name that is a device (not a regular file) is written directly.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gfx/draw/context.h"
#include "gfx/formats/loader_internal.h"
#include "gfx/image/image.h"
#include "runtime/rt_core.h"
#include "runtime/rt_string.h"

namespace {

constexpr int kFileHeader = 14;
constexpr int kInfoHeader = 40;
constexpr int kPaletteEntries = 256;
constexpr uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch

struct Source {
  const uint8_t* pixels;
  size_t pitch;
  int bytes_per_pixel;
  int width, height;
};

void put16(uint8_t* p, uint32_t v) { p[0] = uint8_t(v), p[1] = uint8_t(v >> 8); }
void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

bool image_source(const ImageBuffer* image, Source* s) {
  ImageInfo info = gfx_image_info(image);
  int bpp = info.bytes_per_pixel;
  if ((bpp != 1 && bpp != 2 && bpp != 4) || info.width <= 0 || info.height <= 0) return false;
  if (int64_t(info.pitch) < int64_t(info.width) * bpp) return false;
  int header = info.long_style ? kImageLongHeader : kImageShortHeader;
  size_t room = gfx_image_room(image);
  if (room && uint64_t(header) + uint64_t(info.height) * uint64_t(info.pitch) > room) return false;
  *s = {info.pixels, size_t(info.pitch), bpp, info.width, info.height};
  return true;
}

// One file row from one source row: indices as they are, 5-6-5 widened to
// B, G, R with each channel scaled exactly, 0xAARRGGBB as B, G, R, A bytes.
void encode_row(const Source& s, const uint8_t* src, uint8_t* out) {
  if (s.bytes_per_pixel == 1) {
    std::memcpy(out, src, size_t(s.width));
  } else if (s.bytes_per_pixel == 2) {
    for (int x = 0; x < s.width; ++x, out += 3) {
      unsigned v = unsigned(src[2 * x]) | unsigned(src[2 * x + 1]) << 8;
      out[0] = uint8_t(((v & 31) * 255 + 15) / 31);
      out[1] = uint8_t(((v >> 5 & 63) * 255 + 31) / 63);
      out[2] = uint8_t(((v >> 11) * 255 + 15) / 31);
    }
  } else {
    std::memcpy(out, src, size_t(s.width) * 4);
  }
}

// Where the bytes go: a temporary file renamed over the name at the end, or
// the named device itself.
struct Output {
  std::FILE* file = nullptr;
  std::string temp;  // empty when writing a device directly
};

int open_output(const char* path, Output* out) {
  struct stat st;
  if (stat(path, &st) == 0 && !S_ISREG(st.st_mode)) {
    if (S_ISDIR(st.st_mode)) return ZQ_ERR_FILE_NOT_FOUND;
    out->file = std::fopen(path, "wb");
    return out->file ? ZQ_OK : ZQ_ERR_FILE_NOT_FOUND;
  }
  static std::atomic<unsigned> serial{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    out->temp = std::string(path) + "." + std::to_string(getpid()) + "-" + std::to_string(serial++) + ".tmp";
    int fd = open(out->temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) break;
    out->file = fdopen(fd, "wb");
    if (out->file) return ZQ_OK;
    close(fd);
    unlink(out->temp.c_str());
    break;
  }
  out->temp.clear();
  return ZQ_ERR_FILE_NOT_FOUND;
}

// Finishes the file: everything on disk, then under its name. Returns the
// result; on failure the temporary file is gone.
int close_output(Output* out, const char* path, bool written) {
  bool ok = written && std::fflush(out->file) == 0;
  if (ok && !out->temp.empty()) ok = fsync(fileno(out->file)) == 0;
  ok = std::fclose(out->file) == 0 && ok;
  if (out->temp.empty()) return ok ? ZQ_OK : ZQ_ERR_FILE_IO;
  if (ok && std::rename(out->temp.c_str(), path) == 0) return ZQ_OK;
  unlink(out->temp.c_str());
  return ok ? ZQ_ERR_FILE_NOT_FOUND : ZQ_ERR_FILE_IO;
}

bool write_file(std::FILE* file, const Source& s, const uint32_t* palette) {
  const int bits = s.bytes_per_pixel == 1 ? 8 : s.bytes_per_pixel == 2 ? 24 : 32;
  const size_t stride = (size_t(s.width) * size_t(bits / 8) + 3) & ~size_t(3);
  const uint32_t palette_bytes = bits == 8 ? kPaletteEntries * 4 : 0;
  const uint32_t offset = kFileHeader + kInfoHeader + palette_bytes;
  const uint64_t data = uint64_t(stride) * uint64_t(s.height);

  uint8_t head[kFileHeader + kInfoHeader] = {'B', 'M'};
  put32(head + 2, uint32_t(offset + data));
  put32(head + 10, offset);
  put32(head + 14, kInfoHeader);
  put32(head + 18, uint32_t(s.width));
  put32(head + 22, uint32_t(s.height));  // positive: bottom-up rows
  put16(head + 26, 1);
  put16(head + 28, uint32_t(bits));
  put32(head + 34, uint32_t(data));
  put32(head + 38, kPixelsPerMetre);
  put32(head + 42, kPixelsPerMetre);
  put32(head + 46, bits == 8 ? kPaletteEntries : 0);
  if (std::fwrite(head, 1, sizeof head, file) != sizeof head) return false;
  if (bits == 8) {
    uint8_t entries[kPaletteEntries * 4];
    for (int i = 0; i < kPaletteEntries; ++i) {
      uint32_t c = palette[i];  // red in bits 0..7
      uint8_t* e = entries + 4 * i;
      e[0] = uint8_t(c >> 16), e[1] = uint8_t(c >> 8), e[2] = uint8_t(c), e[3] = 0;
    }
    if (std::fwrite(entries, 1, sizeof entries, file) != sizeof entries) return false;
  }
  auto* row = static_cast<uint8_t*>(std::calloc(stride, 1));
  if (!row) return false;
  bool ok = true;
  for (int y = s.height - 1; y >= 0 && ok; --y) {
    encode_row(s, s.pixels + size_t(y) * s.pitch, row);
    ok = std::fwrite(row, 1, stride, file) == stride;
  }
  std::free(row);
  return ok;
}

int save(const char* path, const ImageBuffer* source, int page) {
  ScreenState* screen = screen_state;
  Source s;
  if (source) {
    if (!image_source(source, &s)) return ZQ_ERR_ILLEGAL_CALL;
  } else {
    if (!screen) return ZQ_ERR_ILLEGAL_CALL;
    if (page < 0) page = gfx_get_context()->work_page;
    if (page >= screen->page_count) return ZQ_ERR_ILLEGAL_CALL;
    s = {screen->page_buffers[page], size_t(screen->pitch), screen->bytes_per_pixel, screen->width, screen->height};
  }
  // Palette pixels are coloured by the screen's palette.
  if (s.bytes_per_pixel == 1 && !screen) return ZQ_ERR_ILLEGAL_CALL;
  const uint64_t row = uint64_t(s.width) * uint64_t(s.bytes_per_pixel == 2 ? 3 : s.bytes_per_pixel);
  if (((row + 3) & ~uint64_t(3)) * uint64_t(s.height) + kFileHeader + kInfoHeader + 4 * kPaletteEntries > UINT32_MAX)
    return ZQ_ERR_ILLEGAL_CALL;  // beyond what the file's 32-bit sizes can say

  Output out;
  if (int r = open_output(path, &out)) return r;
  bool written;
  if (screen) {
    GfxScreenLock lock;  // page memory and palette are shared with the driver
    written = write_file(out.file, s, screen->device_palette);
  } else {
    written = write_file(out.file, s, nullptr);
  }
  return close_output(&out, path, written);
}

}  // namespace

int gfx_save_bitmap(StringValue* name, const ImageBuffer* source, int page) {
  if (!name) return rt_set_error(ZQ_ERR_ILLEGAL_CALL);
  char path[kBitmapNameBuffer];
  bool named = bitmap_file_name(rt_str_chars(name), rt_str_len(name), path);
  rt_str_release(name);
  return rt_set_error(named ? save(path, source, page) : ZQ_ERR_FILE_NOT_FOUND);
}
