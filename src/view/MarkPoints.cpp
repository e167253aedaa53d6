#include "view/MarkPoints.h"

#include <algorithm>

#include "view/DisplayReading.h"

namespace quelvar {

MarkPoint MapMarkPoint(const DisplayDescriptor& display, int32_t numSamp, int32_t maxMultiFreq, int64_t windowIndex) {
  const int32_t multi = std::max(maxMultiFreq, 1);
  MarkPoint m;
  const int64_t points = display.DispPoints;
  if (points > 0) {
    // Reduced fully: a descriptor or window more than one turn away still
    // names a point of the data.
    const int64_t shift = (int64_t{display.DispFirstBlock} * numSamp % points) * multi % points;
    int64_t b = (windowIndex % points + shift) % points;
    if (b < 0) b += points;
    m.BufferPoint = b;
  }
  const int64_t compressedStart = CompressedStartPoint(display, numSamp, multi);
  m.InCompressedPart = display.DispCompressed == 1 && windowIndex >= compressedStart;
  m.TimeIndex = SamplePositionOfPoint(display, compressedStart, windowIndex);
  m.Origin = TimeOriginPoint(display, numSamp, multi);
  return m;
}

double MarkSeconds(const MarkPoint& point, float maxChannelRate) {
  if (!(maxChannelRate > 0.0f)) return 0.0;
  return static_cast<double>(point.TimeIndex - point.Origin) / maxChannelRate;
}

}  // namespace quelvar
