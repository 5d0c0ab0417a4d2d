// UTF-8 text as the code page 437 codes the fonts are indexed by.
#pragma once
#include <string>

// Each character of text as its code page 437 code; '?' for a character the
// code page lacks (control characters included) and for each broken
// sequence. Reads no byte past text's terminator.
std::string gfx_cp437_from_utf8(const char* text);
