#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "CountingCanvas.h"
#include "common/AppState.h"
#include "platform/PrintTarget.h"
#include "platform/RecordingPrintTarget.h"
#include "view/DisplayLayout.h"
#include "view/Palette.h"
#include "view/WavePrinting.h"

// A whole waveform print of a record of 10^6 points of 8 channels: the
// page layout, every page's frame texts and picture, on a printer that
// counts what it is given (the printing's own cost) and on the recording
// printer of the tests (which keeps every drawing call). Cases: the
// page-count layout with 10 pages, and the fixed-scale layout with pages of
// about 123000 points (1 cm margins; 10 pages).

namespace {

using namespace quelvar;

constexpr int32_t kPoints = 1000000;
constexpr int32_t kChannels = 8;

class CountingPrintTarget : public platform::PrintTarget {
 public:
  std::string PrinterName() const override { return {}; }
  int PageWidth() const override { return bench::CountingCanvas::kWidth; }
  int PageHeight() const override { return bench::CountingCanvas::kHeight; }
  int PixelsPerInchX() const override { return 600; }
  bool BeginDocument(const std::string&) override { return true; }
  void NewPage() override { ++pages; }
  void EndDocument() override {}
  platform::Canvas& PageCanvas() override { return canvas; }

  bench::CountingCanvas canvas;
  int64_t pages = 0;
};

struct Record {
  Record() {
    LiveConfig& c = state.config;
    c.Analog_Num = kChannels;
    c.SW_Num = 0;
    c.NumChn = kChannels;
    c.NumSamp = kPoints / 100;
    c.MaxMultiFreq = 1;
    c.ChannelRate = 1000.0f;
    c.Total_Line = kChannels;
    for (int i = 0; i < kChannels; ++i) {
      c.LineTable[static_cast<size_t>(i)].APhaseNum = 1;
      c.AnalogChannelTable[static_cast<size_t>(i)].ChnGroupNo = i;
      c.AnalogChannelTable[static_cast<size_t>(i)].ChnPreAmp = 1.0f;
      c.AnalogChannelTable[static_cast<size_t>(i)].ChnAxialZero = 2048;
    }
    RestoreDefaultColors(c.ColorPalette, kMinColorNum);
    RebuildRateLayout(c, state.layout);
    RebuildLineTables(c);
    RebuildPageTables(c, state.pages, state.wave.PageLayout);
    c.PrintScaleNum = 8;
    c.PerPointCM = 1.0f;
    c.PerSampTime = 20000.0f;

    matrix.resize(static_cast<size_t>(kPoints) * kChannels);
    uint32_t seed = 1;
    for (int32_t r = 0; r < kPoints; ++r) {
      for (int32_t ch = 0; ch < kChannels; ++ch) {
        seed = seed * 1664525u + 1013904223u;
        const double wave = 1500.0 * std::sin(r * 0.0007 * (ch + 1));
        matrix[static_cast<size_t>(r) * kChannels + ch] = static_cast<uint16_t>(2048.0 + wave + (seed >> 24) - 128);
      }
    }
    DisplayDescriptor& d = state.display;
    d.DispData = matrix.data();
    d.DispBlocks = 100;
    d.DispRows = kPoints;
    d.DispPoints = kPoints;
    d.DispRowWords = kChannels;
    d.DispValid = 1;
    WaveViewState& v = state.wave;
    v.Options.Scope = ChannelScope::All;
    v.XPosition = 0;
    v.DisplayWidth = kPoints;
    v.IDDC = 1;
    context.DateTime = "2024-05-06 07:08:09";
  }

  AppState state;
  std::vector<uint16_t> matrix;
  PrintContext context;
};

void Run(benchmark::State& s, int32_t fixedScale, bool recording) {
  static Record record;
  record.state.config.IDFixedScale = fixedScale;
  record.state.config.WavePage = 10;
  int32_t pages = 0;
  for (auto _ : s) {
    if (recording) {
      platform::RecordingPrintTarget target(bench::CountingCanvas::kWidth, bench::CountingCanvas::kHeight, 600);
      pages = PrintWaveforms(record.state, target, record.context, 0, nullptr, 0);
      benchmark::DoNotOptimize(target.Pages().size());
    } else {
      CountingPrintTarget target;
      pages = PrintWaveforms(record.state, target, record.context, 0, nullptr, 0);
      benchmark::DoNotOptimize(target.canvas.lines);
    }
  }
  s.counters["pages"] = pages;
}

void BM_PrintPageCountLayout(benchmark::State& s) { Run(s, 0, false); }
void BM_PrintFixedScaleLayout(benchmark::State& s) { Run(s, 1, false); }
void BM_PrintPageCountLayoutRecorded(benchmark::State& s) { Run(s, 0, true); }
void BM_PrintFixedScaleLayoutRecorded(benchmark::State& s) { Run(s, 1, true); }

}  // namespace

BENCHMARK(BM_PrintPageCountLayout)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintFixedScaleLayout)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintPageCountLayoutRecorded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintFixedScaleLayoutRecorded)->Unit(benchmark::kMillisecond);
