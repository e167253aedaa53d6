// The text table of a long shown range: 10^6 points of 8 channels (and two
// switch inputs), built into nothing (the table's own cost) and into a text
// file (with the GBK conversion and the writes).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

#include "BenchDir.h"
#include "acquisition/ChannelLayout.h"
#include "common/TorqueTables.h"
#include "view/EngineeringUnits.h"
#include "view/TextTable.h"

namespace {

using namespace quelvar;

constexpr int32_t kChannels = 8;
constexpr int32_t kRows = 1'000'000;

struct TableWorld {
  LiveConfig config;
  TorqueTables torque;
  SampleLayout layout;
  DisplayDescriptor display;
  WaveViewState view;
  OscilToolSettings oscil;
  std::vector<uint16_t> words;

  TableWorld() {
    config.Analog_Num = kChannels;
    config.SW_Num = 2;
    config.NumSamp = 1000;
    config.ChannelRate = 10000.0f;
    config.VZero = 2048.0f;
    config.ADMax = 4096.0f;
    for (int32_t c = 0; c < kChannels; ++c) {
      AnalogChannel& ch = config.AnalogChannelTable[static_cast<size_t>(c)];
      ch.ChnName = "Chn" + std::to_string(c);
      ch.ChnUnits = "V";
      ch.ChnIDDC = kChannelDC;
      ch.ChnCoeB = 1.0f;
      ch.ChnDigiPoint = 4;
      config.AnalogDisplayOrder[static_cast<size_t>(c)] = c;
    }
    ComputeChannelLayout(config, layout, 0, true, {});
    display.DispRowWords = config.NumChn;
    display.DispBlocks = kRows / config.NumSamp;
    display.DispRows = kRows;
    display.DispPoints = kRows * layout.MaxMultiFreq;
    display.DispValid = 1;
    display.SelectFault = 1;
    display.DispTriggerPoint = kRows / 2;
    words.resize(static_cast<size_t>(kRows) * config.NumChn);
    for (int32_t row = 0; row < kRows; ++row) {
      for (int32_t c = 0; c < config.NumChn; ++c) {
        const double angle = 2.0 * std::numbers::pi * row / 200.0 + c;
        words[static_cast<size_t>(row) * config.NumChn + c] =
            static_cast<uint16_t>(c < kChannels ? 2048 + std::lround(1000 * std::sin(angle)) : row & 3);
      }
    }
    display.DispData = words.data();
    for (int32_t k = 0; k < kChannels + 2; ++k) view.DrawnChannels[static_cast<size_t>(k)] = k;
    view.DrawnAnalogCount = kChannels;
    view.DrawnSwitchCount = 2;
    view.XPosition = 0;
    view.DisplayWidth = kRows;
  }
  TextTableSource Source() { return {{config, torque, display, layout}, view, oscil}; }
};

void BM_TextTableToNullSink(benchmark::State& state) {
  TableWorld world;
  TextTableSource source = world.Source();
  int64_t bytes = 0;
  for (auto _ : state) {
    bytes = 0;
    TextTableOfView(source, {}, [&](std::string_view piece) { bytes += static_cast<int64_t>(piece.size()); });
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(kRows), benchmark::Counter::kIsIterationInvariantRate);
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_TextTableToNullSink)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TextTableFile(benchmark::State& state) {
  TableWorld world;
  TextTableSource source = world.Source();
  bench::BenchDir dir;
  for (auto _ : state) {
    const int written = WriteTextTableFile(dir.Path() / "table.txt", source, {}, 0, "基准");
    if (written != 1) state.SkipWithError("the file was not written");
  }
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(kRows), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_TextTableFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
