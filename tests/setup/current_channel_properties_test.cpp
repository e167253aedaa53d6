#include <gtest/gtest.h>

#include "common/ChannelVocabularies.h"
#include "setup/CurrentChannelProperties.h"

namespace {

using namespace quelvar;

class CurrentChannelProperties : public ::testing::Test {
 protected:
  LiveConfig config;
  void SetUp() override {
    config.Analog_Num = 8;
    config.SW_Num = 16;
    config.TotalPages = 3;
    config.VZero = 2048.0f;
  }
  // One analog channel, column 1 of the grid.
  platform::CellGrid AnalogGridOf(int32_t channel) { return CurrentAnalogCells({1, 0, {channel}}, config); }
  AnalogChannel StoredAfter(int row, const std::string& text) {
    const CurrentChannelList list{1, 0, {2}};
    platform::CellGrid cells = CurrentAnalogCells(list, config);
    cells.EditCell(1, row, text);
    LiveConfig c = config;
    StoreCurrentAnalogCells(cells, list, c);
    return c.AnalogChannelTable[2];
  }
};

TEST(ClampToCount, NeverGivesANegativeIndex) {
  struct Case {
    int32_t value, count, expected;
  };
  for (const Case& k : {Case{5, 3, 2}, Case{-1, 3, 0}, Case{1, 3, 1}, Case{4, 0, 0}, Case{-2, 0, 0}, Case{0, 1, 0}}) {
    EXPECT_EQ(ClampToCount(k.value, k.count), k.expected) << k.value << " of " << k.count;
  }
}

TEST_F(CurrentChannelProperties, TheGridsShowTheDrawnChannels) {
  AnalogChannel& a = config.AnalogChannelTable[5];
  a.ChnName = "主轴";
  a.ChnUnits = "Nm";
  a.ChnIDDC = 10;
  a.ChnCoeA = 0.25f;
  a.ChnCoeB = 1234.5678f;
  a.ChnPreAmp = 2.0f;
  a.ChnDigiPoint = 3;
  a.ChnPageNo = 1;
  a.ChnAxialZero = 1000;
  a.ChnYWeight = 150;
  config.SwitchChannelTable[3].SWName = "K3";
  config.SwitchChannelTable[3].SWPageNo = 2;
  config.SwitchChannelTable[3].SWYWeight = 70;
  const CurrentChannelList list{2, 2, {5, 99, 8 + 3, 2}};
  const platform::CellGrid analog = CurrentAnalogCells(list, config);
  ASSERT_EQ(analog.ColCount(), 3);
  ASSERT_EQ(analog.RowCount(), kCurAnalogRows);
  EXPECT_EQ(analog.Cell(0, kCurRowCoeA), "系数A");
  EXPECT_EQ(analog.Cell(0, kCurRowYWeight), "高度份额");
  const std::vector<std::string> shown = {"5", "主轴", "Nm", ChannelTypeText(10), "0.25", "1234.568", "2", "3",
                                          "1", "1000", "150"};
  for (int row = 0; row < kCurAnalogRows; ++row) EXPECT_EQ(analog.Cell(1, row), shown[row]) << row;
  EXPECT_EQ(analog.Cell(2, kCurRowChannel), "7");  // beyond the card: the last channel

  const platform::CellGrid sw = CurrentSwitchCells(list, config);
  ASSERT_EQ(sw.ColCount(), 3);
  EXPECT_EQ(sw.Cell(0, kCurSwRowPage), "所属页");
  EXPECT_EQ(sw.Cell(1, kCurSwRowChannel), "3");
  EXPECT_EQ(sw.Cell(1, kCurSwRowName), "K3");
  EXPECT_EQ(sw.Cell(1, kCurSwRowPage), "2");
  EXPECT_EQ(sw.Cell(1, kCurSwRowYWeight), "70");
  // A switch entry below Analog_Num is switch input 0.
  EXPECT_EQ(sw.Cell(2, kCurSwRowChannel), "0");
}

TEST_F(CurrentChannelProperties, WithoutSwitchInputsTheIndexIsZeroNotMinusOne) {
  config.SW_Num = 0;
  config.Analog_Num = 0;
  const CurrentChannelList list{1, 1, {3, 12}};
  EXPECT_EQ(CurrentAnalogChannel(list, 0, config), 0);
  EXPECT_EQ(CurrentSwitchInput(list, 0, config), 0);
  config.TotalPages = 0;
  platform::CellGrid sw = CurrentSwitchCells(list, config);
  sw.EditCell(1, kCurSwRowPage, "4");
  StoreCurrentSwitchCells(sw, list, config);
  EXPECT_EQ(config.SwitchChannelTable[0].SWPageNo, 0);
}

TEST_F(CurrentChannelProperties, OkReadsEachRowWithItsFallbackAndLimits) {
  struct Case {
    int row;
    const char* text;
    void (*check)(const AnalogChannel&);
  };
  const Case cases[] = {
      {kCurRowCoeA, "0.25", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnCoeA, 0.25f); }},
      {kCurRowCoeA, "x", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnCoeA, 0.0f); }},
      {kCurRowCoeB, "1.5", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnCoeB, 1.5f); }},
      {kCurRowCoeB, "", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnCoeB, 1.0f); }},
      {kCurRowPreAmp, "-3", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnPreAmp, 1.0f); }},
      {kCurRowPreAmp, "0", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnPreAmp, 1.0f); }},
      {kCurRowPreAmp, "2.5", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnPreAmp, 2.5f); }},
      {kCurRowDigits, "15", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnDigiPoint, 15); }},
      {kCurRowDigits, "21", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnDigiPoint, 20); }},
      {kCurRowDigits, "-1", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnDigiPoint, 0); }},
      {kCurRowDigits, "a", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnDigiPoint, 0); }},
      {kCurRowPage, "7", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnPageNo, 2); }},
      {kCurRowPage, "-2", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnPageNo, 0); }},
      {kCurRowAxialZero, "65535", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnAxialZero, 65535); }},
      {kCurRowAxialZero, "65536", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnAxialZero, 2048); }},
      {kCurRowAxialZero, "-1", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnAxialZero, 2048); }},
      {kCurRowAxialZero, "1.5", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnAxialZero, 2048); }},
      {kCurRowYWeight, "4", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnYWeight, 5); }},
      {kCurRowYWeight, "3000", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnYWeight, 2000); }},
      {kCurRowYWeight, "z", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnYWeight, 100); }},
      {kCurRowType, "no such type", [](const AnalogChannel& a) { EXPECT_EQ(a.ChnIDDC, 0); }},
      {kCurRowName, "一二三四五六七八九十一二三四五六七八九十",
       [](const AnalogChannel& a) { EXPECT_EQ(a.ChnName, "一二三四五六七八九十一二三四五六七八九"); }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::to_string(k.row) + " <- " + k.text);
    k.check(StoredAfter(k.row, k.text));
  }
}

TEST_F(CurrentChannelProperties, OkStoresSwitchRowsAndLeavesOtherFieldsAlone) {
  config.AnalogChannelTable[1].MultiFreq = 4;
  config.AnalogChannelTable[1].ChnGroupNo = 2;
  const CurrentChannelList list{1, 1, {1, 8 + 6}};
  platform::CellGrid analog = CurrentAnalogCells(list, config);
  platform::CellGrid sw = CurrentSwitchCells(list, config);
  sw.EditCell(1, kCurSwRowName, "阀门");
  sw.EditCell(1, kCurSwRowPage, "9");
  sw.EditCell(1, kCurSwRowYWeight, "x");
  StoreCurrentAnalogCells(analog, list, config);
  StoreCurrentSwitchCells(sw, list, config);
  EXPECT_EQ(config.SwitchChannelTable[6].SWName, "阀门");
  EXPECT_EQ(config.SwitchChannelTable[6].SWPageNo, 2);
  EXPECT_EQ(config.SwitchChannelTable[6].SWYWeight, 50);
  EXPECT_EQ(config.AnalogChannelTable[1].MultiFreq, 4);
  EXPECT_EQ(config.AnalogChannelTable[1].ChnGroupNo, 2);
}

TEST_F(CurrentChannelProperties, ADoubleClickCyclesTheTypeAndResetsZeroAndShare) {
  platform::CellGrid cells = AnalogGridOf(0);
  const std::string type = cells.Cell(1, kCurRowType);
  CurrentAnalogDoubleClick(cells, 1, kCurRowType, 2047.9f);
  EXPECT_EQ(cells.Cell(1, kCurRowType), NextChannelTypeText(type));
  CurrentAnalogDoubleClick(cells, 1, kCurRowAxialZero, 2047.9f);
  EXPECT_EQ(cells.Cell(1, kCurRowAxialZero), "2047");
  cells.EditCell(1, kCurRowYWeight, "300");
  CurrentAnalogDoubleClick(cells, 1, kCurRowYWeight, 2047.9f);
  EXPECT_EQ(cells.Cell(1, kCurRowYWeight), "100");
  // The heading column and other rows stay.
  CurrentAnalogDoubleClick(cells, 0, kCurRowType, 2047.9f);
  EXPECT_EQ(cells.Cell(0, kCurRowType), "类型");
  cells.EditCell(1, kCurRowCoeA, "3");
  CurrentAnalogDoubleClick(cells, 1, kCurRowCoeA, 2047.9f);
  EXPECT_EQ(cells.Cell(1, kCurRowCoeA), "3");
}

}  // namespace
