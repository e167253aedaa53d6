#pragma once

#include <array>
#include <cstdint>

#include "common/DisplayData.h"
#include "common/LiveConfig.h"
#include "common/OscilToolSettings.h"
#include "common/SampleLayout.h"
#include "common/WaveViewState.h"
#include "platform/Canvas.h"

namespace quelvar {

// How a trace is coupled (OscilToolSettings.ACDC1, ACDC2).
enum class TraceCoupling : int32_t { AC = 0, DC = 1, Ground = 2, AutoRange = 3 };

// The oscilloscope's plot: x = Left .. Left + N, y = Top .. Top + H.
struct OscilloscopePlot {
  int Left = 4;
  int Top = 2;
  int N = 0;
  int H = 0;
};

// What the traces read.
struct OscilloscopeSource {
  const LiveConfig* Config = nullptr;
  const SampleLayout* Layout = nullptr;
  const DisplayDescriptor* Display = nullptr;
};

// One trace's settings, taken from the panel's record (trace 1 or 2).
struct OscilTrace {
  int32_t Channel = 0;  // analog channel, or Analog_Num + switch input
  bool On = false;
  TraceCoupling Coupling = TraceCoupling::DC;
  int32_t YOffset = 0;  // 0.002 V a step
  int32_t Gain = 1;
  bool Inverted = false;
};
OscilTrace OscilTraceOf(const OscilToolSettings& settings, int trace);

// Sum, lowest and highest code of a channel over the rows of the screen (the
// base word and, at a rate above 1, its extra sub-samples); Count words read.
struct TraceStatistics {
  double Mean = 0.0;
  uint16_t Min = 0;
  uint16_t Max = 0;
  int64_t Count = 0;
};
TraceStatistics WindowStatistics(const OscilloscopeSource& source, const WaveViewState& view, int32_t channel);

// Automatic range of a signal from `min` to `max`: a = ADMax / (max - min),
// or 1 when they are equal; the largest of the view's gains (kYZoomPresets)
// that a reaches (1 below 2), and its zoom step, its place 1 .. 11 there.
struct AutoRangeGain {
  int32_t Gain = 1;
  int32_t ZoomStep = 1;
};
AutoRangeGain AutoRangeOf(uint16_t min, uint16_t max, float adMax);

// Statistics and automatic range of both traces, before the labels: a trace
// on automatic range gets its gain, zoom step and a zero offset written into
// `settings`. Returns each trace's zero level (the code on its centre line):
// the mean (AC), the middle of the range (automatic), VZero or the counter
// and raw types' level (DC); `autoRanged` says which traces were rescaled.
std::array<double, 2> PrepareTraceLevels(const OscilloscopeSource& source, const WaveViewState& view,
                                         OscilToolSettings& settings, std::array<bool, 2>& autoRanged);

// Row (from Top) of code `code` on a trace with zero level `zero`, gain,
// offset position, pre-amp factor and inversion; kept within 1 .. H - 1.
int OscilTraceY(const OscilloscopePlot& plot, double code, double zero, int32_t gain, int32_t yOffset,
                double preAmp, bool inverted, float vZero, float adMax);

// Trace `trace` (1 or 2) in the canvas's pen: a ground line, an analog
// channel (single-rate rows or multi-rate sub-samples) or a switch input;
// after an analog trace, the stretch between the time markers when local
// zoom is on. Only points the data hold are drawn.
void DrawOscilloscopeTrace(platform::Canvas& canvas, const OscilloscopePlot& plot, const OscilloscopeSource& source,
                           const WaveViewState& view, const OscilToolSettings& settings, int trace, double zero);

// Whether the sum and difference traces can be drawn: both traces on and
// analog, trace 2 drawn (Analog_Num not 1), single-rate data.
bool CombinedTracesApply(const OscilloscopeSource& source, const OscilToolSettings& settings);

// The sum of the two traces, or with `difference` trace 1 minus trace 2, in
// the canvas's pen, over the plot's centre without zero levels or offsets.
void DrawCombinedTrace(platform::Canvas& canvas, const OscilloscopePlot& plot, const OscilloscopeSource& source,
                       const WaveViewState& view, const OscilToolSettings& settings, bool difference);

}  // namespace quelvar
