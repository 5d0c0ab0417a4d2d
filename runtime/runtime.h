// Everything the runtime offers a program.
#pragma once
#include "runtime/rt_console.h"
#include "runtime/rt_core.h"
#include "runtime/rt_file.h"
#include "runtime/rt_hooks.h"
#include "runtime/rt_string.h"
