// The key tables: scancodes by virtual key, the KeyStateTable fill and the
// translation to console key codes.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "drivers/key_tables.h"
#include "drivers/screen_state.h"

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

// The window layer's key table as written down for it, "scancode:first
// virtual key[,second]" (kept here apart from the code's own rows, which use
// the public names, so a wrong name cannot prove itself).
constexpr char kWrittenTable[] =
    "01:1B 02:31 03:32 04:33 05:34 06:35 07:36 08:37 09:38 0A:39 0B:30 0C:BD,6D 0D:BB 0E:08 0F:09 10:51 11:57 "
    "12:45 13:52 14:54 15:59 16:55 17:49 18:4F 19:50 1A:DB 1B:DD 1C:0D 1D:11 1E:41 1F:53 20:44 21:46 22:47 23:48 "
    "24:4A 25:4B 26:4C 27:BA 28:DE 29:C0 2A:10 2B:DC 2C:5A 2D:58 2E:43 2F:56 30:42 31:4E 32:4D 33:BC 34:BE "
    "35:BF,6F 36:10 37:6A 38:12 39:20 3A:14 3B:70 3C:71 3D:72 3E:73 3F:74 40:75 41:76 42:77 43:78 44:79 45:90 "
    "46:91 47:24,67 48:26,68 49:21,69 4B:25,64 4D:27,66 4E:6B 4F:23,61 50:28,62 51:22,63 52:2D,60 53:2E,6E 57:7A "
    "58:7B 7D:5B 7E:5C 7F:5D";

// The public key names against the written table: each name's key (by its
// virtual key) has exactly the named scancode there and in the code's
// lookup, and every scancode of the table has a name.
TEST(ScancodeNames, EachNameIsTheScancodeOfItsKey) {
  std::map<int, int> written;  // first virtual key -> scancode (the first row wins)
  std::set<int> written_codes;
  std::istringstream rows(kWrittenTable);
  for (std::string row; rows >> row;) {
    const int code = std::stoi(row.substr(0, 2), nullptr, 16);
    written_codes.insert(code);
    written.emplace(std::stoi(row.substr(3, 2), nullptr, 16), code);
  }
  ASSERT_EQ(written_codes.size(), 86u);
  struct Named {
    std::string name;
    int code;
  };
#define ZQ_TEST_NAMED(name, code) Named{#name, ZQ_SC_##name},
  const std::vector<Named> names = {ZQ_SCANCODE_LIST(ZQ_TEST_NAMED)};
#undef ZQ_TEST_NAMED
  // The virtual keys of the keys that are not a letter, digit or F key.
  const std::map<std::string, int> others = {
      {"ESCAPE", 0x1B},     {"MINUS", 0xBD},     {"EQUALS", 0xBB},   {"BACKSPACE", 0x08}, {"TAB", 0x09},
      {"LEFTBRACKET", 0xDB}, {"RIGHTBRACKET", 0xDD}, {"ENTER", 0x0D}, {"CONTROL", 0x11},   {"SEMICOLON", 0xBA},
      {"QUOTE", 0xDE},      {"BACKQUOTE", 0xC0}, {"LSHIFT", 0x10},   {"BACKSLASH", 0xDC}, {"COMMA", 0xBC},
      {"PERIOD", 0xBE},     {"SLASH", 0xBF},     {"MULTIPLY", 0x6A}, {"ALT", 0x12},       {"SPACE", 0x20},
      {"CAPSLOCK", 0x14},   {"NUMLOCK", 0x90},   {"SCROLLLOCK", 0x91}, {"HOME", 0x24},    {"UP", 0x26},
      {"PAGEUP", 0x21},     {"LEFT", 0x25},      {"RIGHT", 0x27},    {"PLUS", 0x6B},      {"END", 0x23},
      {"DOWN", 0x28},       {"PAGEDOWN", 0x22},  {"INSERT", 0x2D},   {"DELETE", 0x2E},    {"LWIN", 0x5B},
      {"RWIN", 0x5C},       {"MENU", 0x5D},
  };
  std::set<int> named;
  for (const Named& n : names) {
    named.insert(n.code);
    if (n.name == "RSHIFT") {
      // Both Shift keys are the generic one: its state sets both entries.
      uint8_t keys[256] = {}, state[kKeyStateSize] = {};
      keys[0x10] = 0x80;
      fill_key_state(state, keys);
      EXPECT_EQ(state[n.code], 1);
      continue;
    }
    int virtual_key = 0;
    if (n.name.size() == 1) virtual_key = n.name[0];  // letters and digits are their own keys
    else if (n.name[0] == 'F' && std::isdigit(static_cast<unsigned char>(n.name[1])))
      virtual_key = 0x70 + std::stoi(n.name.substr(1)) - 1;
    else if (others.count(n.name))
      virtual_key = others.at(n.name);
    ASSERT_NE(virtual_key, 0) << n.name << " has no key here";
    EXPECT_EQ(written[virtual_key], n.code) << "ZQ_SC_" << n.name;
    EXPECT_EQ(scancode_for_virtual_key(virtual_key), n.code) << "ZQ_SC_" << n.name;
  }
  EXPECT_EQ(names.size(), named.size()) << "two names for one scancode";
  EXPECT_EQ(named, written_codes);
}
