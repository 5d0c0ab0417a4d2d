// The short forms of a put: the whole image at a point, at full strength;
// mirrored, stretched to a size, or turned about its centre.
#include "gfx/blit/put.h"
#include "zentravolk/shortcuts.h"

namespace {

constexpr int kFullStrength = 255;

int put_whole(ImageBuffer* target, float x, float y, const ImageBuffer* image, const GfxTransform& t,
              Putter putter) {
  return gfx_put_transformed(target, x, y, image, nullptr, &t, putter, kFullStrength, nullptr, nullptr);
}

}  // namespace

int gfx_put_image(ImageBuffer* target, float x, float y, const ImageBuffer* image, Putter putter) {
  return gfx_put(target, x, y, image, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter, kFullStrength, nullptr, nullptr);
}

int gfx_put_flipped(ImageBuffer* target, float x, float y, const ImageBuffer* image, int flip, Putter putter) {
  return put_whole(target, x, y, image, GfxTransform{1.0, 1.0, 0.0, 0.0, 0.0, flip}, putter);
}

int gfx_put_scaled(ImageBuffer* target, float x, float y, int width, int height, const ImageBuffer* image,
                   Putter putter) {
  int w = 0, h = 0;
  // An image without a size is left to the full call to refuse (or, when
  // empty, to draw nothing).
  if (image && gfx_image_size(image, &w, &h) == ZQ_OK && w > 0 && h > 0)
    return put_whole(target, x, y, image, GfxTransform{double(width) / w, double(height) / h, 0.0, 0.0, 0.0, 0},
                     putter);
  return gfx_put_transformed(target, x, y, image, nullptr, nullptr, putter, kFullStrength, nullptr, nullptr);
}

int gfx_put_rotated(ImageBuffer* target, float x, float y, const ImageBuffer* image, double angle, double scale,
                    Putter putter) {
  int w = 0, h = 0;
  if (image) gfx_image_size(image, &w, &h);
  return put_whole(target, x, y, image, GfxTransform{scale, scale, angle, w / 2.0, h / 2.0, 0}, putter);
}
