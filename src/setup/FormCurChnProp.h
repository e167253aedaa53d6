#pragma once

#include <QDialog>

#include "common/AppState.h"
#include "platform/UiHost.h"
#include "setup/CurrentChannelProperties.h"

class QPushButton;
class QTabWidget;
class QWidget;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

class StringGrid;

// The properties of the channels a waveform window draws. LoadChannels
// fills the grids; OK writes them into the live tables, Cancel nothing.
class TFormCurChnProp : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormCurChnProp(AppState& state, platform::RegistryStore& registry, QWidget* parent = nullptr);
  ~TFormCurChnProp() override;

  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheetAnalog = nullptr;
  QWidget* TabSheetSW = nullptr;
  StringGrid* GridAnalog = nullptr;
  StringGrid* GridSW = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;

  void LoadChannels(int32_t analogCount, int32_t switchCount, const std::vector<int32_t>& channels);
  void ButtonOKClick();
  void ButtonCancelClick() { reject(); }
  void GridAnalogDblClick();
  void FormDestroy();

  bool AnalogPageShown() const;
  bool SwitchPageShown() const;

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormCurChnProp"; }

 private:
  AppState& state_;
  platform::RegistryStore& registry_;
  CurrentChannelList list_;
  bool destroyed_ = false;
};

}  // namespace quelvar
