// Scaled screens: where the picture of a screen goes in a window or on the
// desktop when it is shown at a whole-number scale. The picture is the
// largest whole multiple k of the screen that fits the drawable (at least
// 1), centred, with black bars around it; every screen pixel is a k x k
// block. Positions in the window map back to screen pixels through the
// same numbers.
#pragma once

#include "drivers/scalers.h"

struct ScaleLayout {
  int factor = 1;                   // k
  int left = 0, top = 0;            // the picture's top-left corner in drawable pixels
  int drawable_width = 0, drawable_height = 0;
  int window_width = 0, window_height = 0;  // the client area in window units (pointer positions)
  // Screen pixels shown: all of them, unless the drawable is smaller than
  // the screen itself (then the picture is cut at the right and bottom).
  int columns = 0, rows = 0;
};

// The layout of a screen of width x height in a drawable of that size; the
// window size (in the units pointer positions come in) is the drawable's
// when 0.
ScaleLayout scale_layout(int width, int height, int drawable_width, int drawable_height, int window_width = 0,
                         int window_height = 0);

// The factor a scaled window opens at: `asked` (1..kMaxScale) when given,
// else (0) the largest k at which k x width by k x height fits in 90% of the
// usable desktop area, at least 1.
int scale_open_factor(int width, int height, int usable_width, int usable_height, int asked);

// What the environment asks for: ZQSCALE "auto" (any letter case) gives 0,
// a whole number 1..kMaxScale gives that factor, and anything else or no
// variable gives -1 (no scaling asked for).
int scale_from_environment();

// A position in the window (window units) as a screen pixel:
// floor((drawable position - bar) / k). False when it falls on a bar or
// outside the window; the pixel is still given (outside the screen).
bool scale_window_to_screen(const ScaleLayout& layout, int window_x, int window_y, int* x, int* y);
// A screen pixel as the window position at the centre of its block.
void scale_screen_to_window(const ScaleLayout& layout, int x, int y, int* window_x, int* window_y);
