// The main window's recorder-settings command: fills the recorder-settings
// dialog from the settings, shows it, and after OK keeps and applies them.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "common/ConfigBounds.h"
#include "common/NumberFormat.h"
#include "platform/qt/QtText.h"
#include "platform/UiHost.h"
#include "setup/FormFBuff.h"
#include "setup/RecorderSettings.h"
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::menuQuelvarConfigClick() {
  if (state_.RunState != kRunIdle) return;
  LiveConfig& c = state_.config;
  // Created with the other windows at start; made here when none was given.
  if (recorderSettingsDialog_ == nullptr) {
    recorderSettingsDialog_ = new TFormFBuff(state_, services_.registry, services_.ui, this);
  }
  TFormFBuff& dialog = *recorderSettingsDialog_;

  c.SamplesPerCycle = SamplesPerCycleOf(c.ChannelRate, c.ACFrq);
  // A ratio of 1 stands for one AC cycle.
  if (c.CompressRatio == 1) c.CompressRatio = c.SamplesPerCycle;
  dialog.EditNumChn->setText(QString::number(c.NumChn));
  dialog.EditNumSamp->setText(QString::number(c.NumSamp));
  dialog.EditChnFrq->setText(Q(FormatFixed(c.ChannelRate, 7, 1)));
  dialog.EditMaxBlock->setText(QString::number(c.MaxBlock));
  dialog.EditFaultBlock->setText(QString::number(c.FaultBlockNum));
  dialog.EditCompressFaultBlock->setText(QString::number(c.CompressFaultBlockNum));
  dialog.EditFileNum->setText(QString::number(c.FileNum));
  dialog.EditStartNum->setText(QString::number(c.StartNum));
  dialog.EditEndBlock->setText(QString::number(c.EndBlock));
  dialog.EditDispFrq->setText(QString::number(c.QuelvarDispFrq));
  dialog.Edit_CompressRatio->setText(QString::number(c.CompressRatio));
  // A kind the list does not hold selects nothing, which OK reads as 0.
  dialog.ComboBox_CompressType->setCurrentIndex(
      c.CompressType >= 0 && c.CompressType < dialog.ComboBox_CompressType->count() ? c.CompressType : -1);
  dialog.Label_EndBlock->setToolTip(Q(OpenerEndBlockHint(c.EndBlock, c.NumChn, c.NumSamp)));
  dialog.UpdateReadouts();
  dialog.CheckBoxAutoStart->setChecked(c.AutoStart == 1);
  dialog.CheckBoxAutoRestore->setChecked(c.AutoRestoreCfg != 0);
  dialog.CheckBoxAutoPrint->setChecked(c.AutoPrint != 0);

  const int32_t maxBlockBefore = c.MaxBlock;
  if (services_.ui.ShowModal(dialog) != platform::kModalOk) return;
  if (state_.configInForce.TempConfigActive == 0) SaveConfigToRegistry();
  // Data of another ring no longer fit what is shown.
  if (c.MaxBlock != maxBlockBefore) DropShownData();
}

}  // namespace quelvar
