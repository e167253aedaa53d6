// The second waveform window's redraw as the interface timer runs it: the
// waveform into its bitmap, the marks, their labels and readout, the view
// history. 8 and 64 analog channels over 1000 and 10^6 points, in windows of
// 800 x 600 and 160 x 120. Beside it, what block intake pays for the window: setting its
// request flag.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <numbers>
#include <tuple>
#include <utility>
#include <vector>

#include "auxwin/FormSecondDisp.h"
#include "common/AppState.h"
#include "platform/MemoryRegistry.h"
#include "platform/ScriptedUiHost.h"
#include "view/DisplayLayout.h"
#include "view/Palette.h"

namespace {

using namespace quelvar;

struct Scene {
  AppState state;
  std::vector<uint16_t> samples;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;
  std::unique_ptr<TFormSecondDisp> window;

  Scene(int channels, int32_t points, int width, int height) {
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
    const int32_t blocks = (points + c.NumSamp - 1) / c.NumSamp;
    const int32_t rows = blocks * c.NumSamp;
    samples.resize(static_cast<size_t>(rows) * channels);
    for (int32_t r = 0; r < rows; ++r) {
      const double phase = 2.0 * std::numbers::pi * r / 20000.0;
      for (int k = 0; k < channels; ++k) {
        samples[static_cast<size_t>(r) * channels + k] =
            static_cast<uint16_t>(2048.0 + 1500.0 * std::sin(phase + k * 0.1) + (r * 7 + k) % 5);
      }
    }
    DisplayDescriptor& d = state.display;
    d.DispData = samples.data();
    d.DispBlocks = blocks;
    d.DispRows = rows;
    d.DispPoints = rows;
    d.DispRowWords = channels;
    d.DispValid = 1;
    d.DataSourceMode = 1;
    state.labels.ScreenTextHeight = 12;
    state.labels.ScreenLabelWidth = 40;

    window = std::make_unique<TFormSecondDisp>(state, registry, ui);
    window->resize(width, height);
    window->FormResize();  // a hidden window gets its resize event only when shown
    window->ScopeClick(ChannelScope::All);
    window->XZoomPresetClick(1);
    window->RebuildPageLayout();
    window->SetXWindow(rows - points, points);
  }
};

Scene& SceneFor(const benchmark::State& bench) {
  static std::map<std::tuple<int64_t, int64_t, int64_t>, std::unique_ptr<Scene>> scenes;
  auto& scene = scenes[{bench.range(0), bench.range(1), bench.range(2)}];
  if (!scene) {
    const int width = static_cast<int>(bench.range(2));
    scene = std::make_unique<Scene>(static_cast<int>(bench.range(0)), static_cast<int32_t>(bench.range(1)), width,
                                    width * 3 / 4);
  }
  return *scene;
}

void BM_SecondDispRedraw(benchmark::State& bench) {
  Scene& scene = SceneFor(bench);
  for (auto _ : bench) scene.window->RedrawWaveform();
  if (scene.window->View().DrawnAnalogCount != bench.range(0)) bench.SkipWithError("not every channel was drawn");
}

void BM_SecondDispRequest(benchmark::State& bench) {
  Scene& scene = SceneFor(bench);
  for (auto _ : bench) {
    scene.window->RepaintRequested = 1;
    benchmark::DoNotOptimize(scene.window->RepaintRequested);
  }
}

// The third argument is the window's width (its height three quarters of
// it); 160 is about the smallest window a user can drag.
BENCHMARK(BM_SecondDispRedraw)
    ->Args({8, 1000, 800})
    ->Args({64, 1000000, 800})
    ->Args({64, 1000000, 160})
    ->Args({64, 1000000, 8})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SecondDispRequest)->Args({8, 1000, 800});

}  // namespace
