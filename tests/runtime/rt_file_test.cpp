#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "rt_test_support.h"

namespace {

class RtFile : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    ASSERT_TRUE(dir_.ok());
  }
  static int open(const std::string& path, int mode, int access, int number, int record = 0) {
    return rt_file_open(temp_of(path), mode, access, 0, number, record);
  }
  static std::string get(int number, int64_t position, int count) {
    std::string bytes(size_t(count), '\xAA');
    EXPECT_EQ(rt_file_get(number, position, bytes.data(), count), 0);
    return bytes;
  }
  ScratchDir dir_;
};

TEST_F(RtFile, MissingFileIsCreatedAndReadsAsZeros) {
  const std::string path = dir_.file("new.bin");
  ASSERT_EQ(open(path, ZQ_FILE_BINARY, 0, 1), 0);
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(rt_file_entry(1)->size, 0);
  EXPECT_EQ(rt_file_entry(1)->access, 3);
  rt_set_error(9);
  EXPECT_EQ(get(1, 0, 4), std::string(4, '\0'));
  EXPECT_EQ(rt_get_error(), 0);
}

TEST_F(RtFile, BadNumbersDoubleOpensAndFailedOpens) {
  const std::string path = dir_.file("a.bin");
  write_all(path, "abcd");
  for (int number : {0, 255, -1, 256}) EXPECT_EQ(open(path, ZQ_FILE_BINARY, 0, number), 1) << number;
  ASSERT_EQ(open(path, ZQ_FILE_BINARY, 1, 254), 0);
  FILE* first = rt_file_entry(254)->stream;
  EXPECT_EQ(open(dir_.file("other.bin"), ZQ_FILE_BINARY, 0, 254), 1);
  EXPECT_EQ(rt_file_entry(254)->stream, first);
  EXPECT_FALSE(std::filesystem::exists(dir_.file("other.bin")));

  // A number that is not open (or the screen, which cannot be read) leaves
  // the buffer alone.
  char buffer[2] = {'x', 'x'};
  for (int number : {3, 0, 300}) EXPECT_EQ(rt_file_get(number, 0, buffer, 2), 1);
  EXPECT_EQ(std::string(buffer, 2), "xx");

  // Failures to open leave the entry closed and create nothing.
  EXPECT_EQ(open(dir_.file("missing.bin"), ZQ_FILE_BINARY, 1, 4), 2);
  EXPECT_EQ(open(dir_.file("missing.txt"), ZQ_FILE_INPUT, 0, 4), 2);
  EXPECT_EQ(open(dir_.path(), ZQ_FILE_BINARY, 0, 4), 2);  // a folder is not a file
  EXPECT_EQ(rt_file_entry(4)->ops, nullptr);
  EXPECT_FALSE(std::filesystem::exists(dir_.file("missing.bin")));
}

// The read-only fallback; returns which check failed, 0 when none.
int open_read_only(const std::string& path) {
  if (rt_file_open(temp_of(path), ZQ_FILE_BINARY, 0, 0, 5, 0) != 0) return 1;
  if (rt_file_entry(5)->access != 1 || rt_file_entry(5)->size != 4) return 2;
  if (rt_file_open(temp_of(path), ZQ_FILE_BINARY, 3, 0, 6, 0) != 2) return 3;
  return 0;
}

TEST_F(RtFile, FileThatCanOnlyBeReadOpensForReading) {
  const std::string path = dir_.file("ro.bin");
  write_all(path, "data");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  if (geteuid() != 0) {
    EXPECT_EQ(open_read_only(path), 0);
    return;
  }
  // The superuser may write anything: check as an ordinary user instead.
  ASSERT_EQ(chmod(dir_.path().c_str(), 0755), 0);
  EXPECT_EXIT(
      {
        if (setgid(65534) != 0 || setuid(65534) != 0) std::_Exit(90);
        std::_Exit(open_read_only(path));
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(RtFile, PutBackBytesAreReadBeforeTheFile) {
  const std::string path = dir_.file("p.bin");
  write_all(path, "ABCDEFGH");
  ASSERT_EQ(open(path, ZQ_FILE_BINARY, 0, 9), 0);
  FileEntry* e = rt_file_entry(9);
  e->putback[0] = 'x';
  e->putback[1] = 'y';
  e->putback_count = 2;
  EXPECT_EQ(get(9, 0, 1), "x");
  EXPECT_EQ(get(9, 0, 4), "yABC");
  EXPECT_EQ(get(9, 0, 1), "D");
  e->putback_count = 1;
  EXPECT_EQ(get(9, 2, 2), "BC");  // a get at a position drops them
  EXPECT_EQ(e->putback_count, 0);
}

TEST_F(RtFile, GetsAtPositionsZeroFillPastTheEnd) {
  const std::string path = dir_.file("g.bin");
  write_all(path, "ABCDEFGH");
  ASSERT_EQ(open(path, ZQ_FILE_BINARY, 1, 10), 0);
  EXPECT_EQ(get(10, 3, 2), "CD");
  EXPECT_EQ(get(10, 0, 2), "EF");
  EXPECT_EQ(get(10, 8, 4), std::string("H\0\0\0", 4));
  EXPECT_EQ(get(10, 0, 3), std::string(3, '\0'));
  EXPECT_EQ(get(10, 1, 1), "A");  // the end does not stick
}

TEST_F(RtFile, RandomModeReadsRecordsAndSkipsTheirRest) {
  const std::string path = dir_.file("r.bin");
  write_all(path, "0123456789AB");
  ASSERT_EQ(open(path, ZQ_FILE_RANDOM, 1, 11, 4), 0);
  EXPECT_EQ(get(11, 2, 2), "45");  // record 2 starts at byte 4
  EXPECT_EQ(get(11, 0, 1), "8");   // the rest of record 2 was skipped
  ASSERT_EQ(open(path, ZQ_FILE_RANDOM, 1, 12, 0), 0);
  EXPECT_EQ(rt_file_entry(12)->record_length, 128);
  char byte;
  EXPECT_EQ(rt_file_get(12, INT64_MAX, &byte, 1), 1);  // the offset would overflow
}

TEST_F(RtFile, BackslashAndSlashNamesReachTheSameFile) {
  ASSERT_TRUE(std::filesystem::create_directory(dir_.file("maps")));
  write_all(dir_.file("maps/level.map"), "LEVEL");
  const std::string backslash = dir_.path() + "\\maps\\level.map";
  ASSERT_EQ(open(backslash, ZQ_FILE_BINARY, 0, 13), 0);
  EXPECT_EQ(get(13, 0, 5), "LEVEL");
  EXPECT_FALSE(std::filesystem::exists(backslash));
}

TEST_F(RtFile, PrintWritesZonesAndLineEnds) {
  const std::string path = dir_.file("out.txt");
  ASSERT_EQ(open(path, ZQ_FILE_OUTPUT, 0, 14), 0);
  EXPECT_EQ(rt_print(14, temp_of("ab"), 2), 0);
  EXPECT_EQ(rt_print(14, temp_of("c"), 1), 0);
  EXPECT_EQ(rt_print(14, temp_of("0123456789abcd"), 2), 0);
  EXPECT_EQ(rt_print(14, temp_of("z"), 3), 0);  // a line end wins over a zone
  ASSERT_EQ(rt_file_close(14), 0);
  EXPECT_EQ(read_all(path), "ab" + std::string(12, ' ') + "c\r\n0123456789abcd" +
                                std::string(14, ' ') + "z\r\n");
  EXPECT_EQ(rt_print(14, temp_of("closed"), 1), 1);
}

TEST_F(RtFile, ReadingAndWritingTheSameFileInTurn) {
  const std::string path = dir_.file("rw.bin");
  write_all(path, "ABCDEF");
  ASSERT_EQ(open(path, ZQ_FILE_BINARY, 0, 15), 0);
  EXPECT_EQ(get(15, 0, 2), "AB");
  EXPECT_EQ(rt_print(15, temp_of("zz"), 0), 0);
  EXPECT_EQ(get(15, 0, 2), "EF");
  ASSERT_EQ(rt_file_close(15), 0);
  EXPECT_EQ(read_all(path), "ABzzEF");
}

}  // namespace
