// A full repaint of the waveform view, as the interface timer does it, next
// to a plain min/max scan of the same points: 64 channels over a screen of
// 1920 columns showing 10^6 points each, and 8 channels showing 1000 points.
// Drawn on the Qt canvas over an image the size of the screen's bitmap, and
// on a canvas that only counts, which leaves the renderer's own share. The
// third argument is IDDC: 0 shows AC, which also sums every word.
#include <benchmark/benchmark.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <numbers>
#include <utility>
#include <vector>

#include "CountingCanvas.h"
#include "common/AppState.h"
#include "platform/Canvas.h"
#include "platform/qt/QtCanvas.h"
#include "view/DisplayLayout.h"
#include "view/Palette.h"
#include "view/ScreenWaveformInput.h"
#include "view/WaveformRenderer.h"

namespace {

using namespace quelvar;
using bench::CountingCanvas;

constexpr int kImageWidth = CountingCanvas::kWidth;
constexpr int kColumns = kImageWidth - 5;  // the plot's columns
constexpr int kImageHeight = CountingCanvas::kHeight;

// `channels` analog channels, one a row, every point of `points` on screen:
// a sine of 20000 points a period with a little noise, so every column of
// the large case spans a few codes.
struct Scene {
  AppState state;
  std::vector<uint16_t> samples;

  Scene(int channels, int32_t points) {
    LiveConfig& c = state.config;
    c.Analog_Num = channels;
    c.SW_Num = 0;
    c.NumChn = channels;
    c.NumSamp = 1000;
    c.MaxMultiFreq = 1;
    c.ChannelRate = 10000.0f;
    c.Total_Line = channels;
    for (int k = 0; k < channels; ++k) {
      c.LineTable[k].APhaseNum = 1;
      c.AnalogChannelTable[k].ChnGroupNo = k;
    }
    RestoreDefaultColors(c.ColorPalette, kMinColorNum);
    RebuildRateLayout(c, state.layout);
    RebuildLineTables(c);
    RebuildPageTables(c, state.pages, state.wave.PageLayout);

    const int32_t blocks = (points + c.NumSamp - 1) / c.NumSamp;
    const int32_t rows = blocks * c.NumSamp;
    samples.resize(static_cast<size_t>(rows) * channels);
    uint32_t noise = 12345;
    for (int32_t r = 0; r < rows; ++r) {
      const double phase = 2.0 * std::numbers::pi * r / 20000.0;
      for (int k = 0; k < channels; ++k) {
        noise = noise * 1664525u + 1013904223u;
        const double v = 2048.0 + 1500.0 * std::sin(phase + k * 0.1) + static_cast<double>(noise >> 29);
        samples[static_cast<size_t>(r) * channels + k] = static_cast<uint16_t>(v);
      }
    }
    DisplayDescriptor& d = state.display;
    d.DispData = samples.data();
    d.DispBlocks = blocks;
    d.DispRows = rows;
    d.DispPoints = rows;
    d.DispRowWords = channels;
    d.DispTriggerBlock = blocks / 2;
    d.DispValid = 1;
    d.DataSourceMode = 1;

    WaveViewState& v = state.wave;
    v.DisplayWidth = points;
    v.XPosition = rows - points;
    v.DispScale = 5;
    v.YZoom = 1;
    v.IDDC = 1;
    v.Options.Scope = ChannelScope::All;
    v.Options.ScaleOut = false;
    state.labels.ScreenTextHeight = 12;
    state.labels.ScreenLabelWidth = 40;
  }
};

// Made once per case: the benchmark library calls a case several times.
Scene& SceneFor(const benchmark::State& bench) {
  static std::map<std::pair<int64_t, int64_t>, std::unique_ptr<Scene>> scenes;
  auto& scene = scenes[{bench.range(0), bench.range(1)}];
  if (!scene) scene = std::make_unique<Scene>(static_cast<int>(bench.range(0)), static_cast<int32_t>(bench.range(1)));
  return *scene;
}

void BM_WaveformRepaintQt(benchmark::State& bench) {
  const int channels = static_cast<int>(bench.range(0));
  Scene& scene = SceneFor(bench);
  QImage image(kImageWidth, kImageHeight, QImage::Format_RGB32);
  scene.state.wave.IDDC = static_cast<int>(bench.range(2));
  const WaveformPaintInput input = ScreenWaveformInput(scene.state);
  for (auto _ : bench) {
    platform::QtCanvas canvas(image);
    canvas.SetFont({"", 9, 0, platform::kBlack});
    PaintWaveform(canvas, input, scene.state.wave);
  }
  if (scene.state.wave.DrawnAnalogCount != channels) bench.SkipWithError("not every channel was drawn");
  bench.counters["rows"] = scene.state.wave.DrawnRows;
}

void BM_WaveformRepaintCounting(benchmark::State& bench) {
  const int channels = static_cast<int>(bench.range(0));
  Scene& scene = SceneFor(bench);
  scene.state.wave.IDDC = static_cast<int>(bench.range(2));
  const WaveformPaintInput input = ScreenWaveformInput(scene.state);
  int64_t lines = 0;
  for (auto _ : bench) {
    CountingCanvas canvas;
    PaintWaveform(canvas, input, scene.state.wave);
    lines = canvas.lines;
  }
  if (scene.state.wave.DrawnAnalogCount != channels) bench.SkipWithError("not every channel was drawn");
  bench.counters["lines"] = static_cast<double>(lines);
}

// The least any renderer must do: read every point on screen once and keep
// each column's extremes. Channel by channel, as a trace reads its channel;
// and row by row, every channel at once, which reads the matrix in memory
// order and so is the floor for a paint that looks at every sample.
int ColumnOf(int32_t j, int32_t points) {
  return static_cast<int>(int64_t{j} * (kColumns - 1) / std::max(points - 1, 1));
}

void BM_MinMaxScanByChannel(benchmark::State& bench) {
  const int channels = static_cast<int>(bench.range(0));
  const int32_t points = static_cast<int32_t>(bench.range(1));
  Scene& scene = SceneFor(bench);
  const uint16_t* data = scene.samples.data();
  const int32_t first = scene.state.wave.XPosition;
  std::vector<uint16_t> low(kColumns), high(kColumns);
  for (auto _ : bench) {
    for (int k = 0; k < channels; ++k) {
      std::fill(low.begin(), low.end(), uint16_t{65535});
      std::fill(high.begin(), high.end(), uint16_t{0});
      for (int32_t j = 0; j < points; ++j) {
        const uint16_t w = data[static_cast<size_t>(first + j) * channels + k];
        const int column = ColumnOf(j, points);
        low[column] = std::min(low[column], w);
        high[column] = std::max(high[column], w);
      }
      benchmark::DoNotOptimize(low.data());
      benchmark::DoNotOptimize(high.data());
    }
  }
}

void BM_MinMaxScanByRow(benchmark::State& bench) {
  const int channels = static_cast<int>(bench.range(0));
  const int32_t points = static_cast<int32_t>(bench.range(1));
  Scene& scene = SceneFor(bench);
  const uint16_t* data = scene.samples.data();
  const int32_t first = scene.state.wave.XPosition;
  std::vector<uint16_t> low(static_cast<size_t>(kColumns) * channels), high(low.size());
  for (auto _ : bench) {
    std::fill(low.begin(), low.end(), uint16_t{65535});
    std::fill(high.begin(), high.end(), uint16_t{0});
    for (int32_t j = 0; j < points; ++j) {
      const uint16_t* row = data + static_cast<size_t>(first + j) * channels;
      uint16_t* lo = low.data() + static_cast<size_t>(ColumnOf(j, points)) * channels;
      uint16_t* hi = high.data() + (lo - low.data());
      for (int k = 0; k < channels; ++k) {
        lo[k] = std::min(lo[k], row[k]);
        hi[k] = std::max(hi[k], row[k]);
      }
    }
    benchmark::DoNotOptimize(low.data());
    benchmark::DoNotOptimize(high.data());
  }
}

void Cases(benchmark::internal::Benchmark* b) {
  b->Args({64, 1000000, 1})->Args({8, 1000, 1})->Unit(benchmark::kMillisecond);
}
void RepaintCases(benchmark::internal::Benchmark* b) {
  Cases(b);
  b->Args({64, 1000000, 0})->Args({8, 1000, 0});
}
BENCHMARK(BM_WaveformRepaintQt)->Apply(RepaintCases);
BENCHMARK(BM_WaveformRepaintCounting)->Apply(RepaintCases);
BENCHMARK(BM_MinMaxScanByChannel)->Apply(Cases);
BENCHMARK(BM_MinMaxScanByRow)->Apply(Cases);

}  // namespace
