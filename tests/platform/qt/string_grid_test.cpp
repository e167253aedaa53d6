// The editable grid widget: what the user sees and types reaches the cell
// model in the grid's own (column, row) terms.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "platform/qt/StringGrid.h"

namespace {

using quelvar::StringGrid;
using quelvar::platform::CellGrid;

// A 4 x 3 grid with a heading row and a heading column: "c,r" in every cell.
CellGrid Numbered() {
  CellGrid g(4, 3, 1, 1);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 4; ++c) g.SetCell(c, r, std::to_string(c) + "," + std::to_string(r));
  }
  return g;
}

TEST(StringGrid, TheHeadingRowIsTheColumnHeaderAndHeadingCellsCannotBeEdited) {
  StringGrid grid;
  grid.SetCells(Numbered());
  QAbstractItemModel* m = grid.model();
  EXPECT_EQ(m->rowCount(), 2);
  EXPECT_EQ(m->columnCount(), 4);
  EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), QStringLiteral("2,0"));
  EXPECT_EQ(m->index(0, 2).data().toString(), QStringLiteral("2,1"));
  EXPECT_FALSE(m->flags(m->index(0, 0)) & Qt::ItemIsEditable);
  EXPECT_TRUE(m->flags(m->index(0, 1)) & Qt::ItemIsEditable);
  grid.Cells().SetReadOnly(2, 1, true);
  EXPECT_FALSE(m->flags(m->index(0, 2)) & Qt::ItemIsEditable) << "a read-only cell";
  EXPECT_TRUE(m->flags(m->index(0, 2)) & Qt::ItemIsSelectable);
  EXPECT_TRUE(m->flags(m->index(1, 2)) & Qt::ItemIsEditable) << "its neighbour";
  grid.SetEditable(false);
  EXPECT_FALSE(m->flags(m->index(0, 1)) & Qt::ItemIsEditable);

  CellGrid noHeading(2, 2, 0, 0);
  noHeading.SetCell(1, 0, "top");
  grid.SetCells(noHeading);
  EXPECT_EQ(grid.model()->rowCount(), 2);
  EXPECT_EQ(grid.model()->index(0, 1).data().toString(), QStringLiteral("top"));
}

TEST(StringGrid, TypingReachesTheCellsAtEveryKeystrokeAndMarksThemModified) {
  StringGrid grid;
  grid.SetCells(Numbered());
  grid.show();
  QSignalSpy edited(&grid, &StringGrid::CellTextEdited);
  const QModelIndex at = grid.model()->index(1, 2);  // grid cell (2, 2)
  grid.setCurrentIndex(at);
  grid.edit(at);
  auto* editor = qobject_cast<QLineEdit*>(grid.indexWidget(at));
  ASSERT_NE(editor, nullptr);
  editor->clear();
  QTest::keyClicks(editor, "12");
  ASSERT_EQ(edited.count(), 2);
  EXPECT_EQ(edited.at(1).at(0).toInt(), 2);
  EXPECT_EQ(edited.at(1).at(1).toInt(), 2);
  EXPECT_EQ(grid.Cells().Cell(2, 2), "12");
  EXPECT_TRUE(grid.Cells().Modified(2, 2));
  grid.FinishEditing();
  EXPECT_EQ(grid.indexWidget(at), nullptr) << "the editor is closed";
  EXPECT_EQ(grid.Cells().Cell(2, 2), "12");
  EXPECT_FALSE(grid.Cells().Modified(1, 1));
}

TEST(StringGrid, TypingAndDeletingAgainOrEscapeLeavesTheCellUnmodified) {
  StringGrid grid;
  grid.SetCells(Numbered());
  grid.show();
  QSignalSpy edited(&grid, &StringGrid::CellTextEdited);
  const QModelIndex at = grid.model()->index(0, 1);  // grid cell (1, 1)
  grid.setCurrentIndex(at);
  grid.edit(at);
  auto* editor = qobject_cast<QLineEdit*>(grid.indexWidget(at));
  ASSERT_NE(editor, nullptr);
  editor->end(false);
  QTest::keyClicks(editor, "x");
  EXPECT_TRUE(grid.Cells().Modified(1, 1));
  QTest::keyClick(editor, Qt::Key_Backspace);
  EXPECT_EQ(grid.Cells().Cell(1, 1), "1,1");
  EXPECT_FALSE(grid.Cells().Modified(1, 1)) << "the text is the program's again";

  QTest::keyClicks(editor, "99");
  ASSERT_TRUE(grid.Cells().Modified(1, 1));
  QTest::keyClick(editor, Qt::Key_Escape);
  EXPECT_EQ(grid.Cells().Cell(1, 1), "1,1") << "Esc puts the opening text back";
  EXPECT_FALSE(grid.Cells().Modified(1, 1));
  EXPECT_EQ(grid.model()->index(0, 1).data().toString(), QStringLiteral("1,1"));
  ASSERT_GE(edited.count(), 1);
  EXPECT_EQ(edited.last().at(2).value<std::string>(), "1,1") << "handlers hear of the restored text";
}

TEST(StringGrid, SelectionAndDoubleClicksAreReportedInGridTerms) {
  StringGrid grid;
  grid.SetCells(Numbered());
  QSignalSpy selected(&grid, &StringGrid::CellSelected);
  QSignalSpy doubled(&grid, &StringGrid::CellDoubleClicked);
  grid.setCurrentIndex(grid.model()->index(1, 3));
  ASSERT_GE(selected.count(), 1);
  EXPECT_EQ(selected.last().at(0).toInt(), 3);
  EXPECT_EQ(selected.last().at(1).toInt(), 2);
  EXPECT_EQ(grid.Cells().Col(), 3);
  EXPECT_EQ(grid.Cells().Row(), 2);
  emit grid.doubleClicked(grid.model()->index(0, 1));
  ASSERT_EQ(doubled.count(), 1);
  EXPECT_EQ(doubled.at(0).at(1).toInt(), 1);
}

TEST(StringGrid, ProgramWritesAndRefreshShowTextsAndWidths) {
  StringGrid grid;
  grid.SetCells(Numbered());
  grid.SetCellText(1, 1, "new");
  grid.SetCellText(3, 0, "heading");
  EXPECT_EQ(grid.model()->index(0, 1).data().toString(), QStringLiteral("new"));
  EXPECT_EQ(grid.model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("heading"));
  grid.Cells().SetColWidth(2, 123);
  grid.Cells().SetRowCount(5);
  grid.Refresh();
  EXPECT_EQ(grid.columnWidth(2), 123);
  EXPECT_EQ(grid.model()->rowCount(), 4);
  grid.horizontalHeader()->resizeSection(1, 77);
  EXPECT_EQ(grid.Cells().ColWidth(1), 77) << "a width the user drags is kept in the cells";
}

TEST(StringGrid, ColumnsBeyondTheVisibleCountAreHiddenButKeepTheirCellsAndWidths) {
  StringGrid grid;
  CellGrid cells = Numbered();
  cells.SetColWidth(3, 40);
  grid.SetCells(cells);
  grid.SetVisibleColCount(2);
  for (int c = 0; c < 4; ++c) EXPECT_EQ(grid.isColumnHidden(c), c >= 2) << c;
  EXPECT_EQ(grid.model()->columnCount(), 4);
  EXPECT_EQ(grid.Cells().Cell(3, 2), "3,2");
  grid.Cells().SetCell(3, 2, "kept");
  grid.Refresh();  // a refresh rebuilds the view's columns
  for (int c = 0; c < 4; ++c) EXPECT_EQ(grid.isColumnHidden(c), c >= 2) << c << " after a refresh";
  EXPECT_EQ(grid.Cells().ColWidth(3), 40) << "hiding is not the user's resize";
  grid.SetVisibleColCount(4);
  EXPECT_FALSE(grid.isColumnHidden(3));
  EXPECT_EQ(grid.columnWidth(3), 40);
  EXPECT_EQ(grid.model()->index(1, 3).data().toString(), QStringLiteral("kept"));
  grid.SetVisibleColCount(0);
  EXPECT_TRUE(grid.isColumnHidden(0));
  grid.SetVisibleColCount(-1);
  for (int c = 0; c < 4; ++c) EXPECT_FALSE(grid.isColumnHidden(c)) << c;
}

TEST(StringGrid, DraggedColumnsMoveTheCellsAndHeadingColumnsStay) {
  StringGrid grid;
  grid.SetCells(Numbered());
  grid.SetColumnsMovable(true);
  QSignalSpy moved(&grid, &StringGrid::ColumnMoved);
  grid.horizontalHeader()->moveSection(1, 3);
  ASSERT_EQ(moved.count(), 1);
  EXPECT_EQ(grid.Cells().Cell(3, 1), "1,1");
  EXPECT_EQ(grid.Cells().Cell(1, 1), "2,1");
  EXPECT_EQ(grid.horizontalHeader()->visualIndex(3), 3) << "view order stays the cells' order";
  grid.horizontalHeader()->moveSection(0, 2);
  EXPECT_EQ(moved.count(), 1);
  EXPECT_EQ(grid.Cells().Cell(0, 1), "0,1");
}

TEST(StringGrid, EnteringAndLeavingTheGridFromAnotherControlAreReported) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* grid = new StringGrid;
  auto* button = new QPushButton("OK");
  layout->addWidget(grid);
  layout->addWidget(button);
  grid->SetCells(Numbered());
  window.show();
  QApplication::setActiveWindow(&window);
  button->setFocus();
  QApplication::processEvents();
  QSignalSpy left(grid, &StringGrid::FocusLeft);
  QSignalSpy entered(grid, &StringGrid::FocusEntered);
  grid->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(entered.count(), 1);
  const QModelIndex at = grid->model()->index(0, 1);
  grid->setCurrentIndex(at);
  grid->edit(at);  // focus moves into the cell editor: still inside
  QApplication::processEvents();
  grid->FinishEditing();  // and back to the grid
  grid->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(left.count(), 0);
  EXPECT_EQ(entered.count(), 1);
  button->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(left.count(), 1);
  EXPECT_EQ(entered.count(), 1);
}

}  // namespace
