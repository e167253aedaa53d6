#pragma once

#include <QDialog>

#include "common/AppState.h"
#include "platform/UiHost.h"

class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The save-path dialog: the directory the record files go to.
class TFormSetPath : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormSetPath(AppState& state, platform::RegistryStore& registry, QWidget* parent = nullptr);
  ~TFormSetPath() override;

  QLabel* LabelPath = nullptr;  // always the directory selected in the list
  QTreeView* DirectoryListBox1 = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QPushButton* ButtonProgPath = nullptr;

  // Selects a directory in the list; false when it does not exist.
  bool SetDirectory(const std::string& directory);
  void ButtonProgPathClick();
  void FormDestroy();

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormSetPath"; }

 private:
  AppState& state_;
  platform::RegistryStore& registry_;
  QFileSystemModel* model_ = nullptr;
  bool destroyed_ = false;
};

}  // namespace quelvar
