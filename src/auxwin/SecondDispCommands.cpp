#include "auxwin/SecondDispCommands.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <string>

namespace quelvar {

namespace {

constexpr int64_t kMaxXLargeStep = 65535;

}  // namespace

int32_t PresetDisplayWidth(int32_t dispPoints, int32_t k) {
  return std::max(dispPoints / std::max(k, 1), kMinXPointsPerScreen);
}

int32_t XLargeStep(int32_t displayWidth) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{displayWidth} * 9 / 10, 0, kMaxXLargeStep));
}

XWindow MarksWindow(const WaveViewState& view) {
  return RangeBetweenMarks(view.XPosition, view.DisplayWidth, view.Mark1X, view.Mark2X);
}

bool TakeXWindow(WaveViewState& view, const XWindow& window, int32_t dispValid, int32_t dispPoints) {
  if (dispValid == 0) return false;
  const XWindow bounded = BoundXWindowToData(window, dispPoints);
  view.XPosition = bounded.first;
  view.DisplayWidth = bounded.count;
  return true;
}

bool SecondDispRedrawDue(int32_t dispValid, int32_t repaintRequested, int32_t visible) {
  return dispValid == 1 && repaintRequested != 0 && visible != 0;
}

int32_t PointCountAnswer(const std::string& text, int32_t old) {
  try {
    size_t used = 0;
    const long long value = std::stoll(text, &used);
    if (used == text.size() && value >= INT32_MIN && value <= INT32_MAX) return static_cast<int32_t>(value);
  } catch (const std::exception&) {
    // Not a number: the count stays.
  }
  return old;
}

void CopyMarkKinds(const WaveViewState& from, WaveViewState& to) {
  to.MarkType1 = from.MarkType1;
  to.MarkType2 = from.MarkType2;
  to.MarkHarmonics1 = from.MarkHarmonics1;
  to.MarkHarmonics2 = from.MarkHarmonics2;
  to.MarkAlgorithm1 = from.MarkAlgorithm1;
  to.MarkAlgorithm2 = from.MarkAlgorithm2;
  to.MarkInc1 = from.MarkInc1;
  to.MarkInc2 = from.MarkInc2;
  to.MarkRatioN2 = from.MarkRatioN2;
  to.MarkRatioRN2 = from.MarkRatioRN2;
  to.MarkPeriodN2 = from.MarkPeriodN2;
  to.MarkAnalSpeedNumP1 = from.MarkAnalSpeedNumP1;
  to.MarkAnalSpeedNumP2 = from.MarkAnalSpeedNumP2;
  to.MarkAnalSpeedNumS1 = from.MarkAnalSpeedNumS1;
  to.MarkAnalSpeedNumS2 = from.MarkAnalSpeedNumS2;
  to.MarkAnalSpeedThresholdV = from.MarkAnalSpeedThresholdV;
  to.MarkAnalSpeedScale = from.MarkAnalSpeedScale;
  to.MarkSpeedUnit = from.MarkSpeedUnit;
}

}  // namespace quelvar
