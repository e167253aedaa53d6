// The trigger-algorithm engine over a full-size block (100 analog channels,
// 1000 rows) with 60 algorithms armed, three of each of the types 3 to 22,
// none firing: the cost the engine adds to every block on the GUI thread.
// The "block_share_percent" counter is that cost as a share of the block's duration.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

#include "acquisition/AlgorithmEvaluation.h"
#include "acquisition/ChannelLayout.h"
#include "acquisition/PrepareStart.h"

namespace {

using namespace quelvar;

// Set points no signal of the bench reaches, per type (SP0, SP1, SP2).
void QuietSetPoints(AlgorithmConfig& a) {
  const float big = 100.0f;
  switch (a.Type) {
    case 4: a.SetPoint[0] = -big; break;           // DC below a negative full scale
    case 6: case 19: a.SetPoint[0] = 0.0f; a.SetPoint[1] = big; break;  // AC below zero
    case 13: a.SetPoint[0] = big; a.SetPoint[1] = 0.0f; a.SetPoint[2] = big; break;
    case 14: a.SetPoint[0] = -1e6f; break;         // reverse power beyond any signal
    case 15: a.SetPoint[0] = 1.0f; a.SetPoint[1] = big; break;  // 1 Hz
    case 17: a.SetPoint[0] = big; a.SetPoint[1] = -big; a.SetPoint[2] = -1e6f; break;
    default: a.SetPoint[0] = a.SetPoint[1] = a.SetPoint[2] = big; break;
  }
}

void BM_TriggerAlgorithms60(benchmark::State& bench) {
  const int32_t spc = static_cast<int32_t>(bench.range(0));
  AppState s;
  LiveConfig& c = s.config;
  c.Analog_Num = 100;
  c.Total_Line = 100;
  for (auto& line : c.LineTable) line.APhaseNum = 1;
  c.SW_Num = 0;
  c.IDStartBin = 0;
  c.NumSamp = 1000 / spc * spc;  // whole cycles
  c.MaxBlock = 200;
  c.ACFrq = 50.0f;
  c.ChannelRate = 50.0f * static_cast<float>(spc);
  c.ConfirmTriggerNum = 1;
  c.IDStartAnalog = 1;
  c.Algorithm_Num = 60;
  for (int k = 0; k < 60; ++k) {
    AlgorithmConfig& a = c.AlgorithmTable[static_cast<size_t>(k)];
    a = AlgorithmConfig{};
    a.Type = 3 + k % 20;
    a.UsedChn = 7;
    for (int j = 0; j < 7; ++j) a.Channel[j] = (k * 3 + j * 11) % 100;
    QuietSetPoints(a);
  }
  ComputeChannelLayout(c, s.layout, 0, true, {});
  StartReporter quiet{[](const std::string&) {}, [](const std::string&) {},
                      [](const std::string&, const std::string&) {}, [](int, const std::string&) {}};
  if (!PrepareStart(s, true, quiet) || !s.acq.AnalogTriggerActive) {
    bench.SkipWithError("preparation refused");
    return;
  }
  // Three-phase 50-Hz sines of half scale on every channel, prefix included.
  const int32_t rows = s.acq.HistoryPrefixRows + c.NumSamp;
  uint16_t* matrix = s.acq.BlockWithPrefix.data() + 1;
  for (int32_t r = 0; r < rows; ++r) {
    for (int32_t ch = 0; ch < c.NumChn; ++ch) {
      const double angle = 2.0 * 3.14159265358979 * r / spc + ch * 2.0943951;
      matrix[r * c.NumChn + ch] = static_cast<uint16_t>(2048 + std::lround(1000.0 * std::cos(angle)));
    }
  }
  s.acq.ValidHistorySamples = 1000000;  // long history: every point is tested
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : bench) {
    EvaluateTriggerAlgorithms(s);
    if (s.record.Recording) bench.SkipWithError("an algorithm fired");
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double blockSeconds = c.NumSamp / c.ChannelRate;
  bench.counters["block_share_percent"] =
      bench.iterations() > 0 ? 100.0 * seconds / static_cast<double>(bench.iterations()) / blockSeconds : 0.0;
}
// 12 and 48 samples a cycle, and 192 (9600 Hz, the usable rate nearest the default 10 kHz).
BENCHMARK(BM_TriggerAlgorithms60)->Arg(12)->Arg(48)->Arg(192)->Unit(benchmark::kMicrosecond);

}  // namespace
