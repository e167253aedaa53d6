// The main window's two-trace oscilloscope: start and stop, the tick that
// fetches one block, pause and the control panel.
#include <QAction>
#include <QTimer>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "acquisition/BlockIntake.h"
#include "acquisition/BlockProcessing.h"
#include "acquisition/ChannelLayout.h"
#include "acquisition/DriverErrors.h"
#include "acquisition/PrepareStart.h"
#include "acquisition/VirtualAdFile.h"
#include "auxwin/FormSecondDisp.h"
#include "auxwin/FormTool.h"
#include "platform/DayTime.h"
#include "platform/UiHost.h"
#include "shell/ConfigCommands.h"
#include "shell/FormMain.h"
#include "view/PaintBox.h"
#include "shell/RecordFileCheck.h"

namespace quelvar {

void TFormMain::menuStartOscilClick() {
  if (state_.RunState == kRunRecording || startStopBusy_) return;
  const StartStopScope busy(startStopBusy_);
  if (state_.RunState == kRunIdle) {
    StartOscilloscope();
  } else {
    StopOscilloscope();
  }
  menuStartOscil->setChecked(state_.RunState == kRunOscilloscope);
  ToolButtonStartOscil->setChecked(state_.RunState == kRunOscilloscope);
}

void TFormMain::StartOscilloscope() {
  LiveConfig& c = state_.config;
  AcquisitionState& a = state_.acq;
  a.BlocksReceived = 0;
  a.RunStartTime = platform::NowDayCount();
  if (c.SavePath.empty() || chdir(c.SavePath.c_str()) != 0) {
    [[maybe_unused]] const int rc = chdir(state_.startup.ProgramDir.c_str());
  }
  menuStartOscil->setChecked(true);
  state_.history.Comment = "双踪示波器波形";
  a.BufferLayoutValid = 0;
  if (state_.wave.DisplayWidth == state_.display.DispPoints) XZoomPresetClick(2);
  if (state_.NetworkRole == kRoleViewer) {
    // The station's configuration and blocks arrive over the link.
    OpenViewerLink();
  } else {
    if (!PrepareRun(false, "注：试图按非本机配置进行启动...")) return;
    if (!(c.SimulateAD ? PrepareVirtualCard(true) : StartOscilRealCard())) return;
    TimerOscil->start(std::max(state_.oscilTool.Interval, 1));
    if (state_.NetworkRole == kRoleStation) BroadcastStationStart();
  }

  // Only a start that went through is logged as one, with the time it began.
  AppendRunLog("\r\n启动双踪示波器于:" + platform::PageStampText(a.RunStartTime));
  state_.RunState = kRunOscilloscope;
  state_.display.DataSourceMode = 2;
  menuStartOscil->setText(QStringLiteral("停止双踪示波器"));
  SetStatusPanelText(1, "监控");
  PostStatusText("双踪示波器开始工作!");
  // The live display is always on while the oscilloscope runs.
  menuMonitor->setChecked(false);
  menuMonitorClick();
  if (oscilTool_ != nullptr) {
    oscilTool_->LoadForOscilloscope();
    oscilTool_->show();
  }
  menuViewOscilTool->setVisible(true);
  SetRecorderViewItemsVisible(false);
  menuPause->setText(QStringLiteral("暂停双踪示波器(&P)"));
  menuPause->setVisible(true);
  if (secondDisp_ != nullptr && secondDisp_->isVisible()) secondDisp_->hide();
  menuPause->setChecked(false);
  ToolButtonPause->setVisible(true);
  ToolButtonPause->setChecked(false);
  ToolButtonPause->setToolTip(QStringLiteral("暂停双踪示波器"));
  a.OscilPaused = 0;
  ToolButtonStartOscil->setToolTip(QStringLiteral("停止双踪示波器"));
  SendControllerStateFrame();
}

bool TFormMain::StartOscilRealCard() {
  LiveConfig& c = state_.config;
  const AdDriver& d = state_.driver.Entries;
  if (!InitialiseRealCard("AD板初始化错误,原因:")) return false;
  // Snapshots only: no block notifications are wanted.
  SetUpPidAndChannelRate();
  PostStatusText("AD板准备工作...");
  const auto rows = static_cast<uint32_t>(DeliveredRows(c));
  const int32_t started =
      d.StartSnapshot != nullptr
          ? d.StartSnapshot(c.NumBuf, 4 * rows, static_cast<uint16_t>(c.BegChn), static_cast<uint16_t>(c.NumChn),
                            static_cast<uint32_t>(c.FrqSamp), static_cast<uint32_t>(c.StartParam), c.AmpGain, 0)
          : 0;
  if (started == 0) {
    PostStatusText(DriverFailureText("AD板启动错误,原因:", "AD板启动错误!"));
    return false;
  }
  return true;
}

void TFormMain::StopOscilloscope() {
  const LiveConfig& c = state_.config;
  AppendRunLog("停止双踪示波器于:" + platform::NowStampText());
  menuStartOscil->setChecked(false);
  if (state_.NetworkRole == kRoleViewer) {
    CloseViewerLink();
  } else {
    if (!c.SimulateAD) {
      const AdDriver& d = state_.driver.Entries;
      if (d.StopIntr != nullptr) d.StopIntr();
      if (c.PIDEnable && d.DisablePID != nullptr) d.DisablePID();
    }
    TimerOscil->stop();
    if (state_.NetworkRole == kRoleStation) BroadcastStationStop();
  }
  PostStatusText("双踪示波器被停止!");
  menuStartOscil->setText(QStringLiteral("启动双踪示波器"));
  state_.RunState = kRunIdle;
  SetStatusPanelText(1, "预备");
  menuPause->setVisible(false);
  ToolButtonPause->setVisible(false);
  state_.acq.OscilPaused = 0;
  ToolButtonStartOscil->setToolTip(QStringLiteral("启动双踪示波器"));
  SendControllerStateFrame();
}

void TFormMain::OscilTick() {
  if (state_.RunState != kRunOscilloscope || state_.acq.OscilPaused) return;
  const BlockReporter blockReport = MakeBlockReporter();
  const IntakeEnv env{[] { return platform::NowDayCount(); },
                      [this, &blockReport] {
                        // The station's viewers get the raw snapshot first.
                        if (state_.NetworkRole == kRoleStation) SendStationRawBlock();
                        ProcessCurrentBlock(blockReport);
                      },
                      [this] { menuStartOscilClick(); }, [] {}, [] { return std::rand() % 32768; }};
  if (IntakeOscilloscopeBlock(state_, env)) {
    // The oscilloscope's picture follows each snapshot at once.
    RepaintView();
    if (state_.wave.ViewMode == 1) Image1->update();
  }
  const LiveConfig& c = state_.config;
  VirtualAdReplay& replay = state_.acq.Replay;
  if (c.SimulateAD && c.SimulateType == 1 && replay.VirtualAdBlocksRead >= replay.VirtualAdBlocks) {
    CloseVirtualAdFile(replay);
    menuStartOscilClick();
  }
}

void TFormMain::menuPauseClick() {
  AcquisitionState& a = state_.acq;
  a.OscilPaused = 1 - a.OscilPaused;
  const bool paused = a.OscilPaused != 0;
  menuPause->setText(paused ? QStringLiteral("继续双踪示波器(&C)") : QStringLiteral("暂停双踪示波器(&P)"));
  menuPause->setChecked(paused);
  ToolButtonPause->setChecked(paused);
  ToolButtonPause->setToolTip(paused ? QStringLiteral("继续双踪示波器") : QStringLiteral("暂停双踪示波器"));
}

void TFormMain::SetOscilToolPanel(TFormTool* panel) {
  if (oscilTool_ != nullptr) oscilTool_->onIntervalChanged = nullptr;
  oscilTool_ = panel;
  if (panel == nullptr) return;
  panel->onIntervalChanged = [this](int ms) {
    // A recording paces the same timer with its own period.
    if (state_.RunState != kRunRecording) TimerOscil->setInterval(std::max(ms, 1));
  };
}

void TFormMain::menuViewOscilToolClick() {
  if (oscilTool_ != nullptr) oscilTool_->show();
}

}  // namespace quelvar
