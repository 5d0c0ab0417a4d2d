// The processor's string instructions as moves and stores of whole runs. On
// processors that run them fast (kCpuFastStrings) they move long runs faster
// than vector loops; only x86-64 builds have them (kBuildHasStringMoves).
#pragma once
#include <cstddef>
#include <cstdint>

#if defined(__x86_64__)
inline constexpr bool kBuildHasStringMoves = true;

// Copies n bytes from s to d; the regions must not overlap.
inline void gfx_string_move(uint8_t* d, const uint8_t* s, size_t n) {
  asm volatile("rep movsb" : "+D"(d), "+S"(s), "+c"(n) : : "memory");
}
// Stores `count` copies of the 8-byte pattern from q on.
inline void gfx_string_store(uint8_t* q, uint64_t pattern, size_t count) {
  asm volatile("rep stosq" : "+D"(q), "+c"(count) : "a"(pattern) : "memory");
}
#else
inline constexpr bool kBuildHasStringMoves = false;
inline void gfx_string_move(uint8_t*, const uint8_t*, size_t) {}
inline void gfx_string_store(uint8_t*, uint64_t, size_t) {}
#endif
