#include "analysis/FrequencyPlot.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "common/NumberFormat.h"
#include "view/Palette.h"

namespace quelvar {

namespace {

using platform::Canvas;
using platform::Color;

// The step search ends after this many rounds whatever the range.
constexpr int kMaxStepRounds = 8;
constexpr int32_t kMaxXTicks = 1000;
// Whole axis steps around a value up to this stay finite numbers.
constexpr double kLargestAxisValue = 1e300;
constexpr Color kGrey{128, 128, 128};

struct Scheme {
  bool colour = true;
  int row = kPaletteRowWhite;
  Color background = platform::kWhite;
  Color text = platform::kBlack;
  Color scale = platform::kBlack;
};

Scheme SchemeOf(const LiveConfig& config, bool white, bool colour) {
  Scheme s;
  s.colour = colour;
  s.row = white ? kPaletteRowWhite : kPaletteRowBlack;
  s.background = white ? platform::kWhite : platform::kBlack;
  const Color plain = white ? platform::kBlack : platform::kWhite;
  const auto& row = config.ColorPalette[static_cast<size_t>(s.row)];
  s.text = colour ? Color::FromStored(row[kSlotText]) : plain;
  s.scale = colour ? Color::FromStored(row[kSlotScale]) : plain;
  return s;
}

Color CurveColour(const Scheme& s, const LiveConfig& config, const SpectrumResult& r, int32_t curve) {
  if (!s.colour) return s.text;
  return Color::FromStored(ChannelColor(config, r.CurveChannel[static_cast<size_t>(curve)], s.row));
}

double Value(const SpectrumResult& r, int32_t curve, int32_t point) {
  const size_t i = static_cast<size_t>(curve) * static_cast<size_t>(r.NumPoints) + static_cast<size_t>(point);
  return i < r.Values.size() ? r.Values[i] : 0.0;
}

double Shown(double v, bool log) { return log ? 10.0 * std::log10(v) : v; }

int32_t CurvesPerGroup(const SpectrumResult& r) { return r.NumCurves / std::max(r.GroupCount, 1); }

void Text(Canvas& canvas, int x, int y, const std::string& text, Color colour) {
  canvas.SetFontColor(colour);
  canvas.TextOut(x, y, text);
}

void Line(Canvas& canvas, int x0, int y0, int x1, int y1) {
  canvas.MoveTo(x0, y0);
  canvas.LineTo(x1, y1);
}

}  // namespace

int32_t VisiblePointsFor(const FrequencyPlotView& view, int32_t numPoints) {
  const int32_t factor = std::max(view.XZoom, 1);
  int32_t points = view.XPointMode != 0 ? view.XPoints : numPoints / factor;
  points = std::max(points, 10);
  return std::min(points, std::max(numPoints, 0));
}

int32_t SetupFrequencyPlot(const SpectrumResult& r, const FrequencyPlotView& view, FrequencyPlotState& state) {
  state.Finite = true;
  state.CurveMax.fill(0.0);
  state.CurveMin.fill(0.0);
  const int32_t curves = std::clamp(r.NumCurves, 0, kMaxSpectrumCurves);
  for (int32_t k = 0; k < curves; ++k) {
    double hi = -HUGE_VAL;
    double lo = HUGE_VAL;
    for (int32_t p = 0; p < r.NumPoints; ++p) {
      const double v = Value(r, k, p);
      if (!std::isfinite(v)) state.Finite = false;
      hi = std::max(hi, v);
      lo = std::min(lo, v);
    }
    if (r.NumPoints <= 0) hi = lo = 0.0;
    // A span beyond a double's range has no axis either.
    if (!std::isfinite(hi - lo)) state.Finite = false;
    state.CurveMax[static_cast<size_t>(k)] = hi;
    state.CurveMin[static_cast<size_t>(k)] = lo;
  }
  const int32_t per = CurvesPerGroup(r);
  for (int32_t g = 0; g < 2; ++g) {
    const int32_t first = g * per;
    const int32_t last = g == 0 ? std::min(per, curves) : (r.GroupCount > 1 ? curves : first);
    double hi = 0.0;
    double lo = 0.0;
    for (int32_t k = first; k < last; ++k) {
      hi = k == first ? state.CurveMax[static_cast<size_t>(k)] : std::max(hi, state.CurveMax[static_cast<size_t>(k)]);
      lo = k == first ? state.CurveMin[static_cast<size_t>(k)] : std::min(lo, state.CurveMin[static_cast<size_t>(k)]);
    }
    state.GroupMax[static_cast<size_t>(g)] = hi;
    state.GroupMin[static_cast<size_t>(g)] = lo;
  }
  state.VisiblePoints = VisiblePointsFor(view, r.NumPoints);
  return std::max(r.NumPoints - 1, 0);
}

double NiceAxisStep(double span, int32_t divisions) {
  const double u = std::max(span / std::max(divisions, 1), 1e-15);
  const double p = std::pow(10.0, std::ceil(std::log10(u)));
  return std::ceil(5.0 * u / p) * p * 0.2;
}

YAxisScale ScaleYAxis(double ymin, double ymax, int32_t divisions, int32_t yZoom, int32_t vScroll) {
  if (ymin + 1e-15 >= ymax) ymax = ymin + 1e-15;
  // Far from zero 1e-15 vanishes in the value's rounding, and beyond about
  // 1e293 whole steps of it overflow: a flat curve there is widened by a
  // part of its value instead.
  if (!(ymax > ymin) && !std::isfinite(ymax / NiceAxisStep(0.0, divisions))) {
    ymin = std::clamp(ymin, -kLargestAxisValue, kLargestAxisValue);
    ymax = ymin + std::fabs(ymin) * 1e-12;
  }
  // Rounding the range out to whole steps can ask for a larger step, whose
  // rounding in turn asks for the smaller one again (-8 .. 31.1 over 7
  // alternates between 6 and 8): the step only ever grows, a few times.
  double step = NiceAxisStep(ymax - ymin, divisions);
  for (int round = 0; round < kMaxStepRounds; ++round) {
    const double top = std::ceil(ymax / step) * step;
    const double bottom = std::floor(ymin / step) * step;
    const double next = NiceAxisStep(top - bottom, divisions);
    if (!(next > step)) break;
    step = next;
  }
  const double top = std::ceil(ymax / step) * step;
  const double bottom = std::floor(ymin / step) * step;
  auto n = static_cast<int32_t>(std::ceil((top - bottom) / step));
  if (n < 1) n = 2;
  YAxisScale s;
  s.Divisions = n;
  s.Step = step / std::max(yZoom, 1);
  s.Upper = top - (top - bottom) * vScroll * 0.01;
  s.Lower = s.Upper - n * s.Step;
  return s;
}

XAxisTicks ScaleXAxis(double xmin, double xmax) {
  XAxisTicks t;
  const double lo = std::min(xmin, xmax);
  const double hi = std::max(xmin, xmax);
  const double s0 = (hi - lo) * 0.1;
  if (!(s0 > 0.0) || !std::isfinite(s0)) return t;
  const double p = std::pow(10.0, std::ceil(std::log10(s0)));
  t.Step = std::ceil(2.0 * s0 / p) * p * 0.5;
  t.First = std::floor(lo / t.Step) * t.Step;
  const double last = std::ceil(hi / t.Step) * t.Step;
  t.Count = static_cast<int32_t>(std::min<double>((last - t.First) / t.Step, kMaxXTicks));
  t.Any = true;
  return t;
}

int32_t PlotX(double fraction, int32_t plotWidth) {
  const double x = std::trunc(plotWidth * fraction);
  return static_cast<int32_t>(std::clamp(x, 0.0, static_cast<double>(plotWidth)));
}

bool PanelIsLogarithmic(const SpectrumResult& r, bool log, int32_t firstCurve) {
  if (!log) return false;
  return !(r.GroupCount == 2 && firstCurve >= CurvesPerGroup(r));
}

bool LogDisplayPossible(const FrequencyPlotState& state) { return state.GroupMin[0] > 0.0; }

void DrawFrequencyMessage(Canvas& canvas, const std::string& text) {
  canvas.SetBrush({platform::kBlack, platform::BrushStyle::Solid});
  canvas.FillRect({0, 0, canvas.Width(), canvas.Height()});
  canvas.SetBrushStyle(platform::BrushStyle::Clear);
  Text(canvas, 0, 0, text, platform::kWhite);
}

void DrawFrequencyPlot(Canvas& canvas, const SpectrumResult& r, FrequencyPlotView& view, FrequencyPlotState& state,
                       const LiveConfig& config, const FrequencyDrawOptions& options) {
  const int W = canvas.Width();
  const int H = canvas.Height();
  const int32_t numPoints = r.NumPoints;
  // 1. The visible window within the data.
  int32_t first = std::max(view.HScroll, 0);
  if (first + state.VisiblePoints > numPoints) first = numPoints - state.VisiblePoints;
  if (first < 0) {
    first = 0;
    state.VisiblePoints = numPoints;
  }
  state.FirstVisiblePoint = first;
  view.HScroll = first;
  // 2. Panels.
  const int32_t curves = std::clamp(r.NumCurves, 0, kMaxSpectrumCurves);
  const int32_t groups = std::clamp(r.GroupCount, 1, 2);
  const int32_t panels = std::max(view.MultiAxial ? curves : groups, 1);
  const int32_t divisions = panels > 3 ? 4 : 7;
  // 3. Margins.
  const int th = canvas.TextHeight("lg");
  state.LineHeight = std::max(th, 1);
  state.PlotLeft = canvas.TextWidth("10.00");
  state.PlotTop = th + 5;
  state.PlotWidth = std::max(W - state.PlotLeft - 1, 1);
  state.PlotHeight = std::max(H - state.PlotTop - 2 * th - 10, 1);
  const int left = state.PlotLeft;
  const int top = state.PlotTop;
  const int right = left + state.PlotWidth;
  const int bottom = top + state.PlotHeight;
  // 4. Colours.
  const Scheme s = SchemeOf(config, options.WhiteBackground, options.Colour);
  canvas.SetPen({s.scale, 1, platform::PenStyle::Solid});
  canvas.SetBrush({options.Colour ? kGrey : s.background, platform::BrushStyle::Solid});
  canvas.FillRect({0, 0, W, H});
  canvas.SetBrush({s.background, platform::BrushStyle::Solid});
  canvas.FillRect({left, top, right + 1, bottom + 1});
  canvas.SetBrushStyle(platform::BrushStyle::Clear);
  // 5. No dB display of a value not above 0.
  if (!LogDisplayPossible(state)) view.Log = false;
  // 6. Title, X label, frame.
  Text(canvas, std::max(0, left + (state.PlotWidth - canvas.TextWidth(r.Title)) / 2), 2, r.Title, s.text);
  Text(canvas, std::max(0, left + (state.PlotWidth - canvas.TextWidth(r.XLabel)) / 2), H - th - 2, r.XLabel, s.text);
  canvas.Rectangle({left, top, right + 1, bottom + 1});
  if (!state.Finite || numPoints < 2 || curves == 0) {
    if (!state.Finite) Text(canvas, left + 5, top + 5, kPlotInvalidData, s.text);
    return;
  }
  const int32_t visible = std::max(state.VisiblePoints, 2);
  // 7. X axis.
  const double xmin = r.XOrigin + r.DeltaX * first;
  const double xmax = r.XOrigin + r.DeltaX * (first + visible - 1);
  const XAxisTicks xt = ScaleXAxis(xmin, xmax);
  const double xlo = std::min(xmin, xmax);
  const double xhi = std::max(xmin, xmax);
  for (int32_t i = 0; xt.Any && i <= xt.Count; ++i) {
    for (int32_t j = 0; j < 10; ++j) {
      const double v = xt.First + (i + j / 10.0) * xt.Step;
      if (v < xlo || v > xhi) continue;
      const int x = left + PlotX((v - xmin) / (xmax - xmin), state.PlotWidth);
      const int length = j == 0 ? 20 : (j == 5 ? 15 : 10);
      Line(canvas, x, bottom, x, bottom - length);
      if (j == 0) {
        const std::string label = FormatGeneral(v, 8, 4);
        // Centred under its tick, but kept on the canvas (the last one).
        const int width = canvas.TextWidth(label);
        Text(canvas, std::max(std::min(x - width / 2, W - width), 0), bottom + 5, label, s.text);
        if (view.XGrid) {
          for (int y0 = 30; y0 < state.PlotHeight; y0 += 30) {
            const int y1 = y0 + 30 >= state.PlotHeight ? state.PlotHeight : std::min(y0 + 20, state.PlotHeight);
            Line(canvas, x, bottom - y0, x, bottom - y1);
          }
        }
      }
    }
  }
  // 8.-12. The panels.
  const int32_t per = std::max(CurvesPerGroup(r), 1);
  const int h = std::max(state.PlotHeight / panels, 1);
  for (int32_t k = 0; k < panels; ++k) {
    const int panelTop = top + k * h;
    const int32_t firstCurve = view.MultiAxial ? k : k * per;
    const int32_t lastCurve = view.MultiAxial ? k + 1 : std::min(curves, (k + 1) * per);
    if (firstCurve >= lastCurve) continue;
    canvas.SetPenColor(s.scale);
    Line(canvas, left, panelTop, right, panelTop);
    const bool log = PanelIsLogarithmic(r, view.Log, firstCurve);
    const bool oneCurve = lastCurve - firstCurve == 1;
    std::string label = oneCurve ? r.CurveNames[static_cast<size_t>(firstCurve)] : (k == 0 ? r.YLabel : r.Y2Label);
    if (log) label += "(dB)";
    const Color labelColour = CurveColour(s, config, r, firstCurve);
    Text(canvas, left + 23, panelTop + h / 2 - th / 2, label, labelColour);
    // 9. Y range.
    double ymax = 0.0;
    double ymin = 0.0;
    if (oneCurve) {
      ymax = state.CurveMax[static_cast<size_t>(firstCurve)];
      ymin = state.CurveMin[static_cast<size_t>(firstCurve)];
    } else {
      const size_t g = static_cast<size_t>(std::min(k, 1));
      ymax = state.GroupMax[g];
      ymin = state.GroupMin[g];
    }
    ymax = Shown(ymax, log);
    ymin = Shown(ymin, log);
    const YAxisScale ys = ScaleYAxis(ymin, ymax, divisions, view.YZoom, view.VScroll);
    const int32_t n = ys.Divisions;
    // 10. Y labels.
    for (int32_t i = 1; i <= n; ++i) {
      double v = ys.Lower + i * ys.Step;
      if (std::fabs(v) < 1e-13) v = 0.0;
      const std::string text = FormatGeneral(v, 6, 2);
      Text(canvas, 0, panelTop + static_cast<int>(h - static_cast<int64_t>(h) * i / n) - th / 2, text, labelColour);
    }
    // 11. Y ticks.
    canvas.SetPenColor(s.scale);
    for (int32_t i = 0; i < n; ++i) {
      for (int32_t j = 0; j < 10; ++j) {
        const double fraction = log ? std::log10(j + 1.0) : j / 10.0;
        const int y = panelTop + h - static_cast<int>(std::trunc((i + fraction) * h / n));
        const bool major = j == 0 && i >= 1;
        const int length = major ? 20 : (j == 5 ? 15 : 10);
        Line(canvas, left, y, left + length, y);
        if (major && view.YGrid) {
          for (int x0 = 30; x0 < state.PlotWidth; x0 += 30) {
            const int x1 = x0 + 30 >= state.PlotWidth ? state.PlotWidth : std::min(x0 + 20, state.PlotWidth);
            Line(canvas, left + x0, y, left + x1, y);
          }
        }
      }
    }
    // 12. Curves.
    const double range = n * ys.Step;
    for (int32_t c = firstCurve; c < lastCurve; ++c) {
      canvas.SetPenColor(CurveColour(s, config, r, c));
      for (int32_t p = first; p < first + visible && p < numPoints; ++p) {
        const double v = Shown(Value(r, c, p), log);
        const int x = left + PlotX(static_cast<double>(p - first) / (visible - 1), state.PlotWidth);
        double y = std::trunc(h * (ys.Upper - v) / range);
        if (!std::isfinite(y)) y = v > ys.Upper ? 0.0 : h;
        y = std::clamp(y, 0.0, static_cast<double>(h));
        const int py = panelTop + static_cast<int>(y);
        if (p == first) {
          canvas.MoveTo(x, py);
        } else {
          canvas.LineTo(x, py);
        }
      }
    }
  }
}

std::vector<std::string> ReadoutLines(const SpectrumResult& r, const FrequencyPlotView& view,
                                      const FrequencyPlotState& state, int32_t mark) {
  const int32_t index = mark + state.FirstVisiblePoint;
  std::vector<std::string> lines;
  lines.push_back("点:" + std::to_string(index));
  lines.push_back(r.XLabel + ":" + FormatGeneral(r.XOrigin + index * r.DeltaX, 7, 4));
  const int32_t curves = std::clamp(r.NumCurves, 0, kMaxSpectrumCurves);
  for (int32_t k = 0; k < curves; ++k) {
    const double v = Value(r, k, index);
    const std::string& name = r.CurveNames[static_cast<size_t>(k)];
    if (PanelIsLogarithmic(r, view.Log, k)) {
      lines.push_back(name + "(dB):" + FormatGeneral(10.0 * std::log10(v), 7, 4));
    } else {
      lines.push_back(name + ":" + FormatGeneral(v, 7, 4));
    }
  }
  return lines;
}

void DrawFrequencyReadout(Canvas& canvas, const SpectrumResult& r, const FrequencyPlotView& view,
                          FrequencyPlotState& state, const LiveConfig& config, bool whiteBackground) {
  const int32_t last = std::max(state.VisiblePoints - 1, 0);
  state.Mark1 = std::clamp(state.Mark1, 0, last);
  state.Mark2 = std::clamp(state.Mark2, 0, last);
  const int th = state.LineHeight;
  const int row = whiteBackground ? kPaletteRowWhite : kPaletteRowBlack;
  const auto& palette = config.ColorPalette[static_cast<size_t>(row)];
  const int right = state.PlotLeft + state.PlotWidth;
  const int bottom = state.PlotTop + state.PlotHeight;
  for (int which = 0; which < 2; ++which) {
    const int32_t mark = which == 0 ? state.Mark1 : state.Mark2;
    const Color colour = Color::FromStored(palette[which == 0 ? kSlotYellowMark : kSlotRedMark]);
    const int x = state.PlotLeft + PlotX(last > 0 ? static_cast<double>(mark) / last : 0.0, state.PlotWidth);
    canvas.SetPen({colour, 1, platform::PenStyle::Solid});
    Line(canvas, x, state.PlotTop, x, bottom);
    const std::vector<std::string> lines = ReadoutLines(r, view, state, mark);
    int widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, canvas.TextWidth(line));
    const int height = th * static_cast<int>(lines.size());
    int blockTop = which == 0 ? state.Readout1Top : state.Readout2Top;
    blockTop = std::max(std::min(blockTop, bottom - height), state.PlotTop);
    int blockLeft = x + 5;
    if (blockLeft + widest > right) blockLeft = x - 5 - widest;
    blockLeft = std::max(blockLeft, state.PlotLeft);
    if (view.TransparentInst) {
      canvas.SetBrushStyle(platform::BrushStyle::Clear);
    } else {
      canvas.SetBrush({whiteBackground ? platform::kWhite : platform::kBlack, platform::BrushStyle::Solid});
    }
    for (size_t i = 0; i < lines.size(); ++i) {
      Text(canvas, blockLeft, blockTop + th * static_cast<int>(i), lines[i], colour);
    }
  }
  canvas.SetBrushStyle(platform::BrushStyle::Clear);
}

int32_t MarkIndexAt(const FrequencyPlotState& state, int32_t x) {
  const int32_t last = std::max(state.VisiblePoints - 1, 0);
  const int64_t dx = std::max(x, state.PlotLeft) - state.PlotLeft;
  const int64_t i = static_cast<int64_t>(last) * dx / std::max(state.PlotWidth, 1);
  return static_cast<int32_t>(std::clamp<int64_t>(i, 0, last));
}

void PressMark(FrequencyPlotState& state, int32_t x, int32_t y) {
  const int32_t i = MarkIndexAt(state, x);
  const int32_t which = std::abs(i - state.Mark2) < std::abs(i - state.Mark1) ? 1 : 0;
  state.Dragging = 1;
  state.DraggedMark = which;
  MoveMark(state, which, x, y);
}

void MoveMark(FrequencyPlotState& state, int32_t which, int32_t x, int32_t y) {
  const int32_t i = MarkIndexAt(state, x);
  const int32_t yy = std::clamp(y, state.PlotTop, state.PlotTop + state.PlotHeight);
  if (which == 0) {
    state.Mark1 = i;
    state.Readout1Top = yy + 8;
  } else {
    state.Mark2 = i;
    state.Readout2Top = yy + 8;
  }
}

}  // namespace quelvar
