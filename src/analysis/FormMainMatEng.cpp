// The main window's side of the engine analysis panel: its command and its
// hand-over.
#include <QAction>

#include "analysis/FormMatEng.h"
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::SetMatEngPanel(TFormMatEng* panel) {
  matEngPanel_ = panel;
  // Without the engine library there is nothing the panel could drive.
  menuMatlabEngine->setEnabled(panel != nullptr && state_.startup.EngineLoaded == 1);
  if (!matEngCommandConnected_) {
    matEngCommandConnected_ = true;
    connect(menuMatlabEngine, &QAction::triggered, this, [this] { menuMatlabEngineClick(); });
  }
}

void TFormMain::menuMatlabEngineClick() {
  if (matEngPanel_ == nullptr) return;
  matEngPanel_->show();
  matEngPanel_->raise();
  matEngPanel_->activateWindow();
}

}  // namespace quelvar
