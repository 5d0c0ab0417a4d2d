#include "gfx/screen/builtin_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Packs data the way tools/make_builtin_data does, so the decoder can be fed
// streams of any shape.
Bytes pack(const Bytes& data) {
  std::vector<uint16_t> child(4096 * 256);  // (code, next byte) -> longer code, 0 = none
  std::vector<unsigned> codes;
  unsigned next = 256;
  int current = -1;
  for (uint8_t value : data) {
    if (current < 0) {
      current = value;
    } else if (const unsigned found = child[current * 256 + value]) {
      current = static_cast<int>(found);
    } else {
      codes.push_back(static_cast<unsigned>(current));
      if (next < 4095) child[current * 256 + value] = static_cast<uint16_t>(next++);
      current = value;
    }
  }
  if (current >= 0) codes.push_back(static_cast<unsigned>(current));
  codes.push_back(4095);
  if (codes.size() % 2) codes.push_back(4095);
  Bytes out;
  for (size_t i = 0; i < codes.size(); i += 2) {
    out.push_back(codes[i] & 0xFF);
    out.push_back(static_cast<uint8_t>(codes[i] >> 8 | (codes[i + 1] & 0x0F) << 4));
    out.push_back(static_cast<uint8_t>(codes[i + 1] >> 4));
  }
  return out;
}

// Decodes from and into buffers of exactly the given sizes, so that any read
// or write past them is caught by the address sanitizer.
int unpack(const Bytes& in, size_t capacity, Bytes* out = nullptr) {
  const auto input = std::make_unique<uint8_t[]>(in.size());
  std::copy(in.begin(), in.end(), input.get());
  const auto output = std::make_unique<uint8_t[]>(capacity);
  size_t written = 0;
  const int result = lzw_unpack(input.get(), in.size(), output.get(), capacity, &written);
  EXPECT_LE(written, capacity);
  if (out) out->assign(output.get(), output.get() + written);
  return result;
}

uint32_t crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

Bytes rgb(const PaletteDescriptor& p, int index) {
  return {p.rgb + index * 3, p.rgb + index * 3 + 3};
}

TEST(BuiltinData, CommittedBlockUnpacksToTheGeneratedBytes) {
  Bytes out;
  ASSERT_EQ(unpack({builtin_data_packed, builtin_data_packed + builtin_data_packed_size}, kBuiltinDataSize, &out), 0);
  ASSERT_EQ(out.size(), size_t{kBuiltinDataSize});
  EXPECT_EQ(crc32(out.data(), out.size()), builtin_data_crc32);
  // The shared copy is the same, and asking twice unpacks once.
  const uint8_t* block = builtin_data();
  builtin_data_unpack();
  EXPECT_EQ(Bytes(block, block + kBuiltinDataSize), out);
}

TEST(BuiltinData, FontsAreCodePage437WithBitZeroLeftmost) {
  builtin_data_unpack();
  const Bytes a(builtin_font_8x8.glyphs + 65 * 8, builtin_font_8x8.glyphs + 66 * 8);
  EXPECT_EQ(a, (Bytes{0x0C, 0x1E, 0x33, 0x33, 0x3F, 0x33, 0x33, 0x00}));
  for (const FontDescriptor* font : {&builtin_font_8x8, &builtin_font_8x14, &builtin_font_8x16}) {
    SCOPED_TRACE(font->height);
    EXPECT_EQ(font->width, 8);
    auto row = [&](int code, int r) { return font->glyphs[code * font->height + r]; };
    for (int r = 0; r < font->height; ++r) {
      EXPECT_EQ(row(0, r), 0);       // blank
      EXPECT_EQ(row(' ', r), 0);
      EXPECT_EQ(row(0xDB, r), 0xFF);  // full block
      EXPECT_EQ(row(0xDD, r), 0x0F);  // left half block
      EXPECT_EQ(row(0xDE, r), 0xF0);  // right half block
    }
    int lit = 0;  // box drawing: one full-width row in the horizontal line
    for (int r = 0; r < font->height; ++r) lit += row(0xC4, r) == 0xFF;
    EXPECT_GE(lit, 1);
    for (int code : {1, 3, 0x7F, 0x80, 0xE0, 0xE1, 0xEC, 0xFB}) {  // drawn, not left empty
      bool any = false;
      for (int r = 0; r < font->height; ++r) any |= row(code, r) != 0;
      EXPECT_TRUE(any) << code;
    }
  }
  EXPECT_EQ(builtin_font_8x14.glyphs, builtin_data() + kFont8x14Offset);
  EXPECT_EQ(builtin_font_8x16.glyphs, builtin_data() + kFont8x16Offset);
}

// Each built-in font is its glyph file from the tool's fonts/ folder with
// every row mirrored (the files keep bit 7 leftmost).
TEST(BuiltinData, FontsAreTheVgaGlyphFilesMirrored) {
  const char* source = std::getenv("ZQ_SOURCE_DIR");
  if (!source) GTEST_SKIP() << "ZQ_SOURCE_DIR not set";
  builtin_data_unpack();
  for (const FontDescriptor* font : {&builtin_font_8x8, &builtin_font_8x14, &builtin_font_8x16}) {
    const std::string path = std::string(source) + "/tools/make_builtin_data/fonts/cp437-8x" +
                             std::to_string(font->height) + ".bin";
    std::ifstream file(path, std::ios::binary);
    const Bytes rows{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    ASSERT_EQ(rows.size(), size_t(256 * font->height)) << path;
    for (size_t i = 0; i < rows.size(); ++i) {
      uint8_t mirrored = 0;
      for (int bit = 0; bit < 8; ++bit) mirrored |= uint8_t(((rows[i] >> bit) & 1) << (7 - bit));
      ASSERT_EQ(font->glyphs[i], mirrored) << path << " byte " << i;
    }
  }
}

TEST(BuiltinData, Palettes) {
  builtin_data_unpack();
  EXPECT_EQ(builtin_palette_2.count, 2);
  EXPECT_EQ(rgb(builtin_palette_2, 0), (Bytes{0, 0, 0}));
  EXPECT_EQ(rgb(builtin_palette_2, 1), (Bytes{255, 255, 255}));

  ASSERT_EQ(builtin_palette_16.count, 16);
  EXPECT_EQ(rgb(builtin_palette_16, 1), (Bytes{0, 0, 170}));
  EXPECT_EQ(rgb(builtin_palette_16, 6), (Bytes{170, 85, 0}));
  EXPECT_EQ(rgb(builtin_palette_16, 8), (Bytes{85, 85, 85}));
  EXPECT_EQ(rgb(builtin_palette_16, 14), (Bytes{255, 255, 85}));

  ASSERT_EQ(builtin_palette_64.count, 64);
  for (int i = 0; i < 64; ++i) {
    const auto level = [&](int strong, int weak) { return uint8_t((i >> strong & 1) * 170 + (i >> weak & 1) * 85); };
    EXPECT_EQ(rgb(builtin_palette_64, i), (Bytes{level(2, 5), level(1, 4), level(0, 3)})) << i;
  }

  ASSERT_EQ(builtin_palette_256.count, 256);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(rgb(builtin_palette_256, i), rgb(builtin_palette_16, i)) << i;
  EXPECT_EQ(rgb(builtin_palette_256, 15), (Bytes{255, 255, 255}));
  EXPECT_EQ(rgb(builtin_palette_256, 16), (Bytes{0, 0, 0}));
  EXPECT_EQ(rgb(builtin_palette_256, 24), (Bytes{113, 113, 113}));  // grey 28
  EXPECT_EQ(rgb(builtin_palette_256, 32), (Bytes{0, 0, 255}));      // hue circle starts at blue
  EXPECT_EQ(rgb(builtin_palette_256, 40), (Bytes{255, 0, 0}));
  EXPECT_EQ(rgb(builtin_palette_256, 48), (Bytes{0, 255, 0}));
  EXPECT_EQ(rgb(builtin_palette_256, 104), (Bytes{0, 0, 113}));     // medium intensity
  EXPECT_EQ(rgb(builtin_palette_256, 247), (Bytes{44, 48, 64}));    // low intensity, low saturation
  for (int i = 248; i < 256; ++i) EXPECT_EQ(rgb(builtin_palette_256, i), (Bytes{0, 0, 0})) << i;
  for (int i = 0; i < 768; ++i) {  // every component is a widened 6-bit value
    const int c = builtin_palette_256.rgb[i];
    EXPECT_EQ(c, (c * 63 / 255 + (c * 63 % 255 != 0)) * 255 / 63) << i;
  }
}

TEST(LzwUnpack, RoundTripsEveryStreamShape) {
  std::mt19937 random(7);
  Bytes noise(20000);
  for (auto& b : noise) b = static_cast<uint8_t>(random());
  Bytes text;
  while (text.size() < 30000) text.push_back("the quick brown fox "[random() % 20]);
  const Bytes cases[] = {
      {},                    // only the end code
      {42},                  // one code, then the end code in the second slot
      {1, 1, 1},             // a code used while it is being defined
      Bytes(3840 * 3841 / 2 + 5000, 0xAA),  // fills the dictionary with one chain 3839 links deep
      noise,                 // dictionary full early, then frozen
      text,
  };
  for (const Bytes& data : cases) {
    Bytes out;
    EXPECT_EQ(unpack(pack(data), data.size(), &out), 0) << data.size();
    EXPECT_EQ(out, data);
  }
}

TEST(LzwUnpack, StopsAtCapacity) {
  const Bytes data(5000, 7);
  const Bytes packed = pack(data);
  for (size_t capacity : {size_t{0}, size_t{1}, size_t{100}, data.size() - 1}) {
    Bytes out;
    EXPECT_EQ(unpack(packed, capacity, &out), -1) << capacity;
    EXPECT_EQ(out, Bytes(data.begin(), data.begin() + out.size()));
  }
  EXPECT_EQ(unpack(packed, data.size() + 1), 0);
}

TEST(LzwUnpack, RejectsTruncatedAndUndefinedCodes) {
  const Bytes good = pack(Bytes(3000, 'x'));
  for (size_t cut = 0; cut + 2 < good.size(); ++cut)  // the end code is in the last three bytes
    EXPECT_EQ(unpack(Bytes(good.begin(), good.begin() + cut), 4000), -1) << cut;

  EXPECT_EQ(unpack({0x00, 0xF1, 0xFF}, 100), -1);                     // first code 256: nothing defined yet
  EXPECT_EQ(unpack({0x41, 0x10, 0x10, 0xFF, 0xFF, 0xFF}, 100), -1);  // 'A', then 257 while 256 is next
  Bytes out;
  EXPECT_EQ(unpack({0x41, 0x00, 0x10, 0xFF, 0xFF, 0xFF}, 100, &out), 0);  // 'A', then 256 = "AA"
  EXPECT_EQ(out, (Bytes{'A', 'A', 'A'}));
}

TEST(LzwUnpack, GarbageNeverEscapesItsBuffers) {
  std::mt19937 random(1234);
  for (int round = 0; round < 3000; ++round) {
    Bytes in(random() % 64 + 1);
    for (auto& b : in) b = static_cast<uint8_t>(random());
    if (round % 2 && in.size() > 1) in[1] &= 0xF0;  // a valid first code, so decoding goes further
    const int result = unpack(in, random() % 300);
    EXPECT_TRUE(result == 0 || result == -1);
  }
}

// The committed block is what the generator makes from the glyph files kept
// beside it. Runs wherever python3 is installed.
TEST(BuiltinData, GeneratorReproducesTheCommittedFile) {
  const char* source = std::getenv("ZQ_SOURCE_DIR");
  if (!source) GTEST_SKIP() << "ZQ_SOURCE_DIR not set";
  if (std::system("python3 --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "python3 not installed";
  const std::string command = std::string("python3 ") + source +
                              "/tools/make_builtin_data/make_builtin_data.py --check > /dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0) << "run tools/make_builtin_data/make_builtin_data.py";
}

}  // namespace
