// The main window's interface timer and its visibility handlers.
#include <QTimer>

#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::FormShow() { Timer2->start(); }

void TFormMain::FormHide() { Timer2->stop(); }

void TFormMain::Timer2Timer() {
  ++timer2Ticks_;
  screenSaverGuard_.Update(state_.RunState);
}

}  // namespace quelvar
