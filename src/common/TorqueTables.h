#pragma once

#include <array>

namespace quelvar {

// Points of each torque sensor's calibration curve.
inline constexpr int kTorqueCurvePoints = 21;

using TorqueCurveTable = std::array<double, kTorqueCurvePoints>;

// -10, -9, ..., 10: every curve starts as the identity until it is calibrated.
constexpr TorqueCurveTable IdentityTorqueTable() {
  TorqueCurveTable t{};
  for (int i = 0; i < kTorqueCurvePoints; ++i) t[i] = i - 10.0;
  return t;
}

// The volts-to-torque curves of the three torque sensors: the volts of the
// points (strictly increasing once calibrated) and the torque at each. Edited
// by the torque calibration window, read by the engineering-unit conversion.
struct TorqueTables {
  TorqueCurveTable TorqueVTableT1 = IdentityTorqueTable();
  TorqueCurveTable TorqueTableT1 = IdentityTorqueTable();
  TorqueCurveTable TorqueVTableT2 = IdentityTorqueTable();
  TorqueCurveTable TorqueTableT2 = IdentityTorqueTable();
  TorqueCurveTable TorqueVTableT3 = IdentityTorqueTable();
  TorqueCurveTable TorqueTableT3 = IdentityTorqueTable();
};

}  // namespace quelvar
