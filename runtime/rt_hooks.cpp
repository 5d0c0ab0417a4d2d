// The hook table the graphics library fills while its screen is open.
#include "runtime/rt_hooks.h"

FileOpenHook rt_file_open_hook;
RuntimeHooks rt_hooks;

void rt_hooks_clear() { rt_hooks = RuntimeHooks{}; }
