#include "view/OscilloscopeTraces.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/ConfigBounds.h"
#include "common/NumberFormat.h"
#include "view/ChannelSamples.h"
#include "view/EngineeringUnits.h"
#include "view/LeftClipper.h"
#include "view/WaveTraces.h"
#include "view/YScaling.h"

namespace quelvar {

namespace {

// Pixel rows and columns are kept this far from the int limits: far outside
// any canvas, so a switch trace at a huge gain still leaves in the right
// direction without overflowing.
constexpr double kCoordLimit = 1 << 24;

// One division of the offset bar is 0.002 V: 5000 steps span 10 V.
constexpr int64_t kOffsetStepsPerTenVolts = 5000;

int ToPixel(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<int>(std::clamp(value, -kCoordLimit, kCoordLimit));  // truncates toward zero
}

int32_t AnalogNum(const OscilloscopeSource& source) {
  return std::clamp(source.Config->Analog_Num, 0, kMaxAnalogChannels);
}

bool IsAnalog(const OscilloscopeSource& source, int32_t channel) {
  return channel >= 0 && channel < AnalogNum(source);
}

const AnalogChannel& ChannelRecord(const OscilloscopeSource& source, int32_t channel) {
  return source.Config->AnalogChannelTable[static_cast<size_t>(channel)];
}

double PreAmpOf(const OscilloscopeSource& source, int32_t channel) {
  return IsAnalog(source, channel) ? EffectivePreAmp(ChannelRecord(source, channel).ChnPreAmp) : 1.0;
}

int32_t MaxMulti(const OscilloscopeSource& source) { return std::clamp(source.Layout->MaxMultiFreq, 1, kMaxMultiFreq); }

// The display points 0 .. DispPoints - 1 that exist.
int64_t PointsHeld(const OscilloscopeSource& source) {
  const DisplayDescriptor& d = *source.Display;
  return std::clamp<int64_t>(d.DispPoints, 0, static_cast<int64_t>(std::max(d.DispRows, 0)) * MaxMulti(source));
}

// The offset in pixels: H x offset / (5000 / gain), both integer divisions.
// A gain above 5000 (or below 1) would leave no divisor: it counts as 1.
int64_t OffsetPixels(int H, int32_t yOffset, int32_t gain) {
  const int64_t perPlot = std::max<int64_t>(kOffsetStepsPerTenVolts / std::max(gain, 1), 1);
  return static_cast<int64_t>(H) * yOffset / perPlot;
}

int ClampToPlot(const OscilloscopePlot& plot, int y) {
  if (y >= plot.H) y = plot.H - 1;
  if (y < 1) y = 1;
  return y;
}

// x of the plot's point j of a screen of `width` points: L + N x j / (width - 1).
int ScreenX(const OscilloscopePlot& plot, int64_t j, int64_t width) {
  return ToPixel(static_cast<double>(plot.Left + static_cast<int64_t>(plot.N) * j / std::max<int64_t>(width - 1, 1)));
}

// Everything a trace's points need.
struct TraceDraw {
  OscilTrace trace;
  double zero = 0.0;
  double preAmp = 1.0;
  float vZero = 0.0f;
  float adMax = 0.0f;
};

int AnalogY(const OscilloscopePlot& plot, const TraceDraw& t, uint16_t code) {
  return OscilTraceY(plot, code, t.zero, t.trace.Gain, t.trace.YOffset, t.preAmp, t.trace.Inverted, t.vZero,
                     t.adMax);
}

// A switch level: one division (times the gain) above or below the centre,
// not kept within the plot.
int SwitchY(const OscilloscopePlot& plot, const TraceDraw& t, bool high) {
  const double s = high ? 1.0 : -1.0;
  const double c = plot.H / 2;
  const double off = static_cast<double>(OffsetPixels(plot.H, t.trace.YOffset, t.trace.Gain));
  return ToPixel(plot.Top + c + off - s * (plot.H / 5) * static_cast<double>(t.trace.Gain));
}

// Single-rate screen points j0 .. j1 - 1 (window index), each drawn at
// xOf(j) and yOf(word), joined from the first.
template <typename XOf, typename YOf>
void DrawRows(platform::Canvas& canvas, const ChannelSamples& samples, const OscilloscopePlot& plot, int64_t first,
              int64_t j0, int64_t j1, XOf&& xOf, YOf&& yOf) {
  if (j1 <= j0) return;
  TracePolyline line(canvas, j1 - j0, plot.N);
  for (int64_t j = j0; j < j1; ++j) {
    uint16_t word = 0;
    if (samples.Read(first + j, word)) line.Add(xOf(j), plot.Top + yOf(word));
  }
}

// The screen points of the window that the data hold: first + j within 0 .. points - 1.
struct WindowRange {
  int64_t j0 = 0;
  int64_t j1 = 0;
};
WindowRange HeldWindow(int64_t first, int64_t width, int64_t points, int64_t from, int64_t to) {
  WindowRange r;
  r.j0 = std::max({from, -first, int64_t{0}});
  r.j1 = std::min({to, points - first, width});
  return r;
}

void DrawGround(platform::Canvas& canvas, const OscilloscopePlot& plot, const TraceDraw& t) {
  const double c = plot.H / 2;
  const double off = static_cast<double>(OffsetPixels(plot.H, t.trace.YOffset, t.trace.Gain));
  const int y = ClampToPlot(plot, TruncToInt32(off + c));
  canvas.MoveTo(plot.Left, plot.Top + y);
  canvas.LineTo(plot.Left + plot.N, plot.Top + y);
}

// Multi-rate channel points q0 .. q1 at x(q), joined, a segment that enters
// the plot from the left started at the left edge.
template <typename XOf, typename YOf>
void DrawSubSamples(platform::Canvas& canvas, const ChannelSamples& samples, const OscilloscopePlot& plot, int64_t q0,
                    int64_t q1, XOf&& xOf, YOf&& yOf) {
  q0 = std::max<int64_t>(q0, 0);
  q1 = std::min(q1, samples.Count() - 1);
  if (q1 < q0) return;
  TracePolyline line(canvas, q1 - q0 + 1, plot.N);
  LeftClipper clipper(line, plot.Left);
  for (int64_t q = q0; q <= q1; ++q) {
    uint16_t word = 0;
    if (samples.Read(q, word)) clipper.Add(xOf(q), plot.Top + yOf(word));
  }
}

int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

OscilTrace OscilTraceOf(const OscilToolSettings& s, int trace) {
  OscilTrace t;
  const bool first = trace == 1;
  t.Channel = first ? s.ChnAd1 : s.ChnAD2;
  t.On = (first ? s.UseChn1 : s.UseChn2) != 0;
  t.Coupling = static_cast<TraceCoupling>(first ? s.ACDC1 : s.ACDC2);
  t.YOffset = first ? s.YOffset1 : s.YOffset2;
  t.Gain = first ? s.YZoom1 : s.YZoom2;
  t.Inverted = (first ? s.Neg1 : s.Neg2) != 0;
  return t;
}

TraceStatistics WindowStatistics(const OscilloscopeSource& source, const WaveViewState& view, int32_t channel) {
  TraceStatistics stats;
  if (!IsAnalog(source, channel)) return stats;
  const int64_t maxMulti = MaxMulti(source);
  const int32_t rate = OscilloscopeRateOf(*source.Layout, channel, AnalogNum(source));
  const ChannelSamples samples =
      ChannelSamplesOf(*source.Display, *source.Layout, source.Config->NumSamp, channel, rate);
  // The screen's rows: DisplayWidth / MaxMultiFreq of them, at least one,
  // and only those the data hold.
  const int64_t rows = samples.Count() / rate;
  const int64_t firstRow = std::max<int64_t>(view.XPosition / maxMulti, 0);
  const int64_t lastRow = std::min(firstRow + std::max<int64_t>(view.DisplayWidth / maxMulti, 1), rows);
  uint64_t sum = 0;
  uint16_t low = std::numeric_limits<uint16_t>::max(), high = 0;
  for (int64_t q = firstRow * rate; q < lastRow * rate; ++q) {
    uint16_t word = 0;
    if (!samples.Read(q, word)) continue;
    sum += word;
    low = std::min(low, word);
    high = std::max(high, word);
    ++stats.Count;
  }
  if (stats.Count == 0) return stats;
  stats.Mean = static_cast<double>(sum) / static_cast<double>(stats.Count);
  stats.Min = low;
  stats.Max = high;
  return stats;
}

AutoRangeGain AutoRangeOf(uint16_t min, uint16_t max, float adMax) {
  const double a = max > min ? static_cast<double>(adMax) / (max - min) : 1.0;
  AutoRangeGain result;
  for (size_t i = 0; i < kYZoomPresets.size(); ++i) {
    if (a >= kYZoomPresets[i]) {
      result.Gain = kYZoomPresets[i];
      result.ZoomStep = static_cast<int32_t>(i) + 1;
    }
  }
  return result;
}

std::array<double, 2> PrepareTraceLevels(const OscilloscopeSource& source, const WaveViewState& view,
                                         OscilToolSettings& settings, std::array<bool, 2>& autoRanged) {
  std::array<double, 2> zero{};
  autoRanged = {false, false};
  const LiveConfig& config = *source.Config;
  const double vZero = config.VZero;
  const double span = static_cast<double>(config.ADMax) - config.VZero;
  for (int k = 1; k <= 2; ++k) {
    const OscilTrace t = OscilTraceOf(settings, k);
    double& z = zero[static_cast<size_t>(k - 1)];
    z = vZero;
    const bool analog = IsAnalog(source, t.Channel);
    if (analog && t.Coupling == TraceCoupling::DC) {
      const int32_t type = ChannelRecord(source, t.Channel).ChnIDDC;
      if (type == kChannelCounter || type == kChannelRawCode) {
        const double p = PreAmpOf(source, t.Channel);
        // A card without a span has no volts for the first term.
        z = (span != 0.0 ? (vZero / p - vZero) / span * 5.0 : 0.0) + vZero / p;
      }
    }
    if (!t.On || !analog || (t.Coupling != TraceCoupling::AC && t.Coupling != TraceCoupling::AutoRange)) continue;
    const TraceStatistics stats = WindowStatistics(source, view, t.Channel);
    // No sample on screen: the trace keeps its centre at VZero and its gain.
    if (stats.Count == 0) continue;
    if (t.Coupling == TraceCoupling::AC) {
      z = stats.Mean;
      continue;
    }
    z = (stats.Min + stats.Max) / 2;
    const AutoRangeGain range = AutoRangeOf(stats.Min, stats.Max, config.ADMax);
    (k == 1 ? settings.YZoom1 : settings.YZoom2) = range.Gain;
    (k == 1 ? settings.ZoomStep1 : settings.ZoomStep2) = range.ZoomStep;
    (k == 1 ? settings.YOffset1 : settings.YOffset2) = 0;
    autoRanged[static_cast<size_t>(k - 1)] = true;
  }
  return zero;
}

int OscilTraceY(const OscilloscopePlot& plot, double code, double zero, int32_t gain, int32_t yOffset, double preAmp,
                bool inverted, float vZero, float adMax) {
  const double c = plot.H / 2;
  const double off = static_cast<double>(OffsetPixels(plot.H, yOffset, gain));
  const double span = static_cast<double>(adMax) - vZero;
  const double delta = inverted ? zero - code : code - zero;
  // A card whose full scale equals its zero has no scale: every code on the centre.
  const double swing = span != 0.0 ? static_cast<double>(plot.H / 2) * gain * delta / span * preAmp : 0.0;
  return ClampToPlot(plot, TruncToInt32(off + c - swing));
}

void DrawOscilloscopeTrace(platform::Canvas& canvas, const OscilloscopePlot& plot, const OscilloscopeSource& source,
                           const WaveViewState& view, const OscilToolSettings& settings, int trace, double zero) {
  if (source.Config == nullptr || source.Layout == nullptr || source.Display == nullptr) return;
  const LiveConfig& config = *source.Config;
  TraceDraw t;
  t.trace = OscilTraceOf(settings, trace);
  t.zero = zero;
  t.preAmp = PreAmpOf(source, t.trace.Channel);
  t.vZero = config.VZero;
  t.adMax = config.ADMax;
  if (t.trace.Coupling == TraceCoupling::Ground) {
    DrawGround(canvas, plot, t);
    return;
  }
  const bool analog = IsAnalog(source, t.trace.Channel);
  int32_t word = t.trace.Channel;
  int32_t bit = 0;
  if (!analog) {
    const int64_t input = static_cast<int64_t>(t.trace.Channel) - AnalogNum(source);
    if (input < 0 || input >= kMaxSwitchInputs) return;
    word = AnalogNum(source) + static_cast<int32_t>(input / 16);
    bit = static_cast<int32_t>(input % 16);
  }
  const int32_t rate = OscilloscopeRateOf(*source.Layout, t.trace.Channel, AnalogNum(source));
  const ChannelSamples samples = ChannelSamplesOf(*source.Display, *source.Layout, config.NumSamp, word, rate);
  const auto yOf = [&](uint16_t w) {
    return analog ? AnalogY(plot, t, w) : SwitchY(plot, t, ((w >> bit) & 1u) != 0) - plot.Top;
  };
  const int64_t first = view.XPosition;
  const int64_t width = std::max(view.DisplayWidth, 1);
  const int64_t maxMulti = MaxMulti(source);

  if (maxMulti == 1) {
    const WindowRange held = HeldWindow(first, width, PointsHeld(source), 0, width);
    DrawRows(canvas, samples, plot, first, held.j0, held.j1, [&](int64_t j) { return ScreenX(plot, j, width); }, yOf);
  } else {
    const double divisor = static_cast<double>(std::max<int64_t>(width - 1, 1));
    const auto xOf = [&](int64_t q) {
      return ToPixel(plot.Left + plot.N * (static_cast<double>(q) * maxMulti / rate - first) / divisor);
    };
    const int64_t q0 = FloorDiv(first * rate, maxMulti);
    const int64_t q1 = -FloorDiv(-(first + width - 1) * rate, maxMulti);
    DrawSubSamples(canvas, samples, plot, q0, q1, xOf, yOf);
  }

  // The stretch between the time markers over the whole plot width.
  if (!analog || settings.LocalZoom == 0 || settings.MeasTime == 0) return;
  const int64_t m1 = std::clamp<int64_t>(view.Mark1X, 1, width);
  const int64_t m2 = std::clamp<int64_t>(view.Mark2X, 1, width);
  const int64_t a = std::min(m1, m2), b = std::max(m1, m2);
  if (a == b) return;
  if (maxMulti == 1) {
    const WindowRange held = HeldWindow(first, width, PointsHeld(source), a - 1, b);
    DrawRows(canvas, samples, plot, first, held.j0, held.j1,
             [&](int64_t j) { return ToPixel(static_cast<double>(plot.Left + (j - a + 1) * plot.N / (b - a))); },
             yOf);
  } else {
    // The markers' channel points; the point under marker a at the left
    // edge, the one under marker b at the right.
    const int64_t qa = FloorDiv((first + a - 1) * rate, maxMulti);
    const int64_t qb = FloorDiv((first + b - 1) * rate, maxMulti);
    if (qa == qb) return;
    DrawSubSamples(canvas, samples, plot, qa, qb,
                   [&](int64_t q) { return ToPixel(static_cast<double>(plot.Left + plot.N * (q - qa) / (qb - qa))); },
                   yOf);
  }
}

bool CombinedTracesApply(const OscilloscopeSource& source, const OscilToolSettings& s) {
  if (source.Config == nullptr || source.Layout == nullptr || source.Display == nullptr) return false;
  return s.UseChn1 != 0 && s.UseChn2 != 0 && source.Config->Analog_Num != 1 && IsAnalog(source, s.ChnAd1) &&
         IsAnalog(source, s.ChnAD2) && MaxMulti(source) == 1;
}

void DrawCombinedTrace(platform::Canvas& canvas, const OscilloscopePlot& plot, const OscilloscopeSource& source,
                       const WaveViewState& view, const OscilToolSettings& settings, bool difference) {
  if (!CombinedTracesApply(source, settings)) return;
  const LiveConfig& config = *source.Config;
  // Each trace's signed gain: 0 on ground, negative when inverted.
  const auto signedGain = [&](int k) {
    const OscilTrace t = OscilTraceOf(settings, k);
    if (t.Coupling == TraceCoupling::Ground) return 0.0;
    return static_cast<double>(t.Inverted ? -t.Gain : t.Gain) * PreAmpOf(source, t.Channel);
  };
  const double g1 = signedGain(1);
  const double g2 = difference ? -signedGain(2) : signedGain(2);
  const ChannelSamples x1 = ChannelSamplesOf(*source.Display, *source.Layout, config.NumSamp, settings.ChnAd1, 1);
  const ChannelSamples x2 = ChannelSamplesOf(*source.Display, *source.Layout, config.NumSamp, settings.ChnAD2, 1);
  const double vZero = config.VZero;
  const double span = static_cast<double>(config.ADMax) - config.VZero;
  const double c = plot.H / 2;
  const int64_t first = view.XPosition;
  const int64_t width = std::max(view.DisplayWidth, 1);
  const WindowRange held = HeldWindow(first, width, PointsHeld(source), 0, width);
  if (held.j1 <= held.j0) return;
  TracePolyline line(canvas, held.j1 - held.j0, plot.N);
  for (int64_t j = held.j0; j < held.j1; ++j) {
    uint16_t w1 = 0, w2 = 0;
    if (!x1.Read(first + j, w1) || !x2.Read(first + j, w2)) continue;
    const double v = span != 0.0 ? (w1 - vZero) / span * g1 + (w2 - vZero) / span * g2 : 0.0;
    const int y = ClampToPlot(plot, TruncToInt32(c - v * c));
    // The points spread over DisplayWidth, not DisplayWidth - 1.
    line.Add(ToPixel(static_cast<double>(plot.Left + static_cast<int64_t>(plot.N) * j / width)), plot.Top + y);
  }
}

}  // namespace quelvar
