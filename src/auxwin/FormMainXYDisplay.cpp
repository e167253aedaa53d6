// The main window's side of the X-Y window: its command and its hand-over.
#include <QAction>

#include "auxwin/FormXYDisplay.h"
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::SetXYDisplay(TFormXYDisplay* window) {
  xyDisplay_ = window;
  menuDispXY->setEnabled(window != nullptr);
}

void TFormMain::menuDispXYClick() {
  if (xyDisplay_ == nullptr) return;
  xyDisplay_->show();
  xyDisplay_->raise();
}

}  // namespace quelvar
