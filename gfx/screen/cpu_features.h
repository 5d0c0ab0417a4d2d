// Processor identification: the family and standard feature flags of the
// processor the library runs on, asked once per process. (Which vector
// units it runs, for the routine levels, is drivers/cpu_vectors.h.)
#pragma once
#include <cstdint>

// Feature flag (bit 23 of the standard flags) that selects the fast pixel and
// memory routines.
constexpr uint32_t kCpuMmx = 1u << 23;

// The processor's answer: the family in bits 24..31 and the standard feature
// flags (leaf 1, register EDX) in bits 0..23. Without the identification
// instruction the answer is 0x03000000 (386) or 0x04000000 (486). Computed on
// the first call and cached.
uint32_t gfx_cpu_features();

// Builds the answer from the two leaf-1 registers: the family is EAX bits
// 8..11, plus the extended family (EAX bits 20..27) when it reads 15. A family
// that does not fit in 8 bits is reported as 255.
uint32_t gfx_cpu_answer(uint32_t leaf1_eax, uint32_t leaf1_edx);
