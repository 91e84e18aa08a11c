// An independent reference for the meter's rate: the time-stamp counter read
// against CLOCK_MONOTONIC_RAW, the kernel's clock without NTP slewing.
// Usage: tsc_rate — reads both at start, then again when standard input
// closes or a line arrives, and prints the counter's rate in kHz.
#include <time.h>
#include <x86intrin.h>

#include <cstdint>
#include <cstdio>

namespace {

struct Pair {
  long double seconds;
  std::uint64_t cycles;
};

long double RawSeconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_RAW, &now);
  return static_cast<long double>(now.tv_sec) + static_cast<long double>(now.tv_nsec) / 1e9L;
}

// The counter reading bracketed by two clock readings, pinned to their middle;
// the tightest bracket of a few tries, so a preemption does not skew it.
Pair ReadPair() {
  Pair best{0, 0};
  long double best_width = 1e9L;
  for (int attempt = 0; attempt < 50; ++attempt) {
    const long double before = RawSeconds();
    const std::uint64_t cycles = __rdtsc();
    const long double after = RawSeconds();
    if (after - before < best_width) {
      best_width = after - before;
      best = {(before + after) / 2, cycles};
    }
  }
  return best;
}

}  // namespace

int main() {
  const Pair start = ReadPair();
  std::fprintf(stderr, "tsc_rate: started\n");
  int c;
  while ((c = std::getchar()) != EOF && c != '\n') {
  }
  const Pair end = ReadPair();
  const long double seconds = end.seconds - start.seconds;
  const long double khz = static_cast<long double>(end.cycles - start.cycles) / seconds / 1000;
  std::printf("seconds %.6Lf\ntsc_khz %.3Lf\n", seconds, khz);
  return 0;
}
