// The head-up display.
#include "game/hud.h"

#include <cstring>

#include "gfx/blit/putters.h"
#include "gfx/image/image.h"
#include "gfx/text/text.h"
#include "runtime/runtime.h"

const char kHudLine2[] = "     Pritisni F za FPS limit ";
const char kHudLine3[] = "      Rana test verzija 0.1 ";
const char kHudCredit[] = " Zentravolk - zentravolk@example.org ";

void hud_write_font_header(ImageBuffer* font) {
  if (!font) return;
  uint8_t* p = gfx_image_bytes(font) + (gfx_image_bytes(font)[0] == kImageLongType ? kImageLongHeader
                                                                                     : kImageShortHeader);
  p[0] = 0;
  p[1] = 32;
  p[2] = 127;
  for (int c = 32; c <= 127; ++c) p[c - 29] = 8;
}

static void fixed_line(float y, const char* text) {
  gfx_draw_string(nullptr, 200.0f, y, ZQ_TEXT_ABSOLUTE, rt_str_temp(text, int(std::strlen(text))), 0, nullptr, 0, nullptr,
                  nullptr, nullptr);
}

StringValue* hud_status_text(const Game* game) {
  StringValue* status = rt_str_concat(nullptr, "FPS: ", 6, rt_int_to_str(game->clock.fps_shown), -1);
  status = rt_str_concat(nullptr, status, -1, " Drajver: ", 11);
  // The driver name is an argument the call keeps: it is not a temporary.
  return rt_str_concat(nullptr, status, -1, &game->driver_name, -1);
}

void hud_draw(const Game* game) {
  StringValue* status = hud_status_text(game);
  gfx_draw_string(nullptr, 10.0f, 10.0f, ZQ_TEXT_ABSOLUTE, status, 255, game->font_image, 9, putter_blend, nullptr, nullptr);
  fixed_line(30.0f, kHudLine2);
  fixed_line(40.0f, kHudLine3);
  fixed_line(50.0f, kHudCredit);
}
