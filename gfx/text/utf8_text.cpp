// UTF-8 to code page 437 through the platform layer's table, the same one
// typed characters go through.
#include "gfx/text/utf8_text.h"

#include <cstdint>

#include "platform/cp437.h"

std::string gfx_cp437_from_utf8(const char* text) {
  std::string codes;
  uint32_t code_point;
  while (int n = utf8_next(text, &code_point)) {
    text += n;
    int code = cp437_glyph_from_unicode(code_point);
    codes += code < 0 ? '?' : char(code);
  }
  return codes;
}
