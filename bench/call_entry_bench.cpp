// The cost of a bound ReadTicks call through the call entry, against a direct
// call through a plain function pointer to the same function, with our real
// Vantrel.dll beside the program. The binding call itself is measured by
// first_call, one process per binding.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "counter_call.h"

namespace {

// Binds the library once, outside any timed loop, and returns the bound address.
measure::ReadTicksFunction BoundReadTicks() {
  static const measure::ReadTicksFunction bound = [] {
    std::int32_t argument = 0;
    measure::CallReadTicks(&argument);
    return reinterpret_cast<measure::ReadTicksFunction>(
        measure::kReadTicksDeclaration.cache->function_address);
  }();
  return bound;
}

void BM_DirectCall(benchmark::State& state) {
  measure::ReadTicksFunction read_ticks = BoundReadTicks();
  // Hide the pointer's origin so the call stays an indirect call.
  benchmark::DoNotOptimize(read_ticks);
  for (auto _ : state) {
    std::int32_t argument = 0;
    benchmark::DoNotOptimize(read_ticks(&argument));
  }
}
BENCHMARK(BM_DirectCall);

void BM_CallEntry(benchmark::State& state) {
  BoundReadTicks();
  for (auto _ : state) {
    std::int32_t argument = 0;
    benchmark::DoNotOptimize(measure::CallReadTicks(&argument));
  }
}
BENCHMARK(BM_CallEntry);

// The whole calling sequence: argument set to 0, the call, the last error captured.
void BM_ReadTicks(benchmark::State& state) {
  BoundReadTicks();
  for (auto _ : state) benchmark::DoNotOptimize(measure::ReadTicks());
}
BENCHMARK(BM_ReadTicks);

}  // namespace

BENCHMARK_MAIN();
