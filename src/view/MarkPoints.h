#pragma once

#include <cstdint>

#include "common/DisplayData.h"

namespace quelvar {

// Where a mark stands in the display data. A mark at screen point p (1-based)
// has the window index i = XPosition + p - 1 (0-based, from the first point
// of the oldest block).
struct MarkPoint {
  // The display point whose samples the mark reads, counted from the first
  // row of DispData: i plus the oldest block's offset, wrapped into
  // 0 .. DispPoints - 1 (0 while there are no points).
  int64_t BufferPoint = 0;
  // The mark's place on the time axis in points at MaxChannelRate: i itself,
  // or inside the compressed part the middle of the samples its point stands
  // for.
  int64_t TimeIndex = 0;
  // Where time 0 (the trigger) lies on the same axis.
  int64_t Origin = 0;
  // The mark lies in the compressed part (only the instantaneous and mean
  // values mean anything there).
  bool InCompressedPart = false;
};

MarkPoint MapMarkPoint(const DisplayDescriptor& display, int32_t numSamp, int32_t maxMultiFreq, int64_t windowIndex);

// Seconds from the time origin to the mark; 0 while no rate is known.
double MarkSeconds(const MarkPoint& point, float maxChannelRate);

}  // namespace quelvar
