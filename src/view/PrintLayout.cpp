#include "view/PrintLayout.h"

#include <algorithm>
#include <cmath>

namespace quelvar {

namespace {
constexpr double kInchesPerCentimetre = 0.39370078740157;
constexpr double kLongestLength = 1 << 30;
}  // namespace

double PixelsPerCentimetre(int pixelsPerInchX) { return std::max(pixelsPerInchX, 1) * kInchesPerCentimetre; }

int32_t CentimetresToPixels(double cm, double pixelsPerCentimetre) {
  const double pixels = cm * pixelsPerCentimetre;
  if (!(pixels > 0)) return 0;  // also NaN
  return static_cast<int32_t>(std::min(pixels, kLongestLength));
}

int32_t PerSampTimePointsFor(double perSampTimeMs, double channelRate) {
  const double points = perSampTimeMs * channelRate * 0.001 + 0.5;
  if (!(points >= 1)) return 1;
  return static_cast<int32_t>(std::min(points, kLongestLength));
}

int32_t FixedScalePrintableWidth(int32_t pageWidth, int32_t leftMargin, int32_t rightMargin,
                                 int32_t scaleAllowance) {
  const int64_t width = int64_t{pageWidth} - leftMargin - rightMargin - scaleAllowance;
  return static_cast<int32_t>(std::clamp<int64_t>(width, 10, INT32_MAX));
}

int32_t FixedScalePagePoints(int32_t printableWidth, int32_t perSampTimePoints, int32_t perPointCMPixels) {
  const int64_t points = int64_t{printableWidth} * std::max(perSampTimePoints, 1) / std::max(perPointCMPixels, 1);
  return static_cast<int32_t>(std::clamp<int64_t>(points, 1, INT32_MAX));
}

int32_t FixedScalePageCount(int64_t displayWidth, int32_t pagePoints) {
  const int64_t p = std::max(pagePoints, 1);
  const int64_t low = (displayWidth + p - 1) / p;
  if (low <= 0) return 1;
  const int64_t high = (displayWidth * 10 / 9 + p) / p;
  const int64_t step = p * 9 / 10;
  // The fewest pages whose overlapping steps reach W, found directly: a
  // page of one point has no step, and then only the upper bound ends it.
  int64_t needed = 1;
  if (displayWidth > p) needed = step > 0 ? 1 + (displayWidth - p + step - 1) / step : high;
  const int64_t n = std::min(std::max(needed, low), high);
  return static_cast<int32_t>(std::min<int64_t>(n, INT32_MAX));
}

}  // namespace quelvar
