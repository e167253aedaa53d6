#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "acquisition/ChannelLayout.h"
#include "acquisition/SampleLayoutCheck.h"
#include "common/ConfigBounds.h"

namespace {

using namespace quelvar;

LiveConfig WithChannels(std::initializer_list<int32_t> multipliers, int32_t switches) {
  LiveConfig live;
  live.Analog_Num = static_cast<int32_t>(multipliers.size());
  live.SW_Num = switches;
  int c = 0;
  for (int32_t m : multipliers) live.AnalogChannelTable[c++].MultiFreq = m;
  return live;
}

TEST(ChannelLayout, MultiRateChannelsGetTheirExtraWordsAfterTheSwitchWords) {
  LiveConfig live = WithChannels({1, 4, 2}, 20);
  SampleLayout layout;
  ComputeChannelLayout(live, layout, 192, false, {});
  EXPECT_EQ(live.NumVChn, 5);
  EXPECT_EQ(live.NumChn, 9);
  EXPECT_EQ(live.MaxMultiFreq, 4);
  EXPECT_EQ(layout.MaxMultiFreq, 4);
  EXPECT_EQ(live.BegChn, 3);
  const int32_t first[] = {5, 5, 8}, last[] = {5, 8, 9}, mult[] = {1, 4, 2, 1, 1};
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(layout.ExtraSlotFirst[c], first[c]) << c;
    EXPECT_EQ(layout.ExtraSlotLast[c], last[c]) << c;
  }
  for (int v = 0; v < 5; ++v) EXPECT_EQ(layout.MultiFreqTable[v], mult[v]) << v;
  EXPECT_EQ(layout.ExtraSlotFirst[3], 0);  // switch words have no extra words
  EXPECT_FLOAT_EQ(layout.MaxChannelRate, 4 * live.ChannelRate);
}

// A configuration put back without the checks may carry any multiplier; the
// slot numbers once overflowed at 2^31.
TEST(ChannelLayout, MultipliersBeyondARowAreBoundedBeforeTheSlotsAreCounted) {
  LiveConfig live = WithChannels({INT32_MAX, 1, INT32_MAX - 1, kMaxMultiFreq + 1, 0, -7}, 20);
  SampleLayout layout;
  ComputeChannelLayout(live, layout, 0, false, {});
  const int32_t mult[] = {kMaxMultiFreq, 1, kMaxMultiFreq, kMaxMultiFreq, 1, 1};
  int64_t next = 6 + 2;  // after six base words and two switch words
  for (int c = 0; c < 6; ++c) {
    EXPECT_EQ(layout.MultiFreqTable[c], mult[c]) << c;
    EXPECT_EQ(layout.ExtraSlotFirst[c], next) << c;
    next += mult[c] - 1;
    EXPECT_EQ(layout.ExtraSlotLast[c], next) << c;
  }
  EXPECT_EQ(live.NumChn, next);
  EXPECT_EQ(live.MaxMultiFreq, kMaxMultiFreq);
  EXPECT_TRUE(SampleLayoutIsConsistent(layout));
}

TEST(ChannelLayout, SwitchWordsAndSingleRateChannels) {
  struct Case {
    int32_t switches;
    int32_t words;
  } cases[] = {{0, 0}, {1, 1}, {16, 1}, {17, 2}, {192, 12}};
  for (const Case& c : cases) {
    LiveConfig live = WithChannels({1, 1}, c.switches);
    SampleLayout layout;
    ComputeChannelLayout(live, layout, 0, false, {});
    EXPECT_EQ(live.NumVChn, 2 + c.words) << c.switches;
    EXPECT_EQ(live.NumChn, live.NumVChn) << c.switches;
    EXPECT_EQ(layout.ExtraSlotFirst[1], live.NumVChn);
    EXPECT_EQ(layout.ExtraSlotLast[1], live.NumVChn);
    EXPECT_EQ(layout.MaxMultiFreq, 1);
  }
}

TEST(ChannelLayout, ChannelRateFromTheDriverUnlessLent) {
  LiveConfig live = WithChannels({1, 1, 1}, 0);
  live.FrqSamp = 12000;
  live.OnlineResamp = 1;
  live.ResampNum = 4;
  SampleLayout layout;
  ComputeChannelLayout(live, layout, 0, false, [](int32_t n, int32_t f) { return static_cast<float>(f) / n; });
  EXPECT_FLOAT_EQ(live.ChannelRate, 1000.0f);
  ComputeChannelLayout(live, layout, 0, false, [](int32_t, int32_t) { return -5.0f; });
  EXPECT_FLOAT_EQ(live.ChannelRate, 1.0f);
  ComputeChannelLayout(live, layout, 0, false, [](int32_t, int32_t) { return std::nanf(""); });
  EXPECT_FLOAT_EQ(live.ChannelRate, 1.0f);
  ComputeChannelLayout(live, layout, 0, false, {});
  EXPECT_FLOAT_EQ(live.ChannelRate, 12000.0f);  // without the entry: the nominal rate
  live.ChannelRate = 777.0f;
  ComputeChannelLayout(live, layout, 0, true, [](int32_t, int32_t) { return 5.0f; });
  EXPECT_FLOAT_EQ(live.ChannelRate, 777.0f);  // a lent configuration keeps its rate
}

}  // namespace
