#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "common/DisplayData.h"
#include "common/LiveConfig.h"
#include "common/SampleLayout.h"
#include "common/TorqueTables.h"
#include "common/WaveViewState.h"
#include "platform/Canvas.h"
#include "view/XAxis.h"

namespace quelvar {

// Everything the waveform picture is drawn from besides the view state. The
// plot size comes from the canvas (the screen's bitmap has the data area's
// size; a picture or a printed page has its own).
struct WaveformPaintInput {
  int32_t ToPicture = 0;      // 1: a picture or page, traces drawn LineWidth wide
  int32_t LineWidth = 1;
  int32_t OverlapPoints = 0;  // points the next printed page repeats
  int32_t FixedScale = 0;     // 1: the plot width follows the printer's time scale
  int32_t WhiteBG = 0;        // palette row; other values count as 0
  int32_t ScaleCount = 5;     // X scale divisions
  int32_t Colour = 1;         // 1: palette colours; 0: black on white

  const LiveConfig* Config = nullptr;
  const TorqueTables* Torque = nullptr;
  const SampleLayout* Layout = nullptr;
  const DisplayDescriptor* Display = nullptr;

  // Text height and widest label of the canvas's font (the screen's or the
  // picture's metrics, as ToPicture says).
  int32_t TextHeight = 0;
  int32_t LabelWidth = 0;
  // The channel scroll bar's maximum for the window's view options.
  int32_t ChannelScrollMax = 0;

  // The printer's time scale, used with FixedScale.
  int64_t PerPointCMPixels = 0;
  int32_t PerSampTimePoints = 1;

  // The X axis's calendar start and the found trigger points of a history
  // record (marked while Display->SelectFault is set).
  double BlockTime = 0.0;
  std::span<const FoundTriggerPoint> TriggerPoints;

  // The second waveform window captions the trigger page "故障" and keeps
  // its time axis in ms below 0.5 ms a division.
  const char* TriggerPageCaption = "触发";
  bool MicrosecondUnit = true;

  // The two-trace oscilloscope's own picture (DataSourceMode 2) is drawn by
  // this, with the same canvas; none: nothing is drawn.
  std::function<void(platform::Canvas&)> PaintOscilloscope;
};

// The waveform picture of `view` on `canvas`: background, X axis, one row per
// channel, line or page entry with name, scale values and grid, the traces
// and the plot frame. Reads the view options in view.Options; writes the
// paint's outputs into `view` (DrawnRows, DrawnAnalogCount, DrawnSwitchCount,
// DrawnChannels, RowShare, RowShareStart, RowShareTotal, FirstTickTime) and
// may correct XPosition, and in some scopes BegDispChannel and CurrentLine.
// Nothing is drawn while the display data are not valid.
void PaintWaveform(platform::Canvas& canvas, const WaveformPaintInput& input, WaveViewState& view);

// The plot width at the printer's time scale: DisplayWidth x pixels per
// point / points per time unit / MaxMultiFreq, in 64 bits and in that
// order. Divisors below 1 count as 1; the width is kept within 0 .. 2^24 so
// that no pixel sum overflows.
int FixedScaleWidth(int32_t displayWidth, int64_t perPointPixels, int32_t perSampTimePoints, int32_t maxMultiFreq);

}  // namespace quelvar
