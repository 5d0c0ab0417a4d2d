// Conversion blitters: each member against the colours it must show, dirty
// rows and scanline repetition, the chooser, inputs that must write nothing,
// and the fast set against the plain set on random frames.
#include "drivers/blitters.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "drivers/screen_state.h"

namespace {

constexpr uint8_t kFill = 0xCD;
constexpr int kGuard = 16;

class Blitters : public ::testing::Test {
 protected:
  // Stands up a screen record as the screen opening would: `pixels_` holds
  // exactly one page, so reads past it are caught by the sanitizer build.
  void open(int width, int height, int depth, int multiplier = 1, uint32_t flags = 0) {
    state_ = ScreenState{};
    state_.width = width;
    state_.height = height;
    state_.depth = depth;
    state_.bytes_per_pixel = depth <= 8 ? 1 : depth <= 16 ? 2 : 4;
    state_.pitch = width * state_.bytes_per_pixel;
    state_.scanline_size = multiplier;
    state_.flags = flags;
    pixels_.assign(size_t(state_.pitch) * height, 0);
    dirty_.assign(size_t(height) * multiplier, 1);
    palette_.assign(256, 0);
    table_.assign(512, 0);
    state_.visible_pixels = pixels_.data();
    state_.dirty_rows = dirty_.data();
    state_.device_palette = palette_.data();
    screen_state = &state_;
    screen_conversion_table = table_.data();
  }
  void TearDown() override {
    screen_state = nullptr;
    screen_conversion_table = nullptr;
  }

  void set(int x, int y, uint32_t v) {
    std::memcpy(&pixels_[size_t(y) * state_.pitch + size_t(x) * state_.bytes_per_pixel], &v, state_.bytes_per_pixel);
  }
  int out_height() const { return state_.height * state_.scanline_size; }

  // Runs a blitter into a buffer of out_height rows of `pitch` bytes that
  // starts filled with `fill`, and checks the guard bytes after it.
  std::vector<uint8_t> run(Blitter b, int pitch, const std::vector<uint8_t>& fill = {}) {
    std::vector<uint8_t> out(size_t(out_height()) * pitch + kGuard, kFill);
    if (!fill.empty()) out = fill;
    EXPECT_NE(b, nullptr);
    if (b) b(out.data(), pitch);
    for (size_t i = out.size() - kGuard; i < out.size(); ++i) EXPECT_EQ(out[i], fill.empty() ? kFill : fill[i]);
    return out;
  }
  Blitter choose(int dest, int order) { return choose_blitter(dest, order); }

  ScreenState state_{};
  std::vector<uint8_t> pixels_, dirty_;
  std::vector<uint32_t> palette_, table_;
};

uint32_t get(const std::vector<uint8_t>& buf, size_t offset, int bytes) {
  uint32_t v = 0;
  std::memcpy(&v, &buf[offset], bytes);
  return v;
}

// Depth of each slot's source and destination.
constexpr int kSourceDepth[3] = {8, 16, 32};
constexpr int kDestDepth[4] = {15, 16, 24, 32};
int dest_bytes(int slot) { return kDestDepth[slot % 4] == 24 ? 3 : kDestDepth[slot % 4] == 32 ? 4 : 2; }

// What the display must show for a source pixel, derived from its 8-bit
// channels: 5 top bits per channel (6 for green in 5-6-5), the high field
// red in normal order and blue in swapped order; 16-bit sources widen each
// channel with zero low bits.
uint32_t expected_pixel(int slot, int order, uint32_t source, const uint32_t* palette) {
  uint32_t r, g, b, top = 0;
  switch (slot / 4) {
    case 0: {
      uint32_t p = palette[source & 0xFF];
      r = p & 0xFF, g = (p >> 8) & 0xFF, b = (p >> 16) & 0xFF;
      break;
    }
    case 1:
      r = (source >> 11) << 3, g = ((source >> 5) & 63) << 2, b = (source & 31) << 3;
      break;
    default:
      r = (source >> 16) & 0xFF, g = (source >> 8) & 0xFF, b = source & 0xFF;
      // 32 to 32: a copy in normal order; swapped order also puts green on top.
      if (slot == k32To32) top = order == kOrderNormal ? source >> 24 : g;
  }
  uint32_t hi = order == kOrderNormal ? r : b, lo = order == kOrderNormal ? b : r;
  switch (kDestDepth[slot % 4]) {
    case 15: return ((hi >> 3) << 10) | ((g >> 3) << 5) | (lo >> 3);
    case 16: return ((hi >> 3) << 11) | ((g >> 2) << 5) | (lo >> 3);
    default: return (top << 24) | (hi << 16) | (g << 8) | lo;
  }
}

TEST_F(Blitters, ExpansionTableWidensEveryPixelWithComponentsAtTheTopOfTheirBytes) {
  std::vector<uint32_t> table(512);
  for (int order : {kOrderNormal, kOrderSwapped}) {
    fill_expansion_table(table.data(), order);
    for (uint32_t e = 0; e < 65536; ++e) {
      uint32_t r = e >> 11, g = (e >> 5) & 63, b = e & 31;
      uint32_t want = order == kOrderNormal ? (r << 19) | (g << 10) | (b << 3) : (b << 19) | (g << 10) | (r << 3);
      ASSERT_EQ(table[e & 0xFF] | table[256 + (e >> 8)], want) << "order " << order << " pixel " << e;
    }
  }
  // The chooser refills the shared table for the order of every call.
  open(4, 1, 16);
  std::vector<uint32_t> normal(512), swapped(512);
  fill_expansion_table(normal.data(), kOrderNormal);
  fill_expansion_table(swapped.data(), kOrderSwapped);
  choose(32, kOrderSwapped);
  EXPECT_EQ(table_, swapped);
  choose(15, kOrderNormal);
  EXPECT_EQ(table_, normal);
}

TEST_F(Blitters, SixteenBitScreenAsFiveFiveFive) {
  open(3, 1, 16);  // odd width: the last pixel goes alone
  const uint32_t in[3] = {0xFFFF, 0xF800, 0x07E0};
  const uint32_t normal[3] = {0x7FFF, 0x7C00, 0x03E0}, swapped[3] = {0x7FFF, 0x001F, 0x03E0};
  for (int x = 0; x < 3; ++x) set(x, 0, in[x]);
  auto a = run(choose(15, kOrderNormal), 6);
  auto b = run(choose(15, kOrderSwapped), 6);
  for (int x = 0; x < 3; ++x) {
    EXPECT_EQ(get(a, 2 * x, 2), normal[x]);
    EXPECT_EQ(get(b, 2 * x, 2), swapped[x]);
  }
  set(0, 0, 0xF81F);  // 16 swapped exchanges red and blue, keeps green
  set(1, 0, 0x07E0);
  auto c = run(choose(16, kOrderSwapped), 6);
  EXPECT_EQ(get(c, 0, 2), 0xF81Fu);
  EXPECT_EQ(get(c, 2, 2), 0x07E0u);
}

TEST_F(Blitters, ThirtyTwoBitPixelInEveryFormatAndOrder) {
  open(1, 1, 32);
  set(0, 0, 0xFF123456);
  EXPECT_EQ(get(run(choose(32, kOrderSwapped), 4), 0, 4), 0x34563412u);
  EXPECT_EQ(get(run(choose(32, kOrderNormal), 4), 0, 4), 0xFF123456u);  // the copy member
  EXPECT_EQ(get(run(choose(24, kOrderNormal), 3), 0, 3), 0x123456u);    // bytes 56 34 12
  EXPECT_EQ(get(run(choose(24, kOrderSwapped), 3), 0, 3), 0x563412u);   // bytes 12 34 56
  EXPECT_EQ(get(run(choose(16, kOrderSwapped), 2), 0, 2), 0x51A2u);
  set(0, 0, 0xFF000000);  // the alpha byte reaches no colour field
  for (int dest : {15, 16, 24})
    for (int order : {0, 1}) EXPECT_EQ(get(run(choose(dest, order), 4), 0, dest == 24 ? 3 : 2), 0u);
  EXPECT_EQ(get(run(choose(32, kOrderSwapped), 4), 0, 4), 0u);
}

TEST_F(Blitters, PaletteScreenShowsTheDevicePalette) {
  for (int depth : {1, 2, 4, 8}) {
    open(2, 1, depth);
    palette_[1] = 0xFF00FF;  // red 255, green 0, blue 255
    palette_[3] = 0x0000FF;  // pure red
    set(0, 0, 1);
    set(1, 0, 3);
    EXPECT_EQ(get(run(choose(16, kOrderNormal), 4), 0, 4), 0xF800F81Fu);
    EXPECT_EQ(get(run(choose(16, kOrderSwapped), 4), 0, 4), 0x001FF81Fu);
    auto wide = run(choose(32, kOrderNormal), 8);
    EXPECT_EQ(get(wide, 0, 4), 0x00FF00FFu);
    EXPECT_EQ(get(wide, 4, 4), 0x00FF0000u);
    EXPECT_EQ(get(run(choose(24, kOrderNormal), 6), 3, 3), 0xFF0000u);  // bytes 00 00 FF
    // Destination 8 copies the indices in either order.
    for (int order : {0, 1}) {
      ASSERT_EQ(choose(8, order), blitter_copy);
      EXPECT_EQ(get(run(choose(8, order), 2), 0, 2), 0x0301u);
    }
  }
}

// Every member of both sets on a random frame with an odd width (so each
// pair, quad and leftover path runs), checked against the channels.
TEST_F(Blitters, EveryMemberShowsTheSourceChannels) {
  std::mt19937 rng(7);
  for (bool fast : {false, true})
    for (int order : {0, 1})
      for (int slot = 0; slot < kBlitterSlots; ++slot) {
        SCOPED_TRACE(testing::Message() << "fast " << fast << " order " << order << " slot " << slot);
        const int width = 23, height = 3;
        open(width, height, kSourceDepth[slot / 4]);
        for (auto& p : palette_) p = rng() & 0xFFFFFF;
        for (auto& b : pixels_) b = uint8_t(rng());
        fill_expansion_table(table_.data(), order);
        const int bytes = dest_bytes(slot);
        auto out = run(blitter_member(fast ? routine_levels() : kPlainLevelOnly, order, slot), width * bytes);
        for (int y = 0; y < height; ++y)
          for (int x = 0; x < width; ++x) {
            uint32_t src = get(pixels_, size_t(y) * state_.pitch + size_t(x) * state_.bytes_per_pixel, state_.bytes_per_pixel);
            ASSERT_EQ(get(out, (size_t(y) * width + x) * bytes, bytes), expected_pixel(slot, order, src, palette_.data()))
                << "pixel " << x << "," << y;
          }
      }
}

TEST_F(Blitters, OnlyDirtyRowsAreWrittenAndRowPaddingIsKept) {
  open(5, 4, 32);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) set(x, y, 0xFFFFFF);
  dirty_ = {0, 1, 0, 1};
  const int pitch = 5 * 2 + 6;
  auto out = run(choose(16, kOrderNormal), pitch);
  for (int y = 0; y < 4; ++y)
    for (int i = 0; i < pitch; ++i) {
      uint8_t want = (dirty_[y] && i < 10) ? 0xFF : kFill;
      ASSERT_EQ(out[size_t(y) * pitch + i], want) << "row " << y << " byte " << i;
    }
}

TEST_F(Blitters, ScanlineMultiplierRepeatsEachFramebufferRow) {
  open(3, 100, 16, 2);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 3; ++x) set(x, y, uint32_t(y * 3 + x));
  for (int order : {0, 1})
    for (int dest : {15, 16, 24, 32}) {
      const int bytes = dest == 24 ? 3 : dest == 32 ? 4 : 2, pitch = 3 * bytes;
      auto out = run(choose(dest, order), pitch);
      for (int k = 0; k < 100; ++k)
        ASSERT_EQ(0, std::memcmp(&out[size_t(2 * k) * pitch], &out[size_t(2 * k + 1) * pitch], pitch)) << k;
      EXPECT_NE(0, std::memcmp(&out[0], &out[size_t(2) * pitch], pitch));
    }
  // A clean output row stays untouched even when its twin is dirty.
  for (int r = 0; r < 200; ++r) dirty_[r] = r % 2;
  auto out = run(choose(16, kOrderNormal), 6);
  EXPECT_EQ(get(out, 0, 4), 0xCDCDCDCDu);
  EXPECT_EQ(get(out, 6, 2), 0u);
  EXPECT_EQ(get(out, size_t(199) * 6 + 4, 2), 99u * 3 + 2);
}

TEST_F(Blitters, ChooserPicksCopiesFastSetAndNullForWhatItCannotServe) {
  open(8, 2, 16, 1, kScreenHasMmx);
  EXPECT_EQ(choose(16, kOrderNormal), blitter_copy);
  EXPECT_EQ(choose(15, kOrderSwapped), blitter_member(routine_levels(), kOrderSwapped, k16To15));
  for (int dest : {0, 8, 12, 64}) EXPECT_EQ(choose(dest, kOrderNormal), nullptr) << dest;
  for (int order : {-1, 2}) EXPECT_EQ(choose(16, order), nullptr);
  screen_conversion_table = nullptr;
  EXPECT_EQ(choose(24, kOrderNormal), nullptr);  // the wide members need the table
  EXPECT_EQ(choose(32, kOrderSwapped), nullptr);

  open(8, 2, 32);
  EXPECT_EQ(choose(32, kOrderNormal), blitter_copy);
  EXPECT_EQ(choose(8, kOrderNormal), nullptr);
  EXPECT_EQ(choose(16, kOrderNormal), blitter_member(kPlainLevelOnly, kOrderNormal, k32To16));
  // The process's levels need the flag, a multiplier of 1 and a width that is a multiple of 4.
  open(6, 2, 32, 1, kScreenHasMmx);
  EXPECT_EQ(choose(16, kOrderNormal), blitter_member(kPlainLevelOnly, kOrderNormal, k32To16));
  open(8, 2, 32, 2, kScreenHasMmx);
  EXPECT_EQ(choose(16, kOrderNormal), blitter_member(kPlainLevelOnly, kOrderNormal, k32To16));

  state_.depth = 12;
  EXPECT_EQ(choose(16, kOrderNormal), nullptr);
  state_.depth = 16;  // a 16-bit depth on a record of 4-byte pixels
  EXPECT_EQ(choose(16, kOrderNormal), nullptr);
  screen_state = nullptr;
  EXPECT_EQ(choose(16, kOrderNormal), nullptr);
  EXPECT_EQ(blitter_member(kPlainLevelOnly, 2, 0), nullptr);
  EXPECT_EQ(blitter_member(routine_levels(), 0, kBlitterSlots), nullptr);
}

TEST_F(Blitters, ShapedCopyClearsTheTopByteOfDirtyRows) {
  open(3, 2, 32);
  for (int x = 0; x < 3; ++x) set(x, 0, 0xAB000000u | uint32_t(x + 1) * 0x010203);
  dirty_[1] = 0;
  auto out = run(blitter_shaped_copy, 12);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(get(out, 4 * x, 4), uint32_t(x + 1) * 0x010203);
  EXPECT_EQ(get(out, 12, 4), 0xCDCDCDCDu);
}

// Members reading rows of the wrong length, or with nothing to read, would
// go outside the page: they write nothing instead.
TEST_F(Blitters, UnusableScreensAreLeftAlone) {
  const std::vector<uint8_t> untouched(4 * 16 + kGuard, kFill);
  open(4, 4, 16);
  EXPECT_EQ(run(blitter_shaped_copy, 16, untouched), untouched);
  EXPECT_EQ(run(blitter_member(kPlainLevelOnly, kOrderNormal, k32To16), 16, untouched), untouched);
  EXPECT_EQ(run(blitter_member(routine_levels(), kOrderNormal, k32To16), 16, untouched), untouched);
  open(4, 4, 8);
  state_.device_palette = nullptr;
  EXPECT_EQ(run(blitter_member(kPlainLevelOnly, kOrderNormal, kPaletteTo32), 16, untouched), untouched);
  EXPECT_EQ(run(blitter_member(routine_levels(), kOrderNormal, kPaletteTo32), 16, untouched), untouched);
  open(4, 4, 32, 1);
  state_.scanline_size = 0;
  EXPECT_EQ(run(blitter_copy, 16, untouched), untouched);
  state_.scanline_size = 1;
  state_.pitch = 8;  // too short for a row of 4-byte pixels
  EXPECT_EQ(run(blitter_copy, 16, untouched), untouched);
  screen_state = nullptr;
  EXPECT_EQ(run(blitter_member(routine_levels(), kOrderSwapped, k32To32), 16, untouched), untouched);
}

// The members of the process's levels against the plain level's: random pixels, random dirty flags,
// padded destination rows filled with random bytes that clean rows and
// padding must keep.
TEST_F(Blitters, FastSetMatchesPlainSetOnRandomFrames) {
  std::mt19937 rng(2024);
  for (int width : {4, 8, 12, 20, 636, 640, 1, 3, 5, 6, 7, 9, 13})
    for (int multiplier : {1, 2}) {
      if (multiplier == 2 && width > 20) continue;
      for (int order : {0, 1})
        for (int slot = 0; slot < kBlitterSlots; ++slot) {
          SCOPED_TRACE(testing::Message() << "width " << width << " x" << multiplier << " order " << order << " slot " << slot);
          const int height = width > 20 ? 5 : 9;
          open(width, height, kSourceDepth[slot / 4], multiplier);
          for (auto& p : palette_) p = rng() & 0xFFFFFF;
          for (auto& b : pixels_) b = uint8_t(rng());
          for (auto& d : dirty_) d = uint8_t(rng() % 3 == 0 ? 0 : 1 + rng() % 2);
          fill_expansion_table(table_.data(), order);
          const int pitch = width * dest_bytes(slot) + int(rng() % 8);
          std::vector<uint8_t> start(size_t(out_height()) * pitch + kGuard);
          for (auto& b : start) b = uint8_t(rng());
          auto plain = run(blitter_member(kPlainLevelOnly, order, slot), pitch, start);
          auto fast = run(blitter_member(routine_levels(), order, slot), pitch, start);
          ASSERT_EQ(plain, fast);
        }
    }
}

}  // namespace
