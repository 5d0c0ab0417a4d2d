// The lists of routine levels a test runs the fast members of: SSE2 alone,
// with the fast string moves, SSE2 with AVX2 over it (with and without the
// string moves) and AVX2 alone (SSE2 switched off). Each must give the plain
// level's pixels. A list the processor cannot run, or that uses a level this
// run has switched off (ZQ_DISABLE), is skipped, not failed.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "drivers/cpu_vectors.h"
#include "drivers/routine_levels.h"

inline constexpr uint32_t kSse2Bit = 1u << int(RoutineLevel::sse2);
inline constexpr uint32_t kAvx2Bit = 1u << int(RoutineLevel::avx2);
inline constexpr RoutineLevels kFastLevelLists[] = {
    {1u | kSse2Bit, false}, {1u | kSse2Bit, true},           {1u | kSse2Bit | kAvx2Bit, false},
    {1u | kSse2Bit | kAvx2Bit, true}, {1u | kAvx2Bit, false},
};

inline std::string level_list_name(const RoutineLevels& levels) {
  std::string name = "plain";
  for (RoutineLevel level : {RoutineLevel::sse2, RoutineLevel::avx2})
    if (levels.uses(level)) name += std::string("_") + routine_level_name(level);
  if (levels.fast_strings) name += "_strings";
  return name;
}

// A test over one list of levels.
class FastSetTest : public ::testing::TestWithParam<RoutineLevels> {
 protected:
  void SetUp() override {
    const RoutineLevels& run = routine_levels();
    if ((levels().in_use & ~run.in_use) || (levels().fast_strings && !run.fast_strings))
      GTEST_SKIP() << "this run does not use " << level_list_name(levels()) << " (it uses "
                   << level_list_name(run) << ")";
  }
  const RoutineLevels& levels() const { return GetParam(); }
};

// Runs the TEST_Ps of a FastSetTest fixture once per list of levels.
#define ZQ_FOR_EVERY_FAST_SET(Fixture)                                                  \
  INSTANTIATE_TEST_SUITE_P(Sets, Fixture, ::testing::ValuesIn(kFastLevelLists),       \
                           [](const ::testing::TestParamInfo<RoutineLevels>& info) { \
                             return level_list_name(info.param);                     \
                           })

// Names a list of levels in test output.
inline void PrintTo(const RoutineLevels& levels, std::ostream* out) { *out << level_list_name(levels); }
