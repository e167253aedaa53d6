#include "setup/FormAlgorithm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <span>

#include "platform/qt/QtText.h"
#include "platform/qt/StringGrid.h"
#include "setup/AlgorithmFile.h"
#include "setup/DialogNumbers.h"
#include "shell/WindowGeometry.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormAlgorithm";
const char* const kDetailWidthPrefix = "Grid2Width";
const std::vector<int> kDetailWidthColumns = {1, 2};
constexpr int kDesignedLeft = 200, kDesignedTop = 80, kDesignedWidth = 560, kDesignedHeight = 620;
constexpr int kMinimumClientSize = 150;
// Wide enough for the detail grid's longest names ("压缩记录时间:").
constexpr int kDefaultColumnWidth = 100;
// The toolkit's caption for its own messages.

std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }

QLabel* Caption(const char* text, QWidget* parent) { return new QLabel(QString::fromUtf8(text), parent); }

QLineEdit* NamedEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  return edit;
}

QCheckBox* NamedCheckBox(const char* name, const char* caption, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setObjectName(name);
  return box;
}

QPushButton* NamedButton(const char* name, const char* caption, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  return button;
}

// An edit's text written only when it differs, so its exit handler is not
// disturbed for nothing.
void WriteBack(QLineEdit* edit, int32_t value) {
  const QString text = QString::number(value);
  if (edit->text() != text) edit->setText(text);
}

}  // namespace

TFormAlgorithm::TFormAlgorithm(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui,
                               QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry), ui_(ui) {
  setObjectName("FormAlgorithm");
  setWindowTitle(QString::fromUtf8(kAlgorithmEditorCaption));

  Edit_Algorithm_Num = NamedEdit("Edit_Algorithm_Num", this);
  Grid_Algorithm = new StringGrid(this);
  Grid_Algorithm->setObjectName("Grid_Algorithm");
  Label_Algorithm_No = new QLabel(this);
  Label_Algorithm_No->setObjectName("Label_Algorithm_No");
  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName("ComboBox1");
  Grid_Algorithm_Detail = new StringGrid(this);
  Grid_Algorithm_Detail->setObjectName("Grid_Algorithm_Detail");
  CheckBox_Binary = NamedCheckBox("CheckBox_Binary", "使能开关量启动", this);
  CheckBox_Analog = NamedCheckBox("CheckBox_Analog", "使能模拟量启动", this);
  CheckBox_SameAlgorithm = NamedCheckBox("CheckBox_SameAlgorithm", "禁止重复启动", this);
  EditTriggerUpNum = NamedEdit("EditTriggerUpNum", this);
  EditTriggerUpNum->setToolTip(QStringLiteral("0表示不限制触发次数上限"));
  EditTriggerTimeRange = NamedEdit("EditTriggerTimeRange", this);
  EditTriggerTimeRange->setToolTip(QStringLiteral("0表示整个录波过程"));
  EditTriggerNum = NamedEdit("EditTriggerNum", this);
  ComboBoxAnalog = new QComboBox(this);
  ComboBoxAnalog->setObjectName("ComboBoxAnalog");
  ButtonOK = NamedButton("ButtonOK", "确认", this);
  ButtonCancel = NamedButton("ButtonCancel", "取消", this);
  ButtonSummary = NamedButton("ButtonSummary", "总结", this);
  ButtonSave = NamedButton("ButtonSave", "存文件", this);
  ButtonRead = NamedButton("ButtonRead", "文件读", this);

  auto* countRow = new QHBoxLayout;
  countRow->addWidget(Caption("使用启动算法数目", this));
  countRow->addWidget(Edit_Algorithm_Num);
  countRow->addStretch(1);
  auto* typeRow = new QHBoxLayout;
  typeRow->addWidget(Label_Algorithm_No);
  typeRow->addWidget(Caption("算法类型:", this));
  typeRow->addWidget(ComboBox1, 1);
  auto* switchRow = new QHBoxLayout;
  switchRow->addWidget(CheckBox_Binary);
  switchRow->addWidget(CheckBox_Analog);
  switchRow->addWidget(CheckBox_SameAlgorithm);
  switchRow->addStretch(1);
  auto* limitRow = new QHBoxLayout;
  limitRow->addWidget(Caption("触发次数上限", this));
  limitRow->addWidget(EditTriggerUpNum);
  limitRow->addWidget(Caption("限定时间(秒)内", this));
  limitRow->addWidget(EditTriggerTimeRange);
  limitRow->addWidget(Caption("触发验证次数", this));
  limitRow->addWidget(EditTriggerNum);
  auto* lookupRow = new QHBoxLayout;
  lookupRow->addWidget(Caption("模拟通道查询", this));
  lookupRow->addWidget(ComboBoxAnalog, 1);
  // The five buttons evenly spaced across the window.
  auto* buttonRow = new QHBoxLayout;
  for (QPushButton* button : {ButtonOK, ButtonCancel, ButtonSummary, ButtonSave, ButtonRead}) {
    // No default button: Return finishes a count or a cell, never closes.
    button->setAutoDefault(false);
    button->setDefault(false);
    buttonRow->addStretch(1);
    buttonRow->addWidget(button);
  }
  buttonRow->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(countRow);
  layout->addWidget(Grid_Algorithm, 1);
  layout->addLayout(typeRow);
  layout->addWidget(Grid_Algorithm_Detail, 3);
  layout->addLayout(switchRow);
  layout->addLayout(limitRow);
  layout->addLayout(lookupRow);
  layout->addLayout(buttonRow);
  setMinimumSize(kMinimumClientSize, kMinimumClientSize);

  connect(Edit_Algorithm_Num, &QLineEdit::editingFinished, this, [this] { Edit_Algorithm_NumExit(); });
  connect(Grid_Algorithm, &StringGrid::CellSelected, this, [this](int col, int) { Grid_AlgorithmClick(col); });
  connect(Grid_Algorithm, &StringGrid::ColumnMoved, this,
          [this](int from, int to) { Grid_AlgorithmColumnMoved(from, to); });
  connect(ComboBox1, &QComboBox::activated, this, [this](int) { ComboBox1Click(); });
  connect(Grid_Algorithm_Detail, &StringGrid::CellTextEdited, this,
          [this](int col, int row, const std::string& text) { Grid_Algorithm_DetailSetEditText(col, row, text); });
  connect(Grid_Algorithm_Detail, &StringGrid::FocusLeft, this, [this] { Grid_Algorithm_DetailExit(); });
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
  connect(ButtonSummary, &QPushButton::clicked, this, [this] { ButtonSummaryClick(); });
  connect(ButtonSave, &QPushButton::clicked, this, [this] { ButtonSaveClick(); });
  connect(ButtonRead, &QPushButton::clicked, this, [this] { ButtonReadClick(); });

  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  FormCreate();
}

TFormAlgorithm::~TFormAlgorithm() { FormDestroy(); }

void TFormAlgorithm::FormCreate() {
  Grid_Algorithm->SetEditable(true);
  Grid_Algorithm->SetColumnsMovable(true);
  Grid_Algorithm->Cells().SetDefaultColWidth(kDefaultColumnWidth);
  Grid_Algorithm_Detail->SetEditable(true);
  Grid_Algorithm_Detail->Cells().SetDefaultColWidth(kDefaultColumnWidth);
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix, kMinimumClientSize);
  platform::CellGrid& detail = Grid_Algorithm_Detail->Cells();
  const int defaultWidth = Grid_Algorithm->Cells().DefaultColWidth();
  for (int col : kDetailWidthColumns) detail.SetColWidth(col, defaultWidth);
  ReadGridColumnWidths(registry_, state_.startup.AppKeyName, kDetailWidthPrefix, kDetailWidthColumns, detail);
  Grid_Algorithm_Detail->Refresh();
  for (int type = 0; type < kChoosableAlgorithmTypes; ++type) {
    ComboBox1->addItem(Q(std::string(AlgorithmTypeTable[static_cast<size_t>(type)].Name)));
  }
  ComboBox1->setCurrentIndex(0);
}

void TFormAlgorithm::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
  WriteGridColumnWidths(registry_, state_.startup.AppKeyName, kDetailWidthPrefix, kDetailWidthColumns,
                        Grid_Algorithm_Detail->Cells());
}

void TFormAlgorithm::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormActivate();  // not again when restored from the task bar
  QDialog::showEvent(event);
}

void TFormAlgorithm::FormActivate() {
  const LiveConfig& c = state_.config;
  // A locked configuration can be looked at, summarised and saved, not changed.
  const bool unlocked = state_.startup.ConfigUnlocked != 0;
  ButtonOK->setEnabled(unlocked);
  ButtonRead->setEnabled(unlocked);
  ComboBoxAnalog->clear();
  const int32_t analogCount = std::clamp(c.Analog_Num, 0, kMaxAnalogChannels);
  for (int32_t i = 0; i < analogCount; ++i) {
    ComboBoxAnalog->addItem(Q(AnalogLookupEntry(i, c.AnalogChannelTable[static_cast<size_t>(i)])));
  }
  if (ComboBoxAnalog->currentIndex() < 0 && ComboBoxAnalog->count() > 0) ComboBoxAnalog->setCurrentIndex(0);
  EditTriggerNum->setText(QString::number(c.ConfirmTriggerNum));
}

AlgorithmConfig& TFormAlgorithm::Current() {
  const int32_t n = std::clamp(work_.CurrentAlgorithmIndex, 0, kMaxAlgorithms - 1);
  return work_.WorkAlgorithmTable[static_cast<size_t>(n)];
}

void TFormAlgorithm::ShowAlgorithms() {
  Edit_Algorithm_Num->setText(QString::number(work_.WorkAlgorithmNum));
  Edit_Algorithm_NumExit();
  KeepCurrentInList(Grid_Algorithm->Cells(), work_);
  ShowAlgorithmDetail();
}

void TFormAlgorithm::ShowAlgorithmDetail() {
  const AlgorithmConfig& record = Current();
  Label_Algorithm_No->setText(Q(AlgorithmNumberLabel(work_.CurrentAlgorithmIndex)));
  {
    const QSignalBlocker quiet(ComboBox1);
    // Types beyond the choosable ones have no entry: nothing is selected.
    ComboBox1->setCurrentIndex(record.Type >= 0 && record.Type < kChoosableAlgorithmTypes ? record.Type : -1);
  }
  BuildAlgorithmDetail(record, state_.config, Grid_Algorithm_Detail->Cells());
  Grid_Algorithm_Detail->Refresh();
  refusalShown_ = false;
}

void TFormAlgorithm::Edit_Algorithm_NumExit() {
  const int32_t count = WorkingCountFromText(Text(Edit_Algorithm_Num), state_.config.Algorithm_Num);
  WriteBack(Edit_Algorithm_Num, count);
  work_.WorkAlgorithmNum = count;
  BuildAlgorithmList(work_, Grid_Algorithm->Cells());
  Grid_Algorithm->Refresh();
  // A current algorithm beyond a lowered count would take edits nobody sees.
  const int32_t before = work_.CurrentAlgorithmIndex;
  KeepCurrentInList(Grid_Algorithm->Cells(), work_);
  if (work_.CurrentAlgorithmIndex != before) ShowAlgorithmDetail();
}

void TFormAlgorithm::Grid_AlgorithmClick(int col) {
  work_.CurrentAlgorithmIndex = AlgorithmOfListColumn(Grid_Algorithm->Cells(), col);
  ShowAlgorithmDetail();
}

void TFormAlgorithm::Grid_AlgorithmColumnMoved(int /*from*/, int to) { Grid_AlgorithmClick(to); }

void TFormAlgorithm::ComboBox1Click() {
  if (!ChooseAlgorithmType(Current(), ComboBox1->currentText().toStdString(), ComboBox1->currentIndex())) return;
  const int col = ListColumnOfAlgorithm(Grid_Algorithm->Cells(), work_.CurrentAlgorithmIndex);
  if (col >= 0) Grid_Algorithm->SetCellText(col, 2, ComboBox1->currentText().toStdString());
  ShowAlgorithmDetail();
}

void TFormAlgorithm::Grid_Algorithm_DetailSetEditText(int col, int row, const std::string& text) {
  if (col != 1) return;
  refusalShown_ = false;  // typed again: a refusal is worth saying again
  const std::optional<std::string> remark = LiveDetailRemark(Current(), state_.config, row, text);
  if (remark) Grid_Algorithm_Detail->SetCellText(2, row, *remark);
}

bool TFormAlgorithm::Grid_Algorithm_DetailExit() {
  const DetailParseResult result = ParseAlgorithmDetail(Grid_Algorithm_Detail->Cells(), state_.config, Current());
  if (!result.ok()) {
    // Leaving the grid for a button parses twice (focus, then the command):
    // one message until the cells are typed again.
    if (!refusalShown_) {
      refusalShown_ = true;
      ui_.MessageBox(*result.refusal, kNotANumberCaption, platform::MsgButtons::Ok, platform::MsgIcon::Error);
    }
    return false;
  }
  refusalShown_ = false;
  // Taken: read again only when typed again.
  Grid_Algorithm_Detail->Cells().ClearModified();
  return true;
}

bool TFormAlgorithm::TakePendingDetail() {
  Grid_Algorithm_Detail->FinishEditing();
  return Grid_Algorithm_DetailExit();
}

void TFormAlgorithm::ButtonOKClick() {
  if (!TakePendingDetail()) return;
  AlgorithmOkFields f;
  f.startBin = CheckBox_Binary->isChecked();
  f.startAnalog = CheckBox_Analog->isChecked();
  f.preventSame = CheckBox_SameAlgorithm->isChecked();
  f.triggerUpNum = Text(EditTriggerUpNum);
  f.triggerTimeRange = Text(EditTriggerTimeRange);
  f.triggerNum = Text(EditTriggerNum);
  const AlgorithmOkOutcome outcome = ApplyAlgorithmEditor(work_, f, state_.config);
  WriteBack(EditTriggerUpNum, outcome.triggerUpNum);
  WriteBack(EditTriggerTimeRange, outcome.triggerTimeRange);
  accept();
}

void TFormAlgorithm::ButtonSummaryClick() {
  if (!TakePendingDetail()) return;
  ui_.SetClipboardText(AlgorithmSummaryText(work_, state_.config));
}

platform::FileDialogRequest TFormAlgorithm::FileRequest(const char* title) const {
  platform::FileDialogRequest request;
  request.title = title;
  request.initialDir = state_.startup.DialogInitialDir;
  request.defaultExt = kAlgorithmFileExt;
  request.filter = kAlgorithmFileFilter;
  return request;
}

void TFormAlgorithm::ButtonSaveClick() {
  if (!TakePendingDetail()) return;
  const std::optional<std::string> path = ui_.SaveFileName(FileRequest(kSaveAlgorithmTitle));
  if (!path) return;
  const auto count = static_cast<size_t>(std::clamp(work_.WorkAlgorithmNum, 0, kMaxAlgorithms));
  std::string error;
  if (!WriteAlgorithmFile(*path, std::span<const AlgorithmConfig>(work_.WorkAlgorithmTable.data(), count), error)) {
    ui_.MessageBox(kCannotCreateFileText, kCannotCreateFileCaption, platform::MsgButtons::OkCancel);
  }
}

void TFormAlgorithm::ButtonReadClick() {
  const std::optional<std::string> path = ui_.OpenFileName(FileRequest(kReadAlgorithmTitle));
  if (!path) return;
  const AlgorithmFileResult file = ReadAlgorithmFile(*path);
  if (const char* message = AlgorithmFileMessage(file.Status)) {
    ui_.MessageBox(message, kAlgorithmFileErrorCaption, platform::MsgButtons::OkCancel);
    return;
  }
  if (file.Status != AlgorithmFileStatus::Ok) return;  // unreadable or empty: nothing said, nothing loaded
  TakeFileRecords(file.Records, work_);
  Edit_Algorithm_Num->setText(QString::number(work_.WorkAlgorithmNum));
  Edit_Algorithm_NumExit();
  KeepCurrentInList(Grid_Algorithm->Cells(), work_);
  ShowAlgorithmDetail();
}

}  // namespace quelvar
