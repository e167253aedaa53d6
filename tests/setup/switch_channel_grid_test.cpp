#include <gtest/gtest.h>

#include "common/ChannelVocabularies.h"
#include "platform/GbkText.h"
#include "setup/SwitchChannelGrid.h"
#include "setup/channel_tables_support.h"

namespace {

using namespace quelvar;
using platform::CellGrid;

LiveConfig WithSwitches() {
  LiveConfig live;
  live.TotalPages = 3;
  for (int k = 0; k < kMaxSwitchInputs; ++k) {
    SwitchChannel& s = live.SwitchChannelTable[k];
    s.SWName = "开关" + std::to_string(k);
    s.SWStartID = k % 6;
    s.SWPreRecordTime = 100 + k;
    s.SWRecordTime = 500 + k;
    s.SWCompressRecordTime = k;
    s.SWPageNo = k % 3;
    s.SWBCompressType = (k + 1) % 6;
    s.SWYWeight = 40 + k;
  }
  return live;
}

CellGrid Filled(const LiveConfig& live, int count) {
  CellGrid grid = NewSwitchGrid();
  FillSwitchGrid(grid, live, count);
  return grid;
}

TEST(SwitchChannelGrid, DesignedGridHasHeadingsAndNumberedRows) {
  const CellGrid grid = NewSwitchGrid();
  EXPECT_EQ(grid.ColCount(), 9);
  EXPECT_EQ(grid.RowCount(), 65);
  EXPECT_EQ(grid.Cell(0, 0), "序号");
  EXPECT_EQ(grid.Cell(3, 0), "预记录时间ms");
  EXPECT_EQ(grid.Cell(8, 0), "显示高度份额");
  EXPECT_EQ(grid.Cell(0, 64), "64");
}

TEST(SwitchChannelGrid, FillShowsEachInputInItsRow) {
  const LiveConfig live = WithSwitches();
  const CellGrid grid = Filled(live, 5);
  ASSERT_EQ(grid.RowCount(), 6);
  const char* row4[] = {"4", "开关4", "下降沿", "104", "504", "4", "1", "外轮廓", "44"};
  for (int c = 0; c < 9; ++c) EXPECT_EQ(grid.Cell(c, 5), row4[c]) << c;
  EXPECT_EQ(grid.Cell(0, 1), "0");  // numbered from 0
  EXPECT_FALSE(grid.Modified(1, 1));
  EXPECT_EQ(Filled(live, 500).RowCount(), kMaxSwitchInputs + 1);
}

TEST(SwitchChannelGrid, StoredCellsConvertAndClamp) {
  const struct {
    int col;
    const char* text;
    int32_t SwitchChannel::*field;
    int32_t expected;
  } cases[] = {
      {2, "变位", &SwitchChannel::SWStartID, 5},
      {2, "xyz", &SwitchChannel::SWStartID, 0},
      {7, "xyz", &SwitchChannel::SWBCompressType, 0},
      {7, "下降沿", &SwitchChannel::SWBCompressType, 4},
      {8, "3", &SwitchChannel::SWYWeight, 5},
      {8, "5000", &SwitchChannel::SWYWeight, 2000},
      {8, "", &SwitchChannel::SWYWeight, 50},
      {6, "7", &SwitchChannel::SWPageNo, 1},  // two pages
      {6, "-1", &SwitchChannel::SWPageNo, 0},
      {6, "p", &SwitchChannel::SWPageNo, 0},
      {3, "abc", &SwitchChannel::SWPreRecordTime, 120},
      {3, "-50", &SwitchChannel::SWPreRecordTime, -50},  // times are not clamped
      {4, "abc", &SwitchChannel::SWRecordTime, 520},
      {5, "2.5", &SwitchChannel::SWCompressRecordTime, 0},
  };
  for (const auto& c : cases) {
    LiveConfig live = WithSwitches();
    live.TotalPages = 2;
    CellGrid grid = Filled(live, 4);
    grid.EditCell(c.col, 3, c.text);
    StoreSwitchGrid(grid, live.TotalPages, live);
    EXPECT_EQ(live.SwitchChannelTable[2].*c.field, c.expected) << c.col << " " << c.text;
  }
}

TEST(SwitchChannelGrid, LongNamesAreCutAtACharacterBoundary) {
  LiveConfig live = WithSwitches();
  CellGrid grid = Filled(live, 2);
  const std::string name(25, 'x');
  grid.EditCell(1, 2, "开关" + name + "量量量量量");  // 4 + 25 + 10 bytes of GBK: 39, fits exactly
  StoreSwitchGrid(grid, live.TotalPages, live);
  EXPECT_EQ(live.SwitchChannelTable[1].SWName, "开关" + name + "量量量量量");
  grid.EditCell(1, 1, "开关" + name + "量量量量量量");  // 41 bytes: the last character goes
  StoreSwitchGrid(grid, live.TotalPages, live);
  EXPECT_EQ(live.SwitchChannelTable[0].SWName, "开关" + name + "量量量量量");
  grid.EditCell(1, 1, "x开关" + name + "量量量量量");  // 40: a half character is never kept
  StoreSwitchGrid(grid, live.TotalPages, live);
  EXPECT_EQ(live.SwitchChannelTable[0].SWName, "x开关" + name + "量量量量");
  EXPECT_LE(platform::Utf8ToGbk(live.SwitchChannelTable[0].SWName).size(), kChannelTextBytes);
}

TEST(SwitchChannelGrid, StoringWithoutEditsChangesNothing) {
  LiveConfig live = WithSwitches();
  const LiveConfig before = live;
  StoreSwitchGrid(Filled(live, 20), live.TotalPages, live);
  testing_support::ExpectSameChannelSettings(live, before);
}

// Only edited cells are read back, but codes and ranges the settings tree
// brought in out of range are still repaired on OK: to what the cell shows.
TEST(SwitchChannelGrid, OkRepairsOutOfRangeCodesThatWereNotEdited) {
  LiveConfig live = WithSwitches();
  live.SwitchChannelTable[3].SWStartID = 9;        // shown as "不启动"
  live.SwitchChannelTable[4].SWBCompressType = -2;  // shown as "外轮廓"
  live.SwitchChannelTable[5].SWYWeight = 3000;
  live.SwitchChannelTable[6].SWYWeight = 0;
  live.SwitchChannelTable[7].SWPageNo = -3;
  const LiveConfig before = live;
  const CellGrid grid = Filled(live, 20);
  EXPECT_EQ(grid.Cell(kSwitchColStartFlag, 4), "不启动");
  EXPECT_EQ(grid.Cell(kSwitchColCompressType, 5), "外轮廓");
  StoreSwitchGrid(grid, live.TotalPages, live);
  EXPECT_EQ(live.SwitchChannelTable[3].SWStartID, 0);
  EXPECT_EQ(live.SwitchChannelTable[4].SWBCompressType, 5);
  EXPECT_EQ(live.SwitchChannelTable[5].SWYWeight, 2000);
  EXPECT_EQ(live.SwitchChannelTable[6].SWYWeight, 5);
  EXPECT_EQ(live.SwitchChannelTable[7].SWPageNo, 0);
  for (int k = 3; k <= 7; ++k) live.SwitchChannelTable[k] = before.SwitchChannelTable[k];
  testing_support::ExpectSameChannelSettings(live, before);
}

TEST(SwitchChannelGrid, PagesStayBelowAPageCountThatShrank) {
  LiveConfig live = WithSwitches();
  live.SwitchChannelTable[2].SWPageNo = 2;
  const CellGrid grid = Filled(live, 3);
  StoreSwitchGrid(grid, 1, live);
  EXPECT_EQ(live.SwitchChannelTable[2].SWPageNo, 0);
  LiveConfig none = WithSwitches();
  StoreSwitchGrid(Filled(none, 3), 0, none);  // no page count: page 0, never -1
  EXPECT_EQ(none.SwitchChannelTable[2].SWPageNo, 0);
}

TEST(SwitchChannelGrid, DoubleClicksCycleTheCodedCells) {
  LiveConfig live = WithSwitches();
  live.SwitchChannelTable[0].SWStartID = 0;
  live.SwitchChannelTable[0].SWBCompressType = 5;
  CellGrid grid = Filled(live, 2);
  platform::RecordCells rows(grid, platform::RecordCells::Layout::RecordPerRow);
  const auto rules = SwitchGridCycles();
  const struct {
    int col, row;
    bool changes;
    const char* after;
  } cases[] = {{2, 1, true, "高电平"}, {7, 1, true, "中点值"}, {8, 1, true, "50"},
               {1, 1, false, "SW"},    {2, 0, false, "启动标志"}};
  grid.SetCell(1, 1, "SW");
  for (const auto& c : cases) {
    EXPECT_EQ(platform::CycleCell(rows, c.col, c.row, rules), c.changes) << c.col << "," << c.row;
    EXPECT_EQ(grid.Cell(c.col, c.row), c.after);
  }
  StoreSwitchGrid(grid, live.TotalPages, live);
  EXPECT_EQ(live.SwitchChannelTable[0].SWStartID, 1);
  EXPECT_EQ(live.SwitchChannelTable[0].SWBCompressType, 0);
  EXPECT_EQ(live.SwitchChannelTable[0].SWYWeight, 50);
}

TEST(SwitchChannelGrid, SummaryDescribesTheSelectedRow) {
  LiveConfig live = WithSwitches();
  CellGrid grid = Filled(live, 6);
  const char* starts[] = {"不启动", "高电平(开)启动", "低电平(合)启动", "上沿启动", "下沿启动", "变位启动"};
  for (int k = 0; k < 6; ++k) {
    int32_t selected = k;
    EXPECT_EQ(SwitchRowSummary(grid, selected), "开关量通道" + std::to_string(k) + ": " + starts[k] +
                                                    "记录; 压缩记录方式：区间" +
                                                    SwitchCompressText(live.SwitchChannelTable[k].SWBCompressType));
  }
  const struct {
    int32_t selected, after;
  } limits[] = {{-3, 0}, {6, 6}, {7, 5}, {100, 5}};  // beyond the rows: the last but one
  for (const auto& c : limits) {
    int32_t selected = c.selected;
    SwitchRowSummary(grid, selected);
    EXPECT_EQ(selected, c.after) << c.selected;
  }
  CellGrid empty = NewSwitchGrid();
  empty.SetRowCount(1);
  int32_t selected = 4;
  EXPECT_EQ(SwitchRowSummary(empty, selected), "开关量通道0: 不启动记录; 压缩记录方式：区间");
}

}  // namespace
