#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquisition/ChannelLayout.h"
#include "view/EngineeringUnits.h"
#include "view/TorqueZero.h"

namespace {

using namespace quelvar;

// Channels 0 (DC), 1 (torque 1, rate 2) and 2 (torque 3 with a scaled,
// non-linear curve) and a block of 5 rows whose words vary.
struct BlockRun {
  LiveConfig config;
  TorqueTables torque;
  SampleLayout layout;
  std::vector<uint16_t> block;

  explicit BlockRun(int32_t torqueTypes = 1) {
    config.Analog_Num = 3;
    config.SW_Num = 0;
    config.NumSamp = 5;
    config.VZero = 2048.0f;
    config.ADMax = 4096.0f;
    config.AnalogChannelTable[0].ChnIDDC = kChannelDC;
    config.AnalogChannelTable[0].ChnCoeA = 0.25f;
    config.AnalogChannelTable[1].ChnIDDC = torqueTypes ? kChannelTorque1 : kChannelDC;
    config.AnalogChannelTable[1].ChnCoeA = 9.0f;
    config.AnalogChannelTable[1].MultiFreq = 2;
    config.AnalogChannelTable[2].ChnIDDC = torqueTypes ? kChannelTorque3 : kChannelPeriod;
    config.AnalogChannelTable[2].ChnCoeA = -4.0f;
    config.AnalogChannelTable[2].ChnCoeB = 3.0f;
    for (int i = 0; i < kTorqueCurvePoints; ++i) torque.TorqueTableT3[i] = (i - 10) * (i - 10) * 0.1;
    ComputeChannelLayout(config, layout, 0, true, {});
    block.push_back(77);  // sequence word
    for (int32_t row = 0; row < config.NumSamp; ++row)
      for (int32_t word = 0; word < layout.NumChn; ++word)
        block.push_back(static_cast<uint16_t>(2048 + (row * 37 + word * 101) % 900));
  }
  // Mean engineering value of channel c over the block, every sub-sample.
  double Mean(int32_t c) const {
    const AnalogChannel& channel = config.AnalogChannelTable[c];
    double sum = 0;
    int n = 0;
    for (int32_t row = 0; row < config.NumSamp; ++row) {
      const uint16_t* r = block.data() + 1 + row * layout.NumChn;
      sum += RawToEngineering(config, torque, channel, r[c]), ++n;
      for (int32_t w = layout.ExtraSlotFirst[c]; w < layout.ExtraSlotLast[c]; ++w)
        sum += RawToEngineering(config, torque, channel, r[w]), ++n;
    }
    return sum / n;
  }
};

TEST(TorqueZero, TorqueChannelsAverageZeroOnTheSameBlockAfterwards) {
  BlockRun run;
  ASSERT_EQ(run.layout.ExtraSlotLast[1] - run.layout.ExtraSlotFirst[1], 1);
  ASSERT_GT(std::abs(run.Mean(1)), 0.1);
  const TorqueZeroOutcome outcome = ZeroTorqueChannels(run.config, run.torque, run.layout, 1, run.block);
  EXPECT_EQ(outcome, TorqueZeroOutcome::Zeroed);
  EXPECT_EQ(std::string(TorqueZeroMessage(outcome)), "提示：扭矩置0成功!");
  EXPECT_NEAR(run.Mean(1), 0.0, 1e-5);
  EXPECT_NEAR(run.Mean(2), 0.0, 1e-5);
  EXPECT_NE(run.config.AnalogChannelTable[1].ChnCoeA, 9.0f);
  EXPECT_EQ(run.config.AnalogChannelTable[2].ChnCoeB, 3.0f);
  EXPECT_EQ(run.config.AnalogChannelTable[0].ChnCoeA, 0.25f);  // not a torque channel
}

TEST(TorqueZero, OscilloscopeDataIsAcquiredDataToo) {
  BlockRun run;
  EXPECT_EQ(ZeroTorqueChannels(run.config, run.torque, run.layout, 2, run.block), TorqueZeroOutcome::Zeroed);
}

TEST(TorqueZero, WarnsAndChangesNothingWithoutAcquiredDataOrTorqueChannels) {
  struct Case {
    const char* what;
    int32_t torqueTypes;
    int32_t dataSourceMode;
    size_t blockWords;  // 0: the whole block
    TorqueZeroOutcome expected;
    const char* message;
  } cases[] = {
      {"stored data on display", 1, 0, 0, TorqueZeroOutcome::NoAcquisitionData, "警告：无采集结果。扭矩置0无法完成!"},
      {"no torque channel", 0, 1, 0, TorqueZeroOutcome::NoTorqueChannel, "警告：无扭矩通道!"},
      {"no block in hand yet", 1, 1, 1, TorqueZeroOutcome::NoAcquisitionData, "警告：无采集结果。扭矩置0无法完成!"},
      {"a block short of its last word", 1, 1, 5 * 4, TorqueZeroOutcome::NoAcquisitionData,
       "警告：无采集结果。扭矩置0无法完成!"},
  };
  for (const Case& c : cases) {
    BlockRun run(c.torqueTypes);
    const LiveConfig before = run.config;
    std::span<const uint16_t> block(run.block);
    if (c.blockWords != 0) block = block.first(c.blockWords - 1);
    const TorqueZeroOutcome outcome = ZeroTorqueChannels(run.config, run.torque, run.layout, c.dataSourceMode, block);
    EXPECT_EQ(outcome, c.expected) << c.what;
    EXPECT_EQ(std::string(TorqueZeroMessage(outcome)), c.message) << c.what;
    for (int32_t ch = 0; ch < 3; ++ch)
      EXPECT_EQ(run.config.AnalogChannelTable[ch].ChnCoeA, before.AnalogChannelTable[ch].ChnCoeA) << c.what;
  }
}

TEST(TorqueZero, NoRowsInABlockIsNoDataNotADivisionByZero) {
  BlockRun run;
  run.config.NumSamp = 0;
  EXPECT_EQ(ZeroTorqueChannels(run.config, run.torque, run.layout, 1, run.block),
            TorqueZeroOutcome::NoAcquisitionData);
  EXPECT_EQ(run.config.AnalogChannelTable[1].ChnCoeA, 9.0f);
}

}  // namespace
