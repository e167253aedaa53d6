#include "view/XAxis.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "common/AlgorithmTypeTable.h"
#include "common/NumberFormat.h"
#include "platform/DayTime.h"
#include "view/DisplayReading.h"
#include "view/GridStroke.h"

namespace quelvar {

namespace {

using platform::Canvas;
using platform::Color;

constexpr Color kOriginRed{255, 0, 0};
constexpr Color kCompressedMagenta{255, 0, 255};
constexpr Color kFirstTickGreen{0, 128, 0};
constexpr Color kFoundPointYellow{255, 255, 0};
constexpr int kOriginMarkHeight = 20;
constexpr int kLozengeHeight = 20;
constexpr int kDotSpacing = 10;  // pixels between the dots of a dotted grid line
constexpr double kMsPerDay = 86400000.0;
// Times closer to the origin than this count as the origin itself.
constexpr double kOriginToleranceMs = 0.0000001;

// Where the view lies in the display data; every item reads the same.
struct AxisFrame {
  int64_t first = 0;  // XPosition
  int64_t width = 1;  // DisplayWidth, at least 1
  int64_t spanDivisor = 1;  // DisplayWidth - 1, at least 1: a one-point view has no span
  int64_t origin = 0;
  int64_t compressStart = 0;
  bool compressed = false;
  float rate = 0.0f;
};

AxisFrame FrameOf(const XAxisInput& input, const WaveViewState& view) {
  AxisFrame f;
  f.first = view.XPosition;
  f.width = std::max(view.DisplayWidth, 1);
  f.spanDivisor = std::max<int64_t>(view.DisplayWidth - 1, 1);
  const int32_t multi = input.Layout != nullptr ? input.Layout->MaxMultiFreq : 1;
  if (input.Display != nullptr) {
    f.origin = TimeOriginPoint(*input.Display, input.NumSamp, multi);
    f.compressStart = CompressedStartPoint(*input.Display, input.NumSamp, multi);
    f.compressed = input.Display->DispCompressed == 1;
  }
  if (input.Layout != nullptr) f.rate = input.Layout->MaxChannelRate;
  return f;
}

int64_t SamplePosition(const XAxisInput& input, const AxisFrame& f, int64_t point) {
  if (input.Display == nullptr) return point;
  return SamplePositionOfPoint(*input.Display, f.compressStart, point);
}

bool InColour(const XAxisInput& input) { return input.Colour == 1; }

Color SlotColor(const XAxisInput& input, int slot) {
  if (!InColour(input) || input.Palette == nullptr) return platform::kBlack;
  return Color::FromStored((*input.Palette)[PaletteRow(input.WhiteBG)][slot]);
}

Color ScaleColor(const XAxisInput& input) { return SlotColor(input, kSlotScale); }

// Every item starts from the renderer's scale pen and text font colours.
void UseAxisColours(Canvas& canvas, const XAxisInput& input) {
  canvas.SetPenColor(ScaleColor(input));
  canvas.SetFontColor(SlotColor(input, kSlotText));
}

void UseColourIfColoured(Canvas& canvas, const XAxisInput& input, Color color) {
  if (InColour(input)) canvas.SetPenColor(color);
}

void TextCentred(Canvas& canvas, int x, int y, const std::string& text) {
  canvas.TextOut(x - canvas.TextWidth(text) / 2, y, text);
}

int ScreenX(const XAxisInput& input, const AxisFrame& f, int64_t screenPoint) {
  return static_cast<int>(input.Left + static_cast<int64_t>(input.N) * screenPoint / f.spanDivisor);
}

void DottedDown(Canvas& canvas, int x, int fromY, int bottom) {
  for (int y = fromY; y <= bottom; y += kDotSpacing) canvas.SetPixel(x, y, canvas.GetPen().color);
}

// A filled triangle pointing down at the time origin. The pen goes back to
// the colour it had, so a mark inside the compressed part keeps its magenta.
void DrawOriginMark(Canvas& canvas, const XAxisInput& input, int x) {
  const Color before = canvas.GetPen().color;
  UseColourIfColoured(canvas, input, kOriginRed);
  for (int i = 0; i < kOriginMarkHeight; ++i) {
    const int half = (kOriginMarkHeight - i) / 2;
    canvas.MoveTo(x - half, input.Top + i);
    canvas.LineTo(x + half, input.Top + i);
  }
  canvas.SetPenColor(before);
}

std::string PointAxisLabel(float t) {
  const double a = std::fabs(static_cast<double>(t));
  if (a >= 172800000.0) return FormatGeneral(t / 86400000.0, 5, 3) + "d";
  if (a >= 7200000.0) return FormatGeneral(t / 3600000.0, 5, 3) + "h";
  if (a >= 120000.0) return FormatGeneral(t / 60000.0, 5, 3) + "m";
  if (a >= 5000.0) return FormatGeneral(t / 1000.0, 5, 3) + "s";
  if (a >= 10.0) return FormatGeneral(t, 7, 3) + "ms";
  return FormatGeneral(static_cast<double>(t) * 1000.0, 7, 2) + "us";
}

struct AxisUnit {
  const char* letter;
  double factor;  // ms per unit
  int minor;      // ticks per step, the major one included
};

AxisUnit UnitOfStep(double rawStepMs, bool microseconds) {
  if (rawStepMs >= 86400000.0) return {"d", 86400000.0, rawStepMs >= 864000000.0 ? 10 : 24};
  if (rawStepMs > 1800000.0) return {"h", 3600000.0, 12};
  if (rawStepMs > 30000.0) return {"m", 60000.0, 12};
  if (rawStepMs > 500.0) return {"s", 1000.0, 10};
  if (rawStepMs > 0.5 || !microseconds) return {"ms", 1.0, 10};
  return {"us", 0.001, 10};
}

// The first tick's time relative to the origin: whole larger units, then the
// rest in the axis unit ("1s500ms").
std::string RelativeFirstTickText(double firstTick, const AxisUnit& unit) {
  struct Whole {
    const char* letter;
    double factor;
  };
  static constexpr Whole kWholeUnits[] = {{"d", 86400000.0}, {"h", 3600000.0}, {"m", 60000.0}, {"s", 1000.0},
                                          {"ms", 1.0}};
  std::string text = firstTick < 0 ? "-" : "";
  double restMs = std::fabs(firstTick) * unit.factor;
  bool started = false;
  for (const Whole& w : kWholeUnits) {
    if (w.factor <= unit.factor) break;
    if (!started && restMs < w.factor) continue;
    started = true;
    const double count = std::floor(restMs / w.factor);
    restMs -= count * w.factor;
    text += (w.factor == kMsPerDay ? FormatGeneral(count, 5) : std::to_string(static_cast<int64_t>(count))) +
            w.letter;
  }
  const double rest = restMs / unit.factor;
  const std::string letter = unit.letter;
  if (letter == "ms") return text + FormatGeneral(rest, 7, 3) + "ms";
  if (letter == "d") return text + FormatGeneral(rest, 5, 0) + "d";
  if (letter == "us") return text + FormatGeneral(rest, 7, 3) + "us";
  return text + FormatGeneral(rest, 4, 2) + letter;
}

std::string AbsoluteFirstTickText(double day0, double firstTick, const AxisUnit& unit) {
  const double when = day0 + firstTick * unit.factor / kMsPerDay;
  const std::string letter = unit.letter;
  if (letter == "m") return platform::FormatDayCount(when, "yy-m-d h:n");
  if (letter == "h") return platform::FormatDayCount(when, "yy-m-d h") + "h";
  if (letter == "d") return platform::FormatDayCount(when, "yy-m-d");
  return platform::FormatDayCount(when, "yy-m-d h:n:s");
}

// The uncompressed section of the time-aligned axis: first' .. end in sample
// positions, first .. endS in display points.
struct TimeSections {
  int64_t first = 0, last = 0;
  int64_t firstPos = 0, lastPos = 0;
  int64_t end = 0, endS = 0;
  double tFirst = 0, tEnd = 0, tLast = 0;
};

TimeSections SectionsOf(const XAxisInput& input, const AxisFrame& f) {
  TimeSections s;
  s.first = f.first;
  s.last = f.first + f.width - 1;
  s.firstPos = s.first;
  s.lastPos = s.last;
  s.end = s.endS = s.last;
  // A compressed part that starts beyond the screen leaves the whole screen
  // uncompressed; its start is not taken as the section's end, which would
  // lay out ticks and labels far past the plot.
  if (f.compressed && f.compressStart <= s.last) {
    s.end = s.endS = f.compressStart;
    if (s.first >= f.compressStart) {
      s.firstPos = SamplePosition(input, f, s.first);
      s.end = s.firstPos;
      s.endS = s.first;
    }
    s.lastPos = SamplePosition(input, f, s.last);
  }
  s.tFirst = TimeMsOfPosition(s.firstPos, f.origin, f.rate);
  s.tEnd = TimeMsOfPosition(s.end, f.origin, f.rate);
  s.tLast = TimeMsOfPosition(s.lastPos, f.origin, f.rate);
  return s;
}

int64_t Divisions(int32_t scaleCount, int64_t points, int64_t width) {
  return std::max<int64_t>(static_cast<int64_t>(scaleCount) * 2 * points / width, 1);
}

void DrawUncompressedScale(Canvas& canvas, const XAxisInput& input, const AxisFrame& f, const TimeSections& s,
                           WaveViewState& view) {
  const int64_t n = Divisions(input.ScaleCount, s.end - s.firstPos, f.width);
  const double rawStep = (s.tEnd - s.tFirst) / static_cast<double>(n);
  const AxisUnit unit = UnitOfStep(rawStep, input.MicrosecondUnit);
  double day0 = 0.0, off = 0.0;
  if (input.AbsoluteTime) {
    day0 = std::trunc(input.BlockTime);
    off = (input.BlockTime - day0) * kMsPerDay / unit.factor;
  }
  const double step = RoundAxisStep(rawStep / unit.factor);
  const double a = s.tFirst / unit.factor + off;
  const double e = s.tEnd / unit.factor + off;
  double firstTick = std::floor(a / step) * step;
  if (firstTick < a) firstTick += step;
  const double lastTick = std::ceil(e / step) * step;
  const int64_t count = std::llround((lastTick - firstTick) / step);
  view.FirstTickTime = (firstTick - off) * unit.factor / 1000.0;

  const double scale = static_cast<double>(input.N) * static_cast<double>(s.endS - s.first + 1) /
                       static_cast<double>(f.spanDivisor);
  auto inRange = [&](double t) { return s.tFirst <= t && t <= s.tEnd; };
  auto xOf = [&](double t) {
    return input.Left + static_cast<int>(std::trunc((t - s.tFirst) / (s.tEnd - s.tFirst) * scale));
  };

  for (int64_t j = -1; j <= count; ++j) {
    for (int k = 0; k < unit.minor; ++k) {
      const double t =
          ((static_cast<double>(k) / unit.minor + static_cast<double>(j)) * step + firstTick - off) * unit.factor;
      if (!inRange(t)) continue;
      const int x = xOf(t);
      DrawXAxisTick(canvas, input, x,
               k == 0 ? TickKind::Major : k == unit.minor / 2 ? TickKind::LongMinor : TickKind::ShortMinor);
      if (std::fabs(t) < kOriginToleranceMs && !input.AbsoluteTime) DrawOriginMark(canvas, input, x);
    }
  }

  const std::string firstTickText = input.AbsoluteTime ? AbsoluteFirstTickText(day0, firstTick, unit)
                                                       : RelativeFirstTickText(firstTick, unit);
  canvas.SetBrushStyle(platform::BrushStyle::Clear);
  for (int64_t j = -1; j <= count; ++j) {
    const double t = (static_cast<double>(j) * step + firstTick - off) * unit.factor;
    if (!inRange(t)) continue;
    const int x = xOf(t);
    TextCentred(canvas, x, 1, FormatGeneral(static_cast<double>(j) * step, 7, 2) + unit.letter);
    if (j == 0) {
      const Color textColor = canvas.GetFont().color;
      if (InColour(input)) canvas.SetFontColor(kFirstTickGreen);
      canvas.TextOut(x, input.Top + 1, firstTickText);
      canvas.SetFontColor(textColor);
    }
  }
}

void DrawCompressedScale(Canvas& canvas, const XAxisInput& input, const AxisFrame& f, const TimeSections& s) {
  UseColourIfColoured(canvas, input, kCompressedMagenta);
  const double boundary =
      static_cast<double>(input.N) * static_cast<double>(s.endS - s.first) / static_cast<double>(f.spanDivisor);
  if (s.first < s.endS && input.GridLines) {
    const int x = static_cast<int>(input.Left + static_cast<int64_t>(input.N) * (s.endS - s.first) / f.spanDivisor);
    if (input.GridDotted) {
      DottedDown(canvas, x, input.Top + kDotSpacing, input.Top + input.M);
    } else {
      canvas.MoveTo(x, input.Top);
      canvas.LineTo(x, input.Top + input.M);
    }
  }
  // Without a rate every time is 0 and there is no scale to lay out.
  if (!(s.tLast > s.tEnd)) return;
  const int64_t n = Divisions(input.ScaleCount, s.last - s.endS, f.width);
  const double step = RoundAxisStep((s.tLast - s.tEnd) / static_cast<double>(n));
  const double firstTick = std::floor(s.tEnd / step) * step;
  const double lastTick = std::ceil(s.tLast / step) * step;
  const int64_t count = std::llround((lastTick - firstTick) / step);
  const double scale = static_cast<double>(input.N) * static_cast<double>(s.last - s.endS + 1) /
                       static_cast<double>(f.spanDivisor);
  auto inRange = [&](double t) { return s.tEnd <= t && t <= s.tLast; };
  auto xOf = [&](double t) {
    return input.Left + static_cast<int>(std::trunc(boundary + (t - s.tEnd) / (s.tLast - s.tEnd) * scale));
  };
  for (int64_t j = 0; j <= count; ++j) {
    const double t = static_cast<double>(j) * step + firstTick;
    if (inRange(t)) TextCentred(canvas, xOf(t), 1, MsTimeLabel(t));
  }
  for (int64_t i = 0; i <= count; ++i) {
    for (int k = 0; k < 10; ++k) {
      const double t = (static_cast<double>(i) + k * 0.1) * step + firstTick;
      if (!inRange(t)) continue;
      DrawXAxisTick(canvas, input, xOf(t), k == 0 ? TickKind::Major : k == 5 ? TickKind::LongMinor : TickKind::ShortMinor);
    }
  }
}

}  // namespace

void DrawXAxisTick(Canvas& canvas, const XAxisInput& input, int x, TickKind kind) {
  switch (kind) {
    case TickKind::Major:
      VerticalGridStroke(canvas, {input.GridLines, input.GridDotted}, x, input.Top, input.M, input.TextH * 3 / 2);
      break;
    case TickKind::LongMinor:
      canvas.MoveTo(x, input.Top);
      canvas.LineTo(x, input.Top + input.TextH);
      break;
    case TickKind::ShortMinor:
      canvas.MoveTo(x, input.Top);
      canvas.LineTo(x, input.Top + input.TextH / 2);
      break;
  }
}

std::string MsTimeLabel(double t) {
  const double a = std::fabs(t);
  if (a >= 1000.0) return FormatGeneral(t / 1000.0, 5, 3) + "s";
  if (a >= 1.0) return FormatGeneral(t, 7, 3) + "ms";
  return FormatGeneral(t * 1000.0, 7, 2) + "us";
}

int64_t PointAxisSpacing(int32_t displayWidth, int32_t scaleCount) {
  const int64_t q = std::max<int64_t>(displayWidth / std::max(scaleCount, 1), 1);
  if (q < 5) return q;
  int64_t best = 5;
  for (int64_t decade = 1; decade <= 100000; decade *= 10) {
    for (const int64_t m : {5, 10, 20}) {
      if (m * decade <= q) best = std::max(best, m * decade);
    }
  }
  return std::min<int64_t>(best, 1000000);
}

double RoundAxisStep(double step) {
  if (!(step > 0.0)) return step;
  const double decade = std::pow(10.0, std::ceil(std::log10(step)));
  return std::ceil(step * 5.0 / decade) * decade * 0.2;
}

void DrawOverlapMarker(Canvas& canvas, const XAxisInput& input, const WaveViewState& view) {
  UseAxisColours(canvas, input);
  const int64_t a = input.OverlapPoints;
  if (a <= 0) return;
  const AxisFrame f = FrameOf(input, view);
  const int x0 = static_cast<int>(static_cast<int64_t>(input.N) * (view.DisplayWidth - a) / f.spanDivisor);
  for (const int y : {input.Top + input.TextH / 2, input.Top + input.TextH}) {
    canvas.MoveTo(input.Left + x0, y);
    canvas.LineTo(input.Left + input.N, y);
  }
}

void DrawPointAxis(Canvas& canvas, const XAxisInput& input, const WaveViewState& view) {
  UseAxisColours(canvas, input);
  const AxisFrame f = FrameOf(input, view);
  const int64_t q = PointAxisSpacing(view.DisplayWidth, input.ScaleCount);
  const bool minors = q > 9;
  for (int64_t j = 0; j < view.DisplayWidth; ++j) {
    const int64_t p = f.first + j;
    const bool inCompressed = f.compressed && p >= f.compressStart;
    if (inCompressed) UseColourIfColoured(canvas, input, kCompressedMagenta);
    const int64_t d = SamplePosition(input, f, p) - f.origin;
    // Ticks of the compressed part count display points, not samples.
    const int64_t counted = inCompressed ? p : d;
    const int x = ScreenX(input, f, j);
    const bool major = inCompressed ? (p == f.compressStart || p % q == 0) : d % q == 0;
    if (major) {
      const float t = static_cast<float>(TimeMsOfPosition(d + f.origin, f.origin, f.rate));
      TextCentred(canvas, x, 1, PointAxisLabel(t));
      DrawXAxisTick(canvas, input, x, TickKind::Major);
      if (d == 0) DrawOriginMark(canvas, input, x);
    } else if (minors && counted % (q / 2) == 0) {
      DrawXAxisTick(canvas, input, x, TickKind::LongMinor);
    } else if (minors && counted % (q / 10) == 0) {
      DrawXAxisTick(canvas, input, x, TickKind::ShortMinor);
    }
  }
  canvas.SetPenColor(ScaleColor(input));
}

void DrawTimeAlignedAxis(Canvas& canvas, const XAxisInput& input, WaveViewState& view) {
  UseAxisColours(canvas, input);
  const AxisFrame f = FrameOf(input, view);
  const TimeSections s = SectionsOf(input, f);
  if (s.tFirst < s.tEnd) DrawUncompressedScale(canvas, input, f, s, view);
  if (s.end < s.lastPos) DrawCompressedScale(canvas, input, f, s);
  canvas.SetPenColor(ScaleColor(input));
}

void DrawFoundTriggerPoints(Canvas& canvas, const XAxisInput& input, const WaveViewState& view) {
  if (input.Display == nullptr || input.Display->SelectFault != 1 || input.TriggerPointCount <= 0) return;
  UseAxisColours(canvas, input);
  // The count never reaches past the entries handed in.
  const size_t count = std::min(static_cast<size_t>(input.TriggerPointCount), input.TriggerPoints.size());
  const AxisFrame f = FrameOf(input, view);
  for (size_t e = 0; e < count; ++e) {
    const FoundTriggerPoint& found = input.TriggerPoints[e];
    if (found.Point < f.first || found.Point > f.first + f.width - 1) continue;
    // The traces' own x rule, so the lozenge sits on the sample it marks.
    const int x = ScreenX(input, f, found.Point - f.first);
    UseColourIfColoured(canvas, input, kFoundPointYellow);
    for (int i = 0; i <= kLozengeHeight / 2; ++i) {
      for (const int column : {x - i / 2, x + i / 2}) {
        canvas.MoveTo(column, input.Top + i);
        canvas.LineTo(column, input.Top + kLozengeHeight - i);
      }
    }
    // A type outside the table (a damaged record) is shown without a name.
    const bool known = found.Type >= 0 && found.Type < kAlgorithmTypeCount;
    const std::string name = known ? std::string(AlgorithmTypeTable[static_cast<size_t>(found.Type)].Name) : "";
    canvas.TextOut(x, input.Top + 22, std::to_string(found.Algorithm) + ": " + name);
    canvas.SetPenColor(ScaleColor(input));
  }
}

void DrawXAxis(Canvas& canvas, const XAxisInput& input, WaveViewState& view) {
  DrawOverlapMarker(canvas, input, view);
  if (input.TimeAligned) {
    DrawTimeAlignedAxis(canvas, input, view);
  } else {
    DrawPointAxis(canvas, input, view);
  }
  DrawFoundTriggerPoints(canvas, input, view);
}

}  // namespace quelvar
