#include "auxwin/XYPlot.h"

#include <algorithm>
#include <array>

#include "common/ConfigBounds.h"
#include "common/NumberFormat.h"
#include "view/ChannelSamples.h"
#include "view/Palette.h"

namespace quelvar {

namespace {

using platform::Canvas;
using platform::Color;

constexpr int32_t kDataSourceOscilloscope = 2;
// The plot spans five divisions each way; grid lines stand at these tenths.
constexpr std::array<int32_t, 5> kGridTenths = {5, 3, 1, 7, 9};
// Offsets of the oscilloscope are counted in steps of 2 mV.
constexpr double kOscilOffsetVolts = 0.002;
constexpr Color kCrossColor{255, 0, 0};

bool IsAnalog(int32_t channel, int32_t analogNum) {
  return channel >= 0 && channel < analogNum && channel < kMaxAnalogChannels;
}

// A gain below 1 (a damaged setting) would divide by zero; it counts as 1.
int32_t ValidGain(int32_t gain) { return std::max(gain, 1); }

const AnalogChannel& ChannelOf(const LiveConfig& config, int32_t channel) {
  return config.AnalogChannelTable[static_cast<size_t>(std::clamp(channel, 0, kMaxAnalogChannels - 1))];
}

Color Stored(uint32_t bgr) { return Color::FromStored(bgr); }

struct Scheme {
  bool colour = true;
  int row = kPaletteRowBlack;
  Color background = platform::kBlack;
  Color text = platform::kWhite;
};

Scheme SchemeOf(const XYDrawOptions& o) {
  Scheme s;
  s.colour = o.Colour;
  s.row = o.WhiteBackground ? kPaletteRowWhite : kPaletteRowBlack;
  s.background = o.WhiteBackground ? platform::kWhite : platform::kBlack;
  s.text = o.WhiteBackground ? platform::kBlack : platform::kWhite;
  return s;
}

Color KeyColour(const Scheme& s, const LiveConfig& config, int32_t key) {
  return s.colour ? Stored(ChannelColor(config, key, s.row)) : s.text;
}

void WriteText(Canvas& canvas, int x, int y, const std::string& text, Color colour) {
  canvas.SetFontColor(colour);
  canvas.TextOut(x, y, text);
}

int32_t GridPosition(int32_t start, int32_t length, int32_t tenths) { return start + length * tenths / 10; }

// Divisions from the centre of the grid line at `tenths`, counted upwards
// along X (left to right).
int32_t DivisionsOf(int32_t tenths) { return (tenths - 5) / 2; }

}  // namespace

XYChannels ChooseXYChannels(const XYPlotSource& source) {
  const LiveConfig& config = *source.Config;
  const WaveViewState& view = *source.View;
  const int32_t analogNum = config.Analog_Num;
  XYChannels result;
  result.Refusal = kXYTooFewChannels;
  if (source.Display->DataSourceMode == kDataSourceOscilloscope) {
    const OscilToolSettings& s = *source.Oscil;
    result.Oscilloscope = true;
    if (s.UseChn1 == 0 || s.UseChn2 == 0 || !IsAnalog(s.ChnAd1, analogNum) || !IsAnalog(s.ChnAD2, analogNum)) {
      return result;
    }
    // The trace colours: curve 0 for trace 1, curve 1 for trace 2.
    result.X = s.ChnAd1;
    result.XKey = 0;
    result.Y = {s.ChnAD2};
    result.YKeys = {1};
  } else {
    // The renderer lists display positions (channel numbers on a page).
    const bool pageScope = view.Options.Scope == ChannelScope::Page;
    const int32_t drawn = std::clamp(view.DrawnAnalogCount, 0, kMaxDisplayPositions);
    std::vector<std::pair<int32_t, int32_t>> channels;  // (channel, key)
    for (int32_t k = 0; k < drawn; ++k) {
      const int32_t key = view.DrawnChannels[static_cast<size_t>(k)];
      if (key < 0 || key >= kMaxAnalogChannels) continue;
      const int32_t channel = pageScope ? key : config.AnalogDisplayOrder[static_cast<size_t>(key)];
      if (IsAnalog(channel, analogNum)) channels.emplace_back(channel, key);
    }
    if (channels.size() < 2) return result;
    result.X = channels[0].first;
    result.XKey = channels[0].second;
    for (size_t i = 1; i < channels.size(); ++i) {
      result.Y.push_back(channels[i].first);
      result.YKeys.push_back(channels[i].second);
    }
  }
  result.Rate = OscilloscopeRateOf(*source.Layout, result.X, analogNum);
  for (const int32_t y : result.Y) {
    if (OscilloscopeRateOf(*source.Layout, y, analogNum) != result.Rate) {
      result.Refusal = kXYRatesDiffer;
      return result;
    }
  }
  result.Ok = true;
  result.Refusal.clear();
  return result;
}

XYSampleRange XYSamplesOf(const WaveViewState& view, const DisplayDescriptor& display, int32_t rate,
                          int32_t maxMultiFreq) {
  const int64_t m = std::clamp(rate, 1, kMaxMultiFreq);
  const int64_t M = std::max<int64_t>(maxMultiFreq, 1);
  const int64_t total = static_cast<int64_t>(std::max(display.DispRows, 0)) * m;
  XYSampleRange r;
  r.First = std::max<int64_t>(view.XPosition, 0) * m / M;
  r.Count = (std::max<int64_t>(view.DisplayWidth, 0) * m + M - 1) / M;
  r.Count = std::clamp<int64_t>(r.Count, 0, std::max<int64_t>(total - r.First, 0));
  return r;
}

std::vector<XYCodePair> PairXYSamples(const DisplayDescriptor& display, const SampleLayout& layout, int32_t numSamp,
                                      int32_t x, int32_t y, int32_t rate, XYSampleRange range) {
  const ChannelSamples xs = ChannelSamplesOf(display, layout, numSamp, x, rate);
  const ChannelSamples ys = ChannelSamplesOf(display, layout, numSamp, y, rate);
  std::vector<XYCodePair> pairs;
  pairs.reserve(static_cast<size_t>(std::max<int64_t>(range.Count, 0)));
  for (int64_t i = 0; i < range.Count; ++i) {
    XYCodePair p;
    if (xs.Read(range.First + i, p.X) && ys.Read(range.First + i, p.Y)) pairs.push_back(p);
  }
  return pairs;
}

double XYEngineeringValue(const AnalogChannel& channel, double volts) {
  return static_cast<double>(channel.ChnCoeA) + static_cast<double>(channel.ChnCoeB) * volts;
}

void DrawXYMessage(Canvas& canvas, const std::string& message, bool whiteBackground) {
  const Color background = whiteBackground ? platform::kWhite : platform::kBlack;
  canvas.SetBrush({background, platform::BrushStyle::Solid});
  canvas.FillRect({0, 0, canvas.Width(), canvas.Height()});
  canvas.SetBrushStyle(platform::BrushStyle::Clear);
  WriteText(canvas, 0, 0, message, whiteBackground ? platform::kBlack : platform::kWhite);
}

XYPlotGeometry DrawXYPlot(Canvas& canvas, const XYPlotSource& source, const XYDrawOptions& options) {
  const LiveConfig& config = *source.Config;
  const Scheme s = SchemeOf(options);
  XYPlotGeometry g;

  // 1. Background.
  canvas.SetBrush({s.background, platform::BrushStyle::Solid});
  canvas.FillRect({0, 0, canvas.Width(), canvas.Height()});
  canvas.SetBrushStyle(platform::BrushStyle::Clear);
  canvas.SetPen({s.text, 1, platform::PenStyle::Solid});

  // 2, 3. Channels, or the refusal.
  const XYChannels ch = ChooseXYChannels(source);
  if (!ch.Ok) {
    g.Message = ch.Refusal;
    WriteText(canvas, 0, 0, g.Message, s.text);
    return g;
  }

  // 4. Scales.
  double oX = 0.0;
  double oY = 0.0;
  int32_t gX = 1;
  int32_t gY = 1;
  if (ch.Oscilloscope) {
    const OscilToolSettings& o = *source.Oscil;
    gX = ValidGain(o.YZoom1);
    gY = ValidGain(o.YZoom2);
    oX = o.YOffset1;
    oY = o.YOffset2;
    g.XCentreVolts = oX * kOscilOffsetVolts;
    g.YCentreVolts = oY * kOscilOffsetVolts;
  } else {
    gX = gY = ValidGain(source.View->YZoom);
    oX = oY = source.View->YOffset;
    g.XCentreVolts = oX * 2.0 / gX;
    g.YCentreVolts = oY * 2.0 / gY;
  }
  g.XVoltsPerDiv = 2.0 / gX;
  g.YVoltsPerDiv = 2.0 / gY;
  g.XChannel = ch.X;
  g.YChannel = ch.Y.front();

  // 5. Layout. A surface too small for a plot keeps a plot of one pixel, so
  // that nothing divides by its size.
  const int32_t h = canvas.TextHeight("lg") + 2;
  const int32_t w = canvas.TextWidth("-5.00V") + 2;
  g.LineHeight = h;
  g.PlotLeft = w;
  g.PlotWidth = std::max(canvas.Width() - w - 1, 1);
  g.PlotTop = 3;
  g.PlotHeight = std::max(canvas.Height() - 3 - 2 * h - 2, 1);
  const int32_t centreX = g.PlotLeft + g.PlotWidth / 2;

  // 6. Channel names below the plot (more than one Y: theirs inside it).
  const AnalogChannel& xChannel = ChannelOf(config, ch.X);
  const AnalogChannel& yFirst = ChannelOf(config, ch.Y.front());
  const Color xColour = KeyColour(s, config, ch.XKey);
  const Color yColour = KeyColour(s, config, ch.YKeys.front());
  const int32_t namesY = g.PlotTop + g.PlotHeight + h + 2;
  if (ch.Y.size() == 1) {
    const std::string xName = xChannel.ChnName + " -";
    WriteText(canvas, centreX - canvas.TextWidth(xName), namesY, xName, xColour);
    WriteText(canvas, centreX + 2, namesY, yFirst.ChnName, yColour);
  } else {
    WriteText(canvas, centreX - canvas.TextWidth(xChannel.ChnName) / 2, namesY, xChannel.ChnName, xColour);
    for (size_t i = 0; i < ch.Y.size(); ++i) {
      WriteText(canvas, g.PlotLeft + 4, g.PlotTop + 4 + static_cast<int32_t>(i) * h, ChannelOf(config, ch.Y[i]).ChnName,
                KeyColour(s, config, ch.YKeys[i]));
    }
  }

  // 7. Frame and dotted grid.
  const Color frame = s.colour ? Stored(config.ColorPalette[static_cast<size_t>(s.row)][kSlotScale]) : s.text;
  canvas.SetFontColor(s.colour ? Stored(config.ColorPalette[static_cast<size_t>(s.row)][kSlotText]) : s.text);
  canvas.SetPen({frame, 1, platform::PenStyle::Solid});
  canvas.Rectangle({g.PlotLeft, g.PlotTop, g.PlotLeft + g.PlotWidth + 1, g.PlotTop + g.PlotHeight + 1});
  canvas.SetPenStyle(platform::PenStyle::Dot);
  for (const int32_t t : kGridTenths) {
    const int32_t x = GridPosition(g.PlotLeft, g.PlotWidth, t);
    canvas.MoveTo(x, g.PlotTop);
    canvas.LineTo(x, g.PlotTop + g.PlotHeight);
    const int32_t y = GridPosition(g.PlotTop, g.PlotHeight, t);
    canvas.MoveTo(g.PlotLeft, y);
    canvas.LineTo(g.PlotLeft + g.PlotWidth, y);
  }
  canvas.SetPenStyle(platform::PenStyle::Solid);

  // 8, 9. Scales: X below the plot, Y at the left edge (upwards on screen).
  for (const int32_t t : kGridTenths) {
    const int32_t k = DivisionsOf(t);
    std::string text = FormatGeneral(XYEngineeringValue(xChannel, g.XCentreVolts + k * g.XVoltsPerDiv), 7);
    if (k == 0) text += xChannel.ChnUnits;
    const int32_t x = GridPosition(g.PlotLeft, g.PlotWidth, t);
    WriteText(canvas, x - canvas.TextWidth(text) / 2, g.PlotTop + g.PlotHeight + 1, text, xColour);
  }
  for (const int32_t t : kGridTenths) {
    const int32_t k = -DivisionsOf(t);
    std::string text = FormatGeneral(XYEngineeringValue(yFirst, g.YCentreVolts + k * g.YVoltsPerDiv), 7);
    if (k == 0) text += yFirst.ChnUnits;
    const int32_t y = GridPosition(g.PlotTop, g.PlotHeight, t);
    WriteText(canvas, 0, y - h / 2, text, yColour);
  }

  // 10, 11. Samples and the curve's offsets in pixels.
  const LiveConfig& c = config;
  const XYSampleRange range = XYSamplesOf(*source.View, *source.Display, ch.Rate, source.Layout->MaxMultiFreq);
  int64_t dX = 0;
  int64_t dY = 0;
  if (ch.Oscilloscope) {
    dX = static_cast<int64_t>(-g.PlotWidth) * source.Oscil->YOffset1 / std::max<int64_t>(5000 / gX, 1);
    dY = static_cast<int64_t>(g.PlotHeight) * source.Oscil->YOffset2 / std::max<int64_t>(5000 / gY, 1);
  } else {
    dX = TruncToInt64(-g.PlotWidth * 0.2 * oX);
    dY = TruncToInt64(g.PlotHeight * 0.2 * oY);
  }
  // A card description whose full scale equals its zero has no scale.
  const double span = static_cast<double>(c.ADMax) - c.VZero;
  const double perCode = span != 0.0 ? 1.0 / span : 0.0;
  const double halfW = g.PlotWidth / 2.0;
  const double halfH = g.PlotHeight / 2.0;

  // 12. One curve per Y channel.
  const double pX = xChannel.ChnPreAmp;
  for (size_t i = 0; i < ch.Y.size(); ++i) {
    if (s.colour) canvas.SetPenColor(KeyColour(s, config, ch.YKeys[i]));
    const double pY = ChannelOf(config, ch.Y[i]).ChnPreAmp;
    const std::vector<XYCodePair> pairs =
        PairXYSamples(*source.Display, *source.Layout, c.NumSamp, ch.X, ch.Y[i], ch.Rate, range);
    bool first = true;
    for (const XYCodePair& p : pairs) {
      const double fx = dX + halfW + halfW * gX * pX * (p.X - c.VZero) * perCode;
      const double fy = dY + halfH - halfH * gY * pY * (p.Y - c.VZero) * perCode;
      const int32_t x = g.PlotLeft + std::clamp(TruncToInt32(fx), 0, g.PlotWidth);
      const int32_t y = g.PlotTop + std::clamp(TruncToInt32(fy), 0, g.PlotHeight);
      if (options.Scatter) {
        canvas.MoveTo(x, y);
        canvas.LineTo(x, y + 1);
      } else if (first) {
        canvas.MoveTo(x, y);
      } else {
        canvas.LineTo(x, y);
      }
      first = false;
    }
  }
  g.Drawn = true;
  return g;
}

void DrawXYCrossHair(Canvas& canvas, const XYPlotGeometry& plot, const LiveConfig& config, double crossX,
                     double crossY) {
  if (!plot.Drawn) return;
  canvas.SetPen({kCrossColor, 1, platform::PenStyle::Solid});
  const int32_t x = TruncToInt32(plot.PlotWidth * (crossX + 0.5) + plot.PlotLeft);
  const int32_t y = TruncToInt32(plot.PlotHeight * (crossY + 0.5) + plot.PlotTop);
  canvas.MoveTo(plot.PlotLeft, y);
  canvas.LineTo(plot.PlotLeft + plot.PlotWidth, y);
  canvas.MoveTo(x, plot.PlotTop);
  canvas.LineTo(x, plot.PlotTop + plot.PlotHeight);

  const AnalogChannel& xc = ChannelOf(config, plot.XChannel);
  const AnalogChannel& yc = ChannelOf(config, plot.YChannel);
  const std::string xText =
      "X: " + FormatFixed(XYEngineeringValue(xc, plot.XCentreVolts + plot.XVoltsPerDiv * crossX * 5), 15, 3) +
      xc.ChnUnits;
  const std::string yText =
      "Y: " + FormatFixed(XYEngineeringValue(yc, plot.YCentreVolts - plot.YVoltsPerDiv * crossY * 5), 15, 3) +
      yc.ChnUnits;
  const int32_t h = plot.LineHeight;
  const int32_t one = canvas.TextWidth("1");
  const int32_t wide = std::max(canvas.TextWidth(xText), canvas.TextWidth(yText));
  int32_t left = x + one;
  if (left + wide > plot.PlotLeft + plot.PlotWidth) left = x - one - wide;
  int32_t top = y + h / 2;
  if (top + 2 * h > plot.PlotTop + plot.PlotHeight) top = TruncToInt32(y - 2.5 * h);
  canvas.SetBrushStyle(platform::BrushStyle::Clear);
  WriteText(canvas, left, top, xText, kCrossColor);
  WriteText(canvas, left, top + h, yText, kCrossColor);
}

double XYCrossFraction(int32_t mouse, int32_t plotStart, int32_t plotLength) {
  const double length = std::max(plotLength, 1);
  return std::clamp((mouse - plotStart - 0.5 * length) / length, -0.5, 0.5);
}

}  // namespace quelvar
