// The main window's text grid: the view, its fill and scrolling, the grid
// modes, reordering by typing and by dragging, and the display-order file.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <string>

#include "platform/qt/StringGrid.h"
#include "shell/FormMain.h"
#include "MainWindowWithData.h"
#include "view/DisplayOrderFile.h"
#include "view/TextGrid.h"

namespace {

using namespace quelvar;
using platform::ScriptedUiHost;

class FormMainTextGrid : public test::MainWindowWithData {
 protected:
  static const platform::CellGrid& Cells(TFormMain& form) { return form.Grid1->Cells(); }
  static int PositionCol(const AppState& s) { return s.wave.GridColumns + 2; }
};

TEST_F(FormMainTextGrid, TheTextViewShowsTheGridOfTheDataOnDisplay) {
  auto form = WithData();
  ASSERT_EQ(state.display.DispValid, 1);
  EXPECT_EQ(state.wave.GridColumns, TextGridColumnsFor(form->Grid1->width(), 64));
  form->menuViewTextClick();
  EXPECT_TRUE(form->Panel_Grid->isVisible());
  EXPECT_TRUE(form->Grid1->isVisible());
  EXPECT_FALSE(form->Panel_Waveform->isVisible());
  const platform::CellGrid& g = Cells(*form);
  EXPECT_EQ(g.ColCount(), state.wave.GridColumns + 3);
  EXPECT_EQ(g.RowCount(), 4 + 2);
  EXPECT_EQ(g.Cell(0, 2), "Chn0");
  EXPECT_EQ(g.Cell(1, 2), "V");
  EXPECT_EQ(g.Cell(2, 1), "1");
  EXPECT_FALSE(g.Cell(2, 2).empty());
  // What the widget shows: row 0 as the column heading, the rest as cells.
  QAbstractItemModel* model = form->Grid1->model();
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString().toStdString(), "  \\时间");
  EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString().toStdString(), g.Cell(2, 0));
  EXPECT_EQ(model->data(model->index(0, 2)).toString().toStdString(), "1");
  EXPECT_EQ(model->data(model->index(1, 0)).toString().toStdString(), "Chn0");
}

TEST_F(FormMainTextGrid, TheGridBarScrollsTheGridAtTheNextTickAndStopsAtTheLastScreen) {
  auto form = WithData();
  form->menuViewTextClick();
  form->menuGridHex->trigger();
  const int32_t points = state.display.DispPoints;
  EXPECT_EQ(form->HScrollBar_Grid->maximum(), points - 1);
  EXPECT_EQ(form->HScrollBar_Grid->pageStep(), state.wave.GridColumns - 1);
  form->HScrollBar_Grid->setValue(300);
  EXPECT_EQ(state.wave.GridFirstPoint, 300);
  EXPECT_TRUE(form->RepaintRequested());
  EXPECT_EQ(Cells(*form).Cell(2, 1), "1");
  form->Timer2Timer();
  EXPECT_EQ(Cells(*form).Cell(2, 1), "301");
  EXPECT_EQ(Cells(*form).Cell(2, 2), "0001");  // block 1's words
  form->HScrollBar_Grid->setValue(points - 1);
  EXPECT_EQ(state.wave.GridFirstPoint, points - state.wave.GridColumns);
}

TEST_F(FormMainTextGrid, TheStartCommandsTakeTheWaveformsFirstPointOrAMark) {
  auto form = WithData();
  state.wave.XPosition = 100;
  state.wave.Mark1X = 5;
  state.wave.Mark2X = 40;
  form->menuGridXAsMark1->trigger();
  EXPECT_EQ(state.wave.GridFirstPoint, 104);
  form->menuGridXAsMark2->trigger();
  EXPECT_EQ(state.wave.GridFirstPoint, 139);
  form->menuGridXAsPicX->trigger();
  EXPECT_EQ(state.wave.GridFirstPoint, 100);
}

TEST_F(FormMainTextGrid, GridModesAreARadioGroupThatRefillsTheGrid) {
  auto form = WithData();
  form->menuViewTextClick();
  EXPECT_TRUE(form->menuGridEng->isChecked());
  form->menuGridHex->trigger();
  EXPECT_TRUE(form->menuGridHex->isChecked());
  EXPECT_FALSE(form->menuGridEng->isChecked());
  EXPECT_FALSE(form->menuGridDirectValue->isChecked());
  EXPECT_EQ(Cells(*form).Cell(1, 2), "Hex");
  EXPECT_EQ(Cells(*form).Cell(2, 2), "0000");
  form->menuGridHex->trigger();  // already checked: stays
  EXPECT_TRUE(form->menuGridHex->isChecked());
  form->menuGridDirectValue->trigger();
  EXPECT_EQ(Cells(*form).Cell(1, 2), "直接AD");
  EXPECT_FALSE(form->menuGridHex->isChecked());
}

TEST_F(FormMainTextGrid, MendedATypedPositionCountsWholeWhenItsEditingEnds) {
  // Taken at each keystroke, "12" would first move the row to 1 and then
  // move another channel to 12.
  auto form = WithData();
  form->menuViewTextClick();
  const int col = PositionCol(state);
  StringGrid& grid = *form->Grid1;
  // Edit the position cell of grid row 5 (position 3, channel 3).
  const QModelIndex cell = grid.model()->index(5 - 1, col);
  grid.setCurrentIndex(cell);
  grid.edit(cell);
  auto* editor = grid.findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "0");
  EXPECT_EQ(state.config.GridOrder[3], 3);  // nothing yet
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();  // the editor closes after the key
  EXPECT_EQ(state.config.GridOrder[3], 0);
  EXPECT_EQ(state.config.GridOrder[0], 1);
  EXPECT_EQ(state.config.GridOrder[1], 2);
  EXPECT_EQ(state.config.GridOrder[2], 3);
  EXPECT_TRUE(form->RepaintRequested());
  form->Timer2Timer();
  EXPECT_EQ(Cells(*form).Cell(0, 2), "Chn3");
  EXPECT_EQ(Cells(*form).Cell(0, 3), "Chn0");
  EXPECT_EQ(Cells(*form).Cell(col, 5), "3");
}

TEST_F(FormMainTextGrid, TypingOutsideThePositionColumnOrWithoutDataMovesNothing) {
  auto form = WithData();
  const int col = PositionCol(state);
  form->Grid1SetEditText(col - 1, 5, "0");
  form->Grid1EditDone();
  form->Grid1SetEditText(col, 1, "0");
  form->Grid1EditDone();
  form->Grid1SetEditText(col, 5, "");  // emptied
  form->Grid1EditDone();
  form->Grid1SetEditText(col, 5, "3");  // its own position (Esc puts it back)
  form->Grid1EditDone();
  EXPECT_EQ(state.config.GridOrder[3], 3);
  EXPECT_FALSE(form->RepaintRequested());
  state.display.DispValid = 0;
  form->Grid1SetEditText(col, 5, "0");
  form->Grid1EditDone();
  EXPECT_EQ(state.config.GridOrder[3], 3);
  // A text that is no number moves the row to the first position.
  state.display.DispValid = 1;
  form->Grid1SetEditText(col, 5, "abc");
  form->Grid1EditDone();
  EXPECT_EQ(state.config.GridOrder[3], 0);
}

TEST_F(FormMainTextGrid, DraggingARowMovesItsChannelAndTheDefaultOrderPutsItBack) {
  auto form = WithData();
  form->menuViewTextClick();
  // The row handles: view row v is grid row v + 1 (row 0 is the heading).
  form->Grid1->verticalHeader()->moveSection(4, 1);  // grid row 5 to row 2
  EXPECT_EQ(state.config.GridOrder[3], 0);
  EXPECT_EQ(state.config.GridOrder[0], 1);
  EXPECT_TRUE(form->RepaintRequested());
  form->Timer2Timer();
  EXPECT_EQ(Cells(*form).Cell(0, 2), "Chn3");
  EXPECT_EQ(Cells(*form).Cell(PositionCol(state), 2), "0");
  // The fixed row cannot be a target.
  form->Grid1->verticalHeader()->moveSection(2, 0);
  EXPECT_EQ(state.config.GridOrder[3], 0);

  form->menuGridDefOrder->trigger();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(state.config.GridOrder[static_cast<size_t>(i)], i);
  form->Timer2Timer();
  EXPECT_EQ(Cells(*form).Cell(0, 2), "Chn0");
}

TEST_F(FormMainTextGrid, TheOrderFileRoundTripsThroughTheDialogsAndABadFileIsRefused) {
  auto form = WithData();
  form->menuViewTextClick();
  state.config.GridOrder[0] = 3;
  state.config.GridOrder[3] = 0;
  const std::string path = (dir / "rows.grd").string();
  ui.fileAnswers.push_back(path);
  form->menuGridSaveOrder->trigger();
  ASSERT_EQ(std::filesystem::file_size(path), kDisplayOrderFileSize);
  form->menuGridDefOrder->trigger();
  ui.fileAnswers.push_back(path);
  form->menuGridLoadOrder->trigger();
  EXPECT_EQ(state.config.GridOrder[0], 3);
  EXPECT_EQ(state.config.GridOrder[3], 0);
  // Filled at once in the text view.
  EXPECT_EQ(Cells(*form).Cell(0, 2), "Chn3");

  std::filesystem::resize_file(path, 587);
  ui.fileAnswers.push_back(path);
  form->menuGridLoadOrder->trigger();
  const auto messages = ui.PromptsOf(ScriptedUiHost::Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "文件大小不对!");
  EXPECT_EQ(state.config.GridOrder[0], 3);
}

TEST_F(FormMainTextGrid, TheNameColumnGrowsAndShrinksButStaysUsable) {
  auto form = WithData();
  const int width = Cells(*form).ColWidth(0);
  form->menuGridExpand->trigger();
  EXPECT_EQ(Cells(*form).ColWidth(0), width + 10);
  EXPECT_EQ(form->Grid1->columnWidth(0), width + 10);
  for (int i = 0; i < 20; ++i) form->menuGridCompress->trigger();
  EXPECT_EQ(Cells(*form).ColWidth(0), 40);
  // A layout rebuild keeps the width.
  form->RebuildDisplayLayout();
  EXPECT_EQ(form->Grid1->columnWidth(0), 40);
}

TEST_F(FormMainTextGrid, PanelClicksStepThroughTheThreeViews) {
  auto form = WithData();
  form->Panel_WaveformClick();
  EXPECT_EQ(state.wave.ViewMode, 1);
  form->Panel_GridClick();
  EXPECT_EQ(state.wave.ViewMode, 2);
  form->Panel_ReportClick();
  EXPECT_EQ(state.wave.ViewMode, 0);
  // A click on the panel's own margin, not on one of its controls.
  form->Memo1->setGeometry(10, 10, 50, 50);
  form->menuViewReportClick();
  QTest::mouseClick(form->Panel_Report, Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(state.wave.ViewMode, 0);
  form->menuViewReportClick();
  QTest::mouseClick(form->Memo1->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(state.wave.ViewMode, 2);
}

}  // namespace
