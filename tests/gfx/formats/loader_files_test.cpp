// The bitmap loader on BMP files written by ImageMagick (OS/2, 40-byte and
// V5 headers, uncompressed and run-length coded) and on files built here
// from ImageMagick's pixels the way other programs write them (GIMP-style V5
// bit fields, 4-bit runs, 2-bit palettes). Every loaded pixel, in images
// and on the screen at 8, 16 and 32 bits, is compared with ImageMagick's own
// decoding of the same file. Skipped when ImageMagick's convert is missing.
#include <cstdio>

#include "tests/gfx/formats/bmp_test_support.h"

namespace {

using namespace bmp_test;

struct Size {
  int width, height;
};
// Odd widths exercise every padding; the heights give the narrow files
// enough colours for the palette sizes asked for.
constexpr Size kSizes[] = {{1, 40}, {3, 13}, {9, 7}, {33, 5}, {641, 3}};

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

// What a 40-byte-header file written by ImageMagick holds: its palette and
// its pixels as stored values (indices, or 0xAARRGGBB), top row first.
struct Decoded {
  std::vector<uint32_t> palette;
  std::vector<uint32_t> values;
};

Decoded parse_plain(const std::vector<uint8_t>& f, Size size) {
  Decoded d;
  int bits = f[28];
  uint32_t offset = file_u32(f, 10);
  for (size_t at = 54; at + 4 <= offset && d.palette.size() < 256; at += 4)
    d.palette.push_back(uint32_t(f[at + 2]) << 16 | uint32_t(f[at + 1]) << 8 | f[at]);
  size_t stride = (size_t(size.width) * size_t(bits) + 31) / 32 * 4;
  for (int y = 0; y < size.height; ++y) {
    const uint8_t* row = f.data() + offset + size_t(size.height - 1 - y) * stride;
    for (int x = 0; x < size.width; ++x) {
      if (bits == 32)
        d.values.push_back(file_u32(f, size_t(row - f.data()) + 4 * size_t(x)));
      else
        d.values.push_back(uint32_t(row[x * bits / 8] >> (8 - bits - x * bits % 8)) & ((1u << bits) - 1));
    }
  }
  return d;
}

// Run-length codes for one row of indices as a simple encoder writes them:
// runs of equal pixels, absolute runs of at least three others.
void encode_rle_row(const uint32_t* px, int width, int bits, std::vector<uint8_t>& out) {
  int x = 0;
  while (x < width) {
    int run = 1;
    while (x + run < width && run < 255 && px[x + run] == px[x]) ++run;
    if (run >= 2 || width - x < 3) {
      out.push_back(uint8_t(run));
      out.push_back(uint8_t(bits == 4 ? px[x] << 4 | px[x] : px[x]));
      x += run;
      continue;
    }
    int n = 3;
    while (x + n < width && n < 255 && px[x + n] != px[x + n - 1]) ++n;
    out.push_back(0);
    out.push_back(uint8_t(n));
    size_t bytes = bits == 4 ? size_t(n + 1) / 2 : size_t(n);
    size_t start = out.size();
    out.resize(start + ((bytes + 1) & ~size_t(1)), 0);
    for (int i = 0; i < n; ++i) {
      if (bits == 8) out[start + size_t(i)] = uint8_t(px[x + i]);
      else out[start + size_t(i / 2)] |= uint8_t(px[x + i] << (i % 2 ? 0 : 4));
    }
    x += n;
  }
  out.insert(out.end(), {0, 0});
}

class ImageMagickFiles : public BitmapFixture {
 protected:
  void SetUp() override {
    BitmapFixture::SetUp();
    if (std::system("command -v convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick's convert is missing";
  }

  // A plasma picture written by ImageMagick: options, then the format prefix.
  std::string convert(Size size, const std::string& options, const std::string& format, const std::string& name) {
    std::string path = dir_ + "/" + name + ".bmp";
    std::string cmd = "convert -size " + std::to_string(size.width) + "x" + std::to_string(size.height) +
                      " -seed 5 plasma:fractal " + options + " " + format + ":" + path;
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

  // Loads path into every kind of target and compares each pixel with
  // ImageMagick's decoding of it (or of the reference file holding the same
  // picture, for layouts ImageMagick does not read).
  void compare_everywhere(const std::string& path, Size size, bool indexed, bool alpha,
                          const std::string& reference = "") {
    std::vector<uint8_t> want = decode(reference.empty() ? path : reference);
    const size_t count = size_t(size.width) * size_t(size.height);
    ASSERT_EQ(want.size(), count * 4);
    auto each = [&](auto check) {
      for (size_t i = 0; i < count; ++i) check(int(i % size_t(size.width)), int(i / size_t(size.width)), i);
    };

    // A long-style 32-bit image and a short-style one rewritten to the file's size.
    open_screen(641, 40, 32);
    ImageBuffer* long_image = image(size.width, size.height, 32, 0);
    ImageBuffer* short_image = image(size.width + 3, size.height + 2, 0, 1);
    ASSERT_EQ(load(path, long_image), 0);
    ASSERT_EQ(load(path, short_image), 0);
    ASSERT_EQ(gfx_image_read32(short_image, 8), uint32_t(size.width));
    ASSERT_EQ(gfx_image_read32(short_image, 12), uint32_t(size.height));
    each([&](int x, int y, size_t i) {
      ASSERT_EQ(image_pixel(long_image, x, y), argb(want, i, alpha)) << x << "," << y;
      ASSERT_EQ(image_pixel(short_image, x, y), argb(want, i, alpha)) << x << "," << y;
    });
    // The screen at 32 and 16 bits per pixel.
    ASSERT_EQ(load(path, nullptr), 0);
    each([&](int x, int y, size_t i) { ASSERT_EQ(screen_pixel(0, x, y), argb(want, i, alpha)) << x << "," << y; });
    open_screen(641, 40, 16);
    ASSERT_EQ(load(path, nullptr), 0);
    each([&](int x, int y, size_t i) {
      ASSERT_EQ(screen_pixel(0, x, y), to565(argb(want, i, false))) << x << "," << y;
    });
    // On a palette screen the index shows the file's colour; true colour
    // files cannot go there.
    open_screen(641, 40, 8);
    if (!indexed) {
      EXPECT_EQ(load(path, nullptr), 1);
      return;
    }
    ASSERT_EQ(load(path, nullptr), 0);
    each([&](int x, int y, size_t i) {
      uint32_t c = screen_state->device_palette[screen_pixel(0, x, y)];
      uint32_t rgb = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
      ASSERT_EQ(rgb | 0xFF000000u, argb(want, i, false)) << x << "," << y;
    });
  }

  // The same file stored top-down (uncompressed files only).
  std::string flipped(const std::string& path) {
    std::vector<uint8_t> f = read_file(path);
    uint32_t info = file_u32(f, 14), offset = file_u32(f, 10);
    bool os2 = info == 12;
    int width = os2 ? f[18] | f[19] << 8 : int(file_u32(f, 18));
    int height = os2 ? f[20] | f[21] << 8 : int(file_u32(f, 22));
    int bits = os2 ? f[24] : f[28];
    size_t stride = (size_t(width) * size_t(bits) + 31) / 32 * 4;
    std::vector<uint8_t> out(f.begin(), f.begin() + long(offset));
    for (int r = height - 1; r >= 0; --r) {
      auto row = f.begin() + long(offset + size_t(r) * stride);
      out.insert(out.end(), row, row + long(stride));
    }
    if (os2) return "";  // OS/2 1.x sides carry no sign
    put32(out, 22, uint32_t(-height));
    return write("flipped_" + std::to_string(width) + ".bmp", out);
  }
};

struct Kind {
  const char* name;
  const char* options;
  const char* format;  // BMP2: OS/2 1.x, BMP3: 40 bytes, BMP: V5
  int bits;
  uint32_t compression;
  bool indexed, alpha;
};

const Kind kKinds[] = {
    {"os2_1bit", "-colors 2 -type palette", "BMP2", 1, 0, true, false},
    {"os2_4bit", "-colors 16 -type palette", "BMP2", 4, 0, true, false},
    {"os2_8bit", "-colors 200 -type palette", "BMP2", 8, 0, true, false},
    {"os2_24bit", "-type truecolor", "BMP2", 24, 0, false, false},
    {"win_1bit", "-colors 2 -type palette -compress None", "BMP3", 1, 0, true, false},
    {"win_4bit", "-colors 16 -type palette -compress None", "BMP3", 4, 0, true, false},
    {"win_8bit", "-colors 200 -type palette -compress None", "BMP3", 8, 0, true, false},
    {"win_24bit", "-type truecolor", "BMP3", 24, 0, false, false},
    {"win_32bit_alpha", "-alpha set -channel A -fx '(i+j)/(w+h)' +channel -define bmp3:alpha=true", "BMP3", 32, 0,
     false, true},
    {"win_rle8", "-colors 200 -type palette -compress RLE", "BMP3", 8, 1, true, false},
    {"v5_8bit", "-colors 200 -type palette -compress None", "BMP", 8, 0, true, false},
    {"v5_24bit", "-type truecolor", "BMP", 24, 0, false, false},
    {"v5_32bit_fields", "-alpha set -channel A -fx '(i+j)/(w+h)' +channel", "BMP", 32, 3, false, true},
};

class WrittenByImageMagick : public ImageMagickFiles, public ::testing::WithParamInterface<Kind> {};

TEST_P(WrittenByImageMagick, LoadedPixelsMatchImageMagick) {
  const Kind& kind = GetParam();
  for (Size size : kSizes) {
    SCOPED_TRACE(std::string(kind.name) + ", " + std::to_string(size.width) + " wide");
    std::string path = convert(size, kind.options, kind.format, kind.name);
    std::vector<uint8_t> f = read_file(path);
    ASSERT_GE(f.size(), 30u);
    bool os2 = file_u32(f, 14) == 12;
    ASSERT_EQ(os2 ? f[24] : f[28], kind.bits) << "ImageMagick wrote another bit count";
    if (!os2) {
      ASSERT_EQ(file_u32(f, 30), kind.compression) << "ImageMagick wrote another compression";
    }
    // ImageMagick misreads its own run-length file of one column (a run
    // past the row's end spills into the next row), so the reference for
    // runs is its uncompressed file of the same picture.
    std::string reference;
    if (kind.compression == 1) {
      std::string options = kind.options;
      options.replace(options.find("RLE"), 3, "None");
      reference = convert(size, options, kind.format, std::string(kind.name) + "_reference");
    }
    compare_everywhere(path, size, kind.indexed, kind.alpha, reference);
    std::string down = kind.compression == 0 ? flipped(path) : "";
    if (!down.empty()) compare_everywhere(down, size, kind.indexed, kind.alpha);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, WrittenByImageMagick, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

// Files other programs write, built from the pixels of ImageMagick's
// 40-byte files: GIMP's V5 bit fields with and without alpha, 4-bit runs
// (which ImageMagick does not write) and 2-bit palettes (which it does not
// read).
TEST_F(ImageMagickFiles, FilesOfOtherWritersMatchImageMagick) {
  for (Size size : kSizes) {
    SCOPED_TRACE(std::to_string(size.width) + " wide");
    std::string base32 = convert(size, "-alpha set -channel A -fx '(i+j)/(w+h)' +channel -define bmp3:alpha=true",
                                 "BMP3", "base32");
    Decoded argb = parse_plain(read_file(base32), size);
    auto value = [&](const Decoded& d) {
      return [&d, size](int x, int y) { return d.values[size_t(y * size.width + x)]; };
    };
    for (int height : {size.height, -size.height}) {
      std::string v5 = write("gimp_argb.bmp",
                             make_bmp({.width = size.width, .height = height, .bits = 32, .pixel = value(argb),
                                       .compression = 3, .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
                                       .info_size = 124}));
      compare_everywhere(v5, size, false, true);
      std::string xrgb = write("gimp_xrgb.bmp",
                               make_bmp({.width = size.width, .height = height, .bits = 32, .pixel = value(argb),
                                         .compression = 3, .masks = {0xFF0000, 0xFF00, 0xFF, 0}, .info_size = 124}));
      compare_everywhere(xrgb, size, false, false);
    }

    Decoded four = parse_plain(read_file(convert(size, "-colors 16 -type palette -compress None", "BMP3", "b4")), size);
    std::vector<uint8_t> runs;
    for (int y = size.height - 1; y >= 0; --y)
      encode_rle_row(four.values.data() + size_t(y * size.width), size.width, 4, runs);
    runs.insert(runs.end(), {0, 1});
    std::string rle4 = write("rle4.bmp", make_bmp({.width = size.width, .height = size.height, .bits = 4,
                                                   .palette = four.palette, .compression = 2, .data = runs}));
    compare_everywhere(rle4, size, true, false);

    // ImageMagick reads no 2-bit files: the 4-colour file it wrote is the reference.
    std::string source = convert(size, "-colors 4 -type palette -compress None", "BMP3", "b2_source");
    Decoded two = parse_plain(read_file(source), size);
    two.palette.resize(4);
    for (int height : {size.height, -size.height}) {
      std::string b2 = write("b2.bmp", make_bmp({.width = size.width, .height = height, .bits = 2,
                                                 .palette = two.palette, .pixel = value(two)}));
      compare_everywhere(b2, size, true, false, source);
    }
  }
}

}  // namespace
