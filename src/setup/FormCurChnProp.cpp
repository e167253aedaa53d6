#include "setup/FormCurChnProp.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/qt/StringGrid.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

constexpr const char* kGeometryPrefix = "FormCurChnProp";

// A page holding one grid, 5 pixels inside it.
QWidget* NewPage(QWidget* parent, const char* name, StringGrid*& grid, const char* gridName) {
  auto* page = new QWidget(parent);
  page->setObjectName(name);
  grid = new StringGrid(page);
  grid->setObjectName(gridName);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(5, 5, 5, 5);
  layout->addWidget(grid);
  return page;
}

}  // namespace

TFormCurChnProp::TFormCurChnProp(AppState& state, platform::RegistryStore& registry, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry) {
  setObjectName("FormCurChnProp");
  setWindowTitle(QStringLiteral("当前显示通道属性"));
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  TabSheetAnalog = NewPage(PageControl1, "TabSheetAnalog", GridAnalog, "GridAnalog");
  TabSheetSW = NewPage(PageControl1, "TabSheetSW", GridSW, "GridSW");
  PageControl1->addTab(TabSheetAnalog, QStringLiteral("模拟通道属性"));
  PageControl1->addTab(TabSheetSW, QStringLiteral("开关量通道属性"));
  GridAnalog->setToolTip(QStringLiteral("双击\"类型\"可改变之\r工程值=系数A+系数B*电压值"));
  ButtonOK = new QPushButton(QStringLiteral("确认"), this);
  ButtonOK->setObjectName("ButtonOK");
  ButtonCancel = new QPushButton(QStringLiteral("取消"), this);
  ButtonCancel->setObjectName("ButtonCancel");

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ButtonOK);
  buttons->addWidget(ButtonCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(10, 10, 10, 10);
  layout->setSpacing(5);
  layout->addWidget(PageControl1, 1);
  layout->addLayout(buttons);
  resize(520, 360);

  connect(GridAnalog, &StringGrid::CellDoubleClicked, this, [this] { GridAnalogDblClick(); });
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
  GridAnalog->SetCells(CurrentAnalogCells({}, state_.config));
  GridSW->SetCells(CurrentSwitchCells({}, state_.config));
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

TFormCurChnProp::~TFormCurChnProp() { FormDestroy(); }

void TFormCurChnProp::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

void TFormCurChnProp::LoadChannels(int32_t analogCount, int32_t switchCount, const std::vector<int32_t>& channels) {
  list_ = {analogCount, switchCount, channels};
  const int analogTab = PageControl1->indexOf(TabSheetAnalog);
  const int switchTab = PageControl1->indexOf(TabSheetSW);
  PageControl1->setTabVisible(switchTab, switchCount >= 1);
  if (switchCount >= 1) {
    GridSW->SetCells(CurrentSwitchCells(list_, state_.config));
    PageControl1->setCurrentIndex(switchTab);
  }
  PageControl1->setTabVisible(analogTab, analogCount >= 1);
  if (analogCount < 1) return;
  GridAnalog->SetCells(CurrentAnalogCells(list_, state_.config));
  // With both kinds the analog page is in front.
  PageControl1->setCurrentIndex(analogTab);
}

bool TFormCurChnProp::AnalogPageShown() const {
  return PageControl1->isTabVisible(PageControl1->indexOf(TabSheetAnalog));
}

bool TFormCurChnProp::SwitchPageShown() const { return PageControl1->isTabVisible(PageControl1->indexOf(TabSheetSW)); }

void TFormCurChnProp::GridAnalogDblClick() {
  platform::CellGrid& cells = GridAnalog->Cells();
  CurrentAnalogDoubleClick(cells, cells.Col(), cells.Row(), state_.config.VZero);
  GridAnalog->Refresh();
}

void TFormCurChnProp::ButtonOKClick() {
  GridAnalog->FinishEditing();
  GridSW->FinishEditing();
  if (list_.AnalogCount >= 1) StoreCurrentAnalogCells(GridAnalog->Cells(), list_, state_.config);
  if (list_.SwitchCount >= 1) StoreCurrentSwitchCells(GridSW->Cells(), list_, state_.config);
  accept();
}

}  // namespace quelvar
