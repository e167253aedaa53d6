#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "MarkDataForTest.h"
#include "view/EngineeringUnits.h"
#include "view/MarkValues.h"

namespace {

using namespace quelvar;
using quelvar::test::MarkData;
using quelvar::test::Sine;
using quelvar::test::SineCode;

// The sine's RMS: 2.5 V peak.
const double kSineRms = 2.5 / std::numbers::sqrt2;
// The codes are whole numbers: the sine's RMS is met to about 0.05 %.
constexpr double kCodeRoundingVolts = 1e-3;

// The number of a value text that must be written with `decimals` decimals
// and end in `units`; NaN when it is not.
double NumberOf(const std::string& text, const std::string& units, int decimals = 4) {
  if (text.size() <= units.size() || text.compare(text.size() - units.size(), units.size(), units) != 0) return NAN;
  const std::string number = text.substr(0, text.size() - units.size());
  const size_t point = number.find('.');
  if (point == std::string::npos || number.size() - point - 1 != static_cast<size_t>(decimals)) return NAN;
  return std::stod(number);
}

TEST(ChannelValueAtMark, SineGivesItsKnownValuesBackFromTheMark) {
  MarkData d = Sine(200);
  d.view.MarkHarmonics1 = 1;
  d.view.MarkHarmonics2 = 2;
  // Point 100 lies 5 cycles on: the sine's phase there is 36 degrees and its
  // code 2048 + 602.
  struct Case {
    int32_t kind;
    int32_t mark;
    const char* text;
  } cases[] = {
      {kMarkInstant, 1, "1.4697V"},     {kMarkMean, 1, "0.0000V"},        {kMarkPhase, 1, "∠36.00°"},
      {kMarkFrequency1, 1, "50.00 Hz"}, {kMarkFrequency2, 1, "50.00 Hz"}, {kMarkFrequency4, 1, "50.00 Hz"},
      {kMarkHexCode, 1, "0x0A5A"},      {kMarkHarmonic, 2, "0.0000V"},
  };
  for (const Case& c : cases) EXPECT_EQ(d.Value(100, 0, c.kind, c.mark), c.text) << "kind " << c.kind;
  EXPECT_NEAR(NumberOf(d.Value(100, 0, kMarkRms), "V"), kSineRms, kCodeRoundingVolts);
  // The fundamental is all there is.
  EXPECT_NEAR(NumberOf(d.Value(100, 0, kMarkHarmonic, 1), "V"), kSineRms, kCodeRoundingVolts);
}

TEST(ChannelValueAtMark, PhaseFollowsTheSineAtTheMark) {
  MarkData d = Sine(200);
  // Each point turns the 50 Hz sine by 18 degrees.
  EXPECT_EQ(d.Value(101, 0, kMarkPhase), "∠54.00°");
  EXPECT_EQ(d.Value(108, 0, kMarkPhase), "∠180.00°");
  EXPECT_EQ(d.Value(113, 0, kMarkPhase), "∠270.00°");
  // Past 270 degrees the angle keeps rising towards 360, never negative.
  EXPECT_EQ(d.Value(117, 0, kMarkPhase), "∠342.00°");
}

TEST(ChannelValueAtMark, RmsIncludesTheOffsetAndMeanShowsIt) {
  MarkData d = Sine(200);
  d.config.AnalogChannelTable[0].ChnCoeA = 0.5f;
  EXPECT_EQ(d.Value(100, 0, kMarkMean), "0.5000V");
  // The offset is not removed: sqrt(0.5^2 + RMS^2).
  EXPECT_NEAR(NumberOf(d.Value(100, 0, kMarkRms), "V"), std::sqrt(0.25 + kSineRms * kSineRms), kCodeRoundingVolts);
}

TEST(ChannelValueAtMark, MarkInTheFirstCycleLooksForward) {
  MarkData d = Sine(200);
  d.view.MarkHarmonics1 = 1;
  // Point 5: too close to the start for a cycle back or 20 points of search.
  EXPECT_NEAR(NumberOf(d.Value(5, 0, kMarkRms), "V"), kSineRms, kCodeRoundingVolts);
  EXPECT_EQ(d.Value(5, 0, kMarkMean), "0.0000V");
  EXPECT_EQ(d.Value(5, 0, kMarkPhase), "∠126.00°");
  EXPECT_NEAR(NumberOf(d.Value(5, 0, kMarkHarmonic), "V"), kSineRms, kCodeRoundingVolts);
  for (int32_t kind : {kMarkFrequency1, kMarkFrequency2, kMarkFrequency4})
    EXPECT_EQ(d.Value(5, 0, kind), "50.00 Hz") << "kind " << kind;
}

TEST(ChannelValueAtMark, LiveRingSearchesFromItsOldestBlockAndWraps) {
  // Ten blocks of 20 rows; block 5 is written next, so point 100 is the oldest.
  MarkData d = Sine(200);
  d.config.NumSamp = 20;
  d.display.DispBlocks = 10;
  d.display.SelectFault = 0;
  d.display.DataSourceMode = 1;
  d.ringWriteBlock = 5;
  // Just after the oldest point: forward, up to the newest (99) round the end.
  EXPECT_EQ(d.Value(105, 0, kMarkFrequency4), "50.00 Hz");
  EXPECT_EQ(d.Value(195, 0, kMarkFrequency4), "50.00 Hz");
  // Back from point 10 the search passes the first row into the last ones.
  EXPECT_EQ(d.Value(10, 0, kMarkFrequency4), "50.00 Hz");
}

// Regression: cycle windows were taken in buffer order, so a mark just after
// the live ring's oldest point looked back across the seam into the newest
// block, which continues nothing there.
TEST(ChannelValueAtMark, CycleWindowOnTheLiveRingKeepsToTimeOrderAtTheSeam) {
  // Four blocks of 50 rows; block 2 is written next, so row 100 is the oldest
  // and the sine runs in time from there round the end. The newest block
  // (rows 50..99) holds a level of 2.5 V that the sine does not continue.
  MarkData d({1}, 200, 0, [](int32_t row, int32_t) {
    if (row >= 50 && row < 100) return uint16_t{3072};
    return SineCode((row + 100) % 200, 20);
  });
  d.config.NumSamp = 50;
  d.display.DispBlocks = 4;
  d.display.SelectFault = 0;
  d.display.DataSourceMode = 1;
  d.view.MarkHarmonics1 = 1;
  d.ringWriteBlock = 2;
  // Three points after the oldest: a cycle forward, all of it sine.
  EXPECT_EQ(d.Value(103, 0, kMarkMean), "0.0000V");
  EXPECT_EQ(d.Value(103, 0, kMarkPhase), "∠90.00°");
  EXPECT_NEAR(NumberOf(d.Value(103, 0, kMarkRms), "V"), kSineRms, kCodeRoundingVolts);
  EXPECT_NEAR(NumberOf(d.Value(103, 0, kMarkHarmonic), "V"), kSineRms, kCodeRoundingVolts);
  // Near the buffer's first row the ring goes on from its last: back from
  // point 5 the cycle runs over the end, in time order.
  EXPECT_EQ(d.Value(5, 0, kMarkMean), "0.0000V");
  EXPECT_EQ(d.Value(5, 0, kMarkPhase), d.Value(125, 0, kMarkPhase));
  // The newest block itself is a level whichever way is taken.
  EXPECT_EQ(d.Value(97, 0, kMarkMean), "2.5000V");
}

TEST(ChannelValueAtMark, ConstantSignalHasNoFrequency) {
  MarkData d({1}, 200, 0, [](int32_t, int32_t) { return uint16_t{2100}; });
  for (int64_t b : {5, 100, 199})
    for (int32_t kind : {kMarkFrequency1, kMarkFrequency2, kMarkFrequency4})
      EXPECT_EQ(d.Value(b, 0, kind), "未知") << "point " << b << " kind " << kind;
}

TEST(ChannelValueAtMark, CycleWindowOutsideTheDataIsUnknownNotReadBeyondThem) {
  // 15 rows hold less than the 20 points a forward cycle needs.
  MarkData d = Sine(15);
  for (int64_t b : {0, 2, 14})
    for (int32_t kind : {kMarkMean, kMarkRms, kMarkPhase, kMarkHarmonic})
      EXPECT_EQ(d.Value(b, 0, kind), "未知") << "point " << b << " kind " << kind;
  // The point itself is there.
  EXPECT_EQ(d.Value(2, 0, kMarkInstant), "2.3779V");
}

TEST(ChannelValueAtMark, IncrementOverCyclesIsAnUnsignedCodeDifference) {
  MarkData d({1}, 200, 0, [](int32_t row, int32_t) -> uint16_t { return row == 30 || row == 10 ? 65530 : 4; });
  AnalogChannel& c = d.config.AnalogChannelTable[0];
  c.ChnIDDC = kChannelRawCode;
  c.ChnDigiPoint = 0;
  c.ChnUnits = "A";
  d.view.MarkInc1 = 1;
  d.view.MarkInc2 = 2;
  EXPECT_EQ(d.Value(50, 0, kMarkIncrement, 1), "10A");  // 4 - 65530 modulo 65536
  EXPECT_EQ(d.Value(50, 0, kMarkIncrement, 2), "10A");
  EXPECT_EQ(d.Value(19, 0, kMarkIncrement, 1), "不能计算");
  EXPECT_EQ(d.Value(39, 0, kMarkIncrement, 2), "不能计算");
  EXPECT_EQ(d.Value(20, 0, kMarkIncrement, 1), "0A");
}

// Codes by row for the rate kinds: VZero up to row 9, then 2048 codes (5 V)
// higher; rows 40.. start from VZero + 1024 (2.5 V) and rise 1024 codes.
MarkData Steps() {
  return MarkData({1}, 100, 0, [](int32_t row, int32_t) -> uint16_t {
    if (row < 40) return row < 10 ? 2048 : 4096;
    return row < 50 ? 3072 : 4096;
  });
}

TEST(ChannelValueAtMark, RatesOverRowsBeforeTheMark) {
  MarkData d = Steps();
  d.view.MarkRatioN2 = 10;
  d.view.MarkRatioRN2 = 10;
  d.view.MarkPeriodN2 = 10;
  // 5 V in 10 rows (10 ms).
  EXPECT_EQ(d.Value(10, 0, kMarkRate), "5.00E+2V/s");
  EXPECT_EQ(d.Value(10, 0, kMarkRate, 1), d.Value(10, 0, kMarkRate, 2));
  // Against a base of 0 V: no relative rate.
  EXPECT_EQ(d.Value(10, 0, kMarkRelativeRate), "?? ");
  // 250 V/s against 2.5 V.
  EXPECT_EQ(d.Value(50, 0, kMarkRelativeRate), "1.00E+4 %/s");
  EXPECT_EQ(d.Value(10, 0, kMarkPeriod), "5.00E+2s");
  for (int32_t kind : {kMarkRate, kMarkRelativeRate, kMarkPeriod}) EXPECT_EQ(d.Value(9, 0, kind), "未知");
  // No rows to compare over: unknown rather than a division by zero.
  d.view.MarkRatioN2 = 0;
  EXPECT_EQ(d.Value(50, 0, kMarkRate), "未知");
}

TEST(ChannelValueAtMark, PulseSpeedFromFallingEdgesThroughTheThreshold) {
  // High for rows 0..9 of each 20, low for 10..19: 50 pulses a second.
  MarkData d({1}, 200, 0, [](int32_t row, int32_t) -> uint16_t { return row % 20 < 10 ? 3000 : 1000; });
  d.view.MarkAnalSpeedThresholdV = 2048;
  d.view.MarkAnalSpeedScale = 60.0f;
  d.view.MarkAnalSpeedNumP1 = 2;
  d.view.MarkSpeedUnit = "r/min";
  EXPECT_EQ(d.Value(150, 0, kMarkSpeed), "3000.0r/min");
  // Before the first falling edge there is nothing to time.
  EXPECT_EQ(d.Value(15, 0, kMarkSpeed), "未知");
}

TEST(ChannelValueAtMark, CounterSpeedFromCountsOverPoints) {
  // A down-counter losing 3 counts a point (3000 counts a second).
  MarkData d({1}, 200, 0, [](int32_t row, int32_t) { return static_cast<uint16_t>(60000 - 3 * row); });
  d.config.AnalogChannelTable[0].ChnIDDC = kChannelCounter;
  d.config.AmpGain = 0;
  d.view.MarkAnalSpeedNumS1 = 10;
  d.view.MarkAnalSpeedScale = 1.0f;
  EXPECT_EQ(d.Value(100, 0, kMarkSpeed), "3000.0r/min");
  // Too close to the start to look back: counted forward.
  EXPECT_EQ(d.Value(3, 0, kMarkSpeed), "3000.0r/min");
  // A walk longer than the data would count points twice.
  d.view.MarkAnalSpeedNumS1 = 500;
  EXPECT_EQ(d.Value(100, 0, kMarkSpeed), "未知");
}

// Regression: the walk counted each wrap of the counter as 65535 codes, one
// short of the 65536 steps round it.
TEST(ChannelValueAtMark, CounterSpeedCountsTheStepThroughTheCountersWrap) {
  // Losing 3 counts a point from 30: between rows 10 and 11 it wraps from 0
  // to 65533.
  MarkData d({1}, 200, 0, [](int32_t row, int32_t) { return static_cast<uint16_t>(30 - 3 * row); });
  d.config.AnalogChannelTable[0].ChnIDDC = kChannelCounter;
  d.config.AmpGain = 0;
  d.view.MarkAnalSpeedNumS1 = 10;
  d.view.MarkAnalSpeedScale = 1.0f;
  // Back over rows 5..15 and forward over rows 3..13: both through the wrap.
  EXPECT_EQ(d.Value(15, 0, kMarkSpeed), "3000.0r/min");
  EXPECT_EQ(d.Value(3, 0, kMarkSpeed), "3000.0r/min");
}

TEST(ChannelValueAtMark, SumAndMeanBetweenTheMarks) {
  // A raw-code channel whose code is its row.
  MarkData d({1}, 40, 0, [](int32_t row, int32_t) { return static_cast<uint16_t>(row); });
  d.config.AnalogChannelTable[0].ChnIDDC = kChannelRawCode;
  d.view.XPosition = 0;
  d.view.Mark1X = 11;
  d.view.Mark2X = 20;
  // Points 10..19.
  EXPECT_EQ(d.Value(0, 0, kMarkMeanBetween), "14.5000V");
  EXPECT_EQ(d.Value(0, 0, kMarkSumBetween), "145.0000V");
  std::swap(d.view.Mark1X, d.view.Mark2X);
  EXPECT_EQ(d.Value(0, 0, kMarkSumBetween, 2), "145.0000V");
  // Oldest block 1 of 2 (20 rows each), shown from point 15: rows 35..39
  // then 0..4 round the ring.
  d.config.NumSamp = 20;
  d.display.DispBlocks = 2;
  d.display.DispFirstBlock = 1;
  d.view.XPosition = 15;
  d.view.Mark1X = 1;
  d.view.Mark2X = 10;
  EXPECT_EQ(d.Value(0, 0, kMarkSumBetween), "195.0000V");
}

TEST(ChannelValueAtMark, MultiRateChannelCountsItsOwnPoints) {
  // Channel 1 runs at twice the row rate: its point q is word 1 of row q / 2
  // for even q and its extra word 2 for odd q. Codes tell the point.
  MarkData d({1, 2}, 100, 0, [](int32_t row, int32_t word) -> uint16_t {
    if (word == 0) return static_cast<uint16_t>(1000 + row);
    return static_cast<uint16_t>(2 * row + (word == 2 ? 1 : 0));
  });
  ASSERT_EQ(d.layout.ExtraSlotFirst[1], 2);
  EXPECT_EQ(d.Value(7, 1, kMarkHexCode), "0x0007");
  EXPECT_EQ(d.Value(8, 1, kMarkHexCode), "0x0008");
  // The single-rate channel reads row 7 / 2.
  EXPECT_EQ(d.Value(7, 0, kMarkHexCode), "0x03EB");
}

TEST(ChannelValueAtMark, MultiRateSineHasItsFrequencyAndRms) {
  // 40 points a cycle on channel 1.
  MarkData d({1, 2}, 100, 0, [](int32_t row, int32_t word) -> uint16_t {
    if (word == 0) return 2048;
    return SineCode(2 * row + (word == 2 ? 1 : 0), 40);
  });
  for (int64_t b : {3, 120})  {
    EXPECT_EQ(d.Value(b, 1, kMarkFrequency2), "50.00 Hz") << "point " << b;
    EXPECT_NEAR(NumberOf(d.Value(b, 1, kMarkRms), "V"), kSineRms, kCodeRoundingVolts) << "point " << b;
  }
}

TEST(ChannelValueAtMark, KindsWithoutAChannelValueAreEmpty) {
  MarkData d = Sine(200);
  for (int32_t kind : {8, 9, 10, 11, kMarkAlgorithmList, kMarkAlgorithmValue, 22, -1})
    EXPECT_EQ(d.Value(100, 0, kind), "") << "kind " << kind;
  EXPECT_EQ(d.Value(100, 1, kMarkInstant), "");
  EXPECT_EQ(d.Value(100, -1, kMarkInstant), "");
}

TEST(ChannelValueAtMark, BufferPointBeyondTheDataWrapsRoundThem) {
  MarkData d = Sine(200);
  EXPECT_EQ(d.Value(100 + 200 * 7, 0, kMarkHexCode), "0x0A5A");
  EXPECT_EQ(d.Value(100 - 200, 0, kMarkHexCode), "0x0A5A");
  for (int32_t kind = 0; kind <= 21; ++kind) d.Value(INT64_MAX, 0, kind);
  EXPECT_EQ(d.Switch(INT64_MAX, 0, kMarkInstant), "");  // no switch inputs here
}

TEST(ChannelValueAtMark, NoScaleNoRateNoCyclesNeverDivideByZero) {
  MarkData d = Sine(200);
  d.config.ADMax = d.config.VZero;
  d.config.SamplesPerCycle = 0;
  d.config.ChannelRate = 0.0f;
  d.layout.MaxChannelRate = 0.0f;
  d.view.MarkHarmonics1 = 1;
  for (int32_t kind = 0; kind <= 21; ++kind) {
    const std::string text = d.Value(100, 0, kind);
    EXPECT_EQ(text.find("NAN"), std::string::npos) << "kind " << kind << ": " << text;
    EXPECT_EQ(text.find("INF"), std::string::npos) << "kind " << kind << ": " << text;
  }
}

TEST(ChannelValueAtMark, ColdJunctionTakesTheRoomChannelAtTheMark) {
  // Channel 1 (raw code) is the room temperature: its code is its row.
  MarkData d({1, 1}, 200, 0, [](int32_t row, int32_t word) -> uint16_t {
    return word == 1 ? static_cast<uint16_t>(row) : 2048;
  });
  d.config.AnalogChannelTable[1].ChnIDDC = kChannelRawCode;
  d.config.EnvTemp = -101.0f;
  d.Value(77, 0, kMarkMean);
  EXPECT_FLOAT_EQ(d.config.ColdJunctionTemp, 77.0f);
}

// Switch input 0 in word 1 (high for rows 10..19 of each 20), input 3 set in
// even rows, input 17 (word 2, bit 1) set everywhere.
MarkData Switches() {
  return MarkData({1}, 200, 20, [](int32_t row, int32_t word) -> uint16_t {
    if (word == 1) return static_cast<uint16_t>((row % 20 >= 10 ? 0x0001 : 0) | (row % 2 == 0 ? 0x0008 : 0));
    if (word == 2) return 0x0002;
    return 2048;
  });
}

TEST(SwitchValueAtMark, HexShowsTheInputsMaskedWord) {
  MarkData d = Switches();
  EXPECT_EQ(d.Switch(100, 3, kMarkHexCode), "8");
  EXPECT_EQ(d.Switch(101, 3, kMarkHexCode), "0");
  EXPECT_EQ(d.Switch(100, 17, kMarkHexCode), "2");
}

TEST(SwitchValueAtMark, LevelsForTheOtherKinds) {
  MarkData d = Switches();
  EXPECT_EQ(d.Switch(100, 3, kMarkInstant), "高电平");
  EXPECT_EQ(d.Switch(101, 3, kMarkRms), "低电平");
  EXPECT_EQ(d.Switch(101, 17, kMarkSumBetween), "高电平");
  // Inputs outside those in use have no value.
  EXPECT_EQ(d.Switch(100, 20, kMarkInstant), "");
  EXPECT_EQ(d.Switch(100, -1, kMarkInstant), "");
}

TEST(SwitchValueAtMark, RisingEdgesGiveFrequencyAndSpeed) {
  MarkData d = Switches();
  d.view.MarkAnalSpeedNumP2 = 3;
  d.view.MarkAnalSpeedScale = 60.0f;
  d.view.MarkSpeedUnit = "r/min";
  for (int32_t kind : {kMarkFrequency1, kMarkFrequency2, kMarkFrequency4})
    EXPECT_EQ(d.Switch(150, 0, kind), "50.00Hz") << "kind " << kind;
  EXPECT_EQ(d.Switch(150, 0, kMarkSpeed, 2), "3000.0r/min");
  // Only one edge before row 15.
  EXPECT_EQ(d.Switch(15, 0, kMarkFrequency1), "未知");
  // Input 17 never changes.
  EXPECT_EQ(d.Switch(150, 17, kMarkFrequency1), "未知");
}

}  // namespace

namespace quelvar::test {
namespace {

// A period of a fractional number of points: the crossings fall at different
// places between samples, so only an interpolated crossing gives the
// frequency to a hundredth of a hertz.
TEST(ChannelValueAtMark, FrequencyInterpolatesTheZeroCrossings) {
  constexpr double kHz = 47.3;  // 21.14 points a cycle at 1000 points a second
  MarkData d({1}, 400, 0, [](int32_t row, int32_t) {
    return Round(2048.0 + 1024.0 * std::sin(2.0 * std::numbers::pi * kHz * row / 1000.0));
  });
  for (int32_t kind : {kMarkFrequency1, kMarkFrequency2, kMarkFrequency4}) {
    for (int64_t point : {int64_t{10}, int64_t{300}}) {
      EXPECT_NEAR(NumberOf(d.Value(point, 0, kind), " Hz", 2), kHz, 0.02) << "kind " << kind << " at " << point;
    }
  }
}

}  // namespace
}  // namespace quelvar::test
