#pragma once

#include <QDialog>

#include "common/AppState.h"
#include "platform/UiHost.h"

class QLineEdit;
class QPushButton;

namespace quelvar {

// The channel-group dialog: page count, analog channel count, switch-input
// count, AC frequency and environment temperature. Its OK checks the layout
// against the card and writes the live settings. (The switch-input and
// analog-channel dialogs it opens come with their own windows.)
class TFormGroup : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormGroup(AppState& state, platform::UiHost& ui, QWidget* parent = nullptr);

  QLineEdit* Edit_TotalPages = nullptr;
  QLineEdit* Edit_Group = nullptr;
  QLineEdit* Edit_Analog = nullptr;
  QLineEdit* Edit_Binary = nullptr;
  QLineEdit* Edit_ACFrq = nullptr;
  QLineEdit* EditEnvTemp = nullptr;
  QLineEdit* Edit_SampPerPeriod = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;

  void ButtonOKClick();
  void ButtonCancelClick() { reject(); }

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormGroup"; }

 private:
  AppState& state_;
  platform::UiHost& ui_;
};

}  // namespace quelvar
