// Unicode characters as code page 437 bytes.
#pragma once
#include <cstdint>

// The code page 437 byte of a character, or -1 when it has none. Control
// characters (below 32 and 127) have no byte here: they are keys, not text.
int cp437_from_unicode(uint32_t code_point);

// The same, and for the pictures the code page shows at codes 1-31 and 127
// (smileys, card suits, arrows, the house) those codes: for drawing text
// rather than typing it.
int cp437_glyph_from_unicode(uint32_t code_point);

// The character the code page shows at code (0-255), or 0 for code 0 and
// codes outside the page.
uint32_t cp437_to_unicode(int code);

// Decodes one UTF-8 sequence at text; returns its length (0 at the end of the
// text) and stores the code point, or 0xFFFD for a malformed sequence
// (a lead byte without its continuation bytes, or a longer form than needed).
int utf8_next(const char* text, uint32_t* code_point);
