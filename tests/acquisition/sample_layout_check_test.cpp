#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

#include "LayoutForTest.h"
#include "acquisition/OnlineFilter.h"
#include "acquisition/SampleLayoutCheck.h"
#include "acquisition/VirtualCard.h"

namespace {

using namespace quelvar;
using quelvar::test::LayoutOf;

// Every block routine on a buffer of exactly rows x NumChn words: a routine
// that trusted a bad layout would step outside it (the sanitizer build
// reports that) or change it.
struct Outcome {
  bool filtered, resampled, generated;
};

Outcome RunAll(const SampleLayout& layout, int32_t rows, int32_t filterCoe, int32_t outputRows, int32_t resampNum,
               std::vector<uint16_t>& words, FilterState& filter, VirtualCardState& card) {
  LiveConfig live;
  live.SimulateRandom = 1;
  live.AnalogChannelTable[0].ChnIDDC = 2;
  std::function<int()> rand = [] { return 1000; };
  return {ApplyOnlineFilter(words.data(), rows, layout, filterCoe, false, filter),
          ApplyOnlineResample(words.data(), outputRows, layout, resampNum, 0),
          GenerateSimulatedBlock(words.data(), rows, layout, live, card, rand)};
}

TEST(SampleLayoutCheck, InconsistentLayoutsAreRefusedWithoutTouchingAnything) {
  // Two analog channels (multipliers 2 and 3), one switch word: words 0, 1
  // base, 2 switch, 3 extra of channel 0, 4..5 extras of channel 1.
  const SampleLayout good = LayoutOf({2, 3}, 9);
  ASSERT_EQ(good.NumChn, 6);
  struct Case {
    const char* what;
    std::function<void(SampleLayout&)> spoil;
  } cases[] = {
      {"negative analog count", [](SampleLayout& l) { l.Analog_Num = -1; }},
      {"more analog channels than the filter keeps", [](SampleLayout& l) { l.Analog_Num = l.NumVChn = l.NumChn = 101; }},
      {"analog beyond the virtual channels", [](SampleLayout& l) { l.NumVChn = 1; }},
      {"too many virtual channels", [](SampleLayout& l) { l.NumVChn = l.NumChn = 113; }},
      {"row narrower than the virtual channels", [](SampleLayout& l) { l.NumChn = 2; }},
      {"row narrower than the extra words", [](SampleLayout& l) { l.NumChn = 5; }},
      {"negative row width", [](SampleLayout& l) { l.NumChn = -6; }},
      {"multiplier 0", [](SampleLayout& l) { l.MultiFreqTable[1] = 0; }},
      {"multiplier larger than its extra words", [](SampleLayout& l) { l.MultiFreqTable[1] = 4; }},
      {"extra words among the switch words", [](SampleLayout& l) { l.ExtraSlotFirst[0] = 2; }},
      {"extra words beyond the row", [](SampleLayout& l) { l.ExtraSlotFirst[1] = 5, l.ExtraSlotLast[1] = 7; }},
      {"extra words shared by two channels", [](SampleLayout& l) { l.ExtraSlotFirst[1] = 3, l.ExtraSlotLast[1] = 5; }},
      {"extra range ends before it starts", [](SampleLayout& l) { l.ExtraSlotLast[1] = 3; }},
      // 4 + INT32_MAX - 1 wraps to INT32_MIN + 2 in 32 bits.
      {"slot sum that wraps", [](SampleLayout& l) { l.MultiFreqTable[1] = INT32_MAX, l.ExtraSlotLast[1] = INT32_MIN + 2; }},
  };
  for (const Case& c : cases) {
    SampleLayout bad = good;
    c.spoil(bad);
    EXPECT_FALSE(SampleLayoutIsConsistent(bad)) << c.what;
    std::vector<uint16_t> words(4 * static_cast<size_t>(std::max(bad.NumChn, 0)), 0x1357);
    const std::vector<uint16_t> before = words;
    FilterState filter;
    filter.Values.fill(5);
    VirtualCardState card{1234, 7};
    const Outcome o = RunAll(bad, 4, 950, 2, 2, words, filter, card);
    EXPECT_FALSE(o.filtered) << c.what;
    EXPECT_FALSE(o.resampled) << c.what;
    EXPECT_FALSE(o.generated) << c.what;
    EXPECT_EQ(words, before) << c.what;
    EXPECT_TRUE(filter.Reseed) << c.what;
    EXPECT_EQ(filter.Values[0], 5) << c.what;
    EXPECT_EQ(card.SampleCounter, 1234) << c.what;
    EXPECT_EQ(card.SpikePos, 7) << c.what;
  }
  std::vector<uint16_t> words(4 * 6, 0x1357);
  FilterState filter;
  VirtualCardState card;
  const Outcome o = RunAll(good, 4, 950, 2, 2, words, filter, card);
  EXPECT_TRUE(SampleLayoutIsConsistent(good));
  EXPECT_TRUE(o.filtered && o.resampled && o.generated);
}

TEST(SampleLayoutCheck, OutOfRangeCountsAndCoefficientsAreRefused) {
  const SampleLayout layout = LayoutOf({1, 2}, 3);
  std::vector<uint16_t> words(8 * layout.NumChn, 0x2468);
  const std::vector<uint16_t> before = words;
  FilterState filter;
  VirtualCardState card;
  LiveConfig live;
  EXPECT_FALSE(ApplyOnlineFilter(words.data(), -1, layout, 950, true, filter));
  EXPECT_FALSE(ApplyOnlineFilter(words.data(), 8, layout, -1, true, filter));
  EXPECT_FALSE(ApplyOnlineFilter(words.data(), 8, layout, 1001, true, filter));
  EXPECT_FALSE(ApplyOnlineResample(words.data(), -1, layout, 2, 1));
  EXPECT_FALSE(ApplyOnlineResample(words.data(), 4, layout, 0, 1));
  EXPECT_FALSE(ApplyOnlineResample(words.data(), 4, layout, -3, 0));
  EXPECT_FALSE(ApplyOnlineResample(words.data(), INT32_MAX, layout, INT32_MAX, 0));  // no such block can exist
  EXPECT_FALSE(GenerateSimulatedBlock(words.data(), -1, layout, live, card, {}));
  EXPECT_EQ(words, before);
  EXPECT_TRUE(filter.Reseed);
  EXPECT_EQ(card.SampleCounter, 0);
  // Groups of one leave the block as it is.
  EXPECT_TRUE(ApplyOnlineResample(words.data(), 8, layout, 1, 0));
  EXPECT_EQ(words, before);
}

}  // namespace
