// A two-trace oscilloscope paint, as the interface timer does it every
// refresh (150 ms by default): both traces on automatic range with the phase
// lock searching for an upper vertex, over a screen of a whole block, on the
// Qt canvas over an image the size of a full-screen bitmap and on a canvas
// that only counts (the renderer's own share).
#include <benchmark/benchmark.h>

#include <QImage>

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <numbers>
#include <vector>

#include "CountingCanvas.h"
#include "common/AppState.h"
#include "platform/Canvas.h"
#include "platform/qt/QtCanvas.h"
#include "view/DisplayLayout.h"
#include "view/OscilloscopeRenderer.h"
#include "view/Palette.h"
#include "view/ScreenWaveformInput.h"

namespace {

using namespace quelvar;
using bench::CountingCanvas;

constexpr int kImageWidth = CountingCanvas::kWidth;
constexpr int kImageHeight = CountingCanvas::kHeight;

// Two analog channels, two blocks of `points` rows (the phase lock needs
// room after its match), the screen showing one block: a sine of 1000 points
// a period on each with a little noise.
struct Scene {
  AppState state;
  std::vector<uint16_t> samples;

  explicit Scene(int32_t points) {
    LiveConfig& c = state.config;
    c.Analog_Num = 2;
    c.SW_Num = 0;
    c.NumChn = 2;
    c.NumSamp = points;
    c.MaxMultiFreq = 1;
    c.ChannelRate = 10000.0f;
    c.Total_Line = 2;
    for (int k = 0; k < 2; ++k) {
      c.LineTable[k].APhaseNum = 1;
      c.AnalogChannelTable[k].ChnGroupNo = k;
    }
    RestoreDefaultColors(c.ColorPalette, kMinColorNum);
    RebuildRateLayout(c, state.layout);
    RebuildLineTables(c);

    const int32_t rows = 2 * points;
    samples.resize(static_cast<size_t>(rows) * 2);
    uint32_t noise = 12345;
    for (int32_t r = 0; r < rows; ++r) {
      const double phase = 2.0 * std::numbers::pi * r / 1000.0;
      for (int k = 0; k < 2; ++k) {
        noise = noise * 1664525u + 1013904223u;
        const double v = 2048.0 + 1500.0 * std::sin(phase + k * 0.7) + static_cast<double>(noise >> 29);
        samples[static_cast<size_t>(r) * 2 + k] = static_cast<uint16_t>(v);
      }
    }
    DisplayDescriptor& d = state.display;
    d.DispData = samples.data();
    d.DispBlocks = 2;
    d.DispRows = rows;
    d.DispPoints = rows;
    d.DispRowWords = 2;
    d.DispValid = 1;
    d.DataSourceMode = 2;

    WaveViewState& v = state.wave;
    v.DisplayWidth = points;
    v.XPosition = 0;
    v.DispScale = 5;
    v.Options.ScaleOut = false;
    v.Options.XAxialTime = true;
    state.labels.ScreenTextHeight = 12;
    state.labels.ScreenLabelWidth = 40;

    OscilToolSettings& s = state.oscilTool;
    s.ChnAd1 = 0;
    s.ChnAD2 = 1;
    s.UseChn1 = s.UseChn2 = 1;
    s.ACDC1 = s.ACDC2 = 3;
    s.FixMode = 1;
    s.FixChn = 1;
    s.AddTraces = 1;
  }
};

Scene& SceneFor(const benchmark::State& bench) {
  static std::map<int64_t, std::unique_ptr<Scene>> scenes;
  auto& scene = scenes[bench.range(0)];
  if (!scene) scene = std::make_unique<Scene>(static_cast<int32_t>(bench.range(0)));
  return *scene;
}

constexpr OscilloscopeRun kRunning{true, false};

void BM_OscilloscopePaintQt(benchmark::State& bench) {
  Scene& scene = SceneFor(bench);
  QImage image(kImageWidth, kImageHeight, QImage::Format_RGB32);
  const WaveformPaintInput input = ScreenWaveformInput(scene.state);
  for (auto _ : bench) {
    platform::QtCanvas canvas(image);
    canvas.SetFont({"", 9, 0, platform::kBlack});
    PaintOscilloscope(canvas, input, scene.state.oscilTool, scene.state.wave, kRunning);
  }
  if (scene.state.wave.DrawnAnalogCount != 2) bench.SkipWithError("not both traces were drawn");
  bench.counters["XPosition"] = scene.state.wave.XPosition;
}

void BM_OscilloscopePaintCounting(benchmark::State& bench) {
  Scene& scene = SceneFor(bench);
  const WaveformPaintInput input = ScreenWaveformInput(scene.state);
  int64_t lines = 0;
  for (auto _ : bench) {
    CountingCanvas canvas;
    PaintOscilloscope(canvas, input, scene.state.oscilTool, scene.state.wave, kRunning);
    lines = canvas.lines;
  }
  bench.counters["lines"] = static_cast<double>(lines);
}

void Cases(benchmark::internal::Benchmark* b) {
  b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_OscilloscopePaintQt)->Apply(Cases);
BENCHMARK(BM_OscilloscopePaintCounting)->Apply(Cases);

}  // namespace
