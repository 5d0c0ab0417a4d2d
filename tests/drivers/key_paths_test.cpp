// One key press reaches the key buffer two ways: the window layer's key path
// (extended codes) and the character messages that follow the key. On every
// driver, fed the messages the window system makes for a key, the two agree:
// Ctrl+Tab types no character, so it posts nothing at all (only its key
// events), while Tab, Shift+Tab and Ctrl+I give the tab character. Simulated
// keys take the same path.
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <thread>
#include <utility>

#include "drivers/simulated_input.h"
#include "platform/key_characters.h"
#include "window_test_support.h"

namespace {

using namespace std::chrono_literals;

constexpr int kTabScancode = 0x0F;

struct DriverCase {
  const char* name;
  const GfxDriver* driver;
  int flags;
  bool threaded;  // has its own thread that pumps; otherwise the program polls
};

class KeyPathsThreads : public ScriptedWindowTest, public ::testing::WithParamInterface<DriverCase> {
 protected:
  void SetUp() override {
    ScriptedWindowTest::SetUp();
    ASSERT_EQ(GetParam().driver->init("Zentravolk", 320, 240, 32, 0, GetParam().flags), 0);
  }
  void TearDown() override {
    GetParam().driver->exit();
    ScriptedWindowTest::TearDown();
  }

  // Presses and releases the SDL key with the modifiers held, as the window
  // system reports it, and waits until the layer has handled the release.
  void press(SDL_Scancode sdl_key, bool shift, bool ctrl) {
    {
      std::lock_guard<std::mutex> guard(posted_lock);
      posted_input = PostedInput{};
    }
    const KeyIdentity key = sdl_key_identity(sdl_key, false);
    scripted([&](ScriptedWindowSystem& s) {
      std::fill(std::begin(s.keys), std::end(s.keys), uint8_t(0));
      if (shift) s.keys[0x10] = s.keys[0xA0] = 0x80;
      if (ctrl) s.keys[0x11] = s.keys[0xA2] = 0x80;
      s.keys[key.virtual_key] = 0x80;
      WsMessage messages[2];
      for (bool pressed : {true, false}) {
        const int count = key_messages(key, pressed, false, shift, ctrl, false, messages);
        for (int i = 0; i < count; ++i) s.messages.push_back(messages[i]);
      }
    });
    const auto end = std::chrono::steady_clock::now() + 2s;
    while (!released() && std::chrono::steady_clock::now() < end) {
      if (!GetParam().threaded) GetParam().driver->poll_events();
      std::this_thread::sleep_for(1ms);
    }
    ASSERT_TRUE(released());
  }
  static bool released() {
    for (const GfxEvent& e : posted().events)
      if (e.type == 2) return true;
    return false;
  }
  // The key press event's scancode and character.
  static std::pair<int, int> press_event() {
    for (const GfxEvent& e : posted().events)
      if (e.type == 1) return {e.a, e.b};
    return {-1, -1};
  }

  TestScreen screen{320, 240, 32};
};

TEST_P(KeyPathsThreads, CtrlTabPostsNothingWhileTheOtherTabsTypeTheTabCharacter) {
  press(SDL_SCANCODE_TAB, false, true);
  EXPECT_TRUE(posted().keys.empty()) << "Ctrl+Tab";
  EXPECT_EQ(press_event(), std::make_pair(kTabScancode, 0));

  press(SDL_SCANCODE_TAB, false, false);
  EXPECT_EQ(posted().keys, std::vector<int>{9}) << "Tab";
  EXPECT_EQ(press_event(), std::make_pair(kTabScancode, 9));

  press(SDL_SCANCODE_TAB, true, false);  // the extended Shift code, then the character
  EXPECT_EQ(posted().keys, (std::vector<int>{0x0FFF, 9})) << "Shift+Tab";
  EXPECT_EQ(press_event(), std::make_pair(kTabScancode, 0));

  press(SDL_SCANCODE_I, false, true);  // Ctrl+I is the tab character
  EXPECT_EQ(posted().keys, std::vector<int>{9}) << "Ctrl+I";
  EXPECT_EQ(press_event(), std::make_pair(0x17, 9));
}

// Every control character a key types reaches the key buffer once, through
// its character message, and is the character the key path reports.
TEST_P(KeyPathsThreads, ControlCharactersArriveOnceAndMatchTheKeyEvent) {
  const struct {
    SDL_Scancode key;
    bool shift, ctrl;
    int character;
  } cases[] = {
      {SDL_SCANCODE_RETURN, false, false, 13},   {SDL_SCANCODE_RETURN, false, true, 10},
      {SDL_SCANCODE_BACKSPACE, false, true, 127}, {SDL_SCANCODE_ESCAPE, false, false, 27},
      {SDL_SCANCODE_LEFTBRACKET, false, true, 27}, {SDL_SCANCODE_MINUS, true, true, 31},
      {SDL_SCANCODE_A, false, true, 1},
  };
  for (const auto& c : cases) {
    press(c.key, c.shift, c.ctrl);
    EXPECT_EQ(posted().keys, std::vector<int>{c.character}) << c.key;
    EXPECT_EQ(press_event().second, c.character) << c.key;
  }
  press(SDL_SCANCODE_2, false, true);  // Ctrl+2 types nothing
  EXPECT_TRUE(posted().keys.empty());
  EXPECT_EQ(press_event().second, 0);
}

// A simulated key takes the keyboard's path: Shift+Tab played through the
// layer posts what the window system's Shift+Tab does. A simulated key held
// stays down through the driver's passes, which rebuild the key state from
// the keyboard, until it is let go.
TEST_P(KeyPathsThreads, SimulatedKeysTakeTheKeyboardsPathAndStayDownThroughDriverPasses) {
  const auto key_events = [] {
    std::vector<std::array<int, 4>> tab;
    for (const GfxEvent& e : posted().events)
      if (e.a == kTabScancode) tab.push_back({e.type, e.a, e.b, e.c});
    return tab;
  };
  press(SDL_SCANCODE_TAB, true, false);
  const PostedInput real = posted();
  const auto real_events = key_events();
  {
    std::lock_guard<std::mutex> guard(posted_lock);
    posted_input = PostedInput{};
  }
  scripted([](ScriptedWindowSystem& s) {
    std::fill(std::begin(s.keys), std::end(s.keys), uint8_t(0));
    std::fill(std::begin(s.scancodes), std::end(s.scancodes), uint8_t(0));
  });
  win_lock();
  win_reset_simulated_input();
  const std::pair<int, bool> played[] = {
      {ZQ_SC_LSHIFT, true}, {kTabScancode, true}, {kTabScancode, false}, {ZQ_SC_LSHIFT, false}};
  for (auto [scancode, down] : played) EXPECT_TRUE(win_simulate_key(scancode, down));
  const bool active = win_state()->active != 0;
  win_unlock();
  EXPECT_EQ(posted().keys, real.keys);
  EXPECT_EQ(key_events(), real_events);
  ASSERT_TRUE(active) << "the driver's passes rebuild the key state only while the window is active";

  win_lock();
  win_simulate_key(ZQ_SC_RIGHT, true);
  win_unlock();

  const auto key_state_after_passes = [&](int scancode) {
    for (int pass = 0; pass < 5; ++pass) {
      if (!GetParam().threaded) GetParam().driver->poll_events();
      std::this_thread::sleep_for(15ms);
    }
    win_lock();
    const int down = screen->key_state[scancode];
    win_unlock();
    return down;
  };
  EXPECT_EQ(key_state_after_passes(ZQ_SC_RIGHT), 1);
  EXPECT_EQ(key_state_after_passes(ZQ_SC_LSHIFT), 0);
  win_lock();
  win_simulate_key(ZQ_SC_RIGHT, false);
  win_unlock();
  EXPECT_EQ(key_state_after_passes(ZQ_SC_RIGHT), 0);
}

INSTANTIATE_TEST_SUITE_P(Drivers, KeyPathsThreads,
                         ::testing::Values(DriverCase{"GDI", &gdi_driver, 0, true},
                                           DriverCase{"DirectX", &directx_driver, 0, true},
                                           DriverCase{"OpenGL", &opengl_driver, ZQ_OPEN_OPENGL, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
