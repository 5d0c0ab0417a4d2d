// Unicode characters as code page 437 bytes.
#pragma once
#include <cstdint>

// The code page 437 byte of a character, or -1 when it has none. Control
// characters (below 32 and 127) have no byte here: they are keys, not text.
int cp437_from_unicode(uint32_t code_point);

// Decodes one UTF-8 sequence at text; returns its length (0 at the end of the
// text) and stores the code point, or 0xFFFD for a malformed sequence.
int utf8_next(const char* text, uint32_t* code_point);
