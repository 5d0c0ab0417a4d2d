// Why a display driver refused to start. Each failing step of a driver's
// init says why, in a few words; the screen's opening reads the reason after
// each try and names every driver's in its own failure. A driver thread
// refuses as well as the program's thread, so the text is kept under a lock.
#pragma once
#include <string>

void driver_refuse(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The last refusal's reason; "" when none came since driver_clear_refusal().
std::string driver_refusal();
void driver_clear_refusal();
// What the window system says about its last failed call on this thread;
// "unknown cause" when it says nothing.
const char* driver_system_reason();
