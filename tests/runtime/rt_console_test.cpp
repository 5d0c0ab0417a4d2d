#include <vector>

#include "rt_test_support.h"

namespace {

// Stand-ins for the graphics library's console, recording what reaches them.
struct FakeScreen {
  int rows = 25;
  int column = 1;  // 1-based, what slot 7 reports
  std::vector<std::vector<int>> locates;
  std::vector<std::pair<int, int>> views;
  std::string written;
};
FakeScreen g_fake;

int fake_multikey(int scancode) { return scancode == 1 ? 1 : 0; }
int fake_locate(int row, int column, int cursor) {
  g_fake.locates.push_back({row, column, cursor});
  return 0x4242;
}
void fake_get_size(int* columns, int* rows) {
  *columns = 80;
  *rows = g_fake.rows;
}
void fake_view_changed(int top, int bottom) { g_fake.views.push_back({top, bottom}); }
void fake_write(const uint8_t* bytes, int count, int) {
  g_fake.written.append(reinterpret_cast<const char*>(bytes), size_t(count));
}
int fake_column() { return g_fake.column; }

class RtConsole : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    g_fake = FakeScreen{};
    rt_hooks.locate = fake_locate;
    rt_hooks.get_size = fake_get_size;
    rt_hooks.view_changed = fake_view_changed;
    rt_hooks.write = fake_write;
    rt_hooks.column = fake_column;
  }
};

TEST_F(RtConsole, MultikeyAndMouseWithAndWithoutHooks) {
  EXPECT_EQ(rt_multikey(1), 0);  // the terminal reports no key down
  rt_hooks.multikey = fake_multikey;
  EXPECT_EQ(rt_multikey(1), -1);  // -1, whatever non-zero value the hook gives
  EXPECT_EQ(rt_multikey(2), 0);
  EXPECT_EQ(rt_set_mouse(1, 2, 0, 0), 1);
  EXPECT_EQ(rt_get_error(), 1);
  int x = 5, y = 5;
  EXPECT_EQ(rt_get_mouse(&x, &y, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(x, -1);
}

TEST_F(RtConsole, TextViewIsCheckedStoredAndPassedOn) {
  int top = 0, bottom = 0;
  rt_text_view(&top, &bottom);
  EXPECT_EQ(bottom, 24);  // unset: the whole console
  EXPECT_EQ(rt_set_text_view(5, 10, 0), 5 + 10 * 65536);
  rt_text_view(&top, &bottom);
  EXPECT_EQ(std::make_pair(top, bottom), std::make_pair(4, 9));
  EXPECT_EQ(g_fake.views, (std::vector<std::pair<int, int>>{{4, 9}}));
  EXPECT_TRUE(g_fake.locates.empty());

  for (auto [first, last] : {std::pair{10, 5}, std::pair{1, 26}, std::pair{-1, 30}}) {
    EXPECT_EQ(rt_set_text_view(first, last, 1), 0) << first << "," << last;
  }
  EXPECT_EQ(rt_set_text_view(-1, -1, 1), 5 + 10 * 65536);  // reports only
  EXPECT_EQ(g_fake.views.size(), 1u);
  EXPECT_EQ(rt_set_text_view(-1, 0, 1), 5 + 25 * 65536);
  EXPECT_EQ(g_fake.locates, (std::vector<std::vector<int>>{{5, 1, -1}}));

  // A console that reports no rows counts as 25.
  rt_text_view_unset();
  g_fake.rows = 0;
  EXPECT_EQ(rt_set_text_view(0, 0, 0), 1 + 25 * 65536);
}

TEST_F(RtConsole, LocateKeepsTheCursorInsideTheView) {
  ASSERT_NE(rt_set_text_view(5, 10, 0), 0);
  EXPECT_EQ(rt_locate(6, 3, 1, 0, 0), 0x4242);
  EXPECT_EQ(rt_get_error(), 0);
  EXPECT_EQ(rt_screen_column(), 2);

  // A row outside the view or a column outside the line only sets the cursor.
  for (auto [row, column] : {std::pair{4, 1}, std::pair{11, 1}, std::pair{5, 81}}) {
    g_fake.locates.clear();
    rt_locate(row, column, 0, 0, 0);
    EXPECT_EQ(rt_get_error(), 1);
    EXPECT_EQ(g_fake.locates, (std::vector<std::vector<int>>{{0, 0, 0}})) << row << "," << column;
  }
  EXPECT_EQ(rt_screen_column(), 2);
}

TEST_F(RtConsole, WidthResetsTheViewToTheWholeScreen) {
  ASSERT_NE(rt_set_text_view(3, 4, 0), 0);
  rt_hooks.set_size = [](int, int) { return 77; };
  EXPECT_EQ(rt_width(0, 0), 77);  // nothing given: the view stays
  int top = 0, bottom = 0;
  rt_text_view(&top, &bottom);
  EXPECT_EQ(top, 2);
  g_fake.rows = 50;
  rt_width(-1, 50);
  rt_text_view(&top, &bottom);
  EXPECT_EQ(std::make_pair(top, bottom), std::make_pair(0, 49));
  EXPECT_EQ(g_fake.locates.back(), (std::vector<int>{1, 1, -1}));
}

TEST_F(RtConsole, ScreenPrintGoesThroughTheWriteHook) {
  EXPECT_EQ(rt_print(0, temp_of("hi"), 1), 0);
  EXPECT_EQ(g_fake.written, "hi\r\n");
  // Zones count from the console's own cursor column.
  g_fake.written.clear();
  g_fake.column = 4;
  EXPECT_EQ(rt_print(0, nullptr, 2), 0);
  EXPECT_EQ(g_fake.written, std::string(11, ' '));
  rt_hooks.cls = [](int) {};
  rt_cls(-65536);
  EXPECT_EQ(rt_screen_column(), 0);
}

}  // namespace
