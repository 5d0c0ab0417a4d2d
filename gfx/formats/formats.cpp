// The format table and its dispatcher: the raw block, BMP and PNG entries,
// tried in that order on the first bytes of the data.
#include "gfx/formats/formats.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "gfx/draw/context.h"
#include "gfx/formats/loader_internal.h"
#include "gfx/formats/png.h"
#include "gfx/image/image.h"
#include "runtime/rt_core.h"

namespace {

constexpr uint8_t kBlockShort = 0xFD;
constexpr uint8_t kBlockLong = 0xFE;
constexpr uint8_t kBmpFirstByte = 'B';

bool is_block(const uint8_t* start, size_t count) {
  return count > 0 && (start[0] == kBlockShort || start[0] == kBlockLong);
}
bool is_bmp(const uint8_t* start, size_t count) { return count > 0 && start[0] == kBmpFirstByte; }

constexpr ImageFormat kFormats[] = {
    {"raw block", is_block, nullptr, bitmap_load_block},
    {"BMP", is_bmp, bitmap_bmp_size, bitmap_load_bmp},
    {"PNG", png_file_accepts, png_file_size, png_file_load},
};

// Well-known file signatures, to say what refused data looks like.
struct Signature {
  const char* bytes;
  size_t length;
  size_t at;  // where the bytes stand in the file
  const char* what;
};
constexpr Signature kSignatures[] = {
    {"\x89PNG", 4, 0, "a PNG file"},
    {"\xFF\xD8\xFF", 3, 0, "a JPEG file"},
    {"GIF8", 4, 0, "a GIF file"},
    {"II*\0", 4, 0, "a TIFF file"},
    {"MM\0*", 4, 0, "a TIFF file"},
    {"WEBP", 4, 8, "a WebP file"},
    {"qoif", 4, 0, "a QOI file"},
    {"8BPS", 4, 0, "a Photoshop file"},
    {"\0\0\1\0", 4, 0, "a Windows icon"},
    {"BZh", 3, 0, "a bzip2 archive"},
    {"\x1F\x8B", 2, 0, "a gzip archive"},
    {"PK\3\4", 4, 0, "a ZIP archive"},
};

}  // namespace

void describe_start(const uint8_t* start, size_t count, char* text, size_t size) {
  if (count == 0) {
    std::snprintf(text, size, "is empty");
    return;
  }
  int used = std::snprintf(text, size, "starts with");
  for (size_t i = 0; i < std::min<size_t>(count, 4) && used > 0 && size_t(used) < size; ++i)
    used += std::snprintf(text + used, size - size_t(used), " %02X", start[i]);
  for (const Signature& s : kSignatures)
    if (count >= s.at + s.length && std::memcmp(start + s.at, s.bytes, s.length) == 0) {
      if (used > 0 && size_t(used) < size) std::snprintf(text + used, size - size_t(used), " (%s)", s.what);
      break;
    }
}

const ImageFormat* image_format_of(ByteSource& source) {
  uint8_t start[kFormatProbeBytes + 4];  // room for a signature that stands a little in
  size_t count = source.read(start, sizeof start);
  if (count == 0 && source.file() && std::ferror(source.file())) {
    source.fail(ZQ_ERR_FILE_IO, "cannot be read (%s)", std::strerror(errno));
    return nullptr;
  }
  if (!source.seek(0)) {
    source.fail(ZQ_ERR_FILE_IO, "cannot go back to the start of the file");
    return nullptr;
  }
  for (const ImageFormat& f : kFormats)
    if (f.accepts(start, std::min(count, kFormatProbeBytes))) return &f;
  char text[64];
  describe_start(start, count, text, sizeof text);
  source.fail(ZQ_ERR_FILE_IO, "not an image file this library reads (BMP, PNG or raw block): %s", text);
  return nullptr;
}

int load_image_source(ByteSource& source, ImageBuffer* dest, uint32_t* palette_dest) {
  if (screen_state) {
    GfxContext* ctx = gfx_get_context();
    gfx_set_target(ctx, nullptr);
    gfx_select_colour_routines(ctx, 0xFF000000u);
  }
  const ImageFormat* format = image_format_of(source);
  if (!format) return ZQ_ERR_FILE_IO;
  return format->load(source, dest, palette_dest);
}

ImageBuffer* load_new_image(ByteSource& source) {
  if (!screen_state) {
    source.fail(ZQ_ERR_ILLEGAL_CALL, "no screen open (a new image takes the screen's pixel format)");
    return nullptr;
  }
  const ImageFormat* format = image_format_of(source);
  if (!format) return nullptr;
  if (!format->size) {
    source.fail(ZQ_ERR_ILLEGAL_CALL, "a %s file states no image size; load it into an image of your own",
                format->name);
    return nullptr;
  }
  int width = 0, height = 0;
  if (format->size(source, &width, &height) != ZQ_OK) return nullptr;
  char before[kErrorDetailSize];
  std::snprintf(before, sizeof before, "%s", rt_error_detail());
  ImageBuffer* image = gfx_image_create(width, height, 0, 0, ZQ_IMAGE_MASK_FILL);
  if (!image) {
    // The creation's own reason, when it gave one, says why.
    char why[kErrorDetailSize];
    std::snprintf(why, sizeof why, "%s", rt_error_detail());
    if (why[0] && std::strcmp(why, before) != 0)
      source.fail(ZQ_ERR_ILLEGAL_CALL, "%s", why);
    else
      source.fail(ZQ_ERR_ILLEGAL_CALL, "an image of %d x %d pixels cannot be made", width, height);
    return nullptr;
  }
  if (!source.seek(0) || format->load(source, image, nullptr) != ZQ_OK) {
    gfx_image_destroy(image);
    return nullptr;
  }
  return image;
}
