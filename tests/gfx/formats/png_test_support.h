// Shared by the PNG tests: PNG files made by ImageMagick from a pattern of
// 16-bit RGBA pixels, ImageMagick's own decoding of any file, and the chunk
// list of a PNG file, to prove what a file holds.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace png_test {

inline bool have_imagemagick() { return std::system("command -v convert >/dev/null 2>&1") == 0; }

struct Rgba16 {
  uint16_t r, g, b, a;
};

// Writes pixels (top row first) as raw 16-bit RGBA and has ImageMagick turn
// them into a PNG file with the given options.
inline bool imagemagick_png(const std::string& path, int width, int height, const std::vector<Rgba16>& pixels,
                            const std::string& options) {
  const std::string raw = path + ".raw";
  {
    std::ofstream out(raw, std::ios::binary);
    for (const Rgba16& p : pixels)
      for (uint16_t v : {p.r, p.g, p.b, p.a}) {
        const char bytes[2] = {char(v >> 8), char(v & 0xFF)};
        out.write(bytes, 2);
      }
  }
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  const int status = std::system(("convert -size " + size + " -depth 16 -endian MSB rgba:" + raw + " " + options +
                                  " " + path + " 2>/dev/null")
                                     .c_str());
  std::remove(raw.c_str());
  return status == 0;
}

// ImageMagick's decoding of a file as 16-bit RGBA pixels, top row first.
inline std::vector<Rgba16> imagemagick_decode(const std::string& path) {
  const std::string raw = path + ".decoded";
  std::vector<Rgba16> pixels;
  if (std::system(("convert " + path + " -depth 16 -endian MSB rgba:" + raw).c_str()) != 0) return pixels;
  std::ifstream in(raw, std::ios::binary);
  for (unsigned char b[8]; in.read(reinterpret_cast<char*>(b), 8);)
    pixels.push_back({uint16_t(b[0] << 8 | b[1]), uint16_t(b[2] << 8 | b[3]), uint16_t(b[4] << 8 | b[5]),
                      uint16_t(b[6] << 8 | b[7])});
  std::remove(raw.c_str());
  return pixels;
}

// 16 bits scaled exactly to 8: round(v x 255 / 65535).
inline uint32_t to8(uint16_t v) { return (uint32_t(v) * 255 + 32767) / 65535; }

// The 0xAARRGGBB colour of a decoded pixel.
inline uint32_t argb(const Rgba16& p) { return to8(p.a) << 24 | to8(p.r) << 16 | to8(p.g) << 8 | to8(p.b); }

struct PngChunks {
  int bit_depth = -1, colour_type = -1, interlace = -1;
  std::vector<std::string> names;
  bool has(const std::string& name) const {
    for (const std::string& n : names)
      if (n == name) return true;
    return false;
  }
};

// The header fields and the chunk names of a PNG file's bytes.
inline PngChunks png_chunks(const std::vector<uint8_t>& f) {
  PngChunks c;
  for (size_t at = 8; at + 12 <= f.size();) {
    const size_t length = size_t(f[at]) << 24 | size_t(f[at + 1]) << 16 | size_t(f[at + 2]) << 8 | f[at + 3];
    const std::string name(f.begin() + long(at + 4), f.begin() + long(at + 8));
    if (name == "IHDR" && at + 8 + 13 <= f.size()) {
      c.bit_depth = f[at + 16];
      c.colour_type = f[at + 17];
      c.interlace = f[at + 20];
    }
    c.names.push_back(name);
    at += 12 + length;
  }
  return c;
}

}  // namespace png_test
