// The main window's channel calibration command: fills the calibration
// dialog for the state now and shows it, modal while idle, on top while a
// run goes on.
#include "setup/FormCalibrate.h"
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::menuChannelCalibrationClick() {
  // Created with the other windows at start; made here when none was given.
  if (calibrateDialog_ == nullptr) {
    calibrateDialog_ = new TFormCalibrate(state_, services_.registry, services_.ui, this);
  }
  TFormCalibrate& dialog = *calibrateDialog_;
  dialog.FillForOpening();
  if (state_.RunState == kRunIdle) {
    if (dialog.isVisible()) dialog.hide();
    services_.ui.ShowModal(dialog);
  } else {
    dialog.ShowOnTop();
  }
}

}  // namespace quelvar
