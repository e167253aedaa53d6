#include "view/OscilloscopeRenderer.h"

#include <algorithm>
#include <string>

#include "common/ConfigBounds.h"
#include "common/NumberFormat.h"
#include "view/EngineeringUnits.h"
#include "view/GridStroke.h"
#include "view/OscilloscopeAxis.h"
#include "view/OscilloscopeTraces.h"
#include "view/Palette.h"
#include "view/PhaseLock.h"
#include "view/XAxis.h"

namespace quelvar {

namespace {

using platform::Canvas;
using platform::Color;

constexpr int kPlotLeft = 4;
constexpr int kPlotTop = 2;
// Significant digits of the division labels' fixed-point values.
constexpr int kLabelDigits = 15;
// Trace colours: trace k takes curve colour k - 1, the sum 5, the difference 6.
constexpr int32_t kSumColorKey = 5;
constexpr int32_t kDifferenceColorKey = 6;

struct Frame {
  OscilloscopePlot plot;
  int th = 0;
  GridStyle grid;
  bool colour = true;
  int row = kPaletteRowBlack;
};

Color SlotColor(const Frame& f, const LiveConfig& config, int slot) {
  if (!f.colour) return platform::kBlack;
  return Color::FromStored(config.ColorPalette[static_cast<size_t>(f.row)][static_cast<size_t>(slot)]);
}

// Step 1: the traces' channels in ascending order, each counted as analog
// or switch.
void RecordDrawnChannels(const OscilToolSettings& s, int32_t analogNum, WaveViewState& view) {
  view.DrawnAnalogCount = 0;
  view.DrawnSwitchCount = 0;
  int32_t drawn = 0;
  for (const auto& [on, channel] : {std::pair{s.UseChn1, s.ChnAd1}, std::pair{s.UseChn2, s.ChnAD2}}) {
    if (on == 0) continue;
    view.DrawnChannels[static_cast<size_t>(drawn++)] = channel;
    ++(channel < analogNum ? view.DrawnAnalogCount : view.DrawnSwitchCount);
  }
  if (drawn == 2 && view.DrawnChannels[1] < view.DrawnChannels[0]) std::swap(view.DrawnChannels[0], view.DrawnChannels[1]);
}

// The division lines' offsets from the centre: 0, one and two divisions
// above, one and two below.
struct Divisions {
  double c = 0.0;
  double d1 = 0.0;
  double d2 = 0.0;
};

Divisions DivisionsOf(int H) { return {static_cast<double>(H / 2), static_cast<double>(H / 5), 0.4 * H}; }

void DivisionLabels(Canvas& canvas, const Frame& f, const WaveformPaintInput& in, const OscilToolSettings& s) {
  const LiveConfig& config = *in.Config;
  const Divisions d = DivisionsOf(f.plot.H);
  const auto at = [&](double offset, const std::string& text) {
    canvas.TextOut(0, TruncToInt32(f.plot.Top + d.c + offset - f.th / 2), text);
  };
  const int32_t analogNum = std::clamp(config.Analog_Num, 0, kMaxAnalogChannels);
  if (config.Analog_Num != 1 && s.UseChn1 != 0 && s.UseChn2 != 0) {
    at(0, " 0 U");
    at(-d.d1, "+2 U");
    at(-d.d2, "+4 U");
    at(d.d1, "-2 U");
    at(d.d2, "-4 U");
    return;
  }
  const int trace = config.Analog_Num == 1 || s.UseChn1 != 0 ? 1 : 2;
  const OscilTrace t = OscilTraceOf(s, trace);
  if (t.Channel < 0 || t.Channel >= analogNum) {
    at(-d.d1, "1");
    at(d.d1, "0");
    return;
  }
  static const TorqueTables kIdentityTorque;
  const TorqueTables& torque = in.Torque != nullptr ? *in.Torque : kIdentityTorque;
  const AnalogChannel& channel = config.AnalogChannelTable[static_cast<size_t>(t.Channel)];
  const double y0 = t.YOffset * 0.002;
  const double division = 2.0 / std::max(t.Gain, 1);
  const auto value = [&](int k) {
    return FormatFixed(VoltsToEngineering(config, torque, channel, y0 + k * division), kLabelDigits, 3) +
           channel.ChnUnits;
  };
  at(0, value(0));
  at(-d.d1, value(1));
  at(-d.d2, value(2));
  at(d.d1, value(-1));
  at(d.d2, value(-2));
}

void DivisionLines(Canvas& canvas, const Frame& f) {
  const Divisions d = DivisionsOf(f.plot.H);
  const OscilloscopePlot& p = f.plot;
  const auto line = [&](double offset, int length) {
    HorizontalGridStroke(canvas, f.grid, p.Left, p.N, TruncToInt32(p.Top + d.c + offset), length);
  };
  line(0, f.th * 3 / 2);
  for (const double offset : {d.d1, d.d2, -d.d1, -d.d2}) line(offset, f.th);
}

}  // namespace

OscilloscopePaintResult PaintOscilloscope(Canvas& canvas, const WaveformPaintInput& in, OscilToolSettings& settings,
                                          WaveViewState& view, OscilloscopeRun run) {
  OscilloscopePaintResult result;
  result.XPosition = view.XPosition;
  if (in.Config == nullptr || in.Layout == nullptr || in.Display == nullptr) return result;
  const LiveConfig& config = *in.Config;
  const DisplayDescriptor& display = *in.Display;
  const ViewOptions& o = view.Options;
  const int32_t analogNum = std::clamp(config.Analog_Num, 0, kMaxAnalogChannels);

  // 1. Pen width and renderer outputs.
  const int savedPenWidth = canvas.GetPen().width;
  RecordDrawnChannels(settings, config.Analog_Num, view);

  // 2. Phase lock, on the screen of a running, unpaused oscilloscope only.
  if (settings.FixMode != 0 && view.DisplayWidth < display.DispPoints && run.Running && !run.Paused &&
      in.ToPicture == 0) {
    const int32_t channel = settings.UseChn2 != 0 && settings.FixChn == 2 ? settings.ChnAD2 : settings.ChnAd1;
    const PhaseLockData data{&display, in.Layout, config.NumSamp, analogNum};
    FindPhaseLockPoint(data, channel, static_cast<PhaseLockMode>(settings.FixMode), settings.FixVolt, view);
  }

  // 3. Grid style; the view kept within the data.
  Frame f;
  f.grid = {!o.NoGridLines, o.GridDotted};
  if (int64_t{view.XPosition} + view.DisplayWidth > display.DispPoints) {
    view.XPosition = SaturateToInt32(int64_t{display.DispPoints} - view.DisplayWidth);
  }
  result.XPosition = view.XPosition;

  // 4. Geometry.
  OscilloscopePlot& p = f.plot;
  p.Left = kPlotLeft;
  p.Top = kPlotTop;
  p.N = canvas.Width() - 5;
  p.H = canvas.Height() - 3;
  f.th = in.TextHeight;
  if (o.ScaleOut) {
    p.N = p.N + 4 - in.LabelWidth;
    p.Left = in.LabelWidth;
    p.Top = f.th;
    p.H = p.H + 2 - f.th;
  }
  if (in.FixedScale == 1) {
    p.N = FixedScaleWidth(view.DisplayWidth, in.PerPointCMPixels, in.PerSampTimePoints, in.Layout->MaxMultiFreq);
  }
  f.colour = in.Colour == 1;
  f.row = PaletteRow(in.WhiteBG);

  // 5. Background.
  const bool whiteBackground = !f.colour || f.row == kPaletteRowWhite;
  canvas.SetBrush({whiteBackground ? platform::kWhite : platform::kBlack, platform::BrushStyle::Solid});
  canvas.FillRect({0, 0, p.Left + p.N + 1, p.Top + p.H + 1});

  // 6.-8. Overlap marks, colours, X axis.
  XAxisInput axis;
  axis.Left = p.Left;
  axis.Top = p.Top;
  axis.N = p.N;
  axis.M = p.H;
  axis.TextH = f.th;
  axis.GridLines = f.grid.Lines;
  axis.GridDotted = f.grid.Dotted;
  axis.Colour = in.Colour;
  axis.WhiteBG = f.row;
  axis.Palette = &config.ColorPalette;
  axis.ScaleCount = in.ScaleCount;
  axis.OverlapPoints = in.OverlapPoints;
  axis.Display = &display;
  axis.Layout = in.Layout;
  axis.NumSamp = config.NumSamp;
  DrawOverlapMarker(canvas, axis, view);
  canvas.SetFontColor(SlotColor(f, config, kSlotText));
  canvas.SetPenColor(SlotColor(f, config, kSlotScale));
  const int64_t origin = o.AbsoluteTime ? 0 : view.XPosition;
  if (o.XAxialTime) {
    DrawOscilloscopeTimeAxis(canvas, axis, view.XPosition, view.DisplayWidth, origin);
  } else {
    DrawOscilloscopePointAxis(canvas, axis, view.XPosition, view.DisplayWidth, origin);
  }

  // 9. Statistics and automatic range, so that the labels show the new gains.
  const OscilloscopeSource source{&config, in.Layout, &display};
  const std::array<double, 2> zero = PrepareTraceLevels(source, view, settings, result.AutoRanged);

  // 10. Division labels and lines.
  canvas.SetPenColor(SlotColor(f, config, kSlotScale));
  DivisionLabels(canvas, f, in, settings);
  DivisionLines(canvas, f);

  // 11. The traces, then their sum and difference.
  if (in.ToPicture == 1) canvas.SetPenWidth(in.LineWidth);
  const auto pen = [&](int32_t key) {
    if (f.colour) canvas.SetPenColor(Color::FromStored(ChannelColor(config, key, f.row)));
  };
  if (settings.UseChn1 != 0) {
    pen(0);
    DrawOscilloscopeTrace(canvas, p, source, view, settings, 1, zero[0]);
  }
  if (settings.UseChn2 != 0 && config.Analog_Num != 1) {
    pen(1);
    DrawOscilloscopeTrace(canvas, p, source, view, settings, 2, zero[1]);
  }
  if (CombinedTracesApply(source, settings)) {
    if (settings.AddTraces != 0) {
      pen(kSumColorKey);
      DrawCombinedTrace(canvas, p, source, view, settings, false);
    }
    if (settings.SubtractTraces != 0) {
      pen(kDifferenceColorKey);
      DrawCombinedTrace(canvas, p, source, view, settings, true);
    }
  }

  // 12. The frame.
  if (in.ToPicture == 1) canvas.SetPenWidth(savedPenWidth);
  if (f.colour) canvas.SetPenColor(SlotColor(f, config, kSlotScale));
  canvas.MoveTo(p.Left, p.Top);
  canvas.LineTo(p.Left, p.Top + p.H);
  canvas.LineTo(p.Left + p.N, p.Top + p.H);
  canvas.LineTo(p.Left + p.N, p.Top);
  canvas.LineTo(p.Left, p.Top);
  return result;
}

}  // namespace quelvar
