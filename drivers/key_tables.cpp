// Key tables of the window layer.
#include "drivers/key_tables.h"

#include <cctype>

namespace {

struct ScancodeRow {
  uint8_t scancode, first_key, second_key;
};

// Virtual key to scancode, ending with a row whose scancode is 0; every
// scancode is written by its public name. Both shift
// keys carry the generic shift key, so the first row (2A) wins a lookup; the
// keypad digits share the navigation keys' scancodes.
constexpr ScancodeRow kScancodes[] = {
    {ZQ_SC_ESCAPE, 0x1B, 0}, {ZQ_SC_1, 0x31, 0}, {ZQ_SC_2, 0x32, 0}, {ZQ_SC_3, 0x33, 0}, {ZQ_SC_4, 0x34, 0},
    {ZQ_SC_5, 0x35, 0}, {ZQ_SC_6, 0x36, 0}, {ZQ_SC_7, 0x37, 0}, {ZQ_SC_8, 0x38, 0}, {ZQ_SC_9, 0x39, 0},
    {ZQ_SC_0, 0x30, 0}, {ZQ_SC_MINUS, 0xBD, 0x6D}, {ZQ_SC_EQUALS, 0xBB, 0}, {ZQ_SC_BACKSPACE, 0x08, 0},
    {ZQ_SC_TAB, 0x09, 0}, {ZQ_SC_Q, 0x51, 0}, {ZQ_SC_W, 0x57, 0}, {ZQ_SC_E, 0x45, 0}, {ZQ_SC_R, 0x52, 0},
    {ZQ_SC_T, 0x54, 0}, {ZQ_SC_Y, 0x59, 0}, {ZQ_SC_U, 0x55, 0}, {ZQ_SC_I, 0x49, 0}, {ZQ_SC_O, 0x4F, 0},
    {ZQ_SC_P, 0x50, 0}, {ZQ_SC_LEFTBRACKET, 0xDB, 0}, {ZQ_SC_RIGHTBRACKET, 0xDD, 0}, {ZQ_SC_ENTER, 0x0D, 0},
    {ZQ_SC_CONTROL, 0x11, 0}, {ZQ_SC_A, 0x41, 0}, {ZQ_SC_S, 0x53, 0}, {ZQ_SC_D, 0x44, 0}, {ZQ_SC_F, 0x46, 0},
    {ZQ_SC_G, 0x47, 0}, {ZQ_SC_H, 0x48, 0}, {ZQ_SC_J, 0x4A, 0}, {ZQ_SC_K, 0x4B, 0}, {ZQ_SC_L, 0x4C, 0},
    {ZQ_SC_SEMICOLON, 0xBA, 0}, {ZQ_SC_QUOTE, 0xDE, 0}, {ZQ_SC_BACKQUOTE, 0xC0, 0}, {ZQ_SC_LSHIFT, 0x10, 0},
    {ZQ_SC_BACKSLASH, 0xDC, 0}, {ZQ_SC_Z, 0x5A, 0}, {ZQ_SC_X, 0x58, 0}, {ZQ_SC_C, 0x43, 0}, {ZQ_SC_V, 0x56, 0},
    {ZQ_SC_B, 0x42, 0}, {ZQ_SC_N, 0x4E, 0}, {ZQ_SC_M, 0x4D, 0}, {ZQ_SC_COMMA, 0xBC, 0}, {ZQ_SC_PERIOD, 0xBE, 0},
    {ZQ_SC_SLASH, 0xBF, 0x6F}, {ZQ_SC_RSHIFT, 0x10, 0}, {ZQ_SC_MULTIPLY, 0x6A, 0}, {ZQ_SC_ALT, 0x12, 0},
    {ZQ_SC_SPACE, 0x20, 0}, {ZQ_SC_CAPSLOCK, 0x14, 0}, {ZQ_SC_F1, 0x70, 0}, {ZQ_SC_F2, 0x71, 0}, {ZQ_SC_F3, 0x72, 0},
    {ZQ_SC_F4, 0x73, 0}, {ZQ_SC_F5, 0x74, 0}, {ZQ_SC_F6, 0x75, 0}, {ZQ_SC_F7, 0x76, 0}, {ZQ_SC_F8, 0x77, 0},
    {ZQ_SC_F9, 0x78, 0}, {ZQ_SC_F10, 0x79, 0}, {ZQ_SC_NUMLOCK, 0x90, 0}, {ZQ_SC_SCROLLLOCK, 0x91, 0},
    {ZQ_SC_HOME, 0x24, 0x67}, {ZQ_SC_UP, 0x26, 0x68}, {ZQ_SC_PAGEUP, 0x21, 0x69}, {ZQ_SC_LEFT, 0x25, 0x64},
    {ZQ_SC_RIGHT, 0x27, 0x66}, {ZQ_SC_PLUS, 0x6B, 0}, {ZQ_SC_END, 0x23, 0x61}, {ZQ_SC_DOWN, 0x28, 0x62},
    {ZQ_SC_PAGEDOWN, 0x22, 0x63}, {ZQ_SC_INSERT, 0x2D, 0x60}, {ZQ_SC_DELETE, 0x2E, 0x6E}, {ZQ_SC_F11, 0x7A, 0},
    {ZQ_SC_F12, 0x7B, 0}, {ZQ_SC_LWIN, 0x5B, 0}, {ZQ_SC_RWIN, 0x5C, 0}, {ZQ_SC_MENU, 0x5D, 0}, {0, 0, 0},
};
static_assert(sizeof kScancodes / sizeof kScancodes[0] == 87, "86 rows and the end row");

// Console key codes by scancode for the normal, Shift, Ctrl and Alt states.
// Only the extended codes (256 and above) are kept: where a state gives a
// character, the key path takes the character itself.
struct KeyCodes {
  uint16_t normal, shift, ctrl, alt;
};
constexpr int kLastCodedScancode = 88;

constexpr KeyCodes codes_for(int sc) {
  if (sc == 0x01) return {0, 0, 0, 0x0100};
  if (sc >= 0x02 && sc <= 0x07) return {0, 0, uint16_t(sc == 0x03 ? 0x0300 : 0), uint16_t((0x78 + sc - 2) << 8)};
  if (sc == 0x08 || sc == 0x0C) return {0, 0, 0, 0x8200};
  if (sc == 0x09 || sc == 0x0D) return {0, 0, 0, 0x8300};
  if (sc == 0x0A) return {0, 0, 0, 0x8000};
  if (sc == 0x0B) return {0, 0, 0, 0x8100};
  if (sc == 0x0E) return {0, 0, 0, 0xE000};
  if (sc == 0x0F) return {0, 0x0F00, 0x9400, 0x0F00};
  if ((sc >= 0x10 && sc <= 0x1C) || (sc >= 0x1E && sc <= 0x29) || (sc >= 0x2C && sc <= 0x35))
    return {0, 0, 0, uint16_t(sc << 8)};
  if (sc >= 0x3B && sc <= 0x44)
    return {uint16_t(sc << 8), uint16_t((sc + 0x19) << 8), uint16_t((sc + 0x23) << 8), uint16_t((sc + 0x2D) << 8)};
  switch (sc) {
    case 0x47: return {0x4700, 0, 0x7700, 0};
    case 0x48: return {0x4800, 0, 0x8D00, 0};
    case 0x49: return {0x4900, 0, 0x8400, 0};
    case 0x4B: return {0x4B00, 0, 0x7300, 0};
    case 0x4C: return {0x4C00, 0, 0x8F00, 0x4C00};
    case 0x4D: return {0x4D00, 0, 0x7400, 0};
    case 0x4F: return {0x4F00, 0, 0x7500, 0};
    case 0x50: return {0x5000, 0, 0x9100, 0};
    case 0x51: return {0x5100, 0, 0x7600, 0};
    case 0x52: return {0x5200, 0, 0x9200, 0};
    case 0x53: return {0x5300, 0, 0x9300, 0};
    case 0x57: return {0x8500, 0x8700, 0x8900, 0x8B00};
    case 0x58: return {0x8600, 0x8800, 0x8A00, 0x8C00};
    default: return {0, 0, 0, 0};
  }
}

// Keys with the extended bit: scancode, then the four states.
struct ExtendedRow {
  uint8_t scancode;
  KeyCodes codes;
};
constexpr ExtendedRow kExtended[] = {
    {0x1C, {0x0D, 0x0D, 0x0A, 0xA600}},         {0x35, {0x2F, 0x3F, 0x9500, 0xA400}},
    {0x47, {0x4700, 0x4700, 0x7700, 0x9700}}, {0x48, {0x4800, 0x4800, 0x8D00, 0x9800}},
    {0x49, {0x4900, 0x4900, 0x8400, 0x9900}}, {0x4B, {0x4B00, 0x4B00, 0x7300, 0x9B00}},
    {0x4D, {0x4D00, 0x4D00, 0x7400, 0x9D00}}, {0x4F, {0x4F00, 0x4F00, 0x7500, 0x9F00}},
    {0x50, {0x5000, 0x5000, 0x9100, 0xA000}}, {0x51, {0x5100, 0x5100, 0x7600, 0xA100}},
    {0x52, {0x5200, 0x5200, 0x9200, 0xA200}}, {0x53, {0x5300, 0x5300, 0x9300, 0xA300}},
};

// The state column by the modifier word: Alt before Ctrl before Shift.
int pick(const KeyCodes& c, int modifiers, int unmodified) {
  if (modifiers & (ZQ_MOD_ALT | ZQ_MOD_RIGHT_ALT)) return c.alt;
  if (modifiers & (ZQ_MOD_CTRL | ZQ_MOD_RIGHT_CTRL)) return c.ctrl;
  if (modifiers & ZQ_MOD_SHIFT) return c.shift;
  return unmodified;
}

bool down(const uint8_t* keys, int virtual_key) { return (keys[virtual_key] & 0x80) != 0; }

}  // namespace

int virtual_key_for_scancode(int scancode) {
  for (const ScancodeRow* row = kScancodes; row->scancode; ++row)
    if (row->scancode == scancode) return row->first_key;
  return 0;
}

int scancode_for_virtual_key(int virtual_key) {
  if (virtual_key == 0) return 0;
  for (const ScancodeRow* row = kScancodes; row->scancode; ++row)
    if (row->second_key == virtual_key || row->first_key == virtual_key) return row->scancode;
  return 0;
}

void fill_key_state(uint8_t* key_state, const uint8_t* keys) {
  for (const ScancodeRow* row = kScancodes; row->scancode; ++row)
    key_state[row->scancode] = down(keys, row->first_key) || (row->second_key && down(keys, row->second_key)) ? 1 : 0;
}

int modifier_word(const uint8_t* keys, bool extended) {
  int word = 0;
  if (down(keys, 0x10) || down(keys, 0xA0) || down(keys, 0xA1)) word |= ZQ_MOD_SHIFT;
  if (down(keys, 0x11) || down(keys, 0xA2)) word |= ZQ_MOD_CTRL;
  if (down(keys, 0xA3)) word |= ZQ_MOD_RIGHT_CTRL;
  if (down(keys, 0x12) || down(keys, 0xA4)) word |= ZQ_MOD_ALT;
  if (down(keys, 0xA5)) word |= ZQ_MOD_RIGHT_ALT;
  if (extended) word |= ZQ_MOD_EXTENDED;
  return word;
}

int translate_key(int character, int scancode, int virtual_key, int modifiers) {
  int result;
  if (character == 0 && (modifiers & ZQ_MOD_EXTENDED)) {
    const ExtendedRow* row = nullptr;
    for (const ExtendedRow& r : kExtended)
      if (r.scancode == scancode) row = &r;
    if (!row) return -1;
    result = pick(row->codes, modifiers, row->codes.normal);
    if (result == 0) return -1;
  } else if (scancode >= 0 && scancode <= kLastCodedScancode) {
    int base = virtual_key_base_character(virtual_key);
    int other = std::isupper(base) ? std::tolower(base) : std::islower(base) ? std::toupper(base) : base;
    KeyCodes codes = codes_for(scancode);
    int code = pick(codes, modifiers, character ? base : codes.normal);
    if (code >= 256 && (character == base || character == other))
      result = code;
    else
      result = character ? character : -1;
  } else {
    result = character ? character : -1;
  }
  return result >= 256 ? (result & 0xFF00) | 0xFF : result;
}
