// PNG files of every colour type and bit depth, made by ImageMagick at odd
// sizes, loaded into a long 32-bit image, a short image and the screen at 8,
// 16 and 32 bits, and compared pixel for pixel with ImageMagick's own
// decoding under the target rules: alpha 0 becomes the clear colour
// (0x00FF00FF, 0xF81F), 16-bit channels are scaled exactly to 8 bits, and a
// palette file keeps its indices in 1-byte targets.
#include "tests/gfx/formats/bmp_test_support.h"
#include "tests/gfx/formats/png_test_support.h"

namespace {

using namespace bmp_test;
using namespace png_test;

enum class Alpha { kNone, kFull, kKey };  // kKey: a transparency chunk

struct Kind {
  const char* name;
  int colour_type;  // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
  int bit_depth;
  Alpha alpha;
  bool interlaced;
};

const Kind kKinds[] = {
    {"grey1", 0, 1, Alpha::kNone, false},         {"grey2", 0, 2, Alpha::kNone, false},
    {"grey4", 0, 4, Alpha::kNone, false},         {"grey8", 0, 8, Alpha::kNone, false},
    {"grey16", 0, 16, Alpha::kNone, false},       {"grey_alpha8", 4, 8, Alpha::kFull, false},
    {"grey_alpha16", 4, 16, Alpha::kFull, false}, {"rgb8", 2, 8, Alpha::kNone, false},
    {"rgb16", 2, 16, Alpha::kNone, false},        {"rgba8", 6, 8, Alpha::kFull, false},
    {"rgba16", 6, 16, Alpha::kFull, false},       {"palette1", 3, 1, Alpha::kNone, false},
    {"palette2", 3, 2, Alpha::kNone, false},      {"palette4", 3, 4, Alpha::kNone, false},
    {"palette8", 3, 8, Alpha::kNone, false},      {"grey8_key", 0, 8, Alpha::kKey, false},
    {"rgb8_key", 2, 8, Alpha::kKey, false},       {"rgb16_key", 2, 16, Alpha::kKey, false},
    {"palette4_key", 3, 4, Alpha::kKey, false},   {"palette8_alpha", 3, 8, Alpha::kFull, false},
    {"rgba8_interlaced", 6, 8, Alpha::kFull, true}, {"palette2_interlaced", 3, 2, Alpha::kNone, true},
    {"grey16_interlaced", 0, 16, Alpha::kNone, true},
};

// A picture the kind can hold exactly: grey levels of its depth, at most
// 2^depth colours for palettes, alpha of every sort where it has alpha,
// one transparent colour for a transparency chunk.
Rgba16 pattern_pixel(const Kind& k, int x, int y) {
  const bool grey = k.colour_type == 0 || k.colour_type == 4;
  const uint32_t seed = uint32_t(x * 4099 + y * 7919 + 1234);
  Rgba16 p{};
  if (k.colour_type == 3) {
    const uint32_t i = uint32_t(x * 5 + y * 3) % (1u << k.bit_depth);
    p = {uint16_t((i * 37 + 11) % 256 * 257), uint16_t((i * 91 + 50) % 256 * 257), uint16_t((255 - i) * 257), 65535};
    if (k.alpha == Alpha::kKey && i % 4 == 1) p.a = 0;
    if (k.alpha == Alpha::kFull) p.a = uint16_t(i / 3 % 3 == 0 ? 0 : i / 3 % 3 == 1 ? 65535 : 128 * 257);
    return p;
  }
  if (grey && k.bit_depth < 8) {
    const uint32_t top = (1u << k.bit_depth) - 1;
    uint16_t v = uint16_t((uint32_t(x + 2 * y) % (top + 1)) * 65535 / top);
    return {v, v, v, 65535};
  }
  if (k.bit_depth == 16)
    p = {uint16_t(seed * 13), uint16_t(seed * 29 + 7), uint16_t(seed * 71 + 3), 65535};
  else
    p = {uint16_t(seed * 13 % 256 * 257), uint16_t((seed * 29 + 7) % 256 * 257), uint16_t((seed * 71 + 3) % 256 * 257),
         65535};
  if (grey) p.g = p.b = p.r;
  if (k.alpha == Alpha::kFull) {
    const uint16_t alphas[] = {0, 65535, 32768, 257, 254 * 257, uint16_t(seed * 31)};
    p.a = alphas[uint32_t(x * 53 + y * 29) % 6];
    if (k.bit_depth == 8) p.a = uint16_t(p.a / 257 * 257);
  }
  if (k.alpha == Alpha::kKey) {
    // One colour, never seen opaque, marks the transparent pixels.
    const Rgba16 key = grey ? Rgba16{3 * 257, 3 * 257, 3 * 257, 0} : Rgba16{257, 2 * 257, 3 * 257, 0};
    if ((x + y) % 4 == 0) return key;
    if (p.r == key.r) p.r = uint16_t(p.r + 257);
    if (grey) p.g = p.b = p.r;
  }
  return p;
}

std::string imagemagick_options(const Kind& k) {
  // No background chunk: its colour would take a palette entry.
  // A palette with transparency is asked for by type: the colour-type
  // definition alone drops the alpha.
  std::string o = k.colour_type == 3 && k.alpha != Alpha::kNone
                      ? "-define png:exclude-chunks=bKGD -type PaletteAlpha"
                      : "-define png:exclude-chunks=bKGD -define png:color-type=" + std::to_string(k.colour_type);
  o += " -define png:bit-depth=" + std::to_string(k.bit_depth);
  if (k.interlaced) o += " -interlace PNG";
  return o;
}

// What a target pixel of bytes_per_pixel must hold for a decoded pixel.
uint32_t expected(const Rgba16& p, int bytes_per_pixel) {
  const uint32_t c = argb(p);
  if (bytes_per_pixel == 4) return c >> 24 == 0 ? 0x00FF00FFu : c;
  return c >> 24 == 0 ? 0xF81Fu : to565(c);
}

class PngKinds : public BitmapFixture, public ::testing::WithParamInterface<Kind> {
 protected:
  void SetUp() override {
    BitmapFixture::SetUp();
    if (!have_imagemagick()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  }

  // The 1-byte pixels of a palette file: each index shows the file's colour.
  static void expect_indices(const uint8_t* pixels, size_t pitch, int width, int height, const std::vector<Rgba16>& seen,
                             int file_width, const uint32_t* palette, bool six_bits) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const Rgba16& p = seen[size_t(y) * size_t(file_width) + size_t(x)];
        uint32_t rgb = to8(p.r) | to8(p.g) << 8 | to8(p.b) << 16;
        if (six_bits) rgb = (rgb >> 2) & 0x3F3F3F;
        ASSERT_EQ(palette[pixels[size_t(y) * pitch + size_t(x)]], rgb) << x << "," << y;
      }
  }
};

TEST_P(PngKinds, EveryTargetShowsImageMagicksPixels) {
  const Kind& k = GetParam();
  for (int width : {1, 3, 9, 33, 641}) {
    const int height = width == 641 ? 3 : 5;
    SCOPED_TRACE(std::string(k.name) + ", " + std::to_string(width) + " x " + std::to_string(height));
    std::vector<Rgba16> picture;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) picture.push_back(pattern_pixel(k, x, y));
    const std::string path = dir_ + "/" + k.name + ".png";
    ASSERT_TRUE(imagemagick_png(path, width, height, picture, imagemagick_options(k)));
    const std::vector<uint8_t> bytes = [&] {
      std::ifstream in(path, std::ios::binary);
      return std::vector<uint8_t>{std::istreambuf_iterator<char>(in), {}};
    }();
    // The file is the kind asked for.
    const PngChunks chunks = png_chunks(bytes);
    ASSERT_EQ(chunks.colour_type, k.colour_type);
    ASSERT_EQ(chunks.bit_depth, k.bit_depth);
    ASSERT_EQ(chunks.interlace, k.interlaced ? 1 : 0);
    ASSERT_EQ(chunks.has("tRNS"), k.alpha == Alpha::kKey || (k.colour_type == 3 && k.alpha == Alpha::kFull));
    const std::vector<Rgba16> seen = imagemagick_decode(path);
    ASSERT_EQ(seen.size(), size_t(width) * size_t(height));

    for (int depth : {8, 16, 32}) {
      SCOPED_TRACE("screen depth " + std::to_string(depth));
      open_screen(64, 4, depth);
      const int bpp = depth / 8;
      // A long 32-bit image of the file's size.
      ImageBuffer* wide = image(width, height, 32, 0);
      ASSERT_EQ(load(path, wide), ZQ_OK);
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
          ASSERT_EQ(image_pixel(wide, x, y), expected(seen[size_t(y * width + x)], 4)) << x << "," << y;

      // A short image, which takes the file's size in the screen's format,
      // and the screen itself, which clips the file to its own size.
      ImageBuffer* small = image(width, height, 0, 1);
      ScreenState* s = screen_state;
      std::memset(s->page_buffers[0], 0x5A, size_t(s->pitch) * size_t(s->height));
      if (bpp == 1 && k.colour_type != 3) {
        EXPECT_EQ(load(path, small), ZQ_ERR_ILLEGAL_CALL);
        EXPECT_EQ(load(path, nullptr), ZQ_ERR_ILLEGAL_CALL);
        EXPECT_NE(std::string(rt_error_detail()).find("1 byte per pixel"), std::string::npos);
        continue;
      }
      ASSERT_EQ(load(path, small), ZQ_OK);
      ASSERT_EQ(gfx_image_info(small).width, width);
      ASSERT_EQ(load(path, nullptr), ZQ_OK);
      const int shown = std::min(width, 64), rows = std::min(height, 4);
      if (bpp == 1) {
        ImageInfo info = gfx_image_info(small);
        expect_indices(info.pixels, size_t(info.pitch), width, height, seen, width, s->device_palette, false);
        expect_indices(s->page_buffers[0], size_t(s->pitch), shown, rows, seen, width, s->device_palette, false);
        // With a palette destination the screen palette stays as it was.
        std::vector<uint32_t> before(s->device_palette, s->device_palette + 256);
        uint32_t palette[256];
        ASSERT_EQ(load(path, small, palette), ZQ_OK);
        expect_indices(info.pixels, size_t(info.pitch), width, height, seen, width, palette, true);
        EXPECT_EQ(std::memcmp(before.data(), s->device_palette, 256 * 4), 0);
        continue;
      }
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
          const uint32_t want = expected(seen[size_t(y * width + x)], bpp);
          ASSERT_EQ(image_pixel(small, x, y), want) << x << "," << y;
          if (x < shown && y < rows) {
            ASSERT_EQ(screen_pixel(0, x, y), want) << x << "," << y;
          }
        }
      // Nothing beyond the file's part of the screen changed.
      for (int y = 0; y < 4; ++y)
        for (int x = y < rows ? shown : 0; x < 64; ++x)
          ASSERT_EQ(screen_pixel(0, x, y), bpp == 2 ? 0x5A5Au : 0x5A5A5A5Au) << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Files, PngKinds, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<Kind>& info) { return std::string(info.param.name); });

}  // namespace
