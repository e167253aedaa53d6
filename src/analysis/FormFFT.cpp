#include "analysis/FormFFT.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaObject>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <new>

#include "auxwin/FormTool.h"
#include "platform/RegistryStore.h"
#include "platform/UiHost.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtPicture.h"
#include "platform/qt/QtVectorPicture.h"
#include "setup/DialogNumbers.h"
#include "shell/FormMain.h"
#include "shell/WindowPlace.h"
#include "view/ChannelValues.h"
#include "view/FormGraphType.h"
#include "view/PaintBox.h"
#include "view/PictureOptions.h"

namespace quelvar {

namespace {

constexpr int32_t kCallerFFT = 2;
constexpr const char* kSnapshotRefusal = "提示：显示范围太长，内存不足！";
constexpr int kDesignedLeft = 200, kDesignedTop = 150, kDesignedWidth = 640, kDesignedHeight = 460;
constexpr const char* kShowHint = "在\"设置\"面板中选择类型，在\"图形显示\"面板中观察结果";
constexpr const char* kScrollHint = "鼠标右键可改变放大倍数";

QString Q(const std::string& text) { return QString::fromStdString(text); }

QAction* Item(QMenu* menu, const char* name, const char* caption, bool checkable = false) {
  QAction* item = menu->addAction(QString::fromUtf8(caption));
  item->setObjectName(name);
  item->setCheckable(checkable);
  return item;
}

}  // namespace

TFormFFT::TFormFFT(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, TFormMain& main,
                   QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), registry_(registry), ui_(ui), main_(main) {
  setObjectName("FormFFT");
  setWindowTitle(QStringLiteral("内置FFT谱分析面板"));
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  TabSheet1 = new QWidget;
  TabSheet1->setObjectName("TabSheet1");
  TabSheet2 = new QWidget;
  TabSheet2->setObjectName("TabSheet2");
  TabSheet3 = new QWidget;
  TabSheet3->setObjectName("TabSheet3");
  PageControl1->addTab(TabSheet1, QStringLiteral("图形显示"));
  PageControl1->addTab(TabSheet2, QStringLiteral("数字显示"));
  PageControl1->addTab(TabSheet3, QStringLiteral("设置"));

  PaintBox1 = new PaintBox(TabSheet1);
  PaintBox1->setObjectName("PaintBox1");
  PaintBox1->setContextMenuPolicy(Qt::CustomContextMenu);
  PaintBox1->onPaint = [this](QPainter& painter) { PaintBox1Paint(painter); };
  PaintBox1->onMouseDown = [this](Qt::MouseButton b, int x, int y) { PaintBox1MouseDown(b, x, y); };
  PaintBox1->onMouseMove = [this](int x, int y) { PaintBox1MouseMove(x, y); };
  PaintBox1->onMouseUp = [this](Qt::MouseButton, int x, int y) { PaintBox1MouseUp(x, y); };
  HScrollBarPicX = new QScrollBar(Qt::Horizontal, TabSheet1);
  HScrollBarPicX->setObjectName("HScrollBarPicX");
  VScrollBarPicY = new QScrollBar(Qt::Vertical, TabSheet1);
  VScrollBarPicY->setObjectName("VScrollBarPicY");
  VScrollBarPicY->setRange(0, 99);
  for (QScrollBar* bar : {HScrollBarPicX, VScrollBarPicY}) {
    bar->setToolTip(QString::fromUtf8(kScrollHint));
    bar->setContextMenuPolicy(Qt::CustomContextMenu);
  }
  Grid1 = new QTableWidget(TabSheet2);
  Grid1->setObjectName("Grid1");
  Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Grid1->horizontalHeader()->hide();
  Grid1->verticalHeader()->hide();
  Grid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  HScrollBarGridX = new QScrollBar(Qt::Horizontal, TabSheet2);
  HScrollBarGridX->setObjectName("HScrollBarGridX");

  auto* labelLength = new QLabel(QStringLiteral("FFT点数"), TabSheet3);
  labelLength->setGeometry(12, 12, 120, 20);
  EditFFTLength = new QLineEdit(TabSheet3);
  EditFFTLength->setObjectName("EditFFTLength");
  EditFFTLength->setGeometry(12, 34, 100, 24);
  UpDownFFTLength = new QWidget(TabSheet3);
  UpDownFFTLength->setObjectName("UpDownFFTLength");
  UpDownFFTLength->setGeometry(112, 34, 18, 24);
  UpDownFFTLengthUp = new QToolButton(UpDownFFTLength);
  UpDownFFTLengthUp->setArrowType(Qt::UpArrow);
  UpDownFFTLengthUp->setGeometry(0, 0, 18, 12);
  UpDownFFTLengthDown = new QToolButton(UpDownFFTLength);
  UpDownFFTLengthDown->setArrowType(Qt::DownArrow);
  UpDownFFTLengthDown->setGeometry(0, 12, 18, 12);
  auto* labelWindow = new QLabel(QStringLiteral("窗函数类型"), TabSheet3);
  labelWindow->setGeometry(12, 66, 120, 20);
  ComboBoxWindowType = new QComboBox(TabSheet3);
  ComboBoxWindowType->setObjectName("ComboBoxWindowType");
  ComboBoxWindowType->setGeometry(12, 88, 140, 24);
  auto* labelKind = new QLabel(QStringLiteral("分析类型"), TabSheet3);
  labelKind->setGeometry(12, 120, 120, 20);
  ComboBoxResultType = new QComboBox(TabSheet3);
  ComboBoxResultType->setObjectName("ComboBoxResultType");
  ComboBoxResultType->setGeometry(12, 142, 140, 24);
  LabelBandN = new QLabel(QStringLiteral("N="), TabSheet3);
  LabelBandN->setObjectName("LabelBandN");
  LabelBandN->setGeometry(160, 145, 20, 20);
  EditBandN = new QLineEdit(TabSheet3);
  EditBandN->setObjectName("EditBandN");
  EditBandN->setGeometry(182, 142, 40, 24);
  const auto check = [this](const char* name, const char* caption, int y) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), TabSheet3);
    box->setObjectName(name);
    box->setGeometry(240, y, 180, 22);
    return box;
  };
  CheckBoxTopmost = check("CheckBoxTopmost", "顶层窗口", 12);
  CheckBoxOverlap = check("CheckBoxOverlap", "分段数据重叠", 40);
  CheckBoxLog = check("CheckBoxLog", "显示对数结果", 68);
  CheckBoxRealtime = check("CheckBoxRealtime", "录波器下实时谱分析", 96);
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  auto* plotLayout = new QGridLayout(TabSheet1);
  plotLayout->setContentsMargins(0, 0, 3, 3);
  plotLayout->setSpacing(0);
  plotLayout->addWidget(PaintBox1, 0, 0);
  plotLayout->addWidget(VScrollBarPicY, 0, 1);
  plotLayout->addWidget(HScrollBarPicX, 1, 0);
  auto* tableLayout = new QVBoxLayout(TabSheet2);
  tableLayout->setContentsMargins(0, 0, 3, 3);
  tableLayout->setSpacing(0);
  tableLayout->addWidget(Grid1);
  tableLayout->addWidget(HScrollBarGridX);
  auto* windowLayout = new QVBoxLayout(this);
  windowLayout->setContentsMargins(0, 0, 0, 0);
  windowLayout->setSpacing(5);
  auto* pageRow = new QHBoxLayout;
  pageRow->setContentsMargins(0, 0, 5, 0);
  pageRow->addWidget(PageControl1);
  windowLayout->addLayout(pageRow, 1);
  windowLayout->addWidget(StatusBar1);
  PaintBox1->setMinimumSize(20, 20);
  PaintBox1->installEventFilter(this);
  Grid1->installEventFilter(this);

  PopupMenuGraphics = new QMenu(this);
  PopupMenuGraphics->setObjectName("PopupMenuGraphics");
  menuCopyPic = Item(PopupMenuGraphics, "menuCopyPic", "拷贝图形到剪贴板");
  PopupMenuGraphics->addSeparator();
  menuWhiteBG = Item(PopupMenuGraphics, "menuWhiteBG", "白色背景", true);
  menuMultiAxial = Item(PopupMenuGraphics, "menuMultiAxial", "各通道分轴显示", true);
  menuXGrid = Item(PopupMenuGraphics, "menuXGrid", "X网格线", true);
  menuYGrid = Item(PopupMenuGraphics, "menuYGrid", "Y网格线", true);
  menuInstValue = Item(PopupMenuGraphics, "menuInstValue", "瞬时标线", true);
  menuTransparentInst = Item(PopupMenuGraphics, "menuTransparentInst", "读数本底透明", true);
  PopupMenuX = new QMenu(this);
  PopupMenuX->setObjectName("PopupMenuX");
  menuXZoomAll = Item(PopupMenuX, "menuXZoomAll", "X向全显示");
  menuXZoom2 = Item(PopupMenuX, "menuXZoom2", "X向放大2倍");
  menuXZoom5 = Item(PopupMenuX, "menuXZoom5", "X向放大5倍");
  menuXZoom10 = Item(PopupMenuX, "menuXZoom10", "X向放大10倍");
  menuXZoom20 = Item(PopupMenuX, "menuXZoom20", "X向放大20倍");
  menuXZoom50 = Item(PopupMenuX, "menuXZoom50", "X向放大50倍");
  menuXZoomAny = Item(PopupMenuX, "menuXZoomAny", "X向放大?倍(1)");
  PopupMenuX->addSeparator();
  menuXZoomEnlarge = Item(PopupMenuX, "menuXZoomEnlarge", "X向再放大1倍");
  menuXZoomCompress = Item(PopupMenuX, "menuXZoomCompress", "X向再压缩1倍");
  PopupMenuX->addSeparator();
  menuXZoomAnyPoint = Item(PopupMenuX, "menuXZoomAnyPoint", "X向显示?点(100)");
  menuXZoomTwoLine = Item(PopupMenuX, "menuXZoomTwoLine", "显示两标线之间");
  PopupMenuY = new QMenu(this);
  PopupMenuY->setObjectName("PopupMenuY");
  menuYZoomAll = Item(PopupMenuY, "menuYZoomAll", "Y向全显示");
  menuYZoom2 = Item(PopupMenuY, "menuYZoom2", "Y向放大2倍");
  menuYZoom5 = Item(PopupMenuY, "menuYZoom5", "Y向放大5倍");
  menuYZoom10 = Item(PopupMenuY, "menuYZoom10", "Y向放大10倍");
  menuYZoom20 = Item(PopupMenuY, "menuYZoom20", "Y向放大20倍");
  menuYZoom50 = Item(PopupMenuY, "menuYZoom50", "Y向放大50倍");
  menuYZoomAny = Item(PopupMenuY, "menuYZoomAny", "Y向放大?倍(1)");
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(100);

  // Check items toggle themselves before the handler, which toggles again;
  // the click's own toggle is undone first.
  const auto toggleItem = [this](QAction* item, void (TFormFFT::*handler)()) {
    connect(item, &QAction::triggered, this, [this, item, handler] {
      Toggle(item);
      (this->*handler)();
    });
  };
  connect(menuCopyPic, &QAction::triggered, this, [this] { menuCopyPicClick(); });
  toggleItem(menuWhiteBG, &TFormFFT::menuWhiteBGClick);
  toggleItem(menuMultiAxial, &TFormFFT::menuMultiAxialClick);
  toggleItem(menuXGrid, &TFormFFT::menuXGridClick);
  toggleItem(menuYGrid, &TFormFFT::menuYGridClick);
  toggleItem(menuInstValue, &TFormFFT::menuInstValueClick);
  toggleItem(menuTransparentInst, &TFormFFT::menuTransparentInstClick);
  const std::pair<QAction*, void (TFormFFT::*)()> commands[] = {
      {menuXZoomAll, &TFormFFT::menuXZoomAllClick},       {menuXZoom2, &TFormFFT::menuXZoom2Click},
      {menuXZoom5, &TFormFFT::menuXZoom5Click},           {menuXZoom10, &TFormFFT::menuXZoom10Click},
      {menuXZoom20, &TFormFFT::menuXZoom20Click},         {menuXZoom50, &TFormFFT::menuXZoom50Click},
      {menuXZoomAny, &TFormFFT::menuXZoomAnyClick},       {menuXZoomEnlarge, &TFormFFT::menuXZoomEnlargeClick},
      {menuXZoomCompress, &TFormFFT::menuXZoomCompressClick}, {menuXZoomAnyPoint, &TFormFFT::menuXZoomAnyPointClick},
      {menuXZoomTwoLine, &TFormFFT::menuXZoomTwoLineClick}, {menuYZoomAll, &TFormFFT::menuYZoomAllClick},
      {menuYZoom2, &TFormFFT::menuYZoom2Click},           {menuYZoom5, &TFormFFT::menuYZoom5Click},
      {menuYZoom10, &TFormFFT::menuYZoom10Click},         {menuYZoom20, &TFormFFT::menuYZoom20Click},
      {menuYZoom50, &TFormFFT::menuYZoom50Click},         {menuYZoomAny, &TFormFFT::menuYZoomAnyClick},
  };
  for (const auto& [item, handler] : commands) {
    connect(item, &QAction::triggered, this, [this, h = handler] { (this->*h)(); });
  }
  connect(PaintBox1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    PopupMenuGraphics->exec(PaintBox1->mapToGlobal(at));
  });
  connect(HScrollBarPicX, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenuX->exec(HScrollBarPicX->mapToGlobal(at)); });
  connect(VScrollBarPicY, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenuY->exec(VScrollBarPicY->mapToGlobal(at)); });
  connect(HScrollBarPicX, &QScrollBar::valueChanged, this, [this] { HScrollBarPicXChange(); });
  connect(VScrollBarPicY, &QScrollBar::valueChanged, this, [this] { VScrollBarPicYChange(); });
  connect(HScrollBarGridX, &QScrollBar::valueChanged, this, [this] { HScrollBarGridXChange(); });
  connect(CheckBoxTopmost, &QCheckBox::clicked, this, [this] { CheckBoxTopmostClick(); });
  connect(CheckBoxOverlap, &QCheckBox::clicked, this, [this] { CheckBoxOverlapClick(); });
  connect(CheckBoxRealtime, &QCheckBox::clicked, this, [this] { CheckBoxRealtimeClick(); });
  connect(EditFFTLength, &QLineEdit::editingFinished, this, [this] { EditFFTLengthExit(); });
  connect(UpDownFFTLengthUp, &QToolButton::clicked, this, [this] { UpDownFFTLengthClick(true); });
  connect(UpDownFFTLengthDown, &QToolButton::clicked, this, [this] { UpDownFFTLengthClick(false); });
  connect(ComboBoxWindowType, &QComboBox::activated, this, [this] { ComboBoxWindowTypeClick(); });
  connect(ComboBoxResultType, &QComboBox::activated, this, [this] { ComboBoxResultTypeClick(); });
  connect(EditBandN, &QLineEdit::editingFinished, this, [this] { EditBandNExit(); });
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
    if (index != 0) TabSheet1Hide();
    if (index == 0) TabSheet1Show();
    if (index == 1) TabSheet2Show();
  });
  FormCreate();
}

TFormFFT::~TFormFFT() { FormDestroy(); }

void TFormFFT::Toggle(QAction* item) { item->setChecked(!item->isChecked()); }

void TFormFFT::FormCreate() {
  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  PlotBitmap = QImage(std::max(PaintBox1->width(), 1), std::max(PaintBox1->height(), 1), QImage::Format_RGB32);
  for (const char* name : kWindowKindNames) ComboBoxWindowType->addItem(QString::fromUtf8(name));
  for (const char* name : kAnalysisKindNames) ComboBoxResultType->addItem(QString::fromUtf8(name));
  Settings = LoadFftPanelSettings(registry_, state_.startup.AppKeyName);
  CheckBoxTopmost->setChecked(Settings.Topmost);
  KeepOnTop();
  EditFFTLength->setText(QString::number(Settings.Engine.FFTLength));
  // The variable keeps a stored kind the list cannot show.
  const int32_t window = Settings.Engine.FFTWindowType;
  ComboBoxWindowType->setCurrentIndex(window >= 0 && window < kWindowKinds ? window : -1);
  ComboBoxResultType->setCurrentIndex(Settings.Engine.FFTResultType);
  ComboBoxResultTypeClick();
  menuMultiAxial->setChecked(Settings.MultiAxial);
  CheckBoxOverlap->setChecked(Settings.Engine.DataOverlap);
  CheckBoxLog->setChecked(Settings.LogAxial);
  CheckBoxRealtime->setChecked(Settings.Engine.RealtimeSpectrum);
  menuXGrid->setChecked(Settings.XGridOn);
  menuYGrid->setChecked(Settings.YGridOn);
  menuInstValue->setChecked(Settings.InstValueOn);
  menuTransparentInst->setChecked(Settings.InstTransparentOn);
  menuWhiteBG->setChecked(Settings.WhiteBG);
  EditBandN->setText(QString::number(Settings.Engine.BandN));
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormFFT");
  Grid1->setColumnCount(GridColumns + 1);
  Grid1->setRowCount(2);
  Grid1->setColumnWidth(0, 80);
  PlotBitmap.fill(Qt::black);
  menuXZoomAny->setText(Q(XZoomAnyCaption(Settings.XZoom)));
  menuXZoomAnyPoint->setText(Q(XZoomAnyPointCaption(Settings.XPoints)));
  menuYZoomAny->setText(Q(YZoomAnyCaption(Settings.YZoom)));
  Result.StatusText = "没有数据！";
  FormResize();
}

void TFormFFT::ReadControls() {
  Settings.Topmost = CheckBoxTopmost->isChecked();
  Settings.MultiAxial = menuMultiAxial->isChecked();
  Settings.Engine.DataOverlap = CheckBoxOverlap->isChecked();
  Settings.LogAxial = CheckBoxLog->isChecked();
  Settings.Engine.RealtimeSpectrum = CheckBoxRealtime->isChecked();
  Settings.XGridOn = menuXGrid->isChecked();
  Settings.YGridOn = menuYGrid->isChecked();
  Settings.InstValueOn = menuInstValue->isChecked();
  Settings.InstTransparentOn = menuTransparentInst->isChecked();
  Settings.WhiteBG = menuWhiteBG->isChecked();
}

void TFormFFT::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  pending_.reset();
  worker_.Cancel();
  Timer1->stop();
  ReadControls();
  SaveFftPanelSettings(registry_, state_.startup.AppKeyName, Settings);
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormFFT");
  engine_.reset();
}

void TFormFFT::KeepOnTop() {
  const bool onTop = CheckBoxTopmost->isChecked();
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
  // Changing a shown window's flags hides it; it comes back at once.
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (shown) show();
}

bool TFormFFT::PlotTabActive() const { return PageControl1->currentIndex() == 0; }

SpectrumRequest TFormFFT::MakeRequest(std::vector<int32_t>& keys) const {
  const LiveConfig& c = state_.config;
  const WaveViewState& v = state_.wave;
  const bool pageScope = v.Options.Scope == ChannelScope::Page;
  const SpectrumChannels chosen = SelectSpectrumChannels(state_.display.DataSourceMode, state_.oscilTool, v,
                                                         c.Analog_Num, pageScope ? nullptr : c.AnalogDisplayOrder.data());
  SpectrumRequest request;
  request.RunState = state_.RunState;
  request.MaxBlock = c.MaxBlock;
  request.TwoTrace = chosen.twoTrace;
  request.AnalogChannels = chosen.analog;
  request.SwitchChannels = chosen.switches;
  request.ColourKeys = chosen.keys;
  request.XPosition = v.XPosition;
  request.DisplayWidth = v.DisplayWidth;
  keys = chosen.keys;
  return request;
}

void TFormFFT::Analyse() {
  if (!engine_) engine_ = std::make_unique<SpectrumEngine>();
  ReadControls();
  std::vector<int32_t> keys;
  const SpectrumRequest request = MakeRequest(keys);
  ChannelValueSource values{state_.config, state_.torque, state_.display, state_.layout};
  const SpectrumSource live = MakeSpectrumSource(values);
  if (EstimateSpectrumWork(Settings.Engine, live, request) <= syncWorkLimit_) {
    // A request that runs at once supersedes those on the worker.
    pending_.reset();
    worker_.Cancel();
    AnalysisDone(engine_->Analyse(Settings.Engine, live, request, Result));
    return;
  }
  // A finished result still queued for showing is shown now: starting the
  // next analysis would drop it, and under a stream of requests no result
  // might ever be shown.
  std::string finished;
  if (worker_.Take(Result, finished)) AnalysisDone(finished);
  // The samples are copied here, on the thread that owns them; the worker
  // reads only the copy. The last result stays on show meanwhile.
  SpectrumSnapshot snapshot;
  try {
    snapshot = TakeSpectrumSnapshot(live, Settings.Engine, request);
  } catch (const std::bad_alloc&) {
    // A shown range too long to copy: nothing is started, the last result
    // stays, and the status bar says why.
    ShowStatus(kSnapshotRefusal);
    return;
  }
  if (worker_.Running() && worker_.Progress() >= finishThreshold_) {
    // Nearly done: it finishes, and this request (replacing any other
    // waiting one) starts after it.
    pending_ = std::make_unique<PendingAnalysis>(PendingAnalysis{Settings.Engine, std::move(snapshot), request});
    return;
  }
  pending_.reset();
  StartOnWorker(Settings.Engine, std::move(snapshot), request);
}

void TFormFFT::StartOnWorker(const FftSettings& settings, SpectrumSnapshot snapshot, const SpectrumRequest& request) {
  worker_.Start(
      settings, std::move(snapshot), request, Result,
      [this](double fraction) {
        const int percent = static_cast<int>(fraction * 100.0);
        QMetaObject::invokeMethod(this, [this, percent] { ShowProgress(percent); }, Qt::QueuedConnection);
      },
      [this] { QMetaObject::invokeMethod(this, [this] { AnalysisFinished(); }, Qt::QueuedConnection); });
  ShowProgress(0);
}

void TFormFFT::ShowProgress(int percent) {
  if (!worker_.Busy()) return;
  ShowStatus("提示：频谱分析进行中... " + std::to_string(percent) + "%");
}

void TFormFFT::AnalysisFinished() {
  std::string status;
  if (worker_.Take(Result, status)) AnalysisDone(status);
  if (pending_ && !worker_.Running()) {
    const std::unique_ptr<PendingAnalysis> next = std::move(pending_);
    StartOnWorker(next->settings, std::move(next->snapshot), next->request);
  }
}

void TFormFFT::WaitForAnalysis() {
  do {
    worker_.Join();
    AnalysisFinished();
  } while (worker_.Running() || pending_);
}

void TFormFFT::ShowStatus(const std::string& text) { StatusBar1->showMessage(Q(text)); }

void TFormFFT::AnalysisDone(const std::string& status) {
  ShowStatus(status);
  if (Result.Valid == 0) {
    if (PlotTabActive()) RequestRedraw();
    if (PageControl1->currentIndex() == 1) FillGridHeader();
    return;
  }
  preview_.reset();
  if (PlotTabActive()) {
    SetupScrollBars();
    DrawToScreen();
    // A panel shown before there was a result has no timer yet, and the
    // scroll bars' and menus' redraw requests would wait for a tab change.
    if (isVisible() && !Timer1->isActive()) Timer1->start();
  } else {
    FillGridHeader();
  }
}

FrequencyPlotView TFormFFT::ViewOfControls() const {
  FrequencyPlotView view;
  CopyZoomToView(Settings, view);
  view.MultiAxial = menuMultiAxial->isChecked();
  view.XGrid = menuXGrid->isChecked();
  view.YGrid = menuYGrid->isChecked();
  view.InstValue = menuInstValue->isChecked();
  view.TransparentInst = menuTransparentInst->isChecked();
  view.Log = CheckBoxLog->isChecked();
  view.HScroll = HScrollBarPicX->value();
  view.VScroll = VScrollBarPicY->value();
  return view;
}

void TFormFFT::TakeBackView(const FrequencyPlotView& view) {
  if (!view.Log && CheckBoxLog->isChecked()) CheckBoxLog->setChecked(false);
  const QSignalBlocker block(HScrollBarPicX);
  HScrollBarPicX->setValue(view.HScroll);
}

void TFormFFT::SetupScrollBars() {
  const int32_t maximum = SetupFrequencyPlot(Result, ViewOfControls(), Plot);
  const QSignalBlocker block(HScrollBarPicX);
  HScrollBarPicX->setRange(0, maximum);
}

void TFormFFT::RequestRedraw() {
  if (Result.Valid != 0) {
    SetupScrollBars();
    Result.RedrawPending = 1;
    return;
  }
  PaintStatusText();
}

void TFormFFT::PaintStatusText() {
  preview_.reset();
  if (PlotBitmap.isNull()) return;
  platform::QtCanvas canvas(PlotBitmap);
  const LiveConfig& c = state_.config;
  canvas.SetFont({c.ScreenFontName, c.ScreenFontSize, c.ScreenFontStyle, platform::kWhite});
  DrawFrequencyMessage(canvas, Result.StatusText);
  PaintBox1->update();
}

void TFormFFT::DrawSpectrum(platform::Canvas& canvas, bool toMetafile, bool whiteBackground, bool colour) {
  FrequencyPlotView view = ViewOfControls();
  if (toMetafile) {
    FrequencyPlotState plot = Plot;
    DrawFrequencyPlot(canvas, Result, view, plot, state_.config, {whiteBackground, colour});
  } else {
    DrawFrequencyPlot(canvas, Result, view, Plot, state_.config, {whiteBackground, colour});
  }
  TakeBackView(view);
}

void TFormFFT::DrawReadout(platform::Canvas& canvas, bool whiteBackground) {
  if (Result.Valid == 0 || Result.Drawn == 0 || !menuInstValue->isChecked()) return;
  DrawFrequencyReadout(canvas, Result, ViewOfControls(), Plot, state_.config, whiteBackground);
}

void TFormFFT::DrawToScreen() {
  if (Result.Valid == 0) {
    PaintStatusText();
    return;
  }
  preview_.reset();
  {
    platform::QtCanvas canvas(PlotBitmap);
    const LiveConfig& c = state_.config;
    canvas.SetFont({c.ScreenFontName, c.ScreenFontSize, c.ScreenFontStyle, platform::kBlack});
    DrawSpectrum(canvas, false, menuWhiteBG->isChecked(), true);
  }
  Result.Drawn = 1;
  PaintBox1->update();
  Result.RedrawPending = 0;
}

QImage TFormFFT::ShownImage() {
  if (preview_) return *preview_;
  QImage shown = PlotBitmap.copy();
  if (shown.isNull()) return shown;
  platform::QtCanvas canvas(shown);
  const LiveConfig& c = state_.config;
  canvas.SetFont({c.ScreenFontName, c.ScreenFontSize, c.ScreenFontStyle, platform::kBlack});
  // The readout brings the marks back into the visible points.
  DrawReadout(canvas, menuWhiteBG->isChecked());
  return shown;
}

void TFormFFT::PaintBox1Paint(QPainter& painter) { painter.drawImage(0, 0, ShownImage()); }

void TFormFFT::ShowPictureOverPaintBox(const platform::Picture& picture) {
  preview_ = platform::PictureOnWhite(PaintBox1->size(), picture);
  PaintBox1->update();
}

void TFormFFT::FormShow() {
  if (!engine_) engine_ = std::make_unique<SpectrumEngine>();
  if (oscilTool_ != nullptr) oscilTool_->CheckBoxFFT->setChecked(true);
  ShowStatus(kShowHint);
  const bool recording = state_.RunState == kRunRecording;
  if (state_.display.DispValid != 0 &&
      (!recording || state_.config.MaxBlock == 1 || CheckBoxRealtime->isChecked())) {
    Analyse();
  }
  if (Result.Valid != 0 && PlotTabActive()) Timer1->start();
}

void TFormFFT::FormHide() {
  if (oscilTool_ != nullptr) oscilTool_->CheckBoxFFT->setChecked(false);
  Timer1->stop();
  // Nobody looks at a hidden panel's analysis.
  pending_.reset();
  worker_.Cancel();
}

void TFormFFT::FormResize() {
  // The layouts place the controls (the page control fills the window less
  // 5 pixels at the right and above the status bar; the paint box and the
  // table fill their tabs beside their scroll bars); the bitmap follows the
  // paint box.
  PlotBitmap = QImage(std::max(PaintBox1->width(), 1), std::max(PaintBox1->height(), 1), QImage::Format_RGB32);
  PlotBitmap.fill(Qt::black);
  preview_.reset();
  if (Result.Valid != 0) {
    RequestRedraw();
  } else {
    PaintStatusText();
  }
}

bool TFormFFT::eventFilter(QObject* watched, QEvent* event) {
  if (watched == PaintBox1 && event->type() == QEvent::Resize) FormResize();
  if (watched == Grid1 && event->type() == QEvent::Resize && Result.Valid != 0 && !PlotTabActive()) FillGridHeader();
  return QWidget::eventFilter(watched, event);
}

void TFormFFT::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TFormFFT::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

void TFormFFT::TabSheet1Show() {
  if (Result.Valid != 0) Analyse();
  RequestRedraw();
  Timer1->start();
}

void TFormFFT::TabSheet1Hide() { Timer1->stop(); }

void TFormFFT::TabSheet2Show() {
  if (Result.Valid != 0) Analyse();
  FillGridHeader();
}

void TFormFFT::Timer1Timer() {
  if (Result.Valid != 0 && Result.RedrawPending != 0) {
    Result.RedrawPending = 0;
    DrawToScreen();
  }
}

void TFormFFT::HScrollBarPicXChange() {
  if (Result.Valid != 0) Result.RedrawPending = 1;
}

void TFormFFT::VScrollBarPicYChange() {
  if (Result.Valid != 0) Result.RedrawPending = 1;
}

void TFormFFT::HScrollBarGridXChange() { FillGridValues(); }

void TFormFFT::CheckBoxTopmostClick() { KeepOnTop(); }

void TFormFFT::CheckBoxOverlapClick() { Settings.Engine.DataOverlap = CheckBoxOverlap->isChecked(); }

void TFormFFT::CheckBoxRealtimeClick() { Settings.Engine.RealtimeSpectrum = CheckBoxRealtime->isChecked(); }

void TFormFFT::EditFFTLengthExit() {
  Settings.Engine.FFTLength = FftLengthFromText(EditFFTLength->text().toStdString(), Settings.Engine.FFTLength);
  EditFFTLength->setText(QString::number(Settings.Engine.FFTLength));
}

void TFormFFT::UpDownFFTLengthClick(bool up) {
  EditFFTLength->setText(QString::number(StepFftLength(Settings.Engine.FFTLength, up)));
  EditFFTLengthExit();
}

void TFormFFT::ComboBoxWindowTypeClick() { Settings.Engine.FFTWindowType = ComboBoxWindowType->currentIndex(); }

void TFormFFT::ComboBoxResultTypeClick() {
  Settings.Engine.FFTResultType = AnalysisKindFromList(ComboBoxResultType->currentIndex());
  const bool bands = Settings.Engine.FFTResultType == kOctaveBands;
  LabelBandN->setVisible(bands);
  EditBandN->setVisible(bands);
}

void TFormFFT::EditBandNExit() {
  Settings.Engine.BandN = BandNFromText(EditBandN->text().toStdString());
  EditBandN->setText(QString::number(Settings.Engine.BandN));
}

void TFormFFT::ToggleAndRedraw(QAction* item) {
  Toggle(item);
  ReadControls();
  if (Result.Valid != 0) Result.RedrawPending = 1;
}

void TFormFFT::menuWhiteBGClick() { ToggleAndRedraw(menuWhiteBG); }
void TFormFFT::menuMultiAxialClick() { ToggleAndRedraw(menuMultiAxial); }
void TFormFFT::menuXGridClick() { ToggleAndRedraw(menuXGrid); }
void TFormFFT::menuYGridClick() { ToggleAndRedraw(menuYGrid); }
void TFormFFT::menuInstValueClick() { ToggleAndRedraw(menuInstValue); }
void TFormFFT::menuTransparentInstClick() { ToggleAndRedraw(menuTransparentInst); }

void TFormFFT::PaintBox1MouseDown(Qt::MouseButton button, int x, int y) {
  if (button == Qt::RightButton || Result.Valid == 0 || !menuInstValue->isChecked()) return;
  PressMark(Plot, x, y);
  preview_.reset();
  PaintBox1->update();
}

void TFormFFT::PaintBox1MouseMove(int x, int y) {
  if (Plot.Dragging == 0 || Result.Valid == 0 || !menuInstValue->isChecked()) return;
  MoveMark(Plot, Plot.DraggedMark, x, y);
  PaintBox1->update();
}

void TFormFFT::PaintBox1MouseUp(int, int) { Plot.Dragging = 0; }

void TFormFFT::ZoomDone() {
  menuXZoomAny->setText(Q(XZoomAnyCaption(Settings.XZoom)));
  menuXZoomAnyPoint->setText(Q(XZoomAnyPointCaption(Settings.XPoints)));
  menuYZoomAny->setText(Q(YZoomAnyCaption(Settings.YZoom)));
  RequestRedraw();
}

void TFormFFT::ApplyXZoom(int32_t factor) {
  quelvar::ApplyXZoom(Settings, factor, Result.NumPoints);
  ZoomDone();
}

void TFormFFT::menuXZoomAllClick() { ApplyXZoom(1); }
void TFormFFT::menuXZoom2Click() { ApplyXZoom(2); }
void TFormFFT::menuXZoom5Click() { ApplyXZoom(5); }
void TFormFFT::menuXZoom10Click() { ApplyXZoom(10); }
void TFormFFT::menuXZoom20Click() { ApplyXZoom(20); }
void TFormFFT::menuXZoom50Click() { ApplyXZoom(50); }

void TFormFFT::menuXZoomAnyClick() {
  const auto answer = ui_.InputBox("请输入", "X向放大倍数：  ", std::to_string(Settings.XZoom));
  if (!answer) return;
  ApplyXZoom(ParseDialogInteger(*answer).value_or(Settings.XZoom));
}

void TFormFFT::menuXZoomEnlargeClick() {
  XZoomEnlarge(Settings, Result.NumPoints);
  ZoomDone();
}

void TFormFFT::menuXZoomCompressClick() {
  XZoomCompress(Settings, Result.NumPoints);
  ZoomDone();
}

void TFormFFT::menuXZoomAnyPointClick() {
  const auto answer = ui_.InputBox("请输入", "X向显示点数：  ", std::to_string(Settings.XPoints));
  if (!answer) return;
  XZoomShowPoints(Settings, ParseDialogInteger(*answer).value_or(Settings.XPoints), Result.NumPoints);
  ZoomDone();
}

void TFormFFT::menuXZoomTwoLineClick() {
  if (Result.Valid == 0 || Result.Drawn == 0 || !menuInstValue->isChecked()) return;
  int32_t first = Plot.FirstVisiblePoint;
  XZoomBetweenMarks(Settings, Plot, Result.NumPoints, first);
  {
    const QSignalBlocker block(HScrollBarPicX);
    HScrollBarPicX->setValue(first);
  }
  ZoomDone();
}

void TFormFFT::menuYZoomAllClick() {
  ApplyYZoom(Settings, 1);
  ZoomDone();
}
void TFormFFT::menuYZoom2Click() {
  ApplyYZoom(Settings, 2);
  ZoomDone();
}
void TFormFFT::menuYZoom5Click() {
  ApplyYZoom(Settings, 5);
  ZoomDone();
}
void TFormFFT::menuYZoom10Click() {
  ApplyYZoom(Settings, 10);
  ZoomDone();
}
void TFormFFT::menuYZoom20Click() {
  ApplyYZoom(Settings, 20);
  ZoomDone();
}
void TFormFFT::menuYZoom50Click() {
  ApplyYZoom(Settings, 50);
  ZoomDone();
}

void TFormFFT::menuYZoomAnyClick() {
  const auto answer = ui_.InputBox("请输入", "Y向放大倍数：  ", std::to_string(Settings.YZoom));
  if (!answer) return;
  ApplyYZoom(Settings, ParseDialogInteger(*answer).value_or(Settings.YZoom));
  ZoomDone();
}

void TFormFFT::menuCopyPicClick() {
  if (Result.Valid == 0) return;
  TFormGraphType& dialog = main_.GraphTypeDialog();
  dialog.SetCallerPreview(kCallerFFT, [this] {
    DrawToMetafile(state_.config.IDBGWhite);
    ShowPictureOverPaintBox(main_.SharedPicture());
  });
  dialog.FillFromOptions();
  dialog.Caller = kCallerFFT;
  dialog.setWindowTitle(QStringLiteral("图形格式选项-内置FFT分析"));
  const int result = ui_.ShowModal(dialog);
  if (result != platform::kModalOk) {
    Result.RedrawPending = 1;
    return;
  }
  if (state_.config.GraphMetafile != 0) {
    DrawToMetafile(state_.config.IDBGWhite);
    ui_.SetClipboardPicture(main_.SharedPicture());
    Result.RedrawPending = 1;
  } else {
    ui_.SetClipboardPicture(platform::QtPicture(PlotBitmap.copy()));
  }
}

void TFormFFT::DrawToMetafile(int32_t whiteBackground) {
  const LiveConfig& c = state_.config;
  std::unique_ptr<platform::QtCanvas> canvas =
      main_.OpenSharedPictureCanvas({PaintBox1->width(), PaintBox1->height()}, logicalDpiY());
  // No marks in a picture.
  DrawSpectrum(*canvas, true, whiteBackground == 1, c.IsColor != 0);
}

void TFormFFT::FillGridHeader() {
  Grid1->clearContents();
  if (Result.Valid == 0) {
    Grid1->setColumnCount(std::max(Grid1->columnCount(), 2));
    Grid1->setRowCount(std::max(Grid1->rowCount(), 2));
    Grid1->setItem(1, 1, new QTableWidgetItem(Q(Result.StatusText)));
    return;
  }
  // The table follows the plot's rule: no dB of a value not above 0.
  SetupFrequencyPlot(Result, ViewOfControls(), Plot);
  if (!LogDisplayPossible(Plot)) CheckBoxLog->setChecked(false);
  GridColumns = TableColumns(Grid1->width(), Grid1->horizontalHeader()->defaultSectionSize());
  Grid1->setColumnCount(GridColumns + 1);
  Grid1->setRowCount(Result.NumCurves + 1);
  Grid1->setColumnWidth(0, 80);
  {
    const QSignalBlocker block(HScrollBarGridX);
    HScrollBarGridX->setRange(0, std::max(Result.NumPoints - 1, 0));
  }
  const bool log = CheckBoxLog->isChecked();
  Grid1->setItem(0, 0, new QTableWidgetItem(Q(Result.XLabel)));
  for (int32_t k = 0; k < Result.NumCurves; ++k) {
    Grid1->setItem(k + 1, 0, new QTableWidgetItem(Q(TableHeader(Result, k, log))));
  }
  FillGridValues();
}

void TFormFFT::FillGridValues() {
  if (Result.Valid == 0) return;
  const int32_t first = TableFirstPoint(HScrollBarGridX->value(), Result.NumPoints, GridColumns);
  const bool log = CheckBoxLog->isChecked();
  for (int32_t i = 0; i < GridColumns; ++i) {
    for (int32_t row = 0; row <= Result.NumCurves && row < Grid1->rowCount(); ++row) {
      Grid1->setItem(row, i + 1, new QTableWidgetItem(Q(TableCell(Result, row, first + i, log))));
    }
  }
}

}  // namespace quelvar
