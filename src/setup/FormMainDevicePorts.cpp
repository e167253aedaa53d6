// The main window's device commands: the device data panel (with its
// automatic send at start) and the port I/O panel.
#include <QMenu>

#include "platform/UiHost.h"
#include "setup/FormIOCtl.h"
#include "setup/FormIOPanel.h"
#include "shell/FormMain.h"

namespace quelvar {

namespace {

// _Initial@16's last argument; no card asks for another.
constexpr uint32_t kInitParam = 0;

// The card is initialised before its device data go out; whether it
// accepts is the send's own report.
void InitialiseCardForDeviceData(const AppState& state) {
  const AdDriver& d = state.driver.Entries;
  if (state.RunState != kRunIdle || state.driver.DriverUsable != 1 || d.Initial == nullptr) return;
  const LiveConfig& c = state.config;
  d.Initial(c.IOBase, c.IRQNum, c.PhysAddr, kInitParam);
}

}  // namespace

void TFormMain::BuildDevicePortItems() {
  menuIOCtl = new QAction(QStringLiteral("发送设备专用数据(&I)"), this);
  menuIOCtl->setObjectName("menuIOCtl");
  menuIOPanel = new QAction(QStringLiteral("端口读写工具面板(&O)"), this);
  menuIOPanel->setObjectName("menuIOPanel");
  // With the other hardware items, ahead of the card's own ones.
  menuSysParam->insertAction(menuSepProp, menuIOCtl);
  menuSysParam->insertAction(menuSepProp, menuIOPanel);
  connect(menuIOCtl, &QAction::triggered, this, [this] { menuIOCtlClick(); });
  connect(menuIOPanel, &QAction::triggered, this, [this] { menuIOPanelClick(); });
}

void TFormMain::menuIOCtlClick() {
  InitialiseCardForDeviceData(state_);
  // Created with the other windows at start; made here when none was given.
  if (deviceDataPanel_ == nullptr) deviceDataPanel_ = new TFormIOCtl(state_, services_.registry, this);
  services_.ui.ShowModal(*deviceDataPanel_);
}

void TFormMain::menuIOPanelClick() {
  if (portPanel_ == nullptr) portPanel_ = new TFormIOPanel(state_, services_.registry, this);
  portPanel_->show();
  portPanel_->raise();
  portPanel_->activateWindow();
}

void TFormMain::AutoSendDeviceData() {
  if (state_.config.AutoSendIOCtl != 1 || state_.RunState != kRunIdle || state_.driver.DriverUsable != 1) return;
  InitialiseCardForDeviceData(state_);
  if (deviceDataPanel_ == nullptr) deviceDataPanel_ = new TFormIOCtl(state_, services_.registry, this);
  // The outcome stays in the panel's status bar, unseen until it is opened.
  deviceDataPanel_->ShowSettings();
  deviceDataPanel_->ButtonIOCtlClick();
}

}  // namespace quelvar
