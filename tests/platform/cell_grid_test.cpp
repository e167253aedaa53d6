#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/CellGrid.h"

namespace {

using quelvar::platform::CellCycle;
using quelvar::platform::CellGrid;
using quelvar::platform::CycleCell;
using quelvar::platform::RecordCells;

// Column c, row r holds "c,r".
CellGrid Numbered(int cols, int rows) {
  CellGrid g(cols, rows, 1, 1);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) g.SetCell(c, r, std::to_string(c) + "," + std::to_string(r));
  }
  return g;
}

std::vector<std::string> Column(const CellGrid& g, int col) {
  std::vector<std::string> out;
  for (int r = 0; r < g.RowCount(); ++r) out.push_back(g.Cell(col, r));
  return out;
}

TEST(CellGrid, CellsOutsideTheGridReadEmptyAndIgnoreWrites) {
  CellGrid g = Numbered(3, 2);
  const CellGrid before = g;
  for (auto [c, r] : std::vector<std::pair<int, int>>{{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {1000000, 1000000}}) {
    EXPECT_EQ(g.Cell(c, r), "") << c << "," << r;
    g.SetCell(c, r, "x");
    g.EditCell(c, r, "x");
    EXPECT_FALSE(g.Modified(c, r));
  }
  EXPECT_EQ(g, before);
}

TEST(CellGrid, ResizingKeepsTheCellsThatStayAndEmptiesNewOnes) {
  CellGrid g = Numbered(3, 3);
  g.SetColCount(2);
  g.SetRowCount(4);
  EXPECT_EQ(Column(g, 1), (std::vector<std::string>{"1,0", "1,1", "1,2", ""}));
  EXPECT_EQ(g.Cell(2, 0), "");
  g.SetColCount(3);
  EXPECT_EQ(g.Cell(2, 1), "") << "a column dropped and added again comes back empty";
  g.SetRowCount(-5);
  EXPECT_EQ(g.RowCount(), 0);
}

TEST(CellGrid, OnlyTheUsersChangedTextsAreMarkedModified) {
  CellGrid g = Numbered(3, 3);
  g.EditCell(1, 1, "1,1");  // typed the same text again
  EXPECT_FALSE(g.Modified(1, 1));
  g.EditCell(1, 1, "new");
  EXPECT_TRUE(g.Modified(1, 1));
  g.EditCell(1, 1, "1,1");
  EXPECT_FALSE(g.Modified(1, 1)) << "typed back to the program's text";
  g.EditCell(1, 1, "new");
  g.SetCell(1, 1, "refilled");
  EXPECT_FALSE(g.Modified(1, 1)) << "the program's refill starts the cell afresh";
  g.EditCell(2, 2, "a");
  g.ClearModified();
  EXPECT_FALSE(g.Modified(2, 2));
}

TEST(CellGrid, MovesShiftTheLinesBetweenAndCarryMarksAndWidths) {
  struct Case {
    int from, to;
    std::vector<std::string> rowsOfCol0;
  };
  const Case cases[] = {{1, 3, {"0,0", "0,2", "0,3", "0,1"}},
                        {3, 1, {"0,0", "0,3", "0,1", "0,2"}},
                        {2, 2, {"0,0", "0,1", "0,2", "0,3"}},
                        {0, 9, {"0,0", "0,1", "0,2", "0,3"}}};
  for (const Case& c : cases) {
    CellGrid g = Numbered(2, 4);
    g.MoveRow(c.from, c.to);
    EXPECT_EQ(Column(g, 0), c.rowsOfCol0) << c.from << "->" << c.to;
  }

  CellGrid g = Numbered(4, 2);
  g.EditCell(1, 1, "typed");
  g.SetColWidth(1, 90);
  g.MoveCol(1, 3);
  EXPECT_EQ(g.Cell(3, 1), "typed");
  EXPECT_TRUE(g.Modified(3, 1));
  EXPECT_EQ(g.ColWidth(3), 90);
  EXPECT_EQ(g.ColWidth(1), g.DefaultColWidth());
  EXPECT_EQ(g.Cell(1, 0), "2,0");
}

TEST(CellGrid, AReadOnlyMarkBelongsToItsCellThroughWritesMovesAndResizes) {
  CellGrid g = Numbered(4, 3);
  g.SetReadOnly(2, 1, true);
  EXPECT_TRUE(g.ReadOnly(2, 1));
  EXPECT_FALSE(g.ReadOnly(1, 1)) << "only the marked cell";
  EXPECT_FALSE(g.ReadOnly(2, 2));
  g.SetCell(2, 1, "program");
  g.EditCell(2, 1, "cycled");
  EXPECT_EQ(g.Cell(2, 1), "cycled") << "the mark keeps out typing only, not the grid's own writes";
  EXPECT_TRUE(g.ReadOnly(2, 1));
  g.MoveCol(2, 3);
  g.MoveRow(1, 2);
  EXPECT_TRUE(g.ReadOnly(3, 2));
  EXPECT_FALSE(g.ReadOnly(2, 1));
  g.SetColCount(5);
  EXPECT_TRUE(g.ReadOnly(3, 2));
  EXPECT_FALSE(g.ReadOnly(4, 2)) << "a new cell is open";
  g.SetReadOnly(3, 2, false);
  EXPECT_FALSE(g.ReadOnly(3, 2));

  const CellGrid before = g;
  g.SetReadOnly(-1, 0, true);
  g.SetReadOnly(5, 0, true);
  EXPECT_FALSE(g.ReadOnly(5, 0));
  EXPECT_EQ(g, before) << "outside the grid a mark is ignored";
}

TEST(CellGrid, TheCurrentCellStaysOffTheHeadingsWhileDataCellsExist) {
  CellGrid g(4, 3, 1, 1);
  g.SetCurrent(0, 0);
  EXPECT_EQ(g.Col(), 1);
  EXPECT_EQ(g.Row(), 1);
  g.SetCurrent(9, 9);
  EXPECT_EQ(g.Col(), 3);
  EXPECT_EQ(g.Row(), 2);
  g.SetRowCount(1);  // headings only
  EXPECT_EQ(g.Row(), 0);
}

TEST(CellGrid, RecordsLieAlongRowsOrTransposedAlongColumns) {
  CellGrid rows(5, 1, 1, 1);
  RecordCells perRow(rows, RecordCells::Layout::RecordPerRow);
  perRow.SetRecordCount(3);
  perRow.Set(2, 4, "last");
  EXPECT_EQ(rows.RowCount(), 4);
  EXPECT_EQ(rows.Cell(4, 3), "last");

  CellGrid cols(1, 13, 1, 1);
  RecordCells perCol(cols, RecordCells::Layout::RecordPerCol);
  perCol.SetRecordCount(8);
  perCol.Set(7, 12, "x");
  EXPECT_EQ(cols.ColCount(), 9);
  EXPECT_EQ(cols.Cell(8, 12), "x");
  EXPECT_EQ(perCol.RecordCount(), 8);

  int record = -1, field = -1;
  EXPECT_TRUE(perCol.Locate(3, 6, record, field));
  EXPECT_EQ(record, 2);
  EXPECT_EQ(field, 6);
  EXPECT_FALSE(perCol.Locate(0, 6, record, field)) << "the heading column is no record";
  EXPECT_FALSE(perCol.Locate(3, 0, record, field)) << "the heading row is no field";
  EXPECT_EQ(perCol.Get(-1, 0), "");
}

TEST(CellGrid, ADoubleClickCyclesOnlyTheFieldsThatHaveARule) {
  CellGrid g(3, 4, 1, 1);
  RecordCells cells(g, RecordCells::Layout::RecordPerRow);
  cells.Set(0, 1, "a");
  cells.Set(0, 2, "keep");
  const std::vector<CellCycle> rules = {{1, [](const std::string& s) { return s == "a" ? "b" : "a"; }}};
  EXPECT_TRUE(CycleCell(cells, 1, 1, rules));
  EXPECT_EQ(cells.Get(0, 1), "b");
  EXPECT_TRUE(cells.Modified(0, 1)) << "a cycled cell is the user's change";
  EXPECT_FALSE(CycleCell(cells, 2, 1, rules));
  EXPECT_EQ(cells.Get(0, 2), "keep");
  EXPECT_FALSE(CycleCell(cells, 1, 0, rules)) << "headings never cycle";
  EXPECT_EQ(g.Cell(1, 0), "");
  g.SetReadOnly(1, 1, true);  // a code kept out of typing
  EXPECT_TRUE(CycleCell(cells, 1, 1, rules));
  EXPECT_EQ(cells.Get(0, 1), "a") << "a read-only cell still cycles";
}

}  // namespace
