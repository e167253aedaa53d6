// The main window's acquisition commands: the recorder's start and stop,
// block intake, the manual trigger.
#include <QAction>
#include <QLabel>
#include <QCoreApplication>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "platform/qt/QtText.h"
#include "acquisition/BlockIntake.h"
#include "acquisition/BlockProcessing.h"
#include "acquisition/ChannelLayout.h"
#include "acquisition/ContinuousSaving.h"
#include "acquisition/ScheduleSave.h"
#include "acquisition/DriverErrors.h"
#include "acquisition/FormFileInfo.h"
#include "acquisition/FormScheduleSave.h"
#include "acquisition/ManualSave.h"
#include "acquisition/FormSetPath.h"
#include "acquisition/PrepareStart.h"
#include "acquisition/VirtualAdFile.h"
#include "auxwin/FormTool.h"
#include "common/NumberFormat.h"
#include "platform/DayTime.h"
#include "platform/DriverNotify.h"
#include "platform/UiHost.h"
#include "platform/qt/QtDriverNotifier.h"
#include "shell/ConfigCommands.h"
#include "shell/RecordFileCheck.h"
#include "shell/RecordWriter.h"
#include "acquisition/RecordCompletion.h"
#include "shell/FormMain.h"
#include "view/PaintBox.h"

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

namespace {


// A virtual block is never paced faster than this.
constexpr int kMinVirtualTickMs = 5;

}  // namespace


void TFormMain::menuStartQuelvarClick() {
  if (state_.RunState == kRunOscilloscope || startStopBusy_) return;
  const StartStopScope busy(startStopBusy_);
  state_.acq.Filter.Reseed = true;
  if (state_.RunState == kRunIdle) {
    StartRecording();
  } else {
    StopRecording();
  }
  menuStartQuelvar->setChecked(state_.RunState == kRunRecording);
  ToolButtonStartQuelvar->setChecked(state_.RunState == kRunRecording);
}

// The steps the recorder's and the oscilloscope's starts share: a replayed
// file lends its configuration, a lent one is otherwise put back, the row
// layout, the driver check and the start preparation. False (having said
// why) when the start must end.
StartReporter TFormMain::MakeStartReporter() {
  return StartReporter{[this](const std::string& line) { AppendRunLog(line); },
                       [this](const std::string& text) { PostStatusText(text); },
                       [this](const std::string& text, const std::string& caption) {
                         services_.ui.MessageBox(text, caption, platform::MsgButtons::OkCancel);
                       },
                       [this](int panel, const std::string& text) { SetStatusPanelText(panel, text); },
                       [this] { RebuildDisplayLayout(); }};
}

void TFormMain::LendReplayConfig(bool keepLentCaption) {
  const LiveConfig& c = state_.config;
  if (!(c.SimulateAD && c.SimulateType == 1)) return;
  auto record = std::make_unique<ConfigRecord>();
  if (!ReadRecordConfig(c.SimulateFile, *record)) return;
  const ConfigInForce& f = state_.configInForce;
  const bool keep = keepLentCaption && f.TempConfigActive == 1;
  EnterTemporaryConfig(state_, *record, keep ? f.SysParamCaption : std::string(kTemporaryConfigCaption));
  RefreshConfigMenus();
}

bool TFormMain::PrepareRun(bool recorderRun, const std::string& lentConfigLine) {
  LiveConfig& c = state_.config;
  LendReplayConfig(false);
  if (state_.configInForce.TempConfigActive == 1) {
    AppendRunLog(lentConfigLine);
    if (!(c.SimulateAD && c.SimulateType != 0)) {
      PutOwnConfigBack(state_);
      RefreshConfigMenus();
    }
  }
  std::function<float(int32_t, int32_t)> channelFrq;
  if (AdChannelFrqFn f = state_.driver.Entries.ChannelFrq) {
    channelFrq = [f](int32_t n, int32_t frq) { return f(n, frq); };
  }
  ComputeChannelLayout(c, state_.layout, state_.driver.CardMaxSwitchChannels,
                       state_.configInForce.TempConfigActive == 1, channelFrq);
  if (state_.driver.DriverUsable == 0 && c.SimulateAD == 0) {
    PostStatusText("未安装AD板驱动程序!");
    return false;
  }
  PostStatusText("初始化AD板...");
  if (!PrepareStart(state_, recorderRun, MakeStartReporter())) {
    PostStatusText("系统参数设置错误!");
    return false;
  }
  return true;
}

// The real card's PID set-up and the channel rate it then delivers.
void TFormMain::SetUpPidAndChannelRate() {
  LiveConfig& c = state_.config;
  const AdDriver& d = state_.driver.Entries;
  int32_t analogForRate = c.Analog_Num;
  if (c.PIDEnable) {
    // The PID entries come with a PID-mode driver; a missing one is skipped.
    if (d.InitialDA != nullptr) d.InitialDA(c.IOBaseDA, c.DANumChn, c.DABit, c.IOBaseIO);
    if (d.SetupPID != nullptr) {
      d.SetupPID(c.PIDMode, c.DAEnable, c.ADiChn, c.DAiChn, c.SV, c.M, c.Kp, state_.acq.PidPeriodMs, c.Ti, c.Td);
    }
    analogForRate = c.Analog_Num - c.DANumChn;
  } else if (state_.startup.PidMode && d.DisablePID != nullptr) {
    d.DisablePID();
  }
  c.ChannelRate = d.ChannelFrq(analogForRate, c.FrqSamp);
  if (c.OnlineResamp) c.ChannelRate /= static_cast<float>(c.ResampNum);
  if (std::isnan(c.ChannelRate) || c.ChannelRate < 0.0f) c.ChannelRate = 1.0f;
}

void TFormMain::StartRecording() {
  LiveConfig& c = state_.config;
  AcquisitionState& a = state_.acq;
  const StartupState& s = state_.startup;
  if (c.SavePath.empty() || chdir(c.SavePath.c_str()) != 0) {
    [[maybe_unused]] const int rc = chdir(s.ProgramDir.c_str());
  }
  char cwd[4096];
  saveDirectory_ = getcwd(cwd, sizeof cwd) != nullptr ? cwd : s.ProgramDir;
  a.RunStartTime = platform::NowDayCount();
  a.BlocksReceived = 0;
  state_.record.FloodCount = 0;
  state_.record.FloodWindowStart = a.RunStartTime;
  menuStartQuelvar->setChecked(true);
  menuSelectFault->setChecked(false);
  state_.display.SelectFault = 0;
  if (menuMonitor->isChecked()) {
    setWindowTitle(Q(c.WinTitle + "--实时波形" + LiveTitleSuffix));
  } else {
    setWindowTitle(Q(c.WinTitle + "--无显示" + HistoryTitleSuffix));
  }
  state_.history.Comment = "实时波形";
  state_.display.DispValid = 0;
  a.BufferLayoutValid = 0;
  if (state_.NetworkRole == kRoleViewer) {
    // The station's configuration and blocks arrive over the link.
    OpenViewerLink();
  } else if (!StartRecorderSource()) {
    return;
  }

  // Only a start that went through is logged as one, with the time it began.
  AppendRunLog("\r\n启动" + s.WindowWord + "于:" + platform::PageStampText(a.RunStartTime));
  state_.RunState = kRunRecording;
  menuStartQuelvar->setText(Q("停止" + s.WindowWord));
  ToolButtonStartQuelvar->setToolTip(Q("停止" + s.WindowWord));
  SetStatusPanelText(1, "监控");
  PostStatusText(s.WindowWord + "开始工作!");
  menuViewOscilTool->setVisible(false);
  SetRecorderViewItemsVisible(true);
  if (oscilTool_ != nullptr) oscilTool_->hide();
  state_.display.DataSourceMode = 1;
  if (menuMonitor->isChecked()) {
    Label_Mark1->hide();
    Label_Mark2->hide();
  }
  HScrollBar_Grid->setValue(state_.display.DispPoints);
  SendControllerStateFrame();
}

// The recorder's own block source: preparation, continuous saving or the
// live display, the card; false when the start ends early.
bool TFormMain::StartRecorderSource() {
  LiveConfig& c = state_.config;
  AcquisitionState& a = state_.acq;
  if (!PrepareRun(true, "注：试图正按非本机配置进行启动...")) return false;
  if (!saveWriter_) saveWriter_ = MakeSaveWriter();
  if (state_.saving.idContinuousSave) {
    if (!StartContinuousSaving()) return false;
  } else {
    // Without armed triggering the live display is on; with it, it is flipped.
    if (a.AutoTriggerActive == 0) menuMonitor->setChecked(false);
    menuMonitorClick();
  }

  if (a.ScheduledSaveActive && !scheduleSaver_) scheduleSaver_ = std::make_unique<ScheduleSaveObj>();
  if (!(c.SimulateAD ? StartVirtualCard() : StartRealCard())) {
    // The file of a run that never started is closed, complete and empty.
    if (continuousSaver_ && continuousSaver_->IsOpen()) continuousSaver_->Close();
    return false;
  }
  const bool snapshot = c.MaxBlock < 2;
  ToolButtonPause->setVisible(snapshot);
  menuPause->setVisible(snapshot);
  menuPause->setChecked(false);
  a.OscilPaused = 0;
  if (state_.NetworkRole == kRoleStation) BroadcastStationStart();
  return true;
}

void TFormMain::SetRecorderViewItemsVisible(bool visible) {
  for (QAction* item : {menuViewAnalog, menuViewSwitch, menuViewTrace, menuViewTraceP, menuViewScope,
                        ToolButtonYCompress, ToolButtonYExpand}) {
    item->setVisible(visible);
  }
  // The view menu's separators around them.
  for (const char* separator : {"N1", "N13", "menuSpaceTrace"}) {
    if (auto* item = findChild<QAction*>(separator)) item->setVisible(visible);
  }
  VScrollBar_YOffset->setVisible(visible);
  VScrollBar_Channel->setVisible(visible);
}

// The virtual card's rate and its replay file; false (said; the refusal
// also in the run log when asked) when the file is refused.
bool TFormMain::PrepareVirtualCard(bool logRefusal) {
  LiveConfig& c = state_.config;
  // Without the driver's rate entry the nominal rate stands, lent configuration or not.
  if (state_.driver.Entries.ChannelFrq == nullptr) c.ChannelRate = static_cast<float>(c.FrqSamp);
  if (std::isnan(c.ChannelRate) || c.ChannelRate < 0.0f) c.ChannelRate = 1.0f;
  if (c.SimulateType != 0) {
    std::string refusal;
    if (!OpenVirtualAdFile(c.SimulateFile, c, state_.acq.Replay, refusal)) {
      PostStatusText(refusal);
      if (logRefusal) AppendRunLog(refusal);
      return false;
    }
  }
  PostStatusText("虚拟的AD板准备工作...");
  // The first block counts the sequence word up to 0.
  state_.acq.CurrentBlock()[0] = 0xFFFF;
  return true;
}

bool TFormMain::StartVirtualCard() {
  const LiveConfig& c = state_.config;
  if (!PrepareVirtualCard(false)) return false;
  int interval = c.SimulateInterval > 0
                     ? c.SimulateInterval
                     : TruncToInt32(1000.0 / c.ChannelRate * c.NumSamp);
  interval = c.MaxBlock == 1 ? c.QuelvarDispFrq : std::max(interval, kMinVirtualTickMs);
  TimerOscil->start(std::max(interval, 1));
  return true;
}

// The driver's reason for a failure when it can give one, else the plain text.
std::string TFormMain::DriverFailureText(const std::string& reasonPrefix, const std::string& plain) const {
  const AdDriver& d = state_.driver.Entries;
  return d.GetLastADError != nullptr ? reasonPrefix + DriverErrorText(d.GetLastADError()) : plain;
}

// The real card's initialisation and its rate layout; false (said) when the
// card refuses.
bool TFormMain::InitialiseRealCard(const std::string& reasonPrefix) {
  const LiveConfig& c = state_.config;
  const AdDriver& d = state_.driver.Entries;
  if (d.Initial(c.IOBase, c.IRQNum, c.PhysAddr, 0) == 0) {
    PostStatusText(DriverFailureText(reasonPrefix, "AD板初始化错误!"));
    return false;
  }
  if (d.SetMultiFreq != nullptr) d.SetMultiFreq(c.NumVChn, state_.layout.MultiFreqTable.data());
  return true;
}

bool TFormMain::StartRealCard() {
  LiveConfig& c = state_.config;
  const AdDriver& d = state_.driver.Entries;
  if (!InitialiseRealCard("AD板初始化错误,原因：")) return false;
  const bool interrupt = c.MaxBlock > 1;
  if (interrupt && d.RegisterNotify != nullptr) {
    if (notifier_ == nullptr) {
      notifier_ = new platform::QtDriverNotifier([this](uint32_t, uintptr_t) { Button_NotifyKeyUp(); }, this);
    }
    d.RegisterNotify(1, notifier_->Target(), platform::kWmKeyUp, platform::kNotifyKeyCode, 0);
  }
  SetUpPidAndChannelRate();
  PostStatusText("AD板准备工作...");
  state_.acq.BlockTime = platform::NowDayCount();
  const auto rows = static_cast<uint32_t>(DeliveredRows(c));
  int32_t started = 0;
  if (interrupt) {
    if (d.StartIntr != nullptr) {
      started = d.StartIntr(c.NumBuf, rows, static_cast<uint16_t>(c.BegChn), static_cast<uint16_t>(c.NumChn),
                            static_cast<uint32_t>(c.FrqSamp), static_cast<uint32_t>(c.StartParam), c.AmpGain);
    }
  } else if (d.StartSnapshot != nullptr) {
    started = d.StartSnapshot(c.NumBuf, 4 * rows, static_cast<uint16_t>(c.BegChn), static_cast<uint16_t>(c.NumChn),
                              static_cast<uint32_t>(c.FrqSamp), static_cast<uint32_t>(c.StartParam), c.AmpGain, 0);
    if (started != 0) TimerOscil->start(std::max(c.QuelvarDispFrq, 1));
  }
  if (started == 0) {
    PostStatusText(DriverFailureText("AD板启动错误,原因:", "AD板启动错误!"));
    if (interrupt && d.RegisterNotify != nullptr) d.RegisterNotify(1, nullptr, 0, 0, 0);
    return false;
  }
  return true;
}

bool TFormMain::StartContinuousSaving() {
  const ContinuousSaveQuestion question = AskContinuousSave(state_);
  if (services_.ui.MessageBox(question.text, question.caption, platform::MsgButtons::OkCancel) !=
      platform::MsgResult::Ok) {
    return false;
  }
  if (!continuousSaver_) continuousSaver_ = std::make_unique<ContinuousSave>();
  // The writer is done with the saver (every stop drains it): opened here,
  // so that a refusal is said before the run starts.
  saveWriter_->Drain();
  if (!OpenContinuousSaving(state_, *continuousSaver_, saveDirectory_, platform::NowDayCount())) {
    services_.ui.MessageBox("打开连续保存文件失败！", "出错提示", platform::MsgButtons::Ok);
    if (!continuousSaver_->Error().empty()) AppendRunLog("\r\n" + continuousSaver_->Error());
    return false;
  }
  AppendRunLog(ContinuousSaveStartLine(state_));
  return true;
}

void TFormMain::StopRecording() {
  LiveConfig& c = state_.config;
  const StartupState& s = state_.startup;
  // The failures of blocks taken before the stop are told before it.
  if (saveWriter_) saveWriter_->Drain();
  AppendRunLog("停止" + s.WindowWord + "于:" + platform::NowStampText());
  menuStartQuelvar->setChecked(false);
  ToolButtonPause->setVisible(false);
  menuPause->setVisible(false);
  if (state_.acq.ScheduledSaveActive) {
    if (scheduleSaver_ && saveWriter_) scheduleSaver_->CloseAll(*saveWriter_);
    state_.acq.ScheduledSaveActive = 0;
  }
  TimerOscil->stop();
  if (state_.NetworkRole == kRoleViewer) {
    // A viewer never started the card.
    CloseViewerLink();
  } else if (!c.SimulateAD) {
    const AdDriver& d = state_.driver.Entries;
    if (d.StopIntr != nullptr) d.StopIntr();
    if (c.PIDEnable && d.DisablePID != nullptr) d.DisablePID();
    // After this returns the driver posts no more to our notifier.
    if (d.RegisterNotify != nullptr) d.RegisterNotify(1, nullptr, 0, 0, 0);
  }
  if (state_.NetworkRole == kRoleStation) BroadcastStationStop();
  // A record still being collected is completed with what it holds.
  RecordState& r = state_.record;
  AcquisitionState& a = state_.acq;
  if (r.Recording) {
    r.LastBlock = a.RingCompressing == 0 && r.CompressCarry != 0 ? a.RingWriteBlock : a.RingWriteBlock - 1;
    if (r.LastBlock < 0) r.LastBlock += a.RingBlocks;
    if (r.PostBlocks + r.CompressBlocks > r.BlocksDone) r.CompressBlocks = std::max(r.BlocksDone - r.PostBlocks, 0);
    r.Recording = 0;
    FinishFaultRecord();
  }
  PostStatusText(s.WindowWord + "被停止!");
  menuStartQuelvar->setText(Q("启动" + s.WindowWord));
  state_.RunState = kRunIdle;
  ToolButtonStartQuelvar->setToolTip(Q("启动" + s.WindowWord));
  SetStatusPanelText(1, "预备");
  if (menuMonitor->isChecked() && menuViewTrace->isChecked() && state_.display.DispValid != 0) {
    ShowMarkLabelsAfterRecording();
  }
  // Every block and scheduled file of the run is on disk before the run is
  // said to be over; the continuous file is then finished here.
  if (saveWriter_) saveWriter_->Drain();
  if (state_.saving.idContinuousSave && continuousSaver_) {
    PostStatusText(CloseContinuousSaving(*continuousSaver_));
    if (!continuousSaver_->Error().empty()) AppendRunLog("\r\n" + continuousSaver_->Error());
    if (!menuMonitor->isChecked()) menuMonitorClick();
  }
  SendControllerStateFrame();
  // Once the stop's own work is done, the FFT panel analyses the data shown.
  AnalyseShownSpectrum();
}

void TFormMain::FinishFaultRecord() {
  AcquisitionState& a = state_.acq;
  RecordState& r = state_.record;
  SetStatusPanelText(1, a.AutoTriggerActive ? "录波" : "监控");
  AppendRunLog("  保存记录/历史数据块数=" + std::to_string(r.BlocksDone + r.PreBlocks));
  HistoryRecord& h = state_.history;
  h.TriggerType = r.TriggerKind;
  h.TriggerChannel = r.TriggerChannel;
  h.TriggerAlgorithm = r.TriggerAlgorithm;
  h.Comment = r.Description;
  r.DataGap = a.DataGapFlag;

  // The writer thread gets its own copy of everything it writes, taken here;
  // it reads nothing the acquisition goes on changing, so the ring is free
  // for the next record at once.
  RecordPackage package;
  if (!BuildRecordPackage(state_, package)) {
    AppendRunLog("错误：记录数据不完整，未能保存记录文件!");
  } else {
    char cwd[4096];
    const std::string directory = getcwd(cwd, sizeof cwd) != nullptr ? cwd : state_.startup.ProgramDir;
    if (!recordWriter_) recordWriter_ = std::make_unique<RecordWriter>();
    a.RecordWriterBusy = 1;
    const std::string planned = RecordFileName(r.StartTime);
    const bool threaded = recordWriter_->Start(directory, std::move(package), state_.config.FileNum,
                                               [this, planned](WriteResult result) {
                                                 QMetaObject::invokeMethod(
                                                     this, [this, planned, result] { RecordWritten(planned, result); },
                                                     Qt::QueuedConnection);
                                               });
    if (!threaded) AppendRunLog("注：记录文件已直接写入(无法启动写文件线程)");
    a.RecordWriterBusy = 0;
  }
  if (CopyHistoryRecord(state_)) {
    SetLiveHistoryCompression(state_);
    ShowHistoryMode();
    AnnounceHistory();
  }
  // A triggered record is shown on its trigger page, whole.
  if (r.TriggerKind != 0) {
    SetupTriggerPage();
    SetXPointCount(state_.display.DispPoints);
  }
  if (state_.config.AutoPrint != 0) PrintWaveforms(1, 0, 0);
}

void TFormMain::RecordWritten(const std::string& planned, const WriteResult& result) {
  if (!result.ok) {
    AppendRunLog("错误：记录文件写入失败：" + result.error);
  } else if (result.fileName != planned) {
    // Another record already had that second's name.
    AppendRunLog("  记录文件名改为:" + result.fileName);
  }
}

void TFormMain::JoinRecordWriters() {
  if (recordWriter_) recordWriter_->JoinAll();
  QCoreApplication::sendPostedEvents(this);
}

void TFormMain::menuSetSavePathClick() {
  LiveConfig& c = state_.config;
  if (state_.RunState != kRunIdle) {
    PostStatusText("提示:采样期间不许修改");
    return;
  }
  if (savePathDialog_ == nullptr) savePathDialog_ = new TFormSetPath(state_, services_.registry, this);
  std::string preset = c.SavePath;
  if (preset.size() > 1 && preset.back() == '/') preset.pop_back();
  savePathDialog_->SetDirectory(preset);  // a path that does not exist is ignored
  if (services_.ui.ShowModal(*savePathDialog_) == platform::kModalOk) {
    std::string chosen = savePathDialog_->LabelPath->text().toStdString();
    if (!chosen.empty() && chosen.back() != '/') chosen += '/';
    if (!chosen.empty()) c.SavePath = chosen;
  }
  PostStatusText("提示:存盘位置为: " + c.SavePath);
  std::string current = c.SavePath;
  if (current.empty() || chdir(current.c_str()) != 0) {
    current = state_.startup.ProgramDir;
    [[maybe_unused]] const int rc = chdir(current.c_str());
  }
  AppendRunLog("\r\n 采样数据存盘路径为：" + current);
}

void TFormMain::menuExpConditionClick() {
  if (expTextWindow_ == nullptr) return;
  expTextWindow_->show();
  expTextWindow_->raise();
}

void TFormMain::menuTriggerFaultClick() {
  // A snapshot run keeps a one-block ring: no record fits into it.
  if (state_.RunState == kRunRecording && state_.record.Recording == 0 && state_.config.MaxBlock > 1) {
    state_.acq.ManualTriggerRequest = 1;
  }
}

BlockReporter TFormMain::MakeBlockReporter() {
  return BlockReporter{[this](const std::string& line) { AppendRunLog(line); },
                       [this] { return static_cast<size_t>(Memo1->toPlainText().size()); },
                       [this] { Memo1->clear(); },
                       [this](const std::string& text) { PostElapsedTimeText(text); },
                       [this](int panel, const std::string& text) { SetStatusPanelText(panel, text); },
                       [this] { FinishFaultRecord(); },
                       continuousSaver_.get(),
                       scheduleSaver_.get(),
                       saveDirectory_,
                       [this] { return menuMonitor->isChecked(); },
                       [this](const std::string& text) { PostStatusText(text); },
                       saveWriter_.get(),
                       CompositeSink()};
}

std::unique_ptr<SaveWriter> TFormMain::MakeSaveWriter() {
  auto handler = [this](const SaveReport& report) {
    HandleSaveReport(report, [this](const std::string& line) { AppendRunLog(line); }, scheduleSaver_.get());
  };
  // On the writer's thread: the reports are handed over on this one.
  auto wake = [this] {
    QMetaObject::invokeMethod(
        this, [this] { if (saveWriter_) saveWriter_->DeliverReports(); }, Qt::QueuedConnection);
  };
  return std::make_unique<SaveWriter>(SaveWriter::Mode::Threaded, handler, wake);
}

void TFormMain::ProcessCurrentBlock(const BlockReporter& report) {
  if (state_.RunState != kRunIdle) SendControllerBlockFrame(state_.acq.CurrentBlock()[0]);
  ProcessBlock(state_, platform::NowDayCount(), report);
}

void TFormMain::Button_NotifyKeyUp() {
  const BlockReporter blockReport = MakeBlockReporter();
  const IntakeEnv env{[] { return platform::NowDayCount(); },
                      [this, &blockReport] {
                        // The station's viewers get the block as it was filtered.
                        if (state_.NetworkRole == kRoleStation) SendStationBlock();
                        ProcessCurrentBlock(blockReport);
                      },
                      [this] { menuStartQuelvarClick(); },
                      [this] {
                        if (menuMonitor->isChecked()) state_.wave.RepaintRequested = 1;
                      },
                      [] { return std::rand() % 32768; }};
  IntakeBlocks(state_, env);
  // Painted at the interface timer's next tick, never here.
  RequestSecondDispRepaint();
}

void TFormMain::TimerOscilTimer() {
  if (state_.RunState == kRunRecording) {
    // The tick paces the virtual card and fetches snapshots; a paused
    // snapshot recording takes nothing.
    const LiveConfig& c = state_.config;
    if (c.SimulateAD || (c.MaxBlock == 1 && !state_.acq.OscilPaused)) Button_NotifyKeyUp();
    return;
  }
  OscilTick();
}

void TFormMain::menuScheduleSaveClick() {
  // OK writes the schedules straight into the live settings.
  if (scheduleSaveDialog_ == nullptr) scheduleSaveDialog_ = new TFormScheduleSave(state_, services_.registry, this);
  services_.ui.ShowModal(*scheduleSaveDialog_);
}

void TFormMain::menuSaveClick() {
  if (state_.RunState != kRunIdle) {
    PostStatusText("提示：采集过程中不能存盘！");
    return;
  }
  // A ring that took no block since its start holds nothing worth a file.
  if (state_.acq.BufferLayoutValid == 0 || RingHoldsNothing(state_)) {
    services_.ui.MessageBox("警告!不能存盘", "实时波形缓冲区内无波形数据", platform::MsgButtons::OkCancel);
    return;
  }
  DescribeWholeRing(state_);
  WriteManualRecord(ManualSaveKind::WholeBuffer);
}

void TFormMain::menuSaveCurrentClick() {
  if (state_.RunState != kRunIdle) {
    PostStatusText("提示：采集过程中不能存盘！");
    return;
  }
  const DisplayDescriptor& d = state_.display;
  const bool showsEmptyRing = d.DispData == state_.acq.RingBuffer.data() && RingHoldsNothing(state_);
  if (d.DispValid == 0 || showsEmptyRing) {
    services_.ui.MessageBox("无显示波形数据", "警告!不能存盘", platform::MsgButtons::OkCancel);
    return;
  }
  DescribeCurrentView(state_);
  const LiveConfig& c = state_.config;
  if (c.SavePath.empty() || chdir(c.SavePath.c_str()) != 0) {
    [[maybe_unused]] const int rc = chdir(state_.startup.ProgramDir.c_str());
  }
  WriteManualRecord(ManualSaveKind::CurrentView);
}

// A manual record, written on this thread into the current directory unless
// the name the user gives says otherwise. The status text and the run log
// say what became of it.
void TFormMain::WriteManualRecord(ManualSaveKind kind) {
  if (fileInfoDialog_ == nullptr) fileInfoDialog_ = new TFormFileInfo(state_, services_.registry, this);
  char cwd[4096];
  const std::string directory = getcwd(cwd, sizeof cwd) != nullptr ? cwd : state_.startup.ProgramDir;
  const ManualSaveOutcome outcome =
      SaveManualRecord(state_, kind, directory, platform::NowDayCount(), services_.ui,
                       [this](const std::string& proposed) { return fileInfoDialog_->AskFileInfo(services_.ui, proposed); });
  if (!outcome.runLogLine.empty()) AppendRunLog(outcome.runLogLine);
  PostStatusText(outcome.statusText);
}

}  // namespace quelvar
