// Scaled screens' arithmetic: the factor and place of the picture for
// window and desktop sizes, the factor a window opens at, what ZQSCALE asks
// for, and the pointer mapped both ways (bars, cut pictures, high-DPI
// drawables).
#include "drivers/scale_layout.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

void expect_picture(const ScaleLayout& l, int factor, int left, int top) {
  EXPECT_EQ(l.factor, factor);
  EXPECT_EQ(l.left, left);
  EXPECT_EQ(l.top, top);
}

TEST(ScaleLayout, LargestWholeFactorThatFitsCentredBetweenBars) {
  expect_picture(scale_layout(640, 480, 1280, 960), 2, 0, 0);
  expect_picture(scale_layout(640, 480, 1000, 900), 1, 180, 210);
  expect_picture(scale_layout(640, 480, 1920, 1000), 2, 320, 20);
  expect_picture(scale_layout(640, 480, 1920, 1080), 2, 320, 60);
  expect_picture(scale_layout(320, 200, 1920, 1080), 5, 160, 40);
  expect_picture(scale_layout(320, 200, 1281, 801), 4, 0, 0);  // an odd pixel left over stays on the right
  ScaleLayout whole = scale_layout(640, 480, 1000, 900);
  EXPECT_EQ(whole.columns, 640);
  EXPECT_EQ(whole.rows, 480);
}

TEST(ScaleLayout, ADrawableSmallerThanTheScreenShowsItsTopLeftAtFactorOne) {
  ScaleLayout l = scale_layout(640, 480, 500, 700);
  expect_picture(l, 1, 0, 110);
  EXPECT_EQ(l.columns, 500);
  EXPECT_EQ(l.rows, 480);
  EXPECT_EQ(scale_layout(2, 2, 4000, 4000).factor, kMaxScale);
}

TEST(ScaleLayout, WindowOpensAtTheLargestFactorInNinetyPercentOfTheUsableDesktop) {
  EXPECT_EQ(scale_open_factor(640, 480, 1920, 1080, 0), 2);  // 1728 x 972 of room
  EXPECT_EQ(scale_open_factor(320, 200, 1920, 1080, 0), 4);
  EXPECT_EQ(scale_open_factor(320, 200, 1920, 1040, 0), 4);
  EXPECT_EQ(scale_open_factor(640, 480, 1920, 1066, 0), 1);  // 959 rows of room: 2 x 480 is too tall
  EXPECT_EQ(scale_open_factor(1024, 768, 800, 600, 0), 1);   // never below 1
  EXPECT_EQ(scale_open_factor(640, 480, 1920, 1080, 3), 3);  // asked for: taken as it is
  EXPECT_EQ(scale_open_factor(640, 480, 1920, 1080, 40), kMaxScale);
}

TEST(ScaleLayout, EnvironmentAsksForAutoOrAFactorOneToSixteen) {
  const std::pair<const char*, int> cases[] = {{"auto", 0}, {"AUTO", 0}, {"1", 1}, {"3", 3}, {"16", 16},
                                               {"0", -1},   {"17", -1},  {"-2", -1}, {"2x", -1}, {"", -1},
                                               {"big", -1}};
  for (auto [value, expected] : cases) {
    setenv("ZQSCALE", value, 1);
    EXPECT_EQ(scale_from_environment(), expected) << '"' << value << '"';
  }
  unsetenv("ZQSCALE");
  EXPECT_EQ(scale_from_environment(), -1);
}

// The window point maps to the screen pixel (x, y), inside the screen or not.
void expect_maps(const ScaleLayout& l, int window_x, int window_y, int x, int y, bool inside) {
  int mx = 0, my = 0;
  EXPECT_EQ(scale_window_to_screen(l, window_x, window_y, &mx, &my), inside) << window_x << "," << window_y;
  EXPECT_EQ(mx, x) << window_x << "," << window_y;
  EXPECT_EQ(my, y) << window_x << "," << window_y;
}

TEST(ScaleLayout, PointerMapsThroughFactorAndBarsAndBarsAreOutside) {
  ScaleLayout l = scale_layout(640, 480, 1920, 1080);  // 2 x at (320, 60)
  expect_maps(l, 320, 60, 0, 0, true);
  expect_maps(l, 1599, 1019, 639, 479, true);
  expect_maps(l, 325, 63, 2, 1, true);
  expect_maps(l, 319, 500, -1, 220, false);    // left bar
  expect_maps(l, 1600, 500, 640, 220, false);  // right bar
  expect_maps(l, 800, 59, 240, -1, false);     // top bar
  expect_maps(l, -3, 500, -162, 220, false);   // left of the window (held by the capture)
  int x, y;
  scale_screen_to_window(l, 10, 20, &x, &y);  // the middle of the pixel's block
  EXPECT_EQ(x, 341);
  EXPECT_EQ(y, 101);
}

TEST(ScaleLayout, HighDpiDrawableHasTwiceThePixelsOfTheWindow) {
  // A 960 x 540 window whose drawable is 1920 x 1080: the picture is drawn
  // 2 x in the drawable's pixels; the pointer comes in window units.
  ScaleLayout l = scale_layout(640, 480, 1920, 1080, 960, 540);
  expect_picture(l, 2, 320, 60);
  expect_maps(l, 160, 30, 0, 0, true);
  expect_maps(l, 799, 509, 639, 479, true);
  expect_maps(l, 159, 30, -1, 0, false);
  int x, y;
  scale_screen_to_window(l, 639, 479, &x, &y);
  EXPECT_EQ(x, 799);
  EXPECT_EQ(y, 509);
}

}  // namespace
