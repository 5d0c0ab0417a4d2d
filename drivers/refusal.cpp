// The reason of the last driver refusal, shared by the driver threads and
// the program's thread.
#include "drivers/refusal.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "platform/window_system.h"

namespace {

constexpr size_t kRefusalSize = 160;

std::mutex refusal_lock;
char refusal[kRefusalSize];

}  // namespace

void driver_refuse(const char* format, ...) {
  char text[kRefusalSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  std::lock_guard<std::mutex> hold(refusal_lock);
  std::snprintf(refusal, sizeof refusal, "%s", text);
}

std::string driver_refusal() {
  std::lock_guard<std::mutex> hold(refusal_lock);
  return refusal;
}

void driver_clear_refusal() {
  std::lock_guard<std::mutex> hold(refusal_lock);
  refusal[0] = '\0';
}

const char* driver_system_reason() {
  const WindowSystem* ws = window_system();
  const char* text = ws->last_error ? ws->last_error() : nullptr;
  return text && *text ? text : "unknown cause";
}
