// Colour conversion for every pixel format, the palettes of palette screens
// and the emulated VGA palette and status ports.
#pragma once
#include <cstdint>

uint32_t gfx_rgb_for_depth(int bytes_per_pixel, uint32_t colour, int red, int green, int blue);
uint32_t gfx_fix_colour(int bytes_per_pixel, uint32_t colour);
// RGB 5-6-5 widened to 0x00RRGGBB, each component's top bits repeated into
// its low bits (0xFFFF reads as 0x00FFFFFF).
uint32_t gfx_widen_565(uint32_t v);

// index >= 0 sets one entry; index < 0 resets the palette to the mode's default.
void gfx_palette(int index, int colour, int green, int blue);
// Sets the entry of every pixel value i below 2^depth whose values[i] is 0
// or above; values must hold at least 2^depth entries.
void gfx_palette_using(const int* values);
void gfx_set_palette_entry(int index, int value);
void gfx_send_palette();
// The colour hook: omitted bit 0 = no foreground, bit 1 = no background.
// Returns the colours as they were before the call.
int gfx_colour(int foreground, int background, int omitted);
// The emulated VGA palette ports (0x3C7, 0x3C8, 0x3C9) and the status port
// (0x3DA); -1 for any other port or with no screen open.
int gfx_port_read(int port);
int gfx_port_write(int port, int value);
