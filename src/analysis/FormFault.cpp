#include "analysis/FormFault.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <filesystem>

#include "platform/qt/QtText.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormFault";
// The client area is kept at least this large.
constexpr int kMinimumClient = 150;
constexpr int kDesignedLeft = 160, kDesignedTop = 100, kDesignedWidth = 600, kDesignedHeight = 480;
const char* const kParentEntry = "..";

std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }

// The boxes show "\n"; the program's texts and the file keep "\r\n".
QString ToBox(const std::string& text) {
  QString s = Q(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}
std::string FromBox(const QPlainTextEdit* box) {
  QString s = box->toPlainText();
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return s.toStdString();
}

// An edit rewritten only when its text differs, so its change handler does
// not run for nothing.
void WriteBack(QLineEdit* edit, int32_t value) {
  const QString text = QString::number(value);
  if (edit->text() != text) edit->setText(text);
}

QPushButton* AddButton(QWidget* parent, const char* name, const char* caption, const char* hint) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  if (hint != nullptr) button->setToolTip(QString::fromUtf8(hint));
  return button;
}

}  // namespace

TFormFault::TFormFault(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry), manager_(state.HistoryFilePath, ui) {
  setObjectName("FormFault");
  setWindowTitle(QStringLiteral("历史数据库管理"));
  setMinimumSize(kMinimumClient, kMinimumClient);

  DriveComboBox1 = new QComboBox(this);
  DriveComboBox1->setObjectName("DriveComboBox1");
  // One file tree here: its root is the only drive.
  DriveComboBox1->addItem(QStringLiteral("/"));
  DirectoryListBox1 = new QListWidget(this);
  DirectoryListBox1->setObjectName("DirectoryListBox1");
  Label_Dir = new QLabel(this);
  Label_Dir->setObjectName("Label_Dir");
  FileListBox1 = new QListWidget(this);
  FileListBox1->setObjectName("FileListBox1");
  FilterComboBox1 = new QComboBox(this);
  FilterComboBox1->setObjectName("FilterComboBox1");
  FilterComboBox1->addItem(QStringLiteral("历史数据文件 (F*.DAT)"), QStringLiteral("F*.DAT"));
  FilterComboBox1->addItem(QStringLiteral("所有文件 (*.*)"), QStringLiteral("*.*"));
  EditFileName = new QLineEdit(QStringLiteral("F*.DAT"), this);
  EditFileName->setObjectName("EditFileName");
  Memo1 = new QPlainTextEdit(QStringLiteral("文件内容"), this);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Memo2 = new QPlainTextEdit(QStringLiteral("标识信息"), this);
  Memo2->setObjectName("Memo2");
  CheckBoxDispAll = new QCheckBox(QStringLiteral("显示全范围"), this);
  CheckBoxDispAll->setObjectName("CheckBoxDispAll");
  CheckBoxDispAll->setChecked(true);
  EditBeginBlock = new QLineEdit(QStringLiteral("0"), this);
  EditBeginBlock->setObjectName("EditBeginBlock");
  EditEndBlock = new QLineEdit(QStringLiteral("0"), this);
  EditEndBlock->setObjectName("EditEndBlock");
  for (QLineEdit* edit : {EditBeginBlock, EditEndBlock}) {
    edit->setEnabled(false);
    edit->setToolTip(QStringLiteral("范围为0～？"));
  }
  ButtonOK = AddButton(this, "ButtonOK", "确定", "退出,选定当前历史文件");
  ButtonOK->setDefault(true);
  ButtonCancel = AddButton(this, "ButtonCancel", "取消", "退出,未选中任何历史文件");
  ButtonDelete = AddButton(this, "ButtonDelete", "删除文件", "删除当前选定历史文件");
  ButtonUpdateUserInfo = AddButton(this, "ButtonUpdateUserInfo", "更新标识", "更新当前历史文件的标识信息");
  ButtonFixFile = AddButton(this, "ButtonFixFile", "修复文件", nullptr);
  ButtonFixFile->setEnabled(false);

  auto* browse = new QGridLayout;
  browse->addWidget(new QLabel(QStringLiteral("驱动器:"), this), 0, 0);
  browse->addWidget(DriveComboBox1, 1, 0);
  browse->addWidget(new QLabel(QStringLiteral("目录:"), this), 2, 0);
  browse->addWidget(Label_Dir, 3, 0);
  browse->addWidget(DirectoryListBox1, 4, 0);
  browse->addWidget(EditFileName, 0, 1);
  browse->addWidget(FileListBox1, 1, 1, 4, 1);
  browse->addWidget(FilterComboBox1, 5, 1);
  auto* range = new QHBoxLayout;
  range->addWidget(CheckBoxDispAll);
  range->addWidget(new QLabel(QStringLiteral("从块"), this));
  range->addWidget(EditBeginBlock);
  range->addWidget(new QLabel(QStringLiteral("到块"), this));
  range->addWidget(EditEndBlock);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {ButtonOK, ButtonCancel, ButtonDelete, ButtonUpdateUserInfo, ButtonFixFile}) {
    buttons->addWidget(b);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(browse);
  layout->addLayout(range);
  layout->addWidget(new QLabel(QStringLiteral("标识信息     及      文件内容(下框):"), this));
  layout->addWidget(Memo2, 1);
  layout->addWidget(Memo1, 3);
  layout->addLayout(buttons);

  connect(EditFileName, &QLineEdit::textChanged, this, [this] { EditFileNameChange(); });
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
  connect(ButtonDelete, &QPushButton::clicked, this, [this] { ButtonDeleteClick(); });
  connect(ButtonUpdateUserInfo, &QPushButton::clicked, this, [this] { ButtonUpdateUserInfoClick(); });
  connect(ButtonFixFile, &QPushButton::clicked, this, [this] { ButtonFixFileClick(); });
  connect(CheckBoxDispAll, &QCheckBox::clicked, this, [this] { CheckBoxDispAllClick(); });
  connect(EditBeginBlock, &QLineEdit::textChanged, this, [this] { EditBeginBlockChange(); });
  connect(EditEndBlock, &QLineEdit::textChanged, this, [this] { EditEndBlockChange(); });
  connect(FileListBox1, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
    if (!listing_ && item != nullptr) EditFileName->setText(item->text());
  });
  connect(FileListBox1, &QListWidget::itemDoubleClicked, this, [this] { FileListBox1DblClick(); });
  connect(DirectoryListBox1, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    const std::filesystem::path next = std::filesystem::path(currentDir_) / item->text().toStdString();
    SetCurrentDirectory(next.lexically_normal().string());
  });
  connect(DriveComboBox1, &QComboBox::activated, this, [this] { SetCurrentDirectory("/"); });
  connect(FilterComboBox1, &QComboBox::activated, this, [this] { RefreshFileList(); });

  // The designed place, kept until a stored one replaces it (a window never
  // shown has no size of its own to save).
  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  FormCreate();
}

TFormFault::~TFormFault() { FormDestroy(); }

void TFormFault::FormCreate() {
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix, kMinimumClient);
  std::error_code ec;
  std::string start = state_.config.SavePath;
  if (start.empty() || !std::filesystem::is_directory(start, ec)) start = std::filesystem::current_path(ec).string();
  SetCurrentDirectory(start);
}

void TFormFault::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

void TFormFault::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormActivate();
  QDialog::showEvent(event);
}

void TFormFault::FormActivate() {
  ButtonFixFile->setEnabled(false);
  const std::string& selection = manager_.FaultFileSelection;
  if (IsFileMask(selection)) {
    const int known = FilterComboBox1->findData(Q(selection));
    if (known >= 0) FilterComboBox1->setCurrentIndex(known);
    RefreshFileList();
  } else {
    RefreshFileList();
    SelectFileInList(selection);
    // The check runs even when the name is already in the edit.
    if (EditFileName->text() == Q(selection)) {
      EditFileNameChange();
    } else {
      EditFileName->setText(Q(selection));
    }
  }
  CheckBoxDispAllClick();
}

std::string TFormFault::Mask() const { return FilterComboBox1->currentData().toString().toStdString(); }

void TFormFault::SetCurrentDirectory(const std::string& directory) {
  currentDir_ = directory;
  Label_Dir->setText(Q(currentDir_));
  RefreshDirectoryList();
  RefreshFileList();
}

void TFormFault::RefreshDirectoryList() {
  DirectoryListBox1->clear();
  if (std::filesystem::path(currentDir_).has_relative_path()) DirectoryListBox1->addItem(QString::fromUtf8(kParentEntry));
  for (const std::string& name : ListSubdirectories(currentDir_)) DirectoryListBox1->addItem(Q(name));
}

void TFormFault::RefreshFileList() {
  listing_ = true;
  const QString current = EditFileName->text();
  FileListBox1->clear();
  for (const std::string& name : ListMatchingFiles(currentDir_, Mask())) FileListBox1->addItem(Q(name));
  const auto found = FileListBox1->findItems(current, Qt::MatchExactly);
  if (!found.isEmpty()) {
    FileListBox1->setCurrentItem(found.front());
  } else {
    FileListBox1->setCurrentRow(-1);
  }
  listing_ = false;
}

void TFormFault::SelectFileInList(const std::string& name) {
  listing_ = true;
  const auto found = FileListBox1->findItems(Q(name), Qt::MatchExactly);
  if (!found.isEmpty()) FileListBox1->setCurrentItem(found.front());
  listing_ = false;
}

void TFormFault::SetReport(const std::string& text) { Memo1->setPlainText(ToBox(text)); }
void TFormFault::SetUserText(const std::string& text) { Memo2->setPlainText(ToBox(text)); }
std::string TFormFault::ReportText() const { return FromBox(Memo1); }
std::string TFormFault::UserText() const { return FromBox(Memo2); }

void TFormFault::EditFileNameChange() {
  ButtonFixFile->setEnabled(false);
  const RecordFileReport& r = manager_.Check(currentDir_, Text(EditFileName));
  SetReport(r.report);
  if (r.userText) SetUserText(*r.userText);
  ButtonFixFile->setEnabled(manager_.RepairAllowed());
  if (r.valid) {
    const QSignalBlocker quietBegin(EditBeginBlock);
    const QSignalBlocker quietEnd(EditEndBlock);
    EditBeginBlock->setText(QStringLiteral("0"));
    EditEndBlock->setText(QString::number(r.blockCount - 1));
    const QString hint = QStringLiteral("范围为0~") + QString::number(r.blockCount - 1);
    EditBeginBlock->setToolTip(hint);
    EditEndBlock->setToolTip(hint);
  }
}

void TFormFault::ButtonOKClick() {
  if (!manager_.ConfirmSelection()) return;
  manager_.FaultFileSelection = Text(EditFileName);
  ClampBlockRange();
  accept();
}

void TFormFault::ClampBlockRange() {
  const auto [begin, end] = quelvar::ClampBlockRange(Text(EditBeginBlock), Text(EditEndBlock),
                                                     manager_.CheckedBlockCount());
  const QSignalBlocker quietBegin(EditBeginBlock);
  const QSignalBlocker quietEnd(EditEndBlock);
  WriteBack(EditBeginBlock, begin);
  WriteBack(EditEndBlock, end);
}

void TFormFault::EditBeginBlockChange() {
  if (manager_.CheckedFileValid()) ClampBlockRange();
}

void TFormFault::EditEndBlockChange() {
  if (manager_.CheckedFileValid()) ClampBlockRange();
}

void TFormFault::CheckBoxDispAllClick() {
  const bool all = CheckBoxDispAll->isChecked();
  EditBeginBlock->setEnabled(!all);
  EditEndBlock->setEnabled(!all);
  if (!manager_.CheckedFileValid()) return;
  if (all) {
    const QSignalBlocker quietBegin(EditBeginBlock);
    const QSignalBlocker quietEnd(EditEndBlock);
    EditBeginBlock->setText(QStringLiteral("0"));
    EditEndBlock->setText(QString::number(manager_.CheckedBlockCount() - 1));
  }
  ClampBlockRange();
}

void TFormFault::ButtonDeleteClick() {
  if (manager_.DeleteCheckedFile()) RefreshFileList();
}

void TFormFault::ButtonUpdateUserInfoClick() { manager_.UpdateUserText(UserText()); }

void TFormFault::ButtonFixFileClick() {
  std::string report;
  const std::optional<std::string> copy = manager_.Repair(report);
  if (!copy) {
    if (!report.empty()) SetReport(report);
    return;
  }
  RefreshFileList();
  SelectFileInList(*copy);
  // Checks the copy at once.
  EditFileName->setText(Q(*copy));
}

}  // namespace quelvar
