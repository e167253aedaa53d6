#pragma once

#include <cstdint>

#include "common/LiveConfig.h"
#include "common/TorqueTables.h"

namespace quelvar {

// Channel types (ChnIDDC) and what the conversion makes of them.
inline constexpr int32_t kChannelAC = 0;
inline constexpr int32_t kChannelDC = 1;
inline constexpr int32_t kChannelCounter = 2;
inline constexpr int32_t kChannelRawCode = 3;
inline constexpr int32_t kChannelKType = 4;
inline constexpr int32_t kChannelKTypeCompensated = 5;
inline constexpr int32_t kChannelJType = 6;
inline constexpr int32_t kChannelJTypeCompensated = 7;
inline constexpr int32_t kChannelPlatinum = 8;
inline constexpr int32_t kChannelPeriod = 9;
inline constexpr int32_t kChannelTorque1 = 10;
inline constexpr int32_t kChannelTorque2 = 11;
inline constexpr int32_t kChannelTorque3 = 12;
// The product of two other channels, whose numbers ChnCoeA and ChnCoeB hold.
inline constexpr int32_t kChannelTorquePower = 13;

bool IsTorqueChannelType(int32_t type);

// Volts of a raw AD code: (raw - VZero) / (ADMax - VZero) x 5; 0 V when the
// card description has no span (ADMax equal to VZero).
double VoltsOfRaw(double raw, float vZero, float adMax);

// The engineering value of a raw AD code by the channel's type and its
// coefficients A (ChnCoeA) and B (ChnCoeB). Reads VZero, ADMax, AmpGain (as
// a signed divisor of counters), ChannelRate and ColdJunctionTemp. A divisor
// of zero (AmpGain 0, a rate not above 0) drops the term it divides.
double RawToEngineering(const LiveConfig& config, const TorqueTables& torque, const AnalogChannel& channel, float raw);

// The same for a voltage, as the axis labels know their graduations. Types
// that work on the code first take the code of the voltage,
// (v + 5) x 0.1 x ADMax, which maps -5 V to 0 and +5 V to ADMax.
double VoltsToEngineering(const LiveConfig& config, const TorqueTables& torque, const AnalogChannel& channel,
                          double volts);

}  // namespace quelvar
