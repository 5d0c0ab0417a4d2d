// A minimal PNG encoder: one IHDR, one IDAT of stored deflate blocks, IEND.
#include "png_writer.h"

#include <algorithm>
#include <cstdio>
#include <vector>

static uint32_t crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
  static uint32_t table[256];
  static bool ready = false;
  if (!ready) {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[i] = c;
    }
    ready = true;
  }
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

static void put_be32(std::vector<uint8_t>& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(v >> s));
}

static void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  put_be32(out, uint32_t(data.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  put_be32(out, crc32(out.data() + start, out.size() - start));
}

bool write_png(const std::string& path, const uint8_t* pixels, int width, int height, int pitch) {
  std::vector<uint8_t> raw;  // filter byte 0, then RGB per pixel
  raw.reserve(size_t(height) * (1 + size_t(width) * 3));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    const uint8_t* row = pixels + size_t(y) * size_t(pitch);
    for (int x = 0; x < width; ++x) {
      raw.push_back(row[4 * x + 2]);
      raw.push_back(row[4 * x + 1]);
      raw.push_back(row[4 * x + 0]);
    }
  }
  std::vector<uint8_t> z = {0x78, 0x01};
  for (size_t pos = 0; pos < raw.size() || pos == 0;) {
    size_t n = std::min(raw.size() - pos, size_t(65535));
    bool last = pos + n >= raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(uint8_t(n));
    z.push_back(uint8_t(n >> 8));
    z.push_back(uint8_t(~n));
    z.push_back(uint8_t(~n >> 8));
    z.insert(z.end(), raw.begin() + long(pos), raw.begin() + long(pos + n));
    pos += n;
    if (last) break;
  }
  uint32_t a = 1, b = 0;
  for (uint8_t v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  put_be32(z, b << 16 | a);

  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  put_be32(header, uint32_t(width));
  put_be32(header, uint32_t(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
  chunk(out, "IHDR", header);
  chunk(out, "IDAT", z);
  chunk(out, "IEND", {});
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && ok;
}
