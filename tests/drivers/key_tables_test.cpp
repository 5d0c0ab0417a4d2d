// The key tables: scancodes by virtual key, the KeyStateTable fill and the
// translation to console key codes.
#include <gtest/gtest.h>

#include "drivers/key_tables.h"

TEST(ScancodeTable, FirstMatchingRowWins) {
  EXPECT_EQ(scancode_for_virtual_key(0x1B), 0x01);
  EXPECT_EQ(scancode_for_virtual_key(0x10), 0x2A);  // both shifts
  EXPECT_EQ(scancode_for_virtual_key(0x6D), 0x0C);  // keypad minus shares the minus key's row
  EXPECT_EQ(scancode_for_virtual_key(0x66), 0x4D);  // keypad 6 is the right arrow's
  EXPECT_EQ(scancode_for_virtual_key(0x5D), 0x7F);
  EXPECT_EQ(scancode_for_virtual_key(0x0C), 0);     // keypad 5 (Clear) has no row
  EXPECT_EQ(scancode_for_virtual_key(0), 0);        // "no second key" is no key
}

TEST(ScancodeTable, KeyStateFollowsGenericModifiersAndKeypad) {
  uint8_t keys[256] = {};
  uint8_t state[128];
  std::fill(std::begin(state), std::end(state), uint8_t(7));
  keys[0x10] = 0x80;  // either shift
  keys[0x64] = 0x80;  // keypad 4
  keys[0x12] = 0x81;  // down, toggled
  fill_key_state(state, keys);
  EXPECT_EQ(state[0x2A], 1);
  EXPECT_EQ(state[0x36], 1);
  EXPECT_EQ(state[0x4B], 1);
  EXPECT_EQ(state[0x38], 1);
  EXPECT_EQ(state[0x1D], 0);
  EXPECT_EQ(state[0x4D], 0);
  EXPECT_EQ(state[0x00], 7);  // scancodes without a row are not written
}

TEST(KeyTranslation, ExtendedCodesByShiftState) {
  EXPECT_EQ(translate_key(0, 0x3B, 0x70, 0), 0x3BFF);                      // F1
  EXPECT_EQ(translate_key(0, 0x3B, 0x70, ZQ_MOD_SHIFT), 0x54FF);              // Shift+F1
  EXPECT_EQ(translate_key(0, 0x3C, 0x71, ZQ_MOD_CTRL), 0x5FFF);               // Ctrl+F2
  EXPECT_EQ(translate_key(0, 0x3E, 0x73, ZQ_MOD_ALT), 0x6BFF);                // Alt+F4
  EXPECT_EQ(translate_key(0, 0x57, 0x7A, 0), 0x85FF);                      // F11
  EXPECT_EQ(translate_key(0, 0x58, 0x7B, ZQ_MOD_SHIFT), 0x88FF);              // Shift+F12
  EXPECT_EQ(translate_key(0, 0x4D, 0x27, ZQ_MOD_EXTENDED), 0x4DFF);           // right arrow
  EXPECT_EQ(translate_key(0, 0x4D, 0x27, ZQ_MOD_EXTENDED | ZQ_MOD_SHIFT), 0x4DFF);
  EXPECT_EQ(translate_key(0, 0x47, 0x24, ZQ_MOD_EXTENDED | ZQ_MOD_ALT), 0x97FF);  // Alt+Home
  EXPECT_EQ(translate_key(0, 0x4D, 0x27, 0), 0x4DFF);                      // keypad 6 as an arrow
  EXPECT_EQ(translate_key(0, 0x4D, 0x27, ZQ_MOD_CTRL), 0x74FF);
  EXPECT_EQ(translate_key(0, 0x37, 0x2C, ZQ_MOD_EXTENDED), -1);               // E0 key without a row
  EXPECT_EQ(translate_key(0, 0x2A, 0x10, ZQ_MOD_SHIFT), -1);                  // shift alone gives nothing
}

TEST(KeyTranslation, CharactersStayCharactersUnlessAltMakesACode) {
  EXPECT_EQ(translate_key('a', 0x1E, 'A', 0), 'a');
  EXPECT_EQ(translate_key('A', 0x1E, 'A', ZQ_MOD_SHIFT), 'A');
  EXPECT_EQ(translate_key(1, 0x1E, 'A', ZQ_MOD_CTRL), 1);
  EXPECT_EQ(translate_key('x', 0x2D, 'X', ZQ_MOD_ALT), 0x2DFF);
  EXPECT_EQ(translate_key('1', 0x02, '1', ZQ_MOD_ALT), 0x78FF);
  EXPECT_EQ(translate_key(27, 0x01, 0x1B, ZQ_MOD_ALT), 0x01FF);
  EXPECT_EQ(translate_key(13, 0x1C, 0x0D, ZQ_MOD_EXTENDED), 13);  // keypad Enter
  EXPECT_EQ(translate_key(0x82, 0x12, 'E', ZQ_MOD_ALT), 0x82);  // a character the key does not give plainly
  EXPECT_EQ(translate_key(0, 0x7D, 0x5B, 0), -1);
}

TEST(KeyCharacters, UsLayout) {
  uint8_t keys[256] = {};
  EXPECT_EQ(virtual_key_character('Q', keys), 'q');
  EXPECT_EQ(virtual_key_character('2', keys), '2');
  EXPECT_EQ(virtual_key_character(0xBA, keys), ';');
  EXPECT_EQ(virtual_key_character(0x70, keys), 0);
  keys[0x10] = 0x80;
  EXPECT_EQ(virtual_key_character('Q', keys), 'Q');
  EXPECT_EQ(virtual_key_character('2', keys), '@');
  EXPECT_EQ(virtual_key_character(0xDE, keys), '"');
  keys[0x10] = 0;
  keys[0x14] = 1;  // Caps Lock on
  EXPECT_EQ(virtual_key_character('Q', keys), 'Q');
  keys[0x14] = 0;
  keys[0x11] = 0x80;
  EXPECT_EQ(virtual_key_character('C', keys), 3);
  EXPECT_EQ(virtual_key_character('2', keys), 0);
  keys[0x12] = 0x80;  // Ctrl+Alt types nothing on this layout
  EXPECT_EQ(virtual_key_character('C', keys), 0);
  EXPECT_EQ(virtual_key_base_character('Q'), 'Q');
  EXPECT_EQ(virtual_key_base_character(0x66), '6');
  EXPECT_EQ(virtual_key_base_character(0x26), 0);
}
