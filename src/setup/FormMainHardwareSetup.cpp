// The main window's hardware set-up commands: the PID parameters, the torque
// sensors' tables and the properties of the channels the waveform shows.
#include <QAction>
#include <QMenu>
#include <algorithm>
#include <vector>

#include "platform/UiHost.h"
#include "setup/FormCaliTorque.h"
#include "setup/FormCurChnProp.h"
#include "setup/FormPID.h"
#include "setup/PidSettings.h"
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::BuildHardwareSetupCommands() {
  connect(menuPIDConfig, &QAction::triggered, this, [this] { menuPIDConfigClick(); });
  connect(menuCaliTorque, &QAction::triggered, this, [this] { menuCaliTorqueClick(); });
  // First in the waveform's own pop-up menu.
  menuCurChnProp = new QAction(QStringLiteral("修改当前通道属性"), this);
  menuCurChnProp->setObjectName("menuCurChnProp");
  const QList<QAction*> items = PopupMenuBackGroud->actions();
  QAction* first = items.isEmpty() ? nullptr : items.front();
  PopupMenuBackGroud->insertAction(first, menuCurChnProp);
  connect(menuCurChnProp, &QAction::triggered, this, [this] { menuCurChnPropClick(); });
}

void TFormMain::menuPIDConfigClick() {
  if (state_.RunState != kRunIdle) return;
  // Created with the other windows at start; made here when none was given.
  if (pidDialog_ == nullptr) pidDialog_ = new TFormPID(state_, services_.registry, this);
  const AdChannelFrqFn channelFrq = state_.driver.Entries.ChannelFrq;
  state_.acq.PidPeriodMs = PidPeriodMsOf(state_.config, channelFrq);
  pidDialog_->SetEdits(PidEditsOf(state_.config, state_.acq.PidPeriodMs));
  // The dialog stores its values itself on OK.
  services_.ui.ShowModal(*pidDialog_);
}

void TFormMain::SetCaliTorqueDialog(TFormCaliTorque* dialog) {
  caliTorqueDialog_ = dialog;
  if (dialog == nullptr) return;
  // Stored tables that were put back on the identity curve.
  for (const std::string& problem : dialog->LoadProblems()) AppendRunLog("\r\n" + problem);
}

void TFormMain::menuCaliTorqueClick() {
  // Created at start, where it reads the stored tables; made here when none was given.
  if (caliTorqueDialog_ == nullptr)
    SetCaliTorqueDialog(new TFormCaliTorque(state_, services_.registry, services_.ui, this));
  services_.ui.ShowModal(*caliTorqueDialog_);
}

void TFormMain::menuCurChnPropClick() {
  if (state_.display.DispValid != 1) return;
  if (curChnPropDialog_ == nullptr) curChnPropDialog_ = new TFormCurChnProp(state_, services_.registry, this);
  const WaveViewState& v = state_.wave;
  const int32_t drawn =
      std::clamp(v.DrawnAnalogCount + v.DrawnSwitchCount, 0, static_cast<int32_t>(v.DrawnChannels.size()));
  curChnPropDialog_->LoadChannels(v.DrawnAnalogCount, v.DrawnSwitchCount,
                                  std::vector<int32_t>(v.DrawnChannels.begin(), v.DrawnChannels.begin() + drawn));
  if (services_.ui.ShowModal(*curChnPropDialog_) == platform::kModalOk) state_.wave.RepaintRequested = 1;
  // In any case; a hidden second window paints at its first tick when shown.
  RequestSecondDispRepaint();
}

}  // namespace quelvar
