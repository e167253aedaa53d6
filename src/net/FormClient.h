#pragma once

#include <QDialog>

#include "common/AppState.h"
#include "platform/UiHost.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The station-address dialog: where the viewer finds its station. OK stores
// the address as ServerIP. Its place on the screen is kept in the settings tree.
class TFormClient : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormClient(AppState& state, platform::RegistryStore& registry, QWidget* parent = nullptr);
  ~TFormClient() override;

  QLabel* Label1 = nullptr;
  QLineEdit* Edit_Server = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;

  void FormCreate();
  void FormDestroy();
  void ButtonOKClick();
  void ButtonCancelClick() { reject(); }

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormClient"; }

 private:
  AppState& state_;
  platform::RegistryStore& registry_;
  bool destroyed_ = false;
};

}  // namespace quelvar
