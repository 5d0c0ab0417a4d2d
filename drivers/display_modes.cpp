// Full-screen mode lists at one depth, exact or with its twin.
#include "drivers/display_modes.h"

#include <cstdint>
#include <cstdlib>

#include "platform/pixel_depth.h"
#include "platform/window_system.h"

namespace {

bool exact_depth(int mode_bits, int depth) { return mode_bits == depth; }

bool twin_depth(int mode_bits, int depth) { return depth_matches_or_twin(mode_bits, depth); }

int* list_matching_modes(int depth, int* count, bool (*matches)(int mode_bits, int depth)) {
  const WindowSystem* ws = window_system();
  *count = 0;
  if (!ws->start_video()) return nullptr;
  int* list = nullptr;
  WsDisplayMode mode;
  for (int i = 0; ws->display_mode(i, &mode); ++i) {
    if (!matches(mode.bits_per_pixel, depth)) continue;
    auto* grown = static_cast<int*>(std::realloc(list, sizeof(int) * size_t(*count + 1)));
    if (!grown) break;
    list = grown;
    list[(*count)++] = int(uint32_t(mode.width) << 16 | uint32_t(mode.height & 0xFFFF));
  }
  ws->stop_video();
  return list;
}

}  // namespace

int* list_display_modes(int depth, int* count) { return list_matching_modes(depth, count, exact_depth); }

int* list_display_modes_with_twins(int depth, int* count) {
  return list_matching_modes(depth, count, twin_depth);
}
