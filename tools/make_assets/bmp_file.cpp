// Writing the generator's output: little-endian numbers, 24-bit BMP files
// and the files themselves.
#include "bmp_file.h"

#include <cstdio>
#include <fstream>

namespace make_assets {

void put_le16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void put_le32(std::vector<uint8_t>& out, uint32_t v) {
  put_le16(out, v & 0xFFFF);
  put_le16(out, v >> 16);
}

// 24-bit BMP: 14-byte file header, 40-byte information header, no palette,
// pixel rows bottom-up in blue, green, red order, each padded to 4 bytes.
std::vector<uint8_t> encode_bmp(const Picture& p) {
  const uint32_t row = (static_cast<uint32_t>(p.width()) * 3 + 3) & ~3u;
  const uint32_t data = row * static_cast<uint32_t>(p.height());
  std::vector<uint8_t> out;
  out.reserve(54 + data);
  out.push_back('B');
  out.push_back('M');
  put_le32(out, 54 + data);  // file size
  put_le32(out, 0);          // reserved
  put_le32(out, 54);         // offset of the pixels
  put_le32(out, 40);         // information header size
  put_le32(out, static_cast<uint32_t>(p.width()));
  put_le32(out, static_cast<uint32_t>(p.height()));
  put_le16(out, 1);     // planes
  put_le16(out, 24);    // bits per pixel
  put_le32(out, 0);     // no compression
  put_le32(out, data);  // image size
  put_le32(out, 2835);  // 72 dpi
  put_le32(out, 2835);
  put_le32(out, 0);  // colours used
  put_le32(out, 0);  // important colours
  for (int y = p.height() - 1; y >= 0; --y) {
    const size_t start = out.size();
    for (int x = 0; x < p.width(); ++x) {
      const Rgb c = p.at(x, y);
      out.push_back(static_cast<uint8_t>(c.b));
      out.push_back(static_cast<uint8_t>(c.g));
      out.push_back(static_cast<uint8_t>(c.r));
    }
    while (out.size() - start < row) out.push_back(0);
  }
  return out;
}

bool write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  f.close();
  if (!f) {
    std::fprintf(stderr, "make_assets: cannot write %s\n", path.string().c_str());
    return false;
  }
  return true;
}

}  // namespace make_assets
