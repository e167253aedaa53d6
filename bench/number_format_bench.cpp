#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "common/NumberFormat.h"

namespace {

// Values of the sizes a channel display shows: a few digits either side of
// the point, some negative.
std::vector<double> SampleValues() {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> value(-5000.0, 5000.0);
  std::vector<double> values(1024);
  for (double& v : values) v = value(random);
  return values;
}

void BM_FormatFixed(benchmark::State& state) {
  const std::vector<double> values = SampleValues();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(quelvar::FormatFixed(values[i++ % values.size()], 7, 3));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatFixed);

void BM_FormatGeneral(benchmark::State& state) {
  const std::vector<double> values = SampleValues();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(quelvar::FormatGeneral(values[i++ % values.size()], 15));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatGeneral);

}  // namespace
