// Colour conversion, palette entries and reset, the colour hook and the
// emulated VGA ports.
#include "gfx/image/palette.h"

#include <vector>

#include "gfx/screen/builtin_data.h"
#include "tests/gfx/drawing_test_support.h"

namespace {

using Palette = DrawingTest;

uint32_t vga_entry(int i) {
  const uint8_t* t = builtin_palette_256.rgb + 3 * i;
  return uint32_t(t[0]) | uint32_t(t[1]) << 8 | uint32_t(t[2]) << 16;
}

TEST(ColourConversion, FitsEachPixelSize) {
  EXPECT_EQ(gfx_fix_colour(2, 0x00FF8040u), 0xFC08u);
  EXPECT_EQ(gfx_fix_colour(1, 0x12345678u), 0x78u);
  for (uint32_t c : {0u, 0x12345678u, 0xFFFFFFFFu, 0x80FF0000u}) EXPECT_EQ(gfx_fix_colour(4, c), c);
  EXPECT_EQ(gfx_widen_565(0xFFFF), 0x00FFFFFFu);
  EXPECT_EQ(gfx_widen_565(0xF800), 0x00FF0000u);
  EXPECT_EQ(gfx_widen_565(0x07E0), 0x0000FF00u);
  EXPECT_EQ(gfx_widen_565(0x0010), 0x00000084u);  // 16 of 31: 10000b -> 10000100b
}

TEST_F(Palette, EntriesTakeSixBitAndEightBitForms) {
  open(32, 16, 8);
  use_driver(counting_driver);
  gfx_palette(1, 63, -1, -1);
  EXPECT_EQ(screen_state->device_palette[1], 0x0000FFu);
  EXPECT_EQ(counts.palette_calls, 1);
  EXPECT_EQ(std::vector<int>(counts.last_palette, counts.last_palette + 4), (std::vector<int>{1, 255, 0, 0}));
  EXPECT_EQ(dirty_count(), 16);

  gfx_palette(2, 255, 0, 0);
  EXPECT_EQ(screen_state->device_palette[2], 0x0000FFu);
  gfx_palette(3, 0x3F2000, -1, -1);  // blue 63, green 32
  EXPECT_EQ(screen_state->device_palette[3], 0xFF8100u);  // 32 x 255 / 63 = 129.5
  gfx_palette(300, 0x3F00, -1, -1);
  EXPECT_EQ(screen_state->device_palette[44], 0x00FF00u);
}

TEST_F(Palette, ResetRestoresTheModesPalette) {
  ASSERT_EQ(gfx_screen(13, 0, 1, 0, 0), 0);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(screen_state->device_palette[i], vga_entry(i)) << i;
  EXPECT_EQ(screen_state->device_palette[15], 0xFFFFFFu);
  use_driver(counting_driver);
  gfx_palette(15, 0, 0, 0);
  gfx_palette(-1, 0, 0, 0);
  EXPECT_EQ(screen_state->device_palette[15], 0xFFFFFFu);
  EXPECT_EQ(counts.palette_calls, 1 + 256);
}

TEST_F(Palette, LegacyModesShowTheirColourMaps) {
  ASSERT_EQ(gfx_screen(9, 0, 1, 0, 0), 0);  // 64-colour palette, 16 pixel values
  EXPECT_EQ(screen_state->colour_map[6], 20);
  EXPECT_EQ(screen_state->device_palette[6], screen_state->mode_palette[20]);
  ASSERT_EQ(gfx_screen(1, 0, 1, 0, 0), 0);
  gfx_colour(0, 1, 1);  // background 1: the map 0, 3, 5, 7
  EXPECT_EQ(std::vector<int>(screen_state->colour_map, screen_state->colour_map + 4), (std::vector<int>{0, 3, 5, 7}));
  GfxContext* ctx = gfx_get_context();
  uint32_t fg = ctx->foreground, bg = ctx->background;
  gfx_colour(4, 0, 2);  // foreground: pixel value 0 shows entry 4
  EXPECT_EQ(screen_state->colour_map[0], 4);
  EXPECT_EQ(screen_state->device_palette[0], screen_state->mode_palette[4]);
  EXPECT_EQ(ctx->foreground, fg);
  EXPECT_EQ(ctx->background, bg);
}

TEST_F(Palette, PaletteScreensOnly) {
  open(32, 16, 32);
  clear_dirty();
  gfx_palette(1, 63, -1, -1);
  int all[256];
  std::fill_n(all, 256, 0x3F);
  gfx_palette_using(all);
  EXPECT_EQ(dirty_count(), 0);
  EXPECT_EQ(screen_state->device_palette[1], 0u);
}

TEST_F(Palette, UsingAnArraySkipsNegativeEntries) {
  open(32, 16, 8);
  std::vector<int> values(256, -1);
  values[3] = 0x3F;
  uint32_t before = screen_state->device_palette[4];
  gfx_palette_using(values.data());
  EXPECT_EQ(screen_state->device_palette[3], 0xFFu);
  EXPECT_EQ(screen_state->device_palette[4], before);
}

TEST_F(Palette, ColourHookReturnsThePreviousColours) {
  open(16, 16, 32);
  EXPECT_EQ(uint32_t(gfx_colour(0x11223344, 0x55667788, 0)), 0xFFFFFFFFu);
  EXPECT_EQ(uint32_t(gfx_colour(0, 0, 3)), 0x11223344u);
  EXPECT_EQ(gfx_get_context()->background, 0x55667788u);

  open(16, 16, 16);
  gfx_colour(0x00FF0000, 0, 2);
  EXPECT_EQ(gfx_get_context()->foreground, 0xF800u);
  EXPECT_EQ(gfx_get_context()->background, 0u);
  EXPECT_EQ(uint32_t(gfx_colour(0, 0, 3)), 0xFFFF0000u);

  open(16, 16, 8);
  EXPECT_EQ(gfx_colour(0x1234, 2, 0), 15);
  EXPECT_EQ(gfx_colour(0, 0, 3), 0x34 + 2 * 65536);

  ASSERT_EQ(gfx_screen(7, 0, 1, 0, 0), 0);
  gfx_colour(0x1F, 9, 0);
  EXPECT_EQ(gfx_get_context()->foreground, 15u);
  EXPECT_EQ(screen_state->colour_map[0], 9);
}

TEST_F(Palette, PortsWriteAndReadEntries) {
  open(32, 16, 8);
  gfx_port_write(0x3C8, 0);
  for (int v : {63, 0, 0}) EXPECT_EQ(gfx_port_write(0x3C9, v), 0);
  EXPECT_EQ(screen_state->device_palette[0], 0xFFu);
  for (int v : {0, 0xFF, 0x20}) gfx_port_write(0x3C9, v);  // the index moved on to 1
  EXPECT_EQ(screen_state->device_palette[1], 0x81FF00u);

  gfx_port_write(0x3C7, 0);
  std::vector<int> read;
  for (int i = 0; i < 6; ++i) read.push_back(gfx_port_read(0x3C9));
  EXPECT_EQ(read, (std::vector<int>{63, 0, 0, 0, 63, 32}));

  EXPECT_EQ(gfx_port_read(0x3C8), -1);
  EXPECT_EQ(gfx_port_write(0x3D4, 1), -1);
}

TEST_F(Palette, PortsOfLegacyPalettesChangeEveryPixelValueShowingTheEntry) {
  ASSERT_EQ(gfx_screen(9, 0, 1, 0, 0), 0);
  gfx_port_write(0x3C8, 20);
  for (int v : {63, 63, 0}) gfx_port_write(0x3C9, v);
  EXPECT_EQ(screen_state->mode_palette[20], 0x00FCFCu);
  EXPECT_EQ(screen_state->device_palette[6], 0x00FCFCu);
}

TEST_F(Palette, StatusPortReportsRetrace) {
  EXPECT_EQ(gfx_port_read(0x3DA), -1);  // no screen
  open(16, 16, 32);
  EXPECT_EQ(gfx_port_read(0x3DA), 8);
  use_driver(counting_driver);
  EXPECT_EQ(gfx_port_read(0x3DA), 8);
  EXPECT_EQ(counts.vsyncs, 1);
}

}  // namespace
