// The signal-processing library, loaded by path as the program loads it:
// preparing the shown range of 8 channels of 10^5 points, and each analysis
// at NFFT 1024 on 10^5 points.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "analysis/SignalLibraryAbi.h"
#include "platform/DynamicLibrary.h"

namespace {

constexpr int32_t kChannels = 8;
constexpr int32_t kPoints = 100000;
constexpr int32_t kNumSamp = 1000;

struct Library {
  quelvar::platform::DynamicLibrary lib;
  std::vector<uint16_t> words;
  std::vector<float> coeA = std::vector<float>(kChannels, 0.5f);
  std::vector<float> coeB = std::vector<float>(kChannels, 2.0f);

  Library() {
    if (!lib.Load(QUELVAR_SIGLIB_PATH)) std::abort();
    // Rows of the 8 analog words and a switch word; the range wraps round the ring.
    words.resize(static_cast<size_t>(kPoints) * (kChannels + 1));
    uint32_t seed = 1;
    for (size_t r = 0; r < static_cast<size_t>(kPoints); ++r) {
      for (size_t c = 0; c < static_cast<size_t>(kChannels); ++c) {
        seed = seed * 1664525u + 1013904223u;
        const double v = 2048.0 + 900.0 * std::sin(0.01 * static_cast<double>(r) * static_cast<double>(c + 1)) +
                         100.0 * (static_cast<double>(seed >> 8) / 16777216.0 - 0.5);
        words[r * (kChannels + 1) + c] = static_cast<uint16_t>(v);
      }
    }
  }
  int32_t Prepare() const {
    auto send = lib.Entry<SignalLibSendArrayFn>("SendADToMatlabArray");
    return send(words.data(), 0, 0, kNumSamp, kPoints, 40, kChannels + 1, kChannels, coeA.data(), coeB.data(), 0,
                kPoints, 10000.0f, 2048.0f, 4095.0f);
  }
  void Free(double* y, double* x) const {
    auto release = lib.Entry<SignalLibFreeResultFn>("FreeResult");
    release(y);
    release(x);
  }
};

Library& Lib() {
  static Library lib;
  return lib;
}

void BM_SignalLibPrepare(benchmark::State& state) {
  for (auto _ : state) {
    if (Lib().Prepare() == 0) state.SkipWithError("preparation refused");
  }
  state.SetItemsProcessed(state.iterations() * kChannels * kPoints);
}
BENCHMARK(BM_SignalLibPrepare)->Unit(benchmark::kMillisecond);

template <typename Fn, typename... Args>
void RunCalc(benchmark::State& state, const char* name, Args... args) {
  if (Lib().Prepare() == 0) state.SkipWithError("preparation refused");
  auto calc = Lib().lib.Entry<Fn>(name);
  for (auto _ : state) {
    double* y = nullptr;
    double* x = nullptr;
    int32_t n = 0;
    if (calc(&y, &x, &n, args...) == 0) {
      state.SkipWithError("analysis refused");
      break;
    }
    Lib().Free(y, x);
  }
}

void BM_SignalLibPSD(benchmark::State& s) { RunCalc<SignalLibCalcOneFn>(s, "CalcPSD", 0, 1024); }
void BM_SignalLibCPSD(benchmark::State& s) { RunCalc<SignalLibCalcTwoFn>(s, "CalcCPSD", 0, 1, 1024); }
void BM_SignalLibPBurg(benchmark::State& s) { RunCalc<SignalLibCalcBurgFn>(s, "CalcPBurg", 0, 10, 1024); }
void BM_SignalLibCohere(benchmark::State& s) { RunCalc<SignalLibCalcTwoFn>(s, "CalcCohere", 0, 1, 1024); }
void BM_SignalLibTFE(benchmark::State& s) { RunCalc<SignalLibCalcTwoFn>(s, "CalcTFE", 0, 1, 1024); }
void BM_SignalLibAutoCorr(benchmark::State& s) { RunCalc<SignalLibCalcOneFn>(s, "CalcAutoCorr", 0, 1024); }
void BM_SignalLibCorr(benchmark::State& s) { RunCalc<SignalLibCalcTwoFn>(s, "CalcCorr", 0, 1, 1024); }
BENCHMARK(BM_SignalLibPSD)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SignalLibCPSD)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SignalLibPBurg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SignalLibCohere)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SignalLibTFE)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SignalLibAutoCorr)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SignalLibCorr)->Unit(benchmark::kMillisecond);

}  // namespace
