#include "analysis/FormDigiIntegrate.h"

#include <QPushButton>

#include <algorithm>

#include "analysis/DerivedDefinitionGrid.h"
#include "analysis/DerivedSetCommand.h"
#include "platform/qt/StringGrid.h"
#include "shell/WindowPlace.h"

namespace quelvar {

TFormDigiIntegrate::TFormDigiIntegrate(AppState& state, platform::RegistryStore& registry, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry) {
  setObjectName("FormDigiIntegrate");
  setWindowTitle(QStringLiteral("数值积分与差分配置平台"));
  GridDIDef = new StringGrid(this);
  GridDIDef->setObjectName("GridDIDef");
  ButtonOK = new QPushButton(QStringLiteral("确认"), this);
  ButtonOK->setObjectName("ButtonOK");
  ButtonCancel = new QPushButton(QStringLiteral("取消"), this);
  ButtonCancel->setObjectName("ButtonCancel");
  ButtonOK->setAutoDefault(false);
  ButtonCancel->setAutoDefault(false);
  resize(760, 420);
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
  connect(GridDIDef, &StringGrid::CellDoubleClicked, this, [this](int col, int row) { GridDIDefDblClick(col, row); });
  FormCreate();
}

TFormDigiIntegrate::~TFormDigiIntegrate() { FormDestroy(); }

void TFormDigiIntegrate::FormCreate() {
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormDigiIntegrate");
  GridDIDef->SetEditable(true);
}

void TFormDigiIntegrate::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormDigiIntegrate");
  DerivedChannelDefs.clear();
}

int TFormDigiIntegrate::RunModal() {
  FormActivate();
  return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel;
}

void TFormDigiIntegrate::FormActivate() {
  DerivedChannelDefs = DefaultDerivedDefs(state_);
  platform::CellGrid cells;
  FillDerivedGrid(cells, DerivedChannelDefs);
  cells.SetColWidth(0, 40);
  cells.SetColWidth(1, 56);
  cells.SetColWidth(2, 40);
  cells.SetColWidth(7, 120);
  GridDIDef->SetCells(std::move(cells));
}

void TFormDigiIntegrate::ButtonOKClick() {
  GridDIDef->FinishEditing();
  ReadDerivedGrid(GridDIDef->Cells(), DerivedChannelDefs);
  accept();
}

void TFormDigiIntegrate::GridDIDefDblClick(int col, int row) {
  DerivedGridDoubleClick(GridDIDef->Cells(), col, row);
  GridDIDef->Refresh();
}

void TFormDigiIntegrate::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

void TFormDigiIntegrate::FormResize() {
  const int buttonWidth = 90;
  const int buttonHeight = 28;
  const int buttonTop = height() - 7 - buttonHeight;
  ButtonOK->setGeometry(width() / 2 - buttonWidth - 20, buttonTop, buttonWidth, buttonHeight);
  ButtonCancel->setGeometry(width() / 2 + 20, buttonTop, buttonWidth, buttonHeight);
  GridDIDef->setGeometry(8, 8, std::max(width() - 8 - 13, 1), std::max(buttonTop - 5 - 8, 1));
}

}  // namespace quelvar
