#pragma once

#include <array>
#include <cstdint>

#include "common/TorqueTables.h"

namespace quelvar {

// The sensor characteristics behind the engineering values: K and J
// thermocouples, the platinum resistance thermometer (100 ohms at 0 degC) and
// the three torque curves. Constant tables, binary search, no allocation.

inline constexpr int kKTypeEmfEntries = 143;
inline constexpr int kPtOhmEntries = 360;

// K thermocouple emf in mV; entry k is (k - 5) x 10 degC: -50 .. 1370 degC.
extern const std::array<double, kKTypeEmfEntries> KTypeEmfTable;
// Platinum sensor resistance in ohms; entry k is k - 110 degC: -110 .. 249 degC.
extern const std::array<double, kPtOhmEntries> PtOhmTable;

// Binary search of an ascending table of n >= 2 entries: the index i
// (1 .. n - 1) of the segment from entry i - 1 to entry i that x falls in;
// 1 below the table, n - 1 at or above entry n - 2. A NaN gives 1.
int32_t TableSearch(const double* table, double x, int32_t n);

// The straight line through (x0, y0) and (x1, y1) at x, also beyond the
// segment. A segment without width (only from a damaged table) gives y0.
double SegmentValue(double x0, double y0, double x1, double y1, double x);

// The emf is clamped to the table, so the temperature stays in -50..1370 degC.
double KTypeVoltsToTemp(double volts);
// The temperature is clamped to -50..1370 degC. Its segment is chosen by the
// temperature truncated toward zero, so a negative temperature that is not a
// multiple of 10 uses the segment above it, extended.
double KTypeTempToVolts(double degC);

// The J type is the straight line of 1/30000 V per degC, not clamped.
double JTypeVoltsToTemp(double volts);
double JTypeTempToVolts(double degC);

// The resistance is clamped to the table, so the temperature stays in
// -110..249 degC; the inverse clamps the temperature to that range and, like
// the K type, picks its segment by the temperature truncated toward zero.
double PtOhmsToTemp(double ohms);
double PtTempToOhms(double degC);

// y of a 21-point curve at x: the segment is found with x limited to the
// table's ends, then evaluated at x itself, so the end segments are extended
// and the torque is not clamped.
double TorqueCurveLookup(double x, const TorqueCurveTable& xs, const TorqueCurveTable& ys);
double TorqueCurve1(const TorqueTables& tables, double volts);
double TorqueCurve2(const TorqueTables& tables, double volts);
double TorqueCurve3(const TorqueTables& tables, double volts);

}  // namespace quelvar
