// The library as a program sees it: only the public header, only the shared
// library, and the behaviour its reference promises (results, error
// numbers, image layout), on the Null driver.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <zentravolk/zentravolk.h>

namespace {

StringValue* text(const char* chars) { return rt_str_temp(chars, int(std::strlen(chars))); }

std::string data_file(const char* name) {
  const char* source = std::getenv("ZQ_SOURCE_DIR");
  return std::string(source ? source : ".") + "/data/" + name;
}

class PublicApi : public ::testing::Test {
 protected:
  void open(int width, int height, int depth, int pages, int compat_level = 0) {
    rt_init(0, nullptr, compat_level);
    ASSERT_EQ(gfx_screen_res(width, height, depth, pages, ZQ_OPEN_NULL_DRIVER, 0), ZQ_OK);
  }
  void TearDown() override {
    gfx_screen(0, 0, 0, 0, 0);
    EXPECT_EQ(rt_str_pool_in_use(), 0) << "a temporary was not released";
  }
};

uint32_t read32(const ImageBuffer* image, int offset) {
  uint32_t v;
  std::memcpy(&v, reinterpret_cast<const unsigned char*>(image) + offset, 4);
  return v;
}

uint16_t read16(const ImageBuffer* image, int offset) {
  uint16_t v;
  std::memcpy(&v, reinterpret_cast<const unsigned char*>(image) + offset, 2);
  return v;
}

TEST_F(PublicApi, ScreenOpensOnTheNullDriverAndDescribesItself) {
  open(64, 48, 24, 2);
  int width = 0, height = 0, depth = 0, bytes = 0, pitch = 0, rate = -1;
  StringValue name{};
  gfx_screen_info(&width, &height, &depth, &bytes, &pitch, &rate, &name);
  EXPECT_EQ(std::string(rt_str_chars(&name)), "Null");
  EXPECT_EQ(rt_str_len(&name), 4);
  EXPECT_EQ(width, 64);
  EXPECT_EQ(height, 48);
  EXPECT_EQ(depth, 32);  // 24 is kept as 32 bits per pixel
  EXPECT_EQ(bytes, 4);
  EXPECT_EQ(pitch, 256);
  rt_str_delete(&name);
  EXPECT_EQ(name.data, nullptr);

  gfx_set_window_title(text("A title longer than nothing"));
  EXPECT_STREQ(gfx_window_title(), "A title longer than nothing");
}

TEST_F(PublicApi, RefusedCallsStoreAndReturnTheirErrorNumber) {
  rt_init(0, nullptr, 0);
  EXPECT_EQ(gfx_screen_res(0, 48, 32, 1, ZQ_OPEN_NULL_DRIVER, 0), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(gfx_screen_res(64, 48, 12, 1, ZQ_OPEN_NULL_DRIVER, 0), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(gfx_screen(4, 0, 1, ZQ_OPEN_NULL_DRIVER, 0), ZQ_ERR_ILLEGAL_CALL);  // an empty row
  EXPECT_EQ(gfx_load_bitmap(text("anything.bmp"), nullptr, nullptr), ZQ_ERR_ILLEGAL_CALL);  // no screen

  open(32, 32, 32, 1);
  EXPECT_EQ(rt_get_error(), ZQ_OK);
  EXPECT_EQ(gfx_load_bitmap(text("no/such/file.bmp"), nullptr, nullptr), ZQ_ERR_FILE_NOT_FOUND);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_FILE_NOT_FOUND);
  const std::string junk = ::testing::TempDir() + "zq_public_api_junk.bmp";
  std::FILE* f = std::fopen(junk.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("BM but not a bitmap", f);
  std::fclose(f);
  EXPECT_EQ(gfx_load_bitmap(text(junk.c_str()), nullptr, nullptr), ZQ_ERR_FILE_IO);
  std::remove(junk.c_str());

  EXPECT_EQ(rt_file_open(text("x"), ZQ_FILE_BINARY, ZQ_ACCESS_READ, 0, 255, 0), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(rt_file_open(text("no/such/folder/x"), ZQ_FILE_BINARY, ZQ_ACCESS_READ, 0, 3, 0),
            ZQ_ERR_FILE_NOT_FOUND);
  unsigned char buffer[4] = {9, 9, 9, 9};
  EXPECT_EQ(rt_file_get(3, 0, buffer, 4), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(buffer[0], 9);
  EXPECT_EQ(rt_file_close(3), ZQ_ERR_ILLEGAL_CALL);
}

TEST_F(PublicApi, NumberedFilesReadBytesAndZerosPastTheEnd) {
  rt_init(0, nullptr, 0);
  const std::string map = data_file("maps/mapa1.map");
  ASSERT_EQ(rt_file_open(text(map.c_str()), ZQ_FILE_BINARY, ZQ_ACCESS_READ, 0, 7, 0), ZQ_OK);
  unsigned char bytes[4];
  EXPECT_EQ(rt_file_get(7, 2700 * 4 + 1, bytes, 4), ZQ_OK);  // just past the last float
  EXPECT_EQ(bytes[0] | bytes[1] | bytes[2] | bytes[3], 0);
  EXPECT_EQ(rt_file_close(7), ZQ_OK);
}

TEST_F(PublicApi, ImagesHaveTheDocumentedHeaders) {
  open(64, 48, 32, 1, 0);
  ImageBuffer* image = gfx_image_create(5, 3, 0, 32, ZQ_IMAGE_MASK_FILL);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(read32(image, 0), 7u);
  EXPECT_EQ(read32(image, 4), 4u);
  EXPECT_EQ(read32(image, 8), 5u);
  EXPECT_EQ(read32(image, 12), 3u);
  EXPECT_EQ(read32(image, 16), 32u);  // 5 x 4 bytes rounded up to 16
  EXPECT_EQ(read32(image, 32), 0xFFFF00FFu);
  EXPECT_EQ(gfx_point(image, 4, 2), 0xFFFF00FFu);
  gfx_image_destroy(image);
  gfx_image_destroy(nullptr);

  gfx_screen(0, 0, 0, 0, 0);
  open(64, 48, 16, 1, 1);
  image = gfx_image_create(5, 3, 0x00FF8040, 0, 0);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(read16(image, 0), 2 | 5 << 3);  // bytes per pixel, width
  EXPECT_EQ(read16(image, 2), 3);
  EXPECT_EQ(read16(image, 4), 0xFC08);  // the colour as RGB 5-6-5
  EXPECT_EQ(gfx_fix_colour(2, 0x00FF8040), 0xFC08u);
  gfx_image_destroy(image);
  EXPECT_EQ(gfx_image_create(0, 3, 0, 32, 0), nullptr);
  EXPECT_EQ(gfx_image_create(5, 3, 0, 24, 0), nullptr);  // 3 bytes per pixel cannot be made
}

// Size and rows without reading header words, for both header styles; a
// pixel written through the row pointer is the one drawing calls read.
TEST_F(PublicApi, ImageSizeAndPixelsReadEitherHeader) {
  open(64, 48, 32, 1, 0);
  for (int level : {0, 1}) {
    rt_init(0, nullptr, level);
    ImageBuffer* image = gfx_image_create(5, 3, 0, 32, 0);
    ASSERT_NE(image, nullptr);
    int w = 0, h = 0, pitch = 0;
    EXPECT_EQ(gfx_image_size(image, &w, &h), ZQ_OK);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 3);
    EXPECT_EQ(gfx_image_size(image, nullptr, nullptr), ZQ_OK);
    uint8_t* pixels = gfx_image_pixels(image, &pitch);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(pitch, level == 0 ? 32 : 20);
    EXPECT_EQ(pixels - reinterpret_cast<uint8_t*>(image), level == 0 ? 32 : 4);
    const uint32_t colour = 0x00123456;
    std::memcpy(pixels + 2 * pitch + 4 * 4, &colour, 4);
    EXPECT_EQ(gfx_point(image, 4, 2), colour);
    gfx_image_destroy(image);
  }
  // A null image: the number and a reason, the outputs untouched.
  rt_set_error(ZQ_OK);
  int w = 7, pitch = 9;
  EXPECT_EQ(gfx_image_size(nullptr, &w, nullptr), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(w, 7);
  EXPECT_STRNE(rt_error_detail(), "");
  rt_set_error(ZQ_OK);
  EXPECT_EQ(gfx_image_pixels(nullptr, &pitch), nullptr);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(pitch, 9);
  EXPECT_STRNE(rt_error_detail(), "");
}

TEST_F(PublicApi, BitmapsLoadIntoImagesOfTheirSize) {
  open(64, 48, 32, 1, 0);
  ImageBuffer* tile = gfx_image_create(32, 32, 0, 32, ZQ_IMAGE_MASK_FILL);
  const std::string name = data_file("gfx/p1.bmp");
  ASSERT_EQ(gfx_load_bitmap(text(name.c_str()), tile, nullptr), ZQ_OK);
  EXPECT_EQ(read32(tile, 8), 32u);
  EXPECT_EQ(gfx_point(tile, 0, 0) >> 24, 0xFFu);  // 24-bit files come in opaque
  // Onto the screen, then back out pixel for pixel.
  ASSERT_EQ(gfx_put(nullptr, 10, 10, tile, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter_copy, 0, nullptr, nullptr),
            ZQ_OK);
  for (int y = 0; y < 32; y += 7)
    for (int x = 0; x < 32; x += 5) EXPECT_EQ(gfx_point(nullptr, 10.0f + x, 10.0f + y), gfx_point(tile, x, y));
  gfx_image_destroy(tile);
}

TEST_F(PublicApi, PuttersCombineAsDocumented) {
  open(16, 16, 32, 1);
  gfx_colour(0, 0x00102030, 0);
  gfx_cls(0);
  ImageBuffer* sprite = gfx_image_create(4, 4, 0x00808080, 32, 0);
  gfx_pset(sprite, 0, 0, 0x00FF00FF, 0, 0);  // the mask colour
  gfx_put(nullptr, 0, 0, sprite, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter_transparent, 0, nullptr, nullptr);
  EXPECT_EQ(gfx_point(nullptr, 0, 0) & 0xFFFFFF, 0x102030u);  // skipped
  EXPECT_EQ(gfx_point(nullptr, 1, 0), 0x00808080u);           // top byte 0
  gfx_put(nullptr, 8, 0, sprite, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter_blend, 255, nullptr, nullptr);
  EXPECT_EQ(gfx_point(nullptr, 9, 0) & 0xFFFFFF, 0x808080u);  // alpha 255: the source
  gfx_put(nullptr, 8, 8, sprite, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter_blend, 0, nullptr, nullptr);
  EXPECT_EQ(gfx_point(nullptr, 9, 8), 0x00808080u);  // alpha 0: a transparent put
  ImageBuffer* red = gfx_image_create(1, 1, 0x00FF0000, 32, 0);
  gfx_pset(nullptr, 0, 8, 0x000000FF, 0, 0);
  gfx_put(nullptr, 0, 8, red, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter_blend, 127, nullptr, nullptr);
  EXPECT_EQ(gfx_point(nullptr, 0, 8), 0x007F007Fu);  // half and half
  gfx_image_destroy(red);
  // A source rectangle, corners in any order, clipped at the screen's edge.
  EXPECT_EQ(gfx_put(nullptr, 14, 14, sprite, 3, 3, 1, 1, 0, 0, putter_copy, 0, nullptr, nullptr), ZQ_OK);
  EXPECT_EQ(gfx_point(nullptr, 15, 15), 0x00808080u);
  EXPECT_EQ(gfx_put(nullptr, 0, 0, nullptr, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter_copy, 0, nullptr, nullptr),
            ZQ_ERR_ILLEGAL_CALL);
  ImageBuffer* small = gfx_image_create(2, 2, 1, 8, 0);
  EXPECT_EQ(gfx_put(nullptr, 0, 0, small, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter_copy, 0, nullptr, nullptr),
            ZQ_ERR_ILLEGAL_CALL);  // pixel sizes differ
  gfx_image_destroy(small);
  gfx_image_destroy(sprite);
}

TEST_F(PublicApi, PixelsViewsAndPages) {
  open(32, 16, 32, 2);
  EXPECT_EQ(gfx_set_pages(1, 0), 0);  // work 0, visible 0 before
  gfx_pset(nullptr, 3, 4, 0x00ABCDEF, 0, 0);
  EXPECT_EQ(gfx_point(nullptr, 3, 4), 0x00ABCDEFu);
  EXPECT_EQ(gfx_point(nullptr, 32, 0), 0xFFFFFFFFu);
  EXPECT_EQ(gfx_set_pages(0, 1), 1);  // work 1, visible 0 before
  EXPECT_NE(gfx_point(nullptr, 3, 4), 0x00ABCDEFu);  // page 0 was not drawn on
  EXPECT_EQ(gfx_page_copy(1, 0), ZQ_OK);
  EXPECT_EQ(gfx_point(nullptr, 3, 4), 0x00ABCDEFu);
  EXPECT_EQ(gfx_page_copy(2, 0), ZQ_ERR_ILLEGAL_CALL);

  // A relative view moves the origin and clips.
  gfx_view(10, 5, 19, 9, 0, 0, 0x40000000 | 0);
  gfx_pset(nullptr, 0, 0, 0x00111111, 0, 0);
  EXPECT_EQ(gfx_point(nullptr, 0, 0), 0x00111111u);
  gfx_view(-32768, -32768, -32768, -32768, 0, 0, -1);
  EXPECT_EQ(gfx_point(nullptr, 10, 5), 0x00111111u);
  gfx_view(10, 5, 19, 9, 0, 0, ZQ_OMITTED);
  gfx_pset(nullptr, 12, 0, 0x00222222, 0, 0);  // outside the 10-pixel view
  gfx_view(-32768, -32768, -32768, -32768, 0, 0, -1);
  EXPECT_NE(gfx_point(nullptr, 22, 5), 0x00222222u);
}

TEST_F(PublicApi, TextLandsInPixelsAndConsoleCells) {
  open(160, 64, 32, 1);
  gfx_colour(0x00FFFFFF, 0, 0);
  gfx_cls(0);
  EXPECT_EQ(gfx_draw_string(nullptr, 0, 0, ZQ_TEXT_ABSOLUTE, text("HH"), 0x00FFFF00, nullptr, 0, nullptr, nullptr,
                            nullptr),
            ZQ_OK);
  int lit = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) lit += (gfx_point(nullptr, x, y) & 0xFFFFFF) == 0xFFFF00;
  EXPECT_GT(lit, 10);
  EXPECT_EQ(gfx_draw_string(nullptr, 0, 0, ZQ_TEXT_ABSOLUTE, nullptr, 0, nullptr, 0, nullptr, nullptr, nullptr),
            ZQ_ERR_ILLEGAL_CALL);

  int columns = 0, rows = 0;
  rt_get_size(&columns, &rows);
  EXPECT_EQ(columns, 20);
  EXPECT_EQ(rows, 8);
  rt_locate(3, 5, -1, 0, 0);
  EXPECT_EQ(rt_print(0, text("Hi"), 1), ZQ_OK);
  EXPECT_EQ(gfx_console_read_cell(5, 3, 0), 'H');
  EXPECT_EQ(gfx_console_read_cell(6, 3, 0), 'i');
  int column = 0, row = 0;
  rt_get_cursor(&column, &row);
  EXPECT_EQ(column, 1);
  EXPECT_EQ(row, 4);
  EXPECT_EQ(gfx_console_read_cell(21, 1, 0), 0);  // outside the console
}

TEST_F(PublicApi, LegacyPaletteThroughThePorts) {
  rt_init(0, nullptr, 0);
  ASSERT_EQ(gfx_screen(13, 0, 1, ZQ_OPEN_NULL_DRIVER, 0), ZQ_OK);
  gfx_port_write(0x3C8, 5);
  for (int component : {63, 20, 0}) EXPECT_EQ(gfx_port_write(0x3C9, component), 0);
  EXPECT_EQ(gfx_port_write(0x3C7, 5), 0);
  EXPECT_EQ(gfx_port_read(0x3C9), 63);
  EXPECT_EQ(gfx_port_read(0x3C9), 20);
  EXPECT_EQ(gfx_port_read(0x3C9), 0);
  EXPECT_EQ(gfx_port_read(0x3DA), 8);
  EXPECT_EQ(gfx_port_read(0x3C0), -1);

  gfx_palette(6, 255, 0, 0);  // components 0..255
  gfx_port_write(0x3C7, 6);
  EXPECT_EQ(gfx_port_read(0x3C9), 63);
  int values[256];
  for (int& v : values) v = -1;  // keep
  values[7] = 63 << 8;           // packed 6-bit: pure green
  gfx_palette_using(values);
  gfx_port_write(0x3C7, 7);
  EXPECT_EQ(gfx_port_read(0x3C9), 0);
  EXPECT_EQ(gfx_port_read(0x3C9), 63);
  gfx_pset(nullptr, 1, 1, 7, 0, 0);
  EXPECT_EQ(gfx_point(nullptr, 1, 1), 7u);  // palette screens store indices
}

TEST_F(PublicApi, InputOnTheNullDriverReportsNothing) {
  open(32, 32, 32, 1);
  EXPECT_EQ(gfx_multikey(ZQ_SC_ESCAPE), 0);
  EXPECT_EQ(rt_multikey(200), 0);
  StringValue* key = rt_inkey();
  EXPECT_EQ(rt_str_len(key), 0);
  rt_str_release(key);
  EXPECT_EQ(gfx_key_waiting(), 0);
  int x = 0, y = 0, wheel = 0, buttons = 0;
  EXPECT_EQ(gfx_get_mouse(&x, &y, &wheel, &buttons, nullptr), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(x, -1);
  EXPECT_EQ(buttons, -1);
  EXPECT_EQ(rt_set_mouse(1, 1, 1, 0), ZQ_ERR_ILLEGAL_CALL);
  float axis = 0;
  EXPECT_EQ(gfx_get_joystick(16, &buttons, &axis, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
            ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(axis, ZQ_JOYSTICK_NO_AXIS);
  const double start = rt_timer();
  gfx_sleep(30);
  EXPECT_GE(rt_timer() - start, 0.025);
}

// Only simulated input reaches the Null driver, through the same calls a
// program reads real input with.
TEST_F(PublicApi, SimulatedInputReachesTheNullDriver) {
  open(32, 32, 32, 1);
  EXPECT_EQ(gfx_simulate_key(ZQ_SC_B, 1), ZQ_OK);
  EXPECT_EQ(gfx_multikey(ZQ_SC_B), ZQ_TRUE);
  StringValue* key = rt_inkey();
  EXPECT_STREQ(rt_str_chars(key), "b");
  rt_str_release(key);
  EXPECT_EQ(gfx_simulate_pointer(3, 4, ZQ_BUTTON_RIGHT), ZQ_OK);
  int x = 0, y = 0, wheel = 0, buttons = 0;
  EXPECT_EQ(gfx_get_mouse(&x, &y, &wheel, &buttons, nullptr), ZQ_OK);
  EXPECT_EQ(x + y * 100 + buttons * 10000, 3 + 400 + ZQ_BUTTON_RIGHT * 10000);
  InputEvent event;
  EXPECT_EQ(gfx_poll_event(&event), ZQ_OK);
  EXPECT_EQ(event.type, ZQ_EVENT_KEY_PRESS);
  EXPECT_EQ(event.key.character, 'b');
  GamepadState pad;
  EXPECT_EQ(gfx_get_gamepad(ZQ_GAMEPADS, &pad), ZQ_ERR_ILLEGAL_CALL);
}

TEST_F(PublicApi, WithoutAScreenDrawingCallsRefuse) {
  rt_init(0, nullptr, 0);
  EXPECT_EQ(gfx_image_create(4, 4, 0, 32, 0), nullptr);
  EXPECT_EQ(gfx_point(nullptr, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(gfx_set_pages(0, 0), -1);
  EXPECT_EQ(gfx_page_copy(0, 0), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(gfx_port_read(0x3DA), -1);
  EXPECT_EQ(gfx_wait_key(), 0);
  StringValue* key = gfx_inkey();
  EXPECT_EQ(rt_str_len(key), 0);
  rt_str_release(key);
}

TEST_F(PublicApi, StringValuesAndTheirTemporaries) {
  rt_init(0, nullptr, 0);
  StringValue name{};
  rt_str_assign(&name, "Zentra", 0);
  rt_str_concat(&name, &name, ZQ_STR_VALUE, text("VOLK"), ZQ_STR_VALUE);
  EXPECT_STREQ(rt_str_chars(&name), "ZentraVOLK");
  StringValue* lower = rt_str_lcase(rt_str_new_temp(rt_str_chars(&name), rt_str_len(&name)));
  EXPECT_STREQ(rt_str_chars(lower), "zentravolk");
  EXPECT_EQ(rt_str_compare(lower, ZQ_STR_VALUE, "zentravolk", 11), 0);  // releases lower
  EXPECT_EQ(rt_str_compare("a", 0, "ab", 0), -1);
  StringValue* number = rt_int_to_str(INT32_MIN);
  EXPECT_STREQ(rt_str_chars(number), "-2147483648");
  rt_str_release(number);
  rt_str_delete(&name);
  EXPECT_EQ(rt_str_len(&name), 0);
  EXPECT_STREQ(rt_str_chars(nullptr), "");
}

}  // namespace
