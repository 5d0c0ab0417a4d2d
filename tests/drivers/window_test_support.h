// What the window layer's tests share: a hand-built screen record, a host
// that records the keys and events the layer posts, and the scripted window
// system installed in place of the real one.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>
#include <vector>

#include "drivers/driver.h"
#include "drivers/window.h"
#include "tests/support/scripted_window_system.h"

// Keys and events posted through the host; the driver thread posts them, so
// they are kept under a lock.
struct PostedInput {
  std::vector<int> keys;
  std::vector<GfxEvent> events;
  int palette_resends = 0;
};

inline std::mutex posted_lock;
inline PostedInput posted_input;

inline PostedInput posted() {
  std::lock_guard<std::mutex> guard(posted_lock);
  return posted_input;
}

inline const DriverHost recording_host = {
    [](int code) {
      std::lock_guard<std::mutex> guard(posted_lock);
      posted_input.keys.push_back(code);
    },
    [](const GfxEvent* event) {
      std::lock_guard<std::mutex> guard(posted_lock);
      posted_input.events.push_back(*event);
    },
    [] {
      std::lock_guard<std::mutex> guard(posted_lock);
      ++posted_input.palette_resends;
    },
};

// A screen of width x height at a depth (8, 16 or 32) with two pages, built
// the way the graphics library builds it, installed as the open screen.
class TestScreen {
 public:
  TestScreen(int width, int height, int depth, int scanline = 1) {
    s_.width = width;
    s_.height = height;
    s_.depth = depth;
    s_.bytes_per_pixel = (depth + 7) / 8;
    s_.pitch = s_.bytes_per_pixel * width;
    s_.scanline_size = scanline;
    s_.page_count = 2;
    for (auto& page : pages_) page.assign(size_t(s_.pitch) * size_t(height), 0);
    page_pointers_[0] = pages_[0].data();
    page_pointers_[1] = pages_[1].data();
    s_.page_buffers = page_pointers_;
    s_.visible_pixels = page_pointers_[0];
    dirty_.assign(size_t(height) * size_t(scanline), 0);
    s_.dirty_rows = dirty_.data();
    s_.key_state = key_state_;
    s_.device_palette = palette_;
    screen_conversion_table = conversion_;
    screen_state = &s_;
  }
  ~TestScreen() {
    if (screen_state != &s_) return;
    screen_state = nullptr;
    screen_conversion_table = nullptr;
  }
  ScreenState* operator->() { return &s_; }
  ScreenState& state() { return s_; }
  uint8_t* row(int y) { return s_.visible_pixels + size_t(y) * size_t(s_.pitch); }

 private:
  ScreenState s_{};
  std::vector<uint8_t> pages_[2];
  uint8_t* page_pointers_[2] = {};
  std::vector<uint8_t> dirty_;
  uint8_t key_state_[kKeyStateSize] = {};
  uint32_t palette_[256] = {};
  uint32_t conversion_[512] = {};
};

// Installs the stand-in and the recording host for one test.
class ScriptedWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scripted_reset();
    set_window_system(&scripted_window_system);
    driver_set_host(&recording_host);
    std::lock_guard<std::mutex> guard(posted_lock);
    posted_input = PostedInput{};
  }
  void TearDown() override {
    win_exit();
    win_clear();
    driver_set_host(nullptr);
    set_window_system(nullptr);
  }
};
