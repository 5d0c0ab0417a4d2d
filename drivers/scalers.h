// Whole-number scalers: rows of converted display pixels shown k times
// wider and k times taller, each pixel a k x k block (nearest neighbour, no
// blending), for a driver that draws a scaled picture into a window surface
// itself.
//
// A scaler takes `rows` rows of `width` pixels of 2, 3 or 4 bytes (the
// conversion blitters' output) and writes each as k destination rows of
// k x width pixels. It writes nothing outside those rows and pixels; source
// and destination may start at any byte.
//
// The plain level writes a block pixel by pixel; the SSE2 level writes
// several pixels per store for the common factors (and copies whole rows for
// factor 1). Both give the same bytes; one member per pixel size and factor
// is chosen when the scale is set, through the routine levels.
#pragma once
#include <array>
#include <cstdint>

#include "drivers/routine_levels.h"

constexpr int kMaxScale = 16;  // the largest whole-number scale a screen is shown at

using Scaler = void (*)(const uint8_t* source, int source_pitch, int width, int rows, uint8_t* destination,
                        int destination_pitch);

// The member for a pixel size (2, 3 or 4 bytes) and factor (1..kMaxScale)
// from the highest of `levels` that has one. Null for any other pixel size
// or factor.
Scaler choose_scaler(int pixel_bytes, int factor, const RoutineLevels& levels);

// The level tables, [pixel bytes - 2][factor]; entry 0 is empty. Every plain
// entry from 1 up is filled; a null SSE2 entry is served by the plain one.
// The AVX2 level speeds up no scaler.
using ScalerSet = std::array<std::array<Scaler, kMaxScale + 1>, 3>;
extern const ScalerSet plain_scalers;
extern const ScalerSet sse2_scalers;
