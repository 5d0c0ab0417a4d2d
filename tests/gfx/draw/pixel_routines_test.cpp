// The routine levels' sets against the plain one: same bytes for every
// depth, length and destination alignment, nothing written outside the span,
// and the set of the process's levels chosen for the screen.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "gfx/draw/context.h"
#include "gfx/draw/pixel_routines.h"
#include "gfx/screen/cpu_features.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "tests/gfx/fast_sets_test_support.h"

namespace {

constexpr size_t kGuard = 64;
constexpr int kMaxAlign = 16;

// A buffer of random bytes with room for a span at any alignment 0..15 and
// kGuard bytes either side of it. Copies of one arena start identical.
struct Arena {
  std::vector<uint8_t> bytes;
  Arena(size_t size, uint32_t seed) : bytes(size + 2 * kGuard + kMaxAlign) {
    std::mt19937 rng(seed);
    for (auto& b : bytes) b = uint8_t(rng());
  }
  // The first address past the front guard whose address is align mod 16.
  uint8_t* at(int align) {
    uint8_t* p = bytes.data() + kGuard;
    return p + (size_t(align) - reinterpret_cast<uintptr_t>(p)) % 16;
  }
  // The span at `align` with its guards on both sides.
  std::vector<uint8_t> window(int align, size_t len) {
    uint8_t* p = at(align);
    return std::vector<uint8_t>(p - kGuard, p + len + kGuard);
  }
};

// Bytes of the guards around the span that differ between two windows.
size_t guard_changes(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after) {
  size_t n = 0, len = after.size() - 2 * kGuard;
  for (size_t i = 0; i < after.size(); ++i)
    if ((i < kGuard || i >= kGuard + len) && before[i] != after[i]) ++n;
  return n;
}

std::vector<int> lengths() {
  std::vector<int> v;
  for (int n = 0; n <= 67; ++n) v.push_back(n);
  // Long enough for the 64-byte loop and for the SSE2 string-store path.
  for (int n : {200, 641, 1027, 2063, 4099}) v.push_back(n);
  return v;
}

enum class Member { Fill, BlendFill };

// Runs one span-fill member of the plain set and of the set of the given
// levels on identical buffers and demands identical bytes everywhere
// and no write outside.
void expect_fill_matches(const RoutineLevels& levels, int bpp, bool alpha, Member member, uint32_t colour,
                         const std::vector<int>& counts = lengths()) {
  GfxRoutineSet plain = gfx_plain_routines(bpp, alpha), fast = gfx_level_set(levels, bpp, alpha).routines;
  FillSpanFn p = member == Member::Fill ? plain.fill : plain.blend_fill;
  FillSpanFn f = member == Member::Fill ? fast.fill : fast.blend_fill;
  uint32_t seed = colour;
  for (int align = 0; align < kMaxAlign; ++align) {
    for (int n : counts) {
      ++seed;
      Arena original(size_t(n) * bpp, seed), want = original, got = original;
      p(want.at(align), colour, n);
      f(got.at(align), colour, n);
      size_t len = size_t(n) * bpp;
      ASSERT_EQ(want.window(align, len), got.window(align, len))
          << "bpp " << bpp << " alpha " << alpha << " align " << align << " count " << n << " colour " << std::hex
          << colour;
      ASSERT_EQ(guard_changes(original.window(align, len), got.window(align, len)), 0u)
          << "align " << align << " count " << n;
    }
  }
}

class FastRoutines : public FastSetTest {};
ZQ_FOR_EVERY_FAST_SET(FastRoutines);

TEST_P(FastRoutines, SpanFillsMatchPlainAtEveryDepthLengthAndAlignment) {
  std::mt19937 rng(7);
  for (int bpp : {1, 2, 4}) {
    for (uint32_t colour : {0u, 0xFFFFFFFFu, 0x12345678u, 0xFF00FF00u, uint32_t(rng()), uint32_t(rng())}) {
      expect_fill_matches(levels(), bpp, false, Member::Fill, colour);
      expect_fill_matches(levels(), bpp, true, Member::Fill, colour);
      // Without blending (below 4 bytes, or alpha primitives off) the blend
      // fill is the plain span fill and must not blend.
      expect_fill_matches(levels(), bpp, false, Member::BlendFill, colour);
      if (bpp != 4) expect_fill_matches(levels(), bpp, true, Member::BlendFill, colour);
    }
  }
}

TEST_P(FastRoutines, BlendFillMatchesPlainForEdgeAndRandomAlphas) {
  std::mt19937 rng(11);
  std::vector<uint32_t> alphas = {0, 1, 127, 128, 254, 255};
  for (int i = 0; i < 4; ++i) alphas.push_back(rng() & 0xFF);
  for (uint32_t a : alphas)
    for (uint32_t rgb : {0u, 0xFFFFFFu, 0x00FF00u, 0xFF00FFu, uint32_t(rng() & 0xFFFFFF)})
      expect_fill_matches(levels(), 4, true, Member::BlendFill, (a << 24) | rgb);
}

// Every alpha over pixels that cover every channel value: the vector
// arithmetic must wrap exactly as the 32-bit scalar rule does.
TEST_P(FastRoutines, BlendFillEqualsScalarRuleForEveryAlpha) {
  FillSpanFn fill = gfx_level_set(levels(), 4, true).routines.blend_fill;
  std::mt19937 rng(3);
  std::vector<uint32_t> pixels(259);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint32_t(i % 256) * 0x01010101u ^ (rng() & 0xFF00FF);
  for (uint32_t a = 0; a < 256; ++a) {
    uint32_t colour = (a << 24) | (rng() & 0xFFFFFF);
    std::vector<uint32_t> got = pixels;
    fill(got.data(), colour, int(got.size()));
    for (size_t i = 0; i < pixels.size(); ++i)
      ASSERT_EQ(got[i], gfx_alpha_blend(colour, pixels[i])) << "alpha " << a << " pixel " << i;
  }
}

TEST_P(FastRoutines, SpanCopiesMatchPlainForAllAlignments) {
  for (int bpp : {1, 2, 4}) {
    GfxRoutineSet plain = gfx_plain_routines(bpp, false), fast = gfx_level_set(levels(), bpp, bpp == 4).routines;
    for (int dst_align = 0; dst_align < kMaxAlign; ++dst_align) {
      for (int src_align : {0, 1, 3, 4, 8, 15}) {
        for (int n : lengths()) {
          size_t bytes = size_t(n) * bpp;
          uint32_t seed = uint32_t(bpp * 100000 + dst_align * 1000 + src_align * 100 + n);
          Arena src(bytes, ~seed), original(bytes, seed), want = original, got = original;
          plain.copy_span(want.at(dst_align), src.at(src_align), n);
          fast.copy_span(got.at(dst_align), src.at(src_align), n);
          ASSERT_EQ(want.window(dst_align, bytes), got.window(dst_align, bytes))
              << "bpp " << bpp << " dst " << dst_align << " src " << src_align << " count " << n;
          ASSERT_EQ(guard_changes(original.window(dst_align, bytes), got.window(dst_align, bytes)), 0u);
        }
      }
    }
  }
}

// Runs from 64 KiB on take the AVX2 level's string stores: the run lengths
// around that point, in pixels of each size and in bytes.
TEST_P(FastRoutines, LongFillsMatchPlain) {
  for (int bpp : {1, 2, 4})
    for (uint32_t colour : {0x12345678u, 0xFF00FF00u})
      expect_fill_matches(levels(), bpp, false, Member::Fill, colour, {16383, 16411, 32771, 70001});
  MemFillFn fill = gfx_level_set(levels(), 1, false).mem_fill;
  for (int align = 0; align < kMaxAlign; ++align) {
    for (int n : {65535, 65567, 65599, 70001}) {
      Arena original(size_t(n), uint32_t(align + n)), want = original, got = original;
      std::memset(want.at(align), 0xA5, size_t(n));
      fill(got.at(align), 0xA5, size_t(n));
      ASSERT_EQ(want.window(align, size_t(n)), got.window(align, size_t(n))) << "align " << align << " count " << n;
    }
  }
}

TEST_P(FastRoutines, MemoryFillMatchesMemsetIncludingOutOfRangeByteValues) {
  MemFillFn fill = gfx_level_set(levels(), 1, false).mem_fill;
  for (int byte : {0, 0x5A, 0xFF, -1, 0x1AB, -200}) {
    for (int align = 0; align < kMaxAlign; ++align) {
      for (int n : lengths()) {
        uint32_t seed = uint32_t(align * 1000 + n);
        Arena original(size_t(n), seed), want = original, got = original;
        std::memset(want.at(align), byte, size_t(n));
        fill(got.at(align), byte, size_t(n));
        ASSERT_EQ(want.window(align, size_t(n)), got.window(align, size_t(n)))
            << "byte " << byte << " align " << align << " count " << n;
        ASSERT_EQ(guard_changes(original.window(align, size_t(n)), got.window(align, size_t(n))), 0u);
      }
    }
  }
}

// Copies inside one buffer with the source before and after the destination
// by every small distance: the result must be memmove's.
TEST_P(FastRoutines, MemoryCopyHandlesOverlapLikeMemmove) {
  MemCopyFn copy = gfx_level_set(levels(), 1, false).mem_copy;
  for (int n : {0, 1, 15, 16, 17, 31, 32, 33, 63, 64, 65, 130, 300, 2100}) {
    for (int distance = -40; distance <= 40; ++distance) {
      for (int align : {0, 5, 12}) {
        uint32_t seed = uint32_t(n * 100 + distance + 50);
        Arena want(size_t(n) + 80, seed), got = want;
        // Also the plain copy between two separate buffers of the same bytes.
        Arena apart(size_t(n) + 80, ~seed), apart_want = apart;
        std::memmove(apart_want.at(align), want.at(align), size_t(n));
        copy(apart.at(align), got.at(align), size_t(n));
        ASSERT_EQ(apart_want.bytes, apart.bytes) << "count " << n << " align " << align;
        uint8_t* wd = want.at(align) + 40;
        uint8_t* gd = got.at(align) + 40;
        std::memmove(wd, wd + distance, size_t(n));
        copy(gd, gd + distance, size_t(n));
        ASSERT_EQ(want.window(align, size_t(n) + 80), got.window(align, size_t(n) + 80))
            << "count " << n << " distance " << distance << " align " << align;
      }
    }
  }
}

TEST_P(FastRoutines, NegativeCountsWriteNothing) {
  for (int bpp : {1, 2, 4}) {
    GfxRoutineSet fast = gfx_level_set(levels(), bpp, true).routines;
    Arena original(64, 9), a = original, src(64, 10);
    for (int n : {-1, -16, INT32_MIN}) {
      fast.fill(a.at(3), 0xABCDEF01u, n);
      fast.blend_fill(a.at(3), 0x80ABCDEFu, n);
      fast.copy_span(a.at(3), src.at(0), n);
    }
    EXPECT_EQ(a.bytes, original.bytes) << "bpp " << bpp;
  }
}

TEST(CpuFeatures, AnswerPacksFamilyAboveTheStandardFlags) {
  // Family 6 (extended family ignored), all flags set: flags keep bits 0..23.
  EXPECT_EQ(gfx_cpu_answer(0x0FF00600u, 0xFFFFFFFFu), 0x06FFFFFFu);
  // Family 15 adds the extended family: 15 + 8 = 23 (0x17).
  EXPECT_EQ(gfx_cpu_answer(0x00800F00u, kCpuMmx), 0x17000000u | kCpuMmx);
  EXPECT_EQ(gfx_cpu_answer(0x00000F00u, 0), 0x0F000000u);
  // A family past 8 bits saturates instead of wrapping into a small family.
  EXPECT_EQ(gfx_cpu_answer(0x0FF00F00u, 0), 0xFF000000u);
  // Bits 24..31 of EDX never leak into the family.
  EXPECT_EQ(gfx_cpu_answer(0x00000500u, 0xFF000000u), 0x05000000u);
}

#if defined(__x86_64__)
TEST(CpuFeatures, EveryX8664ProcessorReportsMmxAndAFamily) {
  uint32_t answer = gfx_cpu_features();
  EXPECT_TRUE(answer & kCpuMmx);
  EXPECT_GE(answer >> 24, 6u);
  EXPECT_EQ(gfx_cpu_features(), answer);
}
#endif

// Each level puts only what it speeds up over the levels below: with SSE2
// switched off the AVX2 level's spans run, and the blend fill (which AVX2
// does not speed up) comes from plain, not from the SSE2 level.
TEST(RoutineLevelSets, EachLevelPutsOnlyWhatItSpeedsUpOverTheLevelsBelow) {
  constexpr uint32_t kSse2 = 1u << int(RoutineLevel::sse2), kAvx2 = 1u << int(RoutineLevel::avx2);
  const GfxLevelSet plain = gfx_plain_set(4, true);
  const GfxLevelSet sse2 = gfx_level_set({1u | kSse2, false}, 4, true);
  const GfxLevelSet both = gfx_level_set({1u | kSse2 | kAvx2, false}, 4, true);
  const GfxLevelSet avx2 = gfx_level_set({1u | kAvx2, false}, 4, true);
  const GfxLevelSet none = gfx_level_set(kPlainLevelOnly, 4, true);
  EXPECT_EQ(none.routines.fill, plain.routines.fill);
  EXPECT_EQ(none.mem_copy, plain.mem_copy);
  EXPECT_NE(sse2.routines.fill, plain.routines.fill);
  EXPECT_NE(sse2.routines.blend_fill, plain.routines.blend_fill);
  // Single pixels are the plain level's at every level.
  EXPECT_EQ(both.routines.put, plain.routines.put);
  EXPECT_EQ(both.routines.blend_put, plain.routines.blend_put);
  EXPECT_EQ(both.routines.blend_fill, sse2.routines.blend_fill);
  EXPECT_EQ(avx2.routines.blend_fill, plain.routines.blend_fill);
#if defined(__x86_64__)
  EXPECT_NE(both.routines.fill, sse2.routines.fill);
  EXPECT_EQ(avx2.routines.fill, both.routines.fill);
  EXPECT_EQ(avx2.mem_fill, both.mem_fill);
#endif
  // Without blending the blend fill is the span fill at every level.
  EXPECT_EQ(gfx_level_set({1u | kAvx2, false}, 4, false).routines.blend_fill,
            gfx_level_set({1u | kAvx2, false}, 4, false).routines.fill);
}

class RoutineChoice : public ::testing::Test {
 protected:
  void SetUp() override {
    rt_init(0, nullptr, 1);
    setenv("ZQGFX", "null", 1);
  }
  void TearDown() override {
    gfx_close_at_exit();
    unsetenv("ZQGFX");
  }
};

TEST_F(RoutineChoice, MmxProcessorGetsTheFastSetAndTheScreenFlag) {
  if (!(gfx_cpu_features() & kCpuMmx)) GTEST_SKIP() << "processor without MMX";
  for (int depth : {8, 16, 32}) {
    ASSERT_EQ(gfx_screen_res(64, 48, depth, 1, 0, 0), 0);
    gfx_get_context();
    int bpp = depth / 8;
    // The set of the process's levels.
    GfxLevelSet fast = gfx_level_set(routine_levels(), bpp, false);
    EXPECT_TRUE(screen_state->flags & kScreenHasMmx);
    EXPECT_EQ(gfx_routines.fill, fast.routines.fill) << depth;
    EXPECT_EQ(gfx_routines.copy_span, fast.routines.copy_span) << depth;
    EXPECT_EQ(gfx_mem_fill, fast.mem_fill);
    EXPECT_EQ(gfx_mem_copy, fast.mem_copy);
  }
}

}  // namespace
