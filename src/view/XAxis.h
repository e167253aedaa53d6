#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "common/DisplayData.h"
#include "common/FoundTriggerPoints.h"
#include "common/SampleLayout.h"
#include "common/WaveViewState.h"
#include "platform/Canvas.h"
#include "view/Palette.h"

namespace quelvar {

// Everything the X axis reads. The geometry, grid flags and colour switch are
// the waveform renderer's; the plot spans x = Left .. Left + N and
// y = Top .. Top + M, TextH is the label text height.
struct XAxisInput {
  int Left = 4;
  int Top = 2;
  int N = 0;
  int M = 0;
  int TextH = 0;
  bool GridLines = false;
  bool GridDotted = false;
  int32_t Colour = 1;   // 1: palette colours; 0: black on white
  int32_t WhiteBG = 0;  // palette row
  const PaletteRows* Palette = nullptr;  // null: black lines and text
  int32_t ScaleCount = 5;
  int32_t OverlapPoints = 0;  // points the next printed page repeats
  const DisplayDescriptor* Display = nullptr;
  const SampleLayout* Layout = nullptr;
  int32_t NumSamp = 0;
  bool TimeAligned = false;   // menuXAxialTime
  bool AbsoluteTime = false;  // menuAbsoluteTime
  double BlockTime = 0.0;     // day count the absolute labels start from
  std::span<const FoundTriggerPoint> TriggerPoints;
  int32_t TriggerPointCount = 0;
  bool MicrosecondUnit = true;  // false: divisions of 0.5 ms or less stay in ms
};

// The X axis along the top of the plot: overlap marker, ticks and grid, time
// labels, origin mark, compressed-part scale and the found trigger points.
// Reads XPosition and DisplayWidth of `view`; the time-aligned axis writes
// view.FirstTickTime. Leaves the pen in the scale colour.
void DrawXAxis(platform::Canvas& canvas, const XAxisInput& input, WaveViewState& view);

// The visual items DrawXAxis is made of, each usable on its own.
void DrawOverlapMarker(platform::Canvas& canvas, const XAxisInput& input, const WaveViewState& view);
void DrawPointAxis(platform::Canvas& canvas, const XAxisInput& input, const WaveViewState& view);
void DrawTimeAlignedAxis(platform::Canvas& canvas, const XAxisInput& input, WaveViewState& view);
void DrawFoundTriggerPoints(platform::Canvas& canvas, const XAxisInput& input, const WaveViewState& view);

// A tick from the plot's top down: a major one with the grid stroke of
// 1.5 TextH, a long minor one to Top + TextH, a short one to Top + TextH / 2.
enum class TickKind { Major, LongMinor, ShortMinor };
void DrawXAxisTick(platform::Canvas& canvas, const XAxisInput& input, int x, TickKind kind);

// A time in ms as the axis writes it: from 1000 ms in magnitude in seconds
// ("s", 5 significant digits), from 1 ms in ms (7 digits), else in us (7
// digits, at least 2 exponent digits when scientific).
std::string MsTimeLabel(double ms);

// Tick spacing of the point axis: DisplayWidth / scaleCount (at least 1),
// from 5 on rounded down to 5, 10, 20, 50, ... 1000000.
int64_t PointAxisSpacing(int32_t displayWidth, int32_t scaleCount);

// A step rounded up to 0.2, 0.4, 0.6, 0.8 or 1 times a power of ten.
double RoundAxisStep(double step);

}  // namespace quelvar
