#pragma once

#include <QTableView>

#include <string>

#include "platform/CellGrid.h"

namespace quelvar {

class CellGridModel;

// The editable text grid every grid dialog uses: a view over a CellGrid that
// it owns. Grid row 0, when it is a fixed row, is the view's column header
// (drag its borders to size the columns); fixed columns are grey cells that
// cannot be edited, nor can a cell marked read-only in the cells. Handlers read and change `Cells()` in the grid's own
// (column, row) terms; after changing them directly they call Refresh().
//
// Signals, in the grid's terms:
// - CellSelected: the current cell changed (a click or the keyboard);
// - CellDoubleClicked: a double click on a cell (the cycling rules);
// - CellTextEdited: every keystroke in a cell's editor, with the text so far,
//   which is already in Cells() (marked modified);
// - FocusEntered / FocusLeft: the keyboard focus came into the grid from, or
//   left it for, another control of the program (not when the window gains
//   or loses the focus, nor when a cell editor opens or closes);
// - ColumnMoved / RowMoved: the user dragged a column's heading (when columns
//   are movable) or a row's handle (when rows are movable); Cells() is moved
//   already.
class StringGrid : public QTableView {
  Q_OBJECT
 public:
  explicit StringGrid(QWidget* parent = nullptr);
  ~StringGrid() override;

  platform::CellGrid& Cells() { return cells_; }
  const platform::CellGrid& Cells() const { return cells_; }
  // Replaces the cells and shows them.
  void SetCells(platform::CellGrid cells);
  // Shows the cells after a handler changed them (counts, texts, widths,
  // current cell).
  void Refresh();
  // The program's write to one cell, shown at once.
  void SetCellText(int col, int row, const std::string& text);

  void SetEditable(bool editable);
  bool Editable() const { return editable_; }
  void SetColumnsMovable(bool movable);
  // Shows only the first `count` columns (all when negative); the columns
  // beyond stay in Cells() with their texts and widths. Kept through Refresh().
  void SetVisibleColCount(int count);
  int VisibleColCount() const { return visibleCols_; }
  void SetRowsMovable(bool movable);

  // Puts an open cell editor's text into Cells() and closes the editor, so a
  // command that reads the cells sees what the user typed.
  void FinishEditing();

 signals:
  void CellSelected(int col, int row);
  void CellDoubleClicked(int col, int row);
  void CellTextEdited(int col, int row, const std::string& text);
  void FocusEntered();
  void FocusLeft();
  void ColumnMoved(int from, int to);
  void RowMoved(int from, int to);

 private:
  friend class CellGridModel;
  friend class CellEditDelegate;
  int HeaderRows() const;
  int GridRow(int viewRow) const { return viewRow + HeaderRows(); }
  int ViewRow(int gridRow) const { return gridRow - HeaderRows(); }
  void ApplyWidths();
  void ApplyHiddenColumns();
  void OnSectionMoved(Qt::Orientation orientation, int oldVisual, int newVisual);
  void OnFocusChanged(QWidget* old, QWidget* now);
  void EmitEdited(int col, int row, const std::string& text);

  platform::CellGrid cells_;
  CellGridModel* model_ = nullptr;
  bool editable_ = true;
  int visibleCols_ = -1;
  bool applyingWidths_ = false;
  bool undoingMove_ = false;
};

}  // namespace quelvar
