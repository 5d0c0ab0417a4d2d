// The bitmap loader on BMP files written by ImageMagick, every loaded pixel
// compared with ImageMagick's own decoding of the same file. Skipped when
// ImageMagick's convert is not installed.
#include <cstdio>

#include "tests/gfx/bitmap_test_support.h"

namespace {

using namespace bmp_test;

struct Size {
  int width, height;
};
// Odd widths exercise every padding; the heights give the narrow files
// enough colours for the palette sizes asked for.
constexpr Size kSizes[] = {{1, 40}, {9, 7}, {33, 5}, {641, 3}};

std::vector<uint8_t> read_file(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    uint8_t buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
  }
  return bytes;
}

uint32_t file_u32(const std::vector<uint8_t>& f, size_t at) {
  return uint32_t(f[at]) | uint32_t(f[at + 1]) << 8 | uint32_t(f[at + 2]) << 16 | uint32_t(f[at + 3]) << 24;
}

class ImageMagickFiles : public BitmapFixture {
 protected:
  void SetUp() override {
    BitmapFixture::SetUp();
    if (std::system("command -v convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick's convert is missing";
  }

  // Writes a plasma picture as a BMP3 file of the given bit count.
  std::string make(int bits, Size size, const std::string& extra = "-compress None") {
    static const char* const options[] = {"-colors 2 -type palette", "-colors 16 -type palette",
                                          "-colors 200 -type palette", "-type truecolor",
                                          "-alpha set -channel A -fx '(i+j)/(w+h)' +channel -define bmp3:alpha=true"};
    int which = bits == 1 ? 0 : bits == 4 ? 1 : bits == 8 ? 2 : bits == 24 ? 3 : 4;
    std::string path = dir_ + "/im" + std::to_string(bits) + "_" + std::to_string(size.width) + ".bmp";
    std::string cmd = "convert -size " + std::to_string(size.width) + "x" + std::to_string(size.height) +
                      " -seed 5 plasma:fractal " + options[which] + " " + extra + " BMP3:" + path;
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    return path;
  }

  // ImageMagick's decoding: R, G, B, A bytes per pixel, top row first.
  std::vector<uint8_t> decode(const std::string& path) {
    std::string out = path + ".rgba";
    std::string cmd = "convert " + path + " -depth 8 rgba:" + out;
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    return read_file(out);
  }

  static uint32_t argb(const std::vector<uint8_t>& rgba, size_t i, bool keep_alpha) {
    const uint8_t* p = rgba.data() + 4 * i;
    uint32_t a = keep_alpha ? p[3] : 0xFFu;
    return a << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
  }
};

class EveryBitCount : public ImageMagickFiles, public ::testing::WithParamInterface<int> {};

TEST_P(EveryBitCount, LoadedPixelsMatchImageMagick) {
  const int bits = GetParam();
  for (Size size : kSizes) {
    SCOPED_TRACE(std::to_string(bits) + " bits, " + std::to_string(size.width) + " wide");
    std::string path = make(bits, size);
    std::vector<uint8_t> file = read_file(path);
    ASSERT_GE(file.size(), 54u);
    ASSERT_EQ(file[28], bits) << "ImageMagick wrote another bit count";
    ASSERT_EQ(file_u32(file, 30), 0u) << "ImageMagick compressed the file";
    std::vector<uint8_t> want = decode(path);
    const size_t count = size_t(size.width) * size_t(size.height);
    ASSERT_EQ(want.size(), count * 4);

    // A long-style 32-bit image and a short-style one rewritten to the file's size.
    open_screen(641, 40, 32);
    ImageBuffer* long_image = image(size.width, size.height, 32, 0);
    ImageBuffer* short_image = image(size.width + 3, size.height + 2, 0, 1);
    ASSERT_EQ(load(path, long_image), 0);
    ASSERT_EQ(load(path, short_image), 0);
    ASSERT_EQ(gfx_image_read32(short_image, 8), uint32_t(size.width));
    ASSERT_EQ(gfx_image_read32(short_image, 12), uint32_t(size.height));
    for (size_t i = 0; i < count; ++i) {
      int x = int(i % size_t(size.width)), y = int(i / size_t(size.width));
      uint32_t expected = argb(want, i, bits == 32);
      ASSERT_EQ(image_pixel(long_image, x, y), expected) << x << "," << y;
      ASSERT_EQ(image_pixel(short_image, x, y), expected) << x << "," << y;
    }

    // The screen at 16 bits per pixel.
    open_screen(641, 40, 16);
    ASSERT_EQ(load(path, nullptr), 0);
    for (size_t i = 0; i < count; ++i) {
      int x = int(i % size_t(size.width)), y = int(i / size_t(size.width));
      ASSERT_EQ(screen_pixel(0, x, y), to565(argb(want, i, false))) << x << "," << y;
    }

    // Indexed files on a palette screen: the index shows the file's colour.
    if (bits <= 8) {
      open_screen(641, 40, 8);
      ASSERT_EQ(load(path, nullptr), 0);
      for (size_t i = 0; i < count; ++i) {
        int x = int(i % size_t(size.width)), y = int(i / size_t(size.width));
        uint32_t c = screen_state->device_palette[screen_pixel(0, x, y)];
        uint32_t rgb = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
        ASSERT_EQ(rgb | 0xFF000000u, argb(want, i, false)) << x << "," << y;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BitCounts, EveryBitCount, ::testing::Values(1, 4, 8, 24, 32));

TEST_F(ImageMagickFiles, TopDownCopyOfAFileLoadsLikeIt) {
  const Size size{33, 5};
  std::string path = make(24, size);
  std::vector<uint8_t> file = read_file(path);
  ASSERT_EQ(file[28], 24);
  // Same rows in the other order, height negated.
  size_t offset = file_u32(file, 10), row = (size_t(size.width) * 3 + 3) & ~size_t(3);
  std::vector<uint8_t> flipped(file.begin(), file.begin() + long(offset));
  for (int r = size.height - 1; r >= 0; --r)
    flipped.insert(flipped.end(), file.begin() + long(offset + size_t(r) * row),
                   file.begin() + long(offset + size_t(r + 1) * row));
  put32(flipped, 22, uint32_t(-size.height));
  std::string flipped_path = write("flipped.bmp", flipped);
  std::vector<uint8_t> want = decode(flipped_path);
  ASSERT_EQ(want, decode(path));

  open_screen(64, 8, 32);
  ImageBuffer* img = image(size.width, size.height, 32, 0);
  ASSERT_EQ(load(flipped_path, img), 0);
  for (int y = 0; y < size.height; ++y)
    for (int x = 0; x < size.width; ++x)
      ASSERT_EQ(image_pixel(img, x, y), argb(want, size_t(y * size.width + x), false)) << x << "," << y;
}

TEST_F(ImageMagickFiles, CompressedAndNewerFilesAreRefused) {
  open_screen(64, 8, 32);
  ImageBuffer* img = image(9, 7, 32, 0);
  // Without -compress None ImageMagick run-length encodes 8-bit files.
  std::string rle = make(8, {9, 7}, "");
  ASSERT_EQ(file_u32(read_file(rle), 30), 1u);
  EXPECT_EQ(load(rle, img), 3);
  // The BMP (not BMP3) writer uses a larger information header.
  std::string v5 = dir_ + "/v5.bmp";
  ASSERT_EQ(std::system(("convert -size 9x7 -seed 5 plasma:fractal -alpha set BMP:" + v5).c_str()), 0);
  ASSERT_NE(file_u32(read_file(v5), 14), 40u);
  EXPECT_EQ(load(v5, img), 3);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) ASSERT_EQ(image_pixel(img, x, y), 0xFFFF00FFu);
}

}  // namespace
