// String values and the pool of temporary results.
#include "runtime/rt_string.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/rt_core.h"
#include "runtime/rt_internal.h"

namespace {

constexpr int64_t kMaxStringLength = 0x7FFFFFFE;  // fits bits 0..30 with room for the zero

StringValue g_pool[kStrPoolSize];
bool g_pool_used[kStrPoolSize];
int g_pool_in_use;
int g_pool_next;  // where the search for a free entry starts

// Handed out when the pool is exhausted; every operation leaves it empty.
StringValue g_empty;

int pool_index(const StringValue* s) {
  if (!s) return -1;
  // Compare addresses as integers: relational comparison of pointers into
  // different objects is not defined.
  const auto address = reinterpret_cast<uintptr_t>(s);
  const auto first = reinterpret_cast<uintptr_t>(&g_pool[0]);
  const auto end = reinterpret_cast<uintptr_t>(&g_pool[kStrPoolSize]);
  if (address < first || address >= end) return -1;
  const uintptr_t offset = address - first;
  if (offset % sizeof(StringValue) != 0) return -1;
  return int(offset / sizeof(StringValue));
}

StringValue* pool_take() {
  for (int n = 0; n < kStrPoolSize; ++n) {
    const int i = (g_pool_next + n) % kStrPoolSize;
    if (!g_pool_used[i]) {
      g_pool_used[i] = true;
      ++g_pool_in_use;
      g_pool_next = (i + 1) % kStrPoolSize;
      g_pool[i] = StringValue{};
      return &g_pool[i];
    }
  }
  return nullptr;
}

// Whether the value's characters belong to it (and may be freed): always for
// variables; for temporaries only when they were allocated for them.
bool owns_chars(const StringValue* s) {
  return pool_index(s) < 0 || (s->length & ZQ_STR_TEMP_CHARS) != 0;
}

}  // namespace

StringValue* rt_str_empty() { return &g_empty; }

bool rt_str_is_temp(const StringValue* s) {
  const int i = pool_index(s);
  return i >= 0 && g_pool_used[i];
}

int rt_str_pool_in_use() { return g_pool_in_use; }

void rt_str_release(StringValue* s) {
  const int i = pool_index(s);
  if (i < 0 || !g_pool_used[i]) return;
  if (s->length & ZQ_STR_TEMP_CHARS) std::free(s->data);
  *s = StringValue{};
  g_pool_used[i] = false;
  --g_pool_in_use;
}

TextArg rt_str_arg(const void* text, int mark) {
  if (!text) return {"", 0};
  if (mark == ZQ_STR_VALUE) {
    const auto* s = static_cast<const StringValue*>(text);
    return {rt_str_chars(s), rt_str_len(s)};
  }
  const auto* array = static_cast<const char*>(text);
  return {array, int64_t(mark > 0 ? strnlen(array, size_t(mark)) : std::strlen(array))};
}

void rt_str_release_arg(const void* text, int mark) {
  if (mark == ZQ_STR_VALUE) rt_str_release(static_cast<StringValue*>(const_cast<void*>(text)));
}

bool rt_str_store(StringValue* dest, const char* a, int64_t a_length, const char* b,
                  int64_t b_length) {
  if (!dest || dest == &g_empty) return false;
  if (a_length < 0 || b_length < 0) return false;
  const int64_t total = a_length + b_length;
  if (total > kMaxStringLength) return false;
  const bool temp = pool_index(dest) >= 0;
  char* old = owns_chars(dest) ? dest->data : nullptr;
  if (total == 0) {
    std::free(old);
    dest->data = nullptr;
    dest->length = 0;
    dest->size = 0;
    return true;
  }
  // Always a fresh buffer: a or b may lie inside dest's own characters.
  auto* chars = static_cast<char*>(std::malloc(size_t(total) + 1));
  if (!chars) return false;
  if (a_length) std::memcpy(chars, a, size_t(a_length));
  if (b_length) std::memcpy(chars + a_length, b, size_t(b_length));
  chars[total] = '\0';
  std::free(old);
  dest->data = chars;
  dest->length = uint32_t(total) | (temp ? ZQ_STR_TEMP_CHARS : 0u);
  dest->size = uint32_t(total + 1);
  return true;
}

StringValue* rt_str_new_temp(const char* chars, int length) {
  StringValue* s = pool_take();
  if (!s) return &g_empty;
  if (length > 0 && chars && !rt_str_store(s, chars, length, nullptr, 0)) {
    rt_str_release(s);
    return &g_empty;
  }
  return s;
}

StringValue* rt_str_temp(const char* chars, int length) {
  StringValue* s = pool_take();
  if (!s) return &g_empty;
  if (chars && length > 0) {
    // Borrowed: bit 31 stays clear so releasing it never frees the caller's
    // characters; size 0 says nothing was allocated.
    s->data = const_cast<char*>(chars);
    s->length = uint32_t(length);
    s->size = 0;
  }
  return s;
}

StringValue* rt_str_temp_c(const char* chars) {
  if (!chars) return nullptr;
  const size_t length = std::strlen(chars);
  return length <= size_t(INT_MAX) ? rt_str_temp(chars, int(length)) : nullptr;
}

void rt_str_delete(StringValue* s) {
  if (!s || s == &g_empty) return;
  if (pool_index(s) >= 0) {
    // A temporary is consumed: its characters go and it returns to the pool.
    rt_str_release(s);
    return;
  }
  std::free(s->data);
  s->data = nullptr;
  s->length = 0;
  s->size = 0;
}

void rt_str_assign(StringValue* dest, const void* text, int mark) {
  if (mark == ZQ_STR_VALUE && text == dest) return;
  const TextArg t = rt_str_arg(text, mark);
  rt_str_store(dest, t.chars, t.length, nullptr, 0);
  rt_str_release_arg(text, mark);
}

StringValue* rt_int_to_str(int32_t value) {
  // 11 characters at most (" 2147483647", "-2147483648") and the zero.
  char text[12];
  const bool blank = rt_compat_level() == 2 && value >= 0;
  const int length = std::snprintf(text, sizeof text, blank ? " %d" : "%d", int(value));
  return rt_str_new_temp(text, length);
}

StringValue* rt_str_concat(StringValue* dest, const void* a, int a_mark, const void* b,
                           int b_mark) {
  const TextArg first = rt_str_arg(a, a_mark), second = rt_str_arg(b, b_mark);
  // Without a destination the result is a new temporary.
  if (!dest) dest = pool_take();
  if (!dest) {
    dest = &g_empty;
  } else {
    rt_str_store(dest, first.chars, first.length, second.chars, second.length);
  }
  // The destination itself is not released even when it was also an argument.
  if (a != dest) rt_str_release_arg(a, a_mark);
  if (b != dest && b != a) rt_str_release_arg(b, b_mark);
  return dest;
}

StringValue* rt_str_lcase(StringValue* s) {
  const int length = rt_str_len(s);
  StringValue* result;
  if (rt_str_is_temp(s) && (length == 0 || (s->length & ZQ_STR_TEMP_CHARS))) {
    // The argument would be released anyway: lower its own characters.
    result = s;
  } else {
    result = rt_str_new_temp(rt_str_chars(s), length);
    rt_str_release(s);
  }
  if (result->data) {
    for (int i = 0; i < length; ++i) {
      const auto c = static_cast<unsigned char>(result->data[i]);
      if (std::isupper(c)) result->data[i] = static_cast<char>(std::tolower(c));
    }
  }
  return result;
}

int rt_str_compare(const void* a, int a_mark, const void* b, int b_mark) {
  const TextArg first = rt_str_arg(a, a_mark), second = rt_str_arg(b, b_mark);
  const int64_t common = std::min(first.length, second.length);
  int result = 0;
  for (int64_t i = 0; i < common && result == 0; ++i) {
    const auto x = static_cast<unsigned char>(first.chars[i]);
    const auto y = static_cast<unsigned char>(second.chars[i]);
    if (x != y) result = x < y ? -1 : 1;
  }
  if (result == 0 && first.length != second.length) result = first.length < second.length ? -1 : 1;
  rt_str_release_arg(a, a_mark);
  if (b != a) rt_str_release_arg(b, b_mark);
  return result;
}
