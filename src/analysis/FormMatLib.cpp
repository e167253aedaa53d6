#include "analysis/FormMatLib.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

#include "analysis/FormAnalysisResult.h"
#include "platform/UiHost.h"
#include "platform/qt/QtText.h"
#include "platform/qt/StatusLine.h"
#include "setup/DialogNumbers.h"
#include "shell/FormMain.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

// The panel's place and size as designed.
constexpr int kDesignedLeft = 300;
constexpr int kDesignedTop = 200;
constexpr int kDesignedWidth = 330;
constexpr int kDesignedHeight = 300;

QPushButton* Button(QWidget* parent, const char* name, const char* caption, const char* hint = nullptr) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  if (hint != nullptr) button->setToolTip(QString::fromUtf8(hint));
  return button;
}

QLineEdit* Edit(QWidget* parent, const char* name, const char* text) {
  auto* edit = new QLineEdit(QString::fromUtf8(text), parent);
  edit->setObjectName(name);
  return edit;
}

QLabel* Label(QWidget* parent, const char* name, const char* caption) {
  auto* label = new QLabel(QString::fromUtf8(caption), parent);
  label->setObjectName(name);
  return label;
}

QSpinBox* UpDown(QWidget* parent, const char* name, int low, int high, int position) {
  auto* upDown = new QSpinBox(parent);
  upDown->setObjectName(name);
  upDown->setRange(low, high);
  upDown->setValue(position);
  return upDown;
}

void SetQuietly(QLineEdit* edit, const std::string& text) {
  const QSignalBlocker quiet(edit);
  if (edit->text() != Q(text)) edit->setText(Q(text));
}

// The hourglass while the library works, restored on every path.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

TFormMatLib::TFormMatLib(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, TFormMain& main,
                         QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), registry_(registry), ui_(ui), main_(main) {
  setObjectName("FormMatLib");
  setWindowTitle(QStringLiteral("独立信号处理面板"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 0);
  auto* grid = new QGridLayout;
  layout->addLayout(grid);

  LabelChn1 = Label(this, "LabelChn1", "处理通道");
  EditChn1 = Edit(this, "EditChn1", "0");
  UpDownChn1 = UpDown(this, "UpDownChn1", -1, 1, 0);
  LabelChn2 = Label(this, "LabelChn2", "第二通道");
  EditChn2 = Edit(this, "EditChn2", "0");
  UpDownChn2 = UpDown(this, "UpDownChn2", -1, 1, 0);
  LabelFFT = Label(this, "LabelFFT", "FFT点数");
  EditFFT = Edit(this, "EditFFT", "256");
  EditFFTOrder = Edit(this, "EditFFTOrder", "8");
  UpDownFFT = UpDown(this, "UpDownFFT", kPanelFftMinOrder, kPanelFftMaxOrder, 8);
  UpDownFFT->setWrapping(true);
  EditFFTOrder->hide();
  UpDownFFT->hide();
  LabelOrder = Label(this, "LabelOrder", "阶");
  EditOrder = Edit(this, "EditOrder", "10");
  LabelOrder->hide();
  EditOrder->hide();

  ButtonPSD = Button(this, "ButtonPSD", "功率谱", "处理通道的功率谱");
  ButtonCPSD = Button(this, "ButtonCPSD", "互功率谱", "处理通道与第二通道之间的互功率谱");
  ButtonPBurg = Button(this, "ButtonPBurg", "Burg法谱");
  ButtonPBurg->hide();
  ButtonCohere = Button(this, "ButtonCohere", "相干函数", "处理通道与第二通道之间的相干函数");
  ButtonTransfer = Button(this, "ButtonTransfer", "传递函数", "处理通道对第二通道的传递函数");
  ButtonAutoCorr = Button(this, "ButtonAutoCorr", "自相关", "处理通道的自相关");
  ButtonCorr = Button(this, "ButtonCorr", "互相关", "处理通道与第二通道之间的互相关");
  ButtonSaveAD = Button(this, "ButtonSaveAD", "AD数据按MATLAB格式存盘");
  ButtonSaveSpectrum = Button(this, "ButtonSaveSpectrum", "谱分析数据存盘", "此功能未实现");
  // It has no command; disabled rather than a button that silently does nothing.
  ButtonSaveSpectrum->setEnabled(false);
  ButtonSetArray = Button(this, "ButtonSetArray", "按MATLAB格式组织AD数据");
  ButtonSetArray->hide();
  ButtonExit = Button(this, "ButtonExit", "退出");
  CheckBox1 = new QCheckBox(QStringLiteral("实时谱数据"), this);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox1->hide();

  grid->addWidget(LabelChn1, 0, 0);
  grid->addWidget(EditChn1, 0, 1);
  grid->addWidget(UpDownChn1, 0, 2);
  grid->addWidget(ButtonPSD, 0, 3);
  grid->addWidget(LabelChn2, 1, 0);
  grid->addWidget(EditChn2, 1, 1);
  grid->addWidget(UpDownChn2, 1, 2);
  grid->addWidget(ButtonCPSD, 1, 3);
  grid->addWidget(LabelFFT, 2, 0);
  grid->addWidget(EditFFT, 2, 1);
  grid->addWidget(EditFFTOrder, 2, 2);
  grid->addWidget(UpDownFFT, 2, 2);
  grid->addWidget(ButtonCohere, 2, 3);
  grid->addWidget(LabelOrder, 3, 0);
  grid->addWidget(EditOrder, 3, 1);
  grid->addWidget(ButtonPBurg, 3, 2);
  grid->addWidget(ButtonTransfer, 3, 3);
  grid->addWidget(CheckBox1, 4, 0, 1, 2);
  grid->addWidget(ButtonAutoCorr, 4, 3);
  grid->addWidget(ButtonCorr, 5, 3);
  grid->addWidget(ButtonSaveAD, 6, 0, 1, 3);
  grid->addWidget(ButtonSetArray, 6, 3);
  grid->addWidget(ButtonSaveSpectrum, 7, 0, 1, 3);
  grid->addWidget(ButtonExit, 7, 3);
  layout->addStretch(1);
  statusLine_ = platform::AddStatusLine(this, StatusBar1);
  layout->addWidget(StatusBar1);

  connect(EditChn1, &QLineEdit::editingFinished, this, [this] { EditChn1Change(); });
  connect(EditChn2, &QLineEdit::editingFinished, this, [this] { EditChn2Change(); });
  connect(UpDownChn1, &QSpinBox::valueChanged, this, [this](int v) {
    SetQuietly(EditChn1, std::to_string(v));
    EditChn1Change();
  });
  connect(UpDownChn2, &QSpinBox::valueChanged, this, [this](int v) {
    SetQuietly(EditChn2, std::to_string(v));
    EditChn2Change();
  });
  connect(EditFFT, &QLineEdit::editingFinished, this, [this] { EditFFTChange(); });
  connect(EditFFTOrder, &QLineEdit::textChanged, this, [this] { EditFFTOrderChange(); });
  connect(UpDownFFT, &QSpinBox::valueChanged, this, [this](int v) { EditFFTOrder->setText(QString::number(v)); });
  connect(ButtonSetArray, &QPushButton::clicked, this, [this] { ButtonSetArrayClick(); });
  connect(ButtonSaveAD, &QPushButton::clicked, this, [this] { ButtonSaveADClick(); });
  connect(ButtonSaveSpectrum, &QPushButton::clicked, this, [this] { ButtonSaveSpectrumClick(); });
  connect(ButtonPSD, &QPushButton::clicked, this, [this] { ButtonPSDClick(); });
  connect(ButtonCPSD, &QPushButton::clicked, this, [this] { ButtonCPSDClick(); });
  connect(ButtonPBurg, &QPushButton::clicked, this, [this] { ButtonPBurgClick(); });
  connect(ButtonCohere, &QPushButton::clicked, this, [this] { ButtonCohereClick(); });
  connect(ButtonTransfer, &QPushButton::clicked, this, [this] { ButtonTransferClick(); });
  connect(ButtonAutoCorr, &QPushButton::clicked, this, [this] { ButtonAutoCorrClick(); });
  connect(ButtonCorr, &QPushButton::clicked, this, [this] { ButtonCorrClick(); });
  connect(ButtonExit, &QPushButton::clicked, this, [this] { ButtonExitClick(); });
  FormCreate();
}

TFormMatLib::~TFormMatLib() { FormDestroy(); }

void TFormMatLib::FormCreate() {
  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormMatLib");
  entries_ = BindSignalLibrary(state_.startup);
  LibraryDataPrepared = 0;
  SetStatus(kLibraryFirstPrepareText);
}

void TFormMatLib::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormMatLib");
}

void TFormMatLib::FormActivate() {
  EditChn1Change();
  EditChn2Change();
  const std::string width = std::to_string(state_.wave.DisplayWidth);
  EditFFT->setToolTip(Q("数据点数:" + width));
  SetStatus(state_.display.DispValid != 0 ? "提示:处理的数据点数=" + width : "警告:没有AD数据可供处理!");
}

void TFormMatLib::FormHide() {
  if (resultWindow_ != nullptr && resultWindow_->isVisible()) resultWindow_->hide();
}

PanelChannel TFormMatLib::ReadChannel(int32_t edit) const {
  const QLineEdit* e = edit == 1 ? EditChn1 : EditChn2;
  return ResolvePanelChannel(edit, e->text().toStdString(), state_.config.Analog_Num, state_.display.DataSourceMode,
                             state_.oscilTool);
}

void TFormMatLib::ChannelChange(int32_t edit) {
  QLineEdit* e = edit == 1 ? EditChn1 : EditChn2;
  QSpinBox* upDown = edit == 1 ? UpDownChn1 : UpDownChn2;
  const int32_t analogNum = std::clamp(state_.config.Analog_Num, 0, kMaxAnalogChannels);
  const PanelChannel ch = ReadChannel(edit);
  SetQuietly(e, std::to_string(ch.channel));
  {
    // One step beyond either end, so the edit's rule wraps the up-down.
    const QSignalBlocker quiet(upDown);
    upDown->setRange(-1, analogNum);
    upDown->setValue(ch.channel);
  }
  std::string name;
  if (ch.analog) {
    name = LibraryChannelName(state_, ch.channel);
  } else if (const int32_t input = ch.channel - analogNum; input >= 0 && input < kMaxSwitchInputs) {
    name = state_.config.SwitchChannelTable[static_cast<size_t>(input)].SWName;
  }
  e->setToolTip(Q("通道名:" + name));
  if (analogNum <= 0) SetStatus(kPanelNoAnalogText);
  else if (!ch.analog) SetStatus(kPanelSwitchChannelText);
  else SetStatus((edit == 1 ? "提示:处理通道的名称为:" : "提示:第二处理通道的名称为:") + name);
}

void TFormMatLib::EditChn1Change() { ChannelChange(1); }

void TFormMatLib::EditChn2Change() { ChannelChange(2); }

void TFormMatLib::EditFFTChange() {
  SetQuietly(EditFFT, std::to_string(RoundFftPoints(EditFFT->text().toStdString(), kLibraryUnparsedFftPoints)));
}

void TFormMatLib::EditFFTOrderChange() {
  const int32_t order = ParseDialogInteger(EditFFTOrder->text().toStdString()).value_or(kPanelFftMinOrder);
  SetQuietly(EditFFT, std::to_string(FftPointsOfOrder(order)));
}

void TFormMatLib::ButtonSetArrayClick() {
  LibraryDataPrepared = 0;
  if (resultWindow_ != nullptr) resultWindow_->Result.Kind = kAnalysisNone;
  if (state_.display.DispValid != 0) SetStatus(kLibraryPreparingText);
  const LibraryPreparation prep = PrepareLibraryData(entries_, state_);
  SetStatus(prep.status);
  if (!prep.prepared) return;
  ButtonSaveAD->setEnabled(true);
  LibraryDataPrepared = 1;
}

void TFormMatLib::ButtonSaveADClick() {
  ButtonSetArrayClick();
  if (LibraryDataPrepared == 0) {
    SetStatus(kLibraryNothingPreparedText);
    return;
  }
  platform::FileDialogRequest request;
  request.title = kLibrarySaveTitle;
  request.initialDir = state_.startup.DialogInitialDir;
  request.defaultExt = kLibrarySaveExt;
  request.filter = kLibrarySaveFilter;
  request.fileName.clear();
  const std::optional<std::string> path = ui_.SaveFileName(request);
  if (!path) return;
  const bool saved = entries_.SaveAD != nullptr && entries_.SaveAD(path->c_str()) != 0;
  SetStatus(saved ? kLibrarySavedText + *path : std::string(kLibrarySaveFailedText));
}

void TFormMatLib::RunAnalysis(LibraryAnalysis analysis) {
  const LibraryAnalysisRow& row = LibraryAnalysisRowOf(analysis);
  // Channels the library cannot analyse are refused before anything is
  // prepared, so the result shown stays as it was.
  const LibraryChannels ch = CheckLibraryChannels(analysis, ReadChannel(1), ReadChannel(2), state_);
  if (!ch.refusal.empty()) {
    SetStatus(ch.refusal);
    return;
  }
  const WaitCursor hourglass;
  ButtonSetArrayClick();
  if (LibraryDataPrepared == 0) {
    SetStatus(kLibraryNothingPreparedText);
    return;
  }
  const int32_t nfft = RoundFftPoints(EditFFT->text().toStdString(), kLibraryUnparsedFftPoints);
  const int32_t order = ParseDialogInteger(EditOrder->text().toStdString()).value_or(kLibraryDefaultBurgOrder);
  SetStatus(kLibraryWorkingText + (row.channels == 2 ? ch.a + " 与 " + ch.b : ch.a) + row.progress);
  if (resultWindow_ != nullptr) resultWindow_->Result.Valid = 0;
  std::vector<double> x;
  std::vector<double> y;
  int32_t count = 0;
  const bool done = CalcLibraryAnalysis(entries_, analysis, ch, nfft, order, count, x, y);
  if (resultWindow_ != nullptr) resultWindow_->Result.Count = count;
  if (!done || resultWindow_ == nullptr ||
      !HandOverAnalysisResult(*resultWindow_, row.kind, x, y, ch.a, row.channels == 2 ? ch.b : std::string())) {
    SetStatus(row.failure);
    return;
  }
  SetStatus(row.success);
  if (analysis != LibraryAnalysis::PBurg) main_.menuViewSpectrum->setVisible(true);
}

void TFormMatLib::ButtonExitClick() {
  hide();
  main_.menuViewSpectrum->setVisible(false);
}

std::string TFormMatLib::StatusText() const { return statusLine_->text().toStdString(); }

void TFormMatLib::SetStatus(const std::string& text) { statusLine_->setText(Q(text)); }

void TFormMatLib::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TFormMatLib::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

}  // namespace quelvar
