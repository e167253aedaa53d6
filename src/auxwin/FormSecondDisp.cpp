// The second waveform window: its controls, settings, layout rebuild,
// redraw and commands. The rules are in auxwin/SecondDispSettings,
// auxwin/SecondDispCommands and the view's core files it shares with the
// main window.
#include "auxwin/FormSecondDisp.h"

#include <QAction>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <array>

#include "auxwin/SecondDispCommands.h"
#include "auxwin/SecondDispSettings.h"
#include "common/NumberFormat.h"
#include "common/TextUtil.h"
#include "platform/UiHost.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtText.h"
#include "shell/WindowPlace.h"
#include "view/ChannelScopes.h"
#include "view/DisplayLayout.h"
#include "view/DisplayReading.h"
#include "view/MarkDrawing.h"
#include "view/MarkLabels.h"
#include "view/MarkMoves.h"
#include "view/MarkReadout.h"
#include "view/MarkValues.h"
#include "view/PaintBox.h"
#include "view/Palette.h"
#include "view/ScreenWaveformInput.h"
#include "view/WaveformRenderer.h"
#include "view/XNavigation.h"
#include "view/YScaling.h"

namespace quelvar {

namespace {

constexpr int32_t kOscilloscopeSource = 2;
constexpr std::array<int32_t, 11> kYGains{1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000};
constexpr std::array<int32_t, 5> kXPresets{1, 2, 4, 8, 16};
// The panel's place in the client area and its margins.
constexpr int kPanelLeft = 2;
constexpr int kLabelFontPixels = 12;
// The fewest pixel columns and rows the picture's plot keeps.
constexpr int kLeastPlotColumns = 16;

QString LabelText(const std::string& caption) {
  QStringList lines;
  for (const std::string& line : SplitLines(caption)) lines << Q(line);
  return lines.join(QLatin1Char('\n'));
}

QColor ToQColor(platform::Color c) { return QColor(c.red, c.green, c.blue); }

// The digit keys on the channel scroll bar.
class ChannelBarKeys : public QObject {
 public:
  explicit ChannelBarKeys(TFormSecondDisp& form) : QObject(&form), form_(form) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) form_.VScrollBar_ChannelKeyDown(static_cast<QKeyEvent*>(event)->key());
    return QObject::eventFilter(watched, event);
  }

 private:
  TFormSecondDisp& form_;
};

}  // namespace

TFormSecondDisp::TFormSecondDisp(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui,
                                 QWidget* parent)
    : QWidget(parent, Qt::Tool), state_(state), registry_(registry), ui_(ui) {
  setObjectName("FormSecondDisp");
  setWindowTitle(QStringLiteral("第二波形显示窗口"));
  // Every run starts with the marks here; they are not stored.
  view_.Mark1X = 50;
  view_.Mark2X = 100;
  view_.Mark1Y = 100;
  view_.Mark2Y = 200;
  view_.XZoom = 4;
  view_.DisplayWidth = 100;
  // The window draws no level lines, but its readout gives the voltage
  // between the level positions over a single analog row.
  view_.Options.ViewV = true;
  BuildControls();
  BuildMenus();
  FormCreate();
}

TFormSecondDisp::~TFormSecondDisp() { FormDestroy(); }

void TFormSecondDisp::BuildControls() {
  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
  auto tool = [this](QAction*& a, const char* name, const char* text, const char* hint) {
    a = ToolBar1->addAction(QString::fromUtf8(text));
    a->setObjectName(name);
    a->setToolTip(QString::fromUtf8(hint));
  };
  tool(ToolButtonSelPage, "ToolButtonSelPage", "通道", "选择通道/万能页");
  tool(ToolButton1, "ToolButton1", "重画", "图形属性");
  tool(ToolButtonXCompress, "ToolButtonXCompress", "X压缩", "X方向缩小/完全控制");
  tool(ToolButtonXExpand, "ToolButtonXExpand", "X展开", "X方向放大");
  tool(ToolButtonYCompress, "ToolButtonYCompress", "Y压缩", "Y方向压缩/完全控制");
  tool(ToolButtonYExpand, "ToolButtonYExpand", "Y放大", "Y方向放大");

  Panel_Waveform = new QWidget(this);
  Panel_Waveform->setObjectName("Panel_Waveform");
  Image1 = new PaintBox(Panel_Waveform);
  Image1->setObjectName("Image1");
  Image1->onPaint = [this](QPainter& painter) { Image1Paint(painter); };
  Image1->onMouseDown = [this](Qt::MouseButton b, int x, int y) { Image1MouseDown(b, x, y); };
  Image1->onMouseMove = [this](int x, int y) { Image1MouseMove(x, y); };
  Image1->onMouseUp = [this](Qt::MouseButton, int, int) { Image1MouseUp(); };
  QFont font(QStringLiteral("SimSun"));
  font.setPixelSize(kLabelFontPixels);
  for (QLabel** label : {&Label_Mark1, &Label_Mark2}) {
    *label = new QLabel(Panel_Waveform);
    (*label)->setFont(font);
    (*label)->setToolTip(QStringLiteral("右键改变属性"));
    (*label)->hide();
  }
  Label_Mark1->setObjectName("Label_Mark1");
  Label_Mark2->setObjectName("Label_Mark2");
  HScrollBar_XPosition = new QScrollBar(Qt::Horizontal, Panel_Waveform);
  HScrollBar_XPosition->setObjectName("HScrollBar_XPosition");
  HScrollBar_XPosition->setToolTip(QStringLiteral("X偏移,右击放大展开"));
  VScrollBar_YOffset = new QScrollBar(Qt::Vertical, Panel_Waveform);
  VScrollBar_YOffset->setObjectName("VScrollBar_YOffset");
  VScrollBar_Channel = new QScrollBar(Qt::Vertical, Panel_Waveform);
  VScrollBar_Channel->setObjectName("VScrollBar_Channel");
  VScrollBar_Channel->installEventFilter(new ChannelBarKeys(*this));
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);

  offscreenBitmap_ = std::make_unique<QImage>(QSize(1, 1), QImage::Format_RGB32);
  offscreenBitmap_->fill(Qt::black);

  connect(HScrollBar_XPosition, &QScrollBar::valueChanged, this, [this] { HScrollBar_XPositionChange(); });
  connect(VScrollBar_YOffset, &QScrollBar::valueChanged, this, [this] { VScrollBar_YOffsetChange(); });
  connect(VScrollBar_Channel, &QScrollBar::valueChanged, this, [this] { VScrollBar_ChannelChange(); });
}

void TFormSecondDisp::BuildMenus() {
  // A click toggles a checkable item before its handler runs; the handlers
  // set the marks themselves, so that toggle is undone first.
  auto item = [this](QMenu* menu, const char* name, const char* text, std::function<void()> handler,
                     bool checkable = false, bool checked = false) {
    QAction* a = menu->addAction(QString::fromUtf8(text));
    a->setObjectName(name);
    a->setCheckable(checkable);
    a->setChecked(checked);
    connect(a, &QAction::triggered, this, [a, handler = std::move(handler)] {
      if (a->isCheckable()) a->setChecked(!a->isChecked());
      if (handler) handler();
    });
    return a;
  };
  auto popupOn = [this](QWidget* w, QMenu* menu) {
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, this,
            [w, menu](const QPoint& p) { menu->popup(w->mapToGlobal(p)); });
  };

  PopupMenuACDC = new QMenu(this);
  PopupMenuACDC->setObjectName("PopupMenuACDC");
  menuDC = item(
      PopupMenuACDC, "menuDC", "直流方式(DC)", [this] { menuDCClick(); }, true, true);
  menuAC = item(
      PopupMenuACDC, "menuAC", "交流方式(AC)", [this] { menuACClick(); }, true);
  popupOn(VScrollBar_YOffset, PopupMenuACDC);

  PopupMenuXZoom = new QMenu(this);
  PopupMenuXZoom->setObjectName("PopupMenuXZoom");
  const std::array<const char*, 5> xNames{"menuXZoom1", "menuXZoom2", "menuXZoom4", "menuXZoom8", "menuXZoom16"};
  const std::array<const char*, 5> xTexts{"X方向全显示", "X向展宽2倍", "X向展宽4倍", "X向展宽8倍", "X向展宽16倍"};
  std::array<QAction**, 5> xItems{&menuXZoom1, &menuXZoom2, &menuXZoom4, &menuXZoom8, &menuXZoom16};
  for (size_t i = 0; i < 5; ++i) {
    const int32_t k = kXPresets[i];
    *xItems[i] = item(
        PopupMenuXZoom, xNames[i], xTexts[i], [this, k] { XZoomPresetClick(k); }, true);
  }
  menuXZoomAny = item(
      PopupMenuXZoom, "menuXZoomAny", "显示100点", [this] { menuXZoomAnyClick(); }, true);
  menuXZoomMark = item(PopupMenuXZoom, "menuXZoomMark", "显示两标线之间", [this] { menuXZoomMarkClick(); });
  menuXScaleExpand = item(PopupMenuXZoom, "menuXScaleExpand", "放大1倍", [this] { menuXScaleExpandClick(); });
  menuXScaleCompress = item(PopupMenuXZoom, "menuXScaleCompress", "缩小1倍", [this] { menuXScaleCompressClick(); });
  PopupMenuXZoom->addSeparator();
  menuMapInstToMainWave = item(PopupMenuXZoom, "menuMapInstToMainWave", "映射两标线间到主波形窗口",
                               [this] { menuMapInstToMainWaveClick(); });
  PopupMenuXZoom->addSeparator();
  menuPrevConf = item(PopupMenuXZoom, "menuPrevConf", "上一画面", [this] { menuPrevConfClick(); });
  menuNextConf = item(PopupMenuXZoom, "menuNextConf", "下一画面", [this] { menuNextConfClick(); });
  popupOn(HScrollBar_XPosition, PopupMenuXZoom);

  PopupMenuYZoom = new QMenu(this);
  PopupMenuYZoom->setObjectName("PopupMenuYZoom");
  for (const int32_t gain : kYGains) {
    const std::string name = "menuYZoom" + std::to_string(gain);
    const std::string text = gain == 1 ? "波形放大1倍" : "放大" + std::to_string(gain) + "倍";
    QAction* a = item(
        PopupMenuYZoom, name.c_str(), text.c_str(), [this, gain] { YZoomPresetClick(gain); }, true, gain == 1);
    menuYZoom.push_back(a);
  }
  PopupMenuYZoom->addSeparator();
  menuYScaleExpand = item(PopupMenuYZoom, "menuYScaleExpand", "再放大1倍", [this] { menuYScaleExpandClick(); });
  menuYScaleCompress = item(PopupMenuYZoom, "menuYScaleCompress", "再缩小1倍", [this] { menuYScaleCompressClick(); });
  popupOn(VScrollBar_Channel, PopupMenuYZoom);

  PopupMenuBackGround = new QMenu(this);
  PopupMenuBackGround->setObjectName("PopupMenuBackGround");
  menuCurChnProp = item(PopupMenuBackGround, "menuCurChnProp", "当前通道属性", [this] { menuCurChnPropClick(); });
  PopupMenuBackGround->addSeparator();
  menuWhiteBG = item(
      PopupMenuBackGround, "menuWhiteBG", "白色图形背景", [this] { menuWhiteBGClick(); }, true);
  menuDispScale = item(PopupMenuBackGround, "menuDispScale", "X刻度数(=5)", [this] { menuDispScaleClick(); });
  menuXAxialTime = item(
      PopupMenuBackGround, "menuXAxialTime", "X刻度按时间对齐", [this] { menuXAxialTimeClick(); }, true, true);
  menuAbsoluteTime = item(
      PopupMenuBackGround, "menuAbsoluteTime", "显示绝对时间", [this] { menuAbsoluteTimeClick(); }, true);
  PopupMenuBackGround->addSeparator();
  auto toggle = [&](QAction*& a, const char* name, const char* text, bool checked) {
    a = item(PopupMenuBackGround, name, text, nullptr, true, checked);
    QAction* self = a;
    connect(a, &QAction::triggered, this, [this, self] { ToggleRedraw(self); });
  };
  toggle(menuViewXScale, "menuViewXScale", "详细Y刻度", true);
  // Always checked: the scale stands outside the plot.
  menuScaleOut = item(PopupMenuBackGround, "menuScaleOut", "刻度在外", nullptr, true, true);
  menuScaleOut->setEnabled(false);
  toggle(menuViewGridLine, "menuViewGridLine", "无网格线", false);
  toggle(menuViewGridPoint, "menuViewGridPoint", "网格虚线", false);
  toggle(menuViewYGrid, "menuViewYGrid", "显示Y网格线", false);
  toggle(menuViewScaleAlways, "menuViewScaleAlways", "始终显示刻度值", false);
  menuViewTrace = item(
      PopupMenuBackGround, "menuViewTrace", "显示瞬时标线", [this] { menuViewTraceClick(); }, true, true);
  menuBGTrans = item(
      PopupMenuBackGround, "menuBGTrans", "标签透明", [this] { menuBGTransClick(); }, true, true);
  PopupMenuBackGround->addSeparator();
  menuTopmost = item(
      PopupMenuBackGround, "menuTopmost", "顶层窗口", [this] { menuTopmostClick(); }, true);
  menuAutoView = item(
      PopupMenuBackGround, "menuAutoView", "启动时自动显示窗口", [this] { menuAutoViewClick(); }, true, true);
  popupOn(Image1, PopupMenuBackGround);
  popupOn(Panel_Waveform, PopupMenuBackGround);

  PopupMenuChn = new QMenu(this);
  PopupMenuChn->setObjectName("PopupMenuChn");
  const std::array<const char*, 8> scopeNames{"menuScopeChannel", "menuScopeLine", "menuScope4",       "menuScope8",
                                              "menuScope16",      "menuScopeAll",  "menuScopeOverall", "menuScopePage"};
  const std::array<const char*, 8> scopeTexts{"显示单通道",   "显示单线路",   "显示四通道",         "显示八通道",
                                              "显示十六通道", "显示全部通道", "显示模拟量和开关量", "按预定页显示"};
  for (size_t i = 0; i < scopeNames.size(); ++i) {
    const auto scope = static_cast<ChannelScope>(i);
    menuScope.push_back(item(
        PopupMenuChn, scopeNames[i], scopeTexts[i], [this, scope] { ScopeClick(scope); }, true, i == 0));
  }
  menuScopeVPage = item(PopupMenuChn, "menuScopeVPage", "万能页显示", [this] { menuScopeVPageClick(); });
  PopupMenuChn->addSeparator();
  menuViewSwitch = item(
      PopupMenuChn, "menuViewSwitch", "显示开关量", [this] { menuViewSwitchClick(); }, true);
  menuViewAnalog = item(
      PopupMenuChn, "menuViewAnalog", "显示模拟量", [this] { menuViewAnalogClick(); }, true, true);
  QMenu* phases = PopupMenuChn->addMenu(QStringLiteral("同轴显示"));
  phases->setObjectName("menuPhase");
  phases->menuAction()->setVisible(false);
  menuPhaseSingle = item(
      phases, "menuPhaseSingle", "单轴显示", [this] { menuPhaseSingleClick(); }, true, true);
  menuPhaseMultiple = item(
      phases, "menuPhaseMultiple", "多相同轴", [this] { menuPhaseMultipleClick(); }, true);
  menuViewIn1Axial = item(PopupMenuChn, "menuViewIn1Axial", "所有通道同轴显示", nullptr, true);
  connect(menuViewIn1Axial, &QAction::triggered, this, [this] { ToggleRedraw(menuViewIn1Axial); });

  ToolButtonSelPage->setMenu(PopupMenuChn);
  ToolButton1->setMenu(PopupMenuBackGround);
  ToolButtonXCompress->setMenu(PopupMenuXZoom);
  ToolButtonYCompress->setMenu(PopupMenuYZoom);
  for (QAction* a : {ToolButtonSelPage, ToolButton1, ToolButtonXCompress, ToolButtonYCompress}) {
    if (auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(a))) {
      button->setPopupMode(QToolButton::MenuButtonPopup);
    }
  }
  connect(ToolButtonSelPage, &QAction::triggered, this, [this] { menuScopeVPageClick(); });
  connect(ToolButton1, &QAction::triggered, this, [this] { ToolButton1Click(); });
  connect(ToolButtonXCompress, &QAction::triggered, this, [this] { menuXScaleCompressClick(); });
  connect(ToolButtonXExpand, &QAction::triggered, this, [this] { menuXScaleExpandClick(); });
  connect(ToolButtonYCompress, &QAction::triggered, this, [this] { menuYScaleCompressClick(); });
  connect(ToolButtonYExpand, &QAction::triggered, this, [this] { menuYScaleExpandClick(); });
}

// ---- life cycle -----------------------------------------------------------

void TFormSecondDisp::FormCreate() {
  move(485, 51);
  resize(314, 292);
  ApplySettings();
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormSecondDisp");
}

void TFormSecondDisp::ApplySettings() {
  const LiveConfig& c = state_.config;
  SecondDispSettings s = ReadSecondDispSettings(registry_, state_.startup.AppKeyName);
  ClampSecondDispSettings(s, c.Analog_Num, c.SW_Num);
  menuViewTrace->setChecked(s.IDTrace != 0);
  menuBGTrans->setChecked(s.IDTraceTrans != 0);
  if (s.IDPhase != 0) {
    menuPhaseMultipleClick();
  } else {
    menuPhaseSingleClick();
  }
  menuAutoView->setChecked(s.IdAutoView != 0);
  if (s.SecondDispTopMost != 0) menuTopmostClick();
  SetScopeChecks(StoredSecondDispScope(s.IDScope));
  UpdateChannelScrollRange();
  VScrollBar_Channel->setValue(s.BegDispChannel);
  // The stored first channel as the bar holds it: within the channels.
  view_.BegDispChannel = VScrollBar_Channel->value();
  view_.WhiteBG = s.WhiteBG != 0 ? 1 : 0;
  menuWhiteBG->setChecked(view_.WhiteBG == 1);
  ColourLabels();
  view_.DispScale = s.DispScale;
  menuDispScale->setText(Q("X刻度数(=" + std::to_string(view_.DispScale) + ")"));
  menuXAxialTime->setChecked(s.XAxialTime != 0 || s.AbsoluteTime != 0);
  menuAbsoluteTime->setChecked(s.AbsoluteTime != 0);
  view_.DisplayWidth = s.DisplayWidth;
  if (s.XZoom == kXZoomAnyCount) {
    view_.XZoom = kXZoomAnyCount;
    CheckXZoomItem(menuXZoomAny);
    HScrollBar_XPosition->setPageStep(XLargeStep(view_.DisplayWidth));
  } else {
    XZoomPresetClick(s.XZoom);
  }
  menuXZoomAny->setText(Q("显示" + std::to_string(view_.DisplayWidth) + "点"));
  view_.YZoom = s.YZoom;
  for (size_t i = 0; i < kYGains.size(); ++i) menuYZoom[i]->setChecked(kYGains[i] == s.YZoom);
  view_.IDDC = s.IDDC != 0 ? 1 : 0;
  menuDC->setChecked(view_.IDDC == 1);
  menuAC->setChecked(view_.IDDC == 0);
  const int32_t t = YOffsetHalfRange(view_.YZoom);
  VScrollBar_YOffset->setRange(-t, t);
  VScrollBar_YOffset->setValue(0);
  view_.YOffset = 0;
  menuViewXScale->setChecked(s.IDViewXScale != 0);
  menuViewScaleAlways->setChecked(s.IDViewScaleAlways != 0);
  menuViewGridLine->setChecked(s.IDViewGridLine != 0);
  menuViewGridPoint->setChecked(s.IDViewGridPoint != 0);
  menuViewYGrid->setChecked(s.IDViewYGrid != 0);
  page_.VPAnalog = s.VPAnalog;
  page_.VPBin = s.VPBin;
  page_.VP = s.VP;
  ReadOptionsFromMenus();
  RepaintRequested = 0;
}

void TFormSecondDisp::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  // A window destroyed while shown gets no hide event.
  state_.SecondDispVisible = 0;
  SecondDispSettings s;
  s.IDTrace = menuViewTrace->isChecked() ? 1 : 0;
  s.IDTraceTrans = menuBGTrans->isChecked() ? 1 : 0;
  s.IDPhase = menuPhaseSingle->isChecked() ? 0 : 1;
  s.WhiteBG = menuWhiteBG->isChecked() ? 1 : 0;
  s.DispScale = view_.DispScale;
  s.XAxialTime = menuXAxialTime->isChecked() ? 1 : 0;
  s.AbsoluteTime = menuAbsoluteTime->isChecked() ? 1 : 0;
  s.IdAutoView = menuAutoView->isChecked() ? 1 : 0;
  s.SecondDispTopMost = menuTopmost->isChecked() ? 1 : 0;
  s.IDScope = 0;
  for (size_t i = 0; i < menuScope.size(); ++i) {
    if (menuScope[i]->isChecked()) s.IDScope = static_cast<int32_t>(i);
  }
  s.BegDispChannel = VScrollBar_Channel->value();
  s.XZoom = view_.XZoom;
  s.DisplayWidth = view_.DisplayWidth;
  s.YZoom = view_.YZoom;
  s.IDDC = view_.IDDC;
  s.IDViewXScale = menuViewXScale->isChecked() ? 1 : 0;
  s.IDViewScaleAlways = menuViewScaleAlways->isChecked() ? 1 : 0;
  s.IDViewGridLine = menuViewGridLine->isChecked() ? 1 : 0;
  s.IDViewGridPoint = menuViewGridPoint->isChecked() ? 1 : 0;
  s.IDViewYGrid = menuViewYGrid->isChecked() ? 1 : 0;
  s.VPAnalog = page_.VPAnalog;
  s.VPBin = page_.VPBin;
  s.VP = page_.VP;
  WriteSecondDispSettings(registry_, state_.startup.AppKeyName, s);
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormSecondDisp");
}

void TFormSecondDisp::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize();
}

void TFormSecondDisp::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FormShow();
}

void TFormSecondDisp::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  FormHide();
}

void TFormSecondDisp::FormShow() { state_.SecondDispVisible = 1; }

void TFormSecondDisp::FormHide() { state_.SecondDispVisible = 0; }

void TFormSecondDisp::FormResize() {
  const int toolHeight = ToolBar1->sizeHint().height();
  ToolBar1->setGeometry(0, 0, width(), toolHeight);
  const int statusHeight = StatusBar1->sizeHint().height();
  StatusBar1->setGeometry(0, height() - statusHeight, width(), statusHeight);
  const int panelTop = toolHeight;
  const int panelWidth = std::max(width() - kPanelLeft - 3, 1);
  const int panelHeight = std::max(height() - panelTop - statusHeight - 4, 1);
  Panel_Waveform->setGeometry(kPanelLeft, panelTop, panelWidth, panelHeight);
  const int barWidth = VScrollBar_Channel->sizeHint().width();
  const int barHeight = HScrollBar_XPosition->sizeHint().height();
  const int barLeft = std::max(panelWidth - barWidth, 1);
  const int h = std::max(panelHeight - barHeight, 1);
  VScrollBar_YOffset->setGeometry(barLeft, 0, barWidth, h / 2);
  VScrollBar_Channel->setGeometry(barLeft, h / 2, barWidth, h - h / 2);
  HScrollBar_XPosition->setGeometry(0, h, barLeft, barHeight);
  Image1->setGeometry(0, 0, barLeft, h);
  if (offscreenBitmap_->size() != Image1->size()) {
    *offscreenBitmap_ = QImage(Image1->size(), QImage::Format_RGB32);
    offscreenBitmap_->fill(Qt::black);
  }
  if (state_.display.DispValid != 0) {
    RedrawWaveform();
  } else {
    offscreenBitmap_->fill(Qt::black);
    showMarks_ = false;
    Image1->update();
  }
}

void TFormSecondDisp::Image1Paint(QPainter& painter) {
  painter.drawImage(0, 0, *offscreenBitmap_);
  if (!showMarks_ || state_.display.DispValid == 0) return;
  // The marks lie over the picture; moving them never repaints the waveform.
  const MarkPlot plot = Plot();
  const MarkColours colours = MarkColoursOf(state_.config, view_.WhiteBG);
  const int columns[] = {PointToPixel(plot, view_.DisplayWidth, view_.Mark1X),
                         PointToPixel(plot, view_.DisplayWidth, view_.Mark2X)};
  const platform::Color marks[] = {colours.mark1, colours.mark2};
  for (int i = 0; i < 2; ++i) {
    painter.setPen(ToQColor(marks[i]));
    painter.drawLine(columns[i], plot.T, columns[i], plot.T + plot.H);
  }
}

// ---- driving ----------------------------------------------------------------

void TFormSecondDisp::ReadOptionsFromMenus() {
  ViewOptions& o = view_.Options;
  o.Scope = ChannelScope::Channel;
  for (size_t i = 0; i < menuScope.size(); ++i) {
    if (menuScope[i]->isChecked()) o.Scope = static_cast<ChannelScope>(i);
  }
  o.PhaseMultiple = menuPhaseMultiple->isChecked();
  o.ViewSwitch = menuViewSwitch->isChecked();
  o.ScaleOut = true;
  o.NoGridLines = menuViewGridLine->isChecked();
  o.GridDotted = menuViewGridPoint->isChecked();
  o.YGrid = menuViewYGrid->isChecked();
  o.XScale = menuViewXScale->isChecked();
  o.ScaleAlways = menuViewScaleAlways->isChecked();
  o.In1Axial = menuViewIn1Axial->isChecked();
  o.Trace = menuViewTrace->isChecked();
  o.BGTrans = menuBGTrans->isChecked();
  o.XAxialTime = menuXAxialTime->isChecked();
  o.AbsoluteTime = menuAbsoluteTime->isChecked();
  o.TopMost = menuTopmost->isChecked();
}

void TFormSecondDisp::RedrawWaveform() {
  const LiveConfig& c = state_.config;
  ReadOptionsFromMenus();
  // Tables the main window's layout rebuild has not sized for this
  // configuration yet are built first.
  if (view_.PageLayout.PageChannels.size() != static_cast<size_t>(std::max(c.TotalPages, 0)) + 2) {
    RebuildPageTables(state_.config, page_, view_.PageLayout);
  }
  // A window narrower than the scale area would leave the plot no pixel
  // column to gather the points in, and every trace would join all of them:
  // seconds over a large screen, on the thread that takes the blocks. The
  // picture keeps a few columns; the paint box shows its left part.
  const QSize least(std::max(Image1->width(), state_.labels.ScreenLabelWidth + kLeastPlotColumns),
                    std::max(Image1->height(), state_.labels.ScreenTextHeight + kLeastPlotColumns));
  if (offscreenBitmap_->size() != least) {
    *offscreenBitmap_ = QImage(least, QImage::Format_RGB32);
    offscreenBitmap_->fill(Qt::black);
  }
  {
    platform::QtCanvas canvas(*offscreenBitmap_);
    canvas.SetFont({c.ScreenFontName, c.ScreenFontSize, c.ScreenFontStyle, platform::kBlack});
    WaveformPaintInput input = ScreenWaveformInput(state_);
    input.WhiteBG = view_.WhiteBG;
    input.ScaleCount = view_.DispScale;
    const ViewOptions& o = view_.Options;
    input.ChannelScrollMax = ChannelScrollMaximum(c, {o.ViewSwitch, o.Scope == ChannelScope::Page, !o.PhaseMultiple});
    // No trigger-point markers, no oscilloscope picture here.
    input.TriggerPoints = {};
    input.PaintOscilloscope = nullptr;
    input.TriggerPageCaption = "故障";
    input.MicrosecondUnit = false;
    PaintWaveform(canvas, input, view_);
  }
  showMarks_ = true;
  Image1->update();
  DrawMarks();
  RecordViewHistory(view_);
  RepaintRequested = 0;
}

MarkPlot TFormSecondDisp::Plot() const {
  return MarkPlotOf(view_.Options, state_.labels, Image1->width(), Image1->height());
}

void TFormSecondDisp::DrawMarks() {
  if (state_.display.DispValid == 0) return;
  const MarkPlot plot = Plot();
  ClampMarks(view_, plot);
  const MarkReadoutInput readout{&state_.display, state_.config.NumSamp, state_.layout.MaxMultiFreq,
                                 state_.layout.MaxChannelRate};
  const QString text = Q(MarkReadoutText(view_, plot, readout));
  if (StatusBar1->currentMessage() != text) StatusBar1->showMessage(text);
  Image1->update();
  if (!menuViewTrace->isChecked()) return;
  // The labels name the main window's mark kinds.
  CopyMarkKinds(state_.wave, view_);
  MarkSource source{state_.config,
                    state_.torque,
                    state_.display,
                    state_.layout,
                    view_,
                    state_.oscilTool,
                    state_.acq.RingWriteBlock,
                    state_.acq.BlockTime};
  const std::string captions[] = {MarkLabelText(source, SaturateToInt32(int64_t{view_.XPosition} + view_.Mark1X), 1),
                                  MarkLabelText(source, SaturateToInt32(int64_t{view_.XPosition} + view_.Mark2X), 2)};
  QLabel* const labels[] = {Label_Mark1, Label_Mark2};
  const int columns[] = {PointToPixel(plot, view_.DisplayWidth, view_.Mark1X),
                         PointToPixel(plot, view_.DisplayWidth, view_.Mark2X)};
  if (!labelTopsPlaced_) {
    labelTopsPlaced_ = true;
    const int levels[] = {view_.Mark1Y, view_.Mark2Y};
    for (int i = 0; i < 2; ++i) {
      labels[i]->adjustSize();
      labels[i]->move(labels[i]->x(),
                      MarkLabelTop(Image1->y(), Image1->height(), labels[i]->height(), std::max(levels[i], plot.T)));
    }
  }
  const bool recording = state_.RunState == kRunRecording;
  const MarkColours colours = MarkColoursOf(state_.config, view_.WhiteBG);
  const platform::Color marks[] = {colours.mark1, colours.mark2};
  for (int i = 0; i < 2; ++i) {
    labels[i]->setText(LabelText(captions[i]));
    labels[i]->adjustSize();
    labels[i]->move(MarkLabelLeft(Image1->x(), Image1->width(), columns[i], labels[i]->width()), labels[i]->y());
    labels[i]->setVisible(!recording);
  }
  if (!recording) return;
  // While recording, label controls over a picture that changes every tick
  // would flicker: their texts are painted into the picture instead.
  platform::QtCanvas canvas(*offscreenBitmap_);
  canvas.SetFont({"SimSun", 9, 0, platform::kBlack});
  const bool white = PaletteRow(view_.WhiteBG) == kPaletteRowWhite;
  for (int i = 0; i < 2; ++i) {
    const PaintedMarkLabel painted{captions[i], columns[i], labels[i]->y() - Image1->y(), marks[i]};
    PaintMarkLabel(canvas, painted, 0, Image1->width(), white, menuBGTrans->isChecked());
  }
}

void TFormSecondDisp::RebuildPageLayout() {
  ColourLabels();
  const DisplayDescriptor& d = state_.display;
  FitPointsPerScreen(view_, d.DispPoints, menuXZoomAny->isChecked());
  {
    const QSignalBlocker block(HScrollBar_XPosition);
    HScrollBar_XPosition->setRange(0, std::max(d.DispPoints - 1, 0));
    HScrollBar_XPosition->setValue(std::max(d.DispPoints - view_.DisplayWidth, 0));
  }
  view_.XPosition = std::max(d.DispPoints - view_.DisplayWidth, 0);
  RebuildPageTables(state_.config, page_, view_.PageLayout);
  UpdateChannelScrollRange();
  const bool show = menuViewTrace->isChecked() && state_.RunState == kRunIdle && d.DispValid != 0;
  Label_Mark1->setVisible(show);
  Label_Mark2->setVisible(show);
}

void TFormSecondDisp::ColourLabels() {
  const MarkColours colours = MarkColoursOf(state_.config, view_.WhiteBG);
  const bool white = PaletteRow(view_.WhiteBG) == kPaletteRowWhite;
  QLabel* const labels[] = {Label_Mark1, Label_Mark2};
  const platform::Color marks[] = {colours.mark1, colours.mark2};
  for (int i = 0; i < 2; ++i) {
    const QString mark = ToQColor(marks[i]).name();
    if (menuBGTrans->isChecked()) {
      labels[i]->setStyleSheet("QLabel { background: transparent; color: " + mark + "; }");
    } else {
      labels[i]->setStyleSheet("QLabel { background: " + mark + "; color: " + (white ? "white" : "black") + "; }");
    }
  }
}

void TFormSecondDisp::RequestRedraw() {
  if (state_.display.DispValid == 1) RepaintRequested = 1;
}

// ---- Y commands -------------------------------------------------------------

void TFormSecondDisp::YZoomPresetClick(int32_t gain) {
  const int index = YZoomPresetIndex(gain);
  if (index < 0 || menuYZoom[static_cast<size_t>(index)]->isChecked()) return;
  for (size_t i = 0; i < menuYZoom.size(); ++i) menuYZoom[i]->setChecked(static_cast<int>(i) == index);
  const int32_t old = view_.YZoom;
  view_.YZoom = gain;
  ApplyYZoom(old);
}

void TFormSecondDisp::ApplyYZoom(int32_t oldGain) {
  const int32_t t = YOffsetHalfRange(view_.YZoom);
  const int32_t position = RescaledYOffsetPosition(VScrollBar_YOffset->value(), view_.YZoom, oldGain);
  VScrollBar_YOffset->setRange(-t, t);
  VScrollBar_YOffset->setValue(position);
  RequestRedraw();
}

void TFormSecondDisp::menuYScaleExpandClick() {
  if (state_.display.DataSourceMode == kOscilloscopeSource || view_.YZoom >= 2000) return;
  YZoomPresetClick(NextLargerYZoom(view_.YZoom));
}

void TFormSecondDisp::menuYScaleCompressClick() {
  if (state_.display.DataSourceMode == kOscilloscopeSource || view_.YZoom <= 1) return;
  YZoomPresetClick(NextSmallerYZoom(view_.YZoom));
}

void TFormSecondDisp::menuDCClick() {
  view_.IDDC = 1;
  menuDC->setChecked(true);
  menuAC->setChecked(false);
  RequestRedraw();
}

void TFormSecondDisp::menuACClick() {
  view_.IDDC = 0;
  menuDC->setChecked(false);
  menuAC->setChecked(true);
  RequestRedraw();
}

void TFormSecondDisp::VScrollBar_YOffsetChange() {
  const int32_t offset = -VScrollBar_YOffset->value();
  if (offset == view_.YOffset) return;
  view_.YOffset = offset;
  if (view_.IDDC == 1) RequestRedraw();
}

// ---- X commands -------------------------------------------------------------

void TFormSecondDisp::CheckXZoomItem(QAction* item) {
  for (QAction* zoom : {menuXZoom1, menuXZoom2, menuXZoom4, menuXZoom8, menuXZoom16, menuXZoomAny}) {
    zoom->setChecked(zoom == item);
  }
}

void TFormSecondDisp::WidthTail() {
  HScrollBar_XPosition->setPageStep(XLargeStep(view_.DisplayWidth));
  RequestRedraw();
}

void TFormSecondDisp::ShowAnyCount() {
  CheckXZoomItem(menuXZoomAny);
  menuXZoomAny->setText(Q("显示任意点(" + std::to_string(view_.DisplayWidth) + ")"));
}

void TFormSecondDisp::XZoomPresetClick(int32_t k) {
  QAction* const items[] = {menuXZoom1, menuXZoom2, menuXZoom4, menuXZoom8, menuXZoom16};
  const auto at = std::find(kXPresets.begin(), kXPresets.end(), k);
  if (at == kXPresets.end()) return;
  QAction* item = items[at - kXPresets.begin()];
  if (item->isChecked()) return;
  view_.XZoom = k;
  CheckXZoomItem(item);
  view_.DisplayWidth = PresetDisplayWidth(state_.display.DispPoints, k);
  menuXZoomAny->setText(Q("显示" + std::to_string(view_.DisplayWidth) + "点"));
  WidthTail();
}

void TFormSecondDisp::menuXZoomAnyClick() {
  const int32_t points = state_.display.DispPoints;
  const std::optional<std::string> answer = ui_.InputBox(
      "请选择一屏显示的点数", "点数(最大" + std::to_string(points) + "):  ", std::to_string(view_.DisplayWidth));
  SetXPointCount(answer ? PointCountAnswer(*answer, view_.DisplayWidth) : view_.DisplayWidth);
}

void TFormSecondDisp::SetXPointCount(int32_t n) {
  view_.XZoom = kXZoomAnyCount;
  view_.DisplayWidth = AnyCountWidth(n, state_.display.DispPoints);
  ShowAnyCount();
  WidthTail();
}

void TFormSecondDisp::menuXZoomMarkClick() {
  const DisplayDescriptor& d = state_.display;
  if (d.DispValid == 0) return;
  if (d.DataSourceMode != kOscilloscopeSource && !menuViewTrace->isChecked()) return;
  // Held within the data and two points wide at least, like the main
  // window's: a mark past the screen must not leave an empty view.
  if (!TakeXWindow(view_, MarksWindow(view_), d.DispValid, d.DispPoints)) return;
  HScrollBar_XPosition->setValue(view_.XPosition);
  view_.XZoom = kXZoomAnyCount;
  view_.Mark1X = 1;
  view_.Mark2X = view_.DisplayWidth;
  ShowAnyCount();
  WidthTail();
}

void TFormSecondDisp::menuXScaleExpandClick() {
  int32_t checked = 0;
  const std::pair<QAction*, int32_t> items[] = {{menuXZoom1, 1}, {menuXZoom2, 2},   {menuXZoom4, 4},
                                                {menuXZoom8, 8}, {menuXZoom16, 16}, {menuXZoomAny, kXZoomAnyCount}};
  for (const auto& [a, code] : items) {
    if (a->isChecked()) checked = code;
  }
  const XZoomStep step = ExpandStep(checked, view_.DisplayWidth, state_.display.DispPoints);
  if (step.kind == XZoomStep::Kind::Preset) XZoomPresetClick(step.value);
  if (step.kind == XZoomStep::Kind::AnyCount) {
    view_.DisplayWidth = step.value;
    ShowAnyCount();
    WidthTail();
  }
}

void TFormSecondDisp::menuXScaleCompressClick() {
  int32_t checked = 0;
  const std::pair<QAction*, int32_t> items[] = {{menuXZoom1, 1}, {menuXZoom2, 2},   {menuXZoom4, 4},
                                                {menuXZoom8, 8}, {menuXZoom16, 16}, {menuXZoomAny, kXZoomAnyCount}};
  for (const auto& [a, code] : items) {
    if (a->isChecked()) checked = code;
  }
  const XZoomStep step = CompressStep(checked, view_.DisplayWidth, state_.display.DispPoints);
  if (step.kind == XZoomStep::Kind::Preset) XZoomPresetClick(step.value);
  if (step.kind == XZoomStep::Kind::AnyCount) {
    view_.DisplayWidth = step.value;
    ShowAnyCount();
    WidthTail();
  }
}

void TFormSecondDisp::menuPrevConfClick() {
  if (state_.display.DispValid == 0) return;
  StepViewHistory(view_, state_.display.DispPoints, HistoryStep::Previous);
  menuXZoomAny->setText(Q("显示" + std::to_string(view_.DisplayWidth) + "点"));
  HScrollBar_XPosition->setValue(view_.XPosition);
  WidthTail();
}

void TFormSecondDisp::menuNextConfClick() {
  if (state_.display.DispValid == 0) return;
  StepViewHistory(view_, state_.display.DispPoints, HistoryStep::Next);
  menuXZoomAny->setText(Q("显示" + std::to_string(view_.DisplayWidth) + "点"));
  HScrollBar_XPosition->setValue(view_.XPosition);
  WidthTail();
}

void TFormSecondDisp::HScrollBar_XPositionChange() {
  const DisplayDescriptor& d = state_.display;
  if (d.DispValid == 0) return;
  const int32_t position = HScrollBar_XPosition->value();
  const int32_t wanted = std::max(std::min(position, d.DispPoints - view_.DisplayWidth), 0);
  if (wanted != position) HScrollBar_XPosition->setValue(wanted);
  if (wanted == view_.XPosition) return;
  view_.XPosition = wanted;
  RepaintRequested = 1;
}

void TFormSecondDisp::menuMapInstToMainWaveClick() {
  const DisplayDescriptor& d = state_.display;
  if (d.DispValid == 0 || d.DataSourceMode == kOscilloscopeSource) return;
  const XWindow window = MarksWindow(view_);
  if (onMapToMainWave) onMapToMainWave(window.first, window.count);
}

void TFormSecondDisp::SetXWindow(int32_t first, int32_t count) {
  const DisplayDescriptor& d = state_.display;
  if (d.DispValid == 0) return;
  // The main window's range is held within the data and two points wide at
  // least, as the main window holds the one this window hands it.
  TakeXWindow(view_, {first, count}, d.DispValid, d.DispPoints);
  {
    const QSignalBlocker block(HScrollBar_XPosition);
    HScrollBar_XPosition->setValue(view_.XPosition);
  }
  ShowAnyCount();
  WidthTail();
}

// ---- channel commands -------------------------------------------------------

void TFormSecondDisp::SetScopeChecks(ChannelScope scope) {
  for (size_t i = 0; i < menuScope.size(); ++i) menuScope[i]->setChecked(static_cast<ChannelScope>(i) == scope);
  view_.Options.Scope = scope;
}

void TFormSecondDisp::ScopeClick(ChannelScope scope) {
  QAction* item = menuScope[static_cast<size_t>(scope)];
  if (item->isChecked()) return;
  if ((scope == ChannelScope::Overall || scope == ChannelScope::Page) && menuViewSwitch->isChecked()) return;
  SetScopeChecks(scope);
  UpdateChannelScrollRange();
  RequestRedraw();
}

void TFormSecondDisp::UpdateChannelScrollRange() {
  const ChannelScrollMenus menus{menuViewSwitch->isChecked(),
                                 menuScope[static_cast<size_t>(ChannelScope::Page)]->isChecked(),
                                 menuPhaseSingle->isChecked()};
  VScrollBar_Channel->setRange(0, std::max(ChannelScrollMaximum(state_.config, menus), 0));
}

void TFormSecondDisp::VScrollBar_ChannelChange() {
  if (state_.display.DispValid == 0) return;
  ReadOptionsFromMenus();
  const ChannelScrollStart start =
      ScrolledChannelStart(state_.config, view_.Options, VScrollBar_Channel->value(), VScrollBar_Channel->maximum());
  view_.CurrentLine = start.CurrentLine;
  if (start.BegDispChannel == view_.BegDispChannel) return;
  view_.BegDispChannel = start.BegDispChannel;
  RepaintRequested = 1;
}

void TFormSecondDisp::VScrollBar_ChannelKeyDown(int key) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) VScrollBar_Channel->setValue(key - Qt::Key_0);
}

void TFormSecondDisp::menuScopeVPageClick() {
  const DisplayDescriptor& d = state_.display;
  if (d.DataSourceMode == kOscilloscopeSource || d.DispValid == 0 || !runPageDialog) return;
  CopyUniversalPageToScratch(page_, state_.UniversalPage);
  if (!runPageDialog()) return;
  if (menuViewSwitch->isChecked()) menuViewAnalogClick();
  TakeUniversalPageFromScratch(state_.UniversalPage, page_);
  FillUniversalPage(page_, state_.config, view_.PageLayout);
  SelectPageScope();
}

void TFormSecondDisp::SelectPageScope() {
  const DisplayDescriptor& d = state_.display;
  if (d.DataSourceMode == kOscilloscopeSource || d.DispValid == 0) return;
  SetScopeChecks(ChannelScope::Page);
  UpdateChannelScrollRange();
  VScrollBar_Channel->setValue(state_.config.TotalPages);
  VScrollBar_ChannelChange();
  RequestRedraw();
}

void TFormSecondDisp::menuViewSwitchClick() {
  if (state_.config.SW_Num <= 0 || menuViewSwitch->isChecked()) return;
  menuViewSwitch->setChecked(true);
  menuViewAnalog->setChecked(false);
  UpdateChannelScrollRange();
  if (menuScope[static_cast<size_t>(ChannelScope::Overall)]->isChecked() ||
      menuScope[static_cast<size_t>(ChannelScope::Page)]->isChecked()) {
    ScopeClick(ChannelScope::All);
  }
  RequestRedraw();
}

void TFormSecondDisp::menuViewAnalogClick() {
  if (menuViewAnalog->isChecked()) return;
  menuViewAnalog->setChecked(true);
  menuViewSwitch->setChecked(false);
  UpdateChannelScrollRange();
  RequestRedraw();
}

void TFormSecondDisp::menuPhaseSingleClick() {
  if (menuPhaseSingle->isChecked()) return;
  menuPhaseSingle->setChecked(true);
  menuPhaseMultiple->setChecked(false);
  UpdateChannelScrollRange();
  if (menuViewAnalog->isChecked()) RequestRedraw();
}

void TFormSecondDisp::menuPhaseMultipleClick() {
  if (menuPhaseMultiple->isChecked()) return;
  menuPhaseMultiple->setChecked(true);
  menuPhaseSingle->setChecked(false);
  UpdateChannelScrollRange();
  if (menuViewAnalog->isChecked()) RequestRedraw();
}

// ---- view toggles -----------------------------------------------------------

void TFormSecondDisp::ToggleRedraw(QAction* item) {
  item->setChecked(!item->isChecked());
  RequestRedraw();
}

void TFormSecondDisp::menuWhiteBGClick() {
  menuWhiteBG->setChecked(!menuWhiteBG->isChecked());
  view_.WhiteBG = menuWhiteBG->isChecked() ? 1 : 0;
  // The labels take the colours of the new scheme; their transparency stays.
  menuBGTrans->setChecked(!menuBGTrans->isChecked());
  menuBGTransClick();
  RequestRedraw();
}

void TFormSecondDisp::menuDispScaleClick() {
  const std::optional<std::string> answer =
      ui_.InputBox("请选择图形刻度数", "新X刻度数目为：  ", std::to_string(view_.DispScale));
  if (!answer) return;
  view_.DispScale = GraduationCountAnswer(*answer);
  menuDispScale->setText(Q("X刻度数(=" + std::to_string(view_.DispScale) + ")"));
  RepaintRequested = 1;
}

void TFormSecondDisp::menuXAxialTimeClick() {
  const bool checked = menuXAxialTime->isChecked();
  menuXAxialTime->setChecked(!checked || menuAbsoluteTime->isChecked());
  RequestRedraw();
}

void TFormSecondDisp::menuAbsoluteTimeClick() {
  menuAbsoluteTime->setChecked(!menuAbsoluteTime->isChecked());
  if (menuAbsoluteTime->isChecked()) menuXAxialTime->setChecked(true);
  RequestRedraw();
}

void TFormSecondDisp::menuViewTraceClick() {
  menuViewTrace->setChecked(!menuViewTrace->isChecked());
  const bool show = menuViewTrace->isChecked() && state_.RunState == kRunIdle && state_.display.DispValid != 0;
  Label_Mark1->setVisible(show);
  Label_Mark2->setVisible(show);
  if (show && state_.display.DispValid == 1) DrawMarks();
}

void TFormSecondDisp::menuBGTransClick() {
  menuBGTrans->setChecked(!menuBGTrans->isChecked());
  ColourLabels();
  DrawMarks();
}

void TFormSecondDisp::menuTopmostClick() {
  menuTopmost->setChecked(!menuTopmost->isChecked());
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, menuTopmost->isChecked());
  if (shown) show();
}

void TFormSecondDisp::menuAutoViewClick() { menuAutoView->setChecked(!menuAutoView->isChecked()); }

void TFormSecondDisp::ToolButton1Click() {
  if (state_.display.DispValid == 1) RedrawWaveform();
}

void TFormSecondDisp::menuCurChnPropClick() {
  if (state_.display.DispValid == 0 || !runCurChnProp) return;
  if (runCurChnProp(view_)) RequestRedraw();
}

// ---- mouse ------------------------------------------------------------------

void TFormSecondDisp::Image1MouseDown(Qt::MouseButton button, int x, int y) {
  const MarkButton b = button == Qt::RightButton  ? MarkButton::Right
                       : button == Qt::LeftButton ? MarkButton::Left
                                                  : MarkButton::Middle;
  if (PressWaveform(view_, state_.display, Plot(), state_.labels.ScreenTextHeight, b, x, y)) {
    Image1MouseMove(x, y);
  }
  if (view_.RepaintRequested != 0) {
    // A page row put back at its place.
    view_.RepaintRequested = 0;
    RequestRedraw();
  }
}

void TFormSecondDisp::Image1MouseMove(int x, int y) {
  if (state_.display.DispValid == 0) return;
  if (view_.DragMode == 1) {
    const MarkPlot plot = Plot();
    if (MoveMarkState(view_, state_.display, state_.oscilTool, plot, view_.NearerMarkX, view_.NearerMarkY, x, y) ==
        MarkMoveResult::Nothing) {
      return;
    }
    if (menuViewTrace->isChecked()) {
      QLabel* label = view_.NearerMarkY == 0 ? Label_Mark1 : Label_Mark2;
      label->move(label->x(), MarkLabelTop(Image1->y(), Image1->height(), label->height(), std::max(y, plot.T)));
    }
    DrawMarks();
  } else if (view_.DragMode == 2) {
    DragPageChannel(view_, Plot(), y);
    view_.RepaintRequested = 0;
    RepaintRequested = 1;
  }
}

void TFormSecondDisp::Image1MouseUp() { view_.DragMode = 0; }

}  // namespace quelvar
