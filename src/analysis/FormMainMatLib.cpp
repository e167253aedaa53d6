// The main window's side of the signal-processing library panel: its
// command and its hand-over.
#include <QAction>

#include "analysis/FormMatLib.h"
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::SetMatLibPanel(TFormMatLib* panel) {
  matLibPanel_ = panel;
  menuMatlabLib->setEnabled(panel != nullptr && state_.startup.LoadSignalLib == 1);
  if (!matLibCommandConnected_) {
    matLibCommandConnected_ = true;
    connect(menuMatlabLib, &QAction::triggered, this, [this] { menuMatLabLibClick(); });
  }
}

void TFormMain::menuMatLabLibClick() {
  if (matLibPanel_ == nullptr || state_.startup.LoadSignalLib != 1) return;
  menuViewSpectrum->setVisible(true);
  matLibPanel_->show();
  matLibPanel_->raise();
  matLibPanel_->activateWindow();
}

}  // namespace quelvar
