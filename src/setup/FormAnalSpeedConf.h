#pragma once

#include <QDialog>

#include "common/AppState.h"
#include "platform/UiHost.h"
#include "setup/AnalogSpeedSettings.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The analog-speed dialog: the settings of the marks' analog-speed value.
// Its opener fills the edits, shows it and reads them back whatever the
// result; the dialog itself only shows the threshold as a voltage.
class TFormAnalSpeedConf : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormAnalSpeedConf(AppState& state, platform::RegistryStore& registry, QWidget* parent = nullptr);
  ~TFormAnalSpeedConf() override;

  QLineEdit* EditNumS = nullptr;
  QLineEdit* EditNumP = nullptr;
  QLineEdit* EditUnits = nullptr;
  QLineEdit* EditScale = nullptr;
  QLineEdit* EditThresholdV = nullptr;
  QLabel* LabelVolt = nullptr;
  QPushButton* ButtonOK = nullptr;

  void EditThresholdVChange();
  void ButtonOKClick() { done(platform::kModalOk); }
  void FormDestroy();

  // The edits' texts, written and read by the opener.
  void SetEdits(const AnalogSpeedEdits& edits);
  AnalogSpeedEdits Edits() const;

  int RunModal() override;
  std::string DialogName() const override { return "FormAnalSpeedConf"; }

 private:
  AppState& state_;
  platform::RegistryStore& registry_;
  bool destroyed_ = false;
};

}  // namespace quelvar
