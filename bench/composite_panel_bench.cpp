// Per-block processing of a full-size block with the composite panel's
// values on (display interval 0: every block computed and drawn), beside
// the same processing without the panel. The panel holds 16 items: 12
// analog channels by all four kinds and 4 switch inputs.
#include <benchmark/benchmark.h>

#include <vector>

#include "CountingCanvas.h"
#include "FullSizeConfig.h"

#include "acquisition/BlockProcessing.h"
#include "acquisition/ChannelLayout.h"
#include "acquisition/PrepareStart.h"
#include "auxwin/CompositeValues.h"

namespace {

using namespace quelvar;

struct Recorder {
  AppState s;
  bool ok = false;
  Recorder() {
    LiveConfig& c = s.config;
    bench::SetFullSizeConfig(c);
    ComputeChannelLayout(c, s.layout, 192, true, {});
    StartReporter quiet{[](const std::string&) {}, [](const std::string&) {},
                        [](const std::string&, const std::string&) {}, [](int, const std::string&) {}};
    ok = PrepareStart(s, true, quiet);
    s.RunState = kRunRecording;
    uint16_t* rows = s.acq.CurrentBlock() + 1;
    for (int r = 0; r < c.NumSamp; ++r) {
      for (int w = 0; w < c.NumChn; ++w) rows[r * c.NumChn + w] = static_cast<uint16_t>(w < 100 ? 2048 + r % 100 : r);
    }
  }
};

CompositeDef SixteenItems() {
  CompositeDef def;
  def.Count = 16;
  def.Columns = 4;
  def.FontSize = 30;
  def.Chars = 7;
  def.Items.assign(16, BlankCompositeItem());
  for (int k = 0; k < 16; ++k) {
    CompositeItem& item = def.Items[static_cast<size_t>(k)];
    item.Channel = k < 12 ? k * 8 : 100 + k;
    item.Kind = k % 4;
    item.Decimals = 2;
    item.Alarm = k % 5;
    item.Value1 = 0.05;
    item.Value2 = 0.4;
    SetCompositeItemName(item, "通道" + std::to_string(k));
  }
  return def;
}

BlockReporter QuietReport() {
  return BlockReporter{[](const std::string&) {}, [] { return size_t{0}; }, [] {},
                       [](const std::string&) {}, [](int, const std::string&) {}, [] {}};
}

void Run(benchmark::State& bench, Recorder& rec, const BlockReporter& report) {
  if (!rec.ok) {
    bench.SkipWithError("preparation refused");
    return;
  }
  uint16_t seq = 0;
  for (auto _ : bench) {
    rec.s.acq.CurrentBlock()[0] = seq++;
    ProcessBlock(rec.s, 45000.0, report);
  }
  bench.SetItemsProcessed(bench.iterations());
}

void BM_ProcessBlockWithoutCompositePanel(benchmark::State& bench) {
  Recorder rec;
  Run(bench, rec, QuietReport());
}
BENCHMARK(BM_ProcessBlockWithoutCompositePanel)->Unit(benchmark::kMicrosecond);

void BM_ProcessBlockWithCompositeValues(benchmark::State& bench) {
  Recorder rec;
  const CompositeDef def = SixteenItems();
  std::vector<CompositeCell> cells;
  bench::CountingCanvas canvas;
  BlockReporter report = QuietReport();
  report.compositeValues = [&](const uint16_t* block) {
    ComputeCompositeCells(def, {rec.s.config, rec.s.layout, rec.s.torque, block}, cells);
    DrawCompositePanel(canvas, def, cells, 0, {240, 240, 240});
  };
  Run(bench, rec, report);
}
BENCHMARK(BM_ProcessBlockWithCompositeValues)->Unit(benchmark::kMicrosecond);


}  // namespace
