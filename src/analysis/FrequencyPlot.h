#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/FrequencyAnalysis.h"
#include "common/LiveConfig.h"
#include "platform/Canvas.h"

namespace quelvar {

// The FFT panel's plot of an analysis result: a title, a common X axis and
// one or several panels with their own Y axes, the curves in channel
// colours (linear or in dB), and on the screen two reading marks with the
// value of every curve.

inline constexpr const char* kPlotInvalidData = "存在无效数据";

// The panel's settings the plot reads (and the two it writes back: the log
// tick, which a result that cannot be shown in dB clears, and the X scroll
// position, kept within the data).
struct FrequencyPlotView {
  int32_t XZoom = 1;       // X factor, factor mode
  int32_t XPointMode = 0;  // 0 factor, 1 point count
  int32_t XPoints = 100;   // points shown in point mode
  int32_t YZoom = 1;
  int32_t HScroll = 0;  // first visible point asked for
  int32_t VScroll = 0;  // 0..99: the Y window moved down by that percentage
  bool MultiAxial = false;
  bool XGrid = true;
  bool YGrid = true;
  bool InstValue = true;
  bool TransparentInst = true;
  bool Log = false;
};

struct FrequencyPlotState {
  int32_t VisiblePoints = 100;
  int32_t FirstVisiblePoint = 0;
  int32_t PlotLeft = 0;
  int32_t PlotTop = 0;
  int32_t PlotWidth = 1;
  int32_t PlotHeight = 1;
  int32_t LineHeight = 1;  // text height of "lg"
  int32_t Mark1 = 20;
  int32_t Mark2 = 800;
  int32_t Readout1Top = 50;
  int32_t Readout2Top = 250;
  int32_t Dragging = 0;
  int32_t DraggedMark = 0;  // 0 mark 1, 1 mark 2
  std::array<double, kMaxSpectrumCurves> CurveMax{};
  std::array<double, kMaxSpectrumCurves> CurveMin{};
  std::array<double, 2> GroupMax{};
  std::array<double, 2> GroupMin{};
  // Every value of the result is a finite number; otherwise the plot shows
  // kPlotInvalidData instead of curves.
  bool Finite = true;
};

// Points across the plot for a result of `numPoints` points: the point
// count in point mode, else numPoints / factor; at least 10, at most
// numPoints.
int32_t VisiblePointsFor(const FrequencyPlotView& view, int32_t numPoints);

// Prepares a new result for drawing: the extremes of the curves and
// groups, the visible points. Returns the X scroll bar's maximum.
int32_t SetupFrequencyPlot(const SpectrumResult& result, const FrequencyPlotView& view, FrequencyPlotState& state);

// The Y step of a span over `divisions`: 0.2, 0.4, 0.6, 0.8 or 1 times a
// power of ten.
double NiceAxisStep(double span, int32_t divisions);

struct YAxisScale {
  double Upper = 0.0;  // value at the panel's top
  double Lower = 0.0;  // value at its bottom
  double Step = 1.0;   // value per division (the zoom applied)
  int32_t Divisions = 2;
};
// The scale of a panel showing ymin..ymax over about `divisions` divisions,
// zoomed by yZoom and moved down by vScroll percent of the span.
YAxisScale ScaleYAxis(double ymin, double ymax, int32_t divisions, int32_t yZoom, int32_t vScroll);

struct XAxisTicks {
  double Step = 0.0;
  double First = 0.0;
  int32_t Count = 0;  // ticks First + i Step for i = 0 .. Count
  bool Any = false;   // false: an empty span, no labels or ticks
};
XAxisTicks ScaleXAxis(double xmin, double xmax);

// The pixel offset of a fraction 0..1 of the plot's width: the curves, the
// X labels and the marks all take their x from here.
int32_t PlotX(double fraction, int32_t plotWidth);

// Whether the panel showing curves from `firstCurve` on is logarithmic:
// the log tick, except for the phase group.
bool PanelIsLogarithmic(const SpectrumResult& result, bool log, int32_t firstCurve);
// A dB display needs positive values throughout group 1.
bool LogDisplayPossible(const FrequencyPlotState& state);

struct FrequencyDrawOptions {
  bool WhiteBackground = true;
  bool Colour = true;
};

// The whole plot on the canvas (its size). Clears view.Log when group 1
// holds a value not above 0 and keeps view.HScroll within the data.
void DrawFrequencyPlot(platform::Canvas& canvas, const SpectrumResult& result, FrequencyPlotView& view,
                       FrequencyPlotState& state, const LiveConfig& config, const FrequencyDrawOptions& options);

// A message at the top left of a black canvas in white (no valid result).
void DrawFrequencyMessage(platform::Canvas& canvas, const std::string& text);

// The marks and their readouts over a drawn plot. Marks beyond the visible
// points are brought back onto the last one.
void DrawFrequencyReadout(platform::Canvas& canvas, const SpectrumResult& result, const FrequencyPlotView& view,
                          FrequencyPlotState& state, const LiveConfig& config, bool whiteBackground);

// The text lines of a mark's readout at visible point `mark`.
std::vector<std::string> ReadoutLines(const SpectrumResult& result, const FrequencyPlotView& view,
                                      const FrequencyPlotState& state, int32_t mark);

// The visible point under mouse x.
int32_t MarkIndexAt(const FrequencyPlotState& state, int32_t x);
// A press on the plot: the nearer mark (mark 2 only when strictly nearer)
// goes to the point under the mouse and is dragged from then on.
void PressMark(FrequencyPlotState& state, int32_t x, int32_t y);
// The dragged mark to the point under the mouse; its readout follows y.
void MoveMark(FrequencyPlotState& state, int32_t which, int32_t x, int32_t y);

}  // namespace quelvar
