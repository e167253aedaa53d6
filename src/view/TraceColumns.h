#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/WaveViewState.h"

namespace quelvar {

struct TraceData;

// Every word's column extremes of one screen, gathered in a single pass over
// the matrix rows for all channels at once. On a screen of many points per
// pixel column a trace drawn alone reads one word of every row, so each
// channel would pull the whole window through the memory again: 64 channels
// of 10^6 points cost tens of times more than this one pass. A paint gathers
// once, before its traces (the samples must not change in between), and
// hands the result to each of them. Only single-rate data with reduced
// columns are gathered; a trace of anything else reads the rows itself.
class TraceColumns {
 public:
  // The points XPosition .. XPosition + DisplayWidth - 1 that exist, on a
  // plot `width` (N) pixels wide; also the sums for the mean with the AC
  // display (IDDC 0). `threads` splits the columns among that many threads
  // (0: as many as the screen's size is worth); the result is the same.
  void Gather(const TraceData& data, const WaveViewState& view, int width, int threads = 0);
  // Threads worth starting to gather `values` words (rows x row words).
  static int GatherThreads(int64_t values);
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
  // Columns begin .. end - 1, whose points run from starts[k] to
  // starts[k + 1]; the analog words' sums added to `sums`.
  void GatherColumns(const std::vector<int64_t>& starts, size_t begin, size_t end, uint64_t* sums);

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
  // Column x word each, in one allocation that a later Gather reuses.
  std::unique_ptr<uint16_t[]> values_;
  size_t valuesPerKind_ = 0;
  uint16_t* low_ = nullptr;
  uint16_t* high_ = nullptr;
  uint16_t* first_ = nullptr;
  uint16_t* last_ = nullptr;
  std::vector<uint64_t> sum_;  // per word
};

}  // namespace quelvar
