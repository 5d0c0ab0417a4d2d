/**
 * @file zentravolk/scancodes.h
 * @brief A name for every key: the PC keyboard set-1 scancodes that
 *        gfx_multikey(), rt_multikey() and key events use.
 */
#ifndef ZENTRAVOLK_SCANCODES_H
#define ZENTRAVOLK_SCANCODES_H

/** @defgroup zq_scancodes Scancodes
 *  @brief ZQ_SC_... for every key the display drivers report.
 *
 * The names come from one list, ZQ_SCANCODE_LIST(), so a program can also
 * walk it (to print the keys held, for example):
 * @code
 * #define SHOW_HELD(name, code) if (gfx_multikey(code)) printf("%s ", #name);
 * ZQ_SCANCODE_LIST(SHOW_HELD)
 * @endcode
 * Both Shift keys are reported as ZQ_SC_LSHIFT in key events (the key
 * state has both). The keypad's digit and point keys share the scancodes of
 * the navigation keys they double as (keypad 8 is ZQ_SC_UP); its minus
 * and divide keys those of ZQ_SC_MINUS and ZQ_SC_SLASH; keypad Enter is
 * ZQ_SC_ENTER with ::ZQ_MOD_EXTENDED in the event's modifiers.
 *  @{
 */

/** Calls ENTRY(name, scancode) for every named key, in scancode order. */
#define ZQ_SCANCODE_LIST(ENTRY)                                                                           \
  ENTRY(ESCAPE, 0x01) ENTRY(1, 0x02) ENTRY(2, 0x03) ENTRY(3, 0x04) ENTRY(4, 0x05) ENTRY(5, 0x06)          \
  ENTRY(6, 0x07) ENTRY(7, 0x08) ENTRY(8, 0x09) ENTRY(9, 0x0A) ENTRY(0, 0x0B) ENTRY(MINUS, 0x0C)           \
  ENTRY(EQUALS, 0x0D) ENTRY(BACKSPACE, 0x0E) ENTRY(TAB, 0x0F) ENTRY(Q, 0x10) ENTRY(W, 0x11)               \
  ENTRY(E, 0x12) ENTRY(R, 0x13) ENTRY(T, 0x14) ENTRY(Y, 0x15) ENTRY(U, 0x16) ENTRY(I, 0x17)               \
  ENTRY(O, 0x18) ENTRY(P, 0x19) ENTRY(LEFTBRACKET, 0x1A) ENTRY(RIGHTBRACKET, 0x1B) ENTRY(ENTER, 0x1C)     \
  ENTRY(CONTROL, 0x1D) ENTRY(A, 0x1E) ENTRY(S, 0x1F) ENTRY(D, 0x20) ENTRY(F, 0x21) ENTRY(G, 0x22)         \
  ENTRY(H, 0x23) ENTRY(J, 0x24) ENTRY(K, 0x25) ENTRY(L, 0x26) ENTRY(SEMICOLON, 0x27) ENTRY(QUOTE, 0x28)   \
  ENTRY(BACKQUOTE, 0x29) ENTRY(LSHIFT, 0x2A) ENTRY(BACKSLASH, 0x2B) ENTRY(Z, 0x2C) ENTRY(X, 0x2D)         \
  ENTRY(C, 0x2E) ENTRY(V, 0x2F) ENTRY(B, 0x30) ENTRY(N, 0x31) ENTRY(M, 0x32) ENTRY(COMMA, 0x33)           \
  ENTRY(PERIOD, 0x34) ENTRY(SLASH, 0x35) ENTRY(RSHIFT, 0x36) ENTRY(MULTIPLY, 0x37) ENTRY(ALT, 0x38)       \
  ENTRY(SPACE, 0x39) ENTRY(CAPSLOCK, 0x3A) ENTRY(F1, 0x3B) ENTRY(F2, 0x3C) ENTRY(F3, 0x3D)                \
  ENTRY(F4, 0x3E) ENTRY(F5, 0x3F) ENTRY(F6, 0x40) ENTRY(F7, 0x41) ENTRY(F8, 0x42) ENTRY(F9, 0x43)         \
  ENTRY(F10, 0x44) ENTRY(NUMLOCK, 0x45) ENTRY(SCROLLLOCK, 0x46) ENTRY(HOME, 0x47) ENTRY(UP, 0x48)         \
  ENTRY(PAGEUP, 0x49) ENTRY(LEFT, 0x4B) ENTRY(RIGHT, 0x4D) ENTRY(PLUS, 0x4E) ENTRY(END, 0x4F)             \
  ENTRY(DOWN, 0x50) ENTRY(PAGEDOWN, 0x51) ENTRY(INSERT, 0x52) ENTRY(DELETE, 0x53) ENTRY(F11, 0x57)        \
  ENTRY(F12, 0x58) ENTRY(LWIN, 0x7D) ENTRY(RWIN, 0x7E) ENTRY(MENU, 0x7F)

/** @cond internal */
#define ZQ_SCANCODE_ENUMERATOR(name, code) ZQ_SC_##name = (code),
/** @endcond */

/** The scancodes: ZQ_SC_ plus the name in ZQ_SCANCODE_LIST() (digits are
 *  ZQ_SC_0 to ZQ_SC_9; ZQ_SC_PLUS and ZQ_SC_MULTIPLY are the keypad's). */
enum ZqScancode { ZQ_SCANCODE_LIST(ZQ_SCANCODE_ENUMERATOR) };

/** @} */

#endif /* ZENTRAVOLK_SCANCODES_H */
