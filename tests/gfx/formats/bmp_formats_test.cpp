// The BMP layouts beyond the plain 40-byte header, on files written here
// byte by byte: every information header size, 2-bit palettes, bit fields
// with any masks, and run-length codes with every escape, whole and cut short.
#include <climits>

#include "tests/gfx/formats/bmp_test_support.h"

namespace {

using namespace bmp_test;

constexpr uint32_t kMask32 = 0xFFFF00FFu;
uint32_t opaque(uint32_t argb) { return argb | 0xFF000000u; }

class BitmapFormats : public BitmapFixture {
 protected:
  // The pixels of a long-style image, top row first.
  static std::vector<uint32_t> pixels(const ImageBuffer* img) {
    ImageInfo info = gfx_image_info(img);
    std::vector<uint32_t> out;
    for (int y = 0; y < info.height; ++y)
      for (int x = 0; x < info.width; ++x) out.push_back(image_pixel(img, x, y));
    return out;
  }
};

const std::vector<uint32_t> kFour = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

TEST_F(BitmapFormats, EveryHeaderSizeLoadsTheSamePicture) {
  open_screen(64, 16, 32);
  auto index = [](int x, int y) { return uint32_t(x * 7 + y * 3) % 4; };
  for (uint32_t size : {12u, 16u, 40u, 52u, 56u, 64u, 108u, 124u}) {
    SCOPED_TRACE(size);
    for (int width : {1, 3, 9, 33}) {
      ImageBuffer* indexed = image(width, 5, 32, 0);
      ASSERT_EQ(load(write("p.bmp", make_bmp({.width = width, .height = 5, .bits = 8, .palette = kFour,
                                             .pixel = index, .info_size = size})),
                     indexed),
                0);
      ImageBuffer* rgb = image(width, 5, 32, 0);
      ASSERT_EQ(load(write("t.bmp", make_bmp({.width = width, .height = 5, .pixel = pattern, .info_size = size})),
                     rgb),
                0);
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < width; ++x) {
          ASSERT_EQ(image_pixel(indexed, x, y), opaque(kFour[index(x, y)])) << x << "," << y;
          ASSERT_EQ(image_pixel(rgb, x, y), opaque(pattern(x, y))) << x << "," << y;
        }
    }
  }
  // The OS/2 1.x sides are 16 bits without sign: 40000 columns load.
  ImageBuffer* wide = image(8, 1, 32, 0);
  ASSERT_EQ(load(write("w.bmp", make_bmp({.width = 40000, .height = 1, .pixel = pattern, .info_size = 12})), wide), 0);
  EXPECT_EQ(image_pixel(wide, 7, 0), opaque(pattern(7, 0)));
}

TEST_F(BitmapFormats, TwoBitPalettesAtOddWidths) {
  auto index = [](int x, int y) { return uint32_t(x + 2 * y) % 4; };
  for (int width : {1, 3, 9, 33, 641}) {
    SCOPED_TRACE(width);
    for (int height : {3, -3}) {
      open_screen(641, 4, 32);
      ImageBuffer* img = image(width, 3, 32, 0);
      std::string path =
          write("b2.bmp", make_bmp({.width = width, .height = height, .bits = 2, .palette = kFour, .pixel = index}));
      ASSERT_EQ(load(path, img), 0);
      open_screen(641, 4, 8);
      ASSERT_EQ(load(path, nullptr), 0);
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < width; ++x) {
          ASSERT_EQ(image_pixel(img, x, y), opaque(kFour[index(x, y)])) << x << "," << y;
          ASSERT_EQ(screen_pixel(0, x, y), index(x, y)) << x << "," << y;
        }
    }
  }
}

// Channels of any width are scaled so that their lowest and highest values
// become 0 and 255; without an alpha mask the pixels are opaque.
TEST_F(BitmapFormats, BitFieldsOfAnyWidthAreScaledExactly) {
  open_screen(16, 4, 32);
  struct Case {
    const char* name;
    uint32_t info_size, compression;
    std::vector<uint32_t> masks;
    std::vector<uint32_t> words;  // four stored pixels
    std::vector<uint32_t> want;
  } cases[] = {
      {"B-G-R-A words in a 40-byte header", 40, 3, {0xFF0000, 0xFF00, 0xFF}, {0x80123456, 0, 0xFFFFFFFF, 0x00ABCDEF},
       {0xFF123456, 0xFF000000, 0xFFFFFFFF, 0xFFABCDEF}},
      {"red and blue swapped", 40, 3, {0xFF, 0xFF00, 0xFF0000}, {0x00123456, 0x000000FF, 0, 0},
       {0xFF563412, 0xFFFF0000, 0xFF000000, 0xFF000000}},
      {"10-10-10 with 2 alpha bits", 124, 3, {0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000},
       {0xFFFFFFFF, 0x00000000, 0xA0000E00, 0x40000001},
       // 512 of 1023 is 127.6 (128), 3 of 1023 is 0.75 (1), 1 of 1023 is 0.25 (0);
       // alpha 2 of 3 is 170, 1 of 3 is 85
       {0xFFFFFFFF, 0x00000000, 0xAA800180, 0x55000000}},
      {"5-6-5 in the low half, alpha bit fields after a 40-byte header", 40, 6, {0xF800, 0x7E0, 0x1F, 0},
       {0xFFFF, 0x0841, 0x001F0000, 0x7BEF}, {0xFFFFFFFF, 0xFF080808, 0xFF000000, 0xFF7B7D7B}},
      {"16-bit channels, more than 8 bits", 56, 3, {0xFFFF0000, 0xFF00, 0xFF, 0},
       {0x7FFF0000, 0x80000000, 0xFFFF0000, 0x00801234},
       // 32767 of 65535 is 127.4996 (127), 32768 is 127.5035 (128)
       {0xFF7F0000, 0xFF800000, 0xFFFF0000, 0xFF001234}},
      {"1-bit channels, alpha mask in a V4 header", 108, 3, {1, 2, 4, 8}, {0xF, 0x1, 0x6, 0x8},
       {0xFFFFFFFF, 0x00FF0000, 0x0000FFFF, 0xFF000000}},
      {"no green mask", 52, 3, {0xFF0000, 0, 0xFF}, {0x00FFFFFF, 0, 0, 0},
       {0xFFFF00FF, 0xFF000000, 0xFF000000, 0xFF000000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ImageBuffer* img = image(4, 1, 32, 0);
    ImageBuffer* img16 = image(4, 1, 16, 0);
    std::vector<uint8_t> f = make_bmp({.width = 4, .height = 1, .bits = 32,
                                       .pixel = [&](int x, int) { return c.words[size_t(x)]; },
                                       .compression = c.compression, .masks = c.masks, .info_size = c.info_size});
    std::string path = write("f.bmp", f);
    ASSERT_EQ(load(path, img), 0);
    ASSERT_EQ(load(path, img16), 0);
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(image_pixel(img, x, 0), c.want[size_t(x)]) << x;
      EXPECT_EQ(image_pixel(img16, x, 0), to565(c.want[size_t(x)])) << x;
    }
    // No bit-field file goes into 1 byte per pixel.
    EXPECT_EQ(load(path, image(4, 1, 8, 0)), 1);
  }
}

// Run-length streams: "M" marks a pixel the stream never writes.
struct RleCase {
  const char* name;
  int bits;
  int width, height;
  std::vector<uint8_t> data;
  std::vector<const char*> rows;  // top row first: index digits or M
};

const RleCase kRleCases[] = {
    {"runs, end of line and end of bitmap", 8, 4, 2, {2, 1, 2, 2, 0, 0, 4, 3, 0, 1}, {"3333", "1122"}},
    {"odd absolute run padded to a word", 8, 5, 1, {0, 3, 1, 2, 3, 0, 2, 0, 0, 1}, {"12300"}},
    {"run longer than the row", 8, 3, 2, {9, 2, 0, 0, 1, 1, 0, 1}, {"1MM", "222"}},
    {"end of bitmap on the first row", 8, 3, 3, {1, 3, 0, 1}, {"MMM", "MMM", "3MM"}},
    {"move right and up", 8, 4, 3, {1, 1, 0, 2, 2, 1, 1, 2, 0, 0, 0, 2, 1, 0, 1, 3, 0, 1},
     {"M3MM", "MMM2", "1MMM"}},
    {"move past the right edge", 8, 3, 2, {1, 1, 0, 2, 9, 0, 5, 2, 0, 0, 1, 3, 0, 1}, {"3MM", "1MM"}},
    {"no end of bitmap after the last row", 8, 2, 2, {2, 1, 0, 0, 2, 2, 0, 0}, {"22", "11"}},
    {"4-bit runs alternate their two pixels", 4, 5, 1, {5, 0x12, 0, 1}, {"12121"}},
    {"4-bit odd absolute run", 4, 6, 1, {0, 3, 0x31, 0x20, 1, 0x33, 0, 1}, {"3123MM"}},
    {"4-bit absolute run of 5, bytes padded", 4, 6, 1, {0, 5, 0x12, 0x30, 0x10, 0, 1, 0x22, 0, 1}, {"123012"}},
};

TEST_F(BitmapFormats, RunLengthCodesWithEveryEscape) {
  for (const RleCase& c : kRleCases) {
    for (uint32_t info_size : {40u, 64u, 124u}) {
      SCOPED_TRACE(std::string(c.name) + ", header of " + std::to_string(info_size));
      BmpDesc desc{.width = c.width, .height = c.height, .bits = c.bits, .palette = kFour,
                   .compression = c.bits == 8 ? 1u : 2u, .info_size = info_size, .data = c.data};
      std::string path = write("r.bmp", make_bmp(desc));
      for (int depth : {32, 16, 8}) {
        open_screen(8, 4, depth);
        std::fill_n(screen_state->page_buffers[0], size_t(screen_state->pitch) * 4, uint8_t(0x5A));
        ImageBuffer* img = image(c.width, c.height, 32, 0);
        ASSERT_EQ(load(path, img), 0);
        ASSERT_EQ(load(path, nullptr), 0);
        for (int y = 0; y < c.height; ++y)
          for (int x = 0; x < c.width; ++x) {
            char ch = c.rows[size_t(y)][x];
            uint32_t want = ch == 'M' ? kMask32 : opaque(kFour[size_t(ch - '0')]);
            ASSERT_EQ(image_pixel(img, x, y), want) << x << "," << y;
            uint32_t on_screen = depth == 32 ? want : depth == 16 ? (ch == 'M' ? 0xF81Fu : to565(want))
                                                                  : (ch == 'M' ? 0u : uint32_t(ch - '0'));
            ASSERT_EQ(screen_pixel(0, x, y), on_screen) << depth << ": " << x << "," << y;
          }
      }
    }
  }
}

// A cut-off stream keeps what it decoded and gives 3; at no length does the
// loader read or write outside a buffer (the sanitizer run checks).
TEST_F(BitmapFormats, RunLengthFilesCutAtEveryLength) {
  open_screen(8, 4, 32);
  const RleCase& c = kRleCases[4];
  std::vector<uint8_t> whole = make_bmp({.width = c.width, .height = c.height, .bits = 8, .palette = kFour,
                                         .compression = 1, .data = c.data});
  const size_t pixels_at = whole.size() - c.data.size();
  ImageBuffer* full = image(c.width, c.height, 32, 0);
  ASSERT_EQ(load(write("whole.bmp", whole), full), 0);
  for (size_t length = 0; length < whole.size(); ++length) {
    SCOPED_TRACE(length);
    std::string path = write("cut.bmp", std::vector<uint8_t>(whole.begin(), whole.begin() + long(length)));
    ImageBuffer* img = image(c.width, c.height, 32, 0);
    EXPECT_EQ(load(path, img), 3);
    EXPECT_EQ(load(path, image(2, 2, 0, 1)), 3);
    EXPECT_EQ(load(path, nullptr), 3);
    // Whatever was decoded matches the whole file; the rest is untouched.
    if (length > pixels_at + 2) {
      EXPECT_EQ(image_pixel(img, 0, 2), image_pixel(full, 0, 2));
    }
  }
}

// Cut-off plain files keep the rows they hold and give 3.
TEST_F(BitmapFormats, CutBitFieldAndOs2FilesKeepTheirWholeRows) {
  open_screen(8, 8, 32);
  for (BmpDesc desc : {BmpDesc{.width = 3, .height = 4, .bits = 32, .pixel = pattern, .compression = 3,
                               .masks = {0xFF0000, 0xFF00, 0xFF}, .info_size = 124},
                       BmpDesc{.width = 3, .height = 4, .bits = 8, .palette = kFour,
                               .pixel = [](int x, int y) { return uint32_t(x + y) % 4; }, .info_size = 12}}) {
    std::vector<uint8_t> whole = make_bmp(desc);
    ImageBuffer* full = image(3, 4, 32, 0);
    ASSERT_EQ(load(write("whole.bmp", whole), full), 0);
    // A row counts once its pixels are there; the last one needs no padding.
    const size_t row = desc.bits == 32 ? 12 : 4, padding = desc.bits == 32 ? 0 : 1;
    const size_t pixels_at = whole.size() - 4 * row;
    for (size_t length = 0; length < whole.size(); ++length) {
      std::string path = write("cut.bmp", std::vector<uint8_t>(whole.begin(), whole.begin() + long(length)));
      ImageBuffer* img = image(3, 4, 32, 0);
      size_t rows = length >= pixels_at ? (length - pixels_at + padding) / row : 0;
      ASSERT_EQ(load(path, img), rows == 4 ? 0 : 3) << length;
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
          ASSERT_EQ(image_pixel(img, x, y), 3 - y < int(rows) ? image_pixel(full, x, y) : kMask32)
              << length << ": " << x << "," << y;
    }
  }
}

}  // namespace
