// The main window's side of the record-file manager: shows it for the open
// command of history review.
#include <QCheckBox>

#include "analysis/FormFault.h"
#include "platform/UiHost.h"
#include "shell/FormMain.h"

namespace quelvar {

TFormFault* TFormMain::FaultManager() {
  if (faultManager_ == nullptr) faultManager_ = new TFormFault(state_, services_.registry, services_.ui, this);
  return faultManager_;
}

int TFormMain::RunRecordFileManager() {
  TFormFault& manager = *FaultManager();
  manager.CheckBoxDispAll->setChecked(true);
  return services_.ui.ShowModal(manager);
}

}  // namespace quelvar
