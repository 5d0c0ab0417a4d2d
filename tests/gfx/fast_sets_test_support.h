// The fast routine sets a test can run on this processor: SSE2 alone and
// SSE2 with each combination of the wider features the processor reports
// (AVX2, fast string instructions). Each must give the plain set's pixels.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/cpu_features.h"
#include "gfx/pixel_routines.h"

inline std::vector<uint32_t> runnable_fast_features() {
  const uint32_t have = gfx_fast_features();
  if (!(have & kCpuSse2)) return {have};  // no vector unit: the one fast set there is
  std::vector<uint32_t> sets;
  for (uint32_t extra : {0u, kCpuFastStrings, kCpuAvx2, kCpuAvx2 | kCpuFastStrings})
    if ((extra & have) == extra) sets.push_back(kCpuSse2 | extra);
  return sets;
}

inline std::string feature_name(uint32_t features) {
  std::string name = (features & kCpuSse2) ? "sse2" : "scalar";
  if (features & kCpuAvx2) name += "+avx2";
  if (features & kCpuFastStrings) name += "+strings";
  return name;
}
