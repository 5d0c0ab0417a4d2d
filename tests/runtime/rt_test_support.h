// Shared pieces of the runtime tests: a scratch folder under /tmp and a
// fixture that leaves the runtime's globals as it found them.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "runtime/runtime.h"

class ScratchDir {
 public:
  ScratchDir() {
    char pattern[] = "/tmp/zq_rt_XXXXXX";
    if (mkdtemp(pattern)) path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_all(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline StringValue* temp_of(const std::string& text) {
  return rt_str_new_temp(text.data(), int(text.size()));
}

inline std::string text_of(const StringValue* s) {
  return std::string(rt_str_chars(s), size_t(rt_str_len(s)));
}

// Every test starts and ends with empty hooks, no open files, the real clock,
// an unset text view and compatibility level 0, and must not leak pool entries.
class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset();
    pool_at_start_ = rt_str_pool_in_use();
  }
  void TearDown() override {
    EXPECT_EQ(rt_str_pool_in_use(), pool_at_start_) << "temporary string values leaked";
    reset();
  }

 private:
  static void reset() {
    rt_init(0, nullptr, 0);
    rt_hooks_clear();
    rt_file_open_hook = nullptr;
    rt_file_close_all();
    rt_set_clock_source(nullptr);
    rt_text_view_unset();
    rt_set_screen_column(0);
    rt_set_error(0);
  }
  int pool_at_start_ = 0;
};
