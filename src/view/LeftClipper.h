#pragma once

#include <cstdint>

#include "view/WaveTraces.h"

namespace quelvar {

// Feeds the polyline with samples in order, moving a first sample that lies
// left of the plot onto the left edge along its segment to the next one.
class LeftClipper {
 public:
  LeftClipper(TracePolyline& line, int left) : line_(line), left_(left) {}
  void Add(int x, int y) {
    if (!seenInside_) {
      if (x < left_) {
        pending_ = true;
        px_ = x;
        py_ = y;
        return;
      }
      seenInside_ = true;
      if (pending_) {
        const int64_t yc = py_ + (static_cast<int64_t>(y) - py_) * (left_ - px_) / (static_cast<int64_t>(x) - px_);
        line_.Add(left_, static_cast<int>(yc));
      }
    }
    line_.Add(x, y);
  }

 private:
  TracePolyline& line_;
  int left_;
  bool seenInside_ = false;
  bool pending_ = false;
  int px_ = 0;
  int py_ = 0;
};

}  // namespace quelvar
