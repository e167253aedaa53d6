#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <limits>
#include <vector>

#include "acquisition/ChannelLayout.h"
#include "view/ChannelValues.h"
#include "view/EngineeringUnits.h"

namespace {

using namespace quelvar;

// Display data of analog channels with the given rate multipliers, as a
// ring of `blocks` blocks of `numSamp` rows starting at `firstBlock`. Every
// word tells where it is (row x 256 + word) unless a fill says otherwise;
// every channel is a raw-code channel (A 0, B 1) reading its word itself.
struct Data {
  LiveConfig config;
  TorqueTables torque;
  SampleLayout layout;
  DisplayDescriptor display;
  std::vector<uint16_t> words;

  Data(std::initializer_list<int32_t> multipliers, int32_t numSamp, int32_t blocks, int32_t firstBlock,
       const std::function<uint16_t(int32_t, int32_t)>& fill = {}) {
    config.Analog_Num = static_cast<int32_t>(multipliers.size());
    config.SW_Num = 0;
    config.NumSamp = numSamp;
    int32_t c = 0;
    for (int32_t m : multipliers) {
      AnalogChannel& channel = config.AnalogChannelTable[c++];
      channel.MultiFreq = m;
      channel.ChnIDDC = kChannelRawCode;
      channel.ChnCoeA = 0.0f;
      channel.ChnCoeB = 1.0f;
    }
    ComputeChannelLayout(config, layout, 0, true, {});
    display.DispRowWords = config.NumChn;
    display.DispBlocks = blocks;
    display.DispRows = blocks * numSamp;
    display.DispPoints = display.DispRows * layout.MaxMultiFreq;
    display.DispFirstBlock = firstBlock;
    for (int32_t row = 0; row < display.DispRows; ++row)
      for (int32_t word = 0; word < config.NumChn; ++word)
        words.push_back(fill ? fill(row, word) : static_cast<uint16_t>(row * 256 + word));
    display.DispData = words.data();
  }
  ChannelValueSource Source() { return {config, torque, display, layout}; }
};

// The access rule written out plainly: the window point's position in the
// ring, wrapped, then its row and sub-sample.
uint16_t PlainRawSample(const Data& d, int64_t p, int32_t c) {
  const int64_t m = d.layout.MultiFreqTable[c];
  int64_t q = p + static_cast<int64_t>(d.display.DispFirstBlock) * d.config.NumSamp * m;
  if (q >= d.display.DispRows * m) q %= d.display.DispRows * m;
  const int64_t row = q / m, k = q % m;
  const int64_t word = k == 0 ? c : d.layout.ExtraSlotFirst[c] + k - 1;
  return d.words[row * d.display.DispRowWords + word];
}

TEST(RawSampleAtPoint, AgreesWithThePlainRuleOnEveryPointOfMultiRateChannels) {
  // 3 blocks of 4 rows, the oldest block 2: the window wraps round the ring.
  Data d({1, 4, 2, 3}, 4, 3, 2);
  const ChannelValueSource source = d.Source();
  for (int32_t c = 0; c < 4; ++c) {
    const int64_t points = static_cast<int64_t>(d.display.DispRows) * d.layout.MultiFreqTable[c];
    for (int64_t p = 0; p < 2 * points; ++p)
      ASSERT_EQ(RawSampleAtPoint(source, p, c), PlainRawSample(d, p, c)) << "channel " << c << " point " << p;
  }
}

TEST(RawSampleAtPoint, WindowStartsAtTheOldestBlockAndWraps) {
  Data d({1, 1}, 4, 3, 2);
  const ChannelValueSource source = d.Source();
  EXPECT_EQ(RawSampleAtPoint(source, 0, 1), 8 * 256 + 1);
  EXPECT_EQ(RawSampleAtPoint(source, 3, 1), 11 * 256 + 1);
  EXPECT_EQ(RawSampleAtPoint(source, 4, 1), 0 * 256 + 1);  // reaches DispRows: back to the start
  EXPECT_EQ(RawSampleAtPoint(source, 11, 0), 7 * 256);
}

TEST(ValueAtBufferPoint, MultiRateChannelHasItsSubSamplesInItsExtraSlots) {
  Data d({1, 4}, 4, 2, 1);
  ChannelValueSource source = d.Source();
  const int32_t extra = d.layout.ExtraSlotFirst[1];
  ASSERT_GE(extra, 2);
  struct Case {
    int64_t point;
    int32_t expected;
  } cases[] = {
      {8, 2 * 256 + 1},  {9, 2 * 256 + extra}, {11, 2 * 256 + extra + 2},
      {0, 1},            {31, 7 * 256 + extra + 2},
      {32, 1},  // beyond the data: wraps round the ring instead of reading past it
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(ValueAtBufferPoint(source, c.point, 1), c.expected) << c.point;
  // Window point 0 is buffer point DispFirstBlock x NumSamp x 4 = 16: row 4.
  EXPECT_DOUBLE_EQ(ValueAtPoint(source, 0, 1), 4 * 256 + 1);
  EXPECT_DOUBLE_EQ(ValueAtPoint(source, 17, 1), 0 * 256 + extra);
}

TEST(ValueAtPoint, ConvertsByTheChannelsOwnRecord) {
  Data d({1, 1}, 2, 2, 0, [](int32_t, int32_t) { return uint16_t{3072}; });
  d.config.VZero = 2048.0f;
  d.config.ADMax = 4096.0f;
  d.config.AnalogChannelTable[1].ChnIDDC = kChannelDC;
  d.config.AnalogChannelTable[1].ChnCoeA = 1.0f;
  d.config.AnalogChannelTable[1].ChnCoeB = 2.0f;
  ChannelValueSource source = d.Source();
  EXPECT_DOUBLE_EQ(ValueAtPoint(source, 1, 1), 6.0);
  EXPECT_DOUBLE_EQ(ValueAtPoint(source, 1, 0), 3072.0);
}

// Six channels; channel 4 is the torque power with the given factor numbers.
Data TorquePowerData(float a, float b) {
  Data d({1, 1, 1, 1, 1, 1}, 2, 2, 1, [](int32_t row, int32_t word) { return uint16_t(row * 10 + word + 1); });
  AnalogChannel& power = d.config.AnalogChannelTable[4];
  power.ChnIDDC = kChannelTorquePower;
  power.ChnCoeA = a;
  power.ChnCoeB = b;
  return d;
}

TEST(TorquePower, MultipliesItsFactorChannelsClampedIntoTheChannelsInUse) {
  struct Case {
    float a, b;
    int32_t ca, cb;
  } cases[] = {{1.7f, 2.0f, 1, 2},   {-3.0f, 2.0f, 0, 2},  {1.0f, 500.0f, 1, 5},
               {-0.9f, 5.99f, 0, 5}, {std::numeric_limits<float>::quiet_NaN(), 1e30f, 0, 5}};
  for (const Case& c : cases) {
    Data d = TorquePowerData(c.a, c.b);
    ChannelValueSource source = d.Source();
    // Buffer point 3 is row 3 of the data.
    const double expected = double(3 * 10 + c.ca + 1) * double(3 * 10 + c.cb + 1);
    EXPECT_DOUBLE_EQ(ValueAtBufferPoint(source, 3, 4), expected) << c.a << " x " << c.b;
    // Window point 1 is row 1 + DispFirstBlock x NumSamp = 3 as well.
    EXPECT_DOUBLE_EQ(ValueAtPoint(source, 1, 4), expected) << c.a << " x " << c.b;
  }
}

TEST(TorquePower, OfItselfOrAnotherProductReadsZeroInsteadOfRecursingWithoutEnd) {
  Data d = TorquePowerData(4.0f, 1.0f);
  ChannelValueSource source = d.Source();
  EXPECT_DOUBLE_EQ(ValueAtBufferPoint(source, 0, 4), 0.0);
  Data pair = TorquePowerData(3.0f, 1.0f);
  pair.config.AnalogChannelTable[3] = pair.config.AnalogChannelTable[4];
  pair.config.AnalogChannelTable[3].ChnCoeA = 4.0f;
  ChannelValueSource pairSource = pair.Source();
  EXPECT_DOUBLE_EQ(ValueAtBufferPoint(pairSource, 0, 4), 0.0);
  EXPECT_DOUBLE_EQ(ValueAtBufferPoint(pairSource, 0, 3), 0.0);
}

TEST(TorquePower, FactorsAtAnotherRateAreReadAtTheSameInstantNotBeyondTheData) {
  // Channel 0 at twice the rate, channel 2 at the base rate, power channel 1
  // at twice the rate: its point 5 is row 2, factor 2's point 2.
  Data d({2, 2, 1}, 2, 2, 0);
  AnalogChannel& power = d.config.AnalogChannelTable[1];
  power.ChnIDDC = kChannelTorquePower;
  power.ChnCoeA = 0.0f;
  power.ChnCoeB = 2.0f;
  ChannelValueSource source = d.Source();
  const int32_t extra0 = d.layout.ExtraSlotFirst[0];
  EXPECT_DOUBLE_EQ(ValueAtBufferPoint(source, 5, 1), double(2 * 256 + extra0) * double(2 * 256 + 2));
  EXPECT_DOUBLE_EQ(ValueAtBufferPoint(source, 7, 1), double(3 * 256 + extra0) * double(3 * 256 + 2));
}

// Channel 0 is a J thermocouple reading 0 V, so its value is the cold
// junction; channel 2 is the room-temperature channel, raw code / 100 degC.
Data ColdJunctionData(int32_t channels, float envTemp) {
  Data d({1, 1, 1, 1}, 2, 2, 0, [](int32_t row, int32_t word) { return uint16_t(word == 0 ? 2048 : 2500 + row * 100); });
  d.config.Analog_Num = channels;
  d.config.VZero = 2048.0f;
  d.config.ADMax = 4096.0f;
  d.config.EnvTemp = envTemp;
  d.config.ColdJunctionTemp = 20.0f;
  d.config.AnalogChannelTable[0].ChnIDDC = kChannelJType;
  d.config.AnalogChannelTable[2].ChnCoeB = 0.01f;
  return d;
}

TEST(ColdJunction, RoomTemperatureChannelIsReadAtEveryFetch) {
  Data d = ColdJunctionData(4, -102.0f);
  ChannelValueSource source = d.Source();
  EXPECT_NEAR(ValueAtBufferPoint(source, 1, 0), 26.0, 1e-3);  // row 1: 2600 / 100
  EXPECT_NEAR(d.config.ColdJunctionTemp, 26.0f, 1e-4);
  EXPECT_DOUBLE_EQ(ValueAtBufferPoint(source, 3, 1), 2800.0);  // any channel's fetch refreshes
  EXPECT_NEAR(d.config.ColdJunctionTemp, 28.0f, 1e-4);
}

TEST(ColdJunction, KeepsItsValueWhileNoChannelInUseIsNamed) {
  struct Case {
    int32_t channels;
    float envTemp;
  } cases[] = {{2, -102.0f}, {4, -99.9f}, {4, 20.0f}, {4, -std::numeric_limits<float>::infinity()},
               {4, std::numeric_limits<float>::quiet_NaN()}, {4, -1e30f}};
  for (const Case& c : cases) {
    Data d = ColdJunctionData(c.channels, c.envTemp);
    ChannelValueSource source = d.Source();
    EXPECT_NEAR(ValueAtBufferPoint(source, 1, 0), 20.0, 1e-3) << c.envTemp;
    EXPECT_EQ(d.config.ColdJunctionTemp, 20.0f) << c.envTemp;
  }
}

TEST(ColdJunction, NamedChannelIsReadAtTheSameInstantAtItsOwnRate) {
  Data d({2, 4}, 2, 2, 0);
  ChannelValueSource source = d.Source();
  // -101.7 names channel 1 (rate 4). Buffer point 3 of channel 0 (rate 2) is
  // row 1; channel 1's sub-sample there is 3 x 4 / 2 = 6: row 1, extra slot 2.
  d.config.EnvTemp = -101.7f;
  ValueAtBufferPoint(source, 3, 0);
  EXPECT_EQ(d.config.ColdJunctionTemp, float(1 * 256 + d.layout.ExtraSlotFirst[1] + 1));
  // -100.5 names channel 0. Buffer point 3 of channel 1 is row 0; channel
  // 0's sub-sample there is 3 x 2 / 4 = 1: row 0, extra slot 1.
  d.config.EnvTemp = -100.5f;
  ValueAtBufferPoint(source, 3, 1);
  EXPECT_EQ(d.config.ColdJunctionTemp, float(0 * 256 + d.layout.ExtraSlotFirst[0]));
}

TEST(ChannelValues, ChannelsNotInUseAndMissingDataReadZero) {
  Data d({1, 1}, 2, 2, 0);
  ChannelValueSource source = d.Source();
  for (int32_t c : {-1, 2, 100, 5000}) {
    EXPECT_EQ(RawSampleAtPoint(source, 0, c), 0) << c;
    EXPECT_EQ(ValueAtPoint(source, 0, c), 0.0) << c;
    EXPECT_EQ(ValueAtBufferPoint(source, 0, c), 0.0) << c;
  }
  Data empty({1, 1}, 2, 0, 0);
  ChannelValueSource emptySource = empty.Source();
  EXPECT_EQ(RawSampleAtPoint(emptySource, 0, 1), 0);
  EXPECT_EQ(ValueAtPoint(emptySource, 3, 1), 0.0);
  d.display.DispData = nullptr;
  EXPECT_EQ(ValueAtPoint(source, 0, 1), 0.0);
}

}  // namespace
