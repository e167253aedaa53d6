// The same forward transforms by FFTW (single precision, complex in place,
// planned once outside the timing), beside BM_FFT842Forward: the frequency
// analysis's own routine is to stay within three times FFTW's time.
// BM_FFT842OverFftw times both on the same input in turn, by the thread's
// CPU clock, so the ratio (counter "ratio", FFT842's time over FFTW's)
// holds on a busy machine too.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <time.h>

#include <cmath>
#include <vector>

#include "analysis/FftRoutine.h"

namespace {

constexpr int kLongestLength = 1 << 15;

// Seconds of CPU time this thread has used.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

void FillInput(fftwf_complex* data, int n) {
  for (int i = 0; i < n; ++i) {
    data[i][0] = static_cast<float>(std::sin(0.01 * i));
    data[i][1] = 0.0F;
  }
}

void BM_FftwForward(benchmark::State& bench) {
  const int n = static_cast<int>(bench.range(0));
  auto* data = static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * static_cast<size_t>(n)));
  const fftwf_plan plan = fftwf_plan_dft_1d(n, data, data, FFTW_FORWARD, FFTW_MEASURE);
  for (auto _ : bench) {
    bench.PauseTiming();
    FillInput(data, n);
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

// Reported time: FFT842's CPU time; counters: both times per transform in
// microseconds and their ratio.
void BM_FFT842OverFftw(benchmark::State& bench) {
  const int n = static_cast<int>(bench.range(0));
  if (n > kLongestLength) {
    bench.SkipWithError("not a supported length");
    return;
  }
  auto* data = static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * static_cast<size_t>(n)));
  const fftwf_plan plan = fftwf_plan_dft_1d(n, data, data, FFTW_FORWARD, FFTW_MEASURE);
  std::vector<float> re(static_cast<size_t>(n));
  std::vector<float> im(static_cast<size_t>(n));
  double ours = 0.0;
  double theirs = 0.0;
  for (auto _ : bench) {
    FillInput(data, n);
    for (int i = 0; i < n; ++i) {
      re[static_cast<size_t>(i)] = data[i][0];
      im[static_cast<size_t>(i)] = data[i][1];
    }
    const double t0 = ThreadSeconds();
    quelvar::FFT842(re.data(), im.data(), n, 0);
    benchmark::DoNotOptimize(re.data());
    benchmark::ClobberMemory();
    const double t1 = ThreadSeconds();
    fftwf_execute(plan);
    benchmark::DoNotOptimize(data);
    benchmark::ClobberMemory();
    const double t2 = ThreadSeconds();
    const double ourTime = t1 - t0;
    ours += ourTime;
    theirs += t2 - t1;
    bench.SetIterationTime(ourTime);
  }
  const auto runs = static_cast<double>(bench.iterations());
  bench.counters["FFT842_us"] = 1e6 * ours / runs;
  bench.counters["FFTW_us"] = 1e6 * theirs / runs;
  bench.counters["ratio"] = theirs > 0.0 ? ours / theirs : 0.0;
  fftwf_destroy_plan(plan);
  fftwf_free(data);
}
BENCHMARK(BM_FFT842OverFftw)->RangeMultiplier(2)->Range(1 << 10, 1 << 16)->UseManualTime();

}  // namespace
