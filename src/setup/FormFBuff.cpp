#include "setup/FormFBuff.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QVBoxLayout>

#include "platform/DayTime.h"
#include "platform/RegistryStore.h"
#include "platform/SystemMemory.h"
#include "platform/qt/QtText.h"
#include "platform/qt/StatusLine.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormFBuff";
constexpr int kDesignedLeft = 260, kDesignedTop = 140, kDesignedWidth = 560, kDesignedHeight = 470;
const char* const kDataFileFilter = "AD记录文件 (*.dat)|*.dat|所有文件 (*.*)|*.*";

std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }

QLineEdit* NewEdit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  return edit;
}

QLabel* NewLabel(QWidget* parent, const char* caption, const char* name = nullptr) {
  auto* label = new QLabel(QString::fromUtf8(caption), parent);
  if (name != nullptr) label->setObjectName(name);
  return label;
}

template <class Button>
Button* NewButton(QWidget* parent, const char* name, const char* caption, const char* hint = nullptr) {
  auto* button = new Button(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  if (hint != nullptr) button->setToolTip(QString::fromUtf8(hint));
  return button;
}

}  // namespace

TFormFBuff::TFormFBuff(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry), ui_(ui) {
  setObjectName("FormFBuff");
  setWindowTitle(QStringLiteral("录波器缓冲区设置"));
  BuildControls();

  connect(EditMaxBlock, &QLineEdit::textChanged, this, [this] { EditMaxBlockChange(); });
  connect(EditEndBlock, &QLineEdit::textChanged, this, [this] { EditEndBlockChange(); });
  connect(EditFaultBlock, &QLineEdit::textChanged, this, [this] { EditFaultBlockChange(); });
  connect(EditCompressFaultBlock, &QLineEdit::textChanged, this, [this] { EditCompressFaultBlockChange(); });
  connect(Edit_CompressRatio, &QLineEdit::textChanged, this, [this] { Edit_CompressRatioChange(); });
  connect(EditStartNum, &QLineEdit::editingFinished, this, [this] { EditStartNumExit(); });
  connect(CheckBoxContinuousSave, &QCheckBox::clicked, this, [this] { CheckBoxContinuousSaveClick(); });
  connect(ButtonOpen, &QPushButton::clicked, this, [this] { ButtonOpenClick(); });
  connect(ButtonCurTime, &QPushButton::clicked, this, [this] { ButtonCurTimeClick(); });
  connect(ButtonNewBakFile, &QPushButton::clicked, this, [this] { ButtonNewBakFileClick(); });
  connect(ButtonDefaultBAKFile, &QPushButton::clicked, this, [this] { ButtonDefaultBAKFileClick(); });
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
  for (QWidget* w : std::initializer_list<QWidget*>{EditFileName, EditSafeSaveFileName, LabelSafeSave}) {
    w->installEventFilter(this);
  }

  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  FormCreate();
}

TFormFBuff::~TFormFBuff() { FormDestroy(); }

void TFormFBuff::BuildControls() {
  auto* grid = new QGridLayout;
  const auto pair = [grid](QLabel* label, QWidget* field, int row, int col) {
    grid->addWidget(label, row, col);
    grid->addWidget(field, row, col + 1);
  };

  EditNumChn = NewEdit(this, "EditNumChn");
  EditNumChn->setEnabled(false);
  pair(NewLabel(this, "总采样通道数"), EditNumChn, 0, 0);
  EditNumSamp = NewEdit(this, "EditNumSamp");
  EditNumSamp->setEnabled(false);
  pair(NewLabel(this, "每块每通道采样数"), EditNumSamp, 0, 2);
  EditChnFrq = NewEdit(this, "EditChnFrq");
  EditChnFrq->setEnabled(false);
  pair(NewLabel(this, "每通道采样频率(Hz)"), EditChnFrq, 1, 0);
  EditMaxBlock = NewEdit(this, "EditMaxBlock");
  pair(NewLabel(this, "内存缓冲区块数"), EditMaxBlock, 1, 2);
  EditFaultBlock = NewEdit(this, "EditFaultBlock");
  EditFaultBlock->setToolTip(QStringLiteral("手动触发故障时记录的块数"));
  pair(NewLabel(this, "故障记录块数"), EditFaultBlock, 2, 0);
  EditCompressFaultBlock = NewEdit(this, "EditCompressFaultBlock");
  pair(NewLabel(this, "压缩记录块数"), EditCompressFaultBlock, 2, 2);
  Edit_CompressRatio = NewEdit(this, "Edit_CompressRatio");
  pair(NewLabel(this, "压缩记录的压缩比例"), Edit_CompressRatio, 3, 0);
  // The compression kind is kept but not offered.
  Label_CompressType = NewLabel(this, "压缩记录方式", "Label_CompressType");
  ComboBox_CompressType = new QComboBox(this);
  ComboBox_CompressType->setObjectName("ComboBox_CompressType");
  pair(Label_CompressType, ComboBox_CompressType, 3, 2);
  Label_CompressType->hide();
  ComboBox_CompressType->hide();
  EditFileNum = NewEdit(this, "EditFileNum");
  pair(NewLabel(this, "保留的最大文件数"), EditFileNum, 4, 0);
  EditStartNum = NewEdit(this, "EditStartNum");
  pair(NewLabel(this, "启动次数统计"), EditStartNum, 4, 2);
  // The display refresh shares the end block's place; one pair shows.
  Label_EndBlock = NewLabel(this, "处理块数上限", "Label_EndBlock");
  EditEndBlock = NewEdit(this, "EditEndBlock");
  EditEndBlock->setToolTip(QStringLiteral("记录此块数时自动停止，0表示不限制"));
  pair(Label_EndBlock, EditEndBlock, 5, 0);
  LabelDispFrq = NewLabel(this, "显示刷新时间(ms)", "LabelDispFrq");
  EditDispFrq = NewEdit(this, "EditDispFrq");
  pair(LabelDispFrq, EditDispFrq, 5, 0);

  CheckBoxAutoStart = NewButton<QCheckBox>(this, "CheckBoxAutoStart", "启动自动录波", "程序启动时自动开始录波");
  CheckBoxAutoPrint =
      NewButton<QCheckBox>(this, "CheckBoxAutoPrint", "故障自动打印波形", "发生故障时自动打印输出故障波形");
  CheckBoxAutoRestore = NewButton<QCheckBox>(this, "CheckBoxAutoRestore", "退出自动恢复原配置",
                                             "程序退出时自动放弃临时参数、远程参数，恢复原配置");
  grid->addWidget(CheckBoxAutoStart, 6, 0, 1, 2);
  grid->addWidget(CheckBoxAutoPrint, 6, 2, 1, 2);
  grid->addWidget(CheckBoxAutoRestore, 7, 0, 1, 2);

  CheckBoxContinuousSave = NewButton<QCheckBox>(this, "CheckBoxContinuousSave", "连续记录到文件");
  EditFileName = NewEdit(this, "EditFileName");
  EditFileName->setToolTip(QStringLiteral("双击选新文件名"));
  ButtonOpen = NewButton<QPushButton>(this, "ButtonOpen", "选新文件名", "选择特定路径的文件名");
  ButtonCurTime = NewButton<QPushButton>(this, "ButtonCurTime", "以当前时间", "以当前时间为文件名");
  CheckBoxSafeSave = NewButton<QCheckBox>(this, "CheckBoxSafeSave", "定时备份时间(分)");
  EditSafeSaveTime = NewEdit(this, "EditSafeSaveTime");
  LabelSafeSave = NewLabel(this, "文件名", "LabelSafeSave");
  LabelSafeSave->setToolTip(QStringLiteral("双击自动产生备份文件名"));
  EditSafeSaveFileName = NewEdit(this, "EditSafeSaveFileName");
  EditSafeSaveFileName->setToolTip(QStringLiteral("双击选新备份文件名"));
  ButtonNewBakFile = NewButton<QPushButton>(this, "ButtonNewBakFile", "选新文件名");
  ButtonDefaultBAKFile = NewButton<QPushButton>(this, "ButtonDefaultBAKFile", "使用缺省名称");

  auto* saving = new QGridLayout;
  saving->addWidget(CheckBoxContinuousSave, 0, 0);
  saving->addWidget(EditFileName, 0, 1);
  saving->addWidget(ButtonOpen, 0, 2);
  saving->addWidget(ButtonCurTime, 0, 3);
  saving->addWidget(CheckBoxSafeSave, 1, 0);
  saving->addWidget(EditSafeSaveTime, 1, 1);
  saving->addWidget(LabelSafeSave, 2, 0);
  saving->addWidget(EditSafeSaveFileName, 2, 1);
  saving->addWidget(ButtonNewBakFile, 2, 2);
  saving->addWidget(ButtonDefaultBAKFile, 2, 3);

  LabelMemory = NewLabel(this, "", "LabelMemory");

  ButtonOK = NewButton<QPushButton>(this, "ButtonOK", "确定");
  ButtonOK->setDefault(true);
  ButtonCancel = NewButton<QPushButton>(this, "ButtonCancel", "取消");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(LabelMemory, 1);
  buttons->addWidget(ButtonOK);
  buttons->addWidget(ButtonCancel);

  statusLine_ = platform::AddStatusLine(this, StatusBar1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(saving);
  layout->addStretch(1);
  layout->addLayout(buttons);
  layout->addWidget(StatusBar1);
}

void TFormFBuff::FormCreate() {
  LabelDispFrq->hide();
  EditDispFrq->hide();
  state_.saving = LoadContinuousSaveSettings(registry_, state_.startup.AppKeyName);
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
  for (const char* name : kCompressTypeNames) ComboBox_CompressType->addItem(QString::fromUtf8(name));
  ComboBox_CompressType->setCurrentIndex(0);
  ShowContinuousSaveSettings();
}

void TFormFBuff::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  // What the controls hold is what the next start offers; a backup interval
  // that is no number takes its default rather than cutting the rest short.
  ContinuousSaveSettings saving;
  saving.ContinuousSaveFile = Text(EditFileName);
  saving.SafeSaveFileName = Text(EditSafeSaveFileName);
  saving.SafeSaveTime = SafeSaveTimeFromText(Text(EditSafeSaveTime));
  saving.idSafeSave = CheckBoxSafeSave->isChecked() ? 1 : 0;
  saving.idContinuousSave = CheckBoxContinuousSave->isChecked() ? 1 : 0;
  platform::RegistryBatch batch(registry_);
  SaveContinuousSaveSettings(registry_, state_.startup.AppKeyName, saving);
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

void TFormFBuff::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormActivate();  // not again when restored from the task bar
  QDialog::showEvent(event);
}

bool TFormFBuff::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    if (watched == EditFileName) EditFileNameDblClick();
    else if (watched == EditSafeSaveFileName) EditSafeSaveFileNameDblClick();
    else if (watched == LabelSafeSave) LabelSafeSaveDblClick();
    else return QDialog::eventFilter(watched, event);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TFormFBuff::FormActivate() {
  const platform::PhysicalMemory memory = platform::ReadPhysicalMemory();
  LabelMemory->setText(Q(MemoryLine(memory.totalKB, memory.availableKB)));
  UpdateReadouts();
  if (state_.startup.ConfigUnlocked == 0) ButtonOK->setEnabled(false);
  CheckBoxContinuousSaveClick();
}

RecorderFields TFormFBuff::Fields() const {
  RecorderFields f;
  f.maxBlock = Text(EditMaxBlock);
  f.faultBlock = Text(EditFaultBlock);
  f.compressFaultBlock = Text(EditCompressFaultBlock);
  f.compressRatio = Text(Edit_CompressRatio);
  f.fileNum = Text(EditFileNum);
  f.endBlock = Text(EditEndBlock);
  f.dispFrq = Text(EditDispFrq);
  f.compressType = ComboBox_CompressType->currentIndex();
  f.autoStart = CheckBoxAutoStart->isChecked();
  f.autoPrint = CheckBoxAutoPrint->isChecked();
  f.autoRestore = CheckBoxAutoRestore->isChecked();
  f.continuousSave = CheckBoxContinuousSave->isChecked();
  f.fileName = Text(EditFileName);
  f.safeSave = CheckBoxSafeSave->isChecked();
  f.safeSaveTime = Text(EditSafeSaveTime);
  f.safeSaveFileName = Text(EditSafeSaveFileName);
  return f;
}

void TFormFBuff::UpdateReadouts() {
  // Shown only: the ratio is stored by OK, so a cancelled dialog leaves it.
  const RecorderReadouts r = ComputeRecorderReadouts(Fields(), state_.config);
  EditFaultBlock->setToolTip(Q(r.faultHint));
  EditCompressFaultBlock->setToolTip(Q(r.compressHint));
  statusLine_->setText(Q(r.status));
}

void TFormFBuff::EditMaxBlockChange() {
  UpdateReadouts();
  const bool snapshot = SnapshotBlockField(Text(EditMaxBlock));
  LabelDispFrq->setVisible(snapshot);
  EditDispFrq->setVisible(snapshot);
  Label_EndBlock->setVisible(!snapshot);
  EditEndBlock->setVisible(!snapshot);
}

void TFormFBuff::EditEndBlockChange() {
  const LiveConfig& c = state_.config;
  Label_EndBlock->setToolTip(Q(EndBlockHint(Text(EditEndBlock), c.NumChn, c.NumSamp)));
  UpdateReadouts();
}

void TFormFBuff::EditStartNumExit() {
  state_.config.StartNum = StartNumFromText(Text(EditStartNum));
  WriteStartNum(registry_, state_.startup.AppKeyName, state_.config.StartNum);
}

void TFormFBuff::SetBackupControlsEnabled(bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{CheckBoxSafeSave, EditSafeSaveTime, EditSafeSaveFileName,
                                                    LabelSafeSave, ButtonNewBakFile, ButtonDefaultBAKFile}) {
    w->setEnabled(enabled);
  }
}

void TFormFBuff::CheckBoxContinuousSaveClick() {
  if (CheckBoxContinuousSave->isChecked()) {
    const ContinuousSaveFieldValues v = ContinuousSaveFieldsFor(Text(EditMaxBlock), Text(EditEndBlock));
    EditMaxBlock->setText(QString::number(v.maxBlock));
    EditEndBlock->setText(QString::number(v.endBlock));
    SetBackupControlsEnabled(true);
  } else {
    CheckBoxSafeSave->setChecked(false);
    SetBackupControlsEnabled(false);
  }
  UpdateReadouts();
}

void TFormFBuff::ShowContinuousSaveSettings() {
  const ContinuousSaveSettings& s = state_.saving;
  EditFileName->setText(Q(s.ContinuousSaveFile));
  EditSafeSaveFileName->setText(Q(s.SafeSaveFileName));
  EditSafeSaveTime->setText(QString::number(s.SafeSaveTime));
  CheckBoxContinuousSave->setChecked(s.idContinuousSave == 1);
  CheckBoxSafeSave->setChecked(s.idContinuousSave == 1 && s.idSafeSave != 0);
  SetBackupControlsEnabled(s.idContinuousSave == 1);
}

void TFormFBuff::ButtonOpenClick() {
  platform::FileDialogRequest request;
  request.title = "选定连续记录AD数据文件名";
  request.defaultExt = "DAT";
  request.filter = kDataFileFilter;
  request.initialDir = state_.startup.DialogInitialDir;
  request.mustExist = false;  // the file a continuous run writes is usually new
  if (const std::optional<std::string> chosen = ui_.OpenFileName(request)) EditFileName->setText(Q(*chosen));
}

void TFormFBuff::ButtonNewBakFileClick() {
  platform::FileDialogRequest request;
  request.title = "选定连续记录时备份AD数据文件名";
  request.defaultExt = "DAT";
  request.filter = kDataFileFilter;
  request.initialDir = state_.startup.DialogInitialDir;
  request.mustExist = false;  // so is its backup
  if (const std::optional<std::string> chosen = ui_.OpenFileName(request)) EditSafeSaveFileName->setText(Q(*chosen));
}

void TFormFBuff::ButtonCurTimeClick() { EditFileName->setText(Q(CurrentTimeFileName(platform::NowDayCount()))); }

void TFormFBuff::ButtonDefaultBAKFileClick() { EditSafeSaveFileName->setText(Q(BackupFileName(Text(EditFileName)))); }

void TFormFBuff::ButtonOKClick() {
  const RecorderOk ok = ReadRecorderFields(Fields(), state_.config, state_.saving);
  if (ok.refused()) {
    // Nothing is stored; the dialog stays open for a correction.
    ui_.MessageBox(ok.refusal, ok.refusalCaption, platform::MsgButtons::Ok, platform::MsgIcon::Warning);
    return;
  }
  EditSafeSaveTime->setText(QString::number(ok.settings.saving.SafeSaveTime));
  if (ok.continuousSaveRefused) {
    CheckBoxContinuousSave->setChecked(false);
    CheckBoxContinuousSaveClick();
  }
  if (ok.continuousSaveTold) {
    ui_.MessageBox(ok.continuousSaveRefused ? kContinuousSaveRefusedText : kContinuousSaveKeptText,
                   kContinuousSaveCaption, platform::MsgButtons::Ok);
  }
  CommitRecorderSettings(ok.settings, state_.config, state_.saving);
  accept();
}

void TFormFBuff::done(int result) {
  // Closed without OK: the continuous-save controls show what is in force
  // again, so neither a later opening nor the program's end takes them.
  if (result != QDialog::Accepted) {
    ShowContinuousSaveSettings();
    UpdateReadouts();
  }
  QDialog::done(result);
}

std::string TFormFBuff::StatusText() const { return statusLine_->text().toStdString(); }

}  // namespace quelvar
