// The composite editor's grid rules: filling, reading back with defaults,
// the item count, the double-click cycles and typed channel numbers.
#include <gtest/gtest.h>

#include "auxwin/CompositeEditor.h"

namespace {

using namespace quelvar;

// 8 analog channels and 16 switch inputs.
LiveConfig Card() {
  LiveConfig c;
  c.Analog_Num = 8;
  c.SW_Num = 16;
  for (int i = 0; i < 8; ++i) {
    c.AnalogChannelTable[static_cast<size_t>(i)].ChnName = "U" + std::to_string(i);
    c.AnalogChannelTable[static_cast<size_t>(i)].ChnUnits = "kV";
  }
  for (int i = 0; i < 16; ++i) c.SwitchChannelTable[static_cast<size_t>(i)].SWName = "K" + std::to_string(i);
  return c;
}

TEST(CompositeEditorTest, TheGridShowsTheDefinitionAndReadsBackTheSame) {
  const LiveConfig c = Card();
  CompositeDef def;
  DefaultCompositeDef(def, c);
  def.Items[3].Channel = 10;  // switch input 2
  def.Items[3].Kind = 3;
  def.Items[2].Channel = 500;  // beyond: the last channel
  platform::CellGrid grid;
  FillCompositeGrid(grid, def, c);
  EXPECT_EQ(grid.ColCount(), 5);
  EXPECT_EQ(grid.RowCount(), 10);
  EXPECT_EQ(grid.FixedRows(), 3);
  EXPECT_EQ(grid.Cell(0, 4), "标识文字");
  EXPECT_EQ(grid.Cell(1, kCompositeRowNumber), "0");
  EXPECT_EQ(grid.Cell(1, kCompositeRowUnit), "kV");
  EXPECT_EQ(grid.Cell(1, kCompositeRowChannelName), "U0");
  EXPECT_EQ(grid.Cell(1, kCompositeRowLabel), "U0kV");
  EXPECT_EQ(grid.Cell(1, kCompositeRowValue1), "0.05");
  EXPECT_EQ(grid.Cell(3, kCompositeRowChannel), "23");
  EXPECT_EQ(grid.Cell(4, kCompositeRowUnit), "开关量");
  EXPECT_EQ(grid.Cell(4, kCompositeRowChannelName), "K2");
  EXPECT_EQ(grid.Cell(4, kCompositeRowKind), "块内最小值");
  EXPECT_EQ(grid.Cell(2, kCompositeRowAlarm), "大于值1");

  CompositeDef back;
  ReadCompositeGrid(grid, CompositeEditTextsOf(def), c, back);
  EXPECT_EQ(back.Count, 4);
  EXPECT_EQ(back.Columns, 2);
  EXPECT_EQ(back.FontSize, 30);
  EXPECT_EQ(back.Items[3].Channel, 10);
  EXPECT_EQ(back.Items[3].Kind, 3);
  EXPECT_EQ(back.Items[2].Channel, 23);
  EXPECT_EQ(back.Items[1].Alarm, 2);
  EXPECT_EQ(back.Items[0].Value2, 0.4);
  EXPECT_EQ(CompositeItemName(back.Items[0]), "U0kV");
}

TEST(CompositeEditorTest, UnreadableNumbersTakeTheirDefaults) {
  const LiveConfig c = Card();
  CompositeDef def;
  DefaultCompositeDef(def, c);
  platform::CellGrid grid;
  FillCompositeGrid(grid, def, c);
  grid.EditCell(1, kCompositeRowChannel, "x");
  grid.EditCell(2, kCompositeRowChannel, "x");
  grid.EditCell(1, kCompositeRowDecimals, "7");
  grid.EditCell(2, kCompositeRowDecimals, "-1");
  grid.EditCell(1, kCompositeRowKind, "?");
  grid.EditCell(1, kCompositeRowValue1, "abc");
  CompositeDef back;
  ReadCompositeGrid(grid, {"x", "0", "no", "-3"}, c, back);
  EXPECT_EQ(back.Count, 4);  // the item columns
  EXPECT_EQ(back.Columns, 3);
  EXPECT_EQ(back.FontSize, 12);
  EXPECT_EQ(back.Chars, 7);
  EXPECT_EQ(back.Items[0].Channel, 0);  // its index
  EXPECT_EQ(back.Items[1].Channel, 1);
  EXPECT_EQ(back.Items[0].Decimals, 0);
  EXPECT_EQ(back.Items[1].Decimals, 0);
  EXPECT_EQ(back.Items[0].Kind, 0);
  EXPECT_EQ(back.Items[0].Value1, 0.0);
  // A count of 0 or below would write a file never read back.
  for (const char* count : {"0", "-5"}) {
    ReadCompositeGrid(grid, {count, "2", "30", "7"}, c, back);
    EXPECT_EQ(back.Count, 1) << count;
    EXPECT_EQ(back.Items.size(), 1u);
  }
}

TEST(CompositeEditorTest, GrowingTheCountFillsTheNewColumnsWithDefaults) {
  const LiveConfig c = Card();
  CompositeDef def;
  DefaultCompositeDef(def, c);
  platform::CellGrid grid;
  FillCompositeGrid(grid, def, c);
  EXPECT_EQ(CompositeItemCountExit(grid, "6", c), 6);
  EXPECT_EQ(grid.ColCount(), 7);
  EXPECT_EQ(grid.Cell(4, kCompositeRowLabel), "U3kV");  // kept
  EXPECT_EQ(grid.Cell(3, kCompositeRowAlarm), "在值1与值2之间");
  for (int col : {5, 6}) {
    EXPECT_EQ(grid.Cell(col, kCompositeRowNumber), std::to_string(col - 1));
    EXPECT_EQ(grid.Cell(col, kCompositeRowChannel), std::to_string(col - 1));
    EXPECT_EQ(grid.Cell(col, kCompositeRowLabel), "U" + std::to_string(col - 1) + "kV");
    EXPECT_EQ(grid.Cell(col, kCompositeRowDecimals), "0");
    EXPECT_EQ(grid.Cell(col, kCompositeRowKind), "最新值");
    EXPECT_EQ(grid.Cell(col, kCompositeRowAlarm), "不报警");
    EXPECT_EQ(grid.Cell(col, kCompositeRowValue1), "0");
    EXPECT_EQ(grid.Cell(col, kCompositeRowValue2), "1");
  }
  EXPECT_EQ(CompositeItemCountExit(grid, "abc", c), 6);
  EXPECT_EQ(CompositeItemCountExit(grid, "0", c), 1);
  EXPECT_EQ(grid.ColCount(), 2);
  EXPECT_EQ(CompositeItemCountExit(grid, "99999999", c), kCompositeMaxEditorItems);
}

TEST(CompositeEditorTest, DoubleClicksCycleAndRestoreTheLabel) {
  const LiveConfig c = Card();
  CompositeDef def;
  DefaultCompositeDef(def, c);
  platform::CellGrid grid;
  FillCompositeGrid(grid, def, c);
  CompositeGridDoubleClick(grid, 1, kCompositeRowKind, c);
  EXPECT_EQ(grid.Cell(1, kCompositeRowKind), "块内平均值");
  CompositeGridDoubleClick(grid, 1, kCompositeRowAlarm, c);
  EXPECT_EQ(grid.Cell(1, kCompositeRowAlarm), "大于值1");
  grid.EditCell(2, kCompositeRowChannel, "10");
  grid.EditCell(2, kCompositeRowLabel, "mine");
  CompositeGridDoubleClick(grid, 2, kCompositeRowLabel, c);
  EXPECT_EQ(grid.Cell(2, kCompositeRowLabel), "K2");
  grid.EditCell(2, kCompositeRowChannel, "-4");
  CompositeGridDoubleClick(grid, 2, kCompositeRowValue1, c);
  EXPECT_EQ(grid.Cell(2, kCompositeRowChannel), "0");
  EXPECT_EQ(grid.Cell(2, kCompositeRowLabel), "U0kV");
  CompositeGridDoubleClick(grid, 0, kCompositeRowKind, c);  // the headings: nothing
  EXPECT_EQ(grid.Cell(0, kCompositeRowKind), "显示方式");
}

TEST(CompositeEditorTest, ATypedChannelNumberSetsUnitAndName) {
  const LiveConfig c = Card();
  CompositeDef def;
  DefaultCompositeDef(def, c);
  platform::CellGrid grid;
  FillCompositeGrid(grid, def, c);
  grid.EditCell(1, kCompositeRowChannel, "10");
  CompositeGridEdited(grid, 1, kCompositeRowChannel, c);
  EXPECT_EQ(grid.Cell(1, kCompositeRowUnit), "");
  EXPECT_EQ(grid.Cell(1, kCompositeRowChannelName), "K2");
  grid.EditCell(1, kCompositeRowChannel, "x");
  CompositeGridEdited(grid, 1, kCompositeRowChannel, c);
  EXPECT_EQ(grid.Cell(1, kCompositeRowChannelName), "U0");
}

TEST(CompositeEditorTest, ACardWithoutChannelsLeavesChannelCellsEmpty) {
  LiveConfig c;
  c.Analog_Num = 0;
  c.SW_Num = 0;
  CompositeDef def;
  DefaultCompositeDef(def, c);
  platform::CellGrid grid;
  FillCompositeGrid(grid, def, c);
  EXPECT_EQ(grid.Cell(1, kCompositeRowChannel), "");
  EXPECT_EQ(CompositeItemCountExit(grid, "5", c), 5);
  CompositeGridDoubleClick(grid, 5, kCompositeRowLabel, c);
  EXPECT_EQ(grid.Cell(5, kCompositeRowLabel), "");
  CompositeDef back;
  ReadCompositeGrid(grid, {"5", "2", "30", "7"}, c, back);
  EXPECT_EQ(back.Items[4].Channel, 0);
  EXPECT_TRUE(CompositeChannelLines(c).empty());
}

TEST(CompositeEditorTest, ChannelLinesAndCaption) {
  LiveConfig c = Card();
  c.Analog_Num = 2;
  c.SW_Num = 1;
  const std::vector<std::string> want = {"0: U0", "1: U1", "", "2: K0"};
  EXPECT_EQ(CompositeChannelLines(c), want);
  EXPECT_EQ(CompositeEditorCaption("/opt/q/CompositeDef.CPD", "/opt/q/"), "组合显示配置窗口-CompositeDef.CPD");
  EXPECT_EQ(CompositeEditorCaption("/home/a.cpd", "/opt/q/"), "组合显示配置窗口-/home/a.cpd");
}

}  // namespace
