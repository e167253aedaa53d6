// The marks' status readout and the time index it counts in.
#include <gtest/gtest.h>

#include <string>

#include "view/MarkReadout.h"

namespace {

using namespace quelvar;

class MarkReadout : public ::testing::Test {
 protected:
  MarkReadout() {
    ViewOptions options;
    options.ScaleOut = false;
    plot = MarkPlotOf(options, ScaleLabelMetrics{}, 504, 204);  // T 2, H 201: H - 1 = 200 rows
    view.DisplayWidth = 5000;
    view.XPosition = 0;
    view.Mark1X = 1;
    view.Mark2X = 2401;
    view.Mark1Y = 10;
    view.Mark2Y = 110;  // 100 rows apart: half the plot, 5 V at gain 1
    display.DispValid = 1;
    display.DispPoints = 100000;
    input.Display = &display;
    input.NumSamp = 100;
    input.MaxMultiFreq = 1;
    input.MaxChannelRate = 4800.0f;
  }
  // Points from the first block's 10th block on are compressed 10 to 1.
  void CompressFromPoint1000() {
    display.DispCompressed = 1;
    display.DispCompressRatio = 10;
    display.DispFirstBlock = 0;
    display.DispCompressStart = 10;
  }
  static bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }
  static bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
  }

  MarkPlot plot;
  WaveViewState view;
  DisplayDescriptor display;
  MarkReadoutInput input;
  OscilToolSettings oscil;
};

TEST_F(MarkReadout, TimeAndFrequencyDifferenceOfTheMarks) {
  EXPECT_EQ(MarkReadoutText(view, plot, input), "两标线时差△T=500ms (2400点);△f=2.00Hz");
  std::swap(view.Mark1X, view.Mark2X);  // either order
  EXPECT_EQ(MarkReadoutText(view, plot, input), "两标线时差△T=500ms (2400点);△f=2.00Hz");
  view.XPosition = 777;  // the same distance anywhere in the data
  EXPECT_EQ(MarkReadoutText(view, plot, input), "两标线时差△T=500ms (2400点);△f=2.00Hz");
}

TEST_F(MarkReadout, MarksOnTheSamePointCountOnePoint) {
  view.Mark2X = view.Mark1X;
  const std::string text = MarkReadoutText(view, plot, input);
  EXPECT_TRUE(StartsWith(text, "两标线时差△T=")) << text;
  EXPECT_TRUE(EndsWith(text, " (1点);△f=4800.00Hz")) << text;
}

TEST_F(MarkReadout, TimeIndexSpreadsCompressedPointsOverTheirSamples) {
  CompressFromPoint1000();
  struct Case {
    int64_t windowIndex, timeIndex;
  } const cases[] = {{0, 0}, {999, 999}, {1000, 1005}, {1005, 1055}, {1006, 1065}};
  for (const Case& c : cases) {
    EXPECT_EQ(MarkTimeIndex(display, input.NumSamp, input.MaxMultiFreq, c.windowIndex), c.timeIndex)
        << "index " << c.windowIndex;
  }
  display.DispCompressed = 0;
  EXPECT_EQ(MarkTimeIndex(display, input.NumSamp, input.MaxMultiFreq, 1005), 1005);
}

TEST_F(MarkReadout, MarksAcrossTheCompressedBoundaryCountSamples) {
  CompressFromPoint1000();
  view.XPosition = 990;
  view.Mark1X = 10;  // index 999
  view.Mark2X = 16;  // index 1005: time index 1055
  const std::string text = MarkReadoutText(view, plot, input);
  EXPECT_TRUE(EndsWith(text, " (56点);△f=85.71Hz")) << text;
}

TEST_F(MarkReadout, VoltageDifferenceOnlyWithLevelLinesOverOneAnalogRow) {
  view.YZoom = 2;
  struct Case {
    bool levelLines;
    int32_t drawnRows;
    bool switchView;
    std::string tail;
  } const cases[] = {
      {true, 1, false, "Hz, AD电压差=2.5000V"},  // 100 rows of 200 at gain 2
      {false, 1, false, "△f=2.00Hz"},
      {true, 2, false, "△f=2.00Hz"},
      {true, 0, false, "△f=2.00Hz"},
      {true, 1, true, "△f=2.00Hz"},
  };
  for (const Case& c : cases) {
    view.Options.ViewV = c.levelLines;
    view.DrawnRows = c.drawnRows;
    view.Options.ViewSwitch = c.switchView;
    const std::string text = MarkReadoutText(view, plot, input);
    EXPECT_TRUE(EndsWith(text, c.tail)) << text;
  }
}

// A paint box hardly taller than its margins (the second window can be made
// that small) has a plot of one row or none: no division by zero rows.
TEST_F(MarkReadout, VoltageDifferenceOverAPlotWithoutRows) {
  view.Options.ViewV = true;
  view.DrawnRows = 1;
  view.Mark1Y = 3;
  view.Mark2Y = 3;
  for (const int h : {1, 0, -5}) {
    plot.H = h;
    const std::string text = MarkReadoutText(view, plot, input);
    EXPECT_TRUE(EndsWith(text, "AD电压差=0.0000V")) << h << ": " << text;
  }
}

TEST_F(MarkReadout, OscilloscopeReadoutFollowsItsMarkerLines) {
  oscil.UseChn1 = 1;
  oscil.UseChn2 = 1;
  oscil.YZoom1 = 1;
  oscil.YZoom2 = 1;
  view.Mark1X = 100;
  view.Mark2X = 340;  // 240 points at 4800/s: 50 ms, 20 Hz
  struct Case {
    int32_t measTime, measVolt;
    std::string text;
  } const cases[] = {
      {1, 0, "时差△T=50ms (240点);△f=20.00Hz"},
      {0, 1, " AD电压差=5.0000V"},
      {1, 1, "时差△T=50ms (240点);△f=20.00Hz AD电压差=5.0000V"},
      {0, 0, ""},
  };
  for (const Case& c : cases) {
    oscil.MeasTime = c.measTime;
    oscil.MeasVolt = c.measVolt;
    EXPECT_EQ(OscMarkReadoutText(view, plot, oscil, 2, 4800.0f), c.text);
  }
}

TEST_F(MarkReadout, OscilloscopeGivesOneVoltageATraceWhenBothShowAtDifferentGains) {
  oscil.MeasTime = 0;
  oscil.MeasVolt = 1;
  struct Case {
    int32_t analogNum, useChn1, useChn2, yZoom1, yZoom2;
    std::string text;
  } const cases[] = {
      {2, 1, 1, 1, 2, " AD电压差=5.000,2.500V"},
      {2, 1, 1, 2, 2, " AD电压差=2.5000V"},  // same gain: one value
      {1, 1, 1, 1, 2, " AD电压差=5.0000V"},  // one analog channel: trace 1's gain
      {2, 1, 0, 1, 2, " AD电压差=5.0000V"},
      {2, 0, 1, 1, 2, " AD电压差=2.5000V"},  // trace 2 alone: its gain
  };
  for (const Case& c : cases) {
    oscil.UseChn1 = c.useChn1;
    oscil.UseChn2 = c.useChn2;
    oscil.YZoom1 = c.yZoom1;
    oscil.YZoom2 = c.yZoom2;
    EXPECT_EQ(OscMarkReadoutText(view, plot, oscil, c.analogNum, 4800.0f), c.text);
  }
}

TEST_F(MarkReadout, OscilloscopeMarksOnOnePointCountOnePoint) {
  oscil.MeasTime = 1;
  oscil.MeasVolt = 0;
  view.Mark2X = view.Mark1X;
  EXPECT_TRUE(EndsWith(OscMarkReadoutText(view, plot, oscil, 2, 4800.0f), " (1点);△f=4800.00Hz"));
}

}  // namespace
