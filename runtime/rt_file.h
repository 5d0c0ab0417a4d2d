// Numbered files: a table of entries 1..254 (and -1), entry 0 for the screen,
// each with its device operations.
#pragma once
#include <cstdint>
#include <cstdio>

// rt_file_open, rt_file_get, rt_file_close and rt_print: declared in the
// public header.
#include "zentravolk/runtime.h"

struct FileEntry;

struct FileOps {
  int (*eof)(FileEntry* e) = nullptr;                                                //  0
  int (*close)(FileEntry* e) = nullptr;                                              //  1
  int (*seek)(FileEntry* e, int64_t offset, int origin) = nullptr;                   //  2
  int (*tell)(FileEntry* e, int64_t* position) = nullptr;                            //  3
  int (*read)(FileEntry* e, void* buffer, int64_t* count) = nullptr;                 //  4
  int (*read_wide)(FileEntry* e, uint16_t* buffer, int64_t* count) = nullptr;        //  5
  int (*write)(FileEntry* e, const void* buffer, int64_t count) = nullptr;           //  6
  int (*write_wide)(FileEntry* e, const uint16_t* buffer, int64_t count) = nullptr;  //  7
  int (*lock)(FileEntry* e, int64_t start, int64_t length) = nullptr;                //  8
  int (*unlock)(FileEntry* e, int64_t start, int64_t length) = nullptr;              //  9
  int (*read_line)(FileEntry* e, StringValue* line) = nullptr;                       // 10
  int (*read_line_wide)(FileEntry* e, StringValue* line) = nullptr;                  // 11
};

struct FileEntry {
  int32_t mode;    // ZQ_FILE_*
  int32_t record_length;
  int64_t size;  // -1 until found
  int32_t access;  // ZQ_ACCESS_*; ZQ_ACCESS_ANY only until the open settles it
  // The lock mode and the encoding word (16-bit characters; always 0) are
  // the record's own data: stored by the open, read by nothing here.
  int32_t lock;
  int32_t encoding;
  int32_t text_column;
  uint8_t putback[4];  // putback[0] is read first
  int32_t putback_count;
  const FileOps* ops;  // null while closed
  FILE* stream;
  char* stream_buffer;
  int32_t last_io;  // 0 none, 1 read, 2 write: a switch goes through a seek
};

constexpr int kFileStreamBuffer = 8192;

// Entry for a file number: 0 the screen, -1 and 1..254 the numbered files,
// null for anything else.
FileEntry* rt_file_entry(int number);

// Closes every open numbered file (the runtime's shutdown).
void rt_file_close_all();

// Turns the program's "\" folder separators into "/".
void rt_file_fix_name(char* name);
