// The bitmap loader on files written here byte by byte: BMP pixel layouts,
// targets and palettes, raw blocks, refusals, and that nothing is written
// outside a destination whatever the file says.
#include <climits>

#include "drivers/driver.h"
#include "gfx/draw/context.h"
#include "gfx/formats/convert.h"
#include "tests/gfx/formats/bmp_test_support.h"

namespace {

using namespace bmp_test;

class BitmapLoader : public BitmapFixture {
 protected:
  static std::vector<uint8_t> bytes_of(const void* p, size_t n) {
    auto* b = static_cast<const uint8_t*>(p);
    return {b, b + n};
  }
  static std::vector<uint8_t> block_file(int first, const std::vector<uint8_t>& data, uint32_t length) {
    std::vector<uint8_t> f{uint8_t(first)};
    if (first == 0xFD) {
      f.insert(f.end(), {0xAA, 0xBB, 0xCC, 0xDD, uint8_t(length), uint8_t(length >> 8)});
    } else {
      for (int i = 0; i < 4; ++i) f.push_back(uint8_t(length >> (8 * i)));
    }
    f.insert(f.end(), data.begin(), data.end());
    return f;
  }
  static void expect_long_header(const ImageBuffer* image, int bpp, int w, int h, int pitch) {
    EXPECT_EQ(gfx_image_read32(image, 0), 7u);
    EXPECT_EQ(gfx_image_read32(image, 4), uint32_t(bpp));
    EXPECT_EQ(gfx_image_read32(image, 8), uint32_t(w));
    EXPECT_EQ(gfx_image_read32(image, 12), uint32_t(h));
    EXPECT_EQ(gfx_image_read32(image, 16), uint32_t(pitch));
  }
};

uint32_t opaque(uint32_t argb) { return argb | 0xFF000000u; }

TEST_F(BitmapLoader, Bmp24IntoLongImageIsOpaqueAndTopRowFirst) {
  open_screen(64, 48, 32);
  ImageBuffer* img = image(5, 3, 32, 0);
  ASSERT_TRUE(img && gfx_image_is_long(img));
  int pool = rt_str_pool_in_use();
  std::string path = write("a.bmp", make_bmp({.width = 5, .height = 3, .bits = 24, .pixel = pattern}));
  EXPECT_EQ(load(path, img), 0);
  EXPECT_EQ(rt_get_error(), 0);
  EXPECT_EQ(rt_str_pool_in_use(), pool);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(image_pixel(img, x, y), opaque(pattern(x, y))) << x << "," << y;
}

TEST_F(BitmapLoader, ShortImageBecomesLongImageOfTheFilesSize) {
  for (int depth : {32, 16}) {
    SCOPED_TRACE(depth);
    open_screen(64, 48, depth);
    ImageBuffer* img = image(33, 33, 0, 1);
    ASSERT_TRUE(img && !gfx_image_is_long(img));
    std::string path = write("t.bmp", make_bmp({.width = 32, .height = 32, .bits = 24, .pixel = pattern}));
    ASSERT_EQ(load(path, img), 0);
    int bpp = depth / 8;
    expect_long_header(img, bpp, 32, 32, 32 * bpp);
    const uint8_t* pixels = gfx_image_bytes(img) + 32;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        uint32_t want = depth == 32 ? opaque(pattern(x, y)) : to565(pattern(x, y));
        ASSERT_EQ(read_pixel(pixels + y * 32 * bpp, x, bpp), want) << x << "," << y;
      }
  }
}

TEST_F(BitmapLoader, FileLargerOrSmallerThanTheTarget) {
  open_screen(8, 6, 32);
  // Larger: the file's top-left part fills the image, the rest is dropped.
  ImageBuffer* img = image(4, 3, 32, 0);
  ASSERT_EQ(load(write("big.bmp", make_bmp({.width = 6, .height = 5, .bits = 24, .pixel = pattern})), img), 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(image_pixel(img, x, y), opaque(pattern(x, y)));
  // Smaller: the rest of the image keeps its pixels.
  img = image(4, 3, 32, 0);
  ASSERT_EQ(load(write("small.bmp", make_bmp({.width = 2, .height = 2, .bits = 24, .pixel = pattern})), img), 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(image_pixel(img, x, y), x < 2 && y < 2 ? opaque(pattern(x, y)) : 0xFFFF00FFu);
  // The screen clips the same way.
  ASSERT_EQ(load(write("huge.bmp", make_bmp({.width = 10, .height = 9, .bits = 24, .pixel = pattern})), nullptr), 0);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(screen_pixel(0, x, y), opaque(pattern(x, y)));
}

TEST_F(BitmapLoader, Bmp32KeepsAlphaAt32BitsAndDropsItAt16) {
  open_screen(16, 16, 32);
  std::string path = write("a32.bmp", make_bmp({.width = 7, .height = 3, .bits = 32, .pixel = pattern}));
  ImageBuffer* wide = image(7, 3, 32, 0);
  ImageBuffer* narrow = image(7, 3, 16, 0);
  ASSERT_EQ(load(path, wide), 0);
  ASSERT_EQ(load(path, narrow), 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x) {
      EXPECT_EQ(image_pixel(wide, x, y), pattern(x, y));
      EXPECT_EQ(image_pixel(narrow, x, y), to565(pattern(x, y)));
    }
}

TEST_F(BitmapLoader, PaletteGoesToTheDestinationOrTheScreen) {
  open_screen(16, 16, 32);
  BmpDesc desc{.width = 4, .height = 2, .bits = 8, .palette = {0xFFFFFF, 0x804020, 0x000000, 0x0C0804},
               .pixel = [](int x, int y) { return uint32_t((x + y) % 4); }};
  std::string path = write("p8.bmp", make_bmp(desc));
  std::vector<uint32_t> before(screen_state->device_palette, screen_state->device_palette + 256);
  uint32_t pal[256];
  std::fill_n(pal, 256, 0xDEADBEEFu);
  ImageBuffer* img = image(4, 2, 32, 0);
  ASSERT_EQ(load(path, img, pal), 0);
  EXPECT_EQ(pal[0], 0x3F3F3Fu);
  EXPECT_EQ(pal[1], 0x081020u);  // red 0x80, green 0x40, blue 0x20 in 6 bits, red lowest
  EXPECT_EQ(pal[2], 0u);
  EXPECT_EQ(pal[3], 0x010203u);
  EXPECT_EQ(pal[4], 0xDEADBEEFu);
  EXPECT_EQ(std::vector<uint32_t>(screen_state->device_palette, screen_state->device_palette + 256), before);
  // Coloured with the screen palette as it stands (all black above depth 8).
  EXPECT_EQ(image_pixel(img, 0, 0), 0xFF000000u);

  ASSERT_EQ(load(path, img), 0);
  EXPECT_EQ(screen_state->device_palette[0], 0xFFFFFFu);
  EXPECT_EQ(screen_state->device_palette[1], 0x204080u);  // red in the low byte
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(image_pixel(img, x, y), opaque(desc.palette[size_t((x + y) % 4)]));
}

TEST_F(BitmapLoader, PackedRowsAreUnpackedPastTheirPadding) {
  open_screen(16, 4, 8);
  // 9 pixels of 1 bit: two data bytes and two padding bytes per row.
  auto one_bit = [](int x, int y) { return uint32_t((x * 5 + y) % 3 == 0 || x == 8); };
  std::vector<uint8_t> f = make_bmp({.width = 9, .height = 3, .bits = 1, .palette = {0, 0xFFFFFF}, .pixel = one_bit});
  ASSERT_EQ(f.size(), 62u + 3 * 4);
  ASSERT_EQ(load(write("b1.bmp", f), nullptr), 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 16; ++x) EXPECT_EQ(screen_pixel(0, x, y), x < 9 ? one_bit(x, y) : 0u) << x << "," << y;
}

TEST_F(BitmapLoader, IndicesAreMaskedToTheScreenDepth) {
  open_screen(8, 2, 4);
  ASSERT_EQ(load(write("i.bmp", make_bmp({.width = 2, .height = 1, .bits = 8, .pixel = [](int x, int) {
                                           return x ? 0xABu : 0x07u;
                                         }})),
                 nullptr),
            0);
  EXPECT_EQ(screen_pixel(0, 0, 0), 0x07u);
  EXPECT_EQ(screen_pixel(0, 1, 0), 0x0Bu);
}

TEST_F(BitmapLoader, SixteenBitFilesAreRefusedBeforeAnythingIsWritten) {
  open_screen(16, 16, 32);
  ImageBuffer* img = image(4, 4, 0, 1);
  size_t room = gfx_image_room(img);
  std::vector<uint8_t> before = bytes_of(img, room);
  for (int bits : {16, 15}) {
    std::vector<uint8_t> f = make_bmp({.width = 3, .height = 2, .bits = 16});
    put16(f, 28, uint32_t(bits));
    EXPECT_EQ(load(write("s16.bmp", f), img), 1) << bits;
    EXPECT_EQ(rt_get_error(), 1);
    EXPECT_EQ(bytes_of(img, room), before);
  }
}

TEST_F(BitmapLoader, TrueColourFilesCannotGoIntoOneBytePerPixel) {
  open_screen(16, 16, 8);
  std::string path = write("t24.bmp", make_bmp({.width = 3, .height = 2, .bits = 24, .pixel = pattern}));
  ImageBuffer* long8 = image(4, 4, 8, 0);
  std::vector<uint8_t> before = bytes_of(long8, gfx_image_room(long8));
  EXPECT_EQ(load(path, long8), 1);
  EXPECT_EQ(bytes_of(long8, gfx_image_room(long8)), before);
  // A fresh image has its header rewritten by then, but gets no pixel.
  ImageBuffer* short8 = image(4, 4, 0, 1);
  size_t room = gfx_image_room(short8);
  std::vector<uint8_t> pixels = bytes_of(gfx_image_bytes(short8) + 32, room - 32);
  EXPECT_EQ(load(path, short8), 1);
  expect_long_header(short8, 1, 3, 2, 16);
  EXPECT_EQ(bytes_of(gfx_image_bytes(short8) + 32, room - 32), pixels);
  EXPECT_EQ(load(path, nullptr), 1);
}

TEST_F(BitmapLoader, WithoutAScreenOnlyBlocksIntoABufferLoad) {
  // A caller's buffer with a long header for 4 x 2 pixels of 4 bytes: 64 bytes.
  std::vector<uint8_t> buffer(64, 0x55);
  uint32_t header[5] = {7, 4, 4, 2, 16};
  std::memcpy(buffer.data(), header, sizeof header);
  std::vector<uint8_t> data(20);
  for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(0xA0 + i);
  auto* dest = reinterpret_cast<ImageBuffer*>(buffer.data());
  int pool = rt_str_pool_in_use();
  EXPECT_EQ(load(write("blk", block_file(0xFE, data, 20)), dest), 0);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), buffer.begin()));
  EXPECT_EQ(buffer[20], 0x55);
  std::string bmp = write("x.bmp", make_bmp({.width = 2, .height = 2}));
  EXPECT_EQ(load(bmp, dest), 1);
  EXPECT_EQ(rt_get_error(), 1);
  EXPECT_EQ(load(bmp, nullptr), 1);
  EXPECT_EQ(load(write("blk2", block_file(0xFE, data, 20)), nullptr), 1);
  EXPECT_EQ(rt_str_pool_in_use(), pool);
}

TEST_F(BitmapLoader, FirstByteAndOpeningDecideTheFormat) {
  open_screen(8, 8, 32);
  ImageBuffer* img = image(2, 2, 32, 0);
  int pool = rt_str_pool_in_use();
  for (std::vector<uint8_t> f : std::vector<std::vector<uint8_t>>{{'A', 'B'}, {0}, {}, {0xFF, 1, 2}, {'B', 'X'}}) {
    EXPECT_EQ(load(write("f", f), img), 3);
    EXPECT_EQ(rt_get_error(), 3);
  }
  EXPECT_EQ(load(dir_ + "/missing.bmp", img), 2);
  EXPECT_EQ(rt_get_error(), 2);
  EXPECT_EQ(load(write("cut", {0xFE, 10, 0}), img), 3);  // the length itself ends early
  // Bad headers: not "BM", information header of another size.
  std::vector<uint8_t> f = make_bmp({.width = 2, .height = 2});
  f[1] = 'A';
  EXPECT_EQ(load(write("bad", f), img), 3);
  f = make_bmp({.width = 2, .height = 2});
  put32(f, 14, 124);
  EXPECT_EQ(load(write("v5", f), img), 3);
  EXPECT_EQ(rt_str_pool_in_use(), pool);
}

TEST_F(BitmapLoader, BlocksCopyTheirBytesUnconverted) {
  open_screen(8, 8, 32);
  ImageBuffer* img = image(4, 4, 0, 1);
  size_t room = gfx_image_room(img);
  std::vector<uint8_t> before = bytes_of(img, room);
  std::vector<uint8_t> data{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  ASSERT_EQ(load(write("b10", block_file(0xFE, data, 10)), img), 0);
  std::vector<uint8_t> after = bytes_of(img, room);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), after.begin()));
  EXPECT_TRUE(std::equal(after.begin() + 10, after.end(), before.begin() + 10));
  // The short form: four ignored bytes, then a 16-bit length.
  data = {9, 8, 7};
  ASSERT_EQ(load(write("fd", block_file(0xFD, data, 3)), img), 0);
  EXPECT_EQ(bytes_of(img, 4), (std::vector<uint8_t>{9, 8, 7, 4}));
  // A length beyond the file's end loads what is there.
  ASSERT_EQ(load(write("short", block_file(0xFE, {42}, 100)), img), 0);
  EXPECT_EQ(gfx_image_bytes(img)[0], 42);
}

TEST_F(BitmapLoader, BlockOnAPaletteScreenBringsItsPalette) {
  open_screen(16, 8, 8);
  std::vector<uint8_t> data(16 * 8);
  for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 3);
  std::vector<uint8_t> with_palette = data;
  with_palette.insert(with_palette.end(), 256 * 3, 63);
  std::fill_n(screen_state->dirty_rows, 8, 0);
  ASSERT_EQ(load(write("scr", block_file(0xFE, with_palette, uint32_t(data.size()))), nullptr), 0);
  EXPECT_EQ(bytes_of(screen_state->page_buffers[0], data.size()), data);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(screen_state->device_palette[i], 0xFCFCFCu) << i;
  for (int y = 0; y < 8; ++y) EXPECT_EQ(screen_state->dirty_rows[y], 1);

  // Into a palette destination the values stay 6-bit and the screen keeps its own.
  uint32_t pal[256] = {};
  with_palette = data;
  for (int i = 0; i < 256; ++i) with_palette.insert(with_palette.end(), {uint8_t(i % 64), 1, 2});
  ASSERT_EQ(load(write("scr2", block_file(0xFE, with_palette, uint32_t(data.size()))), nullptr, pal), 0);
  EXPECT_EQ(pal[5], 0x020105u);
  EXPECT_EQ(pal[255], 0x02013Fu);
  EXPECT_EQ(screen_state->device_palette[5], 0xFCFCFCu);
}

TEST_F(BitmapLoader, BlockLongerThanThePageStillFindsItsPalette) {
  open_screen(4, 2, 8);
  std::vector<uint8_t> data(8 + 5, 0x11);  // 5 bytes more than the page holds
  for (int i = 0; i < 256; ++i) data.insert(data.end(), {uint8_t(i % 64), 0, 0});
  ASSERT_EQ(load(write("long", block_file(0xFE, data, 13)), nullptr), 0);
  EXPECT_EQ(screen_state->device_palette[1], 0x4u);
  EXPECT_EQ(screen_state->device_palette[63], 0xFCu);
}

TEST_F(BitmapLoader, BlockOnATrueColourScreenWritesNoPalette) {
  open_screen(4, 2, 32);
  std::vector<uint8_t> data(32 + 3 * 1024, 63);
  std::vector<uint32_t> before(screen_state->device_palette, screen_state->device_palette + 256);
  ASSERT_EQ(load(write("t", block_file(0xFE, data, 32)), nullptr), 0);
  EXPECT_EQ(std::vector<uint32_t>(screen_state->device_palette, screen_state->device_palette + 256), before);
  EXPECT_EQ(screen_pixel(0, 3, 1), 0x3F3F3F3Fu);
}

TEST_F(BitmapLoader, RewriteStaysInsideTheImagesRoom) {
  open_screen(32, 32, 32);
  ImageBuffer* img = image(4, 4, 0, 1);
  ASSERT_EQ(gfx_image_room(img), 32u + 4 * 16);
  // 20 x 20 at 4 bytes would need 32 + 20 x 80 bytes: one row of 16 pixels fits.
  ASSERT_EQ(load(write("big.bmp", make_bmp({.width = 20, .height = 20, .bits = 24, .pixel = pattern})), img), 0);
  expect_long_header(img, 4, 16, 1, 64);
  for (int x = 0; x < 16; ++x) EXPECT_EQ(image_pixel(img, x, 0), opaque(pattern(x, 0)));
}

TEST_F(BitmapLoader, BlocksOfUnknownOriginNeverGrow) {
  open_screen(32, 32, 32);
  // Short header: 8 pixels of 4 bytes, 2 rows, so 68 bytes in all.
  auto* raw = static_cast<uint8_t*>(std::calloc(68, 1));
  uint16_t fields[2] = {uint16_t(8 << 3 | 4), 2};
  std::memcpy(raw, fields, 4);
  auto* dest = reinterpret_cast<ImageBuffer*>(raw);
  ASSERT_EQ(load(write("u.bmp", make_bmp({.width = 8, .height = 2, .bits = 24, .pixel = pattern})), dest), 0);
  expect_long_header(dest, 4, 8, 1, 32);  // the long form of 8 x 2 needs 96 bytes
  for (int x = 0; x < 8; ++x) EXPECT_EQ(image_pixel(dest, x, 0), opaque(pattern(x, 0)));
  // Its long header now says 32 + 32 bytes: a block gets no more.
  std::vector<uint8_t> data(500, 0x77);
  ASSERT_EQ(load(write("u.blk", block_file(0xFE, data, 500)), dest), 0);
  EXPECT_EQ(raw[63], 0x77);
  EXPECT_EQ(raw[64], 0);
  // Too small for one row of the long form: refused untouched.
  uint8_t tiny[40] = {uint8_t(1 << 3 | 4), 0, 1, 0};
  EXPECT_EQ(load(write("t.bmp", make_bmp({.width = 2, .height = 2})), reinterpret_cast<ImageBuffer*>(tiny)), 1);
  EXPECT_EQ(tiny[0], uint8_t(1 << 3 | 4));
  std::free(raw);
}

TEST_F(BitmapLoader, MalformedLongHeadersAreRefused) {
  open_screen(8, 8, 32);
  uint32_t block[16] = {7, 3, 2, 2, 16};  // 3 bytes per pixel does not exist
  auto* dest = reinterpret_cast<ImageBuffer*>(block);
  std::string path = write("m.bmp", make_bmp({.width = 2, .height = 2}));
  EXPECT_EQ(load(path, dest), 1);
  block[1] = 4;
  block[4] = 4;  // a pitch shorter than a row
  EXPECT_EQ(load(path, dest), 1);
  // A block file can put any header over an image; one that claims more
  // rows than the image's block holds is not believed.
  ImageBuffer* img = image(2, 2, 32, 0);
  uint32_t header[5] = {7, 4, 2, 100000, 16};
  std::vector<uint8_t> blk{0xFE, 20, 0, 0, 0};
  blk.insert(blk.end(), reinterpret_cast<uint8_t*>(header), reinterpret_cast<uint8_t*>(header) + 20);
  ASSERT_EQ(load(write("hdr.blk", blk), img), 0);
  EXPECT_EQ(load(path, img), 1);
}

TEST_F(BitmapLoader, ImpossibleSizesAndBitCountsAreBadData) {
  open_screen(8, 8, 32);
  ImageBuffer* img = image(4, 4, 0, 1);
  size_t room = gfx_image_room(img);
  std::vector<uint8_t> before = bytes_of(img, room);
  struct Case {
    int32_t width, height, bits;
  } cases[] = {{0, 2, 24}, {-5, 2, 24}, {INT_MIN, 2, 24}, {2, 0, 24}, {2, INT_MIN, 24},
               {2, 2, 0},  {2, 2, 64},  {2, 2, 7},        {2, 2, 3}};
  for (const Case& c : cases) {
    std::vector<uint8_t> f = make_bmp({.width = 2, .height = 2});
    put32(f, 18, uint32_t(c.width));
    put32(f, 22, uint32_t(c.height));
    put16(f, 28, uint32_t(c.bits));
    EXPECT_EQ(load(write("z.bmp", f), img), 3) << c.width << " " << c.height << " " << c.bits;
    EXPECT_EQ(bytes_of(img, room), before);
  }
}

// Sides beyond 16 bits are valid: the target bounds what is read.
TEST_F(BitmapLoader, FilesOfAnySizeFillWhatTheTargetHolds) {
  open_screen(8, 8, 32);
  for (int bits : {24, 1, 8}) {
    SCOPED_TRACE(bits);
    std::vector<uint32_t> two = {0x102030, 0xA0B0C0};
    auto pixel = [bits](int x, int y) { return bits == 24 ? pattern(x % 97, y % 89) : uint32_t(x * 3 + y) % 2; };
    auto colour = [&](int x, int y) { return bits == 24 ? opaque(pattern(x % 97, y % 89)) : opaque(two[pixel(x, y)]); };
    std::vector<uint32_t> palette = bits == 24 ? std::vector<uint32_t>{} : two;
    ImageBuffer* wide = image(16, 1, 32, 0);
    ASSERT_EQ(load(write("w.bmp", make_bmp({.width = 70000, .height = 1, .bits = bits, .palette = palette,
                                           .pixel = pixel})),
                   wide),
              0);
    for (int x = 0; x < 16; ++x) ASSERT_EQ(image_pixel(wide, x, 0), colour(x, 0)) << x;
    for (int height : {70000, -70000}) {
      ImageBuffer* tall = image(1, 16, 32, 0);
      ASSERT_EQ(load(write("t.bmp", make_bmp({.width = 1, .height = height, .bits = bits, .palette = palette,
                                             .pixel = pixel})),
                     tall),
                0);
      for (int y = 0; y < 16; ++y) ASSERT_EQ(image_pixel(tall, 0, y), colour(0, y)) << height << " " << y;
    }
  }
  // A short image becomes as wide as its block allows.
  ImageBuffer* img = image(4, 4, 0, 1);
  ASSERT_EQ(load(write("w2.bmp", make_bmp({.width = 70000, .height = 1, .pixel = pattern})), img), 0);
  expect_long_header(img, 4, 16, 1, 64);
  EXPECT_EQ(image_pixel(img, 15, 0), opaque(pattern(15, 0)));
  // Huge sides with no pixels behind them are bad data, found quickly.
  std::vector<uint8_t> f = make_bmp({.width = 2, .height = 2});
  put32(f, 18, uint32_t(INT_MAX));
  put32(f, 22, uint32_t(-INT_MAX));
  EXPECT_EQ(load(write("h.bmp", f), image(16, 16, 32, 0)), 3);
  EXPECT_EQ(load(write("h.bmp", f), nullptr), 3);
}

TEST_F(BitmapLoader, PaletteCountIsClampedAndPixelsStartAtTheirOffset) {
  open_screen(32, 32, 32);
  // 300 entries: the first 256 are the palette, the rest is passed over.
  std::vector<uint32_t> pal(300);
  for (size_t i = 0; i < pal.size(); ++i) pal[i] = uint32_t(i * 0x010307) & 0xFFFFFF;
  auto index = [](int x, int y) { return uint32_t(x * 16 + y * 3) & 0xFF; };
  ImageBuffer* img = image(16, 4, 32, 0);
  ASSERT_EQ(load(write("p300.bmp", make_bmp({.width = 16, .height = 4, .bits = 8, .palette = pal, .pixel = index})),
                 img),
            0);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(screen_state->device_palette[i], (pal[size_t(i)] >> 16) | (pal[size_t(i)] & 0xFF00) | (pal[size_t(i)] & 0xFF) << 16);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 16; ++x) EXPECT_EQ(image_pixel(img, x, y), opaque(pal[index(x, y)]));

  // A gap that is no whole palette entry between palette and pixels.
  img = image(3, 2, 32, 0);
  ASSERT_EQ(load(write("gap.bmp", make_bmp({.width = 3, .height = 2, .bits = 24, .pixel = pattern, .gap = 6})), img), 0);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(image_pixel(img, x, y), opaque(pattern(x, y)));

  // An offset inside the headers: the pixels follow the headers.
  std::vector<uint8_t> f = make_bmp({.width = 3, .height = 2, .bits = 24, .pixel = pattern});
  put32(f, 10, 0);
  img = image(3, 2, 32, 0);
  ASSERT_EQ(load(write("zero.bmp", f), img), 0);
  EXPECT_EQ(image_pixel(img, 2, 1), opaque(pattern(2, 1)));
}

TEST_F(BitmapLoader, TopDownFilesLoadTheRightWayUp) {
  open_screen(16, 16, 32);
  const std::vector<uint32_t> two = {0x102030, 0x405060};
  for (BmpDesc desc : {BmpDesc{.width = 5, .height = 4, .bits = 1, .palette = two,
                               .pixel = [](int x, int y) { return uint32_t(x * y + y) % 2; }},
                       BmpDesc{.width = 5, .height = 4, .bits = 32, .pixel = pattern}}) {
    SCOPED_TRACE(desc.bits);
    ImageBuffer* up = image(5, 4, 32, 0);
    ImageBuffer* down = image(5, 4, 32, 0);
    ASSERT_EQ(load(write("up.bmp", make_bmp(desc)), up), 0);
    desc.height = -4;
    ASSERT_EQ(load(write("dn.bmp", make_bmp(desc)), down), 0);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x) EXPECT_EQ(image_pixel(down, x, y), image_pixel(up, x, y)) << x << "," << y;
    EXPECT_EQ(image_pixel(down, 4, 3), desc.bits == 1 ? opaque(two[1]) : pattern(4, 3));
  }
}

// JPEG and PNG inside a BMP, OS/2 Huffman and 24-bit runs, and codings that
// do not fit the bit count are bad data, refused before anything is written.
TEST_F(BitmapLoader, CompressionsThatAreNotReadAreRefused) {
  open_screen(16, 16, 32);
  ImageBuffer* img = image(3, 2, 0, 1);
  std::vector<uint8_t> before = bytes_of(img, gfx_image_room(img));
  struct Case {
    uint32_t info_size, compression;
    int bits;
  } cases[] = {{40, 4, 24}, {40, 5, 24}, {124, 4, 0},  {124, 5, 0},  {64, 3, 1},  {64, 4, 24}, {40, 7, 8},
               {40, 1, 4},  {40, 2, 8},  {40, 1, 24},  {40, 3, 24},  {40, 6, 8},  {108, 3, 24}, {40, 11, 32}};
  for (const Case& c : cases) {
    std::vector<uint8_t> f = make_bmp({.width = 3, .height = 2, .bits = c.bits, .palette = {0, 0xFFFFFF},
                                       .compression = c.compression, .masks = {0xFF0000, 0xFF00, 0xFF},
                                       .info_size = c.info_size});
    EXPECT_EQ(load(write("c.bmp", f), img), 3) << c.info_size << " " << c.compression << " " << c.bits;
  }
  // Information header sizes that no writer uses.
  for (uint32_t size : {0u, 20u, 41u, 100u, 128u, 0xFFFFFFFFu}) {
    std::vector<uint8_t> f = make_bmp({.width = 3, .height = 2});
    put32(f, 14, size);
    EXPECT_EQ(load(write("s.bmp", f), img), 3) << size;
  }
  EXPECT_EQ(bytes_of(img, gfx_image_room(img)), before);
}

TEST_F(BitmapLoader, FileEndingInsideThePixelsKeepsTheRowsRead) {
  open_screen(8, 8, 32, 1);
  std::vector<uint8_t> f = make_bmp({.width = 4, .height = 4, .bits = 24, .pixel = pattern});
  f.resize(54 + 2 * 12 + 5);  // two whole rows (the bottom ones) and part of a third
  std::fill_n(screen_state->dirty_rows, 8, 0);
  EXPECT_EQ(load(write("cut.bmp", f), nullptr), 3);
  EXPECT_EQ(rt_get_error(), 3);
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(screen_pixel(0, x, 3), opaque(pattern(x, 3)));
    EXPECT_EQ(screen_pixel(0, x, 2), opaque(pattern(x, 2)));
    EXPECT_NE(screen_pixel(0, x, 1), opaque(pattern(x, 1)));
  }
  EXPECT_EQ(screen_state->dirty_rows[0], 1);
  EXPECT_EQ(screen_state->flags & (kScreenLocked | kScreenLockOwner), 0u);
  // A palette that ends early is bad data too, found before any pixel.
  f = make_bmp({.width = 2, .height = 1, .bits = 8, .palette = std::vector<uint32_t>(200)});
  f.resize(54 + 100);
  EXPECT_EQ(load(write("pcut.bmp", f), nullptr), 3);
}

TEST_F(BitmapLoader, EitherFolderSeparatorOpensTheSameFile) {
  open_screen(8, 8, 32);
  std::filesystem::create_directory(dir_ + "/art");
  write("art/pic.bmp", make_bmp({.width = 2, .height = 2, .bits = 24, .pixel = pattern}));
  ImageBuffer* a = image(2, 2, 32, 0);
  ImageBuffer* b = image(2, 2, 32, 0);
  ASSERT_EQ(load(dir_ + "/art/pic.bmp", a), 0);
  ASSERT_EQ(load(dir_ + "\\art\\pic.bmp", b), 0);
  EXPECT_EQ(image_pixel(b, 1, 1), image_pixel(a, 1, 1));
  // A name too long for the name buffer is not cut down to some other file.
  std::string longer = dir_ + "/art/pic.bmp" + std::string(300, '/');
  EXPECT_EQ(load(longer, a), 2);
}

// Records what the screen asks of the driver.
int locks, unlocks, palette_calls;
int counting_init(const char*, int, int, int, int, int) { return 0; }
void counting_exit() {}
void counting_lock() { ++locks; }
void counting_unlock() { ++unlocks; }
void counting_palette(int, int, int, int) { ++palette_calls; }
const GfxDriver counting{"Counting", counting_init, counting_exit, counting_lock, counting_unlock, counting_palette,
                         nullptr,    nullptr,       nullptr,       nullptr,       nullptr,         nullptr,
                         nullptr,    nullptr};
const GfxDriver* const counting_list[] = {&counting, nullptr};

TEST_F(BitmapLoader, LocksOnceAndTellsTheDriverOfANewPalette) {
  unsetenv("ZQGFX");
  driver_set_list(counting_list);
  open_screen(8, 8, 8);
  std::string path = write("p.bmp", make_bmp({.width = 2, .height = 2, .bits = 8, .palette = {0xFF0000, 0x00FF00}}));
  locks = unlocks = palette_calls = 0;
  ASSERT_EQ(load(path, nullptr), 0);
  EXPECT_EQ(locks, 1);
  EXPECT_EQ(unlocks, 1);
  EXPECT_EQ(palette_calls, 256);
  ImageBuffer* img = image(2, 2, 8, 0);
  locks = unlocks = palette_calls = 0;
  uint32_t pal[256];
  ASSERT_EQ(load(path, img, pal), 0);
  EXPECT_EQ(locks, 1);  // held for image targets too
  EXPECT_EQ(palette_calls, 0);
  // Inside an operation that holds the lock the loader neither locks nor releases.
  locks = unlocks = 0;
  screen_state->flags |= kScreenLocked | kScreenLockOwner;
  ASSERT_EQ(load(path, nullptr), 0);
  EXPECT_EQ(locks + unlocks, 0);
  EXPECT_NE(screen_state->flags & kScreenLockOwner, 0u);
  screen_state->flags &= ~(kScreenLocked | kScreenLockOwner);
  gfx_close_at_exit();
  driver_set_list(nullptr);
}

TEST_F(BitmapLoader, OnlyTheVisiblePageIsMarkedDirty) {
  open_screen(8, 4, 32, 2);
  std::string bmp = write("v.bmp", make_bmp({.width = 8, .height = 4, .bits = 24, .pixel = pattern}));
  std::string blk = write("v.blk", block_file(0xFE, std::vector<uint8_t>(128, 9), 128));
  for (const std::string& path : {bmp, blk}) {
    GfxContext* ctx = gfx_get_context();
    ctx->work_page = 0;
    ctx->flags |= kCtxScreenNotBuilt;
    std::fill_n(screen_state->dirty_rows, 4, 0);
    ASSERT_EQ(load(path, nullptr), 0);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(screen_state->dirty_rows[y], 1);

    ctx->work_page = 1;  // drawing on the hidden page
    ctx->flags |= kCtxScreenNotBuilt;
    std::fill_n(screen_state->dirty_rows, 4, 0);
    std::vector<uint8_t> shown = bytes_of(screen_state->page_buffers[0], 128);
    ASSERT_EQ(load(path, nullptr), 0);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(screen_state->dirty_rows[y], 0);
    EXPECT_EQ(bytes_of(screen_state->page_buffers[1], 128), shown);
  }
}

TEST_F(BitmapLoader, ConvertRowCoversEveryLayout) {
  open_screen(4, 4, 32);
  screen_state->device_palette[7] = 0x336699;  // red 0x99, green 0x66, blue 0x33
  const uint8_t bgra[] = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80};
  const uint8_t index[] = {7, 7};
  struct Case {
    const uint8_t* src;
    int src_bits, target_bits, red_first;
    uint32_t first, second;
  } cases[] = {
      {index, 8, 32, 0, 0xFF996633u, 0xFF996633u},
      {index, 4, 16, 1, 0x9B26u, 0x9B26u},
      {bgra, 24, 32, 0, 0xFF302010u, 0xFF605040u},
      {bgra, 24, 24, 1, 0xFF102030u, 0xFF405060u},  // 3 bytes are served as 4
      {bgra, 24, 16, 0, uint32_t(to565(0x302010)), uint32_t(to565(0x605040))},
      {bgra, 24, 16, 1, uint32_t(to565(0x102030)), uint32_t(to565(0x405060))},
      {bgra, 32, 32, 0, 0x40302010u, 0x80706050u},
      {bgra, 32, 32, 1, 0x40102030u, 0x80506070u},
      {bgra, 32, 16, 0, uint32_t(to565(0x302010)), uint32_t(to565(0x706050))},
      {bgra, 32, 16, 1, uint32_t(to565(0x102030)), uint32_t(to565(0x506070))},
  };
  for (const Case& c : cases) {
    uint8_t out[1 + 8] = {};
    int bpp = c.target_bits > 16 ? 4 : 2;
    gfx_image_convert_row(c.src, c.src_bits, out + 1, c.target_bits, 2, c.red_first);  // an odd address
    EXPECT_EQ(read_pixel(out + 1, 0, bpp), c.first) << c.src_bits << " " << c.target_bits << " " << c.red_first;
    EXPECT_EQ(read_pixel(out + 1, 1, bpp), c.second) << c.src_bits << " " << c.target_bits << " " << c.red_first;
  }
  // Combinations without a converter leave the row alone.
  for (int target_bits : {8, 0, 33, -8}) {
    uint8_t out[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    gfx_image_convert_row(bgra, 24, out, target_bits, 2, 0);
    EXPECT_EQ(out[0], 1) << target_bits;
  }
  gfx_close_at_exit();
  uint8_t out[2] = {5, 5};
  gfx_image_convert_row(index, 8, out, 8, 2, 0);  // no screen, no palette
  EXPECT_EQ(out[0], 5);
}

}  // namespace
