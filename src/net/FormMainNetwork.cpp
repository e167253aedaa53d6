// The main window's network roles and its two ends of the station stream:
// the station's listener with its viewers, and the viewer's link with the
// receiver that hands the station's blocks to the per-block processing.
#include <QAction>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <cstring>
#include <memory>
#include <span>

#include "acquisition/BlockProcessing.h"
#include "acquisition/ChannelLayout.h"
#include "acquisition/PrepareStart.h"
#include "net/FormClient.h"
#include "net/FormServer.h"
#include "net/LzssCodec.h"
#include "net/QtStationServer.h"
#include "net/QtViewerLink.h"
#include "net/StationCompression.h"
#include "net/StationSend.h"
#include "net/StationStream.h"
#include "net/ViewerReceive.h"
#include "platform/DayTime.h"
#include "platform/UiHost.h"
#include "shell/ConfigCommands.h"
#include "shell/FormMain.h"

namespace quelvar {

namespace {

constexpr double kSecondsPerDay = 24.0 * 3600.0;

}  // namespace

// The viewer's receiver talks to the main window through this.
class FormMainViewerHost : public ViewerHost {
 public:
  explicit FormMainViewerHost(TFormMain& form) : form_(form) {}

  bool TakesStream() override {
    const AppState& s = form_.state_;
    return s.NetworkRole == kRoleViewer && s.RunState != kRunIdle;
  }
  void PostStatus(const std::string& text) override { form_.PostStatusText(text); }
  void AppendRunLog(const std::string& line) override { form_.AppendRunLog(line); }
  void ApplyStationConfig(const ConfigRecord& record) override { form_.ApplyStationConfig(record); }
  bool PrepareStart() override { return form_.PrepareViewerStart(); }
  void StopRunningMode() override {
    form_.StopViewerRun();
    // The stop command closes the link; this also closes it when the stop
    // cannot run now (a start or stop of ours waits in a message box).
    form_.CloseViewerLink();
  }
  void SendBlockAck(const uint8_t* ack, size_t size) override {
    if (form_.ClientSocket1 != nullptr) form_.ClientSocket1->Send(ack, size);
  }
  void AcceptBlock(const uint8_t* block, size_t size) override { form_.TakeViewerBlock(block, size); }
  double Now() override { return platform::NowDayCount(); }

 private:
  TFormMain& form_;
};

// The codec lives as long as the window: its window carries over between
// blocks. The sockets are children, made after the receiver they feed and
// gone before it. The compression threads, made at first need, are the
// codec's only users while they hold blocks, and end first.
class StationStreamParts : public QObject {
 public:
  // Where the station's stream is shown while no station window exists.
  class NoStationWindow : public StationWindowOutputs {
   public:
    void SetRatioText(const std::string&) override {}
    void SetGridText(int, int, const std::string&) override {}
  };

  StationStreamParts(TFormMain& form, AppState& state)
      : QObject(&form), host(form), receiver(host, state.config, codec, state.grayTables) {}
  ~StationStreamParts() override {
    compressor.reset();
    delete station;
    delete viewer;
  }

  LzssCodec codec;
  std::unique_ptr<StationCompressionWorker> compressor;
  FormMainViewerHost host;
  ViewerReceiver receiver;
  NoStationWindow noWindow;
  QtStationServer* station = nullptr;
  QtViewerLink* viewer = nullptr;
};

void TFormMain::CreateStationStream() {
  if (stationStream_ != nullptr) return;
  stationStream_ = new StationStreamParts(*this, state_);
  ServerSocket1 = new QtStationServer(stationStreamPort_, stationStream_);
  ServerSocket1->setObjectName("ServerSocket1");
  stationStream_->station = ServerSocket1;
  ClientSocket1 = new QtViewerLink(stationStream_->receiver, stationStreamPort_, stationStream_);
  ClientSocket1->setObjectName("ClientSocket1");
  stationStream_->viewer = ClientSocket1;
  if (stationWindow_ != nullptr) stationWindow_->SetServerSocket(ServerSocket1);

  connect(ServerSocket1, &QtStationServer::ClientConnect, this,
          [this](int index) { ServerSocket1ClientConnect(index); });
  connect(ServerSocket1, &QtStationServer::ClientDisconnect, this, [this] { ServerSocket1ClientDisconnect(); });
  connect(ServerSocket1, &QtStationServer::ClientError, this, [this](quint64 id) { ServerSocket1ClientError(id); });
  connect(ServerSocket1, &QtStationServer::ClientRead, this, [this](int index, const QByteArray& bytes) {
    ServerSocket1ClientRead(index, reinterpret_cast<const uint8_t*>(bytes.constData()),
                            static_cast<size_t>(bytes.size()));
  });
  connect(ServerSocket1, &QtStationServer::NotSamplingDue, this, [this](quint64 id) {
    StationLink link = StationStreamLink();
    SendStationNotSampling(link, id, state_.RunState);
  });
  connect(ClientSocket1, &QtViewerLink::Connected, this, [this] { ClientSocket1Connect(); });
  connect(ClientSocket1, &QtViewerLink::Failed, this, [this] { ClientSocket1Error(); });
  connect(ClientSocket1, &QtViewerLink::Disconnected, this, [this] { ClientSocket1Disconnect(); });
}

void TFormMain::SetStationWindow(TFormServer* window) {
  stationWindow_ = window;
  if (window != nullptr && ServerSocket1 != nullptr) window->SetServerSocket(ServerSocket1);
}

StationLink TFormMain::StationStreamLink() {
  CreateStationStream();
  StationWindowOutputs& window =
      stationWindow_ != nullptr ? static_cast<StationWindowOutputs&>(*stationWindow_) : stationStream_->noWindow;
  return StationLink{*ServerSocket1, window};
}

// ---- Role commands ----

void TFormMain::CheckNetworkRole(QAction* item) {
  for (QAction* role : {menuAlone, menuServer, menuClient}) role->setChecked(role == item);
}

void TFormMain::LeaveStationRole() {
  if (!menuServer->isChecked()) return;
  if (ServerSocket1 != nullptr) ServerSocket1->Close();
  if (stationWindow_ != nullptr) stationWindow_->hide();
}

void TFormMain::menuAloneClick() {
  if (state_.RunState != kRunIdle || StartStopBusy()) return;
  LeaveStationRole();
  if (menuAlone->isChecked()) return;
  CheckNetworkRole(menuAlone);
  state_.NetworkRole = kRoleAlone;
  SetStatusPanelText(3, "脱机");
}

void TFormMain::menuServerClick() {
  if (state_.RunState != kRunIdle || StartStopBusy()) return;
  if (!menuServer->isChecked()) {
    CreateStationStream();
    if (!ServerSocket1->Open()) {
      PostStatusText("设置现场采集站失败,因端口已被占用!");
      menuAloneClick();
      return;
    }
  }
  CheckNetworkRole(menuServer);
  state_.NetworkRole = kRoleStation;
  SetStatusPanelText(3, "现场");
  if (stationWindow_ == nullptr) SetStationWindow(new TFormServer(state_, services_.registry, this));
  stationWindow_->RefreshGrid();
  stationWindow_->show();
  stationWindow_->raise();
}

void TFormMain::menuClientClick() {
  if (state_.RunState != kRunIdle || StartStopBusy()) return;
  LiveConfig& c = state_.config;
  if (stationAddressDialog_ == nullptr) stationAddressDialog_ = new TFormClient(state_, services_.registry, this);
  stationAddressDialog_->Edit_Server->setText(QString::fromStdString(c.ServerIP));
  // The address is asked before the station role is left, so a Cancel
  // leaves a station listening as before.
  if (state_.AutoConnectViewer != 1 && services_.ui.ShowModal(*stationAddressDialog_) != platform::kModalOk) return;
  LeaveStationRole();
  CheckNetworkRole(menuClient);
  state_.NetworkRole = kRoleViewer;
  SetStatusPanelText(3, "远程");
  PostStatusText("请启动" + state_.startup.WindowWord + "以与采集站" + c.ServerIP + "连接");
}

// ---- Station side ----

void TFormMain::ServerSocket1ClientConnect(int index) {
  StationLink link = StationStreamLink();
  auto record = std::make_unique<ConfigRecord>();
  BuildConfigRecord(state_.config, BuildExtrasOf(state_), *record);
  GreetStationViewer(link, index, *record, state_.RunState);
  ServerSocket1ClientDisconnect();  // the same posted refresh
}

void TFormMain::ServerSocket1ClientDisconnect() {
  // Clicked once the socket event has been handled.
  if (stationWindow_ == nullptr) return;
  TFormServer* window = stationWindow_;
  QMetaObject::invokeMethod(
      window, [window] { window->ButtonFresh->click(); }, Qt::QueuedConnection);
}

void TFormMain::ServerSocket1ClientError(uint64_t connectionId) {
  if (ServerSocket1 != nullptr) ServerSocket1->CloseConnection(connectionId);
  if (stationWindow_ != nullptr) stationWindow_->RefreshGrid();
}

void TFormMain::ServerSocket1ClientRead(int index, const uint8_t* data, size_t size) {
  StationLink link = StationStreamLink();
  if (BlockAckAccumulator* pending = ServerSocket1->PendingAckAt(index)) {
    HandleStationBlockAck(link, index, *pending, data, size);
  }
}

void TFormMain::BroadcastStationStart() {
  if (state_.NetworkRole != kRoleStation) return;
  FinishStationCompression();
  StationLink link = StationStreamLink();
  auto record = std::make_unique<ConfigRecord>();
  BuildConfigRecord(state_.config, BuildExtrasOf(state_), *record);
  quelvar::BroadcastStationStart(link, *record);
}

void TFormMain::BroadcastStationStop() {
  if (state_.NetworkRole != kRoleStation) return;
  FinishStationCompression();  // the last blocks go before the stop
  StationLink link = StationStreamLink();
  quelvar::BroadcastStationStop(link);
}

namespace {

StationBlockShape ShapeOf(const LiveConfig& c) { return {c.NumChn, c.Analog_Num, c.NumSamp}; }

// CurrentBlock up to the end of its buffer (the shape says how much of it is the block).
std::span<const uint16_t> CurrentBlockSpan(AcquisitionState& a) {
  if (a.CurrentBlockOffset >= a.BlockWithPrefix.size()) return {};
  return {a.CurrentBlock(), a.BlockWithPrefix.size() - a.CurrentBlockOffset};
}

}  // namespace

void TFormMain::SendStationBlock() {
  if (state_.NetworkRole != kRoleStation) return;
  StationLink link = StationStreamLink();
  const StationStreamSettings settings =
      stationWindow_ != nullptr ? stationWindow_->Settings() : StationStreamSettings{};
  AcquisitionState& a = state_.acq;
  const StationBlockShape shape = ShapeOf(state_.config);
  const std::span<const uint16_t> block = CurrentBlockSpan(a);
  std::unique_ptr<StationCompressionWorker>& worker = stationStream_->compressor;
  // Once a block went to the thread, every later one follows it there until
  // all are sent, so that none overtakes another.
  const bool compressing = settings.ServerCompress != 0 && link.connections.Count() > 0;
  const bool threadHoldsBlocks = worker != nullptr && !worker->Idle();
  if (!threadHoldsBlocks && !(compressing && StationCompressionMayOutlastBlock(shape, state_.config.ChannelRate))) {
    quelvar::SendStationBlock(link, settings, shape, block, stationStream_->codec, state_.grayTables,
                              a.PackedBlockBuffer);
    return;
  }
  const uint64_t r = SendableBytes(shape, block);
  if (r == 0) return;  // not sent, as in place
  if (worker == nullptr) {
    StationStreamParts* parts = stationStream_;
    worker = std::make_unique<StationCompressionWorker>(parts->codec, state_.grayTables, [this, parts] {
      QMetaObject::invokeMethod(parts, [this] { SendCompressedStationBlocks(); }, Qt::QueuedConnection);
    });
  }
  worker->Submit(settings, shape, block, r, link.connections.Count());
}

void TFormMain::SendCompressedStationBlocks() {
  if (stationStream_ == nullptr || stationStream_->compressor == nullptr) return;
  StationLink link = StationStreamLink();
  for (const StationCompressionWorker::Done& done : stationStream_->compressor->TakeDone()) {
    if (done.outcome) SendStationBlockOutcome(link, done.block, done.r, *done.outcome);
  }
}

void TFormMain::FinishStationCompression() {
  if (stationStream_ == nullptr || stationStream_->compressor == nullptr) return;
  stationStream_->compressor->WaitIdle();
  SendCompressedStationBlocks();
}

void TFormMain::SendStationRawBlock() {
  if (state_.NetworkRole != kRoleStation) return;
  StationLink link = StationStreamLink();
  quelvar::SendStationRawBlock(link, ShapeOf(state_.config), CurrentBlockSpan(state_.acq));
}

// ---- Viewer side ----

void TFormMain::OpenViewerLink() {
  CreateStationStream();
  FinishStationCompression();  // the receiver shares the codec
  const std::string& server = state_.config.ServerIP;
  ClientSocket1->Open(server);
  PostStatusText("正与采集站" + server + "连接...");
}

void TFormMain::CloseViewerLink() {
  if (ClientSocket1 != nullptr) ClientSocket1->Close();
}

void TFormMain::ClientSocket1Connect() { PostStatusText("与采集站" + state_.config.ServerIP + "连接成功"); }

void TFormMain::ClientSocket1Error() {
  StopViewerRun();
  PostStatusText("与采集站" + state_.config.ServerIP + "失去连接");
}

void TFormMain::StopViewerRun() {
  if (state_.RunState == kRunRecording) {
    menuStartQuelvarClick();
  } else if (state_.RunState == kRunOscilloscope) {
    menuStartOscilClick();
  }
}

void TFormMain::ApplyStationConfig(const ConfigRecord& record) {
  EnterTemporaryConfig(state_, record, kRemoteConfigCaption);
  RefreshConfigMenus();
}

// The start preparation for the station's configuration: its layout (its
// channel rate is the station's) and the buffers of the mode running.
bool TFormMain::PrepareViewerStart() {
  LiveConfig& c = state_.config;
  ComputeChannelLayout(c, state_.layout, state_.driver.CardMaxSwitchChannels, true, {});
  return PrepareStart(state_, state_.RunState == kRunRecording, MakeStartReporter());
}

void TFormMain::TakeViewerBlock(const uint8_t* block, size_t size) {
  AcquisitionState& a = state_.acq;
  // The preparation sized the buffer for the configuration the block came with.
  if (size % 2 != 0 || CurrentBlockSpan(a).size_bytes() < size) return;
  std::memcpy(a.CurrentBlock(), block, size);
  const LiveConfig& c = state_.config;
  const double now = platform::NowDayCount();
  a.BlockTime = c.ChannelRate > 0.0f ? now - c.NumSamp / static_cast<double>(c.ChannelRate) / kSecondsPerDay : now;
  ProcessCurrentBlock(MakeBlockReporter());
  if ((state_.RunState == kRunRecording && menuMonitor->isChecked()) || state_.RunState == kRunOscilloscope) {
    state_.wave.RepaintRequested = 1;
  }
  RequestSecondDispRepaint();
}

}  // namespace quelvar
