#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "analysis/FftPanelSettings.h"
#include "analysis/FrequencyPlot.h"
#include "platform/MemoryRegistry.h"
#include "platform/RecordingCanvas.h"
#include "view/Palette.h"

namespace {

using namespace quelvar;
using platform::CanvasOp;
using platform::RecordingCanvas;

// A result of `curves` curves of `points` points, curve k holding f(k, p).
template <typename F>
SpectrumResult MakeResult(int curves, int points, F f, int groups = 1) {
  SpectrumResult r;
  r.Valid = 1;
  r.NumCurves = curves;
  r.NumPoints = points;
  r.GroupCount = groups;
  r.DeltaX = 1.0;
  r.Title = "功率谱";
  r.XLabel = "频率(Hz)";
  r.YLabel = "谱";
  r.Y2Label = "相位角";
  r.Values.assign(static_cast<size_t>(curves) * points, 0.0);
  for (int k = 0; k < curves; ++k) {
    r.CurveNames[static_cast<size_t>(k)] = "c" + std::to_string(k);
    r.CurveChannel[static_cast<size_t>(k)] = k;
    for (int p = 0; p < points; ++p) r.Values[static_cast<size_t>(k) * points + p] = f(k, p);
  }
  return r;
}

LiveConfig Palette() {
  LiveConfig c;
  RestoreDefaultColors(c.ColorPalette, kMinColorNum);
  return c;
}

std::vector<std::string> Texts(const RecordingCanvas& canvas) {
  std::vector<std::string> out;
  for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Text)) out.push_back(op.text);
  return out;
}

bool Has(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Draws r whole on a 600 x 400 canvas; returns the canvas.
RecordingCanvas Draw(const SpectrumResult& r, FrequencyPlotView& view, FrequencyPlotState& state) {
  RecordingCanvas canvas(600, 400);
  SetupFrequencyPlot(r, view, state);
  DrawFrequencyPlot(canvas, r, view, state, Palette(), {true, true});
  return canvas;
}

TEST(FrequencyPlotAxes, NiceStepIsOneTwoFourSixEightOrTenTimesAPowerOfTen) {
  struct Case {
    double span;
    int divisions;
    double step;
  };
  for (const Case& c : {Case{0.9, 7, 0.2}, Case{3.0, 7, 0.6}, Case{7.0, 7, 1.0}, Case{70.0, 7, 10.0},
                        Case{0.0, 7, 1e-15}, Case{100.0, 4, 40.0}}) {
    EXPECT_NEAR(NiceAxisStep(c.span, c.divisions), c.step, c.step * 1e-9) << c.span << "/" << c.divisions;
  }
}

TEST(FrequencyPlotAxes, YScaleCoversTheRangeAndEndsEvenWhereTheStepWouldAlternate) {
  struct Case {
    double ymin, ymax;
    int divisions;
  };
  // -8 .. 31.1 over 7 divisions asks for 6, then 8, then 6 again.
  for (const Case& c : {Case{-8.0, 31.1, 7}, Case{0.0, 0.9, 7}, Case{-1e-3, 5e-4, 4}, Case{1e6, 1e6 + 3, 7},
                        Case{-120.0, -3.5, 7}, Case{5.0, 5.0, 7}, Case{0.0, 1e300, 7}}) {
    const YAxisScale s = ScaleYAxis(c.ymin, c.ymax, c.divisions, 1, 0);
    EXPECT_GE(s.Divisions, 1) << c.ymin << ".." << c.ymax;
    EXPECT_LE(s.Divisions, 3 * c.divisions);
    EXPECT_GE(s.Upper + 1e-9 * std::fabs(s.Upper), c.ymax);
    EXPECT_LE(s.Lower - 1e-9 * std::fabs(s.Lower), c.ymin);
    EXPECT_NEAR(s.Upper - s.Lower, s.Divisions * s.Step, 1e-9 * std::max(std::fabs(s.Upper), s.Divisions * s.Step));
  }
  const YAxisScale alternating = ScaleYAxis(-8.0, 31.1, 7, 1, 0);
  EXPECT_DOUBLE_EQ(alternating.Step, 8.0);
  EXPECT_DOUBLE_EQ(alternating.Upper, 32.0);
  EXPECT_EQ(alternating.Divisions, 5);
}

TEST(FrequencyPlotAxes, AFlatCurveFarFromZeroStillHasAFiniteAxis) {
  // A step of 1e-15 around values beyond about 1e293 overflows.
  for (const double v : {1e295, -1e295, 1.7e308, -1.7e308, 1e300}) {
    const YAxisScale s = ScaleYAxis(v, v, 7, 1, 0);
    EXPECT_TRUE(std::isfinite(s.Upper) && std::isfinite(s.Lower) && std::isfinite(s.Step)) << v;
    EXPECT_GT(s.Step, 0.0) << v;
    EXPECT_GE(s.Divisions, 1) << v;
    EXPECT_LE(s.Divisions, 21) << v;
    EXPECT_LE(s.Lower, s.Upper) << v;
  }
}

TEST(FrequencyPlotAxes, YZoomAndScrollNarrowAndMoveTheWindow) {
  const YAxisScale whole = ScaleYAxis(0.0, 7.0, 7, 1, 0);
  const YAxisScale zoomed = ScaleYAxis(0.0, 7.0, 7, 2, 50);
  EXPECT_DOUBLE_EQ(zoomed.Step, whole.Step / 2);
  EXPECT_DOUBLE_EQ(zoomed.Upper, whole.Upper - (whole.Upper - whole.Lower) * 0.5);
  EXPECT_DOUBLE_EQ(zoomed.Lower, zoomed.Upper - zoomed.Divisions * zoomed.Step);
}

TEST(FrequencyPlotAxes, XTicksOfAnEmptySpanAreNone) {
  EXPECT_FALSE(ScaleXAxis(5.0, 5.0).Any);
  EXPECT_FALSE(ScaleXAxis(0.0, std::numeric_limits<double>::quiet_NaN()).Any);
  const XAxisTicks t = ScaleXAxis(0.0, 1000.0);
  ASSERT_TRUE(t.Any);
  EXPECT_DOUBLE_EQ(t.Step, 100.0);
  EXPECT_EQ(t.Count, 10);
  const XAxisTicks down = ScaleXAxis(10.0, -10.0);  // a negative step of X
  ASSERT_TRUE(down.Any);
  EXPECT_DOUBLE_EQ(down.First, -10.0);
}

TEST(FrequencyPlotSetup, VisiblePointsFollowTheZoomWithinTenAndTheData) {
  FrequencyPlotView v;
  struct Case {
    int mode, factor, points, numPoints, expected;
  };
  for (const Case& c : {Case{0, 1, 0, 513, 513}, Case{0, 4, 0, 513, 128}, Case{0, 1000, 0, 513, 10},
                        Case{1, 1, 300, 513, 300}, Case{1, 1, 5000, 513, 513}, Case{1, 1, 3, 513, 10}}) {
    v.XPointMode = c.mode;
    v.XZoom = c.factor;
    v.XPoints = c.points;
    EXPECT_EQ(VisiblePointsFor(v, c.numPoints), c.expected);
  }
}

TEST(FrequencyPlotDraw, ANonFiniteValueShowsAMessageInsteadOfCurves) {
  for (double bad : {std::numeric_limits<double>::quiet_NaN(), HUGE_VAL, -HUGE_VAL, -1.5e308}) {
    // The last: finite, but its span up to 1.5e308 is not.
    SpectrumResult r = MakeResult(1, 65, [](int, int p) { return p == 64 ? 1.5e308 : 1.0 + p; });
    r.Values[10] = bad;
    FrequencyPlotView view;
    FrequencyPlotState state;
    const RecordingCanvas canvas = Draw(r, view, state);
    EXPECT_FALSE(state.Finite);
    EXPECT_TRUE(Has(Texts(canvas), kPlotInvalidData));
    // Only the frame: no curve, no tick.
    EXPECT_TRUE(canvas.OpsOf(CanvasOp::Kind::Line).empty());
  }
}

TEST(FrequencyPlotDraw, AZeroXSpanDrawsNoXLabels) {
  SpectrumResult r = MakeResult(1, 65, [](int, int p) { return 1.0 + p; });
  r.DeltaX = 0.0;
  FrequencyPlotView view;
  FrequencyPlotState state;
  const RecordingCanvas canvas = Draw(r, view, state);
  // Only Y labels left of the plot.
  for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Text)) {
    if (op.from.y > state.PlotTop + state.PlotHeight) {
      EXPECT_EQ(op.text, r.XLabel);
    }
  }
}

TEST(FrequencyPlotDraw, CurvesAndXLabelsShareTheirXMapping) {
  // X from 0 to 100 in steps of 1: the label of 50 sits where point 50 is.
  SpectrumResult r = MakeResult(1, 101, [](int, int p) { return p % 2 == 0 ? 1.0 : 2.0; });
  FrequencyPlotView view;
  view.XGrid = false;
  FrequencyPlotState state;
  RecordingCanvas canvas = Draw(r, view, state);
  int labelCentre = -1;
  for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Text)) {
    if (op.text == "50") labelCentre = op.from.x + canvas.TextWidth("50") / 2;
  }
  std::vector<int> curveX;
  for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Line)) {
    if (op.from.y != op.to.y && op.from.x != op.to.x) curveX.push_back(op.to.x);
  }
  ASSERT_EQ(curveX.size(), 100U);
  EXPECT_EQ(curveX[49], labelCentre);  // the segment ending at point 50
}

TEST(FrequencyPlotDraw, PowerAndPhaseTakeTwoPanelsThePhaseNeverInDecibels) {
  SpectrumResult r = MakeResult(4, 65, [](int k, int p) { return k < 2 ? 1.0 + p : -90.0 + p; }, 2);
  FrequencyPlotView view;
  view.Log = true;
  FrequencyPlotState state;
  std::vector<std::string> texts = Texts(Draw(r, view, state));
  EXPECT_TRUE(view.Log);
  EXPECT_TRUE(Has(texts, "谱(dB)"));
  EXPECT_TRUE(Has(texts, "相位角"));
  EXPECT_FALSE(Has(texts, "相位角(dB)"));

  view.MultiAxial = true;
  texts = Texts(Draw(r, view, state));
  for (const char* name : {"c0(dB)", "c1(dB)", "c2", "c3"}) EXPECT_TRUE(Has(texts, name)) << name;
}

TEST(FrequencyPlotDraw, MoreThanThreePanelsTakeFourDivisions) {
  // Values 0 .. 7: seven divisions of 1, or four of 2.
  SpectrumResult r = MakeResult(4, 65, [](int, int p) { return (p % 8) * 1.0; });
  FrequencyPlotView view;
  view.MultiAxial = true;
  FrequencyPlotState state;
  std::vector<std::string> texts = Texts(Draw(r, view, state));
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "8"), 4);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "1"), 0);

  r.NumCurves = 3;
  texts = Texts(Draw(r, view, state));
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "7"), 3);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "1"), 3);
}

TEST(FrequencyPlotDraw, ANonPositiveGroupValueClearsTheLogTick) {
  for (double lowest : {0.0, -1.0}) {
    SpectrumResult r = MakeResult(1, 65, [&](int, int p) { return p == 3 ? lowest : 1.0 + p; });
    FrequencyPlotView view;
    view.Log = true;
    FrequencyPlotState state;
    const std::vector<std::string> texts = Texts(Draw(r, view, state));
    EXPECT_FALSE(view.Log);
    EXPECT_FALSE(Has(texts, "c0(dB)"));
  }
}

TEST(FrequencyPlotDraw, TheScrollPositionStaysWithinTheData) {
  SpectrumResult r = MakeResult(1, 513, [](int, int p) { return 1.0 + p; });
  FrequencyPlotView view;
  view.XPointMode = 1;
  view.XPoints = 100;
  view.HScroll = 480;
  FrequencyPlotState state;
  Draw(r, view, state);
  EXPECT_EQ(state.FirstVisiblePoint, 413);
  EXPECT_EQ(view.HScroll, 413);
}

TEST(FrequencyPlotReadout, MarksBeyondTheVisiblePointsComeBackToTheLast) {
  SpectrumResult r = MakeResult(2, 513, [](int k, int p) { return k + 1.0 + p; });
  FrequencyPlotView view;
  FrequencyPlotState state;
  RecordingCanvas canvas = Draw(r, view, state);
  state.Mark1 = 20;
  state.Mark2 = 800;
  canvas.Clear();
  DrawFrequencyReadout(canvas, r, view, state, Palette(), true);
  EXPECT_EQ(state.Mark2, 512);
  const std::vector<std::string> texts = Texts(canvas);
  for (const char* line : {"点:20", "频率(Hz):20", "c0:21", "c1:22", "点:512", "c1:514"}) {
    EXPECT_TRUE(Has(texts, line)) << line;
  }
  // Mark 2's line at the plot's right edge, in the red mark's colour.
  const std::vector<CanvasOp> lines = canvas.OpsOf(CanvasOp::Kind::Line);
  ASSERT_EQ(lines.size(), 2U);
  EXPECT_EQ(lines[1].from.x, state.PlotLeft + state.PlotWidth);
  EXPECT_EQ(lines[1].pen.color.ToStored(), DefaultSlotColor(kPaletteRowWhite, kSlotRedMark));
}

TEST(FrequencyPlotReadout, LogCurvesReadInDecibels) {
  SpectrumResult r = MakeResult(2, 65, [](int, int) { return 100.0; }, 2);
  FrequencyPlotView view;
  view.Log = true;
  FrequencyPlotState state;
  const std::vector<std::string> lines = ReadoutLines(r, view, state, 0);
  EXPECT_EQ(lines[2], "c0(dB):20");
  EXPECT_EQ(lines[3], "c1:100");
}

TEST(FrequencyPlotMarks, APressMovesTheNearerMarkAndItsReadout) {
  FrequencyPlotState s;
  s.PlotLeft = 50;
  s.PlotWidth = 500;
  s.PlotTop = 20;
  s.PlotHeight = 300;
  s.VisiblePoints = 101;
  s.Mark1 = 20;
  s.Mark2 = 80;
  PressMark(s, 50 + 5 * 30, 100);  // point 30: mark 1 is nearer
  EXPECT_EQ(s.Mark1, 30);
  EXPECT_EQ(s.Readout1Top, 108);
  EXPECT_EQ(s.DraggedMark, 0);
  PressMark(s, 50 + 5 * 55, 1000);  // equally near both: mark 1
  EXPECT_EQ(s.Mark1, 55);
  EXPECT_EQ(s.Readout1Top, 328);  // y kept within the plot
  PressMark(s, 0, 0);  // left of the plot: point 0; mark 1 is nearer
  EXPECT_EQ(s.Mark1, 0);
  PressMark(s, 50 + 5 * 70, 50);
  EXPECT_EQ(s.Mark2, 70);
  MoveMark(s, s.DraggedMark, 9999, 50);
  EXPECT_EQ(s.Mark2, 100);
}

TEST(FftPanelSettingsRules, FftLengthIsAPowerOfTwoWithinItsRange) {
  struct Case {
    const char* text;
    int32_t expected;
  };
  for (const Case& c : {Case{"3000", 2048}, Case{"100", 128}, Case{"40000", 32768}, Case{"1024", 1024},
                        Case{"-5", 128}, Case{"abc", 512}, Case{"", 512}}) {
    EXPECT_EQ(FftLengthFromText(c.text, 512), c.expected) << c.text;
  }
  EXPECT_EQ(StepFftLength(128, false), 128);
  EXPECT_EQ(StepFftLength(32768, true), 32768);
  EXPECT_EQ(StepFftLength(1024, true), 2048);
  EXPECT_EQ(StepFftLength(1024, false), 512);
  EXPECT_EQ(BandNFromText("x"), 3);
  EXPECT_EQ(BandNFromText("0"), 1);
  EXPECT_EQ(BandNFromText("12"), 10);
  EXPECT_EQ(BandNFromText("6"), 6);
}

TEST(FftPanelSettingsRules, StoredValuesTakeDefaultsAndClamps) {
  platform::MemoryRegistry registry;
  FftPanelSettings s = LoadFftPanelSettings(registry, "QuelvarTorque");
  EXPECT_EQ(s.Engine.FFTLength, 1024);
  EXPECT_EQ(s.Engine.FFTResultType, 0);
  EXPECT_EQ(s.Engine.BandN, 3);
  EXPECT_TRUE(s.XGridOn && s.YGridOn && s.InstValueOn && s.InstTransparentOn && s.WhiteBG);
  EXPECT_FALSE(s.Topmost || s.MultiAxial || s.LogAxial || s.Engine.DataOverlap || s.Engine.RealtimeSpectrum);
  EXPECT_EQ(s.XPoints, 100);

  const std::string key = FftPanelKey("QuelvarTorque");
  struct Stored {
    const char* name;
    int32_t value;
  };
  for (const Stored& v : {Stored{"FFTLength", 40000}, Stored{"FFTWindowType", 9}, Stored{"FFTResultType", 11},
                          Stored{"XZoomRawFFT", 5000}, Stored{"YZoomRawFFT", 0}, Stored{"XPointRawFFT", 2},
                          Stored{"BandN", 99}}) {
    registry.WriteInt32(key, v.name, v.value);
  }
  s = LoadFftPanelSettings(registry, "QuelvarTorque");
  EXPECT_EQ(s.Engine.FFTLength, 32768);
  EXPECT_EQ(s.Engine.FFTWindowType, 9);  // kept; the list shows none
  EXPECT_EQ(s.Engine.FFTResultType, -1);
  EXPECT_EQ(s.XZoom, 1000);
  EXPECT_EQ(s.YZoom, 1);
  EXPECT_EQ(s.XPoints, 10);
  EXPECT_EQ(s.Engine.BandN, 10);

  s.LogAxial = true;
  s.WhiteBG = false;
  s.XPointMode = 1;
  SaveFftPanelSettings(registry, "QuelvarTorque", s);
  const FftPanelSettings back = LoadFftPanelSettings(registry, "QuelvarTorque");
  EXPECT_TRUE(back.LogAxial);
  EXPECT_FALSE(back.WhiteBG);
  EXPECT_EQ(back.XPointMode, 1);
  EXPECT_EQ(back.Engine.FFTLength, 32768);
}

TEST(FftPanelZoom, FactorAndPointCommandsStayInTheirRanges) {
  FftPanelSettings s;
  ApplyXZoom(s, 1000, 513);
  XZoomEnlarge(s, 513);
  EXPECT_EQ(s.XZoom, 1000);
  EXPECT_EQ(s.XPoints, 10);
  ApplyXZoom(s, 1, 513);
  XZoomCompress(s, 513);
  EXPECT_EQ(s.XZoom, 1);
  EXPECT_EQ(s.XPoints, 513);
  ApplyXZoom(s, 4, 513);
  EXPECT_EQ(s.XPoints, 128);
  EXPECT_EQ(s.XPointMode, 0);
  XZoomShowPoints(s, 3, 513);
  EXPECT_EQ(s.XPoints, 10);
  EXPECT_EQ(s.XPointMode, 1);
  XZoomEnlarge(s, 513);
  EXPECT_EQ(s.XPoints, 10);
  XZoomShowPoints(s, 400, 513);
  XZoomCompress(s, 513);
  EXPECT_EQ(s.XPoints, 513);
  ApplyYZoom(s, 500);
  EXPECT_EQ(s.YZoom, 100);
  EXPECT_EQ(XZoomAnyCaption(20), "X向放大?倍(20)");
  EXPECT_EQ(XZoomAnyPointCaption(401), "X向显示?点(401)");
  EXPECT_EQ(YZoomAnyCaption(5), "Y向放大?倍(5)");
}

TEST(FftPanelZoom, BetweenTheMarks) {
  struct Case {
    int32_t first, mark1, mark2, numPoints;
    int32_t points, newFirst, newMark1, newMark2;
  };
  for (const Case& c : {Case{0, 700, 300, 1025, 401, 300, 400, 0},
                        Case{0, 300, 700, 1025, 401, 300, 0, 400},
                        Case{600, 100, 400, 1025, 301, 700, 0, 300},     // window kept in the data
                        Case{0, 50, 52, 1025, 10, 50, 0, 2}}) {          // at least 10 points
    FftPanelSettings s;
    FrequencyPlotState plot;
    plot.Mark1 = c.mark1;
    plot.Mark2 = c.mark2;
    int32_t first = c.first;
    XZoomBetweenMarks(s, plot, c.numPoints, first);
    EXPECT_EQ(s.XPoints, c.points);
    EXPECT_EQ(s.XPointMode, 1);
    EXPECT_EQ(first, c.newFirst);
    EXPECT_EQ(plot.Mark1, c.newMark1);
    EXPECT_EQ(plot.Mark2, c.newMark2);
  }
}

TEST(FftPanelTable, ColumnsAndTheirPoints) {
  EXPECT_EQ(TableColumns(800, 64), 11);
  EXPECT_EQ(TableColumns(100, 64), 4);
  EXPECT_EQ(TableFirstPoint(50, 65, 11), 50);
  EXPECT_EQ(TableFirstPoint(64, 65, 11), 54);
  EXPECT_EQ(TableFirstPoint(0, 3, 11), 0);  // a table wider than the data
  SpectrumResult r = MakeResult(2, 3, [](int k, int p) { return k == 0 ? 100.0 * (p + 1) : -1.0; }, 2);
  r.DeltaX = 0.5;
  EXPECT_EQ(TableCell(r, 0, 1, false), "0.5");
  EXPECT_EQ(TableCell(r, 1, 0, true), "20");
  EXPECT_EQ(TableCell(r, 2, 0, true), "-1");  // the phase group stays linear
  EXPECT_EQ(TableCell(r, 1, 5, false), "");
  EXPECT_EQ(TableHeader(r, 0, true), "c0(dB)");
  EXPECT_EQ(TableHeader(r, 1, true), "c1");
}

}  // namespace
