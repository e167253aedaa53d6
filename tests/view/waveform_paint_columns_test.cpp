// A paint of many traces reads the screen's columns gathered once for all
// channels; what it draws must be what each channel draws on its own.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "common/AppState.h"
#include "platform/RecordingCanvas.h"
#include "view/DisplayLayout.h"
#include "view/ScreenWaveformInput.h"
#include "view/WaveformRenderer.h"

namespace {

using namespace quelvar;
using platform::CanvasOp;
using platform::Color;

constexpr int kChannels = 6;
constexpr int32_t kPoints = 5000;  // 12 points a pixel column on a 400-pixel plot

// Each channel's trace in a colour of its own, none shared with the scale.
uint32_t CurveColor(int key) { return 0x000010u * static_cast<uint32_t>(key + 1) + 0x400000u; }

class WaveformPaintColumns : public ::testing::Test {
 protected:
  WaveformPaintColumns() {
    LiveConfig& c = state.config;
    c.Analog_Num = kChannels;
    c.SW_Num = 0;
    c.NumChn = kChannels;
    c.NumSamp = 500;
    c.MaxMultiFreq = 1;
    c.Total_Line = kChannels;
    for (int k = 0; k < kChannels; ++k) {
      c.LineTable[k].APhaseNum = 1;
      c.AnalogChannelTable[k].ChnGroupNo = k;
    }
    c.ColorNum = 16;
    for (int slot = 0; slot < kPaletteSlots; ++slot) c.ColorPalette[0][slot] = 0x00FF00;
    for (int k = 0; k < kChannels; ++k) c.ColorPalette[0][4 + k] = CurveColor(k);
    RebuildRateLayout(c, state.layout);
    RebuildLineTables(c);
    RebuildPageTables(c, state.pages, state.wave.PageLayout);

    samples.resize(static_cast<size_t>(kPoints) * kChannels);
    uint32_t noise = 7;
    for (int32_t r = 0; r < kPoints; ++r) {
      for (int k = 0; k < kChannels; ++k) {
        noise = noise * 1664525u + 1013904223u;
        const double v = 2048.0 + 1200.0 * std::sin(r / (90.0 + 40 * k)) + static_cast<double>(noise >> 24);
        samples[static_cast<size_t>(r) * kChannels + k] = static_cast<uint16_t>(v);
      }
    }
    DisplayDescriptor& d = state.display;
    d.DispData = samples.data();
    d.DispBlocks = kPoints / c.NumSamp;
    d.DispRows = kPoints;
    d.DispPoints = kPoints;
    d.DispRowWords = kChannels;
    d.DispFirstBlock = 3;  // the ring's oldest block is not block 0
    d.DispValid = 1;

    WaveViewState& v = state.wave;
    v.XPosition = 0;
    v.DisplayWidth = kPoints;
    v.YZoom = 2;
    // Every row over the whole plot: one channel alone lies where it lies
    // among all.
    v.Options.In1Axial = true;
    v.Options.ScaleOut = false;
  }

  std::vector<std::pair<platform::Point, platform::Point>> TraceOf(const platform::RecordingCanvas& canvas,
                                                                   int key) const {
    std::vector<std::pair<platform::Point, platform::Point>> lines;
    for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Line)) {
      if (op.pen.color == Color::FromStored(CurveColor(key))) lines.emplace_back(op.from, op.to);
    }
    return lines;
  }

  AppState state;
  std::vector<uint16_t> samples;
};

TEST_F(WaveformPaintColumns, AllChannelsAtOnceDrawWhatEachChannelDrawsAlone) {
  for (int32_t iddc : {1, 0}) {  // DC, and AC with its mean of the shown points
    state.wave.IDDC = iddc;
    state.wave.Options.Scope = ChannelScope::All;
    platform::RecordingCanvas all(405, 303);
    PaintWaveform(all, ScreenWaveformInput(state), state.wave);
    ASSERT_EQ(state.wave.DrawnAnalogCount, kChannels);

    for (int key = 0; key < kChannels; ++key) {
      state.wave.Options.Scope = ChannelScope::Channel;
      state.wave.BegDispChannel = key;
      platform::RecordingCanvas alone(405, 303);
      PaintWaveform(alone, ScreenWaveformInput(state), state.wave);
      ASSERT_EQ(state.wave.DrawnAnalogCount, 1);
      const auto expected = TraceOf(alone, key);
      EXPECT_GT(expected.size(), 400u) << key;
      EXPECT_EQ(TraceOf(all, key), expected) << "key " << key << " IDDC " << iddc;
    }
  }
}

}  // namespace
