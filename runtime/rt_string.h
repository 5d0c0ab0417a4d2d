// String values: counted byte strings with a pool of 256 temporaries.
#pragma once
#include <cstdint>

struct StringValue {
  char* data;       // followed by a zero byte; null = the empty string
  uint32_t length;  // bits 0..30 length, bit 31: characters were allocated for a temporary
  uint32_t size;    // bytes allocated
};

constexpr uint32_t kStrTempChars = 0x80000000u;
constexpr int kStrPoolSize = 256;

inline int rt_str_len(const StringValue* s) { return s ? int(s->length & ~kStrTempChars) : 0; }
inline const char* rt_str_chars(const StringValue* s) { return s && s->data ? s->data : ""; }

// The shared empty value handed out when the pool is exhausted.
StringValue* rt_str_empty();
bool rt_str_is_temp(const StringValue* s);
// A new temporary holding a copy of length bytes (null when the pool is exhausted
// is never returned: the shared empty value is returned instead).
StringValue* rt_str_new_temp(const char* chars, int length);
// Returns a temporary to the pool (freeing its characters when they were
// allocated for it); does nothing for other values.
void rt_str_release(StringValue* s);
// Number of pool entries in use (for leak checks).
int rt_str_pool_in_use();

// A temporary that refers to the characters without copying them.
StringValue* rt_str_temp(const char* chars, int length);
// Frees the characters; pointer, length and size become 0.
void rt_str_delete(StringValue* s);
// Copies text (mark -1: a string value, else a zero-terminated array) into dest.
void rt_str_assign(StringValue* dest, const void* text, int mark);

StringValue* rt_int_to_str(int32_t value);
StringValue* rt_str_concat(StringValue* dest, const void* a, int a_mark, const void* b, int b_mark);
StringValue* rt_str_lcase(StringValue* s);
int rt_str_compare(const void* a, int a_mark, const void* b, int b_mark);
