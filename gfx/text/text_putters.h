// The putters that draw a font's glyphs in the text's colour, given to the
// putter as its alpha argument (already in the target's pixel format): the
// coverage putter blends it over 4-byte targets by each source pixel's alpha
// byte; the stencil putter writes it wherever the source is not the mask
// colour, at any depth.
#pragma once
#include "gfx/text/font_glyphs.h"
#include "zentravolk/blit.h"

void putter_text_coverage(const uint8_t* source, uint8_t* target, int width, int height, int source_pitch,
                          int target_pitch, int colour, PutterBlender blender, void* parameter);
void putter_text_stencil(const uint8_t* source, uint8_t* target, int width, int height, int source_pitch,
                         int target_pitch, int colour, PutterBlender blender, void* parameter);

// The putter a font of this kind is drawn with when the caller names none.
Putter gfx_font_putter(FontKind kind);
