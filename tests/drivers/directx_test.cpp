// The DirectX driver against the scripted window system: the full-screen
// mode search and letterboxing, the flags it refuses, the texture pass
// (dirty rows only, clean rows kept, lost textures made again), the keys by
// scancode, the vertical-blank handshake, window placement and mode lists.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "window_test_support.h"

namespace {

using namespace std::chrono_literals;

class DirectxScriptedThreads : public ScriptedWindowTest {
 protected:
  void TearDown() override {
    directx_driver.exit();
    ScriptedWindowTest::TearDown();
  }
  int open(int flags = 0, int refresh_rate = 0) {
    ScreenState* s = screen_state;
    return directx_driver.init("Zentravolk", s->width, s->height, s->depth, refresh_rate, flags);
  }
  // Marks rows as the program's drawing does and waits for the pass that
  // uploads them; the uploads seen are returned and forgotten.
  std::vector<std::pair<int, int>> draw_rows(std::initializer_list<int> rows) {
    directx_driver.lock();
    scripted([](ScriptedWindowSystem& s) { s.texture_uploads.clear(); });
    for (int y : rows) screen_state->dirty_rows[y] = 1;
    directx_driver.unlock();
    EXPECT_TRUE(scripted_wait([](ScriptedWindowSystem& s) { return !s.texture_uploads.empty(); }));
    return scripted([](ScriptedWindowSystem& s) { return std::exchange(s.texture_uploads, {}); });
  }
  uint32_t texture_pixel32(int x, int y) {
    return scripted([x, y](ScriptedWindowSystem& s) {
      uint32_t v;
      std::memcpy(&v, s.texture_pixels.data() + size_t(y) * size_t(s.texture_pitch) + size_t(x) * 4, 4);
      return v;
    });
  }
  TestScreen& use_screen(int width, int height, int depth) {
    other = std::make_unique<TestScreen>(width, height, depth);
    return *other;
  }
  static void set_modes(std::vector<WsDisplayMode> modes) {
    scripted([&modes](ScriptedWindowSystem& s) { s.modes = std::move(modes); });
  }
  // A condition for scripted_wait: some recorded call starts with the text.
  static auto called(std::string prefix) {
    return [prefix](ScriptedWindowSystem& s) {
      for (const std::string& c : s.calls)
        if (c.rfind(prefix, 0) == 0) return true;
      return false;
    };
  }
  static std::vector<std::string> mode_calls() {
    return scripted([](ScriptedWindowSystem& s) {
      std::vector<std::string> out;
      for (const std::string& c : s.calls)
        if (c.rfind("mode ", 0) == 0 || c == "vga mode") out.push_back(c);
      return out;
    });
  }

  TestScreen screen{320, 240, 32};
  std::unique_ptr<TestScreen> other;
};

TEST_F(DirectxScriptedThreads, FullScreenWithoutTheModeRunsInTheNextTallerOneLetterboxed) {
  use_screen(640, 400, 32);
  set_modes({{640, 480, 32, 0}, {800, 600, 32, 0}});
  ASSERT_EQ(open(ZQ_OPEN_FULLSCREEN), 0);
  EXPECT_EQ(mode_calls(), (std::vector<std::string>{"mode 640x400x32", "mode 640x400x24", "mode 640x480x32"}));
  EXPECT_TRUE(scripted_called("create 640x480 at 0,0 style 1"));
  EXPECT_TRUE(scripted_called("texture 640x400"));  // the picture, not the mode
  draw_rows({0});
  ASSERT_TRUE(scripted_wait([](ScriptedWindowSystem& s) { return !s.presents.empty(); }));
  EXPECT_EQ(scripted([](ScriptedWindowSystem& s) { return s.presents.back(); }), 40);
}

TEST_F(DirectxScriptedThreads, ModeSearchTriesTheRequestedRefreshAndTheTwinDepth) {
  set_modes({{320, 240, 24, 75}});
  ASSERT_EQ(open(ZQ_OPEN_FULLSCREEN, 75), 0);
  EXPECT_EQ(mode_calls(), (std::vector<std::string>{"mode 320x240x32@75", "mode 320x240x24@75"}));
}

TEST_F(DirectxScriptedThreads, VgaRequestAsksForTheStandardModeFirst) {
  use_screen(320, 200, 8);
  scripted([](ScriptedWindowSystem& s) { s.vga_mode = true; });
  ASSERT_EQ(open(ZQ_OPEN_FULLSCREEN), 0);
  EXPECT_EQ(mode_calls(), std::vector<std::string>{"vga mode"});
  EXPECT_TRUE(scripted_called("create 320x200 at 0,0 style 1"));
  directx_driver.exit();

  // Without it, the next height is an ordinary mode at 8 bits (no twin).
  scripted_reset();
  set_modes({{320, 240, 8, 0}});
  ASSERT_EQ(open(ZQ_OPEN_FULLSCREEN), 0);
  EXPECT_EQ(mode_calls(), (std::vector<std::string>{"vga mode", "mode 320x240x8"}));
  draw_rows({0});
  ASSERT_TRUE(scripted_wait([](ScriptedWindowSystem& s) { return !s.presents.empty(); }));
  EXPECT_EQ(scripted([](ScriptedWindowSystem& s) { return s.presents.back(); }), 20);
}

TEST_F(DirectxScriptedThreads, NoAllowedHeightFailsTheDriverAndLeavesNoWindow) {
  use_screen(640, 480, 16);
  EXPECT_EQ(open(ZQ_OPEN_FULLSCREEN), -1);
  std::vector<std::string> expected;
  for (int h : {480, 600, 768, 1024})
    for (int d : {16, 15}) expected.push_back("mode 640x" + std::to_string(h) + "x" + std::to_string(d));
  EXPECT_EQ(mode_calls(), expected);
  EXPECT_FALSE(scripted([](ScriptedWindowSystem& s) { return s.window_open; }));
}

TEST_F(DirectxScriptedThreads, OpenGLAndShapedScreensAreRefusedAtOnce) {
  EXPECT_EQ(open(ZQ_OPEN_OPENGL), -1);
  EXPECT_EQ(open(ZQ_OPEN_SHAPED), -1);
  EXPECT_EQ(open(ZQ_OPEN_SHAPED | ZQ_OPEN_FULLSCREEN), -1);
  EXPECT_FALSE(scripted_called("start video"));
}

TEST_F(DirectxScriptedThreads, NoAcceleratedRendererFailsTheDriver) {
  scripted([](ScriptedWindowSystem& s) { s.accelerated = false; });
  EXPECT_EQ(open(), -1);
  EXPECT_FALSE(scripted([](ScriptedWindowSystem& s) { return s.window_open; }));
}

TEST_F(DirectxScriptedThreads, OnlyDirtyRowsAreConvertedAndUploaded) {
  ASSERT_EQ(open(), 0);
  // The first marks show the whole picture: the texture held nothing yet.
  EXPECT_EQ(draw_rows({5}), (std::vector<std::pair<int, int>>{{0, 240}}));
  uint32_t red = 0xFFFF0000u, blue = 0xFF0000FFu, green = 0xFF00FF00u;
  directx_driver.lock();
  std::memcpy(screen.row(10) + 4 * 3, &red, 4);
  std::memcpy(screen.row(200) + 4 * 7, &blue, 4);
  std::memcpy(screen.row(50), &green, 4);  // changed but not marked
  directx_driver.unlock();
  EXPECT_EQ(draw_rows({10, 200}), (std::vector<std::pair<int, int>>{{10, 191}}));
  directx_driver.lock();
  EXPECT_EQ(texture_pixel32(3, 10) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(texture_pixel32(7, 200) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(texture_pixel32(0, 50) & 0xFFFFFF, 0u);  // kept what the texture held
  EXPECT_EQ(screen->dirty_rows[10] + screen->dirty_rows[200], 0);
  directx_driver.unlock();
}

TEST_F(DirectxScriptedThreads, SixteenBitScreenOnA555TextureUsesThe15BitConversion) {
  TestScreen& s16 = use_screen(64, 8, 16);
  scripted([](ScriptedWindowSystem& s) { s.texture_depth = 15; });
  uint16_t red = 0xF800, white = 0xFFFF;
  std::memcpy(s16.row(1), &red, 2);
  std::memcpy(s16.row(1) + 2, &white, 2);
  ASSERT_EQ(open(), 0);
  EXPECT_EQ(scripted([](ScriptedWindowSystem& s) { return s.texture_wanted_depth; }), 16);
  draw_rows({1});
  directx_driver.lock();
  scripted([](ScriptedWindowSystem& s) {
    uint16_t p[2];
    std::memcpy(p, s.texture_pixels.data() + s.texture_pitch, 4);
    EXPECT_EQ(p[0], 0x7C00);
    EXPECT_EQ(p[1], 0x7FFF);
  });
  directx_driver.unlock();
}

TEST_F(DirectxScriptedThreads, LostTextureIsMadeAgainAndFilledWhole) {
  ASSERT_EQ(open(), 0);
  draw_rows({0});
  directx_driver.lock();
  scripted([](ScriptedWindowSystem& s) {
    s.texture_lost = true;
    s.texture_uploads.clear();
  });
  directx_driver.unlock();
  ASSERT_TRUE(scripted_wait([](ScriptedWindowSystem& s) { return !s.texture_uploads.empty(); }));
  scripted([](ScriptedWindowSystem& s) {
    EXPECT_EQ(s.textures_made, 2);
    EXPECT_EQ(s.texture_uploads.front(), std::make_pair(0, 240));
  });
}

TEST_F(DirectxScriptedThreads, ExitReturnsPromptlyWhileTheDisplayCannotBeRemade) {
  ASSERT_EQ(open(), 0);
  draw_rows({0});
  directx_driver.lock();
  scripted([](ScriptedWindowSystem& s) {
    s.texture_lost = true;
    s.texture_failures = 1000;
    s.create_failures = 1000;
  });
  directx_driver.unlock();
  // The pass is now remaking the display over and over; the program can
  // still draw and close.
  ASSERT_TRUE(scripted_wait([](ScriptedWindowSystem& s) { return s.create_failures < 999; }));
  directx_driver.lock();
  screen->dirty_rows[3] = 1;
  directx_driver.unlock();
  auto start = std::chrono::steady_clock::now();
  directx_driver.exit();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 900ms);
  EXPECT_FALSE(scripted([](ScriptedWindowSystem& s) { return s.window_open || s.texture_open; }));
}

TEST_F(DirectxScriptedThreads, AKeyIsDownWhilePlainOrExtendedCodeIsDown) {
  ASSERT_EQ(open(), 0);
  // The pass writes the table under the screen lock.
  auto wait_key = [this](int scancode, uint8_t value) {
    for (auto end = std::chrono::steady_clock::now() + 2s; std::chrono::steady_clock::now() < end;) {
      directx_driver.lock();
      bool seen = screen->key_state[scancode] == value;
      directx_driver.unlock();
      if (seen) return true;
      std::this_thread::sleep_for(2ms);
    }
    return false;
  };
  scripted([](ScriptedWindowSystem& s) {
    s.scancodes[0x4D | 0x80] = 0x80;  // right arrow (extended)
    s.scancodes[0x1D] = 0x80;         // left Ctrl
    s.scancodes[0x36] = 0x80;         // right Shift
  });
  EXPECT_TRUE(wait_key(0x4D, 1));
  directx_driver.lock();
  EXPECT_EQ(screen->key_state[0x1D], 1);
  EXPECT_EQ(screen->key_state[0x36], 1);
  EXPECT_EQ(screen->key_state[0x2A], 0);  // scancodes, not the shared shift key
  directx_driver.unlock();
  scripted([](ScriptedWindowSystem& s) {
    s.scancodes[0x4D | 0x80] = 0;
    s.scancodes[0x4D] = 0x80;  // keypad 6: the plain twin
  });
  std::this_thread::sleep_for(40ms);
  directx_driver.lock();
  EXPECT_EQ(screen->key_state[0x4D], 1);
  directx_driver.unlock();
  scripted([](ScriptedWindowSystem& s) { s.scancodes[0x4D] = 0; });
  EXPECT_TRUE(wait_key(0x4D, 0));
}

TEST_F(DirectxScriptedThreads, WaitVsyncReturnsAfterTheRefreshAndThePassPresentsAfterIt) {
  ASSERT_EQ(open(), 0);
  draw_rows({0});
  std::this_thread::sleep_for(30ms);
  size_t before = scripted([](ScriptedWindowSystem& s) { return s.presents.size(); });
  directx_driver.wait_vsync();
  EXPECT_EQ(scripted([](ScriptedWindowSystem& s) { return s.vsync_waits; }), 1);
  // Nothing was drawn, yet the pass that saw the request presents.
  EXPECT_TRUE(scripted_wait([before](ScriptedWindowSystem& s) { return s.presents.size() > before; }));
  // Called with the screen lock held (as inside a drawing operation).
  screen->flags |= kScreenLocked;
  directx_driver.lock();
  directx_driver.wait_vsync();
  directx_driver.unlock();
  screen->flags &= ~kScreenLocked;
  EXPECT_EQ(scripted([](ScriptedWindowSystem& s) { return s.vsync_waits; }), 2);
}

TEST_F(DirectxScriptedThreads, WindowComesBackWhereTheUserLeftItAfterFullScreen) {
  set_modes({{320, 240, 32, 0}});
  ASSERT_EQ(open(), 0);
  EXPECT_TRUE(scripted_called("create 320x240 at 352,264 style 4"));  // centred
  draw_rows({0});
  scripted([](ScriptedWindowSystem& s) {
    s.client.x = 100;
    s.client.y = 50;
    s.messages.push_back(WsMessage{.type = kWsSize, .size = kWsSizeMaximised});  // to full screen
  });
  ASSERT_TRUE(scripted_wait(called("create 320x240 at 0,0 style 1")));
  scripted_push(WsMessage{.type = kWsSize, .size = kWsSizeMaximised});  // and back
  EXPECT_TRUE(scripted_wait(called("create 320x240 at 100,50 style 4")));
}

TEST_F(DirectxScriptedThreads, ModeListKeepsTheExactDepth) {
  set_modes({{640, 480, 16, 60}, {640, 480, 15, 60}, {800, 600, 32, 60}, {1024, 768, 16, 60}});
  int count = -1;
  int* modes = directx_driver.fetch_modes(16, &count);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(modes[0], 640 << 16 | 480);
  EXPECT_EQ(modes[1], 1024 << 16 | 768);
  std::free(modes);
  modes = directx_driver.fetch_modes(15, &count);
  ASSERT_EQ(count, 1);
  std::free(modes);
  EXPECT_EQ(directx_driver.fetch_modes(8, &count), nullptr);
  EXPECT_EQ(count, 0);
}

}  // namespace
