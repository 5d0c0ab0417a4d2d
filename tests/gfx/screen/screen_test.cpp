// Screen opening: depth rules, driver choice order, title, query, re-opening.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <tuple>
#include <string>
#include <vector>

#include "drivers/driver.h"
#include "gfx/draw/context.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "zentravolk/shortcuts.h"

namespace {

// A log of what the stand-in drivers were asked to do.
std::vector<std::string> calls;
int accept_mask = 0;  // which stand-ins accept: bit i for driver i
bool accept_windowed_only = false;

template <int I>
int stand_in_init(const char*, int, int, int, int refresh, int flags) {
  static const char* names[] = {"DirectX", "GDI", "OpenGL"};
  calls.push_back(std::string(names[I]) + " " + std::to_string(refresh) + " " + std::to_string(flags & 1));
  if (!(accept_mask & (1 << I))) return -1;
  if (accept_windowed_only && (flags & ZQ_OPEN_FULLSCREEN)) return -1;
  return 0;
}
template <int I>
void stand_in_exit() {
  calls.push_back("exit");
}
void no_op() {}

const GfxDriver stand_ins[3] = {
    {"DirectX", stand_in_init<0>, stand_in_exit<0>, no_op, no_op, nullptr, nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr, nullptr},
    {"GDI", stand_in_init<1>, stand_in_exit<1>, no_op, no_op, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr},
    {"OpenGL", stand_in_init<2>, stand_in_exit<2>, no_op, no_op, nullptr, nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr, nullptr},
};
const GfxDriver* const stand_in_list[] = {&stand_ins[0], &stand_ins[1], &stand_ins[2], nullptr};

class Screen : public ::testing::Test {
 protected:
  void SetUp() override {
    rt_init(0, nullptr, 1);
    setenv("ZQGFX", "null", 1);
    calls.clear();
    accept_mask = 0;
    accept_windowed_only = false;
  }
  void TearDown() override {
    gfx_close_at_exit();
    driver_set_list(nullptr);
    unsetenv("ZQGFX");
  }
  static std::string driver_name() {
    StringValue name{};
    gfx_screen_info(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &name);
    std::string n = rt_str_chars(&name);
    rt_str_delete(&name);
    return n;
  }
};

TEST_F(Screen, DepthsAreNormalised) {
  struct Case {
    int asked, depth, bytes, flags;
    uint32_t mask;
  } cases[] = {{24, 32, 4, 0, 0xFFFFFFFF}, {32, 32, 4, 0, 0xFFFFFFFF}, {15, 16, 2, 0, 0xFFFF},
               {16, 16, 2, 0, 0xFFFF},     {4, 4, 1, 0, 15},             {1, 1, 1, 0, 1},
               {8, 16, 2, ZQ_OPEN_OPENGL, 0xFFFF}};
  for (const Case& c : cases) {
    ASSERT_EQ(gfx_screen_res(64, 48, c.asked, 1, c.flags, 0), 0) << c.asked;
    EXPECT_EQ(screen_state->depth, c.depth) << c.asked;
    EXPECT_EQ(screen_state->bytes_per_pixel, c.bytes) << c.asked;
    EXPECT_EQ(screen_state->colour_mask, c.mask) << c.asked;
    EXPECT_EQ(screen_state->pitch, 64 * c.bytes) << c.asked;
  }
  EXPECT_TRUE(screen_state->flags & kScreenOpenGL);
}

TEST_F(Screen, BadArgumentsAreRefusedAndLeaveTheScreen) {
  ASSERT_EQ(gfx_screen_res(64, 48, 32, 1, 0, 0), 0);
  int id = screen_state->screen_id;
  for (auto [w, h, d] : {std::tuple{0, 48, 32}, {64, -1, 32}, {64, 48, 24 + 1}, {64, 48, 3}}) {
    EXPECT_EQ(gfx_screen_res(w, h, d, 1, 0, 0), 1);
    EXPECT_EQ(rt_get_error(), 1);
  }
  EXPECT_EQ(gfx_screen(5, 0, 1, 0, 0), 1);
  EXPECT_EQ(gfx_screen(22, 0, 1, 0, 0), 1);
  ASSERT_NE(screen_state, nullptr);
  EXPECT_EQ(screen_state->screen_id, id);
}

TEST_F(Screen, PageCountsBelowOneOpenOnePage) {
  for (int pages : {0, -5}) {
    ASSERT_EQ(gfx_screen_res(32, 32, 8, pages, 0, 0), 0);
    EXPECT_EQ(screen_state->page_count, 1);
  }
  ASSERT_EQ(gfx_screen_res(32, 32, 8, 9, 0, 0), 0);
  EXPECT_EQ(screen_state->page_count, 9);
}

// Every tried driver is offered the rate asked for and then 0, also when
// 0 was asked for.
TEST_F(Screen, NamedDriverPassesTryEveryDriverTwiceThenFail) {
  setenv("ZQGFX", "GDI", 1);
  driver_set_list(stand_in_list);
  for (int asked : {60, 0}) {
    calls.clear();
    ASSERT_EQ(gfx_screen_res(640, 480, 32, 2, 1, asked), 1);
    EXPECT_EQ(rt_get_error(), 1);
    EXPECT_EQ(screen_state, nullptr);
    std::vector<std::string> expected;
    auto tries = [&](const char* name, int full) {
      for (int rate : {asked, 0}) {
        expected.push_back(std::string(name) + " " + std::to_string(rate) + " " + std::to_string(full));
        expected.push_back("exit");
      }
    };
    tries("GDI", 1);
    for (const char* n : {"DirectX", "GDI", "OpenGL"}) tries(n, 1);
    tries("GDI", 1);
    for (const char* n : {"DirectX", "GDI", "OpenGL"}) tries(n, 0);
    EXPECT_EQ(calls, expected) << "asked for " << asked;
    EXPECT_EQ(calls.size(), 32u);
  }
}

TEST_F(Screen, NamedDriverIsMatchedInAnyCase) {
  setenv("ZQGFX", "opengl", 1);
  driver_set_list(stand_in_list);
  accept_mask = 0b111;
  ASSERT_EQ(gfx_screen_res(64, 48, 32, 1, 0, 0), 0);
  EXPECT_EQ(calls, std::vector<std::string>{"OpenGL 0 0"});
  EXPECT_EQ(driver_name(), "OpenGL");
}

TEST_F(Screen, RefusedFullScreenOpensAWindowOnTheSecondPass) {
  unsetenv("ZQGFX");
  driver_set_list(stand_in_list);
  accept_mask = 0b010;
  accept_windowed_only = true;
  ASSERT_EQ(gfx_screen_res(640, 480, 32, 2, 1, 0), 0);
  EXPECT_EQ(driver_name(), "GDI");
  std::vector<std::string> expected = {"DirectX 0 1", "exit", "DirectX 0 1", "exit", "GDI 0 1",     "exit",
                                       "GDI 0 1",     "exit", "OpenGL 0 1",  "exit", "OpenGL 0 1",  "exit",
                                       "DirectX 0 0", "exit", "DirectX 0 0", "exit", "GDI 0 0"};
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(screen_state->driver, &stand_ins[1]);
}

TEST_F(Screen, NullDriverByNameInAnyCaseOrByFlags) {
  for (const char* name : {"Null", "NULL", "null"}) {
    setenv("ZQGFX", name, 1);
    ASSERT_EQ(gfx_screen_res(64, 48, 32, 1, 0, 0), 0) << name;
    EXPECT_EQ(driver_name(), "Null");
  }
  unsetenv("ZQGFX");
  driver_set_list(stand_in_list);
  ASSERT_EQ(gfx_screen_res(64, 48, 32, 1, -1, 0), 0);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(driver_name(), "Null");
}

TEST_F(Screen, InfoWithoutAScreenReportsNoDriver) {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  int v[6] = {-7, -7, -7, -7, -7, -7};
  StringValue name{};
  rt_str_assign(&name, "stale", 0);
  gfx_screen_info(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &name);
  EXPECT_EQ(v[3], 0);
  EXPECT_EQ(v[4], 0);
  EXPECT_EQ(rt_str_len(&name), 0);
  rt_str_delete(&name);
  EXPECT_STREQ(gfx_driver_name(), "");
}

TEST_F(Screen, InfoReportsTheOpenScreen) {
  ASSERT_EQ(gfx_screen_res(640, 480, 24, 2, 0, 0), 0);
  int v[6];
  StringValue name{};
  gfx_screen_info(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &name);
  EXPECT_EQ(std::vector<int>(v, v + 6), (std::vector<int>{640, 480, 32, 4, 2560, 0}));
  EXPECT_STREQ(rt_str_chars(&name), "Null");
  rt_str_delete(&name);
  EXPECT_STREQ(gfx_driver_name(), "Null");
  gfx_close_at_exit();
  EXPECT_STREQ(gfx_driver_name(), "") << "a closed screen leaves no name behind";
}

TEST_F(Screen, TitleDefaultsToTheProgramNameAndIsCutAt127) {
  ASSERT_EQ(gfx_screen_res(64, 48, 32, 1, 0, 0), 0);
  EXPECT_STREQ(gfx_window_title(), "screen_test");
  std::string long_title(300, 'x');
  gfx_set_window_title(rt_str_temp(long_title.c_str(), int(long_title.size())));
  EXPECT_EQ(std::string(gfx_window_title()), std::string(127, 'x'));
  gfx_set_window_title(rt_str_temp("Zentravolk", 10));
  ASSERT_EQ(gfx_screen_res(64, 48, 32, 1, 0, 0), 0);
  EXPECT_STREQ(gfx_window_title(), "Zentravolk");
  EXPECT_EQ(rt_str_pool_in_use(), 0);
}

TEST_F(Screen, TitleFromACStringReachesTheWindowAndNullIsRefused) {
  ASSERT_EQ(gfx_screen_res(64, 48, 32, 1, 0, 0), 0);
  gfx_set_title(std::string(200, 'y').c_str());
  EXPECT_EQ(std::string(gfx_window_title()), std::string(127, 'y'));
  gfx_set_title("Short");
  EXPECT_STREQ(gfx_window_title(), "Short");
  rt_set_error(ZQ_OK);
  gfx_set_title(nullptr);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_STRNE(rt_error_detail(), "");
  EXPECT_STREQ(gfx_window_title(), "Short");
  EXPECT_EQ(rt_str_pool_in_use(), 0);
}

TEST_F(Screen, ReopeningGivesANewIdAndClearedPages) {
  ASSERT_EQ(gfx_screen_res(16, 8, 32, 2, 0, 0), 0);
  int id = screen_state->screen_id;
  screen_state->page_buffers[1][5] = 0x42;
  GfxContext* ctx = gfx_get_context();
  ctx->work_page = 1;
  ASSERT_EQ(gfx_screen_res(16, 8, 32, 2, 0, 0), 0);
  EXPECT_GT(screen_state->screen_id, id);
  ctx = gfx_get_context();
  EXPECT_EQ(ctx->work_page, 0);
  EXPECT_EQ(ctx->view.width, 16);
  EXPECT_EQ(ctx->background, 0xFF000000u);
  for (int p = 0; p < 2; ++p)
    for (int i = 0; i < 16 * 8; ++i) {
      uint32_t px;
      std::memcpy(&px, screen_state->page_buffers[p] + 4 * i, 4);
      ASSERT_EQ(px, 0xFF000000u) << "page " << p << " pixel " << i;
    }
  // The work page's text cells hold spaces; the other pages' are empty.
  EXPECT_EQ(screen_state->text_cells[0][0].ch, 32u);
  EXPECT_EQ(screen_state->text_cells[1][0].ch, 0u);
}

TEST_F(Screen, HooksAreInstalledOnOpenAndEmptiedOnClose) {
  auto filled = [] {
    int n = 0;
    for (int i = 0; i < kRuntimeHookCount; ++i) n += reinterpret_cast<void**>(&rt_hooks)[i] != nullptr;
    return n;
  };
  ASSERT_EQ(gfx_screen_res(64, 48, 8, 1, 0, 0), 0);
  EXPECT_GT(filled(), 0);
  EXPECT_NE(rt_hooks.reserved, nullptr);
  ASSERT_EQ(gfx_screen(0, 0, 0, 0, 0), 0);
  EXPECT_EQ(screen_state, nullptr);
  EXPECT_EQ(filled(), 0);
}

TEST_F(Screen, FailedOpeningLeavesNoScreenAndNoHooks) {
  ASSERT_EQ(gfx_screen_res(64, 48, 32, 1, 0, 0), 0);
  unsetenv("ZQGFX");
  driver_set_list(stand_in_list);
  EXPECT_EQ(gfx_screen_res(64, 48, 32, 1, 0, 0), 1);
  EXPECT_EQ(screen_state, nullptr);
  EXPECT_EQ(rt_hooks.reserved, nullptr);
}

TEST_F(Screen, LegacyModesOpenWithTheirTable) {
  ASSERT_EQ(gfx_screen(13, 0, 1, 0, 0), 0);
  EXPECT_EQ(screen_state->width, 320);
  EXPECT_EQ(screen_state->depth, 8);
  EXPECT_EQ(screen_state->text_rows, 25);
  ASSERT_EQ(gfx_screen(18, 32, 1, 0, 0), 0);  // modes above 13 take a depth
  EXPECT_EQ(screen_state->depth, 32);
  ASSERT_EQ(gfx_screen(8, 32, 1, 0, 0), 0);  // below, the table's depth holds
  EXPECT_EQ(screen_state->depth, 4);
  EXPECT_EQ(screen_state->scanline_size, 2);
}

TEST_F(Screen, RepeatedOpeningsReleaseEverything) {
  for (int i = 0; i < 50; ++i) {
    ASSERT_EQ(gfx_screen_res(100 + i, 50, i % 2 ? 8 : 32, 1 + i % 3, 0, 0), 0);
    if (i % 5 == 0) gfx_screen(0, 0, 0, 0, 0);
  }
  EXPECT_EQ(rt_str_pool_in_use(), 0);
}

TEST_F(Screen, ExitClosesTheScreenThroughTheRuntime) {
  EXPECT_EXIT(
      {
        rt_init(0, nullptr, 1);
        gfx_screen_res(64, 48, 32, 2, 0, 0);
        rt_end(3);
      },
      ::testing::ExitedWithCode(3), "");
}

}  // namespace
