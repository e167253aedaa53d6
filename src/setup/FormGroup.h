#pragma once

#include <QDialog>
#include <QString>

#include <optional>

#include "common/AppState.h"
#include "platform/UiHost.h"

class QLineEdit;
class QPushButton;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

class TFormBin;
class TFormChannel;

// The channel-group dialog: page count, analog channel count, switch-input
// count, AC frequency and environment temperature. Its OK checks the layout
// against the card and writes the live settings; its two buttons open the
// switch-input and analog channel dialogs, which it owns.
class TFormGroup : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormGroup(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent = nullptr);
  ~TFormGroup() override;

  QLineEdit* Edit_TotalPages = nullptr;
  QLineEdit* Edit_Group = nullptr;
  QLineEdit* Edit_Analog = nullptr;
  QLineEdit* Edit_Binary = nullptr;
  QLineEdit* Edit_ACFrq = nullptr;
  QLineEdit* EditEnvTemp = nullptr;
  QLineEdit* Edit_SampPerPeriod = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QPushButton* ButtonBinary = nullptr;
  QPushButton* ButtonAnalog = nullptr;

  // Whether the analog channel dialog shows and stores rate multipliers; set
  // when the dialog activates.
  int32_t MultiFreqMode = 0;

  void FormCreate();
  void FormDestroy();
  void FormActivate();
  void Edit_ACFrqChange();
  void EditEnvTempChange();
  void ButtonBinaryClick();
  void ButtonAnalogClick();
  void ButtonOKClick();
  void ButtonCancelClick() { reject(); }
  // Notes the frequency and temperature texts the opener has just put into
  // the edits: OK reads an edit back only when its text differs, so viewing
  // never changes a value shown rounded.
  void KeepOpeningTexts();

  TFormBin& FormBin() { return *formBin_; }
  TFormChannel& FormChannel() { return *formChannel_; }

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormGroup"; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The page count the sub-dialogs' pages are kept below (written only by
  // their OK); nothing (after a message) when the edit holds no whole number.
  std::optional<int32_t> ReadPageCount();

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  TFormBin* formBin_ = nullptr;
  TFormChannel* formChannel_ = nullptr;
  bool destroyed_ = false;
  QString openingACFrq_;
  QString openingEnvTemp_;
};

}  // namespace quelvar
