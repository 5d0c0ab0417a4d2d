// SDL keys as virtual keys and set-1 scancodes, and typed text as code page
// 437 bytes.
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/cp437.h"
#include "platform/sdl_keys.h"

TEST(SdlKeys, ExtendedKeysCarryTheE0Bit) {
  struct {
    SDL_Scancode key;
    int virtual_key, scancode;
  } const extended[] = {
      {SDL_SCANCODE_RIGHT, 0x27, 0x4D}, {SDL_SCANCODE_UP, 0x26, 0x48},     {SDL_SCANCODE_HOME, 0x24, 0x47},
      {SDL_SCANCODE_DELETE, 0x2E, 0x53}, {SDL_SCANCODE_RCTRL, 0x11, 0x1D}, {SDL_SCANCODE_RALT, 0x12, 0x38},
      {SDL_SCANCODE_KP_ENTER, 0x0D, 0x1C}, {SDL_SCANCODE_KP_DIVIDE, 0x6F, 0x35},
  };
  for (const auto& k : extended) {
    KeyIdentity id = sdl_key_identity(k.key, true);
    EXPECT_EQ(id.virtual_key, k.virtual_key) << k.key;
    EXPECT_EQ(id.scancode, k.scancode) << k.key;
    EXPECT_TRUE(id.extended) << k.key;
  }
  // Their plain twins are not extended.
  for (SDL_Scancode key : {SDL_SCANCODE_RETURN, SDL_SCANCODE_LCTRL, SDL_SCANCODE_LALT, SDL_SCANCODE_F1})
    EXPECT_FALSE(sdl_key_identity(key, true).extended) << key;
}

TEST(SdlKeys, ModifiersAreGenericAndKeypadFollowsNumLock) {
  EXPECT_EQ(sdl_key_identity(SDL_SCANCODE_LSHIFT, false).virtual_key, 0x10);
  EXPECT_EQ(sdl_key_identity(SDL_SCANCODE_RSHIFT, false).virtual_key, 0x10);
  EXPECT_EQ(sdl_key_identity(SDL_SCANCODE_RSHIFT, false).scancode, 0x36);
  EXPECT_EQ(sdl_key_identity(SDL_SCANCODE_KP_6, true).virtual_key, 0x66);
  KeyIdentity right = sdl_key_identity(SDL_SCANCODE_KP_6, false);
  EXPECT_EQ(right.virtual_key, 0x27);
  EXPECT_EQ(right.scancode, 0x4D);
  EXPECT_FALSE(right.extended);
  EXPECT_EQ(sdl_key_identity(SDL_SCANCODE_F10, false).scancode, 0x44);
  EXPECT_EQ(sdl_key_identity(SDL_SCANCODE_F11, false).scancode, 0x57);
  EXPECT_EQ(sdl_key_identity(SDL_SCANCODE_VOLUMEUP, false).virtual_key, 0);
}

TEST(SdlKeys, StateSetsGenericAndSidedModifiers) {
  uint8_t down[SDL_NUM_SCANCODES] = {};
  down[SDL_SCANCODE_RSHIFT] = 1;
  down[SDL_SCANCODE_A] = 1;
  uint8_t keys[256];
  sdl_virtual_key_state(down, SDL_NUM_SCANCODES, true, keys);
  EXPECT_EQ(keys[0x10], 0x80);
  EXPECT_EQ(keys[0xA1], 0x80);
  EXPECT_EQ(keys[0xA0], 0);
  EXPECT_EQ(keys[0x41], 0x80);
  EXPECT_EQ(keys[0x11], 0);
  // A shorter table than the scancode range is read only as far as it goes.
  sdl_virtual_key_state(down, SDL_SCANCODE_A + 1, true, keys);
  EXPECT_EQ(keys[0x41], 0x80);
  EXPECT_EQ(keys[0x10], 0);
}

TEST(SdlKeys, ModifierWordReplacesTheModifierEntries) {
  uint8_t keys[256] = {};
  keys[0x10] = keys[0xA0] = 0x80;  // the table still shows left Shift down
  keys[0x41] = 0x80;
  sdl_apply_modifiers(KMOD_RCTRL | KMOD_CAPS, keys);
  EXPECT_EQ(keys[0x10], 0);
  EXPECT_EQ(keys[0xA0], 0);
  EXPECT_EQ(keys[0x11], 0x80);
  EXPECT_EQ(keys[0xA3], 0x80);
  EXPECT_EQ(keys[0xA2], 0);
  EXPECT_EQ(keys[0x12], 0);
  EXPECT_EQ(keys[0x14], 1);     // Caps Lock toggled on
  EXPECT_EQ(keys[0x41], 0x80);  // other keys as they were
  sdl_apply_modifiers(KMOD_LALT, keys);
  EXPECT_EQ(keys[0x11], 0);
  EXPECT_EQ(keys[0x12], 0x80);
  EXPECT_EQ(keys[0xA4], 0x80);
  EXPECT_EQ(keys[0x14], 0);
}

TEST(Cp437, MapsAsciiAndTheUpperHalf) {
  EXPECT_EQ(cp437_from_unicode('a'), 'a');
  EXPECT_EQ(cp437_from_unicode('~'), '~');
  EXPECT_EQ(cp437_from_unicode(0x00C7), 0x80);  // Ç
  EXPECT_EQ(cp437_from_unicode(0x00E9), 0x82);  // é
  EXPECT_EQ(cp437_from_unicode(0x2500), 0xC4);  // box drawing horizontal
  EXPECT_EQ(cp437_from_unicode(0x00DF), 0xE1);  // ß
  EXPECT_EQ(cp437_from_unicode(0x00A0), 0xFF);  // no-break space
  EXPECT_EQ(cp437_from_unicode(0x20AC), -1);    // euro sign: none
  EXPECT_EQ(cp437_from_unicode('\r'), -1);      // keys, not text
  EXPECT_EQ(cp437_from_unicode(127), -1);
}

TEST(Cp437, DecodesUtf8AndStepsOverBrokenSequences) {
  const char text[] = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  uint32_t cp = 0;
  const char* p = text;
  int n = utf8_next(p, &cp);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(cp, 'a');
  n = utf8_next(p += n, &cp);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(cp, 0xE9u);
  n = utf8_next(p += n, &cp);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(cp, 0x20ACu);
  n = utf8_next(p += n, &cp);
  EXPECT_EQ(n, 4);
  EXPECT_EQ(cp, 0x1F600u);
  EXPECT_EQ(utf8_next(p + n, &cp), 0);
  // A lead byte cut short by the end of the text never reads past it.
  EXPECT_EQ(utf8_next("\xE2\x82", &cp), 2);
  EXPECT_EQ(cp, 0xFFFDu);
  EXPECT_EQ(utf8_next("\xFF" "a", &cp), 1);
  EXPECT_EQ(cp, 0xFFFDu);
}
