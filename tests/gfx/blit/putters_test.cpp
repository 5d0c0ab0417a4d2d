// Putters: the pixel rules per depth, checked against a per-channel
// reference; the fast set against the plain set on random data; the
// dispatchers' one-time choice of table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>
#include <vector>

#include "gfx/blit/putters.h"
#include "gfx/draw/context.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "tests/gfx/fast_sets_test_support.h"

namespace {

uint32_t get(const uint8_t* p, int bpp) {
  uint32_t v = 0;
  std::memcpy(&v, p, size_t(bpp));
  return v;
}

void set(uint8_t* p, int bpp, uint32_t v) { std::memcpy(p, &v, size_t(bpp)); }

// d + floor((s - d) * k / scale) for one channel.
uint32_t mix(uint32_t s, uint32_t d, int k, int scale) {
  int diff = (int(s) - int(d)) * k;
  int q = diff >= 0 ? diff / scale : -((-diff + scale - 1) / scale);
  return uint32_t(int(d) + q);
}

bool is_mask(uint32_t s, int bpp) {
  return bpp == 1 ? s == 0 : bpp == 2 ? s == 0xF81F : (s & 0xFFFFFF) == 0xFF00FF;
}

// The light putters, one channel at a time: (shift, bits) of each channel.
uint32_t light_reference(PutterKind kind, int bpp, uint32_t s, uint32_t d, int alpha) {
  const int a = alpha & 0xFF;
  const int k = bpp == 2 ? (a == 0 ? 32 : (a + 7) >> 3) : (a == 0 ? 256 : a + 1);
  const int scale = bpp == 2 ? 32 : 256;
  struct Channel {
    int shift, bits, colour_shift;
  };
  const std::vector<Channel> channels = bpp == 2 ? std::vector<Channel>{{11, 5, 16}, {5, 6, 8}, {0, 5, 0}}
                                                 : std::vector<Channel>{{0, 8, 0}, {8, 8, 8}, {16, 8, 16}, {24, 8, 24}};
  uint32_t r = 0;
  for (const Channel& c : channels) {
    const uint32_t max = (1u << c.bits) - 1;
    const uint32_t sc = (s >> c.shift) & max, dc = (d >> c.shift) & max;
    uint32_t v = 0;
    if (kind == PutterKind::add) v = std::min(max, dc + sc * uint32_t(k) / uint32_t(scale));
    if (kind == PutterKind::multiply) v = mix(dc * (sc + 1) / (max + 1), dc, k, scale);
    if (kind == PutterKind::tint && c.shift < 24) v = sc * (((uint32_t(alpha) >> c.colour_shift) & 255) + 1) / 256;
    r |= v << c.shift;
  }
  return r;
}

// What one target pixel becomes, written channel by channel from the rules.
uint32_t reference(PutterKind kind, int bpp, uint32_t s, uint32_t d, int alpha) {
  int a = alpha & 0xFF;
  if (kind == PutterKind::alpha_channel) return (d & 0x00FFFFFF) | s << 24;
  if (kind == PutterKind::copy) return s;
  if (is_mask(s, bpp)) return d;
  if (kind == PutterKind::transparent || bpp == 1 || (kind == PutterKind::blend && a == 0))
    return bpp == 4 ? s & 0x00FFFFFF : s;
  if (kind == PutterKind::add || kind == PutterKind::multiply || kind == PutterKind::tint)
    return light_reference(kind, bpp, s, d, alpha);
  if (bpp == 2) {
    int k = (a + 7) >> 3;
    return mix(s >> 11, d >> 11, k, 32) << 11 | mix((s >> 5) & 63, (d >> 5) & 63, k, 32) << 5 |
           mix(s & 31, d & 31, k, 32);
  }
  uint32_t r = 0;
  for (int shift = 0; shift < 32; shift += 8) r |= mix((s >> shift) & 255, (d >> shift) & 255, a + 1, 256) << shift;
  return r;
}

const char* kind_name(PutterKind k) {
  switch (k) {
    case PutterKind::copy: return "copy";
    case PutterKind::transparent: return "transparent";
    case PutterKind::blend: return "blend";
    case PutterKind::alpha_channel: return "alpha_channel";
    case PutterKind::add: return "add";
    case PutterKind::multiply: return "multiply";
    case PutterKind::tint: return "tint";
  }
  return "?";
}

// Source and target rows with guard bytes around and between them, at a
// chosen misalignment.
struct Rect {
  int src_bpp, dst_bpp, width, height, src_pitch, dst_pitch, src_offset, dst_offset;
  std::vector<uint8_t> src, dst;

  Rect(int sb, int db, int w, int h, int misalign_src, int misalign_dst)
      : src_bpp(sb), dst_bpp(db), width(w), height(h), src_pitch(w * sb + 5), dst_pitch(w * db + 7),
        src_offset(16 + misalign_src), dst_offset(16 + misalign_dst),
        src(size_t(src_offset + h * src_pitch + 16)), dst(size_t(dst_offset + h * dst_pitch + 16)) {}

  uint8_t* s(int x, int y) { return &src[size_t(src_offset + y * src_pitch + x * src_bpp)]; }
  uint8_t* d(int x, int y) { return &dst[size_t(dst_offset + y * dst_pitch + x * dst_bpp)]; }

  void randomise(std::mt19937& rng) {
    for (auto& b : src) b = uint8_t(rng());
    for (auto& b : dst) b = uint8_t(rng());
    // About a third of the source pixels are the mask colour, with any top byte.
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (rng() % 3 == 0) set(s(x, y), src_bpp, src_bpp == 1 ? 0 : src_bpp == 2 ? 0xF81F : (rng() << 24) | 0xFF00FF);
  }

  void run(Putter p, int alpha) {
    p(s(0, 0), d(0, 0), width, height, src_pitch, dst_pitch, alpha, nullptr, nullptr);
  }
};

const PutterKind kAllKinds[] = {PutterKind::copy,          PutterKind::transparent, PutterKind::blend,
                                PutterKind::alpha_channel, PutterKind::add,         PutterKind::multiply,
                                PutterKind::tint};
const int kAlphas[] = {0, 1, 7, 8, 9, 100, 127, 128, 200, 254, 255, 0x1FF};
// The tint's colours (given through alpha).
const int kTints[] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x804020, 0x7F7F7F, 0x12345678};

bool takes_strength(PutterKind kind) {
  return kind == PutterKind::blend || kind == PutterKind::add || kind == PutterKind::multiply;
}

// Widths 1..70, then rows long enough (at 4 bytes per pixel) for the long-row
// paths.
std::vector<int> widths() {
  std::vector<int> v;
  for (int w = 1; w <= 70; ++w) v.push_back(w);
  for (int w : {129, 131, 200}) v.push_back(w);
  return v;
}

class FastPutters : public FastSetTest {};
ZQ_FOR_EVERY_FAST_SET(FastPutters);

// Every kind, depth, width, misalignment and alpha: the plain routine
// follows the per-channel rules and leaves every byte outside the rectangle
// alone, and the fast routine writes exactly the same bytes.
TEST_P(FastPutters, MatchPlainAndReferenceOnRandomData) {
  std::mt19937 rng(12345);
  const RoutineLevels& levels = this->levels();
  for (PutterKind kind : kAllKinds) {
    for (int bpp : {1, 2, 4}) {
      if (kind == PutterKind::alpha_channel && bpp != 4) {
        EXPECT_EQ(putters_plain(kind)->by_bytes[bpp], nullptr);
        EXPECT_EQ(putters_for(levels, kind)->by_bytes[bpp], nullptr);
        continue;
      }
      const int src_bpp = kind == PutterKind::alpha_channel ? 1 : bpp;
      Putter plain = putters_plain(kind)->by_bytes[bpp];
      Putter fast = putters_for(levels, kind)->by_bytes[bpp];
      ASSERT_NE(plain, nullptr);
      ASSERT_NE(fast, nullptr);
      for (int width : widths()) {
        for (int alpha : kind == PutterKind::tint ? std::vector<int>(std::begin(kTints), std::end(kTints))
                                                  : std::vector<int>(std::begin(kAlphas), std::end(kAlphas))) {
          if (kind != PutterKind::tint && !takes_strength(kind) && alpha != 255) continue;
          SCOPED_TRACE(::testing::Message() << kind_name(kind) << " bpp " << bpp << " width " << width << " alpha "
                                            << alpha);
          Rect a(src_bpp, bpp, width, 3, int(rng() % 4), int(rng() % 4));
          a.randomise(rng);
          Rect b = a;
          const std::vector<uint8_t> before = a.dst;
          a.run(plain, alpha);
          b.run(fast, alpha);
          ASSERT_EQ(a.dst, b.dst);
          ASSERT_EQ(a.src, b.src);

          std::vector<uint8_t> expected = before;
          for (int y = 0; y < a.height; ++y)
            for (int x = 0; x < width; ++x) {
              size_t at = size_t(a.dst_offset + y * a.dst_pitch + x * bpp);
              set(&expected[at], bpp, reference(kind, bpp, get(a.s(x, y), src_bpp), get(&before[at], bpp), alpha));
            }
          ASSERT_EQ(a.dst, expected);
        }
      }
    }
  }
}

// An image put onto itself, shifted by less than a vector: the fast routine
// must not read pixels it has already written.
TEST_P(FastPutters, OverlappingRowsGiveThePlainResult) {
  std::mt19937 rng(7);
  for (PutterKind kind : {PutterKind::copy, PutterKind::transparent, PutterKind::blend, PutterKind::add,
                         PutterKind::multiply, PutterKind::tint}) {
    for (int bpp : {1, 2, 4}) {
      for (int shift : {-1, 1, 3}) {
        for (int alpha : {128, 255}) {
          std::vector<uint8_t> a(4096);
          for (auto& v : a) v = uint8_t(rng() % 4 == 0 ? 0 : rng());
          std::vector<uint8_t> b = a;
          const int w = 37, h = 5, pitch = 200;
          uint8_t* s = &a[400];
          putters_plain(kind)->by_bytes[bpp](s, s + shift * bpp, w, h, pitch, pitch, alpha, nullptr, nullptr);
          s = &b[400];
          putters_for(levels(), kind)->by_bytes[bpp](s, s + shift * bpp, w, h, pitch, pitch, alpha, nullptr, nullptr);
          EXPECT_EQ(a, b) << kind_name(kind) << " bpp " << bpp << " shift " << shift << " alpha " << alpha;
        }
      }
    }
  }
}

// The merged tables: each entry from the highest level in use that has it,
// a switched-off level skipped.
TEST(PutterLevels, EachEntryComesFromTheHighestLevelInUseThatHasIt) {
  constexpr uint32_t kSse2 = 1u << int(RoutineLevel::sse2), kAvx2 = 1u << int(RoutineLevel::avx2);
  const RoutineLevels both{1u | kSse2 | kAvx2, false}, sse2{1u | kSse2, false}, avx2{1u | kAvx2, false};
  for (PutterKind kind : kAllKinds)
    for (int bpp : {1, 2, 4}) {
      SCOPED_TRACE(::testing::Message() << kind_name(kind) << " bpp " << bpp);
      EXPECT_EQ(putters_for(kPlainLevelOnly, kind)->by_bytes[bpp], putters_plain(kind)->by_bytes[bpp]);
      const PutterTable* own_sse2 = putters_at_sse2(false, kind);
      const PutterTable* own_avx2 = putters_at_avx2(false, kind);
      Putter below_avx2 = own_sse2 && own_sse2->by_bytes[bpp] ? own_sse2->by_bytes[bpp] : putters_plain(kind)->by_bytes[bpp];
      Putter want_both = own_avx2 && own_avx2->by_bytes[bpp] ? own_avx2->by_bytes[bpp] : below_avx2;
      Putter want_avx2 = own_avx2 && own_avx2->by_bytes[bpp] ? own_avx2->by_bytes[bpp] : putters_plain(kind)->by_bytes[bpp];
      EXPECT_EQ(putters_for(sse2, kind)->by_bytes[bpp], below_avx2);
      EXPECT_EQ(putters_for(both, kind)->by_bytes[bpp], want_both);
      EXPECT_EQ(putters_for(avx2, kind)->by_bytes[bpp], want_avx2);
    }
#if defined(__x86_64__)
  // The AVX2 level speeds up copies but not the 5-6-5 blend: with SSE2 off
  // that blend is plain's, with it on SSE2's.
  EXPECT_NE(putters_for(avx2, PutterKind::copy)->by_bytes[4], putters_for(sse2, PutterKind::copy)->by_bytes[4]);
  EXPECT_EQ(putters_for(avx2, PutterKind::blend)->by_bytes[2], putters_plain(PutterKind::blend)->by_bytes[2]);
  EXPECT_EQ(putters_for(both, PutterKind::blend)->by_bytes[2], putters_at_sse2(false, PutterKind::blend)->by_bytes[2]);
#endif
}

// One 4-byte pixel through a putter of one table.
uint32_t put4(const PutterTable* table, uint32_t s, uint32_t d, int alpha) {
  uint8_t src[4], dst[4];
  set(src, 4, s);
  set(dst, 4, d);
  table->by_bytes[4](src, dst, 1, 1, 4, 4, alpha, nullptr, nullptr);
  return get(dst, 4);
}

TEST(Putters, PixelRulesAtFourBytes) {
  for (const RoutineLevels& levels : {kPlainLevelOnly, routine_levels()}) {
    auto pick = [&](PutterKind kind) { return putters_for(levels, kind); };
    const PutterTable* transparent = pick(PutterKind::transparent);
    const PutterTable* blend = pick(PutterKind::blend);
    EXPECT_EQ(put4(transparent, 0x12FF00FF, 0xAABBCCDD, 0), 0xAABBCCDDu);
    EXPECT_EQ(put4(transparent, 0x80102030, 0xAABBCCDD, 0), 0x00102030u);
    // Alpha 255 is k = 256: the source exactly, top byte included.
    EXPECT_EQ(put4(blend, 0x80102030, 0xAABBCCDD, 255), 0x80102030u);
    EXPECT_EQ(put4(blend, 0x12FF00FF, 0xAABBCCDD, 255), 0xAABBCCDDu);
    // Alpha 0 is the transparent put.
    EXPECT_EQ(put4(blend, 0x80102030, 0xAABBCCDD, 0), 0x00102030u);
    EXPECT_EQ(put4(blend, 0x80102030, 0xAABBCCDD, 0x100), 0x00102030u);
    EXPECT_EQ(put4(blend, 0x00FF0000, 0x000000FF, 127), 0x007F007Fu);

    // Light saturates; half strength adds half; mask pixels add nothing.
    const PutterTable* add = pick(PutterKind::add);
    EXPECT_EQ(put4(add, 0x00804020, 0x00A0A0A0, 255), 0x00FFE0C0u);
    EXPECT_EQ(put4(add, 0x00804020, 0x00101010, 127), 0x00503020u);
    EXPECT_EQ(put4(add, 0x00FF00FF, 0x00101010, 255), 0x00101010u);
    // White keeps the target, black darkens it fully, half strength halfway.
    const PutterTable* multiply = pick(PutterKind::multiply);
    EXPECT_EQ(put4(multiply, 0xFFFFFFFF, 0x80604020, 255), 0x80604020u);
    EXPECT_EQ(put4(multiply, 0x00000000, 0x80604020, 255), 0x00000000u);
    EXPECT_EQ(put4(multiply, 0x00000000, 0x00604020, 127), 0x00302010u);
    // Tint white writes the source's colour; red keeps only red.
    const PutterTable* tint = pick(PutterKind::tint);
    EXPECT_EQ(put4(tint, 0x80102030, 0xAABBCCDD, 0xFFFFFF), 0x00102030u);
    EXPECT_EQ(put4(tint, 0x80102030, 0xAABBCCDD, 0xFF0000), 0x00100000u);
    EXPECT_EQ(put4(tint, 0x00FF00FF, 0xAABBCCDD, 0xFFFFFF), 0xAABBCCDDu);
  }
}

// Dispatchers: the table is chosen on first use from the screen's routine
// levels (the process's where the screen says the processor has the vector
// unit, else plain), kept in the context, and forgotten when a screen opens
// again.
class PutterDispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    rt_init(0, nullptr, 1);
    setenv("ZQGFX", "null", 1);
  }
  void TearDown() override { gfx_close_at_exit(); }
  void open(bool vector_unit) {
    ASSERT_EQ(gfx_screen_res(64, 16, 32, 1, 0, 0), 0);
    if (vector_unit)
      screen_state->flags |= kScreenHasMmx;
    else
      screen_state->flags &= ~kScreenHasMmx;
  }
};

TEST_F(PutterDispatch, ChoiceIsMadeOnFirstUseAndKeptPerScreen) {
  for (bool vector_unit : {true, false}) {
    open(vector_unit);
    GfxContext* ctx = gfx_get_context();
    EXPECT_EQ(ctx->putters_copy, nullptr);
    EXPECT_EQ(ctx->putters_transparent, nullptr);
    EXPECT_EQ(ctx->putters_blend, nullptr);
    auto table = [vector_unit](PutterKind kind) {
      return putters_for(vector_unit ? routine_levels() : kPlainLevelOnly, kind);
    };

    uint8_t src[8] = {1, 2, 3, 4, 5, 6, 7, 8}, dst[8] = {};
    putter_copy(src, dst, 2, 1, 8, 8, 0, nullptr, nullptr);
    EXPECT_EQ(std::memcmp(src, dst, 8), 0);
    EXPECT_EQ(ctx->putters_copy, table(PutterKind::copy));
    EXPECT_EQ(ctx->putters_transparent, nullptr);
    putter_transparent(src, dst, 2, 1, 8, 8, 0, nullptr, nullptr);
    EXPECT_EQ(ctx->putters_transparent, table(PutterKind::transparent));
    putter_blend(src, dst, 2, 1, 8, 8, 128, nullptr, nullptr);
    EXPECT_EQ(ctx->putters_blend, table(PutterKind::blend));
    EXPECT_EQ(ctx->putters_add, nullptr);
    putter_add(src, dst, 2, 1, 8, 8, 128, nullptr, nullptr);
    EXPECT_EQ(ctx->putters_add, table(PutterKind::add));
    putter_multiply(src, dst, 2, 1, 8, 8, 128, nullptr, nullptr);
    EXPECT_EQ(ctx->putters_multiply, table(PutterKind::multiply));
    putter_tint(src, dst, 2, 1, 8, 8, 0xFFFFFF, nullptr, nullptr);
    EXPECT_EQ(ctx->putters_tint, table(PutterKind::tint));

    // The flag changing later does not change a choice already made.
    screen_state->flags ^= kScreenHasMmx;
    putter_copy(src, dst, 2, 1, 8, 8, 0, nullptr, nullptr);
    EXPECT_EQ(ctx->putters_copy, table(PutterKind::copy));
  }
}

TEST_F(PutterDispatch, AlphaChannelWritesOnlyTopBytesOfFourByteTargets) {
  open(true);
  uint8_t src[3] = {0x11, 0x22, 0x33};
  uint32_t dst[3] = {0xAABBCCDD, 0x00000000, 0xFFFFFFFF};
  putter_alpha_channel(src, reinterpret_cast<uint8_t*>(dst), 3, 1, 3, 12, 0, nullptr, nullptr);
  EXPECT_EQ(dst[0], 0x11BBCCDDu);
  EXPECT_EQ(dst[1], 0x22000000u);
  EXPECT_EQ(dst[2], 0x33FFFFFFu);
}

}  // namespace
