#pragma once

#include <cstdint>
#include <vector>

#include "common/DisplayData.h"
#include "common/LiveConfig.h"
#include "common/SampleLayout.h"
#include "common/WaveViewState.h"
#include "platform/Canvas.h"

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

class TraceColumns;

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

// Every word's column extremes of one screen, gathered in a single pass over
// the matrix rows for all channels at once. On a screen of many points per
// pixel column a trace drawn alone reads one word of every row, so each
// channel would pull the whole window through the memory again: 64 channels
// of 10^6 points cost tens of times more than this one pass. A paint gathers
// once, before its traces (the samples must not change in between), and
// hands the result to each of them. Only
// single-rate data with reduced columns are gathered; a trace of anything
// else reads the rows itself.
class TraceColumns {
 public:
  // The points XPosition .. XPosition + DisplayWidth - 1 that exist, on a
  // plot `width` (N) pixels wide; also the sums for the mean with the AC
  // display (IDDC 0).
  void Gather(const TraceData& data, const WaveViewState& view, int width);
  // Whether word `word` of this screen was gathered, as an analog word
  // (below AnalogNum) or a switch word.
  bool Holds(const TraceData& data, const WaveViewState& view, int width, int32_t word, bool switchWord) const;

  // Of gathered column `column` (0 = the leftmost with a point), word `word`.
  // An analog word's lowest and highest code, a switch word's bits set in
  // every point (AND) and in any point (OR); the word at the column's first
  // and last point.
  struct Extremes {
    uint16_t low = 0;
    uint16_t high = 0;
    uint16_t first = 0;
    uint16_t last = 0;
  };
  int32_t Columns() const { return static_cast<int32_t>(pixelColumn_.size()); }
  // Its pixel column: x - Left.
  int32_t PixelColumn(int32_t column) const { return pixelColumn_[static_cast<size_t>(column)]; }
  Extremes At(int32_t column, int32_t word) const;
  // Sum of the word over every point gathered (AC display only, else 0).
  uint64_t Sum(int32_t word) const;
  int64_t Points() const { return points_; }

 private:
  // What the columns were gathered from, to refuse another screen's traces.
  const uint16_t* matrix_ = nullptr;
  int32_t rows_ = 0;
  int32_t rowWords_ = 0;
  int32_t analogWords_ = 0;
  int64_t firstMatrixRow_ = 0;
  int32_t xPosition_ = 0;
  int32_t displayWidth_ = 0;
  int width_ = 0;
  bool sums_ = false;
  bool gathered_ = false;

  int64_t points_ = 0;
  std::vector<int32_t> pixelColumn_;
  std::vector<uint16_t> low_, high_, first_, last_;  // column x word
  std::vector<uint64_t> sum_;                        // per word
};

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
