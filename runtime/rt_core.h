// Program start and end, the last error number and the clock.
#pragma once
#include <cstdint>

struct RuntimeContext {
  int last_error;
};

// Runs once per process before the program's code (a second call does
// nothing): clears the runtime's globals, sets round-to-nearest and
// registers the shutdown that closes every open numbered file at exit.
void rt_startup();

void rt_init(int argc, char** argv, int compat_level);
[[noreturn]] void rt_end(int status);

int rt_argc();
char** rt_argv();
int rt_compat_level();

RuntimeContext* rt_context();
int rt_set_error(int error);  // stores and returns error
int rt_get_error();

// Seconds from an arbitrary origin on a monotonic clock.
double rt_timer();

// The clock source behind rt_timer, replaceable so the tick-count mode can be
// exercised: frequency() returns 0 when there is no high-resolution counter.
struct RtClockSource {
  int64_t (*frequency)();
  int64_t (*counter)();
  uint32_t (*tick_count)();  // milliseconds, wraps at 2^32
};
void rt_set_clock_source(const RtClockSource* source);  // null = the real clock; resets the mode
