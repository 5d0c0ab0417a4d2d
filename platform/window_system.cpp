// The window system in use.
#include "platform/window_system.h"

#include <atomic>

static std::atomic<const WindowSystem*> current_system{&sdl_window_system};

const WindowSystem* window_system() { return current_system.load(std::memory_order_acquire); }

void set_window_system(const WindowSystem* system) {
  current_system.store(system ? system : &sdl_window_system, std::memory_order_release);
}
