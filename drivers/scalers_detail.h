// What the plain and fast scalers share: the walk over the rows, which
// widens each source row into the first destination row of its blocks and
// copies that row into the rest of them, and the building of a set's table
// from a member template.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "drivers/scalers.h"

namespace scaler_detail {

template <int Bytes, int Factor, typename Widen>
void for_each_row(const uint8_t* source, int source_pitch, int width, int rows, uint8_t* destination,
                  int destination_pitch, Widen&& widen) {
  if (!source || !destination || width <= 0 || rows <= 0) return;
  const size_t out_bytes = size_t(width) * Factor * Bytes;
  for (int r = 0; r < rows; ++r) {
    uint8_t* first = destination + ptrdiff_t(r) * Factor * destination_pitch;
    widen(source + ptrdiff_t(r) * source_pitch, first, width);
    for (int i = 1; i < Factor; ++i) std::memcpy(first + ptrdiff_t(i) * destination_pitch, first, out_bytes);
  }
}

// One pixel size's row of a set: entry f is Member<Bytes, f>, entry 0 empty.
template <int Bytes, template <int, int> class Member, int... F>
constexpr std::array<Scaler, kMaxScale + 1> set_row(std::integer_sequence<int, F...>) {
  return {nullptr, Member<Bytes, F + 1>::scale...};
}

template <template <int, int> class Member>
constexpr ScalerSet make_set() {
  constexpr auto factors = std::make_integer_sequence<int, kMaxScale>{};
  return {set_row<2, Member>(factors), set_row<3, Member>(factors), set_row<4, Member>(factors)};
}

}  // namespace scaler_detail
