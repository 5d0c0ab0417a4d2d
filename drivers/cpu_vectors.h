// The processor's vector units: which wider instruction sets the processor
// runs and the system saves the registers of, asked once per process. The
// routine levels (drivers/routine_levels.h) are built from this one answer.
#pragma once
#include <cstdint>

constexpr uint32_t kCpuSse2 = 1u << 0;         // 16-byte integer vectors
constexpr uint32_t kCpuAvx2 = 1u << 1;         // 32-byte integer vectors, with the system saving their state
constexpr uint32_t kCpuFastStrings = 1u << 2;  // enhanced "rep movsb" / "rep stosb" (ERMS)

// kCpu* bits of the processor the library runs on; computed once and cached.
uint32_t cpu_vector_units();

// Builds the kCpu* bits from the identification answers: leaf 1 ECX and EDX,
// leaf 7 (sub-leaf 0) EBX, and the low word of the extended control register
// 0 (XCR0; only read when leaf 1 ECX reports OSXSAVE).
uint32_t cpu_vector_answer(uint32_t leaf1_ecx, uint32_t leaf1_edx, uint32_t leaf7_ebx, uint32_t xcr0);
