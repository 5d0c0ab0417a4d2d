// The process's one start of SDL's video subsystem, shared by every driver
// try, window and desktop query.
#pragma once

// Starts SDL video on first use, on a back-end that shows something (or the
// one SDL_VIDEODRIVER names); it stays up until the process ends, so the
// display server never sees the process's last connection close between
// two screens or two driver tries. True once video is up.
bool sdl_video_start();
