#include <gtest/gtest.h>

#include <vector>

#include "view/DisplayLayout.h"
#include "view/TriggerPage.h"

namespace {

using namespace quelvar;

// Page tables rebuilt for `analog` analog channels, `switches` switch inputs
// and two predefined pages; algorithm 1 is configured.
class TriggerPageTest : public ::testing::Test {
 protected:
  LiveConfig live;
  RecordState record;
  PageTables pages;

  void Configure(int32_t analog, int32_t switches) {
    live.Analog_Num = analog;
    live.SW_Num = switches;
    live.TotalPages = 2;
    live.Algorithm_Num = 2;
    RebuildPageTables(live, UniversalPages{}, pages);
  }
  AlgorithmConfig& Algorithm(std::vector<int32_t> inputs, std::vector<int32_t> analog, std::vector<int32_t> sw) {
    AlgorithmConfig& a = live.AlgorithmTable[1];
    a.UsedChn = static_cast<int32_t>(inputs.size());
    for (size_t i = 0; i < inputs.size(); ++i) a.Channel[i] = inputs[i];
    a.AssAnalogChnNum = static_cast<int32_t>(analog.size());
    for (size_t i = 0; i < analog.size(); ++i) a.AssAnalogChn[i] = analog[i];
    a.AssSWChnNum = static_cast<int32_t>(sw.size());
    for (size_t i = 0; i < sw.size(); ++i) a.AssSWChn[i] = sw[i];
    record.TriggerKind = 2;
    record.TriggerAlgorithm = 1;
    return a;
  }
  int32_t Page() const { return live.TotalPages + 1; }
  std::vector<int32_t> Entries() const {
    const auto first = pages.Entries.begin() + 2 * (live.Analog_Num + live.SW_Num);
    return {first, first + pages.PageChannels[Page()]};
  }
};

TEST_F(TriggerPageTest, SwitchTriggerShowsTheInputThatFired) {
  Configure(4, 20);
  record.TriggerKind = 1;
  record.TriggerChannel = 17;
  BuildTriggerPage(pages, live, record);
  EXPECT_EQ(pages.PageChannels[Page()], 1);
  EXPECT_EQ(pages.PageSwitches[Page()], 1);
  EXPECT_EQ(Entries(), std::vector<int32_t>{4 + 17});
}

TEST_F(TriggerPageTest, AlgorithmTriggerListsInputsThenAssociatedChannelsThenSwitchInputs) {
  Configure(4, 2);
  Algorithm({2, 0, 1}, {3, 1}, {1});
  BuildTriggerPage(pages, live, record);
  EXPECT_EQ(pages.PageChannels[Page()], 6);
  EXPECT_EQ(pages.PageSwitches[Page()], 1);
  EXPECT_EQ(Entries(), (std::vector<int32_t>{2, 0, 1, 3, 1, 4 + 1}));
}

TEST_F(TriggerPageTest, AListLongerThanTheChannelsLosesItsTail) {
  struct Case {
    int32_t analog, switches;
    std::vector<int32_t> inputs, associated, sw;
    std::vector<int32_t> entries;
    int32_t switchEntries;
  } cases[] = {
      // 6 entries for 3 + 1 channels: the excess of 2 takes the switch input.
      {3, 1, {0, 1, 2}, {0, 1}, {0}, {0, 1, 2, 0}, 0},
      // 6 entries for 3 + 2 channels: one of the three switch inputs goes.
      {3, 2, {0}, {1, 2}, {0, 1, 1}, {0, 1, 2, 3 + 0, 3 + 1}, 2},
      {3, 2, {0}, {1}, {1}, {0, 1, 3 + 1}, 1},
  };
  for (const Case& c : cases) {
    Configure(c.analog, c.switches);
    Algorithm(c.inputs, c.associated, c.sw);
    BuildTriggerPage(pages, live, record);
    EXPECT_EQ(Entries(), c.entries) << c.analog << "+" << c.switches;
    EXPECT_EQ(pages.PageSwitches[Page()], c.switchEntries) << c.analog << "+" << c.switches;
  }
}

TEST_F(TriggerPageTest, ManualRecordLeavesTheTables) {
  Configure(4, 2);
  Algorithm({2}, {}, {});
  BuildTriggerPage(pages, live, record);
  const PageTables before = pages;
  record.TriggerKind = 0;
  Algorithm({3, 1}, {}, {});
  record.TriggerKind = 0;
  BuildTriggerPage(pages, live, record);
  EXPECT_EQ(pages.PageChannels, before.PageChannels);
  EXPECT_EQ(pages.PageSwitches, before.PageSwitches);
  EXPECT_EQ(pages.Entries, before.Entries);
}

TEST_F(TriggerPageTest, ATriggerNamingNoAlgorithmOrInputLeavesThePageEmpty) {
  Configure(4, 2);
  struct Case {
    int32_t kind, channel, algorithm;
  } cases[] = {{2, 0, -1}, {2, 0, 2}, {2, 0, kMaxAlgorithms}, {1, 2, 0}, {1, -1, 0}};
  for (const Case& c : cases) {
    Algorithm({2, 0, 1}, {}, {});
    BuildTriggerPage(pages, live, record);
    ASSERT_EQ(pages.PageChannels[Page()], 3);
    record.TriggerKind = c.kind;
    record.TriggerChannel = c.channel;
    record.TriggerAlgorithm = c.algorithm;
    BuildTriggerPage(pages, live, record);
    EXPECT_EQ(pages.PageChannels[Page()], 0) << c.kind << "/" << c.channel << "/" << c.algorithm;
    EXPECT_EQ(pages.PageSwitches[Page()], 0);
  }
}

TEST_F(TriggerPageTest, DamagedAlgorithmCountsAndChannelsAreTakenWithinRange) {
  Configure(10, 6);
  AlgorithmConfig& a = Algorithm({}, {}, {});
  a.UsedChn = 100;  // 8 inputs at most
  for (int i = 0; i < kAlgorithmChannels; ++i) a.Channel[i] = i;
  a.Channel[3] = 10;  // not a channel of this configuration
  a.AssAnalogChnNum = -3;
  a.AssSWChnNum = 9;  // 4 at most
  a.AssSWChn[0] = 5;
  a.AssSWChn[1] = 6;   // not an input
  a.AssSWChn[2] = -1;  // nor this
  a.AssSWChn[3] = 0;
  BuildTriggerPage(pages, live, record);
  EXPECT_EQ(Entries(), (std::vector<int32_t>{0, 1, 2, 4, 5, 6, 7, 10 + 5, 10 + 0}));
  EXPECT_EQ(pages.PageSwitches[Page()], 2);
}

TEST_F(TriggerPageTest, TablesNotBuiltForTheConfigurationAreNotTouched) {
  Algorithm({0}, {}, {});
  live.Analog_Num = 4;
  live.SW_Num = 2;
  live.TotalPages = 2;
  live.Algorithm_Num = 2;
  BuildTriggerPage(pages, live, record);  // never built
  EXPECT_TRUE(pages.PageChannels.empty());
  EXPECT_TRUE(pages.Entries.empty());

  Configure(2, 0);  // built for 2 pages and 2 channels
  const PageTables before = pages;
  live.TotalPages = 5;
  BuildTriggerPage(pages, live, record);
  live.TotalPages = 2;
  live.Analog_Num = 4;  // entries would start at 8 of 6
  BuildTriggerPage(pages, live, record);
  EXPECT_EQ(pages.PageChannels, before.PageChannels);
  EXPECT_EQ(pages.Entries, before.Entries);
}

}  // namespace
