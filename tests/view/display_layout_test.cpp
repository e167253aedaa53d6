#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "view/DisplayLayout.h"
#include "view/DisplayReading.h"

namespace {

using namespace quelvar;

TEST(RateValues, MaxChannelRateAndSamplesPerCycle) {
  EXPECT_FLOAT_EQ(ComputeMaxChannelRate(4, 2500.0f), 10000.0f);
  struct Case {
    float rate, acFrq;
    int32_t expected;
  } cases[] = {{600.0f, 50.0f, 12}, {1000.0f, 50.0f, 20}, {1010.0f, 50.0f, 20}, {40.0f, 50.0f, 1}, {600.0f, -50.0f, 1}};
  for (const Case& c : cases) EXPECT_EQ(ComputeSamplesPerCycle(c.rate, c.acFrq), c.expected) << c.rate;

  LiveConfig live;
  live.Analog_Num = 2;
  live.SW_Num = 0;
  live.NumVChn = 2;
  live.AnalogChannelTable[1].MultiFreq = 4;
  live.ChannelRate = 600.0f;
  SampleLayout layout;
  RebuildRateLayout(live, layout);
  EXPECT_EQ(layout.MaxMultiFreq, 4);
  EXPECT_FLOAT_EQ(layout.MaxChannelRate, 2400.0f);
  EXPECT_EQ(live.SamplesPerCycle, 12);
}

TEST(LineTables, ChannelsAreOrderedLineByLine) {
  LiveConfig live;
  live.Total_Line = 2;
  live.LineTable[0].APhaseNum = 2;
  live.LineTable[1].APhaseNum = 3;
  live.Analog_Num = 6;
  const int32_t lines[] = {1, 0, 1, 0, 0, 7};  // channel 5 names a line that does not exist
  for (int c = 0; c < 6; ++c) live.AnalogChannelTable[c].ChnGroupNo = lines[c];
  live.AnalogDisplayOrder[5] = 42;

  EXPECT_EQ(RebuildLineTables(live), 5);
  const int32_t order[] = {1, 3, 4, 0, 2, 42};
  for (int p = 0; p < 6; ++p) EXPECT_EQ(live.AnalogDisplayOrder[p], order[p]) << p;
  EXPECT_EQ(live.LineFirstChannel[0], 0);
  EXPECT_EQ(live.LineFirstChannel[1], 2);
  // The lines add up to 5, not Analog_Num: the start refuses such a layout.
  EXPECT_EQ(live.LineFirstChannel[2], 5);
}

TEST(LineTables, CountsBeyondTheTablesAreTakenWithinThem) {
  LiveConfig live;
  live.Total_Line = 5000;
  live.Analog_Num = 5000;
  for (auto& line : live.LineTable) line.APhaseNum = 1;
  for (int c = 0; c < kMaxAnalogChannels; ++c) live.AnalogChannelTable[c].ChnGroupNo = kMaxAnalogChannels - 1 - c;
  EXPECT_EQ(RebuildLineTables(live), kMaxAnalogChannels);
  EXPECT_EQ(live.LineFirstChannel[kMaxLines], kMaxLines);
  EXPECT_EQ(live.AnalogDisplayOrder[0], kMaxAnalogChannels - 1);
}

// Four analog channels and two switch inputs on three pages.
class PageTablesTest : public ::testing::Test {
 protected:
  LiveConfig live;
  UniversalPages universal;
  PageTables pages;

  void SetUp() override {
    live.Analog_Num = 4;
    live.SW_Num = 2;
    live.TotalPages = 3;
    const int32_t channelPages[] = {0, 7, 2, -1};
    for (int c = 0; c < 4; ++c) live.AnalogChannelTable[c].ChnPageNo = channelPages[c];
    live.SwitchChannelTable[0].SWPageNo = 1;
    live.SwitchChannelTable[1].SWPageNo = 2;
  }
};

TEST_F(PageTablesTest, PredefinedPagesListAnalogChannelsThenSwitchInputs) {
  RebuildPageTables(live, universal, pages);
  ASSERT_EQ(pages.PageChannels.size(), 5u);
  ASSERT_EQ(pages.Entries.size(), 18u);
  ASSERT_EQ(pages.EntryOffset.size(), 18u);
  // Page 7 of 3 is page 2, and the channel's record says so afterwards.
  EXPECT_EQ(live.AnalogChannelTable[1].ChnPageNo, 2);
  EXPECT_EQ(live.AnalogChannelTable[3].ChnPageNo, 0);
  const int32_t channels[] = {2, 1, 3}, switches[] = {0, 1, 1}, first[] = {0, 2, 3};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(pages.PageChannels[i], channels[i]) << i;
    EXPECT_EQ(pages.PageSwitches[i], switches[i]) << i;
    EXPECT_EQ(pages.PageFirst[i], first[i]) << i;
  }
  const std::vector<int32_t> entries = {0, 3, 4 + 0, 1, 2, 4 + 1};
  EXPECT_EQ(std::vector<int32_t>(pages.Entries.begin(), pages.Entries.begin() + 6), entries);
}

TEST_F(PageTablesTest, TriggerPageHoldsOnePlaceholderAfterTheUniversalPage) {
  RebuildPageTables(live, universal, pages);
  EXPECT_EQ(pages.PageFirst[4], 12);
  EXPECT_EQ(pages.PageChannels[4], 1);
  EXPECT_EQ(pages.PageSwitches[4], 0);
  EXPECT_EQ(pages.Entries[12], 0);
}

TEST_F(PageTablesTest, UniversalPageKeepsEveryChosenChannelWithinTheCard) {
  struct Case {
    int32_t vpAnalog, vpBin;
    std::vector<int32_t> vp;
    std::vector<int32_t> entries;
    int32_t switches;
  } cases[] = {
      // Every analog channel and every switch input chosen: all are shown
      // (not Analog_Num - 1 and SW_Num - 1 of them).
      {4, 2, {3, 1, 2, 0, 1, 0}, {3, 1, 2, 0, 4 + 1, 4 + 0}, 2},
      // Switch inputs alone stay so; their indexes start at VP[0].
      {0, 1, {9, 0}, {4 + 1}, 1},
      // Nothing chosen shows the first analog number of VP.
      {0, 0, {2}, {2}, 0},
      {2, -5, {-2, 1, 1}, {0, 1}, 0},
      // Switch indexes out of range are clamped into the inputs.
      {1, 1, {2, 30}, {2, 4 + 1}, 1},
  };
  for (const Case& c : cases) {
    universal.VPAnalog = c.vpAnalog;
    universal.VPBin = c.vpBin;
    universal.VP.fill(0);
    for (size_t i = 0; i < c.vp.size(); ++i) universal.VP[i] = c.vp[i];
    RebuildPageTables(live, universal, pages);
    const int32_t page = live.TotalPages;
    EXPECT_EQ(pages.PageFirst[page], 6);
    EXPECT_EQ(pages.PageChannels[page], static_cast<int32_t>(c.entries.size())) << c.vpAnalog;
    EXPECT_EQ(pages.PageSwitches[page], c.switches) << c.vpAnalog;
    EXPECT_EQ(std::vector<int32_t>(pages.Entries.begin() + 6, pages.Entries.begin() + 6 + c.entries.size()),
              c.entries)
        << c.vpAnalog;
    EXPECT_EQ(universal.VP[0], c.vp[0]) << "VP keeps its values";
  }
}

TEST_F(PageTablesTest, ADamagedVPAnalogListsNoSwitchFromOutsideVP) {
  universal.VPAnalog = 5000;
  universal.VPBin = 1;
  RebuildPageTables(live, universal, pages);
  EXPECT_EQ(pages.PageChannels[3], 4);  // every analog channel, no switch
  EXPECT_EQ(pages.PageSwitches[3], 0);
}

TEST_F(PageTablesTest, RefillingTheUniversalPageLeavesTheOtherPagesAndResetsItsOffsets) {
  RebuildPageTables(live, universal, pages);
  const PageTables before = pages;
  pages.EntryOffset[6] = 0.5f;
  universal.VPAnalog = 2;
  universal.VPBin = 1;
  universal.VP[0] = 3;
  universal.VP[1] = 3;
  universal.VP[2] = 1;
  FillUniversalPage(universal, live, pages);
  EXPECT_EQ(pages.PageChannels[3], 3);
  EXPECT_EQ(pages.PageSwitches[3], 1);
  EXPECT_EQ(std::vector<int32_t>(pages.Entries.begin() + 6, pages.Entries.begin() + 9),
            (std::vector<int32_t>{3, 3, 4 + 1}));
  EXPECT_EQ(pages.EntryOffset[6], 0.0f);
  EXPECT_EQ(std::vector<int32_t>(pages.Entries.begin(), pages.Entries.begin() + 6),
            std::vector<int32_t>(before.Entries.begin(), before.Entries.begin() + 6));
  EXPECT_EQ(pages.PageChannels[4], before.PageChannels[4]);
  // Tables of another configuration are left for the next rebuild.
  live.Analog_Num = 8;
  const PageTables sized = pages;
  FillUniversalPage(universal, live, pages);
  EXPECT_EQ(pages.Entries, sized.Entries);
  PageTables none;
  FillUniversalPage(universal, live, none);
  EXPECT_TRUE(none.PageChannels.empty());
}

TEST_F(PageTablesTest, PageCountOutOfRangeIsRepairedAndWrittenBack) {
  const std::pair<int32_t, int32_t> cases[] = {{0, 1}, {-5, 1}, {1000, kMaxPredefinedPages}};
  for (auto [damaged, repaired] : cases) {
    live.TotalPages = damaged;
    RebuildPageTables(live, universal, pages);
    EXPECT_EQ(live.TotalPages, repaired) << damaged;
    EXPECT_EQ(pages.PageChannels.size(), static_cast<size_t>(repaired) + 2) << damaged;
  }
  live.TotalPages = 0;
  RebuildPageTables(live, universal, pages);
  for (int c = 0; c < 4; ++c) EXPECT_EQ(live.AnalogChannelTable[c].ChnPageNo, 0);
  EXPECT_EQ(pages.PageChannels[0], 6);
}

TEST_F(PageTablesTest, EveryRebuildResizesAndClearsTheTables) {
  RebuildPageTables(live, universal, pages);
  pages.EntryOffset[2] = 0.25f;
  pages.Entries[17] = 99;
  live.SW_Num = 0;
  live.TotalPages = 1;
  RebuildPageTables(live, universal, pages);
  EXPECT_EQ(pages.PageChannels.size(), 3u);
  ASSERT_EQ(pages.Entries.size(), 12u);
  for (float offset : pages.EntryOffset) EXPECT_EQ(offset, 0.0f);
  EXPECT_EQ(pages.Entries[2], 2);
  EXPECT_EQ(pages.PageSwitches[0], 0);
}

TEST(PageTablesEdge, AConfigurationWithoutChannelsWritesNoEntry) {
  // Entries is empty; the universal and trigger pages get no entry instead
  // of one written past its end.
  LiveConfig live;
  live.Analog_Num = 0;
  live.SW_Num = 0;
  live.TotalPages = 2;
  PageTables pages;
  RebuildPageTables(live, UniversalPages{}, pages);
  EXPECT_TRUE(pages.Entries.empty());
  EXPECT_EQ(pages.PageChannels[2], 0);
  EXPECT_EQ(pages.PageChannels[3], 0);
}

TEST(PageTablesEdge, WithoutAnalogChannelsNoPageListsAnAnalogEntry) {
  LiveConfig live;
  live.Analog_Num = 0;
  live.SW_Num = 3;
  live.TotalPages = 1;
  UniversalPages universal;
  universal.VPAnalog = 1;
  universal.VPBin = 3;
  universal.VP = {};
  universal.VP[1] = 2;
  PageTables pages;
  RebuildPageTables(live, universal, pages);
  // Three switch inputs read after the one analog number VP holds; no analog.
  EXPECT_EQ(pages.PageChannels[1], 3);
  EXPECT_EQ(pages.PageSwitches[1], 3);
  EXPECT_EQ(pages.Entries[3], 2);
  EXPECT_EQ(pages.PageChannels[2], 0);
}

TEST(PageTablesEdge, CountsBeyondTheTablesAreTakenWithinThem) {
  LiveConfig live;
  live.Analog_Num = 500;
  live.SW_Num = 500;
  live.TotalPages = 2;
  PageTables pages;
  RebuildPageTables(live, UniversalPages{}, pages);
  EXPECT_EQ(pages.Entries.size(), static_cast<size_t>(kMaxAnalogChannels + kMaxSwitchInputs) * 3);
  EXPECT_EQ(pages.PageFirst[3], 2 * (kMaxAnalogChannels + kMaxSwitchInputs));
}

// The order repair as written: every entry clamped, then each entry equal
// to an earlier one decremented (wrapping) until it is unique.
std::vector<int16_t> NormalizedByTheRule(std::vector<int16_t> order) {
  const int n = static_cast<int>(order.size());
  for (auto& e : order) e = static_cast<int16_t>(std::clamp<int>(e, 0, n - 1));
  for (int i = 1; i < n; ++i) {
    for (bool clash = true; clash;) {
      clash = false;
      for (int j = 0; j < i; ++j) clash = clash || order[j] == order[i];
      if (clash) order[i] = static_cast<int16_t>(order[i] == 0 ? n - 1 : order[i] - 1);
    }
  }
  return order;
}

TEST(DisplayOrder, RepairsToAPermutationKeepingUniqueEntries) {
  struct Case {
    std::vector<int16_t> order, expected;
  } cases[] = {
      {{0, 0, 0}, {0, 2, 1}},
      {{5, 1, 1}, {2, 1, 0}},
      {{-3, 1, 2}, {0, 1, 2}},
      {{2, 0, 1}, {2, 0, 1}},
      {{1, 1, 1, 1}, {1, 0, 3, 2}},
      {{7}, {0}},
  };
  for (Case& c : cases) {
    NormalizeDisplayOrder(c.order, static_cast<int32_t>(c.order.size()));
    EXPECT_EQ(c.order, c.expected);
  }
}

TEST(DisplayOrder, OnlyTheFirstCountEntriesWithinTheArray) {
  std::vector<int16_t> order = {3, 3, 9, 9};
  NormalizeDisplayOrder(std::span<int16_t>(order).first(2), 2);
  EXPECT_EQ(order, (std::vector<int16_t>{1, 0, 9, 9}));
  std::vector<int16_t> small = {0, 0};
  NormalizeDisplayOrder(small, 292);  // a count beyond the array is limited to it
  EXPECT_EQ(small, (std::vector<int16_t>{0, 1}));
  NormalizeDisplayOrder(small, -1);
  EXPECT_EQ(small, (std::vector<int16_t>{0, 1}));
}

TEST(DisplayOrder, AgreesWithTheRuleOnRandomOrders) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 300; ++round) {
    std::vector<int16_t> order(std::uniform_int_distribution<int>(1, 40)(random));
    for (auto& e : order) e = static_cast<int16_t>(std::uniform_int_distribution<int>(-5, 50)(random));
    const std::vector<int16_t> expected = NormalizedByTheRule(order);
    NormalizeDisplayOrder(order, static_cast<int32_t>(order.size()));
    ASSERT_EQ(order, expected) << "round " << round;
  }
}

TEST(DisplayOrder, GridOrderIsSignedAsStored) {
  LiveConfig live;
  live.GridOrder[0] = -1;  // 0xFFFF in the stored image
  live.GridOrder[1] = 0;
  NormalizeDisplayOrder(live.GridOrder, 2);
  EXPECT_EQ(live.GridOrder[0], 0);
  EXPECT_EQ(live.GridOrder[1], 1);
}

TEST(PointsPerScreen, FollowTheDataLengthWithinTenAndTheData) {
  struct Case {
    int32_t xZoom, width, dispPoints;
    bool arbitrary;
    int32_t expectedWidth, expectedX;
  } cases[] = {
      {4, 77, 1000, false, 250, 750},  {1, 77, 1000, false, 1000, 0},  {16, 77, 100, false, 10, 90},
      {1, 77, 5, false, 10, -5},       {32, 300, 1000, true, 300, 700}, {32, 2000, 1000, true, 1000, 0},
      {32, 3, 1000, true, 10, 990},
      {0, 77, 1000, false, 1000, 0},  // a damaged zoom of 0 divides by 1, not by 0
  };
  for (const Case& c : cases) {
    WaveViewState view;
    view.XZoom = c.xZoom;
    view.DisplayWidth = c.width;
    FitPointsPerScreen(view, c.dispPoints, c.arbitrary);
    EXPECT_EQ(view.DisplayWidth, c.expectedWidth) << c.xZoom << "/" << c.dispPoints;
    EXPECT_EQ(view.XPosition, c.expectedX) << c.xZoom << "/" << c.dispPoints;
  }
}

TEST(PointsPerScreen, AScreenWiderThanTheDataStillReadsRowsOfTheMatrix) {
  WaveViewState view;
  view.XZoom = 1;
  DisplayDescriptor display;
  display.DispRows = 5;
  display.DispPoints = 5;
  FitPointsPerScreen(view, display.DispPoints, false);
  ASSERT_EQ(view.XPosition, -5);
  for (int32_t first = 0; first < 5; ++first) {
    display.DispFirstBlock = first;
    for (int32_t p = view.XPosition; p < view.XPosition + view.DisplayWidth; ++p) {
      const int32_t row = RowOfPoint(display, 1, p);
      EXPECT_GE(row, 0) << p;
      EXPECT_LT(row, display.DispRows) << p;
    }
  }
}

TEST(ChannelScroll, MaximumByTheFirstRuleThatApplies) {
  LiveConfig live;
  live.SW_Num = 20;
  live.TotalPages = 3;
  live.Analog_Num = 12;
  live.Total_Line = 4;
  struct Case {
    ChannelScrollMenus menus;
    int32_t expected;
  } cases[] = {
      {{.viewSwitch = true, .scopePage = true, .phaseSingle = true}, 19},
      {{.viewSwitch = false, .scopePage = true, .phaseSingle = true}, 4},
      {{.viewSwitch = false, .scopePage = false, .phaseSingle = true}, 11},
      {{.viewSwitch = false, .scopePage = false, .phaseSingle = false}, 3},
  };
  for (const Case& c : cases) EXPECT_EQ(ChannelScrollMaximum(live, c.menus), c.expected) << c.expected;
}

TEST(ScaleLabels, LineLabelsDependOnThePresentation) {
  LiveConfig live;
  live.Total_Line = 2;
  live.LineTable[0].AName = "UA";
  live.LineTable[0].APhaseNum = 4;
  live.LineTable[1].AName = "I";
  live.LineTable[1].APhaseNum = 5;
  live.Analog_Num = 2;
  live.AnalogChannelTable[0].ChnName = "Ua";
  live.AnalogChannelTable[1].ChnName = "Ub";
  live.SW_Num = 1;
  live.SwitchChannelTable[0].SWName = "开关";
  const std::vector<std::string> recorder = {"UA A", "UA B", "UA C", "UA O", "I A", "I B",
                                             "I C",  "I O",  "I O",  "Ua",   "Ub",  "开关"};
  EXPECT_EQ(ScaleLabelTexts(live, 0), recorder);
  const std::vector<std::string> oscilloscope = {"UA", "I", "Ua", "Ub", "开关"};
  EXPECT_EQ(ScaleLabelTexts(live, 1), oscilloscope);
}

TEST(ScaleLabels, WidestLabelIsTheMaximumStartingFromZero) {
  const auto bytes = [](const std::string& text) { return static_cast<int32_t>(text.size()) * 6; };
  EXPECT_EQ(WidestLabel({"UA A", "I O", "长名字"}, bytes), 54);
  EXPECT_EQ(WidestLabel({}, bytes), 0);
  EXPECT_EQ(WidestLabel({"x"}, [](const std::string&) { return -4; }), 0);
}

}  // namespace
