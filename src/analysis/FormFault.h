#pragma once

#include <QDialog>

#include <string>

#include "analysis/RecordFileManager.h"
#include "common/AppState.h"
#include "platform/UiHost.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The record-file manager: picks a record file for history review, checks it
// with a full report on every change of the file name, rewrites its user text,
// writes a repaired copy of a file whose only fault is its length, and deletes
// it. The open command shows it modally and reads HistoryFilePath, the
// whole-range box and the two block edits.
class TFormFault : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormFault(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent = nullptr);
  ~TFormFault() override;

  QComboBox* DriveComboBox1 = nullptr;
  QListWidget* DirectoryListBox1 = nullptr;
  QLabel* Label_Dir = nullptr;
  QListWidget* FileListBox1 = nullptr;
  QComboBox* FilterComboBox1 = nullptr;
  QLineEdit* EditFileName = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QPlainTextEdit* Memo2 = nullptr;
  QCheckBox* CheckBoxDispAll = nullptr;
  QLineEdit* EditBeginBlock = nullptr;
  QLineEdit* EditEndBlock = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QPushButton* ButtonDelete = nullptr;
  QPushButton* ButtonUpdateUserInfo = nullptr;
  QPushButton* ButtonFixFile = nullptr;

  void EditFileNameChange();
  void ButtonOKClick();
  void ButtonCancelClick() { reject(); }
  void FileListBox1DblClick() { ButtonOKClick(); }
  void ButtonDeleteClick();
  void ButtonUpdateUserInfoClick();
  void ButtonFixFileClick();
  void CheckBoxDispAllClick();
  void EditBeginBlockChange();
  void EditEndBlockChange();
  void ClampBlockRange();
  void FormCreate();
  void FormDestroy();
  void FormActivate();

  // The directory whose files are listed; the file list follows it.
  void SetCurrentDirectory(const std::string& directory);
  const std::string& CurrentDirectory() const { return currentDir_; }
  // The report box's text and the user-text box's, with "\r\n" line ends.
  std::string ReportText() const;
  std::string UserText() const;

  RecordFileManager& Manager() { return manager_; }

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormFault"; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void RefreshFileList();
  void RefreshDirectoryList();
  void SelectFileInList(const std::string& name);
  void SetReport(const std::string& text);
  void SetUserText(const std::string& text);
  std::string Mask() const;

  AppState& state_;
  platform::RegistryStore& registry_;
  RecordFileManager manager_;
  std::string currentDir_;
  // Set while the list is rebuilt, so its selection changes check nothing.
  bool listing_ = false;
  bool destroyed_ = false;
};

}  // namespace quelvar
