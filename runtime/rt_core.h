// Program start and end, the last error number and the clock.
#pragma once
#include <cstdint>

// rt_init, rt_end, rt_get_error, rt_set_error and rt_timer: declared in the
// public header.
#include "zentravolk/runtime.h"

// A failure at its site: stores the error number and the reason
// rt_error_detail() gives, formatted as printf does (cut to
// kErrorDetailSize - 1 bytes). Returns error, so a failing call can end with
// `return rt_fail(ZQ_ERR_ILLEGAL_CALL, "depth %d not supported", depth);`.
constexpr int kErrorDetailSize = 256;
int rt_fail(int error, const char* format, ...) __attribute__((format(printf, 2, 3)));
// The reason alone, for a call whose number the caller keeps as it is.
void rt_set_error_detail(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The end of a public call whose failure was stored where it was found, by
// rt_fail in a helper: stores ZQ_OK on success, and on failure keeps the
// number and reason the helper stored (a number the helper did not store is
// stored bare). Returns result.
int rt_report(int result);

struct RuntimeContext {
  int last_error;
};

// Runs once per process before the program's code (a second call does
// nothing): clears the runtime's globals, sets round-to-nearest and
// registers the shutdown that closes every open numbered file at exit.
void rt_startup();

// The argument count and vector rt_init stored, kept for a program that asks;
// the library itself reads only the compatibility level.
int rt_argc();
char** rt_argv();
int rt_compat_level();

// The clock source behind rt_timer, replaceable so the tick-count mode can be
// exercised: frequency() returns 0 when there is no high-resolution counter.
struct RtClockSource {
  int64_t (*frequency)();
  int64_t (*counter)();
  uint32_t (*tick_count)();  // milliseconds, wraps at 2^32
};
void rt_set_clock_source(const RtClockSource* source);  // null = the real clock; resets the mode
