// The plain blitter set, the copy members, the expansion table and the
// chooser. The plain members convert pixel by pixel: two 16-bit results per
// 32-bit store, 24-bit output four pixels (three words) at a time, and 16-bit
// sources widened through the expansion table.
#include "drivers/blitters.h"

#include <cstring>

#include "drivers/blitters_detail.h"

using namespace blit_detail;

namespace {

// Row writers: px(x) gives the converted value of pixel x of the row.

// Two 16-bit pixels per 32-bit store, a last odd pixel alone.
template <typename Px>
void write_16(uint8_t* dst, int width, Px px) {
  int x = 0;
  for (; x + 2 <= width; x += 2) store32(dst + 2 * x, px(x) | (px(x + 1) << 16));
  if (x < width) store16(dst + 2 * x, px(x));
}

// Three bytes per pixel: four pixels as three words, then two pixels as a
// word and a half-word, then one pixel as a half-word and a byte.
template <typename Px>
void write_24(uint8_t* dst, int width, Px px) {
  int x = 0;
  for (; x + 4 <= width; x += 4, dst += 12) {
    uint32_t c0 = px(x), c1 = px(x + 1), c2 = px(x + 2), c3 = px(x + 3);
    store32(dst, c0 | (c1 << 24));
    store32(dst + 4, (c1 >> 8) | (c2 << 16));
    store32(dst + 8, (c2 >> 16) | (c3 << 8));
  }
  if (x + 2 <= width) {
    uint32_t c0 = px(x), c1 = px(x + 1);
    store32(dst, c0 | (c1 << 24));
    store16(dst + 4, c1 >> 8);
    x += 2;
    dst += 6;
  }
  if (x < width) store24(dst, px(x));
}

template <typename Px>
void write_32(uint8_t* dst, int width, Px px) {
  for (int x = 0; x < width; ++x) store32(dst + 4 * x, px(x));
}

// The row writer for an output of OutBytes bytes per pixel.
template <int OutBytes, typename Px>
void write_row(uint8_t* dst, int width, Px px) {
  if constexpr (OutBytes == 2) {
    write_16(dst, width, px);
  } else if constexpr (OutBytes == 3) {
    write_24(dst, width, px);
  } else {
    static_assert(OutBytes == 4, "outputs are 2, 3 or 4 bytes per pixel");
    write_32(dst, width, px);
  }
}

// ---- palette sources: each index is shown through the device palette ----

template <int OutBytes, PixelFn Convert>
void palette_rows(uint8_t* destination, int destination_pitch) {
  const uint32_t* pal = device_palette();
  if (!pal) return;
  for_each_dirty_row(destination, destination_pitch, 1, [pal](const uint8_t* src, uint8_t* dst, int width) {
    write_row<OutBytes>(dst, width, [=](int x) { return Convert(pal[src[x]]); });
  });
}

// ---- 16-bit and 32-bit sources converted pixel by pixel ----

template <int OutBytes, PixelFn Convert>
void rgb16_rows(uint8_t* destination, int destination_pitch) {
  for_each_dirty_row(destination, destination_pitch, 2, [](const uint8_t* src, uint8_t* dst, int width) {
    write_row<OutBytes>(dst, width, [=](int x) { return Convert(load16(src + 2 * x)); });
  });
}

template <int OutBytes, PixelFn Convert>
void rgb32_rows(uint8_t* destination, int destination_pitch) {
  for_each_dirty_row(destination, destination_pitch, 4, [](const uint8_t* src, uint8_t* dst, int width) {
    write_row<OutBytes>(dst, width, [=](int x) { return Convert(load32(src + 4 * x)); });
  });
}

// The wide 16-bit members look both bytes of a pixel up in the expansion
// table, so one member serves both orders: the chooser fills the table for
// the order.
void rgb16_24(uint8_t* destination, int destination_pitch) {
  const uint32_t* table = screen_conversion_table;
  if (!table) return;
  for_each_dirty_row(destination, destination_pitch, 2, [table](const uint8_t* src, uint8_t* dst, int width) {
    write_24(dst, width, [=](int x) {
      uint32_t e = load16(src + 2 * x);
      return table[e & 0xFF] | table[256 + (e >> 8)];
    });
  });
}

// Two pixels per step (one 32-bit load), then a last odd pixel.
void rgb16_32(uint8_t* destination, int destination_pitch) {
  const uint32_t* table = screen_conversion_table;
  if (!table) return;
  for_each_dirty_row(destination, destination_pitch, 2, [table](const uint8_t* src, uint8_t* dst, int width) {
    int x = 0;
    for (; x + 2 <= width; x += 2) {
      uint32_t pair = load32(src + 2 * x);
      store32(dst + 4 * x, table[pair & 0xFF] | table[256 + ((pair >> 8) & 0xFF)]);
      store32(dst + 4 * x + 4, table[(pair >> 16) & 0xFF] | table[256 + (pair >> 24)]);
    }
    if (x < width) {
      uint32_t e = load16(src + 2 * x);
      store32(dst + 4 * x, table[e & 0xFF] | table[256 + (e >> 8)]);
    }
  });
}

// Source class of a screen depth: 0 palette, 1 16-bit, 2 32-bit, -1 none.
int source_class(int depth) {
  switch (depth) {
    case 1: case 2: case 4: case 8: return 0;
    case 15: case 16: return 1;
    case 24: case 32: return 2;
    default: return -1;
  }
}

constexpr int kClassPixelBytes[3] = {1, 2, 4};

// Position of a destination depth within a source class's four slots.
int destination_index(int depth) {
  switch (depth) {
    case 15: return 0;
    case 16: return 1;
    case 24: return 2;
    case 32: return 3;
    default: return -1;
  }
}

}  // namespace

const Blitter plain_blitters[2][kBlitterSlots] = {
    {palette_rows<2, palette_to_15<false>>, palette_rows<2, palette_to_16<false>>,
     palette_rows<3, palette_to_24<false>>, palette_rows<4, palette_to_32<false>>,
     rgb16_rows<2, rgb16_to_15<false>>, blitter_copy, rgb16_24, rgb16_32,
     rgb32_rows<2, rgb32_to_15<false>>, rgb32_rows<2, rgb32_to_16<false>>,
     rgb32_rows<3, rgb32_to_24<false>>, blitter_copy},
    {palette_rows<2, palette_to_15<true>>, palette_rows<2, palette_to_16<true>>,
     palette_rows<3, palette_to_24<true>>, palette_rows<4, palette_to_32<true>>,
     rgb16_rows<2, rgb16_to_15<true>>, rgb16_rows<2, rgb16_to_16_swapped>, rgb16_24, rgb16_32,
     rgb32_rows<2, rgb32_to_15<true>>, rgb32_rows<2, rgb32_to_16<true>>,
     rgb32_rows<3, rgb32_to_24<true>>, rgb32_rows<4, rgb32_to_32_swapped>},
};

void blitter_copy(uint8_t* destination, int destination_pitch) {
  if (!screen_state) return;
  const size_t pixel_bytes = size_t(screen_state->bytes_per_pixel);
  for_each_dirty_row(destination, destination_pitch, 0, [pixel_bytes](const uint8_t* src, uint8_t* dst, int width) {
    std::memcpy(dst, src, size_t(width) * pixel_bytes);
  });
}

void blitter_shaped_copy(uint8_t* destination, int destination_pitch) {
  for_each_dirty_row(destination, destination_pitch, 4, [](const uint8_t* src, uint8_t* dst, int width) {
    write_32(dst, width, [=](int x) { return load32(src + 4 * x) & 0xFFFFFF; });
  });
}

void fill_expansion_table(uint32_t* table, int order_flag) {
  if (!table) return;
  for (uint32_t i = 0; i < 256; ++i) {
    if (order_flag == kOrderSwapped) {
      table[i] = ((i & 0x1F) << 19) | ((i & 0xE0) << 5);
      table[256 + i] = ((i & 7) << 13) | (i & 0xF8);
    } else {
      table[i] = ((i & 0x1F) << 3) | ((i & 0xE0) << 5);
      table[256 + i] = ((i & 7) << 13) | ((i & 0xF8) << 16);
    }
  }
}

Blitter blitter_member(const RoutineLevels& levels, int order_flag, int slot) {
  if (order_flag != kOrderNormal && order_flag != kOrderSwapped) return nullptr;
  if (slot < 0 || slot >= kBlitterSlots) return nullptr;
  return level_member<Blitter>(levels, {plain_blitters[order_flag][slot], sse2_blitters[order_flag][slot], nullptr});
}

Blitter choose_blitter(int destination_depth, int order_flag) {
  if (order_flag != kOrderNormal && order_flag != kOrderSwapped) return nullptr;
  fill_expansion_table(screen_conversion_table, order_flag);
  const ScreenState* s = screen_state;
  if (!s) return nullptr;
  const int cls = source_class(s->depth);
  // A record whose pixel size disagrees with its depth would make every
  // member read rows of the wrong length.
  if (cls < 0 || s->bytes_per_pixel != kClassPixelBytes[cls]) return nullptr;
  if (cls == 0 && destination_depth == 8) return blitter_copy;
  const int index = destination_index(destination_depth);
  if (index < 0) return nullptr;
  const int slot = cls * 4 + index;
  if ((slot == k16To24 || slot == k16To32) && !screen_conversion_table) return nullptr;
  const bool whole_steps = s->scanline_size == 1 && s->width % 4 == 0;
  return blitter_member(whole_steps ? screen_routine_levels(s) : kPlainLevelOnly, order_flag, slot);
}
