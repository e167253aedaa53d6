// The derived data set's definition grid: its layout, the yes/no toggles
// and how the grid is read back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/DerivedDefinitionGrid.h"

namespace {

using namespace quelvar;

std::vector<DerivedChannelDef> TwoChannels() {
  DerivedChannelDef a;
  a.SourceName = "Ua";
  a.SourceUnit = "V";
  a.SourceB = 0.5f;
  a.IntegralDivisor = 7;
  a.IntegralName = "积分Ua";
  a.IntegralB = 3.5f;
  a.IntegralUnit = "Vs";
  a.DifferenceUnit = "V/s";
  a.DifferenceDivisor = 2;
  a.DifferenceName = "差分Ua";
  DerivedChannelDef b = a;
  b.SourceUsed = 0;
  b.SourceName = "Cnt";
  return {a, b};
}

TEST(DerivedDefinitionGrid, HeadingsAndThreeRowsPerChannelWithAGapBetween) {
  platform::CellGrid g;
  FillDerivedGrid(g, TwoChannels());
  EXPECT_EQ(g.ColCount(), 11);
  EXPECT_EQ(g.RowCount(), 8);
  EXPECT_EQ(g.FixedCols(), 2);
  EXPECT_EQ(g.FixedRows(), 1);
  const std::vector<std::string> headings{"序号", "类型", "存在", "除以", "差分阶", "零点(A)", "系数(B)", "通道名称", "量纲", "", ""};
  for (int c = 0; c < 11; ++c) EXPECT_EQ(g.Cell(c, 0), headings[static_cast<size_t>(c)]) << c;
  // Channel 1 from row 5.
  const std::vector<std::vector<std::string>> rows = {
      {"1", "原通道", "否", "1", "去均值", "0", "0.5", "Cnt", "V"},
      {"", "积分", "否", "7", "是", "0", "3.5", "积分Ua", "Vs"},
      {"", "差分", "否", "2", "1", "0", "1", "差分Ua", "V/s"},
  };
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 9; ++c) EXPECT_EQ(g.Cell(c, 5 + r), rows[static_cast<size_t>(r)][static_cast<size_t>(c)]) << c << "," << r;
  }
  EXPECT_EQ(g.Cell(2, 1), "是");
  for (int c = 0; c < 11; ++c) EXPECT_EQ(g.Cell(c, 4), "");  // the gap row
}

TEST(DerivedDefinitionGrid, DoubleClicksToggleOnlyTheFlagCells) {
  platform::CellGrid g;
  FillDerivedGrid(g, TwoChannels());
  const platform::CellGrid before = g;
  struct Case {
    int col, row;
    std::string after;  // empty: the cell stays
  };
  const Case cases[] = {
      {2, 1, "否"}, {2, 2, "是"}, {2, 3, "是"}, {4, 2, "否"},  // flags
      {4, 3, ""},   {4, 1, ""},   {3, 2, ""},   {2, 4, ""},   {2, 0, ""},  // order, caption, divisor, gap, heading
  };
  for (const Case& c : cases) {
    g = before;
    DerivedGridDoubleClick(g, c.col, c.row);
    EXPECT_EQ(g.Cell(c.col, c.row), c.after.empty() ? before.Cell(c.col, c.row) : c.after) << c.col << "," << c.row;
  }
  g.EditCell(2, 5, "maybe");
  DerivedGridDoubleClick(g, 2, 5);
  EXPECT_EQ(g.Cell(2, 5), "是");
}

TEST(DerivedDefinitionGrid, ReadingBackTakesDefaultsForNonNumbersAndCutsTexts) {
  std::vector<DerivedChannelDef> defs = TwoChannels();
  platform::CellGrid g;
  FillDerivedGrid(g, defs);
  g.EditCell(2, 2, "是");             // integral on
  g.EditCell(4, 2, "否");             // without removing the mean
  g.EditCell(3, 2, "x");              // divisor not a number
  g.EditCell(3, 3, "0");              // divisor 0
  g.EditCell(4, 3, "-4");             // order below 1
  g.EditCell(5, 1, "a");              // A not a number
  g.EditCell(6, 1, "b");              // B not a number
  g.EditCell(6, 2, "2.25");
  g.EditCell(7, 1, "ABCDEFGHIJKLMNOPQRST");  // 20 characters
  g.EditCell(8, 3, "mm/s");
  g.EditCell(7, 2, "积分压力通道一二");  // 16 GBK bytes (24 of UTF-8)
  g.EditCell(7, 3, "差分压力通道");      // 12 GBK bytes: whole
  g.EditCell(3, 1, "99");             // the fixed divisor is not read
  g.EditCell(2, 5, "yes");            // anything but "是" is off
  ReadDerivedGrid(g, defs);
  const DerivedChannelDef& d = defs[0];
  EXPECT_EQ(d.SourceUsed, 1);
  EXPECT_EQ(d.IntegralUsed, 1);
  EXPECT_EQ(d.IntegralRemoveMean, 0);
  EXPECT_EQ(d.IntegralDivisor, 1);
  EXPECT_EQ(d.DifferenceDivisor, 1);
  EXPECT_EQ(d.DifferenceOrder, 1);
  EXPECT_FLOAT_EQ(d.SourceA, 0.0f);
  EXPECT_FLOAT_EQ(d.SourceB, 1.0f);
  EXPECT_FLOAT_EQ(d.IntegralB, 2.25f);
  EXPECT_EQ(d.SourceName, "ABCDEFGHIJKLMNO");
  EXPECT_EQ(d.IntegralName, "积分压力通道一");
  EXPECT_EQ(d.DifferenceName, "差分压力通道");
  EXPECT_EQ(d.DifferenceUnit, "mm/s");
  EXPECT_EQ(defs[1].SourceUsed, 0);
  EXPECT_EQ(defs[1].IntegralDivisor, 7);
}

}  // namespace
