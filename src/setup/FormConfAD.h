#pragma once

#include <QDialog>

#include <functional>
#include <string>

#include "common/AppState.h"
#include "platform/UiHost.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTabWidget;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The AD card dialog: the card's addresses, block and rate settings on one
// page; the on-line filter, resampling and the virtual card on the other.
// OK writes the fields straight into the live settings; the pop-up menu of
// the virtual-card box sets the virtual card's data source at once. Its
// opener (the main window) fills the card name, the OK button's state, the
// delay caption, the virtual-card ticks and the status line before showing it.
class TFormConfAD : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormConfAD(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent = nullptr);
  ~TFormConfAD() override;

  QTabWidget* PageControl1 = nullptr;
  QLineEdit* Edit_ADCard = nullptr;
  QLineEdit* Edit_IOBase = nullptr;
  QLineEdit* Edit_PhysAddr = nullptr;
  QLineEdit* Edit_IRQNum = nullptr;
  QLabel* Label_SampPerChn = nullptr;  // its hint names the smallest count
  QLineEdit* Edit_SampPerChn = nullptr;
  QLineEdit* Edit_BegChn = nullptr;
  QLineEdit* Edit_NumChn = nullptr;
  QLineEdit* Edit_FrqSamp = nullptr;
  QLineEdit* Edit_NumBuf = nullptr;
  QLineEdit* Edit_ADBit = nullptr;
  QLineEdit* Edit_AmpGain = nullptr;
  QCheckBox* CheckBoxFilter = nullptr;
  QLineEdit* EditFilterCoe = nullptr;
  QCheckBox* CheckBoxResamp = nullptr;
  QLineEdit* EditResampNum = nullptr;
  QRadioButton* RadioButtonLastPoint = nullptr;
  QRadioButton* RadioButtonAvgValue = nullptr;
  QCheckBox* CheckBoxSimulate = nullptr;
  QMenu* PopupMenuSimulate = nullptr;  // the virtual-card box's pop-up menu
  QAction* menuSimulateAuto = nullptr;
  QAction* menuSimulateRandom = nullptr;
  QAction* menuSimulateFile = nullptr;
  QAction* menuCurDataFile = nullptr;
  QAction* menuSimulateInterval = nullptr;
  QPushButton* Button_OK = nullptr;
  QPushButton* Button_Cancel = nullptr;
  QStatusBar* StatusBar1 = nullptr;

  void FormCreate();
  void FormDestroy();
  void FormActivate();
  void ShowChannelFrequency();
  void Edit_NumChnChange();
  void Edit_SampPerChnExit();
  void Edit_FrqSampChange() { ShowChannelFrequency(); }
  void Edit_FrqSampExit() { ShowChannelFrequency(); }
  void EditFilterCoeExit();
  void EditResampNumExit();
  void CheckBoxFilterClick();
  void CheckBoxResampClick();
  void CheckBoxSimulateClick();
  void menuSimulateAutoClick();
  void menuSimulateRandomClick();
  void menuSimulateFileClick();
  void menuCurDataFileClick();
  void menuSimulateIntervalClick();
  void Button_OKClick();
  void Button_CancelClick() { reject(); }

  // The check marks of the virtual card's source: generated (0) or a file.
  void ShowSimulateSource(int32_t simulateType);
  // The single-text status line.
  void SetStatusText(const std::string& text);
  std::string StatusText() const;
  // The per-channel rate of the last frequency line, which OK checks.
  float KeptChannelRate() const { return keptRate_; }

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormConfAD"; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildBasicPage(QWidget* page);
  void BuildAdvancedPage(QWidget* page);
  void BuildSimulateMenu();
  void ConnectCommand(QAction* item, std::function<void()> handler);
  void TakeReplayFile(const std::string& path);

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  QLabel* statusLine_ = nullptr;
  // The dialog's own resampling switch and factor, taken at activation.
  bool resampling_ = false;
  int32_t resampFactor_ = 2;
  float keptRate_ = 0.0f;
  bool destroyed_ = false;
};

}  // namespace quelvar
