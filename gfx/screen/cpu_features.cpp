// Processor identification through the cpuid instruction.
#include "gfx/screen/cpu_features.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

uint32_t gfx_cpu_answer(uint32_t leaf1_eax, uint32_t leaf1_edx) {
  uint32_t family = (leaf1_eax >> 8) & 0xF;
  if (family == 15) family += (leaf1_eax >> 20) & 0xFF;
  if (family > 255) family = 255;
  return (family << 24) | (leaf1_edx & 0x00FFFFFFu);
}

#if defined(__i386__)
// A processor without cpuid: a 486 lets the alignment-check flag (EFLAGS bit
// 18) be toggled, a 386 does not.
static uint32_t answer_without_cpuid() {
  constexpr uint32_t kAlignmentCheck = 1u << 18;
  uint32_t before = __builtin_ia32_readeflags_u32();
  __builtin_ia32_writeeflags_u32(before ^ kAlignmentCheck);
  uint32_t after = __builtin_ia32_readeflags_u32();
  __builtin_ia32_writeeflags_u32(before);
  return ((before ^ after) & kAlignmentCheck) ? 0x04000000u : 0x03000000u;
}
#endif

static uint32_t ask_processor() {
#if defined(__i386__) || defined(__x86_64__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return gfx_cpu_answer(eax, edx);
#if defined(__i386__)
  return answer_without_cpuid();
#else
  return 0;  // every x86-64 processor has cpuid; not reached in practice
#endif
#else
  return 0;  // not an x86 processor: no family, no MMX
#endif
}

uint32_t gfx_cpu_features() {
  static const uint32_t answer = ask_processor();
  return answer;
}

// Identification bits: leaf 1 EDX and ECX, leaf 7 EBX, and XCR0.
constexpr uint32_t kEdxSse2 = 1u << 26, kEcxOsXsave = 1u << 27, kEcxAvx = 1u << 28;
constexpr uint32_t kEbxAvx2 = 1u << 5, kEbxErms = 1u << 9;
constexpr uint32_t kXcr0SseAndAvxState = 0x6;  // the system saves XMM and YMM registers

uint32_t gfx_cpu_vector_answer(uint32_t leaf1_ecx, uint32_t leaf1_edx, uint32_t leaf7_ebx, uint32_t xcr0) {
  uint32_t bits = 0;
  if (leaf1_edx & kEdxSse2) bits |= kCpuSse2;
  bool ymm_saved = (leaf1_ecx & kEcxOsXsave) && (xcr0 & kXcr0SseAndAvxState) == kXcr0SseAndAvxState;
  if ((bits & kCpuSse2) && (leaf1_ecx & kEcxAvx) && ymm_saved && (leaf7_ebx & kEbxAvx2)) bits |= kCpuAvx2;
  if (leaf7_ebx & kEbxErms) bits |= kCpuFastStrings;
  return bits;
}

static uint32_t ask_vector_features() {
#if defined(__i386__) || defined(__x86_64__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return 0;
  uint32_t leaf1_ecx = ecx, leaf1_edx = edx, leaf7_ebx = 0, xcr0 = 0;
  if (__get_cpuid_max(0, nullptr) >= 7) {
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    leaf7_ebx = ebx;
  }
  if (leaf1_ecx & kEcxOsXsave) {  // xgetbv exists only where the system enabled it
    uint32_t lo = 0, hi = 0;
    asm volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    xcr0 = lo;
  }
  return gfx_cpu_vector_answer(leaf1_ecx, leaf1_edx, leaf7_ebx, xcr0);
#else
  return 0;
#endif
}

uint32_t gfx_cpu_vector_features() {
  static const uint32_t answer = ask_vector_features();
  return answer;
}
