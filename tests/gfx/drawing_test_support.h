// Shared by the drawing tests: a fixture that opens screens on the null
// driver, and a stand-in driver that counts what it is asked to do.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "drivers/driver.h"
#include "gfx/draw/context.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"

struct DriverCounts {
  int locks, unlocks, palette_calls, vsyncs, flips, polls;
  int last_palette[4];  // index, red, green, blue of the last set_palette
};
inline DriverCounts counts;

inline const GfxDriver counting_driver = {
    "Counting",
    nullptr,
    nullptr,
    [] { ++counts.locks; },
    [] { ++counts.unlocks; },
    [](int i, int r, int g, int b) {
      ++counts.palette_calls;
      int v[4] = {i, r, g, b};
      std::memcpy(counts.last_palette, v, sizeof v);
    },
    [] { ++counts.vsyncs; },
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

inline const GfxDriver flipping_driver = {
    "Flipping", nullptr, nullptr, [] { ++counts.locks; }, [] { ++counts.unlocks; }, nullptr, nullptr,
    nullptr,    nullptr, nullptr, nullptr, nullptr, [] { ++counts.flips; }, [] { ++counts.polls; },
};

// The open screen's rows marked for the next show: cleared, and listed.
inline void clear_dirty_rows() { std::fill_n(screen_state->dirty_rows, screen_state->height, uint8_t(0)); }
inline std::vector<int> dirty_rows() {
  std::vector<int> rows;
  for (int y = 0; y < screen_state->height; ++y)
    if (screen_state->dirty_rows[y]) rows.push_back(y);
  return rows;
}
// Rows first to last, to compare with dirty_rows().
inline std::vector<int> row_range(int first, int last) {
  std::vector<int> r;
  for (int i = first; i <= last; ++i) r.push_back(i);
  return r;
}

class DrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rt_init(0, nullptr, 1);
    setenv("ZQGFX", "null", 1);
    counts = {};
  }
  void TearDown() override {
    gfx_close_at_exit();
    rt_init(0, nullptr, 1);
  }

  static void open(int width, int height, int depth, int pages = 1, int flags = 0) {
    ASSERT_EQ(gfx_screen_res(width, height, depth, pages, flags, 0), 0);
    ASSERT_NE(screen_state, nullptr);
  }
  // Puts the stand-in in the null driver's place and clears its counts.
  static void use_driver(const GfxDriver& driver) {
    screen_state->driver = &driver;
    counts = {};
  }
  static void clear_dirty() { clear_dirty_rows(); }
  static int dirty_count() {
    return int(std::count(screen_state->dirty_rows, screen_state->dirty_rows + screen_state->height, 1));
  }
};

// A pixel of a 32-bit screen page, read directly.
inline uint32_t page_pixel32(int page, int x, int y) {
  uint32_t v;
  std::memcpy(&v, screen_state->page_buffers[page] + y * screen_state->pitch + x * 4, 4);
  return v;
}
