// Routine levels: the one decision per process of which routine sets run.
//
// The levels are ordered: plain (complete, written for clarity, the
// reference every other level must match pixel for pixel), SSE2 (16-byte
// vectors) and AVX2 (32-byte vectors). A level's tables list only the
// members it speeds up; a member a level leaves empty is served by the next
// level below it that is in use, down to plain. Which levels are in use is
// decided once per process from what the processor runs
// (cpu_vector_units()), less the levels the environment variable ZQ_DISABLE
// switches off for the run (a comma-separated list: "avx2", "sse2"), so a
// fault in a fast member can be narrowed to its level by running again with
// that level off. Putters, pixel routines, conversion blitters and scalers
// all choose their members through this list.
#pragma once
#include <array>
#include <cstdint>
#include <string>

struct ScreenState;

enum class RoutineLevel : int { plain, sse2, avx2 };
constexpr int kRoutineLevelCount = 3;

// The environment variable that switches levels off for a run.
constexpr const char* kDisableVariable = "ZQ_DISABLE";

// The levels in use and the one processor property below the level of a
// member that some members depend on.
struct RoutineLevels {
  uint32_t in_use = 1u;       // bit (1 << level) for each level in use; plain is always in use
  bool fast_strings = false;  // string stores run fast: the SSE2 level hands them long runs

  bool uses(RoutineLevel level) const { return (in_use >> int(level)) & 1u; }
  RoutineLevel top() const;
  bool operator==(const RoutineLevels&) const = default;
};

// Only the plain level: the choice where the screen says the processor has
// no vector unit, or where a fast member's condition is not met.
constexpr RoutineLevels kPlainLevelOnly{};

// The level's name as ZQ_DISABLE spells it: "plain", "sse2", "avx2".
const char* routine_level_name(RoutineLevel level);

// The levels a processor with the kCpu* bits `vector_units` runs, less those
// `disable_list` names (comma-separated level names, any letter case, blanks
// around a name ignored; null or empty names none). A word that names no
// level that can be switched off ("plain" cannot) is ignored, and appended to
// *ignored (comma-separated) when it is given.
RoutineLevels routine_levels_for(uint32_t vector_units, const char* disable_list, std::string* ignored = nullptr);

// This process's levels: decided on the first call from cpu_vector_units()
// and ZQ_DISABLE, and the same for the rest of the process. Ignored words of
// ZQ_DISABLE are reported once on standard error.
const RoutineLevels& routine_levels();

// The levels for the open screen: the process's levels when the screen says
// the processor has its vector unit (kScreenHasMmx), else plain only.
RoutineLevels screen_routine_levels(const ScreenState* screen);

// The member the highest level in use offers: `member(level)` gives the
// level's member, or null where the level does not speed it up. Null only
// when no level in use has one.
template <class MemberAt>
auto level_member(const RoutineLevels& levels, MemberAt member) -> decltype(member(RoutineLevel::plain)) {
  for (int level = kRoutineLevelCount - 1; level >= 0; --level) {
    if (!levels.uses(RoutineLevel(level))) continue;
    if (auto found = member(RoutineLevel(level))) return found;
  }
  return nullptr;
}

// The same from one entry per level, plain first.
template <class Member>
Member level_member(const RoutineLevels& levels, const std::array<Member, kRoutineLevelCount>& by_level) {
  return level_member(levels, [&](RoutineLevel level) { return by_level[size_t(level)]; });
}
