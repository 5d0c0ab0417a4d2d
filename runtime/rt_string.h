// String values: counted byte strings with a pool of 256 temporaries.
// StringValue itself, rt_str_len, rt_str_chars and the operations a program
// calls are declared in the public header.
#pragma once
#include <cstdint>

#include "zentravolk/runtime.h"

constexpr int kStrPoolSize = 256;

// The shared empty value handed out when the pool is exhausted.
StringValue* rt_str_empty();
bool rt_str_is_temp(const StringValue* s);
// A borrowed temporary over a C string; null (which the string-taking calls
// refuse) for a null or over-long text.
StringValue* rt_str_temp_c(const char* chars);
