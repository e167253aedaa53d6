#pragma once

#include <QDialog>

#include <string>

#include "common/AppState.h"
#include "platform/UiHost.h"
#include "setup/AlgorithmEditor.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

class StringGrid;

// The trigger-algorithm editor: the number of algorithms in use, the list of
// algorithms, the details of the current one (type, input channels, set
// points, record times, associated channels) and the global trigger
// settings. It edits a working copy that its opener (the main window) fills;
// OK writes it back to the live table. It also saves the working copy to an
// algorithm file, reads one into it, and puts a summary on the clipboard.
class TFormAlgorithm : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormAlgorithm(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent = nullptr);
  ~TFormAlgorithm() override;

  QLineEdit* Edit_Algorithm_Num = nullptr;
  StringGrid* Grid_Algorithm = nullptr;
  QLabel* Label_Algorithm_No = nullptr;
  QComboBox* ComboBox1 = nullptr;
  StringGrid* Grid_Algorithm_Detail = nullptr;
  QCheckBox* CheckBox_Binary = nullptr;
  QCheckBox* CheckBox_Analog = nullptr;
  QCheckBox* CheckBox_SameAlgorithm = nullptr;
  QLineEdit* EditTriggerUpNum = nullptr;
  QLineEdit* EditTriggerTimeRange = nullptr;
  QLineEdit* EditTriggerNum = nullptr;
  QComboBox* ComboBoxAnalog = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QPushButton* ButtonSummary = nullptr;
  QPushButton* ButtonSave = nullptr;
  QPushButton* ButtonRead = nullptr;

  // The working copy; the opener fills it before ShowAlgorithms.
  AlgorithmWorkCopy& Work() { return work_; }
  const AlgorithmWorkCopy& Work() const { return work_; }

  void FormCreate();
  void FormDestroy();
  void FormActivate();
  void ShowAlgorithms();
  void ShowAlgorithmDetail();
  void Edit_Algorithm_NumExit();
  void Grid_AlgorithmClick(int col);
  void Grid_AlgorithmColumnMoved(int from, int to);
  void ComboBox1Click();
  void Grid_Algorithm_DetailSetEditText(int col, int row, const std::string& text);
  // Reads the changed detail cells back; false (after saying why) when a
  // value is refused, with the working record untouched.
  bool Grid_Algorithm_DetailExit();
  void ButtonOKClick();
  void ButtonCancelClick() { reject(); }
  void ButtonSummaryClick();
  void ButtonSaveClick();
  void ButtonReadClick();

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormAlgorithm"; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  AlgorithmConfig& Current();
  // The detail grid's pending edits read back before a command uses the
  // working copy; false when they were refused.
  bool TakePendingDetail();
  platform::FileDialogRequest FileRequest(const char* title) const;

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  AlgorithmWorkCopy work_;
  bool destroyed_ = false;
  // The current refusal of the detail grid was said already.
  bool refusalShown_ = false;
};

}  // namespace quelvar
