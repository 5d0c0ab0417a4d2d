// The characters keys give on the US layout, and the messages of a key.
#include "platform/key_characters.h"

#include <cctype>

namespace {

constexpr int kVkShift = 0x10;
constexpr int kVkCtrl = 0x11;
constexpr int kVkAlt = 0x12;
constexpr int kVkF10 = 0x79;

bool down(const uint8_t* keys, int virtual_key) { return (keys[virtual_key] & 0x80) != 0; }

// US layout: the unshifted and shifted characters of the punctuation keys.
struct Punctuation {
  uint8_t virtual_key;
  char plain, shifted;
};
constexpr Punctuation kPunctuation[] = {
    {0xBA, ';', ':'}, {0xBB, '=', '+'}, {0xBC, ',', '<'}, {0xBD, '-', '_'}, {0xBE, '.', '>'},  {0xBF, '/', '?'},
    {0xC0, '`', '~'}, {0xDB, '[', '{'}, {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'}, {0xE2, '\\', '|'},
};
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

}  // namespace

int virtual_key_base_character(int vk) {
  switch (vk) {
    case 0x08: case 0x09: case 0x0D: case 0x1B: case 0x20: return vk;
    case 0x6A: return '*';
    case 0x6B: return '+';
    case 0x6D: return '-';
    case 0x6E: return '.';
    case 0x6F: return '/';
    default: break;
  }
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return vk;
  if (vk >= 0x60 && vk <= 0x69) return '0' + (vk - 0x60);
  for (const Punctuation& p : kPunctuation)
    if (p.virtual_key == vk) return p.plain;
  return 0;
}

int virtual_key_character(int vk, const uint8_t* keys) {
  int base = virtual_key_base_character(vk);
  if (!base) return 0;
  bool shift = down(keys, 0x10) || down(keys, 0xA0) || down(keys, 0xA1);
  bool ctrl = down(keys, 0x11) || down(keys, 0xA2) || down(keys, 0xA3);
  bool alt = down(keys, 0x12) || down(keys, 0xA4) || down(keys, 0xA5);
  bool caps = (keys[0x14] & 1) != 0;  // Caps Lock toggled on
  if (ctrl && alt) return 0;
  if (ctrl) {
    if (vk >= 'A' && vk <= 'Z') return vk - 'A' + 1;
    switch (vk) {
      case 0xDB: return 27;
      case 0xDC: case 0xE2: return 28;
      case 0xDD: return 29;
      case 0xBD: return shift ? 31 : 0;
      case 0x08: return 127;
      case 0x0D: return 10;
      case 0x1B: return 27;
      default: return 0;
    }
  }
  if (vk >= 'A' && vk <= 'Z') return shift != caps ? vk : std::tolower(vk);
  if (vk >= '0' && vk <= '9') return shift ? kShiftedDigits[vk - '0'] : vk;
  for (const Punctuation& p : kPunctuation)
    if (p.virtual_key == vk) return shift ? p.shifted : p.plain;
  return base;
}

int key_messages(const KeyIdentity& key, bool pressed, bool repeat, bool shift, bool ctrl, bool alt, WsMessage out[2],
                 bool printable) {
  const bool system = (alt && !ctrl) || key.virtual_key == kVkF10 || key.virtual_key == kVkAlt;
  const int type = pressed ? (system ? kWsSysKeyDown : kWsKeyDown) : (system ? kWsSysKeyUp : kWsKeyUp);
  out[0] = ws_key_message(type, key.virtual_key, key.scancode, key.extended, !pressed || repeat);
  if (!pressed || system) return 1;
  uint8_t keys[256] = {};
  if (shift) keys[kVkShift] = 0x80;
  if (ctrl) keys[kVkCtrl] = 0x80;
  if (alt) keys[kVkAlt] = 0x80;
  const int c = virtual_key_character(key.virtual_key, keys);
  if (c == 0 || (c >= 32 && c != 127 && !printable)) return 1;
  out[1] = WsMessage{.type = kWsChar, .character = c, .repeat = 1};
  return 2;
}
