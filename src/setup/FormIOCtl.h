#pragma once

#include <QDialog>

#include <array>
#include <string>

#include "common/AppState.h"
#include "platform/UiHost.h"
#include "setup/DeviceData.h"
#include "setup/NumberBaseTool.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

class StringGrid;

// The device data panel: a block of card-specific bytes composed in a grid
// (hexadecimal, decimal or character per byte), sent to the driver through
// _IOCtl@16 with the number of bytes to return, the returned bytes shown in
// a second grid on the same place, and a number-base tool. Made once at
// start-up; the automatic send at start uses it without showing it.
class TFormIOCtl : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormIOCtl(AppState& state, platform::RegistryStore& registry, QWidget* parent = nullptr);
  ~TFormIOCtl() override;

  QLineEdit* Edit_Num_IOCtl = nullptr;
  QLineEdit* Edit_OutSize = nullptr;
  QLabel* LabelContent = nullptr;
  StringGrid* Grid_IOCtlData = nullptr;
  StringGrid* GridOutBuf = nullptr;
  QPushButton* ButtonIOCtl = nullptr;
  QPushButton* ButtonOK = nullptr;
  QCheckBox* CheckBoxAutoSend = nullptr;
  QLineEdit* Edit_Data = nullptr;
  std::array<QLineEdit*, 8> Edit_BYTE{};
  QPushButton* Button_ByteTo = nullptr;
  QPushButton* Button_ByteFrom = nullptr;
  QPushButton* Button_ShortTo = nullptr;
  QPushButton* Button_ShortFrom = nullptr;
  QPushButton* Button_LongTo = nullptr;
  QPushButton* Button_LongFrom = nullptr;
  QPushButton* Button_FloatTo = nullptr;
  QPushButton* Button_FloatFrom = nullptr;
  QPushButton* Button_DoubleTo = nullptr;
  QPushButton* Button_DoubleFrom = nullptr;
  QStatusBar* StatusBar1 = nullptr;

  // The controls from the settings.
  void ShowSettings();
  void Edit_Num_IOCtlChange();
  void Grid_IOCtlDataSetEditText(int col, int row, const std::string& text);
  // Reads the counts and the send grid into the working buffers; false (and
  // the reason in the status bar) when there is nothing to send.
  bool ReadSendGrid();
  void ButtonIOCtlClick();
  void ButtonOKClick();
  void CheckBoxAutoSendClick();
  void LabelContentDblClick();
  void NumberBaseClick(NumberBaseButton button);

  std::string StatusText() const;
  const DeviceDataBuffers& Buffers() const { return buffers_; }

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormIOCtl"; }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void FormCreate();
  void FormDestroy();
  void SetStatus(const std::string& text);
  bool SendGridShown() const;

  AppState& state_;
  platform::RegistryStore& registry_;
  DeviceDataBuffers buffers_;
  QLabel* statusLine_ = nullptr;
  bool destroyed_ = false;
};

}  // namespace quelvar
