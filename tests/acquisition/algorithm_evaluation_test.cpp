#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>

#include "AlgorithmRunForTest.h"
#include "acquisition/AlgorithmEvaluation.h"
#include "acquisition/AlgorithmPreparation.h"
#include "acquisition/TwelvePointPhasor.h"

namespace {

using namespace quelvar;
using quelvar::test::AlgorithmRun;
using quelvar::test::kPi;

// The plain DFT of harmonic h over the n samples x(r), x(r-1), ..., scaled
// so a cosine of peak P gives length P; it runs backwards in time like the
// engine's phasors.
std::complex<double> Dft(const std::function<double(int64_t)>& x, int64_t r, int n, int h) {
  std::complex<double> sum;
  for (int k = 0; k < n; ++k) sum += x(r - k) * std::polar(1.0, -2.0 * kPi * h * k / n);
  return sum * (2.0 / n);
}

TEST(TwelvePointPhasors, AgreeWithAPlainDftOnSinesAtTwelveTimesMSamplesPerCycle) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> phase(-kPi, kPi);
  std::uniform_real_distribution<double> amplitude(50.0, 20000.0);
  for (int m : {1, 2, 4, 10}) {
    const int spc = 12 * m;
    for (int trial = 0; trial < 50; ++trial) {
      const double p = amplitude(random), phi = phase(random), zero = 32768.0;
      auto x = [&](int64_t t) { return std::round(zero + p * std::cos(2.0 * kPi * static_cast<double>(t) / spc + phi)); };
      const int64_t r = 1000;
      TwelveSamples samples{};
      for (int k = 0; k < 12; ++k) samples[static_cast<size_t>(k)] = static_cast<int32_t>(x(r - k * m));
      const std::complex<double> reference = Dft(x, r, spc, 1);
      const Phasor12 f = TwelvePointFundamental(samples);
      // sqrt(3)/2 taken as 1 - 1/8 - 1/128 (0.14 % high) and the integer
      // divisions: a few codes plus 0.2 % of the amplitude.
      const double tolerance = 0.002 * p + 3.0;
      EXPECT_NEAR(f.Re, reference.real(), tolerance) << "m " << m << " P " << p;
      EXPECT_NEAR(f.Im, reference.imag(), tolerance) << "m " << m << " P " << p;
      EXPECT_NEAR(std::sqrt(static_cast<double>(f.Squared())), p, tolerance);
      const Phasor12 h2 = TwelvePointSecondHarmonic(samples);
      const Phasor12 h3 = TwelvePointThirdHarmonic(samples);
      EXPECT_LE(std::hypot(h2.Re, h2.Im), tolerance);
      EXPECT_LE(std::hypot(h3.Re, h3.Im), tolerance);
      // A pure third harmonic is measured as one, and is no fundamental.
      auto x3 = [&](int64_t t) { return std::round(zero + p * std::cos(6.0 * kPi * static_cast<double>(t) / spc + phi)); };
      for (int k = 0; k < 12; ++k) samples[static_cast<size_t>(k)] = static_cast<int32_t>(x3(r - k * m));
      const std::complex<double> third = Dft(x3, r, spc, 3);
      const Phasor12 t3 = TwelvePointThirdHarmonic(samples);
      EXPECT_NEAR(t3.Re, third.real(), tolerance);
      EXPECT_NEAR(t3.Im, third.imag(), tolerance);
      EXPECT_LE(std::hypot(TwelvePointFundamental(samples).Re, TwelvePointFundamental(samples).Im), tolerance);
    }
  }
  // A constant gives nothing at all.
  TwelveSamples flat{};
  flat.fill(40000);
  EXPECT_EQ(TwelvePointFundamental(flat).Squared(), 0u);
  EXPECT_EQ(TwelvePointSecondHarmonic(flat).Re, 0);
  EXPECT_EQ(TwelvePointThirdHarmonic(flat).Squared(), 0u);
}

TEST(TwelvePointPhasors, SquaredLengthOfALargeCompositeDoesNotWrap) {
  // Three times a full-scale 16-bit phase: the squared length exceeds 2^32.
  TwelveSamples x{};
  for (int k = 0; k < 12; ++k) x[static_cast<size_t>(k)] = static_cast<int32_t>(std::lround(98000.0 * std::cos(2.0 * kPi * k / 12.0)));
  const Phasor12 f = TwelvePointFundamental(x);
  EXPECT_GT(f.Squared(), uint64_t{1} << 33);
  EXPECT_NEAR(std::sqrt(static_cast<double>(f.Squared())), 98000.0, 250.0);
}

// The engine, run through per-block processing, measures at every point
// including those whose twelve samples reach back into the previous block.
TEST(AlgorithmEngine, AmplitudeIsMeasuredWithinOnePercentAtEveryPoint) {
  for (double rms : {0.3, 1.0, 3.0}) {
    AlgorithmRun run(1, 1200.0f, 240);
    run.Add(5, {0}, {static_cast<float>(rms * 1.01)});  // AC too large: never
    run.Add(6, {0}, {static_cast<float>(rms * 0.99)});  // AC too small: never
    ASSERT_TRUE(run.Start());
    run.Feed([&](int32_t, int64_t row) { return run.Sine(rms, 50.0, 37.0, row); }, 12);
    EXPECT_TRUE(run.firedRows.empty()) << rms << " fired at " << run.firedRows.front();
  }
}

TEST(AlgorithmEngine, NegativeSequenceRowsCancelPositiveSequenceAndTripleNegative) {
  struct Case {
    const char* what;
    double lagB;  // degrees by which phase b lags a (c lags b by the same)
    bool positiveRow;
    double expectedPeak;  // of the composite, in multiples of the phase peak
  } cases[] = {
      {"positive sequence into a negative-sequence row", 120.0, false, 0.0},
      {"negative sequence into a negative-sequence row", -120.0, false, 3.0},
      {"positive sequence into a positive-sequence row", 120.0, true, 3.0},
      {"negative sequence into a positive-sequence row", -120.0, true, 0.0},
  };
  for (const Case& c : cases) {
    AlgorithmRun run(3, 1200.0f, 240);
    run.Add(10, {0, 1, 2}, {100.0f});
    ASSERT_TRUE(run.Start());
    if (c.positiveRow) run.s.plan.CompositeSourceTable[0].Kind = kPositiveSequence;
    run.Feed([&](int32_t ch, int64_t row) { return run.Sine(2.0, 50.0, -c.lagB * ch, row); }, 3);
    const int32_t node = FindMeasurement(run.s.plan, 3, kFundamental);
    ASSERT_GE(node, 0);
    const double peak = 2.0 * std::sqrt(2.0) * 2047.0 / 5.0;
    const double measured = std::sqrt(static_cast<double>(run.s.plan.MeasurementList[static_cast<size_t>(node)].Value2));
    EXPECT_NEAR(measured, c.expectedPeak * peak, 0.01 * 3 * peak + 4.0) << c.what;
  }
}

TEST(AlgorithmEngine, FrequencyIsEightPeriodsInRowsOnceNineCrossingsAreKnown) {
  struct Case {
    double hz;
    int32_t numSamp;
    int blocks;
    int32_t expected;
  } cases[] = {
      {50.0, 240, 3, 192},  // nominal: 8 x 24 rows
      {48.0, 240, 3, 200},  // 25 rows a period
      {48.0, 48, 1, 192},   // two crossings only: the nominal span
      {48.0, 48, 6, 200},   // kept from block to block
  };
  for (const Case& c : cases) {
    AlgorithmRun run(1, 1200.0f, c.numSamp);
    run.Add(15, {0}, {10.0f, 1000.0f});  // never fires: blocked by a huge voltage
    ASSERT_TRUE(run.Start());
    run.Feed([&](int32_t, int64_t row) { return run.Sine(1.0, c.hz, 10.0, row); }, c.blocks);
    const int32_t node = FindMeasurement(run.s.plan, 0, kFrequency);
    ASSERT_GE(node, 0);
    EXPECT_EQ(run.s.plan.MeasurementList[static_cast<size_t>(node)].Value0, c.expected)
        << c.hz << " Hz, " << c.blocks << " blocks of " << c.numSamp;
  }
}

TEST(AlgorithmEngine, ABlockOfTwoCyclesHasFourPointsAndTestsWaitForHistory) {
  AlgorithmRun run(1, 1200.0f, 48);
  run.s.config.ConfirmTriggerNum = 10;
  run.Add(3, {0}, {-1.0f});  // DC too large: holds everywhere
  ASSERT_TRUE(run.Start());
  auto dc = [&](int32_t, int64_t) { return run.Dc(1.0); };
  run.Feed(dc, 1);
  // Points 0, 12, 24 and 36; the first needs four rows of history.
  EXPECT_EQ(run.s.triggers.AlgorithmConfirmState[0].HitCount, 3);
  run.Feed(dc, 1);
  EXPECT_EQ(run.s.triggers.AlgorithmConfirmState[0].HitCount, 7);
  // A lost block: history starts again.
  run.s.acq.CurrentBlock()[0] += 1;
  run.Feed(dc, 1);
  EXPECT_EQ(run.s.acq.RunDataGap, 1);
  // Points 12, 24 and 36 complete the ten hits; the record's start clears them.
  ASSERT_EQ(run.firedRows.size(), 1u);
  EXPECT_EQ(run.firedRows[0], 2 * 48 + 36);
  EXPECT_EQ(run.s.triggers.AlgorithmConfirmState[0].HitCount, 0);
}

TEST(AlgorithmEngine, AfterARecordStartsLaterPointsRunOnlyForTheHoldBookkeeping) {
  for (int32_t prevent : {0, 1}) {
    AlgorithmRun run(1, 1200.0f, 240);
    run.s.config.IDPreventSameAlgorithm = prevent;
    run.Add(3, {0}, {0.5f});
    ASSERT_TRUE(run.Start());
    // A ramp crossing 0.5 units at row 100.
    run.Feed([&](int32_t, int64_t row) { return run.Dc(0.005 * static_cast<double>(row)); }, 1);
    ASSERT_EQ(run.firedRows.size(), 1u);
    EXPECT_EQ(run.firedRows[0], 108);  // the first point whose 4-row mean is above 0.5
    const int32_t node = FindMeasurement(run.s.plan, 0, kDcMean);
    const int32_t mean = run.s.plan.MeasurementList[static_cast<size_t>(node)].Value0;
    // Without the repeat guard the engine stopped at the firing point; with
    // it, every point of the block was evaluated, up to row 228.
    const int64_t lastRow = prevent ? 228 : 108;
    EXPECT_NEAR(mean, run.Dc(0.005 * (static_cast<double>(lastRow) - 1.5)), 1.0) << prevent;
  }
}

TEST(AlgorithmEngine, FrequencyRateIsRecomputedOnlyEvery32Cycles) {
  AlgorithmRun run(3, 1200.0f, 240);
  run.Add(21, {0, 1, 2}, {100.0f, 1.0f});  // a rate no signal reaches
  ASSERT_TRUE(run.Start());
  // 50 Hz swinging by 1 Hz every 2 s.
  auto swing = [&](int32_t, int64_t row) {
    const double t = static_cast<double>(row) / 1200.0;
    const double angle = 2.0 * kPi * (50.0 * t - std::cos(2.0 * kPi * 0.5 * t) / (2.0 * kPi * 0.5));
    return 2048.0 + 500.0 * std::cos(angle);
  };
  const int32_t node = FindMeasurement(run.s.plan, 0, kFrequencyRate);
  ASSERT_GE(node, 0);
  float last = 0.0f;
  int changes = 0;
  for (int b = 0; b < 40; ++b) {
    run.Feed(swing, 1);
    const float now = run.s.plan.MeasurementList[static_cast<size_t>(node)].RateValue;
    // Every 768 rows (32 cycles) a new value; blocks of 240 rows without
    // such a row keep the old one.
    const int64_t first = int64_t{b} * 240, lastRow = first + 228;
    const bool due = (first + 767) / 768 * 768 <= lastRow;
    if (!due) {
      EXPECT_EQ(now, last) << "block " << b;
    }
    if (now != last) ++changes;
    last = now;
  }
  EXPECT_GT(changes, 5);  // 65 crossings known after 1.3 s, then every 0.64 s
  EXPECT_GT(last, 0.0f);
}

TEST(AlgorithmEngine, APrefixLongerThanTheBlockStillHoldsTheRowsJustBefore) {
  // 20-row blocks, but 1.5 cycles of prefix (30 rows): the DC mean at row 0
  // reads the previous block's last rows, never the start-up fill.
  AlgorithmRun run(1, 1000.0f, 20);
  run.Add(4, {0}, {1.5f});  // DC too small: never on a constant 2.0
  ASSERT_TRUE(run.Start());
  ASSERT_GT(run.s.acq.HistoryPrefixRows, run.s.config.NumSamp);
  run.Feed([&](int32_t, int64_t) { return run.Dc(2.0); }, 6);
  EXPECT_TRUE(run.firedRows.empty()) << "fired at row " << run.firedRows.front();
}

TEST(AlgorithmEngine, SaturatedThresholdsAreComparedWithoutOverflow) {
  // Set points that saturate the 64-bit thresholds; the hysteresis products
  // must still be exact (the sanitizer build stops on an overflow).
  AlgorithmRun run(4, 1200.0f, 240);
  run.s.config.IDPreventSameAlgorithm = 1;
  run.Add(15, {0}, {1e-15f, 1.0f});          // 8 x 1200 / 1e-15 rows: never slow enough
  run.Add(14, {0, 1, 2, 3}, {1e14f});         // below any power: fires, then counts down
  run.Add(3, {1}, {1e30f});                   // clamped to full scale: never
  ASSERT_TRUE(run.Start());
  run.Feed([&](int32_t ch, int64_t row) { return run.Sine(1.0, 50.0, -120.0 * ch, row); }, 4);
  ASSERT_FALSE(run.firedRows.empty());
  EXPECT_EQ(run.firedAlgorithms.front(), 1);
  EXPECT_EQ(run.s.plan.Thresholds[1].T[0], INT64_MAX);
}

}  // namespace
