#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "platform/RecordingCanvas.h"
#include "view/OscilloscopeAxis.h"
#include "view/OscilloscopeRenderer.h"
#include "view/OscilloscopeTraces.h"
#include "view/Palette.h"

// The recording canvas's default font is size 9: texts are 18 pixels high
// and 9 pixels a character wide. The canvas of 405 x 303 pixels gives a plot
// of N = 400 by H = 300 at (4, 2) while the labels stand inside it, so the
// centre line lies at 2 + 150 and one division is 60 pixels.

namespace {

using namespace quelvar;
using namespace quelvar::platform;

constexpr int kTextH = 18;
constexpr int kLeft = 4;
constexpr int kTop = 2;
constexpr int kN = 400;
constexpr int kH = 300;
constexpr int kRows = 1000;
constexpr int kWords = 5;  // four analog channels and one switch word

struct Text {
  int x;
  int y;
  std::string text;
  friend bool operator==(const Text&, const Text&) = default;
};
std::ostream& operator<<(std::ostream& os, const Text& t) {
  return os << "{" << t.x << ", " << t.y << ", \"" << t.text << "\"}";
}

class OscilloscopeRenderer : public ::testing::Test {
 protected:
  OscilloscopeRenderer() {
    config.Analog_Num = 4;
    config.SW_Num = 2;
    config.NumSamp = kRows;
    config.VZero = 2048.0f;
    config.ADMax = 4096.0f;
    config.ColorNum = kMinColorNum;
    RestoreDefaultColors(config.ColorPalette, kMinColorNum);
    config.ColorPalette[0][kSlotScale] = 0x123456;
    config.ColorPalette[1][kSlotScale] = 0x654321;
    for (int c = 0; c < 4; ++c) {
      config.AnalogChannelTable[c].ChnUnits = "V";
      config.AnalogChannelTable[c].ChnIDDC = 1;
    }
    layout.Analog_Num = 4;
    layout.NumVChn = kWords;
    layout.NumChn = kWords;
    layout.MaxMultiFreq = 1;
    layout.MaxChannelRate = 1000.0f;
    for (int c = 0; c < kWords; ++c) layout.MultiFreqTable[c] = 1;

    data.assign(static_cast<size_t>(kRows) * kWords, 2048);
    display.DispData = data.data();
    display.DispBlocks = 1;
    display.DispRows = kRows;
    display.DispPoints = kRows;
    display.DispRowWords = kWords;
    display.DispValid = 1;
    display.DataSourceMode = 2;

    input.Config = &config;
    input.Layout = &layout;
    input.Display = &display;
    input.TextHeight = kTextH;
    input.LabelWidth = 40;
    input.WhiteBG = 0;

    view.XPosition = 0;
    view.DisplayWidth = 400;
    view.Options.ScaleOut = false;
    view.Options.XAxialTime = false;

    settings.ChnAd1 = 0;
    settings.ChnAD2 = 1;
    settings.UseChn1 = 1;
    settings.UseChn2 = 1;
    settings.ACDC1 = 1;
    settings.ACDC2 = 1;
    settings.YZoom1 = 1;
    settings.YZoom2 = 1;
    settings.MeasTime = 0;
    settings.FixMode = 0;
  }

  OscilloscopePaintResult Paint() {
    canvas.Clear();
    return PaintOscilloscope(canvas, input, settings, view, run);
  }

  uint16_t& Word(int row, int word) { return data[static_cast<size_t>(row) * kWords + word]; }
  void FillChannel(int word, auto&& value) {
    for (int r = 0; r < kRows; ++r) Word(r, word) = static_cast<uint16_t>(value(r));
  }

  Color Curve(int key) const { return Color::FromStored(ChannelColor(config, key, PaletteRow(input.WhiteBG))); }

  // Lines drawn in `color`, as (from, to).
  std::vector<std::pair<Point, Point>> LinesIn(Color color) const {
    std::vector<std::pair<Point, Point>> lines;
    for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Line)) {
      if (op.pen.color == color) lines.push_back({op.from, op.to});
    }
    return lines;
  }
  std::vector<Text> TextsAt(int x) const {
    std::vector<Text> texts;
    for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Text)) {
      if (op.from.x == x) texts.push_back({op.from.x, op.from.y, op.text});
    }
    return texts;
  }
  std::vector<Text> AxisTexts() const {
    std::vector<Text> texts;
    for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Text)) {
      if (op.from.y == 1) texts.push_back({op.from.x, op.from.y, op.text});
    }
    return texts;
  }
  // Vertical strokes down from the plot's top in the scale colour: (x, end y).
  std::vector<std::pair<int, int>> Ticks() const {
    std::vector<std::pair<int, int>> ticks;
    const Color scale = Color::FromStored(config.ColorPalette[0][kSlotScale]);
    const auto& ops = canvas.Ops();
    // The frame's four sides come last.
    for (size_t i = 0; i + 4 < ops.size(); ++i) {
      const CanvasOp& op = ops[i];
      if (op.kind == CanvasOp::Kind::Line && op.pen.color == scale && op.from.y == kTop && op.from.x == op.to.x)
        ticks.push_back({op.from.x, op.to.y});
    }
    return ticks;
  }

  LiveConfig config;
  SampleLayout layout;
  std::vector<uint16_t> data;
  DisplayDescriptor display;
  WaveformPaintInput input;
  WaveViewState view;
  OscilToolSettings settings;
  OscilloscopeRun run;
  RecordingCanvas canvas{405, 303};
};

// --- Automatic range ----------------------------------------------------------

TEST(OscilloscopeAutoRange, GainIsTheLargestPresetTheRangeRatioReaches) {
  struct Case {
    uint16_t min, max;
    int32_t gain, step;
  } cases[] = {
      {2028, 2068, 100, 7},   // a = 102.375
      {2048, 2048, 1, 1},     // constant: a = 1
      {0, 4095, 1, 1},        // full scale: a = 1
      {1048, 3048, 2, 2},     // a = 2.0475
      {2000, 2001, 2000, 11},  // a = 4095
      {2000, 2003, 1000, 10},  // a = 1365
  };
  for (const Case& c : cases) {
    const AutoRangeGain g = AutoRangeOf(c.min, c.max, 4095.0f);
    EXPECT_EQ(g.Gain, c.gain) << c.min << ".." << c.max;
    EXPECT_EQ(g.ZoomStep, c.step) << c.min << ".." << c.max;
  }
}

TEST_F(OscilloscopeRenderer, AutoRangeRewritesGainStepAndOffsetOfItsTraceOnly) {
  config.ADMax = 4095.0f;
  // A sine over 40 codes on trace 1: 2028 .. 2068.
  FillChannel(0, [](int r) { return 2048 + std::lround(20 * std::sin(2 * std::numbers::pi * r / 100.0)); });
  settings.ACDC1 = 3;
  settings.YOffset1 = 500;
  settings.YOffset2 = 300;
  settings.YZoom2 = 5;
  const OscilloscopePaintResult result = Paint();
  EXPECT_EQ(settings.YZoom1, 100);
  EXPECT_EQ(settings.ZoomStep1, 7);
  EXPECT_EQ(settings.YOffset1, 0);
  EXPECT_EQ(result.AutoRanged, (std::array<bool, 2>{true, false}));
  EXPECT_EQ(settings.YZoom2, 5);
  EXPECT_EQ(settings.YOffset2, 300);

  FillChannel(0, [](int) { return 3000; });
  Paint();
  EXPECT_EQ(settings.YZoom1, 1);
  EXPECT_EQ(settings.ZoomStep1, 1);
  // The constant sits on the centre line: its own middle is the zero level.
  for (const auto& [from, to] : LinesIn(Curve(0))) EXPECT_EQ(from.y, kTop + kH / 2);
}

TEST_F(OscilloscopeRenderer, AutoRangeCountsTheExtraSubSamplesOfAFastChannel) {
  // Channel 0 at twice the base rate: its second sub-sample in word 4 holds
  // the only excursion, which the base words alone would miss.
  layout.MaxMultiFreq = 2;
  layout.MultiFreqTable[0] = 2;
  layout.ExtraSlotFirst[0] = 4;
  layout.ExtraSlotLast[0] = 5;
  display.DispPoints = kRows * 2;
  config.ADMax = 4095.0f;
  FillChannel(0, [](int) { return 2048; });
  FillChannel(4, [](int r) { return r == 10 ? 2088 : 2048; });
  settings.ACDC1 = 3;
  Paint();
  EXPECT_EQ(settings.YZoom1, 100);  // 4095 / 40
}

TEST_F(OscilloscopeRenderer, ACTraceOfAConstantLiesOnTheCentreLine) {
  FillChannel(0, [](int) { return 3500; });
  settings.ACDC1 = 0;
  settings.UseChn2 = 0;
  Paint();
  const auto lines = LinesIn(Curve(0));
  ASSERT_FALSE(lines.empty());
  for (const auto& [from, to] : lines) EXPECT_EQ(from.y, kTop + kH / 2);
}

// --- Vertical position ----------------------------------------------------------

TEST(OscilloscopeTraceY, OffsetGainInversionAndClamps) {
  const OscilloscopePlot plot{4, 2, 400, 300};
  struct Case {
    double code, zero;
    int32_t gain, offset;
    bool inverted;
    int y;
  } cases[] = {
      {2048, 2048, 1, 0, false, 150},
      {2048 + 1024, 2048, 1, 0, false, 75},   // a quarter of the span up: H/2 x 0.5
      {2048 + 1024, 2048, 1, 0, true, 225},
      {2048, 2048, 1, 1000, false, 210},      // off = 300 x 1000 / 5000
      {2048, 2048, 2000, 1000, false, 299},   // off = 300 x 1000 / 2: clamped to H - 1
      {2048, 2048, 1, -2500, false, 1},       // 150 - 150 = 0: clamped to 1
      {4096, 2048, 1000, 0, false, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OscilTraceY(plot, c.code, c.zero, c.gain, c.offset, 1.0, c.inverted, 2048.0f, 4096.0f), c.y)
        << c.code << " gain " << c.gain << " offset " << c.offset;
  }
  // Guarded divisors: a card without a span draws on the centre, a gain
  // beyond 5000 counts the offset as at 5000.
  EXPECT_EQ(OscilTraceY(plot, 3000, 2048, 1, 0, 1.0, false, 2048.0f, 2048.0f), 150);
  EXPECT_EQ(OscilTraceY(plot, 2048, 2048, 10000, 1, 1.0, false, 2048.0f, 4096.0f), 299);
}

TEST_F(OscilloscopeRenderer, GroundLineAtTheOffsetIsClampedToThePlot) {
  settings.ACDC1 = 2;
  settings.YOffset1 = 2500;
  settings.UseChn2 = 0;
  Paint();
  const auto lines = LinesIn(Curve(0));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].first, (Point{kLeft, kTop + kH - 1}));
  EXPECT_EQ(lines[0].second, (Point{kLeft + kN, kTop + kH - 1}));
}

TEST_F(OscilloscopeRenderer, SwitchTraceStandsOneDivisionFromTheCentre) {
  settings.ChnAd1 = 4 + 1;  // switch input 1: bit 1 of word 4
  settings.UseChn2 = 0;
  FillChannel(4, [](int r) { return r < 200 ? 2 : 0; });
  Paint();
  std::vector<int> ys;
  for (const auto& [from, to] : LinesIn(Curve(0))) ys.push_back(from.y);
  ASSERT_FALSE(ys.empty());
  EXPECT_EQ(ys.front(), kTop + 150 - 60);
  EXPECT_EQ(ys.back(), kTop + 150 + 60);
  EXPECT_EQ(view.DrawnSwitchCount, 1);
  EXPECT_EQ(TextsAt(0), (std::vector<Text>{{0, kTop + 150 - 60 - 9, "1"}, {0, kTop + 150 + 60 - 9, "0"}}));
}

// --- Division labels and lines -------------------------------------------------

TEST_F(OscilloscopeRenderer, TwoTracesAreLabelledInUnitsOfEachTracesDivision) {
  Paint();
  EXPECT_EQ(TextsAt(0), (std::vector<Text>{{0, 143, " 0 U"},
                                           {0, 83, "+2 U"},
                                           {0, 23, "+4 U"},
                                           {0, 203, "-2 U"},
                                           {0, 263, "-4 U"}}));
}

TEST_F(OscilloscopeRenderer, OneAnalogTraceIsLabelledInItsUnitsFromItsOffset) {
  settings.UseChn2 = 0;
  settings.YOffset1 = 1000;  // 2 V
  Paint();
  EXPECT_EQ(TextsAt(0), (std::vector<Text>{{0, 143, "2.000V"},
                                           {0, 83, "4.000V"},
                                           {0, 23, "6.000V"},
                                           {0, 203, "0.000V"},
                                           {0, 263, "-2.000V"}}));
  // Both traces off: trace 2's channel is labelled.
  settings.UseChn1 = 0;
  settings.ChnAD2 = 2;
  settings.YZoom2 = 2;
  config.AnalogChannelTable[2].ChnUnits = "A";
  Paint();
  EXPECT_EQ(TextsAt(0)[1].text, "1.000A");
  EXPECT_TRUE(LinesIn(Curve(0)).empty());
  EXPECT_TRUE(LinesIn(Curve(1)).empty());
}

TEST_F(OscilloscopeRenderer, FiveDivisionLinesWithTheirGridStrokes) {
  const Color scale = Color::FromStored(config.ColorPalette[0][kSlotScale]);
  const auto horizontal = [&] {
    std::vector<std::pair<int, int>> lines;  // (y, end x)
    const auto& ops = canvas.Ops();
    for (size_t i = 0; i + 4 < ops.size(); ++i) {
      const CanvasOp& op = ops[i];
      if (op.kind == CanvasOp::Kind::Line && op.pen.color == scale && op.from.x == kLeft && op.from.y == op.to.y)
        lines.push_back({op.from.y, op.to.x});
    }
    return lines;
  };
  view.Options.NoGridLines = true;
  Paint();
  EXPECT_EQ(horizontal(), (std::vector<std::pair<int, int>>{
                              {152, kLeft + 27}, {212, kLeft + 18}, {272, kLeft + 18}, {92, kLeft + 18}, {32, kLeft + 18}}));
  view.Options.NoGridLines = false;
  Paint();
  for (const auto& [y, end] : horizontal()) EXPECT_EQ(end, kLeft + kN) << y;
}

TEST_F(OscilloscopeRenderer, BackgroundFrameAndScaleOutGeometry) {
  Paint();
  const auto fills = canvas.OpsOf(CanvasOp::Kind::FillRect);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].rect, (Rect{0, 0, kLeft + kN + 1, kTop + kH + 1}));
  EXPECT_EQ(fills[0].brush.color, kBlack);
  const auto& ops = canvas.Ops();
  ASSERT_GE(ops.size(), 4u);
  EXPECT_EQ(ops.back().from, (Point{kLeft + kN, kTop}));
  EXPECT_EQ(ops.back().to, (Point{kLeft, kTop}));

  view.Options.ScaleOut = true;  // labels 40 wide, text 18 high
  input.WhiteBG = 1;
  Paint();
  EXPECT_EQ(canvas.OpsOf(CanvasOp::Kind::FillRect)[0].rect, (Rect{0, 0, 40 + 364 + 1, 18 + 284 + 1}));
  EXPECT_EQ(canvas.OpsOf(CanvasOp::Kind::FillRect)[0].brush.color, kWhite);
  EXPECT_EQ(canvas.Ops().back().from, (Point{40 + 364, 18}));
}

// --- X axis --------------------------------------------------------------------

TEST_F(OscilloscopeRenderer, TimeAxisOfThirtyMillisecondsStepsByFour) {
  view.Options.XAxialTime = true;
  view.DisplayWidth = 31;  // 0 .. 30 ms at 1000 points a second
  input.ScaleCount = 5;
  Paint();
  std::vector<std::string> labels;
  for (const Text& t : AxisTexts()) labels.push_back(t.text);
  EXPECT_EQ(labels, (std::vector<std::string>{"0us", "4ms", "8ms", "12ms", "16ms", "20ms", "24ms", "28ms"}));
  // Centred by half the text width on trunc(v / 30 x N) + L.
  EXPECT_EQ(AxisTexts()[1].x, kLeft + static_cast<int>(4.0 / 30 * kN - 27 / 2.0));
  std::vector<int> majors;
  for (const auto& [x, end] : Ticks()) {
    if (end == kTop + kH) majors.push_back(x);  // grid lines through the plot
  }
  EXPECT_EQ(majors, (std::vector<int>{4, 57, 110, 164, 217, 270, 324, 377}));
}

TEST_F(OscilloscopeRenderer, PointAxisLabelsEveryTwoHundredPoints) {
  view.DisplayWidth = 1000;
  input.ScaleCount = 5;
  view.XPosition = 0;
  Paint();
  std::vector<std::string> labels;
  for (const Text& t : AxisTexts()) labels.push_back(t.text);
  EXPECT_EQ(labels, (std::vector<std::string>{"0us", "200ms", "400ms", "600ms", "800ms"}));
  int majors = 0, longMinors = 0, shortMinors = 0;
  for (const auto& [x, end] : Ticks()) {
    if (end == kTop + kH) ++majors;
    else if (end == kTop + kTextH) ++longMinors;
    else if (end == kTop + kTextH / 2) ++shortMinors;
  }
  EXPECT_EQ(majors, 5);
  EXPECT_EQ(longMinors, 5);   // 100, 300, ... 900
  EXPECT_EQ(shortMinors, 40);  // the other multiples of 20
}

TEST_F(OscilloscopeRenderer, PointAxisOfTwelvePointsHasNoMinorTicks) {
  view.DisplayWidth = 12;
  input.ScaleCount = 5;
  Paint();
  EXPECT_EQ(AxisTexts().size(), 6u);
  for (const auto& [x, end] : Ticks()) EXPECT_EQ(end, kTop + kH);
}

// --- Outputs and traces drawn --------------------------------------------------

TEST_F(OscilloscopeRenderer, DrawnChannelsInAscendingOrder) {
  settings.ChnAd1 = 3;
  settings.ChnAD2 = 1;
  Paint();
  EXPECT_EQ(view.DrawnAnalogCount, 2);
  EXPECT_EQ(view.DrawnSwitchCount, 0);
  EXPECT_EQ(view.DrawnChannels[0], 1);
  EXPECT_EQ(view.DrawnChannels[1], 3);
  settings.ChnAD2 = 4;  // switch input 0
  settings.UseChn1 = 0;
  Paint();
  EXPECT_EQ(view.DrawnAnalogCount, 0);
  EXPECT_EQ(view.DrawnSwitchCount, 1);
  EXPECT_EQ(view.DrawnChannels[0], 4);
}

TEST_F(OscilloscopeRenderer, OneChannelCardDrawsOnlyTraceOne) {
  config.Analog_Num = 1;
  settings.ChnAD2 = 0;
  settings.AddTraces = 1;
  Paint();
  EXPECT_FALSE(LinesIn(Curve(0)).empty());
  EXPECT_TRUE(LinesIn(Curve(1)).empty());
  EXPECT_TRUE(LinesIn(Curve(5)).empty());
  EXPECT_EQ(TextsAt(0)[0].text, "0.000V");  // trace 1's own labels
}

TEST_F(OscilloscopeRenderer, TraceColoursFollowTheWhiteBackgroundRowPassedIn) {
  config.ColorPalette[1][4] = 0x0102AA;
  config.ColorPalette[0][4] = 0x03AA04;
  view.WhiteBG = 0;  // the view's own field plays no part
  input.WhiteBG = 1;
  Paint();
  EXPECT_FALSE(LinesIn(Color::FromStored(0x0102AA)).empty());
  EXPECT_TRUE(LinesIn(Color::FromStored(0x03AA04)).empty());
  input.Colour = 0;
  Paint();
  EXPECT_TRUE(LinesIn(Color::FromStored(0x0102AA)).empty());
}

TEST_F(OscilloscopeRenderer, PictureTracesUseTheLineWidthAndTheFrameTheCanvasWidth) {
  input.ToPicture = 1;
  input.LineWidth = 3;
  Paint();
  for (const auto& op : canvas.OpsOf(CanvasOp::Kind::Line)) {
    if (op.pen.color == Curve(0)) {
      EXPECT_EQ(op.pen.width, 3);
    }
  }
  EXPECT_EQ(canvas.Ops().back().pen.width, 1);
}

// --- Multi-rate traces and local zoom -----------------------------------------

class MultiRateOscilloscope : public OscilloscopeRenderer {
 protected:
  // Channel 0 at half the fastest rate: MaxMultiFreq 4, rate 2, its second
  // sub-sample in word 4 (no switch inputs here).
  MultiRateOscilloscope() {
    config.SW_Num = 0;
    layout.MaxMultiFreq = 4;
    layout.MultiFreqTable[0] = 2;
    layout.ExtraSlotFirst[0] = 4;
    layout.ExtraSlotLast[0] = 5;
    display.DispPoints = kRows * 4;
    settings.UseChn2 = 0;
  }
  // Channel 0's channel point q.
  void SetPoint(int64_t q, uint16_t value) { Word(static_cast<int>(q / 2), q % 2 == 0 ? 0 : 4) = value; }
};

TEST_F(MultiRateOscilloscope, ChannelPointsSpreadOverTheDisplayPoints) {
  for (int64_t q = 0; q < 2 * kRows; ++q) SetPoint(q, static_cast<uint16_t>(q % 2 == 0 ? 2048 : 2048 + 1024));
  view.XPosition = 8;
  view.DisplayWidth = 21;  // points 8 .. 28: channel points 4 .. 14, 20 pixels a point
  Paint();
  std::vector<Point> points;
  for (const auto& [from, to] : LinesIn(Curve(0))) points.push_back(from);
  ASSERT_GE(points.size(), 3u);
  EXPECT_EQ(points[0], (Point{kLeft, kTop + 150}));
  EXPECT_EQ(points[1], (Point{kLeft + 40, kTop + 75}));
  EXPECT_EQ(points[2], (Point{kLeft + 80, kTop + 150}));
  EXPECT_EQ(LinesIn(Curve(0)).back().second, (Point{kLeft + 400, kTop + 150}));
}

TEST_F(MultiRateOscilloscope, ASegmentEnteringFromTheLeftStartsAtTheLeftEdge) {
  for (int64_t q = 0; q < 2 * kRows; ++q) SetPoint(q, static_cast<uint16_t>(2048 + (q % 2) * 1024));
  view.XPosition = 9;  // channel point 4 lies at display point 8, left of the plot
  view.DisplayWidth = 21;
  Paint();
  const auto lines = LinesIn(Curve(0));
  ASSERT_FALSE(lines.empty());
  // Point 4 at x = 4 - 20 and y 150, point 5 at x = 4 + 20 and y 75: half way.
  EXPECT_EQ(lines[0].first, (Point{kLeft, kTop + 113}));
  EXPECT_EQ(lines[0].second, (Point{kLeft + 20, kTop + 75}));
}

TEST_F(MultiRateOscilloscope, LocalZoomStretchesTheMarkersChannelPointsOverThePlot) {
  for (int64_t q = 0; q < 2 * kRows; ++q) SetPoint(q, static_cast<uint16_t>(2048 + (q % 2) * 1024));
  view.XPosition = 0;
  view.DisplayWidth = 41;
  settings.MeasTime = 1;
  settings.LocalZoom = 1;
  view.Mark1X = 21;
  view.Mark2X = 11;
  Paint();
  // Marker a = 11 is channel point 5, b = 21 channel point 10.
  const auto lines = LinesIn(Curve(0));
  std::vector<int> xs;
  bool stretch = false;
  for (const auto& [from, to] : lines) {
    if (from.x == kLeft && from.y == kTop + 75) stretch = true;  // point 5 is high
    if (stretch) xs.push_back(from.x);
  }
  EXPECT_EQ(xs, (std::vector<int>{4, 84, 164, 244, 324}));
  EXPECT_EQ(lines.back().second, (Point{kLeft + kN, kTop + 150}));
}

TEST_F(OscilloscopeRenderer, LocalZoomStretchesTheMarkedPointsOverThePlot) {
  FillChannel(0, [](int r) { return 2048 + (r % 2) * 1024; });
  settings.UseChn2 = 0;
  settings.MeasTime = 1;
  settings.LocalZoom = 1;
  view.DisplayWidth = 100;
  view.Mark1X = 11;
  view.Mark2X = 21;
  Paint();
  const auto lines = LinesIn(Curve(0));
  ASSERT_EQ(lines.size(), 99u + 10u);
  std::vector<int> xs;
  for (size_t i = 99; i < lines.size(); ++i) xs.push_back(lines[i].first.x);
  EXPECT_EQ(xs, (std::vector<int>{4, 44, 84, 124, 164, 204, 244, 284, 324, 364}));
  EXPECT_EQ(lines[99].first.y, kTop + 150);  // window point 10 is even: low
  EXPECT_EQ(lines[100].first.y, kTop + 75);
  EXPECT_EQ(lines.back().second, (Point{kLeft + kN, kTop + 150}));

  view.Mark2X = 11;  // markers on one point: no stretch
  Paint();
  EXPECT_EQ(LinesIn(Curve(0)).size(), 99u);
  view.Mark2X = 21;
  settings.MeasTime = 0;  // marker lines off: no stretch
  Paint();
  EXPECT_EQ(LinesIn(Curve(0)).size(), 99u);
}

// --- Sum and difference ---------------------------------------------------------

TEST_F(OscilloscopeRenderer, SumAndDifferenceOfTheTwoTraces) {
  FillChannel(0, [](int) { return 2048 + 512; });  // 0.25 of the span
  FillChannel(1, [](int) { return 2048 + 256; });  // 0.125
  settings.AddTraces = 1;
  settings.SubtractTraces = 1;
  settings.YOffset1 = 400;  // offsets play no part
  struct Case {
    int32_t acdc2, neg2;
    int sumY, differenceY;
  } cases[] = {
      {1, 0, 93, 131},   // 150 - 0.375 x 150, 150 - 0.125 x 150
      {1, 1, 131, 93},   // trace 2 inverted
      {2, 0, 112, 112},  // trace 2 on ground counts 0
  };
  for (const Case& c : cases) {
    settings.ACDC2 = c.acdc2;
    settings.Neg2 = c.neg2;
    Paint();
    const auto sum = LinesIn(Curve(5));
    const auto difference = LinesIn(Curve(6));
    ASSERT_EQ(sum.size(), 399u);
    ASSERT_EQ(difference.size(), 399u);
    for (const auto& [from, to] : sum) EXPECT_EQ(from.y, kTop + c.sumY);
    for (const auto& [from, to] : difference) EXPECT_EQ(from.y, kTop + c.differenceY);
    // The points spread over DisplayWidth: the last at N x 399 / 400.
    EXPECT_EQ(sum.back().second.x, kLeft + 399);
  }
  settings.ChnAD2 = 4;  // a switch input: no combination
  Paint();
  EXPECT_TRUE(LinesIn(Curve(5)).empty());
}

TEST_F(MultiRateOscilloscope, NoSumWithMultiRateData) {
  settings.UseChn2 = 1;
  settings.AddTraces = 1;
  Paint();
  EXPECT_TRUE(LinesIn(Curve(5)).empty());
}

}  // namespace

namespace quelvar {
namespace {

// The unit changes at the borders each axis gives them: the time axis by the
// size of the value, the point axis by its whole milliseconds.
TEST(OscilloscopeAxisLabels, UnitsChangeAtTheirBorders) {
  struct Case {
    double ms;
    const char* time;
    const char* point;
  };
  const Case cases[] = {
      {0.0, "0us", "0us"},
      {0.5, "500us", "500us"},
      {1.0, "1ms", "1000us"},
      {9.5, "9.5ms", "9500us"},
      {10.0, "10ms", "10ms"},
      {-12.5, "-12.5ms", "-12.5ms"},
      {999.5, "999.5ms", "999.5ms"},
      {1000.0, "1s", "1000ms"},
      {9999.5, "9.9995s", "9999.5ms"},
      {10000.0, "10s", "10s"},
      {12345.0, "12.345s", "12.345s"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MsTimeLabel(c.ms), c.time) << c.ms;
    EXPECT_EQ(OscilloscopePointLabel(static_cast<float>(c.ms)), c.point) << c.ms;
  }
}

}  // namespace
}  // namespace quelvar
