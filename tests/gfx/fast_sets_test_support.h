// The fast routine sets a test runs: SSE2 alone and SSE2 with each
// combination of the wider features (AVX2, fast string instructions). Each
// must give the plain set's pixels; a set the processor cannot run is
// skipped, not failed.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "gfx/draw/pixel_routines.h"
#include "gfx/screen/cpu_features.h"

inline constexpr uint32_t kFastSetMasks[] = {kCpuSse2, kCpuSse2 | kCpuFastStrings, kCpuSse2 | kCpuAvx2,
                                             kCpuSse2 | kCpuAvx2 | kCpuFastStrings};

inline std::string feature_name(uint32_t features) {
  std::string name = (features & kCpuSse2) ? "sse2" : "scalar";
  if (features & kCpuAvx2) name += "_avx2";
  if (features & kCpuFastStrings) name += "_strings";
  return name;
}

// A test over one fast set, given by its kCpu* mask.
class FastSetTest : public ::testing::TestWithParam<uint32_t> {
 protected:
  void SetUp() override {
    if (uint32_t missing = features() & ~gfx_fast_features())
      GTEST_SKIP() << "this processor cannot run " << feature_name(missing);
  }
  uint32_t features() const { return GetParam(); }
};

// Runs the TEST_Ps of a FastSetTest fixture once per fast set.
#define ZQ_FOR_EVERY_FAST_SET(Fixture)                                             \
  INSTANTIATE_TEST_SUITE_P(Sets, Fixture, ::testing::ValuesIn(kFastSetMasks),    \
                           [](const ::testing::TestParamInfo<uint32_t>& info) { \
                             return feature_name(info.param);                   \
                           })
