// Printing to the screen and to numbered files, and the screen entry's device
// operations.
#include <climits>

#include "runtime/rt_console.h"
#include "runtime/rt_core.h"
#include "runtime/rt_file.h"
#include "runtime/rt_internal.h"
#include "runtime/rt_string.h"

namespace {

// The screen writes through the console entry (hook slot 11 while a graphics
// screen is open, else the terminal) in pieces the console accepts.
template <typename Char>
int write_in_pieces(const Char* chars, int64_t count, void (*write)(const Char*, int, int)) {
  if (count < 0) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "character count %lld negative", static_cast<long long>(count));
  if (count > 0 && !chars) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "no characters to write");
  while (count > 0) {
    const int piece = count > INT_MAX ? INT_MAX : int(count);
    write(chars, piece, 0);
    chars += piece;
    count -= piece;
  }
  return ZQ_OK;
}

int screen_write(FileEntry*, const void* buffer, int64_t count) {
  return write_in_pieces(static_cast<const uint8_t*>(buffer), count, rt_write);
}

int screen_write_wide(FileEntry*, const uint16_t* chars, int64_t count) {
  return write_in_pieces(chars, count, rt_write_wide);
}

int write_tracked(FileEntry* e, const uint8_t* bytes, int64_t count) {
  const int result = e->ops->write(e, bytes, count);
  if (result == 0) rt_file_track_column(e, bytes, count);
  return result;
}

// The column the next byte goes to, 0-based: the console's own cursor for the
// screen, the entry's counter for a file.
int current_column(int number, const FileEntry* e) {
  const int column = number == 0 ? rt_console_column() - 1 : e->text_column;
  return column < 0 ? 0 : column;
}

int print_to(int number, StringValue* s, int flags) {
  FileEntry* e = rt_file_entry(number);
  if (!e || !e->ops) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "file number %d not open", number);
  if (!e->ops->write) return rt_fail(ZQ_ERR_ILLEGAL_CALL, "file number %d cannot be written", number);
  const int length = rt_str_len(s);
  if (length > 0) {
    if (const int r = write_tracked(e, reinterpret_cast<const uint8_t*>(s->data), length)) return r;
  }
  if (flags & 0x5) {
    static const uint8_t kLineEnd[2] = {'\r', '\n'};
    return write_tracked(e, kLineEnd, 2);
  }
  if (flags & 0x2) {
    static const uint8_t kBlanks[kPrintZoneWidth] = {' ', ' ', ' ', ' ', ' ', ' ', ' ',
                                                     ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    const int pad = kPrintZoneWidth - current_column(number, e) % kPrintZoneWidth;
    return write_tracked(e, kBlanks, pad);
  }
  return ZQ_OK;
}

}  // namespace

// The screen can only be written to.
const FileOps rt_screen_file_ops = {
    .write = screen_write,
    .write_wide = screen_write_wide,
};

int rt_print(int number, StringValue* s, int flags) {
  const int result = print_to(number, s, flags);
  rt_str_release(s);
  return rt_report(result);
}
