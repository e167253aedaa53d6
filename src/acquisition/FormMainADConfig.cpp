// The main window's AD card command: fills the AD card dialog, shows it, and
// after OK puts the new card settings into force.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "platform/UiHost.h"
#include "setup/ConfADSettings.h"
#include "setup/FormConfAD.h"
#include "shell/ConfigCommands.h"
#include "shell/FormMain.h"
#include "shell/RecordFileCheck.h"

namespace quelvar {

void TFormMain::menuADConfigClick() {
  LiveConfig& c = state_.config;
  if (confADDialog_ == nullptr) {
    confADDialog_ = new TFormConfAD(state_, services_.registry, services_.ui, this);
    confADDialog_->ShowSimulateSource(c.SimulateType);
  }
  TFormConfAD& dialog = *confADDialog_;

  dialog.Button_OK->setEnabled(state_.RunState == kRunIdle);
  if (c.SimulateInterval < 0) c.SimulateInterval = 0;
  dialog.menuSimulateInterval->setText(QString::fromStdString(SimulateIntervalCaption(c.SimulateInterval)));
  dialog.Edit_ADCard->setText(QString::fromStdString(c.CardNameText));
  // A lent configuration keeps the rate it came with.
  if (state_.configInForce.TempConfigActive == 0) {
    c.ChannelRate = ComputeChannelRate(c, MakeRegistryContext(), c.Analog_Num);
  }
  dialog.SetStatusText(OpenerChannelRateLine(c.ChannelRate));
  dialog.CheckBoxSimulate->setChecked(c.SimulateAD != 0);
  dialog.menuSimulateRandom->setChecked(c.SimulateRandom != 0);
  if (state_.driver.DriverUsable == 0) {
    dialog.CheckBoxSimulate->setChecked(true);
    c.SimulateAD = 1;
    dialog.SetStatusText(kOpenerNoDriverNotice);
  }

  const int32_t rememberedFrqSamp = c.FrqSamp;
  const float rememberedRate = c.ChannelRate;
  const int32_t rowsBefore = c.NumSamp, wordsBefore = c.NumChn, bitsBefore = c.ADBit;
  if (services_.ui.ShowModal(dialog) != platform::kModalOk) {
    // The dialog may have stored some fields before it was cancelled: data
    // of another layout are no longer shown as if they fitted.
    if (c.NumSamp != rowsBefore || c.NumChn != wordsBefore || c.ADBit != bitsBefore) DropShownData();
    return;
  }

  // A replayed file lends its configuration, as a recorder start does; the
  // settings menu keeps the name of a configuration already lent.
  LendReplayConfig(true);

  // The driver's rate for the own configuration; a lent one (or a card
  // without the rate entry) scales the rate it had to the new nominal one.
  const bool temporary = state_.configInForce.TempConfigActive == 1;
  if (!temporary && state_.driver.Entries.ChannelFrq != nullptr) {
    c.ChannelRate = ComputeChannelRate(c, MakeRegistryContext(), c.Analog_Num);
  } else {
    c.ChannelRate = ScaledChannelRate(c.FrqSamp, rememberedFrqSamp, rememberedRate);
  }

  DropShownData();
  if (!temporary) SaveConfigToRegistry();
}

}  // namespace quelvar
