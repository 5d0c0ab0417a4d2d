// The two kinds of byte source: stdio calls for a file, a position over a
// block for memory.
#include "gfx/formats/byte_source.h"

#include <sys/types.h>

#include <cstdarg>
#include <cstring>

#include "runtime/rt_core.h"

size_t ByteSource::read(void* dest, size_t count) {
  if (file_) return count ? std::fread(dest, 1, count, file_) : 0;
  size_t left = position_ < size_ ? size_ - position_ : 0;
  size_t got = count < left ? count : left;
  if (got) std::memcpy(dest, data_ + position_, got);
  position_ += got;
  if (got < count) ended_ = true;
  return got;
}

int ByteSource::get() {
  uint8_t byte;
  return read(&byte, 1) == 1 ? byte : -1;
}

bool ByteSource::seek(uint64_t position) {
  if (file_) return position <= uint64_t(INT64_MAX) && fseeko(file_, off_t(position), SEEK_SET) == 0;
  position_ = position > SIZE_MAX ? SIZE_MAX : size_t(position);
  ended_ = false;
  return true;
}

uint64_t ByteSource::tell() const {
  if (!file_) return position_;
  off_t at = ftello(file_);
  return at < 0 ? 0 : uint64_t(at);
}

int64_t ByteSource::length() const {
  if (!file_) return int64_t(size_);
  off_t here = ftello(file_);
  if (here < 0 || fseeko(file_, 0, SEEK_END) != 0) return -1;
  off_t end = ftello(file_);
  return fseeko(file_, here, SEEK_SET) == 0 ? int64_t(end) : -1;
}

bool ByteSource::ended() const { return file_ ? std::feof(file_) != 0 : ended_; }

int ByteSource::fail(int error, const char* format, ...) const {
  char reason[kErrorDetailSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(reason, sizeof reason, format, args);
  va_end(args);
  return rt_fail(error, "%s: %s", name_, reason);
}
