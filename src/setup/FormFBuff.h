#pragma once

#include <QDialog>

#include <string>

#include "common/AppState.h"
#include "platform/UiHost.h"
#include "setup/RecorderSettings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The recorder-settings dialog: the ring and record lengths, file count, end
// block, display refresh, the automatic switches, and continuous saving with
// its backup copy. Made once at start-up (it reads the continuous-save names
// then) and kept to the end (it stores them then). Its opener fills the
// recorder fields; OK reads every field, and only an accepted OK puts the
// new settings in force. Closed any other way, the continuous-save controls
// go back to the settings in force.
class TFormFBuff : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormFBuff(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent = nullptr);
  ~TFormFBuff() override;

  QLineEdit* EditNumChn = nullptr;
  QLineEdit* EditNumSamp = nullptr;
  QLineEdit* EditChnFrq = nullptr;
  QLineEdit* EditMaxBlock = nullptr;
  QLineEdit* EditFaultBlock = nullptr;
  QLineEdit* EditCompressFaultBlock = nullptr;
  QLineEdit* Edit_CompressRatio = nullptr;
  QLabel* Label_CompressType = nullptr;
  QComboBox* ComboBox_CompressType = nullptr;
  QLineEdit* EditFileNum = nullptr;
  QLineEdit* EditStartNum = nullptr;
  QLabel* Label_EndBlock = nullptr;
  QLineEdit* EditEndBlock = nullptr;
  QLabel* LabelDispFrq = nullptr;
  QLineEdit* EditDispFrq = nullptr;
  QCheckBox* CheckBoxAutoStart = nullptr;
  QCheckBox* CheckBoxAutoPrint = nullptr;
  QCheckBox* CheckBoxAutoRestore = nullptr;
  QCheckBox* CheckBoxContinuousSave = nullptr;
  QLineEdit* EditFileName = nullptr;
  QPushButton* ButtonOpen = nullptr;
  QPushButton* ButtonCurTime = nullptr;
  QCheckBox* CheckBoxSafeSave = nullptr;
  QLineEdit* EditSafeSaveTime = nullptr;
  QLabel* LabelSafeSave = nullptr;
  QLineEdit* EditSafeSaveFileName = nullptr;
  QPushButton* ButtonNewBakFile = nullptr;
  QPushButton* ButtonDefaultBAKFile = nullptr;
  QLabel* LabelMemory = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;

  void FormCreate();
  void FormDestroy();
  void FormActivate();
  void UpdateReadouts();
  void EditMaxBlockChange();
  void EditEndBlockChange();
  void EditFaultBlockChange() { UpdateReadouts(); }
  void EditCompressFaultBlockChange() { UpdateReadouts(); }
  void Edit_CompressRatioChange() { UpdateReadouts(); }
  void EditStartNumExit();
  void CheckBoxContinuousSaveClick();
  void ButtonOpenClick();
  void EditFileNameDblClick() { ButtonOpenClick(); }
  void ButtonNewBakFileClick();
  void EditSafeSaveFileNameDblClick() { ButtonNewBakFileClick(); }
  void ButtonCurTimeClick();
  void ButtonDefaultBAKFileClick();
  void LabelSafeSaveDblClick() { ButtonDefaultBAKFileClick(); }
  void ButtonOKClick();
  void ButtonCancelClick() { reject(); }

  // The continuous-save controls from the settings in force.
  void ShowContinuousSaveSettings();
  // The texts and switches OK reads.
  RecorderFields Fields() const;
  std::string StatusText() const;

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormFBuff"; }
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void SetBackupControlsEnabled(bool enabled);

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  QLabel* statusLine_ = nullptr;
  bool destroyed_ = false;
};

}  // namespace quelvar
