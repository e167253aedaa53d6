#pragma once

#include <string>

#include "common/LiveConfig.h"
#include "common/TorqueTables.h"
#include "common/WaveViewState.h"

namespace quelvar {

// The four scale values of an analog row, at 2 and 4 display divisions
// above its centre line and 2 and 4 below (one division is 1 / YZoom volts
// of the full +-5 V): each a prefix, the value and the unit.
struct RowScaleTexts {
  std::string Up2, Up4, Down2, Down4;
};

// The scale values of `channel` in the view: in DC the centre line stands
// for YOffset x 2 / YZoom volts; in AC for 0 (-5 V for counter and raw-code
// channels, whose values are codes), with the offset coefficient dropped
// and the prefixes "Y0+" above and "Y0" below. Counter and raw-code values
// are codes divided by the pre-amplifier gain, with no decimals; the other
// types are engineering values with three. `plainVolts` labels a row of
// several channels of different kinds in volts ("v", A = 0, B = 1). A
// YZoom below 1 counts as 1.
RowScaleTexts AnalogScaleTexts(const LiveConfig& config, const TorqueTables& torque, const AnalogChannel& channel,
                               const WaveViewState& view, bool plainVolts);

}  // namespace quelvar
