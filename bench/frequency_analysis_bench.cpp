// The frequency analysis over a long shown range (10^6 points of one
// channel, N = 1024): the sample copy the GUI thread makes before handing
// a long analysis to the worker, the FFT power analysis and the direct
// autocorrelation over that copy, and the time a superseding request waits
// for a running worker to stop.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "analysis/FrequencyAnalysis.h"
#include "analysis/FrequencyWorker.h"
#include "acquisition/ChannelLayout.h"
#include "view/ChannelValues.h"
#include "view/EngineeringUnits.h"

namespace {

using namespace quelvar;

constexpr int kPoints = 1000000;

struct LongRange {
  std::vector<double> data;
  SpectrumSource source;
  SpectrumRequest request;
  FftSettings settings;

  explicit LongRange(int kind) : data(kPoints) {
    for (int i = 0; i < kPoints; ++i) data[static_cast<size_t>(i)] = std::sin(0.01 * i) + 0.1 * std::sin(0.37 * i);
    source.Value = [this](int64_t p, int32_t) { return data[static_cast<size_t>(p)]; };
    source.Raw = [](int64_t, int32_t) { return uint16_t{0}; };
    source.MultiFreqTable = {1};
    source.ChnName = {"A"};
    source.ChnUnits = {"V"};
    source.ChnCoeB = {1.0};
    source.DispRows = kPoints;
    source.ChannelRate = 10000.0;
    request.DisplayWidth = kPoints;
    request.AnalogChannels = {0};
    settings.FFTLength = 1024;
    settings.FFTResultType = kind;
  }
};

void BM_SnapshotCopy(benchmark::State& bench) {
  LongRange r(kPowerSpectrum);
  for (auto _ : bench) {
    SpectrumSnapshot s = TakeSpectrumSnapshot(r.source, r.settings, r.request);
    benchmark::DoNotOptimize(&s);
  }
  bench.SetItemsProcessed(bench.iterations() * kPoints);
}
BENCHMARK(BM_SnapshotCopy)->Unit(benchmark::kMillisecond);

// The same copy from real display data (four channels of volts, 1000
// blocks of 1000 rows) through the value services the live analysis reads.
void BM_SnapshotCopyDisplayData(benchmark::State& bench) {
  LiveConfig config;
  TorqueTables torque;
  SampleLayout layout;
  DisplayDescriptor display;
  config.Analog_Num = 4;
  config.SW_Num = 0;
  config.NumSamp = 1000;
  for (int c = 0; c < 4; ++c) config.AnalogChannelTable[static_cast<size_t>(c)].MultiFreq = 1;
  ComputeChannelLayout(config, layout, 0, true, {});
  std::vector<uint16_t> words(static_cast<size_t>(kPoints) * config.NumChn);
  for (size_t i = 0; i < words.size(); ++i) words[i] = static_cast<uint16_t>(2048 + 1000 * std::sin(0.001 * i));
  display.DispRowWords = config.NumChn;
  display.DispBlocks = kPoints / config.NumSamp;
  display.DispRows = kPoints;
  display.DispPoints = kPoints;
  display.DispData = words.data();
  ChannelValueSource values{config, torque, display, layout};
  const SpectrumSource live = MakeSpectrumSource(values);
  FftSettings settings;
  SpectrumRequest request;
  request.DisplayWidth = kPoints;
  request.AnalogChannels = {0};
  for (auto _ : bench) {
    SpectrumSnapshot s = TakeSpectrumSnapshot(live, settings, request);
    benchmark::DoNotOptimize(&s);
  }
  bench.SetItemsProcessed(bench.iterations() * kPoints);
}
BENCHMARK(BM_SnapshotCopyDisplayData)->Unit(benchmark::kMillisecond);

void BM_AnalyseLongRange(benchmark::State& bench) {
  LongRange r(static_cast<int>(bench.range(0)));
  const SpectrumSnapshot s = TakeSpectrumSnapshot(r.source, r.settings, r.request);
  SpectrumEngine engine;
  SpectrumResult result;
  for (auto _ : bench) {
    engine.Analyse(r.settings, s.Source, r.request, result);
    benchmark::DoNotOptimize(result.Values.data());
  }
  bench.SetItemsProcessed(bench.iterations() * kPoints);
}
BENCHMARK(BM_AnalyseLongRange)->Arg(kPowerSpectrum)->Arg(kDirectAutoCorrelation)->Unit(benchmark::kMillisecond);

// One segment of the longest transform in 1/N octave bands: the band sums
// over 16385 bins, not the transform, are what grows here.
void BM_OctaveBandsLongestTransform(benchmark::State& bench) {
  LongRange r(kOctaveBands);
  r.settings.FFTLength = kMaxFftLength;
  r.settings.BandN = static_cast<int32_t>(bench.range(0));
  r.request.DisplayWidth = kMaxFftLength;
  SpectrumEngine engine;
  SpectrumResult result;
  for (auto _ : bench) {
    engine.Analyse(r.settings, r.source, r.request, result);
    benchmark::DoNotOptimize(result.Values.data());
  }
}
BENCHMARK(BM_OctaveBandsLongestTransform)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

// A running direct correlation cancelled at once: the wait of the GUI
// thread when a new request supersedes it.
void BM_SupersedeRunningAnalysis(benchmark::State& bench) {
  LongRange r(kDirectAutoCorrelation);
  SpectrumWorker worker;
  const SpectrumResult seed;
  for (auto _ : bench) {
    bench.PauseTiming();
    worker.Start(r.settings, TakeSpectrumSnapshot(r.source, r.settings, r.request), r.request, seed, {}, {});
    bench.ResumeTiming();
    worker.Cancel();
  }
}
BENCHMARK(BM_SupersedeRunningAnalysis)->Unit(benchmark::kMillisecond);

}  // namespace
