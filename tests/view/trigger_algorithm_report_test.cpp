// The report printed about the trigger algorithm that started a record.
#include <gtest/gtest.h>

#include "common/BinaryLayouts.h"
#include "platform/GbkText.h"
#include "view/TriggerAlgorithmReport.h"

namespace {

using namespace quelvar;

// 100 points a block at 1000 points a second: one block is 100 ms.
class TriggerReportTest : public ::testing::Test {
 protected:
  TriggerReportTest() {
    config.NumSamp = 50;
    config.MaxMultiFreq = 2;
    layout.MaxChannelRate = 1000.0f;
    config.Analog_Num = 4;
    config.AnalogChannelTable[2].ChnName = "Ua";
    config.Algorithm_Num = 3;
    AlgorithmConfig& a = config.AlgorithmTable[1];
    a.Type = 1;  // "峰值超过": one channel "DC-AC", one set point "峰值"
    platform::WriteGbkField("过压", a.Name, sizeof a.Name);
    a.UsedChn = 1;
    a.Channel[0] = 2;
    a.SetPointNum = 1;
    a.SetPoint[0] = 12.5f;
    a.PreRecordTime = 120;
    a.RecordTime = 5200;
    a.CompressRecordTime = 0;
    record.TriggerAlgorithm = 1;
    record.TriggerBlock = 2;
    record.TriggerOffset = 50;  // 250 points before the trigger
    record.BlockCount = 10;
    record.CompressedBlocks = 0;
  }

  LiveConfig config;
  SampleLayout layout;
  HistoryRecord record;
};

TEST_F(TriggerReportTest, EveryLineOfAValidAlgorithm) {
  EXPECT_EQ(TriggerAlgorithmReport(config, layout, record), (std::vector<std::string>{
                                                                 "",
                                                                 "  模拟量启动录波记录波形！",
                                                                 "",
                                                                 "启动算法编号：1",
                                                                 "启动算法编号：1",
                                                                 "算法名称：过压",
                                                                 "算法类型：峰值超过",
                                                                 "",
                                                                 "算法依据通道数：1",
                                                                 "  DC-AC: 通道号: 2: Ua",
                                                                 "",
                                                                 "算法使用启动阈值数：1",
                                                                 "  峰值: 12.50",
                                                                 "",
                                                                 "触发前记录时间要求：120 ms",
                                                                 "   触发前记录时间实际=250 ms",
                                                                 "触发后记录时间要求：5200 ms",
                                                                 "   触发后记录时间实际=750 ms",
                                                                 "触发后压缩记录时间要求：0 ms",
                                                             }));
}

TEST_F(TriggerReportTest, CompressedTimeOnlyWithCompressedBlocks) {
  record.CompressedBlocks = 2;
  record.CompressRatio = 5;
  const std::vector<std::string> lines = TriggerAlgorithmReport(config, layout, record);
  ASSERT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines[17], "   触发后记录时间实际=550 ms");
  EXPECT_EQ(lines[19], "   触发后压缩记录时间实际=1000 ms");
}

TEST_F(TriggerReportTest, AnAlgorithmNoLongerInTheTable) {
  const std::vector<std::string> invalid{"", "  模拟量启动录波记录波形！", "", "启动算法编号：3", "但算法号不再有效！"};
  record.TriggerAlgorithm = 3;
  EXPECT_EQ(TriggerAlgorithmReport(config, layout, record), invalid);
  record.TriggerAlgorithm = -1;
  EXPECT_EQ(TriggerAlgorithmReport(config, layout, record).back(), "但算法号不再有效！");
  record.TriggerAlgorithm = 1;
  config.Algorithm_Num = 100000;  // beyond the table's capacity
  record.TriggerAlgorithm = kMaxAlgorithms;
  EXPECT_EQ(TriggerAlgorithmReport(config, layout, record).back(), "但算法号不再有效！");
}

TEST_F(TriggerReportTest, NumbersOutsideTheirTablesGiveEmptyNames) {
  AlgorithmConfig& a = config.AlgorithmTable[1];
  a.Channel[0] = 50;  // beyond Analog_Num
  a.SetPointNum = 6;  // more than the type names
  a.UsedChn = 99;
  a.Type = 999;
  const std::vector<std::string> lines = TriggerAlgorithmReport(config, layout, record);
  EXPECT_EQ(lines[6], "算法类型：");
  EXPECT_EQ(lines[9], "  : 通道号: 50: ");
  // Eight channel lines at most, six set points.
  EXPECT_EQ(lines.size(), 19u - 2 + 8 + 6);
}

TEST_F(TriggerReportTest, NoRateGivesNoTime) {
  layout.MaxChannelRate = 0.0f;
  EXPECT_EQ(TriggerAlgorithmReport(config, layout, record)[15], "   触发前记录时间实际=0 ms");
}

}  // namespace
