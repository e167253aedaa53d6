#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quelvar::platform {

// The text cells of an editable grid, addressed (column, row) as the program's
// grids count them: fixed rows and columns (headings) are cells too and count
// from 0 like the others. Reading outside the grid gives an empty text and
// writing there does nothing, so a handler never indexes past a grid whatever
// its counts say.
//
// A cell is modified while the user's text differs from the one the program
// last wrote there (typing a character and deleting it again leaves it
// unmodified); the program's next write, or ClearModified, makes it clean
// or clears the marks, so a dialog can parse back only what the user changed.
class CellGrid {
 public:
  CellGrid() = default;
  CellGrid(int colCount, int rowCount, int fixedCols = 1, int fixedRows = 1);

  int ColCount() const { return colCount_; }
  int RowCount() const { return rowCount_; }
  int FixedCols() const { return fixedCols_; }
  int FixedRows() const { return fixedRows_; }

  // Resizing keeps the cells that stay inside; new cells are empty. Negative
  // counts give 0.
  void SetColCount(int count);
  void SetRowCount(int count);
  void SetFixed(int fixedCols, int fixedRows);

  const std::string& Cell(int col, int row) const;
  // The program's write: sets the text and clears the cell's modified mark.
  void SetCell(int col, int row, std::string text);
  // The user's write: sets the text; the cell is modified while the text
  // differs from the program's last write.
  void EditCell(int col, int row, std::string text);
  bool Modified(int col, int row) const;
  void ClearModified();

  // A read-only cell does not open for typing; the program's writes and a
  // double click's cycling (CycleCell) still change it. The mark belongs to
  // the cell: it moves with it and stays through writes.
  bool ReadOnly(int col, int row) const;
  void SetReadOnly(int col, int row, bool readOnly);

  bool Contains(int col, int row) const { return col >= 0 && row >= 0 && col < colCount_ && row < rowCount_; }
  bool IsFixed(int col, int row) const { return col < fixedCols_ || row < fixedRows_; }

  // Clears every cell of a column or row (the program's write).
  void ClearCol(int col);
  void ClearRow(int row);

  // Moves a whole row or column (texts, marks and, for columns, the width)
  // from one index to another; the ones between shift by one. Out-of-range
  // indices do nothing.
  void MoveRow(int from, int to);
  void MoveCol(int from, int to);

  // The current cell, kept inside the grid's non-fixed area where there is one.
  int Col() const { return col_; }
  int Row() const { return row_; }
  void SetCurrent(int col, int row);

  // Column widths in pixels; a column without its own width has the default.
  int DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(int width) { defaultColWidth_ = width; }
  int ColWidth(int col) const;
  void SetColWidth(int col, int width);

  bool operator==(const CellGrid&) const = default;

 private:
  struct Slot {
    std::string text;
    bool modified = false;
    std::string written;  // the program's last text
    bool readOnly = false;
    bool operator==(const Slot&) const = default;
  };
  Slot* At(int col, int row);
  const Slot* At(int col, int row) const;
  void Reshape(int colCount, int rowCount);

  int colCount_ = 0;
  int rowCount_ = 0;
  int fixedCols_ = 0;
  int fixedRows_ = 0;
  int col_ = 0;
  int row_ = 0;
  int defaultColWidth_ = 64;
  std::vector<Slot> cells_;     // row-major
  std::vector<int> colWidths_;  // 0: the default
};

// Records laid out along a grid: one record per row, its fields in columns, or
// transposed, one record per column with its fields in rows (the analog
// channel grid). Record r sits after the fixed line(s): `firstRecord` gives
// the grid line of record 0.
class RecordCells {
 public:
  enum class Layout { RecordPerRow, RecordPerCol };

  RecordCells(CellGrid& grid, Layout layout, int firstRecord = 1) : grid_(grid), layout_(layout), first_(firstRecord) {}

  // How many records the grid holds (lines after the first record's line).
  int RecordCount() const;
  // Sizes the grid for `count` records, keeping the fields' extent.
  void SetRecordCount(int count);

  const std::string& Get(int record, int field) const;
  void Set(int record, int field, std::string text);
  // The user's change (marks the cell modified when the text differs).
  void Edit(int record, int field, std::string text);
  bool Modified(int record, int field) const;

  // The record and field of a grid cell; false for a fixed cell.
  bool Locate(int col, int row, int& record, int& field) const;

 private:
  int Col(int record, int field) const { return layout_ == Layout::RecordPerRow ? field : first_ + record; }
  int Row(int record, int field) const { return layout_ == Layout::RecordPerRow ? first_ + record : field; }

  CellGrid& grid_;
  Layout layout_;
  int first_;
};

// What a double click does to a field: the cell's new text from its old one
// (the code tables' cycles, or a fixed text).
struct CellCycle {
  int field = 0;
  std::function<std::string(const std::string&)> next;
};

// Applies the rule of the clicked cell's field, if it has one; true when a
// cell changed. A heading cell is never changed.
bool CycleCell(RecordCells& cells, int col, int row, const std::vector<CellCycle>& rules);

}  // namespace quelvar::platform
