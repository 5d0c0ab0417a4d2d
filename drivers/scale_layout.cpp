// Scaled screens: the picture's factor and place, the opening factor, the
// environment's choice and the pointer's mapping through them.
#include "drivers/scale_layout.h"

#include <strings.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kUsablePercent = 90;  // of the usable desktop a new scaled window may take

// floor(a / b) for b > 0.
int64_t floor_div(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Window units to drawable pixels: a high-DPI drawable has more of them.
int to_drawable(int v, int drawable, int window) {
  return window > 0 ? int(floor_div(int64_t(v) * drawable, window)) : v;
}

}  // namespace

ScaleLayout scale_layout(int width, int height, int drawable_width, int drawable_height, int window_width,
                         int window_height) {
  ScaleLayout l;
  l.drawable_width = std::max(drawable_width, 0);
  l.drawable_height = std::max(drawable_height, 0);
  l.window_width = window_width > 0 ? window_width : l.drawable_width;
  l.window_height = window_height > 0 ? window_height : l.drawable_height;
  if (width <= 0 || height <= 0) return l;
  l.factor = std::clamp(std::min(l.drawable_width / width, l.drawable_height / height), 1, kMaxScale);
  l.left = std::max((l.drawable_width - l.factor * width) / 2, 0);
  l.top = std::max((l.drawable_height - l.factor * height) / 2, 0);
  l.columns = std::min(width, (l.drawable_width - l.left) / l.factor);
  l.rows = std::min(height, (l.drawable_height - l.top) / l.factor);
  return l;
}

int scale_open_factor(int width, int height, int usable_width, int usable_height, int asked) {
  if (asked >= 1) return std::min(asked, kMaxScale);
  if (width <= 0 || height <= 0) return 1;
  const int room_width = usable_width * kUsablePercent / 100, room_height = usable_height * kUsablePercent / 100;
  return std::clamp(std::min(room_width / width, room_height / height), 1, kMaxScale);
}

int scale_from_environment() {
  const char* value = std::getenv("ZQSCALE");
  if (!value || !*value) return -1;
  if (strcasecmp(value, "auto") == 0) return 0;
  char* end = nullptr;
  long factor = std::strtol(value, &end, 10);
  if (*end != '\0' || factor < 1 || factor > kMaxScale) return -1;
  return int(factor);
}

bool scale_window_to_screen(const ScaleLayout& l, int window_x, int window_y, int* x, int* y) {
  *x = int(floor_div(to_drawable(window_x, l.drawable_width, l.window_width) - l.left, l.factor));
  *y = int(floor_div(to_drawable(window_y, l.drawable_height, l.window_height) - l.top, l.factor));
  return *x >= 0 && *y >= 0 && *x < l.columns && *y < l.rows && window_x >= 0 && window_y >= 0 &&
         window_x < l.window_width && window_y < l.window_height;
}

void scale_screen_to_window(const ScaleLayout& l, int x, int y, int* window_x, int* window_y) {
  const int dx = l.left + x * l.factor + l.factor / 2, dy = l.top + y * l.factor + l.factor / 2;
  *window_x = l.drawable_width > 0 ? int(int64_t(dx) * l.window_width / l.drawable_width) : dx;
  *window_y = l.drawable_height > 0 ? int(int64_t(dy) * l.window_height / l.drawable_height) : dy;
}
