// Full-screen mode lists at an exact depth.
#include "drivers/display_modes.h"

#include <cstdint>
#include <cstdlib>

#include "platform/window_system.h"

int* list_display_modes(int depth, int* count) {
  const WindowSystem* ws = window_system();
  *count = 0;
  if (!ws->start_video()) return nullptr;
  int* list = nullptr;
  WsDisplayMode mode;
  for (int i = 0; ws->display_mode(i, &mode); ++i) {
    if (mode.bits_per_pixel != depth) continue;
    auto* grown = static_cast<int*>(std::realloc(list, sizeof(int) * size_t(*count + 1)));
    if (!grown) break;
    list = grown;
    list[(*count)++] = int(uint32_t(mode.width) << 16 | uint32_t(mode.height & 0xFFFF));
  }
  ws->stop_video();
  return list;
}
