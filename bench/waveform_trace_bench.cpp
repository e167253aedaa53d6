#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/Canvas.h"
#include "view/WaveTraces.h"

#ifdef QUELVAR_BENCH_QT
#include <QImage>

#include "platform/qt/QtCanvas.h"
#endif

// A full repaint's traces: every channel of a screen drawn from the display
// matrix, against a plain min/max scan of the same samples (the least any
// faithful drawing must read), channel by channel and in the matrix's row
// order. Cases: 64 channels on 1920 columns from a window of 10^6 points per
// channel (columns reduced), and 8 channels of 1000 points (every point
// joined).

namespace {

using namespace quelvar;

// Counts the lines it is given and paints nothing: the traces' own cost.
class CountingCanvas : public platform::Canvas {
 public:
  int Width() const override { return 1925; }
  int Height() const override { return 1083; }
  void SetPixel(int, int, platform::Color) override {}
  void FillRect(const platform::Rect&) override {}
  void Rectangle(const platform::Rect&) override {}
  void TextOut(int, int, const std::string&) override {}
  int TextWidth(const std::string&) const override { return 0; }
  int TextHeight(const std::string&) const override { return 0; }
  void Draw(int, int, const platform::Picture&) override {}
  void StretchDraw(const platform::Rect&, const platform::Picture&) override {}
  int64_t lines = 0;

 protected:
  void DrawLine(platform::Point, platform::Point) override { ++lines; }
};

// A recorder ring of `points` rows of `channels` words: a sine per channel
// with noise, the ring's oldest block in its middle so the screen wraps.
struct Screen {
  Screen(int32_t channels, int32_t points, int32_t plotWidth) : channels(channels) {
    matrix.resize(static_cast<size_t>(channels) * points);
    uint32_t seed = 1;
    for (int32_t r = 0; r < points; ++r) {
      for (int32_t c = 0; c < channels; ++c) {
        seed = seed * 1664525u + 1013904223u;
        const double wave = 1500.0 * std::sin(r * 0.0007 * (c + 1));
        matrix[static_cast<size_t>(r) * channels + c] = static_cast<uint16_t>(2048.0 + wave + (seed >> 24) - 128);
      }
    }
    display.DispData = matrix.data();
    display.DispBlocks = 10;
    display.DispRows = points;
    display.DispPoints = points;
    display.DispRowWords = channels;
    display.DispFirstBlock = 4;
    display.DispValid = 1;
    layout.Analog_Num = channels;
    layout.NumVChn = channels;
    layout.NumChn = channels;
    layout.MultiFreqTable.fill(1);
    data.Display = &display;
    data.Layout = &layout;
    data.NumSamp = points / 10;
    data.AnalogNum = channels;
    view.IDDC = 1;
    view.XPosition = 0;
    view.DisplayWidth = points;
    view.YZoom = 1;
    row.N = plotWidth;
    row.Height = 1080 / channels;
  }

  // A paint's traces: the screen's columns gathered once, then each channel
  // drawn from them; `gather` false draws each channel from the rows alone.
  void DrawAll(platform::Canvas& canvas, bool gather) {
    if (gather) columns.Gather(data, view, row.N);
    for (int32_t c = 0; c < channels; ++c) {
      row.CentreY = 2.0 + (c + 0.5) * row.Height;
      DrawAnalogTrace(canvas, data, row, view, channel, c, gather ? &columns : nullptr);
    }
  }

  // Per channel and pixel column, the lowest and highest code: the plain
  // scan the reduced drawing is measured against. Column k holds the points
  // j with N x j / (W - 1) = k.
  int64_t MinMaxScan() const {
    const int64_t width = view.DisplayWidth, n = row.N, rows = display.DispRows;
    const int64_t firstRow = static_cast<int64_t>(display.DispFirstBlock) * data.NumSamp % rows;
    int64_t checksum = 0;
    for (int32_t c = 0; c < channels; ++c) {
      int64_t j = 0;
      for (int64_t column = 0; column <= n; ++column) {
        const int64_t next = std::min(((column + 1) * (width - 1) + n - 1) / n, width);
        uint16_t low = UINT16_MAX, high = 0;
        for (; j < next; ++j) {
          const int64_t r = j + firstRow < rows ? j + firstRow : j + firstRow - rows;
          const uint16_t w = matrix[static_cast<size_t>(r * channels + c)];
          low = std::min(low, w);
          high = std::max(high, w);
        }
        checksum += high - low;
      }
    }
    return checksum;
  }

  // The same scan in the matrix's own order: each column's rows once, every
  // channel of a row together.
  int64_t MinMaxScanInRowOrder() const {
    const int64_t width = view.DisplayWidth, n = row.N, rows = display.DispRows;
    const int64_t firstRow = static_cast<int64_t>(display.DispFirstBlock) * data.NumSamp % rows;
    std::vector<uint16_t> low(static_cast<size_t>(channels)), high(static_cast<size_t>(channels));
    int64_t checksum = 0;
    int64_t j = 0;
    for (int64_t column = 0; column <= n; ++column) {
      const int64_t next = std::min(((column + 1) * (width - 1) + n - 1) / n, width);
      std::fill(low.begin(), low.end(), UINT16_MAX);
      std::fill(high.begin(), high.end(), uint16_t{0});
      for (; j < next; ++j) {
        const int64_t r = j + firstRow < rows ? j + firstRow : j + firstRow - rows;
        const uint16_t* words = &matrix[static_cast<size_t>(r * channels)];
        for (int32_t c = 0; c < channels; ++c) {
          low[static_cast<size_t>(c)] = std::min(low[static_cast<size_t>(c)], words[c]);
          high[static_cast<size_t>(c)] = std::max(high[static_cast<size_t>(c)], words[c]);
        }
      }
      for (int32_t c = 0; c < channels; ++c) checksum += high[static_cast<size_t>(c)] - low[static_cast<size_t>(c)];
    }
    return checksum;
  }

  int32_t channels;
  std::vector<uint16_t> matrix;
  DisplayDescriptor display;
  SampleLayout layout;
  TraceData data;
  TraceRow row;
  WaveViewState view;
  AnalogChannel channel;
  TraceColumns columns;
};

Screen& Large() {
  static Screen screen(64, 1000000, 1920);
  return screen;
}

Screen& Small() {
  static Screen screen(8, 1000, 1920);
  return screen;
}

void TracesOn(benchmark::State& state, Screen& screen, bool gather) {
  CountingCanvas canvas;
  for (auto _ : state) {
    screen.DrawAll(canvas, gather);
    benchmark::ClobberMemory();
  }
  state.counters["lines/repaint"] =
      benchmark::Counter(static_cast<double>(canvas.lines) / static_cast<double>(state.iterations()));
  state.SetItemsProcessed(state.iterations() * screen.channels * screen.view.DisplayWidth);
}

void ScanOf(benchmark::State& state, Screen& screen) {
  for (auto _ : state) benchmark::DoNotOptimize(screen.MinMaxScan());
  state.SetItemsProcessed(state.iterations() * screen.channels * screen.view.DisplayWidth);
}

// The repaint as the renderer does it (columns gathered once), each channel
// on its own, and the reference scan.
void BM_Traces64x1920From1M(benchmark::State& state) { TracesOn(state, Large(), true); }
void BM_TracesEachChannelAlone64x1920From1M(benchmark::State& state) { TracesOn(state, Large(), false); }
void BM_MinMaxScan64x1920From1M(benchmark::State& state) { ScanOf(state, Large()); }
// The AC display also sums every word for the mean.
void BM_MinMaxScanInRowOrder64x1920From1M(benchmark::State& state) {
  Screen& screen = Large();
  for (auto _ : state) benchmark::DoNotOptimize(screen.MinMaxScanInRowOrder());
  state.SetItemsProcessed(state.iterations() * screen.channels * screen.view.DisplayWidth);
}
void BM_TracesAc64x1920From1M(benchmark::State& state) {
  Screen& screen = Large();
  screen.view.IDDC = 0;
  TracesOn(state, screen, true);
  screen.view.IDDC = 1;
}
// The gathering alone, on as many threads as it chooses and on one.
void GatherOn(benchmark::State& state, int threads) {
  Screen& screen = Large();
  screen.view.IDDC = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    screen.columns.Gather(screen.data, screen.view, screen.row.N, threads);
    benchmark::ClobberMemory();
  }
  screen.view.IDDC = 1;
  state.SetItemsProcessed(state.iterations() * screen.channels * screen.view.DisplayWidth);
}
void BM_Gather64x1920From1M(benchmark::State& state) { GatherOn(state, 0); }
void BM_GatherOneThread64x1920From1M(benchmark::State& state) { GatherOn(state, 1); }
BENCHMARK(BM_Gather64x1920From1M)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GatherOneThread64x1920From1M)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
void BM_Traces8x1000(benchmark::State& state) { TracesOn(state, Small(), true); }
void BM_MinMaxScan8x1000(benchmark::State& state) { ScanOf(state, Small()); }
BENCHMARK(BM_Traces64x1920From1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TracesEachChannelAlone64x1920From1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MinMaxScan64x1920From1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MinMaxScanInRowOrder64x1920From1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TracesAc64x1920From1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Traces8x1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MinMaxScan8x1000)->Unit(benchmark::kMicrosecond);

#ifdef QUELVAR_BENCH_QT
// The same traces rasterised into the screen's bitmap.
void TracesOnImage(benchmark::State& state, Screen& screen) {
  QImage image(1925, 1083, QImage::Format_RGB32);
  image.fill(Qt::black);
  platform::QtCanvas canvas(image);
  canvas.SetPenColor({0, 255, 0});
  for (auto _ : state) {
    screen.DrawAll(canvas, true);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * screen.channels * screen.view.DisplayWidth);
}
void BM_TracesOnImage64x1920From1M(benchmark::State& state) { TracesOnImage(state, Large()); }
void BM_TracesOnImage8x1000(benchmark::State& state) { TracesOnImage(state, Small()); }
BENCHMARK(BM_TracesOnImage64x1920From1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TracesOnImage8x1000)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
