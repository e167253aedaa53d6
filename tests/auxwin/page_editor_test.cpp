// The universal page dialog's list rules without its widgets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "auxwin/PageEditor.h"

namespace {

using namespace quelvar;

using Cells = std::vector<std::string>;

UniversalPageRecord Page(int32_t analog, int32_t switches, std::vector<int32_t> channels) {
  UniversalPageRecord page;
  page.AnalogCount = analog;
  page.SwitchCount = switches;
  std::copy(channels.begin(), channels.end(), page.Channels.begin());
  return page;
}

std::vector<int32_t> Entries(const UniversalPageRecord& page) {
  return {page.Channels.begin(), page.Channels.begin() + page.AnalogCount + page.SwitchCount};
}

// A card of 8 analog channels ("A0" ...) and 5 switch inputs ("K0" ...).
class PageEditorTest : public ::testing::Test {
 protected:
  LiveConfig config;
  UniversalPageEditor editor{config};
  UniversalPageRecord opened;  // the page the dialog was opened with

  void SetUp() override { Card(8, 5); }
  void Card(int32_t analog, int32_t switches) {
    config.Analog_Num = analog;
    config.SW_Num = switches;
    for (int c = 0; c < kMaxAnalogChannels; ++c) config.AnalogChannelTable[c].ChnName = "A" + std::to_string(c);
    for (int s = 0; s < kMaxSwitchInputs; ++s) config.SwitchChannelTable[s].SWName = "K" + std::to_string(s);
  }
  void Open(const UniversalPageRecord& page) {
    opened = page;
    editor.Load(page);
  }
  void SetAnalogCount(const std::string& text) {
    editor.AnalogCountText = text;
    editor.ApplyAnalogCount(opened);
  }
  void SetSwitchCount(const std::string& text) {
    editor.SwitchCountText = text;
    editor.ApplySwitchCount(opened);
  }
};

TEST_F(PageEditorTest, LoadingKeepsThePageWithinTheCard) {
  // Analog numbers are clamped into the card; a switch number outside it
  // becomes 0, not the last input; switch numbers follow the page's own
  // analog entries even where the card has fewer.
  Open(Page(3, 2, {-2, 12, 4, 9, 3}));
  EXPECT_EQ(editor.AnalogCells, (Cells{"0", "7", "4"}));
  EXPECT_EQ(editor.SwitchCells, (Cells{"0", "3"}));
  EXPECT_EQ(editor.AnalogCountText, "3");
  EXPECT_EQ(editor.SwitchCountText, "2");
  Open(Page(10, 1, {0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 4}));
  EXPECT_EQ(editor.AnalogCells.size(), 8u);
  EXPECT_EQ(editor.SwitchCells, (Cells{"4"}));
}

TEST_F(PageEditorTest, CountRules) {
  struct Case {
    const char* what;
    std::string analogText, switchText;
    size_t analogRows, switchRows;
  } cases[] = {
      {"0 analog while the switch field shows 0 gives 1", "0", "0", 1, 0},
      {"0 analog with switch inputs stays 0", "0", "3", 0, 3},
      {"above the card", "50", "9", 8, 5},
      {"negative", "-4", "-1", 1, 0},
      {"not a number takes the opened page's counts", "x", "many", 2, 1},
  };
  for (const Case& c : cases) {
    Open(Page(2, 1, {6, 5, 2}));
    SetSwitchCount(c.switchText);
    SetAnalogCount(c.analogText);
    EXPECT_EQ(editor.AnalogCells.size(), c.analogRows) << c.what;
    EXPECT_EQ(editor.SwitchCells.size(), c.switchRows) << c.what;
    EXPECT_EQ(editor.AnalogCountText, std::to_string(c.analogRows)) << c.what;
    EXPECT_EQ(editor.SwitchCountText, std::to_string(c.switchRows)) << c.what;
  }
  // Rows that stay keep their content; new row k holds channel k.
  Open(Page(2, 0, {6, 5}));
  SetAnalogCount("4");
  EXPECT_EQ(editor.AnalogCells, (Cells{"6", "5", "2", "3"}));
  SetAnalogCount("1");
  EXPECT_EQ(editor.AnalogCells, (Cells{"6"}));
}

TEST_F(PageEditorTest, GridCheckLimitsCellsAndReadsTextAsTheRowIndex) {
  Card(16, 5);
  Open(Page(3, 2, {0, 1, 2, 0, 1}));
  editor.AnalogCells = {"57", "-3", "x"};
  editor.SwitchCells = {"9", "y"};
  editor.CheckAnalog();
  editor.CheckSwitch();
  EXPECT_EQ(editor.AnalogCells, (Cells{"15", "0", "x"}));  // x names a channel (2): kept
  EXPECT_EQ(editor.SwitchCells, (Cells{"4", "y"}));
  EXPECT_EQ(editor.AnalogChannel(2), 2);
  EXPECT_EQ(editor.AnalogName(editor.AnalogChannel(0)), "A15");
  EXPECT_EQ(editor.SwitchName(editor.SwitchChannel(1)), "K1");
  // Text in a row whose index is no channel is rewritten.
  Card(2, 5);
  editor.AnalogCells = {"0", "1", "z"};
  editor.CheckAnalog();
  EXPECT_EQ(editor.AnalogCells[2], "1");
  const UniversalPageRecord page = editor.Accept();
  EXPECT_EQ(page.AnalogCount, 3);
  EXPECT_EQ(page.SwitchCount, 2);
  EXPECT_EQ(Entries(page), (std::vector<int32_t>{0, 1, 1, 4, 1}));
}

TEST_F(PageEditorTest, ACardWithoutChannelsOfAKindGetsNoneOfThemFromTheDialog) {
  Card(0, 3);
  Open(Page(2, 1, {5, 6, 2}));
  EXPECT_TRUE(editor.AnalogCells.empty());
  SetSwitchCount("0");
  SetAnalogCount("0");
  EXPECT_TRUE(editor.AnalogCells.empty()) << "no analog channel to give the page";
  editor.AnalogCells = {"0"};  // whatever the list was given
  SetSwitchCount("2");
  const UniversalPageRecord page = editor.Accept();
  EXPECT_EQ(page.AnalogCount, 0);
  EXPECT_EQ(page.SwitchCount, 2);
  Card(4, 0);
  Open(Page(1, 2, {3, 0, 1}));
  SetSwitchCount("3");
  EXPECT_TRUE(editor.SwitchCells.empty());
  EXPECT_EQ(editor.Accept().SwitchCount, 0);
}

TEST_F(PageEditorTest, AFileFillsTheRowsWithTheNumbersThatAreChannelsOfTheCard) {
  Open(Page(2, 1, {3, 4, 2}));
  PageFileContents file;
  file.Analog = {7, 6, 9, 5, 4, 3, 2, 1, 0, 0};  // 10 on a card of 8; 9 is no channel
  file.Switches = {4, 8};
  editor.ApplyFile(file, opened);
  EXPECT_EQ(editor.AnalogCells, (Cells{"7", "6", "2", "5", "4", "3", "2", "1"}));
  EXPECT_EQ(editor.SwitchCells, (Cells{"4", "1"}));
  EXPECT_EQ(editor.AnalogCountText, "8");
  // A rejected number leaves what the row held.
  Open(Page(2, 0, {3, 4}));
  file.Analog = {-1, 1};
  file.Switches = {};
  editor.ApplyFile(file, opened);
  EXPECT_EQ(editor.AnalogCells, (Cells{"3", "1"}));
}

TEST_F(PageEditorTest, AFileOfSwitchInputsAloneStaysOne) {
  // Both counts are set before either rule runs, so the analog rule sees the
  // file's switch entries and keeps its 0.
  Open(Page(1, 0, {3}));
  PageFileContents file;
  file.Switches = {2, 0};
  editor.ApplyFile(file, opened);
  EXPECT_TRUE(editor.AnalogCells.empty());
  EXPECT_EQ(editor.SwitchCells, (Cells{"2", "0"}));
  const PageFileContents back = editor.FileContents();
  EXPECT_TRUE(back.Analog.empty());
  EXPECT_EQ(back.Switches, (std::vector<int32_t>{2, 0}));
}

TEST_F(PageEditorTest, SavedNumbersAreThoseTheAcceptRuleWouldTake) {
  Open(Page(3, 1, {5, 6, 0, 2}));
  editor.AnalogCells[2] = "x";
  const PageFileContents file = editor.FileContents();
  EXPECT_EQ(file.Analog, (std::vector<int32_t>{5, 6, 2}));
  EXPECT_EQ(file.Switches, (std::vector<int32_t>{2}));
}

TEST_F(PageEditorTest, AnAlgorithmFillsItsInputsThenItsAssociatedChannels) {
  Open(Page(1, 0, {0}));
  AlgorithmConfig algorithm{};
  algorithm.UsedChn = 3;
  algorithm.Channel[0] = 4;
  algorithm.Channel[1] = 5;
  algorithm.Channel[2] = 6;
  algorithm.AssAnalogChnNum = 2;
  algorithm.AssAnalogChn[0] = 1;
  algorithm.AssAnalogChn[1] = 40;  // no channel of the card: limited
  algorithm.AssSWChnNum = 1;
  algorithm.AssSWChn[0] = 3;
  editor.ApplyAlgorithm(algorithm, opened);
  EXPECT_EQ(editor.AnalogCells, (Cells{"4", "5", "6", "1", "7"}));
  EXPECT_EQ(editor.SwitchCells, (Cells{"3"}));
  // Damaged counts are taken within the record's arrays.
  algorithm.UsedChn = 1000;
  algorithm.AssAnalogChnNum = -1;
  algorithm.AssSWChnNum = 99;
  editor.ApplyAlgorithm(algorithm, opened);
  EXPECT_EQ(editor.AnalogCells.size(), 8u);
  EXPECT_EQ(editor.SwitchCells.size(), 4u);
}

TEST_F(PageEditorTest, ConsecutiveFillCountsOnFromTheFirstRowAndWraps) {
  Open(Page(5, 3, {6, 0, 0, 0, 0, 3, 0, 0}));
  editor.FillConsecutiveAnalog();
  EXPECT_EQ(editor.AnalogCells, (Cells{"6", "7", "0", "1", "2"}));
  editor.FillConsecutiveSwitch();
  EXPECT_EQ(editor.SwitchCells, (Cells{"3", "4", "0"}));
  editor.AnalogCells = {"-2", "0", "0"};
  editor.FillConsecutiveAnalog();
  EXPECT_EQ(editor.AnalogCells, (Cells{"0", "0", "0"}));  // -2, -1, 0 through the check
  editor.AnalogCells = {"2147483647", "0"};
  editor.FillConsecutiveAnalog();
  EXPECT_EQ(editor.AnalogCells, (Cells{"7", "0"}));
  // One row: the analog variant only checks, the switch variant does nothing.
  editor.AnalogCells = {"99"};
  editor.FillConsecutiveAnalog();
  EXPECT_EQ(editor.AnalogCells, (Cells{"7"}));
  editor.SwitchCells = {"99"};
  editor.FillConsecutiveSwitch();
  EXPECT_EQ(editor.SwitchCells, (Cells{"99"}));
}

TEST(PageEditorHelpers, PickedAlgorithmAndRecentFiles) {
  EXPECT_EQ(PickedAlgorithmNumber("3", 5), 3);
  EXPECT_EQ(PickedAlgorithmNumber("9", 5), 4);
  EXPECT_EQ(PickedAlgorithmNumber("-2", 5), 0);
  EXPECT_EQ(PickedAlgorithmNumber("x", 5), 0);
  EXPECT_EQ(PickedAlgorithmNumber("3", 0), 0);
  std::vector<std::string> names;
  for (int i = 1; i <= 7; ++i) AddRecentPageFile(names, "p" + std::to_string(i) + ".vpc");
  EXPECT_EQ(names, (std::vector<std::string>{"p2.vpc", "p3.vpc", "p4.vpc", "p5.vpc", "p6.vpc", "p7.vpc"}));
  AddRecentPageFile(names, "p7.vpc");  // again at the end
  EXPECT_EQ(names.back(), "p7.vpc");
  EXPECT_EQ(names.front(), "p3.vpc");
}

}  // namespace
