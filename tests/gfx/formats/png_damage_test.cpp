// Damaged PNG data: a small file cut at every length, a bad CRC, a bad
// compressed stream and a huge declared size are refused with 3 and a
// reason, and nothing is written outside the destination (the sanitizer
// build also finds any write outside a block and any leak). An animated
// file gives its first frame.
#include <zlib.h>

#include "tests/gfx/formats/bmp_test_support.h"
#include "zentravolk/shortcuts.h"

namespace {

using namespace bmp_test;

std::vector<uint8_t> seed(const char* name) {
  const char* source = std::getenv("ZQ_SOURCE_DIR");
  std::ifstream in(std::string(source ? source : ".") + "/tests/fuzz/png_corpus/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

uint32_t get32be(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
void put32be(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (24 - 8 * i));
}

struct Chunk {
  size_t at;  // where its length field stands
  std::string name;
  size_t length;
};

std::vector<Chunk> chunks(const std::vector<uint8_t>& f) {
  std::vector<Chunk> list;
  for (size_t at = 8; at + 12 <= f.size(); at += 12 + get32be(&f[at]))
    list.push_back({at, std::string(f.begin() + long(at + 4), f.begin() + long(at + 8)), get32be(&f[at])});
  return list;
}

const Chunk& find(const std::vector<Chunk>& list, const std::string& name) {
  for (const Chunk& c : list)
    if (c.name == name) return c;
  static const Chunk none{0, "", 0};
  return none;
}

// A chunk with its CRC, as a writer makes it.
std::vector<uint8_t> chunk(const std::string& name, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> c(12 + data.size());
  put32be(c.data(), uint32_t(data.size()));
  std::copy(name.begin(), name.end(), c.begin() + 4);
  std::copy(data.begin(), data.end(), c.begin() + 8);
  put32be(c.data() + 8 + data.size(), uint32_t(crc32(0, c.data() + 4, uInt(4 + data.size()))));
  return c;
}

void fix_crc(std::vector<uint8_t>& f, const Chunk& c) {
  put32be(&f[c.at + 8 + c.length], uint32_t(crc32(0, &f[c.at + 4], uInt(4 + c.length))));
}

class PngDamage : public BitmapFixture {
 protected:
  void SetUp() override {
    BitmapFixture::SetUp();
    open_screen(16, 16, 32);
  }

  // Loads bytes into an 8 x 8 image and a block of exactly 8 x 8 pixels,
  // expects the result and a reason, and that nothing outside the file's
  // 5 x 3 corner of the image changed.
  void expect(const std::vector<uint8_t>& bytes, int error) {
    ImageBuffer* dest = image(8, 8, 32, 0);
    ASSERT_EQ(gfx_load_bitmap_mem(bytes.data(), bytes.size(), dest, nullptr), error);
    EXPECT_EQ(rt_get_error(), error);
    if (error) {
      EXPECT_STRNE(rt_error_detail(), "");
    }
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        if (x >= 5 || y >= 3) {
          ASSERT_EQ(image_pixel(dest, x, y), 0xFFFF00FFu) << x << "," << y;
        }
    gfx_image_destroy(dest);
    images_.pop_back();
    auto* block = static_cast<uint8_t*>(std::calloc(4 + 8 * 8 * 4, 1));
    const uint16_t fields[2] = {uint16_t(8 << 3 | 4), 8};
    std::memcpy(block, fields, sizeof fields);
    EXPECT_EQ(gfx_load_bitmap_mem(bytes.data(), bytes.size(), reinterpret_cast<ImageBuffer*>(block), nullptr), error);
    std::free(block);
  }
};

TEST_F(PngDamage, EveryTruncationIsRefused) {
  for (const char* name : {"rgba8.png", "palette4_alpha.png", "rgba8_interlaced.png", "grey16.png"}) {
    const std::vector<uint8_t> file = seed(name);
    ASSERT_GT(file.size(), 50u) << name;
    expect(file, ZQ_OK);
    for (size_t length = 0; length < file.size(); ++length) {
      SCOPED_TRACE(std::string(name) + " cut to " + std::to_string(length));
      expect({file.begin(), file.begin() + long(length)}, ZQ_ERR_FILE_IO);
      EXPECT_EQ(gfx_load_image_mem(file.data(), length), nullptr);
      EXPECT_EQ(rt_get_error(), ZQ_ERR_FILE_IO);
    }
  }
  const std::vector<uint8_t> file = seed("rgba8.png");
  expect({file.begin(), file.begin() + 40}, ZQ_ERR_FILE_IO);
  EXPECT_STREQ(rt_error_detail(), "data in memory: bad PNG data: file ends early");
}

TEST_F(PngDamage, BadChecksumsAndStreamsAreRefused) {
  const std::vector<uint8_t> good = seed("rgba8.png");
  const std::vector<Chunk> list = chunks(good);
  const Chunk& idat = find(list, "IDAT");
  ASSERT_EQ(idat.name, "IDAT");

  std::vector<uint8_t> crc = good;
  crc[idat.at + 8 + idat.length] ^= 0x55;
  expect(crc, ZQ_ERR_FILE_IO);
  EXPECT_STREQ(rt_error_detail(), "data in memory: bad PNG data: IDAT: CRC error");

  const Chunk& ihdr = find(list, "IHDR");
  std::vector<uint8_t> header = good;
  header[ihdr.at + 8 + 13] ^= 1;
  expect(header, ZQ_ERR_FILE_IO);

  // The compressed stream: a bad header, a bad block type, data cut short,
  // each with a correct chunk CRC.
  for (size_t offset : {size_t(0), size_t(2), idat.length / 2}) {
    SCOPED_TRACE(offset);
    std::vector<uint8_t> stream = good;
    stream[idat.at + 8 + offset] ^= 0xFF;
    fix_crc(stream, idat);
    expect(stream, ZQ_ERR_FILE_IO);
  }
}

TEST_F(PngDamage, HugeSizesAreRefusedBeforeAnythingIsAllocated) {
  std::vector<uint8_t> huge = seed("rgba8.png");
  const Chunk ihdr = find(chunks(huge), "IHDR");
  put32be(&huge[ihdr.at + 8], 100000);
  put32be(&huge[ihdr.at + 12], 100000);
  fix_crc(huge, ihdr);
  expect(huge, ZQ_ERR_FILE_IO);
  EXPECT_STREQ(rt_error_detail(), "data in memory: image size 100000 x 100000 too large (at most 256 MiB decoded)");
  EXPECT_EQ(gfx_load_image_mem(huge.data(), huge.size()), nullptr);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_FILE_IO);
  // Within the memory limit, but far more pixels than the data can hold.
  put32be(&huge[ihdr.at + 8], 8000);
  put32be(&huge[ihdr.at + 12], 8000);
  fix_crc(huge, ihdr);
  expect(huge, ZQ_ERR_FILE_IO);
  EXPECT_STREQ(rt_error_detail(),
               "data in memory: image size 8000 x 8000 needs more data than the 86 bytes of the file hold");
}

// An animated file: its still image (the first frame) is what loads; the
// frames after it are passed over.
TEST_F(PngDamage, AnimatedFilesGiveTheirFirstFrame) {
  const std::vector<uint8_t> first = seed("rgb8.png"), second = seed("grey8.png");
  const std::vector<Chunk> a = chunks(first), b = chunks(second);
  const Chunk &ihdr = find(a, "IHDR"), &idat = find(a, "IDAT"), &other = find(b, "IDAT");
  auto be32 = [](uint32_t v) { return std::vector<uint8_t>{uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; };
  auto frame_control = [&](uint32_t sequence) {
    std::vector<uint8_t> d = be32(sequence);
    for (uint32_t v : {5u, 3u, 0u, 0u}) {
      const std::vector<uint8_t> f = be32(v);
      d.insert(d.end(), f.begin(), f.end());
    }
    d.insert(d.end(), {0, 1, 0, 1, 0, 0});  // delay 1/1 s, no disposal, no blending
    return chunk("fcTL", d);
  };
  std::vector<uint8_t> apng(first.begin(), first.begin() + 8);
  auto append = [&](const std::vector<uint8_t>& c) { apng.insert(apng.end(), c.begin(), c.end()); };
  append({first.begin() + long(ihdr.at), first.begin() + long(ihdr.at + 12 + ihdr.length)});
  std::vector<uint8_t> control = be32(2);
  const std::vector<uint8_t> plays = be32(0);
  control.insert(control.end(), plays.begin(), plays.end());
  append(chunk("acTL", control));
  append(frame_control(0));
  append({first.begin() + long(idat.at), first.begin() + long(idat.at + 12 + idat.length)});
  append(frame_control(1));
  std::vector<uint8_t> data = be32(2);
  data.insert(data.end(), second.begin() + long(other.at + 8), second.begin() + long(other.at + 8 + other.length));
  append(chunk("fdAT", data));
  append(chunk("IEND", {}));

  ImageBuffer* still = gfx_load_image_mem(first.data(), first.size());
  ImageBuffer* animated = gfx_load_image_mem(apng.data(), apng.size());
  ASSERT_NE(still, nullptr);
  ASSERT_NE(animated, nullptr) << rt_error_detail();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(image_pixel(animated, x, y), image_pixel(still, x, y)) << x << "," << y;
  gfx_image_destroy(still);
  gfx_image_destroy(animated);
}

}  // namespace
