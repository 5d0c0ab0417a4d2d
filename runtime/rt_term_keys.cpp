// Keys from a terminal on standard input, read without waiting for a line and
// without echo, and the runtime's own sleep.
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "runtime/rt_string.h"
#include "runtime/rt_terminal.h"

namespace {

constexpr int kSleepSlice = 50;

// Switches the terminal to byte-at-a-time input for as long as it lives and
// puts the previous settings back afterwards.
class RawInput {
 public:
  RawInput() {
    if (isatty(STDIN_FILENO) != 1 || tcgetattr(STDIN_FILENO, &saved_) != 0) return;
    termios raw = saved_;
    raw.c_lflag &= ~tcflag_t(ICANON | ECHO);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    active_ = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
  }
  ~RawInput() {
    if (active_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
  }
  RawInput(const RawInput&) = delete;
  RawInput& operator=(const RawInput&) = delete;
  bool active() const { return active_; }

 private:
  termios saved_{};
  bool active_ = false;
};

// Whether a byte can be read within timeout milliseconds (-1: without limit).
bool byte_ready(int timeout) {
  pollfd p{STDIN_FILENO, POLLIN, 0};
  int r;
  do {
    r = poll(&p, 1, timeout);
  } while (r < 0 && errno == EINTR);
  return r > 0 && (p.revents & POLLIN);
}

int read_byte() {
  unsigned char c = 0;
  ssize_t n;
  do {
    n = read(STDIN_FILENO, &c, 1);
  } while (n < 0 && errno == EINTR);
  return n == 1 ? c : -1;
}

struct EscapeKey {
  const char* sequence;  // what follows the escape byte
  int scancode;
};

// The usual ANSI and xterm sequences of the keys that have no character.
constexpr EscapeKey kEscapeKeys[] = {
    {"[A", 0x48},   {"[B", 0x50},   {"[C", 0x4D},   {"[D", 0x4B},   {"[H", 0x47},
    {"[F", 0x4F},   {"OH", 0x47},   {"OF", 0x4F},   {"[1~", 0x47},  {"[4~", 0x4F},
    {"[2~", 0x52},  {"[3~", 0x53},  {"[5~", 0x49},  {"[6~", 0x51},  {"OP", 0x3B},
    {"OQ", 0x3C},   {"OR", 0x3D},   {"OS", 0x3E},   {"[15~", 0x3F}, {"[17~", 0x40},
    {"[18~", 0x41}, {"[19~", 0x42}, {"[20~", 0x43}, {"[21~", 0x44},
};

// After an escape byte: the rest of a key's sequence if it has already
// arrived, else the escape key itself.
int read_escape() {
  char sequence[8] = {};
  size_t length = 0;
  while (length < sizeof sequence - 1 && byte_ready(0)) {
    const int c = read_byte();
    if (c < 0) break;
    sequence[length++] = char(c);
    const bool introducer = length == 1 && (c == '[' || c == 'O');
    if (length == 1 && !introducer) break;
    if (!introducer && c >= 0x40 && c <= 0x7E) break;  // final byte
  }
  for (const EscapeKey& key : kEscapeKeys) {
    if (std::strcmp(key.sequence, sequence) == 0) return (key.scancode << 8) | 0xFF;
  }
  return 27;
}

// One key code, 0 when none comes (or there is no terminal to read).
int read_key(bool wait) {
  RawInput raw;
  if (!raw.active()) return 0;
  if (!byte_ready(wait ? -1 : 0)) return 0;
  const int c = read_byte();
  if (c <= 0) return 0;
  return c == 27 ? read_escape() : c;
}

void sleep_ms(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace

StringValue* term_inkey() {
  const int code = read_key(false);
  if (code == 0) return rt_str_new_temp(nullptr, 0);
  if (code < 256) {
    const char c = char(code);
    return rt_str_new_temp(&c, 1);
  }
  const char extended[2] = {char(0xFF), char(code >> 8)};
  return rt_str_new_temp(extended, 2);
}

int term_wait_key() { return read_key(true); }

int term_key_waiting() {
  RawInput raw;
  return raw.active() && byte_ready(0) ? -1 : 0;
}

// -1 waits for a key (returning at once when there is no keyboard to press);
// 100 or more sleeps in slices and stops early at a key; else a plain sleep.
void term_sleep(int milliseconds) {
  if (milliseconds == -1) {
    termios settings{};
    if (isatty(STDIN_FILENO) != 1 || tcgetattr(STDIN_FILENO, &settings) != 0) return;
    while (!term_key_waiting()) sleep_ms(kSleepSlice);
    return;
  }
  if (milliseconds >= 100) {
    while (milliseconds > kSleepSlice) {
      if (term_key_waiting()) return;
      sleep_ms(kSleepSlice);
      milliseconds -= kSleepSlice;
    }
  }
  sleep_ms(milliseconds);
}
