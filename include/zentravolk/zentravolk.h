/**
 * @file zentravolk/zentravolk.h
 * @brief The one header a program includes to use the Zentravolk library.
 *
 * A minimal program:
 * @code
 * #include <zentravolk/zentravolk.h>
 *
 * int main(int argc, char** argv) {
 *   rt_init(argc, argv, 0);
 *   if (gfx_screen_res(320, 200, 32, 1, ZQ_OPEN_WINDOWED, 0) != ZQ_OK) return 1;
 *   gfx_draw_text(NULL, 8, 8, "Hello", 0xFFFFFF, NULL);
 *   rt_sleep(-1);  // until a key is pressed
 *   rt_end(0);
 * }
 * @endcode
 *
 * Every call is C-callable and reports failures by number (see
 * zentravolk/common.h). The library is not thread-safe: make every call
 * from one thread.
 */
#ifndef ZENTRAVOLK_ZENTRAVOLK_H
#define ZENTRAVOLK_ZENTRAVOLK_H

#include "zentravolk/common.h"
#include "zentravolk/runtime.h"
#include "zentravolk/screen.h"
#include "zentravolk/image.h"
#include "zentravolk/draw.h"
#include "zentravolk/blit.h"
#include "zentravolk/shapes.h"
#include "zentravolk/text.h"
#include "zentravolk/console.h"
#include "zentravolk/input.h"
#include "zentravolk/events.h"
#include "zentravolk/shortcuts.h"

#endif /* ZENTRAVOLK_ZENTRAVOLK_H */
