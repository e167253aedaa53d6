// The waveform picture drawn through the Qt canvas into an image, as the
// screen's bitmap gets it: a trace and the origin mark land on their pixels.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <vector>

#include "common/AppState.h"
#include "platform/qt/QtCanvas.h"
#include "view/DisplayLayout.h"
#include "view/Palette.h"
#include "view/ScreenWaveformInput.h"
#include "view/WaveformRenderer.h"

namespace {

using namespace quelvar;

QColor Stored(uint32_t bgr) {
  const platform::Color c = platform::Color::FromStored(bgr);
  return QColor(c.red, c.green, c.blue);
}

// One analog channel at 1000 points a second, ten blocks of 100 points, the
// time origin at point 300, every sample at +2.5 V (half the AD range).
class WaveformPicture : public ::testing::Test {
 protected:
  static constexpr uint16_t kWord = 2048 + 1023;

  WaveformPicture() {
    LiveConfig& c = state.config;
    c.Analog_Num = 1;
    c.SW_Num = 0;
    c.NumChn = 1;
    c.NumSamp = 100;
    c.MaxMultiFreq = 1;
    c.ChannelRate = 1000.0f;
    c.Total_Line = 1;
    c.LineTable[0].APhaseNum = 1;
    c.AnalogChannelTable[0].ChnGroupNo = 0;
    c.AnalogChannelTable[0].ChnPreAmp = 1.0f;
    c.AnalogChannelTable[0].ChnAxialZero = 2048;
    RestoreDefaultColors(c.ColorPalette, kMinColorNum);
    RebuildRateLayout(c, state.layout);
    RebuildLineTables(c);
    RebuildPageTables(c, state.pages, state.wave.PageLayout);

    samples.assign(1000, kWord);
    DisplayDescriptor& d = state.display;
    d.DispData = samples.data();
    d.DispBlocks = 10;
    d.DispRows = 1000;
    d.DispPoints = 1000;
    d.DispRowWords = 1;
    d.DispTriggerBlock = 3;
    d.DispTriggerPoint = 0;
    d.DispValid = 1;

    WaveViewState& v = state.wave;
    v.XPosition = 0;
    v.DisplayWidth = 1000;
    v.DispScale = 5;
    v.YZoom = 1;
    v.IDDC = 1;
    v.Options.Scope = ChannelScope::Channel;
    v.Options.ScaleOut = false;
    v.Options.XAxialTime = false;
  }

  // Drawn as the main window draws its bitmap: the screen font, the
  // metrics measured on it.
  void Paint() {
    platform::QtCanvas canvas(image);
    canvas.SetFont({"", 9, 0, platform::kBlack});
    state.labels.ScreenTextHeight = canvas.TextHeight("1");
    state.labels.ScreenLabelWidth = canvas.TextWidth("CH1");
    PaintWaveform(canvas, ScreenWaveformInput(state), state.wave);
  }

  AppState state;
  std::vector<uint16_t> samples;
  // Plot from x = 4 to 4 + 999 and y = 2 to 2 + 400: one point a pixel.
  QImage image{1004, 403, QImage::Format_RGB32};
};

TEST_F(WaveformPicture, TraceLiesAtItsLevelInTheChannelsColourAndTheOriginMarkIsRed) {
  image.fill(Qt::blue);
  Paint();
  EXPECT_EQ(state.wave.DrawnAnalogCount, 1);

  // y = top + M / 2 - (w - VZero) / (ADMax - VZero) x (M / 2): 102.05.
  const QColor trace = Stored(ChannelColor(state.config, 0, kPaletteRowBlack));
  const QColor background(Qt::black);
  for (int x : {50, 500, 950}) {
    EXPECT_EQ(image.pixelColor(x, 102), trace) << x;
    EXPECT_EQ(image.pixelColor(x, 101), background) << x;
    EXPECT_EQ(image.pixelColor(x, 103), background) << x;
  }
  // The origin (point 300, x = 304): a red triangle pointing down from the
  // plot's top, 20 pixels wide at the top, in front of its tick; the plot
  // frame, drawn last, runs along its top row.
  const QColor red(255, 0, 0);
  const QColor scale = Stored(state.config.ColorPalette[kPaletteRowBlack][kSlotScale]);
  EXPECT_EQ(image.pixelColor(304, 2), scale);
  EXPECT_EQ(image.pixelColor(304, 3), red);
  EXPECT_EQ(image.pixelColor(304, 12), red);
  EXPECT_EQ(image.pixelColor(296, 5), red);
  EXPECT_EQ(image.pixelColor(311, 5), red);
  EXPECT_NE(image.pixelColor(290, 12), red);
  // The frame closes the picture on the right and at the bottom.
  EXPECT_EQ(image.pixelColor(1003, 200), scale);
  EXPECT_EQ(image.pixelColor(500, 402), scale);
}

TEST_F(WaveformPicture, WhiteSchemeDrawsOnWhiteAndInvalidDataLeaveTheImageAlone) {
  state.wave.WhiteBG = 1;
  image.fill(Qt::blue);
  Paint();
  EXPECT_EQ(image.pixelColor(500, 60), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(500, 102), Stored(ChannelColor(state.config, 0, kPaletteRowWhite)));

  state.display.DispValid = 0;
  image.fill(Qt::blue);
  Paint();
  EXPECT_EQ(image.pixelColor(500, 102), QColor(Qt::blue));
  EXPECT_EQ(state.wave.DrawnAnalogCount, 0);
}

}  // namespace
