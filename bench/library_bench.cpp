#include <benchmark/benchmark.h>

#include "platform/DynamicLibrary.h"

// Binding resolves decorated names on every lookup; the binding table is
// filled once at start, so this only needs to stay cheap, not be fast.
static void BM_UndecoratedSymbolName(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(quelvar::platform::UndecoratedSymbolName("_GetADPropString@4"));
  }
}
BENCHMARK(BM_UndecoratedSymbolName);
