// The main window's text grid: its widgets and menus, filling, the grid's
// start point, the grid modes, the row order and the display-order file.
#include <QAbstractItemDelegate>
#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <functional>

#include "platform/UiHost.h"
#include "platform/qt/StringGrid.h"
#include "shell/FormMain.h"
#include "view/DisplayOrderCommands.h"
#include "view/GridRowOrder.h"
#include "view/TextGrid.h"

namespace quelvar {

namespace {

// Column 0 grows and shrinks by this much, and never below the minimum, so
// the start of the channel names stays readable and its border can be grabbed.
constexpr int kNameColumnStep = 10;
constexpr int kMinNameColumnWidth = 40;
constexpr int kRowHandleWidth = 12;

// Clicks (left button pressed and released) on a panel's own area, not on
// one of its controls.
class PanelClicks : public QObject {
 public:
  PanelClicks(QObject* parent, std::function<void(QWidget*)> onClick) : QObject(parent), onClick_(std::move(onClick)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::MouseButtonRelease) return false;
    auto* panel = static_cast<QWidget*>(watched);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = mouse->position().toPoint();
    if (mouse->button() == Qt::LeftButton && panel->rect().contains(at) && panel->childAt(at) == nullptr) {
      onClick_(panel);
    }
    return false;
  }

 private:
  std::function<void(QWidget*)> onClick_;
};

int32_t GridEntries(const LiveConfig& c) {
  return std::clamp(c.Analog_Num, 0, kMaxAnalogChannels) + std::clamp(c.SW_Num, 0, kMaxSwitchInputs);
}

}  // namespace

void TFormMain::BuildTextGrid() {
  Grid1 = new StringGrid(Panel_Grid);
  Grid1->setObjectName("Grid1");
  Grid1->setToolTip(QStringLiteral("可拖动各行，有右键功能"));
  Grid1->SetCells(platform::CellGrid(kMinTextGridColumns + 3, kTextGridFixedRows, kTextGridFixedCols,
                                     kTextGridFixedRows));
  Grid1->SetRowsMovable(true);
  // The rows' handles carry no text; wide enough to take hold of.
  Grid1->verticalHeader()->setMinimumWidth(kRowHandleWidth);
  connect(Grid1, &StringGrid::CellTextEdited, this,
          [this](int col, int row, const std::string& text) { Grid1SetEditText(col, row, text); });
  // A typed position counts once its cell's editing ends: Enter, another
  // cell, or the focus elsewhere.
  connect(Grid1->itemDelegate(), &QAbstractItemDelegate::closeEditor, this, [this] { Grid1EditDone(); });
  connect(Grid1, &StringGrid::CellSelected, this, [this] { Grid1EditDone(); });
  connect(Grid1, &StringGrid::FocusLeft, this, [this] { Grid1EditDone(); });
  connect(Grid1, &StringGrid::RowMoved, this, [this](int from, int to) { Grid1RowMoved(from, to); });
  connect(Grid1->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { Grid1TopLeftChanged(); });
  connect(Grid1->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { Grid1TopLeftChanged(); });

  HScrollBar_Grid = new QScrollBar(Qt::Horizontal, Panel_Grid);
  HScrollBar_Grid->setObjectName("HScrollBar_Grid");
  HScrollBar_Grid->setRange(0, 0);
  connect(HScrollBar_Grid, &QScrollBar::valueChanged, this, [this] { HScrollBar_GridChange(); });
}

void TFormMain::BuildTextGridMenus() {
  // A click toggles a checkable item before its handler runs; the handlers
  // set the marks themselves.
  auto command = [this](QAction* item, void (TFormMain::*handler)()) {
    connect(item, &QAction::triggered, this, [this, item, handler] {
      if (item->isCheckable()) item->setChecked(!item->isChecked());
      (this->*handler)();
    });
  };
  PopupMenuGrid = new QMenu(this);
  PopupMenuGrid->setObjectName("PopupMenuGrid");
  menuGridEng = AddCheckItem(PopupMenuGrid, "menuGridEng", "显示工程值", true);
  menuGridDirectValue = AddCheckItem(PopupMenuGrid, "menuGridDirectValue", "直接采集量", false);
  menuGridHex = AddCheckItem(PopupMenuGrid, "menuGridHex", "显示AD值(Hex)", false);
  PopupMenuGrid->addSeparator();
  menuGridExpand = AddItem(PopupMenuGrid, "menuGridExpand", "增加首列行宽");
  menuGridCompress = AddItem(PopupMenuGrid, "menuGridCompress", "减少首列行宽");
  PopupMenuGrid->addSeparator();
  menuGridDefOrder = AddItem(PopupMenuGrid, "menuGridDefOrder", "置缺省显示顺序");
  menuGridLoadOrder = AddItem(PopupMenuGrid, "menuGridLoadOrder", "读显示顺序文件");
  menuGridSaveOrder = AddItem(PopupMenuGrid, "menuGridSaveOrder", "存显示顺序文件");
  command(menuGridEng, &TFormMain::menuGridEngClick);
  command(menuGridDirectValue, &TFormMain::menuGridDirectValueClick);
  command(menuGridHex, &TFormMain::menuGridHexClick);
  command(menuGridExpand, &TFormMain::menuGridExpandClick);
  command(menuGridCompress, &TFormMain::menuGridCompressClick);
  command(menuGridDefOrder, &TFormMain::menuGridDefOrderClick);
  command(menuGridLoadOrder, &TFormMain::menuGridLoadOrderClick);
  command(menuGridSaveOrder, &TFormMain::menuGridSaveOrderClick);
  for (QWidget* target : {static_cast<QWidget*>(Grid1), static_cast<QWidget*>(HScrollBar_Grid)}) {
    target->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(target, &QWidget::customContextMenuRequested, this,
            [this, target](const QPoint& at) { PopupMenuGrid->popup(target->mapToGlobal(at)); });
  }

  // The grid-start items stand in PopupMenuXZoom, made with the X navigation.
  command(menuGridXAsPicX, &TFormMain::menuGridXAsPicXClick);
  command(menuGridXAsMark1, &TFormMain::menuGridXAsMark1Click);
  command(menuGridXAsMark2, &TFormMain::menuGridXAsMark2Click);

  auto* clicks = new PanelClicks(this, [this](QWidget* panel) {
    if (panel == Panel_Waveform) Panel_WaveformClick();
    if (panel == Panel_Grid) Panel_GridClick();
    if (panel == Panel_Report) Panel_ReportClick();
  });
  for (QWidget* panel : {Panel_Waveform, Panel_Grid, Panel_Report}) panel->installEventFilter(clicks);
}

void TFormMain::FillTextGrid() {
  if (state_.display.DispValid != 1) return;
  const WaveViewState& v = state_.wave;
  const GridMode mode = menuGridHex->isChecked()           ? GridMode::Hex
                        : menuGridDirectValue->isChecked() ? GridMode::DirectValue
                                                           : GridMode::Engineering;
  ChannelValueSource source{state_.config, state_.torque, state_.display, state_.layout};
  quelvar::FillTextGrid(source, TextGridView{v.GridColumns, v.GridFirstPoint, mode}, Grid1->Cells());
  // The texts change in place, so an open cell editor stays open.
  Grid1->viewport()->update();
  Grid1->horizontalHeader()->viewport()->update();
}

void TFormMain::HScrollBar_GridChange() {
  WaveViewState& v = state_.wave;
  v.GridFirstPoint = GridFirstPointFor(HScrollBar_Grid->value(), state_.display.DispPoints, v.GridColumns);
  if (state_.display.DispValid == 1) v.RepaintRequested = 1;
}

void TFormMain::menuGridXAsPicXClick() { HScrollBar_Grid->setValue(state_.wave.XPosition); }

void TFormMain::menuGridXAsMark1Click() {
  HScrollBar_Grid->setValue(state_.wave.XPosition + state_.wave.Mark1X - 1);
}

void TFormMain::menuGridXAsMark2Click() {
  HScrollBar_Grid->setValue(state_.wave.XPosition + state_.wave.Mark2X - 1);
}

void TFormMain::SelectGridMode(QAction* item) {
  if (item->isChecked()) return;
  for (QAction* mode : {menuGridEng, menuGridDirectValue, menuGridHex}) mode->setChecked(mode == item);
  FillTextGrid();
}

void TFormMain::menuGridEngClick() { SelectGridMode(menuGridEng); }

void TFormMain::menuGridDirectValueClick() { SelectGridMode(menuGridDirectValue); }

void TFormMain::menuGridHexClick() { SelectGridMode(menuGridHex); }

void TFormMain::menuGridExpandClick() { Grid1->setColumnWidth(0, Grid1->Cells().ColWidth(0) + kNameColumnStep); }

void TFormMain::menuGridCompressClick() {
  Grid1->setColumnWidth(0, std::max(Grid1->Cells().ColWidth(0) - kNameColumnStep, kMinNameColumnWidth));
}

void TFormMain::menuGridDefOrderClick() {
  if (state_.display.DispValid == 0) return;
  DefaultGridOrder(state_.config.GridOrder, GridEntries(state_.config));
  state_.wave.RepaintRequested = 1;
}

void TFormMain::Grid1SetEditText(int col, int row, const std::string& text) {
  if (col != state_.wave.GridColumns + 2 || row < kTextGridFixedRows) return;
  pendingGridPosition_ = {row, text};
}

void TFormMain::Grid1EditDone() {
  const PendingGridPosition typed = pendingGridPosition_;
  pendingGridPosition_ = {};
  if (typed.row < kTextGridFixedRows || typed.text.empty() || state_.display.DispValid == 0) return;
  const int32_t entries = GridEntries(state_.config);
  const int32_t position = TypedGridPosition(typed.text, entries);
  if (MoveGridPosition(state_.config.GridOrder, entries, typed.row - kTextGridFixedRows, position)) {
    state_.wave.RepaintRequested = 1;
  }
}

void TFormMain::Grid1RowMoved(int from, int to) {
  if (from < kTextGridFixedRows || to < kTextGridFixedRows || state_.display.DispValid == 0) return;
  const int32_t entries = GridEntries(state_.config);
  const int32_t position = std::clamp(to - kTextGridFixedRows, 0, std::max(entries - 1, 0));
  if (MoveGridPosition(state_.config.GridOrder, entries, from - kTextGridFixedRows, position)) {
    state_.wave.RepaintRequested = 1;
  }
}

void TFormMain::menuGridLoadOrderClick() {
  if (!LoadDisplayOrderCommand(services_.ui, state_.config, state_.display)) return;
  if (state_.display.DispValid != 0 && state_.wave.ViewMode == 1) FillTextGrid();
}

void TFormMain::menuGridSaveOrderClick() { SaveDisplayOrderCommand(services_.ui, state_.config); }

}  // namespace quelvar
