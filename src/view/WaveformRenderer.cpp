#include "view/WaveformRenderer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "common/NumberFormat.h"
#include "view/GridStroke.h"
#include "view/Palette.h"
#include "view/RowScale.h"
#include "view/WaveRows.h"
#include "view/WaveTraces.h"

namespace quelvar {

namespace {

using platform::Canvas;
using platform::Color;

constexpr int kPlotLeft = 4;
constexpr int kPlotTop = 2;
// Widest plot a fixed time scale may ask for: far beyond any printer page,
// small enough that pixel sums stay within int.
constexpr int kMaxPlotWidth = 1 << 24;
// From this many traces a paint gathers the screen's columns of every word
// in one pass: a trace alone reads about one cache line of each row, the
// gathering the whole row, so a few traces are cheaper on their own.
constexpr int64_t kGatherFromTraces = 4;

// What every step of one paint shares: the plot's place and the colours.
struct Plot {
  int left = kPlotLeft;
  int top = kPlotTop;
  int N = 0;
  int M = 0;
  int textH = 0;
  bool gridLines = false;
  bool gridDotted = false;
  bool colour = true;
  int row = kPaletteRowBlack;  // palette row
};

Color SlotColor(const Plot& p, const LiveConfig& config, int slot) {
  if (!p.colour) return platform::kBlack;
  return Color::FromStored(config.ColorPalette[static_cast<size_t>(p.row)][static_cast<size_t>(slot)]);
}

Color KeyColor(const Plot& p, const LiveConfig& config, int32_t key) {
  if (!p.colour) return platform::kBlack;
  return Color::FromStored(ChannelColor(config, key, p.row));
}

int Trunc(double y) { return TruncToInt32(y); }

// A horizontal scale line from the plot's left edge with the grid stroke of
// length `stub`.
void GridLine(Canvas& canvas, const Plot& p, int y, int stub) {
  HorizontalGridStroke(canvas, {p.gridLines, p.gridDotted}, p.left, p.N, y, stub);
}

void Stub(Canvas& canvas, const Plot& p, int y, int length) {
  canvas.MoveTo(p.left, y);
  canvas.LineTo(p.left + length, y);
}

// The analog channel whose units label a row, when there is one.
const AnalogChannel* LabelChannel(const LiveConfig& config, const WaveRow& row) {
  if (row.IsSwitch || row.Channel < 0 || row.Channel >= kMaxAnalogChannels) return nullptr;
  return &config.AnalogChannelTable[static_cast<size_t>(row.Channel)];
}

// Rows of several channels read in volts when the first line has more than
// one; page rows are always single channels.
bool PlainVolts(const LiveConfig& config, const WaveViewState& view) {
  if (view.Options.Scope == ChannelScope::Page || !view.Options.PhaseMultiple) return false;
  const int32_t line = view.CurrentLine;
  if (line < 0 || line >= std::clamp(config.Total_Line, 0, kMaxLines)) return false;
  return config.LineTable[static_cast<size_t>(line)].APhaseNum > 1;
}

// Scale values of one row centred at top + centre with height H, at x = 0.
void DrawRowScale(Canvas& canvas, const Plot& p, const WaveformPaintInput& in, const TorqueTables& torque,
                  const WaveViewState& view, const WaveRow& row, double centre, int H) {
  const double y0 = p.top + centre - p.textH / 2;
  const AnalogChannel* channel = LabelChannel(*in.Config, row);
  if (view.Options.ViewSwitch || channel == nullptr) {
    canvas.TextOut(0, Trunc(y0 - 0.4 * H), "1");
    canvas.TextOut(0, Trunc(y0 + 0.4 * H), "0");
    return;
  }
  const RowScaleTexts t = AnalogScaleTexts(*in.Config, torque, *channel, view, PlainVolts(*in.Config, view));
  canvas.TextOut(0, Trunc(y0 - H / 5), t.Up2);
  canvas.TextOut(0, Trunc(y0 - 0.4 * H), t.Up4);
  canvas.TextOut(0, Trunc(y0 + H / 5), t.Down2);
  canvas.TextOut(0, Trunc(y0 + 0.4 * H), t.Down4);
}

// Centre line, then the horizontal grid or the short ticks of the row's
// vertical scale.
void DrawRowLines(Canvas& canvas, const Plot& p, const ViewOptions& o, const WaveRow& row, double centre, int Hr,
                  bool grid) {
  const double yc = p.top + centre;
  GridLine(canvas, p, Trunc(yc), p.textH * 3 / 2);
  if (grid) {
    if (row.IsSwitch) {
      Stub(canvas, p, Trunc(yc - 0.4 * Hr), p.textH);
      Stub(canvas, p, Trunc(yc + 0.4 * Hr), p.textH);
    } else {
      for (const int d : {-Hr / 5, -2 * Hr / 5, 2 * Hr / 5, Hr / 5}) GridLine(canvas, p, Trunc(yc + d), p.textH);
    }
  } else if (o.XScale) {
    if (row.IsSwitch) {
      Stub(canvas, p, Trunc(yc + 0.4 * Hr), p.textH);
      Stub(canvas, p, Trunc(yc - 0.4 * Hr), p.textH);
    } else {
      Stub(canvas, p, Trunc(yc + Hr / 5), p.textH / 2);
      Stub(canvas, p, Trunc(yc + 0.4 * Hr), p.textH);
      Stub(canvas, p, Trunc(yc - Hr / 5), p.textH / 2);
      Stub(canvas, p, Trunc(yc - 0.4 * Hr), p.textH);
    }
  }
}

// The traces of a row's channels, each in its own colour; every key drawn
// is listed in the view's outputs.
void DrawRowTraces(Canvas& canvas, const Plot& p, const WaveformPaintInput& in, WaveViewState& view,
                   const WaveRow& row, const RowPlace& place, const TraceData& data, const TraceColumns* columns,
                   int32_t& drawn) {
  const LiveConfig& config = *in.Config;
  const int32_t analog = data.AnalogNum;
  const bool pageScope = view.Options.Scope == ChannelScope::Page;
  const TraceRow traceRow{p.left, p.N, p.top + place.Centre, place.Height};
  for (int32_t k = row.Key; k < row.Key + row.Count; ++k) {
    if (drawn >= kMaxDisplayPositions) return;
    canvas.SetPenColor(KeyColor(p, config, k));
    if (k < analog) {
      const int32_t channel = pageScope ? k : config.AnalogDisplayOrder[static_cast<size_t>(k)];
      if (channel < 0 || channel >= analog) continue;
      view.DrawnChannels[static_cast<size_t>(drawn++)] = k;
      ++view.DrawnAnalogCount;
      DrawAnalogTrace(canvas, data, traceRow, view, config.AnalogChannelTable[static_cast<size_t>(channel)], channel,
                      columns);
    } else {
      view.DrawnChannels[static_cast<size_t>(drawn++)] = k;
      ++view.DrawnSwitchCount;
      DrawSwitchTrace(canvas, data, traceRow, view, k - analog, columns);
    }
  }
}

std::string PageCaption(int32_t page, int32_t totalPages, const char* triggerCaption) {
  if (page == totalPages) return "万能";
  if (page == int64_t{totalPages} + 1) return triggerCaption;
  return "P " + std::to_string(page);
}

}  // namespace

int FixedScaleWidth(int32_t displayWidth, int64_t perPointPixels, int32_t perSampTimePoints,
                    int32_t maxMultiFreq) {
  const int64_t width = std::max(displayWidth, 0);
  const int64_t pixels = std::max<int64_t>(perPointPixels, 0);
  if (width != 0 && pixels > std::numeric_limits<int64_t>::max() / width) return kMaxPlotWidth;
  const int64_t n = width * pixels / std::max(perSampTimePoints, 1) / std::max(maxMultiFreq, 1);
  return static_cast<int>(std::min<int64_t>(n, kMaxPlotWidth));
}

void PaintWaveform(Canvas& canvas, const WaveformPaintInput& in, WaveViewState& view) {
  // A. Start.
  view.DrawnAnalogCount = 0;
  view.DrawnSwitchCount = 0;
  if (in.Config == nullptr || in.Display == nullptr || in.Layout == nullptr || in.Display->DispValid == 0) return;
  const LiveConfig& config = *in.Config;
  const DisplayDescriptor& display = *in.Display;
  const ViewOptions& o = view.Options;
  Plot p;
  p.row = PaletteRow(in.WhiteBG);
  if (display.DataSourceMode == 2) {
    if (in.PaintOscilloscope) in.PaintOscilloscope(canvas);
    return;
  }
  p.gridLines = !o.NoGridLines;
  p.gridDotted = o.GridDotted;
  p.colour = in.Colour == 1;
  const int savedPenWidth = canvas.GetPen().width;
  if (int64_t{view.XPosition} + view.DisplayWidth > display.DispPoints) {
    view.XPosition = SaturateToInt32(int64_t{display.DispPoints} - view.DisplayWidth);
  }

  // B. Plot geometry, background and colours.
  p.N = canvas.Width() - 5;
  p.M = canvas.Height() - 3;
  p.textH = in.TextHeight;
  if (o.ScaleOut) {
    p.N = p.N + 4 - in.LabelWidth;
    p.left = in.LabelWidth;
    p.M = p.M + 2 - p.textH;
    p.top = p.textH;
  }
  if (in.FixedScale == 1) p.N = FixedScaleWidth(view.DisplayWidth, in.PerPointCMPixels, in.PerSampTimePoints,
                                                 in.Layout->MaxMultiFreq);
  const bool whiteBackground = !p.colour || p.row == kPaletteRowWhite;
  canvas.SetBrush({whiteBackground ? platform::kWhite : platform::kBlack, platform::BrushStyle::Solid});
  canvas.FillRect({0, 0, p.left + p.N + 1, p.top + p.M + 1});
  canvas.SetFontColor(SlotColor(p, config, kSlotText));
  canvas.SetPenColor(SlotColor(p, config, kSlotScale));
  if (o.Scope == ChannelScope::Page) {
    canvas.TextOut(0, 0, PageCaption(view.BegDispChannel, config.TotalPages, in.TriggerPageCaption));
  }

  // C. X axis.
  XAxisInput axis;
  axis.Left = p.left;
  axis.Top = p.top;
  axis.N = p.N;
  axis.M = p.M;
  axis.TextH = p.textH;
  axis.GridLines = p.gridLines;
  axis.GridDotted = p.gridDotted;
  axis.Colour = in.Colour;
  axis.WhiteBG = p.row;
  axis.Palette = &config.ColorPalette;
  axis.ScaleCount = in.ScaleCount;
  axis.OverlapPoints = in.OverlapPoints;
  axis.Display = &display;
  axis.Layout = in.Layout;
  axis.NumSamp = config.NumSamp;
  axis.TimeAligned = o.XAxialTime;
  axis.AbsoluteTime = o.AbsoluteTime;
  axis.BlockTime = in.BlockTime;
  axis.TriggerPoints = in.TriggerPoints;
  axis.MicrosecondUnit = in.MicrosecondUnit;
  axis.TriggerPointCount = static_cast<int32_t>(std::min<size_t>(in.TriggerPoints.size(), INT32_MAX));
  DrawXAxis(canvas, axis, view);

  // D. Rows.
  static const TorqueTables kIdentityTorque;
  const TorqueTables& torque = in.Torque != nullptr ? *in.Torque : kIdentityTorque;
  const std::vector<WaveRow> rows = BuildWaveRows(config, in.ChannelScrollMax, view);
  const std::vector<RowPlace> places = PlaceRows(rows, p.M, o.In1Axial, view);
  const bool oneRow = rows.size() == 1;
  if (oneRow) DrawRowScale(canvas, p, in, torque, view, rows[0], p.M * 0.5, p.M);

  TraceData data;
  data.Display = &display;
  data.Layout = in.Layout;
  data.NumSamp = config.NumSamp;
  data.AnalogNum = std::clamp(config.Analog_Num, 0, kMaxAnalogChannels);
  data.VZero = config.VZero;
  data.ADMax = config.ADMax;
  // Many traces read the screen's columns gathered in one pass over the
  // rows, rather than each pulling the whole window through the memory.
  int64_t traces = 0;
  for (const WaveRow& row : rows) traces += row.Count;
  TraceColumns columns;
  if (traces >= kGatherFromTraces) columns.Gather(data, view, p.N);
  const TraceColumns* gathered = traces >= kGatherFromTraces ? &columns : nullptr;
  int32_t drawn = 0;
  for (size_t r = 0; r < places.size(); ++r) {
    const WaveRow& row = rows[r];
    const RowPlace& place = places[r];
    const Color fontBefore = canvas.GetFont().color;
    if (p.colour) canvas.SetFontColor(KeyColor(p, config, row.Key));
    const int nameDrop = o.ScaleOut ? p.textH / 2 : p.textH;
    canvas.TextOut(0, Trunc(p.top + place.Centre - nameDrop), row.Name);
    if (!oneRow && o.ScaleAlways) DrawRowScale(canvas, p, in, torque, view, row, place.Centre, place.Height);
    canvas.SetFontColor(fontBefore);

    canvas.SetPenColor(SlotColor(p, config, kSlotScale));
    DrawRowLines(canvas, p, o, row, place.Centre, place.Height, oneRow || o.YGrid);
    if (in.ToPicture == 1) canvas.SetPenWidth(in.LineWidth);
    DrawRowTraces(canvas, p, in, view, row, place, data, gathered, drawn);
    if (in.ToPicture == 1) canvas.SetPenWidth(savedPenWidth);
  }

  // The plot frame.
  canvas.SetPenColor(SlotColor(p, config, kSlotScale));
  canvas.MoveTo(p.left, p.top);
  canvas.LineTo(p.left, p.top + p.M);
  canvas.LineTo(p.left + p.N, p.top + p.M);
  canvas.LineTo(p.left + p.N, p.top);
  canvas.LineTo(p.left, p.top);
}

}  // namespace quelvar
