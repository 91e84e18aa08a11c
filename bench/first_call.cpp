// The first, binding, call of ReadTicks: loading Vantrel.dll, looking up
// "ReadTicks" and the call itself. Binding happens once per process, so this
// program times one binding call, then one bound call for comparison, and
// prints both in nanoseconds; bench/call-entry runs it many times.
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "counter_call.h"

namespace {

template <typename Call>
long long NanosecondsOf(Call call) {
  const auto start = std::chrono::steady_clock::now();
  call();
  const auto end = std::chrono::steady_clock::now();
  return std::chrono::duration_cast<std::chrono::nanoseconds>(end - start).count();
}

}  // namespace

int main() {
  volatile std::int32_t sink = 0;
  const long long binding = NanosecondsOf([&] { sink = measure::ReadTicks(); });
  const long long bound = NanosecondsOf([&] { sink = measure::ReadTicks(); });
  std::printf("first_call_ns %lld\nsecond_call_ns %lld\n", binding, bound);
  return 0;
}
