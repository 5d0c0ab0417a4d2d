// The vector-unit query through the cpuid instruction (and xgetbv, for
// whether the system saves the wide registers).
#include "drivers/cpu_vectors.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

// Identification bits: leaf 1 EDX and ECX, leaf 7 EBX, and XCR0.
constexpr uint32_t kEdxSse2 = 1u << 26, kEcxOsXsave = 1u << 27, kEcxAvx = 1u << 28;
constexpr uint32_t kEbxAvx2 = 1u << 5, kEbxErms = 1u << 9;
constexpr uint32_t kXcr0SseAndAvxState = 0x6;  // the system saves XMM and YMM registers

uint32_t cpu_vector_answer(uint32_t leaf1_ecx, uint32_t leaf1_edx, uint32_t leaf7_ebx, uint32_t xcr0) {
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
  return cpu_vector_answer(leaf1_ecx, leaf1_edx, leaf7_ebx, xcr0);
#else
  return 0;
#endif
}

uint32_t cpu_vector_units() {
  static const uint32_t answer = ask_vector_features();
  return answer;
}
