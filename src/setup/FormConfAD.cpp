#include "platform/qt/QtText.h"
#include "setup/FormConfAD.h"

#include <QAction>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "setup/ConfADSettings.h"
#include "setup/DialogNumbers.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormConfAD";
constexpr int kDesignedLeft = 240, kDesignedTop = 120, kDesignedWidth = 430, kDesignedHeight = 440;
// The toolkit's caption for its own messages.

std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }

QLineEdit* AddEdit(QFormLayout* form, QWidget* parent, const char* name, const char* label,
                   QLabel** labelOut = nullptr) {
  auto* caption = new QLabel(QString::fromUtf8(label), parent);
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  form->addRow(caption, edit);
  if (labelOut != nullptr) *labelOut = caption;
  return edit;
}

// An edit's value written back only when its text differs, so the change
// handler it may carry does not run again for nothing.
void WriteBack(QLineEdit* edit, int32_t value) {
  const QString text = QString::number(value);
  if (edit->text() == text) return;
  const QSignalBlocker quiet(edit);
  edit->setText(text);
}

}  // namespace

TFormConfAD::TFormConfAD(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry), ui_(ui) {
  setObjectName("FormConfAD");
  setWindowTitle(QStringLiteral("配置AD采集板"));

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  auto* basic = new QWidget(PageControl1);
  basic->setObjectName("TabSheetBasic");
  BuildBasicPage(basic);
  PageControl1->addTab(basic, QStringLiteral("基本配置"));
  auto* advanced = new QWidget(PageControl1);
  advanced->setObjectName("TabSheetAdvanced");
  BuildAdvancedPage(advanced);
  PageControl1->addTab(advanced, QStringLiteral("高级配置"));
  BuildSimulateMenu();

  Button_OK = new QPushButton(QStringLiteral("确定"), this);
  Button_OK->setObjectName("Button_OK");
  Button_Cancel = new QPushButton(QStringLiteral("取消"), this);
  Button_Cancel->setObjectName("Button_Cancel");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Button_OK);
  buttons->addWidget(Button_Cancel);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  statusLine_ = new QLabel(StatusBar1);
  StatusBar1->addWidget(statusLine_, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageControl1, 1);
  layout->addLayout(buttons);
  layout->addWidget(StatusBar1);

  connect(Edit_NumChn, &QLineEdit::textChanged, this, [this] { Edit_NumChnChange(); });
  connect(Edit_SampPerChn, &QLineEdit::editingFinished, this, [this] { Edit_SampPerChnExit(); });
  connect(Edit_FrqSamp, &QLineEdit::textChanged, this, [this] { Edit_FrqSampChange(); });
  connect(Edit_FrqSamp, &QLineEdit::editingFinished, this, [this] { Edit_FrqSampExit(); });
  connect(EditFilterCoe, &QLineEdit::editingFinished, this, [this] { EditFilterCoeExit(); });
  connect(EditResampNum, &QLineEdit::editingFinished, this, [this] { EditResampNumExit(); });
  connect(CheckBoxFilter, &QCheckBox::clicked, this, [this] { CheckBoxFilterClick(); });
  connect(CheckBoxResamp, &QCheckBox::clicked, this, [this] { CheckBoxResampClick(); });
  connect(CheckBoxSimulate, &QCheckBox::clicked, this, [this] { CheckBoxSimulateClick(); });
  connect(Button_OK, &QPushButton::clicked, this, [this] { Button_OKClick(); });
  connect(Button_Cancel, &QPushButton::clicked, this, [this] { Button_CancelClick(); });

  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  FormCreate();
}

TFormConfAD::~TFormConfAD() { FormDestroy(); }

void TFormConfAD::BuildBasicPage(QWidget* page) {
  auto* form = new QFormLayout(page);
  Edit_ADCard = AddEdit(form, page, "Edit_ADCard", "AD板名称");
  Edit_ADCard->setEnabled(false);
  Edit_IOBase = AddEdit(form, page, "Edit_IOBase", "IO基地址(Hex)");
  Edit_PhysAddr = AddEdit(form, page, "Edit_PhysAddr", "内存地址(Hex)");
  Edit_IRQNum = AddEdit(form, page, "Edit_IRQNum", "占用IRQ号");
  Edit_SampPerChn = AddEdit(form, page, "Edit_SampPerChn", "每通道采样数(每块)", &Label_SampPerChn);
  Label_SampPerChn->setObjectName("Label_SampPerChn");
  Edit_BegChn = AddEdit(form, page, "Edit_BegChn", "起始通道号");
  Edit_NumChn = AddEdit(form, page, "Edit_NumChn", "采样通道数");
  Edit_NumChn->setEnabled(false);
  Edit_FrqSamp = AddEdit(form, page, "Edit_FrqSamp", "名义采样频率(Hz)");
  Edit_NumBuf = AddEdit(form, page, "Edit_NumBuf", "中断缓冲区数");
  Edit_ADBit = AddEdit(form, page, "Edit_ADBit", "AD芯片位数");
  Edit_AmpGain = AddEdit(form, page, "Edit_AmpGain", "程控放大倍数");
}

void TFormConfAD::BuildAdvancedPage(QWidget* page) {
  auto* grid = new QGridLayout(page);
  CheckBoxFilter = new QCheckBox(QStringLiteral("使能模拟通道在线IIR滤波"), page);
  CheckBoxFilter->setObjectName("CheckBoxFilter");
  auto* formula = new QLabel(QStringLiteral("IIR滤波公式:y(i)=y(i-1)*Coe+x(i)*(1-Coe)"), page);
  formula->setObjectName("LabelFilterFormula");
  auto* coeLabel = new QLabel(QStringLiteral("系数Coe*1000:"), page);
  EditFilterCoe = new QLineEdit(page);
  EditFilterCoe->setObjectName("EditFilterCoe");
  CheckBoxResamp = new QCheckBox(QStringLiteral("使能在线重采样"), page);
  CheckBoxResamp->setObjectName("CheckBoxResamp");
  auto* resampLabel = new QLabel(QStringLiteral("重采样压缩倍数："), page);
  EditResampNum = new QLineEdit(page);
  EditResampNum->setObjectName("EditResampNum");
  // The two keep-modes exclude each other as siblings of one container.
  auto* modes = new QWidget(page);
  RadioButtonLastPoint = new QRadioButton(QStringLiteral("保留最后1点"), modes);
  RadioButtonLastPoint->setObjectName("RadioButtonLastPoint");
  RadioButtonAvgValue = new QRadioButton(QStringLiteral("保留平均值"), modes);
  RadioButtonAvgValue->setObjectName("RadioButtonAvgValue");
  auto* modeRow = new QHBoxLayout(modes);
  modeRow->setContentsMargins(0, 0, 0, 0);
  modeRow->addWidget(RadioButtonLastPoint);
  modeRow->addWidget(RadioButtonAvgValue);
  CheckBoxSimulate = new QCheckBox(QStringLiteral("使用虚拟AD板"), page);
  CheckBoxSimulate->setObjectName("CheckBoxSimulate");

  grid->addWidget(CheckBoxFilter, 0, 0, 1, 2);
  grid->addWidget(formula, 1, 0, 1, 2);
  grid->addWidget(coeLabel, 2, 0);
  grid->addWidget(EditFilterCoe, 2, 1);
  grid->addWidget(CheckBoxResamp, 3, 0, 1, 2);
  grid->addWidget(resampLabel, 4, 0);
  grid->addWidget(EditResampNum, 4, 1);
  grid->addWidget(modes, 5, 0, 1, 2);
  grid->addWidget(CheckBoxSimulate, 6, 0, 1, 2);
  grid->setRowStretch(7, 1);
}

void TFormConfAD::BuildSimulateMenu() {
  PopupMenuSimulate = new QMenu(this);
  PopupMenuSimulate->setObjectName("PopupMenuSimulate");
  const auto add = [this](const char* name, const char* caption, bool checkable) {
    QAction* item = PopupMenuSimulate->addAction(QString::fromUtf8(caption));
    item->setObjectName(name);
    item->setCheckable(checkable);
    return item;
  };
  menuSimulateAuto = add("menuSimulateAuto", "自动周期性数据", true);
  menuSimulateRandom = add("menuSimulateRandom", "周期数据加随机野点", true);
  menuSimulateFile = add("menuSimulateFile", "以前记录的数据", true);
  menuCurDataFile = add("menuCurDataFile", "当前显示的历史数据", false);
  menuSimulateInterval = add("menuSimulateInterval", "仿真数据块时延(?ms)", false);
  ConnectCommand(menuSimulateAuto, [this] { menuSimulateAutoClick(); });
  ConnectCommand(menuSimulateRandom, [this] { menuSimulateRandomClick(); });
  ConnectCommand(menuSimulateFile, [this] { menuSimulateFileClick(); });
  ConnectCommand(menuCurDataFile, [this] { menuCurDataFileClick(); });
  ConnectCommand(menuSimulateInterval, [this] { menuSimulateIntervalClick(); });
  CheckBoxSimulate->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(CheckBoxSimulate, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenuSimulate->popup(CheckBoxSimulate->mapToGlobal(at)); });
}

void TFormConfAD::ConnectCommand(QAction* item, std::function<void()> handler) {
  connect(item, &QAction::triggered, this, [item, handler = std::move(handler)] {
    // The handlers decide the check marks; a click must not toggle them first.
    if (item->isCheckable()) item->setChecked(!item->isChecked());
    handler();
  });
}

void TFormConfAD::FormCreate() {
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

void TFormConfAD::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

void TFormConfAD::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormActivate();  // not again when restored from the task bar
  QDialog::showEvent(event);
}

void TFormConfAD::FormActivate() {
  const LiveConfig& c = state_.config;
  resampling_ = c.OnlineResamp != 0;
  resampFactor_ = c.ResampNum;
  if (state_.startup.ConfigUnlocked == 0) Button_OK->setEnabled(false);
  menuCurDataFile->setVisible(state_.display.SelectFault != 0);

  Edit_IOBase->setText(Q(HexText(c.IOBase)));
  Edit_PhysAddr->setText(Q(HexText(c.PhysAddr)));
  Edit_IRQNum->setText(QString::number(c.IRQNum));
  Edit_BegChn->setText(QString::number(c.BegChn));
  Edit_NumChn->setText(QString::number(c.NumChn));
  Edit_SampPerChn->setText(QString::number(c.NumSamp));
  Edit_FrqSamp->setText(QString::number(c.FrqSamp));
  Edit_NumBuf->setText(QString::number(c.NumBuf));
  Edit_AmpGain->setText(QString::number(c.AmpGain));
  Edit_ADBit->setText(QString::number(c.ADBit));
  Label_SampPerChn->setToolTip(Q(MinimumSamplesHint(state_.driver.CardMinBlockSamples, c.NumChn)));
  // A driver reports its own resolution.
  Edit_ADBit->setEnabled(state_.driver.DriverUsable != 1);

  CheckBoxFilter->setChecked(c.OnlineFilter != 0);
  EditFilterCoe->setText(QString::number(c.FilterCoe));
  CheckBoxResamp->setChecked(c.OnlineResamp != 0);
  EditResampNum->setText(QString::number(c.ResampNum));
  (c.ResampMode == 1 ? RadioButtonLastPoint : RadioButtonAvgValue)->setChecked(true);

  // The edits' change handlers run only for a text that changed; the rate OK
  // checks must be that of the values shown now.
  ShowChannelFrequency();
  if (!VZeroMatchesADBit(c.VZero, c.ADBit)) SetStatusText(kADBitVZeroWarning);
  CheckBoxSimulateClick();
}

void TFormConfAD::ShowChannelFrequency() {
  const std::string frqSamp = Text(Edit_FrqSamp);
  DialogRateInputs in;
  in.frqSampText = frqSamp;
  in.temporaryConfig = state_.configInForce.TempConfigActive == 1;
  in.analogNum = state_.config.Analog_Num;
  in.pidEnable = state_.config.PIDEnable != 0;
  in.resampling = resampling_;
  in.resampFactor = resampFactor_;
  in.channelFrq = state_.driver.Entries.ChannelFrq;
  keptRate_ = DialogChannelRate(in);
  SetStatusText(ChannelRateLine(keptRate_));
}

void TFormConfAD::Edit_NumChnChange() {
  WriteBack(Edit_NumChn, ChannelCountFromText(Text(Edit_NumChn)));
  ShowChannelFrequency();
}

void TFormConfAD::Edit_SampPerChnExit() {
  WriteBack(Edit_SampPerChn, SamplesPerChannelFromTexts(Text(Edit_SampPerChn), Text(Edit_NumChn),
                                                        state_.driver.CardMinBlockSamples));
}

void TFormConfAD::EditFilterCoeExit() { WriteBack(EditFilterCoe, FilterCoeFromText(Text(EditFilterCoe))); }

void TFormConfAD::EditResampNumExit() {
  resampFactor_ = ResampNumFromText(Text(EditResampNum));
  WriteBack(EditResampNum, resampFactor_);
  ShowChannelFrequency();
}

void TFormConfAD::CheckBoxFilterClick() {
  // The virtual card delivers its data unfiltered.
  if (CheckBoxSimulate->isChecked()) CheckBoxFilter->setChecked(false);
}

void TFormConfAD::CheckBoxResampClick() {
  if (CheckBoxSimulate->isChecked()) CheckBoxResamp->setChecked(false);
  resampling_ = CheckBoxResamp->isChecked();
  ShowChannelFrequency();
}

void TFormConfAD::CheckBoxSimulateClick() {
  const SimulateSwitchRule rule = SimulateSwitchFor(state_.driver.DriverUsable, state_.config.ADBit);
  if (rule.forceTicked) CheckBoxSimulate->setChecked(true);
  const bool simulate = CheckBoxSimulate->isChecked();
  if (simulate) {
    CheckBoxFilter->setChecked(false);
    // The dialog's resampling switch follows its box, and so does the rate.
    if (CheckBoxResamp->isChecked()) {
      CheckBoxResamp->setChecked(false);
      CheckBoxResampClick();
    }
  }
  CheckBoxFilter->setEnabled(!simulate);
  CheckBoxResamp->setEnabled(!simulate);
  if (!rule.notice.empty()) SetStatusText(rule.notice);
}

void TFormConfAD::ShowSimulateSource(int32_t simulateType) {
  menuSimulateAuto->setChecked(simulateType == 0);
  menuSimulateFile->setChecked(simulateType != 0);
}

void TFormConfAD::menuSimulateAutoClick() {
  state_.config.SimulateType = 0;
  ShowSimulateSource(0);
}

void TFormConfAD::menuSimulateRandomClick() { menuSimulateRandom->setChecked(!menuSimulateRandom->isChecked()); }

void TFormConfAD::menuSimulateFileClick() {
  platform::FileDialogRequest request;
  request.title = "选定波形文件";
  request.defaultExt = "DAT";
  request.filter = "历史数据文件 (*.DAT)|*.DAT|所有文件 (*.*)|*.*";
  request.fileName = state_.config.SimulateFile;
  request.initialDir = state_.startup.DialogInitialDir;
  const std::optional<std::string> chosen = ui_.OpenFileName(request);
  if (chosen) TakeReplayFile(*chosen);
}

void TFormConfAD::menuCurDataFileClick() {
  if (state_.display.SelectFault == 0) {
    ui_.MessageBox(kNoHistoryFileText, kNoHistoryFileCaption, platform::MsgButtons::Ok);
    return;
  }
  TakeReplayFile(state_.HistoryFilePath);
}

void TFormConfAD::TakeReplayFile(const std::string& path) {
  if (!ChooseReplayFile(path, state_.config)) {
    ui_.MessageBox(kBadReplayFileText, kBadReplayFileCaption, platform::MsgButtons::OkCancel);
    return;
  }
  ShowSimulateSource(1);
  SetStatusText(kReplaySourcePrefix + path);
}

void TFormConfAD::menuSimulateIntervalClick() {
  LiveConfig& c = state_.config;
  const std::string present = std::to_string(c.SimulateInterval);
  // A cancelled input box answers with its default.
  const std::optional<std::string> answer =
      ui_.InputBox("请设定仿真数据块产生速度(0ms表示实际速度)", "时延(ms):   ", present);
  c.SimulateInterval = SimulateIntervalFromAnswer(answer.value_or(present), c.SimulateInterval);
  menuSimulateInterval->setText(Q(SimulateIntervalCaption(c.SimulateInterval)));
}

void TFormConfAD::Button_OKClick() {
  ConfADFields f;
  f.simulate = CheckBoxSimulate->isChecked();
  f.randomSpikes = menuSimulateRandom->isChecked();
  f.ioBase = Text(Edit_IOBase);
  f.physAddr = Text(Edit_PhysAddr);
  f.irqNum = Text(Edit_IRQNum);
  f.begChn = Text(Edit_BegChn);
  f.numChn = Text(Edit_NumChn);
  f.numBuf = Text(Edit_NumBuf);
  f.numSamp = Text(Edit_SampPerChn);
  f.frqSamp = Text(Edit_FrqSamp);
  f.ampGain = Text(Edit_AmpGain);
  f.adBit = Text(Edit_ADBit);
  f.filter = CheckBoxFilter->isChecked();
  f.resampling = CheckBoxResamp->isChecked();
  f.filterCoe = Text(EditFilterCoe);
  f.resampNum = Text(EditResampNum);
  f.keepLastPoint = RadioButtonLastPoint->isChecked();

  const ConfADOutcome outcome = ApplyConfADFields(f, state_.driver, keptRate_, state_.config);
  if (outcome.simulateTicked) CheckBoxSimulate->setChecked(true);
  if (outcome.notANumber) {
    ui_.MessageBox(NotAnIntegerMessage(*outcome.notANumber), kNotANumberCaption, platform::MsgButtons::Ok,
                   platform::MsgIcon::Error);
    return;
  }
  if (outcome.askBlockRate &&
      ui_.MessageBox(kBlockRateQuestion, kBlockRateCaption, platform::MsgButtons::OkCancel) ==
          platform::MsgResult::Cancel) {
    return;  // the values stay stored; the user may correct them
  }
  accept();
}

void TFormConfAD::SetStatusText(const std::string& text) { statusLine_->setText(Q(text)); }

std::string TFormConfAD::StatusText() const { return statusLine_->text().toStdString(); }

}  // namespace quelvar
