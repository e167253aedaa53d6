#include "setup/CalibrationFit.h"

#include <algorithm>
#include <cmath>

#include "view/EngineeringUnits.h"
#include "view/SensorCharacteristics.h"

namespace quelvar {

std::optional<SnapshotReading> ReadSnapshotChannel(const uint16_t* block, int32_t rows, int32_t wordsPerRow,
                                                   int32_t channel, int32_t points, int32_t type,
                                                   const LiveConfig& config) {
  if (block == nullptr || rows <= 0 || channel < 0 || channel >= wordsPerRow) return std::nullopt;
  const int32_t n = std::clamp(points, 1, rows);
  const int64_t firstRow = rows - n;
  auto sample = [&](int32_t k) { return block[(firstRow + k) * int64_t{wordsPerRow} + channel]; };
  int64_t sum = 0;
  for (int32_t k = 0; k < n; ++k) sum += sample(k);
  const double mean = static_cast<double>(sum) / n;
  SnapshotReading reading;
  reading.meanVolts = VoltsOfRaw(mean, config.VZero, config.ADMax);
  const double span = static_cast<double>(config.ADMax) - static_cast<double>(config.VZero);
  switch (type) {
    case kChannelAC: {
      const double omega = 2.0 * (4.0 * std::atan(1.0)) / n;
      double c = 0.0, q = 0.0;
      for (int32_t k = 0; k < n; ++k) {
        c += static_cast<double>(sample(k)) * std::cos((n - k) * omega);
        q += static_cast<double>(sample(k)) * std::sin((n - k) * omega);
      }
      // A card without a span reads 0 V, as every voltage of it does.
      reading.value = span == 0.0 ? 0.0 : std::sqrt((c * c + q * q) / 2.0) * 5.0 * 2.0 / (span * n);
      break;
    }
    case kChannelCounter: {
      const int16_t divisor = static_cast<int16_t>(config.AmpGain);  // stored unsigned, meant signed
      reading.value = divisor == 0 ? mean
                                   : static_cast<double>(sum) * static_cast<double>(config.ChannelRate) / n / divisor;
      break;
    }
    case kChannelRawCode: reading.value = mean; break;
    default: reading.value = reading.meanVolts; break;
  }
  return reading;
}

CalibrationCoefficients FitACChannel(double measured, double target, double meanVolts) {
  CalibrationCoefficients k;
  k.B = measured == 0.0 ? 1.0 : target / measured;
  k.A = -meanVolts * k.B;
  return k;
}

CalibrationCoefficients FitTwoPointChannel(int32_t type, double measured1, double target1, double measured2,
                                           double target2, double coldJunctionTemp, const TorqueTables& torque) {
  double v1 = measured1, v2 = measured2, t1 = target1, t2 = target2;
  auto targets = [&](double (*f)(double), bool lessColdJunction) {
    const double cold = lessColdJunction ? f(coldJunctionTemp) : 0.0;
    t1 = f(t1) - cold;
    t2 = f(t2) - cold;
  };
  auto readings = [&](double (*f)(const TorqueTables&, double)) {
    v1 = f(torque, v1);
    v2 = f(torque, v2);
  };
  switch (type) {
    case kChannelKType: targets(KTypeTempToVolts, true); break;
    case kChannelKTypeCompensated: targets(KTypeTempToVolts, false); break;
    case kChannelJType: targets(JTypeTempToVolts, true); break;
    case kChannelJTypeCompensated: targets(JTypeTempToVolts, false); break;
    case kChannelPlatinum: targets(PtTempToOhms, false); break;
    case kChannelTorque1: readings(TorqueCurve1); break;
    case kChannelTorque2: readings(TorqueCurve2); break;
    case kChannelTorque3: readings(TorqueCurve3); break;
    default: break;
  }
  if (v1 == v2) return {};
  CalibrationCoefficients k;
  k.B = (t1 - t2) / (v1 - v2);
  k.A = t1 - k.B * v1;
  return k;
}

}  // namespace quelvar
