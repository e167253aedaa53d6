#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/AlgorithmTypeTable.h"
#include "platform/RecordingCanvas.h"
#include "view/XAxis.h"

// The recording canvas's default font is size 9: every character is 9 pixels
// wide, so a centred label of n characters starts at x - 9n / 2.

namespace {

using namespace quelvar;
using namespace quelvar::platform;

constexpr Color kRed{255, 0, 0};
constexpr Color kMagenta{255, 0, 255};
constexpr Color kGreen{0, 128, 0};
constexpr Color kYellow{255, 255, 0};

struct Tick {
  int x;
  int bottom;
  Color color;
  friend bool operator==(const Tick&, const Tick&) = default;
};

struct Label {
  int x;
  int y;
  std::string text;
  Color color;
  friend bool operator==(const Label&, const Label&) = default;
};

int Centred(int x, const std::string& text) { return x - static_cast<int>(text.size()) * 9 / 2; }

class XAxis : public ::testing::Test {
 protected:
  XAxis() {
    RestoreDefaultColors(palette, kMinColorNum);
    layout.MaxChannelRate = 1000.0f;  // one point a millisecond
    display.DispPoints = 1000000;
    display.DispValid = 1;
    input.Left = 4;
    input.Top = 2;
    input.N = 999;
    input.M = 300;
    input.TextH = 10;
    input.Palette = &palette;
    input.Display = &display;
    input.Layout = &layout;
    input.NumSamp = 100;
    view.XPosition = 0;
    view.DisplayWidth = 1000;
    view.FirstTickTime = -99.0;
  }

  void SetOrigin(int32_t point) { display.DispTriggerPoint = point; }
  // Compressed from display point 100 x block on, `ratio` samples a point.
  void SetCompressed(int32_t block, int32_t ratio) {
    display.DispCompressed = 1;
    display.DispCompressStart = block;
    display.DispCompressRatio = ratio;
  }
  Color Scale() const { return Color::FromStored(palette[kPaletteRowBlack][kSlotScale]); }
  Color Text() const { return Color::FromStored(palette[kPaletteRowBlack][kSlotText]); }

  std::vector<Tick> Ticks() const {
    std::vector<Tick> ticks;
    for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Line)) {
      if (op.from.y == input.Top && op.from.x == op.to.x) ticks.push_back({op.from.x, op.to.y, op.pen.color});
    }
    return ticks;
  }
  std::vector<Label> Labels() const {
    std::vector<Label> labels;
    for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Text)) {
      labels.push_back({op.from.x, op.from.y, op.text, op.font.color});
    }
    return labels;
  }
  // Rows of the origin triangle: horizontal lines at y = top .. top + 19;
  // the last one has no length.
  std::vector<CanvasOp> TriangleRows() const {
    std::vector<CanvasOp> rows;
    for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Line)) {
      if (op.from.y == op.to.y && (op.from.x != op.to.x || op.from.y == input.Top + 19)) rows.push_back(op);
    }
    return rows;
  }

  PaletteRows palette{};
  DisplayDescriptor display;
  SampleLayout layout;
  XAxisInput input;
  WaveViewState view;
  RecordingCanvas canvas{1100, 400};
};

// --- Point axis --------------------------------------------------------------

TEST(PointAxisSpacing, RoundsDownToTheSeries) {
  struct Case {
    int32_t width, scaleCount;
    int64_t expected;
  } cases[] = {{1000, 5, 200}, {12, 5, 2}, {4, 5, 1}, {20, 5, 4},      {25, 5, 5},        {999, 5, 100},
               {3000, 6, 500}, {9999, 1, 5000}, {100000000, 1, 1000000}, {10, 0, 10}, {100, -3, 100}};
  for (const Case& c : cases) {
    EXPECT_EQ(PointAxisSpacing(c.width, c.scaleCount), c.expected) << c.width << "/" << c.scaleCount;
  }
}

TEST(RoundAxisStep, TakesFifthsOfAPowerOfTen) {
  struct Case {
    double step, expected;
  } cases[] = {{41.1, 60}, {2, 2}, {1, 1}, {110, 200}, {0.0031, 0.004}, {7.5, 8}, {850, 1000}};
  for (const Case& c : cases) EXPECT_NEAR(RoundAxisStep(c.step), c.expected, c.expected * 1e-12) << c.step;
}

TEST_F(XAxis, PointAxisTicksCountPointsFromTheOrigin) {
  SetOrigin(500);
  input.ScaleCount = 5;  // spacing 200
  DrawXAxis(canvas, input, view);

  std::map<int, int> bottomByX;
  for (const Tick& t : Ticks()) bottomByX[t.x] = t.bottom;
  const int major = 2 + 15, longMinor = 2 + 10, shortMinor = 2 + 5;
  for (int j = 0; j < 1000; ++j) {
    const int d = j - 500;
    const int expected = d % 200 == 0 ? major : d % 100 == 0 ? longMinor : d % 20 == 0 ? shortMinor : 0;
    const auto found = bottomByX.find(4 + j);
    EXPECT_EQ(found == bottomByX.end() ? 0 : found->second, expected) << "point " << j;
  }

  const std::vector<std::string> texts = {"-400ms", "-200ms", "0us", "200ms", "400ms"};
  std::vector<Label> expected;
  for (int k = 0; k < 5; ++k) {
    const int x = 4 + 100 + 200 * k;
    expected.push_back({Centred(x, texts[k]), 1, texts[k], Text()});
  }
  EXPECT_EQ(Labels(), expected);
}

TEST_F(XAxis, PointAxisLabelUnitFollowsTheTime) {
  // Twelve points, spacing 2: a label every second point and no minor ticks;
  // the label of point 2 after the origin tells the unit.
  struct Case {
    float rate;
    std::string label;
  } cases[] = {{1000.0f, "2000us"}, {200.0f, "10ms"},     {0.5f, "4000ms"},     {0.4f, "5s"},
               {0.016f, "2.0833m"}, {0.000125f, "4.4444h"}, {0.00001f, "2.3148d"}};
  view.DisplayWidth = 12;
  input.N = 110;
  for (const Case& c : cases) {
    canvas.Clear();
    layout.MaxChannelRate = c.rate;
    DrawPointAxis(canvas, input, view);
    ASSERT_EQ(Labels().size(), 6u) << c.rate;
    EXPECT_EQ(Labels()[1].text, c.label) << c.rate;
    EXPECT_EQ(Ticks().size(), 6u) << c.rate;
  }
}

TEST_F(XAxis, MajorTickFollowsTheGridMode) {
  view.DisplayWidth = 12;
  input.N = 110;
  SetOrigin(1);  // ticks at odd points only: no origin mark on point 0
  struct Case {
    bool gridLines, dotted;
    int bottom;
    int dots;
  } cases[] = {{false, false, 2 + 15, 0}, {true, false, 2 + 300, 0}, {true, true, 2 + 15, 28}};
  for (const Case& c : cases) {
    canvas.Clear();
    input.GridLines = c.gridLines;
    input.GridDotted = c.dotted;
    DrawPointAxis(canvas, input, view);
    ASSERT_EQ(Ticks().size(), 6u);
    EXPECT_EQ(Ticks()[0].x, 14);  // point 1: 4 + 110 x 1 / 11
    EXPECT_EQ(Ticks()[0].bottom, c.bottom);
    const auto pixels = canvas.OpsOf(CanvasOp::Kind::Pixel);
    // Dots every 10 pixels from top + 25 down to top + 295, per major tick.
    EXPECT_EQ(pixels.size(), static_cast<size_t>(c.dots * 6));
    if (c.dots > 0) {
      EXPECT_EQ(pixels.front().from, (Point{14, 27}));
      EXPECT_EQ(pixels[27].from, (Point{14, 297}));
    }
  }
}

TEST_F(XAxis, OriginMarkIsARedTriangleAndThePenReturnsToTheScaleColour) {
  SetOrigin(500);
  DrawXAxis(canvas, input, view);
  const auto rows = TriangleRows();
  ASSERT_EQ(rows.size(), 20u);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(rows[i].from, (Point{504 - (20 - i) / 2, 2 + i}));
    EXPECT_EQ(rows[i].to, (Point{504 + (20 - i) / 2, 2 + i}));
    EXPECT_EQ(rows[i].pen.color, kRed);
  }
  EXPECT_EQ(canvas.GetPen().color, Scale());
  for (const Tick& t : Ticks()) EXPECT_EQ(t.color, Scale());
}

TEST_F(XAxis, OriginOutsideTheScreenGetsNoMark) {
  for (const int32_t origin : {-1, 1000, 5000}) {
    canvas.Clear();
    display.DispTriggerPoint = origin;
    display.DispPoints = 1000000;
    DrawXAxis(canvas, input, view);
    EXPECT_TRUE(TriangleRows().empty()) << origin;
  }
}

TEST_F(XAxis, PointAxisCompressedPartCountsDisplayPointsInMagenta) {
  SetCompressed(5, 10);  // compressed from point 500
  view.XPosition = 400;
  view.DisplayWidth = 200;  // spacing 20 (40 rounded down)
  input.N = 199;
  DrawPointAxis(canvas, input, view);
  // Uncompressed: d = p; compressed: p' = 500 + (p - 500) x 10 + 5.
  std::vector<std::string> texts;
  for (const Label& l : Labels()) texts.push_back(l.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"400ms", "420ms", "440ms", "460ms", "480ms", "505ms", "705ms", "905ms",
                                             "1105ms", "1305ms"}));
  for (const Tick& t : Ticks()) EXPECT_EQ(t.color, t.x < 104 ? Scale() : kMagenta) << t.x;
  // Minor ticks of the compressed part fall on display points too.
  std::map<int, int> bottomByX;
  for (const Tick& t : Ticks()) bottomByX[t.x] = t.bottom;
  EXPECT_EQ(bottomByX.at(104 + 10), 2 + 10);
  EXPECT_EQ(bottomByX.at(104 + 2), 2 + 5);
  EXPECT_EQ(canvas.GetPen().color, Scale());
}

// --- Time-aligned axis ---------------------------------------------------------

TEST_F(XAxis, TimeAlignedLabelsCountFromTheFirstTick) {
  input.TimeAligned = true;
  layout.MaxChannelRate = 2700.0f;  // 1000 points span 370 ms: step 60 ms
  DrawXAxis(canvas, input, view);
  EXPECT_DOUBLE_EQ(view.FirstTickTime, 0.0);
  std::vector<Label> expected;
  for (int j = 0; j <= 6; ++j) {
    const std::string text = std::to_string(60 * j) + "ms";
    const int x = 4 + static_cast<int>(60.0 * j / 370.0 * 1000.0);
    expected.push_back({Centred(x, text), 1, text, Text()});
    if (j == 0) expected.push_back({x, 3, "0ms", kGreen});
  }
  EXPECT_EQ(Labels(), expected);
  EXPECT_EQ(TriangleRows().size(), 20u);
  EXPECT_EQ(canvas.GetBrush().style, BrushStyle::Clear);
  EXPECT_EQ(canvas.GetFont().color, Text());
  // Ten ticks a step: 0 major, 5 long, the rest short.
  std::vector<int> bottoms;
  for (const Tick& t : Ticks()) bottoms.push_back(t.bottom);
  ASSERT_GE(bottoms.size(), 11u);
  EXPECT_EQ(std::vector<int>(bottoms.begin(), bottoms.begin() + 11),
            (std::vector<int>{17, 7, 7, 7, 7, 12, 7, 7, 7, 7, 17}));
}

TEST_F(XAxis, TimeAlignedFirstTickTextAndTime) {
  input.TimeAligned = true;
  layout.MaxChannelRate = 2700.0f;
  struct Case {
    int32_t xPosition, origin;
    std::string firstTick;
    double seconds;
  } cases[] = {{1000, 0, "420ms", 0.42}, {4050, 0, "1s500ms", 1.5}, {0, 4050, "-1s500ms", -1.5},
               {200000, 0, "1m14s100ms", 74.1}};
  for (const Case& c : cases) {
    canvas.Clear();
    view.XPosition = c.xPosition;
    SetOrigin(c.origin);
    DrawTimeAlignedAxis(canvas, input, view);
    EXPECT_NEAR(view.FirstTickTime, c.seconds, 1e-9) << c.xPosition;
    const auto labels = Labels();
    ASSERT_GE(labels.size(), 2u);
    EXPECT_EQ(labels[0].text, "0ms") << c.xPosition;
    EXPECT_EQ(labels[1].text, c.firstTick) << c.xPosition;
    EXPECT_EQ(labels[1].color, kGreen);
  }
}

// The second waveform window keeps divisions of 0.5 ms or less in ms.
TEST_F(XAxis, WithoutTheMicrosecondUnitSmallDivisionsStayInMs) {
  input.TimeAligned = true;
  layout.MaxChannelRate = 2000000.0f;  // 1000 points span 0.5 ms
  for (const bool microseconds : {true, false}) {
    canvas.Clear();
    input.MicrosecondUnit = microseconds;
    DrawTimeAlignedAxis(canvas, input, view);
    const auto labels = Labels();
    ASSERT_GE(labels.size(), 3u);
    int inMicroseconds = 0;
    for (const auto& label : labels) {
      const std::string unit = label.text.substr(label.text.size() - 2);
      if (unit == "us") ++inMicroseconds;
      if (!microseconds) {
        EXPECT_EQ(unit, "ms") << label.text;
      }
    }
    if (microseconds) {
      EXPECT_GE(inMicroseconds, 2);
    }
  }
}

TEST_F(XAxis, HourStepHasTwelveTicks) {
  input.TimeAligned = true;
  layout.MaxChannelRate = 999.0f / 64800.0f;  // 1000 points span 18 h: raw step 2 h
  DrawTimeAlignedAxis(canvas, input, view);
  std::vector<int> bottoms;
  for (const Tick& t : Ticks()) bottoms.push_back(t.bottom);
  ASSERT_GE(bottoms.size(), 13u);
  EXPECT_EQ(std::vector<int>(bottoms.begin(), bottoms.begin() + 13),
            (std::vector<int>{17, 7, 7, 7, 7, 7, 12, 7, 7, 7, 7, 7, 17}));
  EXPECT_EQ(Labels()[0].text, "0h");
  EXPECT_EQ(Labels()[2].text, "2h");
}

TEST_F(XAxis, AbsoluteTimeLabelsTheFirstTickWithTheCalendarAndDrawsNoOrigin) {
  input.TimeAligned = true;
  input.AbsoluteTime = true;
  input.BlockTime = 45000.5;  // 2023-03-15 12:00:00
  layout.MaxChannelRate = 111.0f;  // 1000 points span 9 s: one-second step
  DrawTimeAlignedAxis(canvas, input, view);
  const auto labels = Labels();
  ASSERT_GE(labels.size(), 3u);
  EXPECT_EQ(labels[0].text, "0s");
  EXPECT_EQ(labels[1], (Label{4, 3, "23-3-15 12:0:0", kGreen}));
  EXPECT_EQ(labels[2].text, "1s");
  EXPECT_EQ(labels.back().text, "9s");
  EXPECT_TRUE(TriangleRows().empty());
  EXPECT_NEAR(view.FirstTickTime, 0.0, 1e-9);

  canvas.Clear();
  view.XPosition = 300;  // 2.7 s after the origin: first tick at 12:00:03
  DrawTimeAlignedAxis(canvas, input, view);
  EXPECT_EQ(Labels()[1].text, "23-3-15 12:0:3");
  EXPECT_NEAR(view.FirstTickTime, 3.0, 1e-6);
}

TEST_F(XAxis, AbsoluteFirstTickTextFollowsTheUnit) {
  input.TimeAligned = true;
  input.AbsoluteTime = true;
  input.BlockTime = 45000.5;  // 2023-03-15 12:00:00
  struct Case {
    double spanSeconds;  // of the 999 steps on screen; a ninth of it is the raw step
    std::string firstTick, firstLabel;
  } cases[] = {{9.0, "23-3-15 12:0:0", "0s"},
               {540.0, "23-3-15 12:0", "0m"},
               {64800.0, "23-3-15 12h", "0h"},
               {1555200.0, "23-3-17", "0d"}};  // two-day step: the first tick at midnight two days on
  for (const Case& c : cases) {
    canvas.Clear();
    layout.MaxChannelRate = static_cast<float>(999.0 / c.spanSeconds);
    DrawTimeAlignedAxis(canvas, input, view);
    const auto labels = Labels();
    ASSERT_GE(labels.size(), 2u) << c.spanSeconds;
    EXPECT_EQ(labels[0].text, c.firstLabel);
    EXPECT_EQ(labels[1].text, c.firstTick);
  }
}

TEST_F(XAxis, OnePointViewDoesNotDivideByZero) {
  view.DisplayWidth = 1;
  DrawPointAxis(canvas, input, view);
  ASSERT_EQ(Ticks().size(), 1u);
  EXPECT_EQ(Ticks()[0].x, 4);
  EXPECT_EQ(TriangleRows().size(), 20u);
  canvas.Clear();
  input.TimeAligned = true;
  DrawTimeAlignedAxis(canvas, input, view);  // no time span: nothing to lay out
  EXPECT_TRUE(canvas.Ops().empty());
}

TEST_F(XAxis, ViewInsideTheCompressedPartHasOnlyTheCompressedScale) {
  input.TimeAligned = true;
  input.GridLines = true;
  SetCompressed(5, 10);  // compressed from point 500
  view.XPosition = 600;
  view.DisplayWidth = 100;
  input.N = 99;
  DrawTimeAlignedAxis(canvas, input, view);
  EXPECT_DOUBLE_EQ(view.FirstTickTime, -99.0);  // no uncompressed scale
  // 1505 .. 2495 ms, step 200 ms.
  std::vector<Label> expected;
  const std::pair<double, std::string> ticks[] = {
      {1600.0, "1.6s"}, {1800.0, "1.8s"}, {2000.0, "2s"}, {2200.0, "2.2s"}, {2400.0, "2.4s"}};
  for (const auto& [t, text] : ticks) {
    expected.push_back({Centred(4 + static_cast<int>((t - 1505.0) / 990.0 * 100.0), text), 1, text, Text()});
  }
  EXPECT_EQ(Labels(), expected);
  for (const Tick& t : Ticks()) {
    EXPECT_EQ(t.color, kMagenta);
    EXPECT_NE(t.x, 4) << "no boundary line at the left edge";
  }
  EXPECT_EQ(canvas.GetPen().color, Scale());
}

TEST_F(XAxis, CompressedBoundaryFollowsTheGridMode) {
  input.TimeAligned = true;
  SetCompressed(5, 10);
  view.XPosition = 400;
  view.DisplayWidth = 200;
  input.N = 199;  // boundary at 4 + 199 x 100 / 199 = 104
  struct Case {
    bool gridLines, dotted;
    bool line;
    size_t dots;
  } cases[] = {{false, false, false, 0}, {true, false, true, 0}, {true, true, false, 30}};
  for (const Case& c : cases) {
    canvas.Clear();
    input.GridLines = c.gridLines;
    input.GridDotted = c.dotted;
    DrawTimeAlignedAxis(canvas, input, view);
    const auto ticks = Ticks();
    const bool line = std::find(ticks.begin(), ticks.end(), Tick{104, 302, kMagenta}) != ticks.end();
    EXPECT_EQ(line, c.line) << c.gridLines << c.dotted;
    size_t dots = 0;
    for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Pixel)) {
      if (op.from.x == 104 && op.color == kMagenta) ++dots;  // from top + 10 to top + 300
    }
    EXPECT_EQ(dots, c.dots) << c.gridLines << c.dotted;
    // Both scales: 400 .. 500 ms in 20 ms steps from the first tick (its own
    // time after the first label), then the compressed 500 .. 1495 ms in 400 ms steps.
    std::vector<std::string> texts;
    for (const Label& l : Labels()) texts.push_back(l.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"0ms", "400ms", "20ms", "40ms", "60ms", "80ms", "100ms", "800ms",
                                               "1.2s"}));
  }
}

TEST_F(XAxis, CompressedPartBeyondTheScreenLaysOutOnlyTheScreen) {
  input.TimeAligned = true;
  layout.MaxChannelRate = 2700.0f;
  DrawTimeAlignedAxis(canvas, input, view);
  const auto plain = canvas.Log();
  const double plainFirstTick = view.FirstTickTime;
  canvas.Clear();
  SetCompressed(5000, 10);  // compressed from point 500000, far to the right
  DrawTimeAlignedAxis(canvas, input, view);
  EXPECT_EQ(canvas.Log(), plain);
  EXPECT_EQ(view.FirstTickTime, plainFirstTick);
}

TEST_F(XAxis, WithoutARateNothingButTheAxisColourIsLeft) {
  input.TimeAligned = true;
  layout.MaxChannelRate = 0.0f;
  SetCompressed(5, 10);
  view.XPosition = 400;
  DrawTimeAlignedAxis(canvas, input, view);
  EXPECT_TRUE(Labels().empty());
  EXPECT_DOUBLE_EQ(view.FirstTickTime, -99.0);
}

// --- Found trigger points, overlap marker, colour 0 ---------------------------------

TEST_F(XAxis, FoundTriggerPointsInsideTheViewAreMarked) {
  display.SelectFault = 1;
  view.XPosition = 100;
  input.N = 1000;
  const FoundTriggerPoint found[] = {{3, 1, 100}, {4, 2, 1099}, {5, 1, 1100}, {6, 1, 99}, {7, 99, 600}};
  input.TriggerPoints = found;
  input.TriggerPointCount = 5;
  DrawFoundTriggerPoints(canvas, input, view);
  const std::string name1(AlgorithmTypeTable[1].Name), name2(AlgorithmTypeTable[2].Name);
  // The view's last point lies on the right edge, where the traces end.
  EXPECT_EQ(Labels(), (std::vector<Label>{{4, 24, "3: " + name1, canvas.GetFont().color},
                                          {1004, 24, "4: " + name2, canvas.GetFont().color},
                                          {504, 24, "7: ", canvas.GetFont().color}}));
  const auto lines = canvas.OpsOf(CanvasOp::Kind::Line);
  ASSERT_EQ(lines.size(), 3u * 22u);
  EXPECT_EQ(lines[0].from, (Point{4, 2}));
  EXPECT_EQ(lines[0].to, (Point{4, 22}));
  EXPECT_EQ(lines[21].from, (Point{4 + 5, 12}));
  EXPECT_EQ(lines[21].to, (Point{4 + 5, 12}));
  EXPECT_EQ(lines[20].from, (Point{4 - 5, 12}));
  for (const CanvasOp& op : lines) EXPECT_EQ(op.pen.color, kYellow);
  EXPECT_EQ(canvas.GetPen().color, Scale());
}

TEST_F(XAxis, FoundTriggerPointsNeedAHistoryRecordAndACountNeverReadPastTheList) {
  const FoundTriggerPoint found[] = {{1, 1, 10}, {2, 1, 20}};
  input.TriggerPoints = found;
  struct Case {
    int32_t selectFault, count;
    size_t marked;
  } cases[] = {{0, 2, 0}, {1, 0, 0}, {1, -1, 0}, {1, 1, 1}, {1, 2, 2}, {1, 60, 2}};
  for (const Case& c : cases) {
    canvas.Clear();
    display.SelectFault = c.selectFault;
    input.TriggerPointCount = c.count;
    DrawFoundTriggerPoints(canvas, input, view);
    EXPECT_EQ(Labels().size(), c.marked) << c.selectFault << "/" << c.count;
  }
}

TEST_F(XAxis, OverlapMarkerStartsWhereTheRepeatedPointsBegin) {
  input.N = 900;
  input.OverlapPoints = 100;
  DrawOverlapMarker(canvas, input, view);
  const auto lines = canvas.OpsOf(CanvasOp::Kind::Line);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].from, (Point{814, 7}));
  EXPECT_EQ(lines[0].to, (Point{904, 7}));
  EXPECT_EQ(lines[1].from, (Point{814, 12}));
  canvas.Clear();
  input.OverlapPoints = 0;
  DrawOverlapMarker(canvas, input, view);
  EXPECT_TRUE(canvas.Ops().empty());
}

TEST_F(XAxis, ColourZeroDrawsEverythingBlack) {
  input.Colour = 0;
  SetOrigin(500);
  SetCompressed(8, 10);
  display.SelectFault = 1;
  const FoundTriggerPoint found[] = {{1, 1, 300}};
  input.TriggerPoints = found;
  input.TriggerPointCount = 1;
  for (const bool timeAligned : {false, true}) {
    canvas.Clear();
    input.TimeAligned = timeAligned;
    DrawXAxis(canvas, input, view);
    ASSERT_FALSE(canvas.Ops().empty());
    for (const CanvasOp& op : canvas.Ops()) {
      const Color used = op.kind == CanvasOp::Kind::Text    ? op.font.color
                         : op.kind == CanvasOp::Kind::Pixel ? op.color
                                                            : op.pen.color;
      EXPECT_EQ(used, kBlack) << op.ToString();
    }
    EXPECT_EQ(TriangleRows().size(), 20u);
  }
}

}  // namespace
