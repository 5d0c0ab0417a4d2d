// What the display tests need around the program under test: an Xvfb server
// of their own on a free display number, child processes with pipes, and
// the X command-line tools (xdotool, xwininfo, ImageMagick's import).
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>


namespace display_test {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Sanitizer builds run several times slower and check the whole heap at
// exit: time limits on a program's ending give them more time.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// How long a test waits for something it is sure to see (a window, a
// picture, an answer, a program's end) before it calls it missing. The
// waits end as soon as the thing is seen, so the limit only costs time when
// a test fails; it is long because the suite shares a machine with builds
// and other tests, where a window manager's or a driver's step can take
// seconds.
constexpr std::chrono::milliseconds kPatience = kSanitized ? std::chrono::milliseconds(60000)
                                                           : std::chrono::milliseconds(30000);

// Asks `seen` every `every` until it says yes or the limit has passed;
// whether it said yes (it is asked once more at the limit).
template <class Condition>
bool wait_until(Condition seen, std::chrono::milliseconds limit = kPatience,
                std::chrono::milliseconds every = std::chrono::milliseconds(50)) {
  const auto end = Clock::now() + limit;
  for (;;) {
    if (seen()) return true;
    if (Clock::now() >= end) return false;
    std::this_thread::sleep_for(every);
  }
}

inline bool file_exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

inline std::string find_program(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':'))
    if (access((dir + "/" + name).c_str(), X_OK) == 0) return dir + "/" + name;
  return "";
}

// The build tree holding this test program (tests/ is one level down).
inline std::string build_dir() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  path[n > 0 ? n : 0] = '\0';
  std::string p(path);
  p = p.substr(0, p.rfind('/'));
  return p.substr(0, p.rfind('/'));
}

inline std::string data_dir() {
  const char* source = std::getenv("ZQ_SOURCE_DIR");
  return std::string(source ? source : build_dir() + "/../..") + "/data";
}

// A child process (killed if the test dies); its standard input and output
// are pipes when asked for, its standard error goes to a file that a failing
// test prints.
class Child {
 public:
  Child() = default;
  Child(const std::vector<std::string>& argv, const std::string& cwd, bool pipes) { start(argv, cwd, pipes); }
  ~Child() { kill_now(); }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  pid_t pid() const { return pid_; }
  bool running() {
    if (pid_ <= 0 || exited_) return false;
    int status;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      exited_ = true;
      status_ = status;
      return false;
    }
    return true;
  }
  // Waits for the end; the exit status, or -1 when it did not end in time
  // or ended by a signal.
  int wait_exit(std::chrono::milliseconds limit) {
    auto end = Clock::now() + limit;
    while (running() && Clock::now() < end) std::this_thread::sleep_for(2ms);
    if (!exited_) return -1;
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
  }
  // Asks the process to end (SIGTERM), killing it when it has not ended
  // within the limit.
  void terminate(std::chrono::milliseconds limit = 2000ms) {
    if (pid_ > 0 && running()) {
      ::kill(pid_, SIGTERM);
      wait_exit(limit);
    }
    kill_now();
  }
  // Asks the process to end (an X server then removes its lock file and
  // socket), and kills it if it has not ended after a second.
  void kill_now() {
    if (pid_ > 0 && running()) {
      ::kill(pid_, SIGTERM);
      if (wait_exit(1000ms) == -1 && running()) {
        ::kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
      }
      exited_ = true;
    }
    if (in_ >= 0) close(in_);
    if (out_ >= 0) close(out_);
    in_ = out_ = -1;
  }
  void send(const std::string& line) {
    std::string text = line + "\n";
    ssize_t written = write(in_, text.data(), text.size());
    (void)written;
  }
  // The next output line, or "" when none came in time.
  std::string read_line(std::chrono::milliseconds limit = 5000ms) {
    auto end = Clock::now() + limit;
    for (;;) {
      size_t nl = buffer_.find('\n');
      if (nl != std::string::npos) {
        std::string line = buffer_.substr(0, nl);
        buffer_.erase(0, nl + 1);
        return line;
      }
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
      if (left <= 0) return "";
      pollfd p{out_, POLLIN, 0};
      if (poll(&p, 1, int(left)) <= 0) continue;
      char chunk[512];
      ssize_t n = read(out_, chunk, sizeof chunk);
      if (n <= 0) return "";
      buffer_.append(chunk, size_t(n));
    }
  }
  // Reads lines until one starts with the prefix.
  std::string read_until(const std::string& prefix, std::chrono::milliseconds limit = 5000ms) {
    auto end = Clock::now() + limit;
    while (Clock::now() < end) {
      std::string line = read_line(std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()));
      if (line.rfind(prefix, 0) == 0) return line;
    }
    return "";
  }
  std::string errors() const {
    std::ifstream f(error_path_);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }

 private:
  void start(const std::vector<std::string>& argv, const std::string& cwd, bool pipes) {
    char error_template[] = "/tmp/zq_display_stderr_XXXXXX";
    int error_fd = mkstemp(error_template);
    error_path_ = error_template;
    int in_pipe[2] = {-1, -1}, out_pipe[2] = {-1, -1};
    if (pipes && (pipe2(in_pipe, O_CLOEXEC) != 0 || pipe2(out_pipe, O_CLOEXEC) != 0)) pipes = false;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
      // Ends with the test, however the test ends: no server or game is
      // left running on a machine after a crashed or killed test.
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      int null_fd = open("/dev/null", O_RDWR);
      dup2(pipes ? in_pipe[0] : null_fd, 0);
      dup2(pipes ? out_pipe[1] : null_fd, 1);
      dup2(error_fd, 2);
      if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
      execv(args[0], args.data());
      _exit(127);
    }
    close(error_fd);
    if (pipes) {
      close(in_pipe[0]);
      close(out_pipe[1]);
      in_ = in_pipe[1];
      out_ = out_pipe[0];
    }
  }

  pid_t pid_ = -1;
  bool exited_ = false;
  int status_ = 0;
  int in_ = -1, out_ = -1;
  std::string buffer_;
  std::string error_path_;
};

// Runs a shell command and returns its standard output.
inline std::string shell(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char chunk[65536];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, p)) > 0) out.append(chunk, n);
  pclose(p);
  return out;
}

// The id of a visible window with exactly this title other than `other`,
// looking every `every` up to the limit; "" when none appeared (xdotool
// matches names regardless of case, so the name is checked again). A
// window remade under the same title shows under a new id, and the old one
// may still be visible for a while.
inline std::string visible_window(const std::string& title, std::chrono::milliseconds limit = kPatience,
                                  const std::string& other = "",
                                  std::chrono::milliseconds every = std::chrono::milliseconds(50)) {
  std::string found;
  wait_until(
      [&] {
        std::stringstream ids(shell("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null"));
        for (std::string id; std::getline(ids, id);)
          if (!id.empty() && id != other && shell("xdotool getwindowname " + id + " 2>/dev/null") == title + "\n") {
            found = id;
            return true;
          }
        return false;
      },
      limit, every);
  return found;
}

// The process id in an X server's lock file, or 0.
inline pid_t lock_owner(const std::string& number) {
  std::ifstream lock("/tmp/.X" + number + "-lock");
  long pid = 0;
  lock >> pid;
  return pid_t(pid);
}

// A display number is taken while a live process holds its lock file; a
// lock left by a server that died is no claim (the server clears it).
inline bool display_taken(const std::string& number) {
  pid_t owner = lock_owner(number);
  return owner > 0 && (::kill(owner, 0) == 0 || errno == EPERM);
}

// An Xvfb server on the first display number that no server or lock file
// claims; DISPLAY points at it while it runs. Tests running side by side may
// pick the same number: the lock file tells whose server got it.
class XvfbServer {
 public:
  // reset_when_idle: the server resets itself whenever its last client
  // leaves, as an X server started without -noreset does.
  bool start(const std::string& screen = "1024x768x24", bool reset_when_idle = false) {
    std::string xvfb = find_program("Xvfb");
    if (xvfb.empty()) return false;
    for (int n = 91; n < 200; ++n) {
      std::string number = std::to_string(n);
      if (display_taken(number)) continue;
      std::vector<std::string> command{xvfb, ":" + number, "-screen", "0", screen, "-nolisten", "tcp"};
      if (!reset_when_idle) command.push_back("-noreset");
      server_ = std::make_unique<Child>(command, "", false);
      auto end = Clock::now() + 10s;
      bool ours = false;
      while (server_->running() && Clock::now() < end) {
        pid_t owner = lock_owner(number);
        if (owner != 0 && owner != server_->pid()) break;  // another test's server has it
        if (owner == server_->pid() && file_exists("/tmp/.X11-unix/X" + number)) {
          ours = true;
          break;
        }
        std::this_thread::sleep_for(20ms);
      }
      if (!ours) {
        server_.reset();
        continue;
      }
      display_ = ":" + number;
      setenv("DISPLAY", display_.c_str(), 1);
      // Ready once a client gets through.
      return wait_until([] { return !shell("xdpyinfo >/dev/null 2>&1 && echo ok").empty(); });
    }
    return false;
  }
  ~XvfbServer() { stop(); }
  // Ends the server; when it had to be killed, its lock file and socket are
  // removed here, so the number is free again.
  void stop() {
    if (!server_) return;
    pid_t pid = server_->pid();
    server_->terminate(5000ms);
    server_.reset();
    std::string number = display_.empty() ? "" : display_.substr(1);
    if (!number.empty() && lock_owner(number) == pid) {
      std::remove(("/tmp/.X11-unix/X" + number).c_str());
      std::remove(("/tmp/.X" + number + "-lock").c_str());
    }
  }
  const std::string& display() const { return display_; }

 private:
  std::unique_ptr<Child> server_;
  std::string display_;
};

// A server for a whole test suite: made by the suite's set-up, null when
// Xvfb is missing or did not start.
inline XvfbServer* start_suite_server() {
  if (find_program("Xvfb").empty()) return nullptr;
  auto server = std::make_unique<XvfbServer>();
  return server->start() ? server.release() : nullptr;
}

}  // namespace display_test
