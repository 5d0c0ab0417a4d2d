// The short form of text drawing: a C string at a point, in one colour, with
// the built-in font or a font image put with its mask.
#include "gfx/text/text.h"
#include "runtime/rt_string.h"
#include "zentravolk/shortcuts.h"

int gfx_draw_text(ImageBuffer* target, float x, float y, const char* text, uint32_t colour,
                  const ImageBuffer* font) {
  return gfx_draw_string(target, x, y, ZQ_TEXT_ABSOLUTE, rt_str_temp_c(text), colour, font, 0,
                         font ? putter_transparent : nullptr, nullptr, nullptr);
}
