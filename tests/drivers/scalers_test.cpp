// Whole-number scalers: every pixel becomes a k x k block of its own bytes,
// nothing is written outside the blocks, the fast set equals the plain set
// on random rows of odd widths at unaligned addresses, and the chooser.
#include "drivers/scalers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr uint8_t kFill = 0xA5;
constexpr int kRows = 3;

struct Picture {
  std::vector<uint8_t> bytes;
  int pitch;
  int offset;  // where the first row starts, to make it unaligned
};

// Random rows of `width` pixels, `offset` bytes into the buffer, with a
// pitch a few bytes wider than the row.
Picture random_source(std::mt19937& random, int bytes, int width, int offset) {
  Picture p{{}, width * bytes + 5, offset};
  p.bytes.resize(size_t(offset + p.pitch * kRows));
  for (auto& b : p.bytes) b = uint8_t(random());
  return p;
}

// The destination for k times the source, filled, with margins on every side.
Picture run(Scaler scaler, const Picture& source, int bytes, int width, int k, int offset) {
  Picture out{{}, width * k * bytes + 7, offset};
  out.bytes.assign(size_t(offset + out.pitch * kRows * k + 9), kFill);
  scaler(source.bytes.data() + source.offset, source.pitch, width, kRows, out.bytes.data() + offset, out.pitch);
  return out;
}

class Scalers : public ::testing::TestWithParam<int> {};  // pixel bytes

TEST_P(Scalers, EveryPixelBecomesABlockAndNothingElseIsWritten) {
  const int bytes = GetParam();
  std::mt19937 random{uint32_t(bytes)};
  for (int k : {1, 2, 3, 4, 5, 7, 16})
    for (int width : {1, 3, 9, 17}) {
      Picture source = random_source(random, bytes, width, 1);
      Picture out = run(choose_scaler(bytes, k, kPlainLevelOnly), source, bytes, width, k, 3);
      for (size_t i = 0; i < out.bytes.size(); ++i) {
        const ptrdiff_t at = ptrdiff_t(i) - out.offset;
        const ptrdiff_t row = at >= 0 ? at / out.pitch : -1, column = at >= 0 ? at % out.pitch : -1;
        uint8_t expected = kFill;
        if (row >= 0 && row < kRows * k && column < width * k * bytes) {
          const ptrdiff_t x = column / bytes / k, byte = column % bytes;
          expected = source.bytes[size_t(source.offset + (row / k) * source.pitch + x * bytes + byte)];
        }
        ASSERT_EQ(out.bytes[i], expected) << "k " << k << " width " << width << " byte " << i;
      }
    }
}

TEST_P(Scalers, FastSetGivesThePlainSetsBytes) {
  const int bytes = GetParam();
  std::mt19937 random{uint32_t(100 + bytes)};
  for (int k = 1; k <= kMaxScale; ++k)
    for (int width : {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 640})
      for (int offset : {0, 1, 2, 3}) {
        Picture source = random_source(random, bytes, width, offset);
        Picture plain = run(choose_scaler(bytes, k, kPlainLevelOnly), source, bytes, width, k, 3 - offset);
        Picture fast = run(choose_scaler(bytes, k, routine_levels()), source, bytes, width, k, 3 - offset);
        ASSERT_EQ(plain.bytes, fast.bytes) << "k " << k << " width " << width << " offset " << offset;
      }
}

INSTANTIATE_TEST_SUITE_P(PixelBytes, Scalers, ::testing::Values(2, 3, 4),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::to_string(info.param) + "_bytes";
                         });

TEST(ScalerChoice, EveryFactorHasAPlainMemberAndOnlySizesAndFactorsInRangeAreServed) {
  for (int bytes : {2, 3, 4})
    for (int k = 1; k <= kMaxScale; ++k) {
      EXPECT_NE(plain_scalers[size_t(bytes - 2)][size_t(k)], nullptr);
      EXPECT_EQ(choose_scaler(bytes, k, kPlainLevelOnly), plain_scalers[size_t(bytes - 2)][size_t(k)]);
      EXPECT_NE(choose_scaler(bytes, k, routine_levels()), nullptr);
    }
  // The SSE2 level has a wide member of its own; plain serves where it is off.
  const RoutineLevels sse2{1u | 1u << int(RoutineLevel::sse2), false};
  EXPECT_NE(choose_scaler(4, 2, sse2), choose_scaler(4, 2, kPlainLevelOnly));
  EXPECT_EQ(choose_scaler(4, 2, sse2), sse2_scalers[2][2]);
  EXPECT_EQ(choose_scaler(3, 2, sse2), plain_scalers[1][2]);  // no 3-byte member above plain
  for (auto [bytes, k] : {std::pair{1, 2}, {5, 2}, {4, 0}, {4, -1}, {4, kMaxScale + 1}})
    EXPECT_EQ(choose_scaler(bytes, k, routine_levels()), nullptr) << bytes << " bytes, factor " << k;
}

}  // namespace
