// A scaled OpenGL screen: the program draws its width x height picture into
// the bottom-left corner of the drawable (the viewport the driver sets when
// the context is made), and at every page copy the driver copies that corner
// into a texture and draws it back at the layout's whole factor and place
// with nearest sampling, the bars cleared black, before the buffers swap.
// The program's OpenGL state (attributes, matrices, texture binding) is
// saved around that and given back.
#pragma once

#include "drivers/scale_layout.h"
#include "platform/window_system.h"

struct GlScaler;

// The entry points the scaling needs, found through the window system; null
// (and a reason set) when one is missing.
GlScaler* gl_scaler_create(const WindowSystem* ws);
void gl_scaler_destroy(GlScaler* scaler);
// The program's viewport for a screen of width x height.
void gl_scaler_set_viewport(GlScaler* scaler, int width, int height);
// Draws the picture of the screen at the layout's factor and place (the
// context current, before the swap).
void gl_scaler_show(GlScaler* scaler, const ScaleLayout& layout, int width, int height);
