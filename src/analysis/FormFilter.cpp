#include "analysis/FormFilter.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/FilterPass.h"
#include "analysis/FilterResponsePlot.h"
#include "common/NumberFormat.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtText.h"
#include "setup/DialogNumbers.h"
#include "shell/WindowPlace.h"
#include "view/PaintBox.h"

namespace quelvar {

namespace {

constexpr int kPageLowPass = 1;
constexpr int kPageResp = 2;

std::string S(const QString& text) { return text.toStdString(); }

}  // namespace

TFormFilter::TFormFilter(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry), ui_(ui) {
  setObjectName("FormFilter");
  setWindowTitle(QStringLiteral("数字滤波面板"));
  resize(540, 400);
  PageControl = new QTabWidget(this);
  PageControl->setObjectName("PageControl");
  PageControl->setGeometry(8, 8, 524, 340);
  auto page = [this](QWidget*& field, const char* name, const char* caption) {
    field = new QWidget;
    field->setObjectName(name);
    PageControl->addTab(field, QString::fromUtf8(caption));
  };
  page(TabSheetOverallProp, "TabSheetOverallProp", "滤波器总属性");
  page(TabSheetLowPass, "TabSheetLowPass", "低通滤波器");
  page(TabSheetResp, "TabSheetResp", "滤波器效果");
  auto group = [](QGroupBox*& field, QWidget* parent, const char* name, const char* caption, QRect place) {
    field = new QGroupBox(QString::fromUtf8(caption), parent);
    field->setObjectName(name);
    field->setGeometry(place);
  };
  auto radio = [](QRadioButton*& field, QWidget* parent, const std::string& name, const char* caption, int y) {
    field = new QRadioButton(QString::fromUtf8(caption), parent);
    field->setObjectName(Q(name));
    field->setGeometry(10, y, 120, 24);
  };
  auto edit = [](QLineEdit*& field, QWidget* parent, const char* name, QRect place) {
    field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setGeometry(place);
  };
  auto label = [](QLabel*& field, QWidget* parent, const char* name, const char* caption, QRect place) {
    field = new QLabel(QString::fromUtf8(caption), parent);
    field->setObjectName(name);
    field->setGeometry(place);
  };

  // The first page: what is filtered, where and when.
  group(GroupBoxType, TabSheetOverallProp, "GroupBoxType", "滤波器类型", {8, 8, 150, 170});
  const char* types[] = {"中值滤波", "低通滤波", "高通", "带通", "带阻"};
  for (int i = 0; i < kFilterTypeCount; ++i) {
    radio(RadioButtonType[i], GroupBoxType, "RadioButtonType" + std::to_string(i), types[i], 22 + 28 * i);
    // Only the median and the low-pass are built.
    RadioButtonType[i]->setEnabled(i <= kFilterLowPass);
  }
  group(GroupBoxChn, TabSheetOverallProp, "GroupBoxChn", "滤波通道范围", {166, 8, 180, 170});
  const char* scopes[] = {"所有通道", "显示通道", "指定通道"};
  for (int i = 0; i < 3; ++i) radio(RadioButtonChn[i], GroupBoxChn, "RadioButtonChn" + std::to_string(i), scopes[i], 22 + 28 * i);
  RadioButtonChn[kFilterOneChannel]->setGeometry(10, 78, 90, 24);
  edit(EditFilterChn, GroupBoxChn, "EditFilterChn", {104, 78, 60, 24});
  EditFilterChn->setText(QStringLiteral("0"));
  EditFilterChn->setToolTip(QStringLiteral("通道名："));
  CheckBoxSaveTo = new QCheckBox(QStringLiteral("拷贝到"), GroupBoxChn);
  CheckBoxSaveTo->setObjectName("CheckBoxSaveTo");
  CheckBoxSaveTo->setGeometry(10, 120, 90, 24);
  edit(EditSaveChn, GroupBoxChn, "EditSaveChn", {104, 120, 60, 24});
  EditSaveChn->setText(QStringLiteral("0"));
  group(GroupBoxTime, TabSheetOverallProp, "GroupBoxTime", "滤波时间范围", {354, 8, 150, 170});
  const char* times[] = {"所有时间范围", "当前显示范围", "两标线之间"};
  for (int i = 0; i < 3; ++i) radio(RadioButtonTime[i], GroupBoxTime, "RadioButtonTime" + std::to_string(i), times[i], 22 + 28 * i);

  // The low-pass page.
  label(LabelLowPassFrq, TabSheetLowPass, "LabelLowPassFrq", "低通截止频率(Hz)", {8, 12, 120, 20});
  edit(EditLowPassFrq, TabSheetLowPass, "EditLowPassFrq", {130, 8, 90, 24});
  label(LabelSampFreq, TabSheetLowPass, "LabelSampFreq", "采样频率:", {236, 12, 260, 20});
  label(LabelLowPassOrder, TabSheetLowPass, "LabelLowPassOrder", "滤波器阶数:", {8, 44, 120, 20});
  edit(EditLowPassOrder, TabSheetLowPass, "EditLowPassOrder", {130, 40, 90, 24});
  group(GroupBoxLowPassType, TabSheetLowPass, "GroupBoxLowPassType", "类型", {8, 80, 120, 90});
  const char* kinds[] = {"FIR", "IIR"};
  for (int i = 0; i < 2; ++i) {
    radio(RadioButtonLowPassType[i], GroupBoxLowPassType, "RadioButtonLowPassType" + std::to_string(i), kinds[i],
          22 + 28 * i);
  }
  const QRect lowPassGroup{140, 80, 280, 170};
  group(GroupBoxWindowType, TabSheetLowPass, "GroupBoxWindowType", "窗口类型", lowPassGroup);
  const char* windows[] = {"Rectangle", "Triangle", "Hanning", "Hamming", "Blackman"};
  for (int i = 0; i < 5; ++i) {
    radio(RadioButtonWindow[i], GroupBoxWindowType, "RadioButtonWindow" + std::to_string(i), windows[i], 20 + 28 * i);
  }
  // In the window group's place; one of the two is shown.
  group(GroupBoxIIR, TabSheetLowPass, "GroupBoxIIR", "IIR参数", lowPassGroup);
  label(LabelFormula, GroupBoxIIR, "LabelFormula", "公式:y[k] = y[k-1]*a+x[k]*(1-a)", {10, 24, 260, 20});
  label(LabelCoeA, GroupBoxIIR, "LabelCoeA", "系数a=", {10, 60, 60, 20});
  edit(EditCoeA, GroupBoxIIR, "EditCoeA", {72, 56, 100, 24});
  CheckBoxIntegerOP = new QCheckBox(QStringLiteral("整数运算"), GroupBoxIIR);
  CheckBoxIntegerOP->setObjectName("CheckBoxIntegerOP");
  CheckBoxIntegerOP->setGeometry(10, 96, 120, 24);

  // The response page.
  label(LabelResp, TabSheetResp, "LabelResp", "滤波器频率响应曲线H(w)", {8, 6, 300, 20});
  ImageHf = new PaintBox(TabSheetResp);
  ImageHf->setObjectName("ImageHf");
  ImageHf->setGeometry(8, 30, 500, 270);
  ResponseImage = QImage(ImageHf->size(), QImage::Format_RGB32);
  ResponseImage.fill(Qt::white);
  ImageHf->onPaint = [this](QPainter& painter) { painter.drawImage(0, 0, ResponseImage); };

  ButtonOK = new QPushButton(QStringLiteral("滤波"), this);
  ButtonOK->setObjectName("ButtonOK");
  ButtonOK->setGeometry(150, 360, 90, 28);
  ButtonCancel = new QPushButton(QStringLiteral("退出"), this);
  ButtonCancel->setObjectName("ButtonCancel");
  ButtonCancel->setGeometry(300, 360, 90, 28);
  // Enter in an edit must not close the panel.
  ButtonOK->setAutoDefault(false);
  ButtonCancel->setAutoDefault(false);

  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
  for (int i = 0; i < kFilterTypeCount; ++i) {
    connect(RadioButtonType[i], &QRadioButton::clicked, this, [this, i] { FilterTypeClick(i); });
  }
  for (int i = 0; i < 3; ++i) {
    connect(RadioButtonChn[i], &QRadioButton::clicked, this, [this, i] { FilterChnTypeClick(i); });
    connect(RadioButtonTime[i], &QRadioButton::clicked, this, [this, i] { FilterTimeTypeClick(i); });
  }
  for (int i = 0; i < 2; ++i) {
    connect(RadioButtonLowPassType[i], &QRadioButton::clicked, this, [this, i] { LowPassTypeClick(i); });
  }
  for (int i = 0; i < 5; ++i) {
    connect(RadioButtonWindow[i], &QRadioButton::clicked, this, [this, i] { WindowTypeClick(i); });
  }
  FormCreate();
  // Connected after the edits are filled: the values read stand as read.
  connect(EditLowPassFrq, &QLineEdit::textChanged, this, [this] { EditLowPassFrqChange(); });
  connect(EditLowPassOrder, &QLineEdit::textChanged, this, [this] { EditLowPassOrderChange(); });
  connect(EditCoeA, &QLineEdit::textChanged, this, [this] { EditCoeAChange(); });
  connect(EditFilterChn, &QLineEdit::editingFinished, this, [this] { EditFilterChnExit(); });
  connect(EditSaveChn, &QLineEdit::editingFinished, this, [this] { EditSaveChnExit(); });
  connect(PageControl, &QTabWidget::currentChanged, this, [this](int index) {
    if (index == kPageLowPass) TabSheetLowPassShow();
    if (index == kPageResp) TabSheetRespShow();
  });
}

TFormFilter::~TFormFilter() { FormDestroy(); }

int32_t TFormFilter::AnalogNum() const { return std::clamp(state_.config.Analog_Num, 0, kMaxAnalogChannels); }

void TFormFilter::FormCreate() {
  Setting = ReadFilterSetting(registry_, state_.startup.AppKeyName);
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormFilter");
  RadioButtonType[static_cast<size_t>(Setting.FilterType)]->setChecked(true);
  RadioButtonChn[static_cast<size_t>(Setting.FilterChnType)]->setChecked(true);
  EditFilterChn->setEnabled(Setting.FilterChnType == kFilterOneChannel);
  RadioButtonTime[static_cast<size_t>(Setting.FilterTimeType)]->setChecked(true);
  RadioButtonLowPassType[static_cast<size_t>(Setting.LowPassType)]->setChecked(true);
  RadioButtonWindow[static_cast<size_t>(Setting.LowPassWindowType)]->setChecked(true);
  EditLowPassFrq->setText(Q(CutoffText(Setting.LowPassFrq)));
  EditLowPassOrder->setText(QString::number(Setting.LowPassOrder));
  EditCoeA->setText(Q(CoefficientText(Setting.IIRCoeA)));
  ShowPages();
}

void TFormFilter::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  WriteFilterSetting(registry_, state_.startup.AppKeyName, Setting);
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormFilter");
}

int TFormFilter::RunModal() {
  exec();
  return platform::kModalCancel;  // the panel only ever closes with "退出"
}

void TFormFilter::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TFormFilter::FormActivate() {
  PageControl->setCurrentIndex(0);
  EditFilterChnExit();
  EditSaveChnExit();
}

// The pages and groups that the type and the low-pass kind call for: the
// low-pass page for every type but the median, the response and the window
// group for the FIR, the IIR group for the IIR.
void TFormFilter::ShowPages() {
  const bool lowPass = Setting.FilterType != kFilterMedian;
  const bool fir = Setting.LowPassType == kLowPassFir;
  PageControl->setTabVisible(kPageLowPass, lowPass);
  PageControl->setTabVisible(kPageResp, lowPass && fir);
  GroupBoxWindowType->setVisible(fir);
  GroupBoxIIR->setVisible(!fir);
}

void TFormFilter::FilterTypeClick(int32_t type) {
  Setting.FilterType = std::clamp(type, 0, kFilterTypeCount - 1);
  ShowPages();
}

void TFormFilter::FilterChnTypeClick(int32_t type) {
  Setting.FilterChnType = std::clamp(type, 0, 2);
  EditFilterChn->setEnabled(Setting.FilterChnType == kFilterOneChannel);
}

void TFormFilter::FilterTimeTypeClick(int32_t type) { Setting.FilterTimeType = std::clamp(type, 0, 2); }

void TFormFilter::LowPassTypeClick(int32_t type) {
  Setting.LowPassType = std::clamp(type, 0, 1);
  ShowPages();
}

void TFormFilter::WindowTypeClick(int32_t type) { Setting.LowPassWindowType = std::clamp(type, 0, 4); }

void TFormFilter::EditLowPassFrqChange() {
  Setting.LowPassFrq = CutoffFromEdit(S(EditLowPassFrq->text()), Setting.LowPassFrq);
}

void TFormFilter::EditLowPassOrderChange() {
  Setting.LowPassOrder = OrderFromEdit(S(EditLowPassOrder->text()), Setting.LowPassOrder);
}

void TFormFilter::EditCoeAChange() {
  bool clamped = false;
  Setting.IIRCoeA = CoefficientFromEdit(S(EditCoeA->text()), Setting.IIRCoeA, clamped);
  if (clamped) EditCoeA->setText(Q(CoefficientText(Setting.IIRCoeA)));
}

void TFormFilter::ChannelExit(QLineEdit* edit) {
  const int32_t channel = ChannelFromEdit(S(edit->text()), AnalogNum());
  edit->setText(QString::number(channel));
  const std::string name =
      AnalogNum() > 0 ? state_.config.AnalogChannelTable[static_cast<size_t>(channel)].ChnName : std::string();
  edit->setToolTip(Q(ChannelHint(name)));
}

void TFormFilter::EditFilterChnExit() { ChannelExit(EditFilterChn); }

void TFormFilter::EditSaveChnExit() { ChannelExit(EditSaveChn); }

void TFormFilter::TabSheetLowPassShow() { LabelSampFreq->setText(Q(SampleRateText(state_.config.ChannelRate))); }

void TFormFilter::TabSheetRespShow() { DesignFirLowPass(); }

void TFormFilter::DesignFirLowPass() {
  const double rate = state_.config.ChannelRate;
  Setting.LowPassOrder = OrderFromEdit(S(EditLowPassOrder->text()), Setting.LowPassOrder);
  EditLowPassOrder->setText(QString::number(Setting.LowPassOrder));
  const float typed = CutoffFromEdit(S(EditLowPassFrq->text()), Setting.LowPassFrq);
  Setting.LowPassFrq = static_cast<float>(DesignCutoff(typed, rate));
  EditLowPassFrq->setText(Q(CutoffText(Setting.LowPassFrq)));

  FirCoefficients = quelvar::DesignFirLowPass(Setting.LowPassOrder, Setting.LowPassFrq, rate,
                                             static_cast<FirWindowType>(Setting.LowPassWindowType));
  const double omegaC = rate > 0.0 ? 2.0 * std::numbers::pi * Setting.LowPassFrq / rate : NAN;
  const std::vector<double> response =
      FirCoefficients ? FirAmplitudeResponse(FirCoefficients->coefficients) : std::vector<double>{};
  ResponseImage = QImage(ImageHf->size(), QImage::Format_RGB32);
  {
    platform::QtCanvas canvas(ResponseImage);
    DrawFilterResponse(canvas, response, omegaC);
  }
  ImageHf->update();
}

void TFormFilter::ButtonOKClick() {
  const int32_t analog = AnalogNum();
  FilterRange range = CollectFilterChannelsAndRows(
      state_, Setting, ParseDialogInteger(S(EditFilterChn->text())).value_or(0));
  const std::optional<FilterData> data = ShownFilterData(state_);
  if (!data) return;
  // The design is read and checked before anything is written: a refused one
  // leaves the data, the copy target included, as they are.
  if (Setting.FilterType == kFilterLowPass && Setting.LowPassType == kLowPassFir) DesignFirLowPass();
  if (const std::optional<std::string> refusal = FilterDesignRefusal(Setting, state_.config.ChannelRate)) {
    if (StatusSink) StatusSink(*refusal);
    return;
  }
  if (CheckBoxSaveTo->isChecked()) {
    const int32_t target = ParseDialogInteger(S(EditSaveChn->text())).value_or(0);
    // Refused: the pass filters the listed channels in place.
    if (!CopyChannelForFilter(*data, range, target, analog)) {
      ui_.MessageBox(std::string(kFilterCopyRefused), std::string(kFilterCopyRefusedCaption),
                     platform::MsgButtons::OkCancel);
    }
  }
  RunFilterPass(*data, range, Setting, CheckBoxIntegerOP->isChecked(), state_.config.ChannelRate, analog,
                TruncToInt32(state_.config.ADMax));
  state_.wave.RepaintRequested = 1;
}

}  // namespace quelvar
