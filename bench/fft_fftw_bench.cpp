// The same forward transforms by FFTW (single precision, complex in place,
// planned once outside the timing), beside BM_FFT842Forward: the spectrum
// analysis's own routine is to stay within three times FFTW's time.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>

namespace {

void BM_FftwForward(benchmark::State& bench) {
  const int n = static_cast<int>(bench.range(0));
  auto* data = static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * static_cast<size_t>(n)));
  const fftwf_plan plan = fftwf_plan_dft_1d(n, data, data, FFTW_FORWARD, FFTW_MEASURE);
  for (auto _ : bench) {
    bench.PauseTiming();
    for (int i = 0; i < n; ++i) {
      data[i][0] = static_cast<float>(std::sin(0.01 * i));
      data[i][1] = 0.0F;
    }
    bench.ResumeTiming();
    fftwf_execute(plan);
    benchmark::DoNotOptimize(data);
    benchmark::ClobberMemory();
  }
  bench.SetItemsProcessed(bench.iterations() * n);
  fftwf_destroy_plan(plan);
  fftwf_free(data);
}
BENCHMARK(BM_FftwForward)->RangeMultiplier(2)->Range(1 << 10, 1 << 16);

}  // namespace
