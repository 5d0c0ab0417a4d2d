// The console demo run on the null driver with a typed name.
#include "examples/console_demo.h"

#include "gfx/input/input.h"
#include "tests/gfx/drawing_test_support.h"

namespace {

using ConsoleDemo = DrawingTest;

TEST_F(ConsoleDemo, PrintsTabsWrapsScrollsAndReadsAName) {
  open(640, 480, 32);
  for (unsigned char key : std::string("Adx\ba\r")) gfx_post_key(key);
  EXPECT_EQ(console_demo::run(), "Ada");
  EXPECT_EQ(screen_state->font->height, 16);
  // 38 lines and the cursor's row on 30 rows: the first nine have scrolled away.
  EXPECT_EQ(console_demo::screen_row(1), "Line          9");
  EXPECT_EQ(console_demo::screen_row(24), "Line          32");
  EXPECT_EQ(console_demo::screen_row(25), "Tab     stops   every   eight   columns");
  EXPECT_EQ(console_demo::screen_row(26),
            "This line is longer than the eighty columns of the console, so it wraps onto the");
  EXPECT_EQ(console_demo::screen_row(27), " next row by itself.");
  EXPECT_EQ(console_demo::screen_row(28), "Your name? Ada");
  EXPECT_EQ(console_demo::screen_row(29), "Hello, Ada!");
  EXPECT_EQ(console_demo::screen_row(30), "");
  int column = 0, row = 0;
  rt_get_cursor(&column, &row);
  EXPECT_EQ(std::make_pair(column, row), std::make_pair(1, 30));
  EXPECT_EQ(rt_str_pool_in_use(), 0);
}

}  // namespace
