// The short form of a put: the whole image at a point, at full strength.
#include "gfx/blit/put.h"
#include "zentravolk/shortcuts.h"

namespace {
constexpr int kFullStrength = 255;
}  // namespace

int gfx_put_image(ImageBuffer* target, float x, float y, const ImageBuffer* image, Putter putter) {
  return gfx_put(target, x, y, image, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter, kFullStrength, nullptr, nullptr);
}
