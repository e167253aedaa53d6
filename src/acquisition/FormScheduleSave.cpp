#include "platform/qt/QtText.h"
#include "acquisition/FormScheduleSave.h"

#include <algorithm>
#include <vector>

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>

#include "platform/CellGrid.h"
#include "platform/qt/StringGrid.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormScheduleSave";
// The designed window; the grid sits below the controls and keeps this
// margin to the right and bottom edges.
constexpr int kDesignedLeft = 200, kDesignedTop = 150, kDesignedWidth = 510, kDesignedHeight = 322;
constexpr int kGridLeft = 10, kGridTop = 66, kGridMargin = 10;
constexpr int kTitleColumnWidth = 85, kScheduleColumnWidth = 40, kRowHeight = 24;


}  // namespace

TFormScheduleSave::TFormScheduleSave(AppState& state, platform::RegistryStore& registry, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry) {
  setObjectName("FormScheduleSave");
  setWindowTitle(QStringLiteral("定时记录设定面板"));
  Label1 = new QLabel(QStringLiteral("方案数(0-10)"), this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(10, 12, 90, 20);
  EditScheduleNum = new QLineEdit(this);
  EditScheduleNum->setObjectName("EditScheduleNum");
  EditScheduleNum->setGeometry(100, 10, 40, 22);
  CheckBoxMaskSchedule = new QCheckBox(QStringLiteral("屏蔽定时记录"), this);
  CheckBoxMaskSchedule->setObjectName("CheckBoxMaskSchedule");
  CheckBoxMaskSchedule->setGeometry(160, 10, 120, 22);
  ButtonOK = new QPushButton(QStringLiteral("确定"), this);
  ButtonOK->setObjectName("ButtonOK");
  ButtonOK->setGeometry(290, 8, 75, 25);
  ButtonCancel = new QPushButton(QStringLiteral("取消"), this);
  ButtonCancel->setObjectName("ButtonCancel");
  ButtonCancel->setGeometry(375, 8, 75, 25);
  LabelPrompt = new QLabel(QStringLiteral("提示："), this);
  LabelPrompt->setObjectName("LabelPrompt");
  LabelPrompt->setGeometry(10, 40, 490, 20);

  GridSchedule = new StringGrid(this);
  GridSchedule->setObjectName("GridSchedule");
  GridSchedule->setToolTip(QStringLiteral("双击类型可改变之"));
  // A double click opens a cell for typing; on a type it cycles instead.
  GridSchedule->setEditTriggers(GridSchedule->editTriggers() | QAbstractItemView::DoubleClicked);
  GridSchedule->verticalHeader()->setDefaultSectionSize(kRowHeight);
  GridSchedule->setGeometry(kGridLeft, kGridTop, kDesignedWidth - kGridLeft - kGridMargin,
                            kDesignedHeight - kGridTop - kGridMargin);
  // Transposed, without a heading row: the title column is the only fixed line.
  platform::CellGrid cells(kScheduleGridColumns, kScheduleGridRows, 1, 0);
  for (int column = 1; column < kScheduleGridColumns; ++column) {
    // The number is a label; the type changes by double click only.
    cells.SetReadOnly(column, kScheduleRowNumber, true);
    cells.SetReadOnly(column, kScheduleRowType, true);
  }
  GridSchedule->SetCells(std::move(cells));

  connect(EditScheduleNum, &QLineEdit::editingFinished, this, [this] { EditScheduleNumExit(); });
  connect(GridSchedule, &StringGrid::CellDoubleClicked, this, [this] { GridScheduleDblClick(); });
  // A click on the current cell describes it again, as moving onto a cell does.
  connect(GridSchedule, &QAbstractItemView::clicked, this, [this] { GridScheduleClick(); });
  connect(GridSchedule, &StringGrid::CellSelected, this, [this] { GridScheduleClick(); });
  connect(GridSchedule, &StringGrid::FocusEntered, this, [this] { GridScheduleEnter(); });
  connect(GridSchedule, &StringGrid::FocusLeft, this, [this] { GridScheduleExit(); });
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });

  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  FormCreate();
}

TFormScheduleSave::~TFormScheduleSave() { FormDestroy(); }

void TFormScheduleSave::FormCreate() {
  LoadScheduleSettings(registry_, state_.startup.AppKeyName, state_.config);
  CheckBoxMaskSchedule->setChecked(state_.config.idMaskScheduleSave != 0);

  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
  FormResize();  // a window not yet shown gets its resize event only when shown

  platform::CellGrid& cells = GridSchedule->Cells();
  for (int row = 0; row < kScheduleGridRows; ++row) cells.SetCell(0, row, kScheduleRowTitles[static_cast<size_t>(row)]);
  cells.SetColWidth(0, kTitleColumnWidth);
  for (int column = 1; column < kScheduleGridColumns; ++column) cells.SetColWidth(column, kScheduleColumnWidth);
  cells.SetCurrent(1, kScheduleRowType);  // the first schedule's type, as a grid starts
  GridSchedule->Refresh();
  FillScheduleGrid();
}

void TFormScheduleSave::FillScheduleGrid() {
  const LiveConfig& c = state_.config;
  for (int k = 0; k < kScheduleEntries; ++k) {
    const ScheduleColumn texts = ScheduleColumnTexts(c.ScheduleTable[static_cast<size_t>(k)], k);
    for (int row = 0; row < kScheduleGridRows; ++row) SetCell(row, k + 1, texts[static_cast<size_t>(row)]);
  }
  SetColCount(std::clamp(c.NumScheduleSave, 0, kScheduleEntries) + 1);
  if (c.NumScheduleSave > 0) RefreshPrompt();
}

void TFormScheduleSave::FormShow() {
  FillScheduleGrid();
  EditScheduleNum->setText(QString::number(state_.config.NumScheduleSave));
  // A cancelled change of the mask must not come back at the next show.
  CheckBoxMaskSchedule->setChecked(state_.config.idMaskScheduleSave != 0);
  EditScheduleNumExit();
}

void TFormScheduleSave::EditScheduleNumExit() {
  const int32_t n = ParseScheduleCount(EditScheduleNum->text().toStdString(), state_.config.NumScheduleSave);
  EditScheduleNum->setText(QString::number(n));
  SetColCount(n + 1);
}

void TFormScheduleSave::GridScheduleDblClick() {
  const QModelIndex at = GridSchedule->currentIndex();
  if (at.column() >= colCount_) return;  // a column out of use
  static const std::vector<platform::CellCycle> kCycles = {{kScheduleRowType, NextScheduleTypeName}};
  platform::RecordCells schedules(GridSchedule->Cells(), platform::RecordCells::Layout::RecordPerCol);
  if (platform::CycleCell(schedules, at.column(), at.row(), kCycles)) GridSchedule->Refresh();
}

void TFormScheduleSave::ButtonOKClick() {
  GridSchedule->FinishEditing();
  ScheduleDialogFields fields;
  fields.count = EditScheduleNum->text().toStdString();
  fields.mask = CheckBoxMaskSchedule->isChecked();
  for (int k = 0; k < kScheduleEntries; ++k) fields.columns[static_cast<size_t>(k)] = ReadColumn(k + 1);
  ApplyScheduleDialog(fields, state_.config);
  accept();
}

void TFormScheduleSave::FormResize() {
  GridSchedule->setGeometry(kGridLeft, kGridTop, std::max(width() - kGridLeft - kGridMargin, 0),
                            std::max(height() - kGridTop - kGridMargin, 0));
}

void TFormScheduleSave::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveScheduleSettings(registry_, state_.startup.AppKeyName, state_.config);
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

std::string TFormScheduleSave::Cell(int row, int column) const { return GridSchedule->Cells().Cell(column, row); }

void TFormScheduleSave::SetCell(int row, int column, const std::string& text) {
  GridSchedule->SetCellText(column, row, text);
}

void TFormScheduleSave::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();  // not again when restored from the task bar
  QDialog::showEvent(event);
}

void TFormScheduleSave::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

ScheduleColumn TFormScheduleSave::ReadColumn(int column) const {
  ScheduleColumn cells;
  for (int row = 0; row < kScheduleGridRows; ++row) cells[static_cast<size_t>(row)] = Cell(row, column);
  return cells;
}

void TFormScheduleSave::SetColCount(int count) {
  colCount_ = count;
  GridSchedule->SetVisibleColCount(count);
  // The selection stays on a column in use, as a grid's does when it shrinks.
  const QSignalBlocker quiet(GridSchedule);
  const QModelIndex current = GridSchedule->currentIndex();
  if (count <= 1) {
    GridSchedule->setCurrentIndex(QModelIndex());
  } else if (current.column() < 1 || current.column() >= count) {
    const int row = std::max(current.row(), static_cast<int>(kScheduleRowType));
    GridSchedule->setCurrentIndex(GridSchedule->model()->index(row, std::clamp(current.column(), 1, count - 1)));
  }
}

void TFormScheduleSave::RefreshPrompt() {
  // The view's current cell: it may rest on the title column, which
  // describes nothing.
  const int column = GridSchedule->currentIndex().column();
  if (column < 1 || column >= colCount_) return;
  LabelPrompt->setText(Q(SchedulePromptText(column, ReadColumn(column))));
}

}  // namespace quelvar
