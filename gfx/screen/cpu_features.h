// Processor identification: the family and standard feature flags of the
// processor the library runs on, asked once per process.
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

// Vector and string features beyond the standard flags, each checked at run
// time (the build assumes none of them beyond what the compiler targets).
constexpr uint32_t kCpuSse2 = 1u << 0;      // 16-byte integer vectors
constexpr uint32_t kCpuAvx2 = 1u << 1;      // 32-byte integer vectors, with the system saving their state
constexpr uint32_t kCpuFastStrings = 1u << 2;  // enhanced "rep movsb" / "rep stosb" (ERMS)

// kCpu* bits of the processor the library runs on; computed once and cached.
uint32_t gfx_cpu_vector_features();

// Builds the kCpu* bits from the identification answers: leaf 1 ECX and EDX,
// leaf 7 (sub-leaf 0) EBX, and the low word of the extended control register
// 0 (XCR0; only read when leaf 1 ECX reports OSXSAVE).
uint32_t gfx_cpu_vector_answer(uint32_t leaf1_ecx, uint32_t leaf1_edx, uint32_t leaf7_ebx, uint32_t xcr0);
