// The main window's acquisition commands.
#include "acquisition/DriverErrors.h"
#include "platform/UiHost.h"
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::menuADPropStringClick() {
  const std::string caption = state_.config.CardNameText + "属性说明";
  const PropText prop = ReadADPropText(state_.driver.Entries);
  switch (prop.status) {
    case PropTextStatus::Ok:
      services_.ui.MessageBox(prop.text, caption, platform::MsgButtons::Ok);
      break;
    case PropTextStatus::CannotAllocate:
      services_.ui.MessageBox("提示：取属性失败！", caption, platform::MsgButtons::Ok);
      break;
    case PropTextStatus::NoEntries:
      services_.ui.MessageBox("提示：无属性！", caption, platform::MsgButtons::Ok);
      break;
  }
}

}  // namespace quelvar
