#pragma once
// The system's monotonic clock in microseconds, for counter libraries.
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

inline std::uint64_t MonotonicMicroseconds() {
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
