// The frequency analysis's transform, forward, in place, over 2^10 .. 2^16
// points. 2^16 is past the longest length it takes: that line says so and
// FFTW's figure stands alone (fft_fftw_bench.cpp).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "analysis/FftRoutine.h"

namespace {

using namespace quelvar;

constexpr int kLongestLength = 1 << 15;

void BM_FFT842Forward(benchmark::State& bench) {
  const int n = static_cast<int>(bench.range(0));
  if (n > kLongestLength) {
    bench.SkipWithError("not a supported length");
    return;
  }
  std::vector<float> re(static_cast<size_t>(n));
  std::vector<float> im(static_cast<size_t>(n));
  for (auto _ : bench) {
    // A fresh input each run, outside the timed part.
    bench.PauseTiming();
    for (int i = 0; i < n; ++i) {
      re[static_cast<size_t>(i)] = static_cast<float>(std::sin(0.01 * i));
      im[static_cast<size_t>(i)] = 0.0F;
    }
    bench.ResumeTiming();
    FFT842(re.data(), im.data(), n, 0);
    benchmark::DoNotOptimize(re.data());
    benchmark::ClobberMemory();
  }
  bench.SetItemsProcessed(bench.iterations() * n);
}
BENCHMARK(BM_FFT842Forward)->RangeMultiplier(2)->Range(1 << 10, 1 << 16);

}  // namespace
