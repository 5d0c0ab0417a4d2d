// The reason behind the last error number. Failures may be reported from the
// driver thread as well as the program's, so the text is kept under a lock
// and handed to a reader as its own thread's copy.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "runtime/rt_core.h"

namespace {

std::mutex detail_lock;
char detail[kErrorDetailSize];

void store_detail(const char* format, va_list args) {
  char text[kErrorDetailSize];
  std::vsnprintf(text, sizeof text, format, args);
  std::lock_guard<std::mutex> hold(detail_lock);
  std::memcpy(detail, text, sizeof detail);
}

}  // namespace

void rt_set_error_detail(const char* format, ...) {
  va_list args;
  va_start(args, format);
  store_detail(format, args);
  va_end(args);
}

int rt_fail(int error, const char* format, ...) {
  rt_set_error(error);
  va_list args;
  va_start(args, format);
  store_detail(format, args);
  va_end(args);
  return error;
}

int rt_report(int result) {
  if (result == ZQ_OK || rt_get_error() != result) return rt_set_error(result);
  return result;
}

const char* rt_error_detail() {
  thread_local char copy[kErrorDetailSize];
  std::lock_guard<std::mutex> hold(detail_lock);
  std::memcpy(copy, detail, sizeof copy);
  return copy;
}
