// The main window's interface timer and its visibility handlers.
#include <QTimer>

#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::FormShow() { Timer2->start(); }

void TFormMain::FormHide() { Timer2->stop(); }

// The housekeeping runs on the first tick and every tenth after it.
constexpr int kTicksPerHousekeeping = 10;

void TFormMain::Timer2Timer() {
  ++timer2Ticks_;
  screenSaverGuard_.Update(state_.RunState);
  if ((timer2Ticks_ - 1) % kTicksPerHousekeeping == 0) Timer1Timer();
}

}  // namespace quelvar
