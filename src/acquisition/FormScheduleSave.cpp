#include "platform/qt/QtText.h"
#include "acquisition/FormScheduleSave.h"

#include <algorithm>

#include <QCheckBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTableWidget>

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

  GridSchedule = new QTableWidget(kScheduleGridRows, kScheduleGridColumns, this);
  GridSchedule->setObjectName("GridSchedule");
  GridSchedule->setToolTip(QStringLiteral("双击类型可改变之"));
  GridSchedule->horizontalHeader()->hide();
  GridSchedule->verticalHeader()->hide();
  GridSchedule->verticalHeader()->setDefaultSectionSize(kRowHeight);
  GridSchedule->setSelectionMode(QAbstractItemView::SingleSelection);
  GridSchedule->setGeometry(kGridLeft, kGridTop, kDesignedWidth - kGridLeft - kGridMargin,
                            kDesignedHeight - kGridTop - kGridMargin);
  for (int row = 0; row < kScheduleGridRows; ++row) {
    for (int column = 0; column < kScheduleGridColumns; ++column) {
      auto* item = new QTableWidgetItem;
      if (column == 0) {
        // The title column is fixed: neither selected nor edited.
        item->setFlags(Qt::ItemIsEnabled);
        item->setBackground(palette().color(QPalette::Button));
      } else if (row == kScheduleRowNumber || row == kScheduleRowType) {
        // The number is a label; the type changes by double click only.
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      }
      GridSchedule->setItem(row, column, item);
    }
  }
  GridSchedule->installEventFilter(this);

  connect(EditScheduleNum, &QLineEdit::editingFinished, this, [this] { EditScheduleNumExit(); });
  connect(GridSchedule, &QTableWidget::cellDoubleClicked, this, [this] { GridScheduleDblClick(); });
  connect(GridSchedule, &QTableWidget::cellClicked, this, [this] { GridScheduleClick(); });
  connect(GridSchedule, &QTableWidget::currentCellChanged, this, [this] { GridScheduleClick(); });
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

  for (int row = 0; row < kScheduleGridRows; ++row) {
    GridSchedule->item(row, 0)->setText(QString::fromUtf8(kScheduleRowTitles[static_cast<size_t>(row)]));
  }
  GridSchedule->setColumnWidth(0, kTitleColumnWidth);
  for (int column = 1; column < kScheduleGridColumns; ++column) {
    GridSchedule->setColumnWidth(column, kScheduleColumnWidth);
  }
  {
    const QSignalBlocker quiet(GridSchedule);
    GridSchedule->setCurrentCell(kScheduleRowType, 1);  // the first schedule's type, as a grid starts
  }
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
  const int row = GridSchedule->currentRow();
  const int column = GridSchedule->currentColumn();
  if (row != kScheduleRowType || column < 1 || column >= colCount_) return;
  SetCell(row, column, NextScheduleTypeName(Cell(row, column)));
}

void TFormScheduleSave::ButtonOKClick() {
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

std::string TFormScheduleSave::Cell(int row, int column) const {
  const QTableWidgetItem* item = GridSchedule->item(row, column);
  return item != nullptr ? item->text().toStdString() : std::string();
}

void TFormScheduleSave::SetCell(int row, int column, const std::string& text) {
  if (QTableWidgetItem* item = GridSchedule->item(row, column)) item->setText(Q(text));
}

void TFormScheduleSave::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();  // not again when restored from the task bar
  QDialog::showEvent(event);
}

void TFormScheduleSave::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

bool TFormScheduleSave::eventFilter(QObject* watched, QEvent* event) {
  if (watched == GridSchedule) {
    if (event->type() == QEvent::FocusIn) GridScheduleEnter();
    else if (event->type() == QEvent::FocusOut) GridScheduleExit();
  }
  return QDialog::eventFilter(watched, event);
}

ScheduleColumn TFormScheduleSave::ReadColumn(int column) const {
  ScheduleColumn cells;
  for (int row = 0; row < kScheduleGridRows; ++row) cells[static_cast<size_t>(row)] = Cell(row, column);
  return cells;
}

void TFormScheduleSave::SetColCount(int count) {
  colCount_ = count;
  for (int column = 1; column < kScheduleGridColumns; ++column) GridSchedule->setColumnHidden(column, column >= count);
  // The selection stays on a column in use, as a grid's does when it shrinks.
  const QSignalBlocker quiet(GridSchedule);
  const int current = GridSchedule->currentColumn();
  if (count <= 1) {
    GridSchedule->setCurrentIndex(QModelIndex());
  } else if (current < 1 || current >= count) {
    const int row = std::max(GridSchedule->currentRow(), static_cast<int>(kScheduleRowType));
    GridSchedule->setCurrentCell(row, std::clamp(current, 1, count - 1));
  }
}

void TFormScheduleSave::RefreshPrompt() {
  const int column = GridSchedule->currentColumn();
  if (column < 1 || column >= colCount_) return;
  LabelPrompt->setText(Q(SchedulePromptText(column, ReadColumn(column))));
}

}  // namespace quelvar
