// A probe counter library for the benchmarks, built as Vantrel.dll in a folder
// of its own; it is not shipped.
//
// ReadTicks returns the system's monotonic clock in microseconds, reduced
// modulo 2147483647 like our real counter (whose wrap the meter corrects
// exactly), so the meter's onesamp shows the length of its last tick in
// microseconds and ave their mean. When TICKMETER_PROBE_LOG names a file, each
// call also appends its time (unreduced microseconds) to it, one per line.
// The argument is not used.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "monotonic_clock.h"
#include "vantrel_export.h"

namespace {

constexpr std::uint64_t kCounterPeriod = 2147483647;  // readings are 0..2147483646

void AppendToLog(std::uint64_t microseconds) {
  const char* const log_path = std::getenv("TICKMETER_PROBE_LOG");
  if (log_path == nullptr || *log_path == '\0') return;
  if (std::FILE* log = std::fopen(log_path, "a")) {
    std::fprintf(log, "%llu\n", static_cast<unsigned long long>(microseconds));
    std::fclose(log);
  }
}

}  // namespace

VANTREL_EXPORT std::int32_t VANTREL_CALL ReadTicks(std::int32_t* /*unused*/) {
  const std::uint64_t now = MonotonicMicroseconds();
  AppendToLog(now);
  return static_cast<std::int32_t>(now % kCounterPeriod);
}
