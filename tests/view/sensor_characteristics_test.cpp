#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "view/SensorCharacteristics.h"

namespace {

using namespace quelvar;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The obvious linear scan TableSearch must agree with.
int32_t PlainTableSearch(const double* t, double x, int32_t n) {
  int32_t i = 1;
  while (i < n - 1 && x >= t[i]) ++i;
  return i;
}

TEST(SensorTables, HoldTheirAnchorsAndIncreaseStrictly) {
  EXPECT_DOUBLE_EQ(KTypeEmfTable[0], -1.86);
  EXPECT_DOUBLE_EQ(KTypeEmfTable[5], 0.0);
  EXPECT_DOUBLE_EQ(KTypeEmfTable[7], 0.8);
  EXPECT_DOUBLE_EQ(KTypeEmfTable[105], 41.27);
  EXPECT_DOUBLE_EQ(KTypeEmfTable[142], 54.807);
  EXPECT_DOUBLE_EQ(PtOhmTable[0], 56.20);
  EXPECT_DOUBLE_EQ(PtOhmTable[110], 100.00);
  EXPECT_DOUBLE_EQ(PtOhmTable[210], 138.51);
  EXPECT_DOUBLE_EQ(PtOhmTable[309], 175.40);
  EXPECT_DOUBLE_EQ(PtOhmTable[359], 193.71);
  for (size_t k = 1; k < KTypeEmfTable.size(); ++k) EXPECT_LT(KTypeEmfTable[k - 1], KTypeEmfTable[k]) << k;
  for (size_t k = 1; k < PtOhmTable.size(); ++k) EXPECT_LT(PtOhmTable[k - 1], PtOhmTable[k]) << k;
}

TEST(SensorTables, AgreeWithTheStandardCurves) {
  // Standard K emf (mV) every 100 degC; the table rounds to about 0.05 mV.
  const std::pair<int, double> k[] = {{-50, -1.889}, {100, 4.096},  {200, 8.138},  {300, 12.209}, {400, 16.397},
                                      {500, 20.644}, {600, 24.905}, {700, 29.129}, {800, 33.275}, {900, 37.326},
                                      {1000, 41.276}, {1100, 45.119}, {1200, 48.838}, {1300, 52.410}};
  for (auto [degC, mv] : k) EXPECT_NEAR(KTypeEmfTable[degC / 10 + 5], mv, 0.06) << degC;
  // The platinum curve of 100 ohms at 0 degC (A, B, C of the standard).
  const double a = 3.9083e-3, b = -5.775e-7, c = -4.183e-12;
  for (int entry = 0; entry < kPtOhmEntries; ++entry) {
    const double t = entry - 110;
    const double ohms = 100.0 * (1 + a * t + b * t * t + (t < 0 ? c * (t - 100) * t * t * t : 0.0));
    EXPECT_NEAR(PtOhmTable[entry], ohms, 0.1) << t;
  }
}

TEST(TableSearch, AgreesWithALinearScan) {
  struct Case {
    double x;
    int32_t expected;
  } cases[] = {{-100, 1}, {-1.86, 1}, {-1.5, 2}, {0, 6}, {0.1, 6}, {54.466, 142}, {54.807, 142}, {99, 142}, {kNaN, 1}};
  for (const Case& c : cases) EXPECT_EQ(TableSearch(KTypeEmfTable.data(), c.x, kKTypeEmfEntries), c.expected) << c.x;

  std::mt19937 random(17);
  std::uniform_real_distribution<double> ohms(50.0, 200.0);
  for (int i = 0; i < 5000; ++i) {
    const double x = i % 2 ? ohms(random) : PtOhmTable[random() % kPtOhmEntries];
    ASSERT_EQ(TableSearch(PtOhmTable.data(), x, kPtOhmEntries), PlainTableSearch(PtOhmTable.data(), x, kPtOhmEntries))
        << x;
  }
}

struct Point {
  double in;
  double out;
};

TEST(KType, EmfToTemperatureFollowsTheTableAndClampsToItsEnds) {
  const Point cases[] = {
      {0.0, 0.0},       {0.0008, 20.0},    {0.001, 25.0},      {-0.00186, -50.0}, {-0.00168, -45.0},
      {0.04127, 1000.0}, {0.054807, 1370.0}, {0.0546365, 1365.0}, {0.060, 1370.0},  {-0.005, -50.0},
      {kInf, 1370.0},   {-kInf, -50.0},
  };
  for (const Point& p : cases) EXPECT_NEAR(KTypeVoltsToTemp(p.in), p.out, 1e-9) << p.in;
  EXPECT_TRUE(std::isnan(KTypeVoltsToTemp(kNaN)));
}

TEST(KType, TemperatureToEmfUsesTheTruncatedSegment) {
  const Point cases[] = {
      {0.0, 0.0},       {20.0, 0.0008},       {25.0, 0.001},    {1000.0, 0.04127},
      {-50.0, -0.00186}, {1370.0, 0.054807},   {1365.0, 0.0546365},
      {1400.0, 0.054807}, {-80.0, -0.00186},    {kInf, 0.054807},
      // Truncation toward zero: -45 lies on the -40..-30 segment, extended;
      // -5 on the 0..10 segment.
      {-45.0, -0.00168}, {-5.0, -0.0002},
  };
  for (const Point& p : cases) EXPECT_NEAR(KTypeTempToVolts(p.in), p.out, 1e-12) << p.in;
  EXPECT_TRUE(std::isnan(KTypeTempToVolts(kNaN)));
  for (double t = 0.0; t <= 1370.0; t += 7.5) EXPECT_NEAR(KTypeVoltsToTemp(KTypeTempToVolts(t)), t, 1e-9) << t;
}

TEST(JType, IsAStraightLineWithoutClamping) {
  EXPECT_DOUBLE_EQ(JTypeVoltsToTemp(0.001), 30.0);
  EXPECT_DOUBLE_EQ(JTypeVoltsToTemp(-1.0), -30000.0);
  EXPECT_DOUBLE_EQ(JTypeTempToVolts(30.0), 0.001);
  EXPECT_DOUBLE_EQ(JTypeTempToVolts(3000.0), 0.1);
}

TEST(Platinum, ResistanceToTemperatureFollowsTheTableAndClampsToItsEnds) {
  const Point cases[] = {
      {100.0, 0.0},   {138.51, 100.0}, {100.195, 0.5},  {56.20, -110.0}, {50.0, -110.0},
      {193.71, 249.0}, {200.0, 249.0},  {175.63, 199.5}, {kInf, 249.0},
  };
  for (const Point& p : cases) EXPECT_NEAR(PtOhmsToTemp(p.in), p.out, 1e-9) << p.in;
  EXPECT_TRUE(std::isnan(PtOhmsToTemp(kNaN)));
}

TEST(Platinum, TemperatureToResistanceUsesTheTruncatedSegment) {
  const Point cases[] = {
      {0.0, 100.0},   {100.0, 138.51}, {0.5, 100.195},  {-110.0, 56.20}, {-150.0, 56.20},
      {249.0, 193.71}, {248.5, 193.53}, {300.0, 193.71},
      // -0.5 degC lies on the 0..1 segment, extended.
      {-0.5, 99.805},
  };
  for (const Point& p : cases) EXPECT_NEAR(PtTempToOhms(p.in), p.out, 1e-9) << p.in;
  EXPECT_TRUE(std::isnan(PtTempToOhms(kNaN)));
  for (double t = 0.0; t <= 249.0; t += 0.25) EXPECT_NEAR(PtOhmsToTemp(PtTempToOhms(t)), t, 1e-9) << t;
}

TEST(TorqueCurve, StartsAsTheIdentityExtendedPastItsEnds) {
  const TorqueTables tables;
  for (double v : {-12.0, -10.0, -3.5, 0.0, 3.0, 10.0, 12.0}) {
    EXPECT_DOUBLE_EQ(TorqueCurve1(tables, v), v);
    EXPECT_DOUBLE_EQ(TorqueCurve2(tables, v), v);
    EXPECT_DOUBLE_EQ(TorqueCurve3(tables, v), v);
  }
}

TEST(TorqueCurve, EachSensorUsesItsOwnPairOfTables) {
  TorqueTables tables;
  for (int i = 0; i < kTorqueCurvePoints; ++i) {
    tables.TorqueVTableT2[i] = i * 0.5;       // 0 .. 10 V
    tables.TorqueTableT2[i] = i * i * 1.0;    // a curve, not a line
    tables.TorqueTableT3[i] = -2.0 * (i - 10);
  }
  const Point sensor2[] = {{0.0, 0.0}, {0.25, 0.5}, {1.0, 4.0}, {9.75, 380.5}, {10.0, 400.0},
                           // Beyond the ends the end segments continue.
                           {-0.5, -1.0}, {10.5, 439.0}};
  for (const Point& p : sensor2) EXPECT_NEAR(TorqueCurve2(tables, p.in), p.out, 1e-9) << p.in;
  EXPECT_DOUBLE_EQ(TorqueCurve3(tables, 2.0), -4.0);
  EXPECT_DOUBLE_EQ(TorqueCurve1(tables, 2.0), 2.0);
}

TEST(TorqueCurve, DamagedTableWithRepeatedVoltsGivesFiniteValuesNotADivisionByZero) {
  TorqueTables tables;
  tables.TorqueVTableT1.fill(1.0);
  for (double v : {-5.0, 1.0, 5.0}) EXPECT_TRUE(std::isfinite(TorqueCurve1(tables, v))) << v;
  EXPECT_DOUBLE_EQ(SegmentValue(2.0, 7.0, 2.0, 9.0, 3.0), 7.0);
}

}  // namespace
