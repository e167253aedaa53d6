#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "common/AppState.h"
#include "platform/UiHost.h"
#include "setup/TorqueCalibration.h"

class QLabel;
class QPushButton;
class QShowEvent;
class QStatusBar;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

class StringGrid;

// The editor of the three torque sensors' 21-point tables. Its creation
// reads the tables from the settings tree and its destruction stores them;
// OK puts a checked grid into force, the file commands go through the grid.
class TFormCaliTorque : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormCaliTorque(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent = nullptr);
  ~TFormCaliTorque() override;

  QLabel* Label1 = nullptr;
  StringGrid* GridCaliTorque = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QPushButton* ButtonSave = nullptr;
  QPushButton* ButtonLoad = nullptr;
  QStatusBar* StatusBar1 = nullptr;

  void FormCreate();
  void FormDestroy();
  void FormShow();
  void ButtonOKClick();
  void ButtonCancelClick() { reject(); }
  void ButtonSaveClick();
  void ButtonLoadClick();
  // 1 when the grid holds numbers that rise in every column; else 0 with
  // the reason in the status bar.
  int CheckTable();

  std::string StatusText() const;
  // Tables of the settings tree that were put back on the identity curve.
  const std::vector<std::string>& LoadProblems() const { return loadProblems_; }

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormCaliTorque"; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void SetStatus(const std::string& text);
  void ShowTables(const TorqueTables& tables);
  TorqueGridCells GridCells();

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  QLabel* statusLine_ = nullptr;
  std::vector<std::string> loadProblems_;
  bool destroyed_ = false;
};

}  // namespace quelvar
