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
