// The main window's way to the remote-control console.
#include "net/FormRemoteControl.h"
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::menuRemoteControlClick() {
  if (remoteConsole_ == nullptr) return;
  remoteConsole_->show();
  remoteConsole_->raise();
  remoteConsole_->activateWindow();
}

}  // namespace quelvar
