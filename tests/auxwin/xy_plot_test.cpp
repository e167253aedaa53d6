// The X-Y plot: which channels it pairs, which samples, where a code lands,
// its refusals, its scales and names, and the cross-hair.
#include "auxwin/XYPlot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/RecordingCanvas.h"
#include "view/Palette.h"

namespace {

using namespace quelvar;
using platform::CanvasOp;
using platform::RecordingCanvas;

// Four analog channels, one row word each, a ring of 2 blocks of 3 rows.
class XYPlotTest : public ::testing::Test {
 protected:
  LiveConfig config;
  SampleLayout layout;
  DisplayDescriptor display;
  WaveViewState view;
  OscilToolSettings oscil;
  std::vector<uint16_t> data;

  void SetUp() override {
    config.Analog_Num = 4;
    config.NumSamp = 3;
    config.VZero = 2048.0f;
    config.ADMax = 4095.0f;
    for (int c = 0; c < 4; ++c) {
      config.AnalogDisplayOrder[static_cast<size_t>(c)] = c;
      config.AnalogChannelTable[static_cast<size_t>(c)].ChnName = std::string(1, static_cast<char>('A' + c));
      config.AnalogChannelTable[static_cast<size_t>(c)].ChnUnits = "u" + std::string(1, static_cast<char>('A' + c));
    }
    layout.Analog_Num = 4;
    layout.MaxMultiFreq = 1;
    Rows(6, 4);
    view.XPosition = 0;
    view.DisplayWidth = 6;
    view.YZoom = 1;
    view.YOffset = 0;
  }
  void Rows(int32_t rows, int32_t words) {
    data.assign(static_cast<size_t>(rows * words), 2048);
    display.DispData = data.data();
    display.DispRows = rows;
    display.DispRowWords = words;
    display.DispValid = 1;
  }
  void Fill(int32_t word, uint16_t code) {
    for (int32_t r = 0; r < display.DispRows; ++r) data[static_cast<size_t>(r * display.DispRowWords + word)] = code;
  }
  // The main view drew these analog keys (display positions).
  void Drawn(std::vector<int32_t> keys) {
    view.DrawnAnalogCount = static_cast<int32_t>(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) view.DrawnChannels[i] = keys[i];
  }
  XYPlotSource Source() const { return {&config, &layout, &display, &view, &oscil}; }
  XYPlotGeometry Draw(RecordingCanvas& canvas, bool scatter = true) {
    return DrawXYPlot(canvas, Source(), {true, false, scatter});
  }
  // The points of a scatter plot: the curves are the only solid lines.
  static std::vector<platform::Point> Points(const RecordingCanvas& canvas) {
    std::vector<platform::Point> points;
    for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Line)) {
      if (op.pen.style == platform::PenStyle::Solid) points.push_back(op.from);
    }
    return points;
  }
  static const CanvasOp* TextAt(const RecordingCanvas& canvas, const std::string& text) {
    for (const CanvasOp& op : canvas.Ops()) {
      if (op.kind == CanvasOp::Kind::Text && op.text == text) return &op;
    }
    return nullptr;
  }
};

// Font 9: text 9 px a character, 18 px high; h = 20, w = 56. On 400 x 300
// the plot is x 56 .. 56 + 343, y 3 .. 3 + 255.
TEST_F(XYPlotTest, LayoutFollowsTheTextMetrics) {
  Drawn({0, 1});
  RecordingCanvas canvas(400, 300);
  const XYPlotGeometry g = Draw(canvas);
  ASSERT_TRUE(g.Drawn);
  EXPECT_EQ(g.PlotLeft, 56);
  EXPECT_EQ(g.PlotWidth, 343);
  EXPECT_EQ(g.PlotTop, 3);
  EXPECT_EQ(g.PlotHeight, 255);
  const auto rects = canvas.OpsOf(CanvasOp::Kind::Rectangle);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0].rect, (platform::Rect{56, 3, 400, 259}));
  // Two channels: "A -" ends at the centre, "B" starts 2 px right of it.
  const int centre = 56 + 343 / 2;
  const CanvasOp* x = TextAt(canvas, "A -");
  const CanvasOp* y = TextAt(canvas, "B");
  ASSERT_NE(x, nullptr);
  ASSERT_NE(y, nullptr);
  EXPECT_EQ(x->from, (platform::Point{centre - 27, 3 + 255 + 22}));
  EXPECT_EQ(y->from, (platform::Point{centre + 2, 3 + 255 + 22}));
}

struct Deflection {
  const char* name;
  int32_t gain;
  float preAmp;
  uint16_t code;
  int expectedX;  // pixels right of PlotLeft
};

// x = trunc(W/2 + W/2 x gain x preamp x (c - VZero) / (ADMax - VZero)),
// held within the plot, with W = 343.
TEST_F(XYPlotTest, CodesLandWhereGainAndPreAmpPutThem) {
  const Deflection cases[] = {
      {"full scale at gain 1: the right edge", 1, 1.0f, 4095, 343},
      {"one code above zero of full scale at gain 1: the left edge", 1, 1.0f, 1, 0},
      {"zero: the centre", 1, 1.0f, 2048, 171},
      {"half scale at gain 2 reaches the edge", 2, 1.0f, 3072, 343},
      {"preamp 0.5 halves the deflection", 1, 0.5f, 4095, 257},
      {"beyond the plot: drawn on its border", 4, 1.0f, 4095, 343},
  };
  for (const Deflection& c : cases) {
    SCOPED_TRACE(c.name);
    Drawn({0, 1});
    view.YZoom = c.gain;
    config.AnalogChannelTable[0].ChnPreAmp = c.preAmp;
    Fill(0, c.code);
    Fill(1, 2048);
    RecordingCanvas canvas(400, 300);
    Draw(canvas);
    const auto points = Points(canvas);
    ASSERT_EQ(points.size(), 6u);
    EXPECT_EQ(points[0], (platform::Point{56 + c.expectedX, 3 + 127}));
  }
}

TEST_F(XYPlotTest, HigherYCodesAreDrawnHigherAndOffsetsShiftTheCurve) {
  Drawn({0, 1});
  Fill(0, 2048);
  Fill(1, 4095);
  RecordingCanvas top(400, 300);
  Draw(top);
  EXPECT_EQ(Points(top).at(0), (platform::Point{56 + 171, 3}));
  // One division up in the view moves the curve a fifth of the plot down
  // and left.
  view.YOffset = 1;
  Fill(1, 2048);
  RecordingCanvas shifted(400, 300);
  const XYPlotGeometry g = Draw(shifted);
  EXPECT_EQ(Points(shifted).at(0), (platform::Point{56 + 171 - 68, 3 + 127 + 51}));
  EXPECT_DOUBLE_EQ(g.XCentreVolts, 2.0);
}

TEST_F(XYPlotTest, LinesJoinTheSamplesInOrder) {
  Drawn({0, 1});
  for (int r = 0; r < 6; ++r) data[static_cast<size_t>(r * 4)] = static_cast<uint16_t>(2048 + 100 * r);
  RecordingCanvas canvas(400, 300);
  Draw(canvas, false);
  const auto lines = Points(canvas);
  ASSERT_EQ(lines.size(), 5u);  // six samples: a move and five lines
  for (size_t i = 1; i < lines.size(); ++i) EXPECT_GT(lines[i].x, lines[i - 1].x);
}

// Two channels at twice the base rate: sub-sample k of a row is its base
// word for k = 0, else the extra word. The ring's oldest block (1) is
// display row 0, so the range crosses the ring's end.
TEST_F(XYPlotTest, SubSamplesPairAcrossTheRingsWrap) {
  Rows(6, 6);
  layout.MaxMultiFreq = 2;
  layout.MultiFreqTable[0] = layout.MultiFreqTable[1] = 2;
  layout.ExtraSlotFirst[0] = 4;
  layout.ExtraSlotLast[0] = 5;
  layout.ExtraSlotFirst[1] = 5;
  layout.ExtraSlotLast[1] = 6;
  display.DispFirstBlock = 1;
  for (int r = 0; r < 6; ++r) {
    const auto at = [&](int w) -> uint16_t& { return data[static_cast<size_t>(r * 6 + w)]; };
    at(0) = static_cast<uint16_t>(100 * r);
    at(4) = static_cast<uint16_t>(100 * r + 1);
    at(1) = static_cast<uint16_t>(1000 + 100 * r);
    at(5) = static_cast<uint16_t>(1000 + 100 * r + 1);
  }
  view.XPosition = 4;  // sub-sample 4 of 12
  view.DisplayWidth = 6;
  const XYSampleRange range = XYSamplesOf(view, display, 2, 2);
  EXPECT_EQ(range.First, 4);
  EXPECT_EQ(range.Count, 6);
  const auto pairs = PairXYSamples(display, layout, 3, 0, 1, 2, range);
  // Absolute sub-samples 10 .. 15, wrapped: rows 5, 5, 0, 0, 1, 1.
  const std::vector<uint16_t> expectedX = {500, 501, 0, 1, 100, 101};
  ASSERT_EQ(pairs.size(), expectedX.size());
  for (size_t i = 0; i < pairs.size(); ++i) {
    EXPECT_EQ(pairs[i].X, expectedX[i]) << i;
    EXPECT_EQ(pairs[i].Y, expectedX[i] + 1000) << i;
  }
}

TEST_F(XYPlotTest, SampleRangeTakesTheRateAndStaysInTheData) {
  struct Case {
    int32_t xPosition, displayWidth, rate, maxMulti, rows;
    int64_t first, count;
  };
  const Case cases[] = {
      {10, 7, 1, 4, 100, 2, 2},    // a slower channel: fewer samples, rounded up
      {10, 8, 4, 4, 100, 10, 8},   // the fastest channel: one a point
      {90, 40, 1, 1, 100, 90, 10},  // past the end: cut at the data's end
      {120, 10, 1, 1, 100, 120, 0},
  };
  for (const Case& c : cases) {
    view.XPosition = c.xPosition;
    view.DisplayWidth = c.displayWidth;
    display.DispRows = c.rows;
    const XYSampleRange r = XYSamplesOf(view, display, c.rate, c.maxMulti);
    EXPECT_EQ(r.First, c.first) << c.xPosition;
    EXPECT_EQ(r.Count, c.count) << c.xPosition;
  }
}

TEST_F(XYPlotTest, RefusalsReplaceThePlot) {
  struct Case {
    const char* name;
    int32_t mode;
    std::vector<int32_t> drawn;
    int32_t use2, chn2;
    int32_t rate1;
    const char* message;
  };
  const Case cases[] = {
      {"one analog channel and switch inputs", 1, {2}, 1, 1, 1, "模拟通道数少于2"},
      {"rates 1 and 4", 1, {0, 1}, 1, 1, 4, "各通道采集频率不同！"},
      {"trace 2 on a switch input", 2, {}, 1, 4, 1, "模拟通道数少于2"},
      {"trace 2 switched off", 2, {}, 0, 1, 1, "模拟通道数少于2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    display.DataSourceMode = c.mode;
    Drawn(c.drawn);
    view.DrawnSwitchCount = 3;
    oscil.UseChn1 = 1;
    oscil.ChnAd1 = 0;
    oscil.UseChn2 = c.use2;
    oscil.ChnAD2 = c.chn2;
    layout.MaxMultiFreq = 4;
    layout.MultiFreqTable = {};
    layout.MultiFreqTable[0] = c.rate1;
    layout.MultiFreqTable[1] = 1;
    RecordingCanvas canvas(400, 300);
    const XYPlotGeometry g = Draw(canvas);
    EXPECT_FALSE(g.Drawn);
    EXPECT_EQ(g.Message, c.message);
    const auto texts = canvas.OpsOf(CanvasOp::Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, c.message);
    EXPECT_EQ(texts[0].from, (platform::Point{0, 0}));
    EXPECT_TRUE(canvas.OpsOf(CanvasOp::Kind::Rectangle).empty());
  }
}

TEST_F(XYPlotTest, ThreeChannelsGiveTwoCurvesAgainstTheFirst) {
  Drawn({0, 1, 2});
  config.AnalogChannelTable[1].ChnCoeB = 10.0f;
  RecordingCanvas canvas(400, 300);
  const XYPlotGeometry g = Draw(canvas);
  EXPECT_EQ(g.XChannel, 0);
  EXPECT_EQ(g.YChannel, 1);
  // B and C listed inside the plot, A centred below it.
  ASSERT_NE(TextAt(canvas, "B"), nullptr);
  EXPECT_EQ(TextAt(canvas, "B")->from, (platform::Point{60, 7}));
  EXPECT_EQ(TextAt(canvas, "C")->from, (platform::Point{60, 27}));
  EXPECT_EQ(TextAt(canvas, "A")->from, (platform::Point{56 + 171 - 4, 280}));
  // The Y scale in B's coefficients and unit: one division is 2 V, 20 uB.
  EXPECT_NE(TextAt(canvas, "0uB"), nullptr);
  EXPECT_NE(TextAt(canvas, "20"), nullptr);
  EXPECT_NE(TextAt(canvas, "-40"), nullptr);
  EXPECT_NE(TextAt(canvas, "0uA"), nullptr);
  EXPECT_NE(TextAt(canvas, "-4"), nullptr);
  // Six points in B's colour, then six in C's.
  std::vector<platform::Color> colours;
  for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Line)) {
    if (op.pen.style == platform::PenStyle::Solid) colours.push_back(op.pen.color);
  }
  ASSERT_EQ(colours.size(), 12u);
  EXPECT_EQ(colours[0], platform::Color::FromStored(ChannelColor(config, 1, kPaletteRowBlack)));
  EXPECT_EQ(colours[6], platform::Color::FromStored(ChannelColor(config, 2, kPaletteRowBlack)));
}

TEST_F(XYPlotTest, OscilloscopeTakesEachTracesChannelGainAndOffset) {
  display.DataSourceMode = 2;
  oscil.UseChn1 = oscil.UseChn2 = 1;
  oscil.ChnAd1 = 3;
  oscil.ChnAD2 = 1;
  oscil.YZoom1 = 2;
  oscil.YOffset1 = 500;
  oscil.YZoom2 = 1;
  oscil.YOffset2 = 0;
  Fill(3, 2048);
  Fill(1, 4095);
  RecordingCanvas canvas(400, 300);
  const XYPlotGeometry g = Draw(canvas);
  ASSERT_TRUE(g.Drawn);
  EXPECT_EQ(g.XChannel, 3);
  EXPECT_EQ(g.YChannel, 1);
  EXPECT_DOUBLE_EQ(g.XVoltsPerDiv, 1.0);
  EXPECT_DOUBLE_EQ(g.XCentreVolts, 1.0);
  EXPECT_DOUBLE_EQ(g.YVoltsPerDiv, 2.0);
  ASSERT_NE(TextAt(canvas, "D -"), nullptr);
  // dX = -343 x 500 / (5000 / 2) = -68; Y at full scale: the top.
  EXPECT_EQ(Points(canvas).at(0), (platform::Point{56 + 171 - 68, 3}));
}

TEST_F(XYPlotTest, CrossHairFractionsStayInsideThePlot) {
  EXPECT_DOUBLE_EQ(XYCrossFraction(56 + 343 / 2, 56, 343), -0.5 / 343);
  EXPECT_DOUBLE_EQ(XYCrossFraction(1000, 56, 343), 0.5);
  EXPECT_DOUBLE_EQ(XYCrossFraction(-20, 56, 343), -0.5);
  EXPECT_DOUBLE_EQ(XYCrossFraction(5, 0, 0), 0.5);  // no plot: no division by zero
}

TEST_F(XYPlotTest, CrossHairReadsTheScaleAndKeepsItsTextOnThePlot) {
  Drawn({0, 1});
  config.AnalogChannelTable[0].ChnCoeA = 1.0f;
  RecordingCanvas plot(400, 300);
  const XYPlotGeometry g = Draw(plot);
  RecordingCanvas canvas(400, 300);
  DrawXYCrossHair(canvas, g, config, 0.5, -0.5);
  // At the right edge and the top: 2.5 divisions of 2 V from the centre.
  const auto texts = canvas.OpsOf(CanvasOp::Kind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "X: 6.000uA");
  EXPECT_EQ(texts[1].text, "Y: 5.000uB");
  // The text would pass the right edge: it ends the width of "1" left of x.
  EXPECT_EQ(texts[0].from.x, 399 - 9 - 10 * 9);
  EXPECT_EQ(texts[0].from.y, 3 + 10);
  EXPECT_EQ(texts[1].from.y, 3 + 10 + 20);
  EXPECT_EQ(texts[0].font.color, (platform::Color{255, 0, 0}));
  const auto lines = canvas.OpsOf(CanvasOp::Kind::Line);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].from, (platform::Point{56, 3}));
  EXPECT_EQ(lines[1].from, (platform::Point{399, 3}));
}

}  // namespace
