// The one-second housekeeping and, on its first call, the deferred start-up:
// the steps that need a shown main window and the other windows.
#include <QCoreApplication>
#include <QLabel>
#include <QMetaObject>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <unistd.h>

#include "auxwin/FormXYDisplay.h"
#include "auxwin/FormSecondDisp.h"
#include "common/Version.h"
#include "net/FormRemoteControl.h"
#include "platform/DayTime.h"
#include "platform/UiHost.h"
#include "platform/qt/QtPicture.h"
#include "setup/FormConfAD.h"
#include "shell/BrandingFile.h"
#include "shell/FormAbout.h"

#include "shell/FormMain.h"

#include "auxwin/FormComposite.h"

namespace quelvar {

void TFormMain::Timer1Timer() {
  SetStatusPanelText(0, platform::FormatDayCount(platform::NowDayCount(), "hh:nn:ss"));
  if (!deferredStartupBegun_) {
    deferredStartupBegun_ = true;
    RunDeferredStartup();
    return;
  }
  // Notification watchdog: when the driver's notifications stay away while
  // recording in interrupt mode, poll it ourselves from the fifth call on.
  AcquisitionState& a = state_.acq;
  // A viewer's blocks come over the network: it never started the card.
  if (state_.RunState == kRunRecording && state_.NetworkRole != kRoleViewer && state_.config.SimulateAD == 0) {
    if (a.NotifyWatchdog > 3 && state_.config.MaxBlock > 1) {
      Button_NotifyKeyUp();
    } else {
      a.NotifyWatchdog += 1;
    }
  }
  // The COM link of remote control.
  if (menuEnableRemote->isChecked() && state_.IdControlByRadio != 0 && RemoteComPort.IsOpen()) PollRemoteCom();
  if (state_.IdControlByRadio != 0 && remoteConsole_ != nullptr) remoteConsole_->PollRadio();
}

void TFormMain::RunDeferredStartup() {
  StartupState& s = state_.startup;
  LiveConfig& c = state_.config;
  s.LayoutReady = 1;

  s.OemDefLoaded = 0;
  if (const auto branding = ReadBrandingFile(s.ProgramDir + "OEM.def")) {
    s.OemLogoFile = branding->LogoFile;
    s.OemLargeText = branding->LargeText;
    s.OemSmallText = branding->SmallText;
    oemLogo_ = platform::QtPicture::Load(s.OemLogoFile);
    if (aboutBox_ != nullptr && oemLogo_) {
      aboutBox_->Image1->setPixmap(QPixmap::fromImage(oemLogo_->Image()));
      s.OemDefLoaded = 1;
    }
  }
  LayoutMainWindow();
  ActivateRemoteControl();

  if (s.ResetConfig == 1) {
    LoadDefaultConfigFile();
    s.StartupPending = 0;
    // The shut-down that follows saves the loaded configuration.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    return;
  }

  if (c.ADBit > 16) {
    services_.ui.MessageBox("当前版本录波器要求AD位数<=16\r\n但实际AD位数为" + std::to_string(c.ADBit), "提示",
                            platform::MsgButtons::Ok);
    c.SimulateAD = 1;
  }
  const auto zero = static_cast<uint16_t>(static_cast<int64_t>(c.VZero));
  if (c.ADBit < 1 || c.ADBit > 17 || zero != (1u << (c.ADBit - 1))) {
    PostStatusText("警告：ADBit与VZero不匹配!");
  }

  menuDigiFilter->setVisible(true);
  menuDigiIntegrate->setVisible(true);
  // The auxiliary windows asked for at start-up.
  if (xyDisplay_ != nullptr && xyDisplay_->menuAutoView->isChecked()) menuDispXYClick();
  if (compositePanel_ != nullptr && compositePanel_->menuAutoView->isChecked()) menuViewCompositeClick();
  Memo1->setPlainText(QString::fromStdString("网络录波器/示波器 " + VersionText() + "版本。"));
  menuRawFFT->setVisible(true);
  DrawIdleScreen();
  AppendRunLog(s.WindowWord + "运行于" + platform::FormatDayCount(s.ProgramStartTime, "yyyy-mm-dd hh:nn:ss"));
  AppendRunLog(" 这是本程序第 " + std::to_string(c.StartNum) + " 运行!");
  std::string saveDir = c.SavePath;
  if (saveDir.empty() || chdir(saveDir.c_str()) != 0) {
    saveDir = s.ProgramDir;
    [[maybe_unused]] const int rc = chdir(saveDir.c_str());
  }
  AppendRunLog("\r\n 采样数据存盘路径为：" + saveDir);
  if (confADDialog_ != nullptr) confADDialog_->ShowSimulateSource(c.SimulateType);
  // The network role of the last run; the viewer's takes the stored address.
  if (c.NetworkStatus == kRoleStation) {
    menuServerClick();
  } else if (c.NetworkStatus == kRoleViewer) {
    state_.AutoConnectViewer = 1;
    menuClientClick();
    state_.AutoConnectViewer = 0;
  } else {
    menuAloneClick();
  }
  // The mark value labels as stored: the command inverts the mark set here
  // and shows or hides the labels.
  SetViewOption(&ViewOptions::Trace, state_.wave.IDTrace == 0);
  menuViewTraceClick();
  // The marks' stored kinds through their handlers, which skip their prompts
  // while the start-up is pending and caption the items with what was stored.
  RestoreMarkKinds();
  UpdateChannelScrollRange();
  VScrollBar_Channel->setValue(state_.view.BegDispChannel);
  state_.wave.BegDispChannel = VScrollBar_Channel->value();
  AutoSendDeviceData();
  // The auxiliary windows the user wants at every start.
  if (secondDisp_ != nullptr && secondDisp_->menuAutoView->isChecked()) menuSecondDispClick();
  // An unattended station records from its start; the splash would hide the
  // first blocks.
  if (c.AutoStart == 1) {
    if (aboutBox_ != nullptr) aboutBox_->hide();
    menuStartQuelvarClick();
  }
  s.StartupPending = 0;
}

}  // namespace quelvar
