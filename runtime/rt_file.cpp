// The numbered-file table: opening, reading at a position, closing.
#include "runtime/rt_file.h"

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "runtime/rt_core.h"
#include "runtime/rt_hooks.h"
#include "runtime/rt_internal.h"
#include "runtime/rt_string.h"

namespace {

constexpr int kFirstNumber = 1;
constexpr int kLastNumber = 254;
constexpr int kFreeEntryIndex = 255;  // where number -1 lives
constexpr int kDefaultRecordLength = 128;

FileEntry g_files[256];  // index = file number for 1..254
constexpr FileEntry make_screen_entry() {
  FileEntry e{};
  e.ops = &rt_screen_file_ops;
  return e;
}
FileEntry g_screen = make_screen_entry();

void clear_entry(FileEntry* e) {
  *e = FileEntry{};
  e->size = -1;
}

// "CON" names the console: reading goes to standard input, anything else to
// standard output, through a duplicate so closing the entry leaves them open.
FILE* open_stream(const char* path, bool console, const char* mode) {
  if (!console) return std::fopen(path, mode);
  const bool read_only = mode[0] == 'r' && !std::strchr(mode, '+');
  const int fd = dup(read_only ? STDIN_FILENO : STDOUT_FILENO);
  if (fd < 0) return nullptr;
  FILE* f = fdopen(fd, mode);
  if (!f) close(fd);
  return f;
}

// The stream's length, its position left where it was; -1 when unknown.
int64_t measure(FILE* f) {
  const off_t here = ftello(f);
  if (here < 0 || fseeko(f, 0, SEEK_END) != 0) return -1;
  const off_t end = ftello(f);
  if (fseeko(f, here, SEEK_SET) != 0) return -1;
  return end < 0 ? -1 : int64_t(end);
}

void set_up_entry(FileEntry* e, int mode, int access, int lock, int record_length) {
  clear_entry(e);
  e->mode = mode;
  const bool has_records = mode == ZQ_FILE_RANDOM || mode == ZQ_FILE_INPUT || mode == ZQ_FILE_OUTPUT;
  e->record_length = !has_records ? 0 : record_length < 1 ? kDefaultRecordLength : record_length;
  e->access = access;
  e->lock = lock;
}

int open_entry(FileEntry* e, const char* path, int mode, int access, int lock, int record_length) {
  set_up_entry(e, mode, access, lock, record_length);
  const bool console = strcasecmp(path, "CON") == 0;

  if (rt_file_open_hook) {
    if (rt_file_open_hook(e, path) == 0 && e->ops) {
      if (e->access == ZQ_ACCESS_ANY) e->access = ZQ_ACCESS_READ_WRITE;
      return ZQ_OK;
    }
    // Not taken (or taken without device operations): open from disk.
    set_up_entry(e, mode, access, lock, record_length);
  }

  FILE* f = nullptr;
  switch (mode) {
    case ZQ_FILE_BINARY:
    case ZQ_FILE_RANDOM:
      f = open_stream(path, console, access == ZQ_ACCESS_READ ? "rb" : access == ZQ_ACCESS_WRITE ? "wb" : "r+b");
      // A file that is not there yet is created when writing is allowed.
      if (!f && (access == ZQ_ACCESS_ANY || access == ZQ_ACCESS_READ_WRITE)) f = open_stream(path, console, "w+b");
      // With no access asked for, a file that can only be read is still opened.
      if (!f && access == ZQ_ACCESS_ANY) {
        f = open_stream(path, console, "rb");
        if (f) e->access = ZQ_ACCESS_READ;
      }
      break;
    case ZQ_FILE_INPUT: {
      FILE* probe = open_stream(path, console, "rb");
      if (!probe) break;
      if (!console) e->size = measure(probe);
      std::fclose(probe);
      f = open_stream(path, console, "r");
      break;
    }
    case ZQ_FILE_OUTPUT:
      f = open_stream(path, console, "wb");
      break;
    case ZQ_FILE_APPEND:
      f = open_stream(path, console, "ab");
      break;
    default:
      break;
  }
  if (!f) {
    const int cause = errno;
    clear_entry(e);
    return rt_fail(ZQ_ERR_FILE_NOT_FOUND, "%s: %s", path, std::strerror(cause));
  }

  struct stat info{};
  if (fstat(fileno(f), &info) == 0 && S_ISDIR(info.st_mode)) {
    std::fclose(f);
    clear_entry(e);
    return rt_fail(ZQ_ERR_FILE_NOT_FOUND, "%s: a folder, not a file", path);
  }

  // The buffer must be given before the stream is used in any other way.
  auto* buffer = static_cast<char*>(std::malloc(kFileStreamBuffer));
  if (buffer && setvbuf(f, buffer, console ? _IOLBF : _IOFBF, kFileStreamBuffer) != 0) {
    std::free(buffer);
    buffer = nullptr;
  }

  if (console) {
    e->size = 0;  // a console has no length
  } else if (e->size < 0) {
    e->size = measure(f);
    if (e->size < 0) {
      std::fclose(f);
      std::free(buffer);
      clear_entry(e);
      return rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s: its length cannot be found", path);
    }
  }

  e->stream = f;
  e->stream_buffer = buffer;
  if (e->access == ZQ_ACCESS_ANY) e->access = ZQ_ACCESS_READ_WRITE;
  e->ops = &rt_disk_file_ops;
  return ZQ_OK;
}

int get_bytes(FileEntry* e, int64_t position, uint8_t* out, int count) {
  if (!e || !e->ops) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "file not open");
  if (!e->ops->read) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "file cannot be read");
  if (count < 0) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "byte count %d negative", count);
  if (count > 0 && !out) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no buffer to read into");
  if (position < 0) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "position %lld negative", static_cast<long long>(position));
  const bool records = e->mode == ZQ_FILE_RANDOM && e->record_length > 0;

  if (position > 0) {
    int64_t offset = position - 1;
    if (records) {
      if (offset > INT64_MAX / e->record_length)
        return rt_fail(ZQ_ERR_ILLEGAL_CALL, "record %lld out of range", static_cast<long long>(position));
      offset *= e->record_length;
    }
    if (!e->ops->seek) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "file has no positions");
    if (const int r = e->ops->seek(e, offset, SEEK_SET)) return r;
    e->putback_count = 0;
  }

  int taken = 0;
  if (e->putback_count < 0 || e->putback_count > int(sizeof e->putback)) e->putback_count = 0;
  while (taken < count && e->putback_count > 0) {
    out[taken++] = e->putback[0];
    std::memmove(e->putback, e->putback + 1, sizeof e->putback - 1);
    --e->putback_count;
  }

  int64_t rest = count - taken;
  if (rest > 0) {
    if (const int r = e->ops->read(e, out + taken, &rest)) return r;
  }

  if (records && e->ops->seek) {
    const int64_t length = e->record_length;
    const int64_t skip = (length - count % length) % length;
    if (skip > 0) {
      if (const int r = e->ops->seek(e, skip, SEEK_CUR)) return r;
    }
  }
  return ZQ_OK;
}

}  // namespace

void rt_file_reset() {
  rt_file_close_all();
  g_screen = make_screen_entry();
}

FileEntry* rt_file_entry(int number) {
  if (number == 0) return &g_screen;
  if (number == -1) return &g_files[kFreeEntryIndex];
  if (number >= kFirstNumber && number <= kLastNumber) return &g_files[number];
  return nullptr;
}

void rt_file_fix_name(char* name) {
  if (!name) return;
  for (char* c = name; *c; ++c) {
    if (*c == '\\') *c = '/';
  }
}

// Why rt_file_open refuses its arguments; null when it takes them.
static const char* open_argument_fault(int number, int mode, int access) {
  if (number < kFirstNumber || number > kLastNumber) return "file number out of range (1 to 254)";
  if (mode < ZQ_FILE_BINARY || mode > ZQ_FILE_APPEND) return "file mode unknown";
  if (access < ZQ_ACCESS_ANY || access > ZQ_ACCESS_READ_WRITE) return "file access unknown";
  if (rt_file_entry(number)->ops) return "file number already open";
  return nullptr;
}

int rt_file_open(StringValue* name, int mode, int access, int lock, int number,
                 int record_length) {
  int result = ZQ_OK;
  FileEntry* e = rt_file_entry(number);
  if (const char* fault = open_argument_fault(number, mode, access)) {
    result = rt_fail(ZQ_ERR_ILLEGAL_CALL, "%s: number %d, mode %d, access %d", fault, number, mode, access);
  } else {
    const int length = rt_str_len(name);
    auto* path = static_cast<char*>(std::malloc(size_t(length) + 1));
    if (!path) {
      // The number this call has always given when the name could not be copied.
      result = rt_fail(ZQ_ERR_FILE_NOT_FOUND, "no memory for a file name of %d bytes", length);
    } else {
      if (length > 0) std::memcpy(path, rt_str_chars(name), size_t(length));
      path[length] = '\0';
      rt_file_fix_name(path);
      result = open_entry(e, path, mode, access, lock, record_length);
      std::free(path);
    }
  }
  rt_str_release(name);
  return rt_report(result);
}

int rt_file_get(int number, int64_t position, void* buffer, int count) {
  return rt_report(get_bytes(rt_file_entry(number), position, static_cast<uint8_t*>(buffer), count));
}

int rt_file_close(int number) {
  FileEntry* e = rt_file_entry(number);
  if (number == 0 || !e || !e->ops) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "file number %d not open", number);
  const int result = e->ops->close ? e->ops->close(e) : 0;
  clear_entry(e);
  return rt_report(result);
}

void rt_file_close_all() {
  for (int i = kFirstNumber; i <= kFreeEntryIndex; ++i) {
    FileEntry* e = &g_files[i];
    if (e->ops && e->ops->close) e->ops->close(e);
    clear_entry(e);
  }
}

void rt_file_track_column(FileEntry* e, const uint8_t* bytes, int64_t count) {
  if (!e || !bytes) return;
  int32_t column = e->text_column < 0 ? 0 : e->text_column;
  for (int64_t i = 0; i < count; ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      column = 0;
    } else {
      // Keep the column's place within its print zone when it would overflow.
      if (column == INT32_MAX) column = column % kPrintZoneWidth;
      ++column;
    }
  }
  e->text_column = column;
}
