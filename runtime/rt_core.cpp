// Program start and end, the command line and the last error number.
#include "runtime/rt_core.h"

#include <cfenv>
#include <cstdlib>

#include "runtime/rt_file.h"
#include "runtime/rt_hooks.h"
#include "runtime/rt_internal.h"

namespace {

int g_startup_count;
int g_argc;
char** g_argv;
int g_compat_level;
RuntimeContext g_context;

// Closes every numbered file. Registered by the first start-up, before any
// other part of the program can register its own exit handler, so that it
// runs last: the graphics screen (registered at its first opening) is gone
// before the files are closed.
void rt_shutdown() { rt_file_close_all(); }

// Start-up runs before main through this object, so the shutdown is the
// first exit handler of the process.
struct StartupAtLoad {
  StartupAtLoad() { rt_startup(); }
};
const StartupAtLoad g_startup_at_load;

}  // namespace

void rt_core_reset() {
  g_argc = 0;
  g_argv = nullptr;
  g_compat_level = 0;
  g_context = RuntimeContext{};
}

void rt_startup() {
  if (g_startup_count++ != 0) return;
  // The string pool starts empty through static initialisation; everything
  // else is put back explicitly.
  rt_core_reset();
  rt_timer_reset();
  rt_hooks_clear();
  rt_file_open_hook = nullptr;
  rt_file_reset();
  rt_console_reset();
  rt_terminal_reset();
  // Float-to-integer conversions round to nearest, ties to even. (On x86-64
  // double arithmetic runs in SSE registers, so there is no x87 precision
  // word to set.)
  std::fesetround(FE_TONEAREST);
  std::atexit(rt_shutdown);
}

void rt_init(int argc, char** argv, int compat_level) {
  rt_startup();
  g_argc = argc;
  g_argv = argv;
  g_compat_level = compat_level;
}

void rt_end(int status) { std::exit(status); }

int rt_argc() { return g_argc; }
char** rt_argv() { return g_argv; }
int rt_compat_level() { return g_compat_level; }

int rt_set_error(int error) {
  g_context.last_error = error;
  if (error != ZQ_OK) rt_set_error_detail("%s", "");
  return error;
}

int rt_get_error() { return g_context.last_error; }
