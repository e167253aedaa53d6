// The main window's navigation along the time axis: the range between the
// marks, a window handed over, one-step compress and expand, previous and
// next screen, and the two time-axis switches. The rules are in
// view/XNavigation; these handlers apply them to the menus and the X bar.
#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

#include <string>

#include "platform/qt/QtText.h"
#include "shell/FormMain.h"
#include "view/XNavigation.h"

namespace quelvar {

namespace {

// DataSourceMode of the two-trace oscilloscope.
constexpr int32_t kOscilloscopeSource = 2;

// The checked X zoom item as CompressStep and ExpandStep take it.
int32_t CheckedXZoomItem(const TFormMain& f) {
  const std::pair<QAction*, int32_t> items[] = {{f.menuXZoom1, 1},  {f.menuXZoom2, 2},
                                                {f.menuXZoom4, 4},  {f.menuXZoom8, 8},
                                                {f.menuXZoom16, 16}, {f.menuXZoomAny, kXZoomAnyCount}};
  for (const auto& [item, code] : items) {
    if (item->isChecked()) return code;
  }
  return 0;
}

}  // namespace

void TFormMain::BuildXNavigationMenus() {
  // A click toggles a checkable item before its handler runs; the handlers
  // set the marks themselves, so that toggle is undone first.
  auto command = [this](QAction* item, void (TFormMain::*handler)()) {
    connect(item, &QAction::triggered, this, [this, item, handler] {
      if (item->isCheckable()) item->setChecked(!item->isChecked());
      (this->*handler)();
    });
  };

  menuXZoomMark = AddItem(PopupMenuXZoom, "menuXZoomMark", "显示两标线之间");
  command(menuXZoomMark, &TFormMain::menuXZoomMarkClick);
  menuXScaleExpand = AddItem(PopupMenuXZoom, "menuXScaleExpand", "放大1倍");
  command(menuXScaleExpand, &TFormMain::ToolButtonXExpandClick);
  menuXScaleCompress = AddItem(PopupMenuXZoom, "menuXScaleCompress", "压缩1倍");
  command(menuXScaleCompress, &TFormMain::ToolButtonXCompressClick);
  PopupMenuXZoom->addSeparator();
  // The text grid's start items (their commands are the grid's) and the
  // hand-over to the second waveform window (connected in auxwin/FormMainSecondDisp.cpp).
  menuGridXAsPicX = AddItem(PopupMenuXZoom, "menuGridXAsPicX", "置文字显示起点为图形起点");
  menuGridXAsMark1 = AddItem(PopupMenuXZoom, "menuGridXAsMark1", "置文字显示起点为黄标线");
  menuGridXAsMark2 = AddItem(PopupMenuXZoom, "menuGridXAsMark2", "置文字显示起点为红标线");
  PopupMenuXZoom->addSeparator()->setObjectName("menuXZoomNull");
  menuMapInstToSecondDisp = AddItem(PopupMenuXZoom, "menuMapInstToSecondDisp", "映射两标线间到第二波形窗口");
  PopupMenuXZoom->addSeparator();
  menuPreviousConf = AddItem(PopupMenuXZoom, "menuPreviousConf", "上一画面");
  command(menuPreviousConf, &TFormMain::menuPreviousConfClick);
  menuNextConf = AddItem(PopupMenuXZoom, "menuNextConf", "下一画面");
  command(menuNextConf, &TFormMain::menuNextConfClick);

  // The X buttons stand before the Y buttons.
  ToolButtonXCompress = new QAction(QStringLiteral("X压缩"), this);
  ToolButtonXCompress->setObjectName("ToolButtonXCompress");
  ToolButtonXCompress->setToolTip(QStringLiteral("X方向压缩/完全控制"));
  ToolButtonXCompress->setMenu(PopupMenuXZoom);
  ToolButtonXExpand = new QAction(QStringLiteral("X展开"), this);
  ToolButtonXExpand->setObjectName("ToolButtonXExpand");
  ToolButtonXExpand->setToolTip(QStringLiteral("X方向展开"));
  ToolBar1->insertAction(ToolButtonYCompress, ToolButtonXCompress);
  ToolBar1->insertAction(ToolButtonYCompress, ToolButtonXExpand);
  if (auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(ToolButtonXCompress))) {
    button->setPopupMode(QToolButton::MenuButtonPopup);
  }
  command(ToolButtonXCompress, &TFormMain::ToolButtonXCompressClick);
  command(ToolButtonXExpand, &TFormMain::ToolButtonXExpandClick);

  command(menuXAxialTime, &TFormMain::menuXAxialTimeClick);
  command(menuAbsoluteTime, &TFormMain::menuAbsoluteTimeClick);
}

void TFormMain::ShowAnyCountWidth() {
  CheckXZoomItem(menuXZoomAny);
  menuXZoomAny->setText(Q("显示任意点(" + std::to_string(state_.wave.DisplayWidth) + ")"));
}

void TFormMain::menuXZoomMarkClick() {
  const DisplayDescriptor& d = state_.display;
  WaveViewState& v = state_.wave;
  if (d.DispValid == 0) return;
  // The oscilloscope's marks are its time lines, which may be switched off.
  if (d.DataSourceMode == kOscilloscopeSource && state_.oscilTool.MeasTime == 0) return;
  // Held within the data and at least two points wide: marks beyond the
  // screen or a mark at the right edge would leave a window the view cannot
  // draw.
  const XWindow window =
      BoundXWindowToData(RangeBetweenMarks(v.XPosition, v.DisplayWidth, v.Mark1X, v.Mark2X), d.DispPoints);
  v.XPosition = window.first;
  v.DisplayWidth = window.count;
  HScrollBar_XPosition->setValue(v.XPosition);
  v.XZoom = kXZoomAnyCount;
  v.Mark1X = 1;
  v.Mark2X = v.DisplayWidth;
  ShowAnyCountWidth();
  WidthTail();
}

void TFormMain::SetXWindow(int32_t first, int32_t count) {
  const DisplayDescriptor& d = state_.display;
  WaveViewState& v = state_.wave;
  if (d.DispValid == 0) return;
  // The caller's window may reach beyond this window's data or be narrower
  // than a drawable screen.
  const XWindow window = BoundXWindowToData({first, count}, d.DispPoints);
  v.XPosition = window.first;
  v.DisplayWidth = window.count;
  HScrollBar_XPosition->setValue(v.XPosition);
  ShowAnyCountWidth();
  WidthTail();
}

void TFormMain::ToolButtonXCompressClick() {
  ApplyXZoomStep(CompressStep(CheckedXZoomItem(*this), state_.wave.DisplayWidth, state_.display.DispPoints));
}

void TFormMain::ToolButtonXExpandClick() {
  ApplyXZoomStep(ExpandStep(CheckedXZoomItem(*this), state_.wave.DisplayWidth, state_.display.DispPoints));
}

void TFormMain::ApplyXZoomStep(const XZoomStep& step) {
  WaveViewState& v = state_.wave;
  if (step.kind == XZoomStep::Kind::Preset) XZoomPresetClick(step.value);
  if (step.kind == XZoomStep::Kind::AnyCount) {
    // XZoom stays: expanding from the 16-times preset leaves it at 16.
    v.DisplayWidth = step.value;
    ShowAnyCountWidth();
    WidthTail();
  }
  if (state_.display.DispValid == 1) v.RepaintRequested = 1;
}

void TFormMain::ShowHistoryWindow() {
  WaveViewState& v = state_.wave;
  // The caption follows the width; no item changes its check mark.
  menuXZoomAny->setText(Q("显示" + std::to_string(v.DisplayWidth) + "点"));
  WidthTail();
  HScrollBar_XPosition->setValue(v.XPosition);
  v.RepaintRequested = 1;
}

void TFormMain::menuPreviousConfClick() {
  if (state_.display.DispValid == 0) return;
  StepViewHistory(state_.wave, state_.display.DispPoints, HistoryStep::Previous);
  ShowHistoryWindow();
}

void TFormMain::menuNextConfClick() {
  if (state_.display.DispValid == 0) return;
  StepViewHistory(state_.wave, state_.display.DispPoints, HistoryStep::Next);
  ShowHistoryWindow();
}

void TFormMain::menuXAxialTimeClick() {
  const ViewOptions& o = state_.wave.Options;
  const TimeAxisMarks marks = AfterTimeAlignedClick({o.XAxialTime, o.AbsoluteTime});
  SetViewOption(&ViewOptions::XAxialTime, marks.timeAligned);
  if (state_.display.DispValid != 0) state_.wave.RepaintRequested = 1;
}

void TFormMain::menuAbsoluteTimeClick() {
  const ViewOptions& o = state_.wave.Options;
  const TimeAxisMarks marks = AfterAbsoluteTimeClick({o.XAxialTime, o.AbsoluteTime});
  SetViewOption(&ViewOptions::AbsoluteTime, marks.absoluteTime);
  SetViewOption(&ViewOptions::XAxialTime, marks.timeAligned);
  if (state_.display.DispValid != 0) state_.wave.RepaintRequested = 1;
}

}  // namespace quelvar
