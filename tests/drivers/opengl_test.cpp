// The OpenGL driver against the scripted window system: what it refuses,
// the pixel format it asks for (defaults, the program's requests, fewer
// samples when multisampling is missing), the extension test, and the
// page-copy side: swap, messages and keys only when asked for.
#include <gtest/gtest.h>

#include <memory>

#include "drivers/opengl.h"
#include "drivers/refusal.h"
#include "window_test_support.h"

namespace {

class OpenglScripted : public ScriptedWindowTest {
 protected:
  void TearDown() override {
    opengl_driver.exit();
    for (int a = 0; a < kGlAttributeCount; ++a) opengl_set_attribute(a, 0);
    ScriptedWindowTest::TearDown();
  }
  int open(int flags = ZQ_OPEN_OPENGL) {
    ScreenState* s = screen_state;
    return opengl_driver.init("Zentravolk", s->width, s->height, s->depth, 0, flags);
  }
  static std::vector<WsGlAttributes> windows_tried() {
    return scripted([](ScriptedWindowSystem& s) { return s.gl_windows; });
  }

  std::unique_ptr<TestScreen> screen = std::make_unique<TestScreen>(320, 240, 32);
};

TEST_F(OpenglScripted, RefusesWithoutTheOpenGLFlagOrWithoutAFrame) {
  EXPECT_EQ(open(0), -1);
  EXPECT_EQ(open(ZQ_OPEN_FULLSCREEN), -1);
  EXPECT_EQ(open(ZQ_OPEN_OPENGL | ZQ_OPEN_NO_FRAME), -1);
  EXPECT_FALSE(scripted_called("gl load"));
  EXPECT_FALSE(scripted_called("create"));
}

TEST_F(OpenglScripted, DefaultsComeFromTheScreenDepthAndTheOpenFlags) {
  ASSERT_EQ(open(ZQ_OPEN_OPENGL | 0x10000 | 0x20000), 0);
  WsGlAttributes a = windows_tried().back();
  EXPECT_EQ(a.colour_bits, 32);
  EXPECT_EQ(a.red_bits + a.green_bits * 100 + a.blue_bits * 10000, 8 + 800 + 80000);
  EXPECT_EQ(a.alpha_bits, 8);
  EXPECT_EQ(a.depth_bits, 16);
  EXPECT_EQ(a.stencil_bits, 8);
  EXPECT_EQ(a.accum_red_bits + a.accum_green_bits + a.accum_blue_bits + a.accum_alpha_bits, 32);
  EXPECT_EQ(a.samples, 0);
  EXPECT_EQ(a.accelerated, 1);
  opengl_driver.exit();

  // A 16-bit screen without the flags: 5 bits a channel, no alpha, no
  // stencil, no accumulation buffer.
  screen = std::make_unique<TestScreen>(320, 240, 16);
  ASSERT_EQ(open(), 0);
  a = windows_tried().back();
  EXPECT_EQ(a.colour_bits, 16);
  EXPECT_EQ(a.red_bits + a.green_bits + a.blue_bits, 15);
  EXPECT_EQ(a.alpha_bits + a.stencil_bits + a.accum_red_bits + a.accum_alpha_bits, 0);
  EXPECT_EQ(a.depth_bits, 16);
}

TEST_F(OpenglScripted, ProgramRequestsWinAndStayForTheNextScreen) {
  EXPECT_EQ(opengl_set_attribute(kGlDepthBits, 24), 0);
  EXPECT_EQ(opengl_set_attribute(kGlRedBits, 4), 0);
  EXPECT_EQ(opengl_set_attribute(kGlAccumBits, 16), 0);
  EXPECT_EQ(opengl_set_attribute(kGlAttributeCount, 8), 1);
  EXPECT_EQ(opengl_set_attribute(kGlStencilBits, -1), 1);
  ASSERT_EQ(open(ZQ_OPEN_OPENGL | 0x10000), 0);
  WsGlAttributes a = windows_tried().back();
  EXPECT_EQ(a.depth_bits, 24);
  EXPECT_EQ(a.red_bits, 4);
  EXPECT_EQ(a.colour_bits, 4);  // the channels asked for add up to it
  EXPECT_EQ(a.green_bits, 0);   // and a 1-byte colour gets no more
  EXPECT_EQ(a.stencil_bits, 8);
  EXPECT_EQ(a.accum_green_bits, 5);  // a 16-bit accumulation buffer
  opengl_driver.exit();

  // The defaults of one screen are not taken as the program's for the next.
  opengl_set_attribute(kGlRedBits, 0);
  screen = std::make_unique<TestScreen>(320, 240, 16);
  ASSERT_EQ(open(), 0);
  a = windows_tried().back();
  EXPECT_EQ(a.colour_bits, 16);
  EXPECT_EQ(a.red_bits, 5);
  EXPECT_EQ(a.depth_bits, 24);
}

TEST_F(OpenglScripted, SamplesAreLoweredFourTwoZeroBeforeAnOrdinaryFormat) {
  scripted([](ScriptedWindowSystem& s) { s.gl_multisample = false; });
  ASSERT_EQ(open(ZQ_OPEN_OPENGL | 0x40000), 0);
  auto tried = windows_tried();
  ASSERT_EQ(tried.size(), 4u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(tried[size_t(i)].samples, 4 - 2 * i);
    EXPECT_EQ(tried[size_t(i)].sample_buffers, 1);
    EXPECT_EQ(tried[size_t(i)].accelerated, 1);
  }
  EXPECT_EQ(tried[3].samples + tried[3].sample_buffers + tried[3].accelerated, 0);
  EXPECT_TRUE(scripted([](ScriptedWindowSystem& s) { return s.gl_enabled.empty() && s.gl_current; }));
}

TEST_F(OpenglScripted, MultisampledFormatTurnsMultisamplingOn) {
  ASSERT_EQ(open(ZQ_OPEN_OPENGL | 0x40000), 0);
  EXPECT_EQ(windows_tried().size(), 1u);
  EXPECT_EQ(scripted([](ScriptedWindowSystem& s) { return s.gl_enabled; }), std::vector<unsigned>{0x809D});
}

TEST_F(OpenglScripted, NoFormatAtAllOrNoBgraFailsAndExitUndoesEverything) {
  scripted([](ScriptedWindowSystem& s) { s.gl_formats = false; });
  EXPECT_EQ(open(), -1);
  opengl_driver.exit();
  scripted([](ScriptedWindowSystem& s) {
    EXPECT_EQ(s.gl_loads, 0);
    EXPECT_FALSE(s.window_open);
    EXPECT_FALSE(s.video_started);
    EXPECT_TRUE(s.screen_saver);
    s.gl_formats = true;
    s.gl_extension_list = "GL_ARB_multitexture GL_EXT_bgra_extended XGL_EXT_bgra";
  });
  EXPECT_EQ(open(), -1);
  opengl_driver.exit();
  scripted([](ScriptedWindowSystem& s) {
    EXPECT_FALSE(s.gl_context);
    EXPECT_FALSE(s.window_open);
    EXPECT_EQ(s.gl_loads, 0);
    s.gl_extension_list = "GL_EXT_bgra";
    s.gl_missing_procs = {"glTexImage2D"};
  });
  EXPECT_EQ(open(), -1);  // a needed entry point is missing
}

TEST(OpenglExtensionTest, NamesMatchWholeWordsOnly) {
  const char* list = "GL_ARB_imaging GL_EXT_bgra_ext GL_EXT_abgr GL_EXT_bgra";
  EXPECT_TRUE(opengl_has_extension(list, "GL_EXT_bgra"));  // the last one
  EXPECT_TRUE(opengl_has_extension(list, "GL_ARB_imaging"));
  EXPECT_TRUE(opengl_has_extension(list, "GL_EXT_abgr"));
  EXPECT_FALSE(opengl_has_extension("GL_EXT_bgra_ext", "GL_EXT_bgra"));   // a longer name
  EXPECT_FALSE(opengl_has_extension("XGL_EXT_bgra GL_B", "GL_EXT_bgra"));  // inside another
  EXPECT_FALSE(opengl_has_extension("GL_EXT_bgr", "GL_EXT_bgra"));
  EXPECT_FALSE(opengl_has_extension(list, ""));
  EXPECT_FALSE(opengl_has_extension(nullptr, "GL_EXT_bgra"));
}

TEST_F(OpenglScripted, PageCopySideSwapsThenHandlesMessagesAndKeys) {
  ASSERT_EQ(open(), 0);
  EXPECT_TRUE(scripted_called("create 320x240 at 352,264 style 36"));  // centred, maximise box, OpenGL
  scripted([](ScriptedWindowSystem& s) {
    s.keys[0x27] = 0x80;  // right arrow
    s.messages.push_back(WsMessage{.type = kWsClose});
  });
  // Nothing happens until the program copies a page.
  EXPECT_EQ((*screen)->key_state[0x4D], 0);
  EXPECT_TRUE(posted().keys.empty());
  opengl_driver.flip();
  opengl_driver.poll_events();
  EXPECT_EQ(scripted([](ScriptedWindowSystem& s) { return s.swaps; }), 1);
  EXPECT_EQ((*screen)->key_state[0x4D], 1);
  EXPECT_EQ(posted().keys, std::vector<int>{0x6BFF});

  // Inactive: the keys are cleared and no longer sampled.
  scripted_push(WsMessage{.type = kWsActivate});
  opengl_driver.poll_events();
  EXPECT_EQ((*screen)->key_state[0x4D], 0);
  opengl_driver.poll_events();
  EXPECT_EQ((*screen)->key_state[0x4D], 0);
}

TEST_F(OpenglScripted, FullScreenSwitchKeepsTheContext) {
  scripted([](ScriptedWindowSystem& s) { s.modes = {{320, 240, 32, 0}}; });
  ASSERT_EQ(open(), 0);
  scripted_push(WsMessage{.type = kWsSize, .size = kWsSizeMaximised});
  opengl_driver.poll_events();
  EXPECT_TRUE(scripted_called("mode 320x240x32"));
  EXPECT_TRUE(scripted_called("create 320x240 at 0,0 style 33"));
  EXPECT_FALSE(scripted_called("gl delete context"));
  scripted([](ScriptedWindowSystem& s) {
    EXPECT_TRUE(s.gl_current);
    EXPECT_EQ(s.gl_windows.size(), 2u);
    EXPECT_EQ(s.gl_windows[1].colour_bits, s.gl_windows[0].colour_bits);  // the same format again
  });
  // Back to a window: the display mode is given back.
  scripted_push(WsMessage{.type = kWsSize, .size = kWsSizeMaximised});
  opengl_driver.poll_events();
  EXPECT_TRUE(scripted_called("restore mode"));
  EXPECT_TRUE(scripted([](ScriptedWindowSystem& s) { return s.gl_current && s.window_open; }));
}

}  // namespace

namespace {

TEST_F(OpenglScripted, ScaledScreenOpensAtItsFactorAndFullScreenChangesNoMode) {
  ASSERT_EQ(open(ZQ_OPEN_OPENGL | ZQ_OPEN_SCALED), 0);  // 2 x fits 90% of the 1024 x 740 usable desktop
  EXPECT_TRUE(scripted_called("create 640x480 at 192,130"));
  opengl_driver.flip();  // the picture drawn at its place, then swapped
  EXPECT_EQ(scripted([](ScriptedWindowSystem& s) { return s.swaps; }), 1);
  opengl_driver.exit();
  ASSERT_EQ(open(ZQ_OPEN_OPENGL | ZQ_OPEN_SCALED | ZQ_OPEN_FULLSCREEN), 0);
  EXPECT_TRUE(scripted_called("create 1024x768 at 0,0"));
  EXPECT_FALSE(scripted_called("mode"));
  opengl_driver.exit();
  // Without what the copy needs the scaled screen is refused, with the reason.
  scripted([](ScriptedWindowSystem& s) { s.gl_missing_procs = {"glCopyTexSubImage2D"}; });
  EXPECT_EQ(open(ZQ_OPEN_OPENGL | ZQ_OPEN_SCALED), -1);
  EXPECT_NE(driver_refusal().find("glCopyTexSubImage2D"), std::string::npos) << driver_refusal();
}

}  // namespace
