// The full-screen modes the display offers at one depth, as the drivers'
// fetch_modes hands them out.
#pragma once

// A newly allocated (malloc) array of (width << 16) | height for every mode
// whose bits per pixel match depth, its length in count; null when there is
// none or no display. list_display_modes keeps exact depths (a 5-5-5 mode
// counts as 15, not 16); list_display_modes_with_twins also takes 15 for 16,
// 24 for 32 and back.
int* list_display_modes(int depth, int* count);
int* list_display_modes_with_twins(int depth, int* count);
