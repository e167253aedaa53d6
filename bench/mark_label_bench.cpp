// The label text of a mark over a full screen of channels, with the costliest
// common kind: the harmonic, a Fourier sum over one cycle per channel.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include "acquisition/ChannelLayout.h"
#include "common/TorqueTables.h"
#include "view/EngineeringUnits.h"
#include "view/MarkLabels.h"
#include "view/MarkValues.h"

namespace {

using namespace quelvar;

constexpr int32_t kChannels = 64;
constexpr int32_t kRows = 4000;  // four blocks of 1000 rows at 10 kHz

struct LabelWorld {
  LiveConfig config;
  TorqueTables torque;
  SampleLayout layout;
  DisplayDescriptor display;
  WaveViewState view;
  OscilToolSettings oscil;
  std::vector<uint16_t> words;

  LabelWorld() {
    config.Analog_Num = kChannels;
    config.SW_Num = 0;
    config.NumSamp = 1000;
    config.ChannelRate = 10000.0f;
    config.SamplesPerCycle = 200;  // 50 Hz
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
    display.DispBlocks = 4;
    display.DispRows = kRows;
    display.DispPoints = kRows * layout.MaxMultiFreq;
    display.DispValid = 1;
    display.SelectFault = 1;
    words.resize(static_cast<size_t>(kRows) * config.NumChn);
    for (int32_t row = 0; row < kRows; ++row) {
      for (int32_t c = 0; c < kChannels; ++c) {
        const double angle = 2.0 * std::numbers::pi * row / 200.0 + c;
        words[static_cast<size_t>(row) * config.NumChn + c] =
            static_cast<uint16_t>(std::lround(2048.0 + 1000.0 * std::sin(angle) + 100.0 * std::sin(3.0 * angle)));
      }
    }
    display.DispData = words.data();
    view.DisplayWidth = 2000;
    view.XPosition = 1000;
    view.Mark1X = 700;
    view.MarkType1 = kMarkHarmonic;
    view.MarkHarmonics1 = 3;
    view.DrawnRows = kChannels;
    view.DrawnAnalogCount = kChannels;
    for (int32_t k = 0; k < kChannels; ++k) view.DrawnChannels[static_cast<size_t>(k)] = k;
  }
};

void BM_MarkLabelHarmonic64Channels(benchmark::State& st) {
  LabelWorld w;
  MarkSource source{w.config, w.torque, w.display, w.layout, w.view, w.oscil, 0, 0.0};
  const int64_t a = int64_t{w.view.XPosition} + w.view.Mark1X;
  // Measures the real work only: every channel gets its line with a value.
  const std::string once = MarkLabelText(source, a, 1);
  if (once.rfind("3次谐波量:", 0) != 0 || once.find("\n\rChn63: 0.17") == std::string::npos) {
    st.SkipWithError(("unexpected label: " + once.substr(0, 80)).c_str());
    return;
  }
  for (auto _ : st) {
    std::string text = MarkLabelText(source, a, 1);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_MarkLabelHarmonic64Channels)->Unit(benchmark::kMillisecond);

}  // namespace
