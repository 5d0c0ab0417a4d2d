// Pictures for the asset generator: 24-bit colours, a picture of them with
// the mask colour as transparency, the colour arithmetic every drawing job
// uses, and the small marks several pictures share (flowers, outlines).
//
// All arithmetic is integer so that every compiler gives the same pixels.
#pragma once

#include <cstddef>
#include <vector>

namespace make_assets {

struct Rgb {
  int r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Magenta, which the game's transparent put skips.
constexpr Rgb kMask{255, 0, 255};

// The colour with every component clamped to 0..255.
Rgb rgb(int r, int g, int b);

// Adds d to every component.
Rgb lighten(Rgb c, int d);

// a + (b - a) * t / 256, t in 0..256.
Rgb mix(Rgb a, Rgb b, int t);

// Component-wise scale by f / 256 (256 leaves the colour as it is).
Rgb scale(Rgb c, int f);

class Picture {
 public:
  Picture(int w, int h, Rgb fill) : w_(w), h_(h), px_(static_cast<size_t>(w) * h, fill) {}

  int width() const { return w_; }
  int height() const { return h_; }
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
  Rgb at(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }
  bool is_mask(int x, int y) const { return at(x, y) == kMask; }

  // Writes an opaque pixel; a colour that happens to equal the mask colour is
  // nudged off it so that it never turns transparent by accident.
  void set(int x, int y, Rgb c) {
    if (!inside(x, y)) return;
    if (c == kMask) c.r = 254;
    px_[static_cast<size_t>(y) * w_ + x] = c;
  }
  // Blends c over the pixel with coverage a (0..256).
  void blend(int x, int y, Rgb c, int a) {
    if (inside(x, y)) set(x, y, mix(at(x, y), c, a));
  }

 private:
  int w_, h_;
  std::vector<Rgb> px_;
};

// Whether one of the four pixels beside (x, y), not diagonally, lies inside
// the picture and is (mask true) or is not (mask false) the mask colour.
bool beside(const Picture& p, int x, int y, bool mask);

// A five-pixel flower: petals left, right, above and below a heart. The right
// petal is shaded by right_shade / 256, the lower one by 210 / 256.
struct Flower {
  int x, y;
  Rgb petal;
};
void draw_flower(Picture& p, const Flower& f, Rgb heart, int right_shade);

}  // namespace make_assets
