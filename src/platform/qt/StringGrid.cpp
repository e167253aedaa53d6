#include "platform/qt/StringGrid.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPalette>
#include <QStyledItemDelegate>

namespace quelvar {

class CellGridModel : public QAbstractTableModel {
 public:
  explicit CellGridModel(StringGrid& grid) : QAbstractTableModel(&grid), grid_(grid) {}

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : std::max(grid_.cells_.RowCount() - grid_.HeaderRows(), 0);
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : grid_.cells_.ColCount();
  }

  QVariant data(const QModelIndex& index, int role) const override {
    const int col = index.column(), row = grid_.GridRow(index.row());
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
      return QString::fromStdString(grid_.cells_.Cell(col, row));
    }
    if (role == Qt::BackgroundRole && grid_.cells_.IsFixed(col, row)) {
      return grid_.palette().brush(QPalette::Button);
    }
    return {};
  }

  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (role != Qt::EditRole) return false;
    const int col = index.column(), row = grid_.GridRow(index.row());
    const std::string text = value.toString().toStdString();
    if (grid_.cells_.Cell(col, row) == text) return true;
    grid_.cells_.EditCell(col, row, text);
    emit dataChanged(index, index);
    return true;
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int col = index.column(), row = grid_.GridRow(index.row());
    if (grid_.editable_ && !grid_.cells_.IsFixed(col, row) && !grid_.cells_.ReadOnly(col, row)) {
      f |= Qt::ItemIsEditable;
    }
    return f;
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && grid_.HeaderRows() > 0) {
      return QString::fromStdString(grid_.cells_.Cell(section, 0));
    }
    return {};
  }

  void Reset() {
    beginResetModel();
    endResetModel();
  }
  void CellChanged(int col, int row) {
    if (row < grid_.HeaderRows()) {
      emit headerDataChanged(Qt::Horizontal, col, col);
      return;
    }
    const QModelIndex at = index(grid_.ViewRow(row), col);
    emit dataChanged(at, at);
  }

 private:
  StringGrid& grid_;
};

// Each keystroke reaches the cells and the handlers at once, as the
// program's grids report the text being typed; Esc puts back the text the
// cell had when its editor opened (and tells the handlers so).
class CellEditDelegate : public QStyledItemDelegate {
 public:
  explicit CellEditDelegate(StringGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {
    connect(this, &QAbstractItemDelegate::closeEditor, this, [this](QWidget* editor, EndEditHint hint) {
      if (hint != QAbstractItemDelegate::RevertModelCache || editor == nullptr) return;
      const int col = editor->property("gridCol").toInt(), row = editor->property("gridRow").toInt();
      const std::string before = editor->property("gridText").toString().toStdString();
      if (grid_.cells_.Cell(col, row) == before) return;
      grid_.EmitEdited(col, row, before);
      grid_.model_->CellChanged(col, row);
    });
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      const int col = index.column(), row = grid_.GridRow(index.row());
      line->setProperty("gridCol", col);
      line->setProperty("gridRow", row);
      line->setProperty("gridText", QString::fromStdString(grid_.cells_.Cell(col, row)));
      QObject::connect(line, &QLineEdit::textEdited, &grid_,
                       [this, col, row](const QString& text) { grid_.EmitEdited(col, row, text.toStdString()); });
    }
    return editor;
  }

 private:
  StringGrid& grid_;
};

StringGrid::StringGrid(QWidget* parent) : QTableView(parent), cells_(5, 5, 1, 1) {
  model_ = new CellGridModel(*this);
  setModel(model_);
  setItemDelegate(new CellEditDelegate(*this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                  QAbstractItemView::SelectedClicked);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setHighlightSections(false);
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col, int, int width) {
    if (!applyingWidths_) cells_.SetColWidth(col, width);
  });
  connect(horizontalHeader(), &QHeaderView::sectionMoved, this,
          [this](int, int from, int to) { OnSectionMoved(Qt::Horizontal, from, to); });
  connect(verticalHeader(), &QHeaderView::sectionMoved, this,
          [this](int, int from, int to) { OnSectionMoved(Qt::Vertical, from, to); });
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& now) {
    if (!now.isValid()) return;
    cells_.SetCurrent(now.column(), GridRow(now.row()));
    emit CellSelected(now.column(), GridRow(now.row()));
  });
  connect(this, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& at) { emit CellDoubleClicked(at.column(), GridRow(at.row())); });
  connect(qApp, &QApplication::focusChanged, this, &StringGrid::OnFocusChanged);
  Refresh();
}

StringGrid::~StringGrid() { disconnect(qApp, nullptr, this, nullptr); }

int StringGrid::HeaderRows() const { return cells_.FixedRows() > 0 ? 1 : 0; }

void StringGrid::SetCells(platform::CellGrid cells) {
  cells_ = std::move(cells);
  Refresh();
}

void StringGrid::Refresh() {
  const int col = cells_.Col(), row = cells_.Row();
  model_->Reset();
  horizontalHeader()->setVisible(HeaderRows() > 0);
  ApplyWidths();
  ApplyHiddenColumns();
  const QModelIndex current = model_->index(ViewRow(row), col);
  if (current.isValid()) {
    QSignalBlocker quiet(selectionModel());
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
  }
}

void StringGrid::ApplyWidths() {
  applyingWidths_ = true;
  for (int c = 0; c < cells_.ColCount(); ++c) setColumnWidth(c, cells_.ColWidth(c));
  applyingWidths_ = false;
}

void StringGrid::SetVisibleColCount(int count) {
  visibleCols_ = count < 0 ? -1 : count;
  ApplyHiddenColumns();
}

void StringGrid::ApplyHiddenColumns() {
  // Hiding a column resizes it to nothing and showing it back resizes it
  // again; neither is the user's width.
  applyingWidths_ = true;
  for (int c = 0; c < cells_.ColCount(); ++c) setColumnHidden(c, visibleCols_ >= 0 && c >= visibleCols_);
  applyingWidths_ = false;
}

void StringGrid::SetCellText(int col, int row, const std::string& text) {
  cells_.SetCell(col, row, text);
  model_->CellChanged(col, row);
}

void StringGrid::SetEditable(bool editable) {
  editable_ = editable;
  Refresh();
}

void StringGrid::SetColumnsMovable(bool movable) { horizontalHeader()->setSectionsMovable(movable); }

void StringGrid::SetRowsMovable(bool movable) {
  verticalHeader()->setSectionsMovable(movable);
  verticalHeader()->setVisible(movable);
}

void StringGrid::FinishEditing() {
  // The open editor, if any, is the current cell's.
  QWidget* editor = indexWidget(currentIndex());
  if (editor == nullptr || state() != QAbstractItemView::EditingState) return;
  commitData(editor);
  closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void StringGrid::EmitEdited(int col, int row, const std::string& text) {
  cells_.EditCell(col, row, text);
  emit CellTextEdited(col, row, text);
}

void StringGrid::OnSectionMoved(Qt::Orientation orientation, int from, int to) {
  if (undoingMove_) return;
  QHeaderView* header = orientation == Qt::Horizontal ? horizontalHeader() : verticalHeader();
  // The view keeps logical and visual order equal: the cells move instead.
  undoingMove_ = true;
  header->moveSection(to, from);
  undoingMove_ = false;
  if (orientation == Qt::Horizontal) {
    if (from < cells_.FixedCols() || to < cells_.FixedCols()) return;
    cells_.MoveCol(from, to);
    Refresh();
    emit ColumnMoved(from, to);
  } else {
    const int gridFrom = GridRow(from), gridTo = GridRow(to);
    if (gridFrom < cells_.FixedRows() || gridTo < cells_.FixedRows()) return;
    cells_.MoveRow(gridFrom, gridTo);
    Refresh();
    emit RowMoved(gridFrom, gridTo);
  }
}

void StringGrid::OnFocusChanged(QWidget* old, QWidget* now) {
  const auto inside = [this](QWidget* w) { return w != nullptr && (w == this || isAncestorOf(w)); };
  if (inside(old) && now != nullptr && !inside(now)) emit FocusLeft();
  if (inside(now) && old != nullptr && !inside(old)) emit FocusEntered();
}

}  // namespace quelvar
