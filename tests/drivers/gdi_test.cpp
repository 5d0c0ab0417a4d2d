// The GDI driver and the window layer's driver thread against the scripted
// window system: the start-up handshake, the bounded shutdown, the dirty
// span, keyboard sampling, palette screens, full screen and the mode list.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "window_test_support.h"

namespace {

using namespace std::chrono_literals;

bool uploads_seen(ScriptedWindowSystem& s) { return !s.uploads.empty(); }

class GdiScriptedThreads : public ScriptedWindowTest {
 protected:
  // Opens a window on the stand-in; nothing is shown until rows are dirty.
  void open(int flags = 0) {
    ScreenState* s = screen_state;
    ASSERT_EQ(gdi_driver.init("Zentravolk", s->width, s->height * s->scanline_size, s->depth, 0, flags),
              0);
  }
  uint32_t surface_pixel32(int x, int y) {
    return scripted([x, y](ScriptedWindowSystem& s) {
      uint32_t v;
      std::memcpy(&v, s.pixels.data() + size_t(y) * size_t(s.pitch) + size_t(x) * 4, 4);
      return v;
    });
  }
  void TearDown() override {
    gdi_driver.exit();
    ScriptedWindowTest::TearDown();
  }
  // Another screen in place of the default one, for the rest of the test.
  TestScreen& use_screen(int width, int height, int depth) {
    other = std::make_unique<TestScreen>(width, height, depth);
    return *other;
  }

  TestScreen screen{320, 240, 32};
  std::unique_ptr<TestScreen> other;
};

TEST_F(GdiScriptedThreads, DirtyRowsTenAndTwoHundredGoOutAsOneSpan) {
  open();
  EXPECT_TRUE(scripted_called("create 320x240 at 352,264 style 4"));  // centred, with maximise
  gdi_driver.lock();
  uint32_t red = 0xFFFF0000u, blue = 0x000000FFu;
  std::memcpy(screen.row(10) + 4 * 3, &red, 4);
  std::memcpy(screen.row(200) + 4 * 7, &blue, 4);
  screen->dirty_rows[10] = screen->dirty_rows[200] = 1;
  gdi_driver.unlock();
  ASSERT_TRUE(scripted_wait(uploads_seen));
  gdi_driver.lock();
  auto uploads = scripted([](ScriptedWindowSystem& s) { return s.uploads; });
  EXPECT_EQ(uploads.front(), std::make_pair(10, 191));
  EXPECT_EQ(screen->dirty_rows[10], 0);
  EXPECT_EQ(screen->dirty_rows[200], 0);
  EXPECT_EQ(surface_pixel32(3, 10) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(surface_pixel32(7, 200) & 0xFFFFFF, 0x0000FFu);
  gdi_driver.unlock();
}

TEST_F(GdiScriptedThreads, IdlePassesShowNothingButReadKeysAndMessages) {
  open();
  scripted([](ScriptedWindowSystem& s) {
    s.keys[0x27] = 0x80;  // right arrow
    s.keys[0x10] = 0x80;  // a shift key
    s.messages.push_back(WsMessage{.type = kWsClose});
  });
  ASSERT_TRUE(scripted_wait([](ScriptedWindowSystem& s) { return s.messages.empty(); }));
  std::this_thread::sleep_for(30ms);  // at least one more whole pass
  gdi_driver.lock();
  EXPECT_EQ(screen->key_state[0x4D], 1);
  EXPECT_EQ(screen->key_state[0x2A], 1);
  EXPECT_EQ(screen->key_state[0x36], 1);
  EXPECT_EQ(screen->key_state[0x4B], 0);
  EXPECT_TRUE(scripted([](ScriptedWindowSystem& s) { return s.uploads.empty(); }));
  EXPECT_TRUE(scripted([](ScriptedWindowSystem& s) { return s.window_open; }));
  gdi_driver.unlock();
  EXPECT_EQ(posted().keys, (std::vector<int>{0x6BFF}));
}

TEST_F(GdiScriptedThreads, NothingIsShownBeforeTheProgramDraws) {
  open();
  // Focus arrives while the pages may still be in the making: the refresh
  // it asks for waits for the program's first drawing.
  scripted_push(WsMessage{.type = kWsActivate, .flags = kWsActive});
  ASSERT_TRUE(scripted_wait([](ScriptedWindowSystem& s) { return s.messages.empty(); }));
  std::this_thread::sleep_for(30ms);
  EXPECT_TRUE(scripted([](ScriptedWindowSystem& s) { return s.uploads.empty(); }));
  gdi_driver.lock();
  screen->dirty_rows[5] = 1;
  gdi_driver.unlock();
  ASSERT_TRUE(scripted_wait(uploads_seen));
  EXPECT_EQ(scripted([](ScriptedWindowSystem& s) { return s.uploads.front(); }), std::make_pair(0, 240));
}

TEST_F(GdiScriptedThreads, TitleChangeWaitsForTheWindowThread) {
  open();
  gdi_driver.set_window_title("Second title");
  EXPECT_EQ(scripted([](ScriptedWindowSystem& s) { return s.title; }), "Second title");
  // Also when the caller holds the screen lock, as drawing code does.
  gdi_driver.lock();
  screen->flags |= kScreenLocked;
  gdi_driver.set_window_title("Third");
  EXPECT_EQ(scripted([](ScriptedWindowSystem& s) { return s.title; }), "Third");
  screen->flags &= ~kScreenLocked;
  gdi_driver.unlock();
}

TEST_F(GdiScriptedThreads, StartFailsWhenTheWindowCannotBeMade) {
  scripted([](ScriptedWindowSystem& s) { s.create_failures = 1; });
  EXPECT_EQ(gdi_driver.init("t", 320, 240, 32, 0, 0), -1);
  gdi_driver.exit();
  EXPECT_TRUE(scripted_called("stop video"));
  scripted([](ScriptedWindowSystem& s) { s.video_fails = true; });
  EXPECT_EQ(gdi_driver.init("t", 320, 240, 32, 0, 0), -1);
  // The OpenGL flag is refused before anything starts.
  scripted_reset();
  EXPECT_EQ(gdi_driver.init("t", 320, 240, 32, 0, ZQ_OPEN_OPENGL), -1);
  EXPECT_FALSE(scripted_called("start video"));
}

TEST_F(GdiScriptedThreads, FullScreenNeedsAnExactDisplayMode) {
  scripted([](ScriptedWindowSystem& s) { s.modes = {{320, 240, 16, 60}, {640, 480, 32, 60}}; });
  EXPECT_EQ(gdi_driver.init("t", 320, 240, 32, 0, ZQ_OPEN_FULLSCREEN), -1);
  gdi_driver.exit();
  EXPECT_TRUE(scripted_called("mode 320x240x32"));
  EXPECT_FALSE(scripted_called("create"));
  scripted([](ScriptedWindowSystem& s) { s.modes.push_back({320, 240, 32, 75}); });
  ASSERT_EQ(gdi_driver.init("t", 320, 240, 32, 0, ZQ_OPEN_FULLSCREEN), 0);
  EXPECT_TRUE(scripted_called("create 320x240 at 0,0 style 1"));
  EXPECT_EQ(gdi_driver.set_window_pos(5, 5), 0);  // nothing moves in full screen
  gdi_driver.exit();
  EXPECT_TRUE(scripted_called("restore mode"));
  EXPECT_TRUE(scripted_called("destroy"));
}


TEST_F(GdiScriptedThreads, SixteenBitScreenOnA555Surface) {
  scripted([](ScriptedWindowSystem& s) { s.surface_depth = 15; });
  TestScreen& wide = use_screen(64, 8, 16);
  open();
  gdi_driver.lock();
  uint16_t pixels[3] = {0xFFFF, 0xF800, 0x07E0};
  std::memcpy(wide.row(2), pixels, sizeof pixels);
  wide->dirty_rows[2] = 1;
  gdi_driver.unlock();
  ASSERT_TRUE(scripted_wait(uploads_seen));
  gdi_driver.lock();
  auto shown = scripted([](ScriptedWindowSystem& s) {
    std::vector<uint16_t> v(3);
    std::memcpy(v.data(), s.pixels.data() + 2 * size_t(s.pitch), 6);
    return v;
  });
  gdi_driver.unlock();
  EXPECT_EQ(shown, (std::vector<uint16_t>{0x7FFF, 0x7C00, 0x03E0}));
}

TEST_F(GdiScriptedThreads, PaletteScreenIsShownThroughThePalette) {
  TestScreen& palette_screen = use_screen(64, 8, 8);
  palette_screen->device_palette[5] = 0x00FF00FFu;  // red 255, blue 255 (red in the low byte)
  palette_screen->device_palette[6] = 0x00000080u;  // dark red
  open();
  gdi_driver.lock();
  palette_screen.row(3)[0] = 5;
  palette_screen.row(3)[1] = 6;
  palette_screen->dirty_rows[3] = 1;
  gdi_driver.unlock();
  ASSERT_TRUE(scripted_wait(uploads_seen));
  gdi_driver.lock();
  EXPECT_EQ(surface_pixel32(0, 3) & 0xFFFFFF, 0xFF00FFu);
  EXPECT_EQ(surface_pixel32(1, 3) & 0xFFFFFF, 0x800000u);
  // A palette change shows every row again.
  gdi_driver.set_palette(6, 0, 0, 255);
  palette_screen->device_palette[6] = 0x00FF0000u;
  scripted([](ScriptedWindowSystem& s) { s.uploads.clear(); });
  gdi_driver.unlock();
  ASSERT_TRUE(scripted_wait(uploads_seen));
  gdi_driver.lock();
  EXPECT_EQ(scripted([](ScriptedWindowSystem& s) { return s.uploads.front(); }), std::make_pair(0, 8));
  EXPECT_EQ(surface_pixel32(1, 3) & 0xFFFFFF, 0x0000FFu);
  gdi_driver.unlock();
}

TEST_F(GdiScriptedThreads, ShapedWindowsKeyOutMagentaOrAreRefused) {
  open(ZQ_OPEN_SHAPED | ZQ_OPEN_NO_SWITCH | ZQ_OPEN_NO_FRAME);
  EXPECT_TRUE(scripted_called("create 320x240 at 352,264 style 18"));  // no frame, shaped
  gdi_driver.lock();
  uint32_t with_alpha = 0xFF00FF00u;
  std::memcpy(screen.row(4), &with_alpha, 4);
  screen->dirty_rows[4] = 1;
  gdi_driver.unlock();
  ASSERT_TRUE(scripted_wait(uploads_seen));
  EXPECT_TRUE(scripted_called("shape 16711935"));    // 0xFF00FF
  EXPECT_EQ(surface_pixel32(0, 4), 0x0000FF00u);      // copied with the top byte cleared
  gdi_driver.exit();
  // Where the window system has no shaped windows, the opening fails.
  scripted([](ScriptedWindowSystem& s) { s.shapes_supported = false; });
  EXPECT_EQ(gdi_driver.init("t", 320, 240, 32, 0, ZQ_OPEN_SHAPED | ZQ_OPEN_NO_SWITCH | ZQ_OPEN_NO_FRAME), -1);
}

// A driver thread that takes long to close its window.
std::atomic<bool> slow_thread_done{false};
void slow_closing_thread(WindowState* st) {
  st->active = 1;
  win_thread_started(st);
  while (st->running) std::this_thread::sleep_for(1ms);
  std::this_thread::sleep_for(1500ms);
  st->title = "closed";  // its own state is still alive
  slow_thread_done = true;
}

TEST(WindowThreads, ExitWaitsOneSecondThenLetsTheThreadFinishAlone) {
  scripted_reset();
  win_clear();
  win_state()->thread_proc = slow_closing_thread;
  set_window_system(&scripted_window_system);
  ASSERT_EQ(win_init("slow", 32, 32, 32, 0, 0), 0);
  WindowState* old_state = win_state();
  auto start = std::chrono::steady_clock::now();
  win_exit();
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, 990ms);
  EXPECT_LT(waited, 1400ms);
  EXPECT_NE(win_state(), old_state);  // the next screen gets a fresh state
  win_clear();
  // It ends by itself: its state outlived win_exit, and it stops video last.
  EXPECT_TRUE(scripted_wait([](ScriptedWindowSystem&) { return slow_thread_done.load(); }, 3000ms));
  EXPECT_TRUE(scripted_wait([](ScriptedWindowSystem& s) { return !s.video_started; }, 3000ms));
  set_window_system(nullptr);
}

TEST(GdiModes, ListsTwinDepthsAndNothingForUnknownOnes) {
  scripted_reset();
  set_window_system(&scripted_window_system);
  scripted([](ScriptedWindowSystem& s) {
    s.modes = {{640, 480, 32, 60}, {800, 600, 24, 60}, {640, 480, 16, 60}, {320, 200, 8, 70}};
  });
  int count = -1;
  int* modes = gdi_driver.fetch_modes(32, &count);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(modes[0], 640 << 16 | 480);
  EXPECT_EQ(modes[1], 800 << 16 | 600);
  std::free(modes);
  modes = gdi_driver.fetch_modes(15, &count);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(modes[0], 640 << 16 | 480);
  std::free(modes);
  EXPECT_EQ(gdi_driver.fetch_modes(4, &count), nullptr);
  EXPECT_EQ(count, 0);
  set_window_system(nullptr);
}

}  // namespace
