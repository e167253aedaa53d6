#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "common/ConfigBounds.h"
#include "setup/AnalogChannelGrid.h"
#include "setup/channel_tables_support.h"

namespace {

using namespace quelvar;
using platform::CellGrid;

// Values a decimal text of 6 or 7 digits does not carry exactly.
LiveConfig WithChannels(int count) {
  LiveConfig live;
  live.Analog_Num = count;
  live.TotalPages = 3;
  live.VZero = 2048.7f;
  live.ADMax = 4095.0f;
  const float awkward[] = {0.1f, 1.2345678f, 3.14159274f, 1.0e-7f, 123456.789f, -2.7182817f, 7.654321e12f};
  for (int i = 0; i < count; ++i) {
    AnalogChannel& c = live.AnalogChannelTable[i];
    c.ChnName = "通道名" + std::to_string(i);
    c.ChnUnits = "kV";
    c.ChnGroupNo = i;
    c.ChnCoeA = awkward[i % 7];
    c.ChnCoeB = awkward[(i + 3) % 7];
    c.ChnPreAmp = awkward[(i + 5) % 7];
    c.ChnIDDC = i % 13;
    c.ChnPageNo = i % 3;
    c.ChnACompressType = i % 6;
    c.ChnDigiPoint = i % 8;
    c.ChnYWeight = 90 + i;
    c.ChnAxialZero = 2000 + i;
    c.MultiFreq = 1 + i % 3;
    live.LineTable[i].AName = "线" + std::to_string(i);
    live.LineTable[i].APhaseNum = 1;
  }
  return live;
}

struct Grids {
  CellGrid channels;
  CellGrid groups = NewGroupGrid();
};

Grids Filled(const LiveConfig& live, int count, bool multiFreqMode) {
  Grids g;
  FillChannelGrids(g.channels, g.groups, live, count, multiFreqMode);
  return g;
}

TEST(AnalogChannelGrid, FillShowsAChannelPerColumn) {
  LiveConfig live = WithChannels(8);
  live.AnalogChannelTable[2].ChnCoeA = 1.23456789f;
  live.AnalogChannelTable[2].ChnCoeB = 1.23456789f;
  live.AnalogChannelTable[2].ChnIDDC = 9;
  live.AnalogChannelTable[2].MultiFreq = 4;
  live.AnalogChannelTable[2].ChnPreAmp = -2.7182817f;
  Grids g = Filled(live, 8, true);
  ASSERT_EQ(g.channels.ColCount(), 9);
  ASSERT_EQ(g.channels.RowCount(), 13);
  EXPECT_EQ(g.channels.Cell(0, 12), "频率加快倍数");
  EXPECT_EQ(g.channels.ColWidth(0), 90);
  const char* column[] = {"2", "通道名2", "2", "kV", "1.23457", "1.234568", "周期", "-2.71828", "平均值", "2", "2002", "92",
                          "4"};
  for (int r = 0; r < 13; ++r) EXPECT_EQ(g.channels.Cell(3, r), column[r]) << r;
  EXPECT_EQ(g.groups.ColCount(), 9);
  EXPECT_EQ(g.groups.Cell(3, kGroupRowNumber), "2");
  EXPECT_EQ(g.groups.Cell(3, kGroupRowName), "线2");
  EXPECT_EQ(g.groups.Cell(0, kGroupRowChannels), "拥有通道");
  EXPECT_FALSE(g.channels.Modified(3, 4));

  const Grids plain = Filled(live, 8, false);
  EXPECT_EQ(plain.channels.RowCount(), 12);
  EXPECT_EQ(Filled(live, 150, false).channels.ColCount(), 101);
  EXPECT_EQ(Filled(live, -2, false).channels.ColCount(), 1);
}

// Opening the dialog and pressing OK used to re-store every coefficient from
// its 6- or 7-digit text.
TEST(AnalogChannelGrid, OkWithoutEditsLeavesEveryValueBitIdentical) {
  LiveConfig live = WithChannels(14);
  live.AnalogChannelTable[13].ChnIDDC = 13;  // torque power from channels 4 and 6
  live.AnalogChannelTable[13].ChnCoeA = 4.0f;
  live.AnalogChannelTable[13].ChnCoeB = 6.0f;
  const LiveConfig before = live;
  Grids g = Filled(live, 14, true);
  const ChannelGroupRefusal r = ApplyChannelGrids(g.channels, g.groups, true, live.TotalPages, live);
  ASSERT_FALSE(r.refused()) << r.text;
  testing_support::ExpectSameChannelSettings(live, before);

  // Editing one cell re-stores that cell alone.
  g.channels.EditCell(2, kChnRowName, "新名");
  ASSERT_FALSE(ApplyChannelGrids(g.channels, g.groups, true, live.TotalPages, live).refused());
  EXPECT_EQ(live.AnalogChannelTable[1].ChnName, "新名");
  live.AnalogChannelTable[1].ChnName = before.AnalogChannelTable[1].ChnName;
  testing_support::ExpectSameChannelSettings(live, before);
}

TEST(AnalogChannelGrid, StoredCellsConvertAndClamp) {
  using Field = int32_t AnalogChannel::*;
  const struct {
    int row;
    const char* text;
    Field field;
    int32_t expected;
  } cases[] = {
      {kChnRowDigiPoint, "9", &AnalogChannel::ChnDigiPoint, 7},
      {kChnRowDigiPoint, "-1", &AnalogChannel::ChnDigiPoint, 0},
      {kChnRowDigiPoint, "x", &AnalogChannel::ChnDigiPoint, 0},
      {kChnRowYWeight, "", &AnalogChannel::ChnYWeight, 100},
      {kChnRowYWeight, "1", &AnalogChannel::ChnYWeight, 5},
      {kChnRowYWeight, "9999", &AnalogChannel::ChnYWeight, 2000},
      {kChnRowAxialZero, "70000", &AnalogChannel::ChnAxialZero, 2048},  // the zero code
      {kChnRowAxialZero, "-1", &AnalogChannel::ChnAxialZero, 2048},
      {kChnRowAxialZero, "65535", &AnalogChannel::ChnAxialZero, 65535},
      {kChnRowPageNo, "7", &AnalogChannel::ChnPageNo, 2},
      {kChnRowPageNo, "-4", &AnalogChannel::ChnPageNo, 0},
      {kChnRowType, "周期", &AnalogChannel::ChnIDDC, 9},
      {kChnRowType, "直流 ", &AnalogChannel::ChnIDDC, 0},
      {kChnRowCompress, "外轮廓", &AnalogChannel::ChnACompressType, 5},
      {kChnRowCompress, "?", &AnalogChannel::ChnACompressType, 0},
      {kChnRowMultiFreq, "0", &AnalogChannel::MultiFreq, 1},
      {kChnRowMultiFreq, "x", &AnalogChannel::MultiFreq, 1},
      {kChnRowMultiFreq, "5", &AnalogChannel::MultiFreq, 5},
  };
  for (const auto& c : cases) {
    LiveConfig live = WithChannels(4);
    Grids g = Filled(live, 4, true);
    g.channels.EditCell(2, c.row, c.text);
    const ChannelGroupRefusal r = ApplyChannelGrids(g.channels, g.groups, true, live.TotalPages, live);
    ASSERT_FALSE(r.refused()) << r.text;
    EXPECT_EQ(live.AnalogChannelTable[1].*c.field, c.expected) << c.row << " " << c.text;
  }
}

// Only edited cells are read back; the codes and ranges are still repaired,
// so OK mends values the settings tree brought in, while every real number
// stays bit-identical.
TEST(AnalogChannelGrid, OkRepairsOutOfRangeCodesThatWereNotEdited) {
  LiveConfig live = WithChannels(4);
  AnalogChannel& c = live.AnalogChannelTable[1];
  c.ChnDigiPoint = 9;
  c.ChnYWeight = 3000;
  c.ChnACompressType = 7;  // shown as "中点值"
  c.ChnIDDC = 20;          // shown as "直流"
  c.ChnAxialZero = 70000;
  c.MultiFreq = 0;
  c.ChnPageNo = 5;
  live.AnalogChannelTable[2].ChnYWeight = 2;
  const LiveConfig before = live;
  Grids g = Filled(live, 4, true);
  ASSERT_FALSE(ApplyChannelGrids(g.channels, g.groups, true, live.TotalPages, live).refused());
  const AnalogChannel& after = live.AnalogChannelTable[1];
  EXPECT_EQ(after.ChnDigiPoint, 7);
  EXPECT_EQ(after.ChnYWeight, 2000);
  EXPECT_EQ(after.ChnACompressType, 0);
  EXPECT_EQ(after.ChnIDDC, 1);
  EXPECT_EQ(after.ChnAxialZero, 2048);
  EXPECT_EQ(after.MultiFreq, 1);
  EXPECT_EQ(after.ChnPageNo, 2);
  EXPECT_EQ(live.AnalogChannelTable[2].ChnYWeight, 5);
  // The repaired fields put back, everything else is as it was.
  live.AnalogChannelTable[1] = before.AnalogChannelTable[1];
  live.AnalogChannelTable[2].ChnYWeight = 2;
  testing_support::ExpectSameChannelSettings(live, before);
}

// The pages are kept below the page count the dialog was opened with, not the
// live one (which the dialog's OK writes afterwards).
TEST(AnalogChannelGrid, PagesStayBelowTheGivenPageCount) {
  LiveConfig live = WithChannels(4);
  live.TotalPages = 1;
  live.AnalogChannelTable[2].ChnPageNo = 2;
  Grids g = Filled(live, 4, false);
  ASSERT_FALSE(ApplyChannelGrids(g.channels, g.groups, false, 3, live).refused());
  EXPECT_EQ(live.AnalogChannelTable[2].ChnPageNo, 2);
  ASSERT_FALSE(ApplyChannelGrids(g.channels, g.groups, false, 2, live).refused());
  EXPECT_EQ(live.AnalogChannelTable[2].ChnPageNo, 1);
}

TEST(AnalogChannelGrid, RealCellsAndMultipliersOutsideTheMode) {
  LiveConfig live = WithChannels(3);
  live.AnalogChannelTable[2].MultiFreq = 3;
  Grids g = Filled(live, 3, false);
  g.channels.EditCell(2, kChnRowCoeA, " -1.5e3 ");
  g.channels.EditCell(2, kChnRowCoeB, "0.25");
  g.channels.EditCell(2, kChnRowPreAmp, "gain");
  ASSERT_FALSE(ApplyChannelGrids(g.channels, g.groups, false, live.TotalPages, live).refused());
  EXPECT_EQ(live.AnalogChannelTable[1].ChnCoeA, -1500.0f);
  EXPECT_EQ(live.AnalogChannelTable[1].ChnCoeB, 0.25f);
  EXPECT_EQ(live.AnalogChannelTable[1].ChnPreAmp, 1.0f);
  EXPECT_EQ(live.AnalogChannelTable[2].MultiFreq, 1);  // one rate for all without multi-rate
}

TEST(AnalogChannelGrid, TorquePowerSourcesAreValidChannels) {
  // The sources are limited by the channels being stored, whatever the live
  // count still says.
  const struct {
    int channels;
    int32_t analogNum;
    int self;
    const char* a;
    const char* b;
    float expectedA, expectedB;
  } cases[] = {
      {8, 8, 2, "5.7", "2", 5.0f, 1.0f},   // B named the channel itself
      {4, 4, 1, "9", "-3", 3.0f, 0.0f},
      {4, 0, 1, "3", "1", 3.0f, 0.0f},     // first set-up, no live count yet
      {4, 8, 1, "6", "7", 3.0f, 3.0f},     // the count was lowered from 8 to 4
      {4, 4, 0, "0", "2", 0.0f, 2.0f},     // channel 0 naming itself
      {1, 1, 0, "5", "0", 0.0f, 0.0f},     // a single channel: itself, never -1
  };
  for (const auto& c : cases) {
    LiveConfig live = WithChannels(std::max<int>(c.channels, c.analogNum));
    live.Analog_Num = c.analogNum;
    Grids g = Filled(live, c.channels, false);
    g.channels.EditCell(c.self + 1, kChnRowType, "扭矩功率");
    g.channels.EditCell(c.self + 1, kChnRowCoeA, c.a);
    g.channels.EditCell(c.self + 1, kChnRowCoeB, c.b);
    ASSERT_FALSE(ApplyChannelGrids(g.channels, g.groups, false, live.TotalPages, live).refused());
    EXPECT_EQ(live.AnalogChannelTable[c.self].ChnCoeA, c.expectedA) << c.a;
    EXPECT_EQ(live.AnalogChannelTable[c.self].ChnCoeB, c.expectedB) << c.b;
  }
}

TEST(AnalogChannelGrid, RefusedOkWritesNoChannel) {
  const struct {
    int col, row;
    const char* text;
    const char* message;
    const char* caption;
  } cases[] = {
      {4, kChnRowCoeA, "1,5", "通道3系数A: '1,5' is not a valid floating point value", "Quelvar"},
      {2, kChnRowCoeB, "", "通道1系数B: '' is not a valid floating point value", "Quelvar"},
      {2, kChnRowCoeB, "1e39", "通道1系数B: '1e39' is not a valid floating point value", "Quelvar"},
      {3, kChnRowMultiFreq, "40000", "通道2的频率加快倍数超过了 32767", "警告"},
      {3, kChnRowMultiFreq, "99999999999", "通道2的频率加快倍数超过了 32767", "警告"},
  };
  for (const auto& c : cases) {
    LiveConfig live = WithChannels(5);
    const LiveConfig before = live;
    Grids g = Filled(live, 5, true);
    g.channels.EditCell(1, kChnRowName, "改了");  // a change before the refused cell
    g.channels.EditCell(c.col, c.row, c.text);
    const ChannelGroupRefusal r = ApplyChannelGrids(g.channels, g.groups, true, live.TotalPages, live);
    EXPECT_EQ(r.text, c.message);
    EXPECT_EQ(r.caption, c.caption);
    SCOPED_TRACE(c.text);
    testing_support::ExpectSameChannelSettings(live, before);
  }
}

TEST(AnalogChannelGrid, AtLeastOneChannelMustRunAtTheBaseRate) {
  LiveConfig live = WithChannels(3);
  Grids g = Filled(live, 3, true);
  for (int col = 1; col <= 3; ++col) g.channels.EditCell(col, kChnRowMultiFreq, "2");
  const LiveConfig before = live;
  const ChannelGroupRefusal r = ApplyChannelGrids(g.channels, g.groups, true, live.TotalPages, live);
  EXPECT_EQ(r.text, "应该至少一通道的频率加快倍数为1");
  EXPECT_EQ(r.caption, "警告");
  EXPECT_EQ(r.buttons, platform::MsgButtons::Ok);
  testing_support::ExpectSameChannelSettings(live, before);

  g.channels.EditCell(2, kChnRowMultiFreq, "1");
  ASSERT_FALSE(ApplyChannelGrids(g.channels, g.groups, true, live.TotalPages, live).refused());
  EXPECT_EQ(live.AnalogChannelTable[0].MultiFreq, 2);
  EXPECT_EQ(live.AnalogChannelTable[1].MultiFreq, 1);
}

TEST(AnalogChannelGrid, EachChannelBecomesALineOfItsOwn) {
  LiveConfig live = WithChannels(6);
  for (int i = 0; i < 6; ++i) live.AnalogChannelTable[i].ChnGroupNo = 0;
  live.LineTable[3].APhaseNum = 4;
  Grids g = Filled(live, 6, false);
  ASSERT_FALSE(ApplyChannelGrids(g.channels, g.groups, false, live.TotalPages, live).refused());
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(live.AnalogChannelTable[i].ChnGroupNo, i);
    EXPECT_EQ(live.LineTable[i].APhaseNum, 1);
    EXPECT_EQ(g.groups.Cell(i + 1, kGroupRowChannels), std::to_string(i));
  }
}

TEST(AnalogChannelGrid, AssignmentCheckNamesGroupsWithoutChannels) {
  CellGrid groups = NewGroupGrid();
  groups.SetColCount(4);
  const ChannelGroupRefusal r = CheckChannelAssignment(groups, 2);
  EXPECT_EQ(r.text, "组2通道太少!");
  EXPECT_EQ(r.caption, "通道分组错误");
  EXPECT_FALSE(CheckChannelAssignment(groups, 3).refused());
}

TEST(AnalogChannelGrid, DoubleClicksCycleTypeCompressionZeroAndHeight) {
  LiveConfig live = WithChannels(3);
  live.AnalogChannelTable[0].ChnIDDC = 8;
  live.AnalogChannelTable[1].ChnIDDC = 6;
  live.AnalogChannelTable[0].ChnACompressType = 5;
  Grids g = Filled(live, 3, false);
  platform::RecordCells cols(g.channels, platform::RecordCells::Layout::RecordPerCol);
  const auto rules = ChannelGridCycles(live.VZero);
  const struct {
    int col, row;
    bool changes;
    const char* after;
  } cases[] = {{1, kChnRowType, true, "扭矩1"},  {2, kChnRowType, true, ""},   // the J type has no next
               {1, kChnRowCompress, true, "中点值"}, {1, kChnRowAxialZero, true, "2048"},
               {1, kChnRowYWeight, true, "100"},   {1, kChnRowName, false, "通道名0"},
               {0, kChnRowType, false, "通道类型"}};
  for (const auto& c : cases) {
    EXPECT_EQ(platform::CycleCell(cols, c.col, c.row, rules), c.changes) << c.col << "," << c.row;
    EXPECT_EQ(g.channels.Cell(c.col, c.row), c.after);
  }
  ASSERT_FALSE(ApplyChannelGrids(g.channels, g.groups, false, live.TotalPages, live).refused());
  EXPECT_EQ(live.AnalogChannelTable[0].ChnIDDC, 10);
  EXPECT_EQ(live.AnalogChannelTable[1].ChnIDDC, 0);  // a cycled J type becomes AC
  EXPECT_EQ(live.AnalogChannelTable[0].ChnAxialZero, 2048);
}

TEST(AnalogChannelGrid, PropertyLineDescribesTheSelectedChannel) {
  LiveConfig live = WithChannels(8);
  Grids g = Filled(live, 8, false);
  g.channels.SetCell(3, kChnRowPreAmp, "2");
  g.channels.SetCell(3, kChnRowCompress, "有效值");
  const std::pair<const char*, const char*> types[] = {
      {"交流", "交流"},         {"直流", "直流"},         {"计数", "(0~2047)计数"}, {"原始量", "(0~2047)原始量"},
      {"K型热偶", "K型热电偶"}, {"补偿K型", "补偿K型热电偶"}, {"J型热偶", "J型热电偶"}, {"补偿J型", "补偿J型热电偶"},
      {"Pt热电阻", "Pt热电阻"}, {"周期", "(0~2047)周期"}, {"扭矩1", "扭矩1"},       {"扭矩3", "扭矩3"},
      {"?", "交流"}};
  for (const auto& [type, text] : types) {
    g.channels.SetCell(3, kChnRowType, type);
    int32_t selected = 2;
    EXPECT_EQ(ChannelPropertyLine(g.channels, selected, live),
              std::string("通道2: ") + text + "通道; 压缩记录方式：区间有效值");
  }
  g.channels.SetCell(3, kChnRowType, "扭矩功率");
  g.channels.SetCell(3, kChnRowCoeA, "5.7");
  g.channels.SetCell(3, kChnRowCoeB, "2");  // itself: the channel before
  int32_t selected = 2;
  EXPECT_EQ(ChannelPropertyLine(g.channels, selected, live),
            "通道2: 扭矩功率(= (系数A->)通道名5 * (系数B->)通道名1 )通道; 压缩记录方式：区间有效值");
  // The sources are channels of the grid, whatever the live count says.
  for (const int32_t analogNum : {0, 20}) {
    live.Analog_Num = analogNum;
    g.channels.SetCell(3, kChnRowCoeA, "30");
    EXPECT_EQ(ChannelPropertyLine(g.channels, selected, live),
              "通道2: 扭矩功率(= (系数A->)通道名7 * (系数B->)通道名1 )通道; 压缩记录方式：区间有效值")
        << analogNum;
  }
  g.channels.SetCell(3, kChnRowPreAmp, "0");  // no gain: the range saturates, no division fault
  g.channels.SetCell(3, kChnRowType, "计数");
  EXPECT_EQ(ChannelPropertyLine(g.channels, selected, live),
            "通道2: (0~9223372036854775807)计数通道; 压缩记录方式：区间有效值");

  const struct {
    int32_t selected, after;
  } limits[] = {{-1, 0}, {8, 8}, {9, 7}, {50, 7}};
  for (const auto& c : limits) {
    int32_t s = c.selected;
    ChannelPropertyLine(g.channels, s, live);
    EXPECT_EQ(s, c.after) << c.selected;
  }
}

// Opened with no channel, the dialog used to describe a channel 0 that does
// not exist.
TEST(AnalogChannelGrid, PropertyLineIsEmptyWithoutChannels) {
  LiveConfig live = WithChannels(4);
  Grids g = Filled(live, 0, false);
  int32_t selected = 3;
  EXPECT_EQ(ChannelPropertyLine(g.channels, selected, live), "");
  EXPECT_EQ(selected, 3);
}

}  // namespace
