// The process's one SDL video start. Every driver try runs on a thread of
// its own; if each stopped video again, the process's only connection to
// the X server would close between two tries, and an X server started
// without -noreset resets itself when its last client leaves. A try that
// connects during that reset is refused, and SDL goes on to its "offscreen"
// back-end, which shows nothing. So video starts once and stays up until
// the process ends, and back-ends that show nothing are taken only when the
// user names them. It is never stopped: the system closes the connection
// with the process, while closing it at exit could meet a server that has
// gone already, which Xlib answers by ending the process with status 1.
#include "platform/sdl_video.h"

#include <SDL.h>
#include <strings.h>

#include <cstdlib>
#include <mutex>
#include <string>

namespace {

std::mutex video_mutex;
bool video_started = false;  // under video_mutex

// SDL's back-ends that show nothing: they accept every window and draw
// into memory nobody sees.
bool shows_nothing(const char* name) {
  for (const char* invisible : {"offscreen", "dummy", "evdev"})
    if (strcasecmp(name, invisible) == 0) return true;
  return false;
}

// The back-ends SDL may try when the user named none: those that show
// something, and Wayland only where a compositor is named (without one,
// its client library only complains).
std::string visible_back_ends() {
  bool wayland = std::getenv("WAYLAND_DISPLAY") || std::getenv("WAYLAND_SOCKET");
  std::string list;
  for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
    const char* name = SDL_GetVideoDriver(i);
    if (!name || shows_nothing(name) || (!wayland && strcasecmp(name, "wayland") == 0)) continue;
    if (!list.empty()) list += ',';
    list += name;
  }
  return list;
}

}  // namespace

bool sdl_video_start() {
  std::lock_guard<std::mutex> guard(video_mutex);
  if (!video_started) {
    // The program ends through its own keys and signals: SDL must not turn
    // Ctrl+C or the last window's close button into a quit request.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // The window surface is the window system's own image memory, not a
    // texture of a 3-D renderer that SDL would otherwise try first.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A value of SDL_VIDEODRIVER in the environment outranks this hint:
    // what the user names is tried as named.
    std::string back_ends = visible_back_ends();
    SDL_SetHint(SDL_HINT_VIDEODRIVER, back_ends.c_str());
    if (back_ends.empty() && !std::getenv("SDL_VIDEODRIVER")) {
      SDL_SetError("no video back-end that shows something");
      return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      // The usual cause, in the user's terms rather than SDL's.
      if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("SDL_VIDEODRIVER"))
        SDL_SetError("no display (DISPLAY unset)");
      return false;
    }
    video_started = true;
  }
  return true;
}
