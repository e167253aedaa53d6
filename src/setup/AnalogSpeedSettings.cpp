#include "setup/AnalogSpeedSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "common/NumberFormat.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

constexpr int kPrecision = 7;
constexpr double kFullScaleVolts = 5.0;

bool IsMarkOne(int mark) { return mark == 1; }

int32_t Truncated(float value) {
  if (!(std::fabs(value) < 2147483647.0f)) return value > 0 ? INT32_MAX : INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace

AnalogSpeedEdits AnalogSpeedEditsOf(const WaveViewState& view, int mark) {
  const bool one = IsMarkOne(mark);
  return {std::to_string(one ? view.MarkAnalSpeedNumP1 : view.MarkAnalSpeedNumP2),
          std::to_string(one ? view.MarkAnalSpeedNumS1 : view.MarkAnalSpeedNumS2),
          std::to_string(view.MarkAnalSpeedThresholdV), FormatFixed(view.MarkAnalSpeedScale, kPrecision, 2),
          view.MarkSpeedUnit};
}

void ApplyAnalogSpeedEdits(const AnalogSpeedEdits& edits, float vZero, float adMax, int mark, WaveViewState& view) {
  const bool one = IsMarkOne(mark);
  int32_t& periods = one ? view.MarkAnalSpeedNumP1 : view.MarkAnalSpeedNumP2;
  int32_t& points = one ? view.MarkAnalSpeedNumS1 : view.MarkAnalSpeedNumS2;
  periods = std::max(ParseDialogInteger(edits.NumP).value_or(periods), 1);
  points = std::max(ParseDialogInteger(edits.NumS).value_or(points), 1);
  int32_t threshold = ParseDialogInteger(edits.ThresholdV).value_or(view.MarkAnalSpeedThresholdV);
  if (threshold < vZero) {
    threshold = Truncated(vZero);
  } else if (threshold > adMax) {
    threshold = Truncated(adMax);
  }
  view.MarkAnalSpeedThresholdV = threshold;
  // A scale beyond a float's range would make every speed infinite.
  const double scale = ParseDialogReal(edits.Scale).value_or(1.0);
  view.MarkAnalSpeedScale = std::fabs(scale) <= 3.4e38 ? static_cast<float>(scale) : 1.0f;
  view.MarkSpeedUnit = edits.Units;
}

std::string ThresholdVoltText(const std::string& threshold, float vZero, float adMax) {
  int32_t code = ParseDialogInteger(threshold).value_or(Truncated(vZero));
  code = std::max(code, 0);
  if (code > adMax) code = Truncated(adMax);
  const double span = static_cast<double>(adMax) - vZero;
  // Without a span between the zero and full-scale codes there is no voltage.
  const double volts = span == 0.0 ? 0.0 : (code - static_cast<double>(vZero)) / span * kFullScaleVolts;
  return "等价电压" + FormatFixed(volts, kPrecision, 1) + "V";
}

}  // namespace quelvar
