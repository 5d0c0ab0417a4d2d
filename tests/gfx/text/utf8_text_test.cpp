// UTF-8 text drawn and measured through code page 437: every two-byte
// sequence of Latin-1, broken sequences as '?', the empty text.
#include <gtest/gtest.h>

#include <string>

#include "gfx/screen/screen.h"
#include "platform/cp437.h"
#include "runtime/runtime.h"
#include "text_test_support.h"
#include "zentravolk/text.h"

namespace {

class Utf8Text : public TextScreen {
 protected:
  // The UTF-8 text draws and measures as the code page 437 text does.
  static void expect_drawn_as(const std::string& utf8, const std::string& codes) {
    int w = -1, h = -1, cw = -2, ch = -2;
    ASSERT_EQ(gfx_text_size_utf8(nullptr, utf8.c_str(), &w, &h), ZQ_OK);
    ASSERT_EQ(gfx_text_size(nullptr, codes.c_str(), &cw, &ch), ZQ_OK);
    EXPECT_EQ(w, cw);
    EXPECT_EQ(h, ch);
    TestImage a(64, 10, 32, 0), b(64, 10, 32, 0);
    ASSERT_EQ(gfx_draw_text_utf8(a.image, 1, 1, utf8.c_str(), 0xFFFFFF, nullptr, ZQ_ALIGN_LEFT), ZQ_OK);
    ASSERT_EQ(gfx_draw_text_aligned(b.image, 1, 1, codes.c_str(), 0xFFFFFF, nullptr, ZQ_ALIGN_LEFT), ZQ_OK);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 64; ++x) ASSERT_EQ(a.pixel(x, y), b.pixel(x, y)) << x << "," << y;
  }
};

TEST_F(Utf8Text, EveryTwoByteSequenceOfLatin1) {
  int mapped = 0;
  for (uint32_t cp = 0x80; cp <= 0xFF; ++cp) {
    const std::string utf8 = {char(0xC0 | cp >> 6), char(0x80 | (cp & 0x3F))};
    int code = cp437_glyph_from_unicode(cp);
    mapped += code >= 0;
    SCOPED_TRACE(cp);
    expect_drawn_as("<" + utf8 + ">", std::string("<") + (code < 0 ? '?' : char(code)) + ">");
  }
  // Latin-1's letters with accents are in the code page; its C1 controls are not.
  EXPECT_EQ(cp437_glyph_from_unicode(0xE9), 0x82);
  EXPECT_EQ(cp437_glyph_from_unicode(0x85), -1);
  EXPECT_GT(mapped, 50);
}

TEST_F(Utf8Text, BrokenSequencesAreQuestionMarksAndTheTerminatorEndsThem) {
  struct Case {
    const char* utf8;
    const char* codes;
  } cases[] = {
      {"a\xC3", "a?"},                  // lead byte cut off by the end
      {"\xE2\x82", "?"},                // three-byte sequence cut short
      {"\xE2\x82x", "?x"},              // ... and followed by a character
      {"\x80\xBF", "??"},               // continuation bytes alone
      {"\xFF\xFEz", "??z"},             // bytes that never start a sequence
      {"\xC0\xAF", "?"},                // '/' in a longer form than needed
      {"\xE0\x80\x80", "?"},            // the same for a three-byte form
      {"\xF0\x9F\x98\x80!", "?!"},      // a character the code page lacks
      {"\xE2\x82\xAC", "?"},            // the euro sign
      {"\xE2\x98\xBA\xE2\x94\x80", "\x01\xC4"},  // a smiley and a box line are in it
      {"\t\n", "??"},                   // control characters are not glyphs
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.codes);
    expect_drawn_as(c.utf8, c.codes);
  }
  int w = -1, h = -1;
  EXPECT_EQ(gfx_text_size_utf8(nullptr, "", &w, &h), ZQ_OK);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 8);
  TestImage img(16, 16, 32, 0);
  EXPECT_EQ(gfx_draw_text_utf8(img.image, 0, 0, "", 0xFFFFFF, nullptr, ZQ_ALIGN_CENTRE), ZQ_OK);
  EXPECT_EQ(img.box(), (Box{0, 0, 0, 0}));
}

TEST_F(Utf8Text, CodePageCharactersGoBothWays) {
  for (int code = 1; code < 256; ++code) {
    uint32_t cp = cp437_to_unicode(code);
    ASSERT_NE(cp, 0u) << code;
    EXPECT_EQ(cp437_glyph_from_unicode(cp), code) << code;
  }
  EXPECT_EQ(cp437_to_unicode(0), 0u);
  EXPECT_EQ(cp437_to_unicode(256), 0u);
  // Typed text keeps the control codes out.
  EXPECT_EQ(cp437_from_unicode(0x263A), -1);
}

}  // namespace
