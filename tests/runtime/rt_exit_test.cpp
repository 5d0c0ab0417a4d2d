#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "rt_test_support.h"

namespace {

void say(const char* text) {
  const ssize_t written = write(STDERR_FILENO, text, std::strlen(text));
  (void)written;
}

FileOps noting_ops() {
  FileOps ops{};
  ops.close = [](FileEntry*) {
    say("[file closed]");
    return 0;
  };
  return ops;
}
const FileOps kNotingOps = noting_ops();

// Registered after start-up, as the graphics screen's handler is.
void close_screen_at_exit() {
  say(rt_file_entry(3)->ops ? "[screen closed, file open]" : "[screen closed, file gone]");
}

TEST(RtExit, ScreenHandlerRunsBeforeTheFilesClose) {
  EXPECT_EXIT(
      {
        rt_init(0, nullptr, 1);
        rt_startup();  // counted: changes nothing now
        rt_file_open_hook = [](FileEntry* e, const char*) {
          e->ops = &kNotingOps;
          return 0;
        };
        if (rt_file_open(rt_str_temp("level", 5), ZQ_FILE_BINARY, 0, 0, 3, 0) != 0) std::_Exit(2);
        std::atexit(close_screen_at_exit);
        rt_end(7);
      },
      ::testing::ExitedWithCode(7), "\\[screen closed, file open\\]\\[file closed\\]");
}

}  // namespace
