#include "analysis/FormMatEng.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "analysis/AnalysisPanelEdits.h"
#include "analysis/FormAnalysisResult.h"
#include "setup/DialogNumbers.h"
#include "shell/FormMain.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

constexpr int kDesignedLeft = 240, kDesignedTop = 180, kDesignedWidth = 440, kDesignedHeight = 238;
constexpr int32_t kDesignedFftOrder = 8;

QString Q(const std::string& text) { return QString::fromStdString(text); }

QPushButton* Button(QWidget* parent, const char* name, const char* caption, int x, int y, int w = 100) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  button->setGeometry(x, y, w, 26);
  return button;
}

QLineEdit* Edit(QWidget* parent, const char* name, const char* text, int x, int y, int w) {
  auto* edit = new QLineEdit(QString::fromUtf8(text), parent);
  edit->setObjectName(name);
  edit->setGeometry(x, y, w, 24);
  return edit;
}

QLabel* Label(QWidget* parent, const char* name, const char* caption, int x, int y, int w = 60) {
  auto* label = new QLabel(QString::fromUtf8(caption), parent);
  label->setObjectName(name);
  label->setGeometry(x, y + 2, w, 20);
  return label;
}

// The hourglass while an analysis runs; the sequence pairs every show with
// a restore.
void ShowBusy(bool busy) {
  if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  else QApplication::restoreOverrideCursor();
}

}  // namespace

EditUpDown::EditUpDown(int32_t min, int32_t max, QWidget* parent) : QWidget(parent), Min(min), Max(max) {
  Up = new QToolButton(this);
  Up->setArrowType(Qt::UpArrow);
  Up->setGeometry(0, 0, 18, 12);
  Down = new QToolButton(this);
  Down->setArrowType(Qt::DownArrow);
  Down->setGeometry(0, 12, 18, 12);
  connect(Up, &QToolButton::clicked, this, [this] { Click(true); });
  connect(Down, &QToolButton::clicked, this, [this] { Click(false); });
}

void EditUpDown::Click(bool up) {
  int32_t next = Position + (up ? 1 : -1);
  if (next > Max) next = Min;
  if (next < Min) next = Max;
  Position = next;
  if (onChange) onChange(Position);
}

TFormMatEng::TFormMatEng(AppState& state, platform::RegistryStore& registry, TFormMain& main, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), registry_(registry), main_(main) {
  setObjectName("FormMatEng");
  setWindowTitle(QStringLiteral("MATLAB环境信号处理面板"));
  auto* body = new QWidget(this);
  body->setObjectName("PanelBody");
  ButtonStart = Button(body, "ButtonStart", "启动MATLAB", 10, 10);
  ButtonSend = Button(body, "ButtonSend", "AD值送MATLAB", 115, 10);
  ButtonExit = Button(body, "ButtonExit", "退出", 330, 10);
  CheckBoxOrigAD = new QCheckBox(QStringLiteral("原始量"), body);
  CheckBoxOrigAD->setObjectName("CheckBoxOrigAD");
  CheckBoxOrigAD->setGeometry(12, 44, 80, 22);
  CheckBoxDirectDisp = new QCheckBox(QStringLiteral("独立图形"), body);
  CheckBoxDirectDisp->setObjectName("CheckBoxDirectDisp");
  CheckBoxDirectDisp->setGeometry(100, 44, 100, 22);
  ButtonDispSpect = Button(body, "ButtonDispSpect", "谱图窗口", 220, 42);
  LabelChn1 = Label(body, "LabelChn1", "处理通道", 12, 78);
  EditChn1 = Edit(body, "EditChn1", "0", 74, 78, 50);
  UpDownChn1 = new EditUpDown(0, 0, body);
  UpDownChn1->setObjectName("UpDownChn1");
  UpDownChn1->setGeometry(124, 78, 18, 24);
  LabelChn2 = Label(body, "LabelChn2", "第二通道", 160, 78);
  EditChn2 = Edit(body, "EditChn2", "0", 222, 78, 50);
  UpDownChn2 = new EditUpDown(0, 0, body);
  UpDownChn2->setObjectName("UpDownChn2");
  UpDownChn2->setGeometry(272, 78, 18, 24);
  LabelFFT = Label(body, "LabelFFT", "FFT点数", 12, 110);
  EditFFT = Edit(body, "EditFFT", "256", 74, 110, 68);
  EditFFTOrder = Edit(body, "EditFFTOrder", "8", 142, 110, 30);
  EditFFTOrder->hide();
  UpDownFFT = new EditUpDown(kPanelFftMinOrder, kPanelFftMaxOrder, body);
  UpDownFFT->setObjectName("UpDownFFT");
  UpDownFFT->setGeometry(142, 110, 18, 24);
  UpDownFFT->Position = kDesignedFftOrder;
  UpDownFFT->hide();
  LabelOrder = Label(body, "LabelOrder", "阶", 180, 110, 20);
  LabelOrder->hide();
  EditOrder = Edit(body, "EditOrder", "10", 200, 110, 40);
  EditOrder->hide();
  ButtonPSD = Button(body, "ButtonPSD", "求功率谱", 10, 146);
  ButtonCPSD = Button(body, "ButtonCPSD", "求互功率谱", 115, 146);
  ButtonCohere = Button(body, "ButtonCohere", "求相干函数", 220, 146);
  ButtonPBurg = Button(body, "ButtonPBurg", "Berg法的谱", 325, 146);
  ButtonPBurg->hide();
  ButtonTransfer = Button(body, "ButtonTransfer", "求传递函数", 10, 178);
  ButtonAutoCorr = Button(body, "ButtonAutoCorr", "求自相关", 115, 178);
  ButtonCorr = Button(body, "ButtonCorr", "求互相关", 220, 178);
  ButtonPSD->setToolTip(QStringLiteral("处理通道的功率谱函数"));
  ButtonCPSD->setToolTip(QStringLiteral("处理通道与第二通道之间的互功率谱"));
  ButtonCohere->setToolTip(QStringLiteral("处理通道与第二通道之间的相干函数"));
  ButtonTransfer->setToolTip(QStringLiteral("处理通道对第二通道的传递函数"));
  ButtonAutoCorr->setToolTip(QStringLiteral("处理通道的自相关函数"));
  ButtonCorr->setToolTip(QStringLiteral("处理通道与第二通道之间的互相关"));
  ButtonSend->setEnabled(false);
  ButtonDispSpect->setEnabled(false);
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(body, 1);
  layout->addWidget(StatusBar1);

  connect(ButtonStart, &QPushButton::clicked, this, [this] { ButtonStartClick(); });
  connect(ButtonSend, &QPushButton::clicked, this, [this] { ButtonSendClick(); });
  connect(ButtonExit, &QPushButton::clicked, this, [this] { ButtonExitClick(); });
  connect(CheckBoxDirectDisp, &QCheckBox::clicked, this, [this] { CheckBoxDirectDispClick(); });
  connect(ButtonDispSpect, &QPushButton::clicked, this, [this] { ButtonDispSpectClick(); });
  // The edits are read when left: a number is only complete then.
  connect(EditChn1, &QLineEdit::editingFinished, this, [this] { EditChn1Change(); });
  connect(EditChn2, &QLineEdit::editingFinished, this, [this] { EditChn2Change(); });
  connect(EditFFT, &QLineEdit::editingFinished, this, [this] { EditFFTChange(); });
  connect(EditFFTOrder, &QLineEdit::editingFinished, this, [this] { EditFFTOrderChange(); });
  UpDownChn1->onChange = [this](int32_t position) {
    EditChn1->setText(QString::number(position));
    EditChn1Change();
  };
  UpDownChn2->onChange = [this](int32_t position) {
    EditChn2->setText(QString::number(position));
    EditChn2Change();
  };
  UpDownFFT->onChange = [this](int32_t position) {
    EditFFTOrder->setText(QString::number(position));
    EditFFTOrderChange();
  };
  const std::pair<QPushButton*, void (TFormMatEng::*)()> analyses[] = {
      {ButtonPSD, &TFormMatEng::ButtonPSDClick},         {ButtonCPSD, &TFormMatEng::ButtonCPSDClick},
      {ButtonPBurg, &TFormMatEng::ButtonPBurgClick},     {ButtonCohere, &TFormMatEng::ButtonCohereClick},
      {ButtonTransfer, &TFormMatEng::ButtonTransferClick}, {ButtonAutoCorr, &TFormMatEng::ButtonAutoCorrClick},
      {ButtonCorr, &TFormMatEng::ButtonCorrClick},
  };
  for (const auto& [button, handler] : analyses) {
    connect(button, &QPushButton::clicked, this, [this, h = handler] { (this->*h)(); });
  }
  FormCreate();
}

TFormMatEng::~TFormMatEng() { FormDestroy(); }

void TFormMatEng::FormCreate() {
  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormMatEng");
  if (state_.startup.EngineLoaded == 1) Session.Entries = BindEngineEntries(state_.startup.EngineModule);
  Session.EngineStarted = 0;
  ShowStatus(kEngineStartPrompt);
  ButtonSend->setEnabled(false);
  SetAnalysisButtons(false);
}

void TFormMatEng::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  // The engine stays started: the library closes it when it is unloaded.
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormMatEng");
}

void TFormMatEng::FormActivate() {
  EditChn1Change();
  EditChn2Change();
  const std::string points = std::to_string(state_.wave.DisplayWidth);
  EditFFT->setToolTip(Q("数据点数:" + points));
  ShowStatus(state_.display.DispValid != 0 ? "提示:处理的数据点数=" + points : "警告:没有AD数据可供处理!");
}

void TFormMatEng::FormHide() {
  if (resultWindow_ == nullptr || !resultWindow_->isVisible()) return;
  resultWindow_->hide();
  main_.menuViewSpectrum->setVisible(false);
}

void TFormMatEng::ButtonStartClick() {
  const bool wasStarted = Session.EngineStarted != 0;
  const bool started = StartOrCloseEngine(Session, Hooks());
  if (started == wasStarted) return;  // a start that failed
  ButtonStart->setText(started ? QStringLiteral("关闭MATLAB") : QStringLiteral("启动MATLAB"));
  ButtonSend->setEnabled(started);
  SetAnalysisButtons(started);
}

void TFormMatEng::ButtonSendClick() { SendDisplayData(Session, state_, CheckBoxOrigAD->isChecked(), Hooks()); }

void TFormMatEng::ChannelChange(int32_t edit, QLineEdit* editBox, EditUpDown* upDown, const char* statusPrefix) {
  const int32_t analog = std::clamp(state_.config.Analog_Num, 0, kMaxAnalogChannels);
  const PanelChannel c = ResolvePanelChannel(edit, editBox->text().toStdString(), analog,
                                             state_.display.DataSourceMode, state_.oscilTool);
  editBox->setText(QString::number(c.channel));
  upDown->Max = std::max(analog - 1, 0);
  upDown->Position = c.channel;
  if (!c.analog) {
    editBox->setToolTip(QStringLiteral("通道名:"));
    ShowStatus(analog == 0 ? kPanelNoAnalogText : kPanelSwitchChannelText);
    return;
  }
  const std::string& name = state_.config.AnalogChannelTable[static_cast<size_t>(c.channel)].ChnName;
  editBox->setToolTip(Q("通道名:" + name));
  ShowStatus(statusPrefix + name);
}

void TFormMatEng::EditChn1Change() { ChannelChange(1, EditChn1, UpDownChn1, "提示:处理通道的名称为:"); }

void TFormMatEng::EditChn2Change() { ChannelChange(2, EditChn2, UpDownChn2, "提示:第二处理通道的名称为:"); }

void TFormMatEng::EditFFTChange() {
  const int32_t points = RoundFftPoints(EditFFT->text().toStdString(), kPanelFftMinPoints);
  EditFFT->setText(QString::number(points));
}

void TFormMatEng::EditFFTOrderChange() {
  const int32_t order = ParseDialogInteger(EditFFTOrder->text().toStdString()).value_or(kDesignedFftOrder);
  EditFFT->setText(QString::number(FftPointsOfOrder(order)));
}

void TFormMatEng::CheckBoxDirectDispClick() {
  const bool checked = CheckBoxDirectDisp->isChecked();
  Session.DirectDisplay = checked ? 1 : 0;
  if (checked) main_.menuViewSpectrum->setVisible(true);
  ButtonDispSpect->setEnabled(checked);
}

void TFormMatEng::ButtonDispSpectClick() {
  if (resultWindow_ == nullptr) return;
  resultWindow_->show();
  resultWindow_->raise();
}

void TFormMatEng::Analyse(EngineAnalysis analysis) {
  EngineAnalysisRequest request;
  request.Analysis = analysis;
  request.Chn1Text = EditChn1->text().toStdString();
  request.Chn2Text = EditChn2->text().toStdString();
  request.FftText = EditFFT->text().toStdString();
  request.OrderText = EditOrder->text().toStdString();
  request.OrigAD = CheckBoxOrigAD->isChecked();
  const EngineOutcome outcome = RunEngineAnalysis(Session, state_, request, Hooks());
  if (outcome == EngineOutcome::kShown && analysis != EngineAnalysis::kBurg) main_.menuViewSpectrum->setVisible(true);
}

void TFormMatEng::SetAnalysisButtons(bool enabled) {
  for (QPushButton* b :
       {ButtonPSD, ButtonCPSD, ButtonPBurg, ButtonCohere, ButtonTransfer, ButtonAutoCorr, ButtonCorr}) {
    b->setEnabled(enabled);
  }
}

void TFormMatEng::DataSent() {
  SetAnalysisButtons(true);
  ButtonPBurg->setEnabled(false);
}

void TFormMatEng::ShowStatus(const std::string& text) {
  StatusBar1->showMessage(Q(text));
  // Each step's text shows while the engine works on the next.
  StatusBar1->repaint();
}

EnginePanelHooks TFormMatEng::Hooks() {
  EnginePanelHooks h;
  h.Status = [this](const std::string& text) { ShowStatus(text); };
  h.Busy = ShowBusy;
  h.Sent = [this] { DataSent(); };
  h.ClearResult = [this] {
    if (resultWindow_ != nullptr) resultWindow_->Result.Valid = 0;
  };
  h.HandOver = [this](int32_t kind, const std::vector<double>& x, const std::vector<double>& y, const std::string& a,
                      const std::string& b) {
    return resultWindow_ != nullptr && HandOverAnalysisResult(*resultWindow_, kind, x, y, a, b);
  };
  return h;
}

void TFormMatEng::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FormActivate();
}

void TFormMatEng::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

void TFormMatEng::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

}  // namespace quelvar
