#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "acquisition/LayoutForTest.h"
#include "analysis/TriggerPointSearch.h"
#include "platform/GbkText.h"

namespace {

using namespace quelvar;

// A shown history record of `blocks` blocks of 20 rows at 1000 Hz, its
// channels at 2048 codes: one code is one engineering unit (VZero 2048,
// ADMax 3048, ChnCoeB 200), so set points are in codes from the zero line.
struct SearchBench {
  static constexpr int32_t kNumSamp = 20;
  LiveConfig live;
  SampleLayout layout;
  DisplayDescriptor display;
  std::vector<uint16_t> samples;

  SearchBench(int32_t blocks, const std::vector<int32_t>& multipliers) : layout(test::LayoutOf(multipliers, 0)) {
    live.NumSamp = kNumSamp;
    live.ChannelRate = 1000.0f;
    live.SamplesPerCycle = 20;
    live.VZero = 2048.0f;
    live.ADMax = 3048.0f;
    live.Analog_Num = static_cast<int32_t>(multipliers.size());
    live.NumChn = layout.NumChn;
    live.MaxMultiFreq = layout.MaxMultiFreq;
    for (int32_t c = 0; c < live.Analog_Num; ++c) live.AnalogChannelTable[static_cast<size_t>(c)].ChnCoeB = 200.0f;
    const int32_t rows = blocks * kNumSamp;
    samples.assign(static_cast<size_t>(rows) * layout.NumChn, 2048);
    display.DispData = samples.data();
    display.DispBlocks = blocks;
    display.DispRows = rows;
    display.DispPoints = rows * layout.MaxMultiFreq;
    display.DispRowWords = layout.NumChn;
    display.DispValid = 1;
    display.SelectFault = 1;
  }
  void Set(int32_t row, int32_t word, int32_t fromZero) {
    samples[static_cast<size_t>(row) * layout.NumChn + word] = static_cast<uint16_t>(2048 + fromZero);
  }
  void Trigger(int32_t block, int32_t point) {
    display.DispTriggerBlock = block;
    display.DispTriggerPoint = point;
  }
  // Type 1 fires above the set point, type 2 below it.
  void AddAlgorithm(int32_t type, int32_t channel, float setPoint, const char* name) {
    AlgorithmConfig& a = live.AlgorithmTable[static_cast<size_t>(live.Algorithm_Num++)];
    a.Type = type;
    a.UsedChn = 1;
    a.Channel[0] = channel;
    a.SetPointNum = 1;
    a.SetPoint[0] = setPoint;
    platform::WriteGbkField(name, a.Name, sizeof a.Name);
  }
};

TEST(TriggerPointSearch, FindsTheFirstFiringPointOfEachAlgorithmWithItsTimeFromTheOrigin) {
  SearchBench b(5, {1, 1});
  b.Trigger(1, 5);  // origin at point 25
  b.Set(37, 0, 150);
  b.Set(60, 0, 300);  // a later firing of the same algorithm is not reported
  b.Set(12, 1, -80);  // before the origin: a negative time
  b.AddAlgorithm(1, 0, 100.0f, "过流");
  b.AddAlgorithm(1, 1, 1000.0f, "不动作");
  b.AddAlgorithm(2, 1, -50.0f, "低压");

  const TriggerPointSearchResult r = SearchTriggerPoints(b.live, b.layout, b.display, false);

  ASSERT_EQ(r.found.TriggerPointCount, 2);
  const auto found = r.found.InUse();
  EXPECT_EQ(found[0].Algorithm, 0);
  EXPECT_EQ(found[0].Type, 1);
  EXPECT_EQ(found[0].Point, 37);
  EXPECT_EQ(found[1].Algorithm, 2);
  EXPECT_EQ(found[1].Type, 2);
  EXPECT_EQ(found[1].Point, 12);
  const std::vector<std::string> expected = {
      "\r\n\r\n注：开始搜索所有算法的触发点，计算采用Fourier整数算法。",
      "\r\n  算法0: 过流,类型:峰值超过\r\n   触发于点 37,12.00 ms",
      "\r\n  算法2: 低压,类型:谷值低于\r\n   触发于点 12,-13.00 ms",
      "\r\n 注：共搜索到 2 个触发点！\r\n",
  };
  EXPECT_EQ(r.runLog, expected);
  EXPECT_EQ(r.statusText, "");
}

TEST(TriggerPointSearch, NothingFiringLeavesAnEmptyListAndSaysSo) {
  SearchBench b(2, {1});
  b.AddAlgorithm(1, 0, 100.0f, "过流");
  const TriggerPointSearchResult r = SearchTriggerPoints(b.live, b.layout, b.display, true);
  EXPECT_EQ(r.found.TriggerPointCount, 0);
  const std::vector<std::string> expected = {"\r\n\r\n注：开始搜索所有算法的触发点，计算采用精确算法。",
                                             "\r\n 注：未搜索到触发点!"};
  EXPECT_EQ(r.runLog, expected);
  EXPECT_EQ(r.statusText, "注：未搜索到触发点!");
}

TEST(TriggerPointSearch, MendedFasterChannelsAreSearchedOverEveryDisplayPointAtTheirOwnRate) {
  // Channel 0 at twice the base rate: 2 display points a row. Its only
  // peak is the extra sub-sample of row 35 (display point 71), beyond the
  // first DispRows points that a search by rows would stop at.
  SearchBench b(2, {2, 1});
  ASSERT_EQ(b.display.DispPoints, 80);
  b.Trigger(0, 10);
  b.Set(35, b.layout.ExtraSlotFirst[0], 150);
  b.AddAlgorithm(1, 0, 100.0f, "快");
  const TriggerPointSearchResult r = SearchTriggerPoints(b.live, b.layout, b.display, false);
  ASSERT_EQ(r.found.TriggerPointCount, 1);
  EXPECT_EQ(r.found.InUse()[0].Point, 71);
  // 61 points after the origin at 2000 points a second.
  ASSERT_EQ(r.runLog.size(), 3u);
  EXPECT_EQ(r.runLog[1], "\r\n  算法0: 快,类型:峰值超过\r\n   触发于点 71,30.50 ms");
}

TEST(TriggerPointSearch, ACompressedTailCountsItsPointsAtTheirOwnSpacing) {
  // Blocks 2 and 3 are compressed 1:4: display point 50 stands for sample
  // position 40 + 10 x 4 + 2 = 82.
  SearchBench b(4, {1});
  b.display.DispCompressed = 1;
  b.display.DispCompressStart = 2;
  b.display.DispCompressRatio = 4;
  b.Set(50, 0, 150);
  b.AddAlgorithm(1, 0, 100.0f, "过流");
  const TriggerPointSearchResult r = SearchTriggerPoints(b.live, b.layout, b.display, false);
  ASSERT_EQ(r.found.TriggerPointCount, 1);
  EXPECT_EQ(r.runLog[1], "\r\n  算法0: 过流,类型:峰值超过\r\n   触发于点 50,82.00 ms");
}

}  // namespace
