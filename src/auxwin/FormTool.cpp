#include "platform/qt/QtText.h"
#include "auxwin/FormTool.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include "shell/WindowPlace.h"

namespace quelvar {

namespace {


QColor ColorOf(uint32_t bgr) {
  // Palette entries are 0x00BBGGRR.
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

QCheckBox* Check(QWidget* parent, const char* name, const char* caption) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setObjectName(name);
  return box;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  return button;
}

}  // namespace

TFormTool::TFormTool(AppState& state, platform::RegistryStore& registry, QWidget* parent)
    : QWidget(parent, Qt::Tool), state_(state), registry_(registry) {
  setObjectName("FormTool");
  setWindowTitle(QStringLiteral("示波器操作面板"));
  auto* layout = new QVBoxLayout(this);
  for (int i = 0; i < 2; ++i) {
    const std::string n = std::to_string(i + 1);
    auto* group = new QGroupBox(QString::fromUtf8(i == 0 ? "踪1" : "踪2"), this);
    group->setObjectName(QString::fromStdString("GroupBoxChn" + n));
    auto* grid = new QGridLayout(group);
    auto* use = Check(group, ("CheckBoxUseChn" + n).c_str(), "使用");
    auto* channel = new QLineEdit(group);
    channel->setObjectName(QString::fromStdString("EditChn" + n));
    auto* channelUpDown = new QSpinBox(group);
    channelUpDown->setObjectName(QString::fromStdString("UpDownChn" + n));
    channelUpDown->setWrapping(true);
    auto* coupling = Button(group, ("ButtonACDC" + n).c_str(), "自动");
    coupling->setToolTip(QStringLiteral("交流/直流/接地/自动量程"));
    auto* popup = new QMenu(coupling);
    std::array<QAction*, 4> items{};
    const char* names[] = {"menuAC", "menuDC", "menuGND", "menuAutoScale"};
    const char* captions[] = {"交流模式", "直流模式", "接地模式", "自动量程"};
    for (int k = 0; k < 4; ++k) {
      items[static_cast<size_t>(k)] = popup->addAction(QString::fromUtf8(captions[k]));
      items[static_cast<size_t>(k)]->setObjectName(QString::fromStdString(names[k] + n));
      items[static_cast<size_t>(k)]->setCheckable(true);
    }
    coupling->setMenu(popup);
    auto* sign = Button(group, ("ButtonNegative" + n).c_str(), "正");
    sign->setToolTip(QStringLiteral("正/负相"));
    auto* offset = new QScrollBar(Qt::Vertical, group);
    offset->setObjectName(QString::fromStdString("VScrollBarYOffset" + n));
    offset->setToolTip(QStringLiteral("Y偏移"));
    auto* zoomUpDown = new QSpinBox(group);
    zoomUpDown->setObjectName(QString::fromStdString("UpDownYZoom" + n));
    zoomUpDown->setRange(1, 11);
    auto* zoomLabel = new QLabel(QStringLiteral("2.000"), group);
    zoomLabel->setObjectName(QString::fromStdString("LabelYZoom" + n));
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
    if (i == 0) {
      GroupBoxChn1 = group, CheckBoxUseChn1 = use, EditChn1 = channel, UpDownChn1 = channelUpDown;
      ButtonACDC1 = coupling, menuAC1 = items[0], menuDC1 = items[1], menuGND1 = items[2], menuAutoScale1 = items[3];
      ButtonNegative1 = sign, VScrollBarYOffset1 = offset, UpDownYZoom1 = zoomUpDown, LabelYZoom1 = zoomLabel;
    } else {
      GroupBoxChn2 = group, CheckBoxUseChn2 = use, EditChn2 = channel, UpDownChn2 = channelUpDown;
      ButtonACDC2 = coupling, menuAC2 = items[0], menuDC2 = items[1], menuGND2 = items[2], menuAutoScale2 = items[3];
      ButtonNegative2 = sign, VScrollBarYOffset2 = offset, UpDownYZoom2 = zoomUpDown, LabelYZoom2 = zoomLabel;
    }
  }
  GroupBoxFixPhase = new QGroupBox(QStringLiteral("锁相"), this);
  GroupBoxFixPhase->setObjectName("GroupBoxFixPhase");
  auto* fix = new QGridLayout(GroupBoxFixPhase);
  ButtonFixChn = Button(GroupBoxFixPhase, "ButtonFixChn", "踪1");
  ButtonFixChn->setToolTip(QStringLiteral("锁相通道"));
  ButtonFixMode = Button(GroupBoxFixPhase, "ButtonFixMode", "无");
  ButtonFixMode->setToolTip(QStringLiteral("锁相方式"));
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
  CheckBoxTop = Check(this, "CheckBoxTop", "浮动");
  Edit_Interval = new QLineEdit(this);
  Edit_Interval->setObjectName("Edit_Interval");
  Edit_Interval->setToolTip(QStringLiteral("刷新周期ms"));
  CheckBoxMeasureTime = Check(this, "CheckBoxMeasureTime", "时间标线");
  CheckBoxMeasureVolt = Check(this, "CheckBoxMeasureVolt", "电压标线");
  CheckBoxZoom = Check(this, "CheckBoxZoom", "波形局部");
  CheckBoxAdd = Check(this, "CheckBoxAdd", "信号叠加");
  CheckBoxSub = Check(this, "CheckBoxSub", "信号相减");
  for (QWidget* w : std::initializer_list<QWidget*>{CheckBoxTop, Edit_Interval, CheckBoxMeasureTime, CheckBoxMeasureVolt,
                                                     CheckBoxZoom, CheckBoxAdd, CheckBoxSub}) {
    layout->addWidget(w);
  }
  FormCreate();
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

TFormTool::TraceControls TFormTool::Trace(int i) const {
  if (i == 0) {
    return {CheckBoxUseChn1, EditChn1, UpDownChn1, ButtonACDC1, {menuAC1, menuDC1, menuGND1, menuAutoScale1},
            ButtonNegative1, VScrollBarYOffset1, UpDownYZoom1, LabelYZoom1};
  }
  return {CheckBoxUseChn2, EditChn2, UpDownChn2, ButtonACDC2, {menuAC2, menuDC2, menuGND2, menuAutoScale2},
          ButtonNegative2, VScrollBarYOffset2, UpDownYZoom2, LabelYZoom2};
}

void TFormTool::LoadTrace(const TraceControls& c, const OscilTraceView& v, int32_t use, int32_t channel,
                          int32_t offset, int32_t step, int32_t channelMax) {
  c.use->setChecked(use != 0);
  c.channel->setText(QString::number(channel));
  c.channelUpDown->setRange(0, std::max(channelMax, 0));
  c.channelUpDown->setValue(channel);
  c.coupling->setText(Q(v.CouplingCaption));
  for (size_t k = 0; k < c.couplingItems.size(); ++k) c.couplingItems[k]->setChecked(static_cast<int32_t>(k) == v.CouplingItem);
  c.sign->setText(Q(v.SignCaption));
  c.offset->setRange(-2500, 2500);
  c.offset->setValue(offset);
  c.zoomLabel->setText(Q(v.ZoomLabel));
  c.zoomUpDown->setValue(step);
  c.offset->setPageStep(v.OffsetLargeStep);
}

void TFormTool::LoadForOscilloscope() {
  OscilToolSettings& s = state_.oscilTool;
  const LiveConfig& c = state_.config;
  CheckBoxTop->setChecked(s.Topmost != 0);
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, s.Topmost != 0);
  if (shown) show();  // changing the flags hides a window
  // The view's colour scheme (until the view keeps its own): 1 white background.
  const int white = c.IDBGWhite == 1 ? 1 : 0;
  for (int i = 0; i < 2; ++i) {
    QLineEdit* edit = i == 0 ? EditChn1 : EditChn2;
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, ColorOf(c.ColorPalette[static_cast<size_t>(white)][static_cast<size_t>(4 + i)]));
    palette.setColor(QPalette::Base, white ? Qt::white : Qt::black);
    edit->setPalette(palette);
  }
  Edit_Interval->setText(QString::number(s.Interval));
  const OscilPanelView v = PrepareOscilPanel(s, c.Analog_Num, c.SW_Num, c.ADMax, c.VZero);
  GroupBoxChn2->setEnabled(v.SecondTraceEnabled);
  LoadTrace(Trace(0), v.Traces[0], s.UseChn1, s.ChnAd1, s.YOffset1, s.ZoomStep1, v.ChannelMax);
  LoadTrace(Trace(1), v.Traces[1], s.UseChn2, s.ChnAD2, s.YOffset2, s.ZoomStep2, v.ChannelMax);
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
  for (auto [box, slot] : {std::pair{CheckBoxAdd, 9}, std::pair{CheckBoxSub, 10}}) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::WindowText, ColorOf(c.ColorPalette[static_cast<size_t>(white)][static_cast<size_t>(slot)]));
    box->setPalette(palette);
  }
}

}  // namespace quelvar
