#pragma once

#include <QDialog>

#include "common/AppState.h"
#include "platform/UiHost.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quelvar {

// The trigger-algorithm picker: one of the configured algorithms by number.
// Its caller writes the current number into the hidden EditAlgorithmNo,
// shows it modally and, on OK, reads the number back from that edit.
class TFormSelAlgorithm : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  explicit TFormSelAlgorithm(AppState& state, QWidget* parent = nullptr);

  QComboBox* ComboBoxAlgorithmList = nullptr;
  QLabel* LabelChnNum = nullptr;
  QLabel* LabelAss = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QLineEdit* EditAlgorithmNo = nullptr;  // invisible

  // Lists the configured algorithms and selects the edit's number.
  void FormActivate();
  // The selected entry's number into the edit, and its notes.
  void ComboBoxAlgorithmListChange();
  // A number typed or passed in selects its entry, limited to the list.
  void EditAlgorithmNoChange();
  void ButtonOKClick() { done(platform::kModalOk); }
  void ButtonCancelClick() { done(platform::kModalCancel); }

  int RunModal() override;
  std::string DialogName() const override { return "FormSelAlgorithm"; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void SelectEntry(int index);
  AppState& state_;
  // Set while the edit and the list write each other.
  bool following_ = false;
};

}  // namespace quelvar
