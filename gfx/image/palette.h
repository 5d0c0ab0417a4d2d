// Colour conversion for every pixel format, the palettes of palette screens
// and the emulated VGA palette and status ports.
#pragma once
#include <cstdint>

// gfx_fix_colour, gfx_palette, gfx_palette_using, gfx_colour, gfx_port_read
// and gfx_port_write: declared in the public header.
#include "zentravolk/image.h"

uint32_t gfx_rgb_for_depth(int bytes_per_pixel, uint32_t colour, int red, int green, int blue);
// RGB 5-6-5 widened to 0x00RRGGBB, each component's top bits repeated into
// its low bits (0xFFFF reads as 0x00FFFFFF).
uint32_t gfx_widen_565(uint32_t v);

void gfx_set_palette_entry(int index, int value);
void gfx_send_palette();
