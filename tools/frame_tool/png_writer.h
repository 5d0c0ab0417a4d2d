// Writes 32-bit XRGB pixel rows as an RGB PNG file.
#pragma once
#include <cstdint>
#include <string>

bool write_png(const std::string& path, const uint8_t* pixels, int width, int height, int pitch);
