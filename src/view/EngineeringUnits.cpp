#include "view/EngineeringUnits.h"

#include "view/SensorCharacteristics.h"

namespace quelvar {

namespace {

double CounterValue(const LiveConfig& config, double a, double b, double code) {
  // AmpGain is stored unsigned but means a signed divisor.
  const int16_t divisor = static_cast<int16_t>(config.AmpGain);
  if (divisor == 0) return a + b * code;
  return code * config.ChannelRate / divisor * b + a;
}

double PeriodValue(const LiveConfig& config, double a, double b, double code) {
  if (!(config.ChannelRate > 0.0f)) return a;
  return code / config.ChannelRate * b + a;
}

// Types that scale the code itself rather than its voltage.
bool WorksOnCode(int32_t type) {
  return type == kChannelCounter || type == kChannelPeriod || type < kChannelAC || type > kChannelTorque3 ||
         type == kChannelRawCode;
}

double CodeValue(const LiveConfig& config, int32_t type, double a, double b, double code) {
  if (type == kChannelCounter) return CounterValue(config, a, b, code);
  if (type == kChannelPeriod) return PeriodValue(config, a, b, code);
  return a + b * code;
}

// Types that work on the voltage.
double VoltageValue(const LiveConfig& config, const TorqueTables& torque, int32_t type, double a, double b,
                    double volts) {
  const double signal = a + b * volts;
  switch (type) {
    case kChannelKType:
      return KTypeVoltsToTemp(signal + KTypeTempToVolts(config.ColdJunctionTemp));
    case kChannelKTypeCompensated:
      return KTypeVoltsToTemp(signal);
    case kChannelJType:
      return JTypeVoltsToTemp(signal + JTypeTempToVolts(config.ColdJunctionTemp));
    case kChannelJTypeCompensated:
      return JTypeVoltsToTemp(signal);
    case kChannelPlatinum:
      return PtOhmsToTemp(signal);
    case kChannelTorque1:
      return TorqueCurve1(torque, volts) * b + a;
    case kChannelTorque2:
      return TorqueCurve2(torque, volts) * b + a;
    case kChannelTorque3:
      return TorqueCurve3(torque, volts) * b + a;
    default:  // AC and DC
      return signal;
  }
}

}  // namespace

bool IsTorqueChannelType(int32_t type) { return type >= kChannelTorque1 && type <= kChannelTorque3; }

double VoltsOfRaw(double raw, float vZero, float adMax) {
  const double span = static_cast<double>(adMax) - vZero;
  if (span == 0.0) return 0.0;
  return (raw - vZero) / span * 5.0;
}

double RawToEngineering(const LiveConfig& config, const TorqueTables& torque, const AnalogChannel& channel,
                        float raw) {
  const int32_t type = channel.ChnIDDC;
  if (WorksOnCode(type)) return CodeValue(config, type, channel.ChnCoeA, channel.ChnCoeB, raw);
  return VoltageValue(config, torque, type, channel.ChnCoeA, channel.ChnCoeB,
                      VoltsOfRaw(raw, config.VZero, config.ADMax));
}

double VoltsToEngineering(const LiveConfig& config, const TorqueTables& torque, const AnalogChannel& channel,
                          double volts) {
  const int32_t type = channel.ChnIDDC;
  if (WorksOnCode(type)) {
    const double code = (volts + 5.0) * 0.1 * config.ADMax;
    return CodeValue(config, type, channel.ChnCoeA, channel.ChnCoeB, code);
  }
  return VoltageValue(config, torque, type, channel.ChnCoeA, channel.ChnCoeB, volts);
}

}  // namespace quelvar
