// The routine levels: the processor's answer, the disable list and the
// fallback from a level to the ones below it.
#include "drivers/routine_levels.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "drivers/cpu_vectors.h"
#include "drivers/screen_state.h"

namespace {

constexpr uint32_t kPlainBit = 1u << int(RoutineLevel::plain);
constexpr uint32_t kSse2Bit = 1u << int(RoutineLevel::sse2);
constexpr uint32_t kAvx2Bit = 1u << int(RoutineLevel::avx2);
constexpr uint32_t kEveryUnit = kCpuSse2 | kCpuAvx2 | kCpuFastStrings;

TEST(CpuVectors, AnswerNeedsTheSystemToSaveWideRegisters) {
  constexpr uint32_t kSse2 = 1u << 26, kOsXsave = 1u << 27, kAvx = 1u << 28, kAvx2 = 1u << 5, kErms = 1u << 9;
  EXPECT_EQ(cpu_vector_answer(0, 0, 0, 0), 0u);
  EXPECT_EQ(cpu_vector_answer(0, kSse2, kErms, 0), kCpuSse2 | kCpuFastStrings);
  EXPECT_EQ(cpu_vector_answer(kOsXsave | kAvx, kSse2, kAvx2, 0x7), kCpuSse2 | kCpuAvx2);
  // AVX2 on the processor, but the system does not save the upper halves,
  // or does not say so: no AVX2.
  EXPECT_EQ(cpu_vector_answer(kOsXsave | kAvx, kSse2, kAvx2, 0x3), kCpuSse2);
  EXPECT_EQ(cpu_vector_answer(kAvx, kSse2, kAvx2, 0x7), kCpuSse2);
  EXPECT_EQ(cpu_vector_answer(kOsXsave, kSse2, kAvx2, 0x7), kCpuSse2);
}

#if defined(__x86_64__)
TEST(CpuVectors, EveryX8664ProcessorRunsTheSse2Level) {
  EXPECT_TRUE(cpu_vector_units() & kCpuSse2);
  EXPECT_TRUE(routine_levels_for(cpu_vector_units(), nullptr).uses(RoutineLevel::sse2));
}
#endif

TEST(RoutineLevels, TheProcessorsUnitsGiveTheLevelsAndPlainIsAlwaysThere) {
  EXPECT_EQ(routine_levels_for(0, nullptr), kPlainLevelOnly);
  EXPECT_EQ(routine_levels_for(kCpuSse2, nullptr).in_use, kPlainBit | kSse2Bit);
  RoutineLevels all = routine_levels_for(kEveryUnit, "");
  EXPECT_EQ(all.in_use, kPlainBit | kSse2Bit | kAvx2Bit);
  EXPECT_TRUE(all.fast_strings);
  EXPECT_EQ(all.top(), RoutineLevel::avx2);
  EXPECT_EQ(kPlainLevelOnly.top(), RoutineLevel::plain);
  EXPECT_STREQ(routine_level_name(RoutineLevel::sse2), "sse2");
  EXPECT_STREQ(routine_level_name(RoutineLevel(7)), "");
}

TEST(RoutineLevels, TheDisableListSwitchesLevelsOffInAnyCaseAndSpacing) {
  EXPECT_EQ(routine_levels_for(kEveryUnit, "avx2").in_use, kPlainBit | kSse2Bit);
  EXPECT_EQ(routine_levels_for(kEveryUnit, "avx2,sse2").in_use, kPlainBit);
  EXPECT_EQ(routine_levels_for(kEveryUnit, " AVX2 , Sse2,").in_use, kPlainBit);
  // SSE2 off leaves AVX2 on: its members are used, and what it does not
  // speed up comes from plain, skipping the switched-off level.
  RoutineLevels avx2_alone = routine_levels_for(kEveryUnit, "sse2");
  EXPECT_EQ(avx2_alone.in_use, kPlainBit | kAvx2Bit);
  EXPECT_EQ(avx2_alone.top(), RoutineLevel::avx2);
  // Switching off a level the processor lacks changes nothing.
  EXPECT_EQ(routine_levels_for(kCpuSse2, "avx2").in_use, kPlainBit | kSse2Bit);
  // The string moves are a property of the processor, not a level.
  EXPECT_TRUE(routine_levels_for(kEveryUnit, "sse2,avx2").fast_strings);
}

TEST(RoutineLevels, UnknownWordsAreIgnoredAndListed) {
  std::string ignored;
  RoutineLevels levels = routine_levels_for(kEveryUnit, "mmx,avx2,,plain,avx512 ", &ignored);
  EXPECT_EQ(levels.in_use, kPlainBit | kSse2Bit);  // plain cannot be switched off
  EXPECT_EQ(ignored, "mmx,plain,avx512");
  ignored.clear();
  routine_levels_for(kEveryUnit, "sse2", &ignored);
  EXPECT_EQ(ignored, "");
}

// A member table of three levels where AVX2 speeds up only entry 0 and SSE2
// entries 0 and 1: each entry comes from the highest level in use that has
// it.
int plain0, plain1, plain2, sse2_0, sse2_1, avx2_0;
int* member(RoutineLevel level, int entry) {
  static int* const tables[kRoutineLevelCount][3] = {
      {&plain0, &plain1, &plain2}, {&sse2_0, &sse2_1, nullptr}, {&avx2_0, nullptr, nullptr}};
  return tables[int(level)][entry];
}
int* pick(const RoutineLevels& levels, int entry) {
  return level_member(levels, [entry](RoutineLevel level) { return member(level, entry); });
}

TEST(RoutineLevels, EachMemberFallsBackToTheNextLevelInUse) {
  const RoutineLevels all = routine_levels_for(kEveryUnit, nullptr);
  EXPECT_EQ(pick(all, 0), &avx2_0);
  EXPECT_EQ(pick(all, 1), &sse2_1);
  EXPECT_EQ(pick(all, 2), &plain2);
  const RoutineLevels no_avx2 = routine_levels_for(kEveryUnit, "avx2");
  EXPECT_EQ(pick(no_avx2, 0), &sse2_0);
  EXPECT_EQ(pick(no_avx2, 1), &sse2_1);
  const RoutineLevels no_sse2 = routine_levels_for(kEveryUnit, "sse2");
  EXPECT_EQ(pick(no_sse2, 0), &avx2_0);
  EXPECT_EQ(pick(no_sse2, 1), &plain1);  // not the switched-off SSE2 member
  EXPECT_EQ(pick(kPlainLevelOnly, 0), &plain0);
}

TEST(RoutineLevels, AScreenWithoutTheVectorFlagGetsPlainOnly) {
  ScreenState screen{};
  EXPECT_EQ(screen_routine_levels(nullptr), kPlainLevelOnly);
  EXPECT_EQ(screen_routine_levels(&screen), kPlainLevelOnly);
  screen.flags = kScreenHasMmx;
  EXPECT_EQ(screen_routine_levels(&screen), routine_levels());
}

// The process's decision reads ZQ_DISABLE once; this run's value, whatever
// the test runner set, gives the levels in use.
TEST(RoutineLevels, TheProcessUsesTheProcessorLessThisRunsDisableList) {
  EXPECT_EQ(routine_levels(), routine_levels_for(cpu_vector_units(), std::getenv(kDisableVariable)));
  EXPECT_EQ(&routine_levels(), &routine_levels());
}

// A fresh process (the death test runs the program again) with an unknown
// word: the known word still switches its level off and the unknown one is
// reported once on standard error.
TEST(RoutineLevelsDeathTest, AFreshProcessReportsUnknownWords) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        setenv(kDisableVariable, "avx2,turbo", 1);
        std::exit(routine_levels().uses(RoutineLevel::avx2) ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "ZQ_DISABLE names no level that can be switched off.*turbo");
}

}  // namespace
