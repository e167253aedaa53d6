// Per-block processing of a full-size block (100 analog channels, 192 switch
// inputs: 112 words a row, 1000 rows) with switch and threshold triggers armed
// and nothing firing: the cost every block pays on the GUI thread.
#include <benchmark/benchmark.h>

#include "FullSizeConfig.h"

#include "acquisition/BlockProcessing.h"
#include "acquisition/ChannelLayout.h"
#include "acquisition/PrepareStart.h"
#include "acquisition/VirtualCard.h"

namespace {

using namespace quelvar;

void BM_ProcessBlockWithTriggersArmed(benchmark::State& bench) {
  AppState s;
  LiveConfig& c = s.config;
  bench::SetFullSizeConfig(c);
  c.IDStartBin = 1;
  for (int in = 0; in < 192; ++in) c.SwitchChannelTable[in].SWStartID = 3 + in % 3;  // edges and changes
  ComputeChannelLayout(c, s.layout, 192, true, {});
  StartReporter quiet{[](const std::string&) {}, [](const std::string&) {},
                      [](const std::string&, const std::string&) {}, [](int, const std::string&) {}};
  if (!PrepareStart(s, true, quiet)) {
    bench.SkipWithError("preparation refused");
    return;
  }
  // Thresholds no sample reaches, on every analog channel.
  c.Algorithm_Num = 60;
  for (int k = 0; k < 60; ++k) {
    c.AlgorithmTable[k].Type = 1 + k % 2;
    c.AlgorithmTable[k].Channel[0] = k;
    s.triggers.ThresholdCode[k] = k % 2 ? 0 : 65535;
  }
  s.acq.ThresholdTriggerActive = 1;
  s.RunState = kRunRecording;
  // A quiet block: steady switch inputs show no edge.
  uint16_t* rows = s.acq.CurrentBlock() + 1;
  for (int r = 0; r < c.NumSamp; ++r) {
    for (int w = 0; w < c.NumChn; ++w) rows[r * c.NumChn + w] = w < 100 ? 2048 : 0;
  }
  const BlockReporter report{[](const std::string&) {}, [] { return size_t{0}; }, [] {},
                             [](const std::string&) {}, [](int, const std::string&) {}, [] {}};
  uint16_t seq = 0;
  for (auto _ : bench) {
    s.acq.CurrentBlock()[0] = seq++;
    ProcessBlock(s, 45000.0, report);
    if (s.record.Recording) bench.SkipWithError("a trigger fired");
  }
  bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_ProcessBlockWithTriggersArmed)->Unit(benchmark::kMicrosecond);

}  // namespace
