// Every failing call says why: one row per failure, by family, with the
// error number and the reason rt_error_detail() gives afterwards. A call
// that returns an image and fails (gfx_image_create) keeps the number as it
// was and gives only the reason.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "drivers/driver.h"
#include "drivers/refusal.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "zentravolk/zentravolk.h"

namespace {

// The number a call that returns an image leaves behind: the one stored
// before it when it keeps it.
constexpr int kNumberBefore = ZQ_ERR_FILE_IO;

// Stand-in drivers that refuse, one with a reason and one without.
int refuse_with_mode(const char*, int width, int height, int depth, int, int) {
  driver_refuse("no %d x %d x %d display mode", width, height, depth);
  return -1;
}
int refuse_silently(const char*, int, int, int, int, int) { return -1; }
void no_op() {}
const GfxDriver moody{.name = "Moody", .init = refuse_with_mode, .exit = no_op, .lock = no_op, .unlock = no_op};
const GfxDriver mute{.name = "Mute", .init = refuse_silently, .exit = no_op, .lock = no_op, .unlock = no_op};
const GfxDriver* const refusing_list[] = {&moody, &mute, nullptr};

enum class Before { kNoScreen, kNullScreen, kRefusingDrivers };

struct Row {
  const char* family;
  Before before;
  std::function<int()> call;  // the number the call returns (or leaves)
  int number;
  std::string reason;
};

ImageBuffer* made = nullptr;  // an image a row made, freed after it

// gfx_image_create as a row: the number it leaves, the image dropped.
int create_image(int width, int height, int depth) {
  made = gfx_image_create(width, height, 0, depth, 0);
  return made ? ZQ_OK : rt_get_error();
}

std::string temp_folder() { return std::filesystem::temp_directory_path().string(); }

int open_file(const std::string& path) {
  return rt_file_open(rt_str_new_temp(path.c_str(), int(path.size())), ZQ_FILE_INPUT, ZQ_ACCESS_READ, 0, 7, 0);
}

// Image file data held in memory, loaded onto the screen.
int load_bytes(const std::vector<uint8_t>& bytes) {
  return gfx_load_bitmap_mem(bytes.data(), bytes.size(), nullptr, nullptr);
}

// The headers of a 4 x 4 BMP file with the given bit count and compression.
std::vector<uint8_t> bmp_header(int bits, int compression) {
  std::vector<uint8_t> f(54, 0);
  f[0] = 'B', f[1] = 'M', f[10] = 54, f[14] = 40, f[18] = 4, f[22] = 4, f[26] = 1;
  f[28] = uint8_t(bits), f[30] = uint8_t(compression);
  return f;
}

// A PNG signature and header chunk of the given size, then (with data) an
// empty data chunk; CRCs correct.
std::vector<uint8_t> png_header(uint32_t width, uint32_t height, bool data = false) {
  // Byte by byte: g++ 12 at -O3 misreads ranged inserts into a fresh vector
  // as writes past its first block.
  std::vector<uint8_t> f;
  f.reserve(64);
  auto put_bytes = [&f](const char* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) f.push_back(uint8_t(bytes[i]));
  };
  auto put_be32 = [&f](uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) f.push_back(uint8_t(v >> shift));
  };
  auto put_crc = [&f, &put_be32](size_t from) {
    put_be32(uint32_t(crc32(0, f.data() + from, uInt(f.size() - from))));
  };
  put_bytes("\x89PNG\r\n\x1A\n", 8);
  put_be32(13);
  put_bytes("IHDR", 4);
  put_be32(width);
  put_be32(height);
  put_bytes("\x08\x06\0\0\0", 5);  // 8-bit RGBA
  put_crc(12);
  if (data) {
    put_be32(0);
    put_bytes("IDAT", 4);
    put_crc(f.size() - 4);
  }
  return f;
}

ImageBuffer* invalid_image() {
  // Bytes per pixel 3 in a long header: no image has that.
  static uint32_t header[8] = {7, 3, 1, 1, 4, 0, 0, 0};
  return reinterpret_cast<ImageBuffer*>(header);
}

const Row kRows[] = {
    // Bad arguments.
    {"argument", Before::kNoScreen, [] { return gfx_screen_res(320, 200, 7, 1, 0, 0); }, ZQ_ERR_ILLEGAL_CALL,
     "depth 7 not supported (1, 2, 4, 8, 15, 16, 24 or 32)"},
    {"argument", Before::kNoScreen, [] { return gfx_screen_res(0, 200, 32, 1, 0, 0); }, ZQ_ERR_ILLEGAL_CALL,
     "screen size 0 x 200 out of range (1 to 65535)"},
    {"argument", Before::kNoScreen, [] { return gfx_screen(4, 0, 1, 0, 0); }, ZQ_ERR_ILLEGAL_CALL,
     "screen mode 4 does not exist"},
    {"argument", Before::kNullScreen, [] { return gfx_circle(nullptr, 10, 10, -2, 0xFF, 0, 0, 0, 0); },
     ZQ_ERR_ILLEGAL_CALL, "radius -2 is negative"},
    {"argument", Before::kNullScreen, [] { return gfx_circle(nullptr, 10, 10, 5, 0xFF, 0, 0, NAN, 0); },
     ZQ_ERR_ILLEGAL_CALL, "aspect nan is not a finite number"},
    {"argument", Before::kNullScreen, [] { return gfx_line(nullptr, 0, 0, 5, 5, -5, 0, 0); }, ZQ_ERR_ILLEGAL_CALL,
     "colour -5 out of range (0 to 0xFFFFFFFF)"},
    {"argument", Before::kNullScreen, [] { return gfx_flood_fill(nullptr, 1, 1, 0xFF, int64_t(1) << 33, 0); },
     ZQ_ERR_ILLEGAL_CALL, "colour 8589934592 out of range (0 to 0xFFFFFFFF)"},
    {"argument", Before::kNullScreen, [] { return gfx_page_copy(3, 0); }, ZQ_ERR_ILLEGAL_CALL,
     "page 3 out of range (the screen has 1)"},
    {"argument", Before::kNullScreen,
     [] { return gfx_put(nullptr, 0, 0, nullptr, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter_copy, 0, nullptr, nullptr); },
     ZQ_ERR_ILLEGAL_CALL, "no source image"},
    {"argument", Before::kNullScreen,
     [] {
       return gfx_put(nullptr, 0, 0, invalid_image(), ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter_copy, 0, nullptr,
                      nullptr);
     },
     ZQ_ERR_ILLEGAL_CALL, "source image damaged: its header does not fit its memory"},
    {"argument", Before::kNullScreen, [] { return gfx_get(nullptr, 0, 0, 9, 9, nullptr, 0); }, ZQ_ERR_ILLEGAL_CALL,
     "no image to fill"},
    {"argument", Before::kNullScreen,
     [] { return gfx_draw_string(nullptr, 0, 0, 0, nullptr, 0xFF, nullptr, 0, putter_copy, nullptr, nullptr); },
     ZQ_ERR_ILLEGAL_CALL, "no text"},
    {"argument", Before::kNullScreen,
     [] { return gfx_get_joystick(16, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); },
     ZQ_ERR_ILLEGAL_CALL, "joystick 16 out of range (0 to 15)"},
    {"argument", Before::kNoScreen, [] { return rt_file_close(9); }, ZQ_ERR_ILLEGAL_CALL, "file number 9 not open"},
    {"argument", Before::kNoScreen,
     [] { return rt_file_open(rt_str_new_temp("x", 1), ZQ_FILE_BINARY, ZQ_ACCESS_READ, 0, 300, 0); },
     ZQ_ERR_ILLEGAL_CALL, "file number out of range (1 to 254): number 300, mode 0, access 1"},
    {"argument", Before::kNoScreen, [] { return rt_page_set(1, 0); }, ZQ_ERR_ILLEGAL_CALL,
     "pages 1 and 0: the text screen has only page 0"},

    // Calls that need a screen, with none open.
    {"no screen", Before::kNoScreen, [] { return gfx_line(nullptr, 0, 0, 5, 5, 0xFF, 0, 0); }, ZQ_ERR_ILLEGAL_CALL,
     "no screen open"},
    {"no screen", Before::kNoScreen, [] { return gfx_page_copy(0, 0); }, ZQ_ERR_ILLEGAL_CALL, "no screen open"},
    {"no screen", Before::kNoScreen,
     [] { return gfx_put(nullptr, 0, 0, nullptr, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter_copy, 0, nullptr, nullptr); },
     ZQ_ERR_ILLEGAL_CALL, "no screen open"},
    {"no screen", Before::kNoScreen,
     [] {
       ImageBuffer* image = gfx_get_image(nullptr, 0, 0, 3, 3, 0);
       return image ? ZQ_OK : rt_get_error();
     },
     ZQ_ERR_ILLEGAL_CALL, "no screen open"},
    {"no screen", Before::kNoScreen,
     [] {
       InputEvent event;
       return gfx_poll_event(&event);
     },
     ZQ_ERR_ILLEGAL_CALL, "no screen open"},
    {"no screen", Before::kNoScreen, [] { return gfx_set_mouse(1, 1, 1, 0); }, ZQ_ERR_ILLEGAL_CALL, "no screen open"},
    {"no screen", Before::kNoScreen, [] { return rt_set_mouse(1, 1, 1, 0); }, ZQ_ERR_ILLEGAL_CALL,
     "no screen open: the terminal has no pointer"},
    {"no screen", Before::kNullScreen, [] { return rt_set_mouse(1, 1, 1, 0); }, ZQ_ERR_ILLEGAL_CALL,
     "the Null driver has no pointer"},

    // Missing files.
    {"missing file", Before::kNoScreen, [] { return open_file(temp_folder() + "/zq_no_such_file.dat"); },
     ZQ_ERR_FILE_NOT_FOUND, temp_folder() + "/zq_no_such_file.dat: No such file or directory"},
    {"missing file", Before::kNoScreen, [] { return open_file(temp_folder()); }, ZQ_ERR_FILE_NOT_FOUND,
     temp_folder() + ": a folder, not a file"},

    {"missing file", Before::kNullScreen,
     [] { return gfx_load_image((temp_folder() + "/zq_no_such_image.png").c_str()) ? ZQ_OK : rt_get_error(); },
     ZQ_ERR_FILE_NOT_FOUND, temp_folder() + "/zq_no_such_image.png: cannot open (No such file or directory)"},
    {"missing file", Before::kNullScreen,
     [] { return gfx_save_image((temp_folder() + "/zq_no_folder/shot.png").c_str(), nullptr, 0, 0); },
     ZQ_ERR_FILE_NOT_FOUND, temp_folder() + "/zq_no_folder/shot.png: cannot create (No such file or directory)"},
    {"argument", Before::kNullScreen, [] { return gfx_save_image("shot.gif", nullptr, 0, 0); },
     ZQ_ERR_ILLEGAL_CALL, "shot.gif: the name does not end in .png or .bmp"},

    // Bad file data, by kind.
    {"bad data", Before::kNullScreen, [] { return load_bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F'}); },
     ZQ_ERR_FILE_IO,
     "data in memory: not an image file this library reads (BMP, PNG or raw block): starts with FF D8 FF E0 (a "
     "JPEG file)"},
    {"bad data", Before::kNullScreen, [] { return load_bytes({}); }, ZQ_ERR_FILE_IO,
     "data in memory: not an image file this library reads (BMP, PNG or raw block): is empty"},
    {"bad data", Before::kNullScreen, [] { return load_bytes({'B', 'Z', 'h', '9', 0x31, 0x41}); }, ZQ_ERR_FILE_IO,
     "data in memory: not a BMP file: starts with 42 5A 68 39 (a bzip2 archive)"},
    {"bad data", Before::kNullScreen, [] { return load_bytes(bmp_header(0, 4)); }, ZQ_ERR_FILE_IO,
     "data in memory: compression 4 (JPEG inside BMP) not supported"},
    {"bad data", Before::kNullScreen, [] { return load_bytes(bmp_header(16, 0)); }, ZQ_ERR_ILLEGAL_CALL,
     "data in memory: 16 bits per pixel not supported"},
    {"bad data", Before::kNullScreen, [] { return load_bytes(bmp_header(24, 0)); }, ZQ_ERR_FILE_IO,
     "data in memory: pixel data ends after 0 of 4 rows"},
    {"bad data", Before::kNullScreen, [] { return load_bytes(png_header(4, 4)); }, ZQ_ERR_FILE_IO,
     "data in memory: bad PNG data: file ends early"},
    {"bad data", Before::kNullScreen, [] { return load_bytes({0xFE, 1, 0}); }, ZQ_ERR_FILE_IO,
     "data in memory: file ends inside its raw block header"},
    {"too large", Before::kNullScreen, [] { return load_bytes(png_header(100000, 100000, true)); }, ZQ_ERR_FILE_IO,
     "data in memory: image size 100000 x 100000 too large (at most 256 MiB decoded)"},

    // Every driver refused: each one's reason, in the order tried.
    {"driver refusal", Before::kRefusingDrivers, [] { return gfx_screen_res(320, 200, 32, 1, 0, 0); },
     ZQ_ERR_ILLEGAL_CALL, "no display driver could start: Moody: no 320 x 200 x 32 display mode; Mute: refused"},

    // Sizes no memory holds, and gfx_image_create keeping its number.
    {"too large", Before::kNullScreen, [] { return create_image(1000000, 1000000, 32); }, kNumberBefore,
     "image size 1000000 x 1000000 too large"},
    {"image create", Before::kNoScreen, [] { return create_image(4, 4, 32); }, kNumberBefore, "no screen open"},
    {"image create", Before::kNullScreen, [] { return create_image(0, 4, 32); }, kNumberBefore,
     "image size 0 x 4: sides must be positive"},
    {"image create", Before::kNullScreen, [] { return create_image(4, 4, 40); }, kNumberBefore,
     "depth 40 not supported"},
};

class ErrorReasons : public ::testing::TestWithParam<Row> {
 protected:
  void SetUp() override {
    rt_init(0, nullptr, 0);
    switch (GetParam().before) {
      case Before::kNoScreen:
        break;
      case Before::kNullScreen:
        ASSERT_EQ(gfx_screen_res(64, 48, 32, 1, ZQ_OPEN_NULL_DRIVER, 0), ZQ_OK);
        break;
      case Before::kRefusingDrivers:
        saved_driver_ = std::getenv("ZQGFX") ? std::getenv("ZQGFX") : "";
        unsetenv("ZQGFX");
        driver_set_list(refusing_list);
        break;
    }
    rt_set_error(kNumberBefore);
    rt_set_error_detail("a reason from before");
  }
  void TearDown() override {
    if (made) gfx_image_destroy(made);
    made = nullptr;
    gfx_close_at_exit();
    if (GetParam().before == Before::kRefusingDrivers) {
      driver_set_list(nullptr);
      if (!saved_driver_.empty()) setenv("ZQGFX", saved_driver_.c_str(), 1);
    }
  }
  std::string saved_driver_;
};

TEST_P(ErrorReasons, TheNumberAndTheReasonSayWhy) {
  const Row& row = GetParam();
  EXPECT_EQ(row.call(), row.number);
  EXPECT_EQ(rt_get_error(), row.number);
  EXPECT_EQ(std::string(rt_error_detail()), row.reason);
}

INSTANTIATE_TEST_SUITE_P(Families, ErrorReasons, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) {
                           std::string name = std::to_string(info.index) + "_" + info.param.family;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
