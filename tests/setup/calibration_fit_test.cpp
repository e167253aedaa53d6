#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "setup/CalibrationFit.h"
#include "view/EngineeringUnits.h"
#include "view/SensorCharacteristics.h"

namespace {

using namespace quelvar;

constexpr double kPi = 3.14159265358979323846;

// A block of `rows` rows of `words` words with `column` filled by f(row).
template <typename F>
std::vector<uint16_t> BlockWith(int rows, int words, int column, F f) {
  std::vector<uint16_t> block(static_cast<size_t>(rows * words), 0);
  for (int r = 0; r < rows; ++r) block[r * words + column] = static_cast<uint16_t>(f(r));
  return block;
}

LiveConfig Card() {
  LiveConfig c;
  c.VZero = 2048.0f;
  c.ADMax = 4095.0f;
  c.AmpGain = 1;
  c.ChannelRate = 1000.0f;
  return c;
}

TEST(CalibrationReading, CosineOfOnePeriodPerWindowReadsItsRms) {
  const LiveConfig c = Card();
  // 500 codes of amplitude over a 100-code offset, one period in the last 64 rows.
  const int n = 64, rows = 80;
  auto block = BlockWith(rows, 3, 1, [&](int r) {
    return std::lround(2148.0 + 500.0 * std::cos(2.0 * kPi * (r - (rows - n)) / n + 0.7));
  });
  const auto r = ReadSnapshotChannel(block.data(), rows, 3, 1, n, kChannelAC, c);
  ASSERT_TRUE(r);
  const double span = 4095.0 - 2048.0;
  EXPECT_NEAR(r->value, 500.0 / span * 5.0 / std::sqrt(2.0), 1e-3);
  EXPECT_NEAR(r->meanVolts, 100.0 / span * 5.0, 1e-3);
}

TEST(CalibrationReading, MeanOfTheLastPointsByType) {
  LiveConfig c = Card();
  // Rows 0..9 hold 1000, the last 4 rows 3072: only those are averaged.
  auto block = BlockWith(10, 2, 0, [](int r) { return r < 6 ? 1000 : 3072; });
  struct Case {
    int32_t type;
    uint16_t ampGain;
    double expected;
  };
  const double volts = (3072.0 - 2048.0) / 2047.0 * 5.0;
  const Case cases[] = {
      {kChannelDC, 1, volts},
      {kChannelKType, 1, volts},
      {kChannelTorque1, 1, volts},
      {kChannelRawCode, 1, 3072.0},
      {kChannelCounter, 0, 3072.0},
      // counts per second: sum x rate / points / gain
      {kChannelCounter, 2, 3072.0 * 4 * 1000.0 / 4 / 2},
      // the gain is a signed divisor
      {kChannelCounter, 0xFFFF, -3072.0 * 1000.0},
  };
  for (const Case& k : cases) {
    c.AmpGain = k.ampGain;
    const auto r = ReadSnapshotChannel(block.data(), 10, 2, 0, 4, k.type, c);
    ASSERT_TRUE(r);
    EXPECT_NEAR(r->value, k.expected, 1e-9) << "type " << k.type << " gain " << k.ampGain;
  }
}

TEST(CalibrationReading, PointsBeyondTheBlockAreLimitedToItsRows) {
  const LiveConfig c = Card();
  auto block = BlockWith(5, 1, 0, [](int r) { return 100 * (r + 1); });
  const auto r = ReadSnapshotChannel(block.data(), 5, 1, 0, 1000, kChannelRawCode, c);
  ASSERT_TRUE(r);
  EXPECT_DOUBLE_EQ(r->value, 300.0);  // all five rows, no more
}

TEST(CalibrationReading, ChannelOutsideTheRowReadsNothing) {
  const LiveConfig c = Card();
  auto block = BlockWith(5, 2, 0, [](int) { return 1; });
  EXPECT_FALSE(ReadSnapshotChannel(block.data(), 5, 2, 2, 5, kChannelDC, c));
  EXPECT_FALSE(ReadSnapshotChannel(block.data(), 5, 2, -1, 5, kChannelDC, c));
  EXPECT_FALSE(ReadSnapshotChannel(block.data(), 0, 2, 0, 5, kChannelDC, c));
}

TEST(CalibrationReading, CardWithoutSpanReadsZeroVolts) {
  LiveConfig c = Card();
  c.ADMax = c.VZero;
  auto block = BlockWith(8, 1, 0, [](int r) { return 2000 + 50 * (r % 2); });
  EXPECT_EQ(ReadSnapshotChannel(block.data(), 8, 1, 0, 8, kChannelAC, c)->value, 0.0);
  EXPECT_EQ(ReadSnapshotChannel(block.data(), 8, 1, 0, 8, kChannelDC, c)->value, 0.0);
}

TEST(CalibrationFit, ACChannelScalesTheRmsAndTakesOutTheOffset) {
  const CalibrationCoefficients k = FitACChannel(2.0, 100.0, 0.25);
  EXPECT_DOUBLE_EQ(k.B, 50.0);
  EXPECT_DOUBLE_EQ(k.A, -12.5);
  // Measured at 0 V: B = 1.
  const CalibrationCoefficients zero = FitACChannel(0.0, 100.0, 0.25);
  EXPECT_DOUBLE_EQ(zero.B, 1.0);
  EXPECT_DOUBLE_EQ(zero.A, -0.25);
}

// After the fit, the channel's own conversion maps each measured voltage onto
// its target: checked through RawToEngineering, as the running program converts.
TEST(CalibrationFit, ConversionMapsBothReadingsOntoTheirTargets) {
  LiveConfig c = Card();
  c.ColdJunctionTemp = 25.0f;
  TorqueTables torque;
  for (int i = 0; i < kTorqueCurvePoints; ++i) {
    torque.TorqueVTableT2[i] = (i - 10) * 0.5;
    torque.TorqueTableT2[i] = (i - 10) * 30.0 + (i > 10 ? (i - 10) * 4.0 : 0.0);
  }
  struct Case {
    int32_t type;
    double v1, t1, v2, t2;
  };
  const Case cases[] = {
      {kChannelDC, 0.5, 10.0, 4.0, 200.0},
      {kChannelKType, 0.01, 100.0, 0.02, 400.0},
      {kChannelKTypeCompensated, 0.01, 100.0, 0.02, 400.0},
      {kChannelJType, 0.01, 150.0, 0.02, 300.0},
      {kChannelJTypeCompensated, 0.01, 150.0, 0.02, 300.0},
      {kChannelPlatinum, 1.0, 0.0, 2.0, 100.0},
      {kChannelTorque2, 0.7, 20.0, 3.3, 260.0},
  };
  for (const Case& k : cases) {
    const CalibrationCoefficients fit = FitTwoPointChannel(k.type, k.v1, k.t1, k.v2, k.t2, 25.0, torque);
    AnalogChannel ch;
    ch.ChnIDDC = k.type;
    ch.ChnCoeA = static_cast<float>(fit.A);
    ch.ChnCoeB = static_cast<float>(fit.B);
    for (const auto& [v, t] : {std::pair{k.v1, k.t1}, std::pair{k.v2, k.t2}}) {
      const double raw = v / 5.0 * (4095.0 - 2048.0) + 2048.0;
      EXPECT_NEAR(RawToEngineering(c, torque, ch, static_cast<float>(raw)), t, 1e-3 * std::max(1.0, std::abs(t)))
          << "type " << k.type << " at " << v;
    }
  }
}

TEST(CalibrationFit, TransformsOfEachType) {
  TorqueTables torque;
  for (int i = 0; i < kTorqueCurvePoints; ++i) torque.TorqueTableT3[i] = 2.0 * (i - 10);  // torque = 2 x volts
  // Thermocouples less the cold junction's emf: the line goes through the
  // transformed points.
  const double cold = 30.0;
  const CalibrationCoefficients k = FitTwoPointChannel(kChannelKType, 0.0, 100.0, 1.0, 200.0, cold, torque);
  EXPECT_NEAR(k.A, KTypeTempToVolts(100.0) - KTypeTempToVolts(cold), 1e-12);
  EXPECT_NEAR(k.B, KTypeTempToVolts(200.0) - KTypeTempToVolts(100.0), 1e-12);
  const CalibrationCoefficients pt = FitTwoPointChannel(kChannelPlatinum, 0.0, 0.0, 1.0, 100.0, cold, torque);
  EXPECT_NEAR(pt.A, PtTempToOhms(0.0), 1e-9);
  // Torque: the readings go through the curve, the targets stay.
  const CalibrationCoefficients tq = FitTwoPointChannel(kChannelTorque3, 1.0, 10.0, 2.0, 30.0, cold, torque);
  EXPECT_NEAR(tq.B, 10.0, 1e-9);  // (10 - 30) / (2 - 4)
  EXPECT_NEAR(tq.A, -10.0, 1e-9);
  // Counters and raw codes: the plain line.
  const CalibrationCoefficients raw = FitTwoPointChannel(kChannelCounter, 100.0, 1.0, 300.0, 5.0, cold, torque);
  EXPECT_DOUBLE_EQ(raw.B, 0.02);
  EXPECT_DOUBLE_EQ(raw.A, -1.0);
}

TEST(CalibrationFit, EqualReadingsGiveTheIdentity) {
  const TorqueTables torque;
  const CalibrationCoefficients k = FitTwoPointChannel(kChannelDC, 1.5, 10.0, 1.5, 20.0, 20.0, torque);
  EXPECT_EQ(k.A, 0.0);
  EXPECT_EQ(k.B, 1.0);
  // Readings that only become equal through the torque curve (both beyond a
  // flat end segment) too.
  TorqueTables flat;
  flat.TorqueTableT1.fill(7.0);
  const CalibrationCoefficients f = FitTwoPointChannel(kChannelTorque1, 1.0, 10.0, 2.0, 20.0, 20.0, flat);
  EXPECT_EQ(f.A, 0.0);
  EXPECT_EQ(f.B, 1.0);
}

}  // namespace
