// Where an image file's bytes come from: an open file or a block of memory,
// read through one small interface so every format's reader serves both.
// The source also carries a name for the reasons a failure gives: the file
// name as the program wrote it, or "data in memory".
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

class ByteSource {
 public:
  // A file opened for reading; name is the name to report (not copied: it
  // must outlive the source).
  ByteSource(std::FILE* file, const char* name) : file_(file), name_(name) {}
  // size bytes at data (null only when size is 0).
  ByteSource(const void* data, size_t size)
      : data_(static_cast<const uint8_t*>(data)), size_(size), name_(kMemoryName) {}

  // Up to count bytes; fewer only at the end of the data (or on a read
  // error of the file, which ended() tells apart).
  size_t read(void* dest, size_t count);
  // The next byte, or -1 at the end.
  int get();
  // Moves to a position from the start; a position past the end is allowed
  // and leaves nothing to read. False when the file cannot seek.
  bool seek(uint64_t position);
  bool skip(uint64_t count) { return seek(tell() + count); }
  uint64_t tell() const;
  // The total length, or -1 when a file cannot tell.
  int64_t length() const;
  // A read has met the end of the data (as the file's end-of-file indicator).
  bool ended() const;

  const char* name() const { return name_; }
  // The open file, or null for memory; the memory block, or null for a file.
  std::FILE* file() const { return file_; }
  const uint8_t* data() const { return data_; }

  // Records error and the reason "<name>: <reason>"; returns error.
  int fail(int error, const char* format, ...) const __attribute__((format(printf, 3, 4)));

  static constexpr const char* kMemoryName = "data in memory";

 private:
  std::FILE* file_ = nullptr;
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t position_ = 0;  // memory only; may pass size_
  bool ended_ = false;   // memory only
  const char* name_;
};
