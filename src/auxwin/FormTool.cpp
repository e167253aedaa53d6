#include "auxwin/FormTool.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <utility>
#include <vector>

#include "platform/qt/QtText.h"
#include "shell/WindowPlace.h"
#include "view/Palette.h"

namespace quelvar {

namespace {

QColor ColorOf(uint32_t bgr) {
  // Palette entries are 0x00BBGGRR.
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

QCheckBox* Check(QWidget* parent, const char* name, const char* caption, const char* hint = nullptr) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setObjectName(name);
  if (hint != nullptr) box->setToolTip(QString::fromUtf8(hint));
  return box;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption, const char* hint) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  button->setToolTip(QString::fromUtf8(hint));
  return button;
}

void SetQuietly(QLineEdit* edit, const std::string& text) {
  const QSignalBlocker quiet(edit);
  if (edit->text() != Q(text)) edit->setText(Q(text));
}

template <class Slider>
void SetQuietly(Slider* control, int value) {
  const QSignalBlocker quiet(control);
  control->setValue(value);
}

void ShowAsMenu(QWidget* owner, QMenu* menu) {
  owner->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(owner, &QWidget::customContextMenuRequested, menu,
                   [owner, menu](const QPoint& at) { menu->popup(owner->mapToGlobal(at)); });
}

using Handler = void (TFormTool::*)();
using ActionMember = QAction* TFormTool::*;

struct OffsetItem {
  const char* name;  // after "menu1" / "menu2"
  const char* caption;
};
constexpr OffsetItem kOffsetItems[] = {
    {"YOffset0", "置0"},         {"YOffsetUp1", "上移一格"},   {"YOffsetUp2", "上移二格"},
    {"YOffsetUp4", "上移四格"},   {"YOffsetUp8", "上移八格"},   {"YOffsetDown1", "下移一格"},
    {"YOffsetDown2", "下移二格"}, {"YOffsetDown4", "下移四格"}, {"YOffsetDown8", "下移八格"},
};
constexpr std::array<std::array<ActionMember, 9>, 2> kOffsetActions = {{
    {&TFormTool::menu1YOffset0, &TFormTool::menu1YOffsetUp1, &TFormTool::menu1YOffsetUp2, &TFormTool::menu1YOffsetUp4,
     &TFormTool::menu1YOffsetUp8, &TFormTool::menu1YOffsetDown1, &TFormTool::menu1YOffsetDown2,
     &TFormTool::menu1YOffsetDown4, &TFormTool::menu1YOffsetDown8},
    {&TFormTool::menu2YOffset0, &TFormTool::menu2YOffsetUp1, &TFormTool::menu2YOffsetUp2, &TFormTool::menu2YOffsetUp4,
     &TFormTool::menu2YOffsetUp8, &TFormTool::menu2YOffsetDown1, &TFormTool::menu2YOffsetDown2,
     &TFormTool::menu2YOffsetDown4, &TFormTool::menu2YOffsetDown8},
}};
constexpr std::array<std::array<Handler, 9>, 2> kOffsetHandlers = {{
    {&TFormTool::menu1YOffset0Click, &TFormTool::menu1YOffsetUp1Click, &TFormTool::menu1YOffsetUp2Click,
     &TFormTool::menu1YOffsetUp4Click, &TFormTool::menu1YOffsetUp8Click, &TFormTool::menu1YOffsetDown1Click,
     &TFormTool::menu1YOffsetDown2Click, &TFormTool::menu1YOffsetDown4Click, &TFormTool::menu1YOffsetDown8Click},
    {&TFormTool::menu2YOffset0Click, &TFormTool::menu2YOffsetUp1Click, &TFormTool::menu2YOffsetUp2Click,
     &TFormTool::menu2YOffsetUp4Click, &TFormTool::menu2YOffsetUp8Click, &TFormTool::menu2YOffsetDown1Click,
     &TFormTool::menu2YOffsetDown2Click, &TFormTool::menu2YOffsetDown4Click, &TFormTool::menu2YOffsetDown8Click},
}};

struct CouplingItem {
  const char* name;  // before the trace number
  const char* caption;
};
constexpr CouplingItem kCouplingItems[] = {
    {"menuAC", "交流模式"}, {"menuDC", "直流模式"}, {"menuGND", "接地模式"}, {"menuAutoScale", "自动量程"}};
constexpr std::array<std::array<ActionMember, 4>, 2> kCouplingActions = {{
    {&TFormTool::menuAC1, &TFormTool::menuDC1, &TFormTool::menuGND1, &TFormTool::menuAutoScale1},
    {&TFormTool::menuAC2, &TFormTool::menuDC2, &TFormTool::menuGND2, &TFormTool::menuAutoScale2},
}};
constexpr std::array<std::array<Handler, 4>, 2> kCouplingHandlers = {{
    {&TFormTool::menuAC1Click, &TFormTool::menuDC1Click, &TFormTool::menuGND1Click, &TFormTool::menuAutoScale1Click},
    {&TFormTool::menuAC2Click, &TFormTool::menuDC2Click, &TFormTool::menuGND2Click, &TFormTool::menuAutoScale2Click},
}};

}  // namespace

TFormTool::TFormTool(AppState& state, platform::RegistryStore& registry, QWidget* parent)
    : QWidget(parent, Qt::Tool), state_(state), registry_(registry) {
  setObjectName("FormTool");
  setWindowTitle(QStringLiteral("示波器操作面板"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(2);
  BuildTrace(1, layout);
  BuildTrace(2, layout);

  GroupBoxFixPhase = new QGroupBox(QStringLiteral("锁相"), this);
  GroupBoxFixPhase->setObjectName("GroupBoxFixPhase");
  auto* fix = new QGridLayout(GroupBoxFixPhase);
  ButtonFixChn = Button(GroupBoxFixPhase, "ButtonFixChn", "踪1", "锁相通道");
  ButtonFixMode = Button(GroupBoxFixPhase, "ButtonFixMode", "无", "锁相方式");
  VScrollBarFixVolt = new QScrollBar(Qt::Vertical, GroupBoxFixPhase);
  VScrollBarFixVolt->setObjectName("VScrollBarFixVolt");
  VScrollBarFixVolt->setToolTip(QStringLiteral("锁相电平"));
  EditFixVolt = new QLineEdit(GroupBoxFixPhase);
  EditFixVolt->setObjectName("EditFixVolt");
  EditFixVolt->setToolTip(QStringLiteral("阈值AD电压:V"));
  fix->addWidget(ButtonFixChn, 0, 0);
  fix->addWidget(ButtonFixMode, 1, 0);
  fix->addWidget(EditFixVolt, 2, 0);
  fix->addWidget(VScrollBarFixVolt, 0, 1, 3, 1);
  layout->addWidget(GroupBoxFixPhase);
  connect(ButtonFixChn, &QPushButton::clicked, this, [this] { ButtonFixChnClick(); });
  connect(ButtonFixMode, &QPushButton::clicked, this, [this] { ButtonFixModeClick(); });
  connect(VScrollBarFixVolt, &QScrollBar::valueChanged, this, [this] { VScrollBarFixVoltChange(); });
  connect(EditFixVolt, &QLineEdit::editingFinished, this, [this] { EditFixVoltExit(); });

  CheckBoxTop = Check(this, "CheckBoxTop", "浮动", "选中时本面板浮动");
  Edit_Interval = new QLineEdit(this);
  Edit_Interval->setObjectName("Edit_Interval");
  Edit_Interval->setToolTip(QStringLiteral("刷新周期ms"));
  CheckBoxMeasureTime = Check(this, "CheckBoxMeasureTime", "时间标线", "度量时间间隔");
  CheckBoxMeasureVolt = Check(this, "CheckBoxMeasureVolt", "电压标线", "度量电压差值");
  CheckBoxZoom = Check(this, "CheckBoxZoom", "波形局部", "细化时标线之间波形");
  CheckBoxAdd = Check(this, "CheckBoxAdd", "信号叠加", "两通道波形相加");
  CheckBoxSub = Check(this, "CheckBoxSub", "信号相减", "通道波形相减");
  CheckBoxXY = Check(this, "CheckBoxXY", "X-Y图", "选中时出现实时X-Y图形窗口");
  CheckBoxFFT = Check(this, "CheckBoxFFT", "FFT", "选中时出现实时FFT窗口");
  // Each box waits for its window (SetXYDisplay, SetFFTPanel).
  CheckBoxXY->setEnabled(false);
  CheckBoxFFT->setEnabled(false);
  // Two columns, so the panel stays about as small as its designed size.
  auto* options = new QGridLayout;
  QWidget* const order[] = {CheckBoxTop, Edit_Interval, CheckBoxMeasureTime, CheckBoxMeasureVolt, CheckBoxZoom,
                            CheckBoxAdd, CheckBoxSub,   CheckBoxXY,    CheckBoxFFT};
  for (int i = 0; i < static_cast<int>(std::size(order)); ++i) {
    options->addWidget(order[i], i / 2, i % 2);
  }
  layout->addLayout(options);
  connect(CheckBoxTop, &QCheckBox::clicked, this, [this] { CheckBoxTopClick(); });
  connect(Edit_Interval, &QLineEdit::editingFinished, this, [this] { Edit_IntervalExit(); });
  connect(CheckBoxMeasureTime, &QCheckBox::clicked, this, [this] { CheckBoxMeasureTimeClick(); });
  connect(CheckBoxMeasureVolt, &QCheckBox::clicked, this, [this] { CheckBoxMeasureVoltClick(); });
  connect(CheckBoxZoom, &QCheckBox::clicked, this, [this] { CheckBoxZoomClick(); });
  connect(CheckBoxAdd, &QCheckBox::clicked, this, [this] { CheckBoxAddClick(); });
  connect(CheckBoxSub, &QCheckBox::clicked, this, [this] { CheckBoxSubClick(); });
  connect(CheckBoxXY, &QCheckBox::clicked, this, [this] { CheckBoxXYClick(); });
  connect(CheckBoxFFT, &QCheckBox::clicked, this, [this] { CheckBoxFFTClick(); });
  FormCreate();
}

void TFormTool::BuildTrace(int trace, QVBoxLayout* layout) {
  const std::string n = std::to_string(trace);
  const auto named = [&n](const char* name) { return QString::fromStdString(name + n); };
  auto* group = new QGroupBox(Q("踪" + n), this);
  group->setObjectName(named("GroupBoxChn"));
  auto* grid = new QGridLayout(group);
  auto* use = Check(group, ("CheckBoxUseChn" + n).c_str(), "使用");
  auto* channel = new QLineEdit(group);
  channel->setObjectName(named("EditChn"));
  auto* channelUpDown = new QSpinBox(group);
  channelUpDown->setObjectName(named("UpDownChn"));
  channelUpDown->setWrapping(true);
  auto* coupling = Button(group, ("ButtonACDC" + n).c_str(), "自动", "交流/直流/接地/自动量程");
  auto* couplingMenu = new QMenu(coupling);
  couplingMenu->setObjectName(named("PopupMenuACDC"));
  const size_t t = static_cast<size_t>(trace - 1);
  for (size_t k = 0; k < kCouplingActions[t].size(); ++k) {
    QAction* item = couplingMenu->addAction(QString::fromUtf8(kCouplingItems[k].caption));
    item->setObjectName(named(kCouplingItems[k].name));
    item->setCheckable(true);
    this->*kCouplingActions[t][k] = item;
    connect(item, &QAction::triggered, this, [this, handler = kCouplingHandlers[t][k]] { (this->*handler)(); });
  }
  ShowAsMenu(coupling, couplingMenu);
  auto* sign = Button(group, ("ButtonNegative" + n).c_str(), "正", "正/负相");
  auto* offset = new QScrollBar(Qt::Vertical, group);
  offset->setObjectName(named("VScrollBarYOffset"));
  offset->setToolTip(QStringLiteral("Y偏移"));
  offset->setRange(-kOscilOffsetLimit, kOscilOffsetLimit);
  auto* offsetMenu = new QMenu(offset);
  offsetMenu->setObjectName(named("PopupMenuYOffset"));
  for (size_t k = 0; k < kOffsetActions[t].size(); ++k) {
    QAction* item = offsetMenu->addAction(QString::fromUtf8(kOffsetItems[k].caption));
    item->setObjectName(Q("menu" + n + kOffsetItems[k].name));
    this->*kOffsetActions[t][k] = item;
    connect(item, &QAction::triggered, this, [this, handler = kOffsetHandlers[t][k]] { (this->*handler)(); });
  }
  ShowAsMenu(offset, offsetMenu);
  auto* zoomUpDown = new QSpinBox(group);
  zoomUpDown->setObjectName(named("UpDownYZoom"));
  zoomUpDown->setRange(kZoomStepFirst, kZoomStepLast);
  auto* zoomLabel = new QLabel(QStringLiteral("2.000"), group);
  zoomLabel->setObjectName(named("LabelYZoom"));
  zoomLabel->setToolTip(QStringLiteral("每格AD电压V"));
  grid->addWidget(use, 0, 0);
  grid->addWidget(channel, 0, 1);
  grid->addWidget(channelUpDown, 0, 2);
  grid->addWidget(coupling, 1, 0);
  grid->addWidget(sign, 1, 1);
  grid->addWidget(zoomUpDown, 2, 0);
  grid->addWidget(zoomLabel, 2, 1);
  grid->addWidget(offset, 0, 3, 3, 1);
  layout->addWidget(group);
  if (trace == 1) {
    GroupBoxChn1 = group, CheckBoxUseChn1 = use, EditChn1 = channel, UpDownChn1 = channelUpDown;
    ButtonACDC1 = coupling, PopupMenuACDC1 = couplingMenu, ButtonNegative1 = sign;
    VScrollBarYOffset1 = offset, PopupMenuYOffset1 = offsetMenu, UpDownYZoom1 = zoomUpDown, LabelYZoom1 = zoomLabel;
    connect(use, &QCheckBox::clicked, this, [this] { CheckBoxUseChn1Click(); });
    connect(channel, &QLineEdit::textChanged, this, [this] { EditChn1Change(); });
    connect(channel, &QLineEdit::editingFinished, this, [this] { EditChn1Exit(); });
    connect(channelUpDown, &QSpinBox::valueChanged, this, [this](int v) { UpDownChn1Changing(v); });
    connect(coupling, &QPushButton::clicked, this, [this] { ButtonACDC1Click(); });
    connect(sign, &QPushButton::clicked, this, [this] { ButtonNegative1Click(); });
    connect(offset, &QScrollBar::valueChanged, this, [this] { VScrollBarYOffset1Change(); });
    connect(zoomUpDown, &QSpinBox::valueChanged, this, [this] { EditZoom1Change(); });
  } else {
    GroupBoxChn2 = group, CheckBoxUseChn2 = use, EditChn2 = channel, UpDownChn2 = channelUpDown;
    ButtonACDC2 = coupling, PopupMenuACDC2 = couplingMenu, ButtonNegative2 = sign;
    VScrollBarYOffset2 = offset, PopupMenuYOffset2 = offsetMenu, UpDownYZoom2 = zoomUpDown, LabelYZoom2 = zoomLabel;
    connect(use, &QCheckBox::clicked, this, [this] { CheckBoxUseChn2Click(); });
    connect(channel, &QLineEdit::textChanged, this, [this] { EditChn2Change(); });
    connect(channelUpDown, &QSpinBox::valueChanged, this, [this](int v) { UpDownChn2Changing(v); });
    connect(coupling, &QPushButton::clicked, this, [this] { ButtonACDC2Click(); });
    connect(sign, &QPushButton::clicked, this, [this] { ButtonNegative2Click(); });
    connect(offset, &QScrollBar::valueChanged, this, [this] { VScrollBarYOffset2Change(); });
    connect(zoomUpDown, &QSpinBox::valueChanged, this, [this] { EditZoom2Change(); });
  }
}

TFormTool::~TFormTool() { FormDestroy(); }

void TFormTool::FormCreate() {
  move(406, 266);
  resize(209, 309);
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormOscilTool");
  LoadOscilToolSettings(registry_, state_.startup.AppKeyName, state_.oscilTool);
}

void TFormTool::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormOscilTool");
  SaveOscilToolSettings(registry_, state_.startup.AppKeyName, state_.oscilTool);
}

void TFormTool::FormActivate() {
  CheckBoxXY->setChecked(xyDisplay_ != nullptr && xyDisplay_->isVisible());
  CheckBoxFFT->setChecked(fftPanel_ != nullptr && fftPanel_->isVisible());
}

void TFormTool::SetFFTPanel(QWidget* panel, std::function<void()> show) {
  fftPanel_ = panel;
  showFFTPanel_ = std::move(show);
  CheckBoxFFT->setEnabled(fftPanel_ != nullptr && showFFTPanel_ != nullptr);
}

void TFormTool::CheckBoxFFTClick() {
  if (fftPanel_ == nullptr) return;
  if (CheckBoxFFT->isChecked()) {
    if (showFFTPanel_) showFFTPanel_();
  } else {
    fftPanel_->hide();
  }
}

void TFormTool::SetXYDisplay(QWidget* window, std::function<void()> show) {
  xyDisplay_ = window;
  showXYDisplay_ = std::move(show);
  CheckBoxXY->setEnabled(xyDisplay_ != nullptr && showXYDisplay_ != nullptr);
}

void TFormTool::CheckBoxXYClick() {
  if (xyDisplay_ == nullptr) return;
  if (CheckBoxXY->isChecked()) {
    if (showXYDisplay_) showXYDisplay_();
  } else {
    xyDisplay_->hide();
  }
}

bool TFormTool::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) FormActivate();
  return QWidget::event(e);
}

TFormTool::TraceControls TFormTool::Trace(int trace) const {
  if (trace == 1) {
    return {GroupBoxChn1, CheckBoxUseChn1, EditChn1, UpDownChn1, ButtonACDC1,
            {menuAC1, menuDC1, menuGND1, menuAutoScale1}, ButtonNegative1, VScrollBarYOffset1, UpDownYZoom1, LabelYZoom1};
  }
  return {GroupBoxChn2, CheckBoxUseChn2, EditChn2, UpDownChn2, ButtonACDC2,
          {menuAC2, menuDC2, menuGND2, menuAutoScale2}, ButtonNegative2, VScrollBarYOffset2, UpDownYZoom2, LabelYZoom2};
}

void TFormTool::RequestRepaint() { state_.wave.RepaintRequested = 1; }

// Loading at the oscilloscope start. The settings are corrected and every
// control's rule applied in core first; the controls then only show the
// result, with their signals blocked so no handler runs twice.

void TFormTool::LoadTrace(int trace, const OscilTraceView& v, int32_t channelMax) {
  const TraceControls c = Trace(trace);
  const OscilTraceFields f = TraceFields(state_.oscilTool, trace);
  c.use->setChecked(f.Use != 0);
  c.channel->setText(Q(v.ChannelText));
  c.channel->setToolTip(Q(v.ChannelHint));
  c.channelUpDown->setRange(0, std::max(channelMax, 0));
  c.channelUpDown->setValue(f.Channel);
  ShowCoupling(trace);
  c.sign->setText(Q(v.SignCaption));
  c.offset->setRange(-kOscilOffsetLimit, kOscilOffsetLimit);
  c.offset->setValue(f.Offset);
  c.offset->setToolTip(Q(v.OffsetHint));
  c.zoomUpDown->setValue(f.ZoomStep);
  c.zoomLabel->setText(Q(v.ZoomLabel));
  c.offset->setPageStep(v.OffsetLargeStep);
}

void TFormTool::LoadForOscilloscope() {
  OscilToolSettings& s = state_.oscilTool;
  const LiveConfig& c = state_.config;
  std::vector<QSignalBlocker> quiet;
  for (QObject* child : findChildren<QObject*>()) quiet.emplace_back(child);
  CheckBoxTop->setChecked(s.Topmost != 0);
  KeepOnTop();
  RecolourChannelEdits(PaletteRow(state_.wave.WhiteBG));
  const int32_t interval = s.Interval;
  const OscilPanelView v = PrepareOscilPanel(s, c);
  Edit_Interval->setText(QString::number(s.Interval));
  if (s.Interval != interval && onIntervalChanged) onIntervalChanged(s.Interval);
  GroupBoxChn2->setEnabled(v.SecondTraceEnabled);
  LoadTrace(1, v.Traces[0], v.ChannelMax);
  LoadTrace(2, v.Traces[1], v.ChannelMax);
  CheckBoxMeasureTime->setChecked(s.MeasTime != 0);
  CheckBoxMeasureVolt->setChecked(s.MeasVolt != 0);
  ButtonFixChn->setText(Q(v.FixChnCaption));
  ButtonFixMode->setText(Q(v.FixModeCaption));
  VScrollBarFixVolt->setRange(0, v.FixVoltMax);
  VScrollBarFixVolt->setPageStep(v.FixVoltLargeStep);
  VScrollBarFixVolt->setValue(v.FixVoltPosition);
  EditFixVolt->setText(Q(v.FixVoltText));
  CheckBoxZoom->setChecked(s.LocalZoom != 0);
  CheckBoxAdd->setChecked(s.AddTraces != 0);
  CheckBoxSub->setChecked(s.SubtractTraces != 0);
  const auto& row = c.ColorPalette[static_cast<size_t>(PaletteRow(state_.wave.WhiteBG))];
  // The painter's colours for the sum and the difference curves.
  for (auto [box, slot] : {std::pair{CheckBoxAdd, size_t{9}}, std::pair{CheckBoxSub, size_t{10}}}) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::WindowText, ColorOf(row[slot]));
    box->setPalette(palette);
  }
}

void TFormTool::ShowAutoRange(int trace) {
  if (trace != 1 && trace != 2) return;
  const TraceControls c = Trace(trace);
  SetQuietly(c.zoomUpDown, TraceFields(state_.oscilTool, trace).ZoomStep);
  ShowGain(trace, ApplyPainterGainStep(state_.oscilTool, trace));
  SetQuietly(c.offset, 0);
  c.offset->setToolTip(Q(ApplyOffset(state_.oscilTool, trace, 0).Hint));
}

void TFormTool::RecolourChannelEdits(int whiteRow) {
  const int row = PaletteRow(whiteRow);
  const auto& colours = state_.config.ColorPalette[static_cast<size_t>(row)];
  // The curve colours of the two traces.
  for (auto [edit, slot] : {std::pair{EditChn1, size_t{4}}, std::pair{EditChn2, size_t{5}}}) {
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, ColorOf(colours[slot]));
    palette.setColor(QPalette::Base, row == kPaletteRowWhite ? Qt::white : Qt::black);
    edit->setPalette(palette);
  }
}

// The panel itself.

void TFormTool::KeepOnTop() {
  const bool onTop = state_.oscilTool.Topmost != 0;
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
  // Changing a shown window's flags hides it; it comes back at once.
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (shown) show();
}

void TFormTool::CheckBoxTopClick() {
  state_.oscilTool.Topmost = CheckBoxTop->isChecked() ? 1 : 0;
  KeepOnTop();
}

void TFormTool::Edit_IntervalExit() {
  OscilToolSettings& s = state_.oscilTool;
  s.Interval = RefreshPeriodOfText(Edit_Interval->text().toStdString());
  SetQuietly(Edit_Interval, std::to_string(s.Interval));
  if (onIntervalChanged) onIntervalChanged(s.Interval);
}

// Traces.

void TFormTool::TraceUseClick(int trace) {
  const TraceControls c = Trace(trace);
  const TraceControls other = Trace(3 - trace);
  const TraceUseResult r = ApplyTraceUse(state_.oscilTool, trace, c.use->isChecked(), other.use->isChecked(),
                                         state_.config.Analog_Num);
  c.use->setChecked(r.Ticked);
  if (r.FixChnCaption) ButtonFixChn->setText(Q(*r.FixChnCaption));
  if (r.Repaint) RequestRepaint();
}

void TFormTool::CheckBoxUseChn1Click() { TraceUseClick(1); }
void TFormTool::CheckBoxUseChn2Click() { TraceUseClick(2); }

void TFormTool::ChannelChange(int trace, bool exiting) {
  const TraceControls c = Trace(trace);
  const ChannelNumberResult r =
      ApplyChannelNumber(state_.oscilTool, trace, c.channel->text().toStdString(), state_.config);
  SetQuietly(c.channel, r.Text);
  // The up-down steps on from the number in the edit.
  SetQuietly(c.channelUpDown, r.Number);
  if (!exiting) c.channel->setToolTip(Q(r.Hint));
  if (r.Repaint) RequestRepaint();
}

void TFormTool::EditChn1Change() { ChannelChange(1, false); }
void TFormTool::EditChn2Change() { ChannelChange(2, false); }
void TFormTool::EditChn1Exit() { ChannelChange(1, true); }

void TFormTool::ChannelStep(int trace, int number) {
  ApplyChannelStep(state_.oscilTool, trace, number);
  // The edit's change handler applies the channel rule.
  Trace(trace).channel->setText(QString::number(number));
}

void TFormTool::UpDownChn1Changing(int number) { ChannelStep(1, number); }
void TFormTool::UpDownChn2Changing(int number) { ChannelStep(2, number); }

void TFormTool::ShowCoupling(int trace) {
  const TraceControls c = Trace(trace);
  const int32_t coupling = TraceFields(state_.oscilTool, trace).Coupling;
  c.coupling->setText(Q(CouplingCaption(coupling)));
  const int32_t ticked = CouplingMenuItem(coupling);
  for (size_t k = 0; k < c.couplingItems.size(); ++k) c.couplingItems[k]->setChecked(static_cast<int32_t>(k) == ticked);
}

void TFormTool::CouplingClick(int trace) {
  int32_t& coupling = TraceFields(state_.oscilTool, trace).Coupling;
  coupling = NextCoupling(coupling);
  ShowCoupling(trace);
  RequestRepaint();
}

void TFormTool::CouplingChosen(int trace, int32_t coupling) {
  // The new coupling shows from the next repaint on.
  TraceFields(state_.oscilTool, trace).Coupling = coupling;
  ShowCoupling(trace);
}

void TFormTool::ButtonACDC1Click() { CouplingClick(1); }
void TFormTool::ButtonACDC2Click() { CouplingClick(2); }
void TFormTool::menuAC1Click() { CouplingChosen(1, 0); }
void TFormTool::menuDC1Click() { CouplingChosen(1, 1); }
void TFormTool::menuGND1Click() { CouplingChosen(1, 2); }
void TFormTool::menuAutoScale1Click() { CouplingChosen(1, 3); }
void TFormTool::menuAC2Click() { CouplingChosen(2, 0); }
void TFormTool::menuDC2Click() { CouplingChosen(2, 1); }
void TFormTool::menuGND2Click() { CouplingChosen(2, 2); }
void TFormTool::menuAutoScale2Click() { CouplingChosen(2, 3); }

void TFormTool::NegativeClick(int trace) {
  int32_t& negative = TraceFields(state_.oscilTool, trace).Negative;
  negative = negative != 0 ? 0 : 1;
  Trace(trace).sign->setText(negative ? QStringLiteral("负") : QStringLiteral("正"));
  RequestRepaint();
}

void TFormTool::ButtonNegative1Click() { NegativeClick(1); }
void TFormTool::ButtonNegative2Click() { NegativeClick(2); }

void TFormTool::OffsetChange(int trace) {
  QScrollBar* offset = Trace(trace).offset;
  const OffsetResult r = ApplyOffset(state_.oscilTool, trace, offset->value());
  offset->setToolTip(Q(r.Hint));
  if (r.Repaint) RequestRepaint();
}

void TFormTool::VScrollBarYOffset1Change() { OffsetChange(1); }
void TFormTool::VScrollBarYOffset2Change() { OffsetChange(2); }

void TFormTool::OffsetMenu(int trace, int32_t divisions) {
  QScrollBar* offset = Trace(trace).offset;
  const int32_t gain = TraceFields(state_.oscilTool, trace).Gain;
  // The scroll bar's change handler stores the new offset.
  offset->setValue(divisions == 0 ? 0 : OffsetMenuPosition(offset->value(), gain, divisions));
}

void TFormTool::menu1YOffset0Click() { OffsetMenu(1, 0); }
void TFormTool::menu1YOffsetUp1Click() { OffsetMenu(1, -1); }
void TFormTool::menu1YOffsetUp2Click() { OffsetMenu(1, -2); }
void TFormTool::menu1YOffsetUp4Click() { OffsetMenu(1, -4); }
void TFormTool::menu1YOffsetUp8Click() { OffsetMenu(1, -8); }
void TFormTool::menu1YOffsetDown1Click() { OffsetMenu(1, 1); }
void TFormTool::menu1YOffsetDown2Click() { OffsetMenu(1, 2); }
void TFormTool::menu1YOffsetDown4Click() { OffsetMenu(1, 4); }
void TFormTool::menu1YOffsetDown8Click() { OffsetMenu(1, 8); }
void TFormTool::menu2YOffset0Click() { OffsetMenu(2, 0); }
void TFormTool::menu2YOffsetUp1Click() { OffsetMenu(2, -1); }
void TFormTool::menu2YOffsetUp2Click() { OffsetMenu(2, -2); }
void TFormTool::menu2YOffsetUp4Click() { OffsetMenu(2, -4); }
void TFormTool::menu2YOffsetUp8Click() { OffsetMenu(2, -8); }
void TFormTool::menu2YOffsetDown1Click() { OffsetMenu(2, 1); }
void TFormTool::menu2YOffsetDown2Click() { OffsetMenu(2, 2); }
void TFormTool::menu2YOffsetDown4Click() { OffsetMenu(2, 4); }
void TFormTool::menu2YOffsetDown8Click() { OffsetMenu(2, 8); }

void TFormTool::ShowGain(int trace, const GainStepResult& g) {
  const TraceControls c = Trace(trace);
  c.zoomLabel->setText(Q(g.Label));
  c.offset->setPageStep(g.OffsetLargeStep);
}

void TFormTool::ZoomChange(int trace) {
  const GainStepResult g = ApplyGainStep(state_.oscilTool, trace, Trace(trace).zoomUpDown->value());
  ShowGain(trace, g);
  if (g.Repaint) RequestRepaint();
}

void TFormTool::EditZoom1Change() { ZoomChange(1); }
void TFormTool::EditZoom2Change() { ZoomChange(2); }

// Phase lock.

void TFormTool::ButtonFixChnClick() {
  const FixChnResult r = ApplyFixChnRule(state_.oscilTool);
  ButtonFixChn->setText(Q(r.Caption));
  if (r.Repaint) RequestRepaint();
}

void TFormTool::ButtonFixModeClick() {
  // The new mode shows from the next repaint on.
  int32_t& mode = state_.oscilTool.FixMode;
  mode = NextFixMode(mode);
  ButtonFixMode->setText(Q(FixModeCaption(mode)));
}

void TFormTool::VScrollBarFixVoltChange() {
  const LiveConfig& c = state_.config;
  const FixVoltResult r = ApplyFixVoltPosition(state_.oscilTool, VScrollBarFixVolt->value(), c.ADMax, c.VZero);
  SetQuietly(EditFixVolt, r.Text);
  if (r.Repaint) RequestRepaint();
}

void TFormTool::EditFixVoltExit() {
  const LiveConfig& c = state_.config;
  const FixVoltResult r = ApplyFixVoltText(state_.oscilTool, EditFixVolt->text().toStdString(), c.ADMax, c.VZero);
  SetQuietly(VScrollBarFixVolt, r.ScrollPosition);
  SetQuietly(EditFixVolt, r.Text);
  if (r.Repaint) RequestRepaint();
}

// Marker lines and extra curves.

void TFormTool::FlagClick(QCheckBox* box, int32_t& field) {
  field = box->isChecked() ? 1 : 0;
  RequestRepaint();
}

void TFormTool::CheckBoxMeasureTimeClick() { FlagClick(CheckBoxMeasureTime, state_.oscilTool.MeasTime); }
void TFormTool::CheckBoxMeasureVoltClick() { FlagClick(CheckBoxMeasureVolt, state_.oscilTool.MeasVolt); }
void TFormTool::CheckBoxZoomClick() { FlagClick(CheckBoxZoom, state_.oscilTool.LocalZoom); }
void TFormTool::CheckBoxAddClick() { FlagClick(CheckBoxAdd, state_.oscilTool.AddTraces); }
void TFormTool::CheckBoxSubClick() { FlagClick(CheckBoxSub, state_.oscilTool.SubtractTraces); }

}  // namespace quelvar
