#include "analysis/AnalysisGraph.h"

#include <algorithm>
#include <cmath>

#include "common/NumberFormat.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

using platform::Canvas;
using platform::Color;

constexpr double kSmallest = 1e-15;
// Values beyond this are scaled as if at it, so the span of the scale stays
// a finite number.
constexpr double kLargest = 1e300;
// A constant curve's range is widened by at least this much relative to its
// value: 1e-15 alone vanishes in the rounding of values above about 5.
constexpr double kRelativeSpan = 1e-12;
// The step only grows while it is refined, so a few rounds settle it; this
// bound only guards against rounding noise.
constexpr int kMaxStepRounds = 64;
constexpr int32_t kMaxXSteps = 1000;

constexpr Color kGrey{128, 128, 128};
constexpr Color kBlue{0, 0, 255};
constexpr Color kRed{255, 0, 0};
constexpr Color kGreen{0, 128, 0};

double Pow10Ceil(double v) { return std::pow(10.0, std::ceil(std::log10(v))); }

double Decibels(double v) { return 10.0 * std::log10(v); }

// Whole divisions of a range that rounding may have left a hair above an
// integer.
double CeilDivisions(double v) { return std::ceil(v - 1e-9); }

int TruncPixel(double v) { return TruncToInt32(v); }

std::string Number(double v, int digits) { return FormatGeneral(v, digits, 4); }

}  // namespace

void LoadResultExtremes(const AnalysisResult& result, ResultViewState& view) {
  const int32_t n = std::min<int32_t>(result.Points, static_cast<int32_t>(result.Y.size()));
  if (n <= 0) {
    view.YMin = view.YMax = 0.0;
    return;
  }
  double yMax = result.Y[0];
  double yMin = result.Y[0];
  for (int32_t i = 1; i < n; ++i) {
    const double v = result.Y[static_cast<size_t>(i)];
    if (!(yMax >= v)) yMax = v;
    if (yMin > v) yMin = v;
  }
  view.YMin = yMin;
  view.YMax = yMax;
}

bool ResultExtremesDrawable(const ResultViewState& view) {
  return std::isfinite(view.YMin) && std::isfinite(view.YMax);
}

ResultYStep FindResultYStep(double bottom, double top) {
  bottom = std::clamp(bottom, -kLargest, kLargest);
  top = std::clamp(top, -kLargest, kLargest);
  const double minSpan = std::max(kSmallest, std::max(std::fabs(bottom), std::fabs(top)) * kRelativeSpan);
  ResultYStep step;
  if (bottom + minSpan >= top) {
    // A constant curve: its widened range is one step, shown as two
    // divisions under labels of one value.
    top = bottom + minSpan;
    const double p = Pow10Ceil(minSpan);
    step.Step = std::ceil(5.0 * minSpan / p) * p * 0.2;
    step.Hi = std::ceil(top / step.Step) * step.Step;
    step.Lo = std::floor(bottom / step.Step) * step.Step;
    step.Divisions = 2;
    return step;
  }
  double s = (top - bottom) / 7.0;
  if (s < kSmallest) s = kSmallest;
  double p = Pow10Ceil(s);
  s = std::ceil(5.0 * s / p) * p * 0.2;
  double hi = std::ceil(top / s) * s;
  double lo = std::floor(bottom / s) * s;
  // Refine: the step for seven divisions of the range rounded out to whole
  // steps. Taking a smaller step again could round the range back out and
  // flip between two steps for ever (-8 .. 31.1: 6, 8, 6, ...), so the step
  // only grows.
  for (int round = 0; round < kMaxStepRounds; ++round) {
    double d = (hi - lo) / 7.0;
    if (d < kSmallest) d = kSmallest;
    const double q = Pow10Ceil(d);
    const double c = std::ceil(5.0 * d / q) * q * 0.2;
    if (!(c > s)) break;
    s = c;
    hi = std::ceil(top / s) * s;
    lo = std::floor(bottom / s) * s;
  }
  step.Step = s;
  step.Hi = hi;
  step.Lo = lo;
  const double n = CeilDivisions((hi - lo) / s);
  step.Divisions = n <= 1.0 ? 2 : TruncToInt32(n);
  return step;
}

ResultYScale ComputeResultYScale(double yMin, double yMax, bool logAxis, int32_t yZoom, int32_t yPosition) {
  double top = yMax;
  double bottom = yMin;
  if (logAxis) {
    top = Decibels(top);
    bottom = Decibels(bottom);
  }
  ResultYScale scale;
  scale.Base = FindResultYStep(bottom, top);
  scale.Divisions = scale.Base.Divisions;
  scale.Step = scale.Base.Step / std::max(yZoom, 1);
  scale.ViewTop = scale.Base.Hi - (scale.Base.Hi - scale.Base.Lo) * yPosition * 0.01;
  scale.ViewBottom = scale.ViewTop - scale.Divisions * scale.Step;
  return scale;
}

ResultXScale ComputeResultXScale(double xl, double xr) {
  ResultXScale scale;
  if (!std::isfinite(xl) || !std::isfinite(xr) || !(xr > xl)) return scale;
  double t = (xr - xl) * 0.1;
  if (!(t > 0.0) || !std::isfinite(t)) return scale;
  const double p = Pow10Ceil(t);
  t = std::ceil(2.0 * t / p) * p * 0.5;
  const double lo = std::floor(xl / t);
  const double hi = std::ceil(xr / t);
  scale.Drawn = true;
  scale.Step = t;
  scale.Lo = lo;  // in steps
  scale.Count = std::min(kMaxXSteps, TruncToInt32(hi - lo + 1e-9));
  return scale;
}

int ResultPointX(int32_t k, int32_t visiblePoints, int width) {
  if (visiblePoints <= 1) return 0;
  return static_cast<int>(static_cast<int64_t>(k) * width / (visiblePoints - 1));
}

int32_t ResultPointAt(int x, int32_t visiblePoints, int width) {
  if (visiblePoints <= 1 || width <= 0 || x <= 0) return 0;
  const int64_t k = (2 * static_cast<int64_t>(x) * (visiblePoints - 1) + width) / (2 * static_cast<int64_t>(width));
  return static_cast<int32_t>(std::min<int64_t>(k, visiblePoints - 1));
}

void PlaceResultView(ResultViewState& view, int32_t points, int32_t xPosition) {
  view.VisiblePoints = std::max(view.VisiblePoints, 1);
  view.FirstPoint = xPosition;
  if (static_cast<int64_t>(view.FirstPoint) + view.VisiblePoints > points) view.FirstPoint = points - view.VisiblePoints;
  if (view.FirstPoint < 0) {
    view.FirstPoint = 0;
    view.VisiblePoints = std::max(points, 1);
  }
}

namespace {

struct Frame {
  int W = 0;
  int H = 0;
  int h = 0;
  ResultPlotRect plot;
  Color background;
};

void TextOn(Canvas& canvas, const Frame& f, int x, int y, const std::string& text) {
  canvas.SetBrush({f.background, platform::BrushStyle::Solid});
  canvas.SetFontColor(platform::kBlack);
  canvas.TextOut(x, y, text);
}

void Centred(Canvas& canvas, const Frame& f, int y, const std::string& text) {
  const ResultPlotRect& r = f.plot;
  TextOn(canvas, f, std::max(0, r.left + r.width / 2 - canvas.TextWidth(text) / 2), y, text);
}

// The Y scale's labels, ticks and horizontal grid lines.
void DrawYScale(Canvas& canvas, const Frame& f, const ResultYScale& y, bool logAxis, bool gridOn) {
  const ResultPlotRect& r = f.plot;
  const int n = y.Divisions;
  for (int i = 0; i <= n; ++i) {
    const int py = r.height - static_cast<int>(static_cast<int64_t>(r.height) * i / n);
    double v = i * y.Step + y.ViewBottom;
    if (std::fabs(v) < 1e-13) v = 0.0;
    TextOn(canvas, f, 0, r.top + py - f.h / 2, Number(v, 6));
  }
  canvas.SetPen({platform::kBlack, 1, platform::PenStyle::Solid});
  for (int row = 0; row < n; ++row) {
    for (int i = 0; i <= 9; ++i) {
      const int py = logAxis ? r.height - TruncPixel((row + std::log10(i + 1.0)) * r.height / n)
                             : r.height - static_cast<int>(static_cast<int64_t>(r.height) * (10 * row + i) / (10 * n));
      const int length = (i == 0 && row != 0) ? 20 : i == 5 ? 15 : 10;
      const int at = r.top + py;
      canvas.MoveTo(r.left, at);
      canvas.LineTo(r.left + length, at);
      if (length != 20 || !gridOn) continue;
      for (int j = 1; j <= r.width / 30 - 1; ++j) {
        canvas.MoveTo(r.left + 30 * j, at);
        canvas.LineTo(r.left + 30 * j + 20, at);
      }
      canvas.LineTo(r.left + r.width, at);
    }
  }
}

// The X scale's labels, ticks and vertical grid lines.
void DrawXScale(Canvas& canvas, const Frame& f, double xl, double xr, bool gridOn) {
  const ResultXScale x = ComputeResultXScale(xl, xr);
  if (!x.Drawn) return;
  const ResultPlotRect& r = f.plot;
  const double span = xr - xl;
  // Abscissae a rounding hair beyond the ends still count as on them.
  const double slack = x.Step * 1e-9;
  auto inside = [&](double v) { return v >= xl - slack && v <= xr + slack; };
  auto pixel = [&](double v) { return r.left + std::clamp(TruncPixel((v - xl) / span * r.width), 0, r.width); };
  for (int32_t i = 0; i <= x.Count; ++i) {
    const double v = (x.Lo + i) * x.Step;
    if (!inside(v)) continue;
    const std::string text = Number(v, 8);
    // Centred under its tick, but kept on the canvas (the last one stands
    // at the right edge).
    const int width = canvas.TextWidth(text);
    TextOn(canvas, f, std::max(0, std::min(pixel(v) - width / 2, f.W - width)), r.top + r.height + 5, text);
  }
  canvas.SetPen({platform::kBlack, 1, platform::PenStyle::Solid});
  const int bottom = r.top + r.height;
  for (int32_t i = 0; i <= x.Count; ++i) {
    for (int tenth = 0; tenth <= 9; ++tenth) {
      const double v = (x.Lo + i + 0.1 * tenth) * x.Step;
      if (!inside(v)) continue;
      const int px = pixel(v);
      const int length = tenth == 0 ? 20 : tenth == 5 ? 15 : 10;
      canvas.MoveTo(px, bottom);
      canvas.LineTo(px, bottom - length);
      if (length != 20 || !gridOn) continue;
      for (int j = 1; j <= r.height / 30 - 1; ++j) {
        canvas.MoveTo(px, bottom - 30 * j);
        canvas.LineTo(px, bottom - 30 * j - 20);
      }
      canvas.LineTo(px, r.top);
    }
  }
}

void DrawCurve(Canvas& canvas, const Frame& f, const AnalysisResult& result, const ResultViewState& view,
               const ResultYScale& y, bool colour) {
  const ResultPlotRect& r = f.plot;
  canvas.SetPen({colour ? kBlue : platform::kBlack, 1, platform::PenStyle::Solid});
  const double range = y.Divisions * y.Step;
  bool drawing = false;
  platform::Point last;
  for (int32_t k = 0; k < view.VisiblePoints; ++k) {
    double v = result.Y[static_cast<size_t>(view.FirstPoint + k)];
    if (view.LogAxis != 0) v = Decibels(v);
    const double py = r.height * (y.ViewTop - v) / range;
    // A value that is not a number has no place: the curve breaks there.
    if (!std::isfinite(py)) {
      if (drawing) canvas.SetPixel(last.x, last.y, canvas.GetPen().color);
      drawing = false;
      continue;
    }
    const int px = std::clamp(ResultPointX(k, view.VisiblePoints, r.width), 0, r.width);
    last = {r.left + px, r.top + TruncPixel(std::clamp(py, 0.0, static_cast<double>(r.height)))};
    if (drawing) {
      canvas.LineTo(last.x, last.y);
    } else {
      canvas.MoveTo(last.x, last.y);
      drawing = true;
    }
  }
  // Lines leave out their end point; the last point is painted on its own.
  if (drawing) canvas.SetPixel(last.x, last.y, canvas.GetPen().color);
}

}  // namespace

bool DrawResultGraph(Canvas& canvas, const AnalysisResult& result, ResultViewState& view,
                     const ResultGraphInput& input) {
  const int32_t points = result.Usable();
  PlaceResultView(view, points, input.XPosition);
  bool linearForced = false;
  if (!(view.YMin > 0.0) && view.LogAxis != 0) {
    view.LogAxis = 0;
    linearForced = true;
  }
  Frame f;
  f.W = canvas.Width();
  f.H = canvas.Height();
  f.h = canvas.TextHeight("1g");
  ResultPlotRect& r = f.plot;
  r.left = canvas.TextWidth("10.000");
  r.top = f.h + 5;
  r.width = std::max(1, f.W - r.left - 1);
  r.height = std::max(1, f.H - r.top - 2 * f.h - 10);
  view.PlotRect = r;
  f.background = input.Colour ? kGrey : platform::kWhite;
  canvas.SetBrush({f.background, platform::BrushStyle::Solid});
  canvas.FillRect({0, 0, f.W, f.H});
  canvas.SetBrush({platform::kWhite, platform::BrushStyle::Solid});
  canvas.FillRect({r.left, r.top, r.left + r.width + 1, r.top + r.height + 1});
  if (!ResultExtremesDrawable(view) || points <= 0) {
    TextOn(canvas, f, 0, 5, kResultInvalidData);
    return linearForced;
  }
  const bool logAxis = view.LogAxis != 0;
  TextOn(canvas, f, 0, 5, result.YLabel + (logAxis ? "(dB)" : ""));
  Centred(canvas, f, 2, result.Title);
  Centred(canvas, f, f.H - f.h - 2, result.XLabel);

  const ResultYScale y = ComputeResultYScale(view.YMin, view.YMax, logAxis, view.YZoomFactor, input.YPosition);
  DrawYScale(canvas, f, y, logAxis, view.YGridOn != 0);
  const double xl = result.X[static_cast<size_t>(view.FirstPoint)];
  const double xr = result.X[static_cast<size_t>(view.FirstPoint + view.VisiblePoints - 1)];
  DrawXScale(canvas, f, xl, xr, view.XGridOn != 0);
  canvas.SetPen({platform::kBlack, 1, platform::PenStyle::Solid});
  canvas.SetBrush({platform::kWhite, platform::BrushStyle::Clear});
  canvas.Rectangle({r.left, r.top, r.left + r.width + 1, r.top + r.height + 1});
  DrawCurve(canvas, f, result, view, y, input.Colour);
  return linearForced;
}

std::vector<std::string> ResultReadoutLines(const AnalysisResult& result, const ResultViewState& view, int32_t c) {
  const int32_t n = view.FirstPoint + c;
  std::vector<std::string> lines{"点:" + std::to_string(n)};
  if (n < 0 || n >= result.Usable()) return lines;
  const size_t i = static_cast<size_t>(n);
  lines.push_back("X值:" + Number(result.X[i], 7));
  if (view.LogAxis != 0) {
    lines.push_back("Y值(dB):" + Number(Decibels(result.Y[i]), 7));
  } else {
    lines.push_back("Y值:" + Number(result.Y[i], 7));
  }
  return lines;
}

int ResultReadoutLeft(int cursorX, int textWidth, const ResultPlotRect& plot) {
  if (cursorX + textWidth + 5 <= plot.left + plot.width) return cursorX + 5;
  return std::max(cursorX - 5 - textWidth, plot.left);
}

void DrawResultReadout(Canvas& canvas, const AnalysisResult& result, ResultViewState& view, bool transparent) {
  // A graph that shows only its invalid-data message has nothing to read.
  if (!ResultExtremesDrawable(view)) return;
  const ResultPlotRect& r = view.PlotRect;
  const int h = canvas.TextHeight("lg");
  const int32_t last = std::max(view.VisiblePoints - 1, 0);
  view.CursorPoint1 = std::clamp(view.CursorPoint1, 0, last);
  view.CursorPoint2 = std::clamp(view.CursorPoint2, 0, last);
  const int lowest = std::max(r.top, r.top + r.height - 3 * h);
  view.CursorLabelY1 = std::clamp(view.CursorLabelY1, r.top, lowest);
  view.CursorLabelY2 = std::clamp(view.CursorLabelY2, r.top, lowest);
  struct Cursor {
    int32_t point;
    int32_t labelY;
    Color colour;
  };
  const Cursor cursors[] = {{view.CursorPoint1, view.CursorLabelY1, kRed}, {view.CursorPoint2, view.CursorLabelY2, kGreen}};
  for (const Cursor& c : cursors) {
    const int x = ResultPointX(c.point, view.VisiblePoints, r.width) + r.left;
    const std::vector<std::string> lines = ResultReadoutLines(result, view, c.point);
    int widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, canvas.TextWidth(line));
    const int textLeft = ResultReadoutLeft(x, widest, r);
    canvas.SetBrush({platform::kWhite, transparent ? platform::BrushStyle::Clear : platform::BrushStyle::Solid});
    canvas.SetFontColor(c.colour);
    for (size_t i = 0; i < lines.size(); ++i) canvas.TextOut(textLeft, c.labelY + static_cast<int>(i) * h, lines[i]);
    canvas.SetPen({c.colour, 1, platform::PenStyle::Solid});
    canvas.MoveTo(x, r.top);
    canvas.LineTo(x, r.top + r.height);
  }
}

void MoveResultCursor(ResultViewState& view, int32_t cursor, int x, int y) {
  const ResultPlotRect& r = view.PlotRect;
  const int32_t point = ResultPointAt(x - r.left, view.VisiblePoints, r.width);
  if (cursor == 0) {
    view.CursorLabelY1 = y + 8;
    view.CursorPoint1 = point;
  } else {
    view.CursorLabelY2 = y + 8;
    view.CursorPoint2 = point;
  }
}

void PressResultCursor(ResultViewState& view, int x, int y) {
  const ResultPlotRect& r = view.PlotRect;
  x = std::max(x, r.left);
  y = std::clamp(y, r.top, r.top + r.height);
  view.CursorDragging = 1;
  const int32_t k = ResultPointAt(x - r.left, view.VisiblePoints, r.width);
  const int64_t to1 = std::abs(static_cast<int64_t>(k) - view.CursorPoint1);
  const int64_t to2 = std::abs(static_cast<int64_t>(k) - view.CursorPoint2);
  view.ActiveCursor = to2 < to1 ? 1 : 0;
  MoveResultCursor(view, view.ActiveCursor, x, y);
}

int32_t ResultVisiblePoints(int32_t points, int32_t zoom) {
  zoom = std::max(zoom, 1);
  const int64_t visible = (static_cast<int64_t>(points) + zoom - 1) / zoom;
  return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(visible, 10), points));
}

int32_t ResultXLargeChange(int32_t visiblePoints) {
  return static_cast<int32_t>(static_cast<int64_t>(visiblePoints) * 9 / 10);
}

int32_t TypedResultXZoom(const std::string& text, int32_t current, int32_t points) {
  int32_t factor = ParseDialogInteger(text).value_or(current);
  if (factor < 1) factor = 1;
  if (factor >= points / 4) factor = std::max(points / 4, 1);
  return factor;
}

int32_t ResultYPage(int32_t zoom) { return 100 / std::clamp(zoom, 1, 100); }

int32_t SnapResultYPosition(int32_t position, int32_t zoom) {
  const int32_t page = ResultYPage(zoom);
  return std::max(position, 0) / page * page;
}

int32_t ClampResultGridRowBlocks(int32_t blocks) { return std::clamp(blocks, 1, 20); }
int32_t ClampResultGridColumns(int32_t columns) { return std::clamp(columns, 5, 20); }

int32_t ClampResultGridStart(int32_t position, int32_t points, int32_t columns, int32_t blocks) {
  const int64_t highest = static_cast<int64_t>(points) - static_cast<int64_t>(columns) * blocks;
  return static_cast<int32_t>(std::max<int64_t>(std::min<int64_t>(position, highest), 0));
}

int ResultGridColCount(const ResultViewState& view) { return view.GridColumns + 2; }

int ResultGridRowCount(const ResultViewState& view, int32_t curves) { return (curves + 2) * view.GridRowBlocks; }

void FillResultValueGrid(platform::CellGrid& grid, const AnalysisResult& result, const ResultViewState& view) {
  const int32_t points = result.Usable();
  const std::string name = AnalysisKindGridName(result.Kind);
  const std::string yLabel = result.YLabel + (view.LogAxis != 0 ? "(dB)" : "");
  for (int32_t block = 0; block < view.GridRowBlocks; ++block) {
    const int b = 3 * block;
    grid.SetCell(1, b, "点");
    grid.SetCell(0, b + 1, name);
    grid.SetCell(1, b + 1, result.XLabel);
    grid.SetCell(0, b + 2, result.Title);
    grid.SetCell(1, b + 2, yLabel);
    for (int32_t j = 0; j < view.GridColumns; ++j) {
      const int64_t n = static_cast<int64_t>(view.GridStart) + j + static_cast<int64_t>(block) * view.GridColumns;
      grid.SetCell(j + 2, b, std::to_string(n));
      if (n < points) {
        const size_t i = static_cast<size_t>(n);
        const double y = view.LogAxis != 0 ? Decibels(result.Y[i]) : result.Y[i];
        grid.SetCell(j + 2, b + 1, Number(result.X[i], 8));
        grid.SetCell(j + 2, b + 2, Number(y, 8));
      } else {
        grid.SetCell(j + 2, b + 1, "");
        grid.SetCell(j + 2, b + 2, "");
      }
    }
  }
}

ResultGridShape ResultGridShapeFor(int gridWidth, int gridHeight, int colWidth, int rowHeight, int32_t curves) {
  ResultGridShape shape;
  shape.Columns = std::max(gridWidth / std::max(colWidth, 1) - 2, 3);
  shape.RowBlocks = std::max(gridHeight / std::max(rowHeight, 1) / (std::max(curves, 0) + 2), 2);
  return shape;
}

}  // namespace quelvar
