#pragma once

#include <cstdint>

#include "common/DisplayData.h"
#include "common/LiveConfig.h"
#include "common/SampleLayout.h"
#include "common/WaveViewState.h"
#include "platform/Canvas.h"
#include "view/TraceColumns.h"

namespace quelvar {

// Where one row's traces go: the plot's left edge and width (x runs from
// Left to Left + N), the row's centre line (top + Yr, before truncation) and
// the row's height Hr.
struct TraceRow {
  int Left = 4;
  int N = 0;
  double CentreY = 0.0;
  int Height = 0;
};

// What a trace reads: the display data and how a row is laid out, and the
// card's zero and full-scale codes.
struct TraceData {
  const DisplayDescriptor* Display = nullptr;
  const SampleLayout* Layout = nullptr;
  int32_t NumSamp = 0;
  int32_t AnalogNum = 0;
  float VZero = 2048.0f;
  float ADMax = 4095.0f;
};

// A channel's pre-amplifier gain as the drawing uses it: a gain of 0, below
// 0 or not finite counts as 1, so nothing divides by it or flips the trace.
double EffectivePreAmp(float chnPreAmp);

// The analog channel `channelNumber` (its record `channel`) over the view's
// points XPosition .. XPosition + DisplayWidth - 1, with the view's gain,
// offset and DC/AC choice, in the canvas's current pen. Multi-rate channels
// draw every sub-sample of the range; a sub-sample left of the plot is
// clipped at its left edge. Points before the first point of the data (a
// screen wider than the data) are not drawn. `columns`, when it holds this
// screen's columns, saves the trace its own pass over the rows.
void DrawAnalogTrace(platform::Canvas& canvas, const TraceData& data, const TraceRow& row,
                     const WaveViewState& view, const AnalogChannel& channel, int32_t channelNumber,
                     const TraceColumns* columns = nullptr);

// Switch input `switchInput`: a set bit at CentreY - 0.4 Height, a clear one
// at CentreY + 0.4 Height, one value per matrix row.
void DrawSwitchTrace(platform::Canvas& canvas, const TraceData& data, const TraceRow& row,
                     const WaveViewState& view, int32_t switchInput, const TraceColumns* columns = nullptr);

// Joins a trace's samples, left to right. With more than two samples per
// pixel column each column becomes one vertical line over its extremes (both
// end pixels painted) plus the joins between columns, so the cost follows
// the plot's width, not the data.
class TracePolyline {
 public:
  // `samples`: how many points the trace will add; `width`: the plot's N.
  TracePolyline(platform::Canvas& canvas, int64_t samples, int width);
  void Add(int x, int y);
  // Closes an open column; also done by the destructor.
  void Finish();
  ~TracePolyline();
  TracePolyline(const TracePolyline&) = delete;
  TracePolyline& operator=(const TracePolyline&) = delete;

  bool ReducesColumns() const { return columns_; }

 private:
  platform::Canvas& canvas_;
  bool columns_ = false;
  bool started_ = false;
  bool columnOpen_ = false;
  int x_ = 0;
  int lastY_ = 0;
  int low_ = 0;
  int high_ = 0;
};

}  // namespace quelvar
