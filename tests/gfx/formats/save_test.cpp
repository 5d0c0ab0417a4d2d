// Saving images and screen pages as PNG and BMP files: what is saved loads
// back as the same pixels at every depth, ImageMagick reads the same
// picture, screenshots are opaque unless alpha is asked for, and a save that
// fails leaves no file behind and says why.
#include <sys/stat.h>
#include <unistd.h>

#include "gfx/draw/context.h"
#include "zentravolk/shapes.h"
#include "zentravolk/shortcuts.h"
#include "zentravolk/blit.h"
#include "tests/gfx/formats/bmp_test_support.h"

namespace {

using namespace bmp_test;

class BitmapSave : public BitmapFixture {
 protected:
  static int save(const std::string& path, const ImageBuffer* source, int page = ZQ_OMITTED) {
    return gfx_save_bitmap(rt_str_new_temp(path.c_str(), int(path.size())), source, page);
  }

  // Fills every pixel of an image or page with a value that differs per pixel.
  static void fill(uint8_t* pixels, size_t pitch, int width, int height, int bpp) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        uint32_t v = pattern(x, y) * 2654435761u;
        std::memcpy(pixels + size_t(y) * pitch + size_t(x) * size_t(bpp), &v, size_t(bpp));
      }
  }
  static void fill(ImageBuffer* img) {
    ImageInfo i = gfx_image_info(img);
    fill(i.pixels, size_t(i.pitch), i.width, i.height, i.bytes_per_pixel);
  }

  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    return names;
  }

  // ImageMagick's decoding of a file as 0xAARRGGBB values, top row first.
  std::vector<uint32_t> decode(const std::string& path) {
    std::string out = path + ".rgba";
    EXPECT_EQ(std::system(("convert " + path + " -depth 8 rgba:" + out).c_str()), 0);
    std::vector<uint32_t> values;
    std::ifstream in(out, std::ios::binary);
    for (uint8_t p[4]; in.read(reinterpret_cast<char*>(p), 4);)
      values.push_back(uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
    std::filesystem::remove(out);
    return values;
  }
};

// The colour a pixel stands for, as ImageMagick would report it.
uint32_t colour_of(uint32_t pixel, int bpp) {
  if (bpp == 4) return pixel;
  if (bpp == 2) {
    // Each channel scaled to 8 bits, rounded to the nearest: 31 and 63 give 255.
    uint32_t r = ((pixel >> 11) * 255 + 15) / 31, g = ((pixel >> 5 & 63) * 255 + 31) / 63,
             b = ((pixel & 31) * 255 + 15) / 31;
    return 0xFF000000u | r << 16 | g << 8 | b;
  }
  uint32_t c = screen_state->device_palette[pixel & 0xFF];
  return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

// What a 32-bit pixel saved with flags loads back as: opaque unless the
// alpha is kept; a PNG pixel of alpha 0 loads as the clear colour.
uint32_t loaded_back(uint32_t pixel, int flags, bool png) {
  if (!(flags & ZQ_SAVE_ALPHA)) return pixel | 0xFF000000u;
  return png && pixel >> 24 == 0 ? 0x00FF00FFu : pixel;
}

TEST_F(BitmapSave, ImagesComeBackPixelForPixelAndImageMagickAgrees) {
  const bool have_convert = std::system("command -v convert >/dev/null 2>&1") == 0;
  for (int depth : {8, 16, 32}) {
    open_screen(64, 8, depth);
    for (int i = 0; i < 256; ++i) screen_state->device_palette[i] = uint32_t(i * 0x9E3779B1u) & 0xFFFFFF;
    const int bpp = depth / 8;
    for (int width : {1, 3, 9, 33, 641})
      for (int compat : {0, 1})
        for (const char* extension : {".bmp", ".png"})
          for (int flags : {0, ZQ_SAVE_ALPHA}) {
            SCOPED_TRACE(std::to_string(depth) + " bits, " + std::to_string(width) + " wide, level " +
                         std::to_string(compat) + ", " + extension + ", flags " + std::to_string(flags));
            const bool png = extension[1] == 'p';
            ImageBuffer* img = image(width, 5, depth, compat);
            ASSERT_NE(img, nullptr);
            fill(img);
            std::string path = dir_ + "/s" + std::to_string(width) + extension;
            ASSERT_EQ(gfx_save_image(path.c_str(), img, 0, flags), 0);
            EXPECT_EQ(rt_get_error(), 0);
            ImageBuffer* back = image(width, 5, depth, 0);
            ASSERT_EQ(load(path, back), 0);
            std::vector<uint32_t> seen = have_convert ? decode(path) : std::vector<uint32_t>{};
            if (have_convert) {
              ASSERT_EQ(seen.size(), size_t(width) * 5);
            }
            for (int y = 0; y < 5; ++y)
              for (int x = 0; x < width; ++x) {
                uint32_t want = image_pixel(img, x, y);
                if (bpp == 4) want = loaded_back(want, flags, false);
                const uint32_t got = image_pixel(back, x, y);
                ASSERT_EQ(got, bpp == 4 ? loaded_back(want, flags, png) : want) << x << "," << y;
                if (have_convert) {
                  ASSERT_EQ(seen[size_t(y * width + x)], colour_of(want, bpp)) << x << "," << y;
                }
              }
          }
  }
}

// A screenshot looks like the screen: sprites put with the transparent
// putter, shapes and text leave alpha 0 in 32-bit pixels, and a default
// save is opaque all the same.
TEST_F(BitmapSave, ScreenshotsAreOpaqueByDefault) {
  if (std::system("command -v identify >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick is not installed";
  open_screen(64, 48, 32);
  ImageBuffer* sprite = image(16, 16, 32, 0);
  gfx_line(sprite, 2, 2, 13, 13, 0x20C040, 0, ZQ_SHAPE_FILLED);
  gfx_put_image(nullptr, 4, 4, sprite, putter_transparent);
  gfx_circle(nullptr, 40, 24, 10, 0xFFFF00, 0, 0, 0, ZQ_SHAPE_FILLED);
  gfx_draw_text(nullptr, 2, 36, "Hi", 0xFFFFFF, nullptr);
  int transparent = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) transparent += screen_pixel(0, x, y) >> 24 == 0;
  ASSERT_GT(transparent, 0);  // what the screen holds: pixels of alpha 0
  for (const char* name : {"/shot.png", "/shot.bmp"}) {
    SCOPED_TRACE(name);
    const std::string path = dir_ + name;
    ASSERT_EQ(gfx_save_image(path.c_str(), nullptr, 0, 0), 0);
    std::string alpha;
    if (FILE* p = popen(("identify -format %A " + path).c_str(), "r")) {
      char text[32] = {};
      if (std::fgets(text, sizeof text, p)) alpha = text;
      pclose(p);
    }
    EXPECT_EQ(alpha, "False");
    for (uint32_t v : decode(path)) ASSERT_EQ(v >> 24, 0xFFu);
  }
  // gfx_save_bitmap saves opaque as well: a 24-bit file.
  const std::string path = dir_ + "/shot2.bmp";
  ASSERT_EQ(save(path, nullptr, 0), 0);
  std::ifstream in(path, std::ios::binary);
  char head[30];
  in.read(head, sizeof head);
  EXPECT_EQ(head[28], 24);
}

// Sprites for a picture editor: mask pixels transparent, all others opaque.
TEST_F(BitmapSave, MaskPixelsCanBeSavedTransparent) {
  const bool have_convert = std::system("command -v convert >/dev/null 2>&1") == 0;
  for (int depth : {8, 16, 32}) {
    open_screen(16, 16, depth);
    for (int i = 0; i < 256; ++i) screen_state->device_palette[i] = uint32_t(i * 0x9E3779B1u) & 0xFFFFFF;
    ImageBuffer* sprite = image(9, 7, depth, 0);  // filled with the mask colour
    gfx_line(sprite, 2, 1, 6, 5, depth == 8 ? 9 : 0x3060C0, 0, ZQ_SHAPE_FILLED);
    for (const char* extension : {".png", ".bmp"}) {
      SCOPED_TRACE(std::to_string(depth) + extension);
      const std::string path = dir_ + "/sprite" + extension;
      ASSERT_EQ(gfx_save_image(path.c_str(), sprite, 0, ZQ_SAVE_MASK_AS_ALPHA), 0);
      open_screen(16, 16, 32);
      ImageBuffer* back = image(9, 7, 32, 0);
      ASSERT_EQ(load(path, back), 0);
      std::vector<uint32_t> seen = have_convert ? decode(path) : std::vector<uint32_t>{};
      for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) {
          const bool inside = x >= 2 && x <= 6 && y >= 1 && y <= 5;
          EXPECT_EQ(image_pixel(back, x, y) >> 24, inside ? 0xFFu : 0u) << x << "," << y;
          if (!inside && depth != 8) {
            EXPECT_EQ(image_pixel(back, x, y) & 0xFFFFFF, 0xFF00FFu);
          }
          if (have_convert) {
            EXPECT_EQ(seen[size_t(y * 9 + x)] >> 24, inside ? 0xFFu : 0u) << x << "," << y;
          }
        }
      open_screen(16, 16, depth);
      for (int i = 0; i < 256; ++i) screen_state->device_palette[i] = uint32_t(i * 0x9E3779B1u) & 0xFFFFFF;
    }
  }
}

TEST_F(BitmapSave, SaveFailuresSayWhy) {
  open_screen(8, 8, 32);
  ImageBuffer* img = image(4, 4, 32, 0);
  EXPECT_EQ(gfx_save_image((dir_ + "/a.gif").c_str(), img, 0, 0), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(std::string(rt_error_detail()), dir_ + "/a.gif: the name does not end in .png or .bmp");
  EXPECT_EQ(gfx_save_image(nullptr, img, 0, 0), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_STREQ(rt_error_detail(), "no file name given");
  EXPECT_EQ(gfx_save_image((dir_ + "/no/a.png").c_str(), img, 0, 0), ZQ_ERR_FILE_NOT_FOUND);
  EXPECT_EQ(std::string(rt_error_detail()), dir_ + "/no/a.png: cannot create (No such file or directory)");
  EXPECT_EQ(gfx_save_image("/dev/full", img, 0, ZQ_SAVE_ALPHA), ZQ_ERR_ILLEGAL_CALL);  // no extension
  EXPECT_EQ(save("/dev/full", img), ZQ_ERR_FILE_IO);
  EXPECT_STREQ(rt_error_detail(), "/dev/full: writing failed (No space left on device)");
  EXPECT_EQ(gfx_save_image((dir_ + "/p.PNG").c_str(), nullptr, 3, 0), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(std::string(rt_error_detail()), dir_ + "/p.PNG: page 3 does not exist (the screen has 1)");
  EXPECT_EQ(gfx_save_image((dir_ + "/p.PNG").c_str(), nullptr, 0, 0), ZQ_OK);
  EXPECT_EQ(files(), std::vector<std::string>{"p.PNG"});
}

TEST_F(BitmapSave, ScreenPagesSaveTheWorkPageOrTheOneAsked) {
  for (int depth : {8, 16, 32}) {
    SCOPED_TRACE(depth);
    open_screen(33, 7, depth, 2);
    ScreenState* s = screen_state;
    fill(s->page_buffers[0], size_t(s->pitch), s->width, s->height, s->bytes_per_pixel);
    std::memset(s->page_buffers[1], 0x3C, size_t(s->pitch) * size_t(s->height));
    gfx_get_context()->work_page = 1;
    std::string work = dir_ + "\\work.bmp", first = dir_ + "/first.bmp";
    ASSERT_EQ(save(work, nullptr), 0);
    ASSERT_EQ(save(first, nullptr, 0), 0);
    for (int page : {1, 0}) {
      ImageBuffer* back = image(33, 7, depth, 0);
      ASSERT_EQ(load(page ? dir_ + "/work.bmp" : first, back), 0);
      for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 33; ++x)
          ASSERT_EQ(image_pixel(back, x, y), screen_pixel(page, x, y) | (depth == 32 ? 0xFF000000u : 0)) << page;
    }
    EXPECT_EQ(save(first, nullptr, 2), 1);
  }
}

TEST_F(BitmapSave, BadArgumentsAreIllegalCalls) {
  std::string path = dir_ + "/x.bmp";
  EXPECT_EQ(save(path, nullptr), 1);  // no screen
  open_screen(8, 8, 32);
  ImageBuffer* indexed = image(4, 4, 8, 0);
  ImageBuffer* wide = image(4, 4, 32, 0);
  gfx_close_at_exit();
  EXPECT_EQ(save(path, indexed), 1);  // no palette without a screen
  EXPECT_EQ(rt_get_error(), 1);
  EXPECT_EQ(save(path, wide), 0);     // true colour needs none
  uint32_t bad[16] = {7, 3, 2, 2, 16};
  EXPECT_EQ(save(dir_ + "/y.bmp", reinterpret_cast<ImageBuffer*>(bad)), 1);
  EXPECT_EQ(files(), std::vector<std::string>{"x.bmp"});
}

TEST_F(BitmapSave, FailedSavesLeaveNoFile) {
  open_screen(16, 16, 32);
  ImageBuffer* img = image(16, 16, 32, 0);
  fill(img);
  // Folders that cannot hold a new file, even for the superuser.
  EXPECT_EQ(save(dir_ + "/missing/a.bmp", img), 2);
  EXPECT_EQ(save("/proc/zq_saved.bmp", img), 2);
  EXPECT_EQ(save(dir_, img), 2);  // a folder's own name
  if (geteuid() != 0) {
    std::string ro = dir_ + "/ro";
    std::filesystem::create_directory(ro);
    chmod(ro.c_str(), 0555);
    EXPECT_EQ(save(ro + "/a.bmp", img), 2);
    EXPECT_TRUE(std::filesystem::is_empty(ro));
    chmod(ro.c_str(), 0755);
    std::filesystem::remove(ro);
  }
  // A full disk: the write fails, and the device stays a device.
  EXPECT_EQ(save("/dev/full", img), 3);
  EXPECT_EQ(rt_get_error(), 3);
  struct stat st;
  ASSERT_EQ(stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_TRUE(files().empty());
  // A name too long to take whole is not cut to another.
  EXPECT_EQ(save(dir_ + "/" + std::string(300, 'n') + ".bmp", img), 2);
  // A good save replaces an older file of the name and leaves nothing else.
  write("old.bmp", {1, 2, 3});
  ASSERT_EQ(save(dir_ + "/old.bmp", img), 0);
  EXPECT_EQ(files(), std::vector<std::string>{"old.bmp"});
  EXPECT_EQ(std::filesystem::file_size(dir_ + "/old.bmp"), 54u + 16 * 16 * 3);  // opaque: 24 bits
}

}  // namespace
