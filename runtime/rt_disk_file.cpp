// The device operations of numbered files kept on disk.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cerrno>
#include <cstring>

#include "runtime/rt_core.h"
#include "runtime/rt_file.h"
#include "runtime/rt_internal.h"
#include "runtime/rt_string.h"

// Every failure is stored where it is found, number and reason (rt_fail);
// the public calls above end with rt_report.
namespace {

constexpr const char* kNotOpen = "file not open";

enum Io { kIoNone = 0, kIoRead = 1, kIoWrite = 2 };

// A stream open for update must be positioned between reading and writing;
// a seek to where it stands does that without moving it.
bool begin_io(FileEntry* e, int io) {
  if (!e || !e->stream) return false;
  if (e->last_io != kIoNone && e->last_io != io) fseeko(e->stream, 0, SEEK_CUR);
  e->last_io = io;
  return true;
}

int disk_eof(FileEntry* e) {
  if (!begin_io(e, kIoRead)) return 1;
  const int c = std::fgetc(e->stream);
  if (c == EOF) {
    std::clearerr(e->stream);
    return 1;
  }
  std::ungetc(c, e->stream);
  return 0;
}

int disk_close(FileEntry* e) {
  if (!e) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s", kNotOpen);
  int result = ZQ_OK;
  if (e->stream && std::fclose(e->stream) != 0)
    result = rt_fail(ZQ_ERR_FILE_IO, "closing failed: %s", std::strerror(errno));
  e->stream = nullptr;
  // The buffer served the stream until fclose; only now may it go.
  std::free(e->stream_buffer);
  e->stream_buffer = nullptr;
  e->last_io = kIoNone;
  return result;
}

int disk_seek(FileEntry* e, int64_t offset, int origin) {
  if (!e || !e->stream) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s", kNotOpen);
  if (fseeko(e->stream, off_t(offset), origin) != 0)
    return rt_fail(ZQ_ERR_FILE_IO, "seek by %lld failed: %s", static_cast<long long>(offset), std::strerror(errno));
  e->last_io = kIoNone;
  return ZQ_OK;
}

int disk_tell(FileEntry* e, int64_t* position) {
  if (!e || !e->stream) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s", kNotOpen);
  if (!position) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no place for the position");
  const off_t here = ftello(e->stream);
  if (here < 0) return rt_fail(ZQ_ERR_FILE_IO, "position unknown: %s", std::strerror(errno));
  *position = int64_t(here);
  return ZQ_OK;
}

// Reads up to count bytes; what is missing at the end of the file is filled
// with zero bytes and still counts as success.
int read_bytes(FileEntry* e, void* buffer, int64_t wanted, int64_t* got) {
  if (wanted < 0) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "byte count %lld negative", static_cast<long long>(wanted));
  if (wanted > 0 && !buffer) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no buffer to read into");
  if (!begin_io(e, kIoRead)) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s", kNotOpen);
  const size_t read = std::fread(buffer, 1, size_t(wanted), e->stream);
  if (read < size_t(wanted)) {
    std::memset(static_cast<uint8_t*>(buffer) + read, 0, size_t(wanted) - read);
    std::clearerr(e->stream);
  }
  *got = int64_t(read);
  return ZQ_OK;
}

int disk_read(FileEntry* e, void* buffer, int64_t* count) {
  if (!count) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no byte count");
  return read_bytes(e, buffer, *count, count);
}

int disk_read_wide(FileEntry* e, uint16_t* buffer, int64_t* count) {
  if (!count) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no character count");
  if (*count < 0 || *count > INT64_MAX / 2)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "character count %lld out of range", static_cast<long long>(*count));
  int64_t bytes = 0;
  const int result = read_bytes(e, buffer, *count * 2, &bytes);
  if (result == 0) *count = bytes / 2;
  return result;
}

int write_bytes(FileEntry* e, const void* buffer, int64_t count) {
  if (count < 0) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "byte count %lld negative", static_cast<long long>(count));
  if (count > 0 && !buffer) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no bytes to write");
  if (!begin_io(e, kIoWrite)) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s", kNotOpen);
  if (count == 0) return ZQ_OK;
  if (std::fwrite(buffer, 1, size_t(count), e->stream) != size_t(count))
    return rt_fail(ZQ_ERR_FILE_IO, "writing %lld bytes failed: %s", static_cast<long long>(count), std::strerror(errno));
  return ZQ_OK;
}

int disk_write(FileEntry* e, const void* buffer, int64_t count) {
  return write_bytes(e, buffer, count);
}

int disk_write_wide(FileEntry* e, const uint16_t* buffer, int64_t count) {
  if (count < 0 || count > INT64_MAX / 2)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "character count %lld out of range", static_cast<long long>(count));
  return write_bytes(e, buffer, count * 2);
}

int lock_range(FileEntry* e, int64_t start, int64_t length, bool lock) {
  if (!e || !e->stream) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s", kNotOpen);
  if (start < 0 || length < 0)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "range of %lld bytes from %lld not in the file", static_cast<long long>(length),
                   static_cast<long long>(start));
  std::fflush(e->stream);
  struct flock range{};
  range.l_type = short(!lock ? F_UNLCK : e->access == ZQ_ACCESS_READ ? F_RDLCK : F_WRLCK);
  range.l_whence = SEEK_SET;
  range.l_start = off_t(start);
  range.l_len = off_t(length);
  if (fcntl(fileno(e->stream), F_SETLK, &range) != 0)
    return rt_fail(ZQ_ERR_FILE_IO, "%s failed: %s", lock ? "locking" : "unlocking", std::strerror(errno));
  return ZQ_OK;
}

int disk_lock(FileEntry* e, int64_t start, int64_t length) {
  return lock_range(e, start, length, true);
}

int disk_unlock(FileEntry* e, int64_t start, int64_t length) {
  return lock_range(e, start, length, false);
}

// A growing byte buffer for line reads.
struct LineBuffer {
  char* data = nullptr;
  int64_t length = 0;
  int64_t capacity = 0;
  bool failed = false;

  ~LineBuffer() { std::free(data); }
  void add(char c) {
    if (failed) return;
    if (length == capacity) {
      const int64_t grown = capacity ? capacity * 2 : 128;
      auto* bigger = static_cast<char*>(std::realloc(data, size_t(grown)));
      if (!bigger) {
        failed = true;
        return;
      }
      data = bigger;
      capacity = grown;
    }
    data[length++] = c;
  }
};

// Reads one unit (a byte, or a little-endian 16-bit character); -1 at the end.
int read_unit(FILE* f, bool wide) {
  const int low = std::fgetc(f);
  if (!wide || low == EOF) return low;
  const int high = std::fgetc(f);
  if (high == EOF) return EOF;
  return low | (high << 8);
}

void unread_unit(FILE* f, int unit, bool wide) {
  if (!wide) {
    std::ungetc(unit, f);
  } else {
    // Only one character of push-back is guaranteed; step back instead.
    fseeko(f, -2, SEEK_CUR);
  }
}

// A line ends at LF, CR LF or a lone CR; the end marks are not stored.
// Wide lines keep their 16-bit characters as byte pairs.
int read_line_units(FileEntry* e, StringValue* line, bool wide) {
  if (!line) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no string for the line");
  if (!begin_io(e, kIoRead)) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s", kNotOpen);
  FILE* f = e->stream;
  LineBuffer text;
  bool any = false;
  for (;;) {
    const int unit = read_unit(f, wide);
    if (unit == EOF) {
      std::clearerr(f);
      break;
    }
    any = true;
    if (unit == '\n') break;
    if (unit == '\r') {
      const int next = read_unit(f, wide);
      if (next == EOF) {
        std::clearerr(f);
      } else if (next != '\n') {
        unread_unit(f, next, wide);
      }
      break;
    }
    text.add(char(unit & 0xFF));
    if (wide) text.add(char(unit >> 8));
  }
  if (!any) {
    rt_str_store(line, nullptr, 0, nullptr, 0);
    return rt_fail(ZQ_ERR_FILE_IO, "no line left: the end of the file");
  }
  if (text.failed || !rt_str_store(line, text.data, text.length, nullptr, 0))
    return rt_fail(ZQ_ERR_OUT_OF_MEMORY, "no memory for a line of %lld bytes", static_cast<long long>(text.length));
  return ZQ_OK;
}

int disk_read_line(FileEntry* e, StringValue* line) { return read_line_units(e, line, false); }
int disk_read_line_wide(FileEntry* e, StringValue* line) { return read_line_units(e, line, true); }

}  // namespace

const FileOps rt_disk_file_ops = {
    .eof = disk_eof,
    .close = disk_close,
    .seek = disk_seek,
    .tell = disk_tell,
    .read = disk_read,
    .read_wide = disk_read_wide,
    .write = disk_write,
    .write_wide = disk_write_wide,
    .lock = disk_lock,
    .unlock = disk_unlock,
    .read_line = disk_read_line,
    .read_line_wide = disk_read_line_wide,
};
