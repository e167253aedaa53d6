#include "setup/FormCaliTorque.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QVBoxLayout>

#include "platform/RegistryStore.h"
#include "platform/qt/QtText.h"
#include "platform/qt/StatusLine.h"
#include "platform/qt/StringGrid.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

constexpr const char* kGeometryPrefix = "FormCaliTorque";

}  // namespace

TFormCaliTorque::TFormCaliTorque(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui,
                                 QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry), ui_(ui) {
  setObjectName("FormCaliTorque");
  setWindowTitle(QStringLiteral("扭矩传感器21点刻度信息面板"));
  Label1 = new QLabel(QStringLiteral("3个扭矩传感器 21点刻度信息"), this);
  Label1->setObjectName("Label1");
  GridCaliTorque = new StringGrid(this);
  GridCaliTorque->setObjectName("GridCaliTorque");
  auto button = [this](QPushButton*& field, const char* name, const QString& caption) {
    field = new QPushButton(caption, this);
    field->setObjectName(name);
  };
  button(ButtonOK, "ButtonOK", QStringLiteral("确定"));
  button(ButtonCancel, "ButtonCancel", QStringLiteral("取消"));
  button(ButtonSave, "ButtonSave", QStringLiteral("存入文件"));
  button(ButtonLoad, "ButtonLoad", QStringLiteral("从文件读取"));
  statusLine_ = platform::AddStatusLine(this, StatusBar1);

  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {ButtonOK, ButtonCancel, ButtonSave, ButtonLoad}) {
    buttons->addWidget(b);
    buttons->addStretch();
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(GridCaliTorque, 1);
  layout->addLayout(buttons);
  layout->addWidget(StatusBar1);
  resize(560, 620);

  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
  connect(ButtonSave, &QPushButton::clicked, this, [this] { ButtonSaveClick(); });
  connect(ButtonLoad, &QPushButton::clicked, this, [this] { ButtonLoadClick(); });
  FormCreate();
}

TFormCaliTorque::~TFormCaliTorque() { FormDestroy(); }

void TFormCaliTorque::FormCreate() {
  loadProblems_ = LoadTorqueTables(registry_, state_.startup.AppKeyName, state_.torque);
  // Shown when the editor first opens.
  if (!loadProblems_.empty()) SetStatus(loadProblems_.front());
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

void TFormCaliTorque::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  platform::RegistryBatch batch(registry_);
  SaveTorqueTables(registry_, state_.startup.AppKeyName, state_.torque);
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

void TFormCaliTorque::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void TFormCaliTorque::FormShow() {
  ShowTables(state_.torque);
  CheckTable();
}

void TFormCaliTorque::ShowTables(const TorqueTables& tables) {
  const TorqueGridCells cells = TorqueGridOf(tables);
  platform::CellGrid grid(kTorqueGridColumns, kTorqueGridRows, 1, kTorqueGridHeaderRows);
  for (int row = 0; row < kTorqueGridRows; ++row) {
    for (int col = 0; col < kTorqueGridColumns; ++col) grid.SetCell(col, row, cells[row][col]);
  }
  GridCaliTorque->SetCells(std::move(grid));
}

TorqueGridCells TFormCaliTorque::GridCells() {
  GridCaliTorque->FinishEditing();
  TorqueGridCells cells;
  const platform::CellGrid& grid = GridCaliTorque->Cells();
  for (int row = 0; row < kTorqueGridRows; ++row) {
    for (int col = 0; col < kTorqueGridColumns; ++col) {
      if (grid.Contains(col, row)) cells[row][col] = grid.Cell(col, row);
    }
  }
  return cells;
}

int TFormCaliTorque::CheckTable() {
  const TorqueCheck check = CheckTorqueGrid(GridCells());
  if (!check.valid) SetStatus(check.message);
  return check.valid ? 1 : 0;
}

void TFormCaliTorque::ButtonOKClick() {
  const TorqueCheck check = CheckTorqueGrid(GridCells());
  if (!check.valid) {
    SetStatus(check.message);
    return;
  }
  state_.torque = check.tables;
  accept();
}

void TFormCaliTorque::ButtonSaveClick() {
  const TorqueCheck check = CheckTorqueGrid(GridCells());
  if (!check.valid) {
    SetStatus(check.message);
    return;
  }
  platform::FileDialogRequest request;
  request.title = "指定要保存的扭矩传感器21点刻度信息文件名";
  request.defaultExt = "TRQ";
  request.filter = "扭矩刻度文件 (*.trq)|*.trq|所有文件 (*.*)|*.*";
  request.fileName = "Torque21.TRQ";
  // A new file may be named; an existing one is replaced after the prompt.
  request.mustExist = false;
  const std::optional<std::string> path = ui_.SaveFileName(request);
  if (!path) return;
  SetStatus(SaveTorqueFile(*path, check.tables));
}

void TFormCaliTorque::ButtonLoadClick() {
  platform::FileDialogRequest request;
  request.title = "选定要读取的扭矩21点刻度文件";
  request.defaultExt = "TRQ";
  request.fileName = "Torque21.TRQ";
  request.filter = "扭矩21点刻度文件 (*.trq)|*.trq|所有文件 (*.*)|*.*";
  request.mustExist = true;
  const std::optional<std::string> path = ui_.OpenFileName(request);
  if (!path) return;
  const TorqueFileLoad load = LoadTorqueFile(*path);
  SetStatus(load.status);
  if (!load.loaded) return;
  ShowTables(load.tables);
  CheckTable();
}

void TFormCaliTorque::SetStatus(const std::string& text) { statusLine_->setText(Q(text)); }

std::string TFormCaliTorque::StatusText() const { return statusLine_->text().toStdString(); }

}  // namespace quelvar
