#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/DerivedChannels.h"

namespace {

using namespace quelvar;

constexpr CodeRange kCodes{2048, 4095};

// A record of `blocks` blocks of `numSamp` rows; words 0 .. analog - 1 are
// analog channels filled by `code(row, channel)`, one switch word follows.
HistoryRecord MakeRecord(int32_t blocks, int32_t numSamp, int32_t analog,
                         const std::function<uint16_t(int64_t, int32_t)>& code) {
  HistoryRecord h;
  h.BlockCount = blocks;
  h.NumSamp = numSamp;
  h.AnalogCount = analog;
  h.NumChn = analog + 1;
  std::vector<uint16_t> words;
  for (int64_t r = 0; r < int64_t{blocks} * numSamp; ++r) {
    for (int32_t c = 0; c < analog; ++c) words.push_back(code(r, c));
    words.push_back(0xFFFF);
  }
  words.push_back(0);
  h.Samples = std::move(words);
  h.Valid = 1;
  return h;
}

AnalogChannel Channel(const std::string& name, int32_t type) {
  AnalogChannel c;
  c.ChnName = name;
  c.ChnUnits = "V";
  c.ChnIDDC = type;
  c.ChnCoeA = 0.5f;
  c.ChnCoeB = 0.25f;
  return c;
}

TEST(DerivedSpan, CoversTheWholeBlocksOfTheScreenWithinTheRecord) {
  const HistoryRecord h = MakeRecord(4, 100, 1, [](int64_t, int32_t) { return uint16_t{0}; });
  struct Case {
    int32_t x, width, first, blocks;
  };
  for (const Case& c : {Case{0, 100, 0, 1}, Case{150, 100, 1, 2}, Case{99, 2, 0, 2}, Case{350, 500, 3, 1},
                        Case{900, 10, 3, 1}, Case{-5, 0, 0, 1}}) {
    const DerivedSpan s = ScreenSpan(h, c.x, c.width);
    EXPECT_EQ(s.firstBlock, c.first) << c.x;
    EXPECT_EQ(s.blocks, c.blocks) << c.x;
  }
  HistoryRecord shortOne = h;
  shortOne.Samples = std::vector<uint16_t>(150 * 2);  // holds one whole block only
  EXPECT_EQ(ScreenSpan(shortOne, 150, 100).blocks, 1);
  EXPECT_EQ(ScreenSpan(shortOne, 150, 100).firstBlock, 0);
}

TEST(DerivedDivisor, FollowsTheProposalRuleAndNeverDividesByZero) {
  struct Case {
    int64_t vmin, vmax;
    CodeRange codes;
    int32_t divisor;
  };
  for (const Case& c : {Case{0, 0, kCodes, 1}, Case{-2048, 2047, kCodes, 2}, Case{-10000, 0, kCodes, 6},
                        Case{0, 10000, kCodes, 5}, Case{-3, 10, {0, 4095}, 3}, Case{-5, 10, {4095, 4095}, 11},
                        Case{-5, 10, {4095, 100}, 11}, Case{0, int64_t{1} << 50, kCodes, 2147483647}}) {
    EXPECT_EQ(ProposeDivisor(c.vmin, c.vmax, c.codes), c.divisor) << c.vmin << " " << c.vmax;
  }
}

TEST(DerivedIntegral, SumsLongFullScaleDataIn64Bits) {
  // 40000 rows at full scale about a zero code of 0: the running sum passes
  // 2^31 after 32769 rows.
  constexpr int32_t kRows = 40000;
  const CodeRange codes{0, 65535};
  const HistoryRecord h = MakeRecord(1, kRows, 1, [](int64_t, int32_t) { return uint16_t{65535}; });
  const DerivedSpan span = ScreenSpan(h, 0, kRows);
  ASSERT_EQ(span.Rows(), kRows);
  // v_j = 65535 j, largest 65535 x 39999.
  const int32_t divisor = ProposeIntegralDivisor(h, span, 0, codes);
  EXPECT_EQ(divisor, 40000);
  const std::vector<uint16_t> y = IntegralColumn(h, span, 0, divisor, true, codes);
  for (int64_t j : {int64_t{0}, int64_t{1}, int64_t{32768}, int64_t{32769}, int64_t{kRows - 1}})
    EXPECT_EQ(y[static_cast<size_t>(j)], 65535 * j / 40000) << j;
  // Without a divisor the sum is clamped to full scale, never wrapped.
  const std::vector<uint16_t> raw = IntegralColumn(h, span, 0, 1, false, codes);
  EXPECT_EQ(raw, std::vector<uint16_t>(kRows, 65535));
}

TEST(DerivedIntegral, FollowsTheRunningSumAndClampsBelow) {
  const std::vector<uint16_t> x{2058, 2038, 2048, 2148, 0, 0};
  const HistoryRecord h = MakeRecord(1, 6, 1, [&](int64_t r, int32_t) { return x[static_cast<size_t>(r)]; });
  const DerivedSpan span = ScreenSpan(h, 0, 6);
  // S = 10, 0, 0, 100, -1948, -3996.
  EXPECT_EQ(IntegralColumn(h, span, 0, 1, false, kCodes), (std::vector<uint16_t>{2058, 2048, 2048, 2148, 100, 0}));
  // S - S / (j + 1) = 10 - 10, 0, 0, 100 - 25, -1948 + 389, -3996 + 666; halved.
  EXPECT_EQ(IntegralColumn(h, span, 0, 2, true, kCodes),
            (std::vector<uint16_t>{2048, 2048, 2048, 2048 + 37, 2048 - 779, 2048 - 1665}));
}

TEST(DerivedDifference, HoldsTheZeroCodeForTheFirstLagRowsThenTheDividedDifference) {
  const std::vector<uint16_t> x{100, 4000, 4095, 0, 0, 4095};
  const HistoryRecord h = MakeRecord(1, 6, 1, [&](int64_t r, int32_t) { return x[static_cast<size_t>(r)]; });
  const DerivedSpan span = ScreenSpan(h, 0, 6);
  EXPECT_EQ(DifferenceColumn(h, span, 0, 2, 1, kCodes), (std::vector<uint16_t>{2048, 2048, 4095, 0, 0, 4095}));
  EXPECT_EQ(DifferenceColumn(h, span, 0, 1, 3, kCodes),
            (std::vector<uint16_t>{2048, 2048 + 1300, 2048 + 31, 2048 - 1365, 2048, 2048 + 1365}));
  EXPECT_EQ(DifferenceColumn(h, span, 0, 9, 1, kCodes), std::vector<uint16_t>(6, 2048));
  // Differences from -4095 to 4095 need a divisor of 3 about the zero code.
  EXPECT_EQ(ProposeDifferenceDivisor(h, span, 0, 1, kCodes), 3);
}

TEST(DerivedDefaults, CounterAndRawChannelsAreOffWithDivisorsOfOne) {
  const HistoryRecord h = MakeRecord(1, 10, 1, [](int64_t r, int32_t) { return static_cast<uint16_t>(r * 400); });
  const DerivedSpan span = ScreenSpan(h, 0, 10);
  for (int32_t type : {2, 3}) {
    const DerivedChannelDef d = DefaultDerivedDef(h, span, 0, Channel("cnt", type), kCodes);
    EXPECT_EQ(d.SourceUsed, 0);
    EXPECT_EQ(d.IntegralDivisor, 1);
    EXPECT_EQ(d.DifferenceDivisor, 1);
    EXPECT_FLOAT_EQ(d.IntegralB, 0.25f);
  }
  const DerivedChannelDef d = DefaultDerivedDef(h, span, 0, Channel("压力通道一二三四", 1), kCodes);
  EXPECT_EQ(d.SourceUsed, 1);
  EXPECT_EQ(d.IntegralUsed, 0);
  EXPECT_EQ(d.DifferenceUsed, 0);
  EXPECT_EQ(d.IntegralRemoveMean, 1);
  EXPECT_EQ(d.DifferenceOrder, 1);
  EXPECT_EQ(d.IntegralDivisor, ProposeIntegralDivisor(h, span, 0, kCodes));
  EXPECT_GT(d.IntegralDivisor, 1);
  EXPECT_FLOAT_EQ(d.IntegralB, d.IntegralDivisor * 0.25f);
  // 15 GBK bytes at most (the record's field), never half a character:
  // seven two-byte characters.
  EXPECT_EQ(d.SourceName, "压力通道一二三");
  EXPECT_EQ(d.IntegralName, "积分压力通道一");
  EXPECT_EQ(DerivedText("abcdefghijklmnopqrst"), "abcdefghijklmno");
  // Six characters are 12 GBK bytes: the name stays whole.
  const DerivedChannelDef six = DefaultDerivedDef(h, span, 0, Channel("压力通道一二", 1), kCodes);
  EXPECT_EQ(six.SourceName, "压力通道一二");
  EXPECT_EQ(six.IntegralName, "积分压力通道一");
  EXPECT_EQ(six.DifferenceName, "差分压力通道一");
}

TEST(DerivedBuild, DefaultsReproduceTheShownBlocksOfUsableChannels) {
  const HistoryRecord h = MakeRecord(3, 4, 3, [](int64_t r, int32_t c) { return static_cast<uint16_t>(r * 10 + c); });
  const DerivedSpan span = ScreenSpan(h, 3, 3);  // rows 3..5 span blocks 0 and 1
  ASSERT_EQ(span.Rows(), 8);
  const std::vector<AnalogChannel> sources{Channel("a", 1), Channel("b", 2), Channel("c", 0)};
  std::vector<DerivedChannelDef> defs;
  for (int32_t c = 0; c < 3; ++c) defs.push_back(DefaultDerivedDef(h, span, c, sources[c], kCodes));
  DerivedSet set;
  ASSERT_EQ(BuildDerivedSet(h, span, defs, sources, kCodes, set), DerivedBuildResult::Built);
  ASSERT_EQ(set.channels.size(), 2u);
  EXPECT_EQ(set.pages, 2);
  for (int32_t j = 0; j < 8; ++j) {
    EXPECT_EQ(set.samples[j * 2], j * 10);
    EXPECT_EQ(set.samples[j * 2 + 1], j * 10 + 2);
  }
  EXPECT_EQ(set.channels[1].ChnName, "c");
  EXPECT_EQ(set.channels[1].ChnGroupNo, 1);
  EXPECT_EQ(set.channels[1].ChnPageNo, 1);
}

TEST(DerivedBuild, NumbersOutputsChannelByChannelWithAPagePerChannel) {
  const HistoryRecord h = MakeRecord(1, 5, 2, [](int64_t r, int32_t c) { return static_cast<uint16_t>(2048 + r * (c + 1)); });
  const DerivedSpan span = ScreenSpan(h, 0, 5);
  const std::vector<AnalogChannel> sources{Channel("a", 1), Channel("b", 1)};
  std::vector<DerivedChannelDef> defs(2);
  defs[0].IntegralUsed = 1;
  defs[0].IntegralName = "ia";
  defs[0].IntegralA = 3.0f;
  defs[1].SourceUsed = 0;
  defs[1].DifferenceUsed = 1;  // only its difference: a page of its own
  defs[1].DifferenceOrder = 2;
  defs[1].DifferenceName = "db";
  DerivedSet set;
  ASSERT_EQ(BuildDerivedSet(h, span, defs, sources, kCodes, set), DerivedBuildResult::Built);
  ASSERT_EQ(set.channels.size(), 3u);
  EXPECT_EQ(set.pages, 2);
  EXPECT_EQ(set.channels[1].ChnName, "ia");
  EXPECT_FLOAT_EQ(set.channels[1].ChnCoeA, 3.0f);
  EXPECT_EQ(set.channels[2].ChnName, "db");
  const std::vector<int32_t> pages{set.channels[0].ChnPageNo, set.channels[1].ChnPageNo, set.channels[2].ChnPageNo};
  EXPECT_EQ(pages, (std::vector<int32_t>{0, 0, 1}));
  const std::vector<uint16_t> diff = DifferenceColumn(h, span, 1, 2, 1, kCodes);
  const std::vector<uint16_t> integral = IntegralColumn(h, span, 0, 1, true, kCodes);
  for (size_t j = 0; j < 5; ++j) {
    EXPECT_EQ(set.samples[j * 3 + 1], integral[j]);
    EXPECT_EQ(set.samples[j * 3 + 2], diff[j]);
  }
  EXPECT_EQ(diff[0], 2048);
  EXPECT_EQ(diff[1], 2048);
  EXPECT_EQ(diff[2], 2052);
}

TEST(DerivedBuild, RefusesNoOutputsAndMoreThanAHundred) {
  const HistoryRecord h = MakeRecord(1, 2, 34, [](int64_t, int32_t) { return uint16_t{1}; });
  const DerivedSpan span = ScreenSpan(h, 0, 2);
  std::vector<AnalogChannel> sources(34, Channel("x", 1));
  std::vector<DerivedChannelDef> defs(34);
  for (auto& d : defs) d.SourceUsed = 0;
  DerivedSet set;
  set.pages = 77;
  EXPECT_EQ(BuildDerivedSet(h, span, defs, sources, kCodes, set), DerivedBuildResult::NoOutputs);
  for (auto& d : defs) d.SourceUsed = d.IntegralUsed = d.DifferenceUsed = 1;
  defs[0].SourceUsed = 0;
  ASSERT_EQ(CountDerivedOutputs(defs).outputs, 101);
  EXPECT_EQ(BuildDerivedSet(h, span, defs, sources, kCodes, set), DerivedBuildResult::TooManyOutputs);
  EXPECT_EQ(set.pages, 77);  // left as it was
  defs[1].SourceUsed = 0;
  EXPECT_EQ(BuildDerivedSet(h, span, defs, sources, kCodes, set), DerivedBuildResult::Built);
  EXPECT_EQ(set.channels.size(), 100u);
  EXPECT_EQ(set.pages, 34);
}

}  // namespace
