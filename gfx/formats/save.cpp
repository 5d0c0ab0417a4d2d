// gfx_save_image and gfx_save_bitmap: write an image or a screen page as a
// PNG or BMP file, opaque unless asked otherwise (save_rows.cpp). The file
// is written under a temporary name in the same folder and renamed when
// complete, so a failed save never leaves a half file; a name that is a
// device (not a regular file) is written directly.
#include <fcntl.h>
#include <strings.h>
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
#include "gfx/formats/save_internal.h"
#include "gfx/image/image.h"
#include "runtime/rt_core.h"
#include "runtime/rt_string.h"

namespace {

// The largest file a BMP header's 32-bit sizes can describe, with headers and palette.
constexpr uint64_t kBmpMaxFile = UINT32_MAX;
constexpr uint64_t kBmpHeadersAndPalette = 14 + 40 + 4 * 256;

enum class FileKind { kBmp, kPng };
using Writer = bool (*)(std::FILE*, const SaveSource&, const SavePlan&);

struct SaveFormat {
  const char* extension;
  FileKind kind;
  Writer write;
};
constexpr SaveFormat kSaveFormats[] = {{".png", FileKind::kPng, png_write}, {".bmp", FileKind::kBmp, bmp_write}};

// The image's pixels, or false (with the reason recorded) for a header that
// could lead outside its block.
bool image_source(const char* path, const ImageBuffer* image, SaveSource* s) {
  ImageInfo info = gfx_image_info(image);
  int bpp = info.bytes_per_pixel;
  if (bpp != 1 && bpp != 2 && bpp != 4) {
    rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s: the image has %d bytes per pixel (1, 2 or 4 can be saved)", path, bpp);
    return false;
  }
  if (info.width <= 0 || info.height <= 0 || int64_t(info.pitch) < int64_t(info.width) * bpp) {
    rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s: the image header is impossible (%d x %d pixels, pitch %d)", path, info.width,
            info.height, info.pitch);
    return false;
  }
  int header = info.long_style ? kImageLongHeader : kImageShortHeader;
  size_t room = gfx_image_room(image);
  if (room && uint64_t(header) + uint64_t(info.height) * uint64_t(info.pitch) > room) {
    rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s: the image header claims %d rows, more than its block holds", path, info.height);
    return false;
  }
  *s = {info.pixels, size_t(info.pitch), bpp, info.width, info.height, nullptr};
  return true;
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
    if (S_ISDIR(st.st_mode)) return rt_fail(ZQ_ERR_FILE_NOT_FOUND, "%s: is a folder", path);
    out->file = std::fopen(path, "wb");
    if (out->file) return ZQ_OK;
    return rt_fail(ZQ_ERR_FILE_NOT_FOUND, "%s: cannot open (%s)", path, std::strerror(errno));
  }
  static std::atomic<unsigned> serial{0};
  int error = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    out->temp = std::string(path) + "." + std::to_string(getpid()) + "-" + std::to_string(serial++) + ".tmp";
    int fd = open(out->temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    error = errno;
    if (fd < 0 && error == EEXIST) continue;
    if (fd < 0) break;
    out->file = fdopen(fd, "wb");
    if (out->file) return ZQ_OK;
    error = errno;
    close(fd);
    unlink(out->temp.c_str());
    break;
  }
  out->temp.clear();
  return rt_fail(ZQ_ERR_FILE_NOT_FOUND, "%s: cannot create (%s)", path, std::strerror(error));
}

// Finishes the file: everything on disk, then under its name. Returns the
// result, a failure with its reason; on failure the temporary file is gone.
int close_output(Output* out, const char* path, bool written) {
  int error = written ? 0 : errno;
  bool ok = written && std::fflush(out->file) == 0;
  if (ok && !out->temp.empty()) ok = fsync(fileno(out->file)) == 0;
  if (!ok && !error) error = errno;
  if (std::fclose(out->file) != 0 && ok) ok = false, error = errno;
  if (ok && (out->temp.empty() || std::rename(out->temp.c_str(), path) == 0)) return ZQ_OK;
  const int renamed = ok ? errno : 0;
  if (!out->temp.empty()) unlink(out->temp.c_str());
  if (ok) return rt_fail(ZQ_ERR_FILE_NOT_FOUND, "%s: cannot put the finished file in place (%s)", path,
                         std::strerror(renamed));
  return rt_fail(ZQ_ERR_FILE_IO, "%s: writing failed (%s)", path, error ? std::strerror(error) : "unknown cause");
}

int save(const char* path, const ImageBuffer* source, int page, int flags, const SaveFormat& format) {
  ScreenState* screen = screen_state;
  SaveSource s;
  if (source) {
    if (!image_source(path, source, &s)) return ZQ_ERR_ILLEGAL_CALL;
  } else {
    if (!screen) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s: no image given and no screen open", path);
    if (page < 0) page = gfx_get_context()->work_page;
    if (page >= screen->page_count)
      return rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s: page %d does not exist (the screen has %d)", path, page,
                     screen->page_count);
    s = {screen->page_buffers[page], size_t(screen->pitch), screen->bytes_per_pixel, screen->width, screen->height,
         nullptr};
  }
  const SavePlan plan = save_plan(s.bytes_per_pixel, flags);
  // Palette pixels are coloured by the screen's palette.
  if (s.bytes_per_pixel == 1 && !screen)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s: no screen open to give the palette of 1-byte pixels", path);
  if (format.kind == FileKind::kBmp) {
    const uint64_t row = uint64_t(s.width) * uint64_t(save_layout_bytes(plan.layout));
    if (((row + 3) & ~uint64_t(3)) * uint64_t(s.height) + kBmpHeadersAndPalette > kBmpMaxFile)
      return rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s: %d x %d pixels are more than a BMP file can hold", path, s.width,
                     s.height);
  }

  Output out;
  if (int r = open_output(path, &out)) return r;
  bool written;
  if (screen) {
    GfxScreenLock lock;  // page memory and palette are shared with the driver
    s.palette = screen->device_palette;
    written = format.write(out.file, s, plan);
  } else {
    written = format.write(out.file, s, plan);
  }
  return close_output(&out, path, written);
}

// The format a name's extension names (any letter case); null when none.
const SaveFormat* format_of(const char* path) {
  const char* dot = std::strrchr(path, '.');
  const char* slash = std::strrchr(path, '/');
  if (!dot || (slash && slash > dot)) return nullptr;
  for (const SaveFormat& f : kSaveFormats)
    if (strcasecmp(dot, f.extension) == 0) return &f;
  return nullptr;
}

const SaveFormat& bmp_format() { return kSaveFormats[1]; }

// A save's result: success is recorded, a failure was recorded with its reason where it happened.
int finished(int result) { return result == ZQ_OK ? rt_set_error(ZQ_OK) : result; }

// The name as this system writes it, or false with the reason recorded.
bool save_path(const char* chars, int length, char* path) {
  if (bitmap_file_name(chars, length, path)) return true;
  rt_fail(ZQ_ERR_FILE_NOT_FOUND, "%.40s...: a name of %d characters is too long (at most %d)", chars, length,
          kBitmapNameBuffer - 1);
  return false;
}

}  // namespace

int gfx_save_image(const char* name, const ImageBuffer* source, int page, int flags) {
  if (!name) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no file name given");
  char path[kBitmapNameBuffer];
  if (!save_path(name, int(std::strlen(name)), path)) return ZQ_ERR_FILE_NOT_FOUND;
  const SaveFormat* format = format_of(path);
  if (!format) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s: the name does not end in .png or .bmp", path);
  return finished(save(path, source, page, flags, *format));
}

int gfx_save_bitmap(StringValue* name, const ImageBuffer* source, int page) {
  if (!name) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no file name given");
  char path[kBitmapNameBuffer];
  bool named = save_path(rt_str_chars(name), rt_str_len(name), path);
  rt_str_release(name);
  if (!named) return ZQ_ERR_FILE_NOT_FOUND;
  return finished(save(path, source, page, 0, bmp_format()));
}
