#include "view/SensorCharacteristics.h"

#include <algorithm>
#include <cmath>

namespace quelvar {

// Rows of ten entries, 10 degC apart.
const std::array<double, kKTypeEmfEntries> KTypeEmfTable = {
    -1.86, -1.5, -1.14, -0.77, -0.39, 0, 0.4, 0.8, 1.2, 1.61,  // from -50 degC
    2.02, 2.43, 2.85, 3.26, 3.68, 4.1, 4.51, 4.92, 5.33, 5.73,  // from 50 degC
    6.13, 6.53, 6.93, 7.33, 7.73, 8.13, 8.53, 8.93, 9.34, 9.74,  // from 150 degC
    10.15, 10.56, 10.97, 11.38, 11.8, 12.21, 12.62, 13.04, 13.45, 13.87,  // from 250 degC
    14.3, 14.72, 15.14, 15.56, 15.98, 16.4, 16.83, 17.25, 17.67, 18.09,  // from 350 degC
    18.51, 18.94, 19.37, 19.79, 20.22, 20.65, 21.08, 21.5, 21.93, 22.35,  // from 450 degC
    22.78, 23.21, 23.63, 24.05, 24.48, 24.9, 25.32, 25.75, 26.18, 26.6,  // from 550 degC
    27.03, 27.45, 27.87, 28.29, 28.71, 29.13, 29.55, 29.97, 30.39, 30.81,  // from 650 degC
    31.22, 31.64, 32.06, 32.46, 32.87, 33.29, 33.69, 34.1, 34.51, 34.91,  // from 750 degC
    35.32, 35.72, 36.13, 36.53, 36.93, 37.33, 37.73, 38.13, 38.53, 38.93,  // from 850 degC
    39.32, 39.72, 40.1, 40.49, 40.88, 41.27, 41.66, 42.04, 42.43, 42.83,  // from 950 degC
    43.21, 43.59, 43.97, 44.34, 44.72, 45.1, 45.48, 45.85, 46.23, 46.6,  // from 1050 degC
    46.97, 47.34, 47.71, 48.08, 48.44, 48.81, 49.17, 49.53, 49.89, 50.25,  // from 1150 degC
    50.61, 50.96, 51.32, 51.67, 52.02, 52.36, 52.747, 53.093, 53.439, 53.782,  // from 1250 degC
    54.125, 54.466, 54.807,  // from 1350 degC
};

// Rows of ten entries, 1 degC apart.
const std::array<double, kPtOhmEntries> PtOhmTable = {
    56.20, 56.60, 57.00, 57.41, 57.82, 58.22, 58.63, 59.04, 59.44, 59.85,  // from -110 degC
    60.25, 60.66, 61.06, 61.47, 61.87, 62.28, 62.68, 63.09, 63.49, 63.90,  // from -100 degC
    64.30, 64.70, 65.11, 65.51, 65.91, 66.31, 66.72, 67.12, 67.52, 67.92,  // from -90 degC
    68.33, 68.73, 69.13, 69.53, 69.93, 70.33, 70.73, 71.13, 71.53, 71.93,  // from -80 degC
    72.33, 72.73, 73.13, 73.53, 73.93, 74.33, 74.73, 75.13, 75.53, 75.93,  // from -70 degC
    76.33, 76.73, 77.13, 77.52, 77.92, 78.32, 78.72, 79.11, 79.51, 79.91,  // from -60 degC
    80.31, 80.70, 81.10, 81.50, 81.89, 82.29, 82.69, 83.08, 83.48, 83.88,  // from -50 degC
    84.27, 84.67, 85.06, 85.46, 85.85, 86.25, 86.64, 87.04, 87.43, 87.83,  // from -40 degC
    88.22, 88.62, 89.01, 89.40, 89.80, 90.19, 90.59, 90.98, 91.37, 91.77,  // from -30 degC
    92.16, 92.55, 92.95, 93.34, 93.73, 94.12, 94.52, 94.91, 95.30, 95.69,  // from -20 degC
    96.09, 96.48, 96.87, 97.26, 97.65, 98.04, 98.44, 98.83, 99.22, 99.61,  // from -10 degC
    100.00, 100.39, 100.78, 101.17, 101.56, 101.95, 102.34, 102.73, 103.12, 103.51,  // from 0 degC
    103.90, 104.29, 104.68, 105.07, 105.46, 105.85, 106.24, 106.63, 107.02, 107.40,  // from 10 degC
    107.79, 108.18, 108.57, 108.96, 109.35, 109.73, 110.12, 110.51, 110.90, 111.29,  // from 20 degC
    111.67, 112.06, 112.45, 112.83, 113.22, 113.61, 114.00, 114.38, 114.77, 115.15,  // from 30 degC
    115.54, 115.93, 116.31, 116.70, 117.08, 117.47, 117.86, 118.24, 118.63, 119.01,  // from 40 degC
    119.40, 119.78, 120.17, 120.55, 120.94, 121.32, 121.71, 122.09, 122.47, 122.86,  // from 50 degC
    123.24, 123.63, 124.01, 124.39, 124.78, 125.16, 125.54, 125.93, 126.31, 126.69,  // from 60 degC
    127.08, 127.46, 127.84, 128.22, 128.61, 128.99, 129.37, 129.75, 130.13, 130.52,  // from 70 degC
    130.90, 131.28, 131.66, 132.04, 132.42, 132.80, 133.18, 133.57, 133.95, 134.33,  // from 80 degC
    134.71, 135.09, 135.47, 135.85, 136.23, 136.61, 136.99, 137.37, 137.75, 138.13,  // from 90 degC
    138.51, 138.88, 139.26, 139.64, 140.02, 140.40, 140.78, 141.16, 141.54, 141.91,  // from 100 degC
    142.29, 142.67, 143.05, 143.43, 143.80, 144.18, 144.56, 144.94, 145.31, 145.69,  // from 110 degC
    146.07, 146.44, 146.82, 147.20, 147.57, 147.95, 148.33, 148.70, 149.08, 149.46,  // from 120 degC
    149.83, 150.21, 150.58, 150.96, 151.33, 151.71, 152.08, 152.46, 152.83, 153.21,  // from 130 degC
    153.58, 153.96, 154.33, 154.71, 155.08, 155.46, 155.83, 156.20, 156.58, 156.95,  // from 140 degC
    157.33, 157.70, 158.07, 158.45, 158.82, 159.19, 159.56, 159.94, 160.31, 160.68,  // from 150 degC
    161.05, 161.43, 161.80, 162.17, 162.54, 162.91, 163.29, 163.66, 164.03, 164.40,  // from 160 degC
    164.77, 165.14, 165.51, 165.89, 166.26, 166.63, 167.00, 167.37, 167.74, 168.11,  // from 170 degC
    168.48, 168.85, 169.22, 169.59, 169.96, 170.33, 170.70, 171.07, 171.43, 171.80,  // from 180 degC
    172.17, 172.54, 172.91, 173.28, 173.65, 174.02, 174.38, 174.75, 175.12, 175.40,  // from 190 degC
    175.86, 176.22, 176.59, 176.96, 177.33, 177.69, 178.06, 178.43, 178.79, 179.10,  // from 200 degC
    179.51, 179.88, 180.24, 180.61, 180.97, 181.34, 181.71, 182.07, 182.44, 182.80,  // from 210 degC
    183.17, 183.53, 183.90, 184.26, 184.63, 184.99, 185.36, 185.72, 186.09, 186.45,  // from 220 degC
    186.82, 187.18, 187.54, 187.91, 188.27, 188.63, 189.00, 189.36, 189.72, 190.09,  // from 230 degC
    190.45, 190.81, 191.18, 191.54, 191.90, 192.26, 192.63, 192.99, 193.35, 193.71,  // from 240 degC
};

namespace {

// Temperatures of the tables' first entries and their spacing.
constexpr double kKTypeFirstDegC = -50.0;
constexpr double kKTypeLastDegC = 1370.0;
constexpr double kKTypeStepDegC = 10.0;
constexpr double kPtFirstDegC = -110.0;
constexpr double kPtLastDegC = 249.0;
// The J characteristic is a straight line of this many degC per volt.
constexpr double kJTypeDegCPerVolt = 30000.0;

// Segment index k of a truncated temperature: t truncated toward zero (then
// divided by `step`, truncating again), offset to the table's zero entry.
// The temperature is already clamped, so the conversion to int is defined.
int32_t TruncatedSegment(double degC, int32_t step, int32_t zeroEntry, int32_t lastSegment) {
  const int32_t whole = static_cast<int32_t>(degC);
  return std::min(whole / step + zeroEntry, lastSegment);
}

}  // namespace

int32_t TableSearch(const double* table, double x, int32_t n) {
  int32_t lo = 0;
  int32_t hi = n - 1;
  while (hi > lo + 1) {
    const int32_t mid = (lo + hi) / 2;
    if (x >= table[mid]) lo = mid;
    else hi = mid;
  }
  return hi;
}

double SegmentValue(double x0, double y0, double x1, double y1, double x) {
  const double width = x1 - x0;
  if (width == 0.0) return y0;
  return y0 + (x - x0) * (y1 - y0) / width;
}

double KTypeVoltsToTemp(double volts) {
  const double mv = std::clamp(volts * 1000.0, KTypeEmfTable.front(), KTypeEmfTable.back());
  const int32_t i = TableSearch(KTypeEmfTable.data(), mv, kKTypeEmfEntries);
  return SegmentValue(KTypeEmfTable[i - 1], (i - 6) * kKTypeStepDegC, KTypeEmfTable[i], (i - 5) * kKTypeStepDegC,
                      mv);
}

double KTypeTempToVolts(double degC) {
  if (std::isnan(degC)) return degC;
  const double t = std::clamp(degC, kKTypeFirstDegC, kKTypeLastDegC);
  const int32_t k = TruncatedSegment(t, 10, 5, kKTypeEmfEntries - 2);
  return SegmentValue((k - 5) * kKTypeStepDegC, KTypeEmfTable[k], (k - 4) * kKTypeStepDegC, KTypeEmfTable[k + 1],
                      t) *
         0.001;
}

double JTypeVoltsToTemp(double volts) { return volts * kJTypeDegCPerVolt; }

double JTypeTempToVolts(double degC) { return degC / kJTypeDegCPerVolt; }

double PtOhmsToTemp(double ohms) {
  const double r = std::clamp(ohms, PtOhmTable.front(), PtOhmTable.back());
  const int32_t i = TableSearch(PtOhmTable.data(), r, kPtOhmEntries);
  return SegmentValue(PtOhmTable[i - 1], i - 111.0, PtOhmTable[i], i - 110.0, r);
}

double PtTempToOhms(double degC) {
  if (std::isnan(degC)) return degC;
  const double t = std::clamp(degC, kPtFirstDegC, kPtLastDegC);
  const int32_t k = TruncatedSegment(t, 1, 110, kPtOhmEntries - 2);
  return SegmentValue(k - 110.0, PtOhmTable[k], k - 109.0, PtOhmTable[k + 1], t);
}

double TorqueCurveLookup(double x, const TorqueCurveTable& xs, const TorqueCurveTable& ys) {
  // Limiting x only picks the segment; std::clamp needs ordered bounds, which
  // a damaged table may not have.
  const double limited = std::max(xs.front(), std::min(x, xs.back()));
  const int32_t i = TableSearch(xs.data(), limited, kTorqueCurvePoints);
  return SegmentValue(xs[i - 1], ys[i - 1], xs[i], ys[i], x);
}

double TorqueCurve1(const TorqueTables& tables, double volts) {
  return TorqueCurveLookup(volts, tables.TorqueVTableT1, tables.TorqueTableT1);
}

double TorqueCurve2(const TorqueTables& tables, double volts) {
  return TorqueCurveLookup(volts, tables.TorqueVTableT2, tables.TorqueTableT2);
}

double TorqueCurve3(const TorqueTables& tables, double volts) {
  return TorqueCurveLookup(volts, tables.TorqueVTableT3, tables.TorqueTableT3);
}

}  // namespace quelvar
