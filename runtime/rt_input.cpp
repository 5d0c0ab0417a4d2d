// Line input: the line editor, the sized assignment and the input entries.
#include "runtime/rt_input.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/rt_console.h"
#include "runtime/rt_core.h"
#include "runtime/rt_file.h"
#include "runtime/rt_hooks.h"
#include "runtime/rt_internal.h"
#include "runtime/rt_string.h"

namespace {

constexpr uint8_t kEnter = 13;

// Standard input, one line: a trailing CR LF or LF is dropped, characters
// past the limit are read and thrown away so the next input starts afresh.
char* read_standard_input(char* line, int* length) {
  int used = 0;
  for (;;) {
    const int c = std::getchar();
    if (c == EOF || c == '\n') break;
    if (used < kLineInputLimit) line[used++] = char(c);
  }
  if (used > 0 && line[used - 1] == '\r') --used;
  line[used] = '\0';
  *length = used;
  return line;
}

void print_text(const char* text) { rt_print(0, rt_str_temp(text, int(std::strlen(text))), 0); }

// Prompt, "? " and the line itself: the part both input entries share.
char* prompt_and_read(int question_mark, int* length) {
  if (question_mark) print_text("? ");
  return rt_line_edit(length);
}

}  // namespace

char* rt_line_edit(int* length) {
  *length = 0;
  // The reader keeps at most size - 1 codes (the limit's characters, with
  // the Enter when there is room) and a zero; one byte more makes sure the
  // text ends even if a reader forgets to end it.
  const int size = kLineInputLimit + 1;
  auto* line = static_cast<char*>(std::malloc(size_t(size) + 1));
  if (!line) return nullptr;
  if (!rt_hooks.read_line) return read_standard_input(line, length);
  if (!rt_hooks.read_line(line, size)) {
    std::free(line);
    return nullptr;
  }
  line[size] = '\0';
  int used = int(std::strlen(line));
  if (used > 0 && uint8_t(line[used - 1]) == kEnter) line[--used] = '\0';
  *length = used;
  return line;
}

int rt_str_assign_sized(void* destination, int size, const char* chars, int length, int fill) {
  if (!destination) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no place for the text");
  if (size <= 0 && size != -1) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "place of %d bytes for the text", size);
  if (length < 0 || (length > 0 && !chars)) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no text of %d bytes", length);
  if (size == -1) {
    auto* s = static_cast<StringValue*>(destination);
    if (s == rt_str_empty()) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "the shared empty string cannot be written");
    if (!rt_str_store(s, chars, length, nullptr, 0))
      return rt_fail(ZQ_ERR_OUT_OF_MEMORY, "no memory for a string of %d bytes", length);
    return ZQ_OK;
  }
  auto* array = static_cast<char*>(destination);
  const int kept = length < size - 1 ? length : size - 1;
  if (kept > 0) std::memmove(array, chars, size_t(kept));
  if (fill) {
    std::memset(array + kept, 0, size_t(size - kept));
  } else {
    array[kept] = '\0';
  }
  return ZQ_OK;
}

int rt_console_input(StringValue* prompt, void* destination, int destination_size, int assign_flag,
                     int question_mark, int line_end) {
  if (prompt) rt_print(0, prompt, 0);
  int length = 0;
  char* line = prompt_and_read(question_mark, &length);
  if (!line) return rt_fail(ZQ_ERR_OUT_OF_MEMORY, "no memory for the line typed");
  if (line_end) rt_print(0, nullptr, 1);
  const int result = rt_str_assign_sized(destination, destination_size, line, length, assign_flag);
  std::free(line);
  return rt_report(result);
}

int rt_console_input_wide(const uint16_t* prompt, uint16_t* destination, int destination_size,
                          int question_mark, int line_end) {
  if (prompt) {
    int count = 0;
    while (prompt[count] != 0 && count < INT32_MAX) ++count;
    rt_write_wide(prompt, count, 0);
  }
  int length = 0;
  char* line = prompt_and_read(question_mark, &length);
  if (!line) return rt_fail(ZQ_ERR_OUT_OF_MEMORY, "no memory for the line typed");
  if (line_end) rt_print(0, nullptr, 1);
  int result = ZQ_ERR_ILLEGAL_CALL;
  if (destination && destination_size > 0) {
    const int kept = length < destination_size - 1 ? length : destination_size - 1;
    for (int i = 0; i < kept; ++i) destination[i] = uint8_t(line[i]);
    destination[kept] = 0;
    result = ZQ_OK;
  }
  std::free(line);
  if (result != ZQ_OK) return rt_fail(result, "no place for the line typed");
  return rt_set_error(ZQ_OK);
}

int rt_input(StringValue* prompt, void* destination, int destination_size, int assign_flag,
             int question_mark, int line_end) {
  if (rt_hooks.input) {
    return rt_report(rt_hooks.input(prompt, destination, destination_size, assign_flag, question_mark, line_end));
  }
  return rt_console_input(prompt, destination, destination_size, assign_flag, question_mark, line_end);
}

int rt_input_wide(const uint16_t* prompt, uint16_t* destination, int destination_size, int question_mark,
                  int line_end) {
  if (rt_hooks.input_wide) {
    return rt_report(rt_hooks.input_wide(prompt, destination, destination_size, question_mark, line_end));
  }
  return rt_console_input_wide(prompt, destination, destination_size, question_mark, line_end);
}
