#include "platform/CellGrid.h"

#include <algorithm>

namespace quelvar::platform {

namespace {

const std::string kEmpty;

template <typename T>
void MoveElement(std::vector<T>& v, size_t from, size_t to) {
  if (from < to) {
    std::rotate(v.begin() + static_cast<std::ptrdiff_t>(from), v.begin() + static_cast<std::ptrdiff_t>(from) + 1,
                v.begin() + static_cast<std::ptrdiff_t>(to) + 1);
  } else if (to < from) {
    std::rotate(v.begin() + static_cast<std::ptrdiff_t>(to), v.begin() + static_cast<std::ptrdiff_t>(from),
                v.begin() + static_cast<std::ptrdiff_t>(from) + 1);
  }
}

}  // namespace

CellGrid::CellGrid(int colCount, int rowCount, int fixedCols, int fixedRows) {
  Reshape(colCount, rowCount);
  SetFixed(fixedCols, fixedRows);
}

void CellGrid::Reshape(int colCount, int rowCount) {
  colCount = std::max(colCount, 0);
  rowCount = std::max(rowCount, 0);
  std::vector<Slot> cells(static_cast<size_t>(colCount) * static_cast<size_t>(rowCount));
  const int keepCols = std::min(colCount, colCount_), keepRows = std::min(rowCount, rowCount_);
  for (int r = 0; r < keepRows; ++r) {
    for (int c = 0; c < keepCols; ++c) {
      cells[static_cast<size_t>(r) * static_cast<size_t>(colCount) + static_cast<size_t>(c)] = std::move(*At(c, r));
    }
  }
  cells_ = std::move(cells);
  colCount_ = colCount;
  rowCount_ = rowCount;
  colWidths_.resize(static_cast<size_t>(colCount), 0);
  SetCurrent(col_, row_);
}

void CellGrid::SetColCount(int count) { Reshape(count, rowCount_); }
void CellGrid::SetRowCount(int count) { Reshape(colCount_, count); }

void CellGrid::SetFixed(int fixedCols, int fixedRows) {
  fixedCols_ = std::max(fixedCols, 0);
  fixedRows_ = std::max(fixedRows, 0);
  SetCurrent(col_, row_);
}

CellGrid::Slot* CellGrid::At(int col, int row) {
  if (!Contains(col, row)) return nullptr;
  return &cells_[static_cast<size_t>(row) * static_cast<size_t>(colCount_) + static_cast<size_t>(col)];
}

const CellGrid::Slot* CellGrid::At(int col, int row) const { return const_cast<CellGrid*>(this)->At(col, row); }

const std::string& CellGrid::Cell(int col, int row) const {
  const Slot* s = At(col, row);
  return s != nullptr ? s->text : kEmpty;
}

void CellGrid::SetCell(int col, int row, std::string text) {
  if (Slot* s = At(col, row)) {
    s->written = text;
    s->text = std::move(text);
    s->modified = false;
  }
}

void CellGrid::EditCell(int col, int row, std::string text) {
  if (Slot* s = At(col, row)) {
    s->modified = text != s->written;
    s->text = std::move(text);
  }
}

bool CellGrid::Modified(int col, int row) const {
  const Slot* s = At(col, row);
  return s != nullptr && s->modified;
}

void CellGrid::ClearModified() {
  // What the cells hold now counts as written.
  for (Slot& s : cells_) {
    s.modified = false;
    s.written = s.text;
  }
}

bool CellGrid::ReadOnly(int col, int row) const {
  const Slot* s = At(col, row);
  return s != nullptr && s->readOnly;
}

void CellGrid::SetReadOnly(int col, int row, bool readOnly) {
  if (Slot* s = At(col, row)) s->readOnly = readOnly;
}

void CellGrid::ClearCol(int col) {
  for (int r = 0; r < rowCount_; ++r) SetCell(col, r, {});
}

void CellGrid::ClearRow(int row) {
  for (int c = 0; c < colCount_; ++c) SetCell(c, row, {});
}

void CellGrid::MoveRow(int from, int to) {
  if (from < 0 || to < 0 || from >= rowCount_ || to >= rowCount_ || from == to) return;
  for (int c = 0; c < colCount_; ++c) {
    std::vector<Slot> column;
    column.reserve(static_cast<size_t>(rowCount_));
    for (int r = 0; r < rowCount_; ++r) column.push_back(std::move(*At(c, r)));
    MoveElement(column, static_cast<size_t>(from), static_cast<size_t>(to));
    for (int r = 0; r < rowCount_; ++r) *At(c, r) = std::move(column[static_cast<size_t>(r)]);
  }
}

void CellGrid::MoveCol(int from, int to) {
  if (from < 0 || to < 0 || from >= colCount_ || to >= colCount_ || from == to) return;
  for (int r = 0; r < rowCount_; ++r) {
    auto first = cells_.begin() + static_cast<std::ptrdiff_t>(r) * colCount_;
    std::vector<Slot> row(std::make_move_iterator(first), std::make_move_iterator(first + colCount_));
    MoveElement(row, static_cast<size_t>(from), static_cast<size_t>(to));
    std::move(row.begin(), row.end(), first);
  }
  MoveElement(colWidths_, static_cast<size_t>(from), static_cast<size_t>(to));
}

void CellGrid::SetCurrent(int col, int row) {
  // Like the toolkit's grid, the current cell never sits on a heading while
  // a data cell exists.
  const int lowCol = fixedCols_ < colCount_ ? fixedCols_ : 0;
  const int lowRow = fixedRows_ < rowCount_ ? fixedRows_ : 0;
  col_ = std::clamp(col, lowCol, std::max(colCount_ - 1, lowCol));
  row_ = std::clamp(row, lowRow, std::max(rowCount_ - 1, lowRow));
}

int CellGrid::ColWidth(int col) const {
  if (col < 0 || col >= colCount_) return defaultColWidth_;
  const int w = colWidths_[static_cast<size_t>(col)];
  return w > 0 ? w : defaultColWidth_;
}

void CellGrid::SetColWidth(int col, int width) {
  if (col >= 0 && col < colCount_) colWidths_[static_cast<size_t>(col)] = std::max(width, 0);
}

int RecordCells::RecordCount() const {
  const int lines = layout_ == Layout::RecordPerRow ? grid_.RowCount() : grid_.ColCount();
  return std::max(lines - first_, 0);
}

void RecordCells::SetRecordCount(int count) {
  const int lines = first_ + std::max(count, 0);
  if (layout_ == Layout::RecordPerRow) {
    grid_.SetRowCount(lines);
  } else {
    grid_.SetColCount(lines);
  }
}

const std::string& RecordCells::Get(int record, int field) const {
  if (record < 0) return kEmpty;
  return grid_.Cell(Col(record, field), Row(record, field));
}

void RecordCells::Set(int record, int field, std::string text) {
  if (record < 0) return;
  grid_.SetCell(Col(record, field), Row(record, field), std::move(text));
}

void RecordCells::Edit(int record, int field, std::string text) {
  if (record < 0) return;
  grid_.EditCell(Col(record, field), Row(record, field), std::move(text));
}

bool RecordCells::Modified(int record, int field) const {
  return record >= 0 && grid_.Modified(Col(record, field), Row(record, field));
}

bool RecordCells::Locate(int col, int row, int& record, int& field) const {
  if (!grid_.Contains(col, row) || grid_.IsFixed(col, row)) return false;
  record = (layout_ == Layout::RecordPerRow ? row : col) - first_;
  field = layout_ == Layout::RecordPerRow ? col : row;
  return record >= 0;
}

bool CycleCell(RecordCells& cells, int col, int row, const std::vector<CellCycle>& rules) {
  int record = 0, field = 0;
  if (!cells.Locate(col, row, record, field)) return false;
  for (const CellCycle& rule : rules) {
    if (rule.field != field || !rule.next) continue;
    const std::string before = cells.Get(record, field);
    const std::string after = rule.next(before);
    if (after == before) return false;
    // A double click is the user's change, as typing is.
    cells.Edit(record, field, after);
    return true;
  }
  return false;
}

}  // namespace quelvar::platform
