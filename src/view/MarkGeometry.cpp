#include "view/MarkGeometry.h"

#include <algorithm>

#include "common/NumberFormat.h"

namespace quelvar {

namespace {

// Margins of the plot when the scale values are drawn inside it.
constexpr int kInnerLeft = 4;
constexpr int kInnerTop = 2;
// Distance of a value label from its mark's line.
constexpr int kLabelGap = 8;
// A label that fits neither below nor above its level stays this far below
// the paint box's top.
constexpr int kLabelTopMargin = 3;

}  // namespace

MarkPlot MarkPlotOf(const ViewOptions& options, const ScaleLabelMetrics& labels, int imageWidth, int imageHeight) {
  MarkPlot plot;
  plot.L = options.ScaleOut ? labels.ScreenLabelWidth : kInnerLeft;
  plot.T = options.ScaleOut ? labels.ScreenTextHeight : kInnerTop;
  plot.W = imageWidth - plot.L - 1;
  plot.H = imageHeight - plot.T - 1;
  plot.ImageWidth = imageWidth;
  plot.ImageHeight = imageHeight;
  return plot;
}

int32_t PixelToPoint(const MarkPlot& plot, int32_t displayWidth, int x) {
  x = std::max(x, plot.L);
  const int64_t span = int64_t{plot.ImageWidth} - plot.L;
  // A paint box no wider than the scale area has no plot: every press is
  // on its first point.
  if (span <= 0) return 1;
  const int64_t p = (int64_t{x} - plot.L) * displayWidth / span + 1;
  if (p > displayWidth) return displayWidth;
  return p <= 0 ? 1 : static_cast<int32_t>(p);
}

int PointToPixel(const MarkPlot& plot, int32_t displayWidth, int32_t p) {
  const int64_t steps = int64_t{displayWidth} - 1;
  if (steps <= 0) return plot.L;
  return SaturateToInt32(plot.L + (int64_t{p} - 1) * plot.W / steps);
}

void ClampMarks(WaveViewState& view, const MarkPlot& plot) {
  // Written as max-then-min so a range turned upside down (a paint box
  // smaller than its margins) still gives a value, never undefined clamping.
  const auto clamp = [](int32_t value, int32_t low, int32_t high) { return std::min(std::max(value, low), high); };
  view.Mark1X = clamp(view.Mark1X, 1, view.DisplayWidth);
  view.Mark2X = clamp(view.Mark2X, 1, view.DisplayWidth);
  view.Mark1Y = clamp(view.Mark1Y, plot.T, plot.H);
  view.Mark2Y = clamp(view.Mark2Y, plot.T, plot.H);
}

int MarkLabelTop(int imageTop, int imageHeight, int labelHeight, int y) {
  if (y + labelHeight + kLabelGap < imageHeight) return imageTop + y + kLabelGap;
  const int above = imageTop + y - labelHeight - kLabelGap;
  return above < imageTop ? imageTop + kLabelTopMargin : above;
}

int MarkLabelLeft(int imageLeft, int imageWidth, int x, int w) {
  if (x + w + kLabelGap < imageWidth) return imageLeft + x + kLabelGap;
  return imageLeft + x - w - kLabelGap;
}

}  // namespace quelvar
