// The full-screen modes the display offers at one depth, as the drivers'
// fetch_modes hands them out.
#pragma once

// A newly allocated (malloc) array of (width << 16) | height for every mode
// whose bits per pixel equal depth exactly (a 5-5-5 mode counts as 15, not
// 16), its length in count; null when there is none or no display.
int* list_display_modes(int depth, int* count);
