#pragma once

#include <algorithm>
#include <cstdint>

#include "common/ConfigBounds.h"
#include "common/WaveViewState.h"
#include "view/WaveTraces.h"

// Which points of the display data a screen of traces shows: shared by the
// traces and the gathered columns, so both take the same points. Internal to
// the traces.

namespace quelvar::traces {

inline int64_t FloorDivision(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

inline int64_t CeilDivision(int64_t a, int64_t b) { return -FloorDivision(-a, b); }

// The plot's view of the data: points XPosition .. XPosition + DisplayWidth - 1
// of which only 0 .. DispPoints - 1 exist.
struct TraceWindow {
  int64_t first = 0;  // XPosition
  int64_t width = 1;  // DisplayWidth, at least 1
  int32_t maxMultiFreq = 1;
  int64_t points = 0;  // display points that exist
};

inline TraceWindow TraceWindowOf(const TraceData& data, const WaveViewState& view) {
  TraceWindow window;
  window.first = view.XPosition;
  window.width = std::max(view.DisplayWidth, 1);
  window.maxMultiFreq = data.Layout != nullptr ? std::clamp(data.Layout->MaxMultiFreq, 1, kMaxMultiFreq) : 1;
  if (data.Display != nullptr) {
    const int64_t rows = std::max(data.Display->DispRows, 0);
    window.points = std::clamp<int64_t>(data.Display->DispPoints, 0, rows * window.maxMultiFreq);
  }
  return window;
}

// The screen points j0 .. j1 - 1 that exist (0 <= XPosition + j < points).
struct ScreenRange {
  int64_t j0 = 0;
  int64_t j1 = 0;
};

inline ScreenRange ExistingScreenPoints(const TraceWindow& window) {
  ScreenRange range;
  range.j0 = std::clamp<int64_t>(-window.first, 0, window.width);
  range.j1 = std::clamp<int64_t>(window.points - window.first, range.j0, window.width);
  return range;
}

}  // namespace quelvar::traces
