// The routine levels: the disable list's parsing and the process's decision.
#include "drivers/routine_levels.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "drivers/cpu_vectors.h"
#include "drivers/screen_state.h"

namespace {

constexpr const char* kLevelNames[kRoutineLevelCount] = {"plain", "sse2", "avx2"};

uint32_t level_bit(RoutineLevel level) { return 1u << int(level); }

// The level a word names, compared without letter case; plain for none.
RoutineLevel named_level(const std::string& word) {
  std::string lower;
  for (char c : word) lower += char(std::tolower(static_cast<unsigned char>(c)));
  for (int level = 1; level < kRoutineLevelCount; ++level)
    if (lower == kLevelNames[level]) return RoutineLevel(level);
  return RoutineLevel::plain;
}

std::string trimmed(const std::string& word) {
  size_t first = word.find_first_not_of(" \t"), last = word.find_last_not_of(" \t");
  return first == std::string::npos ? std::string() : word.substr(first, last - first + 1);
}

RoutineLevels decide() {
  std::string ignored;
  RoutineLevels levels = routine_levels_for(cpu_vector_units(), std::getenv(kDisableVariable), &ignored);
  if (!ignored.empty())
    std::fprintf(stderr, "zentravolk: %s names no level that can be switched off (sse2, avx2): %s\n",
                 kDisableVariable, ignored.c_str());
  return levels;
}

}  // namespace

RoutineLevel RoutineLevels::top() const {
  for (int level = kRoutineLevelCount - 1; level > 0; --level)
    if (uses(RoutineLevel(level))) return RoutineLevel(level);
  return RoutineLevel::plain;
}

const char* routine_level_name(RoutineLevel level) {
  int index = int(level);
  return index >= 0 && index < kRoutineLevelCount ? kLevelNames[index] : "";
}

RoutineLevels routine_levels_for(uint32_t vector_units, const char* disable_list, std::string* ignored) {
  RoutineLevels levels;
  if (vector_units & kCpuSse2) levels.in_use |= level_bit(RoutineLevel::sse2);
  if (vector_units & kCpuAvx2) levels.in_use |= level_bit(RoutineLevel::avx2);
  levels.fast_strings = (vector_units & kCpuFastStrings) != 0;
  std::string list = disable_list ? disable_list : "";
  for (size_t start = 0; start <= list.size();) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    std::string word = trimmed(list.substr(start, comma - start));
    start = comma + 1;
    if (word.empty()) continue;
    RoutineLevel level = named_level(word);
    if (level != RoutineLevel::plain) {
      levels.in_use &= ~level_bit(level);
    } else if (ignored) {
      if (!ignored->empty()) *ignored += ",";
      *ignored += word;
    }
  }
  return levels;
}

const RoutineLevels& routine_levels() {
  static const RoutineLevels levels = decide();
  return levels;
}

RoutineLevels screen_routine_levels(const ScreenState* screen) {
  return screen && (screen->flags & kScreenHasMmx) ? routine_levels() : kPlainLevelOnly;
}
