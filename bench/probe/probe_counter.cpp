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

#ifdef _WIN32
#include <windows.h>
#define PROBE_EXPORT extern "C" __declspec(dllexport)
#else
#include <time.h>
#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#if defined(_WIN32) && !defined(_WIN64)
#define PROBE_CALL __stdcall
#else
#define PROBE_CALL
#endif

namespace {

constexpr std::uint64_t kCounterPeriod = 2147483647;  // readings are 0..2147483646

std::uint64_t MonotonicMicroseconds() {
#ifdef _WIN32
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  const auto ticks = static_cast<std::uint64_t>(count.QuadPart);
  const auto per_second = static_cast<std::uint64_t>(frequency.QuadPart);
  return ticks / per_second * 1000000 + ticks % per_second * 1000000 / per_second;
#else
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000000 +
         static_cast<std::uint64_t>(now.tv_nsec) / 1000;
#endif
}

void AppendToLog(std::uint64_t microseconds) {
  const char* const log_path = std::getenv("TICKMETER_PROBE_LOG");
  if (log_path == nullptr || *log_path == '\0') return;
  if (std::FILE* log = std::fopen(log_path, "a")) {
    std::fprintf(log, "%llu\n", static_cast<unsigned long long>(microseconds));
    std::fclose(log);
  }
}

}  // namespace

PROBE_EXPORT std::int32_t PROBE_CALL ReadTicks(std::int32_t* /*unused*/) {
  const std::uint64_t now = MonotonicMicroseconds();
  AppendToLog(now);
  return static_cast<std::int32_t>(now % kCounterPeriod);
}
