// The console demo's logic, shared by the program and its test: a text
// console on the graphics screen that switches to the 8 x 16 font, prints,
// tabs, wraps, scrolls and reads a line.
#pragma once
#include <cstring>
#include <string>

#include "gfx/console/console.h"
#include "runtime/rt_input.h"
#include "runtime/runtime.h"

namespace console_demo {

constexpr int kColumns = 80;
constexpr int kRows = 30;
constexpr int kNumberedLines = 32;

inline StringValue* text(const char* chars) { return rt_str_temp(chars, int(std::strlen(chars))); }

// Prints a line and ends it.
inline void say(const char* chars) { rt_print(0, text(chars), 1); }

// One row of the console as text, trailing blanks dropped.
inline std::string screen_row(int row) {
  std::string line;
  for (int column = 1; column <= kColumns; ++column) line += char(gfx_console_read_cell(column, row, 0));
  return line.erase(line.find_last_not_of(' ') + 1);
}

// Runs on an open 640 x 480 screen; returns the name typed at the prompt.
inline std::string run() {
  rt_width(kColumns, kRows);  // 8 x 16 cells; clears the screen
  say("Console demo");
  for (int n = 1; n <= kNumberedLines; ++n) {  // more lines than rows: the console scrolls
    rt_print(0, text("Line"), 2);  // the number goes to the next print zone
    rt_print(0, rt_int_to_str(n), 1);
  }
  say("Tab\tstops\tevery\teight\tcolumns");
  say("This line is longer than the eighty columns of the console, so it wraps onto the next row "
      "by itself.");
  StringValue name{};
  rt_input(text("Your name"), &name, -1, 0, 1, 1);
  std::string typed(rt_str_chars(&name), size_t(rt_str_len(&name)));
  rt_print(0, rt_str_concat(nullptr, "Hello, ", 0, &name, -1), 0);
  say("!");
  rt_str_delete(&name);
  return typed;
}

}  // namespace console_demo
