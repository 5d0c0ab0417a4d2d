// Writing the generator's output: little-endian numbers, 24-bit BMP files
// and the files themselves.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "picture.h"

namespace make_assets {

void put_le16(std::vector<uint8_t>& out, uint32_t v);
void put_le32(std::vector<uint8_t>& out, uint32_t v);

// A 24-bit uncompressed bottom-up BMP with the 40-byte information header.
std::vector<uint8_t> encode_bmp(const Picture& p);

// Writes bytes to path, making its folder first; reports a failure on
// standard error and returns false.
bool write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

}  // namespace make_assets
