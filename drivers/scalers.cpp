// The plain scalers and the chooser: each source pixel copied into the k
// places of the first destination row of its blocks, then that row copied
// into the k - 1 rows below.
#include "drivers/scalers.h"

#include "drivers/scalers_detail.h"

namespace {

template <int Bytes, int Factor>
struct PlainMember {
  static void scale(const uint8_t* source, int source_pitch, int width, int rows, uint8_t* destination,
                    int destination_pitch) {
    scaler_detail::for_each_row<Bytes, Factor>(
        source, source_pitch, width, rows, destination, destination_pitch,
        [](const uint8_t* src, uint8_t* dst, int w) {
          for (int x = 0; x < w; ++x, src += Bytes)
            for (int i = 0; i < Factor; ++i, dst += Bytes) std::memcpy(dst, src, Bytes);
        });
  }
};

}  // namespace

const ScalerSet plain_scalers = scaler_detail::make_set<PlainMember>();

Scaler choose_scaler(int pixel_bytes, int factor, const RoutineLevels& levels) {
  if (pixel_bytes < 2 || pixel_bytes > 4 || factor < 1 || factor > kMaxScale) return nullptr;
  const size_t row = size_t(pixel_bytes - 2), column = size_t(factor);
  return level_member<Scaler>(levels, {plain_scalers[row][column], sse2_scalers[row][column], nullptr});
}
