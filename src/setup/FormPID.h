#pragma once

#include <QDialog>

#include "common/AppState.h"
#include "platform/UiHost.h"
#include "setup/PidSettings.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QShowEvent;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The PID controller's parameters. Its opener fills the fields; OK writes
// them into the live settings, Cancel changes nothing.
class TFormPID : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormPID(AppState& state, platform::RegistryStore& registry, QWidget* parent = nullptr);
  ~TFormPID() override;

  QLineEdit* Edit_PIDMode = nullptr;
  QLineEdit* Edit_IOBaseDA = nullptr;
  QLineEdit* Edit_DABit = nullptr;
  QLineEdit* Edit_DANumChn = nullptr;
  QLineEdit* Edit_ADiChn = nullptr;
  QLineEdit* Edit_DAiChn = nullptr;
  QLineEdit* Edit_SV = nullptr;
  QLineEdit* Edit_M = nullptr;
  QLineEdit* Edit_Kp = nullptr;
  QLineEdit* Edit_Ti = nullptr;
  QLineEdit* Edit_Td = nullptr;
  QLineEdit* Edit_T = nullptr;
  QCheckBox* CheckBoxDAEnable = nullptr;
  QCheckBox* CheckBoxPID = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;

  void FormActivate();
  void FormDestroy();
  void ButtonOKClick();
  void ButtonCancelClick() { reject(); }

  void SetEdits(const PidEdits& edits);
  PidEdits Edits() const;

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormPID"; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  AppState& state_;
  platform::RegistryStore& registry_;
  bool destroyed_ = false;
};

}  // namespace quelvar
