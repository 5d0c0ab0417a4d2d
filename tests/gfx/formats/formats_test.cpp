// The format table: every file loads the same from memory as from its file,
// data no entry accepts is refused with what its first bytes look like, and
// each refusal of the BMP reader names the file and what was wrong.
#include <filesystem>

#include "tests/gfx/formats/bmp_test_support.h"
#include "zentravolk/shortcuts.h"

namespace {

using namespace bmp_test;

std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string corpus_dir() {
  const char* source = std::getenv("ZQ_SOURCE_DIR");
  return std::string(source ? source : ".") + "/tests/fuzz/corpus";
}

class Formats : public BitmapFixture {
 protected:
  // Loads bytes from memory and expects the number and the reason.
  void expect_refused(const std::vector<uint8_t>& bytes, ImageBuffer* dest, int error, const std::string& reason) {
    EXPECT_EQ(gfx_load_bitmap_mem(bytes.data(), bytes.size(), dest, nullptr), error);
    EXPECT_EQ(rt_get_error(), error);
    EXPECT_EQ(std::string(rt_error_detail()), reason);
  }
};

// Each seed file (every BMP header, compression and bit count, and raw
// blocks) into each kind of target: the same result, pixels, palette and
// header from memory as from the file.
TEST_F(Formats, MemoryLoadsAsTheFileDoes) {
  std::vector<std::string> paths;
  for (const auto& e : std::filesystem::directory_iterator(corpus_dir())) paths.push_back(e.path().string());
  ASSERT_GT(paths.size(), 10u);
  for (int depth : {8, 16, 32}) {
    open_screen(48, 32, depth);
    for (const std::string& path : paths) {
      SCOPED_TRACE(path + " at " + std::to_string(depth));
      const std::vector<uint8_t> bytes = read_file(path);
      for (int compat : {0, 1}) {
        ImageBuffer* from_file = image(40, 24, 0, compat);
        ImageBuffer* from_memory = image(40, 24, 0, compat);
        uint32_t palette_file[256] = {}, palette_memory[256] = {};
        int result = load(path, from_file, palette_file);
        EXPECT_EQ(gfx_load_bitmap_mem(bytes.data(), bytes.size(), from_memory, palette_memory), result);
        EXPECT_EQ(rt_get_error(), result);
        ImageInfo a = gfx_image_info(from_file), b = gfx_image_info(from_memory);
        ASSERT_EQ(std::memcmp(from_file, from_memory, 20), 0);  // the header's fields
        for (int y = 0; y < a.height; ++y)
          ASSERT_EQ(std::memcmp(a.pixels + size_t(y) * size_t(a.pitch), b.pixels + size_t(y) * size_t(b.pitch),
                                size_t(a.width) * size_t(a.bytes_per_pixel)),
                    0);
        EXPECT_EQ(std::memcmp(palette_file, palette_memory, sizeof palette_file), 0);
      }
      // Onto the screen, its palette included.
      ScreenState* s = screen_state;
      const size_t page = size_t(s->pitch) * size_t(s->height);
      std::memset(s->page_buffers[0], 0, page);
      int result = load(path, nullptr);
      std::vector<uint8_t> pixels(s->page_buffers[0], s->page_buffers[0] + page);
      std::vector<uint32_t> colours(s->device_palette, s->device_palette + 256);
      std::memset(s->page_buffers[0], 0, page);
      EXPECT_EQ(gfx_load_bitmap_mem(bytes.data(), bytes.size(), nullptr, nullptr), result);
      EXPECT_EQ(std::memcmp(s->page_buffers[0], pixels.data(), page), 0);
      EXPECT_EQ(std::memcmp(s->device_palette, colours.data(), 256 * 4), 0);
    }
  }
}

TEST_F(Formats, NewImagesFromMemoryMatchThoseFromFiles) {
  open_screen(16, 16, 32);
  BmpDesc d{.width = 9, .height = 5, .bits = 24, .pixel = pattern};
  const std::vector<uint8_t> bytes = make_bmp(d);
  ImageBuffer* from_file = gfx_load_image(write("a.bmp", bytes).c_str());
  ImageBuffer* from_memory = gfx_load_image_mem(bytes.data(), bytes.size());
  ASSERT_NE(from_file, nullptr);
  ASSERT_NE(from_memory, nullptr);
  EXPECT_EQ(rt_get_error(), ZQ_OK);
  ImageInfo info = gfx_image_info(from_memory);
  EXPECT_EQ(info.width, 9);
  EXPECT_EQ(info.height, 5);
  EXPECT_EQ(std::memcmp(from_file, from_memory, 20), 0);  // the header's fields
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 9; ++x) EXPECT_EQ(image_pixel(from_memory, x, y), image_pixel(from_file, x, y));
  gfx_image_destroy(from_file);
  gfx_image_destroy(from_memory);

  // A raw block states no size; empty data is refused like any other.
  const std::vector<uint8_t> block = {0xFE, 1, 0, 0, 0, 42};
  EXPECT_EQ(gfx_load_image_mem(block.data(), block.size()), nullptr);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_STREQ(rt_error_detail(), "data in memory: a raw block file states no image size; load it into an image of your own");
  EXPECT_EQ(gfx_load_image_mem(nullptr, 0), nullptr);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_FILE_IO);
  EXPECT_EQ(gfx_load_image_mem(nullptr, 4), nullptr);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_STREQ(rt_error_detail(), "no data given for 4 bytes");
}

TEST_F(Formats, DataNoEntryAcceptsIsNamedByItsFirstBytes) {
  open_screen(16, 16, 32);
  ImageBuffer* dest = image(8, 8, 32, 0);
  const std::string refused = "data in memory: not an image file this library reads (BMP, PNG or raw block): ";
  expect_refused({0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10}, dest, ZQ_ERR_FILE_IO,
                 refused + "starts with FF D8 FF E0 (a JPEG file)");
  expect_refused({'G', 'I', 'F', '8', '9', 'a'}, dest, ZQ_ERR_FILE_IO, refused + "starts with 47 49 46 38 (a GIF file)");
  expect_refused({'R', 'I', 'F', 'F', 9, 9, 9, 9, 'W', 'E', 'B', 'P'}, dest, ZQ_ERR_FILE_IO,
                 refused + "starts with 52 49 46 46 (a WebP file)");
  expect_refused({'#', '!'}, dest, ZQ_ERR_FILE_IO, refused + "starts with 23 21");
  expect_refused({}, dest, ZQ_ERR_FILE_IO, refused + "is empty");
  // A name that is a folder opens but cannot be read.
  EXPECT_EQ(load(dir_, dest), ZQ_ERR_FILE_IO);
  EXPECT_EQ(std::string(rt_error_detail()), dir_ + ": cannot be read (Is a directory)");
}

// The refusals of the BMP reader and the loader's entry, each with the file
// name and its cause.
TEST_F(Formats, BmpRefusalsNameTheFileAndTheCause) {
  open_screen(16, 16, 32);
  ImageBuffer* dest = image(16, 16, 32, 0);
  ImageBuffer* palette_image = image(16, 16, 8, 0);
  struct Row {
    BmpDesc desc;
    ImageBuffer* dest;
    int error;
    std::string reason;
  };
  BmpDesc jpeg{.width = 4, .height = 4, .bits = 0, .compression = 4};
  BmpDesc png{.width = 4, .height = 4, .bits = 0, .compression = 5};
  BmpDesc runs24{.width = 4, .height = 4, .bits = 24, .compression = 1};
  BmpDesc sixteen{.width = 4, .height = 4, .bits = 16};
  BmpDesc seven{.width = 4, .height = 4, .bits = 7};
  BmpDesc zero_wide{.width = 0, .height = 4, .bits = 24};
  BmpDesc info_size{.info_size = 41};
  BmpDesc true_colour{.width = 4, .height = 4, .bits = 24};
  const Row rows[] = {
      {jpeg, dest, ZQ_ERR_FILE_IO, "compression 4 (JPEG inside BMP) not supported"},
      {png, dest, ZQ_ERR_FILE_IO, "compression 5 (PNG inside BMP) not supported"},
      {runs24, dest, ZQ_ERR_FILE_IO, "compression 1 (8-bit runs) needs 8 bits per pixel, not 24"},
      {sixteen, dest, ZQ_ERR_ILLEGAL_CALL, "16 bits per pixel not supported"},
      {seven, dest, ZQ_ERR_FILE_IO, "7 bits per pixel is not a BMP pixel size"},
      {zero_wide, dest, ZQ_ERR_FILE_IO, "image size 0 x 4 is impossible"},
      {info_size, dest, ZQ_ERR_FILE_IO, "information header of 41 bytes is not a BMP header size"},
      {true_colour, palette_image, ZQ_ERR_ILLEGAL_CALL, "a 24-bit BMP cannot load into an image of 1 byte per pixel"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reason);
    const std::string path = write("p1.bmp", make_bmp(row.desc));
    EXPECT_EQ(load(path, row.dest), row.error);
    EXPECT_EQ(rt_get_error(), row.error);
    EXPECT_EQ(std::string(rt_error_detail()), path + ": " + row.reason);
  }

  // Data that ends early: in the headers, the palette, the rows or the runs.
  std::vector<uint8_t> eight = make_bmp({.width = 5, .height = 3, .bits = 8, .palette = std::vector<uint32_t>(16, 7)});
  const std::string m = "data in memory: ";
  expect_refused({eight.begin(), eight.begin() + 10}, dest, ZQ_ERR_FILE_IO, m + "file ends inside its BMP file header");
  expect_refused({eight.begin(), eight.begin() + 30}, dest, ZQ_ERR_FILE_IO,
                 m + "file ends inside its 40-byte information header");
  expect_refused({eight.begin(), eight.begin() + 70}, dest, ZQ_ERR_FILE_IO, m + "file ends inside its palette");
  expect_refused({eight.begin(), eight.end() - 12}, dest, ZQ_ERR_FILE_IO, m + "pixel data ends after 1 of 3 rows");
  BmpDesc runs{.width = 4, .height = 2, .bits = 8, .palette = {1, 2}, .compression = 1, .data = {4, 1, 0, 0}};
  expect_refused(make_bmp(runs), dest, ZQ_ERR_FILE_IO, m + "run-length data ends before the end of the bitmap");
  expect_refused({'B', 'Z', 'h', '9', 1, 2}, dest, ZQ_ERR_FILE_IO,
                 m + "not a BMP file: starts with 42 5A 68 39 (a bzip2 archive)");
  expect_refused({0xFE, 1, 2}, dest, ZQ_ERR_FILE_IO, m + "file ends inside its raw block header");

  // The loader's entry: no file, a name too long, no target.
  EXPECT_EQ(load(dir_ + "/missing.bmp", dest), ZQ_ERR_FILE_NOT_FOUND);
  EXPECT_EQ(std::string(rt_error_detail()), dir_ + "/missing.bmp: cannot open (No such file or directory)");
  EXPECT_EQ(load(std::string(300, 'n'), dest), ZQ_ERR_FILE_NOT_FOUND);
  EXPECT_EQ(std::string(rt_error_detail()), std::string(40, 'n') + "...: a name of 300 characters is too long (at most 259)");
  gfx_close_at_exit();
  EXPECT_EQ(load(dir_ + "/p1.bmp", nullptr), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_STREQ(rt_error_detail(), "no destination image and no screen open");
  EXPECT_EQ(load(dir_ + "/p1.bmp", dest), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(std::string(rt_error_detail()), dir_ + "/p1.bmp: no screen open (BMP pixels take the screen's palette)");
  EXPECT_EQ(gfx_load_image((dir_ + "/p1.bmp").c_str()), nullptr);
  EXPECT_EQ(std::string(rt_error_detail()),
            dir_ + "/p1.bmp: no screen open (a new image takes the screen's pixel format)");
}

}  // namespace
