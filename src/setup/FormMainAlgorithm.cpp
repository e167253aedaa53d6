// The main window's trigger-algorithm command: fills the algorithm editor
// from the live table and settings, shows it, and keeps what it stored.
#include <QCheckBox>
#include <QLineEdit>

#include "setup/AlgorithmEditor.h"
#include "setup/FormAlgorithm.h"
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::menuAlgorithmClick() {
  if (state_.RunState != kRunIdle) return;
  const LiveConfig& c = state_.config;
  // Created with the other windows at start; made here when none was given.
  if (algorithmDialog_ == nullptr) algorithmDialog_ = new TFormAlgorithm(state_, services_.registry, services_.ui, this);
  TFormAlgorithm& dialog = *algorithmDialog_;
  LoadWorkCopy(c, dialog.Work());
  dialog.ShowAlgorithms();
  dialog.CheckBox_Binary->setChecked(c.IDStartBin != 0);
  dialog.CheckBox_Analog->setChecked(c.IDStartAnalog != 0);
  dialog.CheckBox_SameAlgorithm->setChecked(c.IDPreventSameAlgorithm != 0);
  dialog.EditTriggerUpNum->setText(QString::number(c.TriggerUpNum));
  dialog.EditTriggerTimeRange->setText(QString::number(c.TriggerTimeRange));
  services_.ui.ShowModal(dialog);  // OK has stored its values; either way the settings are kept
  if (state_.configInForce.TempConfigActive == 0) SaveConfigToRegistry();
}

}  // namespace quelvar
