// An independent reference for the meter's rate: the time-stamp counter read
// against CLOCK_MONOTONIC_RAW, the kernel's clock without NTP slewing.
// Usage: tsc_rate — reads both at start, then again when standard input
// closes or a line arrives, and prints the counter's rate in kHz. It also
// prints how far CLOCK_MONOTONIC (the meter's clock, which NTP may slew) ran
// from CLOCK_MONOTONIC_RAW over the same period, in ppm.
#include <time.h>
#include <x86intrin.h>

#include <cstdint>
#include <cstdio>

namespace {

struct Pair {
  long double seconds;
  std::uint64_t cycles;
  long double monotonic_seconds;
};

long double Seconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<long double>(now.tv_sec) + static_cast<long double>(now.tv_nsec) / 1e9L;
}

long double RawSeconds() { return Seconds(CLOCK_MONOTONIC_RAW); }

// The counter reading bracketed by two clock readings, pinned to their middle;
// the tightest bracket of a few tries, so a preemption does not skew it.
Pair ReadPair() {
  Pair best{0, 0, 0};
  long double best_width = 1e9L;
  for (int attempt = 0; attempt < 50; ++attempt) {
    const long double before = RawSeconds();
    const std::uint64_t cycles = __rdtsc();
    const long double monotonic = Seconds(CLOCK_MONOTONIC);
    const long double after = RawSeconds();
    if (after - before < best_width) {
      best_width = after - before;
      best = {(before + after) / 2, cycles, monotonic};
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
  const long double monotonic_ppm =
      ((end.monotonic_seconds - start.monotonic_seconds) / seconds - 1) * 1e6L;
  std::printf("seconds %.6Lf\ntsc_khz %.3Lf\nmonotonic_vs_raw_ppm %.3Lf\n", seconds, khz, monotonic_ppm);
  return 0;
}
