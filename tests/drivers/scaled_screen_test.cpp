// Scaled screens on the GDI and DirectX drivers against the scripted window
// system (a 1920 x 1080 desktop): the window's opening size, the picture's
// k x k blocks between black bars, resizes, desktop full screen and the way
// back, the pointer mapped both ways, high-DPI drawables and ZQSCALE.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

#include "drivers/simulated_input.h"
#include "window_test_support.h"
#include "zentravolk/events.h"

namespace {

using namespace std::chrono_literals;

constexpr int kStyleScaledWindow = kWsStyleMaximiseBox | kWsStyleResizable | kWsStyleHighDpi;
constexpr int kStyleScaledFullScreen = kWsStyleDesktopFullScreen | kWsStyleHighDpi;
constexpr uint32_t kRed = 0x00FF0000u, kGreen = 0x0000FF00u, kBlue = 0x000000FFu;

std::string created(int width, int height, int x, int y, int style) {
  return "create " + std::to_string(width) + "x" + std::to_string(height) + " at " + std::to_string(x) + "," +
         std::to_string(y) + " style " + std::to_string(style);
}

class ScaledScreen : public ScriptedWindowTest {
 protected:
  void SetUp() override {
    ScriptedWindowTest::SetUp();
    unsetenv("ZQSCALE");
    scripted([](ScriptedWindowSystem& s) {
      s.desktop = {1920, 1080, 32, 60};
      s.usable = {0, 0, 1920, 1080};
    });
  }
  void TearDown() override {
    driver->exit();
    unsetenv("ZQSCALE");
    ScriptedWindowTest::TearDown();
  }
  int open(int flags) {
    ScreenState* s = screen_state;
    return driver->init("Zentravolk", s->width, s->height, s->depth, 0, flags);
  }
  // Three marked pixels: the top-left corner, one in the middle, the
  // bottom-right corner.
  void draw_marks() {
    driver->lock();
    put(0, 0, kRed);
    put(100, 50, kGreen);
    put(639, 479, kBlue);
    for (int y = 0; y < 480; ++y) screen->dirty_rows[y] = 1;
    driver->unlock();
  }
  void put(int x, int y, uint32_t colour) { std::memcpy(screen.row(y) + 4 * x, &colour, 4); }
  static uint32_t pixel_of(const ScriptedWindowSystem& s, int x, int y) {
    uint32_t v;
    std::memcpy(&v, s.pixels.data() + size_t(y) * size_t(s.pitch) + size_t(x) * 4, 4);
    return v & 0xFFFFFFu;
  }
  static uint32_t surface_pixel(int x, int y) {
    return scripted([x, y](ScriptedWindowSystem& s) { return pixel_of(s, x, y); });
  }
  // Waits until the surface shows the marks at factor k from (left, top)
  // (the last row is written last): every pixel of each mark's block, and
  // black just outside the picture. Read under the screen lock, which the
  // driver holds while it writes the surface.
  void expect_picture(int k, int left, int top) {
    ASSERT_TRUE(scripted_wait([=](ScriptedWindowSystem& s) {
      return size_t(top + 480 * k) * size_t(s.pitch) <= s.pixels.size() &&
             pixel_of(s, left + 639 * k, top + 479 * k) == kBlue;
    })) << "factor " << k << " at " << left << "," << top;
    driver->lock();
    for (int i = 0; i < k; ++i)
      for (int j = 0; j < k; ++j) {
        EXPECT_EQ(surface_pixel(left + j, top + i), kRed);
        EXPECT_EQ(surface_pixel(left + 100 * k + j, top + 50 * k + i), kGreen);
        EXPECT_EQ(surface_pixel(left + 639 * k + j, top + 479 * k + i), kBlue);
      }
    EXPECT_EQ(surface_pixel(left + k, top), 0u);
    if (left > 0) {
      EXPECT_EQ(surface_pixel(left - 1, top), 0u);
    }
    if (top > 0) {
      EXPECT_EQ(surface_pixel(left, top - 1), 0u);
    }
    driver->unlock();
  }
  static void resize(int width, int height) { scripted_resize(width, height); }
  // The newest present's place (DirectX), once it equals the one expected.
  static bool presented_at(WsRect place) {
    return scripted_wait([place](ScriptedWindowSystem& s) {
      if (s.present_places.empty()) return false;
      const WsRect& p = s.present_places.back();
      return p.x == place.x && p.y == place.y && p.width == place.width && p.height == place.height;
    });
  }
  static void alt_enter() {
    scripted([](ScriptedWindowSystem& s) {
      s.keys[0x12] = s.keys[0xA4] = s.keys[0x0D] = 0x80;
      s.messages.push_back(ws_key_message(kWsSysKeyDown, 0x0D, 0x1C, false, false));
    });
    ASSERT_TRUE(scripted_wait([](ScriptedWindowSystem& s) { return s.messages.empty(); }));
    scripted([](ScriptedWindowSystem& s) { s.keys[0x12] = s.keys[0xA4] = s.keys[0x0D] = 0; });
  }
  // Hands the window a pointer move and returns the event it posted.
  static GfxEvent move_event(int x, int y) {
    const size_t before = posted().events.size();
    scripted_push(scripted_pointer(kWsMouseMove, x, y));
    EXPECT_TRUE(scripted_wait([before](ScriptedWindowSystem&) { return posted().events.size() > before; }));
    return posted().events.back();
  }

  const GfxDriver* driver = &gdi_driver;
  TestScreen screen{640, 480, 32};
};

TEST_F(ScaledScreen, GdiWindowOpensAtTheLargestFactorAndShowsBlocksBetweenBarsAfterResizes) {
  ASSERT_EQ(open(ZQ_OPEN_SCALED), 0);
  EXPECT_TRUE(scripted_called(created(1280, 960, 320, 60, kStyleScaledWindow)));
  draw_marks();
  expect_picture(2, 0, 0);
  resize(1000, 900);
  expect_picture(1, 180, 210);
  EXPECT_EQ(surface_pixel(999, 899), 0u);  // the bars
  // The whole window, bars and all, is shown at once after the resize.
  EXPECT_TRUE(scripted_wait([](ScriptedWindowSystem& s) {
    return !s.uploads.empty() && s.uploads.back() == std::make_pair(0, 900);
  }));
  resize(1920, 1000);
  expect_picture(2, 320, 20);
}

TEST_F(ScaledScreen, GdiPointerMapsThroughScaleAndBarsBothWays) {
  ASSERT_EQ(open(ZQ_OPEN_SCALED), 0);
  draw_marks();
  resize(1920, 1000);
  expect_picture(2, 320, 20);
  GfxEvent e = move_event(320 + 11, 20 + 5);  // the first move in: a mouse enter
  EXPECT_EQ(e.a, 5);
  EXPECT_EQ(e.b, 2);
  e = move_event(1599, 979);
  EXPECT_EQ(e.type, ZQ_EVENT_MOUSE_MOVE);
  EXPECT_EQ(e.a, 639);
  EXPECT_EQ(e.b, 479);
  EXPECT_EQ(e.c, 1599 - 331);  // dx, dy stay in desktop pixels
  int x = 0, y = 0, wheel = 0, buttons = 0, clip = 0;
  driver->lock();
  EXPECT_EQ(driver->get_mouse(&x, &y, &wheel, &buttons, &clip), 0);
  driver->unlock();
  EXPECT_EQ(x, 639);
  // Over the left bar the pointer is outside the screen.
  e = move_event(300, 500);
  EXPECT_LT(e.a, 0);
  driver->lock();
  EXPECT_EQ(driver->get_mouse(&x, &y, &wheel, &buttons, &clip), -1);
  driver->unlock();
  // A simulated pointer speaks screen pixels too.
  driver->lock();
  win_simulate_pointer(7, 9, 0);
  driver->unlock();
  e = posted().events.back();
  EXPECT_EQ(e.a, 7);
  EXPECT_EQ(e.b, 9);
  // Setting the pointer lands in the middle of the pixel's block.
  driver->set_mouse(10, 20, -1, -1);
  EXPECT_TRUE(scripted_wait([](ScriptedWindowSystem& s) {
    for (const std::string& c : s.calls)
      if (c == "warp 341,61") return true;
    return false;
  }));
}

TEST_F(ScaledScreen, GdiFullScreenIsTheDesktopsOwnAndAltEnterRestoresTheWindow) {
  ASSERT_EQ(open(ZQ_OPEN_SCALED | ZQ_OPEN_FULLSCREEN), 0);
  EXPECT_TRUE(scripted_called(created(1920, 1080, 0, 0, kStyleScaledFullScreen)));
  EXPECT_FALSE(scripted_called("mode"));  // no display-mode change
  draw_marks();
  expect_picture(2, 320, 60);
  alt_enter();  // to a window: opened as a window would be
  EXPECT_TRUE(scripted_wait([](ScriptedWindowSystem& s) { return s.client.width == 1280; }));
  EXPECT_TRUE(scripted_called(created(1280, 960, 320, 60, kStyleScaledWindow)));
  resize(1000, 900);
  expect_picture(1, 180, 210);
  alt_enter();  // full screen again, then back: the window keeps its size
  alt_enter();
  EXPECT_TRUE(scripted_wait([](ScriptedWindowSystem& s) { return s.client.width == 1000; }));
  EXPECT_TRUE(scripted_called(created(1000, 900, 320, 60, kStyleScaledWindow)));
  EXPECT_FALSE(scripted_called("mode"));
  expect_picture(1, 180, 210);
}

TEST_F(ScaledScreen, HighDpiDrawableGetsTheDoubledPicture) {
  scripted([](ScriptedWindowSystem& s) { s.drawable_scale = 2; });
  ASSERT_EQ(open(ZQ_OPEN_SCALED), 0);
  EXPECT_TRUE(scripted_called(created(1280, 960, 320, 60, kStyleScaledWindow)));
  draw_marks();
  expect_picture(4, 0, 0);  // 2560 x 1920 drawable pixels
  // Pointer positions come in window units: two drawable pixels each.
  move_event(3, 3);
  GfxEvent e = move_event(201, 101);
  EXPECT_EQ(e.a, 100);
  EXPECT_EQ(e.b, 50);
}

TEST_F(ScaledScreen, EnvironmentScalesEveryScreenAndItsAbsenceChangesNothing) {
  setenv("ZQSCALE", "1", 1);
  ASSERT_EQ(open(0), 0);
  EXPECT_TRUE(scripted_called(created(640, 480, 640, 300, kStyleScaledWindow)));
  driver->exit();
  setenv("ZQSCALE", "auto", 1);
  ASSERT_EQ(open(0), 0);
  EXPECT_TRUE(scripted_called(created(1280, 960, 320, 60, kStyleScaledWindow)));
  driver->exit();
  unsetenv("ZQSCALE");
  scripted([](ScriptedWindowSystem& s) { s.calls.clear(); });
  ASSERT_EQ(open(0), 0);
  EXPECT_TRUE(scripted_called(created(640, 480, 640, 300, kWsStyleMaximiseBox)));
  draw_marks();
  ASSERT_TRUE(scripted_wait([](ScriptedWindowSystem& s) { return pixel_of(s, 100, 50) == kGreen; }));
  EXPECT_EQ(surface_pixel(0, 0), kRed);
}

TEST_F(ScaledScreen, DirectxPresentsThePictureAtItsPlaceAfterResizesAndFullScreen) {
  driver = &directx_driver;
  ASSERT_EQ(open(ZQ_OPEN_SCALED), 0);
  EXPECT_TRUE(scripted_called(created(1280, 960, 320, 60, kStyleScaledWindow)));
  EXPECT_TRUE(scripted_called("texture 640x480"));
  draw_marks();
  EXPECT_TRUE(presented_at({0, 0, 1280, 960}));
  resize(1000, 900);
  EXPECT_TRUE(presented_at({180, 210, 640, 480}));
  resize(1920, 1000);
  EXPECT_TRUE(presented_at({320, 20, 1280, 960}));
  alt_enter();
  EXPECT_TRUE(scripted_wait([](ScriptedWindowSystem& s) { return s.client.width == 1920 && s.client.height == 1080; }));
  EXPECT_TRUE(scripted_called(created(1920, 1080, 0, 0, kStyleScaledFullScreen)));
  EXPECT_FALSE(scripted_called("mode"));
  draw_marks();
  EXPECT_TRUE(presented_at({320, 60, 1280, 960}));
  alt_enter();
  EXPECT_TRUE(scripted_wait([](ScriptedWindowSystem& s) { return s.client.height == 1000; }));
  EXPECT_TRUE(presented_at({320, 20, 1280, 960}));
}

}  // namespace
