// The hook table through which the runtime's console and keyboard services
// reach the graphics library while a graphics screen is open. An empty slot
// means "use the runtime's own console version".
#pragma once
#include <cstdint>

struct StringValue;
struct FileEntry;

struct RuntimeHooks {
  StringValue* (*inkey)();                                          //  0
  int (*wait_key)();                                                //  1
  int (*key_waiting)();                                             //  2
  void (*cls)(int how);                                             //  3
  int (*colour)(int foreground, int background, int omitted);       //  4
  int (*locate)(int row, int column, int cursor);                   //  5
  int (*set_size)(int columns, int rows);                           //  6
  int (*column)();                                                  //  7
  int (*row)();                                                     //  8
  void (*get_cursor)(int* column, int* row);                        //  9
  void (*get_size)(int* columns, int* rows);                        // 10
  void (*write)(const uint8_t* bytes, int count, int flags);        // 11
  void (*write_wide)(const uint16_t* chars, int count, int flags);  // 12
  char* (*read_line)(char* buffer, int size);                       // 13
  int (*multikey)(int scancode);                                    // 14
  int (*get_mouse)(int* x, int* y, int* wheel, int* buttons, int* clip);  // 15
  int (*set_mouse)(int x, int y, int cursor, int clip);             // 16
  int (*port_read)(int port);                                       // 17
  int (*port_write)(int port, int value);                           // 18
  void (*view_changed)(int top, int bottom);                        // 19
  int (*input)(StringValue* prompt, void* destination, int destination_size,
               int assign_flag, int question_mark, int line_end);   // 20
  int (*input_wide)(const uint16_t* prompt, uint16_t* destination, int destination_size,
                    int question_mark, int line_end);               // 21
  int (*read_cell)(int column, int row, int colour_flag);           // 22
  void (*sleep)(int milliseconds);                                  // 23
  int (*reserved)();                                                // 24
  int (*page_copy)(int source, int destination);                    // 25
  int (*set_pages)(int work, int visible);                          // 26
};

constexpr int kRuntimeHookCount = 27;
static_assert(sizeof(RuntimeHooks) == kRuntimeHookCount * sizeof(void*),
              "RuntimeHooks must be exactly the 27 slots");

// Redirects the opening of numbered files; returns 0 when it opened the entry,
// anything else to fall through to the disk. Nothing fills it in this program.
using FileOpenHook = int (*)(FileEntry* entry, const char* name);

// The slot ahead of the table, then the table itself.
extern FileOpenHook rt_file_open_hook;
extern RuntimeHooks rt_hooks;

// Empties all 27 slots (the file-open slot is left alone).
void rt_hooks_clear();
