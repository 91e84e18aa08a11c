// Vantrel.dll, the meter's counter library.
//
// ReadTicks returns the processor's time-stamp counter in units of 1000
// cycles, reduced modulo 2147483647: it starts again from 0 after 2147483646.
// The meter corrects a negative difference r2 - r1 to 2147483647 - r1 + r2,
// which with this period is the exact count across the wrap. Read once a
// second, the difference between two readings is the counter's rate in kHz.
// On a processor without a time-stamp counter it counts microseconds of the
// system's monotonic clock instead.
// The argument is not used.
#include <cstdint>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <x86intrin.h>
#define VANTREL_HAS_TSC_INSTRUCTION 1
#endif

#include "monotonic_clock.h"
#include "vantrel_export.h"

namespace {

constexpr std::uint64_t kCounterPeriod = 2147483647;  // readings are 0..2147483646
constexpr std::uint64_t kCyclesPerCount = 1000;
constexpr unsigned kTimeStampCounterFlag = 1u << 4;  // CPUID leaf 1, EDX

bool ProcessorHasTimeStampCounter() {
#ifdef VANTREL_HAS_TSC_INSTRUCTION
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & kTimeStampCounterFlag) != 0;
#else
  return false;
#endif
}

// Asked once, as the library loads. Not a function-local static: its
// thread-safe guard would pull the C++ runtime's exception and thread support
// into the library, ten times its size on Windows.
const bool kHasTimeStampCounter = ProcessorHasTimeStampCounter();

std::uint64_t CounterValue() {
#ifdef VANTREL_HAS_TSC_INSTRUCTION
  if (kHasTimeStampCounter) return __rdtsc() / kCyclesPerCount;
#endif
  return MonotonicMicroseconds();
}

}  // namespace

VANTREL_EXPORT std::int32_t VANTREL_CALL ReadTicks(std::int32_t* /*unused*/) {
  return static_cast<std::int32_t>(CounterValue() % kCounterPeriod);
}
