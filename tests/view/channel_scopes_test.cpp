// The universal page builder, the channel scroll bar's start rule and the
// universal page's slots and scratch record.
#include <gtest/gtest.h>

#include <vector>

#include "common/UniversalPages.h"
#include "view/ChannelScopes.h"

namespace {

using namespace quelvar;

std::vector<int32_t> Entries(const UniversalPageRecord& page) {
  return {page.Channels.begin(), page.Channels.begin() + page.AnalogCount + page.SwitchCount};
}

struct BuilderCase {
  const char* what;
  int32_t analogCount, switchCount;
  std::vector<int32_t> stored;
  int32_t analogNum, switchNum;
  int32_t expectedAnalog, expectedSwitch;
  std::vector<int32_t> expected;
};

TEST(UniversalPageBuilder, KeepsEveryChosenChannelAndLimitsTheRestToTheCard) {
  const BuilderCase cases[] = {
      // A page of every analog channel and every switch input keeps them
      // all (not one less of each kind).
      {"all of both kinds", 4, 2, {3, 1, 2, 0, 1, 0}, 4, 2, 4, 2, {3, 1, 2, 0, 1, 0}},
      {"repetitions stay", 3, 0, {2, 2, 2}, 4, 2, 3, 0, {2, 2, 2}},
      {"switch inputs alone", 0, 2, {1, 0}, 4, 2, 0, 2, {1, 0}},
      {"nothing chosen shows one channel", 0, 0, {3}, 4, 2, 1, 0, {3}},
      {"nothing chosen, no analog channel", 0, 0, {3}, 0, 2, 0, 0, {}},
      // A page made on a larger card: counts cut to this card, the switch
      // inputs still read after the page's own 6 analog numbers.
      {"larger card", 6, 2, {0, 5, 1, 2, 3, 4, 1, 9}, 4, 2, 4, 2, {0, 3, 1, 2, 1, 1}},
      {"negative numbers and counts", 2, -1, {-4, 7}, 4, 2, 2, 0, {0, 3}},
      {"switch view without inputs", 1, 3, {2, 0, 0, 0}, 4, 0, 1, 0, {2}},
      // A damaged count cannot reach outside the stored list.
      {"analog count past the list", 5000, 2, {1, 2, 3}, 4, 2, 4, 0, {1, 2, 3, 0}},
  };
  for (const BuilderCase& c : cases) {
    std::array<int32_t, kMaxDisplayPositions> stored{};
    std::copy(c.stored.begin(), c.stored.end(), stored.begin());
    const UniversalPageRecord page = ValidUniversalPage(c.analogCount, c.switchCount, stored, c.analogNum, c.switchNum);
    EXPECT_EQ(page.AnalogCount, c.expectedAnalog) << c.what;
    EXPECT_EQ(page.SwitchCount, c.expectedSwitch) << c.what;
    EXPECT_EQ(Entries(page), c.expected) << c.what;
  }
}

TEST(UniversalPageBuilder, AFullCardFillsAllEntries) {
  std::array<int32_t, kMaxDisplayPositions> stored{};
  for (int i = 0; i < kMaxDisplayPositions; ++i) stored[i] = i < kMaxAnalogChannels ? i : i - kMaxAnalogChannels;
  const UniversalPageRecord page =
      ValidUniversalPage(kMaxAnalogChannels, kMaxSwitchInputs, stored, kMaxAnalogChannels, kMaxSwitchInputs);
  EXPECT_EQ(page.AnalogCount, kMaxAnalogChannels);
  EXPECT_EQ(page.SwitchCount, kMaxSwitchInputs);
  EXPECT_EQ(page.Channels, stored);
}

// Three lines starting at display positions 0, 3 and 6 over 10 channels.
class ScrollStartTest : public ::testing::Test {
 protected:
  LiveConfig config;
  void SetUp() override {
    config.Total_Line = 3;
    config.LineFirstChannel[0] = 0;
    config.LineFirstChannel[1] = 3;
    config.LineFirstChannel[2] = 6;
    config.LineFirstChannel[3] = 10;
  }
};

TEST_F(ScrollStartTest, EachScopeBoundsThePositionItsOwnWay) {
  struct Case {
    ChannelScope scope;
    bool phaseMultiple;
    int32_t position, maximum;
    int32_t begin, line;
  } cases[] = {
      {ChannelScope::Four, false, 8, 9, 6, 2},  // channels from 6
      {ChannelScope::Four, false, 2, 9, 2, 0},
      {ChannelScope::Eight, false, 5, 9, 2, 0},
      {ChannelScope::Sixteen, false, 5, 9, 0, 0},  // never below 0
      {ChannelScope::All, false, 7, 9, 0, 0},
      {ChannelScope::Line, false, 4, 9, 3, 1},  // the first channel of position 4's line
      {ChannelScope::Line, true, 2, 2, 2, 2},   // a line a row: the position is the line
      {ChannelScope::Channel, false, 7, 9, 7, 2},
      {ChannelScope::Overall, false, 5, 9, 5, 1},
      {ChannelScope::Page, false, 4, 5, 4, 1},
      {ChannelScope::Four, true, 1, 2, 0, 0},
  };
  for (const Case& c : cases) {
    ViewOptions options;
    options.Scope = c.scope;
    options.PhaseMultiple = c.phaseMultiple;
    const ChannelScrollStart start = ScrolledChannelStart(config, options, c.position, c.maximum);
    EXPECT_EQ(start.BegDispChannel, c.begin) << static_cast<int>(c.scope) << " at " << c.position;
    EXPECT_EQ(start.CurrentLine, c.line) << static_cast<int>(c.scope) << " at " << c.position;
  }
}

TEST(UniversalPageSlots, SwitchingAwayAndBackRestoresThePageAsItWasLeft) {
  UniversalPages pages;
  pages.VPAnalogPages[2] = 1;
  pages.VPBinPages[2] = 1;
  pages.VPPages[2][0] = 5;
  pages.VPPages[2][1] = 3;
  pages.VPAnalog = 2;
  pages.VPBin = 0;
  pages.VP[0] = 7;
  pages.VP[1] = 8;
  SwitchUniversalPageSlot(pages, 0, 2);
  EXPECT_EQ(pages.VPAnalog, 1);
  EXPECT_EQ(pages.VPBin, 1);
  EXPECT_EQ(pages.VP[0], 5);
  pages.VP[0] = 6;  // edited while slot 2 is in use
  SwitchUniversalPageSlot(pages, 2, 0);
  EXPECT_EQ(pages.VPAnalog, 2);
  EXPECT_EQ(pages.VP[0], 7);
  EXPECT_EQ(pages.VP[1], 8);
  EXPECT_EQ(pages.VPPages[2][0], 6);
  // The slot in use stores and reloads the same page; slots out of range
  // are the nearest one.
  SwitchUniversalPageSlot(pages, 0, 0);
  EXPECT_EQ(pages.VP[0], 7);
  SwitchUniversalPageSlot(pages, -3, 9);
  EXPECT_EQ(pages.VPPages[0][0], 7);
  EXPECT_EQ(pages.VP, pages.VPPages[4]);
}

TEST(UniversalPageScratch, TheScratchCarriesThePageBothWays) {
  UniversalPages pages;
  pages.VPAnalog = 2;
  pages.VPBin = 1;
  pages.VP = {};
  pages.VP[0] = 4;
  pages.VP[1] = 1;
  pages.VP[2] = 3;
  pages.VP[200] = 77;
  UniversalPageRecord scratch;
  CopyUniversalPageToScratch(pages, scratch);
  EXPECT_EQ(scratch.AnalogCount, 2);
  EXPECT_EQ(scratch.SwitchCount, 1);
  EXPECT_EQ(scratch.Channels, pages.VP);

  scratch.AnalogCount = 1;
  scratch.SwitchCount = 2;
  scratch.Channels[0] = 9;
  scratch.Channels[1] = 0;
  scratch.Channels[2] = 2;
  scratch.Channels[200] = 5;
  TakeUniversalPageFromScratch(scratch, pages);
  EXPECT_EQ(pages.VPAnalog, 1);
  EXPECT_EQ(pages.VPBin, 2);
  EXPECT_EQ((std::vector<int32_t>{pages.VP[0], pages.VP[1], pages.VP[2]}), (std::vector<int32_t>{9, 0, 2}));
  EXPECT_EQ(pages.VP[200], 77) << "entries past the page stay";

  // Counts that do not fit the record are taken within it.
  scratch.AnalogCount = -4;
  scratch.SwitchCount = 1000;
  TakeUniversalPageFromScratch(scratch, pages);
  EXPECT_EQ(pages.VPAnalog, 0);
  EXPECT_EQ(pages.VPBin, kMaxDisplayPositions);
}

}  // namespace
