#pragma once

#include <string>

#include "common/WaveViewState.h"

namespace quelvar {

// The analog-speed dialog's edits as texts, filled from and read back into
// the view state of mark `mark` (1, else 2). The threshold, scale and unit
// are shared by both marks.
struct AnalogSpeedEdits {
  std::string NumP;        // pulse periods of an analog channel's reading
  std::string NumS;        // sample points of a counter channel's reading
  std::string ThresholdV;  // the pulse's mid level, an AD code
  std::string Scale;       // factor from frequency to speed
  std::string Units;       // the speed's unit
};

AnalogSpeedEdits AnalogSpeedEditsOf(const WaveViewState& view, int mark);

// Reads the edits back: a count that is no integer keeps its value and is at
// least 1; a threshold that is no integer keeps its value and is brought
// into VZero..ADMax (each truncated); a scale that is no number is 1.0; the
// unit is taken as typed.
void ApplyAnalogSpeedEdits(const AnalogSpeedEdits& edits, float vZero, float adMax, int mark, WaveViewState& view);

// The dialog's read-out of a typed threshold: "等价电压" + volts with one
// decimal + "V". A text that is no integer reads as the zero code; the code
// is brought into 0..ADMax.
std::string ThresholdVoltText(const std::string& threshold, float vZero, float adMax);

}  // namespace quelvar
