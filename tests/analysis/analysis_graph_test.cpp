// The analysis-result graph: its Y and X scales, the drawing on a canvas
// (frame, labels, curve, invalid data), the cursors, zoom and the value grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "analysis/AnalysisGraph.h"
#include "platform/RecordingCanvas.h"

namespace {

using namespace quelvar;
using platform::CanvasOp;
using platform::RecordingCanvas;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A result of the given values at abscissae 0, 10, 20, ...
AnalysisResult ResultOf(const std::vector<double>& y) {
  std::vector<double> x(y.size());
  for (size_t i = 0; i < x.size(); ++i) x[i] = 10.0 * static_cast<double>(i);
  AnalysisResult r;
  StoreAnalysisResult(r, kAnalysisPowerDensity, x, y, "U1", "");
  r.Valid = 1;
  return r;
}

// A view as a hand-over leaves it: whole curve, zoom 1.
ResultViewState ViewOf(const AnalysisResult& r, bool logAxis = false) {
  ResultViewState v;
  LoadResultExtremes(r, v);
  v.VisiblePoints = r.Points;
  v.LogAxis = logAxis ? 1 : 0;
  return v;
}

std::vector<CanvasOp> TextsOf(const RecordingCanvas& c) { return c.OpsOf(CanvasOp::Kind::Text); }

bool HasText(const RecordingCanvas& c, const std::string& text) {
  const auto texts = TextsOf(c);
  return std::any_of(texts.begin(), texts.end(), [&](const CanvasOp& op) { return op.text == text; });
}

// Ops drawn with the curve's pen colour.
std::vector<CanvasOp> CurveOps(const RecordingCanvas& c, platform::Color colour = {0, 0, 255}) {
  std::vector<CanvasOp> curve;
  for (const CanvasOp& op : c.Ops()) {
    if ((op.kind == CanvasOp::Kind::Line && op.pen.color == colour) ||
        (op.kind == CanvasOp::Kind::Pixel && op.color == colour)) {
      curve.push_back(op);
    }
  }
  return curve;
}

TEST(ResultYScale, StepsAndDivisionsOfTypicalRanges) {
  struct Case {
    double bottom, top;
    double step, lo, hi;
    int32_t divisions;
  };
  const Case cases[] = {
      {0.0, 1.0, 0.2, 0.0, 1.0, 5},
      {-56.7, 123.4, 40.0, -80.0, 160.0, 6},
      // The range whose refinement flipped between 6 and 8 for ever.
      {-8.0, 31.1, 8.0, -8.0, 32.0, 5},
      {0.001, 1000.0, 200.0, 0.0, 1000.0, 5},
      {-1.0, -0.25, 0.2, -1.0, -0.2, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bottom << " .. " << c.top);
    const ResultYStep s = FindResultYStep(c.bottom, c.top);
    EXPECT_NEAR(s.Step, c.step, 1e-12 * c.step);
    EXPECT_NEAR(s.Lo, c.lo, 1e-9);
    EXPECT_NEAR(s.Hi, c.hi, 1e-9);
    EXPECT_EQ(s.Divisions, c.divisions);
  }
}

TEST(ResultYScale, EveryRangeEndsWithAFewDivisionsCoveringIt) {
  // Ranges over many magnitudes and offsets, the flip-flopping kind among
  // them: the search always ends, and its scale covers the range.
  for (int e = -12; e <= 12; e += 3) {
    for (int a = -40; a <= 40; a += 7) {
      for (int w = 1; w <= 97; w += 6) {
        const double unit = std::pow(10.0, e);
        const double bottom = a * 0.37 * unit;
        const double top = bottom + w * 0.41 * unit;
        const ResultYStep s = FindResultYStep(bottom, top);
        SCOPED_TRACE(testing::Message() << bottom << " .. " << top);
        ASSERT_GT(s.Step, 0.0);
        EXPECT_LE(s.Lo, bottom + 1e-9 * s.Step);
        EXPECT_GE(s.Hi, top - 1e-9 * s.Step);
        EXPECT_GE(s.Divisions, 2);
        EXPECT_LE(s.Divisions, 12);
      }
    }
  }
}

TEST(ResultYScale, ConstantCurvesGetTwoDivisionsAtAnyMagnitude) {
  for (double v : {0.0, 5.0, -3.25, 1000.0, 1e200, -1e300, 1e-20}) {
    SCOPED_TRACE(v);
    const ResultYStep s = FindResultYStep(v, v);
    EXPECT_EQ(s.Divisions, 2);
    EXPECT_TRUE(std::isfinite(s.Hi) && std::isfinite(s.Lo) && s.Step > 0.0);
  }
}

TEST(ResultYScale, ZoomDividesTheStepAndTheScrollPositionLowersTheTop) {
  const ResultYScale s = ComputeResultYScale(-56.7, 123.4, false, 5, 20);
  EXPECT_DOUBLE_EQ(s.Step, 8.0);
  EXPECT_DOUBLE_EQ(s.ViewTop, 160.0 - 240.0 * 0.2);
  EXPECT_DOUBLE_EQ(s.ViewBottom, s.ViewTop - 6 * 8.0);
  // In dB: 1 .. 100 is 0 .. 20 dB, by 4 dB.
  const ResultYScale db = ComputeResultYScale(1.0, 100.0, true, 1, 0);
  EXPECT_DOUBLE_EQ(db.ViewTop, 20.0);
  EXPECT_DOUBLE_EQ(db.ViewBottom, 0.0);
  EXPECT_EQ(db.Divisions, 5);
}

TEST(ResultXScale, LabelStepsAndTheEmptyScaleOfOnePoint) {
  const ResultXScale s = ComputeResultXScale(0.0, 500.0);
  EXPECT_TRUE(s.Drawn);
  EXPECT_DOUBLE_EQ(s.Step, 50.0);
  EXPECT_EQ(s.Count, 10);
  const ResultXScale odd = ComputeResultXScale(3.0, 17.0);
  EXPECT_DOUBLE_EQ(odd.Step, 5.0);  // half or whole powers of ten
  EXPECT_EQ(odd.Count, 4);
  EXPECT_FALSE(ComputeResultXScale(7.0, 7.0).Drawn);
  EXPECT_FALSE(ComputeResultXScale(7.0, 3.0).Drawn);
  EXPECT_FALSE(ComputeResultXScale(0.0, kInf).Drawn);
}

TEST(ResultExtremes, NotANumberBendsTheExtremesAsRecordedAndInvalidatesAtTheEnds) {
  struct Case {
    std::vector<double> y;
    bool drawable;
    double yMin, yMax;
  };
  const Case cases[] = {
      {{1.0, kNaN, 3.0, 2.0}, true, 1.0, 3.0},
      // The value after a NaN takes the maximum, even a smaller one.
      {{5.0, kNaN, 2.0}, true, 2.0, 2.0},
      {{kNaN, 1.0, 2.0}, false, 0, 0},
      {{1.0, 2.0, kNaN}, false, 0, 0},
      {{1.0, kInf, 2.0}, false, 0, 0},
      {{1.0, -kInf, 2.0}, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.y));
    ResultViewState v;
    LoadResultExtremes(ResultOf(c.y), v);
    EXPECT_EQ(ResultExtremesDrawable(v), c.drawable);
    if (!c.drawable) continue;
    EXPECT_EQ(v.YMin, c.yMin);
    EXPECT_EQ(v.YMax, c.yMax);
  }
}

TEST(ResultGraph, InvalidDataShowsOnlyItsMessage) {
  for (const std::vector<double>& y : {std::vector<double>{kNaN, 1.0, 2.0}, std::vector<double>{1.0, 2.0, kNaN},
                                       std::vector<double>{1.0, kInf, 2.0}}) {
    const AnalysisResult r = ResultOf(y);
    ResultViewState v = ViewOf(r);
    RecordingCanvas canvas(400, 300);
    DrawResultGraph(canvas, r, v, {});
    const auto texts = TextsOf(canvas);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "存在无效数据");
    EXPECT_EQ(texts[0].from, (platform::Point{0, 5}));
    EXPECT_TRUE(CurveOps(canvas).empty());
    canvas.Clear();
    DrawResultReadout(canvas, r, v, false);
    EXPECT_TRUE(canvas.Ops().empty());
  }
}

TEST(ResultGraph, FrameLabelsAndYScaleOfALinearCurve) {
  const AnalysisResult r = ResultOf({0.0, 0.5, 1.0, 0.25});
  ResultViewState v = ViewOf(r);
  RecordingCanvas canvas(400, 300);  // text: 9 px a character, 18 px high
  EXPECT_FALSE(DrawResultGraph(canvas, r, v, {}));
  EXPECT_EQ(v.PlotRect.left, 54);
  EXPECT_EQ(v.PlotRect.top, 23);
  EXPECT_EQ(v.PlotRect.width, 400 - 54 - 1);
  EXPECT_EQ(v.PlotRect.height, 300 - 23 - 36 - 10);
  // Grey canvas, white plot.
  const auto fills = canvas.OpsOf(CanvasOp::Kind::FillRect);
  ASSERT_GE(fills.size(), 2u);
  EXPECT_EQ(fills[0].brush.color, (platform::Color{128, 128, 128}));
  EXPECT_EQ(fills[1].brush.color, platform::kWhite);
  EXPECT_TRUE(HasText(canvas, "功率谱"));
  EXPECT_TRUE(HasText(canvas, "U1的功率谱"));
  EXPECT_TRUE(HasText(canvas, "频率(Hz)"));
  // Y labels 0 .. 1 by 0.2 at the left, the top one at the plot's top.
  for (const char* label : {"0", "0.2", "0.4", "0.6", "0.8", "1"}) EXPECT_TRUE(HasText(canvas, label)) << label;
  for (const CanvasOp& op : TextsOf(canvas)) {
    if (op.text == "1" && op.from.x == 0) {
      EXPECT_EQ(op.from.y, 23 - 9);
    }
  }
}

TEST(ResultGraph, LastPointAndLastAbscissaBothStandOnTheRightEdge) {
  std::vector<double> y(11);
  for (size_t i = 0; i < y.size(); ++i) y[i] = static_cast<double>(i);
  const AnalysisResult r = ResultOf(y);  // X 0 .. 100
  ResultViewState v = ViewOf(r);
  RecordingCanvas canvas(400, 300);
  DrawResultGraph(canvas, r, v, {});
  const int right = v.PlotRect.left + v.PlotRect.width;
  const auto curve = CurveOps(canvas);
  ASSERT_FALSE(curve.empty());
  EXPECT_EQ(curve.front().from.x, v.PlotRect.left);
  EXPECT_EQ(curve.back().kind, CanvasOp::Kind::Pixel);
  EXPECT_EQ(curve.back().from.x, right);
  EXPECT_EQ(curve.back().from.y, v.PlotRect.top);  // the largest value at the top
  bool labelled = false;
  for (const CanvasOp& op : TextsOf(canvas)) {
    if (op.text == "50") {
      EXPECT_EQ(op.from.x, v.PlotRect.left + v.PlotRect.width / 2 - 9);
    }
    if (op.text == "100") {
      // Centred on the right edge it would pass the canvas: it ends there.
      EXPECT_EQ(op.from.x, 400 - 3 * 9);
      EXPECT_EQ(op.from.y, v.PlotRect.top + v.PlotRect.height + 5);
      labelled = true;
    }
  }
  EXPECT_TRUE(labelled);
}

TEST(ResultGraph, OnePointHasNoXScaleAndStandsAtTheLeftEdge) {
  AnalysisResult r;
  StoreAnalysisResult(r, kAnalysisAutoCorrelation, {2.5}, {0.75}, "U1", "");
  ResultViewState v = ViewOf(r);
  RecordingCanvas canvas(400, 300);
  DrawResultGraph(canvas, r, v, {});
  const int labelY = v.PlotRect.top + v.PlotRect.height + 5;
  for (const CanvasOp& op : TextsOf(canvas)) EXPECT_NE(op.from.y, labelY) << op.text;
  const int bottom = v.PlotRect.top + v.PlotRect.height;
  for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Line)) {
    EXPECT_FALSE(op.from.y == bottom && op.to.x == op.from.x && op.to.y < bottom) << op.ToString();
  }
  const auto curve = CurveOps(canvas);
  ASSERT_EQ(curve.size(), 1u);
  EXPECT_EQ(curve[0].from.x, v.PlotRect.left);
}

TEST(ResultGraph, ConstantCurveIsAHorizontalLineUnderThreeEqualLabels) {
  const AnalysisResult r = ResultOf({1000.0, 1000.0, 1000.0, 1000.0});
  ResultViewState v = ViewOf(r);
  RecordingCanvas canvas(400, 300);
  DrawResultGraph(canvas, r, v, {});
  int labels = 0;
  for (const CanvasOp& op : TextsOf(canvas)) labels += op.from.x == 0 && op.text == "1000";
  EXPECT_EQ(labels, 3);
  const auto curve = CurveOps(canvas);
  ASSERT_FALSE(curve.empty());
  for (const CanvasOp& op : curve) {
    EXPECT_EQ(op.from.y, curve[0].from.y);
    if (op.kind == CanvasOp::Kind::Line) {
      EXPECT_EQ(op.to.y, curve[0].from.y);
    }
  }
}

TEST(ResultGraph, NotANumberInsideBreaksTheCurveWithinThePlot) {
  const AnalysisResult r = ResultOf({1.0, 2.0, kNaN, 3.0, 2.0});
  ResultViewState v = ViewOf(r);
  RecordingCanvas canvas(400, 300);
  DrawResultGraph(canvas, r, v, {});
  const ResultPlotRect& p = v.PlotRect;
  const auto curve = CurveOps(canvas);
  int lines = 0;
  for (const CanvasOp& op : curve) {
    EXPECT_GE(op.from.x, p.left);
    EXPECT_LE(op.from.x, p.left + p.width);
    EXPECT_GE(op.from.y, p.top);
    EXPECT_LE(op.from.y, p.top + p.height);
    lines += op.kind == CanvasOp::Kind::Line;
  }
  EXPECT_EQ(lines, 2);  // 0-1 and 3-4; nothing to or from the gap
}

TEST(ResultGraph, LogAxisShowsDecibelsAndFallsBackToLinearOnANonPositiveMinimum) {
  const AnalysisResult positive = ResultOf({1.0, 10.0, 100.0});
  ResultViewState v = ViewOf(positive, true);
  RecordingCanvas canvas(400, 300);
  EXPECT_FALSE(DrawResultGraph(canvas, positive, v, {}));
  EXPECT_EQ(v.LogAxis, 1);
  EXPECT_TRUE(HasText(canvas, "功率谱(dB)"));
  for (const char* label : {"0", "4", "8", "12", "16", "20"}) EXPECT_TRUE(HasText(canvas, label)) << label;

  const AnalysisResult withZero = ResultOf({0.0, 1.0, 100.0});
  ResultViewState w = ViewOf(withZero, true);
  RecordingCanvas linear(400, 300);
  EXPECT_TRUE(DrawResultGraph(linear, withZero, w, {}));
  EXPECT_EQ(w.LogAxis, 0);
  EXPECT_TRUE(HasText(linear, "功率谱"));
  EXPECT_FALSE(HasText(linear, "功率谱(dB)"));
}

TEST(ResultGraph, BlackAndWhiteAndGridLines) {
  const AnalysisResult r = ResultOf({0.0, 0.5, 1.0, 0.25});
  ResultViewState v = ViewOf(r);
  RecordingCanvas plain(400, 300);
  DrawResultGraph(plain, r, v, {0, 0, false});
  EXPECT_EQ(plain.OpsOf(CanvasOp::Kind::FillRect)[0].brush.color, platform::kWhite);
  EXPECT_TRUE(CurveOps(plain).empty());
  EXPECT_FALSE(CurveOps(plain, platform::kBlack).empty());
  // Grid lines run through the plot to its far edges; without them nothing does.
  auto across = [](const RecordingCanvas& c, const ResultPlotRect& p) {
    int n = 0;
    for (const CanvasOp& op : c.OpsOf(CanvasOp::Kind::Line)) {
      n += (op.to.x == p.left + p.width && op.from.y == op.to.y) || (op.to.y == p.top && op.from.x == op.to.x);
    }
    return n;
  };
  RecordingCanvas grid(400, 300);
  DrawResultGraph(grid, r, v, {});
  EXPECT_GT(across(grid, v.PlotRect), 8);
  v.XGridOn = v.YGridOn = 0;
  RecordingCanvas bare(400, 300);
  DrawResultGraph(bare, r, v, {});
  EXPECT_EQ(across(bare, v.PlotRect), 0);
}

TEST(ResultView, ScrollPositionIsKeptWithinTheResult) {
  ResultViewState v;
  v.VisiblePoints = 10;
  PlaceResultView(v, 100, 95);
  EXPECT_EQ(v.FirstPoint, 90);
  PlaceResultView(v, 100, 40);
  EXPECT_EQ(v.FirstPoint, 40);
  v.VisiblePoints = 50;
  PlaceResultView(v, 20, 3);
  EXPECT_EQ(v.FirstPoint, 0);
  EXPECT_EQ(v.VisiblePoints, 20);
}

TEST(ResultZoom, XZoomAndTypedFactors) {
  struct Case {
    int32_t points, zoom, visible, largeChange;
  };
  const Case cases[] = {
      {513, 1, 513, 461}, {513, 2, 257, 231}, {513, 100, 10, 9}, {5, 1, 5, 4}, {5, 100, 5, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.points << " x" << c.zoom);
    EXPECT_EQ(ResultVisiblePoints(c.points, c.zoom), c.visible);
    EXPECT_EQ(ResultXLargeChange(c.visible), c.largeChange);
  }
  struct Typed {
    const char* text;
    int32_t current, points, factor;
  };
  const Typed typed[] = {
      {"1000", 1, 513, 128}, {"1000", 1, 3, 1}, {"7", 1, 513, 7}, {"abc", 7, 513, 7},
      {"", 9, 513, 9},       {"0", 5, 513, 1},  {"-4", 5, 513, 1}, {"2.5", 3, 513, 3},
  };
  for (const Typed& t : typed) {
    SCOPED_TRACE(t.text);
    EXPECT_EQ(TypedResultXZoom(t.text, t.current, t.points), t.factor);
  }
}

TEST(ResultZoom, YPositionsSnapToTheZoomsPages) {
  EXPECT_EQ(ResultYPage(5), 20);
  EXPECT_EQ(SnapResultYPosition(37, 5), 20);
  for (int32_t p : {0, 20, 40, 60, 80}) EXPECT_EQ(SnapResultYPosition(p, 5), p);
  EXPECT_EQ(SnapResultYPosition(99, 5), 80);
  EXPECT_EQ(SnapResultYPosition(37, 1), 0);
  EXPECT_EQ(SnapResultYPosition(37, 100), 37);
}

TEST(ResultCursors, PressPicksTheNearerCursorAndTheRedOneOnATie) {
  ResultViewState v;
  v.VisiblePoints = 11;
  v.PlotRect = {50, 20, 100, 200};  // 10 pixels a point
  v.CursorPoint1 = 2;
  v.CursorPoint2 = 6;
  PressResultCursor(v, 50 + 40, 100);  // point 4: a tie
  EXPECT_EQ(v.ActiveCursor, 0);
  EXPECT_EQ(v.CursorPoint1, 4);
  EXPECT_EQ(v.CursorLabelY1, 108);
  EXPECT_EQ(v.CursorDragging, 1);
  PressResultCursor(v, 50 + 61, 5000);  // point 6, nearer the green one
  EXPECT_EQ(v.ActiveCursor, 1);
  EXPECT_EQ(v.CursorPoint2, 6);
  EXPECT_EQ(v.CursorLabelY2, 20 + 200 + 8);
  PressResultCursor(v, 0, 100);  // left of the plot: its first point
  EXPECT_EQ(v.ActiveCursor, 0);
  EXPECT_EQ(v.CursorPoint1, 0);
  MoveResultCursor(v, 1, 5000, 30);  // dragging beyond the plot
  EXPECT_EQ(v.CursorPoint2, 10);
}

TEST(ResultCursors, ReadoutTextsAndTheirPlaceBesideTheLine) {
  AnalysisResult r = ResultOf({1.0, 10.0, 100.0, 1000.0});
  ResultViewState v = ViewOf(r, true);
  EXPECT_EQ(ResultReadoutLines(r, v, 2), (std::vector<std::string>{"点:2", "X值:20", "Y值(dB):20"}));
  v.LogAxis = 0;
  EXPECT_EQ(ResultReadoutLines(r, v, 3), (std::vector<std::string>{"点:3", "X值:30", "Y值:1000"}));

  RecordingCanvas canvas(400, 300);
  DrawResultGraph(canvas, r, v, {});
  v.CursorPoint1 = 0;
  v.CursorPoint2 = 99;  // clamped to the last point, at the right edge
  v.CursorLabelY1 = -10;  // clamped to the plot's top
  canvas.Clear();
  DrawResultReadout(canvas, r, v, false);
  EXPECT_EQ(v.CursorPoint2, 3);
  EXPECT_EQ(v.CursorLabelY1, v.PlotRect.top);
  const int right = v.PlotRect.left + v.PlotRect.width;
  for (const CanvasOp& op : TextsOf(canvas)) {
    if (op.font.color == platform::Color{255, 0, 0}) {
      EXPECT_EQ(op.from.x, v.PlotRect.left + 5);
      EXPECT_EQ(op.brush.style, platform::BrushStyle::Solid);
    } else {
      // "X值:30" and "Y值:1000" are 7 characters: the widest ends 5 pixels left of the line.
      EXPECT_EQ(op.from.x, right - 5 - 7 * 9) << op.text;
    }
  }
  const auto lines = canvas.OpsOf(CanvasOp::Kind::Line);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].from, (platform::Point{right, v.PlotRect.top}));
  EXPECT_EQ(ResultReadoutLeft(10, 100, {0, 0, 50, 50}), 0);  // never left of the plot
}

TEST(ResultValueGrid, BlocksListNumbersAndValuesOnlyForExistingPoints) {
  std::vector<double> y(10);
  for (size_t i = 0; i < y.size(); ++i) y[i] = 0.5 * static_cast<double>(i);
  const AnalysisResult r = ResultOf(y);
  ResultViewState v = ViewOf(r);
  v.GridStart = ClampResultGridStart(3, r.Points, v.GridColumns, v.GridRowBlocks);
  EXPECT_EQ(v.GridStart, 0);
  platform::CellGrid grid(ResultGridColCount(v), ResultGridRowCount(v, r.Curves), 0, 0);
  EXPECT_EQ(grid.ColCount(), 7);
  EXPECT_EQ(grid.RowCount(), 9);
  FillResultValueGrid(grid, r, v);
  for (int block = 0; block < 3; ++block) {
    const int b = 3 * block;
    EXPECT_EQ(grid.Cell(1, b), "点");
    EXPECT_EQ(grid.Cell(0, b + 1), "功率谱");
    EXPECT_EQ(grid.Cell(1, b + 1), "频率(Hz)");
    EXPECT_EQ(grid.Cell(0, b + 2), "U1的功率谱");
    EXPECT_EQ(grid.Cell(1, b + 2), "功率谱");
    for (int j = 0; j < 5; ++j) {
      const int n = j + 5 * block;
      EXPECT_EQ(grid.Cell(j + 2, b), std::to_string(n));
      EXPECT_EQ(grid.Cell(j + 2, b + 1), n < 10 ? std::to_string(10 * n) : "");
      EXPECT_EQ(grid.Cell(j + 2, b + 2), n < 10 ? (n % 2 ? std::to_string(n / 2) + ".5" : std::to_string(n / 2)) : "");
    }
  }
  v.LogAxis = 1;
  FillResultValueGrid(grid, r, v);
  EXPECT_EQ(grid.Cell(1, 2), "功率谱(dB)");
  EXPECT_EQ(grid.Cell(4, 2), "0");  // 10 log10 1
}

TEST(ResultValueGrid, StartRowsColumnsAndShapeLimits) {
  EXPECT_EQ(ClampResultGridStart(50, 100, 5, 3), 50);
  EXPECT_EQ(ClampResultGridStart(99, 100, 5, 3), 85);
  EXPECT_EQ(ClampResultGridStart(-5, 100, 5, 3), 0);
  EXPECT_EQ(ClampResultGridRowBlocks(0), 1);
  EXPECT_EQ(ClampResultGridRowBlocks(22), 20);
  EXPECT_EQ(ClampResultGridColumns(4), 5);
  EXPECT_EQ(ClampResultGridColumns(21), 20);
  const ResultGridShape wide = ResultGridShapeFor(640, 300, 64, 24, 1);
  EXPECT_EQ(wide.Columns, 8);
  EXPECT_EQ(wide.RowBlocks, 4);
  const ResultGridShape small = ResultGridShapeFor(100, 30, 64, 24, 1);
  EXPECT_EQ(small.Columns, 3);
  EXPECT_EQ(small.RowBlocks, 2);
}

TEST(ResultPoints, CurveAndCursorMappingAgree) {
  for (int32_t visible : {1, 2, 10, 513}) {
    for (int width : {1, 100, 345}) {
      EXPECT_EQ(ResultPointX(0, visible, width), 0);
      if (visible > 1) {
        EXPECT_EQ(ResultPointX(visible - 1, visible, width), width);
      }
      for (int32_t k = 0; k < visible; k += std::max(visible / 7, 1)) {
        if (width >= visible) {
          EXPECT_EQ(ResultPointAt(ResultPointX(k, visible, width), visible, width), k);
        }
      }
    }
  }
}

}  // namespace
