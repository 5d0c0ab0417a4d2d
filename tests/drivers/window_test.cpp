// The window procedure's rules, driven message by message through the
// scripted window system: key codes and key events, characters, the close
// request, the pointer's enter/leave tracking, activation and the switch
// between window and full screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "window_test_support.h"
#include "zentravolk/events.h"

namespace {

WsMessage key(int type, int virtual_key, int scancode, bool extended = false, bool previously_down = false) {
  return ws_key_message(type, virtual_key, scancode, extended, previously_down);
}
WsMessage typed(int character) { return WsMessage{.type = kWsChar, .character = character, .repeat = 1}; }
WsMessage move_to(int x, int y) { return scripted_pointer(kWsMouseMove, x, y); }
WsMessage button(int type, int bit, int x = 0, int y = 0) {
  WsMessage m = scripted_pointer(type, x, y);
  m.button = bit;
  return m;
}
WsMessage wheel_turn(int type, int step, int x = 0, int y = 0) {
  WsMessage m = scripted_pointer(type, x, y);
  m.step = step;
  return m;
}
WsMessage activation(int flags) { return WsMessage{.type = kWsActivate, .flags = flags}; }
WsMessage plain(int type) { return WsMessage{.type = type}; }
WsMessage sized(int kind) { return WsMessage{.type = kWsSize, .size = kind}; }

class WindowProcedure : public ScriptedWindowTest {
 protected:
  void SetUp() override {
    ScriptedWindowTest::SetUp();
    win_clear();
    st = win_state();
    st->width = 640;
    st->height = 480;
    st->active = 1;
    st->drawn = 1;  // a screen that shows a picture already
    st->last_x = kWinNoPosition;
    st->cursor_shown = 1;
    ASSERT_EQ(win_create_window(st, 0, 100, 50, 640, 480), 0);
  }

  void hold(std::initializer_list<int> virtual_keys) {
    scripted([&](ScriptedWindowSystem& s) {
      std::fill(std::begin(s.keys), std::end(s.keys), uint8_t(0));
      for (int k : virtual_keys) s.keys[k] = 0x80;
    });
  }
  void pointer_at(int desktop_x, int desktop_y) {
    scripted([&](ScriptedWindowSystem& s) {
      s.pointer_x = desktop_x;
      s.pointer_y = desktop_y;
    });
  }
  int send(const WsMessage& m) { return win_window_procedure(st, m); }
  std::vector<int> event_types() {
    std::vector<int> types;
    for (const GfxEvent& e : posted().events) types.push_back(e.type);
    return types;
  }

  TestScreen screen{640, 480, 32};
  WindowState* st = nullptr;
};

TEST_F(WindowProcedure, FunctionAndArrowKeysPostExtendedCodes) {
  hold({0x70});
  send(key(kWsKeyDown, 0x70, 0x3B));  // F1
  hold({0x10, 0xA0, 0x70});
  send(key(kWsKeyDown, 0x70, 0x3B));  // Shift+F1
  hold({0x27});
  send(key(kWsKeyDown, 0x27, 0x4D, true));  // right arrow, an E0 key
  hold({0x11, 0xA2, 0x27});
  send(key(kWsKeyDown, 0x27, 0x4D, true));  // Ctrl+Right
  EXPECT_EQ(posted().keys, (std::vector<int>{0x3BFF, 0x54FF, 0x4DFF, 0x74FF}));
  auto events = posted().events;
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].type, 1);
  EXPECT_EQ(events[0].a, 0x3B);
  EXPECT_EQ(events[0].b, 0);
  EXPECT_EQ(events[2].a, 0x4D);
}

TEST_F(WindowProcedure, LettersArriveOnlyAsCharacters) {
  hold({'A'});
  send(key(kWsKeyDown, 'A', 0x1E));
  EXPECT_TRUE(posted().keys.empty());
  send(typed('a'));
  send(typed(0x82));  // é in code page 437
  send(typed(13));
  EXPECT_EQ(posted().keys, (std::vector<int>{'a', 0x82, 13}));
  // The press event carries the character.
  auto events = posted().events;
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].a, 0x1E);
  EXPECT_EQ(events[0].b, 'a');
  hold({0x10, 0xA0, 'A'});
  send(key(kWsKeyDown, 'A', 0x1E));
  EXPECT_EQ(posted().events.back().b, 'A');
}

TEST_F(WindowProcedure, RightShiftReadsAsTheLeftShiftScancode) {
  hold({0x10, 0xA1});
  send(key(kWsKeyDown, 0x10, 0x36));
  ASSERT_EQ(posted().events.size(), 1u);
  EXPECT_EQ(posted().events[0].a, 0x2A);
  EXPECT_TRUE(posted().keys.empty());
}

TEST_F(WindowProcedure, AltKeysPostNothingButARelease) {
  hold({0x12, 0xA4, 0x73});
  send(key(kWsSysKeyDown, 0x73, 0x3E));  // Alt+F4
  EXPECT_TRUE(posted().keys.empty());
  EXPECT_TRUE(posted().events.empty());
  EXPECT_FALSE(scripted_called("destroy"));
  send(key(kWsSysKeyDown, 0x12, 0x38));  // Alt itself
  EXPECT_TRUE(posted().events.empty());
  hold({0x12, 0xA4, 'X'});
  send(key(kWsSysKeyDown, 'X', 0x2D));  // Alt+X
  EXPECT_TRUE(posted().keys.empty());
  ASSERT_EQ(posted().events.size(), 1u);
  EXPECT_EQ(posted().events[0].type, 2);
  EXPECT_EQ(posted().events[0].a, 0x2D);
  // While inactive, system keys are left to the window system entirely.
  st->active = 0;
  send(key(kWsSysKeyDown, 'X', 0x2D));
  EXPECT_EQ(posted().events.size(), 1u);
}

TEST_F(WindowProcedure, HeldKeyRepeatsAndRepeatCountsPostEachCode) {
  hold({0x26});
  send(key(kWsKeyDown, 0x26, 0x48, true));
  send(key(kWsKeyDown, 0x26, 0x48, true, true));
  WsMessage triple = key(kWsKeyDown, 0x26, 0x48, true, true);
  triple.repeat = 3;
  send(triple);
  hold({});
  send(key(kWsKeyUp, 0x26, 0x48, true, true));
  EXPECT_EQ(event_types(), (std::vector<int>{1, 3, 3, 2}));
  EXPECT_EQ(posted().keys, std::vector<int>(5, 0x48FF));
}

TEST_F(WindowProcedure, F10IsSilentButPostsItsCodeWhenItArrivesAsAKey) {
  hold({0x79});
  send(key(kWsKeyDown, 0x79, 0x44));
  EXPECT_EQ(posted().keys, (std::vector<int>{0x44FF}));
  EXPECT_TRUE(posted().events.empty());
}

TEST_F(WindowProcedure, CloseRequestPostsTheCloseCodeAndKeepsTheWindow) {
  EXPECT_EQ(send(plain(kWsClose)), 0);
  EXPECT_EQ(posted().keys, (std::vector<int>{0x6BFF}));
  EXPECT_EQ(event_types(), (std::vector<int>{13}));
  EXPECT_FALSE(scripted_called("destroy"));
  EXPECT_NE(st->window, nullptr);
}

TEST_F(WindowProcedure, FirstMoveInsideEntersThenMovesThenLeaves) {
  pointer_at(100 + 30, 50 + 40);
  send(move_to(30, 40));
  pointer_at(100 + 35, 50 + 38);
  send(move_to(35, 38));
  send(move_to(35, 38));  // no motion: no event
  send(plain(kWsMouseLeave));
  auto events = posted().events;
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].type, 9);
  EXPECT_EQ(events[0].a, 30);
  EXPECT_EQ(events[0].b, 40);
  EXPECT_EQ(events[1].type, 4);
  EXPECT_EQ(events[1].c, 5);
  EXPECT_EQ(events[1].d, -2);
  EXPECT_EQ(events[2].type, 10);
  // Back in after leaving: a new enter.
  pointer_at(100 + 36, 50 + 38);
  send(move_to(36, 38));
  EXPECT_EQ(posted().events.back().type, 9);
}

// Each move measures from the one before by the positions the messages
// carry, whatever the window system's own pointer query says meanwhile (a
// query that stood still once swallowed every move).
TEST_F(WindowProcedure, EveryMoveIsPostedWithTheMotionItsMessagesCarry) {
  send(move_to(300, 200));  // the enter
  const int steps[][2] = {{1, 0}, {0, 1}, {-1, -1}, {10, 0}, {0, -10}, {25, 17}, {-40, 3}, {7, -29}};
  int x = 300, y = 200;
  std::vector<GfxEvent> expected;
  for (const auto& step : steps) {
    x += step[0];
    y += step[1];
    WsMessage m = move_to(x, y);
    pointer_at(0, 0);  // the query lags behind
    send(m);
    expected.push_back({ZQ_EVENT_MOUSE_MOVE, x, y, step[0], step[1]});
  }
  auto events = posted().events;
  ASSERT_EQ(events.size(), expected.size() + 1);
  for (size_t i = 0; i < expected.size(); ++i) {
    const GfxEvent& e = events[i + 1];
    EXPECT_EQ((std::vector<int>{e.type, e.a, e.b, e.c, e.d}),
              (std::vector<int>{expected[i].type, expected[i].a, expected[i].b, expected[i].c, expected[i].d}))
        << "move " << i;
  }
}

// The pump notes where the pointer is while it is outside, so the move that
// brings it in reports that move; while a button holds the pointer, a drag
// past the window's edge reports negative positions.
TEST_F(WindowProcedure, EnterCarriesTheMoveAndADragPastTheEdgeGoesNegative) {
  pointer_at(20, 10);  // outside, left of and above the window
  win_pump_messages(st);
  scripted_push(move_to(5, 6));
  win_pump_messages(st);
  scripted_push(button(kWsButtonDown, ZQ_BUTTON_LEFT, 5, 6));
  scripted_push(move_to(-3, 6));
  scripted_push(button(kWsButtonUp, ZQ_BUTTON_LEFT, -3, 6));
  win_pump_messages(st);
  auto events = posted().events;
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ((std::vector<int>{events[0].type, events[0].a, events[0].b, events[0].c, events[0].d}),
            (std::vector<int>{ZQ_EVENT_MOUSE_ENTER, 5, 6, 105 - 20, 56 - 10}));
  EXPECT_EQ((std::vector<int>{events[1].type, events[1].a, events[1].b, events[1].c}),
            (std::vector<int>{ZQ_EVENT_BUTTON_PRESS, ZQ_BUTTON_LEFT, 5, 6}));
  EXPECT_EQ((std::vector<int>{events[2].type, events[2].a, events[2].b, events[2].c, events[2].d}),
            (std::vector<int>{ZQ_EVENT_MOUSE_MOVE, -3, 6, -8, 0}));
  EXPECT_EQ((std::vector<int>{events[3].type, events[3].a, events[3].b, events[3].c}),
            (std::vector<int>{ZQ_EVENT_BUTTON_RELEASE, ZQ_BUTTON_LEFT, -3, 6}));
}

// Buttons and wheels say where the pointer was; keys carry the modifier word.
TEST_F(WindowProcedure, ButtonsWheelsAndKeysCarryTheirExtraValues) {
  send(move_to(40, 30));
  send(button(kWsDoubleClick, ZQ_BUTTON_RIGHT, 41, 31));
  send(wheel_turn(kWsWheel, -1, 42, 32));
  send(wheel_turn(kWsHWheel, 1, 43, 33));
  hold({0x10, 0xA0, 'A'});
  send(key(kWsKeyDown, 'A', 0x1E));  // Shift+A
  hold({0x11, 0xA2, 0x27});
  send(key(kWsKeyDown, 0x27, 0x4D, true));  // Ctrl+Right
  hold({0x11, 0xA3});
  send(key(kWsKeyUp, 0x11, 0x1D, true, true));  // right Ctrl up
  auto events = posted().events;
  ASSERT_EQ(events.size(), 7u);
  const auto values = [&](size_t i) {
    return std::vector<int>{events[i].type, events[i].a, events[i].b, events[i].c, events[i].d};
  };
  EXPECT_EQ(values(1), (std::vector<int>{ZQ_EVENT_DOUBLE_CLICK, ZQ_BUTTON_RIGHT, 41, 31, 0}));
  EXPECT_EQ(values(2), (std::vector<int>{ZQ_EVENT_WHEEL, -1, -1, 42, 32}));
  EXPECT_EQ(values(3), (std::vector<int>{ZQ_EVENT_HWHEEL, 1, 1, 43, 33}));
  EXPECT_EQ(values(4), (std::vector<int>{ZQ_EVENT_KEY_PRESS, 0x1E, 'A', 0x10, 0}));
  EXPECT_EQ(values(5), (std::vector<int>{ZQ_EVENT_KEY_PRESS, 0x4D, 0, 0x08 | 0x100, 0}));
  // The generic Ctrl is down with either, so right Ctrl reads as both.
  EXPECT_EQ(values(6), (std::vector<int>{ZQ_EVENT_KEY_RELEASE, 0x1D, 0, 0x08 | 0x04 | 0x100, 0}));
}

TEST_F(WindowProcedure, MouseIsUnknownWhileInactiveOrOutside) {
  int x = 0, y = 0, wheel = 0, buttons = 0, clip = 0;
  pointer_at(100 + 10, 50 + 20);
  send(move_to(10, 20));
  send(button(kWsButtonDown, 1, 10, 20));
  send(wheel_turn(kWsWheel, -1, 10, 20));
  ASSERT_EQ(win_get_mouse(&x, &y, &wheel, &buttons, &clip), 0);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 20);
  EXPECT_EQ(wheel, -1);
  EXPECT_EQ(buttons, 1);
  pointer_at(20, 20);  // left of the window
  send(move_to(-80, -30));
  EXPECT_EQ(win_get_mouse(&x, &y, &wheel, &buttons, &clip), -1);
  pointer_at(100 + 10, 50 + 20);
  send(activation(0));
  EXPECT_EQ(win_get_mouse(&x, &y, &wheel, &buttons, &clip), -1);
}

TEST_F(WindowProcedure, ActivationClearsKeysMarksRowsAndReportsFocus) {
  pointer_at(100 + 10, 50 + 10);
  send(move_to(10, 10));  // tracked now
  screen->key_state[0x1E] = 1;
  send(activation(0));
  EXPECT_EQ(screen->key_state[0x1E], 0);
  EXPECT_TRUE(std::all_of(screen->dirty_rows, screen->dirty_rows + 480, [](uint8_t d) { return d == 1; }));
  send(activation(kWsActive));
  // Minimising while active: inactive, but no focus event.
  send(activation(kWsActive | kWsMinimised));
  EXPECT_EQ(st->active, 0);
  EXPECT_EQ(event_types(), (std::vector<int>{9, 10, 12, 11, 9, 10}));
}

TEST_F(WindowProcedure, WheelsCountSteps) {
  send(wheel_turn(kWsWheel, 1));
  send(wheel_turn(kWsWheel, 1));
  send(wheel_turn(kWsHWheel, -1));
  auto events = posted().events;
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[1].type, 8);
  EXPECT_EQ(events[1].a, 2);
  EXPECT_EQ(events[2].type, 14);
  EXPECT_EQ(events[2].a, -1);
}

TEST_F(WindowProcedure, PointerRequestsWaitForThePump) {
  win_set_mouse(9999, -5, 0, 1);
  EXPECT_FALSE(scripted_called("warp"));
  win_pump_messages(st);
  EXPECT_TRUE(scripted_called("warp 639,0"));
  EXPECT_TRUE(scripted_called("cursor off"));
  EXPECT_TRUE(scripted_called("confine on"));
  EXPECT_EQ(st->clip, 1);
  win_set_mouse(-1, -1, -1, 0);
  win_pump_messages(st);
  EXPECT_TRUE(scripted_called("confine off"));
}

// Hooks that record the order of the switch; the window init fails while
// the full-screen bit is set.
std::vector<std::string> toggle_calls;
int recording_init(WindowState* state) {
  toggle_calls.push_back("init " + std::to_string(state->flags & 1));
  return (state->flags & 1) ? -1 : 0;
}
void recording_exit(WindowState* state) { toggle_calls.push_back("exit " + std::to_string(state->flags & 1)); }

TEST_F(WindowProcedure, FailedFullScreenSwitchReturnsToTheWindow) {
  toggle_calls.clear();
  st->window_init = recording_init;
  st->window_exit = recording_exit;
  hold({0x12, 0xA4, 0x0D});
  send(key(kWsSysKeyDown, 0x0D, 0x1C));  // Alt+Enter
  EXPECT_EQ(toggle_calls, (std::vector<std::string>{"exit 0", "init 1", "exit 1", "init 0"}));
  EXPECT_EQ(st->flags & 1, 0);
  EXPECT_EQ(posted().palette_resends, 1);
  EXPECT_EQ(screen->dirty_rows[479], 1);
  EXPECT_TRUE(posted().events.empty());  // the Enter itself is not a key
  // The maximise button switches too, unless switching is off.
  send(sized(kWsSizeMaximised));
  EXPECT_EQ(toggle_calls.size(), 8u);
  st->flags |= ZQ_OPEN_NO_SWITCH;
  send(sized(kWsSizeMaximised));
  send(key(kWsSysKeyDown, 0x0D, 0x1C));
  EXPECT_EQ(toggle_calls.size(), 8u);
}

int succeeding_init(WindowState*) { return 0; }
void quiet_exit(WindowState*) {}

TEST_F(WindowProcedure, FullScreenSwitchTellsTheProgramTheNewState) {
  st->window_init = succeeding_init;
  st->window_exit = quiet_exit;
  hold({0x12, 0xA4, 0x0D});
  send(key(kWsSysKeyDown, 0x0D, 0x1C));  // Alt+Enter: to full screen
  send(sized(kWsSizeMaximised));  // the maximise button: back to the window
  auto events = posted().events;
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].type, ZQ_EVENT_FULL_SCREEN);
  EXPECT_EQ(events[0].a, 1);
  EXPECT_EQ(events[1].type, ZQ_EVENT_FULL_SCREEN);
  EXPECT_EQ(events[1].a, 0);
}

TEST_F(WindowProcedure, SwitchWhileTrackedPostsLeave) {
  toggle_calls.clear();
  st->window_init = recording_init;
  st->window_exit = recording_exit;
  st->flags |= ZQ_OPEN_NO_SWITCH;
  pointer_at(100 + 1, 50 + 1);
  send(move_to(1, 1));
  send(sized(kWsSizeMaximised));
  EXPECT_EQ(event_types(), (std::vector<int>{9, 10}));
  EXPECT_TRUE(toggle_calls.empty());
}

TEST_F(WindowProcedure, PaletteEntriesWaitForTheDriver) {
  win_set_palette(7, 255, 128, 1);
  EXPECT_EQ(st->palette[7].red, 255);
  EXPECT_EQ(st->palette[7].green, 128);
  EXPECT_EQ(st->palette[7].blue, 1);
  EXPECT_EQ(st->palette[7].flags, 4);
  EXPECT_EQ(st->palette_changed, 1);
  win_set_palette(256, 1, 1, 1);  // out of range: ignored
}

}  // namespace
